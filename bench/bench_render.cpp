// Card generation speed: 10 000 one-card pages from a generated logbook
// (the demo card plus an expression, a framed field and a picture) into a
// report file (QRP) and into a PDF. Reports cards per second and the growth
// of resident memory, which should not follow the number of cards.
//
//   cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DCARDMINT_BENCH=ON
//   cmake --build build-bench --target bench_render && ./build-bench/bench/bench_render
#include "engine/generate/generator.h"
#include "engine/generate/modelaccess.h"
#include "engine/output/pageexport.h"
#include "engine/output/pagewriters.h"
#include "engine/output/printerpagewriter.h"
#include "engine/pages/qrprinter.h"
#include "layout/demolayouts.h"
#include "layout/workspace.h"
#include "logbook/demolog.h"
#include "logbook/logsource.h"
#ifdef CARDMINT_HAVE_PRINT
#include "engine/print/qtprintdevice.h"
#endif

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <functional>
#include <optional>

namespace {

constexpr int Cards = 10000;

long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

// The generated log, written once for all benchmarks.
const QString& logPath()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString p = dir.filePath(QStringLiteral("Bench.db"));
        QString error;
        if (!cm::writeDemoLogbook(p, Cards, 7, &error))
            qFatal("cannot write the bench log: %s", qPrintable(error));
        return p;
    }();
    return path;
}

// What picture the card has: none, a small logo, or a photo behind the card
// the way many QSL cards are made.
enum Picture { NoPicture, Logo, Photo };

QImage photo()
{
    QImage image(640, 410, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = qRgb((x * 7 + y) & 0xFF, (x ^ y) & 0xFF, (x * y / 37) & 0xFF);
    }
    return image;
}

// The demo card with an expression, a framed field and a picture added.
void buildCard(cm::Workspace& ws, Picture picture)
{
    cm::buildDemoCard(ws);
    cm::TQRCustomBand* detail = ws.report->firstBandOfType(cm::TQRBandType::rbDetail);
    auto* expr = new cm::TQRDesignExpr(&ws.window);
    expr->setName(QStringLiteral("BenchExpr"));
    expr->setParentControl(detail);
    expr->size.values = {50, 900, 720, 400};
    expr->setExpression(QStringLiteral("'QSO #' + STR(Log)"));
    auto* framed = new cm::TQRDesignDBText(&ws.window);
    framed->setName(QStringLiteral("BenchFramed"));
    framed->setParentControl(detail);
    framed->size.values = {60, 900, 640, 400};
    framed->dataSet = ws.table;
    framed->setDataField(QStringLiteral("QTH"));
    framed->autoSize = false;
    framed->frame.drawTop = framed->frame.drawBottom = framed->frame.drawLeft = framed->frame.drawRight = true;
    if (picture == NoPicture)
        return;
    auto* image = new cm::TQRDesignImage(&ws.window);
    image->setName(QStringLiteral("BenchPicture"));
    image->setParentControl(detail);
    image->stretch = true;
    if (picture == Photo) {
        image->size.values = {900, 0, 0, 1400};
        image->picture.loadFromImage(photo());
        return;
    }
    image->size.values = {150, 1150, 80, 150};
    QImage logo(48, 48, QImage::Format_RGB32);
    logo.fill(Qt::white);
    QPainter p(&logo);
    p.setBrush(Qt::darkBlue);
    p.drawEllipse(4, 4, 40, 40);
    p.end();
    image->picture.loadFromImage(logo);
}

void attachLog(cm::Workspace& ws)
{
    QString error;
    auto log = cm::openLogSource(logPath(), &error);
    if (!log)
        qFatal("cannot open the bench log: %s", qPrintable(error));
    ws.table->setSource(std::move(log));
}

int generate(cm::Workspace& ws, cm::TQRPrinter& pages)
{
    cm::ReportGenerator generator(*ws.report, pages);
    cm::ScopedModelAccess access(&generator);
    generator.generate();
    return pages.storedPages();
}

