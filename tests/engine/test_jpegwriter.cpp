// Page images written as JPEG by our own writer decode to the pixels the
// general image writer gives, with the resolution kept.
#include "engine/output/jpegwriter.h"
#include "cardimage.h"

#include <QBuffer>
#include <QImageWriter>
#include <gtest/gtest.h>

namespace cm {
namespace {

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
            const QImage image = test::cardImage(format);
            const QImage ours = QImage::fromData(encodeFastJpeg(image, quality), "jpeg");
            const QImage general = QImage::fromData(generalWriter(image, quality), "jpeg");
            ASSERT_FALSE(ours.isNull());
            EXPECT_EQ(ours, general);
            EXPECT_EQ(ours.dotsPerMeterX(), general.dotsPerMeterX());
        }
    }
    EXPECT_TRUE(encodeFastJpeg(QImage(), 90).isEmpty());
    EXPECT_TRUE(encodeFastJpeg(test::cardImage(QImage::Format_RGB32), 101).isEmpty());
}

} // namespace
} // namespace cm
