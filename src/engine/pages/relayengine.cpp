#include "engine/pages/relayengine.h"

#include "engine/pages/pagerecords.h"

#include <QPainter>
#include <QPainterPath>
#include <QTextItem>

#include <algorithm>
#include <bit>
#include <cmath>

namespace cm {

namespace {

// Far beyond the largest sheet at the highest resolution (200 inches at
// 1200 dpi is 240 000 dots), and well inside the rasteriser's fixed-point
// range, where it overflows.
constexpr qreal MaxReach = 1e6;
// Scale of a sound transform (a 96-dpi page on a 1200-dpi printer is 12.5).
constexpr qreal MaxScale = 1e4;
// Pens and letters larger than this (device dots) are no card's.
constexpr qreal MaxPenWidth = 1e4;
constexpr qreal MaxLetterSize = 2e4;
// A sound transform keeps areas: even a page shrunk to a thumbnail keeps
// more than this of each square dot.
constexpr qreal MinLetterFlattening = 1e-6;
constexpr qreal MaxLetterDistortion = 16;
// Letters taller than this (image dots) are filled as outlines: a card's
// letters on an image at 600 dpi stay well below it.
constexpr qreal MaxCachedLetterSize = 1024;
// A dash pattern repeating in less than this (device dots) is drawn solid.
constexpr qreal MinDashPeriod = 0.5;

constexpr Qt::ImageConversionFlags KnownImageFlags = Qt::ColorMode_Mask | Qt::Dither_Mask | Qt::AlphaDither_Mask
                                                   | Qt::DitherMode_Mask | Qt::NoOpaqueDetection | Qt::NoFormatConversion;

bool finite(qreal v) { return std::isfinite(v); }

bool soundTransform(const QTransform& m)
{
    const qreal parts[] = {m.m11(), m.m12(), m.m13(), m.m21(), m.m22(), m.m23(), m.m31(), m.m32(), m.m33()};
    for (qreal v : parts) {
        if (!finite(v))
            return false;
    }
    return std::abs(m.m11()) <= MaxScale && std::abs(m.m12()) <= MaxScale && std::abs(m.m21()) <= MaxScale
        && std::abs(m.m22()) <= MaxScale && std::abs(m.dx()) <= MaxReach && std::abs(m.dy()) <= MaxReach
        && m.isAffine();
}

// The largest stretch the transform gives a length.
qreal scaleOf(const QTransform& m) { return std::max(std::hypot(m.m11(), m.m12()), std::hypot(m.m21(), m.m22())); }

QRectF boundsOf(const QPointF* points, int count)
{
    if (count <= 0)
        return {};
    qreal left = points[0].x(), right = left, top = points[0].y(), bottom = top;
    for (int i = 1; i < count; ++i) {
        left = std::min(left, points[i].x());
        right = std::max(right, points[i].x());
        top = std::min(top, points[i].y());
        bottom = std::max(bottom, points[i].y());
    }
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}

// Element kinds the stroker knows, in an order it can walk: it loops for
// ever on an unknown kind. A curve is its point and two more.
bool soundPath(const QPainterPath& path)
{
    int curveData = 0;
    for (int i = 0; i < path.elementCount(); ++i) {
        const int type = std::bit_cast<int>(path.elementAt(i).type);
        if (curveData > 0) {
            if (type != QPainterPath::CurveToDataElement)
                return false;
            --curveData;
            continue;
        }
        if (type == QPainterPath::CurveToElement)
            curveData = 2;
        else if (type != QPainterPath::MoveToElement && type != QPainterPath::LineToElement)
            return false;
        if (i == 0 && type != QPainterPath::MoveToElement)
            return false;
    }
    const int fill = std::bit_cast<int>(path.fillRule());
    return curveData == 0 && (fill == Qt::OddEvenFill || fill == Qt::WindingFill);
}

} // namespace

RelayEngine::RelayEngine(QPainter& target, const std::vector<RelayImage>& images)
    : QPaintEngine(AllFeatures), t_(target), images_(images)
{
}

bool RelayEngine::reachable(const QRectF& logical) const
{
    if (!finite(logical.left()) || !finite(logical.top()) || !finite(logical.width()) || !finite(logical.height()))
        return false;
    const QRectF device = t_.transform().mapRect(logical);
    return finite(device.width()) && finite(device.height()) && std::abs(device.left()) <= MaxReach
        && std::abs(device.top()) <= MaxReach && std::abs(device.right()) <= MaxReach
        && std::abs(device.bottom()) <= MaxReach;
}

// A pen the rasteriser can draw in reasonable time: width capped, and a dash
// pattern whose period is under half a dot (billions of dashes on a long
// line) drawn solid.
void RelayEngine::setPen(QPen pen)
{
    const qreal scale = scaleOf(t_.transform());
    if (!finite(pen.widthF()) || pen.widthF() < 0 || pen.widthF() * scale > MaxPenWidth)
        pen.setWidthF(scale > 0 ? std::min(MaxPenWidth / scale, 1.0) : 1.0);
    // The stroker never ends a mitred join with a limit near 0.
    if (!finite(pen.miterLimit()) || pen.miterLimit() < 1 || pen.miterLimit() > 100)
        pen.setMiterLimit(2);
    if (pen.style() != Qt::SolidLine && pen.style() != Qt::NoPen) {
        qreal period = 0;
        bool sound = pen.dashPattern().size() <= 64;
        for (qreal v : pen.dashPattern()) {
            sound = sound && finite(v) && v >= 0;
            period += v;
        }
        const qreal unit = pen.widthF() > 0 && !pen.isCosmetic() ? pen.widthF() * scale : 1.0;
        if (!sound || !finite(period) || !finite(pen.dashOffset()) || period * unit < MinDashPeriod)
            pen.setStyle(Qt::SolidLine);
    }
    t_.setPen(pen);
}

void RelayEngine::updateState(const QPaintEngineState& s)
{
    // In the order the page picture records state, which its player applies;
    // the transform before the pen, whose checks use it.
    const DirtyFlags f = s.state();
    if (f & DirtyTransform) {
        transformSound_ = soundTransform(s.transform());
        if (transformSound_)
            t_.setTransform(s.transform());
    }
    if (f & (DirtyPen | DirtyTransform))
        setPen(s.pen());
    if (f & DirtyBrush) {
        // The style picks from the rasteriser's tables; an unknown one draws nothing.
        const QBrush brush = s.brush();
        const int style = std::bit_cast<int>(brush.style());
        t_.setBrush(style >= Qt::NoBrush && style <= Qt::TexturePattern ? brush : QBrush());
    }
    if (f & DirtyBrushOrigin)
        t_.setBrushOrigin(s.brushOrigin());
    if (f & DirtyFont)
        t_.setFont(s.font());
    if (f & DirtyBackground)
        t_.setBackground(s.backgroundBrush());
    if (f & DirtyBackgroundMode)
        t_.setBackgroundMode(std::bit_cast<int>(s.backgroundMode()) == Qt::OpaqueMode ? Qt::OpaqueMode : Qt::TransparentMode);
    if (f & DirtyClipEnabled)
        t_.setClipping(s.isClipEnabled());
    // Clip operations past the known ones count as intersecting: they never show more.
    const int operation = std::bit_cast<int>(s.clipOperation());
    const Qt::ClipOperation clipOperation = operation >= Qt::NoClip && operation <= Qt::IntersectClip
                                                ? Qt::ClipOperation(operation)
                                                : Qt::IntersectClip;
    if (f & DirtyClipRegion) {
        if (reachable(s.clipRegion().boundingRect()))
            t_.setClipRegion(s.clipRegion(), clipOperation);
        else
            t_.setClipRect(QRect(), Qt::ReplaceClip);   // nothing shows
    }
    if (f & DirtyClipPath) {
        if (reachable(s.clipPath().controlPointRect()))
            t_.setClipPath(s.clipPath(), clipOperation);
        else
            t_.setClipRect(QRect(), Qt::ReplaceClip);
    }
    if (f & DirtyHints) {
        constexpr QPainter::RenderHints known = QPainter::Antialiasing | QPainter::TextAntialiasing
                                              | QPainter::SmoothPixmapTransform | QPainter::VerticalSubpixelPositioning
                                              | QPainter::LosslessImageRendering | QPainter::NonCosmeticBrushPatterns;
        t_.setRenderHints(t_.renderHints(), false);
        t_.setRenderHints(s.renderHints() & known, true);
    }
    if (f & DirtyCompositionMode) {
        // The mode indexes the rasteriser's function tables. Read as a number:
        // a forged page can hold any.
        const int mode = std::bit_cast<int>(s.compositionMode());
        t_.setCompositionMode(mode >= QPainter::CompositionMode_SourceOver && mode <= QPainter::RasterOp_NotDestination
                                  ? QPainter::CompositionMode(mode)
                                  : QPainter::CompositionMode_SourceOver);
    }
    if (f & DirtyOpacity)
        t_.setOpacity(finite(s.opacity()) ? std::clamp(s.opacity(), 0.0, 1.0) : 1.0);
}

void RelayEngine::drawImage(const QRectF& r, const QImage& image, const QRectF& sr, Qt::ImageConversionFlags flags)
{
    if (!drawable() || !reachable(r))
        return;
    const int number = pagerecords::standInNumber(image);
    const bool own = number >= 0 && size_t(number) < images_.size();
    const QImage& drawn = own ? images_[size_t(number)].image : image;
    const QRectF source = own ? images_[size_t(number)].source : sr;
    // A sound page takes its source from within the image; a forged one's
    // far-off source makes the rasteriser address memory outside it.
    if (finite(source.x()) && finite(source.y()) && finite(source.width()) && finite(source.height())
        && QRectF(drawn.rect()).contains(source))
        t_.drawImage(r, drawn, source, flags & KnownImageFlags);
}

void RelayEngine::drawPath(const QPainterPath& path)
{
    if (drawable() && soundPath(path) && reachable(path.controlPointRect()))
        t_.drawPath(path);
}

void RelayEngine::drawPolygon(const QPointF* points, int count, PolygonDrawMode mode)
{
    if (!drawable() || !reachable(boundsOf(points, count)))
        return;
    switch (mode) {
    case PolylineMode: t_.drawPolyline(points, count); break;
    case OddEvenMode: t_.drawPolygon(points, count, Qt::OddEvenFill); break;
    case WindingMode: t_.drawPolygon(points, count, Qt::WindingFill); break;
    case ConvexMode: t_.drawConvexPolygon(points, count); break;
    }
}

void RelayEngine::drawRects(const QRectF* rects, int count)
{
    for (int i = 0; i < count && drawable(); ++i) {
        if (reachable(rects[i]))
            t_.drawRect(rects[i]);
    }
}

void RelayEngine::drawLines(const QLineF* lines, int count)
{
    for (int i = 0; i < count && drawable(); ++i) {
        if (reachable(QRectF(lines[i].p1(), lines[i].p2())))
            t_.drawLine(lines[i]);
    }
}

void RelayEngine::drawEllipse(const QRectF& r)
{
    if (drawable() && reachable(r))
        t_.drawEllipse(r);
}

void RelayEngine::drawPoints(const QPointF* points, int count)
{
    if (drawable() && reachable(boundsOf(points, count)))
        t_.drawPoints(points, count);
}

void RelayEngine::drawPixmap(const QRectF& r, const QPixmap& pm, const QRectF& sr)
{
    if (drawable() && reachable(r) && finite(sr.x()) && finite(sr.y()) && finite(sr.width()) && finite(sr.height())
        && QRectF(pm.rect()).contains(sr))
        t_.drawPixmap(r, pm, sr);
}

void RelayEngine::drawTiledPixmap(const QRectF& r, const QPixmap& pm, const QPointF& p)
{
    if (drawable() && reachable(r) && finite(p.x()) && finite(p.y()) && std::abs(p.x()) <= MaxReach
        && std::abs(p.y()) <= MaxReach)
        t_.drawTiledPixmap(r, pm, p);
}

void RelayEngine::drawTextItem(const QPointF& p, const QTextItem& ti)
{
    // The letters' height on the target, from the laid-out text itself.
    const qreal height = ti.ascent() + ti.descent();
    const QRectF extent(p.x(), p.y() - ti.ascent(), ti.width(), height);
    // Letters of no height, or through a transform that flattens or
    // stretches them out of shape, are no card's (a printer's resolution
    // across and down differ by a factor of two at most). The glyph
    // rasteriser fails on a flattening and caches a stretched glyph at its
    // longest side, gigabytes for a forged page's.
    const QTransform& m = t_.transform();
    const qreal stretch = scaleOf(m);
    const qreal squeeze = stretch > 0 ? std::abs(m.determinant()) / stretch : 0;
    if (drawable() && finite(height) && height > 0 && height * stretch <= MaxLetterSize
        && std::abs(m.determinant()) >= MinLetterFlattening && stretch <= MaxLetterDistortion * squeeze
        && reachable(extent)) {
        // The rasteriser keeps each glyph it draws in a cache image; letters
        // this tall on an image (a forged font's thousands of pixels) would
        // take gigabytes there, so they are filled as outlines instead.
        if (height * stretch > MaxCachedLetterSize && t_.device() && t_.device()->devType() == QInternal::Image) {
            QPainterPath outline;
            outline.addText(p, ti.font(), ti.text());
            t_.fillPath(outline, t_.pen().brush());
        } else {
            t_.drawTextItem(p, ti);
        }
    }
}

RelayDevice::RelayDevice(QPainter& target, const std::vector<RelayImage>& images)
    : target_(*target.device()), engine_(target, images)
{
}

int RelayDevice::metric(PaintDeviceMetric m) const { return deviceMetric(target_, m); }

int deviceMetric(const QPaintDevice& device, QPaintDevice::PaintDeviceMetric metric)
{
    switch (metric) {
    case QPaintDevice::PdmWidth: return device.width();
    case QPaintDevice::PdmHeight: return device.height();
    case QPaintDevice::PdmWidthMM: return device.widthMM();
    case QPaintDevice::PdmHeightMM: return device.heightMM();
    case QPaintDevice::PdmNumColors: return device.colorCount();
    case QPaintDevice::PdmDepth: return device.depth();
    case QPaintDevice::PdmDpiX: return device.logicalDpiX();
    case QPaintDevice::PdmDpiY: return device.logicalDpiY();
    case QPaintDevice::PdmPhysicalDpiX: return device.physicalDpiX();
    case QPaintDevice::PdmPhysicalDpiY: return device.physicalDpiY();
    case QPaintDevice::PdmDevicePixelRatio: return int(device.devicePixelRatio());
    case QPaintDevice::PdmDevicePixelRatioScaled:
        return int(device.devicePixelRatioF() * QPaintDevice::devicePixelRatioFScale());
    }
    return 0;
}

} // namespace cm
