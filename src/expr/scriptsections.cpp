#include "expr/scriptsections.h"

namespace cm {

namespace {

QString sectionHeader(const QString& component, const QString& event)
{
    return QLatin1Char('[') + component + QLatin1Char('.') + event + QLatin1Char(']');
}

// The body runs to the next line that starts with '[' or to the end.
qsizetype sectionEnd(const QStringList& script, qsizetype header)
{
    qsizetype end = header + 1;
    while (end < script.size() && !script.at(end).startsWith(u'['))
        ++end;
    return end;
}

} // namespace

QStringList scriptSectionBody(const QStringList& script, const QString& component, const QString& event)
{
    const qsizetype header = script.indexOf(sectionHeader(component, event));
    if (header < 0)
        return {};
    return script.mid(header + 1, sectionEnd(script, header) - header - 1);
}

void replaceScriptSection(QStringList& script, const QString& component, const QString& event,
                          const QStringList& body)
{
    const QString header = sectionHeader(component, event);
    const qsizetype at = script.indexOf(header);
    if (at >= 0)
        script.remove(at, sectionEnd(script, at) - at);
    if (body.isEmpty())
        return;
    script.append(header);
    script.append(body);
}

QStringList textLines(const QString& text)
{
    if (text.isEmpty())
        return {};
    QString normal = text;
    normal.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList lines = normal.split(u'\n');
    if (normal.endsWith(u'\n'))
        lines.removeLast();
    return lines;
}

} // namespace cm
