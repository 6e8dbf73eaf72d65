#include "app/printchoice.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace cm {

bool askPrintChoice(QWidget* parent, const QString& title, int pageCount, PrintChoice& choice)
{
    QPrinter printer(choice.printerName.isEmpty() ? QPrinterInfo::defaultPrinter()
                                                  : QPrinterInfo::printerInfo(choice.printerName));
    printer.setCopyCount(std::max(1, choice.copies));
    const int last = pageCount > 0 ? pageCount : 9999;
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(title);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setMinMax(1, last);
    if (choice.firstPage > 0 || choice.lastPage > 0) {
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(std::max(1, choice.firstPage), choice.lastPage > 0 ? std::min(choice.lastPage, last) : last);
    }
    if (dialog.exec() != QDialog::Accepted)
        return false;
    choice.printerName = printer.printerName();
    choice.copies = std::max(1, printer.copyCount());
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        choice.firstPage = printer.fromPage();
        choice.lastPage = printer.toPage();
    } else {
        choice.firstPage = choice.lastPage = 0;
    }
    return true;
}

} // namespace cm
