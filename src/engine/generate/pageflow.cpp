// Where the next band goes: room left on the page, column and page breaks,
// page headers and footers.
#include "engine/generate/generator.h"

#include "engine/generate/generatorruns.h"
#include "engine/pages/qrprinter.h"

#include <QPainter>

namespace cm {

namespace {

// Guards against page headers or column headers that never fit.
constexpr int MaxAdvanceDepth = 3;

} // namespace

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

} // namespace cm
