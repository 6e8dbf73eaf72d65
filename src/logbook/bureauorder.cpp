#include "logbook/bureauorder.h"

#include "logbook/logfields.h"
#include "logbook/logtable.h"

#include <QRegularExpression>

namespace cm {

namespace {

// Parts after a '/' that say how the station worked, not where.
bool isOperatingSuffix(const QString& part)
{
    static const QStringList suffixes = {QStringLiteral("P"), QStringLiteral("M"), QStringLiteral("MM"),
                                         QStringLiteral("AM"), QStringLiteral("QRP"), QStringLiteral("A"),
                                         QStringLiteral("B"), QStringLiteral("LH")};
    static const QRegularExpression digitsOnly(QStringLiteral("^[0-9]+$"));
    return part.isEmpty() || suffixes.contains(part) || digitsOnly.match(part).hasMatch();
}

QString prefixOfPart(const QString& part)
{
    // The first character may be a digit (9A, 3D2, 4X); the prefix ends
    // after the first run of digits that follows.
    qsizetype i = 1;
    while (i < part.size() && !part[i].isDigit())
        ++i;
    if (i >= part.size())
        return part;
    while (i < part.size() && part[i].isDigit())
        ++i;
    return part.left(i);
}

QString padded(qint64 v, int width) { return QStringLiteral("%1").arg(v, width, 10, QLatin1Char('0')); }

} // namespace

QString callPrefix(const QString& call)
{
    const QString c = call.trimmed().toUpper();
    QStringList parts;
    for (const QString& p : c.split(u'/'))
        if (!isOperatingSuffix(p))
            parts << p;
    if (parts.isEmpty())
        return c;
    QString chosen = parts.first();
    for (const QString& p : parts)
        if (p.size() < chosen.size())
            chosen = p;
    return prefixOfPart(chosen);
}

QString managerCall(const QString& qslVia)
{
    static const QRegularExpression call(QStringLiteral("^(?=[A-Z0-9/]*[0-9])(?=[A-Z0-9/]*[A-Z])[A-Z0-9/]{3,}$"));
    static const QRegularExpression separators(QStringLiteral("[\\s,;:()]+"));
    for (const QString& word : qslVia.toUpper().split(separators, Qt::SkipEmptyParts))
        if (call.match(word).hasMatch())
            return word;
    return {};
}

QString bureauRoute(const QString& call, const QString& qslVia, const QString& pfx)
{
    const QString manager = managerCall(qslVia);
    if (!manager.isEmpty())
        return callPrefix(manager);
    const QString own = pfx.trimmed().toUpper();
    return own.isEmpty() ? callPrefix(call) : own;
}

void orderForBureau(LogTable& table)
{
    table.setOrderKey([](const LogStore& s, int row) {
        auto text = [&](int col) { return s.isNull(row, col) ? QString() : s.text(row, col); };
        const QString call = text(LogCall).toUpper();
        const qint64 day = s.isNull(row, LogDatum) ? 0 : s.integer(row, LogDatum);
        const qint64 time = s.isNull(row, LogGmt) ? 0 : s.integer(row, LogGmt);
        // A separator below every character of a call keeps "W1" before "W1A".
        return bureauRoute(call, text(LogQslVia), text(LogPfx)) + QChar(1) + call + QChar(1) + padded(day, 8) +
               padded(time, 9);
    }, {LogCall, LogQslVia, LogPfx, LogDatum, LogGmt});
}

} // namespace cm
