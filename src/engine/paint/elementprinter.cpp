#include "engine/paint/elementprinter.h"

#include "engine/pages/qrprinter.h"

#include <QFileInfo>
#include <QPainter>

namespace cm {

namespace {

constexpr Extended NativePerInch = 254;
constexpr Extended PointsPerInch = 72;

const DesignElementProps* designPropsOf(TQRPrintable& e) { return e.designProps(); }

Qt::PenStyle penStyle(TPenStyle s)
{
    switch (s) {
    case TPenStyle::psDash: return Qt::DashLine;
    case TPenStyle::psDot: return Qt::DotLine;
    case TPenStyle::psDashDot: return Qt::DashDotLine;
    case TPenStyle::psDashDotDot: return Qt::DashDotDotLine;
    case TPenStyle::psClear: return Qt::NoPen;
    case TPenStyle::psSolid:
    case TPenStyle::psInsideFrame: break;
    }
    return Qt::SolidLine;
}

Qt::BrushStyle brushStyle(TBrushStyle s)
{
    switch (s) {
    case TBrushStyle::bsClear: return Qt::NoBrush;
    case TBrushStyle::bsHorizontal: return Qt::HorPattern;
    case TBrushStyle::bsVertical: return Qt::VerPattern;
    case TBrushStyle::bsFDiagonal: return Qt::FDiagPattern;
    case TBrushStyle::bsBDiagonal: return Qt::BDiagPattern;
    case TBrushStyle::bsCross: return Qt::CrossPattern;
    case TBrushStyle::bsDiagCross: return Qt::DiagCrossPattern;
    case TBrushStyle::bsSolid: break;
    }
    return Qt::SolidPattern;
}

} // namespace

void fillArea(QPainter& painter, const QRect& rect, const QColor& color)
{
    painter.setPen(Qt::NoPen);
    // Brushes compare by identity, so an equal one would count as a change.
    const QBrush& brush = painter.brush();
    if (brush.style() != Qt::SolidPattern || brush.color() != color || !brush.transform().isIdentity())
        painter.setBrush(color);
    painter.drawRect(rect);
}

void paintFrame(QPainter& painter, const TQRFrame& frame, const QRect& r, Extended xFactor, Extended yFactor)
{
    if (!frame.anyFrame())
        return;
    auto thickness = [&frame](Extended factor) {
        int64_t t = rnd(factor / PointsPerInch * NativePerInch * frame.width);
        if ((t <= 0 && frame.width > 0) || frame.width == -1)
            t = 1;
        return int(std::max<int64_t>(t, 0));
    };
    const int tx = thickness(xFactor);
    const int ty = thickness(yFactor);
    const QColor color = toQColor(frame.color);
    const int left = r.left(), top = r.top(), right = r.left() + r.width(), bottom = r.top() + r.height();
    if (frame.drawTop)
        fillArea(painter, QRect(left, top, right - left, ty), color);
    if (frame.drawBottom)
        fillArea(painter, QRect(left, bottom - ty, right - left, ty), color);
    if (frame.drawLeft)
        fillArea(painter, QRect(left, top, tx, bottom - top), color);
    if (frame.drawRight)
        fillArea(painter, QRect(right - tx, top, tx, bottom - top), color);
}

ElementPrinter::ElementPrinter(TQRPrintable& element)
    : element_(element), design_(designPropsOf(element))
{
}

ElementPrinter::~ElementPrinter() = default;

void ElementPrinter::printAt(PrintContext& context, Extended offsetX, Extended offsetY)
{
    Extended extra = 0;
    if (design_) {
        const Extended expansion = context.bandExpansion();
        if (design_->fixBottomPosition && dynamic_cast<TQRCustomBand*>(element_.parentControl()))
            offsetY += rnd(expansion);
        if (design_->stretchHeightWithBand)
            extra = expansion;
    }
    print(context, offsetX, offsetY, extra);
}

QRect ElementPrinter::deviceRect(const TQRPrinter& out, Extended ox, Extended oy, Extended extraHeight) const
{
    const auto& v = element_.size.values;
    const Extended left = ox + v[TQRPrintableSize::L];
    const Extended top = oy + v[TQRPrintableSize::T];
    const int64_t x0 = out.deviceX(left), y0 = out.deviceY(top);
    const int64_t x1 = out.deviceX(left + v[TQRPrintableSize::W]);
    const int64_t y1 = out.deviceY(top + v[TQRPrintableSize::H] + extraHeight);
    return QRect(int(x0), int(y0), int(x1 - x0), int(y1 - y0));
}

void ElementPrinter::drawFrame(PrintContext& context, const QRect& rect) const
{
    paintFrame(context.canvas(), element_.frame, rect, context.output().xFactor(), context.output().yFactor());
}

// --- shapes

void ShapePrinter::print(PrintContext& context, Extended ox, Extended oy, Extended extraHeight)
{
    TQRPrinter& out = context.output();
    QPainter& p = context.canvas();
    const QRect r = deviceRect(out, ox, oy, extraHeight);
    const auto& v = shape_.size.values;
    QPen pen(toQColor(shape_.pen.color), shape_.pen.width, penStyle(shape_.pen.style));
    pen.setJoinStyle(Qt::MiterJoin);
    p.setPen(pen);
    p.setBrush(QBrush(toQColor(shape_.brush.color), brushStyle(shape_.brush.style)));
    const int x0 = r.left(), y0 = r.top(), x1 = r.left() + r.width(), y1 = r.top() + r.height();
    const int xm = int(out.deviceX(ox + v[TQRPrintableSize::L] + v[TQRPrintableSize::W] / 2));
    const int ym = int(out.deviceY(oy + v[TQRPrintableSize::T] + (v[TQRPrintableSize::H] + extraHeight) / 2));
    // Outlines lie inside the box, as the pen of the original surface draws them.
    const qreal half = pen.style() == Qt::NoPen ? 0 : shape_.pen.width / 2.0;
    switch (shape_.shape) {
    case TQRShapeType::qrsRectangle:
        p.drawRect(QRectF(x0 + half, y0 + half, x1 - x0 - 2 * half, y1 - y0 - 2 * half));
        break;
    case TQRShapeType::qrsCircle:
        p.drawEllipse(QRectF(x0 + half, y0 + half, x1 - x0 - 2 * half, y1 - y0 - 2 * half));
        break;
    case TQRShapeType::qrsVertLine: p.drawLine(xm, y0, xm, y1); break;
    case TQRShapeType::qrsHorLine: p.drawLine(x0, ym, x1, ym); break;
    case TQRShapeType::qrsTopAndBottom:
        p.drawLine(x0, y0, x1, y0);
        p.drawLine(x0, y1, x1, y1);
        break;
    case TQRShapeType::qrsRightAndLeft:
        p.drawLine(x0, y0, x0, y1);
        p.drawLine(x1, y0, x1, y1);
        break;
    }
    p.setBrush(Qt::NoBrush);
    // The designer's shape draws its frame around the printed rectangle.
    drawFrame(context, r);
}

// --- pictures

void drawPicture(PrintContext& context, const QImage& image, const QRect& rect, bool stretch, bool center)
{
    if (image.isNull())
        return;
    TQRPrinter& out = context.output();
    if (stretch) {
        out.drawImage(rect, image);
        return;
    }
    const int w = int(rnd(image.width() / Extended(96) * NativePerInch * out.xFactor()));
    const int h = int(rnd(image.height() / Extended(96) * NativePerInch * out.yFactor()));
    QRect target(rect.left(), rect.top(), w, h);
    if (center)
        target.translate((rect.width() - w) / 2, (rect.height() - h) / 2);
    QPainter& p = context.canvas();
    p.save();
    p.setClipRect(rect);
    out.drawImage(target, image);
    p.restore();
}

void ImagePrinter::startRun(PrintContext&)
{
    picture_ = image_.picture.image();
}

void ImagePrinter::print(PrintContext& context, Extended ox, Extended oy, Extended extraHeight)
{
    const QRect r = deviceRect(context.output(), ox, oy, extraHeight);
    drawPicture(context, picture_, r, image_.stretch, image_.center);
    drawFrame(context, r);
}

void DBImagePrinter::startRun(PrintContext&)
{
    data_ = image_.dataSet ? image_.dataSet->dataSet() : nullptr;
    field_ = data_ ? data_->fieldIndex(image_.dataField) : -1;
}

QImage DBImagePrinter::loadPicture() const
{
    if (!data_ || field_ < 0 || !data_->isOpen() || data_->eof() || data_->isNull(field_))
        return QImage();
    if (isBlobField(data_->field(field_).type))
        return QImage::fromData(data_->blob(field_));
    if (!dynamic_cast<TQRDesignDBImage*>(&image_))
        return QImage();
    // The designer's picture element also takes a file name from a text field.
    QString name = data_->text(field_).trimmed();
    if (name.isEmpty())
        return QImage();
    QFileInfo info(name);
    if (info.suffix().isEmpty())
        name += QStringLiteral(".BMP");
    info.setFile(name);
    if (!info.isFile())
        return QImage();
    return QImage(info.absoluteFilePath());
}

void DBImagePrinter::print(PrintContext& context, Extended ox, Extended oy, Extended extraHeight)
{
    const QRect r = deviceRect(context.output(), ox, oy, extraHeight);
    const QImage picture = loadPicture();
    if (picture.isNull()) {
        if (image_.stretch)
            fillArea(context.canvas(), r, toQColor(image_.color()));
    } else {
        drawPicture(context, picture, r, image_.stretch, image_.center);
    }
    drawFrame(context, r);
}

// --- factory

std::unique_ptr<ElementPrinter> makeElementPrinter(TQRPrintable& e)
{
    if (auto* x = dynamic_cast<TQRDBText*>(&e)) return std::make_unique<DBTextPrinter>(*x);
    if (auto* x = dynamic_cast<TQRExpr*>(&e)) return std::make_unique<ExprPrinter>(*x);
    if (auto* x = dynamic_cast<TQRSysData*>(&e)) return std::make_unique<SysDataPrinter>(*x);
    if (auto* x = dynamic_cast<TQRMemo*>(&e)) return std::make_unique<MemoPrinter>(*x);
    if (auto* x = dynamic_cast<TQRLabel*>(&e)) return std::make_unique<LabelPrinter>(*x);
    if (auto* x = dynamic_cast<TQRShape*>(&e)) return std::make_unique<ShapePrinter>(*x);
    if (auto* x = dynamic_cast<TQRImage*>(&e)) return std::make_unique<ImagePrinter>(*x);
    if (auto* x = dynamic_cast<TQRDBImage*>(&e)) return std::make_unique<DBImagePrinter>(*x);
    if (auto* x = dynamic_cast<TQRCustomRichText*>(&e)) return std::make_unique<RichTextPrinter>(*x);
    return nullptr;
}

} // namespace cm
