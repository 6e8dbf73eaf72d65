// Marking QSOs as sent, the ADIF export that carries the marks back, and
// the bureau order.
#include "logbook/adifimport.h"
#include "logbook/adifwriter.h"
#include "logbook/bureauorder.h"
#include "logbook/logfields.h"
#include "logbook/logsource.h"
#include "logbook/qslmarks.h"
#include "logbook_fixtures.h"

#include <QFile>
#include <QTimeZone>
#include <unistd.h>

#include <gtest/gtest.h>

using namespace cm;
using namespace cmtest;

namespace {

QString fourQsos(const QTemporaryDir& dir)
{
    return makeSqliteLogbook(dir, QStringLiteral("four.db"),
                             {qso("S51A", QDate(2024, 1, 1), QTime(1, 0), "20M", "CW", 14.0, "Slovenia"),
                              qso("DL1B", QDate(2024, 1, 2), QTime(2, 0), "40M", "SSB", 7.1, "Germany"),
                              qso("G3C", QDate(2024, 1, 3), QTime(3, 0), "15M", "FT4", 21.14, "England"),
                              qso("VP2E/W1AW", QDate(2024, 1, 4), QTime(4, 5, 6), "20M", "SSB", 14.2, "Anguilla",
                                  "via W1AW")});
}

QStringList sentColumn(const QString& path)
{
    QString error;
    auto log = openLogSource(path, &error);
    QStringList sent;
    for (int r = 0; log && r < log->recordCount(); ++r)
        sent << log->recordText(r, LogQslS);
    return sent;
}

} // namespace

TEST(QslMarks, MarksTheGivenQsosInOneTransactionAndKeepsTheDay)
{
    QTemporaryDir dir;
    const QString path = fourQsos(dir);
    QString error;
    ASSERT_TRUE(markQslSent(path, {1, 3}, QDate(2025, 6, 7), &error)) << error.toStdString();
    EXPECT_EQ(sentColumn(path), (QStringList{"Y", "", "Y", ""}));
    const auto dates = qslSentDates(path);
    ASSERT_EQ(dates.size(), 2u);
    EXPECT_EQ(dates.at(3), QDate(2025, 6, 7));

    // A QSO that is gone makes the whole run mark nothing.
    EXPECT_FALSE(markQslSent(path, {2, 99}, QDate(2025, 6, 8), &error));
    EXPECT_TRUE(error.contains(u"99")) << error.toStdString();
    EXPECT_EQ(sentColumn(path), (QStringList{"Y", "", "Y", ""}));
    EXPECT_EQ(qslSentDates(path).size(), 2u);
}

TEST(QslMarks, OnlySqliteLogbooksTakeMarks)
{
    QTemporaryDir dir;
    const QString adif = dir.filePath("log.adi");
    ASSERT_TRUE(writeFile(adif, "<EOH>\n<CALL:4>S51A <QSO_DATE:8>20240101 <EOR>\n"));
    QString error;
    auto fromAdif = openLogSource(adif, &error);
    ASSERT_TRUE(fromAdif) << error.toStdString();
    EXPECT_TRUE(qslMarkRefusal(*fromAdif).contains(u"import it into a SQLite logbook"));
    auto sqlite = openLogSource(fourQsos(dir), &error);
    ASSERT_TRUE(sqlite);
    EXPECT_TRUE(qslMarkRefusal(*sqlite).isEmpty());
    // The Log numbers of the records a run printed, each once.
    EXPECT_EQ(logNumbersOf(*sqlite, {2, 0, 2}), (std::vector<qint64>{1, 3}));
}

TEST(AdifExport, WritesAdif3WithTheMarksAndReadsBackTheSame)
{
    QTemporaryDir dir;
    const QString path = fourQsos(dir);
    QString error;
    ASSERT_TRUE(markQslSent(path, {4}, QDate(2025, 6, 7), &error));
    auto log = openLogSource(path, &error);
    ASSERT_TRUE(log);
    const QByteArray adi = adifDocument(*log, qslSentDates(path), QDateTime(QDate(2025, 6, 7), QTime(12, 0), QTimeZone::utc()));
    EXPECT_TRUE(adi.contains("<ADIF_VER:5>3.1.4"));
    EXPECT_TRUE(adi.contains("<CREATED_TIMESTAMP:15>20250607 120000"));
    EXPECT_TRUE(adi.contains("<QSO_DATE:8>20240104 <TIME_ON:6>040506 <CALL:9>VP2E/W1AW"));
    EXPECT_TRUE(adi.contains("<QSL_SENT:1>Y <QSLSDATE:8>20250607"));
    EXPECT_EQ(adi.count("QSLSDATE"), 1);
    EXPECT_TRUE(adi.contains("<MODE:4>MFSK <SUBMODE:3>FT4"));
    EXPECT_TRUE(adi.contains("<FREQ:5>21.14"));
    EXPECT_TRUE(adi.contains("<QSL_VIA:8>via W1AW"));

    // The export imports again to the same QSOs.
    const QString out = dir.filePath("out.adi");
    ASSERT_TRUE(writeFileSafely(out, adi, &error));
    AdifImportReport report;
    const QString copy = dir.filePath("copy.db");
    ASSERT_TRUE(importAdif(out, copy, report, &error)) << error.toStdString();
    EXPECT_EQ(report.recordsImported, 4);
    auto back = openLogSource(copy, &error);
    ASSERT_TRUE(back);
    for (int field : {LogDatum, LogGmt, LogCall, LogMode, LogBand, LogFreq, LogQslS, LogQslVia, LogCountry})
        for (int r = 0; r < 4; ++r)
            EXPECT_EQ(back->recordText(r, field), log->recordText(r, field)) << "field " << field << " record " << r;
}

