#pragma once
// What the print dialog chose for one print: the printer, the copies and
// the range of pages. It counts for that print only; the layout's own
// printer settings stay as they are.
#include "report/printersettings.h"

#include <QString>

class QSpinBox;
class QWidget;

namespace cm {

struct PrintChoice {
    QString printerName;   // empty: the system's default printer
    int copies = 1;
    int firstPage = 0;     // 0: no limit
    int lastPage = 0;
    int startAt = 1;       // the first sheet's first free position (1: a fresh sheet)

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
// 1 ... pageCount (0: not known yet) and, when a sheet holds more than one
// card (`positions`), the position to start at. True on OK, with `choice`
// updated.
bool askPrintChoice(QWidget* parent, const QString& title, int pageCount, PrintChoice& choice, int positions = 1);

// The "Start at position" field: 1 ... positions of a sheet.
QSpinBox* makeStartAtBox(int positions, int value, QWidget* parent);

} // namespace cm
