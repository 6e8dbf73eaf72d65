#include "engine/pageplayer.h"

#include "engine/crc16.h"
#include "engine/pagerecords.h"
#include "engine/pagereplay.h"

#include <QHashFunctions>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QtEndian>

namespace cm {

using namespace pagerecords;

namespace {

// Decoded images are kept up to this many bytes, stored and decoded form together.
constexpr qsizetype CacheLimit = 128 * 1024 * 1024;

qsizetype cost(const QByteArray& bytes, const QImage& image) { return bytes.size() + image.sizeInBytes(); }

// Passes everything the picture's player draws on to the target painter,
// as the player would have drawn it there itself, except that stand-ins
// become the page's images.
class RelayEngine final : public QPaintEngine {
public:
    RelayEngine(QPainter& target, const std::vector<PagePlayer::PageImage>& images)
        : QPaintEngine(AllFeatures), t_(target), images_(images)
    {
    }

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return User; }

    void updateState(const QPaintEngineState& s) override
    {
        // In the order the picture records state, which its player applies.
        const DirtyFlags f = s.state();
        if (f & DirtyPen)
            t_.setPen(s.pen());
        if (f & DirtyBrush)
            t_.setBrush(s.brush());
        if (f & DirtyBrushOrigin)
            t_.setBrushOrigin(s.brushOrigin());
        if (f & DirtyFont)
            t_.setFont(s.font());
        if (f & DirtyBackground)
            t_.setBackground(s.backgroundBrush());
        if (f & DirtyBackgroundMode)
            t_.setBackgroundMode(s.backgroundMode());
        if (f & DirtyTransform)
            t_.setTransform(s.transform());
        if (f & DirtyClipEnabled)
            t_.setClipping(s.isClipEnabled());
        if (f & DirtyClipRegion)
            t_.setClipRegion(s.clipRegion(), s.clipOperation());
        if (f & DirtyClipPath)
            t_.setClipPath(s.clipPath(), s.clipOperation());
        if (f & DirtyHints) {
            t_.setRenderHints(t_.renderHints(), false);
            t_.setRenderHints(s.renderHints(), true);
        }
        if (f & DirtyCompositionMode)
            t_.setCompositionMode(s.compositionMode());
        if (f & DirtyOpacity)
            t_.setOpacity(s.opacity());
    }

    void drawImage(const QRectF& r, const QImage& image, const QRectF& sr, Qt::ImageConversionFlags flags) override
    {
        const int number = standInNumber(image);
        if (number >= 0 && size_t(number) < images_.size()) {
            const PagePlayer::PageImage& own = images_[size_t(number)];
            t_.drawImage(r, own.image, own.source, flags);
            return;
        }
        t_.drawImage(r, image, sr, flags);
    }

