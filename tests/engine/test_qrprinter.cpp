#include "engine/qrerror.h"
#include "engine/pages/qrprinter.h"
#include "pagefixture.h"

#include <QFileInfo>
#include <atomic>
#include <thread>
#include <gtest/gtest.h>

namespace cm {
namespace {

using test::FakePrintDevice;
using test::FakePrintLog;
using test::generatePages;

QString errorOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const EQRError& error) {
        return error.message();
    }
    return QStringLiteral("(no error)");
}

TEST(QRPrinter, RefusesCallsOutOfState)
{
    TQRPrinter printer;
    EXPECT_EQ(errorOf([&] { printer.turnPage(); }), QStringLiteral("Illegal call to NewPage"));
    printer.openDocument();
    EXPECT_EQ(printer.state(), TQRPrinterState::Busy);
    EXPECT_EQ(errorOf([&] { printer.openDocument(); }), QStringLiteral("QRPrinter not ready"));
    EXPECT_EQ(errorOf([&] { printer.writeReportFile(QStringLiteral("/nonexistent/x.QRP")); }),
              QStringLiteral("QRPrinter not ready"));
    printer.turnPage();
    printer.closeDocument();
    EXPECT_EQ(printer.state(), TQRPrinterState::Finished);
    EXPECT_EQ(errorOf([&] { printer.turnPage(); }), QStringLiteral("Illegal call to NewPage"));
    EXPECT_EQ(errorOf([&] { printer.openDocument(); }), QStringLiteral("QRPrinter not ready"));
    printer.cleanup();
    EXPECT_EQ(printer.state(), TQRPrinterState::Ready);
    EXPECT_EQ(printer.storedPages(), 0);
    EXPECT_NO_THROW(printer.openDocument());
}

TEST(QRPrinter, PrinterDestinationNeedsAPrinter)
{
    TQRPrinter printer;   // no print device: no printer installed
    EXPECT_FALSE(printer.printerAvailable());
    printer.setDestination(TQRDestination::Printer);
    EXPECT_EQ(errorOf([&] { printer.openDocument(); }), QStringLiteral("No printer installed"));
    EXPECT_EQ(printer.state(), TQRPrinterState::Ready);
}

TEST(QRPrinter, ConvertsNativeUnitsWithHalvesToEven)
{
    // 127 dpi makes half a dot per native unit, so odd values land on halves.
    auto log = std::make_shared<FakePrintLog>();
    TQRPrinter printer(std::make_unique<FakePrintDevice>(log, 127, QPointF(2, 4)));
    printer.setDestination(TQRDestination::Printer);
    printer.openDocument();
    struct Case {
        Extended native;
        int64_t x, y, width;
    };
    const Case cases[] = {
        {1, 0, -2, 0},     // x: rnd(-0.5) = 0; y: rnd(-1.5) = -2; w: rnd(0.5) = 0
        {3, 0, 0, 2},      // rnd(0.5), rnd(-0.5), rnd(1.5)
        {5, 2, 0, 2},      // rnd(1.5), rnd(0.5), rnd(2.5)
        {7, 2, 2, 4},      // rnd(2.5), rnd(1.5), rnd(3.5)
        {2100, 1049, 1048, 1050},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(double(c.native));
        EXPECT_EQ(printer.deviceX(c.native), c.x);
        EXPECT_EQ(printer.deviceY(c.native), c.y);
        EXPECT_EQ(printer.deviceWidth(c.native), c.width);
        EXPECT_EQ(printer.deviceHeight(c.native), c.width);
    }
    printer.abortDocument();
}

TEST(QRPrinter, RecordsPagesAtScreenResolution)
{
    TQRPrinter printer;
    generatePages(printer, 1);
    EXPECT_EQ(printer.leftWaste(), 0);
    EXPECT_EQ(printer.deviceWidth(2100), 794);    // 2100 × 96 / 254 = 793.7
    EXPECT_EQ(printer.deviceHeight(2970), 1123);  // 2970 × 96 / 254 = 1122.52
    const std::optional<QPicture> page = printer.pageAt(1);
    ASSERT_TRUE(page.has_value());
    EXPECT_EQ(page->boundingRect(), QRect(0, 0, 794, 1123));
}

