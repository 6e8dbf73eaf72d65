#include "engine/pages/pagereplay.h"
#include "engine/qrerror.h"
#include "engine/pages/qrprinter.h"
#include "engine/pages/reportfile.h"
#include "pagefixture.h"
#include "testfiles.h"

#include <QDateTime>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

namespace cm {
namespace {

using test::generatePages;

using test::readFile;
using test::writeFile;

qint32 int32At(const QByteArray& bytes, int at) { return qFromLittleEndian<qint32>(bytes.constData() + at); }

QImage render(const QPicture& page)
{
    QImage image(200, 283, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    drawPage(painter, page, QRectF(0, 0, 200, 283));
    return image;
}

class ReportFileTest : public ::testing::Test {
protected:
    QString path(const char* name) const { return m_dir.filePath(QLatin1String(name)); }

    // A saved report of `pages` pages.
    QString saveReport(const char* name, int pages, bool compressed, const TQRPageSetup& setup = {})
    {
        TQRPrinter printer;
        printer.setCompression(compressed);
        printer.setPageSetup(setup);
        generatePages(printer, pages);
        const QString file = path(name);
        printer.writeReportFile(file);
        return file;
    }

    QTemporaryDir m_dir;
};

TEST_F(ReportFileTest, HeaderRecordsPageCountCompressionAndDate)
{
    for (const bool compressed : {false, true}) {
        SCOPED_TRACE(compressed);
        const QByteArray bytes = readFile(saveReport("three.QRP", 3, compressed));
        ASSERT_GT(bytes.size(), qrp::HeaderSize);
        EXPECT_EQ(qFromLittleEndian<quint16>(bytes.constData()), 3);
        EXPECT_EQ(qFromLittleEndian<quint16>(bytes.constData() + 2), 307);
        EXPECT_EQ(int32At(bytes, 8), 3);
        EXPECT_EQ(bytes[25], compressed ? 1 : 0);
        const double stamp = qFromLittleEndian<double>(bytes.constData() + 16);
        EXPECT_NEAR(stamp, qrp::toDayNumber(QDateTime::currentDateTime()), 0.01);

        // First record: number 1, offset of the next record, own offset last.
        EXPECT_EQ(int32At(bytes, 128), 1);
        const qint32 next = int32At(bytes, 132);
        EXPECT_EQ(int32At(bytes, next - 4), 128);
        EXPECT_EQ(int32At(bytes, next), 2);
    }
}

TEST_F(ReportFileTest, DayNumbersCountFromTheEndOf1899)
{
    EXPECT_DOUBLE_EQ(qrp::toDayNumber(QDateTime(QDate(1899, 12, 30), QTime(0, 0))), 0.0);
    EXPECT_DOUBLE_EQ(qrp::toDayNumber(QDateTime(QDate(2000, 1, 1), QTime(18, 0))), 36526.75);
}

TEST_F(ReportFileTest, SavedPagesLoadAgain)
{
    for (const bool compressed : {false, true}) {
        SCOPED_TRACE(compressed);
        TQRPrinter original;
        original.setCompression(compressed);
        generatePages(original, 3);
        const QString file = path("again.QRP");
        original.writeReportFile(file);

        TQRPrinter loaded;
        loaded.readReportFile(file);
        EXPECT_EQ(loaded.state(), TQRPrinterState::Finished);
        EXPECT_TRUE(loaded.loadedFromFile());
        EXPECT_EQ(loaded.pageCount(), 3);
        EXPECT_EQ(loaded.compression(), compressed);
        for (int n = 1; n <= 3; ++n)
            EXPECT_EQ(loaded.pageList().pageData(n), original.pageList().pageData(n)) << n;
        EXPECT_FALSE(loaded.pageAt(4).has_value());
    }
}

TEST_F(ReportFileTest, CompressedAndPlainFilesShowTheSamePages)
{
    TQRPrinter plain;
    TQRPrinter packed;
    plain.readReportFile(saveReport("plain.QRP", 3, false));
    packed.readReportFile(saveReport("packed.QRP", 3, true));
    EXPECT_LT(QFile(path("packed.QRP")).size(), QFile(path("plain.QRP")).size());
    for (int n = 1; n <= 3; ++n) {
        const QImage image = render(packed.loadPage(n));
        EXPECT_EQ(image, render(plain.loadPage(n))) << n;
        if (n > 1) {
            EXPECT_NE(image, render(packed.loadPage(n - 1)));   // the pages do differ
        }
    }
}

// Rewrites a report file in the older layout: a 124-byte header with the
// date at 12 and the compression flag at 21.
QByteArray toOldLayout(const QByteArray& file)
{
    const qint32 count = int32At(file, 8);
    const bool compressed = file[25] != 0;
    QByteArray old(qrp::OldHeaderSize, '\0');
    old.replace(0, 4, file.left(4));
    old.replace(8, 4, file.mid(8, 4));
    old.replace(12, 8, file.mid(16, 8));
    old[21] = compressed ? 1 : 0;
    qint64 pos = qrp::HeaderSize;
    for (qint32 n = 1; n <= count; ++n) {
        const qint32 next = int32At(file, int(pos) + 4);
        const QByteArray body = file.mid(pos + 8, next - pos - qrp::RecordOverhead);
        old += qrp::makeRecord(n, old.size(), body);
        pos = next;
    }
    return old;
}

TEST_F(ReportFileTest, ReadsTheOlderHeaderLayout)
{
    for (const bool compressed : {false, true}) {
        SCOPED_TRACE(compressed);
        const QString current = saveReport("current.QRP", 2, compressed);
        const QString older = path("older.QRP");
        writeFile(older, toOldLayout(readFile(current)));

        TQRPrinter a;
        TQRPrinter b;
        a.readReportFile(current);
        b.readReportFile(older);
        EXPECT_EQ(a.pageList().headerSize(), qrp::HeaderSize);
        EXPECT_EQ(b.pageList().headerSize(), qrp::OldHeaderSize);
        EXPECT_EQ(b.pageCount(), 2);
        EXPECT_EQ(b.compression(), compressed);
        for (int n = 1; n <= 2; ++n)
            EXPECT_EQ(b.pageList().pageData(n), a.pageList().pageData(n));
    }
}

struct PaperCase {
    TQRPaperSize paper;
    TQROrientation orientation;
};

TEST_F(ReportFileTest, LoadedFilesSelectThePaperOfTheirFirstPage)
{
    const PaperCase cases[] = {
        {TQRPaperSize::A4, TQROrientation::poPortrait},
        {TQRPaperSize::A4, TQROrientation::poLandscape},
        {TQRPaperSize::Letter, TQROrientation::poPortrait},
        {TQRPaperSize::A5, TQROrientation::poPortrait},
        {TQRPaperSize::A5, TQROrientation::poLandscape},
        {TQRPaperSize::Env10, TQROrientation::poLandscape},
        {TQRPaperSize::Legal, TQROrientation::poPortrait},
    };
    for (const PaperCase& c : cases) {
        SCOPED_TRACE(paperSizeIdent(c.paper).toStdString() + (c.orientation == TQROrientation::poLandscape ? " landscape" : ""));
        TQRPageSetup setup;
        setup.paperSize = c.paper;
        setup.orientation = c.orientation;
        TQRPrinter loaded;
        loaded.readReportFile(saveReport("paper.QRP", 1, false, setup));
        EXPECT_EQ(loaded.pageSetup().paperSize, c.paper);
        EXPECT_EQ(loaded.pageSetup().orientation, c.orientation);
    }
}

TEST_F(ReportFileTest, OddPagesKeepTheirOwnSize)
{
    TQRPageSetup setup;
    setup.paperSize = TQRPaperSize::Custom;
    setup.paperWidth = 1400;   // a 140 × 90 mm card
    setup.paperLength = 900;
    TQRPrinter loaded;
    loaded.readReportFile(saveReport("card.QRP", 1, true, setup));
    EXPECT_EQ(loaded.pageSetup().paperSize, TQRPaperSize::Custom);
    EXPECT_NEAR(double(loaded.sheetWidth()), 1400, 2);
    EXPECT_NEAR(double(loaded.sheetLength()), 900, 2);
}

TEST_F(ReportFileTest, AnEmptyRunSavesAValidFile)
{
    TQRPrinter printer;
    generatePages(printer, 0);
    printer.writeReportFile(path("empty.QRP"));
    TQRPrinter loaded;
    loaded.readReportFile(path("empty.QRP"));
    EXPECT_EQ(loaded.pageCount(), 0);
}

TEST_F(ReportFileTest, SavingOverTheLoadedFileKeepsItIntact)
{
    const QString file = saveReport("self.QRP", 3, true);
    const QByteArray before = readFile(file);
    TQRPrinter loaded;
    loaded.readReportFile(file);
    loaded.writeReportFile(file);
    EXPECT_EQ(readFile(file), before);
    EXPECT_TRUE(loaded.pageAt(3).has_value());
}

// Damages a two-page file and expects a clear error naming the fault.
struct DamageCase {
    const char* name;
    bool compressed;
    std::function<void(QByteArray&)> damage;
    const char* message;
};

void put32(QByteArray& bytes, int at, qint32 value) { qToLittleEndian<qint32>(value, bytes.data() + at); }

// Changes a byte of the first page's picture (uncompressed file) and makes
// its checksum right again, as a forger would.
void forgePicture(QByteArray& bytes, int offset, char value)
{
    constexpr int Picture = 136;
    const int end = int32At(bytes, 132) - 4;
    bytes[Picture + offset] = value;
    const QByteArrayView picture(bytes.constData() + Picture, end - Picture);
    qToBigEndian<quint16>(qChecksum(picture.sliced(6)), bytes.data() + Picture + 4);
}

TEST_F(ReportFileTest, DamagedFilesGiveClearErrors)
{
    const DamageCase cases[] = {
        {"empty", false, [](QByteArray& b) { b.clear(); }, "shorter than a report file header"},
        {"half a header", false, [](QByteArray& b) { b.truncate(100); }, "shorter than a report file header"},
        {"foreign file", false, [](QByteArray& b) { b[0] = 'P'; b[1] = 'K'; }, "header signature is missing"},
        {"negative count", false, [](QByteArray& b) { put32(b, 8, -1); }, "negative page count"},
        {"huge count", true, [](QByteArray& b) { put32(b, 8, 0x7fffffff); }, "announces 2147483647 pages"},
        {"count above records", false, [](QByteArray& b) { put32(b, 8, 3); }, "page 3 is cut short"},
        {"cut in page 2", true, [](QByteArray& b) { b.chop(20); }, "page 2"},
        {"wrong page number", false, [](QByteArray& b) { put32(b, int32At(b, 132), 7); }, "carries the number 7"},
        {"next offset beyond the end", false, [](QByteArray& b) { put32(b, 132, b.size() + 1); }, "impossible length"},
        {"next offset backwards", false, [](QByteArray& b) { put32(b, 132, 4); }, "impossible length"},
        {"own offset wrong", false, [](QByteArray& b) { put32(b, int32At(b, 132) - 4, 77); }, "does not end where it says"},
        {"not a page picture", false, [](QByteArray& b) { b[136] = 'X'; }, "not a page picture"},
        {"picture checksum", false, [](QByteArray& b) { b[int32At(b, 132) - 10] ^= 0x55; }, "not a valid page picture"},
        {"forged record count", false, [](QByteArray& b) { forgePicture(b, 28, 0x7f); }, "not a valid page picture"},
        {"forged record code", false, [](QByteArray& b) { forgePicture(b, 32, char(200)); }, "not a valid page picture"},
        {"compressed length too large", true, [](QByteArray& b) { put32(b, 136, 0x7fffffff); }, "does not decode"},
        {"compressed code garbled", true, [](QByteArray& b) { for (int i = 150; i < 170; ++i) b[i] = char(i); }, "page 1"},
    };
    for (const DamageCase& c : cases) {
        SCOPED_TRACE(c.name);
        QByteArray bytes = readFile(saveReport("good.QRP", 2, c.compressed));
        c.damage(bytes);
        writeFile(path("bad.QRP"), bytes);
        TQRPrinter printer;
        try {
            printer.readReportFile(path("bad.QRP"));
            ADD_FAILURE() << "no error";
        } catch (const EQRError& error) {
            EXPECT_TRUE(error.message().contains(QLatin1String(c.message))) << error.message().toStdString();
        }
        EXPECT_EQ(printer.state(), TQRPrinterState::Ready);
        EXPECT_EQ(printer.pageCount(), 0);
        EXPECT_FALSE(printer.pageAt(1).has_value());
    }
}

TEST_F(ReportFileTest, ADamagedLaterPageFailsOnlyWhenShown)
{
    QByteArray bytes = readFile(saveReport("good.QRP", 2, true));
    const qint32 second = int32At(bytes, 132);
    put32(bytes, second + 8, 0x7fffffff);   // page 2's decoded length
    writeFile(path("late.QRP"), bytes);
    TQRPrinter printer;
    printer.readReportFile(path("late.QRP"));
    EXPECT_TRUE(printer.pageAt(1).has_value());
    EXPECT_FALSE(printer.pageAt(2).has_value());
    EXPECT_THROW(printer.loadPage(2), EQRError);
}

TEST_F(ReportFileTest, HostilePictureWithValidChecksumDoesNotCrash)
{
    // A dashed pen stores its dash count; a forged count with a recomputed
    // picture checksum must neither crash nor claim real memory: the page is
    // refused as damaged before the picture reads it.
    TQRPrinter printer;
    printer.openDocument();
    printer.turnPage();
    QPen pen(Qt::black);
    pen.setDashPattern({1.5, 2.5, 3.5, 4.5});
    printer.canvas()->setPen(pen);
    printer.canvas()->drawLine(0, 0, 50, 50);
    printer.closeDocument();
    printer.writeReportFile(path("dash.QRP"));

    QByteArray bytes = readFile(path("dash.QRP"));
    const qsizetype count = bytes.indexOf(QByteArray::fromHex("000000043FF8000000000000"));
    ASSERT_GT(count, 0);
    qToBigEndian<quint32>(0xffffffffu, bytes.data() + count);
    const qint32 next = int32At(bytes, 132);
    const QByteArrayView picture(bytes.constData() + 136, next - 4 - 136);
    qToBigEndian<quint16>(qChecksum(picture.sliced(6)), bytes.data() + 136 + 4);
    writeFile(path("forged.QRP"), bytes);

    TQRPrinter loaded;
    EXPECT_THROW(loaded.readReportFile(path("forged.QRP")), EQRError);   // its first page gives the paper
    EXPECT_EQ(loaded.state(), TQRPrinterState::Ready);
}

TEST_F(ReportFileTest, MissingFileIsAnError)
{
    TQRPrinter printer;
    EXPECT_THROW(printer.readReportFile(path("missing.QRP")), EQRError);
    EXPECT_EQ(printer.state(), TQRPrinterState::Ready);
}

} // namespace
} // namespace cm
