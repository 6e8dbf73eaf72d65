#pragma once
// What the print dialog chose for one print: the printer, the copies and
// the range of pages. It counts for that print only; the layout's own
// printer settings stay as they are.
#include "report/printersettings.h"

#include <QString>

class QWidget;

namespace cm {

struct PrintChoice {
    QString printerName;   // empty: the system's default printer
    int copies = 1;
    int firstPage = 0;     // 0: no limit
    int lastPage = 0;

    // The layout's settings with this choice's copies and range.
    TQRReportPrinterSettings appliedTo(TQRReportPrinterSettings settings) const
    {
        settings.copies = copies;
        settings.firstPage = firstPage;
        settings.lastPage = lastPage;
        return settings;
    }
};

// The platform's print dialog on `choice`'s printer, offering pages
// 1 ... pageCount (0: not known yet). True on OK, with `choice` updated.
bool askPrintChoice(QWidget* parent, const QString& title, int pageCount, PrintChoice& choice);

} // namespace cm
