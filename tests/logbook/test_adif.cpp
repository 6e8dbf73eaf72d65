#include "logbook/adifimport.h"
#include "logbook/adifreader.h"
#include "logbook/logfields.h"
#include "logbook/logsource.h"
#include "logbook_fixtures.h"

#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

using namespace cm;
using namespace cmtest;

namespace {

struct Read {
    std::vector<AdifRecord> records;
    AdifReadResult result;
};

Read readAll(const QByteArray& text, int codePage = 1252)
{
    Read r;
    r.result = readAdif(text, [&](const AdifRecord& rec) { r.records.push_back(rec); }, codePage);
    return r;
}

QString value(const AdifRecord& rec, const char* name)
{
    const QString* v = rec.find(name);
    return v ? *v : QStringLiteral("<none>");
}

} // namespace

TEST(AdifReader, HeaderRecordsAndTagForms)
{
    const Read r = readAll("Log export\n<ADIF_VER:5>3.1.4\n<PROGRAMID:6>Logger\n<eoh>\n"
                           "<CALL:5>S51AB <qso_date:8:D>20240115 <Time_On:4>1234 <APP_LOG_X:3>abc <EOR>\n"
                           "<call:4>DL1A<band:03>20m<eor>");
    EXPECT_TRUE(r.result.headerFound);
    EXPECT_TRUE(r.result.problems.isEmpty()) << r.result.problems.join(u'\n').toStdString();
    ASSERT_EQ(r.records.size(), 2u);
    EXPECT_EQ(r.records[0].number, 1);
    EXPECT_EQ(value(r.records[0], "CALL"), QStringLiteral("S51AB"));
    EXPECT_EQ(value(r.records[0], "QSO_DATE"), QStringLiteral("20240115"));
    EXPECT_EQ(value(r.records[0], "TIME_ON"), QStringLiteral("1234"));
    EXPECT_EQ(value(r.records[0], "ADIF_VER"), QStringLiteral("<none>"));   // header fields stay there
    EXPECT_EQ(value(r.records[1], "BAND"), QStringLiteral("20m"));
}

TEST(AdifReader, LengthsInBytesOrInCharacters)
{
    const struct {
        const char* what;
        QByteArray text;
        const char* qth;
        bool utf8;
    } cases[] = {
        {"UTF-8, length in bytes", "<QTH:10>\xC3\x81vila Sur <CALL:3>EA4<EOR>", "Ávila Sur", true},
        {"UTF-8, length in characters", "<QTH:9>\xC3\x81vila Sur <CALL:3>EA4<EOR>", "Ávila Sur", true},
        {"characters, at the end of the record", "<CALL:3>EA4 <QTH:9>\xC3\x81vila Sur<EOR>", "Ávila Sur", true},
        {"three-byte characters counted", "<QTH:3>\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC<CALL:3>EA4<EOR>", "€€€", true},
        {"single-byte Windows text", "<QTH:9>\xC1vila Sur <CALL:3>EA4<EOR>", "Ávila Sur", false},
        {"data with a '<' inside", "<QTH:7>a <b> c<CALL:3>EA4<EOR>", "a <b> c", true},
    };
    for (const auto& c : cases) {
        const Read r = readAll(c.text);
        ASSERT_EQ(r.records.size(), 1u) << c.what;
        EXPECT_EQ(value(r.records[0], "QTH"), QString::fromUtf8(c.qth)) << c.what;
        EXPECT_EQ(value(r.records[0], "CALL"), QStringLiteral("EA4")) << c.what;
        EXPECT_EQ(r.result.utf8, c.utf8) << c.what;
        EXPECT_TRUE(r.result.problems.isEmpty()) << c.what;
    }
}

