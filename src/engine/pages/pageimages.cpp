#include "engine/pages/pageimages.h"

#include "engine/pages/pagerecords.h"

#include <QPainter>
#include <QPicture>

namespace cm {

using namespace pagerecords;

// The stand-ins only work if the picture stores an image record the way
// it is rebuilt here; that is checked once on a probe picture, and without it
// images are simply drawn.
bool PageImageRecords::usable()
{
    if (usable_ >= 0)
        return usable_ == 1;
    usable_ = 0;
    const QRectF target(1, 2, 3, 4);
    const QImage sample = standIn(0);
    QPicture probe;
    {
        QPainter p(&probe);
        p.drawImage(target, sample, QRectF(0, 0, 1, 1));
    }
    const QByteArrayView page(probe.data(), probe.size());
    version_ = streamVersion(page);
    const QByteArray expected = imagePayload(version_, streamed(target, version_), streamed(sample, version_), QRectF(0, 0, 1, 1));
    bool seen = false;
    const auto checked = rewriteImages(page, [&](QByteArrayView data) -> std::optional<QByteArray> {
        seen = seen || data == expected;
        return std::nullopt;
    });
    usable_ = checked && seen && *checked == page ? 1 : 0;
    return usable_ == 1;
}

const QByteArray& PageImageRecords::standInForm(int number)
{
    while (int(standIns_.size()) <= number) {
        standIns_.push_back(standIn(int(standIns_.size())));
        standInBytes_.push_back(streamed(standIns_.back(), version_));
    }
    return standInBytes_[size_t(number)];
}

const PageImageRecords::Stored& PageImageRecords::storedForm(const QImage& image)
{
    const qint64 key = image.cacheKey();
    if (const Stored* hit = cache_.find([key](const Stored& s) { return s.key == key; }))
        return *hit;
    QByteArray bytes = streamed(image, version_);
    const qsizetype cost = bytes.size();
    return cache_.add({key, std::move(bytes), {}}, cost);
}

std::vector<RelayImage> PageImageRecords::replayImages()
{
    std::vector<RelayImage> images;
    images.reserve(pending_.size());
    for (const Pending& p : pending_) {
        // Decoded once while the image stays in the cache, so that every
        // page gives the output one and the same image.
        const Stored* hit = cache_.find([&p](const Stored& s) { return s.key == p.key; });
        if (hit && hit->decoded.isNull())
            hit->decoded = storedImage(p.bytes, version_);
        images.push_back({hit ? hit->decoded : storedImage(p.bytes, version_), p.source});
    }
    return images;
}

void PageImageRecords::draw(QPainter& painter, const QRectF& target, const QImage& image)
{
    if (image.isNull())
        return;
    if (!usable()) {
        painter.drawImage(target, image);
        return;
    }
    const int number = int(pending_.size());
    standInForm(number);
    const Stored& stored = storedForm(image);
    pending_.push_back({stored.key, stored.bytes, QRectF(image.rect())});
    painter.drawImage(target, standIns_[size_t(number)], QRectF(0, 0, 1, 1));
}

const PageImageRecords::Pending* PageImageRecords::imageForStandIn(QByteArrayView imagePart) const
{
    for (size_t n = 0; n < pending_.size(); ++n) {
        if (standInBytes_[n] == imagePart)
            return &pending_[n];
    }
    return nullptr;
}

QByteArray PageImageRecords::resolve(QByteArray page)
{
    if (pending_.empty())
        return page;
    const auto rewritten = rewriteImages(page, [this](QByteArrayView data) -> std::optional<QByteArray> {
        if (data.size() <= ImageHead + ImageTail)
            return std::nullopt;
        const Pending* image = imageForStandIn(data.sliced(ImageHead, data.size() - ImageHead - ImageTail));
        if (!image)
            return std::nullopt;
        return imagePayload(version_, data.first(ImageHead), image->bytes, image->source);
    });
    pending_.clear();
    return rewritten ? *rewritten : page;   // a page not framed as recorded stays as it is
}

} // namespace cm
