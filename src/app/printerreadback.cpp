#include "app/printerreadback.h"

#include "report/report.h"

#include <QPageSize>
#include <QPrinter>
#include <cmath>

namespace cm {

namespace {

constexpr double NativePerMM = 10.0;

QPageSize::PageSizeId pageSizeIdOf(TQRPaperSize size)
{
    switch (size) {
    case TQRPaperSize::Letter: return QPageSize::Letter;
    case TQRPaperSize::Tabloid: return QPageSize::Tabloid;
    case TQRPaperSize::Ledger: return QPageSize::Ledger;
    case TQRPaperSize::Legal: return QPageSize::Legal;
    case TQRPaperSize::Statement: return QPageSize::Statement;
    case TQRPaperSize::Executive: return QPageSize::ExecutiveStandard;
    case TQRPaperSize::A3: return QPageSize::A3;
    case TQRPaperSize::A4: return QPageSize::A4;
    case TQRPaperSize::A5: return QPageSize::A5;
    case TQRPaperSize::B4: return QPageSize::B4;
    case TQRPaperSize::B5: return QPageSize::JisB5;
    case TQRPaperSize::Folio: return QPageSize::FanFoldGermanLegal;
    case TQRPaperSize::Quarto: return QPageSize::Quarto;
    case TQRPaperSize::qr10X14: return QPageSize::Imperial10x14;
    case TQRPaperSize::Note: return QPageSize::Note;
    case TQRPaperSize::Env9: return QPageSize::Envelope9;
    case TQRPaperSize::Env10: return QPageSize::Envelope10;
    case TQRPaperSize::Env11: return QPageSize::Envelope11;
    case TQRPaperSize::Env12: return QPageSize::Envelope12;
    case TQRPaperSize::Env14: return QPageSize::Envelope14;
    default: return QPageSize::Custom;
    }
}

} // namespace

TQRPaperSize paperSizeFor(const QPageSize& pageSize)
{
    for (int i = 0; i < PaperSizeCount; ++i) {
        const auto size = TQRPaperSize(i);
        if (isNamedPaper(size) && pageSizeIdOf(size) != QPageSize::Custom && pageSizeIdOf(size) == pageSize.id())
            return size;
    }
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
