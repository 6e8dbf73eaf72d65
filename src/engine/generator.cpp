#include "engine/generator.h"

#include "engine/elementprinter.h"
#include "engine/qrerror.h"
#include "engine/qrprinter.h"
#include "report/design.h"
#include "report/report.h"

#include <QPainter>

namespace cm {

namespace {

// Guards against page headers or column headers that never fit.
constexpr int MaxAdvanceDepth = 3;

const DesignBandProps* designPropsOf(TQRCustomBand* band)
{
    return band ? band->designProps() : nullptr;
}

bool sameValue(const EvResult& a, const EvResult& b)
{
    if (a.kind != b.kind)
        return false;
    switch (a.kind) {
    case ResultKind::Integer: return a.intResult == b.intResult;
    case ResultKind::Float: return a.dblResult == b.dblResult;
    case ResultKind::String:
    case ResultKind::Error: return a.strResult == b.strResult;
    case ResultKind::Boolean: return a.booResult == b.booResult;
    }
    return true;
}

} // namespace

struct ReportGenerator::BandRun {
    TQRCustomBand* band = nullptr;
    const DesignBandProps* design = nullptr;
    std::vector<std::unique_ptr<ElementPrinter>> elements;
    ControllerRun* notify = nullptr;
    std::unique_ptr<TQREvaluator> condition;
    bool typedAsPageFooter = false;   // a child of the page footer while it prints
    bool lastDecision = false;

