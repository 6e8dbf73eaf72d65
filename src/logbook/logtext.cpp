#include "logbook/logtext.h"

#include "expr/formatsettings.h"

namespace cm {

QString formatDateText(QDate date, QStringView picture)
{
    if (!date.isValid())
        return QString();
    const FormatSettings& fs = FormatSettings::current();
    QString out;
    qsizetype i = 0;
    auto run = [&](QChar c) {
        qsizetype n = 0;
        while (i + n < picture.size() && picture[i + n].toLower() == c)
            ++n;
        return n;
    };
    while (i < picture.size()) {
        const QChar c = picture[i].toLower();
        if (c == u'd' || c == u'm' || c == u'y') {
            const qsizetype n = run(c);
            const int v = c == u'd' ? date.day() : c == u'm' ? date.month() : date.year();
            if (c == u'y')
                out += n <= 2 ? QString::number(v % 100).rightJustified(2, u'0')
                              : QString::number(v).rightJustified(4, u'0');
            else
                out += n >= 2 ? QString::number(v).rightJustified(2, u'0') : QString::number(v);
            i += n;
        } else {
            out += picture[i] == u'/' ? fs.dateSeparator : picture[i];
            ++i;
        }
    }
    return out;
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
