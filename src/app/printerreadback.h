#pragma once
// What the printer setup dialog leaves in the printer, taken into the
// report: printer, orientation, copies, duplex and paper.
#include "report/papersize.h"
#include "report/printersettings.h"

#include <QStringList>

class QPageSize;
class QPrinter;

namespace cm {

class TQRCustomReport;

struct PrinterReadBack {
    QString printerName;
    TQROrientation orientation = TQROrientation::poPortrait;
    int copies = 1;
    bool duplex = false;
    TQRPaperSize paperSize = TQRPaperSize::A4;
    double paperWidthMM = 210, paperLengthMM = 297;   // portrait
};

// The report's paper for a printer's page size: the named paper of that
// size (within half a millimetre), else Custom.
TQRPaperSize paperSizeFor(const QPageSize& pageSize);

PrinterReadBack readPrinter(const QPrinter& printer);

// Printer index (position in `installedPrinters`, when listed), orientation,
// copies, duplex and paper; a custom paper also gets the sheet's width and
// length. True when the printer index changed (the font list may differ).
bool applyPrinterReadBack(TQRCustomReport& report, const PrinterReadBack& printer,
                          const QStringList& installedPrinters);

} // namespace cm
