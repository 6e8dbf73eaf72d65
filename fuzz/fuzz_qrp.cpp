// Fuzzes the report-file reader (header, page records, page bodies, page
// pictures) and the splay decoder with arbitrary bytes.
//
//   ASAN_OPTIONS=allocator_may_return_null=1 build-fuzz/fuzz/fuzz_qrp -detect_leaks=0 \
//       -malloc_limit_mb=65536 -rss_limit_mb=4096 -max_total_time=180 CORPUS
//
// Qt's picture reader reserves list space from counts it reads (a pen's
// dash list, for one) before reading the items; that address space is never
// touched, so the malloc limit is raised rather than reported. fontconfig's
// caches stay alive at exit, hence no leak check.
#include "engine/pages/pageplayer.h"
#include "engine/pages/pagereplay.h"
#include "engine/qrerror.h"
#include "engine/pages/qrprinter.h"
#include "engine/pages/splay.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QtEndian>
#include <cstdint>
#include <memory>

namespace {

QString scratchFile;

// Pages from files are drawn through the player, as export, printing and
// the preview draw them.
void replay(QByteArrayView page)
{
    QImage image(40, 56, QImage::Format_RGB32);
    QPainter painter(&image);
    cm::PagePlayer player;
    player.drawPage(painter, page, QRectF(0, 0, 40, 56));
}

void readReport(const uint8_t* data, size_t size)
{
    {
        QFile file(scratchFile);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return;
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    cm::TQRPrinter report;
    try {
        report.readReportFile(scratchFile);
    } catch (const cm::EQRError&) {
        return;
    }
    for (int n = 1; n <= std::min(report.pageCount(), 4); ++n) {
        QImage image(40, 56, QImage::Format_RGB32);
        QPainter painter(&image);
        cm::PagePlayer player;
        try {
            report.playPage(n, painter, QRectF(0, 0, 40, 56), player);
        } catch (const cm::EQRError&) {
        }
    }
}

// A hostile file can carry a page picture with a correct checksum; give
// the picture player such bodies directly.
void replayPicture(const uint8_t* data, size_t size)
{
    if (size < 10)
        return;
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    bytes.replace(0, 4, "QPIC");
    qToBigEndian<quint16>(qChecksum(QByteArrayView(bytes).sliced(6)), bytes.data() + 4);
    replay(bytes);
}

void decodeSplay(const uint8_t* data, size_t size)
{
    if (size < 4)
        return;
    const qint64 length = qFromLittleEndian<quint32>(data);
    QByteArray plain;
    const QByteArrayView coded(reinterpret_cast<const char*>(data + 4), qsizetype(size - 4));
    // Decoding follows the coder's own tree, so coding the result again
    // gives back the bits that were read: never more than the input.
    if (cm::splayDecompress(coded, length, plain) && cm::splayCompress(plain).size() > coded.size())
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: libFuzzer leaves through exit(), after Qt's own
    // globals are gone, and destroying the application then crashes.
    static int appArgc = 1;
    static_cast<void>(argc);
    std::make_unique<QGuiApplication>(appArgc, *argv).release();
    scratchFile = QDir::temp().filePath(QStringLiteral("fuzz_qrp_%1.QRP").arg(QCoreApplication::applicationPid()));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the target, so one corpus serves all three.
    switch (data[0] % 3) {
    case 0: readReport(data + 1, size - 1); break;
    case 1: decodeSplay(data + 1, size - 1); break;
    default: replayPicture(data + 1, size - 1); break;
    }
    return 0;
}
