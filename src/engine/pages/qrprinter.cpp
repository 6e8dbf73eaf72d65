#include "engine/pages/qrprinter.h"

#include "engine/pages/pagereplay.h"
#include "engine/qrerror.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QPainter>
#include <QTransform>

#include <cmath>
#include <mutex>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace cm {

namespace {

constexpr Extended NativePerInch = 254;

QString notReady() { return QStringLiteral("QRPrinter not ready"); }

QString damagedPage(int n)
{
    return QStringLiteral("The report file is damaged: page %1 is not a valid page picture").arg(n);
}

// Page output runs zlib once or more per page (page pictures of images, the
// PDF writer's page streams), each time with a fresh state of about 256 KB.
// By default the C library hands that memory back to the kernel after every
// page and faults it in again on the next, which took a third of the time of
// a PDF export. Keeping up to 64 MB of freed heap costs nothing in between.
void keepHeapForPageOutput()
{
#if defined(__GLIBC__)
    static std::once_flag once;
    std::call_once(once, [] {
        mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
        mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    });
#endif
}

} // namespace

TQRPrinter::TQRPrinter(std::unique_ptr<TQRPrintDevice> printer, qint64 streamMemoryLimit)
    : m_printer(std::move(printer)), m_pages(streamMemoryLimit)
{
    keepHeapForPageOutput();
    m_printerAvailable = m_printer && m_printer->printerInstalled();
    setScreenFactors();
}

TQRPrinter::~TQRPrinter()
{
    // The painter must end before the picture it paints on goes away; a
    // running print job is abandoned rather than half-printed.
    m_picturePainter.reset();
    if (m_printer && m_printer->jobRunning())
        m_printer->abortJob();
}

// Portrait width and length of the sheet: a named paper's own size, the
// printer's paper for Default (when there is a printer), else the setup's.
static std::pair<Extended, Extended> portraitSheet(const TQRPageSetup& setup, const TQRPrintDevice* printer)
{
    if (isNamedPaper(setup.paperSize)) {
        const PaperDimensions d = paperDimensions(setup.paperSize);
        return {Extended(d.widthMM) * 10, Extended(d.lengthMM) * 10};
    }
    if (setup.paperSize == TQRPaperSize::Default && printer) {
        const QSizeF paper = printer->paperSizeNative();
        return {paper.width(), paper.height()};
    }
    return {setup.paperWidth, setup.paperLength};
}

Extended TQRPrinter::sheetWidth() const
{
    if (m_printerStaged)
        return m_stagedSheetWidth;
    const auto [width, length] = portraitSheet(m_setup, m_printerAvailable ? m_printer.get() : nullptr);
    return m_setup.orientation == TQROrientation::poLandscape ? length : width;
}

Extended TQRPrinter::sheetLength() const
{
    if (m_printerStaged)
        return m_stagedSheetLength;
    const auto [width, length] = portraitSheet(m_setup, m_printerAvailable ? m_printer.get() : nullptr);
    return m_setup.orientation == TQROrientation::poLandscape ? width : length;
}

void TQRPrinter::setScreenFactors()
{
    m_xFactor = m_yFactor = Extended(PageRecordingDpi) / NativePerInch;
}

TQRPrintJobSettings TQRPrinter::jobSettings() const
{
    TQRPrintJobSettings job;
    job.paperSize = m_setup.paperSize;
    job.orientation = m_setup.orientation;
    job.paperWidth = m_setup.paperWidth;
    job.paperLength = m_setup.paperLength;
    job.copies = m_settings.copies;
    job.outputBin = m_settings.outputBin;
    job.duplex = m_settings.duplex;
    return job;
}

bool TQRPrinter::pageInRange(int page) const
{
    return (m_settings.firstPage <= 0 || page >= m_settings.firstPage)
        && (m_settings.lastPage <= 0 || page <= m_settings.lastPage);
}

