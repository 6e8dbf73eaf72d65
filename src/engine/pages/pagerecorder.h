#pragma once
// Records a page as a page picture, record for record what QPicture itself
// records, but finishes it without the picture's own pass over all its bytes
// to checksum them: that pass, done a byte at a time, was a fifth of the
// time of a run. The records are written by the picture's own engine; only
// the end (end record, record count, checksum) is written here, the checksum
// eight bytes at a time.
#include <QByteArray>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPicture>

#include <utility>

namespace cm {

// Hands every call on to the picture's engine, with the painter's state.
class PageRecordingEngine final : public QPaintEngine {
public:
    explicit PageRecordingEngine(QPicture& picture);

    bool begin(QPaintDevice*) override;
    bool end() override;
    Type type() const override { return Picture; }
    void updateState(const QPaintEngineState& state) override;

    void drawRects(const QRect* rects, int count) override;
    void drawRects(const QRectF* rects, int count) override;
    void drawLines(const QLine* lines, int count) override;
    void drawLines(const QLineF* lines, int count) override;
    void drawEllipse(const QRectF& r) override;
    void drawEllipse(const QRect& r) override;
    void drawPath(const QPainterPath& path) override;
    void drawPoints(const QPointF* points, int count) override;
    void drawPoints(const QPoint* points, int count) override;
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override;
    void drawPolygon(const QPoint* points, int count, PolygonDrawMode mode) override;
    void drawPixmap(const QRectF& r, const QPixmap& pm, const QRectF& sr) override;
    void drawTextItem(const QPointF& p, const QTextItem& ti) override;
    void drawTiledPixmap(const QRectF& r, const QPixmap& pm, const QPointF& s) override;
    void drawImage(const QRectF& r, const QImage& image, const QRectF& sr, Qt::ImageConversionFlags flags) override;

    // The records of the page painted last, not finished yet (see
    // finishPageRecords); empty before.
    QByteArray takeRecords() { return std::exchange(records_, QByteArray()); }

private:
    // The picture's engine, told the painter's current state.
    QPaintEngine& target();

    QPicture& picture_;
    QByteArray records_;
};

// A page of width × height dots, recorded as a page picture.
class PageRecorder final : public QPaintDevice {
public:
    PageRecorder(int width, int height);
    PageRecorder(const PageRecorder&) = delete;
    PageRecorder& operator=(const PageRecorder&) = delete;
    ~PageRecorder() override;

    QPaintEngine* paintEngine() const override { return &engine_; }
    // The page's records once the painter has ended, to be finished with
    // finishPageRecords; empty before.
    QByteArray takeRecords() { return engine_.takeRecords(); }

protected:
    int metric(PaintDeviceMetric m) const override;

private:
    QPicture picture_;
    mutable PageRecordingEngine engine_;
};

// Finishes the records of a picture that was not ended: adds the end
// record, the record count and the checksum, as ending the picture would.
// False when the records are not framed as a picture's.
bool finishPageRecords(QByteArray& records);

} // namespace cm
