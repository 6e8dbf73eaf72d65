// Page images written as PNG by our own writer read back with the same
// pixels and resolution, whatever the image's format.
#include "engine/output/pngwriter.h"
#include "cardimage.h"

#include <QBuffer>
#include <QImageReader>
#include <gtest/gtest.h>

#include <vector>

namespace cm {
namespace {

TEST(FastPng, ReadsBackWithTheSamePixelsAndResolution)
{
    for (const QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied, QImage::Format_RGB888}) {
        SCOPED_TRACE(int(format));
        const QImage image = test::cardImage(format);
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

QImage readBack(const QByteArray& png)
{
    QImage back = QImage::fromData(png, "png");
    return back.isNull() ? back : back.convertToFormat(QImage::Format_RGB32);
}

// Runs of rows the same as the row above are put together from pieces of
// 1, 2, 4 ... rows: runs of every length around the cut-off and the powers of
// two, at the start, between lines of ink and at the bottom, read back intact.
TEST(FastPng, RunsOfRepeatedRowsReadBackIntact)
{
    struct Case {
        int width;
        std::vector<int> runs;   // rows of background, a line of ink after each but the last
    };
    const Case cases[] = {
        {57, {1, 7, 8, 9, 15, 16, 17}},
        {1654, {300, 2, 64, 255, 1}},
        {3, {1023}},
        {200, {40, 0, 0, 129}},
    };
    for (const Case& c : cases) {
        int height = 0;
        for (const int run : c.runs)
            height += run + 1;
        height -= 1;
        QImage image(c.width, height, QImage::Format_RGB32);
        image.fill(QColor(250, 248, 240));
        int y = 0;
        for (size_t i = 0; i + 1 < c.runs.size(); ++i) {
            y += c.runs[i];
            for (int x = 0; x < c.width; x += 2)
                image.setPixel(x, y, qRgb(x % 256, 40 + int(i), 200));
            ++y;
        }
        SCOPED_TRACE(c.width);
        // Twice: the second image takes the pieces the first one made.
        for (int pass = 0; pass < 2; ++pass)
            EXPECT_EQ(readBack(encodeFastPng(image)), image);
    }
}

} // namespace
} // namespace cm
