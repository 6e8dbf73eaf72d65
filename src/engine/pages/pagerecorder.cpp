#include "engine/pages/pagerecorder.h"

#include "engine/pages/crc16.h"
#include "engine/pages/pagerecords.h"
#include "engine/pages/pagereplay.h"
#include "engine/pages/relayengine.h"

#include <QtEndian>

namespace cm {

namespace {

// The painter keeps its state in the engine it paints with; the picture's
// engine is handed the same state, as if the painter painted on it.
struct EngineState : QPaintEngine {
    static QPaintEngineState* QPaintEngine::*member() { return &EngineState::state; }
};

constexpr quint8 EndRecord = 31;
constexpr qsizetype CountAt = 28;

} // namespace

bool finishPageRecords(QByteArray& records)
{
    using namespace pagerecords;
    if (records.size() < RecordsAt)
        return false;
    const auto* bytes = reinterpret_cast<const uchar*>(records.constData());
    const qsizetype size = records.size();
    quint32 count = 0;
    qsizetype pos = RecordsAt;
    while (pos < size) {
        if (size - pos < 2)
            return false;
        qsizetype length = bytes[pos + 1];
        pos += 2;
        if (length == 255) {
            if (size - pos < 4)
                return false;
            length = qsizetype(qFromBigEndian<quint32>(bytes + pos));
            pos += 4;
        }
        if (length > size - pos)
            return false;
        pos += length;
        ++count;
    }
    records.append(char(EndRecord));
    records.append(char(0));
    qToBigEndian<quint32>(count + 1, records.data() + CountAt);
    qToBigEndian<quint16>(crc16Iso3309(QByteArrayView(records).sliced(ChecksumStart)), records.data() + ChecksumAt);
    return true;
}

PageRecordingEngine::PageRecordingEngine(QPicture& picture)
    : QPaintEngine(AllFeatures), picture_(picture)
{
}

QPaintEngine& PageRecordingEngine::target()
{
    QPaintEngine& engine = *picture_.paintEngine();
    engine.*EngineState::member() = state;
    return engine;
}

bool PageRecordingEngine::begin(QPaintDevice*)
{
    records_.clear();
    QPaintEngine& engine = target();
    engine.setPaintDevice(&picture_);
    return engine.begin(&picture_);
}

bool PageRecordingEngine::end()
{
    // The records as the picture holds them so far; the picture itself is
    // never ended, and starts afresh for the next page.
    records_ = QByteArray(picture_.data(), qsizetype(picture_.size()));
    const QRect page = picture_.boundingRect();
    picture_ = newPagePicture(page.width(), page.height());
    return true;
}

void PageRecordingEngine::updateState(const QPaintEngineState& s) { target().updateState(s); }
void PageRecordingEngine::drawRects(const QRect* rects, int count) { target().drawRects(rects, count); }
void PageRecordingEngine::drawRects(const QRectF* rects, int count) { target().drawRects(rects, count); }
void PageRecordingEngine::drawLines(const QLine* lines, int count) { target().drawLines(lines, count); }
void PageRecordingEngine::drawLines(const QLineF* lines, int count) { target().drawLines(lines, count); }
void PageRecordingEngine::drawEllipse(const QRectF& r) { target().drawEllipse(r); }
void PageRecordingEngine::drawEllipse(const QRect& r) { target().drawEllipse(r); }
void PageRecordingEngine::drawPath(const QPainterPath& path) { target().drawPath(path); }
void PageRecordingEngine::drawPoints(const QPointF* points, int count) { target().drawPoints(points, count); }
void PageRecordingEngine::drawPoints(const QPoint* points, int count) { target().drawPoints(points, count); }
void PageRecordingEngine::drawPolygon(const QPointF* points, int count, PolygonDrawMode mode)
{
    target().drawPolygon(points, count, mode);
}
void PageRecordingEngine::drawPolygon(const QPoint* points, int count, PolygonDrawMode mode)
{
    target().drawPolygon(points, count, mode);
}
void PageRecordingEngine::drawPixmap(const QRectF& r, const QPixmap& pm, const QRectF& sr)
{
    target().drawPixmap(r, pm, sr);
}
void PageRecordingEngine::drawTextItem(const QPointF& p, const QTextItem& ti) { target().drawTextItem(p, ti); }
void PageRecordingEngine::drawTiledPixmap(const QRectF& r, const QPixmap& pm, const QPointF& s)
{
    target().drawTiledPixmap(r, pm, s);
}
void PageRecordingEngine::drawImage(const QRectF& r, const QImage& image, const QRectF& sr,
                                    Qt::ImageConversionFlags flags)
{
    target().drawImage(r, image, sr, flags);
}

PageRecorder::PageRecorder(int width, int height)
    : picture_(newPagePicture(width, height)), engine_(picture_)
{
}

PageRecorder::~PageRecorder() = default;

// The picture's own measures: text is laid out as on the picture itself.
int PageRecorder::metric(PaintDeviceMetric m) const { return deviceMetric(picture_, m); }

} // namespace cm
