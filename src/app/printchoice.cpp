#include "app/printchoice.h"

#include <QFormLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSpinBox>
#include <algorithm>

namespace cm {

QSpinBox* makeStartAtBox(int positions, int value, QWidget* parent)
{
    auto* box = new QSpinBox(parent);
    box->setObjectName(QStringLiteral("StartAt"));
    box->setRange(1, std::max(1, positions));
    box->setValue(std::clamp(value, 1, std::max(1, positions)));
    const QString hint = QObject::tr("Start at position");
    box->setAccessibleName(hint);
    box->setToolTip(QObject::tr("The first free position on a partly used sheet: the positions before it "
                                "stay empty (counted down the first column, then the next)"));
    box->setStatusTip(box->toolTip());
    return box;
}

bool askPrintChoice(QWidget* parent, const QString& title, int pageCount, PrintChoice& choice, int positions)
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
    // A tab of our own for sheets of several cards; the dialog owns it.
    QSpinBox* startAt = nullptr;
    if (positions > 1) {
        auto* sheet = new QWidget;
        sheet->setWindowTitle(QObject::tr("Sheet"));
        auto* form = new QFormLayout(sheet);
        startAt = makeStartAtBox(positions, choice.startAt, sheet);
        form->addRow(QObject::tr("&Start at position:"), startAt);
        dialog.setOptionTabs({sheet});
    }
    if (dialog.exec() != QDialog::Accepted)
        return false;
    choice.startAt = startAt ? startAt->value() : 1;
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
