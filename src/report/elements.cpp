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

QRect TQRPrintable::zoomedBounds() const
{
    const int zoom = size.zoom();
    return zoom == kModelZoom ? bounds : size.pixelRect(zoom);
}

void TQRPrintable::setZoomedEdge(BoundsEdge edge, int value)
{
    if (isLoading()) {
        setEdge(streamedBounds_, edge, value);
        return;
    }
    size.setPixelEdge(edge, value, size.zoom());
    size.applyToControl();
    alignNow();
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
    // What the stream does not store keeps the class's default.
    streamedBounds_ = bounds;
}

void TQRPrintable::afterLoad()
{
    TQRControl::afterLoad();
    // Native values still 0 take the streamed pixel bounds (stored at the
    // report's zoom); then the control follows the stored native values.
    const QRect streamed = streamedBounds_;
    const int zoom = size.zoom();
    auto take = [&](TQRPrintableSize::Index i, int pixels) {
        if (size.values[i] == 0 && pixels != 0)
            size.values[i] = size.fromPixels(pixels, zoom);
    };
    take(TQRPrintableSize::H, streamed.height());
    take(TQRPrintableSize::W, streamed.width());
    take(TQRPrintableSize::T, streamed.top());
    take(TQRPrintableSize::L, streamed.left());
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
