#include "logbook/demolog.h"
#include "logbook/logbookfolder.h"
#include "logbook/logfields.h"
#include "logbook/logsource.h"
#include "logbook_fixtures.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

using namespace cm;
using namespace cmtest;

namespace {

std::unique_ptr<LogTable> openThree(const QTemporaryDir& dir, QString* path = nullptr)
{
    const QString p = makeSqliteLogbook(dir, QStringLiteral("three.db"),
                                        {qso("S51A", QDate(2024, 1, 1), QTime(1, 0), "20M", "CW", 14.0, "Slovenia"),
                                         qso("DL1B", QDate(2024, 1, 2), QTime(2, 0), "40M", "SSB", 7.1, "Germany"),
                                         qso("G3C", QDate(2024, 1, 3), QTime(3, 0), "15M", "FT8", 21.074, "England")});
    if (path)
        *path = p;
    QString error;
    return openLogSource(p, &error);
}

} // namespace

TEST(LogFields, TheNineteenPersistentFields)
{
    const auto& defs = logFieldDefs();
    ASSERT_EQ(defs.size(), 19u);
    EXPECT_EQ(defs[LogLog].type, FieldType::AutoInc);
    EXPECT_EQ(defs[LogQslS].name, QStringLiteral("QslS"));
    EXPECT_EQ(defs[LogQslS].type, FieldType::String);   // the twelfth field
    EXPECT_EQ(defs[LogQslVia].size, 100);
    EXPECT_EQ(defs[LogOpomba].label(), QStringLiteral("Remark"));
    EXPECT_EQ(defs[LogFreq].displayFormat, QStringLiteral(",0.00"));
    EXPECT_EQ(defs[LogCq].type, FieldType::SmallInt);
    for (const FieldDef& d : defs)
        EXPECT_TRUE(d.visible);
}

TEST(Navigation, FirstNextPriorLastAndTheEndFlags)
{
    QTemporaryDir dir;
    auto t = openThree(dir);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->name(), QStringLiteral("Tbl"));
    t->first();
    EXPECT_TRUE(t->bof());
    EXPECT_FALSE(t->eof());
    EXPECT_EQ(t->text(LogCall), QStringLiteral("S51A"));
    t->prior();
    EXPECT_TRUE(t->bof());
    EXPECT_EQ(t->recordNumber(), 0);
    t->next();
    t->next();
    EXPECT_FALSE(t->eof());
    EXPECT_EQ(t->text(LogCall), QStringLiteral("G3C"));
    t->next();
    EXPECT_TRUE(t->eof());
    EXPECT_EQ(t->text(LogCall), QStringLiteral("G3C"));   // stays on the last record
    t->prior();
    EXPECT_FALSE(t->eof());
    EXPECT_EQ(t->text(LogCall), QStringLiteral("DL1B"));
    t->last();
    EXPECT_TRUE(t->eof());
    EXPECT_EQ(t->recordNumber(), 2);
    // Walking back from the end reaches every record.
    int seen = 0;
    for (t->last(); !t->bof(); t->prior())
        ++seen;
    EXPECT_EQ(seen, 3);   // only prior() from the first record sets bof
    EXPECT_EQ(t->recordCount(), 3);
}

TEST(Navigation, FieldReaders)
{
    QTemporaryDir dir;
    auto t = openThree(dir);
    ASSERT_TRUE(t);
    t->last();
    EXPECT_EQ(t->fieldIndex(u"country"), int(LogCountry));
    EXPECT_EQ(t->fieldIndex(u"Nope"), -1);
    EXPECT_EQ(t->toDateTime(LogDatum), QDateTime(QDate(2024, 1, 3), QTime(0, 0), Qt::UTC));
    EXPECT_EQ(t->toDateTime(LogGmt).time(), QTime(3, 0));
    EXPECT_DOUBLE_EQ(t->toFloat(LogDatum), 45294.0);   // days since 1899-12-30
    EXPECT_DOUBLE_EQ(t->toFloat(LogGmt), 0.125);
    EXPECT_EQ(t->text(LogGmt), QStringLiteral("03:00"));
    EXPECT_TRUE(t->displayText(LogFreq).startsWith(QStringLiteral("21")));
    EXPECT_EQ(t->displayText(LogFreq).right(3).at(1), u'0');   // two decimals: 21.07
    EXPECT_EQ(t->toInteger(LogFreq), 21);
    EXPECT_TRUE(t->isNull(LogQTH));
    EXPECT_EQ(t->text(LogQTH), QString());
    EXPECT_EQ(t->toInteger(LogCq), 0);
    EXPECT_EQ(t->blob(LogCall), QByteArray("G3C"));
}