    Extended height() const { return band->size.values[0]; }
    Extended width() const { return band->size.values[1]; }
};

struct ReportGenerator::GroupRun {
    TQRGroup* group = nullptr;
    TQREvaluator key;
    EvResult value;
    bool seen = false;
    bool changed = false;
    bool inGroup = false;
    int headerPage = 1;
};

struct ReportGenerator::ControllerRun {
    TQRController* controller = nullptr;
    bool isReport = false;
    DataSet* data = nullptr;
    std::vector<GroupRun*> groups;
    std::vector<ControllerRun*> before;
    std::vector<ControllerRun*> after;
    std::vector<ExprPrinter*> notifyClients;
    int detailNumber = 0;
};

ReportGenerator::ReportGenerator(TQRCustomReport& report, TQRPrinter& output)
    : report_(report), output_(output)
{
}

ReportGenerator::~ReportGenerator() = default;

void ReportGenerator::setScript(const QStringList& script, bool enabled)
{
    scripts_ = std::make_unique<ScriptRunner>(script);
    scripts_->setEnabled(enabled);
    scripts_->setStepBudget(scriptStepBudget_);
    // A long script keeps a user interface live now and then, so that its
    // Close can cancel the run.
    scripts_->setCancelCheck([this, steps = 0u]() mutable {
        if (processEvents_ && (++steps & 0xffffu) == 0)
            processEvents_();
        return cancelRequested_.load(std::memory_order_relaxed);
    });
}

void ReportGenerator::setScriptStepBudget(qint64 steps)
{
    scriptStepBudget_ = steps;
    if (scripts_)
        scripts_->setStepBudget(steps);
}

void ReportGenerator::runScript(const QString& component, ScriptEvent event, EvResult* result)
{
    if (!scripts_ || scripts_->script().isEmpty())
        return;
    const EvResult r = scripts_->RunScript(component, event);
    // A script that runs away ends the whole run: its band's data cannot be trusted.
    if (scripts_->lastRunOverBudget())
        throw EQRError(scripts_->lastError());
    if (result)
        *result = r;
}

// --- PrintContext

QPainter& ReportGenerator::canvas()
{
    QPainter* p = output_.canvas();
    if (!p)
        throw EQRError(QStringLiteral("QRPrinter not ready"));
    return *p;
}

// Printing measures text in model pixels; the report's zoom only scales the design surface.
int ReportGenerator::zoom() const { return kModelZoom; }

bool ReportGenerator::canStretch(Extended amount) const
{
    if (!currentBand_)
        return false;
    return spaceLeft() >= rnd(currentBand_->height() + currentBand_->band->stretchAmount + amount);
}

void ReportGenerator::stretchBand(Extended amount, Extended& growth, bool& hasGrown)
{
    if (!canStretch(amount))
        return;
    Extended& stretch = currentBand_->band->stretchAmount;
    // Elements of one band share the growth: the band grows to the largest need.
    if (!hasGrown && amount < stretch) {
        growth = stretch;
        hasGrown = true;
        return;
    }
    stretch += amount;
    growth = stretch;
    hasGrown = true;
}

Extended ReportGenerator::bandExpansion() const
{
    return currentBand_ ? currentBand_->band->stretchAmount : 0;
}

QString ReportGenerator::reportTitle() const { return report_.reportTitle; }
int ReportGenerator::detailCount() const { return recordCount_; }
int ReportGenerator::detailNumber() const { return reportController_ ? reportController_->detailNumber : 0; }

void ReportGenerator::noteTextClipped(const Component& element)
{
    fits_.note(&element, element.name(), pageCounter_);
}

void ReportGenerator::registerAggregate(ExprPrinter* client, Component* master)
{
    ControllerRun* target = reportController_;
    if (master && master != &report_) {
        for (auto& c : controllers_) {
            if (c->controller->owner() == master)
                target = c.get();
        }
    }
    if (target)
        target->notifyClients.push_back(client);
}

// --- set-up

ReportGenerator::BandRun* ReportGenerator::runOf(TQRCustomBand* band)
{
    if (!band)
        return nullptr;
    auto it = bands_.find(band);
    return it == bands_.end() ? nullptr : it->second.get();
}

ReportGenerator::ControllerRun* ReportGenerator::buildController(TQRController& controller, bool isReport)
{
    auto run = std::make_unique<ControllerRun>();
    ControllerRun* c = run.get();
    controllers_.push_back(std::move(run));
    c->controller = &controller;
    c->isReport = isReport;
    if (controller.dataSet)
        c->data = controller.dataSet->dataSet();
    for (TQRGroup* g : controller.groups) {
        auto group = std::make_unique<GroupRun>();
        group->group = g;
        group->key.SetDataSets(&dataSets_);
        group->key.SetEnvironment(environment_.get());
        try {
            group->key.Prepare(g->expression);
        } catch (const EvaluatorException&) {
        }
        c->groups.push_back(group.get());
        groups_.push_back(std::move(group));
    }
    for (TQRController* sub : controller.beforeList)
        c->before.push_back(buildController(*sub, false));
    for (TQRController* sub : controller.afterList)
        c->after.push_back(buildController(*sub, false));
    if (BandRun* detail = runOf(controller.detail))
        detail->notify = c;
    return c;
}

void ReportGenerator::setUp()
{
    report_.orderBands();   // also rebuilds the controller tree
    dataSets_.clear();
    if (Container* form = report_.owner()) {
        for (auto* d : form->componentsOf<TDataSetComponent>()) {
            if (DataSet* ds = d->dataSet())
                dataSets_.push_back(ds);
        }
    }
    if (TDataSetComponent* d = report_.dataSet()) {
        DataSet* ds = d->dataSet();
        if (ds && ds->isOpen() && std::find(dataSets_.begin(), dataSets_.end(), ds) == dataSets_.end())
            dataSets_.push_back(ds);
    }
    if (scripts_)
        scripts_->setDataSets(&dataSets_);

    globalEnvironment().Prepare();
    environment_ = makeReportEnvironment();
    environment_->SetDataSets(&dataSets_);
    environment_->Prepare();
    pageEntry_ = environment_->ElementOf(QStringLiteral("PAGENUMBER"));
    columnEntry_ = environment_->ElementOf(QStringLiteral("COLUMNNUMBER"));
    if (TQREvElement* title = environment_->ElementOf(QStringLiteral("REPORTTITLE")))
        TQREvEnvironment::SetString(title, report_.reportTitle);

    for (TQRCustomBand* band : report_.bandList()) {
        auto run = std::make_unique<BandRun>();
        run->band = band;
        run->design = designPropsOf(band);
        band->stretchAmount = 0;
        if (run->design && !run->design->expression.isEmpty()) {
            run->condition = std::make_unique<TQREvaluator>();
            run->condition->SetDataSets(&dataSets_);
            run->condition->SetEnvironment(environment_.get());
            try {
                run->condition->Prepare(run->design->expression);
            } catch (const EvaluatorException&) {
                run->condition.reset();
            }
        }
        for (Component* child : band->childControls()) {
            if (auto* e = dynamic_cast<TQRPrintable*>(child)) {
                if (auto printer = makeElementPrinter(*e))
                    run->elements.push_back(std::move(printer));
            }
        }
        bands_[band] = std::move(run);
    }
    for (Component* child : report_.childControls()) {
        if (auto* e = dynamic_cast<TQRPrintable*>(child)) {
            if (auto printer = makeElementPrinter(*e))
                reportElements_.push_back(std::move(printer));
        }
    }
    auto enabledBand = [this](TQRBandType t) {
        for (TQRCustomBand* b : report_.bandList()) {
            if (b->bandType() == t && b->enabled())
                return runOf(b);
        }
        return static_cast<BandRun*>(nullptr);
    };
    pageHeader_ = runOf(report_.firstBandOfType(TQRBandType::rbPageHeader));
    pageFooter_ = runOf(report_.firstBandOfType(TQRBandType::rbPageFooter));
    columnHeader_ = enabledBand(TQRBandType::rbColumnHeader);
    reportController_ = buildController(report_.controller(), true);

    for (auto& [band, run] : bands_)
        for (auto& e : run->elements)
            e->startRun(*this);
    for (auto& e : reportElements_)
        e->startRun(*this);
}

void ReportGenerator::tearDown()
{
    for (auto& [band, run] : bands_) {
        for (auto& e : run->elements)
            e->endRun(*this);
        run->band->stretchAmount = 0;
    }
    for (auto& e : reportElements_)
        e->endRun(*this);
    reportElements_.clear();
    controllers_.clear();
    groups_.clear();
    bands_.clear();
    reportController_ = nullptr;
    currentBand_ = pageHeader_ = pageFooter_ = columnHeader_ = nullptr;
    pageEntry_ = columnEntry_ = nullptr;
    if (environment_) {
        environment_->Unprepare();
        environment_.reset();
        globalEnvironment().Unprepare();
    }
    dataSets_.clear();
}

// --- the run

bool ReportGenerator::generate()
{
    if (!idle_)
        return false;
    idle_ = false;
    cancelRequested_ = false;
    stopped_ = atLastPage_ = lastPageNoted_ = false;
    skipNextForcedPage_ = columnBreakPending_ = pageOpen_ = false;
    fits_.clear();
    struct IdleGuard {
        ReportGenerator& g;
        ~IdleGuard() { g.idle_ = true; }
    } guard{*this};

    EvResult verdict;
    runScript(report_.name(), ScriptEvent::BeforePrint, &verdict);
    if (scriptVetoes(verdict))
        return false;

    const TQRPage& page = report_.page;
    TQRPageSetup setup;
    setup.paperSize = page.paperSize();
    setup.orientation = page.orientation();
    const PaperDimensions dims = paperDimensions(page.paperSize());
    if (isNamedPaper(page.paperSize())) {
        setup.paperWidth = dims.widthMM * 10;
        setup.paperLength = dims.lengthMM * 10;
    } else {
        // Custom paper is the page itself, given portrait.
        const bool landscape = page.orientation() == TQROrientation::poLandscape;
        setup.paperWidth = rnd(landscape ? page.values[TQRPage::Len] : page.values[TQRPage::Wid]);
        setup.paperLength = rnd(landscape ? page.values[TQRPage::Wid] : page.values[TQRPage::Len]);
    }
    setup.leftMargin = page.values[TQRPage::Left];
    setup.rightMargin = page.values[TQRPage::Right];
    setup.topMargin = page.values[TQRPage::Top];
    setup.bottomMargin = page.values[TQRPage::Bottom];
    output_.setPageSetup(setup);
    output_.setPrinterSettings(report_.printerSettings);
    output_.setTitle(report_.reportTitle);
    output_.setCompression(report_.options.bits & Compression);
    output_.openDocument();
    cursorY_ = -1;
    pageCounter_ = 0;
    columnIndex_ = page.columns();

    try {
        setUp();
        footerReserve_ = 0;
        for (TQRCustomBand* b : report_.bandList()) {
            if (b->bandType() != TQRBandType::rbPageFooter || !b->enabled())
                continue;
            footerReserve_ += b->size.values[0];
            int guard = 0;
            for (TQRChildBand* c = b->findChild(); c && guard < 1000; c = c->findChild(), ++guard)
                footerReserve_ += c->size.values[0];
        }
        cursorX_ = rnd(page.values[TQRPage::Left]);
        runRecords(*reportController_);
        cursorX_ = rnd(page.values[TQRPage::Left]);
        atLastPage_ = true;
        if (!cancelRequested_)
            closePage();
    } catch (...) {
        tearDown();
        output_.abortDocument();
        throw;
    }
    tearDown();
    if (cancelRequested_)
        output_.abortDocument();
    else
        output_.closeDocument();
    return true;
}

void ReportGenerator::runRecords(ControllerRun& c)
{
    for (GroupRun* g : c.groups)
        g->seen = false;
    TQRController& ctl = *c.controller;
    DataSet* data = c.data && c.data->isOpen() ? c.data : nullptr;
    if (!data) {
        if (ctl.printIfEmpty)
            printEmpty(c);
        return;
    }
    data->first();
    bool more = !data->eof();
    if (c.isReport)
        recordCount_ = data->recordCount();
    if (!more && ctl.printIfEmpty)
        printEmpty(c);
    c.detailNumber = 0;
    BandRun* detail = runOf(ctl.detail);
    if (detail)
        detail->notify = &c;
    if (!more)
        return;
    if (processEvents_)
        processEvents_();
    if (cancelRequested_)
        return;
    outputBand(runOf(ctl.header));
    // The first forced break after the title is skipped, but only when the
    // title started a page: otherwise the first record would take it instead.
    if (c.isReport && pageCounter_ > 0)
        skipNextForcedPage_ = true;
    if (c.isReport && pageCounter_ <= 1 && columnHeader_) {
        outputBand(columnHeader_);
        skipNextForcedPage_ = pageCounter_ > 0;
    }
    // Positions already used on a partly used sheet: each takes one card's
    // room, so the first card lands on the next free one.
    if (c.isReport && detail) {
        for (int i = 0; i < emptyPositions_; ++i) {
            ensureRoom(*detail);
            cursorY_ += rnd(detail->height());
        }
    }
    testGroupKeys(c);
    while (more) {
        if (processEvents_)
            processEvents_();
        if (output_.cancelled() || cancelRequested_)
            stopped_ = true;
        if (stopped_)
            return;
        ++c.detailNumber;
        emitGroupHeaders(c);
        for (ControllerRun* sub : c.before)
            runRecords(*sub);
        outputBand(detail);
        if (c.isReport && recordPrinted_ && detail && detail->lastDecision)
            recordPrinted_(data->recordNumber(), pageCounter_);
        for (ControllerRun* sub : c.after)
            runRecords(*sub);
        data->next();
        more = !data->eof();
        if (testGroupKeys(c)) {
            // Footers print while the group's last record is current.
            if (more) {
                data->prior();
                emitGroupFooters(c);
                data->next();
            } else {
                emitGroupFooters(c);
            }
        }
        if (c.isReport && recordCount_ > 0) {
            const int percent = int(qint64(c.detailNumber) * 100 / recordCount_);
            output_.setProgress(percent);
            if (progress_)
                progress_(percent);
        }
    }
    for (GroupRun* g : c.groups)
        g->changed = !g->changed;
    emitGroupFooters(c);
    if (BandRun* footer = runOf(ctl.footer)) {
        if (pageCounter_ == 0)
            openPage();
        outputBand(footer);
    }
}

void ReportGenerator::printEmpty(ControllerRun& c)
{
    TQRController& ctl = *c.controller;
    outputBand(runOf(ctl.header));
    for (ControllerRun* sub : c.before)
        runRecords(*sub);
    outputBand(runOf(ctl.detail));
    for (ControllerRun* sub : c.after)
        runRecords(*sub);
    outputBand(runOf(ctl.footer));
}

// --- groups

void ReportGenerator::storeKey(GroupRun& g)
{
    try {
        g.value = g.key.Prepared() ? g.key.Value() : EvResult::error();
    } catch (const EvaluatorException& e) {
        g.value = EvResult::error(e.message());
    }
}

bool ReportGenerator::keyChanged(GroupRun& g)
{
    g.changed = false;
    if (!g.seen) {
        storeKey(g);
        g.changed = g.seen = true;
        return true;
    }
    const EvResult old = g.value;
    storeKey(g);
    g.changed = !sameValue(old, g.value);
    return g.changed;
}

bool ReportGenerator::testGroupKeys(ControllerRun& c)
{
    bool changed = false;
    for (GroupRun* g : c.groups) {
        if (changed) {
            storeKey(*g);
            g->changed = g->seen = true;
        } else {
            changed = keyChanged(*g);
        }
    }
    return changed;
}

void ReportGenerator::emitGroupHeaders(ControllerRun& c)
{
    for (GroupRun* g : c.groups) {
        if (!g->changed)
            continue;
        outputBand(runOf(g->group));
        g->inGroup = true;
        g->headerPage = pageCounter_;
    }
}

void ReportGenerator::emitGroupFooters(ControllerRun& c)
{
    for (auto it = c.groups.rbegin(); it != c.groups.rend(); ++it) {
        GroupRun* g = *it;
        if (!g->changed)
            continue;
        outputBand(runOf(g->group->footerBand()));
        g->inGroup = false;
    }
}

void ReportGenerator::repeatGroupHeaders(ControllerRun& c)
{
    for (GroupRun* g : c.groups) {
        if (g->changed)
            return;   // headers are about to print anyway
    }
    for (ControllerRun* sub : c.before)
        repeatGroupHeaders(*sub);
    bool marked = false;
    for (GroupRun* g : c.groups) {
        if (marked) {
            storeKey(*g);
            g->changed = g->seen = true;
        } else if (g->group->reprintOnNewPage && g->inGroup && g->headerPage != pageCounter_) {
            g->headerPage = pageCounter_;
            g->changed = marked = true;
        }
    }
    if (marked) {
        emitGroupHeaders(c);
        // They were reprinted; the record loop decides afresh on the next record.
        for (GroupRun* g : c.groups)
            g->changed = false;
    }
    for (ControllerRun* sub : c.after)
        repeatGroupHeaders(*sub);
}

// --- bands

bool ReportGenerator::isPageBand(const BandRun& b) const
{
    switch (b.band->bandType()) {
    case TQRBandType::rbTitle:
    case TQRBandType::rbPageHeader:
    case TQRBandType::rbPageFooter:
    case TQRBandType::rbOverlay:
        return true;
    default:
        return b.typedAsPageFooter;
    }
}

void ReportGenerator::outputBand(BandRun* b)
{
    if (!b || b->band->bandType() == TQRBandType::rbOverlay)
        return;
    if (b->band->alignToBottom) {
        if (b->band->bandType() == TQRBandType::rbSummary && !(report_.options.bits & LastPageFooter))
            footerReserve_ = 0;
        const int64_t target = rnd(pageBottom() - b->height() - footerReserve_);
        if (cursorY_ < target)
            cursorY_ = target;
    }
    emitBand(*b);
}

bool ReportGenerator::bandRules(BandRun& b)
{
    const DesignBandProps* d = b.design;
    if (!d)
        return true;
    TQRCustomBand* band = b.band;
    if (band->bandType() == TQRBandType::rbSummary)
        lastPageNoted_ = true;
    EvResult verdict;
    runScript(band->name(), ScriptEvent::BeforePrint, &verdict);
    if (scriptVetoes(verdict))
        return false;
    if (!d->editorEnabled)
        return false;
    bool decision = true;
    if (b.condition) {
        try {
            const EvResult r = b.condition->Value();
            if (r.kind == ResultKind::Boolean)
                decision = r.booResult;
        } catch (const EvaluatorException&) {
        }
    }
    if (!decision)
        return false;
    const bool pageFooter = band->bandType() == TQRBandType::rbPageFooter || b.typedAsPageFooter;
    // The last page is known from the summary band, or when the run closes its final page.
    if (pageFooter && d->notOnLastPage && (lastPageNoted_ || atLastPage_))
        return false;
    if (auto* group = dynamic_cast<TQRGroup*>(band)) {
        TQRCustomBand* governed = nullptr;
        if (!group->master() || group->master() == &report_)
            governed = report_.firstBandOfType(TQRBandType::rbDetail);
        else
            governed = dynamic_cast<TQRCustomBand*>(group->master());
        if (BandRun* detail = runOf(governed)) {
            for (auto& e : detail->elements) {
                auto* field = dynamic_cast<TQRDesignDBText*>(&e->element());
                if (field && field->reprintOnNewGroup)
                    e->forgetLastValue();
            }
        }
    }
    int s = d->startPageNum, e = d->endPageNum, k = d->pageStep;
    if (s != 0 || e != 0 || k > 1 || d->notOnFirstPage) {
        if (s == 0) s = 1;
        if (e == 0) e = 9999999;
        if (k == 0) k = 1;
        const int p = pageCounter_;
        decision = p >= s && p <= e && !(p == 1 && d->notOnFirstPage) && (p - s) % k == 0;
    }
    return decision;
}

void ReportGenerator::emitBand(BandRun& b)
{
    TQRCustomBand* band = b.band;
    bool print = band->enabled();
    if (print)
        print = bandRules(b);
    b.lastDecision = print;
    if (print) {
        const bool started = pageCounter_ > 0;
        if (band->forceNewPage && !isPageBand(b) && started)
            breakPage();
        else if (band->forceNewColumn && !isPageBand(b) && started)
            breakColumn();
        else
            ensureRoom(b);
        if (b.notify) {
            for (ExprPrinter* client : b.notify->notifyClients)
                client->notifyDetail();
        }
        if (band->bounds.height() != 0 && b.height() != 0) {
            BandRun* outer = currentBand_;
            currentBand_ = &b;
            QPainter& p = canvas();
            auto bandRect = [&](Extended extra) {
                const int64_t x0 = output_.deviceX(cursorX_), y0 = output_.deviceY(cursorY_);
                const int64_t x1 = output_.deviceX(cursorX_ + b.width());
                const int64_t y1 = output_.deviceY(cursorY_ + b.height() + extra);
                return QRect(int(x0), int(y0), int(x1 - x0), int(y1 - y0));
            };
            if (band->color() != clWhite)
                fillArea(p, bandRect(0), toQColor(band->color()));
            band->stretchAmount = 0;
            bool first = true;
            bool done = false;
            while (!done) {
                done = true;
                bool advanced = first;
                for (auto& e : b.elements) {
                    if (!e->element().enabled())
                        continue;
                    if (first || !e->contentComplete()) {
                        e->printAt(*this, cursorX_, cursorY_);
                        advanced = advanced || e->advanced();
                    }
                    done = done && e->contentComplete();
                }
                // Content that cannot fit even on a fresh page would repeat for
                // ever; what is left of it is dropped.
                if (!advanced) {
                    for (auto& e : b.elements) {
                        if (!e->contentComplete())
                            noteTextClipped(e->element());
                    }
                    done = true;
                }
                paintFrame(canvas(), band->frame, bandRect(band->stretchAmount + 1), output_.xFactor(), output_.yFactor());
                if (!done) {
                    advanceColumn();
                    band->stretchAmount = 0;
                }
                first = false;
            }
            cursorY_ += rnd(b.height() + band->stretchAmount);
            currentBand_ = outer;
        }
    } else if (!band->enabled() && b.notify) {
        // A disabled detail band still feeds the aggregates.
        for (ExprPrinter* client : b.notify->notifyClients)
            client->notifyDetail();
    }
    if (b.design)
        runScript(band->name(), ScriptEvent::AfterPrint);
    if (TQRChildBand* child = band->findChild()) {
        if (BandRun* c = runOf(child)) {
            c->typedAsPageFooter = band->bandType() == TQRBandType::rbPageFooter || b.typedAsPageFooter;
            outputBand(c);
            c->typedAsPageFooter = false;
        }
    }
}

Extended ReportGenerator::chainHeight(const TQRCustomBand* band) const
{
    Extended h = 0;
    // Link chains cannot loop (the model refuses it); the bound is a second guard.
    for (int n = 0; band && n < 1000; ++n, band = band->linkBand())
        h += band->size.values[0];
    return h;
}

Extended ReportGenerator::pageBottom() const
{
    const TQRPageSetup& s = output_.pageSetup();
    const bool landscape = s.orientation == TQROrientation::poLandscape && s.paperSize != TQRPaperSize::Custom;
    return (landscape ? s.paperWidth : s.paperLength) - report_.page.values[TQRPage::Bottom];
}

int64_t ReportGenerator::spaceLeft() const
{
    if (idle_ || cursorY_ == -1)
        return 0;
    return rnd(pageBottom() - footerReserve_ - cursorY_);
}

void ReportGenerator::ensureRoom(BandRun& b)
{
    const TQRPage& page = report_.page;
    const int64_t h = rnd(chainHeight(b.band));
    const bool headerOrFooter = b.typedAsPageFooter || b.band->bandType() == TQRBandType::rbPageFooter
        || b.band->bandType() == TQRBandType::rbPageHeader;
    // A band taller than the whole page prints where it is.
    const Extended usable = page.values[TQRPage::Len] - (page.values[TQRPage::Top] + page.values[TQRPage::Bottom]);
    const bool canAdvance = !headerOrFooter && advanceDepth_ < MaxAdvanceDepth;
    if (canAdvance && h > spaceLeft() && h <= usable)
        advanceColumn();
    else if (pageCounter_ == 0)
        advanceColumn();
    else if (canAdvance && h > usable && cursorY_ > columnTop_)
        advanceColumn();   // an oversized band still starts a fresh column, not below the page's end
}

void ReportGenerator::advanceColumn()
{
    ++advanceDepth_;
    struct DepthGuard {
        int& depth;
        ~DepthGuard() { --depth; }
    } guard{advanceDepth_};
    const TQRPage& page = report_.page;
    const int columns = std::max(1, page.columns());
    if (columnIndex_ >= columns) {
        columnIndex_ = 1;
        cursorX_ = rnd(page.values[TQRPage::Left]);
        openPage();
    } else {
        int64_t cw = 0;
        if (BandRun* detail = runOf(report_.firstBandOfType(TQRBandType::rbDetail)))
            cw = rnd(detail->width());
        else
            cw = (rnd(page.values[TQRPage::Wid] - (page.values[TQRPage::Left] + page.values[TQRPage::Right]))
                  - rnd(page.values[TQRPage::ColSpace]) * (columns - 1)) / columns;
        cursorX_ += rnd(page.values[TQRPage::ColSpace]) + cw;
        cursorY_ = columnTop_;
        ++columnIndex_;
    }
    if (columnEntry_)
        TQREvEnvironment::SetInteger(columnEntry_, columnIndex_);
    if (!(pageCounter_ == 1 && columnIndex_ == 1)) {
        outputBand(columnHeader_);
        repeatGroupHeaders(*reportController_);
    }
}

void ReportGenerator::openPage()
{
    closePage();
    ++pageCounter_;
    if (pageEntry_)
        TQREvEnvironment::SetInteger(pageEntry_, pageCounter_);
    output_.turnPage();
    pageOpen_ = true;
    const TQRPage& page = report_.page;
    cursorY_ = rnd(page.values[TQRPage::Top]);
    runScript(report_.name(), ScriptEvent::StartPage);
    if (pageCounter_ > 1 || (report_.options.bits & FirstPageHeader))
        outputBand(pageHeader_);
    columnTop_ = cursorY_;
    if (pageCounter_ == 1) {
        if (TQRCustomBand* title = report_.firstBandOfType(TQRBandType::rbTitle))
            columnTop_ += rnd(title->size.values[0]);
    }
}

void ReportGenerator::closePage()
{
    if (!pageOpen_)
        return;
    const TQRPage& page = report_.page;
    cursorY_ = rnd(page.values[TQRPage::Len] - page.values[TQRPage::Bottom] - footerReserve_);
    cursorX_ = rnd(page.values[TQRPage::Left]);
    if (!(atLastPage_ && !(report_.options.bits & LastPageFooter)))
        outputBand(pageFooter_);
    for (auto& e : reportElements_) {
        if (e->element().enabled())
            e->printAt(*this, 0, 0);
    }
    const int64_t x0 = output_.deviceX(page.values[TQRPage::Left]);
    const int64_t y0 = output_.deviceY(page.values[TQRPage::Top]);
    const int64_t x1 = output_.deviceX(page.values[TQRPage::Wid] - page.values[TQRPage::Right]);
    const int64_t y1 = output_.deviceY(page.values[TQRPage::Len] - page.values[TQRPage::Bottom]);
    paintFrame(canvas(), report_.frame, QRect(int(x0), int(y0), int(x1 - x0), int(y1 - y0)), output_.xFactor(),
               output_.yFactor());
    runScript(report_.name(), ScriptEvent::EndPage);
    pageOpen_ = false;
}

void ReportGenerator::breakPage()
{
    if (idle_)
        return;
    if (skipNextForcedPage_) {
        skipNextForcedPage_ = false;
        return;
    }
    do {
        advanceColumn();
    } while (columnIndex_ != 1);
}

void ReportGenerator::breakColumn()
{
    if (idle_)
        return;
    if (columnBreakPending_ || columnIndex_ > 1)
        advanceColumn();
    else
        columnBreakPending_ = true;
}

bool ReportGenerator::resetExpression(QStringView elementName)
{
    for (auto& [band, run] : bands_) {
        for (auto& e : run->elements) {
            auto* expr = dynamic_cast<ExprPrinter*>(e.get());
            if (expr && expr->element().name().compare(elementName, Qt::CaseInsensitive) == 0) {
                expr->reset();
                return true;
            }
        }
    }
    return false;
}

std::optional<bool> ReportGenerator::groupPrinted(QStringView bandName) const
{
    for (const auto& [band, run] : bands_) {
        if (dynamic_cast<const TQRGroup*>(band) && band->name().compare(bandName, Qt::CaseInsensitive) == 0)
            return run->lastDecision;
    }
    return std::nullopt;
}

bool ReportGenerator::newPage()
{
    if (idle_ || !pageOpen_)
        return false;
    openPage();
    return true;
}

} // namespace cm
