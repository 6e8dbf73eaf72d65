// A band script that loops for ever cannot hang generation: the run ends at
// the step budget with a clear message, or as soon as it is cancelled.
#include "engine/generate/modelaccess.h"
#include "engine/qrerror.h"
#include "expr/variablestore.h"
#include "cliprocess.h"
#include "harness.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>
#include <csignal>
#include <limits>
#include <gtest/gtest.h>
#include <thread>

namespace cm::test {
namespace {

struct RunawayLayout {
    RunawayLayout()
    {
        auto* detail = h.band(TQRBandType::rbDetail, 200);
        h.field(detail, QStringLiteral("Call"), 100, 50);
        h.ws.designer->script.lines = {QStringLiteral("[%1.BeforePrint]").arg(detail->name()), QStringLiteral("LOOP"),
                                       QStringLiteral("SETVAR('n', 1)"), QStringLiteral("ENDLOOP")};
        header = h.ws.designer->script.lines.first();
        h.ws.table->setSource(std::make_unique<FixtureDataSet>(callRecords({"S51A", "DL1XY"})));
    }
    Harness h;
    QString header;
};

TEST(ScriptRunaway, EndlessLoopEndsTheRunAtTheStepBudget)
{
    RunawayLayout layout;
    ReportGenerator generator(layout.h.report(), layout.h.output);
    generator.setScript(layout.h.ws.designer->script.lines);
    generator.setScriptStepBudget(5000);
    ScopedModelAccess access(&generator);
    try {
        generator.generate();
        ADD_FAILURE() << "the endless script did not end the run";
    } catch (const EQRError& e) {
        EXPECT_TRUE(e.message().contains(layout.header)) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QStringLiteral("5000 statements"))) << e.message().toStdString();
    }
    EXPECT_TRUE(generator.idle());
}

TEST(ScriptRunaway, CancellingStopsARunningScript)
{
    enum class From { Callback, OtherThread };
    for (const From from : {From::Callback, From::OtherThread}) {
        RunawayLayout layout;
        ReportGenerator generator(layout.h.report(), layout.h.output);
        generator.setScript(layout.h.ws.designer->script.lines);
        // No budget to save the run: only the cancel can end it.
        generator.setScriptStepBudget(std::numeric_limits<qint64>::max());
        std::atomic<bool> done = false;
        std::thread canceller;
        layout.h.ws.scope.variables().clear();
        if (from == From::Callback) {
            // Kept live by the looping script: the user closes the preview.
            generator.setProcessEvents([&] {
                if (layout.h.ws.scope.variables().find(QStringLiteral("n")))
                    generator.requestCancel();
            });
        } else {
            canceller = std::thread([&] {
                while (!done) {
                    generator.requestCancel();
                    QThread::msleep(5);
                }
            });
        }
        ScopedModelAccess access(&generator);
        EXPECT_TRUE(generator.generate());
        done = true;
        if (canceller.joinable())
            canceller.join();
        EXPECT_TRUE(generator.cancelled());
        EXPECT_LT(layout.h.output.storedPages(), 2);   // the second card was never made
    }
}

// Whether the process catches SIGINT yet (its handler is installed).
bool catchesInterrupt(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("SigCgt:"))
            return line.mid(7).trimmed().toULongLong(nullptr, 16) & (1ull << (SIGINT - 1));
    return false;
}

TEST(ScriptRunaway, CtrlCStopsTheCommandLineToolWithoutOutput)
{
    QTemporaryDir dir;
    const QString layoutFile = dir.filePath(QStringLiteral("loops.qr2"));
    {
        Workspace ws;
        ASSERT_TRUE(ws.designer->loadReport(QStringLiteral(CARDMINT_SOURCE_DIR "/demo/Demo1.qr2")));
        QStringList& script = ws.designer->script.lines;
        script = QStringList{QStringLiteral("[%1.BeforePrint]").arg(ws.report->name()), QStringLiteral("LOOP"),
                             QStringLiteral("ENDLOOP")} + script;
        ws.designer->scriptsEnabled = true;
        ASSERT_TRUE(ws.designer->saveToFile(layoutFile));
    }
    const QString log = dir.filePath(QStringLiteral("one.adi"));
    {
        QFile adif(log);
        ASSERT_TRUE(adif.open(QIODevice::WriteOnly));
        adif.write("<CALL:5>S51AA <QSO_DATE:8>20230527 <TIME_ON:4>1200 <BAND:3>20m <MODE:2>CW <EOR>\n");
    }
    const QString pdf = dir.filePath(QStringLiteral("cards.pdf"));
    QProcess cli;
    cli.start(QStringLiteral(CARDMINT_CLI), {"render", "--layout", layoutFile, "--log", log, "--pdf", pdf});
    ASSERT_TRUE(cli.waitForStarted());
    while (cli.state() == QProcess::Running && !catchesInterrupt(cli.processId()))
        cli.waitForFinished(20);
    ASSERT_EQ(cli.state(), QProcess::Running) << cli.readAllStandardError().toStdString();
    const CliRun r = interruptCli(cli);
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("cancelled"))) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(pdf));
}

} // namespace
} // namespace cm::test