TEST(QRPrinter, LandscapeSwapsTheSheet)
{
    TQRPrinter printer;
    TQRPageSetup setup;
    setup.orientation = TQROrientation::poLandscape;
    printer.setPageSetup(setup);
    EXPECT_EQ(printer.sheetWidth(), 2970);
    EXPECT_EQ(printer.sheetLength(), 2100);
    setup.paperSize = TQRPaperSize::Custom;
    setup.paperWidth = 1400;
    setup.paperLength = 900;
    printer.setPageSetup(setup);
    EXPECT_EQ(printer.sheetWidth(), 900);
    EXPECT_EQ(printer.sheetLength(), 1400);
}

TEST(QRPrinter, DefaultPaperIsThePrintersSheet)
{
    TQRPageSetup setup;
    setup.paperSize = TQRPaperSize::Default;
    setup.paperWidth = 1000;
    setup.paperLength = 1500;
    TQRPrinter withoutPrinter;
    withoutPrinter.setPageSetup(setup);
    EXPECT_EQ(withoutPrinter.sheetWidth(), 1000);
    TQRPrinter withPrinter(std::make_unique<FakePrintDevice>(std::make_shared<FakePrintLog>()));
    setup.orientation = TQROrientation::poLandscape;
    withPrinter.setPageSetup(setup);
    EXPECT_EQ(withPrinter.sheetWidth(), 2970);
    EXPECT_EQ(withPrinter.sheetLength(), 2100);
}

struct RecordingClient final : TQRPrinterClient {
    std::vector<int> available;
    std::vector<int> progress;
    void progressChanged(int percent) override { progress.push_back(percent); }
    void pagesAvailable(int count) override { available.push_back(count); }
};

TEST(QRPrinter, TellsTheClientAboutPagesAndProgress)
{
    TQRPrinter printer;
    RecordingClient client;
    printer.setClient(&client);
    printer.openDocument();
    printer.turnPage();
    printer.setProgress(50);
    printer.turnPage();
    printer.turnPage();
    printer.setProgress(100);
    printer.closeDocument();
    EXPECT_EQ(client.available, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(client.progress, (std::vector<int>{50, 100}));
    EXPECT_EQ(printer.availablePages(), 3);
    EXPECT_EQ(printer.progress(), 100);
}

TEST(QRPrinter, PageAtGivesOnlyExistingPages)
{
    TQRPrinter printer;
    EXPECT_FALSE(printer.pageAt(1).has_value());
    printer.openDocument();
    printer.turnPage();
    EXPECT_FALSE(printer.pageAt(1).has_value());   // still being drawn
    printer.turnPage();
    EXPECT_TRUE(printer.pageAt(1).has_value());     // the preview may show it already
    printer.closeDocument();
    for (int n : {-1, 0, 3})
        EXPECT_FALSE(printer.pageAt(n).has_value()) << n;
    EXPECT_TRUE(printer.pageAt(2).has_value());
}

struct RangeCase {
    int first;
    int last;
    int printerPages;
};

TEST(QRPrinter, PrintRangeSendsOnlyItsPagesAndDrawsTheRestOnScratch)
{
    const RangeCase cases[] = {{2, 3, 2}, {0, 0, 5}, {4, 0, 2}, {0, 1, 1}, {6, 9, 0}};
    for (const RangeCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.first << ".." << c.last);
        auto log = std::make_shared<FakePrintLog>();
        TQRPrinter printer(std::make_unique<FakePrintDevice>(log));
        printer.setDestination(TQRDestination::Printer);
        printer.setTitle(QStringLiteral("Cards"));
        TQRReportPrinterSettings settings;
        settings.firstPage = c.first;
        settings.lastPage = c.last;
        settings.copies = 2;
        printer.setPrinterSettings(settings);
        int afterPrintCalls = 0;
        printer.afterPrint = [&] { ++afterPrintCalls; };

        printer.openDocument();
        QPainter* first = nullptr;
        for (int n = 1; n <= 5; ++n) {
            printer.turnPage();
            ASSERT_NE(printer.canvas(), nullptr);
            const bool inRange = (c.first <= 0 || n >= c.first) && (c.last <= 0 || n <= c.last);
            // Pages outside the range get a scratch surface, never the printer's.
            if (inRange) {
                if (!first)
                    first = printer.canvas();
                EXPECT_EQ(printer.canvas(), first);
            } else {
                EXPECT_NE(printer.canvas(), first);
            }
            printer.canvas()->drawLine(0, 0, 10, 10);
        }
        printer.closeDocument();

        EXPECT_EQ(log->pagesStarted, c.printerPages);
        EXPECT_EQ(log->jobsBegun, c.printerPages > 0 ? 1 : 0);
        EXPECT_EQ(log->jobsEnded, log->jobsBegun);
        EXPECT_EQ(log->lastSettings.copies, 2);
        EXPECT_EQ(afterPrintCalls, 1);
        EXPECT_EQ(printer.storedPages(), 0);
        EXPECT_EQ(printer.pageCount(), 5);
        EXPECT_EQ(printer.availablePages(), 5);
    }
}

