#pragma once
// TQRPrinter: the page output object of one preview or print run. It turns
// native positions (0.1 mm) into device dots and owns the page being drawn;
// pages go either into the page list (as QPicture recordings) or straight to
// the printer. It also reads and writes report files and prints stored pages.
#include "engine/pages/pagecalibration.h"
#include "engine/pages/pagehandover.h"
#include "engine/pages/pageimages.h"
#include "engine/pages/pagelist.h"
#include "engine/pages/pageplayer.h"
#include "engine/pages/pagerecorder.h"
#include "engine/pages/printdevice.h"
#include "report/papersize.h"
#include "report/printersettings.h"
#include "report/rounding.h"

#include <QPicture>
#include <QString>
#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class QPainter;

namespace cm {

enum class TQRDestination { Metafile, Printer };
enum class TQRPrinterState { Ready, Busy, Finished };

// The page setup the page output needs from the report.
struct TQRPageSetup {
    TQRPaperSize paperSize = TQRPaperSize::A4;
    TQROrientation orientation = TQROrientation::poPortrait;
    // Native units, portrait; the sheet size for Custom and Default paper.
    Extended paperWidth = 2100;
    Extended paperLength = 2970;
    Extended leftMargin = 100;
    Extended rightMargin = 100;
    Extended topMargin = 100;
    Extended bottomMargin = 100;
};

// Receives progress and page-available notifications (the preview window,
// the progress window).
class TQRPrinterClient {
public:
    virtual ~TQRPrinterClient() = default;
    virtual void progressChanged(int percent) = 0;
    virtual void pagesAvailable(int count) = 0;
};

enum class TQRPrintResult { Printed, Cancelled, NoPrinter, NotFinished, SentToMaster, Failed };

struct TQRPrintOutcome {
    TQRPrintResult result = TQRPrintResult::Failed;
    int pages = 0;        // printer pages sent
    QString message;      // what happened, for the user
};

class TQRPrinter {
public:
    // `printer` may be null: then no printer is installed.
    explicit TQRPrinter(std::unique_ptr<TQRPrintDevice> printer = nullptr,
                        qint64 streamMemoryLimit = TQRPageStream::DefaultMemoryLimit);
    ~TQRPrinter();
    TQRPrinter(const TQRPrinter&) = delete;
    TQRPrinter& operator=(const TQRPrinter&) = delete;

    // Set up before openDocument.
    TQRDestination destination() const { return m_destination; }
    void setDestination(TQRDestination destination) { m_destination = destination; }
    const TQRPageSetup& pageSetup() const { return m_setup; }
    void setPageSetup(const TQRPageSetup& setup) { m_setup = setup; }
    const TQRReportPrinterSettings& printerSettings() const { return m_settings; }
    void setPrinterSettings(const TQRReportPrinterSettings& settings) { m_settings = settings; }
    const QString& title() const { return m_title; }
    void setTitle(const QString& title) { m_title = title; }
    bool compression() const { return m_compression; }
    void setCompression(bool on) { m_compression = on; }
    void setClient(TQRPrinterClient* client) { m_client = client; }
    // Shifts and scales what goes to the printer (pages straight from a run
    // and stored pages printed); files are not affected.
    void setPrinterCalibration(const PageCalibration& calibration) { m_calibration = calibration; }
    const PageCalibration& printerCalibration() const { return m_calibration; }
    bool printerAvailable() const { return m_printerAvailable; }
    // Pages of the metafile destination go to `handOver` as they are
    // finished instead of into the page list, and the hand-over is closed
    // when the document ends. A hand-over that stops cancels the run.
    // With the printer destination the pages of the print range are
    // recorded at the printer's resolution and handed over for the output
    // stage to print (PrinterPageWriter); the run itself then leaves the
    // printer alone once the document is open.
    void setPageHandOver(PageHandOver* handOver) { m_handOver = handOver; }
    // Pages of the metafile destination go to `handOver` and come back into
    // this printer's own page list from the output stage (a preview: the
    // stage stores and compresses the pages while the next ones are made).
    // A page counts as available once it is stored. Null ends it and tells
    // the client of the pages stored last.
    void handPagesToOwnList(PageHandOver* handOver);
    // The output stage's side of handPagesToOwnList (its thread).
    void storeHandedPage(const FinishedPage& page);
    void finishHandedPages();
    // The printer the run prints on (null when none is installed).
    TQRPrintDevice* printDevice() const { return m_printer.get(); }
    // Records pages on a QPicture and ends them as it does (a second pass
    // over every page's bytes) instead of through the page recorder. The
    // pages are the same byte for byte; tests compare the two.
    void setRecordThroughPicture(bool on) { m_recordThroughPicture = on; }

    // Hooks set by the report.
    std::function<void()> afterPrint;
    std::function<void()> afterPreview;
    std::function<void()> printSetup;
    std::function<void()> exportHook;
    // Set when a master report can regenerate the pages for printing.
    std::function<void()> printRequest;
    std::function<void()> closePreview;

