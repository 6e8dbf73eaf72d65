// The QSL workflow on the command line: marks as sent, ADIF export, images
// named after their QSOs, label sheets with a start position, calibration.
#include "cliprocess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using cm::test::CliRun;

// `config` is the settings folder of the run (none: the user's).
CliRun cli(const QStringList& args, const QString& config = QString())
{
    return cm::test::runCli(args, QString(), config.isEmpty() ? QStringList() : QStringList{"XDG_CONFIG_HOME=" + config});
}

const QString demoCard = QStringLiteral(CARDMINT_SOURCE_DIR "/demo/Demo1.qr2");

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The first row and column, in millimetres, with a dark pixel.
QPointF firstInk(const QString& png, int dpi)
{
    const QImage image(png);
    int top = -1, left = image.width();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128) {
                if (top < 0)
                    top = y;
                left = std::min(left, x);
            }
    return {left * 25.4 / dpi, top * 25.4 / dpi};
}

TEST(QslCli, MarkSentMarksWhatWasOutputAndTheExportCarriesIt)
{
    QTemporaryDir dir;
    const QString log = dir.filePath("Log.db");
    ASSERT_EQ(cli({"make-demo-log", log, "--count", "20"}).code, 0);
    const QString all = dir.filePath("all.adi");
    ASSERT_EQ(cli({"export-adif", log, all}).code, 0);
    const int sentBefore = int(readAll(all).count("<QSL_SENT:1>Y"));

    // A failed output marks nothing.
    const CliRun failed = cli({"render", "--layout", demoCard, "--log", log, "--filter", "(Band = '20M')", "--mark-sent",
                            "--pdf", dir.filePath("no/such/folder/cards.pdf")});
    EXPECT_EQ(failed.code, 1);
    ASSERT_EQ(cli({"export-adif", log, all}).code, 0);
    EXPECT_EQ(readAll(all).count("<QSL_SENT:1>Y"), sentBefore);

    const CliRun marked = cli({"render", "--layout", demoCard, "--log", log, "--filter", "(QSL_SENT <> 'Y')", "--mark-sent",
                            "--pdf", dir.filePath("cards.pdf")});
    ASSERT_EQ(marked.code, 0) << marked.err.toStdString();
    const QStringList lines = marked.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    const int pages = lines[0].section(u' ', 1).toInt();
    EXPECT_EQ(lines[1], QStringLiteral("marked as sent: %1").arg(pages));
    EXPECT_GT(pages, 0);

    const CliRun exported = cli({"export-adif", log, all, "--filter", "(QslS = 'Y')"});
    ASSERT_EQ(exported.code, 0) << exported.err.toStdString();
    EXPECT_EQ(exported.out, QStringLiteral("QSOs written: %1\n").arg(sentBefore + pages));
    const QByteArray adi = readAll(all);
    EXPECT_EQ(adi.count("<QSL_SENT:1>Y"), sentBefore + pages);
    EXPECT_EQ(adi.count("<QSLSDATE:8>" + QDate::currentDate().toString("yyyyMMdd").toLatin1()), pages);
}