TEST(AdifReader, DamagedInputIsReportedWithoutShiftingTheRecord)
{
    const struct {
        const char* what;
        QByteArray text;
        int records;
        const char* call;         // CALL of the last record read
        const char* problem;      // part of the first problem, or "" for none
    } cases[] = {
        {"no <EOH>, no header text", "<CALL:4>S5AA<EOR><CALL:4>S5BB<EOR>", 2, "S5BB", ""},
        {"header text without <EOH>", "My log\n<CALL:4>S5AA<EOR>", 1, "S5AA", "no <EOH>"},
        {"tag without a length", "<CALL:4>S5AA <NAME>Jo <EOR>", 1, "S5AA", "no length"},
        {"length not a number", "<NAME:x>Jo <CALL:4>S5AA<EOR>", 1, "S5AA", "Broken tag"},
        {"tag without '>'", "<CALL:4>S5AA <NAME:2 Jo <EOR>", 1, "S5AA", "Broken tag"},
        {"length too long", "<NAME:40>Jo <CALL:4>S5AA<EOR>", 1, "S5AA", "fits neither"},
        {"length past the end of the file", "<CALL:4>S5AA <NAME:999999999>Jo<EOR>", 1, "S5AA", "fits neither"},
        {"empty file", "", 0, "", ""},
        {"only a header", "x<EOH>", 0, "", ""},
        {"stray '<' signs", "<<<<CALL:4>S5AA<EOR>", 1, "S5AA", "Broken tag"},
        {"length with leading zeros", "<CALL:0000000000004>S5AA<EOR>", 1, "S5AA", ""},
        {"length of twenty digits", "<NAME:99999999999999999999>Jo <CALL:4>S5AA<EOR>", 1, "S5AA", "Broken tag"},
    };
    for (const auto& c : cases) {
        const Read r = readAll(c.text);
        ASSERT_EQ(int(r.records.size()), c.records) << c.what;
        if (c.records > 0) {
            EXPECT_EQ(value(r.records.back(), "CALL"), QLatin1String(c.call)) << c.what;
            EXPECT_EQ(value(r.records.back(), "NAME"), QStringLiteral("<none>")) << c.what;
        }
        if (*c.problem)
            EXPECT_TRUE(!r.result.problems.isEmpty() && r.result.problems.first().contains(QLatin1String(c.problem)))
                << c.what << ": " << r.result.problems.join(u'|').toStdString();
        else
            EXPECT_TRUE(r.result.problems.isEmpty()) << c.what << ": " << r.result.problems.join(u'|').toStdString();
    }
}

// A file cut short leaves its last record without <EOR>: it is left out and
// the reader says where it started; a file that ends cleanly says nothing.
TEST(AdifReader, FilesCutShortAreToldApart)
{
    const struct {
        const char* what;
        QByteArray text;
        qsizetype cutAt;
    } cases[] = {
        {"after a whole field", "<CALL:4>S5AA<EOR>\n<CALL:4>S5BB", 18},
        {"inside a value", "<CALL:4>S5AA<EOR>\n<CALL:4>S5BB <NAME:10>Jo", 18},
        {"inside the first value", "<CALL:4>S5AA<EOR>\n<CALL:10>S5", 18},
        {"inside the <EOR>", "<CALL:4>S5AA<EOR>\n<CALL:4>S5BB<EO", 18},
        {"inside a tag", "<CALL:4>S5AA<EOR>\n<CALL:4>S5BB <QSO_D", 18},
        {"after the header", "Log<EOH>\n<CALL:4>S5", 9},
        {"whole", "<CALL:4>S5AA<EOR>\n", -1},
        {"download end marker", "<CALL:4>S5AA<EOR>\n<APP_LOTW_EOF>\n", -1},
        {"only a header", "Log<EOH>", -1},
        {"empty", "", -1},
    };
    for (const auto& c : cases) {
        const Read r = readAll(c.text);
        EXPECT_EQ(r.result.cutRecordAt, c.cutAt) << c.what;
        if (c.cutAt >= 0 && c.cutAt != 9) {
            ASSERT_EQ(r.records.size(), 1u) << c.what;
            EXPECT_EQ(value(r.records.back(), "CALL"), QStringLiteral("S5AA")) << c.what;
        }
        AdifImportReport report;
        report.takeReadResult(r.result);
        EXPECT_EQ(report.warnings().join(u'\n').contains(QStringLiteral("cut short")), c.cutAt >= 0) << c.what;
    }
}

