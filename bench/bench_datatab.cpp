// The Data tab over a large logbook: showing 100 000 QSOs, and scrolling
// through them a screenful at a time (each step painted).
#include "app/datatab.h"
#include "app/logtablemodel.h"
#include "designer/scriptedboxes.h"
#include "logbook/demolog.h"
#include "logbook/logtable.h"

#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int kQsos = 100000;

const QString& logbook()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString p = dir.filePath(QStringLiteral("Big.db"));
        cm::writeDemoLogbook(p, kQsos, 1, nullptr);
        return p;
    }();
    return path;
}

// Open the logbook and show it in a Data tab, painted once.
void BM_ShowLogbook(benchmark::State& state)
{
    const QString path = logbook();
    for (auto _ : state) {
        cm::ScriptedMessageBoxes boxes;
        cm::LogTable table;
        table.setTableName(path);
        table.open();
        cm::DataTab tab(boxes);
        tab.resize(1000, 700);
        tab.setTable(&table);
        tab.show();
        QImage screen(tab.grid().viewport()->size(), QImage::Format_ARGB32_Premultiplied);
        tab.grid().viewport()->render(&screen);
        benchmark::DoNotOptimize(tab.model().rowCount());
    }
}

// One screenful further down per step, painted, spread over the whole logbook.
void BM_ScrollPage(benchmark::State& state)
{
    cm::ScriptedMessageBoxes boxes;
    cm::LogTable table;
    table.setTableName(logbook());
    table.open();
    cm::DataTab tab(boxes);
    tab.resize(1000, 700);
    tab.setTable(&table);
    tab.show();
    QTableView& grid = tab.grid();
    const int rows = tab.model().rowCount();
    const int perPage = std::max(1, grid.viewport()->height() / std::max(1, grid.rowHeight(0)));
    QImage screen(grid.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    int row = 0;
    for (auto _ : state) {
        row = (row + 97 * perPage) % rows;   // jumps as a dragged scroll bar would
        grid.scrollTo(tab.model().index(row, 0), QAbstractItemView::PositionAtTop);
        grid.viewport()->render(&screen);
    }
}

} // namespace

BENCHMARK(BM_ShowLogbook)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ScrollPage)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
