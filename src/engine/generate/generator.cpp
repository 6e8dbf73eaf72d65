#include "engine/generate/generator.h"

#include "engine/generate/generatorruns.h"
#include "engine/pages/qrprinter.h"
#include "engine/qrerror.h"

#include <QPainter>

namespace cm {

namespace {

const DesignBandProps* designPropsOf(TQRCustomBand* band)
{
    return band ? band->designProps() : nullptr;
}

} // namespace

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