TEST(AdifImport, MapsFieldsAndReportsSkippedRecords)
{
    QTemporaryDir dir;
    const QString adi = dir.filePath(QStringLiteral("in.adi"));
    ASSERT_TRUE(writeFile(adi,
        "<EOH>\n"
        "<CALL:6>s51abc <QSO_DATE:8>20240115 <TIME_ON:6>123456 <BAND:3>20m <MODE:4>MFSK <SUBMODE:3>FT4 "
        "<FREQ:9>14.080123 <RST_SENT:3>-10 <RST_RCVD:3>+05 <QTH:9>Ljubljana <NAME:14>Bartholomew Jr "
        "<QSL_SENT:1>Q <QSL_RCVD:1>n <QSL_VIA:4>BURO <PFX:2>S5 <CQZ:2>15 <ITUZ:2>28 <COUNTRY:8>Slovenia "
        "<NOTES:5>notes <COMMENT:7>comment <EOR>\n"
        "<CALL:5>G4ABC <QSO_DATE:8>20240116 <MODE:3>SSB <SUBMODE:3>USB <CQZ:2>99 <FREQ:3>abc <EOR>\n"
        "<QSO_DATE:8>20240117 <EOR>\n"
        "<CALL:5>F5ABC <QSO_DATE:8>20240230 <EOR>\n"
        "<CALL:5>I1ABC <TIME_ON:4>2460 <EOR>\n"
        "<CALL:5>K1ABC <NOTES:5>notes <EOR>\n"));
    const QString db = dir.filePath(QStringLiteral("out.db"));
    AdifImportReport report;
    QString error;
    ASSERT_TRUE(importAdif(adi, db, report, &error)) << error.toStdString();
    EXPECT_EQ(report.recordsRead, 6);
    EXPECT_EQ(report.recordsImported, 3);
    ASSERT_EQ(report.skipped.size(), 3);
    EXPECT_TRUE(report.skipped[0].startsWith(QStringLiteral("record 3: no CALL")));
    EXPECT_TRUE(report.skipped[1].contains(QStringLiteral("QSO_DATE")));
    EXPECT_TRUE(report.skipped[2].contains(QStringLiteral("TIME_ON")));
    EXPECT_EQ(report.valueProblems.size(), 2);   // CQZ 99 and FREQ abc

    auto t = openLogSource(db, &error);
    ASSERT_TRUE(t) << error.toStdString();
    ASSERT_EQ(t->recordCount(), 3);
    t->first();
    EXPECT_EQ(t->text(LogCall), QStringLiteral("S51ABC"));
    EXPECT_EQ(t->toDateTime(LogDatum).date(), QDate(2024, 1, 15));
    EXPECT_EQ(t->toDateTime(LogGmt).time(), QTime(12, 34, 56));
    EXPECT_EQ(t->text(LogBand), QStringLiteral("20M"));
    EXPECT_EQ(t->text(LogMode), QStringLiteral("FT4"));   // the submode of a family
    EXPECT_DOUBLE_EQ(t->toFloat(LogFreq), 14.080123);
    EXPECT_EQ(t->text(LogRstS), QStringLiteral("-10"));
    EXPECT_EQ(t->text(LogName), QStringLiteral("Bartholomew Jr"));
    EXPECT_EQ(t->text(LogQslS), QStringLiteral("Q"));
    EXPECT_EQ(t->text(LogQslR), QStringLiteral("N"));
    EXPECT_EQ(t->text(LogQslVia), QStringLiteral("BURO"));
    EXPECT_EQ(t->toInteger(LogCq), 15);
    EXPECT_EQ(t->toInteger(LogItu), 28);
    EXPECT_EQ(t->text(LogOpomba), QStringLiteral("comment"));
    t->next();
    EXPECT_EQ(t->text(LogMode), QStringLiteral("SSB"));
    EXPECT_TRUE(t->isNull(LogCq));
    EXPECT_TRUE(t->isNull(LogFreq));
    t->next();
    EXPECT_EQ(t->text(LogOpomba), QStringLiteral("notes"));

    // A second import finds every QSO there already; asked to, it appends them.
    ASSERT_TRUE(importAdif(adi, db, report, &error)) << error.toStdString();
    EXPECT_EQ(report.recordsImported, 0);
    EXPECT_EQ(report.duplicatesSkipped, 3);
    EXPECT_EQ(openLogSource(db, nullptr)->recordCount(), 3);
    ASSERT_TRUE(importAdif(adi, db, report, &error, 1252, true)) << error.toStdString();
    EXPECT_EQ(report.recordsImported, 3);
    EXPECT_EQ(openLogSource(db, nullptr)->recordCount(), 6);
}

