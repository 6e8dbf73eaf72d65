// Cards printed through the printer path, with a PDF file as the printer:
// straight from generation, and from stored pages.
#ifdef CARDMINT_HAVE_PRINT
#include "engine/generate/modelaccess.h"
#include "engine/output/printerpagewriter.h"
#include "engine/print/qtprintdevice.h"
#include "harness.h"
#include "pdfraster.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace cm::test {
namespace {

struct PrintedPdf {
    int pages = 0;
    bool cardSized = false;
};

PrintedPdf readPrinted(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray pdf = file.readAll();
    // The harness's page is 100 x 100 mm; the printer takes it in whole points.
    return {int(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r")), pdf.contains("/MediaBox [0 0 283.0")};
}

TEST(PrintRun, CardsGoToThePrinterStraightFromGeneration)
{
    Harness h;
    auto* detail = h.band(TQRBandType::rbDetail, 1000);
    h.label(detail, QStringLiteral("To"), 100, 200);
    h.field(detail, QStringLiteral("Call"), 400, 200);
    h.ws.table->setSource(std::make_unique<FixtureDataSet>(callRecords({"S51A", "DL1XY", "K1ABC"})));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("printed.pdf"));
    {
        TQRPrinter printer(std::make_unique<TQRQtPrintDevice>(TQRQtPrintDevice::PrintToFile{}, path));
        printer.setDestination(TQRDestination::Printer);
        ReportGenerator generator(h.report(), printer);
        ScopedModelAccess access(&generator);
        generator.generate();
        EXPECT_EQ(printer.pageCount(), 3);
        EXPECT_EQ(printer.storedPages(), 0);   // nothing kept: the pages went to the printer
    }
    const PrintedPdf printed = readPrinted(path);
    EXPECT_EQ(printed.pages, 3);
    EXPECT_TRUE(printed.cardSized);
}

// The same cards printed straight from generation and through the
// hand-over to the printing stage: the same pages, and the print range.
TEST(PrintRun, HandedOverPagesPrintAsStraightFromGeneration)
{
    Harness h;
    auto* detail = h.band(TQRBandType::rbDetail, 1000);
    h.label(detail, QStringLiteral("To"), 100, 200);
    h.field(detail, QStringLiteral("Call"), 400, 200);
    QTemporaryDir dir;
    const auto print = [&](const QString& name, bool staged, int first, int last) {
        h.ws.table->setSource(std::make_unique<FixtureDataSet>(callRecords({"S51A", "DL1XY", "K1ABC"})));
        const QString path = dir.filePath(name);
        TQRPrinter printer(std::make_unique<TQRQtPrintDevice>(TQRQtPrintDevice::PrintToFile{}, path));
        printer.setDestination(TQRDestination::Printer);
        h.report().printerSettings.firstPage = first;
        h.report().printerSettings.lastPage = last;
        std::optional<PrintStages> stages;
        if (staged)
            stages.emplace(printer);
        ReportGenerator generator(h.report(), printer);
        ScopedModelAccess access(&generator);
        generator.generate();
        EXPECT_EQ(printer.storedPages(), 0);
        if (stages) {
            EXPECT_EQ(stages->finish(), last - first + 1) << name.toStdString();
        }
        return path;
    };
    const QString direct = print(QStringLiteral("direct.pdf"), false, 1, 3);
    const QString staged = print(QStringLiteral("staged.pdf"), true, 1, 3);
    EXPECT_EQ(readPrinted(staged).pages, 3);
    EXPECT_TRUE(readPrinted(staged).cardSized);
    EXPECT_EQ(readPrinted(print(QStringLiteral("range.pdf"), true, 2, 3)).pages, 2);
    if (!cmtest::canRasterisePdf())
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    const std::vector<QImage> before = cmtest::rasterisePdf(direct, 100);
    const std::vector<QImage> after = cmtest::rasterisePdf(staged, 100);
    ASSERT_EQ(before.size(), 3u);
    ASSERT_EQ(after.size(), 3u);
    for (size_t i = 0; i < before.size(); ++i) {
        EXPECT_FALSE(cmtest::inkBounds(after[i]).isEmpty()) << i;
        EXPECT_EQ(before[i], after[i]) << "page " << i + 1;
    }
}

// Cancelled (the output side stopped): generation stops at its next page
// and the print job is aborted, so no card is printed.
TEST(PrintRun, ACancelledHandOverStopsGenerationAndPrintsNothing)
{
    Harness h;
    auto* detail = h.band(TQRBandType::rbDetail, 1000);
    h.field(detail, QStringLiteral("Call"), 400, 200);
    h.ws.table->setSource(std::make_unique<FixtureDataSet>(callRecords({"S51A", "DL1XY", "K1ABC", "W1AW"})));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("printed.pdf"));
    {
        TQRPrinter printer(std::make_unique<TQRQtPrintDevice>(TQRQtPrintDevice::PrintToFile{}, path));
        printer.setDestination(TQRDestination::Printer);
        PrintStages stages(printer);
        stages.cancel();
        ReportGenerator generator(h.report(), printer);
        ScopedModelAccess access(&generator);
        generator.generate();
        EXPECT_LE(printer.pageCount(), 2);
        EXPECT_EQ(stages.finish(), 0);
    }
    EXPECT_EQ(readPrinted(path).pages, 0);
}

TEST(PrintRun, StoredPagesGoToThePrinter)
{
    Harness h;
    auto* detail = h.band(TQRBandType::rbDetail, 1000);
    h.field(detail, QStringLiteral("Call"), 400, 200);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("printed.pdf"));
    h.ws.table->setSource(std::make_unique<FixtureDataSet>(callRecords({"S51A", "DL1XY"})));
    TQRPrinter printer(std::make_unique<TQRQtPrintDevice>(TQRQtPrintDevice::PrintToFile{}, path));
    {
        ReportGenerator generator(h.report(), printer);
        ScopedModelAccess access(&generator);
        generator.generate();
    }
    ASSERT_EQ(printer.storedPages(), 2);
    const TQRPrintOutcome outcome = printer.printStoredPages();
    EXPECT_EQ(outcome.result, TQRPrintResult::Printed) << outcome.message.toStdString();
    const PrintedPdf printed = readPrinted(path);
    EXPECT_EQ(printed.pages, 2);
    EXPECT_TRUE(printed.cardSized);
}

// The command-line tool has the printer built in as well: a printer name
// this machine does not know is refused by that name; a tool built without
// printing says so instead.
TEST(PrintRun, CommandLineToolPrints)
{
    QProcess cli;
    cli.start(QStringLiteral(CARDMINT_CLI), {"render", "--layout", CARDMINT_SOURCE_DIR "/demo/Demo1.qr2", "--printer",
                                            "Cardmint test: no such printer"});
    ASSERT_TRUE(cli.waitForFinished(60000));
    EXPECT_EQ(cli.exitCode(), 1);
    EXPECT_EQ(QString::fromUtf8(cli.readAllStandardError()),
              QStringLiteral("render: No printer named \"Cardmint test: no such printer\"\n"));
}

} // namespace
} // namespace cm::test
#endif
