#include "expr/numberformat.h"

#include "expr/evresult.h"

#include <QStringList>
#include <cmath>
#include <cstdio>
#include <vector>

namespace cm {

namespace {

enum class Tok { IntDigit, FracDigit, Point, Exponent, Literal };

struct Token {
    Tok kind;
    QChar ch;            // '0' or '#' for digits; 'E'/'e' for the exponent
    QChar sign;          // '+' or '-' for the exponent
    int expDigits = 0;
    QString text;        // literal text
};

struct Section {
    std::vector<Token> tokens;
    int intPlaces = 0;
    int minInt = 0;       // placeholders from the first integer '0' on
    int decimals = 0;
    int minDecimals = 0;  // placeholders up to the last fractional '0'
    bool thousands = false;
    bool scientific = false;
};

// Splits at ';' outside quotes.
QList<QStringView> splitSections(QStringView picture)
{
    QList<QStringView> out;
    QChar quote;
    qsizetype start = 0;
    for (qsizetype i = 0; i < picture.size(); ++i) {
        const QChar c = picture[i];
        if (!quote.isNull()) {
            if (c == quote) quote = QChar();
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u';') {
            out.append(picture.mid(start, i - start));
            start = i + 1;
        }
    }
    out.append(picture.mid(start));
    return out;
}

Section parseSection(QStringView s)
{
    Section sec;
    bool afterPoint = false;
    int firstIntZero = -1;
    auto literal = [&](QStringView text) {
        if (!sec.tokens.empty() && sec.tokens.back().kind == Tok::Literal)
            sec.tokens.back().text.append(text);
        else
            sec.tokens.push_back({Tok::Literal, QChar(), QChar(), 0, text.toString()});
    };
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c == u'\'' || c == u'"') {
            qsizetype end = s.indexOf(c, i + 1);
            if (end < 0) end = s.size();
            literal(s.mid(i + 1, end - i - 1));
            i = end;
        } else if ((c == u'0' || c == u'#') && !sec.scientific) {
            if (afterPoint) {
                ++sec.decimals;
                if (c == u'0') sec.minDecimals = sec.decimals;
                sec.tokens.push_back({Tok::FracDigit, c, QChar(), 0, {}});
            } else {
                if (c == u'0' && firstIntZero < 0) firstIntZero = sec.intPlaces;
                ++sec.intPlaces;
                sec.tokens.push_back({Tok::IntDigit, c, QChar(), 0, {}});
            }
        } else if (c == u'.' && !afterPoint && !sec.scientific) {
            afterPoint = true;
            sec.tokens.push_back({Tok::Point, c, QChar(), 0, {}});
        } else if (c == u',') {
            sec.thousands = true;
        } else if ((c == u'E' || c == u'e') && !sec.scientific && i + 1 < s.size() &&
                   (s[i + 1] == u'+' || s[i + 1] == u'-')) {
            Token t{Tok::Exponent, c, s[i + 1], 0, {}};
            i += 1;
            while (i + 1 < s.size() && s[i + 1] == u'0' && t.expDigits < 4) {
                ++t.expDigits;
                ++i;
            }
            sec.scientific = true;
            sec.tokens.push_back(t);
        } else {
            literal(QStringView(&c, 1));
        }
    }
    sec.minInt = firstIntZero < 0 ? 0 : sec.intPlaces - firstIntZero;
    return sec;
}

// Digits of |value| for a section: integer part, fraction and exponent.
struct Digits {
    QString intPart;
    QString fracPart;
    int exponent = 0;
};

// A positive value as 0.d1d2d3... x 10^exp10 with 15 significant digits, so
// that 1.005 rounds like the decimal number it was written as.
struct Decimal {
    QString digits;
    int exp10 = 0;
};

Decimal decompose(double v)
{
    Decimal d;
    if (v == 0.0) {
        d.digits = QStringLiteral("0");
        d.exp10 = 1;
        return d;
    }
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", v);
    const char* p = buf;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') d.digits.append(QLatin1Char(*p));
    d.exp10 = (*p == 'e' ? std::atoi(p + 1) : 0) + 1;
    return d;
}

// Keeps `keep` significant digits, halves rounded away from zero.
void roundTo(Decimal& d, int keep)
{
    if (keep >= d.digits.size())
        return;
    if (keep < 0) {
        d.digits = QStringLiteral("0");
        return;
    }
    const bool up = d.digits.at(keep).unicode() >= '5';
    d.digits.truncate(keep);
    if (up) {
        int i = int(d.digits.size()) - 1;
        while (i >= 0 && d.digits.at(i) == u'9') d.digits[i--] = u'0';
        if (i >= 0) d.digits[i] = QChar(d.digits.at(i).unicode() + 1);
        else { d.digits.prepend(u'1'); ++d.exp10; }
    }
    if (d.digits.isEmpty()) d.digits = QStringLiteral("0");
}

