// The command line explains itself: help on every command, one spelling per
// option, bare names looked up where the README says, clear messages.
#include "cliprocess.h"
#include "layout/layoutlocator.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using cm::test::CliRun;
using cm::test::runCli;

} // namespace

TEST(CliHelp, EveryCommandExplainsItself)
{
    const char* commands[] = {"render", "convert", "check-table", "import-adif", "make-demo-log",
                              "eval", "qrp-info", "resave", "dump", "make-layouts", "export-adif", "sheets",
                              "calibration", "calibration-page"};
    for (const char* command : commands) {
        for (const char* ask : {"--help", "-h"}) {
            const CliRun r = runCli({QString::fromLatin1(command), QString::fromLatin1(ask)});
            EXPECT_EQ(r.code, 0) << command << " " << ask << ": " << r.err.toStdString();
            EXPECT_TRUE(r.out.startsWith(QStringLiteral("usage: cardmint-cli %1").arg(QLatin1String(command))))
                << command << ": " << r.out.toStdString();
        }
    }
    // Also after other arguments, and the details name the options.
    const CliRun render = runCli({"render", "--layout", "x.qr2", "--help"});
    EXPECT_EQ(render.code, 0);
    EXPECT_TRUE(render.out.contains(QStringLiteral("--order FIELDS"))) << render.out.toStdString();
    EXPECT_TRUE(runCli({"import-adif", "--help"}).out.contains(QStringLiteral("--allow-duplicates")));
    // The global option in both spellings.
    EXPECT_EQ(runCli({"--code-page", "1250", "eval", "1+1"}).out, QStringLiteral("Integer\t2\n"));
    EXPECT_EQ(runCli({"--codepage", "1250", "eval", "1+1"}).out, QStringLiteral("Integer\t2\n"));
}

TEST(CliLookup, BareNamesAreFoundWhereTheReadmeSaysAndMissingOnesNameThePlacesTried)
{
    QTemporaryDir dir;
    const QString logs = dir.filePath(QStringLiteral("logs"));
    const QString data = dir.filePath(QStringLiteral("data"));
    const QString work = dir.filePath(QStringLiteral("work"));
    const QString userLayouts = data + QStringLiteral("/Cardmint/Layouts");
    ASSERT_TRUE(QDir().mkpath(logs) && QDir().mkpath(userLayouts) && QDir().mkpath(work));
    ASSERT_TRUE(QFile::copy(QStringLiteral(CARDMINT_SOURCE_DIR "/demo/Demo1.qr2"), userLayouts + "/Mine.qr2"));
    ASSERT_EQ(runCli({"make-demo-log", logs + "/Demo.db", "--count", "3"}).code, 0);
    const QStringList env = {"CARDMINT_LOGBOOK_DIR=" + logs, "XDG_DATA_HOME=" + data};
    const QString out = dir.filePath(QStringLiteral("cards.qrp"));

    // The user's layouts folder and the shipped layouts (demo/ beside the build tree).
    for (const char* layout : {"Mine.qr2", "Demo1.qr2"}) {
        const CliRun r = runCli({"render", "--layout", layout, "--log", "Demo.db", "--qrp", out}, work, env);
        EXPECT_EQ(r.code, 0) << layout << ": " << r.err.toStdString();
        EXPECT_EQ(r.out, QStringLiteral("pages: 3\n")) << layout;
    }
    const CliRun check = runCli({"check-table", "Demo.db"}, work, env);
    EXPECT_EQ(check.out, QStringLiteral("1 current format (Cardmint logbook)\n")) << check.err.toStdString();

    const CliRun noLayout = runCli({"render", "--layout", "Nope.qr2", "--qrp", out}, work, env);
    EXPECT_EQ(noLayout.code, 1);
    for (const QString& place : {work + "/Nope.qr2", userLayouts + "/Nope.qr2",
                                 QStringLiteral(CARDMINT_SOURCE_DIR "/demo/Nope.qr2")})
        EXPECT_TRUE(noLayout.err.contains(QDir::cleanPath(place))) << noLayout.err.toStdString();
    const CliRun noLog = runCli({"render", "--layout", "Mine.qr2", "--log", "Nope.db", "--qrp", out}, work, env);
    EXPECT_EQ(noLog.code, 1);
    EXPECT_TRUE(noLog.err.contains(logs + "/Nope.db") && noLog.err.contains(work + "/Nope.db"))
        << noLog.err.toStdString();
}

TEST(CliLookup, InstalledProgramFindsTheLayoutsItShips)
{
    QTemporaryDir dir;
    const QString layouts = dir.filePath(QStringLiteral("usr/share/cardmint/layouts"));
    ASSERT_TRUE(QDir().mkpath(layouts) && QDir().mkpath(dir.filePath(QStringLiteral("usr/bin"))));
    EXPECT_EQ(cm::shippedLayoutFolder(dir.filePath(QStringLiteral("usr/bin"))), QDir::cleanPath(layouts));
    EXPECT_EQ(cm::shippedLayoutFolder(dir.path()), QString());
}

TEST(CliMessages, FilterAndOrderTakeAdifNamesAndSayWhatIsWrongOnce)
{
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("Demo.db"));
    ASSERT_EQ(runCli({"make-demo-log", log, "--count", "5"}).code, 0);
    const QString layout = QStringLiteral(CARDMINT_SOURCE_DIR "/demo/Demo1.qr2");
    const QString out = dir.filePath(QStringLiteral("cards.qrp"));
    const CliRun ok = runCli({"render", "--layout", layout, "--log", log, "--filter", "(CALL IS NOT NULL)",
                           "--order", "QSO_DATE DESC, TIME_ON", "--qrp", out});
    EXPECT_EQ(ok.code, 0) << ok.err.toStdString();
    EXPECT_EQ(ok.out, QStringLiteral("pages: 5\n"));

    const CliRun filter = runCli({"render", "--layout", layout, "--log", log, "--filter", "(Nope = 'x')", "--qrp", out});
    EXPECT_EQ(filter.code, 1);
    EXPECT_TRUE(filter.err.startsWith(QStringLiteral("render: Filter: unknown field 'Nope'"))) << filter.err.toStdString();
    EXPECT_EQ(filter.err.count(QStringLiteral("Filter")), 1) << filter.err.toStdString();
    EXPECT_TRUE(filter.err.contains(QStringLiteral("Opomba (COMMENT)"))) << filter.err.toStdString();
    const CliRun order = runCli({"render", "--layout", layout, "--log", log, "--order", "Nope", "--qrp", out});
    EXPECT_EQ(order.code, 1);
    EXPECT_TRUE(order.err.startsWith(QStringLiteral("render: Order: unknown field 'Nope'; the fields are Log, ")))
        << order.err.toStdString();
}
