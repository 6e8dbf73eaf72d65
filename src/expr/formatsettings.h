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
    // Default names are English so that a default-built object is complete.
    std::array<QString, 12> shortMonthNames{QStringLiteral("Jan"), QStringLiteral("Feb"), QStringLiteral("Mar"), QStringLiteral("Apr"), QStringLiteral("May"), QStringLiteral("Jun"),
                                            QStringLiteral("Jul"), QStringLiteral("Aug"), QStringLiteral("Sep"), QStringLiteral("Oct"), QStringLiteral("Nov"), QStringLiteral("Dec")};
    std::array<QString, 12> longMonthNames{QStringLiteral("January"), QStringLiteral("February"), QStringLiteral("March"), QStringLiteral("April"),
                                           QStringLiteral("May"), QStringLiteral("June"), QStringLiteral("July"), QStringLiteral("August"),
                                           QStringLiteral("September"), QStringLiteral("October"), QStringLiteral("November"), QStringLiteral("December")};
    std::array<QString, 7> shortDayNames{QStringLiteral("Sun"), QStringLiteral("Mon"), QStringLiteral("Tue"), QStringLiteral("Wed"),
                                         QStringLiteral("Thu"), QStringLiteral("Fri"), QStringLiteral("Sat")};   // Sunday first
    std::array<QString, 7> longDayNames{QStringLiteral("Sunday"), QStringLiteral("Monday"), QStringLiteral("Tuesday"), QStringLiteral("Wednesday"),
                                        QStringLiteral("Thursday"), QStringLiteral("Friday"), QStringLiteral("Saturday")};
    QString currencyString = QStringLiteral("$");
    int currencyFormat = 0;       // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $"
    int negCurrFormat = 0;
    int currencyDecimals = 2;
    bool metric = true;           // measurement system

    // Separators, date and time pictures, names and currency of a locale.
    static FormatSettings fromLocale(const QLocale& locale);
    // The settings every formatter uses unless given others. Starts from
    // the system locale, or from the locale named by CARDMINT_LOCALE.
    static const FormatSettings& current();
    static void setCurrent(const FormatSettings& settings);
};

} // namespace cm
