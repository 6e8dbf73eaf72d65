// The walk over the records of a data controller, with its group headers
// and footers.
#include "engine/generate/generator.h"

#include "engine/generate/generatorruns.h"
#include "engine/pages/qrprinter.h"

namespace cm {

namespace {

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

} // namespace cm
