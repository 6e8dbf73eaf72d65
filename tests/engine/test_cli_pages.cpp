// The report-file subcommands of cardmint-cli, run as a user would.
#include "cliprocess.h"
#include "engine/pages/qrprinter.h"
#include "pagefixture.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace cm {
namespace {

using cm::test::CliRun;
using cm::test::runCli;

class CliPagesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TQRPrinter printer;
        printer.setCompression(true);
        TQRPageSetup setup;
        setup.orientation = TQROrientation::poLandscape;
        printer.setPageSetup(setup);
        test::generatePages(printer, 3);
        m_report = m_dir.filePath(QStringLiteral("cards.QRP"));
        printer.writeReportFile(m_report);
    }
    QTemporaryDir m_dir;
    QString m_report;
};

TEST_F(CliPagesTest, QrpInfoDescribesTheFile)
{
    const CliRun run = runCli({QStringLiteral("qrp-info"), m_report});
    EXPECT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QLatin1String("pages: 3\n")));
    EXPECT_TRUE(run.out.contains(QLatin1String("compressed: yes\n")));
    EXPECT_TRUE(run.out.contains(QLatin1String("paper: A4 landscape (297.0 x 210.0 mm)\n")));
    EXPECT_TRUE(run.out.contains(QLatin1String("pages 1-3: 1123 x 794 dots")));
}

TEST_F(CliPagesTest, ConvertWritesEveryPage)
{
    const CliRun pdf = runCli({QStringLiteral("convert"), m_report, QStringLiteral("--pdf"), m_dir.filePath(QStringLiteral("cards.pdf"))});
    EXPECT_EQ(pdf.code, 0) << pdf.err.toStdString();
    EXPECT_EQ(pdf.out, QStringLiteral("pages: 3\n"));
    EXPECT_TRUE(QFile::exists(m_dir.filePath(QStringLiteral("cards.pdf"))));

    const CliRun png = runCli({QStringLiteral("convert"), m_report, QStringLiteral("--png"),
                               m_dir.filePath(QStringLiteral("card-#.png")), QStringLiteral("--dpi"), QStringLiteral("30")});
    EXPECT_EQ(png.code, 0) << png.err.toStdString();
    for (int n = 1; n <= 3; ++n)
        EXPECT_TRUE(QFile::exists(m_dir.filePath(QStringLiteral("card-%1.png").arg(n)))) << n;
}

TEST_F(CliPagesTest, BadInputFailsWithAMessage)
{
    const QString garbage = m_dir.filePath(QStringLiteral("garbage.QRP"));
    {
        QFile file(garbage);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(300, 'x'));
    }
    struct Case {
        QStringList args;
        int exitCode;
        const char* message;
    };
    const Case cases[] = {
        {{"qrp-info", garbage}, 1, "Not a report file"},
        {{"qrp-info"}, 2, "usage"},
        {{"convert", garbage, "--pdf", m_dir.filePath("x.pdf")}, 1, "Not a report file"},
        {{"convert", m_report}, 2, "give one of"},
        {{"convert", m_report, "--png", "a#.png", "--dpi", "0"}, 2, "--dpi"},
        {{"convert", m_report, "--png", "a#.png", "--pdf", "b.pdf"}, 2, "only one"},
        {{"convert", m_report, "--png", m_dir.filePath("nohash.png")}, 1, "#"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        const CliRun run = runCli(c.args);
        EXPECT_EQ(run.code, c.exitCode);
        EXPECT_TRUE(run.err.contains(QLatin1String(c.message))) << run.err.toStdString();
    }
}

} // namespace
} // namespace cm