void TQRPrinter::openDocument()
{
    const bool toPrinter = m_destination == TQRDestination::Printer;
    if (m_state != TQRPrinterState::Ready)
        throw EQRError(notReady());
    if (toPrinter && !m_printerAvailable)
        throw EQRError(QStringLiteral("No printer installed"));
    m_printerStaged = false;
    if (toPrinter) {
        m_printer->applySettings(jobSettings());
        const QPointF offset = m_printer->offsetNative();
        m_leftWaste = offset.x();
        m_topWaste = offset.y();
        m_xFactor = Extended(m_printer->dpiX()) / NativePerInch;
        m_yFactor = Extended(m_printer->dpiY()) / NativePerInch;
        if (m_handOver) {
            m_stagedSheetWidth = sheetWidth();
            m_stagedSheetLength = sheetLength();
            m_printerStaged = true;
        }
    } else {
        m_leftWaste = m_topWaste = 0;
        setScreenFactors();
    }
    m_pageCount = 0;
    m_pageNumber = 0;
    m_state = TQRPrinterState::Busy;
    m_pages.reset(m_compression);
    m_availablePages = 0;
    m_storedByStage = 0;
    m_cancelled = false;
    m_loadedFromFile = false;
    m_printerHasPage = false;
    m_printerPainter = nullptr;
}

void TQRPrinter::startPicture()
{
    // Scratch pages of a printer run keep the printer's factors: they are
    // thrown away, and switching factors would misplace the printer pages
    // that follow them.
    const int width = int(deviceWidth(sheetWidth()));
    const int height = int(deviceHeight(sheetLength()));
    if (m_recordThroughPicture) {
        m_picture = newPagePicture(width, height);
        m_picturePainter = std::make_unique<QPainter>(&m_picture);
    } else {
        m_recorder = std::make_unique<PageRecorder>(width, height);
        m_picturePainter = std::make_unique<QPainter>(m_recorder.get());
    }
    m_canvas = m_picturePainter.get();
    m_pageImages.discardPage();
}

void TQRPrinter::drawImage(const QRectF& target, const QImage& image)
{
    if (!m_canvas)
        return;
    if (m_canvas == m_picturePainter.get())
        m_pageImages.draw(*m_canvas, target, image);
    else
        m_canvas->drawImage(target, image);
}

QByteArray TQRPrinter::finishPicture(bool* unfinished)
{
    if (m_picturePainter)
        m_picturePainter->end();
    m_picturePainter.reset();
    m_canvas = nullptr;
    if (m_recorder) {
        QByteArray records = std::exchange(m_recorder, nullptr)->takeRecords();
        if (unfinished) {
            *unfinished = true;
            return records;
        }
        return finishPageRecords(records) ? records : QByteArray();
    }
    const QPicture picture = std::exchange(m_picture, QPicture());
    return picture.isNull() ? QByteArray() : QByteArray(picture.data(), qsizetype(picture.size()));
}

void TQRPrinter::openPage()
{
    m_pageOpen = true;
    m_onPrinterPage = false;
    if (m_destination == TQRDestination::Metafile) {
        startPicture();
        return;
    }
    if (!pageInRange(m_pageCount) || m_printerStaged) {
        startPicture();   // scratch (drawn and discarded), or a page to hand over
        return;
    }
    m_onPrinterPage = true;
    if (!m_printer->jobRunning()) {
        m_printerPainter = m_printer->beginJob(m_title, false);
        if (!m_printerPainter)
            throw EQRError(QStringLiteral("The printer did not start the print job"));
    } else if (m_printerHasPage) {
        if (!m_printer->newPage())
            throw EQRError(QStringLiteral("The printer did not start a new page"));
    }
    m_printerHasPage = true;
    m_canvas = m_printerPainter;
    if (!m_calibration.isIdentity())
        m_canvas->setWorldTransform(calibrationTransform(m_calibration, m_printer->dpiX(), m_printer->dpiY()));
}

