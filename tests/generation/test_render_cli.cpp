// The render command end to end: demo log in, pages out.
#include "cliprocess.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using CliResult = cm::test::CliRun;

// `locale` names the formatting locale of the run (none: the system's).
CliResult cli(const QStringList& args, const QString& locale = QString())
{
    return cm::test::runCli(args, QString(), locale.isEmpty() ? QStringList() : QStringList{"CARDMINT_LOCALE=" + locale});
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
    EXPECT_EQ(none.code, 1);
    EXPECT_EQ(none.err, QStringLiteral("render: no QSOs match the filter; nothing was written or printed\n"));
    EXPECT_TRUE(none.out.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("none.qrp")));
    // Asked for, the demo layout prints its one empty card (PrintIfEmpty).
    const CliResult empty = cli({"render", "--layout", layout, "--log", log, "--filter", "(Call = 'NOSUCHCALL')",
                                 "--allow-empty", "--qrp", dir.filePath("empty.qrp")});
    EXPECT_EQ(empty.code, 0) << empty.err.toStdString();
    EXPECT_EQ(empty.out, QStringLiteral("pages: 1\n"));
    const CliResult badFilter = cli({"render", "--layout", layout, "--log", log, "--filter", "(Call =", "--qrp",
                                     dir.filePath("bad.qrp")});
    EXPECT_EQ(badFilter.code, 1);
}

// The text of a PDF with its runs of blanks and line ends made single blanks.
QString pdfText(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput()).simplified();
}

TEST(RenderCli, PrintsWholeValuesAndWarnsOfTextThatDidNotFit)
{
    QTemporaryDir dir;
    const QString adif = dir.filePath("long.adi");
    QFile file(adif);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Long values\n<EOH>\n"
               "<CALL:16>VK9X/DL9MWB/QRPP <QSO_DATE:8>20230527 <TIME_ON:6>235958 <BAND:4>160m <MODE:4>RTTY "
               "<RST_SENT:3>599 <EOR>\n"
               "<CALL:20>WWWWWWWWWWWWWWWWWWWW <QSO_DATE:8>20230407 <TIME_ON:4>0705 <BAND:3>20m <MODE:2>CW "
               "<RST_SENT:3>579 <EOR>\n");
    file.close();
    const QString pdf = dir.filePath("cards.pdf");
    const CliResult r = cli({"render", "--layout", layout, "--log", adif, "--pdf", pdf}, QStringLiteral("de_DE"));
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("pages: 2\n"));
    EXPECT_EQ(r.err, QStringLiteral("render: warning: CallSign did not fit on 1 card: 2\n"));
    const QString text = pdfText(pdf);
    for (const char* whole : {"VK9X/DL9MWB/QRPP", "27 May 2023", "23:59", "160M", "RTTY", "07 Apr 2023", "07:05"})
        EXPECT_TRUE(text.contains(QString::fromLatin1(whole))) << whole << " not in: " << text.toStdString();
}

// Every way of having no QSO to print is an error that says why, and writes nothing.
TEST(RenderCli, NothingToPrintIsAnError)
{
    QTemporaryDir dir;
    auto write = [&dir](const char* name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    };
    const QString emptyLog = dir.filePath("empty.db");
    ASSERT_EQ(cli({"make-demo-log", emptyLog, "--count", "0"}).code, 0);
    struct Case {
        const char* what;
        QStringList logArgs;
        QString cause;   // empty: only that it fails with a message
    };
    const Case cases[] = {
        {"no log", {}, "no QSOs to print: no log given (--log)"},
        {"empty logbook", {"--log", emptyLog}, QStringLiteral("the log \"%1\" holds no QSOs").arg(emptyLog)},
        {"ADIF without callsigns", {"--log", write("nocall.adi", "<EOH>\n<QSO_DATE:8>20230527 <EOR>\n")},
         "render: warning: "},
        {"zero-filled file", {"--log", write("zeros.db", QByteArray(4096, '\0'))}, {}},
        {"empty file", {"--log", write("nothing.adi", {})}, {}},
        {"/dev/null", {"--log", "/dev/null"}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString out = dir.filePath("cards.pdf");
        const CliResult r = cli(QStringList{"render", "--layout", layout, "--pdf", out} + c.logArgs);
        EXPECT_EQ(r.code, 1);
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
        EXPECT_FALSE(r.err.isEmpty());
        if (!c.cause.isEmpty()) {
            EXPECT_TRUE(r.err.contains(c.cause)) << r.err.toStdString();
        }
        EXPECT_FALSE(QFileInfo::exists(out));
    }
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
