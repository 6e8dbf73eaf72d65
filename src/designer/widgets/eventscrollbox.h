#pragma once
// The scroll area around the design surface: a fixed number of pixels per
// mouse-wheel step, and signals after horizontal and vertical scrolling.
#include <QScrollArea>

namespace cm {

class EventScrollBox : public QScrollArea {
    Q_OBJECT
public:
    explicit EventScrollBox(QWidget* parent = nullptr);

    int wheelMousePixels = 38;

signals:
    void scrolledHorizontally(int value);
    void scrolledVertically(int value);

protected:
    void wheelEvent(QWheelEvent* event) override;

private:
    int wheelRemainder_ = 0;   // angle delta not yet scrolled (high-resolution wheels)
};

} // namespace cm