void TQRPrinter::closePage()
{
    if (!m_pageOpen)
        return;
    m_pageOpen = false;
    if (m_onPrinterPage) {
        m_canvas = nullptr;   // the next printer page is started when it opens
        return;
    }
    if (m_handOver && (m_destination == TQRDestination::Metafile || (m_printerStaged && pageInRange(m_pageCount)))) {
        handOverPage();
        return;
    }
    QByteArray page = finishPicture();
    if (m_destination == TQRDestination::Metafile)
        m_pages.addPage(m_pageImages.resolve(recordedPage(std::move(page))));
}

// A page that could not be finished is an error, never a blank page.
QByteArray TQRPrinter::recordedPage(QByteArray page)
{
    if (page.isEmpty())
        throw EQRError(QStringLiteral("Page %1 could not be recorded").arg(m_pageCount));
    return page;
}

void TQRPrinter::handOverPage()
{
    FinishedPage page;
    page.number = m_pageCount;
    if (!m_handOver->wantsStoredBytes())
        page.images = m_pageImages.replayImages();
    if (m_handOver->wantsStoredBytes()) {
        // The output side ends the page: the report file is the lighter stage.
        QByteArray recorded = recordedPage(finishPicture(&page.storedUnfinished));
        page.stored = m_pageImages.resolve(std::move(recorded));
    } else {
        QByteArray recorded = recordedPage(finishPicture());
        m_pageImages.discardPage();
        page.picture.setData(recorded.constData(), uint(recorded.size()));
        // A picture checks its bytes (the checksum over all of them) the
        // first time it is played or asked for its rectangle. That is done
        // here, on the generation side, so that the output stage, which has
        // the heavier share of the work, only plays the page.
        page.picture.boundingRect();
    }
    page.sheetWidth = sheetWidth();
    page.sheetLength = sheetLength();
    page.title = m_title;
    page.compressed = m_compression;
    if (!m_handOver->put(std::move(page)))
        m_cancelled = true;   // output stopped: generation stops at the next record
}

void TQRPrinter::endHandOver()
{
    // A staged print job is ended by its print stages once the caller knows
    // the run was not cancelled.
    if (m_handOver && m_destination == TQRDestination::Metafile)
        m_handOver->close();
}

void TQRPrinter::notifyAvailable()
{
    if (m_client)
        m_client->pagesAvailable(availablePages());
}

void TQRPrinter::handPagesToOwnList(PageHandOver* handOver)
{
    const bool wasOn = m_handOverToSelf;
    if (wasOn && !handOver) {
        // A stopped run drops the pages still queued: only stored ones count.
        m_availablePages = std::min(m_availablePages, m_storedByStage.load());
        m_pageCount = std::min(m_pageCount, m_storedByStage.load());
    }
    m_handOver = handOver;
    m_handOverToSelf = handOver != nullptr;
    if (wasOn && !m_handOverToSelf)
        notifyAvailable();
}

void TQRPrinter::storeHandedPage(const FinishedPage& page)
{
    m_pages.addPage(page.stored);
    ++m_storedByStage;
}

void TQRPrinter::finishHandedPages() { m_pages.finish(QDateTime::currentDateTime()); }

void TQRPrinter::turnPage()
{
    if (m_state != TQRPrinterState::Busy)
        throw EQRError(QStringLiteral("Illegal call to NewPage"));
    if (m_pageOpen) {
        closePage();
        ++m_availablePages;
        notifyAvailable();
    }
    ++m_pageCount;
    ++m_pageNumber;
    openPage();
}

void TQRPrinter::closeDocument()
{
    if (m_state != TQRPrinterState::Busy)
        return;
    const bool hadPage = m_pageOpen;
    closePage();
    if (m_destination == TQRDestination::Printer && !m_printerStaged && m_printer->jobRunning())
        m_printer->endJob();
    if (hadPage) {
        ++m_availablePages;
        notifyAvailable();
    }
    m_state = TQRPrinterState::Finished;
    // Pages handed to the own list are still being stored; the output stage
    // finishes the list after the last of them.
    if (!m_handOverToSelf)
        m_pages.finish(QDateTime::currentDateTime());
    endHandOver();
    if (m_destination == TQRDestination::Printer && afterPrint)
        afterPrint();
}

