#include "logbook/logfields.h"
#include "logbook/logfilter.h"
#include "logbook/logsource.h"
#include "logbook_fixtures.h"

#include <gtest/gtest.h>

using namespace cm;
using namespace cmtest;

namespace {

// Six QSOs; Log numbers 1 to 6 in this order.
std::vector<std::vector<QVariant>> sixQsos()
{
    std::vector<std::vector<QVariant>> rows = {
        qso("S5", QDate(2024, 1, 5), QTime(10, 0), "20M", "CW", 14.025, "Slovenia", "BURO"),
        qso("S51ABC", QDate(2024, 2, 1), QTime(11, 30), "40M", "SSB", 7.150, "Slovenia"),
        qso("DL1XYZ", QDate(2023, 12, 31), QTime(23, 59), "20M", "FT8", 14.074, "Germany", "LOTW"),
        qso("JA1AA", QDate(2024, 3, 10), QTime(8, 15), "15M", "CW", 21.030, "Japan"),
        qso("k1abc", QDate(2024, 2, 1), QTime(0, 5), "80M", "SSB", 3.750, "United States", "DIRECT"),
        qso("O'BRIEN", QDate(), QTime(), "", "", 0, "Ireland"),
    };
    rows[5][LogFreq] = QVariant();
    return rows;
}

std::vector<qint64> logsUnder(LogTable& t)
{
    std::vector<qint64> logs;
    for (t.first(); !t.eof(); t.next())
        logs.push_back(t.toInteger(LogLog));
    return logs;
}

class FilterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString path = makeSqliteLogbook(dir_, QStringLiteral("f.db"), sixQsos());
        ASSERT_FALSE(path.isEmpty());
        QString error;
        table_ = openLogSource(path, &error);
        ASSERT_TRUE(table_) << error.toStdString();
    }
    QTemporaryDir dir_;
    std::unique_ptr<LogTable> table_;
};

} // namespace