TEST(AdifImport, ValuesAreKeptWholeInLogbooksAndWhenReadDirectly)
{
    QTemporaryDir dir;
    const QString adi = dir.filePath(QStringLiteral("long.adi"));
    ASSERT_TRUE(writeFile(adi,
        "<CALL:9>VK9/S51AB <QSO_DATE:8>20240115 <BAND:5>1.25m <MODE:3>PSK <SUBMODE:5>PSK31 "
        "<NAME:22>Maximilian Alexander B <QTH:31>Sankt Georgen an der Stiefing A <EOR>\n"
        "<CALL:4>S5AA <QSO_DATE:8>20240116 <BAND:5>2190m <MODE:6>OLIVIA <EOR>\n"
        "<CALL:4>S5BB <QSO_DATE:8>20240117 <BAND:2>2m <MODE:12>DIGITALVOICE <EOR>\n"));
    const QString db = dir.filePath(QStringLiteral("long.db"));
    AdifImportReport report;
    QString error;
    ASSERT_TRUE(importAdif(adi, db, report, &error)) << error.toStdString();
    for (const QString& source : {db, adi}) {
        auto t = openLogSource(source, &error);
        ASSERT_TRUE(t) << error.toStdString();
        ASSERT_EQ(t->recordCount(), 3);
        EXPECT_EQ(t->field(LogMode).size, 0);   // no limit for the grid either
        t->first();
        EXPECT_EQ(t->text(LogBand), QStringLiteral("1.25M"));
        EXPECT_EQ(t->text(LogMode), QStringLiteral("PSK31"));
        EXPECT_EQ(t->text(LogName), QStringLiteral("Maximilian Alexander B"));
        EXPECT_EQ(t->text(LogQTH), QStringLiteral("Sankt Georgen an der Stiefing A"));
        t->next();
        EXPECT_EQ(t->text(LogBand), QStringLiteral("2190M"));
        EXPECT_EQ(t->text(LogMode), QStringLiteral("OLIVIA"));
        t->next();
        EXPECT_EQ(t->text(LogMode), QStringLiteral("DIGITALVOICE"));
        // A long value can be typed in as well.
        if (source == db) {
            ASSERT_TRUE(t->updateCurrent({{LogName, QStringLiteral("A name longer than ten")}}, &error))
                << error.toStdString();
            EXPECT_EQ(t->text(LogName), QStringLiteral("A name longer than ten"));
        }
    }
}

TEST(AdifImport, LogbooksWithTheOldDeclaredSizesGiveWhatIsStored)
{
    // Earlier logbooks declared VARCHAR(n); SQLite stores longer values whole.
    QTemporaryDir dir;
    const QString db = makeSqliteFile(dir, QStringLiteral("old.db"), QStringLiteral(
        "CREATE TABLE Logbook (Log INTEGER PRIMARY KEY AUTOINCREMENT, Datum DATE, Gmt TIME, Call VARCHAR(20), "
        "RstS VARCHAR(3), RstR VARCHAR(3), Mode VARCHAR(4), Band VARCHAR(4), Freq DOUBLE, QTH VARCHAR(20), "
        "Name VARCHAR(10), QslS VARCHAR(8), QslR VARCHAR(8), Opomba VARCHAR(50), QslVia VARCHAR(100), "
        "Pfx VARCHAR(20), Cq SMALLINT, Itu SMALLINT, Country VARCHAR(40));"
        "INSERT INTO Logbook (Call, Mode, Band) VALUES ('S5AA', 'PSK31', '1.25M')"));
    ASSERT_FALSE(db.isEmpty());
    QString error;
    auto t = openLogSource(db, &error);
    ASSERT_TRUE(t) << error.toStdString();
    t->first();
    EXPECT_EQ(t->text(LogMode), QStringLiteral("PSK31"));
    EXPECT_EQ(t->text(LogBand), QStringLiteral("1.25M"));
}