void TQRPrinter::abortDocument()
{
    if (m_state != TQRPrinterState::Busy)
        return;
    if (m_destination == TQRDestination::Printer) {
        if (m_pageOpen && !m_onPrinterPage)
            finishPicture();
        m_pageOpen = false;
        m_canvas = nullptr;
        // A staged job is aborted by the output stage, on its own thread.
        if (!m_printerStaged && m_printer->jobRunning())
            m_printer->abortJob();
    } else {
        closePage();
    }
    m_state = TQRPrinterState::Finished;
    m_pages.finish(QDateTime::currentDateTime());
    // An aborted document is no document: the output stage drops it.
    if (m_handOver && (m_destination == TQRDestination::Metafile || m_printerStaged))
        m_handOver->stop();
}

void TQRPrinter::cleanup()
{
    if (m_state == TQRPrinterState::Busy) {
        requestCancel();
        abortDocument();
    }
    finishPicture();
    m_pageOpen = false;
    m_pages.reset(m_compression);
    m_pageCount = 0;
    m_pageNumber = 0;
    m_availablePages = 0;
    m_loadedFromFile = false;
    m_printerStaged = false;
    m_state = TQRPrinterState::Ready;
}

QPicture TQRPrinter::loadPage(int n) const
{
    if (m_state == TQRPrinterState::Ready)
        throw EQRError(notReady());
    const QByteArray data = m_pages.pageData(n);
    QPicture picture;
    if (!pictureFromData(data, picture))
        throw EQRError(damagedPage(n));
    return picture;
}

void TQRPrinter::playPage(int n, QPainter& painter, const QRectF& target, PagePlayer& player) const
{
    if (m_state == TQRPrinterState::Ready)
        throw EQRError(notReady());
    if (!player.drawPage(painter, m_pages.pageData(n), target))
        throw EQRError(damagedPage(n));
}

std::optional<QPicture> TQRPrinter::pageAt(int n) const
{
    if (m_state == TQRPrinterState::Ready || n < 1 || n > m_pageCount || n > m_pages.count())
        return std::nullopt;
    try {
        return loadPage(n);
    } catch (const EQRError&) {
        return std::nullopt;
    }
}

void TQRPrinter::setProgress(int percent)
{
    m_progress = percent;
    if (m_client)
        m_client->progressChanged(percent);
}

void TQRPrinter::writeReportFile(const QString& fileName) const
{
    if (m_state != TQRPrinterState::Finished)
        throw EQRError(notReady());
    m_pages.save(fileName);
}

void TQRPrinter::detectPaper(const QPicture& firstPage)
{
    const QRect rect = firstPage.boundingRect();
    const Extended w = rect.width() / m_xFactor;   // native units
    const Extended h = rect.height() / m_yFactor;
    // Within 1 mm: the page size went through whole pixels, which can lose
    // more than a truncated 4 mm step allows (A5 would never be found).
    constexpr Extended Tolerance = 10;
    const auto near = [](Extended a, double mm) { return std::fabs(double(a) - mm * 10) <= double(Tolerance); };
    // The first match wins: A4 rather than "A4 Small", Letter rather than
    // "Letter Small" or Note.
    bool found = false;
    for (int i = 1; i <= 26 && !found; ++i) {
        const auto size = static_cast<TQRPaperSize>(i);
        const PaperDimensions d = paperDimensions(size);
        const bool portrait = near(w, d.widthMM) && near(h, d.lengthMM);
        if (portrait || (near(h, d.widthMM) && near(w, d.lengthMM))) {
            m_setup.paperSize = size;
            m_setup.orientation = portrait ? TQROrientation::poPortrait : TQROrientation::poLandscape;
            found = true;
        }
    }
    if (!found) {
        // Not a named paper: keep the page's own size so that printing and
        // export still get the sheet the pages were drawn for.
        m_setup.paperSize = TQRPaperSize::Custom;
        m_setup.orientation = TQROrientation::poPortrait;
        m_setup.paperWidth = rnd(rect.width() / m_xFactor);
        m_setup.paperLength = rnd(rect.height() / m_yFactor);
    }
}