TEST(QRPrinter, AbortKeepsRecordedPagesAndDropsThePrintJob)
{
    TQRPrinter preview;
    preview.openDocument();
    preview.turnPage();
    preview.turnPage();
    preview.abortDocument();
    EXPECT_EQ(preview.state(), TQRPrinterState::Finished);
    EXPECT_EQ(preview.storedPages(), 2);   // the open page is kept too

    auto log = std::make_shared<FakePrintLog>();
    TQRPrinter direct(std::make_unique<FakePrintDevice>(log));
    direct.setDestination(TQRDestination::Printer);
    direct.openDocument();
    direct.turnPage();
    direct.abortDocument();
    EXPECT_EQ(direct.state(), TQRPrinterState::Finished);
    EXPECT_EQ(direct.canvas(), nullptr);
    EXPECT_EQ(log->jobsAborted, 1);
    EXPECT_EQ(log->jobsEnded, 0);
}

TEST(QRPrinter, PrintsStoredPagesInTheRange)
{
    auto log = std::make_shared<FakePrintLog>();
    TQRPrinter printer(std::make_unique<FakePrintDevice>(log));
    EXPECT_EQ(printer.printStoredPages().result, TQRPrintResult::NotFinished);
    generatePages(printer, 5);
    TQRReportPrinterSettings settings;
    settings.firstPage = 2;
    settings.lastPage = 3;
    printer.setPrinterSettings(settings);
    const TQRPrintOutcome outcome = printer.printStoredPages();
    EXPECT_EQ(outcome.result, TQRPrintResult::Printed);
    EXPECT_EQ(outcome.pages, 2);
    EXPECT_EQ(log->pagesStarted, 2);
    EXPECT_TRUE(log->lastJobFullPage);
    EXPECT_EQ(log->jobsEnded, 1);

    settings.firstPage = 0;
    settings.lastPage = 99;   // clipped to the pages there are
    printer.setPrinterSettings(settings);
    EXPECT_EQ(printer.printStoredPages().pages, 5);
}

TEST(QRPrinter, CancellingStopsPrintingStoredPages)
{
    auto log = std::make_shared<FakePrintLog>();
    auto device = std::make_unique<FakePrintDevice>(log);
    FakePrintDevice& fake = *device;
    TQRPrinter printer(std::move(device));
    generatePages(printer, 5);
    fake.onNewPage = [&] { printer.requestCancel(); };   // the user presses Cancel on page 2
    const TQRPrintOutcome outcome = printer.printStoredPages();
    EXPECT_EQ(outcome.result, TQRPrintResult::Cancelled);
    EXPECT_EQ(outcome.pages, 2);
    EXPECT_EQ(log->jobsAborted, 1);
    EXPECT_EQ(log->jobsEnded, 0);

    fake.onNewPage = nullptr;   // an earlier cancel does not stop the next print
    EXPECT_EQ(printer.printStoredPages().result, TQRPrintResult::Printed);
}

