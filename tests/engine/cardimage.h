#pragma once
// A small card image for the image writers' tests: antialiased lines and
// text, a solid block, rows that repeat and rows that do not, a size off the
// encoders' block sizes, and a resolution of 300 dpi.
#include <QImage>
#include <QPainter>

namespace cm::test {

inline QImage cardImage(QImage::Format format)
{
    QImage image(203, 131, format);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(200, 20, 90), 3));
    p.drawEllipse(20, 10, 120, 90);
    p.setFont(QFont(QStringLiteral("Arial"), 14));
    p.drawText(QPointF(30, 120), QStringLiteral("DL1ABC 599"));
    p.fillRect(150, 0, 53, 131, QColor(10, 250, 3));
    p.end();
    image.setDotsPerMeterX(11811);
    image.setDotsPerMeterY(11811);
    return image;
}

} // namespace cm::test
