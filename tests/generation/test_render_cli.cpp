// The render command end to end: demo log in, pages out.
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct CliResult {
    int code;
    QString out;
    QString err;
};

CliResult cli(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(CARDMINT_CLI), args);
    p.waitForFinished(120000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

const QString layout = QStringLiteral(CARDMINT_SOURCE_DIR "/demo/Demo1.qr2");

TEST(RenderCli, PrintsOneCardPerLogRecordAndHonoursTheFilter)
{
    QTemporaryDir dir;
    const QString log = dir.filePath("Demo.db");
    ASSERT_EQ(cli({"make-demo-log", log, "--count", "12"}).code, 0);
    const CliResult all = cli({"render", "--layout", layout, "--log", log, "--qrp", dir.filePath("cards.qrp")});
    EXPECT_EQ(all.code, 0) << all.err.toStdString();
    EXPECT_EQ(all.out, QStringLiteral("pages: 12\n"));
    const CliResult pdf = cli({"render", "--layout", layout, "--log", log, "--pdf", dir.filePath("cards.pdf")});
    EXPECT_EQ(pdf.out, QStringLiteral("pages: 12\n"));
    EXPECT_TRUE(QFileInfo(dir.filePath("cards.pdf")).size() > 0);
    const CliResult none = cli({"render", "--layout", layout, "--log", log, "--filter", "(Call = 'NOSUCHCALL')",
                                "--order", "Call", "--qrp", dir.filePath("none.qrp")});
    EXPECT_EQ(none.code, 0) << none.err.toStdString();
    // Nothing passes the filter: the demo layout prints one empty card (PrintIfEmpty).
    EXPECT_EQ(none.out, QStringLiteral("pages: 1\n"));
    const CliResult badFilter = cli({"render", "--layout", layout, "--log", log, "--filter", "(Call =", "--qrp",
                                     dir.filePath("bad.qrp")});
    EXPECT_EQ(badFilter.code, 1);
}

TEST(RenderCli, RefusesBadInputClearly)
{
    QTemporaryDir dir;
    struct Case {
        QStringList args;
        int code;
    };
    const Case cases[] = {
        {{"render"}, 2},
        {{"render", "--layout", layout}, 2},
        {{"render", "--layout", layout, "--pdf", "a.pdf", "--png", "b.png"}, 2},
        {{"render", "--layout", layout, "--pdf", "a.pdf", "--dpi", "5"}, 2},
        {{"render", "--layout", layout, "--filter", "x", "--pdf", "a.pdf"}, 2},
        {{"render", "--layout", dir.filePath("missing.qr2"), "--pdf", dir.filePath("a.pdf")}, 1},
        {{"render", "--layout", layout, "--log", dir.filePath("missing.db"), "--pdf", dir.filePath("a.pdf")}, 1},
        {{"render", "--layout", layout, "--print", "--pdf", dir.filePath("a.pdf")}, 2},
        {{"render", "--layout", layout, "--printer"}, 2},
        {{"render", "--layout", layout, "--printer", "Cardmint test: no such printer"}, 1},
    };
    for (const Case& c : cases) {
        const CliResult r = cli(c.args);
        EXPECT_EQ(r.code, c.code) << c.args.join(' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty()) << c.args.join(' ').toStdString();
    }
}

} // namespace
