// Loads arbitrary bytes as a layout file: the reader must fail cleanly,
// never crash, hang or allocate without bound. Start with the shipped
// layouts as corpus: fuzz_layout -max_total_time=300 corpus demo/
#include "layout/workspace.h"

#include <QGuiApplication>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_layout";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QGuiApplication(argc, argv);
    }();
    (void)app;
    static cm::Workspace* ws = new cm::Workspace;
    cm::CollectingMessageSink sink;
    ws->designer->messageSink = &sink;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (ws->designer->loadFromData(bytes)) {
        // What loaded must write and load again.
        const QByteArray again = ws->designer->writeLayout(true);
        if (!ws->designer->loadFromData(again))
            __builtin_trap();
    }
    ws->designer->messageSink = nullptr;
    return 0;
}
