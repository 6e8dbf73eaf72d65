// One image per card from the command line: the images made while the
// cards are generated are the pages as stored, and a run that fails part way
// leaves the folder as it was.
#include "cliprocess.h"
#include "testfiles.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {

using cm::test::CliRun;
using cm::test::readFile;
using cm::test::runCli;
using cm::test::writeFile;

const QString demoCard = QStringLiteral(CARDMINT_SOURCE_DIR "/demo/Demo1.qr2");

// Every file below `folder`, with its path from there.
QStringList filesBelow(const QString& folder)
{
    QStringList files;
    QDir dir(folder);
    for (const QFileInfo& info : dir.entryInfoList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name)) {
        if (info.isDir()) {
            const QStringList inner = filesBelow(info.filePath());
            files << info.fileName() + u'/';
            for (const QString& f : inner)
                files << info.fileName() + u'/' + f;
        } else {
            files << info.fileName();
        }
    }
    return files;
}

class ImageOutput : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        log_ = dir_.filePath("Log.db");
        ASSERT_EQ(runCli({"make-demo-log", log_, "--count", "5"}).code, 0);
    }
    CliRun render(const QStringList& target)
    {
        return runCli(QStringList{"render", "--layout", demoCard, "--log", log_, "--dpi", "40"} + target);
    }
    QString path(const QString& name) const { return dir_.filePath(name); }

    QTemporaryDir dir_;
    QString log_;
};

// The output stage draws the pages as generation recorded them; the pages
// stored in a report file and drawn from there give the same pixels.
TEST_F(ImageOutput, ImagesOfTheRunAreThePagesAsStored)
{
    ASSERT_EQ(render({"--qrp", path("cards.QRP")}).code, 0);
    for (const QString& format : {QStringLiteral("png"), QStringLiteral("jpeg")}) {
        SCOPED_TRACE(format.toStdString());
        QDir().mkpath(path("run-" + format));
        QDir().mkpath(path("stored-" + format));
        const CliRun run = render({"--" + format, path("run-" + format + "/card-#." + format)});
        ASSERT_EQ(run.code, 0) << run.err.toStdString();
        EXPECT_TRUE(run.out.contains(u"pages: 5"));
        const CliRun stored = runCli({"convert", path("cards.QRP"), "--" + format,
                                      path("stored-" + format + "/card-#." + format), "--dpi", "40"});
        ASSERT_EQ(stored.code, 0) << stored.err.toStdString();
        EXPECT_EQ(filesBelow(path("run-" + format)), filesBelow(path("stored-" + format)));
        for (int n = 1; n <= 5; ++n) {
            const QImage a(path(QStringLiteral("run-%1/card-%2.%1").arg(format).arg(n)));
            const QImage b(path(QStringLiteral("stored-%1/card-%2.%1").arg(format).arg(n)));
            ASSERT_FALSE(a.isNull()) << n;
            EXPECT_EQ(a, b) << n;
        }
    }
}

// A name that cannot be written in the middle of the run: the images of the
// run are gone, and the files that had the names before are as they were.
TEST_F(ImageOutput, AFailedRunLeavesTheFolderAsItWas)
{
    struct Case {
        const char* what;
        QString pattern;
        QStringList folders;    // made before the run
        QString readOnly;       // a folder the run cannot write into
        QString inTheWay;       // a folder where a later image should go
    };
    const Case cases[] = {
        {"a folder in place of a later image", "out/card-#.png", {"out"}, {}, "out/card-4.png"},
        {"a later folder missing", "run-#/card.png", {"run-1", "run-2"}, {}, {}},
        {"a later folder read-only", "ro-#/card.png", {"ro-1", "ro-2", "ro-3"}, "ro-3", {}},
    };
    const bool root = ::geteuid() == 0;   // root writes into read-only folders
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (!c.readOnly.isEmpty() && root)
            continue;
        QTemporaryDir top;
        const QString before = QStringLiteral("the file of an earlier run");
        for (const QString& folder : c.folders)
            ASSERT_TRUE(QDir(top.path()).mkpath(folder));
        const QString firstName = QDir(top.path()).filePath(QString(c.pattern).replace(u'#', u'1'));
        writeFile(firstName, before.toUtf8());
        if (!c.inTheWay.isEmpty()) {
            ASSERT_TRUE(QDir(top.path()).mkpath(c.inTheWay));
        }
        if (!c.readOnly.isEmpty())
            QFile::setPermissions(QDir(top.path()).filePath(c.readOnly), QFile::ReadOwner | QFile::ExeOwner);
        const QStringList files = filesBelow(top.path());

        const CliRun r = render({"--png", QDir(top.path()).filePath(c.pattern)});
        EXPECT_EQ(r.code, 1);
        EXPECT_TRUE(r.err.contains(u"Cannot")) << r.err.toStdString();
        EXPECT_FALSE(r.out.contains(u"pages:")) << r.out.toStdString();
        EXPECT_EQ(filesBelow(top.path()), files);
        EXPECT_EQ(readFile(firstName), before.toUtf8());
        if (!c.readOnly.isEmpty())
            QFile::setPermissions(QDir(top.path()).filePath(c.readOnly), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // Once every name can be written the run replaces the earlier file.
    QDir().mkpath(path("ok"));
    writeFile(path("ok/card-1.png"), "old");
    ASSERT_EQ(render({"--png", path("ok/card-#.png")}).code, 0);
    EXPECT_EQ(filesBelow(path("ok")), (QStringList{"card-1.png", "card-2.png", "card-3.png", "card-4.png", "card-5.png"}));
    EXPECT_FALSE(QImage(path("ok/card-1.png")).isNull());
}

// Ctrl+C while images are being written: the run ends without any of them,
// and the file that had a name of the run before is kept.
TEST_F(ImageOutput, CtrlCLeavesNoImages)
{
    const QString log = path("many.db");
    ASSERT_EQ(runCli({"make-demo-log", log, "--count", "3000"}).code, 0);
    const QString out = path("out");
    ASSERT_TRUE(QDir().mkpath(out));
    writeFile(out + "/card-0002.png", "old");
    QProcess cli;
    cli.start(QStringLiteral(CARDMINT_CLI), {"render", "--layout", demoCard, "--log", log, "--png", out + "/card-####.png"});
    ASSERT_TRUE(cli.waitForStarted());
    // Once the first images wait under their temporary names.
    auto writing = [&] { return QDir(out).entryList({".cardmint-*"}, QDir::Files | QDir::Hidden).size() > 1; };
    while (cli.state() == QProcess::Running && !writing())
        cli.waitForFinished(20);
    ASSERT_EQ(cli.state(), QProcess::Running) << cli.readAllStandardError().toStdString();
    const CliRun r = cm::test::interruptCli(cli);
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(u"cancelled")) << r.err.toStdString();
    EXPECT_EQ(filesBelow(out), QStringList{"card-0002.png"});
    EXPECT_EQ(readFile(out + "/card-0002.png"), "old");
}

} // namespace
