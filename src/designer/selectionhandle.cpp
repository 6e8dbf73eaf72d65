#include "designer/selectionhandle.h"

#include "designer/designercore.h"
#include "designer/designobjects.h"
#include "report/design.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace cm {

namespace {

constexpr int kSquare = 5;
constexpr int kNear = 6;

// Rounds to the nearest integer, halves to the even neighbour.
int roundEven(double v)
{
    return int(std::nearbyint(v));
}

bool near(QPoint p, double x, double y)
{
    return std::abs(p.x() - x) < kNear && std::abs(p.y() - y) < kNear;
}

} // namespace

QRect handleRectOf(const std::vector<QRect>& rects)
{
    if (rects.empty())
        return QRect();
    int left = rects.front().left(), top = rects.front().top();
    int right = left + rects.front().width(), bottom = top + rects.front().height();
    for (const QRect& r : rects) {
        left = std::min(left, r.left());
        top = std::min(top, r.top());
        right = std::max(right, r.left() + r.width());
        bottom = std::max(bottom, r.top() + r.height());
    }
    left -= 2;
    top -= 2;
    return QRect(left, top, right - left + 3, bottom - top + 3);
}

QRect handleRectOf(const std::vector<Component*>& components)
{
    std::vector<QRect> rects;
    rects.reserve(components.size());
    for (const Component* c : components)
        rects.push_back(c->bounds);
    return handleRectOf(rects);
}

std::vector<QRect> grabSquaresOf(const std::vector<QRect>& rects)
{
    std::vector<QRect> squares;
    squares.reserve(rects.size() * 4 + 4);
    for (const QRect& r : rects) {
        const int left = r.left() - 2, top = r.top() - 2;
        const int right = r.left() + r.width() + 2, bottom = r.top() + r.height() + 2;
        squares.emplace_back(left, top, kSquare, kSquare);
        squares.emplace_back(right - kSquare, top, kSquare, kSquare);
        squares.emplace_back(left, bottom - kSquare, kSquare, kSquare);
        squares.emplace_back(right - kSquare, bottom - kSquare, kSquare, kSquare);
        if (rects.size() == 1) {
            const int t = (right - left) / 2, u = (bottom - top) / 2;
            squares.emplace_back(left + t - 2, top, kSquare, kSquare);
            squares.emplace_back(left + t - 2, bottom - kSquare, kSquare, kSquare);
            squares.emplace_back(left, top + u - 2, kSquare, kSquare);
            squares.emplace_back(right - kSquare, top + u - 2, kSquare, kSquare);
        }
    }
    return squares;
}

int grabZoneAt(QSize handleSize, QPoint p)
{
    const double x1 = handleSize.width(), y1 = handleSize.height();
    const double midX = x1 / 2, midY = y1 / 2;
    int zone = kMoveZone;
    // Later matches win, so on a small handle the edge middles take over.
    const struct { int zone; double x, y; } zones[] = {
        {1, 0, 0}, {4, x1, y1}, {2, x1, 0}, {3, 0, y1}, {5, midX, 0}, {7, midX, y1}, {6, 0, midY}, {8, x1, midY},
    };
    for (const auto& z : zones) {
        if (near(p, z.x, z.y))
            zone = z.zone;
    }
    return zone;
}

Qt::CursorShape cursorForZone(int zone)
{
    switch (zone) {
    case 1:
    case 4: return Qt::SizeFDiagCursor;
    case 2:
    case 3: return Qt::SizeBDiagCursor;
    case 5:
    case 7: return Qt::SizeVerCursor;
    case 6:
    case 8: return Qt::SizeHorCursor;
    default: return Qt::ArrowCursor;
    }
}

QRect dragRect(const QRect& handle, const DragInput& drag, const DesignerOptions& options)
{
    const int gridX = drag.shift ? 1 : std::max(1, options.gridSizeX);
    const int gridY = drag.shift ? 1 : std::max(1, options.gridSizeY);
    const auto snapX = [gridX](int v) { return v / gridX * gridX; };
    const auto snapY = [gridY](int v) { return v / gridY * gridY; };
    const int dx = drag.point.x() - drag.start.x(), dy = drag.point.y() - drag.start.y();
    const int L = handle.left(), T = handle.top(), W = handle.width(), H = handle.height();
    int l = L, t = T, w = W, h = H;
    const int snappedLeft = snapX(L + dx - 2) + 2, snappedTop = snapY(T + dy - 2) + 2;
    const bool c = drag.ctrl;
    switch (drag.zone) {
    case 0:
        l = snappedLeft;
        t = snappedTop;
        break;
    case 1:
        l = snappedLeft;
        t = snappedTop;
        w = W - (c ? 2 : 1) * (l - L);
        h = H - (c ? 2 : 1) * (t - T);
        break;
    case 2:
        t = snappedTop;
        if (c) {
            l = L - dx;
            w = W + 2 * dx;
            h = H - 2 * (t - T);
        } else {
            w = snapX(W + dx + 3) - 3;
            h = H + T - t;
        }
        break;
    case 3:
        l = snappedLeft;
        if (c) {
            t = T - dy;
            w = W - 2 * (l - L);
            h = H + 2 * dy;
        } else {
            w = W + L - l;
            h = snapY(H + dy + 3) - 3;
        }
        break;
    case 4:
        if (drag.shift) {
            const double r = drag.ratio > 0 ? drag.ratio : 1.0;
            const int a = std::max(roundEven(dy * r), dx), b = std::max(roundEven(dx / r), dy);
            l = c ? L - a : L;
            t = c ? T - b : T;
            w = W + (c ? 2 : 1) * a;
            h = H + (c ? 2 : 1) * b;
        } else if (c) {
            l = L - dx;
            t = T - dy;
            w = W + 2 * dx;
            h = H + 2 * dy;
        } else {
            w = snapX(W + dx + 3) - 3;
            h = snapY(H + dy + 3) - 3;
        }
        break;
    case 5:
        if (c) {
            t = T + dy;
            h = H - 2 * dy;
        } else {
            t = snappedTop;
            h = H - (t - T);
        }
        break;
    case 6:
        if (c) {
            l = L + dx;
            w = W - 2 * dx;
        } else {
            l = snappedLeft;
            w = W + L - l;
        }
        break;
    case 7:
        if (c) {
            t = T - dy;
            h = H + 2 * dy;
        } else {
            h = snapY(H + dy + 3) - 3;
        }
        break;
    case 8:
        if (c) {
            l = L - dx;
            w = W + 2 * dx;
        } else {
            w = snapX(W + dx + 3) - 3;
        }
        break;
    default: break;
    }
    return QRect(l, t, std::max(w, options.minElementWidth), std::max(h, options.minElementHeight));
}