TEST(SqliteLogbook, EditsAreWrittenAndKeptAfterReopening)
{
    QTemporaryDir dir;
    QString path;
    auto t = openThree(dir, &path);
    ASSERT_TRUE(t);
    ASSERT_TRUE(t->canModify());
    EXPECT_TRUE(t->readOnlyNotice().isEmpty());
    QString error;
    t->first();
    ASSERT_TRUE(t->updateCurrent({{LogQTH, QStringLiteral("Kranj")}, {LogDatum, QStringLiteral("2024-05-06")},
                                  {LogCq, 15}}, &error)) << error.toStdString();
    ASSERT_TRUE(t->appendRecord({{LogCall, QStringLiteral("JA1Z")}, {LogFreq, 7.02}, {LogGmt, QTime(4, 5)}}, &error))
        << error.toStdString();
    EXPECT_EQ(t->text(LogCall), QStringLiteral("JA1Z"));
    EXPECT_EQ(t->toInteger(LogLog), 4);
    EXPECT_EQ(t->recordCount(), 4);
    t->first();
    t->next();
    ASSERT_TRUE(t->deleteCurrent(&error)) << error.toStdString();
    EXPECT_EQ(t->recordCount(), 3);

    auto again = openLogSource(path, &error);
    ASSERT_TRUE(again) << error.toStdString();
    std::vector<QString> calls;
    for (again->first(); !again->eof(); again->next())
        calls.push_back(again->text(LogCall));
    EXPECT_EQ(calls, (std::vector<QString>{QStringLiteral("S51A"), QStringLiteral("G3C"), QStringLiteral("JA1Z")}));
    again->first();
    EXPECT_EQ(again->text(LogQTH), QStringLiteral("Kranj"));
    EXPECT_EQ(again->toDateTime(LogDatum).date(), QDate(2024, 5, 6));
    EXPECT_EQ(again->toInteger(LogCq), 15);
}

TEST(SqliteLogbook, InvalidEditsChangeNothing)
{
    QTemporaryDir dir;
    QString path;
    auto t = openThree(dir, &path);
    ASSERT_TRUE(t);
    t->first();
    const struct {
        int field;
        QVariant value;
    } cases[] = {
        {LogCq, QStringLiteral("zone")},
        {LogDatum, QStringLiteral("31.02.2024")},
        {LogGmt, QStringLiteral("24:10")},
        {LogFreq, QStringLiteral("fourteen")},
        {LogCq, 40000},
        {99, 1},
    };
    for (const auto& c : cases) {
        QString error;
        EXPECT_FALSE(t->updateCurrent({{LogQTH, QStringLiteral("Changed")}, {c.field, c.value}}, &error))
            << c.field;
        EXPECT_FALSE(error.isEmpty());
        EXPECT_TRUE(t->isNull(LogQTH));
    }
    auto again = openLogSource(path, nullptr);
    ASSERT_TRUE(again);
    again->first();
    EXPECT_TRUE(again->isNull(LogQTH));
}

TEST(SqliteLogbook, ReadOnlyFileSaysSo)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "file permissions do not bind root";
    QTemporaryDir dir;
    QString path;
    ASSERT_TRUE(openThree(dir, &path));
    QFile::setPermissions(path, QFile::ReadOwner);
    auto t = openLogSource(path, nullptr);
    ASSERT_TRUE(t);
    EXPECT_FALSE(t->canModify());
    EXPECT_FALSE(t->readOnlyNotice().isEmpty());
}

TEST(SqliteLogbook, GroupByEntriesFromTheIndexes)
{
    QTemporaryDir dir;
    auto t = openThree(dir);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->indexEntries(), (QStringList{QStringLiteral("Log"), QStringLiteral("Call"),
                                              QStringLiteral("Date; Gmt"), QStringLiteral("Country"),
                                              QStringLiteral("Band; Mode")}));
    ASSERT_TRUE(t->selectIndexEntry(1));
    t->first();
    EXPECT_EQ(t->text(LogCall), QStringLiteral("DL1B"));
    EXPECT_EQ(t->currentIndexEntry(), 1);
    ASSERT_TRUE(t->setIndexFieldNames(QString()));
    EXPECT_EQ(t->currentIndexEntry(), -1);
    EXPECT_FALSE(t->selectIndexEntry(17));
}

