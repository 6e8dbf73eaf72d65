// What the printer setup leaves in the printer, taken into the report.
#include "app/printerreadback.h"
#include "layout/workspace.h"
#include "report/report.h"

#include <QPageSize>
#include <gtest/gtest.h>

using namespace cm;

TEST(PrinterReadBack, PaperSizesMapByIdThenBySizeElseCustom)
{
    const struct {
        QPageSize size;
        TQRPaperSize paper;
    } cases[] = {
        {QPageSize(QPageSize::A4), TQRPaperSize::A4},
        {QPageSize(QPageSize::Letter), TQRPaperSize::Letter},
        {QPageSize(QPageSize::JisB5), TQRPaperSize::B5},
        {QPageSize(QPageSize::Envelope10), TQRPaperSize::Env10},
        {QPageSize(QSizeF(210, 297), QPageSize::Millimeter, QStringLiteral("mine"), QPageSize::ExactMatch),
         TQRPaperSize::A4},
        {QPageSize(QSizeF(140, 90), QPageSize::Millimeter, QStringLiteral("QSL card"), QPageSize::ExactMatch),
         TQRPaperSize::Custom},
    };
    for (const auto& c : cases)
        EXPECT_EQ(paperSizeFor(c.size), c.paper) << c.size.name().toStdString();
}

TEST(PrinterReadBack, TakesPrinterOrientationCopiesDuplexAndCustomPaper)
{
    Workspace ws;
    TQRDesignReport& report = *ws.report;
    PrinterReadBack printer;
    printer.printerName = QStringLiteral("Second");
    printer.orientation = TQROrientation::poLandscape;
    printer.copies = 3;
    printer.duplex = true;
    printer.paperSize = TQRPaperSize::Custom;
    printer.paperWidthMM = 90;
    printer.paperLengthMM = 140;

    EXPECT_TRUE(applyPrinterReadBack(report, printer, {QStringLiteral("First"), QStringLiteral("Second")}));
    EXPECT_EQ(report.printerSettings.printerIndex, 1);
    EXPECT_EQ(report.page.orientation(), TQROrientation::poLandscape);
    EXPECT_EQ(report.printerSettings.copies, 3);
    EXPECT_TRUE(report.printerSettings.duplex);
    EXPECT_EQ(report.page.paperSize(), TQRPaperSize::Custom);
    EXPECT_EQ(double(report.page.values[TQRPage::Wid]), 900.0);
    EXPECT_EQ(double(report.page.values[TQRPage::Len]), 1400.0);

    // A printer that is not listed leaves the printer index alone.
    printer.printerName = QStringLiteral("Gone");
    EXPECT_FALSE(applyPrinterReadBack(report, printer, {QStringLiteral("First")}));
    EXPECT_EQ(report.printerSettings.printerIndex, 1);
}