void TQRPrinter::readReportFile(const QString& fileName)
{
    cleanup();
    m_destination = TQRDestination::Metafile;
    setScreenFactors();
    m_leftWaste = m_topWaste = 0;
    try {
        m_pages.load(fileName);
        m_pageCount = m_pages.count();
        m_state = TQRPrinterState::Finished;
        if (m_pageCount > 0)
            detectPaper(loadPage(1));
    } catch (...) {
        m_state = TQRPrinterState::Ready;
        m_pages.reset(m_compression);
        m_pageCount = 0;
        throw;
    }
    m_pageNumber = m_pageCount;
    m_availablePages = m_pageCount;
    m_compression = m_pages.compressed();
    printSetup = nullptr;
    exportHook = nullptr;
    m_loadedFromFile = true;
}

TQRPrintOutcome TQRPrinter::printStoredPages()
{
    TQRPrintOutcome outcome;
    if (printRequest && !m_loadedFromFile) {
        printRequest();
        outcome.result = TQRPrintResult::SentToMaster;
        return outcome;
    }
    if (m_state != TQRPrinterState::Finished) {
        outcome.result = TQRPrintResult::NotFinished;
        outcome.message = notReady();
        return outcome;
    }
    if (!m_printerAvailable) {
        outcome.result = TQRPrintResult::NoPrinter;
        outcome.message = QStringLiteral("No printer installed");
        return outcome;
    }
    // A cancel from an earlier run must not stop this one.
    m_cancelled = false;
    if (m_printer->jobRunning())
        m_printer->abortJob();
    m_printer->applySettings(jobSettings());
    QPainter* painter = m_printer->beginJob(m_title, true);
    if (!painter) {
        outcome.message = QStringLiteral("The printer did not start the print job");
        return outcome;
    }
    // 0 means "no limit" at either end.
    const int stored = m_pages.count();
    const int first = m_settings.firstPage > 0 ? m_settings.firstPage : 1;
    const int last = m_settings.lastPage > 0 ? std::min(m_settings.lastPage, stored) : stored;
    // The whole page onto the whole sheet the printer holds, as oriented.
    QSizeF paper = m_printer->paperSizeNative();
    if (m_setup.orientation == TQROrientation::poLandscape)
        paper.transpose();
    const QRectF target = calibratedTarget(
        QRectF(0, 0, paper.width() * m_printer->dpiX() / 254.0, paper.height() * m_printer->dpiY() / 254.0),
        m_calibration, m_printer->dpiX() / 25.4);
    PagePlayer player;
    try {
        for (int n = first; n <= last; ++n) {
            QCoreApplication::processEvents();
            if (n > first && !m_printer->newPage())
                throw EQRError(QStringLiteral("The printer did not start a new page"));
            playPage(n, *painter, target, player);
            ++outcome.pages;
            if (m_cancelled) {
                m_printer->abortJob();
                outcome.result = TQRPrintResult::Cancelled;
                outcome.message = QStringLiteral("Printing cancelled");
                return outcome;
            }
        }
    } catch (const EQRError& error) {
        m_printer->abortJob();
        outcome.message = error.message();
        return outcome;
    }
    if (m_printer->jobRunning())
        m_printer->endJob();
    outcome.result = TQRPrintResult::Printed;
    outcome.message = QStringLiteral("%1 pages sent to the printer").arg(outcome.pages);
    return outcome;
}

void TQRPrinter::setShowingPreview(bool showing)
{
    const bool closing = m_showingPreview && !showing;
    m_showingPreview = showing;
    if (!closing)
        return;
    if (m_state == TQRPrinterState::Busy)
        requestCancel();
    if (afterPreview)
        afterPreview();
}

void TQRPrinter::endPreview()
{
    if (closePreview)
        closePreview();
}

} // namespace cm
