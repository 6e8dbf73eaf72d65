#include "designer/widgets/designsurface.h"

#include "designer/designercore.h"
#include "designer/designobjects.h"
#include "designer/document.h"
#include "designer/selectionhandle.h"
#include "designer/widgets/reportpainter.h"
#include "designer/widgets/surfaceaccessible.h"
#include "engine/paint/textlayout.h"
#include "report/design.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>

#include <cmath>

namespace cm {

namespace {

Qt::PenStyle penStyleOf(int ordinal)
{
    switch (ordinal) {
    case 1: return Qt::DashLine;
    case 2: return Qt::DotLine;
    case 3: return Qt::DashDotLine;
    case 4: return Qt::DashDotDotLine;
    case 5: return Qt::NoPen;
    default: return Qt::SolidLine;
    }
}

SurfaceMarks marksOf(const DesignerOptions& o, bool designMarks)
{
    SurfaceMarks m;
    m.designMarks = designMarks;
    m.showBandNames = o.showBandNames;
    m.showComponentFrames = o.showComponentFrames;
    m.componentFrameColor = toQColor(o.componentFrameColor);
    m.componentFrameStyle = penStyleOf(o.componentFrameStyle);
    m.bandNameFont = toQFont(o.bandNameFont);
    m.bandNameColor = toQColor(o.bandNameFont.color());
    return m;
}

} // namespace

DesignSurface::DesignSurface(Document& document, DesignerCore& designer, QWidget* parent)
    : QWidget(parent), document_(document), designer_(designer),
      painter_(std::make_unique<ReportPainter>(document.report()))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    registerSurface(*this);
    connect(&document_, &Document::changed, this, &DesignSurface::modelChanged);
    connect(&document_, &Document::reportReplaced, this, &DesignSurface::reportReplaced);
    connect(&document_, &Document::zoomChanged, this, &DesignSurface::zoomChanged);
    connect(&document_, &Document::selectionChanged, this, &DesignSurface::selectionChanged);
    connect(&designer_, &DesignerCore::rubberBandChanged, this, qOverload<>(&QWidget::update));
    connect(&designer_, &DesignerCore::designStateChanged, this, [this] { updateCursor(mapFromGlobal(QCursor::pos())); });
    resize(sizeHint());
}

DesignSurface::~DesignSurface() = default;

QPoint DesignSurface::toModel(QPoint p) const
{
    const double scale = 100.0 / std::max(1, document_.zoom());
    return QPoint(int(std::floor(p.x() * scale)), int(std::floor(p.y() * scale)));
}

QRect DesignSurface::toWidget(const QRect& r) const
{
    return toWidgetRect(r, document_.zoom());
}

QRect DesignSurface::componentRect(const Component* c) const
{
    return c ? toWidget(reportRectOf(*c)) : QRect();
}

void DesignSurface::setShowDesignMarks(bool on)
{
    if (designMarks_ == on)
        return;
    designMarks_ = on;
    update();
}

void DesignSurface::setAddCursor(const QCursor& cursor)
{
    addCursor_ = cursor;
    updateCursor(mapFromGlobal(QCursor::pos()));
}

QSize DesignSurface::sizeHint() const
{
    return toWidget(QRect(QPoint(0, 0), document_.report().bounds.size())).size();
}

void DesignSurface::modelChanged()
{
    painter_->invalidate();
    if (size() != sizeHint())
        resize(sizeHint());
    updateGeometry();
    update();
}

void DesignSurface::reportReplaced()
{
    modelChanged();
    announceSurfaceReordered(*this);
}

void DesignSurface::zoomChanged()
{
    modelChanged();
}

void DesignSurface::selectionChanged()
{
    update();
    announceSurfaceSelection(*this);
}

void DesignSurface::updateCursor(QPoint widgetPoint)
{
    const bool inserting = designer_.designState() != DesignState::Normal;
    if (inserting) {
        if (designer_.hitTest(toModel(widgetPoint)))
            setCursor(addCursor_);
        else
            unsetCursor();
        return;
    }
    const int zone = grabZoneAt(widgetPoint);
    if (designer_.locked && (zone != kMoveZone || selectedUnder(toModel(widgetPoint))))
        setCursor(Qt::ForbiddenCursor);
    else if (zone != kMoveZone)
        setCursor(cursorForZone(zone));
    else
        unsetCursor();
}

