#pragma once
// The record layer of page pictures, for the code that rewrites the image
// records of finished pages (sharing images when recording and when
// replaying). A page is: signature, checksum, version, a begin record with
// the page rectangle and record count, then records of a code byte, a length
// (one byte, or 255 and four more) and the data.
#include <QByteArray>
#include <QDataStream>
#include <QIODevice>
#include <QImage>
#include <QRectF>

#include <functional>
#include <optional>

namespace cm::pagerecords {

constexpr quint8 DrawImage = 18;
constexpr qsizetype RecordsAt = 32;
constexpr qsizetype ChecksumAt = 4;
constexpr qsizetype ChecksumStart = 6;
constexpr qsizetype VersionAt = 6;
// An image record's data: target rectangle, the image, source rectangle, flags.
constexpr qsizetype ImageHead = 32;
constexpr qsizetype ImageTail = 36;

// The data stream version the picture's player reads the page with.
int streamVersion(QByteArrayView page);

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

// An image read back from the form `streamed` gives it; null when the
// bytes are no image.
QImage storedImage(QByteArrayView bytes, int version);

QByteArray imagePayload(int version, QByteArrayView target, QByteArrayView image, const QRectF& source);

// A one-pixel image in a colour no card picture is likely to have, which
// carries `number`; stands in for the page's image of that number.
QImage standIn(int number);
// The number a stand-in carries, or -1 for any other image.
int standInNumber(const QImage& image);

// Called with the data of each image record; returns new data for it, or
// nothing to keep it.
using ImageRewrite = std::function<std::optional<QByteArray>(QByteArrayView data)>;
// The page with its image records rewritten and the checksum made anew;
// nothing when the page's records are not framed as they should be.
std::optional<QByteArray> rewriteImages(QByteArrayView page, const ImageRewrite& rewrite);

} // namespace cm::pagerecords
