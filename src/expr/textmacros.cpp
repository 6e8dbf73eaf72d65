#include "expr/textmacros.h"

namespace cm {

namespace {
const QString Mark = QStringLiteral("%%");
const QString DeleteMark = QStringLiteral("%DEL");
} // namespace

QString expandMacros(const QString& line, OpenMacro open, const MacroValue& value)
{
    QString result = line;
    qsizetype from = 0;
    for (qsizetype start = result.indexOf(Mark, from); start >= 0; start = result.indexOf(Mark, from)) {
        const qsizetype close = result.indexOf(Mark, start + 2);
        if (close < 0 && open == OpenMacro::Kept)
            break;
        const qsizetype end = close < 0 ? result.size() : close + 2;
        const qsizetype formulaEnd = close < 0 ? result.size() : close;
        const QString v = value(result.mid(start + 2, formulaEnd - start - 2));
        result.replace(start, end - start, v);
        from = start + v.size();
    }
    return result;
}

QStringList expandMacroLines(const QStringList& lines, OpenMacro open, const MacroValue& value)
{
    QStringList out;
    for (const QString& line : lines) {
        QString expanded = line.contains(Mark) ? expandMacros(line, open, value) : line;
        if (expanded.trimmed() == DeleteMark)
            continue;
        out << expanded.remove(DeleteMark);
    }
    return out;
}

} // namespace cm
