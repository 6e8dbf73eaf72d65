#include "exprtestutil.h"

#include "expr/datetimeformat.h"
#include "expr/numberformat.h"

#include <QLocale>

using namespace cm;
using namespace cm::test;

namespace {

TEST_F(ExprTest, NumberPictures)
{
    struct Case {
        const char* picture;
        double value;
        const char* expected;
    } cases[] = {
        {"0.00", 3.14159, "3.14"},
        {"0.00", 1.005, "1.01"},          // rounds the decimal number as written
        {"0", 2.5, "3"},
        {"0", -2.5, "-3"},
        {"#,##0.00", 1234567.891, "1,234,567.89"},
        {"#,##0.00", -1234.5, "-1,234.50"},
        {",0", 999, "999"},
        {",0", 1000, "1,000"},
        {"0.00;(0.00)", -5, "(5.00)"},
        {"0.00;(0.00);zero", 0, "zero"},
        {"0.00;(0.00);zero", 0.001, "zero"},
        {"0.00;;zero", -2, "-2.00"},
        {"0.00", -0.001, "0.00"},         // no minus on a value that rounds to zero
        {"#.##", 0.5, ".5"},
        {"0.##", 1, "1"},
        {"0.##", 1.5, "1.5"},
        {"0.0#", 1.5, "1.5"},
        {"0.0#", 1.257, "1.26"},
        {"000", 7, "007"},
        {"#", 0, ""},
        {"0", 1234567, "1234567"},
        {"00", 1234, "1234"},
        {"0.00E+00", 1234, "1.23E+03"},
        {"0.00E-00", 1234, "1.23E03"},
        {"0.00e-00", 0.00123, "1.23e-03"},
        {"00.0E+0", 1234, "12.3E+2"},
        {"0.0E+00", 0, "0.0E+00"},
        {"'Freq: '0.000' MHz'", 14.074, "Freq: 14.074 MHz"},
        {"\"#\"0", 5, "#5"},
        {"0 kHz", 7, "7 kHz"},
        {"", 2.5, "2.5"},
        {"", 1e-7, "1E-7"},
        {"0.00", 99.999, "100.00"},
        {"#,##0", 999999.5, "1,000,000"},
    };
    const FormatSettings fs;
    for (const auto& c : cases)
        EXPECT_EQ(formatFloat(QString::fromUtf8(c.picture), c.value, fs), QString::fromUtf8(c.expected)) << c.picture << " " << c.value;
}

TEST_F(ExprTest, NumberPicturesUseTheLocaleSeparators)
{
    FormatSettings fs;
    fs.decimalSeparator = u',';
    fs.thousandSeparator = u'.';
    EXPECT_EQ(formatFloat(u"#,##0.00", 1234.5, fs), QStringLiteral("1.234,50"));
    EXPECT_FALSE(tryFormatFloat(u"0", std::nan(""), fs).has_value());
    EXPECT_FALSE(tryFormatFloat(u"0", 1e30, fs).has_value());   // hundreds of digits refused
    EXPECT_EQ(formatFloat(u"0.0E+00", 1e30, fs), QStringLiteral("1,0E+30"));
}

class DatePictures : public ExprTest {
protected:
    const QDateTime when{QDate(2001, 3, 7), QTime(14, 5, 9, 45)};   // a Wednesday
    FormatSettings fs;
    QString fmt(const char* picture, const QDateTime& dt) const { return formatDateTime(QString::fromUtf8(picture), dt, fs); }
    QString fmt(const char* picture) const { return fmt(picture, when); }
};

TEST_F(DatePictures, Specifiers)
{
    struct Case {
        const char* picture;
        const char* expected;
    } cases[] = {
        {"c", "3/7/2001 2:05:09 PM"},
        {"", "3/7/2001 2:05:09 PM"},
        {"d/m/yy", "7/3/01"},
        {"dd.mm.yyyy", "07.03.2001"},
        {"DD-MM-YYYY", "07-03-2001"},
        {"ddd dddd", "Wed Wednesday"},
        {"ddddd", "3/7/2001"},
        {"dddddd", "Wednesday, March 7, 2001"},
        {"mmm mmmm", "Mar March"},
        {"hh:mm", "14:05"},
        {"h:nn am/pm", "2:05 pm"},
        {"h:nn AM/PM", "2:05 PM"},
        {"h a/p", "2 p"},
        {"hh ampm", "02 PM"},
        {"s ss z zzz", "9 09 45 045"},
        {"t", "2:05 PM"},
        {"tt", "2:05:09 PM"},
        {"'Date:' yyyy", "Date: 2001"},
        {"\"x\"yy", "x01"},
        {"aaa aaaa", "Wed Wednesday"},
        {"yyy y", "2001 01"},
        {"m", "3"},
        {"[yyyy]", "[2001]"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fmt(c.picture), QString::fromUtf8(c.expected)) << c.picture;
}

TEST_F(DatePictures, MidnightSeparatorsAndTwelveOClock)
{
    const QDateTime midnight(QDate(2001, 3, 7), QTime(0, 0));
    EXPECT_EQ(fmt("c", midnight), QStringLiteral("3/7/2001"));
    EXPECT_EQ(fmt("h:nn am/pm", midnight), QStringLiteral("12:00 am"));
    fs.dateSeparator = u'.';
    fs.timeSeparator = u'-';
    EXPECT_EQ(fmt("d/m hh:nn"), QStringLiteral("7.3 14-05"));
}

TEST_F(DatePictures, LocaleFormatsNestOnlyTwoDeep)
{
    const QDateTime midnight(QDate(2001, 3, 7), QTime(0, 0));
    fs.shortDateFormat = QStringLiteral("c");   // refers to itself
    EXPECT_EQ(fmt("ddddd", midnight), QString());
    fs.shortDateFormat = QStringLiteral("ddddd");
    EXPECT_EQ(fmt("c", midnight), QString());
}

TEST_F(ExprTest, LocaleSettingsComeFromQtFormats)
{
    EXPECT_EQ(pictureFromQtFormat(u"dd.MM.yyyy", u'.', u':'), QStringLiteral("dd/mm/yyyy"));
    EXPECT_EQ(pictureFromQtFormat(u"h:mm:ss AP t", u'/', u':'), QStringLiteral("h:nn:ss ampm"));
    EXPECT_EQ(pictureFromQtFormat(u"d 'de' MMMM", u'/', u':'), QStringLiteral("d \"de\" mmmm"));

    const FormatSettings de = FormatSettings::fromLocale(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(de.decimalSeparator, QChar(u','));
    EXPECT_EQ(de.dateSeparator, QChar(u'.'));
    EXPECT_EQ(formatDateTime(de.shortDateFormat, QDateTime(QDate(2001, 3, 7), QTime(0, 0)), de), QStringLiteral("07.03.01"));
    EXPECT_EQ(de.longMonthNames[2], QStringLiteral("März"));
    EXPECT_EQ(de.longDayNames[0], QStringLiteral("Sonntag"));
}

TEST_F(ExprTest, DateTextsAreReadInTheShortDateOrder)
{
    FormatSettings fs;
    EXPECT_EQ(parseDateTimeText(u"3/7/2001", fs)->date(), QDate(2001, 3, 7));
    EXPECT_EQ(parseDateTimeText(u"3/7/01", fs)->date(), QDate(2001, 3, 7));
    EXPECT_EQ(parseDateTimeText(u"3/7/2001 2:05:09 PM", fs)->time(), QTime(14, 5, 9));
    EXPECT_FALSE(parseDateTimeText(u"2/30/2001", fs).has_value());
    EXPECT_FALSE(parseDateTimeText(u"", fs).has_value());
    fs.shortDateFormat = QStringLiteral("dd/mm/yyyy");
    EXPECT_EQ(parseDateTimeText(u"07.03.2001", fs)->date(), QDate(2001, 3, 7));
    EXPECT_EQ(parseTimeText(u"12:30 am", fs), QTime(0, 30));
    EXPECT_FALSE(parseTimeText(u"25:00", fs).has_value());
}

} // namespace
