#include "logbook/logtext.h"

#include "expr/datetimeformat.h"
#include "expr/formatsettings.h"

namespace cm {

QString formatDateText(QDate date, QStringView picture)
{
    if (!date.isValid())
        return QString();
    // The same date-time pictures as masks and formulas (month names included).
    return formatDateTime(picture, QDateTime(date, QTime(0, 0)), FormatSettings::current());
}

QString formatTimeText(QTime time)
{
    if (!time.isValid())
        return QString();
    return time.toString(time.second() != 0 ? QStringLiteral("HH:mm:ss") : QStringLiteral("HH:mm"));
}

QString formatFloatText(double value)
{
    QString s = QString::number(value, 'g', 15);
    const QChar sep = FormatSettings::current().decimalSeparator;
    if (sep != u'.')
        s.replace(u'.', sep);
    return s;
}

double toDayNumber(QDate date)
{
    return double(date.toJulianDay() - QDate(1899, 12, 30).toJulianDay());
}

double toDayNumber(QTime time) { return time.msecsSinceStartOfDay() / 86400000.0; }

} // namespace cm
