#include "designer/widgets/designsurface.h"

#include "designer/designercore.h"
#include "designer/designobjects.h"
#include "designer/document.h"
#include "designer/widgets/reportpainter.h"
#include "designer/widgets/surfaceaccessible.h"
#include "engine/textlayout.h"
#include "report/design.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

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
    if (inserting && designer_.hitTest(toModel(widgetPoint)))
        setCursor(addCursor_);
    else
        unsetCursor();
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
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(palette().color(QPalette::Highlight), 0));
    for (const Component* c : document_.selection())
        p.drawRect(componentRect(c).adjusted(-1, -1, 0, 0));
    if (designer_.rubberBandActive()) {
        p.setPen(QPen(Qt::black, 0, Qt::DotLine));
        p.drawRect(toWidget(designer_.rubberBand().normalized()).adjusted(0, 0, -1, -1));
    }
}

void DesignSurface::mousePressEvent(QMouseEvent* event)
{
    setFocus(Qt::MouseFocusReason);
    const QPoint point = toModel(event->position().toPoint());
    designer_.mouseDown(event->button(), event->modifiers(), designer_.hitTest(point), point);
    event->accept();
}

void DesignSurface::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint widgetPoint = event->position().toPoint();
    designer_.mouseMove(toModel(widgetPoint));
    if (event->buttons() == Qt::NoButton)
        updateCursor(widgetPoint);
    event->accept();
}

void DesignSurface::mouseReleaseEvent(QMouseEvent* event)
{
    designer_.mouseUp(event->button(), event->modifiers(), toModel(event->position().toPoint()));
    event->accept();
}

void DesignSurface::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        mousePressEvent(event);
        return;
    }
    Component* sender = designer_.hitTest(toModel(event->position().toPoint()));
    designer_.editProperties(sender ? sender : &document_.report());
    event->accept();
}

void DesignSurface::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        const auto selection = document_.selection();
        designer_.editProperties(selection.empty() ? &document_.report() : selection.front());
        event->accept();
        return;
    }
    case Qt::Key_Escape:
        if (designer_.designState() != DesignState::Normal) {
            designer_.setDesignState(DesignState::Normal);
            event->accept();
            return;
        }
        break;
    default: break;
    }
    QWidget::keyPressEvent(event);
}

} // namespace cm
