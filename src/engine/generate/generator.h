#pragma once
// Report generation: walks the report's data set record by record and
// prints title, headers, groups, details, footers and summary onto the pages
// of a page output object, breaking columns and pages where bands do not fit.
#include "engine/generate/fitreport.h"
#include "engine/paint/printcontext.h"
#include "expr/environment.h"
#include "expr/script.h"

#include <QStringList>
#include <algorithm>
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace cm {

class TQRCustomReport;
class TQRCustomBand;
class TQRController;
class TQRGroup;
class TQRPrinter;
class ElementPrinter;
struct DesignBandProps;

class ReportGenerator final : private PrintContext {
public:
    ReportGenerator(TQRCustomReport& report, TQRPrinter& output);
    ~ReportGenerator() override;
    ReportGenerator(const ReportGenerator&) = delete;
    ReportGenerator& operator=(const ReportGenerator&) = delete;

    // The layout's event scripts ("[Band.BeforePrint]" ...); none: no scripts run.
    void setScript(const QStringList& script, bool enabled = true);
    // Called once per record so that a user interface stays live.
    void setProcessEvents(std::function<void()> fn) { processEvents_ = std::move(fn); }
    // Called with the percentage of records done.
    void setProgress(std::function<void(int)> fn) { progress_ = std::move(fn); }
    // Called after each record of the report's own data set whose detail
    // band printed, with the record's number in the data set (0-based) and
    // the page it went on: which QSOs reached which card.
    void setRecordPrinted(std::function<void(int record, int page)> fn) { recordPrinted_ = std::move(fn); }

    // Leaves the first `count` card positions of the first page empty (a
    // sheet of labels that is partly used). Positions are counted in the
    // order cards fill the page: down the first column, then the next.
    void setEmptyPositions(int count) { emptyPositions_ = std::max(0, count); }

    TQRCustomReport& report() const { return report_; }

    // One complete run. False when a run is going on already or the
    // report's BeforePrint script refused printing.
    bool generate();
    bool idle() const { return idle_; }
    // Closing the preview, or Ctrl+C in the command-line tool, during a run:
    // the document is aborted and a running script stops. Safe to call from
    // another thread or a signal handler.
    void requestCancel() { cancelRequested_.store(true, std::memory_order_relaxed); }
    // The last run ended because of requestCancel().
    bool cancelled() const { return cancelRequested_.load(std::memory_order_relaxed); }
    // The most statements one script run may execute (see ScriptRunner).
    void setScriptStepBudget(qint64 steps);

    // Engine state for the formula functions.
    bool newPage();
    int verticalPosition() const { return int(cursorY_); }
    int pageCounter() const { return pageCounter_; }
    // RESETEXPR: resets the evaluator of the expression element of that name; false when none runs.
    bool resetExpression(QStringView elementName);
    // GROUPPRINTED: the last print decision of that group band during this run.
    std::optional<bool> groupPrinted(QStringView bandName) const;
    // The texts of the last run that did not fit their boxes, by page number.
    const FitReport& fitReport() const { return fits_; }

private:
    struct BandRun;
    struct GroupRun;
    struct ControllerRun;

    // PrintContext
    TQRPrinter& output() override { return output_; }
    QPainter& canvas() override;
    int zoom() const override;
    bool canStretch(Extended amount) const override;
    void stretchBand(Extended amount, Extended& growth, bool& hasGrown) override;
    Extended bandExpansion() const override;
    int pageNumber() const override { return pageCounter_; }
    QString reportTitle() const override;
    int detailCount() const override;
    int detailNumber() const override;
    DataSetList* dataSets() override { return &dataSets_; }
    TQREvEnvironment* environment() override { return environment_.get(); }
    void registerAggregate(ExprPrinter* client, Component* master) override;
    void noteTextClipped(const Component& element) override;

    void setUp();
    void tearDown();
    BandRun* runOf(TQRCustomBand* band);
    ControllerRun* buildController(TQRController& controller, bool isReport);

    void runRecords(ControllerRun& c);
    void printEmpty(ControllerRun& c);
    bool testGroupKeys(ControllerRun& c);
    bool keyChanged(GroupRun& g);
    void storeKey(GroupRun& g);
    void emitGroupHeaders(ControllerRun& c);
    void emitGroupFooters(ControllerRun& c);
    void repeatGroupHeaders(ControllerRun& c);

    void outputBand(BandRun* band);
    void emitBand(BandRun& band);
    bool bandRules(BandRun& band);
    void ensureRoom(BandRun& band);
    void advanceColumn();
    void openPage();
    void closePage();
    void breakPage();
    void breakColumn();
    Extended pageBottom() const;
    int64_t spaceLeft() const;
    Extended chainHeight(const TQRCustomBand* band) const;
    bool isPageBand(const BandRun& band) const;
    void runScript(const QString& component, ScriptEvent event, EvResult* result = nullptr);

    TQRCustomReport& report_;
    TQRPrinter& output_;
    std::unique_ptr<ScriptRunner> scripts_;
    std::function<void()> processEvents_;
    std::function<void(int)> progress_;
    std::function<void(int, int)> recordPrinted_;
    qint64 scriptStepBudget_ = ScriptRunner::DefaultStepBudget;

    // Run state.
    bool idle_ = true;
    std::atomic<bool> cancelRequested_ = false;
    static_assert(std::atomic<bool>::is_always_lock_free, "requestCancel() must be signal safe");
    bool stopped_ = false;   // the page output was cancelled: no more records
    bool atLastPage_ = false;
    bool lastPageNoted_ = false;
    bool skipNextForcedPage_ = false;
    bool columnBreakPending_ = false;
    bool pageOpen_ = false;
    int64_t cursorX_ = 0;
    int64_t cursorY_ = -1;
    int columnIndex_ = 1;
    int64_t columnTop_ = 0;
    int pageCounter_ = 0;
    Extended footerReserve_ = 0;
    int advanceDepth_ = 0;
    DataSetList dataSets_;
    std::unique_ptr<TQREvEnvironment> environment_;
    TQREvElement* pageEntry_ = nullptr;
    TQREvElement* columnEntry_ = nullptr;
    int recordCount_ = 1;
    int emptyPositions_ = 0;
    FitReport fits_;

    std::map<const TQRCustomBand*, std::unique_ptr<BandRun>> bands_;
    std::vector<std::unique_ptr<GroupRun>> groups_;
    std::vector<std::unique_ptr<ControllerRun>> controllers_;
    std::vector<std::unique_ptr<ElementPrinter>> reportElements_;
    ControllerRun* reportController_ = nullptr;
    BandRun* currentBand_ = nullptr;
    BandRun* pageHeader_ = nullptr;
    BandRun* pageFooter_ = nullptr;
    BandRun* columnHeader_ = nullptr;
};

} // namespace cm
