#pragma once
// The horizontal ruler above the design surface: millimetres, inches or
// characters at the report's zoom; x = 0 is the paper's left edge.
#include "report/enums.h"

#include <QWidget>

namespace cm {

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

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TQRUnit units_ = TQRUnit::MM;
    int zoom_ = 100;
    int offset_ = 0;
};

} // namespace cm
