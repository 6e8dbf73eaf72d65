#include "engine/pages/pagerecords.h"

#include "engine/pages/crc16.h"

#include <QtEndian>

namespace cm::pagerecords {

namespace {

struct Record {
    quint8 code = 0;
    qsizetype start = 0;     // of the code byte
    qsizetype payload = 0;   // of the data
    qsizetype length = 0;
};

// The record at `pos`; false at the end of the data or on bad framing.
bool recordAt(QByteArrayView page, qsizetype pos, Record& r)
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

constexpr QRgb StandInBase = qRgba(0x5A, 0xC3, 0x3C, 0x17);
constexpr int MaxStandIns = 1 << 24;

} // namespace

int streamVersion(QByteArrayView page)
{
    if (page.size() < VersionAt + 2)
        return 0;
    const int major = qFromBigEndian<quint16>(page.data() + VersionAt);
    return major != 4 ? major : 3;
}

QImage storedImage(QByteArrayView bytes, int version)
{
    QImage image;
    const QByteArray data = QByteArray::fromRawData(bytes.data(), bytes.size());
    QDataStream s(data);
    s.setVersion(version);
    s >> image;
    return s.status() == QDataStream::Ok ? image : QImage();
}

QByteArray imagePayload(int version, QByteArrayView target, QByteArrayView image, const QRectF& source)
{
    QByteArray payload;
    payload.reserve(target.size() + image.size() + ImageTail);
    payload.append(target);
    payload.append(image);
    payload.append(streamed(source, version));
    payload.append(streamed(quint32(Qt::AutoColor), version));
    return payload;
}

QImage standIn(int number)
{
    QImage image(1, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, StandInBase ^ (QRgb(number) & 0xFFFFFF));
    return image;
}

int standInNumber(const QImage& image)
{
    if (image.width() != 1 || image.height() != 1 || image.format() != QImage::Format_ARGB32)
        return -1;
    const QRgb pixel = image.pixel(0, 0);
    if (qAlpha(pixel) != qAlpha(StandInBase))
        return -1;
    const int number = int((pixel ^ StandInBase) & 0xFFFFFF);
    return number < MaxStandIns ? number : -1;
}

std::optional<QByteArray> rewriteImages(QByteArrayView page, const ImageRewrite& rewrite)
{
    if (page.size() < RecordsAt)
        return std::nullopt;
    QByteArray out;
    out.reserve(page.size());
    out.append(page.first(RecordsAt));
    qsizetype pos = RecordsAt;
    Record r;
    while (recordAt(page, pos, r)) {
        const QByteArrayView data = page.sliced(r.payload, r.length);
        std::optional<QByteArray> replaced;
        if (r.code == DrawImage)
            replaced = rewrite(data);
        if (replaced)
            appendRecord(out, r.code, *replaced);
        else
            out.append(page.sliced(r.start, r.payload + r.length - r.start));
        pos = r.payload + r.length;
    }
    if (pos != page.size())
        return std::nullopt;
    qToBigEndian<quint16>(crc16Iso3309(QByteArrayView(out).sliced(ChecksumStart)), out.data() + ChecksumAt);
    return out;
}

} // namespace cm::pagerecords
