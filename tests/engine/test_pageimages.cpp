// Pictures on recorded pages: what the page keeps must be exactly what
// drawing the image itself records, whatever the sharing does in between.
#include "engine/crc16.h"
#include "engine/pageimages.h"
#include "engine/pagereplay.h"

#include <QPainter>
#include <QPicture>
#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <functional>

namespace {

QImage logo(int w, int h, QColor color)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setBrush(color);
    p.drawEllipse(0, 0, w - 1, h - 1);
    return image;
}

using DrawImage = std::function<void(QPainter&, const QRectF&, const QImage&)>;
using Scene = std::function<void(QPainter&, const DrawImage&)>;

QByteArray record(const Scene& scene, const DrawImage& drawImage)
{
    QPicture picture = cm::newPagePicture(400, 300);
    {
        QPainter p(&picture);
        scene(p, drawImage);
    }
    return QByteArray(picture.data(), picture.size());
}

TEST(PageImages, PageIsWhatDrawingTheImageRecords)
{
    const QImage a = logo(48, 48, Qt::darkBlue);
    const QImage b = logo(300, 200, Qt::red);
    const QImage tiny = logo(1, 1, Qt::green);
    struct Case {
        const char* name;
        Scene scene;
    };
    const Case cases[] = {
        {"one image", [&](QPainter& p, const DrawImage& d) { d(p, QRectF(10, 10, 48, 48), a); }},
        {"text, clip and two images",
         [&](QPainter& p, const DrawImage& d) {
             p.drawText(QPointF(5, 20), QStringLiteral("DL1ABC"));
             p.save();
             p.setClipRect(QRect(50, 50, 100, 60));
             d(p, QRectF(40, 40, 300, 200), b);
             p.restore();
             p.fillRect(QRect(0, 0, 10, 10), Qt::yellow);
             d(p, QRectF(200, 10, 96, 96), a);
         }},
        {"same image twice, and one drawn directly",
         [&](QPainter& p, const DrawImage& d) {
             d(p, QRectF(0, 0, 48, 48), a);
             p.drawImage(QRectF(60, 0, 1, 1), tiny);
             d(p, QRectF(100, 0, 24, 24), a);
         }},
        {"rotated", [&](QPainter& p, const DrawImage& d) {
             p.translate(100, 100);
             p.rotate(30);
             d(p, QRectF(0, 0, 48, 48), a);
         }},
    };
    cm::PageImageRecords shared;
    const DrawImage direct = [](QPainter& p, const QRectF& r, const QImage& image) { p.drawImage(r, image); };
    const DrawImage viaShared = [&](QPainter& p, const QRectF& r, const QImage& image) { shared.draw(p, r, image); };
    for (int pass = 0; pass < 2; ++pass) {   // the second pass takes the images from the cache
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            const QByteArray expected = record(c.scene, direct);
            const QByteArray withStandIns = record(c.scene, viaShared);
            EXPECT_FALSE(withStandIns == expected);   // the images were not encoded into it
            const QByteArray page = shared.resolve(withStandIns);
            EXPECT_EQ(page.size(), expected.size());
            EXPECT_TRUE(page == expected);
            QPicture replayed;
            EXPECT_TRUE(cm::pictureFromData(page, replayed));
        }
    }
}

TEST(PageImages, DiscardedPageLeavesNothingBehind)
{
    cm::PageImageRecords shared;
    const QImage a = logo(20, 20, Qt::blue);
    const Scene scratch = [&](QPainter& p, const DrawImage&) { shared.draw(p, QRectF(0, 0, 20, 20), a); };
    record(scratch, {});
    shared.discardPage();
    const Scene plain = [](QPainter& p, const DrawImage&) { p.drawLine(0, 0, 10, 10); };
    const QByteArray page = record(plain, {});
    EXPECT_TRUE(shared.resolve(page) == page);
}

TEST(Crc16, SameAsTheQtChecksum)
{
    QByteArray data(5000, Qt::Uninitialized);
    for (char& c : data)
        c = char(QRandomGenerator::global()->bounded(256));
    for (qsizetype length : {0, 1, 7, 8, 9, 15, 16, 17, 1000, 4999}) {
        SCOPED_TRACE(length);
        const QByteArrayView bytes(data.constData() + 1, length);   // also off alignment
        EXPECT_EQ(cm::crc16Iso3309(bytes), qChecksum(bytes));
    }
}

} // namespace
