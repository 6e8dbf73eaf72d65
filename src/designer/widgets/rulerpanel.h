#pragma once
// The horizontal ruler above the design surface: millimetres, inches or
// characters at the report's zoom; x = 0 is the paper's left edge.
#include "report/enums.h"

#include <QColor>
#include <QString>
#include <QWidget>

#include <vector>

namespace cm {

// One tick of a ruler scale, in ruler pixels (x = 0 at the paper's edge).
struct RulerTick {
    int x = 0;
    int y0 = 0, y1 = 0;   // the line runs from (x, y0) to (x, y1)
    bool major = false;
    QString label;        // drawn with its top-left corner at labelPos when not empty
    QPoint labelPos;
};

// The ticks of a ruler `length` pixels long and `height` high for a unit at
// a zoom, on a screen with `pixelsPerInch`. Pixels and the native unit have
// no scale.
std::vector<RulerTick> rulerTicks(TQRUnit units, int zoom, int length, int height, double pixelsPerInch);

class RulerPanel : public QWidget {
    Q_OBJECT
public:
    explicit RulerPanel(QWidget* parent = nullptr);

    TQRUnit units() const { return units_; }
    void setUnits(TQRUnit units);
    int zoom() const { return zoom_; }
    void setZoom(int zoom);
    // Horizontal scroll offset of the design surface, in widget pixels.
    void setOffset(int offset);
    int offset() const { return offset_; }

    // The scale covers this many pixels whatever the size of the report.
    int rulerLength() const { return length_; }
    void setRulerLength(int pixels);

    QColor majorColor = Qt::black, minorColor = Qt::black;
    Qt::PenStyle majorStyle = Qt::SolidLine, minorStyle = Qt::SolidLine;

    QSize sizeHint() const override { return QSize(400, 15); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TQRUnit units_ = TQRUnit::MM;
    int zoom_ = 100;
    int offset_ = 0;
    int length_ = 2400;
};

} // namespace cm