int DesignSurface::grabZoneAt(QPoint widgetPoint) const
{
    if (document_.selectionCount() != 1)
        return kMoveZone;
    const QRect handle = designer_.handleRect().translated(designer_.parentOffset());
    return cm::grabZoneAt(handle.size(), toModel(widgetPoint) - handle.topLeft());
}

// The first selected component whose rectangle, grown as the grab squares
// reach, holds the point.
Component* DesignSurface::selectedUnder(QPoint point) const
{
    for (Component* c : document_.selection()) {
        const QRect r = reportRectOf(*c);
        if (QRect(QPoint(r.left() - 2, r.top() - 2), QPoint(r.right() + 2, r.bottom() + 4)).contains(point))
            return c;
    }
    return nullptr;
}

void DesignSurface::paintEvent(QPaintEvent* event)
{
    painter_->paint(*this, event->rect(), document_.zoom(), marksOf(designer_.options(), designMarks_));
    if (designMarks_)
        paintSelection(event);
}

void DesignSurface::paintSelection(QPaintEvent* event)
{
    QPainter p(this);
    p.setClipRect(event->rect());
    const std::vector<Component*> selection = document_.selection();
    if (!selection.empty()) {
        std::vector<QRect> rects;
        rects.reserve(selection.size());
        for (const Component* c : selection)
            rects.push_back(c->bounds);
        // Black squares for one component, grey ones for several.
        const QColor color = selection.size() == 1 ? QColor(Qt::black) : QColor(0x80, 0x80, 0x80);
        const QPoint offset = designer_.parentOffset();
        for (const QRect& square : grabSquaresOf(rects))
            p.fillRect(toWidget(square.translated(offset)), color);
    }
    p.setBrush(Qt::NoBrush);
    if (!drag_.ghost.isNull()) {
        p.setPen(QPen(Qt::black, 0, Qt::DotLine));
        p.drawRect(toWidget(drag_.ghost).adjusted(0, 0, -1, -1));
    }
    if (designer_.rubberBandActive()) {
        p.setPen(QPen(Qt::black, 0, Qt::DotLine));
        p.drawRect(toWidget(designer_.rubberBand().normalized()).adjusted(0, 0, -1, -1));
    }
}

// ---------------------------------------------------------------- mouse

void DesignSurface::mousePressEvent(QMouseEvent* event)
{
    setFocus(Qt::MouseFocusReason);
    const QPoint point = toModel(event->position().toPoint());
    event->accept();
    if (designer_.designState() == DesignState::Normal) {
        if (event->button() == Qt::LeftButton) {
            leftButtonDown(event, point);
            return;
        }
        if (event->button() == Qt::RightButton) {
            rightButtonDown(event, point);
            return;
        }
    }
    designer_.mouseDown(event->button(), event->modifiers(), designer_.hitTest(point), point);
}

void DesignSurface::leftButtonDown(QMouseEvent* event, QPoint point)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const int zone = grabZoneAt(event->position().toPoint());
    const auto arm = [&](int z) { drag_ = Drag{!designer_.locked, false, z, point, QRect()}; };
    if (modifiers & Qt::ControlModifier && zone == kMoveZone) {
        designer_.mouseDown(Qt::LeftButton, modifiers, designer_.hitTest(point), point);
        return;
    }
    if (zone != kMoveZone) {
        arm(zone);
        return;
    }
    Component* hit = designer_.hitTest(point);
    Component* selected = selectedUnder(point);
    // An element not yet selected takes the click, also on a selected band.
    if (hit && !document_.isSelected(hit) && !(selected && isBand(hit))) {
        designer_.mouseDown(Qt::LeftButton, modifiers, hit, point);
        if (document_.isSelected(hit))
            arm(kMoveZone);
        return;
    }
    if (selected) {
        if (modifiers & Qt::ShiftModifier && document_.selectionCount() > 1)
            designer_.deselect(selected);
        else
            arm(kMoveZone);
        return;
    }
    designer_.mouseDown(Qt::LeftButton, modifiers, hit, point);
}

void DesignSurface::rightButtonDown(QMouseEvent* event, QPoint point)
{
    Component* target = selectedUnder(point);
    if (!target) {
        target = designer_.hitTest(point);
        if (!target) {
            designer_.mouseDown(Qt::RightButton, event->modifiers(), nullptr, point);
            return;
        }
        designer_.clearSelection();
        designer_.select(target);
    }
    if (event->modifiers() & Qt::ShiftModifier) {
        if (designer_.options().allowBlockEdit && designer_.blockOptionsHandler)
            designer_.blockOptionsHandler(target);
        return;
    }
    designer_.showContextMenu(target, point);
}

