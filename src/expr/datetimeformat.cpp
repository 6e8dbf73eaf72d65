#include "expr/datetimeformat.h"

#include <QDate>
#include <QStringList>

namespace cm {

namespace {

QString padded(int value, int width) { return QString::number(value).rightJustified(width, u'0'); }

bool startsWithCI(QStringView text, qsizetype at, QStringView word)
{
    return text.mid(at).startsWith(word, Qt::CaseInsensitive);
}

// Whether the first 'a' or 'h' outside quotes after `from` begins an am/pm
// designator: then hours are written on a 12-hour clock.
bool twelveHourAhead(QStringView pic, qsizetype from)
{
    QChar quote;
    for (qsizetype i = from; i < pic.size(); ++i) {
        const QChar c = pic[i];
        if (!quote.isNull()) {
            if (c == quote) quote = QChar();
            continue;
        }
        if (c == u'\'' || c == u'"') { quote = c; continue; }
        const QChar l = c.toLower();
        if (l == u'h') return false;
        if (l == u'a')
            return startsWithCI(pic, i, u"am/pm") || startsWithCI(pic, i, u"a/p") || startsWithCI(pic, i, u"ampm");
    }
    return false;
}

void appendPicture(QString& out, QStringView pic, const QDateTime& dt, const FormatSettings& fs, int level)
{
    const QDate date = dt.date();
    const QTime time = dt.time();
    const int year = date.isValid() ? date.year() : 1899;
    const int month = date.isValid() ? date.month() : 12;
    const int day = date.isValid() ? date.day() : 30;
    const int dow = date.isValid() ? date.dayOfWeek() % 7 : 6;   // 0 = Sunday
    const int hour = time.isValid() ? time.hour() : 0;
    const int minute = time.isValid() ? time.minute() : 0;
    const int second = time.isValid() ? time.second() : 0;
    const int msec = time.isValid() ? time.msec() : 0;

    auto insertFormat = [&](const QString& format) {
        if (level < 2)
            appendPicture(out, format, dt, fs, level + 1);
    };
    bool use12Hour = false;
    QChar lastLetter;
    qsizetype i = 0;
    while (i < pic.size()) {
        const QChar c = pic[i];
        qsizetype run = 1;
        while (i + run < pic.size() && pic[i + run] == c) ++run;
        const QChar l = c.toLower();
        if (c == u'\'' || c == u'"') {
            qsizetype end = pic.indexOf(c, i + 1);
            if (end < 0) end = pic.size();
            out.append(pic.mid(i + 1, end - i - 1));
            i = end + 1;
            continue;
        }
        if (c == u'/') { out.append(fs.dateSeparator); ++i; continue; }
        if (c == u':') { out.append(fs.timeSeparator); ++i; continue; }
        if (l == u'a') {
            if (startsWithCI(pic, i, u"am/pm")) {
                out.append(pic.mid(i + (hour >= 12 ? 3 : 0), 2));
                i += 5;
            } else if (startsWithCI(pic, i, u"a/p")) {
                out.append(pic[i + (hour >= 12 ? 2 : 0)]);
                i += 3;
            } else if (startsWithCI(pic, i, u"ampm")) {
                out.append(hour >= 12 ? fs.timePMString : fs.timeAMString);
                i += 4;
            } else if (startsWithCI(pic, i, u"aaaa")) {
                out.append(fs.longDayNames[size_t(dow)]);
                i += 4;
            } else if (startsWithCI(pic, i, u"aaa")) {
                out.append(fs.shortDayNames[size_t(dow)]);
                i += 3;
            } else {
                out.append(c);
                ++i;
            }
            continue;
        }
        i += run;
        switch (l.unicode()) {
        case 'c':
            insertFormat(fs.shortDateFormat);
            if (hour != 0 || minute != 0 || second != 0) {
                out.append(u' ');
                insertFormat(fs.longTimeFormat);
            }
            break;
        case 'd':
            if (run <= 2) out.append(padded(day, int(run)));
            else if (run == 3) out.append(fs.shortDayNames[size_t(dow)]);
            else if (run == 4) out.append(fs.longDayNames[size_t(dow)]);
            else if (run == 5) insertFormat(fs.shortDateFormat);
            else insertFormat(fs.longDateFormat);
            break;
        case 'm':
            if (lastLetter == u'h' && run <= 2) out.append(padded(minute, int(run)));
            else if (run <= 2) out.append(padded(month, int(run)));
            else if (run == 3) out.append(fs.shortMonthNames[size_t(month - 1)]);
            else out.append(fs.longMonthNames[size_t(month - 1)]);
            break;
        case 'y':
            if (run <= 2) out.append(padded(year % 100, 2));
            else out.append(padded(year, 4));
            break;
        case 'h': {
            use12Hour = twelveHourAhead(pic, i);
            int h = hour;
            if (use12Hour) {
                h = hour % 12;
                if (h == 0) h = 12;
            }
            out.append(padded(h, run >= 2 ? 2 : 1));
            break;
        }
        case 'n': out.append(padded(minute, run >= 2 ? 2 : 1)); break;
        case 's': out.append(padded(second, run >= 2 ? 2 : 1)); break;
        case 'z': out.append(padded(msec, int(qMin<qsizetype>(run, 3)))); break;
        case 't':
            insertFormat(run == 1 ? fs.shortTimeFormat : fs.longTimeFormat);
            break;
        case 'e': out.append(QString::number(year)); break;
        case 'g': out.append(year > 0 ? QStringLiteral("AD") : QStringLiteral("BC")); break;
        default:
            out.append(pic.mid(i - run, run));
            continue;   // not a specifier: the last letter stays as it was
        }
        lastLetter = l;
    }
}

// Splits into runs of digits and runs of letters; everything else separates.
QStringList tokens(QStringView text)
{
    QStringList out;
    QString cur;
    int curType = 0;   // 1 digits, 2 letters
    for (QChar c : text) {
        const int t = c.isDigit() ? 1 : (c.isLetter() ? 2 : 0);
        if (t != curType && !cur.isEmpty()) {
            out.append(cur);
            cur.clear();
        }
        curType = t;
        if (t) cur.append(c);
    }
    if (!cur.isEmpty()) out.append(cur);
    return out;
}

int monthFromName(const QString& word, const FormatSettings& fs)
{
    for (int m = 0; m < 12; ++m) {
        if (word.compare(fs.longMonthNames[size_t(m)], Qt::CaseInsensitive) == 0 ||
            word.compare(fs.shortMonthNames[size_t(m)], Qt::CaseInsensitive) == 0)
            return m + 1;
    }
    return 0;
}

std::optional<QDate> parseDatePart(QStringView text, const FormatSettings& fs)
{
    const QStringList parts = tokens(text);
    if (parts.size() < 2 || parts.size() > 3)
        return std::nullopt;
    // Field order from the short date format: the first of d, m, y decides.
    QString order;
    for (QChar c : fs.shortDateFormat) {
        const QChar l = c.toLower();
        if ((l == u'd' || l == u'm' || l == u'y') && !order.contains(l)) order.append(l);
    }
    if (order.size() != 3) order = QStringLiteral("mdy");
    // Without a year the date is in this year; asking the clock costs, so only then.
    int d = 0, m = 0, y = parts.size() == 2 ? QDate::currentDate().year() : 0;
    bool yearGiven = false;
    QString used = order;
    if (parts.size() == 2) used.remove(u'y');
    for (int k = 0; k < parts.size(); ++k) {
        bool ok = false;
        int v = parts[k].toInt(&ok);
        const QChar what = used.at(k);
        if (!ok) {
            if (what != u'm') return std::nullopt;
            v = monthFromName(parts[k], fs);
            if (v == 0) return std::nullopt;
        }
        if (what == u'd') d = v;
        else if (what == u'm') m = v;
        else { y = v; yearGiven = parts[k].size() <= 2; }
    }
    if (yearGiven) y += y < 50 ? 2000 : 1900;   // two-digit years: 1950 .. 2049
    const QDate date(y, m, d);
    if (!date.isValid()) return std::nullopt;
    return date;
}

} // namespace

QString formatDateTime(QStringView picture, const QDateTime& value, const FormatSettings& settings)
{
    QString out;
    appendPicture(out, picture.isEmpty() ? QStringView(u"c") : picture, value, settings, 0);
    return out;
}

std::optional<QTime> parseTimeText(QStringView text, const FormatSettings& fs)
{
    const QStringList parts = tokens(text);
    int values[4] = {0, 0, 0, 0};
    int count = 0;
    int ampm = 0;   // 1 am, 2 pm
    for (const QString& p : parts) {
        bool ok = false;
        const int v = p.toInt(&ok);
        if (ok) {
            if (count >= 4 || ampm) return std::nullopt;
            values[count++] = v;
        } else if (p.compare(fs.timeAMString, Qt::CaseInsensitive) == 0 || p.compare(u"am", Qt::CaseInsensitive) == 0 ||
                   p.compare(u"a", Qt::CaseInsensitive) == 0) {
            ampm = 1;
        } else if (p.compare(fs.timePMString, Qt::CaseInsensitive) == 0 || p.compare(u"pm", Qt::CaseInsensitive) == 0 ||
                   p.compare(u"p", Qt::CaseInsensitive) == 0) {
            ampm = 2;
        } else {
            return std::nullopt;
        }
    }
    if (count == 0) return std::nullopt;
    int h = values[0];
    if (ampm) {
        if (h < 1 || h > 12) return std::nullopt;
        h = h % 12 + (ampm == 2 ? 12 : 0);
    }
    const QTime t(h, values[1], values[2], values[3]);
    if (!t.isValid()) return std::nullopt;
    return t;
}

std::optional<QDateTime> parseDateTimeText(QStringView text, const FormatSettings& fs)
{
    // The time part starts at the first blank-separated piece with a time separator or a digit run after the date.
    const QString trimmed = text.trimmed().toString();
    const qsizetype colon = trimmed.indexOf(fs.timeSeparator);
    QString datePart = trimmed;
    QString timePart;
    if (colon >= 0) {
        const qsizetype blank = trimmed.lastIndexOf(u' ', colon);
        if (blank < 0) {
            // A time alone is the time on day 0 (30 December 1899).
            const auto t = parseTimeText(trimmed, fs);
            if (!t) return std::nullopt;
            return QDateTime(QDate(1899, 12, 30), *t);
        }
        datePart = trimmed.left(blank);
        timePart = trimmed.mid(blank + 1);
    }
    const auto d = parseDatePart(datePart, fs);
    if (!d) return std::nullopt;
    QTime t(0, 0);
    if (!timePart.isEmpty()) {
        const auto pt = parseTimeText(timePart, fs);
        if (!pt) return std::nullopt;
        t = *pt;
    }
    return QDateTime(*d, t);
}

QString pictureFromQtFormat(QStringView qt, QChar dateSeparator, QChar timeSeparator)
{
    QString out;
    qsizetype i = 0;
    while (i < qt.size()) {
        const QChar c = qt[i];
        qsizetype run = 1;
        while (i + run < qt.size() && qt[i + run] == c) ++run;
        if (c == u'\'') {
            qsizetype end = qt.indexOf(u'\'', i + 1);
            if (end < 0) end = qt.size();
            out.append(u'"');
            out.append(qt.mid(i + 1, end - i - 1));
            out.append(u'"');
            i = end + 1;
            continue;
        }
        i += run;
        switch (c.unicode()) {
        case 'd': out.append(QString(qMin<qsizetype>(run, 4), u'd')); break;
        case 'M': out.append(QString(qMin<qsizetype>(run, 4), u'm')); break;
        case 'y': out.append(run <= 2 ? QStringLiteral("yy") : QStringLiteral("yyyy")); break;
        case 'h': case 'H': out.append(run >= 2 ? QStringLiteral("hh") : QStringLiteral("h")); break;
        case 'm': out.append(run >= 2 ? QStringLiteral("nn") : QStringLiteral("n")); break;
        case 's': out.append(run >= 2 ? QStringLiteral("ss") : QStringLiteral("s")); break;
        case 'z': out.append(QStringLiteral("zzz")); break;
        case 'A': case 'a': out.append(QStringLiteral("ampm")); break;
        case 'P': case 'p': break;   // second letter of "AP"
        case 't': break;             // time zone: not shown
        default:
            for (qsizetype k = 0; k < run; ++k) {
                if (c == dateSeparator) out.append(u'/');
                else if (c == timeSeparator) out.append(u':');
                else if (c.isLetter()) { out.append(u'"'); out.append(c); out.append(u'"'); }
                else out.append(c);
            }
        }
    }
    return out.trimmed();
}

} // namespace cm
