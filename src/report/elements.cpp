#include "report/elements.h"

#include "report/bands.h"
#include "report/report.h"

namespace cm {

TQRPrintable::TQRPrintable(Container* owner)
    : TQRControl(owner)
{
    size.control = this;
    bounds = QRect(0, 0, 10, 10);
}

void TQRPrintable::parentChanged()
{
    TQRControl::parentChanged();
    if (auto* band = dynamic_cast<TQRCustomBand*>(parentControl()))
        size.changeUnit(band->size.currentUnit());
    else if (auto* r = dynamic_cast<TQRCustomReport*>(parentControl()))
        size.changeUnit(r->units());
    else
        size.changeUnit(TQRUnit::Native);
    if (TQRCustomReport* r = report()) {
        size.reportFont = &r->font();
        size.setZoom(r->zoom());
    }
    if (!isLoading())
        size.applyToControl();
}

void TQRPrintable::applyZoom(int zoom)
{
    size.setZoom(zoom);
    size.applyToControl();
}

void TQRPrintable::alignNow()
{
    auto* band = dynamic_cast<TQRCustomBand*>(parentControl());
    if (!alignToBand_ || !band || isLoading())
        return;
    const int bandWidth = band->bounds.width();
    int left = 0;
    switch (alignment_) {
    case TAlignment::taLeftJustify: left = 0; break;
    case TAlignment::taRightJustify: left = bandWidth - bounds.width(); break;
    case TAlignment::taCenter: left = (bandWidth - bounds.width()) / 2; break;
    }
    bounds.moveLeft(left);
    size.takeControlBounds();
}

void TQRPrintable::beginLoad()
{
    TQRControl::beginLoad();
}

void TQRPrintable::afterLoad()
{
    TQRControl::afterLoad();
    // Native values still 0 take the streamed pixel bounds; then the control
    // follows the stored native values.
    const QRect streamed = bounds;
    size.pushPixelUnits();
    if (size.values[TQRPrintableSize::H] == 0 && streamed.height() != 0)
        size.values[TQRPrintableSize::H] = size.toNative(streamed.height(), false);
    if (size.values[TQRPrintableSize::W] == 0 && streamed.width() != 0)
        size.values[TQRPrintableSize::W] = size.toNative(streamed.width(), true);
    if (size.values[TQRPrintableSize::T] == 0 && streamed.top() != 0)
        size.values[TQRPrintableSize::T] = size.toNative(streamed.top(), false);
    if (size.values[TQRPrintableSize::L] == 0 && streamed.left() != 0)
        size.values[TQRPrintableSize::L] = size.toNative(streamed.left(), true);
    size.popUnits();
    size.afterLoad();
}

TQRCustomLabel::TQRCustomLabel(Container* owner)
    : TQRPrintable(owner)
{
}

void TQRCustomLabel::afterLoad()
{
    TQRPrintable::afterLoad();
    if (streamedFontSize > 0 && font().size() != streamedFontSize)
        font().setSize(streamedFontSize);
}

void TQRExpr::setExpression(const QString& e)
{
    expression_ = e;
    setCaption(e.isEmpty() ? QStringLiteral("(none)") : e);
}

void TQRDBCalc::updateExpression()
{
    switch (operation_) {
    case TQRCalcOperation::qrcSum: setExpression(QStringLiteral("Sum(") + dataField_ + u')'); break;
    case TQRCalcOperation::qrcCount: setExpression(QStringLiteral("Count")); break;
    case TQRCalcOperation::qrcMax: setExpression(QStringLiteral("Max(") + dataField_ + u')'); break;
    case TQRCalcOperation::qrcMin: setExpression(QStringLiteral("Min(") + dataField_ + u')'); break;
    case TQRCalcOperation::qrcAverage: setExpression(QStringLiteral("Average(") + dataField_ + u')'); break;
    }
}

TQRSysData::TQRSysData(Container* owner)
    : TQRCustomLabel(owner)
{
    updateCaption();
}

QString TQRSysData::designCaption(TQRSysDataType d)
{
    switch (d) {
    case TQRSysDataType::qrsTime: return QStringLiteral("(Time)");
    case TQRSysDataType::qrsDate: return QStringLiteral("(Date)");
    case TQRSysDataType::qrsDateTime: return QStringLiteral("(Date/Time)");
    case TQRSysDataType::qrsPageNumber: return QStringLiteral("(Page#)");
    case TQRSysDataType::qrsReportTitle: return QStringLiteral("(Report title)");
    case TQRSysDataType::qrsDetailCount: return QStringLiteral("(Detail count)");
    case TQRSysDataType::qrsDetailNo: return QStringLiteral("(Detail no)");
    }
    return {};
}

void TQRSysData::updateCaption() { setCaption(text_ + designCaption(data_)); }

TQRShape::TQRShape(Container* owner)
    : TQRPrintable(owner)
{
    bounds = QRect(0, 0, 65, 65);
}

TQRImage::TQRImage(Container* owner)
    : TQRPrintable(owner)
{
    bounds = QRect(0, 0, 105, 105);
}

TQRDBImage::TQRDBImage(Container* owner)
    : TQRPrintable(owner)
{
    bounds = QRect(0, 0, 105, 105);
}

TQRCustomRichText::TQRCustomRichText(Container* owner)
    : TQRPrintable(owner)
{
    bounds = QRect(0, 0, 100, 100);
}

} // namespace cm