// Integer and fraction digits of 0.digits x 10^exp10 with `decimals` fraction digits.
void splitDigits(const Decimal& d, int decimals, QString& intPart, QString& fracPart)
{
    QString all = d.digits;
    int point = d.exp10;
    if (point <= 0) {
        all.prepend(QString(-point, u'0'));
        point = 0;
    }
    if (all.size() < point) all.append(QString(point - all.size(), u'0'));
    intPart = all.left(point);
    fracPart = all.mid(point).left(decimals);
    if (fracPart.size() < decimals) fracPart.append(QString(decimals - fracPart.size(), u'0'));
}

Digits digitsFor(const Section& sec, double v)
{
    Digits out;
    Decimal d = decompose(v);
    if (sec.scientific) {
        const int sig = qMax(1, sec.intPlaces + sec.decimals);
        roundTo(d, sig);
        out.exponent = v == 0.0 ? 0 : d.exp10 - sec.intPlaces;
        Decimal shifted = d;
        shifted.exp10 = sec.intPlaces;
        splitDigits(shifted, sec.decimals, out.intPart, out.fracPart);
    } else {
        if (v != 0.0) roundTo(d, d.exp10 + sec.decimals);
        if (d.digits == u"0") d.exp10 = 1;
        splitDigits(d, sec.decimals, out.intPart, out.fracPart);
    }
    while (out.intPart.startsWith(u'0')) out.intPart.remove(0, 1);
    return out;
}

bool roundsToZero(const Section& sec, double v)
{
    if (v == 0.0) return true;
    if (sec.scientific) return false;
    const Digits d = digitsFor(sec, v);
    for (QChar c : d.intPart + d.fracPart)
        if (c != u'0') return false;
    return true;
}

QString applySection(const Section& sec, double v, const FormatSettings& fs)
{
    Digits d = digitsFor(sec, v);
    QString intStr = d.intPart;
    if (!sec.scientific && intStr.size() < sec.minInt)
        intStr = QString(sec.minInt - intStr.size(), u'0') + intStr;
    if (sec.scientific && intStr.size() < sec.intPlaces)
        intStr = QString(sec.intPlaces - intStr.size(), u'0') + intStr;
    QString frac = d.fracPart;
    while (frac.size() > sec.minDecimals && frac.endsWith(u'0')) frac.chop(1);

    const qsizetype len = intStr.size();
    const qsizetype extra = len - sec.intPlaces;
    const bool groups = sec.thousands && !sec.scientific;
    QString out;
    auto emitInt = [&](qsizetype from, qsizetype to) {
        for (qsizetype p = qMax<qsizetype>(from, 0); p < to; ++p) {
            out.append(intStr.at(p));
            const qsizetype remaining = len - 1 - p;
            if (groups && remaining > 0 && remaining % 3 == 0) out.append(fs.thousandSeparator);
        }
    };
    int k = 0;
    int j = 0;
    bool intWritten = false;
    for (const Token& t : sec.tokens) {
        switch (t.kind) {
        case Tok::IntDigit:
            emitInt(k == 0 ? 0 : k + extra, k + extra + 1);
            intWritten = true;
            ++k;
            break;
        case Tok::Point:
            if (!intWritten) { emitInt(0, len); intWritten = true; }
            if (!frac.isEmpty()) out.append(fs.decimalSeparator);
            break;
        case Tok::FracDigit:
            if (j < frac.size()) out.append(frac.at(j));
            ++j;
            break;
        case Tok::Exponent: {
            out.append(t.ch);
            if (d.exponent < 0) out.append(u'-');
            else if (t.sign == u'+') out.append(u'+');
            out.append(QString::number(std::abs(d.exponent)).rightJustified(t.expDigits, u'0'));
            break;
        }
        case Tok::Literal:
            out.append(t.text);
            break;
        }
    }
    return out;
}

} // namespace

std::optional<QString> tryFormatFloat(QStringView picture, double value, const FormatSettings& settings)
{
    if (!std::isfinite(value))
        return std::nullopt;
    if (picture.isEmpty())
        return formatGeneralFloat(value, settings.decimalSeparator);
    const QList<QStringView> sections = splitSections(picture);
    const Section first = parseSection(sections.at(0));
    // Fixed notation of huge values would print hundreds of digits: refuse.
    if (!first.scientific && std::fabs(value) >= 1e18)
        return std::nullopt;
    const double magnitude = std::fabs(value);
    if (sections.size() >= 3 && !sections.at(2).isEmpty() && roundsToZero(first, magnitude)) {
        const Section zero = parseSection(sections.at(2));
        return applySection(zero, 0.0, settings);
    }
    if (value < 0 && sections.size() >= 2 && !sections.at(1).isEmpty()) {
        const Section neg = parseSection(sections.at(1));
        if (!neg.scientific && magnitude >= 1e18) return std::nullopt;
        return applySection(neg, magnitude, settings);
    }
    QString text = applySection(first, magnitude, settings);
    if (value < 0 && !roundsToZero(first, magnitude))
        text.prepend(u'-');
    return text;
}

QString formatFloat(QStringView picture, double value, const FormatSettings& settings)
{
    if (auto text = tryFormatFloat(picture, value, settings))
        return *text;
    return formatGeneralFloat(value, settings.decimalSeparator);
}

} // namespace cm
