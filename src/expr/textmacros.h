#pragma once
// Text macros: a formula between two "%%" marks stands for its value, and
// a line that is "%DEL" (after its macros) is left out, while "%DEL"
// inside a longer line is cut out of it. Memo lines and layout query text
// are expanded this way; what a formula's value is, and what a mark
// without its closing partner means, is the caller's.
#include <QString>
#include <QStringList>

#include <functional>

namespace cm {

enum class OpenMacro {
    Kept,           // a mark without its partner stays in the text as it is
    RunsToLineEnd,  // the formula runs to the end of the line
};

using MacroValue = std::function<QString(const QString& formula)>;

// The line with its macros replaced. A value is never searched for marks
// again, so no text can make the expansion run forever.
QString expandMacros(const QString& line, OpenMacro open, const MacroValue& value);

// Every line expanded, then the "%DEL" rules applied.
QStringList expandMacroLines(const QStringList& lines, OpenMacro open, const MacroValue& value);

} // namespace cm
