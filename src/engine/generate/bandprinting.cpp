// Printing one band: its rules (scripts, conditions, page ranges), its
// elements, stretching, and content that continues in the next column.
#include "engine/generate/generator.h"

#include "engine/generate/generatorruns.h"
#include "engine/pages/qrprinter.h"

#include <QPainter>

namespace cm {

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

} // namespace cm