TEST(FilterText, DialogPiecesOfEveryCondition)
{
    const QString call = QStringLiteral("Call");
    // The two-row example: Call equal S5, then with OR Band equal 20M.
    EXPECT_EQ(filterPiece(true, true, call, FilterCondition::Equal, QStringLiteral("S5")) +
                  filterPiece(false, true, QStringLiteral("Band"), FilterCondition::Equal, QStringLiteral("20M")),
              QStringLiteral("(Call = 'S5') OR  (Band = '20M')"));
    const struct {
        bool first;
        bool orJoin;
        FilterCondition condition;
        const char* value;
        const char* text;
    } cases[] = {
        {false, false, FilterCondition::NotEqual, "S5", " AND (Call <> 'S5')"},
        {true, false, FilterCondition::NoGreater, "K", "(Call <= 'K')"},
        {true, false, FilterCondition::NoLess, "K", "(Call >= 'K')"},
        {true, false, FilterCondition::LessThan, "K", "(Call < 'K')"},
        {true, false, FilterCondition::GreaterThan, "K", "(Call > 'K')"},
        {true, false, FilterCondition::Empty, "", "(Call IS NULL)"},
        {true, false, FilterCondition::NotEmpty, "", "(Call IS NOT NULL)"},
        {true, false, FilterCondition::InList, "'S5','K1ABC'", "(Call IN ('S5','K1ABC'))"},
        {true, false, FilterCondition::Between, "A M", "(Call  >= A) AND (Call <= M)"},
        {true, false, FilterCondition::Equal, "O'BRIEN", "(Call = 'O''BRIEN')"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(filterPiece(c.first, c.orJoin, call, c.condition, QLatin1String(c.value)), QLatin1String(c.text));
}

TEST(FilterText, RowsReadBackFromTheFilterInForce)
{
    const QString call = QStringLiteral("Call");
    const std::vector<FilterRow> rows = {
        {false, call, FilterCondition::Equal, QStringLiteral("O'BRIEN")},
        {true, QStringLiteral("Freq"), FilterCondition::Between, QStringLiteral("14 14.35")},
        {false, QStringLiteral("Mode"), FilterCondition::InList, QStringLiteral("'CW','SSB'")},
        {true, QStringLiteral("QslVia"), FilterCondition::Empty, QString()},
        {false, QStringLiteral("QTH"), FilterCondition::NotEmpty, QString()},
        {false, QStringLiteral("Band"), FilterCondition::NotEqual, QStringLiteral("20M")},
        {true, QStringLiteral("Datum"), FilterCondition::NoLess, QStringLiteral("2024-01-01")},
        {false, QStringLiteral("Cq"), FilterCondition::GreaterThan, QStringLiteral("14")},
    };
    QString text;
    for (const FilterRow& r : rows)
        text += filterPiece(text.isEmpty(), r.orJoin, r.fieldName, r.condition, r.value);
    EXPECT_EQ(filterRows(text), rows) << text.toStdString();
    // "NOT IS NULL" reads as the test it makes: not empty.
    const auto old = filterRows(u"(QTH NOT IS NULL)");
    ASSERT_EQ(old.size(), 1u);
    EXPECT_EQ(old[0].condition, FilterCondition::NotEmpty);
    EXPECT_TRUE(filterRows(u"").empty());
}

TEST_F(FilterTest, EveryFormSelectsTheRightRecords)
{
    const struct {
        const char* filter;
        std::vector<qint64> logs;
    } cases[] = {
        {"", {1, 2, 3, 4, 5, 6}},
        {"(Call = 'S5') OR  (Band = '20M')", {1, 3}},
        {"(Call = 'S5*')", {1, 2}},
        {"(Call = 'K1ABC')", {5}},                       // text ignores case
        {"(Call <> 'S5')", {2, 3, 4, 5, 6}},
        {"(Band <> '20M')", {2, 4, 5, 6}},               // an empty band differs from 20M
        {"(Freq <= '7.15')", {2, 5}},
        {"(Freq >= '14,074')", {3, 4}},                  // decimal comma
        {"(Freq < 14)", {2, 5}},
        {"(Freq > '14.025')", {3, 4}},
        {"(Datum = '2024-02-01')", {2, 5}},
        {"(Datum >= '1.2.2024')", {2, 4, 5}},
        {"(Datum < '20240101')", {3}},
        {"(Gmt > '23:00')", {3}},
        {"(Mode IN ('CW','FT8'))", {1, 3, 4}},
        {"(Mode IN (CW, SSB))", {1, 2, 4, 5}},
        {"(Country IN ('United States', Japan))", {4, 5}},
        {"(Freq  >= 14) AND (Freq <= 14.35)", {1, 3}},
        {"(Datum  >= 2024-01-01) AND (Datum <= 2024-02-01)", {1, 2, 5}},
        {"(QslVia IS NULL)", {2, 4, 6}},
        {"(QslVia IS NOT NULL)", {1, 3, 5}},
        {"(QslVia NOT IS NULL)", {1, 3, 5}},             // read as written: not null
        {"(Call = 'O''BRIEN')", {6}},
        {"(Mode = 'CW') AND (Band = '20M') OR  (Country = 'Japan')", {1, 4}},
        {"(Country = 'Japan') OR  (Freq  >= 7) AND (Freq <= 7.2)", {2, 4}},
        {"((Mode = 'CW') OR (Mode = 'SSB')) AND (Datum >= '2024-02-01')", {2, 4, 5}},
        {"NOT (Mode IN ('CW'))", {2, 3, 5, 6}},
        {"(Cq = '0')", {}},
        {"call = 'S5'", {1}},                            // field names without regard to case
        {"Band = 20M OR Call = S5", {1, 3}},             // bare values outside parentheses
        {"(QSO_DATE = '2024-02-01')", {2, 5}},            // ADIF names of the fields
        {"(qsl_via IS NULL) AND (FREQ > 14)", {4}},
    };
    for (const auto& c : cases) {
        QString error;
        ASSERT_TRUE(table_->setFilter(QString::fromUtf8(c.filter), &error)) << c.filter << ": " << error.toStdString();
        EXPECT_EQ(logsUnder(*table_), c.logs) << c.filter;
        EXPECT_EQ(table_->recordCount(), int(c.logs.size())) << c.filter;
    }
}

TEST_F(FilterTest, UnreadableFiltersAreRefusedAndLeaveTheFilterInForce)
{
    ASSERT_TRUE(table_->setFilter(QStringLiteral("(Band = '20M')")));
    const char* bad[] = {
        "(Call = 'S5'",            // unclosed parenthesis
        "(Call = 'S5)",            // unclosed quote
        "(Nope = 'x')",            // unknown field
        "(Freq >= 'abc')",         // not a number
        "(Datum = '2024-13-01')",  // not a date
        "(Gmt = '25:00')",         // not a time
        "(Call 'S5')",             // no comparison
        "(Call = 'S5') XOR (Band = '20M')",
        "(Mode IN ('CW' 'SSB'))",
        "(Call IS EMPTY)",
        "(Call = )",
        "()",
    };
    for (const char* text : bad) {
        QString error;
        EXPECT_FALSE(table_->setFilter(QString::fromUtf8(text), &error)) << text;
        EXPECT_TRUE(error.startsWith(QStringLiteral("Filter:"))) << text << ": " << error.toStdString();
        EXPECT_EQ(table_->filter(), QStringLiteral("(Band = '20M')"));
        EXPECT_EQ(table_->recordCount(), 2);
    }
    // An unknown name lists the names there are.
    QString error;
    EXPECT_FALSE(table_->setFilter(QStringLiteral("(Nope = 'x')"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("Datum (QSO_DATE), Gmt (TIME_ON)"))) << error.toStdString();
}

TEST_F(FilterTest, NothingMatchingCountsZeroAndClearingShowsAllAgain)
{
    ASSERT_TRUE(table_->setFilter(QStringLiteral("(Call = 'NOBODY')")));
    EXPECT_EQ(table_->recordCount(), 0);
    table_->first();
    EXPECT_TRUE(table_->eof());
    EXPECT_TRUE(table_->bof());
    EXPECT_EQ(table_->recordNumber(), -1);
    EXPECT_TRUE(table_->isNull(LogCall));
    ASSERT_TRUE(table_->setFilter(QString()));
    EXPECT_EQ(table_->recordCount(), 6);
}

TEST_F(FilterTest, FilterAndOrderWorkTogetherAndSurviveReopening)
{
    ASSERT_TRUE(table_->setFilter(QStringLiteral("(Country <> 'Ireland')")));
    ASSERT_TRUE(table_->setIndexFieldNames(QStringLiteral("Datum;Gmt")));
    EXPECT_EQ(logsUnder(*table_), (std::vector<qint64>{3, 1, 5, 2, 4}));
    ASSERT_TRUE(table_->setIndexFieldNames(QStringLiteral("call")));
    EXPECT_EQ(logsUnder(*table_), (std::vector<qint64>{3, 4, 5, 1, 2}));   // text ignores case
    // ADIF names, commas and descending orders.
    ASSERT_TRUE(table_->setIndexFieldNames(QStringLiteral("QSO_DATE DESC, time_on")));
    EXPECT_EQ(logsUnder(*table_), (std::vector<qint64>{4, 5, 2, 1, 3}));
    EXPECT_EQ(table_->indexFieldNames(), QStringLiteral("Datum DESC;Gmt"));
    EXPECT_EQ(table_->currentIndexEntry(), -1);
    ASSERT_TRUE(table_->setIndexFieldNames(QStringLiteral("-Band; Call asc")));
    EXPECT_EQ(logsUnder(*table_), (std::vector<qint64>{5, 2, 3, 1, 4}));
    QString error;
    EXPECT_FALSE(table_->setIndexFieldNames(QStringLiteral("Call;Nope"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("'Nope'"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("Datum (QSO_DATE)"))) << error.toStdString();

    // Opening the table again keeps the filter text.
    table_->close();
    ASSERT_TRUE(table_->open(&error)) << error.toStdString();
    EXPECT_EQ(table_->recordCount(), 5);
}
