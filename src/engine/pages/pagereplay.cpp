#include "engine/pages/pagereplay.h"

#include <QDataStream>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QtEndian>

#include <cstring>
#include <limits>
#include <optional>

namespace cm {

QPicture newPagePicture(int width, int height)
{
    QPicture picture;
    picture.setBoundingRect(QRect(0, 0, width, height));
    return picture;
}

namespace {

// The player reads each record's fields by the record's kind, whatever the
// record's length says, and trusts the counts inside it: it reserves room
// for as many items as a count says. A record shorter or longer than its
// fields makes it read on into the next record and lose the framing, and
// then counts from anywhere. So every record is walked here field by field,
// as the player reads it, and must end exactly where its length says.
class FieldWalk {
public:
    FieldWalk(const uchar* p, qsizetype length) : p_(p), left_(length) {}

    bool done() const { return ok_ && left_ == 0; }

    FieldWalk& skip(qsizetype n)
    {
        if (!ok_ || n < 0 || n > left_)
            ok_ = false;
        else {
            p_ += n;
            left_ -= n;
        }
        return *this;
    }
    std::optional<quint32> count()
    {
        if (!ok_ || left_ < 4) {
            ok_ = false;
            return std::nullopt;
        }
        const quint32 n = qFromBigEndian<quint32>(p_);
        skip(4);
        return n;
    }
    // `n` items of `size` bytes each.
    FieldWalk& items(qint64 n, qsizetype size) { return n > left_ / size ? fail() : skip(qsizetype(n) * size); }
    // A string: its length in bytes (all ones for a null string), then UTF-16.
    FieldWalk& string()
    {
        const auto bytes = count();
        if (bytes && *bytes != 0xFFFFFFFFu)
            (*bytes % 2 != 0) ? fail() : items(*bytes, 1);
        return *this;
    }
    FieldWalk& stringList()
    {
        const auto n = count();
        for (quint32 i = 0; ok_ && n && i < *n; ++i)
            string();
        return *this;
    }
    FieldWalk& points()
    {
        constexpr qsizetype Point = 16;
        if (const auto n = count())
            items(*n, Point);
        return *this;
    }
    FieldWalk& path()
    {
        constexpr qsizetype Element = 20;   // kind, x, y
        constexpr qsizetype Tail = 8;       // curve start, fill rule
        if (left_ < 4)
            return fail();
        const qint32 n = qFromBigEndian<qint32>(p_);
        skip(4);
        if (n < 0)
            return fail();
        return n == 0 ? *this : items(n, Element).skip(Tail);   // an empty path is its count alone
    }
    // A brush with a gradient or a texture is not walked; pages never hold one.
    FieldWalk& brush()
    {
        constexpr qsizetype ColourAndTransform = 83;
        if (!ok_ || left_ < 1 || p_[0] > Qt::DiagCrossPattern)
            return fail();
        return skip(1).skip(ColourAndTransform);
    }
    FieldWalk& pen()
    {
        constexpr qsizetype Head = 11;       // style bits, cosmetic, width
        skip(Head).brush().skip(8);          // miter limit
        if (const auto dashes = count())
            items(*dashes, 8);
        return skip(8).skip(1);              // dash offset, default width
    }
    // A region is a block of bytes holding a list of rectangles.
    FieldWalk& region()
    {
        constexpr qint32 Rectangles = 10;
        const auto bytes = count();
        if (!bytes || *bytes == 0)
            return *this;
        if (*bytes > quint32(left_) || *bytes < 8 || qFromBigEndian<qint32>(p_) != Rectangles)
            return fail();
        const quint32 n = qFromBigEndian<quint32>(p_ + 4);
        return (*bytes - 8) / 16 == n && (*bytes - 8) % 16 == 0 ? skip(*bytes) : fail();
    }
    // The font as Qt 6.0 to 6.5 write it: family, style name, point size,
    // pixel size, 19 bytes of style, weight, stretch, spacing and flags, and
    // the family list. Later stream versions add fields this walk does not know.
    FieldWalk& font(int version)
    {
        if (version != QDataStream::Qt_6_0)
            return fail();
        return string().string().skip(8 + 4 + 19).stringList();
    }
    // An image: a marker (0 for none), then the image as PNG up to its end
    // chunk. With `decode`, the PNG must also read as an image: the player
    // reads such records itself, and a PNG it gives up on leaves it inside.
    FieldWalk& image(bool decode)
    {
        const auto marker = count();
        if (!marker || *marker == 0)
            return *this;
        constexpr char Signature[] = "\x89PNG\r\n\x1a\n";
        if (*marker != 1 || left_ < 8 || memcmp(p_, Signature, 8) != 0)
            return fail();
        const uchar* png = p_;
        const qsizetype before = left_;
        skip(8);
        for (bool last = false; ok_ && !last;) {
            const auto length = count();
            if (!length || left_ < 4)
                return fail();
            last = memcmp(p_, "IEND", 4) == 0;
            skip(4).items(*length, 1).skip(4);   // type, data, checksum
        }
        if (ok_ && decode && QImage::fromData(png, int(before - left_), "PNG").isNull())
            return fail();
        return *this;
    }

private:
    FieldWalk& fail()
    {
        ok_ = false;
        return *this;
    }

