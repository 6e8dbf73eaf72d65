#include "engine/pages/pageplayer.h"

#include "engine/pages/crc16.h"
#include "engine/pages/pagerecords.h"
#include "engine/pages/pagereplay.h"

#include "engine/pages/relayengine.h"

#include <QDataStream>
#include <QHashFunctions>
#include <QPainter>
#include <QPicture>
#include <QtEndian>

namespace cm {

using namespace pagerecords;

const QImage* PagePlayer::decoded(QByteArrayView bytes, int version)
{
    const size_t hash = qHash(bytes);
    if (const Decoded* d = cache_.find([&](const Decoded& d) { return d.hash == hash && d.bytes == bytes; }))
        return &d->image;
    Decoded d{bytes.toByteArray(), hash, {}};
    d.image = storedImage(d.bytes, version);
    if (d.image.isNull())
        return nullptr;
    const qsizetype cost = d.bytes.size() + d.image.sizeInBytes();
    return &cache_.add(std::move(d), cost).image;
}

bool PagePlayer::drawPage(QPainter& painter, QByteArrayView page, const QRectF& target)
{
    // Rewriting makes the checksum anew, so the page's own is checked first.
    if (page.size() < RecordsAt
        || qFromBigEndian<quint16>(page.data() + ChecksumAt) != crc16Iso3309(page.sliced(ChecksumStart))
        || !pageRecordsValid(page))
        return false;
    const int version = streamVersion(page);
    if (version != standInVersion_) {
        standInBytes_.clear();
        standInVersion_ = version;
    }
    pageImages_.clear();
    // The player would read an image that does not decode itself, give up
    // inside it and lose its way through the records after it.
    bool imageDamaged = false;
    const auto withStandIns = rewriteImages(page, [&](QByteArrayView data) -> std::optional<QByteArray> {
        if (data.size() <= ImageHead + ImageTail) {
            imageDamaged = true;
            return std::nullopt;
        }
        const QByteArrayView bytes = data.sliced(ImageHead, data.size() - ImageHead - ImageTail);
        if (bytes == QByteArrayView("\0\0\0\0", 4))
            return std::nullopt;   // no image: the player draws nothing
        const QImage* image = decoded(bytes, version);
        if (!image) {
            imageDamaged = true;
            return std::nullopt;
        }
        QRectF source;
        QDataStream tail(data.sliced(data.size() - ImageTail).toByteArray());
        tail.setVersion(version);
        tail >> source;
        const int number = int(pageImages_.size());
        pageImages_.push_back({*image, source});
        while (standInBytes_.size() <= size_t(number))
            standInBytes_.push_back(streamed(standIn(int(standInBytes_.size())), version));
        return imagePayload(version, data.first(ImageHead), standInBytes_[size_t(number)], QRectF(0, 0, 1, 1));
    });
    QPicture picture;
    if (imageDamaged || !withStandIns || !pictureFromData(*withStandIns, picture))
        return false;
    // Always through the relay, which also keeps a forged page's extremes
    // away from the target.
    drawThroughRelay(painter, picture, pageImages_, target);
    return true;
}

void drawThroughRelay(QPainter& painter, const QPicture& picture, const std::vector<RelayImage>& images,
                      const QRectF& target)
{
    painter.save();
    {
        RelayDevice device(painter, images);
        QPainter relay(&device);
        relay.setTransform(painter.transform());
        relay.setRenderHints(painter.renderHints());
        cm::drawPage(relay, picture, target);
    }
    painter.restore();
}

} // namespace cm
