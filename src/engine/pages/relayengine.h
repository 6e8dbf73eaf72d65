#pragma once
// A paint surface that passes what is drawn on it on to another painter.
// Stored pages are replayed through it: it hands each page's pictures to the
// target as shared images, and it keeps out of the target what no sound page
// holds (coordinates, transforms, pens and fonts far beyond any sheet), which
// a forged page used to stall or crash the rasteriser with.
#include <QImage>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QRectF>

#include <vector>

class QPainter;

namespace cm {

// A picture of the page, for the stand-in that carries its number.
struct RelayImage {
    QImage image;
    QRectF source;
};

class RelayEngine final : public QPaintEngine {
public:
    RelayEngine(QPainter& target, const std::vector<RelayImage>& images);

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return User; }
    void updateState(const QPaintEngineState& state) override;

    void drawImage(const QRectF& r, const QImage& image, const QRectF& sr, Qt::ImageConversionFlags flags) override;
    void drawPath(const QPainterPath& path) override;
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override;
    void drawRects(const QRectF* rects, int count) override;
    void drawLines(const QLineF* lines, int count) override;
    void drawEllipse(const QRectF& r) override;
    void drawPoints(const QPointF* points, int count) override;
    void drawPixmap(const QRectF& r, const QPixmap& pm, const QRectF& sr) override;
    void drawTiledPixmap(const QRectF& r, const QPixmap& pm, const QPointF& p) override;
    void drawTextItem(const QPointF& p, const QTextItem& ti) override;

private:
    // Whether `logical` (target coordinates before the transform) lies within reach.
    bool reachable(const QRectF& logical) const;
    bool drawable() const { return transformSound_; }
    void setPen(QPen pen);

    QPainter& t_;
    const std::vector<RelayImage>& images_;
    bool transformSound_ = true;
};

// A measure of `device`, for a surface that passes its painting on to it:
// what is drawn there is laid out and scaled exactly as on `device` itself.
int deviceMetric(const QPaintDevice& device, QPaintDevice::PaintDeviceMetric metric);

// A surface with the target's measures, so that what is played onto it is
// laid out and scaled exactly as on the target itself.
class RelayDevice final : public QPaintDevice {
public:
    RelayDevice(QPainter& target, const std::vector<RelayImage>& images);
    QPaintEngine* paintEngine() const override { return &engine_; }

protected:
    int metric(PaintDeviceMetric m) const override;

private:
    QPaintDevice& target_;
    mutable RelayEngine engine_;
};

} // namespace cm
