#include "app/previewwindow.h"

#include "app/appicons.h"
#include "app/calibrationdialog.h"
#include "app/previewcontrol.h"
#include "designer/messageboxes.h"
#include "engine/output/pageexport.h"
#include "engine/print/qtprintdevice.h"
#include "engine/qrerror.h"
#include "engine/pages/qrprinter.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressDialog>
#include <QShortcut>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolBar>

namespace cm {

namespace {
const QString NoPrinter = QStringLiteral("No printer installed");
const QString ReportFilter = QStringLiteral("Cardmint report file (*.QRP)");

std::unique_ptr<TQRPrintDevice> printDeviceFor(const QString& printerName)
{
    if (!TQRQtPrintDevice::anyPrinterInstalled())
        return nullptr;
    return std::make_unique<TQRQtPrintDevice>(printerName);
}

// One image per card: a name without '#' gets a page number before its suffix.
QString imagePattern(const QString& fileName, int pageCount)
{
    if (fileName.contains(QLatin1Char('#')))
        return fileName;
    const int digits = std::max(3, int(QString::number(pageCount).size()));
    const QFileInfo info(fileName);
    return QDir(info.path()).filePath(info.completeBaseName() + QStringLiteral("-") + QString(digits, QLatin1Char('#')) +
                                      QStringLiteral(".") + info.suffix());
}
} // namespace

PreviewWindow::PreviewWindow(MessageBoxes& boxes, std::unique_ptr<TQRPrinter> pages, const QString& folder,
                             QWidget* parent)
    : QMainWindow(parent, Qt::Window), boxes_(boxes), pages_(std::move(pages)), folder_(folder),
      control_(new PreviewControl(this)), progressPanel_(new QLabel(QStringLiteral("0%"), this)),
      pagePanel_(new QLabel(tr("Page"), this)), warningPanel_(new QLabel(this))
{
    setObjectName(QStringLiteral("PreviewWindow"));
    setWindowTitle(pages_->title().isEmpty() ? tr("Print Preview") : pages_->title());
    setWindowIcon(applicationIcon());
    control_->setObjectName(QStringLiteral("QRPreview"));
    setCentralWidget(control_);

    progressPanel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    progressPanel_->setMinimumWidth(40);
    progressPanel_->setAccessibleName(tr("Progress"));
    pagePanel_->setMinimumWidth(50);
    pagePanel_->setAccessibleName(tr("Page position"));
    warningPanel_->setAccessibleName(tr("Texts that did not fit"));
    warningPanel_->setVisible(false);
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    statusBar()->addWidget(progressPanel_);
    statusBar()->addWidget(pagePanel_);
    statusBar()->addWidget(warningPanel_, 1);

    buildToolbar();
    addShortcuts();
    connect(control_, &PreviewControl::pageAvailable, this, [this] {
        updateStatus();
        updateCommands();
    });
    connect(control_, &PreviewControl::progressUpdate, this, &PreviewWindow::showProgress);
    connect(control_, &PreviewControl::zoomChanged, this, &PreviewWindow::syncZoomButtons);
    control_->attach(pages_.get());
    control_->zoomToWidth();
    updateCommands();
    updateStatus();
    resize(900, 700);
}

PreviewWindow::~PreviewWindow()
{
    // The control lets go of the pages before they are freed.
    control_->attach(nullptr);
}

void PreviewWindow::buildToolbar()
{
    QToolBar* bar = addToolBar(tr("Preview"));
    bar->setObjectName(QStringLiteral("PreviewToolbar"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    const auto make = [this, bar](const char* name, const QString& text, const QString& hint, const QIcon& icon,
                                  void (PreviewWindow::*slot)()) {
        auto* a = bar->addAction(icon, text);
        a->setObjectName(QString::fromLatin1(name));
        a->setToolTip(hint);
        a->setStatusTip(hint);
        if (slot)
            connect(a, &QAction::triggered, this, slot);
        return a;
    };
    auto* zoomGroup = new QActionGroup(this);
    zoomGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    zoomFit_ = make("ZoomFit", tr("Fit"), tr("Zoom to fit"), themedIcon(QStringLiteral("zoom-fit-best"), QStringLiteral("zoom-out")), nullptr);
    zoom100_ = make("Zoom100", tr("100%"), tr("100%"), themedIcon(QStringLiteral("zoom-original"), QStringLiteral("zoom-original")), nullptr);
    zoomToWidth_ = make("ZoomToWidth", tr("Width"), tr("Zoom to width"),
                        themedIcon(QStringLiteral("zoom-fit-width"), QStringLiteral("zoom-in")), nullptr);
    for (QAction* a : {zoomFit_, zoom100_, zoomToWidth_}) {
        a->setCheckable(true);
        zoomGroup->addAction(a);
    }
    zoomToWidth_->setChecked(true);
    connect(zoomFit_, &QAction::triggered, this, [this] { control_->zoomToFit(); syncZoomButtons(); });
    connect(zoom100_, &QAction::triggered, this, [this] { control_->zoom100(); syncZoomButtons(); });
    connect(zoomToWidth_, &QAction::triggered, this, [this] { control_->zoomToWidth(); syncZoomButtons(); });
    bar->addSeparator();
    make("FirstPage", tr("First"), tr("First page"), themedIcon(QStringLiteral("go-first"), QStringLiteral("go-previous")),
         &PreviewWindow::firstPage);
    make("PreviousPage", tr("Previous"), tr("Previous page"),
         themedIcon(QStringLiteral("go-previous"), QStringLiteral("go-previous")), &PreviewWindow::previousPage);
    make("ToolButton2", tr("NextPage"), tr("Next page"), themedIcon(QStringLiteral("go-next"), QStringLiteral("go-next")),
         &PreviewWindow::nextPage);
    make("LastPage", tr("Last"), tr("Last page"), themedIcon(QStringLiteral("go-last"), QStringLiteral("go-next")),
         &PreviewWindow::lastPage);
    bar->addSeparator();
    printSetup_ = make("PrintSetup", tr("Setup"), tr("Printer setup"),
                       themedIcon(QStringLiteral("document-print-setup"), QStringLiteral("page-setup")),
                       &PreviewWindow::printerSetup);
    print_ = make("Print", tr("Print"), tr("Print"), themedIcon(QStringLiteral("document-print"), QStringLiteral("document-print")),
                  &PreviewWindow::print);
    bar->addSeparator();
    saveReport_ = make("SaveReport", tr("Save"), tr("Save Report"),
                       themedIcon(QStringLiteral("document-save"), QStringLiteral("document-save")), &PreviewWindow::saveReport);
    loadReport_ = make("LoadReport", tr("Load"), tr("Load Report"),
                       themedIcon(QStringLiteral("document-open"), QStringLiteral("document-open")), &PreviewWindow::loadReport);
    export_ = make("Export", tr("Export"), tr("Export the cards as PDF, PNG or JPEG"),
                   themedIcon(QStringLiteral("document-export"), QStringLiteral("document-save")), &PreviewWindow::exportPages);
    // Shown for sheets of several cards only (setStartPositions).
    auto* startLabel = new QLabel(tr("S&tart at:"), bar);
    startAt_ = makeStartAtBox(1, 1, bar);
    startAt_->setKeyboardTracking(false);
    startLabel->setBuddy(startAt_);
    auto* startWidget = new QWidget(bar);
    auto* startLayout = new QHBoxLayout(startWidget);
    startLayout->setContentsMargins(6, 0, 6, 0);
    startLayout->addWidget(startLabel);
    startLayout->addWidget(startAt_);
    startAtAction_ = bar->addWidget(startWidget);
    startAtAction_->setObjectName(QStringLiteral("StartAtPosition"));
    startAtAction_->setVisible(false);
    connect(startAt_, &QSpinBox::valueChanged, this, [this](int value) {
        if (regenerate && loadedFile_.isEmpty() && !generating_)
            regenerate(value);
    });
    bar->addSeparator();
    make("ExitButton", tr("&Close"), tr("Close"), themedIcon(QStringLiteral("window-close"), QStringLiteral("go-home")),
         nullptr);
    connect(action(QStringLiteral("ExitButton")), &QAction::triggered, this, &QWidget::close);
}

void PreviewWindow::addShortcuts()
{
    const auto key = [this](QKeySequence sequence, auto slot) {
        auto* s = new QShortcut(sequence, this);
        s->setContext(Qt::WindowShortcut);
        connect(s, &QShortcut::activated, this, slot);
    };
    key(QKeySequence(Qt::Key_Escape), &QWidget::close);
    key(QKeySequence(Qt::Key_PageUp), &PreviewWindow::previousPage);
    key(QKeySequence(Qt::ControlModifier | Qt::Key_PageUp), &PreviewWindow::firstPage);
    key(QKeySequence(Qt::Key_PageDown), &PreviewWindow::nextPage);
    key(QKeySequence(Qt::ControlModifier | Qt::Key_PageDown), &PreviewWindow::lastPage);
    key(QKeySequence(Qt::Key_Home), &PreviewWindow::firstPage);
    key(QKeySequence(Qt::Key_End), &PreviewWindow::lastPage);
}

QAction* PreviewWindow::action(const QString& objectName) const { return findChild<QAction*>(objectName); }

QString PreviewWindow::statusText() const { return pagePanel_->text(); }
QString PreviewWindow::progressText() const { return progressPanel_->text(); }
QString PreviewWindow::warningText() const { return warningPanel_->text(); }

bool PreviewWindow::finished() const { return pages_->state() == TQRPrinterState::Finished; }

void PreviewWindow::setGenerating(bool generating)
{
    generating_ = generating;
    updateCommands();
    updateStatus();
}

void PreviewWindow::setFitWarnings(const QStringList& warnings)
{
    warningPanel_->setText(warnings.join(QStringLiteral("; ")));
    warningPanel_->setToolTip(warnings.join(QLatin1Char('\n')));
    warningPanel_->setVisible(!warnings.isEmpty());
}

void PreviewWindow::showPage(int n)
{
    control_->setPageNumber(n);
    updateStatus();
}

void PreviewWindow::firstPage() { showPage(1); }
void PreviewWindow::previousPage() { showPage(control_->pageNumber() - 1); }
void PreviewWindow::nextPage() { showPage(control_->pageNumber() + 1); }
void PreviewWindow::lastPage() { showPage(pages_->pageCount()); }

void PreviewWindow::updateStatus()
{
    pagePanel_->setText(tr("Page") + QStringLiteral(" ") + QString::number(control_->pageNumber()) + QStringLiteral(" ") +
                        tr("of") + QStringLiteral(" ") + QString::number(pages_->pageCount()));
}

void PreviewWindow::updateCommands()
{
    const bool done = finished() && !generating_;
    print_->setEnabled(done);
    printSetup_->setEnabled(done);
    saveReport_->setEnabled(done);
    export_->setEnabled(done && pages_->storedPages() > 0);
    loadReport_->setEnabled(!generating_);
    startAt_->setEnabled(!generating_ && loadedFile_.isEmpty());
}

void PreviewWindow::setStartPositions(int positions)
{
    const QSignalBlocker quiet(startAt_);
    startAt_->setRange(1, std::max(1, positions));
    startAtAction_->setVisible(positions > 1);
}

int PreviewWindow::startAt() const { return loadedFile_.isEmpty() ? startAt_->value() : 1; }

void PreviewWindow::replacePages(std::unique_ptr<TQRPrinter> pages)
{
    control_->attach(pages.get());
    pages_ = std::move(pages);
    control_->zoomToWidth();
    updateStatus();
    updateCommands();
}

void PreviewWindow::showProgress(int percent)
{
    if (percent == 0 || percent == 100) {
        progressPanel_->clear();
        shownProgress_ = 0;
        return;
    }
    if (percent >= shownProgress_ + 5) {
        progressPanel_->setText(QString::number(percent) + QStringLiteral("%"));
        shownProgress_ = percent;
    }
}

void PreviewWindow::syncZoomButtons()
{
    // A zoom of its own (Ctrl+wheel) has no button.
    zoomFit_->setChecked(control_->zoomState() == PreviewZoomState::ToFit);
    zoomToWidth_->setChecked(control_->zoomState() == PreviewZoomState::ToWidth);
    zoom100_->setChecked(control_->zoomState() == PreviewZoomState::Other && control_->zoom() == 100);
}

void PreviewWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    updateStatus();
}

void PreviewWindow::closeEvent(QCloseEvent* event)
{
    closed_ = true;
    if (generating_) {
        // The run stops at the next record; the window goes once it has.
        pages_->requestCancel();
        emit cancelRequested();
    }
    event->accept();
}

void PreviewWindow::print()
{
    if (!finished() || generating_)
        return;
    // Generated pages are printed by the main window, which knows its printer.
    if (loadedFile_.isEmpty()) {
        if (printGenerated) {
            PrintChoice choice = choice_;
            choice.startAt = startAt();
            printGenerated(choice);
        }
        return;
    }
    if (!TQRQtPrintDevice::anyPrinterInstalled()) {
        boxes_.error(NoPrinter);
        return;
    }
    // The stored pages of the loaded file, on the printer chosen for them.
    TQRPrinter printer(printDeviceFor(choice_.printerName));
    printer.setPrinterCalibration(printerCalibrationFor(calibrationSettings_, choice_.printerName));
    try {
        printer.readReportFile(loadedFile_);
    } catch (const EQRError& error) {
        boxes_.error(error.message());
        return;
    }
    printer.setTitle(pages_->title());
    printer.setPrinterSettings(choice_.appliedTo(pages_->printerSettings()));
    QProgressDialog progress(tr("Printing the cards..."), tr("Cancel"), 0, 0, this);
    progress.setWindowTitle(tr("Printing progress"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    connect(&progress, &QProgressDialog::canceled, this, [&printer] { printer.requestCancel(); });
    progress.show();
    const TQRPrintOutcome outcome = printer.printStoredPages();
    progress.close();
    switch (outcome.result) {
    case TQRPrintResult::Printed:
    case TQRPrintResult::Cancelled: statusBar()->showMessage(outcome.message, 10000); break;
    default: boxes_.error(outcome.message); break;
    }
}

void PreviewWindow::printerSetup()
{
    if (!TQRQtPrintDevice::anyPrinterInstalled()) {
        boxes_.error(NoPrinter);
        return;
    }
    askPrintChoice(this, tr("Printer setup"), finished() ? pages_->pageCount() : 0, choice_);
}

void PreviewWindow::saveReport()
{
    if (!finished())
        return;
    const QString name = boxes_.saveFileName(tr("Save report"), folder_, ReportFilter, QStringLiteral("QRP"));
    if (name.isEmpty())
        return;
    try {
        pages_->writeReportFile(name);
        statusBar()->showMessage(tr("Saved %1").arg(QDir::toNativeSeparators(name)), 10000);
    } catch (const EQRError& error) {
        boxes_.error(error.message());
    }
}

void PreviewWindow::loadReport()
{
    if (generating_)
        return;
    const QString name = boxes_.openFileName(tr("Load report"), folder_, ReportFilter);
    if (name.isEmpty())
        return;
    if (!QFileInfo::exists(name)) {
        boxes_.error(tr("File does not exist"));
        return;
    }
    // Read into a fresh object so that a damaged file leaves the pages shown.
    auto loaded = std::make_unique<TQRPrinter>(printDeviceFor(choice_.printerName));
    try {
        loaded->readReportFile(name);
    } catch (const EQRError& error) {
        boxes_.error(error.message());
        return;
    }
    loaded->setTitle(pages_->title());
    loadedFile_ = name;
    choice_.firstPage = choice_.lastPage = 0;
    replacePages(std::move(loaded));
}

void PreviewWindow::exportPages()
{
    if (!finished() || pages_->storedPages() == 0)
        return;
    const QString name = boxes_.saveFileName(
        tr("Export cards"), folder_,
        tr("PDF file (*.pdf);;PNG images, one per card (*.png);;JPEG images, one per card (*.jpg *.jpeg)"),
        QStringLiteral("pdf"));
    if (name.isEmpty())
        return;
    const QString suffix = QFileInfo(name).suffix().toLower();
    QProgressDialog progress(tr("Exporting the cards..."), tr("Cancel"), 0, pages_->storedPages(), this);
    progress.setWindowTitle(tr("Export"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    const ExportProgress step = [&progress](int page, int) {
        progress.setValue(page);
        QCoreApplication::processEvents();
        return !progress.wasCanceled();
    };
    try {
        int written = 0;
        if (suffix == QStringLiteral("png"))
            written = exportImages(*pages_, imagePattern(name, pages_->storedPages()), TQRImageFormat::Png, 300, step);
        else if (suffix == QStringLiteral("jpg") || suffix == QStringLiteral("jpeg"))
            written = exportImages(*pages_, imagePattern(name, pages_->storedPages()), TQRImageFormat::Jpeg, 300, step);
        else
            written = exportPdf(*pages_, name, step);
        progress.close();
        if (written < pages_->storedPages()) {
            statusBar()->showMessage(tr("Export cancelled."), 10000);
            return;
        }
        statusBar()->showMessage(tr("%n card(s) exported.", nullptr, written), 10000);
        // Only the pages a run made here carry QSOs that can be marked.
        if (loadedFile_.isEmpty() && pagesExported)
            pagesExported(written);
    } catch (const EQRError& error) {
        progress.close();
        boxes_.error(error.message());
    }
}

} // namespace cm
