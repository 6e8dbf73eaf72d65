#include "expr/formatsettings.h"

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
