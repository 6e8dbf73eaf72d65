#include "designer/widgets/rulerpanel.h"

#include "report/rounding.h"
#include "report/units.h"

#include <QPaintEvent>
#include <QPainter>

namespace cm {

namespace {

int nearest(double v) { return int(rnd(v)); }

// A labelled tick from near the top to the bottom edge.
RulerTick majorTick(int x, int height, int number, int labelTop)
{
    RulerTick t;
    t.x = x;
    t.y0 = 2;
    t.y1 = height;
    t.major = true;
    t.label = QString::number(number);
    t.labelPos = QPoint(x + 2, labelTop);
    return t;
}

RulerTick minorTick(int x, int top, int height) { return RulerTick{x, top, height, false, {}, {}}; }

void millimetreTicks(int zoom, int length, int height, double ppi, std::vector<RulerTick>& out)
{
    const double mmPerPixel = 5 / ppi * 5.08 / zoom * 100;
    const int n = nearest(length * mmPerPixel);
    for (int i = 1; i <= n; ++i) {
        const int x = nearest(i / mmPerPixel);
        if (i % 10 == 0) {
            out.push_back(majorTick(x, height, i / 10, 1));
            continue;
        }
        if (i % 5 == 0)
            out.push_back(minorTick(x, zoom <= 30 ? height - 4 : height / 2, height));
        else if (zoom > 49)
            out.push_back(minorTick(x, height - 4, height));
    }
}

void inchTicks(int zoom, int length, int height, double ppi, std::vector<RulerTick>& out)
{
    const double pixelsPerQuarter = ppi / 4 * zoom / 100;
    const int n = nearest(length / ppi / zoom * 400);
    for (int i = 1; i <= n; ++i) {
        const int x = nearest(i * pixelsPerQuarter);
        if (i % 4 == 0)
            out.push_back(majorTick(x, height, i / 4, 2));
        else if (zoom >= 50)
            out.push_back(minorTick(x, height / 2, height));
    }
}

// Ten character cells of 80 per 8 inches; the zoom does not apply.
void characterTicks(int length, int height, double ppi, std::vector<RulerTick>& out)
{
    const double k = 80.0 / 8 / 2.54;
    const int n = nearest(length / ppi * 25.4 / k / 10);
    for (int c = 1; c <= n; ++c)
        out.push_back(majorTick(nearest(k * c * ppi / 2.54), height, c * 10, 2));
}

} // namespace

std::vector<RulerTick> rulerTicks(TQRUnit units, int zoom, int length, int height, double pixelsPerInch)
{
    std::vector<RulerTick> ticks;
    if (zoom <= 0 || pixelsPerInch <= 0)
        return ticks;
    switch (units) {
    case TQRUnit::MM: millimetreTicks(zoom, length, height, pixelsPerInch, ticks); break;
    case TQRUnit::Inches: inchTicks(zoom, length, height, pixelsPerInch, ticks); break;
    case TQRUnit::Characters: characterTicks(length, height, pixelsPerInch, ticks); break;
    case TQRUnit::Pixels:
    case TQRUnit::Native: break;
    }
    return ticks;
}

RulerPanel::RulerPanel(QWidget* parent) : QWidget(parent)
{
    QFont f;
    f.setFamilies({QStringLiteral("Small Fonts"), QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
    f.setPixelSize(8);
    setFont(f);
    setFixedHeight(15);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
}

void RulerPanel::setUnits(TQRUnit units)
{
    units_ = units;
    update();
}

void RulerPanel::setZoom(int zoom)
{
    zoom_ = zoom;
    update();
}

void RulerPanel::setOffset(int offset)
{
    if (offset == offset_)
        return;
    offset_ = offset;
    update();
}

void RulerPanel::setRulerLength(int pixels)
{
    length_ = pixels;
    update();
}

void RulerPanel::paintEvent(QPaintEvent* event)
{
    const std::vector<RulerTick> ticks = rulerTicks(units_, zoom_, length_, height(), kScreenPixelsPerInch);
    if (ticks.empty())
        return;
    QPainter p(this);
    p.translate(-offset_, 0);
    const int left = event->rect().left() + offset_ - 40;   // a label reaches right of its line
    const int right = event->rect().right() + offset_ + 1;
    const bool characters = units_ == TQRUnit::Characters;
    const QColor silver(192, 192, 192);
    const QPen majorPen(characters ? silver : majorColor, 1, characters ? Qt::DotLine : majorStyle);
    const QPen minorPen(minorColor, 1, minorStyle);
    const QPen textPen(Qt::black);
    const int ascent = p.fontMetrics().ascent();
    for (const RulerTick& t : ticks) {
        if (t.x < left || t.x > right)
            continue;
        p.setPen(t.major ? majorPen : minorPen);
        p.drawLine(t.x, t.y0, t.x, t.y1);
        if (!t.label.isEmpty()) {
            p.setPen(textPen);
            p.drawText(t.labelPos + QPoint(0, ascent), t.label);
        }
    }
}

} // namespace cm
