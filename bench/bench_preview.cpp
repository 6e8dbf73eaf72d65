// Preview speed on the demo cards (300 QSOs): the time from the Preview
// command until the first card is painted, and paging through 1000 pages
// with each page painted. Targets: under 150 ms, at least 30 pages a second.
//
//   cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DCARDMINT_BENCH=ON
//   cmake --build build-bench --target bench_preview && QT_QPA_PLATFORM=offscreen ./build-bench/bench/bench_preview
#include "app/apppaths.h"
#include "app/mainwindow.h"
#include "app/previewcontrol.h"
#include "app/previewwindow.h"
#include "designer/scriptedboxes.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

using namespace cm;

int main(int argc, char** argv)
{
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toUtf8());
    QApplication app(argc, argv);
    ScriptedMessageBoxes boxes;
    MainWindow window(boxes, AppPaths::standard());
    window.startUp();
    window.show();
    QCoreApplication::processEvents();

    // First card on screen: measured when the page area has painted it.
    constexpr int Rounds = 5;
    double best = 1e9;
    for (int round = 0; round < Rounds; ++round) {
        QElapsedTimer clock;
        bool painted = false;
        QMetaObject::Connection hook;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            PreviewWindow* preview = window.previewWindow();
            if (!preview || hook)
                return;
            hook = QObject::connect(&preview->control(), &PreviewControl::pageAvailable, [&, preview](int count) {
                if (count != 1 || painted)
                    return;
                preview->control().widget()->repaint();
                painted = true;
                best = std::min(best, clock.nsecsElapsed() / 1e6);
                preview->close();   // the rest of the run is not part of the figure
            });
        });
        watch.start(0);
        clock.start();
        window.preview();
        watch.stop();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    std::printf("first card on screen: %.1f ms (best of %d)\n", best, Rounds);

    window.preview();
    PreviewWindow* preview = window.previewWindow();
    if (!preview)
        return 1;
    const int pages = preview->pages().pageCount();
    constexpr int Paged = 1000;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < Paged; ++i) {
        if (preview->control().pageNumber() == pages)
            preview->firstPage();
        else
            preview->nextPage();
        preview->control().widget()->repaint();
    }
    const double seconds = clock.nsecsElapsed() / 1e9;
    std::printf("paging: %d pages in %.2f s, %.0f pages per second (page %dx%d)\n", Paged, seconds, Paged / seconds,
                preview->control().widget()->width(), preview->control().widget()->height());
    preview->close();
    return 0;
}
