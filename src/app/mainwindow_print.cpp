// The main window's preview, print and printer setup.
#include "app/mainwindow.h"

#include "app/calibrationdialog.h"
#include "app/datatab.h"
#include "app/previewwindow.h"
#include "app/printchoice.h"
#include "app/printerreadback.h"
#include "designer/designercore.h"
#include "designer/document.h"
#include "designer/messageboxes.h"
#include "engine/generate/labelsheets.h"
#include "engine/output/pagewriters.h"
#include "engine/output/printerpagewriter.h"
#include "engine/print/qtprintdevice.h"
#include "engine/qrerror.h"
#include "engine/pages/qrprinter.h"
#include "logbook/logtable.h"

#include <QCoreApplication>
#include <QPageSetupDialog>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QScopeGuard>
#include <QSpinBox>
#include <QStatusBar>

namespace cm {

namespace {
const QString NoPrinter = QStringLiteral("No printer installed");

// The layout's printer, copies and range, as the print dialog starts.
PrintChoice layoutPrintChoice(const TQRReportPrinterSettings& settings)
{
    const QStringList printers = QPrinterInfo::availablePrinterNames();
    PrintChoice choice;
    if (settings.printerIndex >= 0 && settings.printerIndex < printers.size())
        choice.printerName = printers[settings.printerIndex];
    choice.copies = settings.copies;
    choice.firstPage = settings.firstPage;
    choice.lastPage = settings.lastPage;
    return choice;
}
} // namespace

// The progress window is application-modal, so nothing can change the
// report while the run hands events on; its Cancel ends the run.
bool MainWindow::printCards(TQRPrinter& pages, const RunExtras& extras, const std::function<void()>& onCancel)
{
    QProgressDialog progress(tr("Printing the cards..."), tr("Cancel"), 0, 100, this);
    progress.setWindowTitle(tr("Printing progress"));
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    connect(&progress, &QProgressDialog::canceled, designer_.get(), &DesignerCore::cancelRun);
    if (onCancel)
        connect(&progress, &QProgressDialog::canceled, this, onCancel);
    progress.setValue(0);
    const bool generated = designer_->runReport(
        pages, OutputKind::Print, [] { QCoreApplication::processEvents(); },
        [&progress](int percent) { progress.setValue(percent); }, extras);
    return generated && !progress.wasCanceled() && !pages.cancelled();
}

// The preview window is application-modal, so nothing can change the
// report while it is open; the run hands events on once per record, so the
// window pages and closes while the cards are made.
void MainWindow::preview()
{
    if (running_ || preview_)
        return;
    // Query parameters are asked for before the window opens; a cancelled
    // question makes no preview.
    if (!designer_->prepare())
        return;
    const auto done = qScopeGuard([this] { designer_->finish(); });
    auto pages = std::make_unique<TQRPrinter>();
    pages->setTitle(document_->report().reportTitle);
    auto* window = new PreviewWindow(boxes_, std::move(pages), dialogFolder(), this);
    preview_ = window;
    window->setWindowModality(Qt::ApplicationModal);
    window->setPrintChoice(layoutPrintChoice(document_->report().printerSettings));
    window->setStartPositions(cardPositionsPerPage(document_->report()));
    window->setCalibrationSettings(settingsFile());
    window->printGenerated = [this](const PrintChoice& choice) { printWith(choice); };
    window->regenerate = [this, window](int startAt) {
        auto fresh = std::make_unique<TQRPrinter>();
        fresh->setTitle(window->pages().title());
        window->replacePages(std::move(fresh));
        // Closed while the pages are made anew: it goes once the run has stopped.
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        const bool typing = window->startAtBox()->hasFocus();   // the field is disabled during the run
        generatePreview(*window, startAt);
        if (window->closedByUser()) {
            window->deleteLater();
            return;
        }
        window->setAttribute(Qt::WA_DeleteOnClose);
        if (typing)
            window->startAtBox()->setFocus();
    };
    window->pagesExported = [this](int count) { offerQslMarks(previewQsos_.onPages(1, count)); };
    connect(window, &PreviewWindow::cancelRequested, designer_.get(), &DesignerCore::cancelRun);
    window->showMaximized();
    if (!generatePreview(*window, 1)) {
        window->close();
        window->deleteLater();
        return;
    }
    window->setAttribute(Qt::WA_DeleteOnClose);
}

bool MainWindow::generatePreview(PreviewWindow& window, int startAt)
{
    if (running_)
        return false;
    running_ = true;
    const auto done = qScopeGuard([this] { running_ = false; });
    previewQsos_.clear();
    RunExtras extras;
    extras.emptyPositions = startAt - 1;
    if (LogTable* table = logTable())
        extras.recordPrinted = [this, table](int record, int page) { previewQsos_.add(*table, record, page); };
    window.setGenerating(true);
    bool generated = false;
    QString failure;
    try {
        // The pages go through the output stage back into the preview's
        // list: it stores them (and compresses them) on a thread of its own
        // while the next cards are made; each shows once it is stored.
        TQRPrinter& pages = window.pages();
        PageHandOver handOver(true);
        pages.handPagesToOwnList(&handOver);
        const auto ownList = qScopeGuard([&pages] { pages.handPagesToOwnList(nullptr); });
        PageOutputStage stage(handOver, std::make_unique<OwnListWriter>(pages));
        generated = designer_->runReport(pages, OutputKind::Preview, [] { QCoreApplication::processEvents(); }, {},
                                         extras);
        if (!generated)
            stage.cancel();
        stage.finish();
    } catch (const EQRError& error) {
        failure = error.message();
    } catch (const std::exception& error) {
        failure = QString::fromLocal8Bit(error.what());
    }
    window.setGenerating(false);
    window.setFitWarnings(designer_->fitWarnings());
    if (!generated || window.closedByUser()) {
        // Pages that were not all made carry no QSOs to mark.
        previewQsos_.clear();
        if (!failure.isEmpty())
            boxes_.error(failure);
        return false;
    }
    return true;
}

PreviewWindow* MainWindow::previewWindow() const { return preview_.data(); }

bool MainWindow::printerReady() const { return printDeviceMaker_ || TQRQtPrintDevice::anyPrinterInstalled(); }

void MainWindow::print()
{
    if (running_)
        return;
    if (!printerReady()) {
        boxes_.error(NoPrinter);
        return;
    }
    PrintChoice choice = layoutPrintChoice(document_->report().printerSettings);
    if (askPrintChoice(this, tr("Print"), 0, choice, cardPositionsPerPage(document_->report())))
        printWith(choice);
}

void MainWindow::printWith(const PrintChoice& choice)
{
    if (running_)
        return;
    if (!printerReady()) {
        boxes_.error(NoPrinter);
        return;
    }
    // Query parameters are asked for before anything reaches the printer;
    // a cancelled question prints nothing.
    if (!designer_->prepare()) {
        statusBar()->showMessage(tr("Printing cancelled."), 10000);
        return;
    }
    // Whatever happens in the run, the window, the data view, the query
    // parameters and the layout's own printer settings come back as they were.
    running_ = true;
    const Qt::WindowStates state = windowState();
    TQRReportPrinterSettings& settings = document_->report().printerSettings;
    const TQRReportPrinterSettings kept = settings;
    settings = choice.appliedTo(settings);
    dataTab_->setUpdatesEnabled(false);
    const auto restore = qScopeGuard([this, state, &settings, kept] {
        designer_->finish();
        settings = kept;
        dataTab_->setUpdatesEnabled(true);
        setWindowState(state);
        running_ = false;
    });
    std::unique_ptr<TQRQtPrintDevice> device = printDeviceMaker_ ? printDeviceMaker_(choice.printerName)
                                                                 : std::make_unique<TQRQtPrintDevice>(choice.printerName);
    if (!device) {
        boxes_.error(NoPrinter);
        return;
    }
    TQRQtPrintDevice& printer = *device;
    TQRPrinter pages(std::move(device));
    pages.setDestination(TQRDestination::Printer);
    pages.setPrinterCalibration(printerCalibrationFor(settingsFile(), choice.printerName));
    PrintedQsos printed;
    RunExtras extras;
    extras.emptyPositions = choice.startAt - 1;
    if (LogTable* table = logTable())
        extras.recordPrinted = [&printed, table](int record, int page) { printed.add(*table, record, page); };
    try {
        if (!pages.printerAvailable()) {
            boxes_.error(NoPrinter);
            return;
        }
        // The cards are printed on a second thread while the next ones are
        // made; Cancel stops both at the next page and aborts the job.
        PrintStages stages(pages);
        const bool generated = printCards(pages, extras, [&stages] { stages.cancel(); });
        if (!generated)
            stages.cancel();
        // A printer that failed stopped the run: its error, not a cancel, is told.
        const int printedPages = stages.finish();
        if (!generated) {
            statusBar()->showMessage(tr("Printing cancelled."), 10000);
            return;
        }
        if (printer.printer().printerState() == QPrinter::Error) {
            boxes_.error(tr("The printer did not accept the print job."));
            return;
        }
        statusBar()->showMessage(tr("%n page(s) sent to the printer.", nullptr, printedPages), 10000);
        const QStringList warnings = designer_->fitWarnings();
        if (!warnings.isEmpty())
            boxes_.information(tr("Some texts did not fit their boxes and were cut:") + QLatin1Char('\n') +
                               warnings.join(QLatin1Char('\n')));
        // Only the pages in the chosen range reached the printer.
        offerQslMarks(printed.onPages(choice.firstPage, choice.lastPage));
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
    document_->beginChange(tr("printer setup"));
    const bool printerChanged = applyPrinterReadBack(document_->report(), readPrinter(printer), printers);
    document_->endChange();
    if (printerChanged)
        fillFontList();
    afterLayoutChanged();
}

} // namespace cm
