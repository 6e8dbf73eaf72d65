#include "engine/pages/pagereplay.h"

#include <QDataStream>
#include <QPaintDevice>
#include <QPainter>
#include <QtEndian>

#include <limits>

namespace cm {

QPicture newPagePicture(int width, int height)
{
    QPicture picture;
    picture.setBoundingRect(QRect(0, 0, width, height));
    return picture;
}

namespace {

// Record codes of the picture format that a page may hold.
bool knownRecord(quint8 code)
{
    return code <= 25 || (code >= 30 && code <= 34) || (code >= 40 && code <= 57 && code != 44)
        || (code >= 60 && code <= 66);
}

// The player also trusts the counts inside records: it reserves room for as
// many items as a count says and reads on past the record's end. So every
// count it reads is checked against the bytes of its record. A brush with a
// gradient or a texture is not checked item by item; pages never hold one,
// so such a page is refused.
bool brushSimple(const uchar* brush) { return brush[0] <= Qt::DiagCrossPattern; }

bool recordContentValid(quint8 code, const uchar* p, qsizetype length)
{
    constexpr quint8 LineSegments = 11, Polyline = 12, Polygon = 13, CubicBezier = 14, Points = 22,
                     Path = 25, SetPen = 46, SetBrush = 47, SetClipPath = 62;
    constexpr qsizetype PathElement = 20;      // kind, x, y
    constexpr qsizetype PathTail = 8;          // curve start, fill rule
    constexpr qsizetype PointSize = 8;         // the smaller of the two point forms
    constexpr qsizetype SimpleBrush = 84;      // style, colour, transform
    constexpr qsizetype PenHead = 11;          // style bits, cosmetic, width
    switch (code) {
    case Path:
    case SetClipPath: {
        if (length < 4)
            return false;
        const qint64 n = qFromBigEndian<qint32>(p);
        return n >= 0 && 4 + n * PathElement + PathTail <= length;
    }
    case LineSegments:
    case Polyline:
    case Polygon:
    case CubicBezier:
    case Points: {
        if (length < 4)
            return false;
        const qint64 n = qFromBigEndian<quint32>(p);
        return 4 + n * PointSize <= length;
    }
    case SetBrush:
        return length >= SimpleBrush && brushSimple(p);
    case SetPen: {
        // Style bits, cosmetic, width, brush, miter limit, dash count and dashes, offset, default width.
        constexpr qsizetype DashCountAt = PenHead + SimpleBrush + 8;
        if (length < DashCountAt + 4 || !brushSimple(p + PenHead))
            return false;
        const qint64 n = qFromBigEndian<quint32>(p + DashCountAt);
        return DashCountAt + 4 + n * 8 <= length;
    }
    default:
        return true;
    }
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
        if (!knownRecord(code) || code == Begin || length > size - pos
            || !recordContentValid(code, bytes + pos, length))
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
