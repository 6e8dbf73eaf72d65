// Page images written as PNG by our own writer read back with the same
// pixels and resolution, whatever the image's format.
#include "engine/output/pngwriter.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <gtest/gtest.h>

namespace cm {
namespace {

QImage card(QImage::Format format)
{
    QImage image(203, 131, format);   // odd sizes: no row lines up by chance
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

TEST(FastPng, ReadsBackWithTheSamePixelsAndResolution)
{
    for (const QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied, QImage::Format_RGB888}) {
        SCOPED_TRACE(int(format));
        const QImage image = card(format);
        QBuffer buffer;
        ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
        ASSERT_TRUE(writeFastPng(image, buffer));
        buffer.close();
        ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
        QImageReader reader(&buffer, "png");
        const QImage back = reader.read();
        ASSERT_FALSE(back.isNull()) << reader.errorString().toStdString();
        EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), image.convertToFormat(QImage::Format_RGB32));
        EXPECT_EQ(back.dotsPerMeterX(), 11811);
        EXPECT_EQ(back.dotsPerMeterY(), 11811);
    }
}

} // namespace
} // namespace cm
