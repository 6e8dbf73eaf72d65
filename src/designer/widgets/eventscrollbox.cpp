#include "designer/widgets/eventscrollbox.h"

#include <QScrollBar>
#include <QWheelEvent>

namespace cm {

EventScrollBox::EventScrollBox(QWidget* parent) : QScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, &EventScrollBox::scrolledHorizontally);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &EventScrollBox::scrolledVertically);
}

void EventScrollBox::wheelEvent(QWheelEvent* event)
{
    // Vertical steps scroll a fixed distance; high-resolution wheels send
    // parts of a step, which add up until a whole step is reached.
    const int delta = event->angleDelta().y();
    if (delta == 0 || event->modifiers() != Qt::NoModifier) {
        QScrollArea::wheelEvent(event);
        return;
    }
    wheelRemainder_ += delta;
    const int steps = wheelRemainder_ / QWheelEvent::DefaultDeltasPerStep;
    wheelRemainder_ -= steps * QWheelEvent::DefaultDeltasPerStep;
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(bar->value() - steps * wheelMousePixels);
    event->accept();
}

} // namespace cm