TEST(QslCli, LogsThatCannotBeMarkedAndBadInputWriteNothing)
{
    QTemporaryDir dir;
    const QString adif = dir.filePath("log.adi");
    QFile f(adif);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<EOH>\n<CALL:9>VP2E/W1AW <QSO_DATE:8>20240101 <TIME_ON:4>1200 <BAND:3>20m <MODE:2>CW <EOR>\n"
            "<CALL:9>VP2E/W1AW <QSO_DATE:8>20240102 <TIME_ON:4>1300 <BAND:3>20m <MODE:2>CW <EOR>\n"
            "<CALL:4>S51A <QSO_DATE:8>20240103 <TIME_ON:4>1400 <BAND:3>40m <MODE:2>CW <EOR>\n");
    f.close();
    const QString pdf = dir.filePath("cards.pdf");
    const CliRun adifMark = cli({"render", "--layout", demoCard, "--log", adif, "--mark-sent", "--pdf", pdf});
    EXPECT_EQ(adifMark.code, 1);
    EXPECT_TRUE(adifMark.err.contains(u"import it into a SQLite logbook")) << adifMark.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(pdf));

    const QString images = dir.filePath("img");
    QDir().mkpath(images);
    const struct {
        QStringList args;
        int code;
        const char* says;
    } bad[] = {
        {{"--png", images + "/{Cal}.png"}, 2, "unknown field {Cal}"},
        {{"--jpeg", images + "/{Call}.jpg", "--quality", "101"}, 2, "--quality needs a number from 0 to 100"},
        {{"--png", images + "/{Call}.png", "--quality", "50"}, 2, "--quality is for --jpeg only"},
        {{"--pdf", pdf, "--sheet", "A4-QSL-3", "--start-at", "4"}, 2, "beyond the 3 positions"},
        {{"--pdf", pdf, "--sheet", "NoSuchSheet"}, 2, "cardmint-cli sheets"},
        {{"--pdf", pdf, "--sheet", "A4-70x36-24"}, 1, "higher than a label"},
        {{"--pdf", pdf, "--calibration", "NoSuchPrinter"}, 1, "no printer calibration named"},
    };
    for (const auto& b : bad) {
        const CliRun r = cli(QStringList{"render", "--layout", demoCard, "--log", adif} + b.args, dir.filePath("config"));
        EXPECT_EQ(r.code, b.code) << b.says;
        EXPECT_TRUE(r.err.contains(QString::fromLatin1(b.says))) << r.err.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(pdf));
    EXPECT_TRUE(QDir(images).isEmpty());

    // One image per QSO, named after it, the same name told apart.
    const CliRun named = cli({"render", "--layout", demoCard, "--log", adif, "--order", "Datum", "--jpeg",
                           images + "/{Call}_{Band}.jpg", "--quality", "60", "--dpi", "30"});
    ASSERT_EQ(named.code, 0) << named.err.toStdString();
    EXPECT_EQ(QDir(images).entryList(QDir::Files),
              (QStringList{"S51A_40M.jpg", "VP2E-W1AW_20M-2.jpg", "VP2E-W1AW_20M.jpg"}));
    EXPECT_EQ(QImage(images + "/S51A_40M.jpg").width(), qRound(140 * 30 / 25.4));
}

TEST(QslCli, SheetStartPositionAndCalibrationMoveTheCard)
{
    QTemporaryDir dir;
    const QString log = dir.filePath("Log.db");
    ASSERT_EQ(cli({"make-demo-log", log, "--count", "1"}).code, 0);
    const QString config = dir.filePath("config");
    constexpr int dpi = 50;
    auto inkAt = [&](const QStringList& extra) {
        const QString png = dir.filePath("card.png");
        QFile::remove(png);
        const CliRun r = cli(QStringList{"render", "--layout", demoCard, "--log", log, "--png", png, "--dpi",
                                      QString::number(dpi)} + extra, config);
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        return firstInk(png, dpi);
    };
    // The card's frame lies 4 mm inside the card; a label of the sheet starts
    // 13.5 mm down and 35 mm in, and each is 90 mm high.
    const QPointF first = inkAt({"--sheet", "A4-QSL-3"});
    EXPECT_NEAR(first.x(), 35 + 4, 1.0);
    EXPECT_NEAR(first.y(), 13.5 + 4, 1.0);
    const QPointF third = inkAt({"--sheet", "A4-QSL-3", "--start-at", "3"});
    EXPECT_NEAR(third.y(), 13.5 + 180 + 4, 1.0);
    EXPECT_NEAR(third.x(), 35 + 4, 1.0);

    const CliRun stored = cli({"calibration", "Card printer", "10", "-2", "100"}, config);
    ASSERT_EQ(stored.code, 0) << stored.err.toStdString();
    EXPECT_EQ(cli({"calibration", "Card printer", "1", "1", "151"}, config).code, 2);
    EXPECT_TRUE(cli({"calibration"}, config).out.contains(u"Card printer: x 10 mm, y -2 mm, scale 100 %"));
    const QPointF plain = inkAt({});
    const QPointF shifted = inkAt({"--calibration", "Card printer"});
    EXPECT_NEAR(shifted.x() - plain.x(), 10, 1.0);
    EXPECT_NEAR(shifted.y() - plain.y(), -2, 1.0);

    const QString page = dir.filePath("calibration.pdf");
    ASSERT_EQ(cli({"calibration-page", page}).code, 0);
    EXPECT_TRUE(readAll(page).startsWith("%PDF"));
    const CliRun sheets = cli({"sheets"});
    EXPECT_TRUE(sheets.out.contains(u"A4-70x36-24")) << sheets.out.toStdString();
}

} // namespace