    void drawPath(const QPainterPath& path) override { t_.drawPath(path); }
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override
    {
        switch (mode) {
        case PolylineMode: t_.drawPolyline(points, count); break;
        case OddEvenMode: t_.drawPolygon(points, count, Qt::OddEvenFill); break;
        case WindingMode: t_.drawPolygon(points, count, Qt::WindingFill); break;
        case ConvexMode: t_.drawConvexPolygon(points, count); break;
        }
    }
    void drawRects(const QRectF* rects, int count) override { t_.drawRects(rects, count); }
    void drawLines(const QLineF* lines, int count) override { t_.drawLines(lines, count); }
    void drawEllipse(const QRectF& r) override { t_.drawEllipse(r); }
    void drawPoints(const QPointF* points, int count) override { t_.drawPoints(points, count); }
    void drawPixmap(const QRectF& r, const QPixmap& pm, const QRectF& sr) override { t_.drawPixmap(r, pm, sr); }
    void drawTiledPixmap(const QRectF& r, const QPixmap& pm, const QPointF& p) override { t_.drawTiledPixmap(r, pm, p); }
    void drawTextItem(const QPointF& p, const QTextItem& ti) override { t_.drawTextItem(p, ti); }

private:
    QPainter& t_;
    const std::vector<PagePlayer::PageImage>& images_;
};

// A surface with the target's measures, so that the player lays text out and
// scales exactly as it would on the target itself.
class RelayDevice final : public QPaintDevice {
public:
    RelayDevice(QPainter& target, const std::vector<PagePlayer::PageImage>& images)
        : target_(*target.device()), engine_(target, images)
    {
    }
    QPaintEngine* paintEngine() const override { return &engine_; }

protected:
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmWidth: return target_.width();
        case PdmHeight: return target_.height();
        case PdmWidthMM: return target_.widthMM();
        case PdmHeightMM: return target_.heightMM();
        case PdmNumColors: return target_.colorCount();
        case PdmDepth: return target_.depth();
        case PdmDpiX: return target_.logicalDpiX();
        case PdmDpiY: return target_.logicalDpiY();
        case PdmPhysicalDpiX: return target_.physicalDpiX();
        case PdmPhysicalDpiY: return target_.physicalDpiY();
        case PdmDevicePixelRatio: return int(target_.devicePixelRatio());
        case PdmDevicePixelRatioScaled: return int(target_.devicePixelRatioF() * devicePixelRatioFScale());
        }
        return 0;
    }

private:
    QPaintDevice& target_;
    mutable RelayEngine engine_;
};

} // namespace

const QImage* PagePlayer::decoded(QByteArrayView bytes, int version)
{
    const size_t hash = qHash(bytes);
    for (const Decoded& d : cache_) {
        if (d.hash == hash && d.bytes == bytes)
            return &d.image;
    }
    Decoded d{bytes.toByteArray(), hash, {}};
    QDataStream s(d.bytes);
    s.setVersion(version);
    s >> d.image;
    if (d.image.isNull() || s.status() != QDataStream::Ok)
        return nullptr;
    cacheBytes_ += cost(d.bytes, d.image);
    while (!cache_.empty() && cacheBytes_ > CacheLimit) {
        cacheBytes_ -= cost(cache_.front().bytes, cache_.front().image);
        cache_.erase(cache_.begin());
    }
    cache_.push_back(std::move(d));
    return &cache_.back().image;
}

bool PagePlayer::drawPage(QPainter& painter, QByteArrayView page, const QRectF& target)
{
    // Rewriting makes the checksum anew, so the page's own is checked first.
    if (page.size() < RecordsAt
        || qFromBigEndian<quint16>(page.data() + ChecksumAt) != crc16Iso3309(page.sliced(ChecksumStart)))
        return false;
    const int version = streamVersion(page);
    pageImages_.clear();
    const auto withStandIns = rewriteImages(page, [&](QByteArrayView data) -> std::optional<QByteArray> {
        if (data.size() <= ImageHead + ImageTail)
            return std::nullopt;
        const QImage* image = decoded(data.sliced(ImageHead, data.size() - ImageHead - ImageTail), version);
        if (!image)
            return std::nullopt;   // the player reads it, or finds it damaged
        QRectF source;
        QDataStream tail(data.sliced(data.size() - ImageTail).toByteArray());
        tail.setVersion(version);
        tail >> source;
        const int number = int(pageImages_.size());
        pageImages_.push_back({*image, source});
        return imagePayload(version, data.first(ImageHead), streamed(standIn(number), version), QRectF(0, 0, 1, 1));
    });
    QPicture picture;
    if (!withStandIns || !pictureFromData(*withStandIns, picture))
        return false;
    if (pageImages_.empty()) {
        cm::drawPage(painter, picture, target);
        return true;
    }
    painter.save();
    {
        RelayDevice device(painter, pageImages_);
        QPainter relay(&device);
        relay.setTransform(painter.transform());
        relay.setRenderHints(painter.renderHints());
        cm::drawPage(relay, picture, target);
    }
    painter.restore();
    return true;
}

} // namespace cm