// Runs `run` (one run over the workspace's cards, returning the cards
// written) for each iteration and reports the rate and the memory growth.
void measureRuns(benchmark::State& state, const std::function<int(cm::Workspace&, const QTemporaryDir&)>& run)
{
    logPath();
    cm::Workspace ws;
    buildCard(ws, Picture(state.range(0)));
    attachLog(ws);
    QTemporaryDir dir;
    const long before = residentKb();
    int pages = 0;
    for (auto _ : state)
        pages = run(ws, dir);
    state.counters["cards"] = pages;
    state.counters["cards_per_s"] = benchmark::Counter(double(pages) * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["rss_growth_MB"] = (residentKb() - before) / 1024.0;
}

// Generates the cards, stored, and then writes them with `write`, which
// returns the number of cards written.
void renderCards(benchmark::State& state, const std::function<int(cm::TQRPrinter&, const QTemporaryDir&)>& write)
{
    measureRuns(state, [&](cm::Workspace& ws, const QTemporaryDir& dir) {
        cm::TQRPrinter output;
        generate(ws, output);
        return write(output, dir);
    });
}

void BM_RenderToQrp(benchmark::State& state)
{
    renderCards(state, [](cm::TQRPrinter& output, const QTemporaryDir& dir) {
        output.writeReportFile(dir.filePath(QStringLiteral("cards.qrp")));
        return output.storedPages();
    });
}
BENCHMARK(BM_RenderToQrp)->ArgName("picture")->Arg(Logo)->Arg(NoPicture)->Arg(Photo)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

void BM_RenderToPdf(benchmark::State& state)
{
    renderCards(state, [](cm::TQRPrinter& output, const QTemporaryDir& dir) {
        return cm::exportPdf(output, dir.filePath(QStringLiteral("cards.pdf")));
    });
}
BENCHMARK(BM_RenderToPdf)->ArgName("picture")->Arg(Logo)->Arg(NoPicture)->Arg(Photo)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// The two stages of the command-line tool: generation hands each page to
// the output stage on a second thread.
void renderPipelined(benchmark::State& state, bool reportFile)
{
    measureRuns(state, [&](cm::Workspace& ws, const QTemporaryDir& dir) {
        cm::TQRPrinter output;
        cm::PageHandOver handOver(reportFile);
        output.setPageHandOver(&handOver);
        std::unique_ptr<cm::PageWriter> writer;
        if (reportFile)
            writer = std::make_unique<cm::ReportFileWriter>(dir.filePath(QStringLiteral("cards.qrp")));
        else
            writer = std::make_unique<cm::PdfPageWriter>(dir.filePath(QStringLiteral("cards.pdf")), cm::PageCalibration());
        cm::PageOutputStage stage(handOver, std::move(writer));
        generate(ws, output);
        return stage.finish();
    });
}

void BM_PipelineToQrp(benchmark::State& state) { renderPipelined(state, true); }
BENCHMARK(BM_PipelineToQrp)->ArgName("picture")->Arg(Logo)->Arg(NoPicture)->Arg(Photo)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

void BM_PipelineToPdf(benchmark::State& state) { renderPipelined(state, false); }
BENCHMARK(BM_PipelineToPdf)->ArgName("picture")->Arg(Logo)->Arg(NoPicture)->Arg(Photo)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

#ifdef CARDMINT_HAVE_PRINT
// Printing, with a PDF file as the printer: straight from generation on one
// thread, and through the hand-over with the printer painted on a second.
void printCards(benchmark::State& state, bool staged)
{
    measureRuns(state, [&](cm::Workspace& ws, const QTemporaryDir& dir) {
        cm::TQRPrinter output(std::make_unique<cm::TQRQtPrintDevice>(cm::TQRQtPrintDevice::PrintToFile{},
                                                                     dir.filePath(QStringLiteral("printed.pdf"))));
        output.setDestination(cm::TQRDestination::Printer);
        std::optional<cm::PrintStages> stages;
        if (staged)
            stages.emplace(output);
        generate(ws, output);
        return stages ? stages->finish() : output.pageCount();
    });
}

void BM_PrintDirect(benchmark::State& state) { printCards(state, false); }
BENCHMARK(BM_PrintDirect)->ArgName("picture")->Arg(Logo)->Arg(NoPicture)->Arg(Photo)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

void BM_PrintStaged(benchmark::State& state) { printCards(state, true); }
BENCHMARK(BM_PrintStaged)->ArgName("picture")->Arg(Logo)->Arg(NoPicture)->Arg(Photo)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
#endif

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    {
        // The font setup of the process is not part of any run.
        QImage scratch(64, 64, QImage::Format_RGB32);
        QPainter p(&scratch);
        for (const char* family : {"Arial", "Liberation Sans", "MS Sans Serif", "Times New Roman"}) {
            p.setFont(QFont(QString::fromLatin1(family), 10));
            p.drawText(QPointF(0, 20), QStringLiteral("DL1ABC 599"));
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