TEST(AdifImport, DuplicatesAreTheSameCallMinuteBandAndMode)
{
    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("first.adi"));
    ASSERT_TRUE(writeFile(first,
        "<CALL:4>S5AA <QSO_DATE:8>20240115 <TIME_ON:6>123400 <BAND:3>20m <MODE:2>CW <EOR>\n"));
    const QString second = dir.filePath(QStringLiteral("second.adi"));
    ASSERT_TRUE(writeFile(second,
        "<CALL:4>s5aa <QSO_DATE:8>20240115 <TIME_ON:6>123459 <BAND:3>20M <MODE:2>cw <EOR>\n"   // same minute
        "<CALL:4>S5AA <QSO_DATE:8>20240115 <TIME_ON:4>1235 <BAND:3>20m <MODE:2>CW <EOR>\n"     // next minute
        "<CALL:4>S5AA <QSO_DATE:8>20240115 <TIME_ON:4>1234 <BAND:3>40m <MODE:2>CW <EOR>\n"     // other band
        "<CALL:4>S5AA <QSO_DATE:8>20240115 <TIME_ON:4>1234 <BAND:3>20m <MODE:3>SSB <EOR>\n"    // other mode
        "<CALL:4>S5AA <QSO_DATE:8>20240116 <TIME_ON:4>1234 <BAND:3>20m <MODE:2>CW <EOR>\n"     // other day
        "<CALL:4>S5AA <QSO_DATE:8>20240116 <TIME_ON:4>1234 <BAND:3>20m <MODE:2>CW <EOR>\n"));  // twice in the file
    const QString db = dir.filePath(QStringLiteral("log.db"));
    AdifImportReport report;
    QString error;
    ASSERT_TRUE(importAdif(first, db, report, &error)) << error.toStdString();
    ASSERT_TRUE(importAdif(second, db, report, &error)) << error.toStdString();
    EXPECT_EQ(report.recordsImported, 4);
    EXPECT_EQ(report.duplicatesSkipped, 2);
    ASSERT_EQ(report.duplicates.size(), 2);
    EXPECT_TRUE(report.duplicates[0].startsWith(QStringLiteral("record 1: S5AA 2024-01-15 12:34 20M CW")))
        << report.duplicates[0].toStdString();
    EXPECT_TRUE(report.summary().join(u'\n').contains(QStringLiteral("Duplicates skipped (already in the logbook): 2")));
    EXPECT_EQ(openLogSource(db, nullptr)->recordCount(), 5);
}

TEST(AdifImport, DownloadEndMarkerIsNoProblemAndAMissingDateIsReported)
{
    QTemporaryDir dir;
    const QString adi = dir.filePath(QStringLiteral("lotw.adi"));
    ASSERT_TRUE(writeFile(adi,
        "Confirmation service status report\n<PROGRAMID:4>LoTW\n<APP_LoTW_NUMREC:1>2\n<eoh>\n"
        "<CALL:4>S5AA <QSO_DATE:8>20240115 <BAND:3>20m <MODE:2>CW <APP_LoTW_MODEGROUP:2>CW <EOR>\n"
        "<CALL:4>S5BB <BAND:3>40m <EOR>\n"
        "<APP_LoTW_EOF>\n"));
    const QString db = dir.filePath(QStringLiteral("log.db"));
    AdifImportReport report;
    QString error;
    ASSERT_TRUE(importAdif(adi, db, report, &error)) << error.toStdString();
    EXPECT_EQ(report.recordsImported, 2);
    EXPECT_TRUE(report.fileProblems.isEmpty()) << report.fileProblems.join(u'\n').toStdString();
    EXPECT_EQ(report.withoutDate, QStringList{QStringLiteral("record 2: S5BB")});
    EXPECT_TRUE(report.summary().join(u'\n').contains(QStringLiteral("Records without QSO_DATE")));
    auto t = openLogSource(adi, &error);
    ASSERT_TRUE(t) << error.toStdString();
    EXPECT_TRUE(t->loadNotes().join(u'\n').contains(QStringLiteral("record 2: S5BB")));
}

