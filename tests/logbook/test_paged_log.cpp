// A SQLite logbook is read on demand, a page at a time; the records it gives
// under any filter and order must be the ones the whole-table path gives.
// The same records in a table without a row id are read whole, so the two
// files show both paths side by side.
#include "logbook/bureauorder.h"
#include "logbook/demolog.h"
#include "logbook/logfields.h"
#include "logbook/logpagecache.h"
#include "logbook/logsource.h"
#include "logbook/sqlitelogbook.h"
#include "logbook_fixtures.h"

#include <QSqlQuery>

#include <gtest/gtest.h>
#include <thread>

using namespace cm;
using namespace cmtest;

namespace {

// More records than three pages hold, with values a query compares
// differently from the filter: case outside ASCII, characters that fold to
// ASCII letters, LIKE's wildcards, text in a number column.
std::vector<std::vector<QVariant>> awkwardLog()
{
    auto rows = makeDemoQsos(700, 5);
    auto add = [&](const QString& call, const QString& name, const QString& remark) {
        auto r = qso(call, QDate(2021, 3, 4), QTime(5, 6), QStringLiteral("20M"), QStringLiteral("CW"), 14.02,
                     QStringLiteral("Germany"));
        r[LogName] = name;
        r[LogOpomba] = remark;
        rows.push_back(std::move(r));
    };
    add(QStringLiteral("\u212A1ABC"), QStringLiteral("J\u00fcrgen"), QStringLiteral("a_b"));   // Kelvin sign
    add(QStringLiteral("k1abc"), QStringLiteral("J\u00dcRGEN"), QStringLiteral("axb"));
    add(QStringLiteral("W1\u017FX"), QStringLiteral("jurgen"), QStringLiteral("100%"));   // long s
    add(QStringLiteral("w1sx"), QString(), QStringLiteral("a\\b"));
    return rows;
}

struct Logs {
    QTemporaryDir dir;
    QString paged;
    QString whole;
};

void damage(const QString& path)
{
    SqliteConnection c;
    QString error;
    ASSERT_TRUE(c.open(path, false, &error)) << error.toStdString();
    QSqlQuery q(c.db());
    ASSERT_TRUE(q.exec(QStringLiteral("UPDATE Logbook SET Freq = 'abc' WHERE Log = 7")));
    ASSERT_TRUE(q.exec(QStringLiteral("UPDATE Logbook SET Call = 123 WHERE Log = 8")));
    ASSERT_TRUE(q.exec(QStringLiteral("UPDATE Logbook SET Datum = 'soon' WHERE Log = 9")));
}

void makeLogs(Logs& logs)
{
    logs.paged = makeSqliteLogbook(logs.dir, QStringLiteral("paged.db"), awkwardLog());
    ASSERT_FALSE(logs.paged.isEmpty());
    damage(logs.paged);
    QStringList cols;
    for (const FieldDef& f : logFieldDefs()) {
        const char* type = f.type == FieldType::AutoInc ? "INTEGER PRIMARY KEY"
                         : f.type == FieldType::Date    ? "DATE"
                         : f.type == FieldType::Time    ? "TIME"
                         : f.type == FieldType::Float   ? "DOUBLE"
                         : f.type == FieldType::SmallInt ? "SMALLINT" : "TEXT";
        cols << f.name + u' ' + QLatin1String(type);
    }
    logs.whole = makeSqliteFile(
        logs.dir, QStringLiteral("whole.db"),
        QStringLiteral("ATTACH '%1' AS src; CREATE TABLE Logbook (%2) WITHOUT ROWID; "
                       "INSERT INTO Logbook SELECT * FROM src.Logbook; DETACH src")
            .arg(logs.paged, cols.join(u',')));
    ASSERT_FALSE(logs.whole.isEmpty());
}

std::vector<QStringList> walk(LogTable& t)
{
    std::vector<QStringList> records;
    for (t.first(); !t.eof(); t.next()) {
        QStringList r;
        for (int i = 0; i < t.fieldCount(); ++i)
            r << t.text(i);
        records.push_back(r);
    }
    return records;
}

} // namespace