    // Native units → device dots of the current surface.
    int64_t deviceX(Extended x) const { return rnd((x - m_leftWaste) * m_xFactor); }
    int64_t deviceY(Extended y) const { return rnd((y - m_topWaste) * m_yFactor); }
    int64_t deviceWidth(Extended w) const { return rnd(w * m_xFactor); }
    int64_t deviceHeight(Extended h) const { return rnd(h * m_yFactor); }
    Extended xFactor() const { return m_xFactor; }
    Extended yFactor() const { return m_yFactor; }
    Extended leftWaste() const { return m_leftWaste; }
    Extended topWaste() const { return m_topWaste; }
    // The sheet as the pages are drawn, native units, as oriented.
    Extended sheetWidth() const;
    Extended sheetLength() const;

    TQRPrinterState state() const { return m_state; }
    bool cancelled() const { return m_cancelled; }
    int pageCount() const { return m_pageCount; }
    int pageNumber() const { return m_pageNumber; }
    int availablePages() const
    {
        return m_handOverToSelf ? std::min(m_availablePages, m_storedByStage.load()) : m_availablePages;
    }
    int progress() const { return m_progress; }
    bool loadedFromFile() const { return m_loadedFromFile; }

    // The drawing surface of the open page (null when no page is open).
    QPainter* canvas() const { return m_canvas; }
    // Draws a picture on the open page; pictures that come on every page are
    // encoded once for the run rather than once a page.
    void drawImage(const QRectF& target, const QImage& image);

    void openDocument();
    void turnPage();       // "NewPage" of the generator
    void closeDocument();
    void abortDocument();
    void requestCancel() { m_cancelled = true; }
    // Back to Ready with no pages; a Busy run is cancelled first.
    void cleanup();

    // A copy of stored page n, or none when there is no such page (or it is
    // damaged). loadPage says why instead: it throws EQRError.
    std::optional<QPicture> pageAt(int n) const;
    QPicture loadPage(int n) const;
    // Draws stored page n into `target` through `player`, which shares the
    // pictures of a run's pages; throws EQRError like loadPage.
    void playPage(int n, QPainter& painter, const QRectF& target, PagePlayer& player) const;
    // Pages stored in the page list (the metafile destination).
    int storedPages() const { return m_pages.count(); }
    const TQRPageList& pageList() const { return m_pages; }

    void setProgress(int percent);

    void writeReportFile(const QString& fileName) const;
    void readReportFile(const QString& fileName);
    TQRPrintOutcome printStoredPages();

    bool showingPreview() const { return m_showingPreview; }
    void setShowingPreview(bool showing);
    void endPreview();

private:
    bool pageInRange(int page) const;
    void openPage();
    void closePage();
    void startPicture();
    // The open page's finished picture bytes (empty when none is open).
    // With `unfinished`, the page recorder may leave the end of the page
    // to the caller (see finishPageRecords), and says so there.
    QByteArray finishPicture(bool* unfinished = nullptr);
    QByteArray recordedPage(QByteArray page);
    void setScreenFactors();
    void notifyAvailable();
    TQRPrintJobSettings jobSettings() const;
    void detectPaper(const QPicture& firstPage);
    void handOverPage();
    void endHandOver();

    std::unique_ptr<TQRPrintDevice> m_printer;
    bool m_printerAvailable = false;
    TQRPageList m_pages;

    TQRDestination m_destination = TQRDestination::Metafile;
    TQRPrinterState m_state = TQRPrinterState::Ready;
    TQRPageSetup m_setup;
    TQRReportPrinterSettings m_settings;
    QString m_title;
    bool m_compression = false;
    TQRPrinterClient* m_client = nullptr;
    PageHandOver* m_handOver = nullptr;
    bool m_handOverToSelf = false;
    std::atomic<int> m_storedByStage{0};
    // A printer run handing its pages over: the printer belongs to the
    // output stage's thread until the run ends, so the sheet is read once.
    bool m_printerStaged = false;
    Extended m_stagedSheetWidth = 0;
    Extended m_stagedSheetLength = 0;
    PageCalibration m_calibration;

    bool m_cancelled = false;
    bool m_loadedFromFile = false;
    bool m_showingPreview = false;
    int m_pageCount = 0;
    int m_pageNumber = 0;
    int m_availablePages = 0;
    int m_progress = 0;
    Extended m_xFactor = 0;
    Extended m_yFactor = 0;
    Extended m_leftWaste = 0;
    Extended m_topWaste = 0;

    // The open page: a recording (metafile destination or a scratch page
    // outside the print range) or the printer itself.
    bool m_recordThroughPicture = false;
    std::unique_ptr<PageRecorder> m_recorder;
    QPicture m_picture;
    std::unique_ptr<QPainter> m_picturePainter;
    QPainter* m_canvas = nullptr;
    PageImageRecords m_pageImages;
    QPainter* m_printerPainter = nullptr;   // owned by the print device
    bool m_pageOpen = false;
    bool m_onPrinterPage = false;
    bool m_printerHasPage = false;
};

} // namespace cm
