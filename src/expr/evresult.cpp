#include "expr/evresult.h"

#include "expr/formatsettings.h"

#include <cmath>
#include <cstdio>

namespace cm {

void cutResultText(QString& text)
{
    if (text.size() <= MaxResultText)
        return;   // UTF-16 units never undercount code points
    int chars = 0;
    qsizetype i = 0;
    while (i < text.size() && chars < MaxResultText) {
        i += (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) ? 2 : 1;
        ++chars;
    }
    text.truncate(i);
}

EvResult EvResult::string(QString text)
{
    EvResult r;
    r.setString(std::move(text));
    return r;
}

EvResult EvResult::error(QString message)
{
    EvResult r;
    r.setError(std::move(message));
    return r;
}

void EvResult::setString(QString text)
{
    kind = ResultKind::String;
    cutResultText(text);
    strResult = std::move(text);
}

void EvResult::setError(QString message)
{
    kind = ResultKind::Error;
    cutResultText(message);
    strResult = std::move(message);
}

QString formatGeneralFloat(double value, QChar decimalSeparator)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (value == 0.0)
        return QStringLiteral("0");

    // 15 significant digits as d.dddddddddddddde±x (fixed format: no user text here).
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", value);
    const bool negative = buf[0] == '-';
    const char* p = buf + (negative ? 1 : 0);
    QString digits;
    digits.reserve(15);
    for (; *p && *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9')
            digits.append(QLatin1Char(*p));
    }
    const int exponent = *p == 'e' ? std::atoi(p + 1) : 0;
    while (digits.size() > 1 && digits.endsWith(u'0'))
        digits.chop(1);

    QString out;
    if (negative)
        out.append(u'-');
    if (std::fabs(value) < 0.00001 || exponent >= 15) {
        out.append(digits.at(0));
        if (digits.size() > 1) {
            out.append(decimalSeparator);
            out.append(QStringView(digits).mid(1));
        }
        out.append(u'E');
        if (exponent < 0)
            out.append(u'-');
        out.append(QString::number(std::abs(exponent)));
        return out;
    }
    if (exponent < 0) {
        out.append(u'0');
        out.append(decimalSeparator);
        out.append(QString(-exponent - 1, u'0'));
        out.append(digits);
        return out;
    }
    const int intDigits = exponent + 1;
    if (digits.size() <= intDigits) {
        out.append(digits);
        out.append(QString(intDigits - digits.size(), u'0'));
    } else {
        out.append(QStringView(digits).left(intDigits));
        out.append(decimalSeparator);
        out.append(QStringView(digits).mid(intDigits));
    }
    return out;
}

QString ValueToText(const EvResult& value)
{
    switch (value.kind) {
    case ResultKind::Integer:
        return QString::number(value.intResult);
    case ResultKind::Float:
        return formatGeneralFloat(value.dblResult, FormatSettings::current().decimalSeparator);
    case ResultKind::String:
        return value.strResult;
    case ResultKind::Boolean:
        return value.booResult ? QStringLiteral("True") : QStringLiteral("False");
    case ResultKind::Error:
        break;
    }
    throw EvaluatorException(QStringLiteral("Error in expression : ") + value.strResult);
}

QString kindName(ResultKind kind)
{
    switch (kind) {
    case ResultKind::Integer: return QStringLiteral("INTEGER");
    case ResultKind::Float: return QStringLiteral("FLOAT");
    case ResultKind::String: return QStringLiteral("STRING");
    case ResultKind::Boolean: return QStringLiteral("BOOLEAN");
    case ResultKind::Error: break;
    }
    return QStringLiteral("ERROR");
}

} // namespace cm
