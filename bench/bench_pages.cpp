// Page output speed and memory: recording card pages, storing them in the
// page stream (plain and splay-compressed), coding one page, and replaying
// stored pages into a PDF. The Memory benchmarks report the resident set
// after 1 000 and 10 000 pages: the page stream spills to a temporary file,
// so it should not grow with the page count.
//
//   cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DCARDMINT_BENCH=ON
//   cmake --build build-bench --target bench_pages && ./build-bench/bench/bench_pages
#include "engine/output/pageexport.h"
#include "engine/pages/qrprinter.h"
#include "engine/pages/splay.h"

#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// One QSL card: frame, call sign, a table of contact data and a few lines.
void drawCard(cm::TQRPrinter& printer, int n)
{
    QPainter& canvas = *printer.canvas();
    const auto x = [&](int native) { return int(printer.deviceX(native)); };
    const auto y = [&](int native) { return int(printer.deviceY(native)); };
    canvas.setPen(QPen(Qt::black, 2));
    canvas.drawRect(x(50), y(50), x(1350) - x(50), y(850) - y(50));
    QFont big(QStringLiteral("Liberation Sans"));
    big.setPixelSize(48);
    big.setBold(true);
    canvas.setFont(big);
    canvas.drawText(QPoint(x(100), y(200)), QStringLiteral("DL1ABC"));
    QFont small(QStringLiteral("Liberation Sans"));
    small.setPixelSize(14);
    canvas.setFont(small);
    const QStringList fields{QStringLiteral("To Radio"), QStringLiteral("Date"), QStringLiteral("UTC"),
                             QStringLiteral("MHz"), QStringLiteral("Mode"), QStringLiteral("RST")};
    for (int i = 0; i < fields.size(); ++i) {
        canvas.drawRect(x(100 + i * 200), y(400), x(300 + i * 200) - x(100 + i * 200), y(550) - y(400));
        canvas.drawText(QPoint(x(120 + i * 200), y(450)), fields[i]);
        canvas.drawText(QPoint(x(120 + i * 200), y(520)), QStringLiteral("%1-%2").arg(n).arg(i));
    }
    canvas.drawEllipse(x(1100), y(100), x(1300) - x(1100), y(300) - y(100));
    canvas.drawText(QPoint(x(100), y(700)), QStringLiteral("Tnx fer QSO, pse QSL via bureau. 73!"));
}

void generate(cm::TQRPrinter& printer, int pages, bool compressed)
{
    cm::TQRPageSetup setup;
    setup.paperSize = cm::TQRPaperSize::Custom;
    setup.paperWidth = 1400;
    setup.paperLength = 900;
    printer.setPageSetup(setup);
    printer.setCompression(compressed);
    printer.openDocument();
    for (int n = 1; n <= pages; ++n) {
        printer.turnPage();
        drawCard(printer, n);
    }
    printer.closeDocument();
}

long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return 0;
}

void BM_RecordPages(benchmark::State& state)
{
    const bool compressed = state.range(0) != 0;
    constexpr int Pages = 200;
    for (auto _ : state) {
        cm::TQRPrinter printer;
        generate(printer, Pages, compressed);
        benchmark::DoNotOptimize(printer.storedPages());
    }
    state.SetItemsProcessed(state.iterations() * Pages);
    state.SetLabel(compressed ? "compressed" : "plain");
}
BENCHMARK(BM_RecordPages)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

QByteArray samplePage()
{
    cm::TQRPrinter printer;
    generate(printer, 1, false);
    return printer.pageList().pageData(1);
}

void BM_CompressPage(benchmark::State& state)
{
    const QByteArray page = samplePage();
    qint64 coded = 0;
    for (auto _ : state) {
        const QByteArray out = cm::splayCompress(page);
        coded = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * page.size());
    state.counters["ratio"] = double(coded) / page.size();
}
BENCHMARK(BM_CompressPage);

void BM_DecompressPage(benchmark::State& state)
{
    const QByteArray page = samplePage();
    const QByteArray coded = cm::splayCompress(page);
    QByteArray out;
    for (auto _ : state) {
        cm::splayDecompress(coded, page.size(), out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * page.size());
}
BENCHMARK(BM_DecompressPage);

void BM_ExportPdf(benchmark::State& state)
{
    const int pages = int(state.range(0));
    cm::TQRPrinter printer;
    generate(printer, pages, true);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("cards.pdf"));
    for (auto _ : state)
        benchmark::DoNotOptimize(cm::exportPdf(printer, file));
    state.SetItemsProcessed(state.iterations() * pages);
}
BENCHMARK(BM_ExportPdf)->Arg(200)->Unit(benchmark::kMillisecond);

// Resident memory growth while 1 000 or 10 000 pages are held and exported.
void BM_Memory(benchmark::State& state)
{
    const int pages = int(state.range(0));
    const bool compressed = state.range(1) != 0;
    for (auto _ : state) {
        const long before = residentKb();
        cm::TQRPrinter printer;
        generate(printer, pages, compressed);
        const long recorded = residentKb();
        QTemporaryDir dir;
        cm::exportPdf(printer, dir.filePath(QStringLiteral("cards.pdf")));
        const long exported = residentKb();
        state.counters["rss_growth_after_recording_MB"] = (recorded - before) / 1024.0;
        state.counters["rss_growth_after_pdf_MB"] = (exported - before) / 1024.0;
        state.counters["stream_spilled"] = printer.pageList().isSpilled() ? 1 : 0;
    }
    state.SetLabel(compressed ? "compressed" : "plain");
}
BENCHMARK(BM_Memory)->Args({1000, 0})->Args({10000, 0})->Args({10000, 1})->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
