// Page images written as JPEG by our own writer decode to the pixels the
// general image writer gives, with the resolution kept.
#include "engine/output/jpegwriter.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>
#include <gtest/gtest.h>

namespace cm {
namespace {

QImage card(QImage::Format format)
{
    QImage image(211, 137, format);   // sizes off the 16-pixel blocks
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(20, 20, 140), 4));
    p.drawRect(6, 6, 199, 125);
    p.setFont(QFont(QStringLiteral("Arial"), 18, QFont::Bold));
    p.drawText(QPointF(20, 60), QStringLiteral("S50QSL"));
    p.fillRect(120, 80, 60, 40, QColor(230, 90, 10));
    p.end();
    image.setDotsPerMeterX(11811);
    image.setDotsPerMeterY(11811);
    return image;
}

QByteArray generalWriter(const QImage& image, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(quality);
    EXPECT_TRUE(writer.write(image)) << writer.errorString().toStdString();
    return bytes;
}

TEST(FastJpeg, DecodesToThePixelsOfTheGeneralWriter)
{
    for (const QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied, QImage::Format_RGB888}) {
        for (const int quality : {0, 60, 90, 100}) {
            SCOPED_TRACE(testing::Message() << "format " << int(format) << ", quality " << quality);
            const QImage image = card(format);
            const QImage ours = QImage::fromData(encodeFastJpeg(image, quality), "jpeg");
            const QImage general = QImage::fromData(generalWriter(image, quality), "jpeg");
            ASSERT_FALSE(ours.isNull());
            EXPECT_EQ(ours, general);
            EXPECT_EQ(ours.dotsPerMeterX(), general.dotsPerMeterX());
        }
    }
    EXPECT_TRUE(encodeFastJpeg(QImage(), 90).isEmpty());
    EXPECT_TRUE(encodeFastJpeg(card(QImage::Format_RGB32), 101).isEmpty());
}

} // namespace
} // namespace cm