TEST(AdifImport, NeverWritesIntoAFileThatIsNoLogbook)
{
    QTemporaryDir dir;
    const QString adi = dir.filePath(QStringLiteral("in.adi"));
    ASSERT_TRUE(writeFile(adi, "<CALL:4>S5AA<EOR>"));
    const QString text = dir.filePath(QStringLiteral("notes.db"));
    ASSERT_TRUE(writeFile(text, "my notes, not a logbook"));
    const QString other = makeSqliteFile(dir, QStringLiteral("other.db"), QStringLiteral("CREATE TABLE x (a)"));
    for (const QString& target : {text, other}) {
        AdifImportReport report;
        QString error;
        const qint64 size = QFileInfo(target).size();
        EXPECT_FALSE(importAdif(adi, target, report, &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(QFileInfo(target).size(), size);
    }
    AdifImportReport report;
    QString error;
    EXPECT_FALSE(importAdif(dir.filePath(QStringLiteral("missing.adi")), dir.filePath(QStringLiteral("new.db")),
                            report, &error));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("new.db"))));
}

TEST(AdifImport, AdifFileOpensDirectlyAsAReadOnlySource)
{
    QTemporaryDir dir;
    const QString adi = dir.filePath(QStringLiteral("direct.adi"));
    ASSERT_TRUE(writeFile(adi, "<CALL:4>S5AA<BAND:3>20m<EOR><CALL:4>S5BB<BAND:3>40m<EOR><BAND:3>10m<EOR>"));
    QString error;
    auto t = openLogSource(adi, &error);
    ASSERT_TRUE(t) << error.toStdString();
    EXPECT_EQ(t->format(), LogFormat::Adif);
    EXPECT_EQ(t->recordCount(), 2);
    EXPECT_TRUE(t->loadNotes().join(u'\n').contains(QStringLiteral("record 3: no CALL")));
    EXPECT_FALSE(t->canModify());
    EXPECT_FALSE(t->readOnlyNotice().isEmpty());
    ASSERT_TRUE(t->setFilter(QStringLiteral("(Band = '40M')")));
    t->first();
    EXPECT_EQ(t->text(LogCall), QStringLiteral("S5BB"));
    EXPECT_EQ(t->toInteger(LogLog), 2);
}

