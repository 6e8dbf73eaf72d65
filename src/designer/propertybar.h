#pragma once
// What the property toolbar shows for the selection, and its write-back:
// the text of a text element, the bound field of a data field, the outline
// of a shape, the kind of a band. Plain logic over the designer, so that
// the window's toolbar only mirrors it.
#include <QString>
#include <QStringList>

namespace cm {

class DesignerCore;

struct PropertyBarState {
    enum class Box { None, Text, Choice };
    QString typeLabel;
    Box box = Box::None;
    QString text;           // Box::Text
    QStringList choices;    // Box::Choice
    int current = -1;       // the selected choice, -1 none
    bool enabled = false;   // off for a protected element (BlockChange or BlockEdit)
};

// The toolbar for the current selection.
PropertyBarState propertyBarState(DesignerCore& designer);
// The text box changed: the first selected element's caption follows.
// Consecutive typing into one element is one undo step.
void applyPropertyText(DesignerCore& designer, const QString& text);
// A choice was picked: binds the data field, sets the shape or the band's
// kind, then selects the element alone again.
void applyPropertyChoice(DesignerCore& designer, int index, const QString& text);

} // namespace cm
