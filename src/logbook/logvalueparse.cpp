#include "logbook/logvalueparse.h"

#include <QString>

namespace cm {

std::optional<qint64> parseIntegerValue(QStringView text)
{
    bool ok = false;
    const qint64 v = text.trimmed().toLongLong(&ok);
    if (ok)
        return v;
    return std::nullopt;
}

std::optional<double> parseFloatValue(QStringView text)
{
    QString t = text.trimmed().toString();
    if (!t.contains(u'.'))
        t.replace(u',', u'.');
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (ok && qIsFinite(v))
        return v;
    return std::nullopt;
}

// Reads up to `maxDigits` digits at `pos`; false when there are none.
static bool readNumber(QStringView t, qsizetype& pos, int maxDigits, int& value)
{
    value = 0;
    int digits = 0;
    while (pos < t.size() && digits < maxDigits && t[pos].isDigit() && t[pos].unicode() < 128) {
        value = value * 10 + (t[pos].unicode() - '0');
        ++pos;
        ++digits;
    }
    return digits > 0;
}

// Three numbers separated by `sep`, the whole text used.
static bool readTriple(QStringView t, QChar sep, int maxFirst, int& a, int& b, int& c)
{
    qsizetype pos = 0;
    if (!readNumber(t, pos, maxFirst, a) || pos >= t.size() || t[pos] != sep)
        return false;
    ++pos;
    if (!readNumber(t, pos, 2, b) || pos >= t.size() || t[pos] != sep)
        return false;
    ++pos;
    return readNumber(t, pos, 4, c) && pos == t.size();
}

std::optional<QDate> parseDateValue(QStringView text)
{
    const QStringView t = text.trimmed();
    int a = 0, b = 0, c = 0;
    QDate d;
    qsizetype pos = 0;
    if (t.size() == 8 && readNumber(t, pos, 4, a) && readNumber(t, pos, 2, b) &&
        readNumber(t, pos, 2, c) && pos == 8)
        d = QDate(a, b, c);
    else if (readTriple(t, u'-', 4, a, b, c))
        d = QDate(a, b, c);
    else if (readTriple(t, u'.', 2, a, b, c))
        d = QDate(c, b, a);
    else if (readTriple(t, u'/', 2, a, b, c))
        d = QDate(c, a, b);
    if (d.isValid())
        return d;
    return std::nullopt;
}

std::optional<QTime> parseTimeValue(QStringView text)
{
    const QStringView t = text.trimmed();
    int h = 0, m = 0, s = 0;
    bool ok = false;
    if (t.contains(u':')) {
        qsizetype pos = 0;
        ok = readNumber(t, pos, 2, h) && pos < t.size() && t[pos] == u':';
        if (ok) {
            ++pos;
            ok = readNumber(t, pos, 2, m);
            if (ok && pos < t.size()) {
                ok = t[pos] == u':';
                ++pos;
                ok = ok && readNumber(t, pos, 2, s) && pos == t.size();
            }
        }
    } else if (t.size() == 4 || t.size() == 6) {
        qsizetype pos = 0;
        ok = readNumber(t, pos, 2, h) && readNumber(t, pos, 2, m);
        if (ok && t.size() == 6)
            ok = readNumber(t, pos, 2, s);
        ok = ok && pos == t.size();
    }
    if (ok && QTime::isValid(h, m, s))
        return QTime(h, m, s);
    return std::nullopt;
}

std::optional<bool> parseBooleanValue(QStringView text)
{
    const QString t = text.trimmed().toString().toLower();
    if (t == u"true" || t == u"t" || t == u"yes" || t == u"y" || t == u"1")
        return true;
    if (t == u"false" || t == u"f" || t == u"no" || t == u"n" || t == u"0")
        return false;
    return std::nullopt;
}

} // namespace cm