TEST(AdifImport, CommandLineReport)
{
    QTemporaryDir dir;
    const QString adi = dir.filePath(QStringLiteral("in.adi"));
    ASSERT_TRUE(writeFile(adi, "<CALL:4>S5AA<EOR><QSO_DATE:8>20240101<EOR>"));
    QProcess p;
    p.start(QStringLiteral(CARDMINT_CLI), {QStringLiteral("import-adif"), adi, dir.filePath(QStringLiteral("o.db"))});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0);
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    EXPECT_TRUE(out.contains(QStringLiteral("Records imported: 1"))) << out.toStdString();
    const QString warned = QString::fromUtf8(p.readAllStandardError());
    EXPECT_TRUE(warned.contains(QStringLiteral("import-adif: warning:   record 2: no CALL"))) << warned.toStdString();
    // Twice: nothing doubles, and the skipped ones are counted.
    p.start(QStringLiteral(CARDMINT_CLI), {QStringLiteral("import-adif"), adi, dir.filePath(QStringLiteral("o.db")),
                                           QStringLiteral("--codepage"), QStringLiteral("1250")});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0);
    const QString again = QString::fromUtf8(p.readAllStandardOutput());
    EXPECT_TRUE(again.contains(QStringLiteral("Records imported: 0"))) << again.toStdString();
    EXPECT_TRUE(again.contains(QStringLiteral("Duplicates skipped (already in the logbook): 1"))) << again.toStdString();
    p.start(QStringLiteral(CARDMINT_CLI), {QStringLiteral("import-adif"), adi, dir.filePath(QStringLiteral("o.db")),
                                           QStringLiteral("--code-page"), QStringLiteral("1252"),
                                           QStringLiteral("--allow-duplicates")});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardOutput()).contains(QStringLiteral("Records imported: 1")));
    p.start(QStringLiteral(CARDMINT_CLI), {QStringLiteral("import-adif"), adi});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 2);

    // No usable record: a warning, a failure, and no new logbook left behind.
    const QString useless = dir.filePath(QStringLiteral("useless.adi"));
    ASSERT_TRUE(writeFile(useless, "<QSO_DATE:8>20240101<EOR><BAND:3>20m<EOR>"));
    const QString fresh = dir.filePath(QStringLiteral("fresh.db"));
    p.start(QStringLiteral(CARDMINT_CLI), {QStringLiteral("import-adif"), useless, fresh});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 1);
    const QString err = QString::fromUtf8(p.readAllStandardError());
    EXPECT_TRUE(err.contains(QStringLiteral("holds no QSO that can be imported"))) << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("record 1: no CALL"))) << err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(fresh));
}

// Skipped and cut records: import-adif and render read the same file and
// give the same warnings.
TEST(AdifImport, ImportAndRenderWarnAlikeOfSkippedAndCutRecords)
{
    QTemporaryDir dir;
    const QString adi = dir.filePath(QStringLiteral("cut.adi"));
    ASSERT_TRUE(writeFile(adi, "<CALL:4>S5AA <QSO_DATE:8>20240101 <EOR>\n<QSO_DATE:8>20240102 <EOR>\n"
                               "<CALL:4>S5CC <QSO_DATE:8>2024"));
    auto run = [](const QStringList& args) {
        QProcess p;
        p.start(QStringLiteral(CARDMINT_CLI), args);
        EXPECT_TRUE(p.waitForFinished(60000));
        return std::pair{p.exitCode(), QString::fromUtf8(p.readAllStandardError())};
    };
    const auto [importCode, importErr] = run({QStringLiteral("import-adif"), adi, dir.filePath(QStringLiteral("o.db"))});
    const auto [renderCode, renderErr] =
        run({QStringLiteral("render"), QStringLiteral("--layout"), QStringLiteral(CARDMINT_SOURCE_DIR "/demo/Demo1.qr2"),
             QStringLiteral("--log"), adi, QStringLiteral("--qrp"), dir.filePath(QStringLiteral("o.qrp"))});
    EXPECT_EQ(importCode, 0) << importErr.toStdString();
    EXPECT_EQ(renderCode, 0) << renderErr.toStdString();
    const QStringList expected = {
        QStringLiteral("warning: The file is cut short: the last record (from byte 67) has no <EOR> and is left out"),
        QStringLiteral("warning: Records skipped: 1"),
        QStringLiteral("warning:   record 2: no CALL"),
    };
    QStringList fromImport = importErr.split(u'\n', Qt::SkipEmptyParts);
    QStringList fromRender = renderErr.split(u'\n', Qt::SkipEmptyParts);
    fromImport.replaceInStrings(QStringLiteral("import-adif: "), QString());
    fromRender.replaceInStrings(QStringLiteral("render: "), QString());
    for (const QString& line : expected) {
        EXPECT_TRUE(fromImport.contains(line)) << importErr.toStdString();
        EXPECT_TRUE(fromRender.contains(line)) << renderErr.toStdString();
    }
    // The value cut inside the last record is named as well.
    EXPECT_TRUE(importErr.contains(QStringLiteral("QSO_DATE"))) << importErr.toStdString();
}
