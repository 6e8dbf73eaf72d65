#include "engine/pageimages.h"

#include "engine/crc16.h"

#include <QBuffer>
#include <QDataStream>
#include <QPainter>
#include <QPicture>
#include <QtEndian>

#include <algorithm>

namespace cm {

namespace {

// The picture format's record code for a drawn image, and where its records
// start (after signature, checksum, version and the begin record).
constexpr quint8 DrawImageRecord = 18;
constexpr qsizetype RecordsAt = 32;
constexpr qsizetype ChecksumAt = 4;
constexpr qsizetype ChecksumStart = 6;
// Stored images are kept up to this many bytes together.
constexpr qsizetype CacheLimit = 32 * 1024 * 1024;

// A value as the picture's data stream writes it.
template <class T>
QByteArray streamed(const T& value, int version)
{
    QByteArray bytes;
    QDataStream s(&bytes, QIODevice::WriteOnly);
    s.setVersion(version);
    s << value;
    return bytes;
}

// An image record: target, image, source, conversion flags.
QByteArray imagePayload(int version, QByteArrayView target, QByteArrayView image, const QRectF& source)
{
    QByteArray payload;
    payload.reserve(target.size() + image.size() + 36);
    payload.append(target);
    payload.append(image);
    payload.append(streamed(source, version));
    payload.append(streamed(quint32(Qt::AutoColor), version));
    return payload;
}

struct Record {
    quint8 code = 0;
    qsizetype start = 0;     // of the code byte
    qsizetype payload = 0;   // of the data
    qsizetype length = 0;
};

// The next record at `pos`, or false at the end of the data or on bad framing.
bool nextRecord(QByteArrayView page, qsizetype pos, Record& r)
{
    const auto* bytes = reinterpret_cast<const uchar*>(page.data());
    if (page.size() - pos < 2)
        return false;
    r.code = bytes[pos];
    r.start = pos;
    r.length = bytes[pos + 1];
    r.payload = pos + 2;
    if (r.length == 255) {
        if (page.size() - r.payload < 4)
            return false;
        r.length = qFromBigEndian<quint32>(bytes + r.payload);
        r.payload += 4;
    }
    return r.length <= page.size() - r.payload;
}

void appendRecord(QByteArray& out, quint8 code, QByteArrayView payload)
{
    out.append(char(code));
    if (payload.size() < 255) {
        out.append(char(payload.size()));
    } else {
        out.append(char(255));
        char length[4];
        qToBigEndian<quint32>(quint32(payload.size()), length);
        out.append(length, 4);
    }
    out.append(payload);
}

} // namespace

// The stand-ins only work if the picture stores an image record the way
// it is rebuilt here; that is checked once on a probe picture, and without it
// images are simply drawn.
bool PageImageRecords::usable()
{
    if (usable_ >= 0)
        return usable_ == 1;
    usable_ = 0;
    const QRectF target(1, 2, 3, 4);
    QImage sample(1, 1, QImage::Format_ARGB32);
    sample.fill(Qt::black);
    QPicture probe;
    {
        QPainter p(&probe);
        p.drawImage(target, sample, QRectF(0, 0, 1, 1));
    }
    const QByteArrayView page(probe.data(), probe.size());
    if (page.size() < RecordsAt)
        return false;
    // The picture's data stream version, as its player sets it.
    const int major = qFromBigEndian<quint16>(page.data() + ChecksumStart);
    version_ = major != 4 ? major : 3;
    const QByteArray expected = imagePayload(version_, streamed(target, version_), streamed(sample, version_), QRectF(0, 0, 1, 1));
    Record r;
    for (qsizetype pos = RecordsAt; nextRecord(page, pos, r); pos = r.payload + r.length) {
        if (r.code == DrawImageRecord) {
            usable_ = page.sliced(r.payload, r.length) == expected ? 1 : 0;
            break;
        }
    }
    return usable_ == 1;
}

const QByteArray& PageImageRecords::standInForm(int number)
{
    while (int(standIns_.size()) <= number) {
        // A colour no picture of a card is likely to be, with the number in it.
        const int n = int(standIns_.size());
        QImage standIn(1, 1, QImage::Format_ARGB32);
        standIn.setPixel(0, 0, qRgba(0x5A ^ (n & 0xFF), 0xC3 ^ ((n >> 8) & 0xFF), 0x3C ^ ((n >> 16) & 0xFF), 0x17));
        standIns_.push_back(standIn);
        standInBytes_.push_back(streamed(standIn, version_));
    }
    return standInBytes_[size_t(number)];
}

const QByteArray& PageImageRecords::storedForm(const QImage& image)
{
    const qint64 key = image.cacheKey();
    const auto hit = std::find_if(cache_.begin(), cache_.end(), [key](const Stored& s) { return s.key == key; });
    if (hit != cache_.end())
        return hit->bytes;
    Stored stored{key, streamed(image, version_)};
    cacheBytes_ += stored.bytes.size();
    while (!cache_.empty() && cacheBytes_ > CacheLimit) {
        cacheBytes_ -= cache_.front().bytes.size();
        cache_.erase(cache_.begin());
    }
    cache_.push_back(std::move(stored));
    return cache_.back().bytes;
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
    pending_.push_back({storedForm(image), QRectF(image.rect())});
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
    constexpr qsizetype RectSize = 32;
    constexpr qsizetype TailSize = RectSize + 4;   // source and flags
    QByteArray out;
    qsizetype extra = 0;
    for (const Pending& p : pending_)
        extra += p.bytes.size();
    out.reserve(page.size() + extra);
    out.append(page.constData(), std::min(RecordsAt, page.size()));
    qsizetype pos = RecordsAt;
    Record r;
    while (nextRecord(page, pos, r)) {
        const QByteArrayView payload(page.constData() + r.payload, r.length);
        const Pending* image = nullptr;
        if (r.code == DrawImageRecord && r.length > RectSize + TailSize)
            image = imageForStandIn(payload.sliced(RectSize, r.length - RectSize - TailSize));
        if (image)
            appendRecord(out, r.code, imagePayload(version_, payload.first(RectSize), image->bytes, image->source));
        else
            out.append(page.constData() + r.start, r.payload + r.length - r.start);
        pos = r.payload + r.length;
    }
    pending_.clear();
    if (pos != page.size())
        return page;   // not a page this recorded; leave it as it is
    qToBigEndian<quint16>(crc16Iso3309(QByteArrayView(out).sliced(ChecksumStart)), out.data() + ChecksumAt);
    return out;
}

} // namespace cm