TEST(AdifExport, AFailedWriteKeepsTheOldFile)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    QTemporaryDir dir;
    const QString out = dir.filePath("old.adi");
    ASSERT_TRUE(writeFile(out, "old"));
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    QString error;
    EXPECT_FALSE(writeFileSafely(out, "new", &error));
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("old"));
    EXPECT_TRUE(error.contains(out)) << error.toStdString();
}

TEST(AdifExport, ModesGoBackToTheirFamilies)
{
    const struct {
        const char* logbook;
        const char* mode;
        const char* submode;
    } cases[] = {{"FT4", "MFSK", "FT4"}, {"usb", "SSB", "USB"}, {"PSK31", "PSK", "PSK31"},
                 {"FT8", "FT8", ""},     {"CW", "CW", ""},      {"", "", ""}};
    for (const auto& c : cases) {
        const auto [mode, submode] = adifModeOf(QString::fromLatin1(c.logbook));
        EXPECT_EQ(mode, QString::fromLatin1(c.mode)) << c.logbook;
        EXPECT_EQ(submode, QString::fromLatin1(c.submode)) << c.logbook;
    }
}

TEST(BureauOrder, RoutePrefixes)
{
    const struct {
        const char* call;
        const char* via;
        const char* pfx;
        const char* route;
    } cases[] = {
        {"W1AW", "", "", "W1"},           {"9A2AA", "", "", "9A2"},         {"3DA0XX", "", "", "3DA0"},
        {"VP2E/W1AW", "", "", "VP2"},     {"W1AW/VP9", "", "", "VP9"}  ,     {"DL1ABC/P", "", "", "DL1"},
        {"S51A", "", "S5", "S5"},         {"ZS6X", "via EA5GL", "ZS6", "EA5"},
        {"ZS6X", "BURO", "ZS6", "ZS6"},   {"ZS6X", "LOTW, direct", "", "ZS6"}, {"JA1XYZ", "M0OXO (OQRS)", "", "M0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(bureauRoute(QString::fromLatin1(c.call), QString::fromLatin1(c.via), QString::fromLatin1(c.pfx)),
                  QString::fromLatin1(c.route))
            << c.call << " via " << c.via;
}

TEST(BureauOrder, SortsByRouteThenCallThenDate)
{
    QTemporaryDir dir;
    const QString path = makeSqliteLogbook(
        dir, QStringLiteral("bureau.db"),
        {qso("W1AW", QDate(2024, 3, 1), QTime(1, 0), "20M", "CW", 14.0, "USA"),
         qso("ZS6X", QDate(2024, 1, 1), QTime(1, 0), "20M", "CW", 14.0, "South Africa", "via EA5GL"),
         qso("DL2B", QDate(2024, 1, 1), QTime(1, 0), "20M", "CW", 14.0, "Germany"),
         qso("W1AW", QDate(2024, 1, 1), QTime(1, 0), "20M", "CW", 14.0, "USA"),
         qso("DL1A", QDate(2024, 1, 1), QTime(1, 0), "20M", "CW", 14.0, "Germany"),
         qso("EA5GL", QDate(2024, 2, 1), QTime(1, 0), "20M", "CW", 14.0, "Spain")});
    QString error;
    auto log = openLogSource(path, &error);
    ASSERT_TRUE(log);
    ASSERT_TRUE(log->setFilter(QStringLiteral("(Call <> 'DL2B')"), &error)) << error.toStdString();
    orderForBureau(*log);
    QStringList order;
    for (int r = 0; r < log->recordCount(); ++r)
        order << log->recordText(r, LogCall) + u' ' + log->recordValue(r, LogDatum).toDate().toString("MM");
    EXPECT_EQ(order, (QStringList{"DL1A 01", "EA5GL 02", "ZS6X 01", "W1AW 01", "W1AW 03"}));
}
