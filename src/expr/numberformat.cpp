#include "expr/numberformat.h"

namespace cm {

// Placeholder until the full number-picture formatter lands: digits after the
// decimal point and an optional thousands separator.
QString formatFloat(QStringView picture, double value, const FormatSettings& settings)
{
    const qsizetype dot = picture.indexOf(u'.');
    const int decimals = dot < 0 ? 0 : int(picture.size() - dot - 1);
    QLocale c = QLocale::c();
    if (!picture.contains(u','))
        c.setNumberOptions(QLocale::OmitGroupSeparator);
    QString s = c.toString(value, 'f', decimals);
    for (QChar& ch : s) {
        if (ch == u',') ch = QChar(0x1);
        else if (ch == u'.') ch = settings.decimalSeparator;
    }
    s.replace(QChar(0x1), settings.thousandSeparator);
    return s;
}

} // namespace cm