QRect keyboardRect(const QRect& handle, int key, Qt::KeyboardModifiers modifiers, const DesignerOptions& options)
{
    const bool shift = modifiers & Qt::ShiftModifier, ctrl = modifiers & Qt::ControlModifier;
    const bool horizontal = key == Qt::Key_Left || key == Qt::Key_Right;
    if (!horizontal && key != Qt::Key_Up && key != Qt::Key_Down)
        return QRect();
    const int sign = key == Qt::Key_Left || key == Qt::Key_Up ? -1 : 1;
    const int step = sign * (horizontal ? (shift && ctrl ? options.gridSizeX : options.keyboardMoveX)
                                        : (shift && ctrl ? options.gridSizeY : options.keyboardMoveY));
    QRect r = handle;
    if (shift && !ctrl) {
        if (horizontal)
            r.setWidth(r.width() + step);
        else
            r.setHeight(r.height() + step);
    } else {
        r.translate(horizontal ? step : 0, horizontal ? 0 : step);
    }
    return r;
}

bool handleChangeAllowed(const std::vector<Component*>& selection, const QRect& from, const QRect& to)
{
    const bool moved = from.topLeft() != to.topLeft(), resized = from.size() != to.size();
    for (Component* c : selection) {
        const BlockFlags flags = blockFlagsOf(*c);
        if ((moved && flags.blockMove) || (resized && flags.blockResize))
            return false;
    }
    return true;
}

namespace {

void resizeBand(TQRCustomBand& band, int deltaHeight, const DesignerOptions& options)
{
    const int height = band.bounds.height();
    const int next = std::max(options.minElementHeight, height + deltaHeight);
    if (next == height)
        return;
    setPixelRect(band, QRect(band.bounds.topLeft(), QSize(band.bounds.width(), next)));
    const int d = next - height;
    for (Component* e : band.childControls()) {
        auto* p = dynamic_cast<TQRPrintable*>(e);
        DesignElementProps* props = p ? p->designProps() : nullptr;
        if (!props)
            continue;
        QRect r = e->bounds;
        if (props->fixBottomPosition)
            r.moveTop(std::max(0, r.top() + d));
        if (props->stretchHeightWithBand)
            r.setHeight(std::max(options.minElementHeight, r.height() + d));
        if (r != e->bounds)
            setPixelRect(*e, r);
    }
}

// An element's rectangle after the handle changed by (dl, dt, dw, dh).
QRect elementRectAfter(const QRect& r, const QRect& from, const QRect& to, const DesignerOptions& options)
{
    const int w = std::max(options.minElementWidth, r.width() + to.width() - from.width());
    const int h = std::max(options.minElementHeight, r.height() + to.height() - from.height());
    return QRect(r.left() + to.left() - from.left(), r.top() + to.top() - from.top(), w, h);
}

int bandHeightAfter(const Component& band, const QRect& from, const QRect& to, const DesignerOptions& options)
{
    return std::max(options.minElementHeight, band.bounds.height() + to.height() - from.height());
}

void clearAutoSize(Component& c)
{
    if (hasProperty(c, u"AutoSize"))
        setProperty(c, u"AutoSize", PropValue(false));
}

} // namespace

bool handleChangeHasEffect(const std::vector<Component*>& selection, const QRect& from, const QRect& to,
                           const DesignerOptions& options)
{
    for (const Component* c : selection) {
        if (isBand(c) ? bandHeightAfter(*c, from, to, options) != c->bounds.height()
                      : elementRectAfter(c->bounds, from, to, options) != c->bounds)
            return true;
    }
    return false;
}

void applyHandleChange(const std::vector<Component*>& selection, const QRect& from, const QRect& to,
                       const DesignerOptions& options)
{
    bool bandsChanged = false;
    for (Component* c : selection) {
        if (auto* band = dynamic_cast<TQRCustomBand*>(c)) {
            // Bands are stacked by the report: only their height follows the handle.
            resizeBand(*band, bandHeightAfter(*band, from, to, options) - band->bounds.height(), options);
            bandsChanged = true;
            continue;
        }
        const QRect r = elementRectAfter(c->bounds, from, to, options);
        if (r.size() != c->bounds.size())
            clearAutoSize(*c);
        setPixelRect(*c, r);
    }
    if (bandsChanged) {
        if (auto* report = dynamic_cast<TQRCustomReport*>(selection.front()->parentControl()))
            report->arrangeBands();
    }
}

} // namespace cm
