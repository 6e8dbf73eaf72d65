#include "expr/formatsettings.h"

#include "expr/datetimeformat.h"

#include <optional>

namespace cm {

FormatSettings FormatSettings::fromLocale(const QLocale& locale)
{
    FormatSettings fs;
    fs.decimalSeparator = locale.decimalPoint().isEmpty() ? u'.' : locale.decimalPoint().at(0);
    fs.thousandSeparator = locale.groupSeparator().isEmpty() ? u',' : locale.groupSeparator().at(0);
    for (int m = 1; m <= 12; ++m) {
        fs.shortMonthNames[m - 1] = locale.monthName(m, QLocale::ShortFormat);
        fs.longMonthNames[m - 1] = locale.monthName(m, QLocale::LongFormat);
    }
    for (int d = 0; d < 7; ++d) {
        const int qtDay = d == 0 ? 7 : d;   // Qt: Monday = 1 ... Sunday = 7
        fs.shortDayNames[d] = locale.dayName(qtDay, QLocale::ShortFormat);
        fs.longDayNames[d] = locale.dayName(qtDay, QLocale::LongFormat);
    }
    // The separators are the first punctuation of the short formats; the
    // pictures write them as '/' and ':' so that they follow the settings.
    auto firstSeparator = [](const QString& format, QChar fallback) {
        bool quoted = false;
        for (QChar c : format) {
            if (c == u'\'') quoted = !quoted;
            else if (!quoted && !c.isLetterOrNumber() && !c.isSpace()) return c;
        }
        return fallback;
    };
    const QString qtShortDate = locale.dateFormat(QLocale::ShortFormat);
    const QString qtShortTime = locale.timeFormat(QLocale::ShortFormat);
    fs.dateSeparator = firstSeparator(qtShortDate, u'/');
    fs.timeSeparator = firstSeparator(qtShortTime, u':');
    fs.shortDateFormat = pictureFromQtFormat(qtShortDate, fs.dateSeparator, fs.timeSeparator);
    fs.longDateFormat = pictureFromQtFormat(locale.dateFormat(QLocale::LongFormat), fs.dateSeparator, fs.timeSeparator);
    fs.shortTimeFormat = pictureFromQtFormat(qtShortTime, fs.dateSeparator, fs.timeSeparator);
    fs.longTimeFormat = pictureFromQtFormat(locale.timeFormat(QLocale::LongFormat), fs.dateSeparator, fs.timeSeparator);
    fs.timeAMString = locale.amText();
    fs.timePMString = locale.pmText();
    fs.currencyString = locale.currencySymbol();
    fs.metric = locale.measurementSystem() == QLocale::MetricSystem;
    return fs;
}

static std::optional<FormatSettings>& currentSlot()
{
    static std::optional<FormatSettings> slot;
    return slot;
}

const FormatSettings& FormatSettings::current()
{
    auto& slot = currentSlot();
    if (!slot) {
        const QString name = qEnvironmentVariable("CARDMINT_LOCALE");
        slot = fromLocale(name.isEmpty() ? QLocale::system() : QLocale(name));
    }
    return *slot;
}

void FormatSettings::setCurrent(const FormatSettings& settings) { currentSlot() = settings; }

} // namespace cm
