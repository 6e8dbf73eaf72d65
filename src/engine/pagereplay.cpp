#include "engine/pagereplay.h"

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

bool pictureFromData(QByteArrayView data, QPicture& picture)
{
    // Signature (4), checksum (2) over everything after it, version (4), and
    // at least the begin record with the page rectangle.
    constexpr qsizetype ChecksumStart = 6;
    constexpr qsizetype MinimumSize = 32;
    if (data.size() < MinimumSize || !data.startsWith("QPIC") || data.size() > std::numeric_limits<int>::max())
        return false;
    const quint16 stored = qFromBigEndian<quint16>(data.data() + 4);
    if (qChecksum(data.sliced(ChecksumStart)) != stored)
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
