#include "app/printerreadback.h"

#include "report/report.h"

#include <QPageSize>
#include <QPrinter>
#include <algorithm>
#include <cmath>

namespace cm {

namespace {

constexpr double NativePerMM = 10.0;

} // namespace

TQRPaperSize paperSizeFor(const QPageSize& pageSize)
{
    // The first named paper of the same size (Letter before LetterSmall, A4 before A4Small).
    const QSizeF mm = pageSize.size(QPageSize::Millimeter);
    for (int i = 0; i < PaperSizeCount; ++i) {
        const auto size = TQRPaperSize(i);
        if (!isNamedPaper(size))
            continue;
        const PaperDimensions d = paperDimensions(size);
        if (std::abs(d.widthMM - mm.width()) <= 0.5 && std::abs(d.lengthMM - mm.height()) <= 0.5)
            return size;
    }
    return TQRPaperSize::Custom;
}

PrinterReadBack readPrinter(const QPrinter& printer)
{
    PrinterReadBack r;
    r.printerName = printer.printerName();
    r.orientation = printer.pageLayout().orientation() == QPageLayout::Landscape ? TQROrientation::poLandscape
                                                                                 : TQROrientation::poPortrait;
    r.copies = std::max(1, printer.copyCount());
    r.duplex = printer.duplex() != QPrinter::DuplexNone;
    const QPageSize pageSize = printer.pageLayout().pageSize();
    r.paperSize = paperSizeFor(pageSize);
    const QSizeF mm = pageSize.size(QPageSize::Millimeter);
    r.paperWidthMM = std::min(mm.width(), mm.height());
    r.paperLengthMM = std::max(mm.width(), mm.height());
    return r;
}

bool applyPrinterReadBack(TQRCustomReport& report, const PrinterReadBack& printer,
                          const QStringList& installedPrinters)
{
    bool printerChanged = false;
    if (const int index = int(installedPrinters.indexOf(printer.printerName)); index >= 0) {
        printerChanged = report.printerSettings.printerIndex != index;
        report.printerSettings.printerIndex = index;
    }
    report.page.setOrientation(printer.orientation);
    report.printerSettings.copies = printer.copies;
    report.printerSettings.duplex = printer.duplex;
    report.page.setPaperSize(printer.paperSize);
    if (printer.paperSize == TQRPaperSize::Custom) {
        report.page.values[TQRPage::Wid] = std::round(printer.paperWidthMM * NativePerMM);
        report.page.values[TQRPage::Len] = std::round(printer.paperLengthMM * NativePerMM);
        report.page.applyToControl();
    }
    return printerChanged;
}

} // namespace cm