TEST(SqliteLogbook, BindingErrorsLeaveTheTableClosed)
{
    QTemporaryDir dir;
    const struct {
        const char* create;
        const char* message;
    } cases[] = {
        {"CREATE TABLE Logbook (Log INTEGER PRIMARY KEY, Call VARCHAR(20))", "Field 'Datum' not found"},
        {"CREATE TABLE Logbook (Log INTEGER PRIMARY KEY, Datum DATE, Gmt TIME, Call VARCHAR(20), RstS VARCHAR(3), "
         "RstR VARCHAR(3), Mode VARCHAR(4), Band VARCHAR(4), Freq VARCHAR(10), QTH VARCHAR(20), Name VARCHAR(10), "
         "QslS VARCHAR(8), QslR VARCHAR(8), Opomba VARCHAR(50), QslVia VARCHAR(100), Pfx VARCHAR(20), Cq SMALLINT, "
         "Itu SMALLINT, Country VARCHAR(40))",
         "Type mismatch for field 'Freq', expecting: Float actual: String"},
        {"CREATE TABLE Other (a)", "holds no logbook table"},
    };
    int i = 0;
    for (const auto& c : cases) {
        const QString path = makeSqliteFile(dir, QStringLiteral("b%1.db").arg(i++), QLatin1String(c.create));
        ASSERT_FALSE(path.isEmpty());
        LogTable t;
        t.setTableName(path);
        QString error;
        EXPECT_FALSE(t.open(&error));
        EXPECT_FALSE(t.isOpen());
        EXPECT_TRUE(error.contains(QLatin1String(c.message))) << error.toStdString();
    }
}

TEST(LogbookFolder, BareNamesAreFoundInTheLogbookFolder)
{
    QTemporaryDir dir;
    qputenv("CARDMINT_LOGBOOK_DIR", dir.path().toUtf8());
    EXPECT_EQ(GetLogbookFolder(), dir.path());
    EXPECT_EQ(resolveLogbookPath(QStringLiteral("Demo.db")), dir.filePath(QStringLiteral("Demo.db")));
    EXPECT_EQ(resolveLogbookPath(QStringLiteral("/elsewhere/Log.db")), QStringLiteral("/elsewhere/Log.db"));
    ASSERT_TRUE(writeDemoLogbook(dir.filePath(QStringLiteral("Demo.db")), 50, 7, nullptr));
    LogTable t;
    t.setTableName(QStringLiteral("Demo.db"));
    QString error;
    EXPECT_TRUE(t.open(&error)) << error.toStdString();
    EXPECT_EQ(t.recordCount(), 50);
    qunsetenv("CARDMINT_LOGBOOK_DIR");
    EXPECT_TRUE(GetLogbookFolder().endsWith(QStringLiteral("Cardmint/Logbooks")));
}

TEST(DemoLogbook, DeterministicAndVaried)
{
    const auto a = makeDemoQsos(300, 1);
    const auto b = makeDemoQsos(300, 1);
    const auto c = makeDemoQsos(300, 2);
    ASSERT_EQ(a.size(), 300u);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
    QSet<QString> countries, bands, modes;
    QDate firstDate = a.front()[LogDatum].toDate(), lastDate = firstDate;
    for (const auto& q : a) {
        countries << q[LogCountry].toString();
        bands << q[LogBand].toString();
        modes << q[LogMode].toString();
        lastDate = std::max(lastDate, q[LogDatum].toDate());
        for (int f = 0; f < LogFieldCount; ++f) {
            const int size = logFieldDefs()[size_t(f)].size;
            if (size > 0) {
                EXPECT_LE(q[size_t(f)].toString().size(), size) << f;
            }
        }
    }
    EXPECT_GE(countries.size(), 20);
    EXPECT_GE(bands.size(), 8);
    EXPECT_GE(modes.size(), 5);
    EXPECT_GT(firstDate.daysTo(lastDate), 30);
}

TEST(DemoLogbook, CommandLineWritesItAndRefusesToOverwrite)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("Demo.db"));
    QProcess p;
    p.start(QStringLiteral(CARDMINT_CLI), {QStringLiteral("make-demo-log"), out, QStringLiteral("--count"),
                                          QStringLiteral("120"), QStringLiteral("--variant"), QStringLiteral("3")});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    auto t = openLogSource(out, nullptr);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->recordCount(), 120);

    p.start(QStringLiteral(CARDMINT_CLI), {QStringLiteral("make-demo-log"), out});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_NE(p.exitCode(), 0);
    p.start(QStringLiteral(CARDMINT_CLI), {QStringLiteral("make-demo-log"), out + u'2', QStringLiteral("--count"),
                                          QStringLiteral("many")});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 2);
}