TEST(QRPrinter, PrintingWithoutPrinterDoesNothingAndSaysSo)
{
    TQRPrinter printer;
    generatePages(printer, 2);
    const TQRPrintOutcome outcome = printer.printStoredPages();
    EXPECT_EQ(outcome.result, TQRPrintResult::NoPrinter);
    EXPECT_EQ(outcome.pages, 0);
    EXPECT_EQ(outcome.message, QStringLiteral("No printer installed"));
}

TEST(QRPrinter, GeneratedPagesArePrintedByTheirReport)
{
    auto log = std::make_shared<FakePrintLog>();
    TQRPrinter printer(std::make_unique<FakePrintDevice>(log));
    int requests = 0;
    printer.printRequest = [&] { ++requests; };
    generatePages(printer, 2);
    EXPECT_EQ(printer.printStoredPages().result, TQRPrintResult::SentToMaster);
    EXPECT_EQ(requests, 1);
    EXPECT_EQ(log->jobsBegun, 0);
}

TEST(QRPrinter, ClosingThePreviewCancelsARunningGeneration)
{
    TQRPrinter printer;
    int afterPreviewCalls = 0;
    printer.afterPreview = [&] { ++afterPreviewCalls; };
    printer.setShowingPreview(true);
    printer.openDocument();
    printer.setShowingPreview(false);
    EXPECT_TRUE(printer.cancelled());
    EXPECT_EQ(afterPreviewCalls, 1);
    printer.setShowingPreview(false);   // no change, no second call
    EXPECT_EQ(afterPreviewCalls, 1);
}

TEST(QRPrinter, LongRunsMoveThePageStreamToATemporaryFile)
{
    QString spillFile;
    {
        TQRPrinter printer(nullptr, 2000);
        generatePages(printer, 20);
        ASSERT_TRUE(printer.pageList().isSpilled());
        spillFile = printer.pageList().streamFileName();
        EXPECT_TRUE(QFileInfo::exists(spillFile));
        EXPECT_EQ(printer.storedPages(), 20);
        const std::optional<QPicture> last = printer.pageAt(20);
        ASSERT_TRUE(last.has_value());
        EXPECT_FALSE(last->boundingRect().isEmpty());
    }
    EXPECT_FALSE(QFileInfo::exists(spillFile));
}

TEST(QRPrinter, PagesCanBeReadWhileGenerationAppends)
{
    // The preview reads the newest page while generation adds pages and the
    // stream moves to its temporary file in between.
    TQRPrinter printer(nullptr, 20000);
    std::atomic<bool> done{false};
    std::atomic<int> badReads{0};
    std::atomic<int> reads{0};
    std::thread preview([&] {
        while (!done) {
            const int n = printer.pageList().count();
            if (n == 0)
                continue;
            if (!printer.pageList().pageData(n).startsWith("QPIC"))
                ++badReads;
            ++reads;
        }
    });
    printer.openDocument();
    for (int n = 1; n <= 150; ++n) {
        printer.turnPage();
        printer.canvas()->drawText(QPoint(10, 10), QStringLiteral("Page %1").arg(n));
        printer.canvas()->fillRect(QRect(20, 20, n, 10), Qt::black);
        if (n == 3 || n == 100) {   // make sure the reader is at work before and after the move
            const int seen = reads;
            while (reads < seen + 5)
                std::this_thread::yield();
        }
    }
    printer.closeDocument();
    done = true;
    preview.join();
    EXPECT_TRUE(printer.pageList().isSpilled());
    EXPECT_GT(reads.load(), 0);
    EXPECT_EQ(badReads.load(), 0);
}

} // namespace
} // namespace cm
