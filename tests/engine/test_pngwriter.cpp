// Page images written as PNG by our own writer read back with the same
// pixels and resolution, whatever the image's format.
#include "engine/output/pngwriter.h"
#include "cardimage.h"

#include <QBuffer>
#include <QImageReader>
#include <gtest/gtest.h>

#include <thread>
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

// The pieces of repeated rows are shared by every thread that encodes: images
// of one width made on several threads at once, each needing pieces the
// others are making, all read back intact.
TEST(FastPng, EncodesOnSeveralThreadsAtOnce)
{
    for (int width = 40; width < 240; ++width) {
        // Each thread's runs take pieces of other sizes: the first asks for
        // the most, the others for fewer, while they are being made.
        std::vector<QImage> images;
        for (int t = 0; t < 8; ++t) {
            QImage image(width, 10 + (512 >> t), QImage::Format_RGB32);
            image.fill(Qt::white);
            for (int x = 0; x < width; x += 3)
                image.setPixel(x, 1, qRgb(0, 0, 128));
            images.push_back(image);
        }
        std::vector<QByteArray> encoded(images.size());
        std::vector<std::thread> threads;
        for (size_t t = 0; t < images.size(); ++t)
            threads.emplace_back([&, t] { encoded[t] = encodeFastPng(images[t]); });
        for (std::thread& thread : threads)
            thread.join();
        for (size_t t = 0; t < images.size(); ++t)
            ASSERT_EQ(readBack(encoded[t]), images[t]) << width << " " << t;
    }
}

} // namespace
} // namespace cm
