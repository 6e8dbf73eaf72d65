#include "expr/safeformat.h"

namespace cm {

QString substituteArgs(QStringView messageTemplate, const QStringList& args)
{
    QString out;
    out.reserve(messageTemplate.size() + 16);
    qsizetype next = 0;
    for (qsizetype i = 0; i < messageTemplate.size(); ++i) {
        if (messageTemplate[i] == u'%' && i + 1 < messageTemplate.size() && messageTemplate[i + 1] == u's' &&
            next < args.size()) {
            out.append(args.at(next++));
            ++i;
        } else {
            out.append(messageTemplate[i]);
        }
    }
    return out;
}

std::optional<QString> formatWithTexts(QStringView format, const QStringList& args)
{
    QString out;
    qsizetype nextArg = 0;
    const qsizetype n = format.size();
    auto readNumber = [&](qsizetype& i, int& value) {
        bool any = false;
        value = 0;
        while (i < n && format[i].isDigit() && format[i].unicode() < 128) {
            if (value < 100000)   // widths beyond this are clamped below anyway
                value = value * 10 + (format[i].unicode() - '0');
            ++i;
            any = true;
        }
        return any;
    };
    for (qsizetype i = 0; i < n; ++i) {
        if (format[i] != u'%') {
            out.append(format[i]);
            continue;
        }
        ++i;
        if (i >= n)
            return std::nullopt;
        if (format[i] == u'%') {
            out.append(u'%');
            continue;
        }
        // [index ":"] ["-"] [width] ["." precision] type
        qsizetype start = i;
        int number = 0;
        if (readNumber(i, number) && i < n && format[i] == u':') {
            nextArg = number;
            ++i;
        } else {
            i = start;
        }
        bool leftJustify = false;
        if (i < n && format[i] == u'-') {
            leftJustify = true;
            ++i;
        }
        int width = 0;
        readNumber(i, width);
        int precision = -1;
        if (i < n && format[i] == u'.') {
            ++i;
            if (!readNumber(i, precision))
                precision = 0;
        }
        if (i >= n)
            return std::nullopt;
        const QChar type = format[i].toLower();
        if (type != u's' || nextArg >= args.size())
            return std::nullopt;   // needs a number, a pointer or a missing argument
        QString piece = args.at(nextArg++);
        if (precision >= 0 && piece.size() > precision)
            piece.truncate(precision);
        width = qMin(width, 4096);
        if (piece.size() < width) {
            const QString pad(width - piece.size(), u' ');
            piece = leftJustify ? piece + pad : pad + piece;
        }
        out.append(piece);
    }
    return out;
}

} // namespace cm
