#pragma once
// The layouts shipped with the program, built with the program's own model
// and writer: the demo QSL card and the template that "New" loads.
namespace cm {

class Workspace;

// A 140 x 90 mm QSL card: own call and QTH, "To Radio" with the contact's
// call, date, UTC, band, mode and RST fields bound to DataFrm.Tbl, a frame and a line.
void buildDemoCard(Workspace& ws);
// A 140 x 90 mm card per station listing up to 5 QSOs (date, UTC, band,
// mode, RST) under a group header on Call; more QSOs continue on a further
// card whose repeated header says "continued".
void buildMultiQsoCard(Workspace& ws);
// An empty card-sized page with one detail band.
void buildTemplate(Workspace& ws);

} // namespace cm
