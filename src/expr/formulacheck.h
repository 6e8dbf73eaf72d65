#pragma once
// What the expression builder does with a formula besides editing it: the
// one-line form of a formula typed on several lines, and the test run whose
// result the builder shows.
#include "expr/evaluator.h"

#include <QString>

namespace cm {

class TQREvEnvironment;

// Removes every line break: a carriage return together with the character
// after it, and a bare line feed.
QString joinFormulaLines(const QString& text);

// Evaluates the formula once, for real (functions with effects act), with
// the data sets and the local environment given; the global and the local
// environment are prepared for the duration. The answer is the text shown
// to the user: "There are no errors. The result is : " and the value, or
// "ERROR: " and the message. An empty text result counts as an error.
QString validateFormula(const QString& formula, DataSetList* dataSets, TQREvEnvironment* local);

// Compiles the formula without running it and gives the message of its
// first fault ("Missing )", "Unknown function : X" ...), or an empty text
// when it compiles. A bare name that is neither a field of the data sets
// nor an environment entry counts as a fault only with `namesMustResolve`:
// it may name a field of a table that is not open now.
QString formulaFault(const QString& formula, DataSetList* dataSets, TQREvEnvironment* local, bool namesMustResolve);

} // namespace cm