TEST(PagedLog, FilteredAndOrderedWalksGiveTheRecordsOfTheWholeTable)
{
    Logs logs;
    makeLogs(logs);
    QString error;
    auto paged = openLogSource(logs.paged, &error);
    ASSERT_TRUE(paged) << error.toStdString();
    auto whole = openLogSource(logs.whole, &error);
    ASSERT_TRUE(whole) << error.toStdString();
    ASSERT_TRUE(paged->isPaged());
    ASSERT_FALSE(whole->isPaged());

    const QStringList filters = {
        QString(),
        QStringLiteral("(Band = '20M')"),
        QStringLiteral("(Call = 'k1abc')"),
        QStringLiteral("(Call = 'W1S*')"),
        QStringLiteral("(Name = 'J\u00fcrgen')"),
        QStringLiteral("(Opomba = 'a_b') OR (Opomba = '100%') OR (Opomba = 'a\\b')"),
        QStringLiteral("(Band = '20M') AND (QslS = 'Q') AND (Freq >= 14)"),
        QStringLiteral("(Band = '40M') OR (Freq >= 21)"),
        QStringLiteral("NOT (Band = '20M')"),
        QStringLiteral("(Mode IN ('cw','SSB'))"),
        QStringLiteral("(Mode NOT IN ('CW'))"),
        QStringLiteral("(Log >= 100) AND (Log < 400) AND (Mode = 'CW')"),
        QStringLiteral("(Log <> 5) AND (Log IN (3, 5, 8, 9, 600))"),
        QStringLiteral("(Datum >= '2020-01-01') AND (Band = '40M')"),
        QStringLiteral("(Call = '123')"),
        QStringLiteral("(QslVia IS NULL)"),
        QStringLiteral("(Call < 'M') OR (Datum IS NULL)"),
    };
    const QStringList orders = {QString(), QStringLiteral("Call"), QStringLiteral("Datum DESC, Gmt DESC"),
                                QStringLiteral("Band, -Freq"), QStringLiteral("Log DESC"),
                                QStringLiteral("bureau")};
    for (const QString& filter : filters) {
        for (const QString& order : orders) {
            SCOPED_TRACE((filter + QStringLiteral(" / ") + order).toStdString());
            for (LogTable* t : {paged.get(), whole.get()}) {
                ASSERT_TRUE(t->setFilter(filter, &error)) << error.toStdString();
                if (order == u"bureau")
                    orderForBureau(*t);
                else {
                    t->setOrderKey({}, {});
                    ASSERT_TRUE(t->setIndexFieldNames(order, &error)) << error.toStdString();
                }
            }
            ASSERT_EQ(paged->recordCount(), whole->recordCount());
            EXPECT_EQ(walk(*paged), walk(*whole));
            // Random access, from the end back, as a view reads it.
            for (int r = paged->recordCount() - 1; r >= 0; r -= 97)
                for (int i : {int(LogLog), int(LogCall), int(LogFreq), int(LogDatum)})
                    EXPECT_EQ(paged->recordValue(r, i), whole->recordValue(r, i));
        }
    }
    EXPECT_TRUE(paged->readError().isEmpty());

    // The awkward records are among those the filters find (the demo's
    // records may add more).
    paged->setOrderKey({}, {});
    const std::vector<std::pair<QString, int>> folded = {
        {QStringLiteral("(Call = 'k1abc')"), 2}, {QStringLiteral("(Call = 'w1sx')"), 2},
        {QStringLiteral("(Name = 'j\u00fcrgen')"), 2}, {QStringLiteral("(Opomba = 'a_b')"), 1}};
    for (const auto& [filter, count] : folded) {
        ASSERT_TRUE(paged->setFilter(filter, &error));
        EXPECT_GE(paged->recordCount(), count) << filter.toStdString();
    }
}

TEST(PagedLog, WalkingBackAndForthAcrossPagesAndEditing)
{
    QTemporaryDir dir;
    const QString path = makeSqliteLogbook(dir, QStringLiteral("log.db"), makeDemoQsos(1000, 2));
    QString error;
    auto t = openLogSource(path, &error);
    ASSERT_TRUE(t) << error.toStdString();
    ASSERT_TRUE(t->isPaged());
    EXPECT_EQ(t->recordCount(), 1000);
    // Every record once, in order, and back again with prior().
    int seen = 0;
    for (t->first(); !t->eof(); t->next())
        EXPECT_EQ(t->toInteger(LogLog), ++seen);
    EXPECT_EQ(seen, 1000);
    for (t->last(); !t->bof(); t->prior())
        EXPECT_EQ(t->toInteger(LogLog), seen--);
    EXPECT_EQ(seen, 0);

    // An edit that leaves the filter: the record goes, the next one is current.
    ASSERT_TRUE(t->setFilter(QStringLiteral("(Mode <> 'OLIVIA')"), &error));
    const int cw = t->recordCount();
    ASSERT_GT(cw, 2 * LogPageCache::PageSize);
    const int middle = LogPageCache::PageSize + 10;
    ASSERT_TRUE(t->moveTo(middle));
    const qint64 next = t->recordValue(middle + 1, LogLog).toLongLong();
    ASSERT_TRUE(t->updateCurrent({{LogMode, QStringLiteral("OLIVIA")}}, &error)) << error.toStdString();
    EXPECT_EQ(t->recordCount(), cw - 1);
    EXPECT_EQ(t->recordNumber(), middle);
    EXPECT_EQ(t->toInteger(LogLog), next);
    // A new record that matches becomes current.
    ASSERT_TRUE(t->appendRecord({{LogCall, QStringLiteral("S50NEW")}, {LogMode, QStringLiteral("CW")}}, &error));
    EXPECT_EQ(t->recordCount(), cw);
    EXPECT_EQ(t->text(LogCall), QStringLiteral("S50NEW"));
    ASSERT_TRUE(t->deleteCurrent(&error)) << error.toStdString();
    EXPECT_EQ(t->recordCount(), cw - 1);
    EXPECT_TRUE(t->readError().isEmpty());
}

TEST(PagedLog, AnotherThreadWalksTheSameRecords)
{
    // A print run may generate its cards in a thread of its own.
    QTemporaryDir dir;
    const QString path = makeSqliteLogbook(dir, QStringLiteral("log.db"), makeDemoQsos(2000, 4));
    QString error;
    auto t = openLogSource(path, &error);
    ASSERT_TRUE(t) << error.toStdString();
    ASSERT_TRUE(t->setIndexFieldNames(QStringLiteral("Call"), &error));
    const auto here = walk(*t);
    std::vector<QStringList> there;
    std::thread worker([&] { there = walk(*t); });
    worker.join();
    EXPECT_EQ(there, here);
    EXPECT_EQ(here.size(), 2000u);
    EXPECT_TRUE(t->readError().isEmpty()) << t->readError().toStdString();
}
