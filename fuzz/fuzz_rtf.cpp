// Fuzzes the RTF reader with arbitrary bytes, then writes what it read and
// reads that back, and lays the document out, so the writer and the layout
// see every shape of document the reader can produce.
//
//   ASAN_OPTIONS=detect_leaks=0 build-fuzz-richtext/fuzz/fuzz_rtf -max_total_time=180 CORPUS
//
// fontconfig's caches stay alive at exit, hence no leak check.
#include "engine/paint/richtextlayout.h"
#include "engine/paint/rtfreader.h"
#include "engine/paint/rtfwriter.h"

#include <QGuiApplication>
#include <QTextDocument>
#include <cstdint>
#include <cstdlib>
#include <memory>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The application lives until exit on purpose: destroying it after the
    // fuzzer's globals are gone crashes.
    static int appArgc = 1;
    static_cast<void>(argc);
    std::make_unique<QGuiApplication>(appArgc, *argv).release();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    // Most inputs should reach the parser, so a missing header is supplied.
    const QByteArray rtf = cm::looksLikeRtf(bytes) ? bytes.toByteArray() : "{\\rtf1 " + bytes.toByteArray();
    QTextDocument document;
    if (!cm::readRtf(rtf, document))
        return 0;
    const cm::RichTextLayout layout(document, 96);
    int next = 0;
    for (int pages = 0; next < layout.length() && pages < 50; ++pages) {
        const int after = layout.format(nullptr, QRectF(0, 0, 300, 200), next);
        if (after < next || after > layout.length())
            std::abort();
        if (after == next)
            break;   // a line taller than the rectangle
        next = after;
    }
    QTextDocument back;
    if (!cm::readRtf(cm::writeRtf(document), back))
        std::abort();   // what the writer writes must read back
    if (back.toRawText() != document.toRawText() && document.blockCount() == back.blockCount())
        std::abort();
    return 0;
}