QRect DesignSurface::ghostFor(QPoint point, Qt::KeyboardModifiers modifiers) const
{
    const QRect r = designer_.dragResult(drag_.zone, drag_.start, point, modifiers);
    if (r.isNull())
        return QRect();
    // The outline shows the components' extent, inside the handle's margin.
    return QRect(QPoint(r.left() + 2, r.top() + 2), QPoint(r.left() + r.width() - 3, r.top() + r.height() - 3))
        .translated(designer_.parentOffset());
}

namespace {

// The four edges of an outline: all a moving ghost needs repainted.
QRegion outlineRegion(const QRect& r)
{
    if (r.isNull())
        return QRegion();
    const QRect grown = r.adjusted(-1, -1, 1, 1);
    return QRegion(grown).subtracted(QRegion(r.adjusted(2, 2, -2, -2)));
}

} // namespace

void DesignSurface::moveGhost(const QRect& ghost)
{
    if (ghost == drag_.ghost)
        return;
    QRegion dirty = outlineRegion(toWidget(drag_.ghost));
    dirty += outlineRegion(toWidget(ghost));
    drag_.ghost = ghost;
    update(dirty);
}

void DesignSurface::endDrag()
{
    moveGhost(QRect());
    drag_ = Drag{};
    unsetCursor();
}

void DesignSurface::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint widgetPoint = event->position().toPoint();
    const QPoint point = toModel(widgetPoint);
    event->accept();
    if (drag_.armed && event->buttons() & Qt::LeftButton) {
        drag_.active = true;
        setCursor(drag_.zone == kMoveZone ? QCursor(Qt::SizeAllCursor) : QCursor(cursorForZone(drag_.zone)));
        moveGhost(ghostFor(designer_.clampToParent(point), event->modifiers()));
        return;
    }
    designer_.mouseMove(point);
    if (event->buttons() == Qt::NoButton)
        updateCursor(widgetPoint);
}

void DesignSurface::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    const QPoint point = toModel(event->position().toPoint());
    if (drag_.armed && event->button() == Qt::LeftButton) {
        const QPoint end = designer_.clampToParent(point);
        const bool moved = drag_.active && end != drag_.start;
        const Drag drag = drag_;
        endDrag();
        // A click on the selection changes nothing.
        if (moved)
            designer_.setHandleRect(designer_.dragResult(drag.zone, drag.start, end, event->modifiers()));
        updateCursor(event->position().toPoint());
        return;
    }
    designer_.mouseUp(event->button(), event->modifiers(), point);
}

void DesignSurface::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || designer_.designState() != DesignState::Normal) {
        mousePressEvent(event);
        return;
    }
    drag_ = Drag{};
    const QPoint point = toModel(event->position().toPoint());
    Component* target = selectedUnder(point);
    if (!target)
        target = designer_.hitTest(point);
    if (target)
        designer_.editComponent(target);
    else
        designer_.editProperties(&document_.report());
    event->accept();
}

// ---------------------------------------------------------------- keys

bool DesignSurface::focusNextPrevChild(bool next)
{
    // Tab walks through the bands and elements while something is selected.
    if (document_.selectionCount() > 0)
        return false;
    return QWidget::focusNextPrevChild(next);
}

void DesignSurface::keyPressEvent(QKeyEvent* event)
{
    const int count = document_.selectionCount();
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (drag_.active)
            break;
        if (count == 0)
            designer_.editProperties(&document_.report());
        else if (count == 1)
            designer_.editComponent(document_.selection().front());
        event->accept();
        return;
    case Qt::Key_Escape:
        if (designer_.designState() != DesignState::Normal)
            designer_.setDesignState(DesignState::Normal);
        else
            designer_.selectParentBand();
        event->accept();
        return;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (count > 0) {
            designer_.selectNext(event->key() == Qt::Key_Tab && !(event->modifiers() & Qt::ShiftModifier));
            event->accept();
            return;
        }
        break;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (count > 0 && !drag_.active) {
            designer_.keyboardStep(event->key(), event->modifiers());
            event->accept();
            return;
        }
        break;
    case Qt::Key_Delete:
        if (count > 0) {
            designer_.deleteSelection();
            event->accept();
            return;
        }
        break;
    default: break;
    }
    QWidget::keyPressEvent(event);
}

} // namespace cm
