// Preparing the report for preview and print, and one generation run.
#include "designer/designercore.h"

#include "designer/document.h"
#include "engine/generate/generator.h"
#include "engine/generate/modelaccess.h"
#include "engine/pages/qrprinter.h"
#include "report/design.h"

namespace cm {

namespace {

constexpr int kHiddenSummaryHeight = 2;

bool followsBand(Component* c)
{
    auto* e = dynamic_cast<TQRPrintable*>(c);
    const DesignElementProps* d = e ? e->designProps() : nullptr;
    return d && (d->fixBottomPosition || d->stretchHeightWithBand);
}

} // namespace

bool DesignerCore::prepare()
{
    if (prepared_)
        return true;
    // Query parameters without a value are asked for; cancelling stops the output.
    if (!document_.loader().prepareQueryParams())
        return false;
    prepared_ = true;
    TQRDesignReport& report = document_.report();
    Container* owner = report.owner();

    // Elements that follow the band's height print after the others.
    for (Component* c : owner->components()) {
        if (followsBand(c) && c->parentControl())
            c->parentControl()->moveChild(c, int(c->parentControl()->childControls().size()) - 1);
    }

    // A footer that skips the last page needs the summary band to learn
    // where the last page is; a report without one gets a hidden one.
    bool notOnLastPage = false, hasSummary = false;
    for (auto* band : owner->componentsOf<TQRDesignBand>()) {
        notOnLastPage = notOnLastPage || band->d.notOnLastPage;
        hasSummary = hasSummary || band->bandType() == TQRBandType::rbSummary;
    }
    if (notOnLastPage && !hasSummary) {
        auto* band = new TQRDesignBand(owner);
        band->setParentControl(&report);
        band->setBandType(TQRBandType::rbSummary);
        band->d.editorEnabled = false;
        band->d.qrDesigner = &document_.loader();
        band->size.pushPixelUnits();
        band->size.setHeight(kHiddenSummaryHeight);
        band->size.popUnits();
        hiddenSummary_ = band;
        report.orderBands();
        report.arrangeBands();
    }
    return true;
}

void DesignerCore::finish()
{
    if (!prepared_)
        return;
    prepared_ = false;
    // Values typed in for this output last only for it.
    document_.loader().restoreQueryParams();
    if (hiddenSummary_) {
        destroyComponent(hiddenSummary_);
        hiddenSummary_ = nullptr;
        document_.report().orderBands();
        document_.report().arrangeBands();
    }
}

void DesignerCore::resetDataFieldCaptions()
{
    for (auto* t : document_.report().owner()->componentsOf<TQRDesignDBText>()) {
        const DataSet* ds = t->dataSet ? t->dataSet->dataSet() : nullptr;
        const int index = ds ? ds->fieldIndex(t->dataField()) : -1;
        if (index >= 0)
            t->setCaption(ds->field(index).label());
    }
}

bool DesignerCore::runReport(TQRPrinter& output, OutputKind kind, std::function<void()> processEvents,
                             std::function<void(int)> progress, const RunExtras& extras)
{
    if (generator_ || !prepare())
        return false;
    TQRDesignReport& report = document_.report();
    TQRDesigner& loader = document_.loader();
    ScriptRunner scripts(loader.script.lines);
    scripts.setEnabled(loader.scriptsEnabled && options_.scriptsEnabled);

    ReportGenerator generator(report, output);
    generator.setScript(loader.script.lines, loader.scriptsEnabled && options_.scriptsEnabled);
    generator.setProcessEvents(std::move(processEvents));
    generator.setProgress(std::move(progress));
    generator.setEmptyPositions(extras.emptyPositions);
    if (extras.recordPrinted)
        generator.setRecordPrinted(extras.recordPrinted);

    // finish() and the run pointer are restored on every way out, errors included.
    struct RunGuard {
        DesignerCore& core;
        TQRPrinter& output;
        OutputKind kind;
        bool ok = false;
        ~RunGuard()
        {
            core.generator_ = nullptr;
            if (!ok && kind == OutputKind::Preview)
                output.cleanup();
            core.finish();
            if (kind == OutputKind::Preview)
                core.resetDataFieldCaptions();
        }
    } guard{*this, output, kind};
    generator_ = &generator;
    fitWarnings_.clear();

    bool generated = false;
    {
        ScopedModelAccess access(&generator);
        generated = generator.generate();
        fitWarnings_ = generator.fitReport().warnings();
        if (generated)
            scripts.RunScript(report.name(), ScriptEvent::AfterPrint);
    }
    if (kind == OutputKind::Preview) {
        const QString reportName = report.name();
        const QStringList lines = loader.script.lines;
        const bool enabled = scripts.enabled();
        std::function<void()> previous = output.afterPreview;
        output.afterPreview = [reportName, lines, enabled, previous] {
            ScriptRunner after(lines);
            after.setEnabled(enabled);
            after.RunScript(reportName, ScriptEvent::AfterPreview);
            if (previous)
                previous();
        };
    }
    guard.ok = true;
    return generated;
}

void DesignerCore::cancelRun()
{
    if (generator_)
        generator_->requestCancel();
}

} // namespace cm
