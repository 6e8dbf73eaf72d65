// The main window's preview, print and printer setup.
#include "app/mainwindow.h"

#include "app/datatab.h"
#include "app/previewdialog.h"
#include "app/printerreadback.h"
#include "designer/designercore.h"
#include "designer/document.h"
#include "designer/messageboxes.h"
#include "engine/print/qtprintdevice.h"
#include "engine/qrerror.h"
#include "engine/qrprinter.h"

#include <QCoreApplication>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QScopeGuard>
#include <QStatusBar>

namespace cm {

namespace {
const QString NoPrinter = QStringLiteral("No printer installed");
} // namespace

// The progress window is application-modal, so nothing can change the
// report while the run hands events on; its Cancel ends the run.
bool MainWindow::generate(TQRPrinter& pages, bool print)
{
    QProgressDialog progress(print ? tr("Printing the cards...") : tr("Making the cards..."), tr("Cancel"), 0, 100,
                             this);
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    connect(&progress, &QProgressDialog::canceled, designer_.get(), &DesignerCore::cancelRun);
    progress.setValue(0);
    const bool generated = designer_->runReport(
        pages, print ? OutputKind::Print : OutputKind::Preview, [] { QCoreApplication::processEvents(); },
        [&progress](int percent) { progress.setValue(percent); });
    return generated && !progress.wasCanceled() && !pages.cancelled();
}

void MainWindow::preview()
{
    if (running_)
        return;
    running_ = true;
    const auto done = qScopeGuard([this] { running_ = false; });
    auto pages = std::make_unique<TQRPrinter>();
    try {
        if (!generate(*pages, false))
            return;
    } catch (const EQRError& error) {
        boxes_.error(error.message());
        return;
    } catch (const std::exception& error) {
        boxes_.error(QString::fromLocal8Bit(error.what()));
        return;
    }
    PreviewDialog dialog(std::move(pages), this);
    dialog.exec();
}

void MainWindow::print()
{
    if (running_)
        return;
    if (!TQRQtPrintDevice::anyPrinterInstalled()) {
        boxes_.error(tr("No printer installed"));
        return;
    }
    const QStringList printers = QPrinterInfo::availablePrinterNames();
    const int index = document_->report().printerSettings.printerIndex;
    auto device = std::make_unique<TQRQtPrintDevice>(index >= 0 && index < printers.size() ? printers[index]
                                                                                           : QString());
    QPrintDialog dialog(&device->printer(), this);
    dialog.setWindowTitle(tr("Print"));
    if (dialog.exec() != QDialog::Accepted)
        return;

    // Whatever happens in the run, the window and the data view come back
    // as they were.
    running_ = true;
    const Qt::WindowStates state = windowState();
    dataTab_->setUpdatesEnabled(false);
    const auto restore = qScopeGuard([this, state] {
        dataTab_->setUpdatesEnabled(true);
        setWindowState(state);
        running_ = false;
    });
    TQRPrinter pages(std::move(device));
    pages.setDestination(TQRDestination::Printer);
    try {
        if (!pages.printerAvailable()) {
            boxes_.error(NoPrinter);
            return;
        }
        if (generate(pages, true))
            statusBar()->showMessage(tr("%n page(s) sent to the printer.", nullptr, pages.pageCount()), 10000);
        else
            statusBar()->showMessage(tr("Printing cancelled."), 10000);
    } catch (const EQRError& error) {
        pages.abortDocument();
        boxes_.error(error.message());
    } catch (const std::exception& error) {
        pages.abortDocument();
        boxes_.error(QString::fromLocal8Bit(error.what()));
    }
}

void MainWindow::printerSetup()
{
    if (!TQRQtPrintDevice::anyPrinterInstalled()) {
        boxes_.error(NoPrinter);
        return;
    }
    const QStringList printers = QPrinterInfo::availablePrinterNames();
    const int index = document_->report().printerSettings.printerIndex;
    QPrinter printer(index >= 0 && index < printers.size() ? QPrinterInfo::printerInfo(printers[index])
                                                           : QPrinterInfo::defaultPrinter());
    QPageSetupDialog dialog(&printer, this);
    dialog.setWindowTitle(tr("Printer setup"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    document_->beginChange();
    const bool printerChanged = applyPrinterReadBack(document_->report(), readPrinter(printer), printers);
    document_->endChange();
    if (printerChanged)
        fillFontList();
    afterLayoutChanged();
}

} // namespace cm
