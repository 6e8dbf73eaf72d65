#include "engine/pagereplay.h"

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

// The picture player trusts the record count and lengths it reads and, on
// bad ones, loops over the buffer allocating as it goes; so the framing is
// checked first: every record lies inside the data, the count is exact and
// the last record ends the picture.
bool recordsValid(QByteArrayView data)
{
    constexpr quint8 Begin = 30;
    constexpr quint8 End = 31;
    constexpr qsizetype BeginAt = 10;        // after signature, checksum, version
    constexpr qsizetype RecordsAt = 32;      // after begin code, length, rectangle, count
    const auto* bytes = reinterpret_cast<const uchar*>(data.data());
    const qsizetype size = data.size();
    const quint16 major = qFromBigEndian<quint16>(bytes + 6);
    if (major < 4 || major > QDataStream::Qt_DefaultCompiledVersion || bytes[BeginAt] != Begin)
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
        if (!knownRecord(code) || length > size - pos)
            return false;
        pos += qsizetype(length);
    }
    return code == End && pos == size;
}

} // namespace

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