    const uchar* p_;
    qsizetype left_;
    bool ok_ = true;
};

// Only the records Qt's picture recorder writes are accepted; a page never
// holds another kind.
bool recordContentValid(quint8 code, const uchar* p, qsizetype length, int version)
{
    constexpr qsizetype Point = 16, Rect = 32, Colour = 11, Transform = 72, Int = 4, Double = 8, Byte = 1;
    FieldWalk f(p, length);
    switch (code) {
    case 7:  f.skip(Rect); break;                                            // ellipse
    case 12: f.points(); break;                                              // polyline
    case 13: f.points().skip(Byte); break;                                   // polygon, fill rule
    case 17: f.skip(Rect).image(true).skip(Rect); break;                     // pixmap
    case 18: f.skip(Rect).image(false).skip(Rect).skip(Int); break;          // image: replayed as a stand-in
    case 21: f.skip(Point).string().font(version).skip(Int + 2 * Double); break;   // text item
    case 24: f.skip(Rect).image(true).skip(Point); break;                    // tiled pixmap
    case 25: f.path(); break;
    case 31: break;                                                          // end
    case 40: f.skip(Colour); break;                                          // background colour
    case 41: f.skip(Byte); break;                                            // background mode
    case 43: f.skip(Point); break;                                           // brush origin
    case 45: f.font(version); break;
    case 46: f.pen(); break;
    case 47: f.brush(); break;
    case 55: f.skip(Transform + Byte); break;                                // transform, combine
    case 61: f.region().skip(Byte); break;                                   // clip region, operation
    case 62: f.path().skip(Byte); break;                                     // clip path, operation
    case 63:                                                                 // render hints
    case 64: f.skip(Int); break;                                             // composition mode
    case 65: f.skip(Byte); break;                                            // clipping on
    case 66: f.skip(Double); break;                                          // opacity
    default: return false;
    }
    return f.done();
}

// The picture player trusts the record count and lengths it reads and, on
// bad ones, loops over the buffer allocating as it goes; so the framing is
// checked first: every record lies inside the data, the count is exact and
// the last record ends the picture.
bool recordsValid(QByteArrayView data)
{
    if (data.size() < 32)
        return false;
    constexpr quint8 Begin = 30;
    constexpr quint8 End = 31;
    constexpr qsizetype BeginAt = 10;        // after signature, checksum, version
    constexpr qsizetype RecordsAt = 32;      // after begin code, length, rectangle, count
    const auto* bytes = reinterpret_cast<const uchar*>(data.data());
    const qsizetype size = data.size();
    const quint16 major = qFromBigEndian<quint16>(bytes + 6);
    // Pages are recorded by Qt 6; the record checks below know only its
    // layouts, and older stream formats read pens and brushes differently.
    if (major < QDataStream::Qt_6_0 || major > QDataStream::Qt_DefaultCompiledVersion || bytes[BeginAt] != Begin)
        return false;
    const quint32 count = qFromBigEndian<quint32>(bytes + 28);
    if (count == 0 || count > quint32(size - RecordsAt) / 2)
        return false;
    qsizetype pos = RecordsAt;
    quint8 code = 0;
    for (quint32 i = 0; i < count; ++i) {
        if (size - pos < 2)
            return false;
        code = bytes[pos];
        qint64 length = bytes[pos + 1];
        pos += 2;
        if (length == 255) {
            if (size - pos < 4)
                return false;
            length = qFromBigEndian<quint32>(bytes + pos);
            pos += 4;
        }
        // A begin record inside the list makes the player read a record count
        // from the bytes after it and play that many again, nested without end.
        if (code == Begin || length > size - pos || !recordContentValid(code, bytes + pos, length, major))
            return false;
        pos += qsizetype(length);
    }
    return code == End && pos == size;
}

} // namespace

bool pageRecordsValid(QByteArrayView data) { return recordsValid(data); }

bool pictureFromData(QByteArrayView data, QPicture& picture)
{
    // Signature (4), checksum (2), version (4), and at least the begin record
    // with the page rectangle. The picture checks the checksum itself when it
    // first reads its rectangle (and then has none), so it is computed once.
    constexpr qsizetype MinimumSize = 32;
    if (data.size() < MinimumSize || !data.startsWith("QPIC") || data.size() > std::numeric_limits<int>::max()
        || !recordsValid(data))
        return false;
    picture.setData(data.data(), uint(data.size()));
    if (picture.boundingRect().isEmpty()) {
        picture = QPicture();
        return false;
    }
    return true;
}

void drawPage(QPainter& painter, const QPicture& picture, const QRectF& target)
{
    const QRect page = picture.boundingRect();
    if (picture.isNull() || page.isEmpty() || target.isEmpty() || !painter.device())
        return;
    const QPaintDevice& device = *painter.device();
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / page.width(), target.height() / page.height());
    painter.translate(-page.topLeft());
    // Replay itself scales by the target's dpi over the picture's; undo it so
    // that the mapping above is the only one.
    painter.scale(double(picture.logicalDpiX()) / device.logicalDpiX(),
                  double(picture.logicalDpiY()) / device.logicalDpiY());
    painter.drawPicture(0, 0, picture);
    painter.restore();
}

} // namespace cm
