#pragma once
// Locale-dependent formatting settings: separators, date and time formats,
// day and month names, currency. Built from a QLocale, overridable.
#include <QLocale>
#include <QString>
#include <array>

namespace cm {

struct FormatSettings {
    QChar decimalSeparator = u'.';
    QChar thousandSeparator = u',';
    QChar dateSeparator = u'/';
    QChar timeSeparator = u':';
    QString shortDateFormat = QStringLiteral("m/d/yyyy");   // date-time picture
    QString longDateFormat = QStringLiteral("dddd, mmmm d, yyyy");
    QString shortTimeFormat = QStringLiteral("h:nn AMPM");
    QString longTimeFormat = QStringLiteral("h:nn:ss AMPM");
    QString timeAMString = QStringLiteral("AM");
    QString timePMString = QStringLiteral("PM");
    std::array<QString, 12> shortMonthNames;
    std::array<QString, 12> longMonthNames;
    std::array<QString, 7> shortDayNames;   // Sunday first
    std::array<QString, 7> longDayNames;
    QString currencyString = QStringLiteral("$");
    int currencyFormat = 0;       // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $"
    int negCurrFormat = 0;
    int currencyDecimals = 2;
    bool metric = true;           // measurement system

    static FormatSettings fromLocale(const QLocale& locale);
    // The settings every formatter uses unless given others. Starts from
    // the system locale, or from the locale named by CARDMINT_LOCALE.
    static const FormatSettings& current();
    static void setCurrent(const FormatSettings& settings);
};

} // namespace cm
