// Pictures on recorded pages: what the page keeps must be exactly what
// drawing the image itself records, whatever the sharing does in between.
#include "engine/pages/crc16.h"
#include "engine/pages/pageimages.h"
#include "engine/pages/pageplayer.h"
#include "engine/pages/pagereplay.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QPixmap>
#include <QPicture>
#include <QRandomGenerator>
#include <QtEndian>
#include <gtest/gtest.h>

#include <functional>

#include <sys/resource.h>
#include <set>

namespace {

long peakMemoryKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

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

// A card: text, a frame, a clipped picture, a rotated one and a stamp.
QByteArray cardPage(cm::PageImageRecords& shared, const QImage& photo, const QImage& stamp, const QString& call)
{
    return shared.resolve(record(
        [&](QPainter& p, const DrawImage&) {
            p.fillRect(QRect(0, 0, 400, 300), Qt::white);
            p.save();
            p.setClipRect(QRect(0, 0, 400, 200));
            shared.draw(p, QRectF(0, 0, 400, 260), photo);
            p.restore();
            p.setPen(Qt::black);
            p.setFont(QFont(QStringLiteral("Liberation Sans"), 14));
            p.drawText(QPointF(20, 240), call);
            p.drawRect(QRect(10, 210, 380, 80));
            p.save();
            p.translate(330, 230);
            p.rotate(-15);
            p.setOpacity(0.8);
            shared.draw(p, QRectF(0, 0, 48, 48), stamp);
            p.restore();
        },
        {}));
}

TEST(PagePlayer, DrawsPagesAsTheyWereRecorded)
{
    cm::PageImageRecords shared;
    const QByteArray page = cardPage(shared, logo(300, 200, Qt::darkGreen), logo(48, 48, Qt::red), QStringLiteral("S59ABC"));
    QPicture picture;
    ASSERT_TRUE(cm::pictureFromData(page, picture));
    auto render = [&](const std::function<void(QPainter&, const QRectF&)>& draw) {
        QImage image(800, 600, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        draw(p, QRectF(0, 0, 800, 600));
        return image;
    };
    const QImage expected = render([&](QPainter& p, const QRectF& r) { cm::drawPage(p, picture, r); });
    cm::PagePlayer player;
    for (int pass = 0; pass < 2; ++pass) {   // the second time with the decoded images kept
        const QImage played = render([&](QPainter& p, const QRectF& r) { EXPECT_TRUE(player.drawPage(p, page, r)); });
        EXPECT_TRUE(played == expected) << "pass " << pass;
    }
    QByteArray damaged = page;
    damaged[damaged.size() / 2] = char(damaged[damaged.size() / 2] ^ 0x5A);
    render([&](QPainter& p, const QRectF& r) { EXPECT_FALSE(player.drawPage(p, damaged, r)); });
}

TEST(PagePlayer, RefusesPagesOfOlderPictureFormats)
{
    cm::PageImageRecords shared;
    QByteArray page = cardPage(shared, logo(30, 20, Qt::darkGreen), logo(8, 8, Qt::red), QStringLiteral("S59ABC"));
    for (quint16 major : {quint16(6), quint16(QDataStream::Qt_5_15)}) {
        QByteArray old = page;
        qToBigEndian<quint16>(major, old.data() + 6);
        qToBigEndian<quint16>(qChecksum(QByteArrayView(old).sliced(6)), old.data() + 4);
        QPicture picture;
        EXPECT_FALSE(cm::pictureFromData(old, picture)) << major;
    }
}

// Forged pages, each found by fuzzing: the bytes after the signature, with
// the signature and checksum made right so that only the records are wrong.
TEST(PagePlayer, RefusesForgedRecords)
{
    struct Case {
        const char* what;
        const char* hex;
    };
    const Case cases[] = {
        {"a second begin record",
         "7aff280000000014148b1e008200000009f45f5a800000002a00094a000000021e001f14148b1e008200000d0d1f0d0d800005fffeffff4a"},
        {"a point record without its point",
         "7aff282100000014128b1e0000009b018f1e0000009b360000098000000000040100001f0400ffffff3b7a01d7deffffffeb198b1e0000"
         "009b018b1e0000400000360000001f0500ffffff4a"},
    };
    for (const Case& c : cases) {
        QByteArray page = QByteArray::fromHex(c.hex);
        page.replace(0, 4, "QPIC");
        qToBigEndian<quint16>(qChecksum(QByteArrayView(page).sliced(6)), page.data() + 4);
        QPicture picture;
        EXPECT_FALSE(cm::pictureFromData(page, picture)) << c.what;
        QImage image(40, 56, QImage::Format_RGB32);
        QPainter painter(&image);
        cm::PagePlayer player;
        EXPECT_FALSE(player.drawPage(painter, page, QRectF(0, 0, 40, 56))) << c.what;
    }
}

// Every kind of record Qt's recorder writes passes the page check as
// recorded, and fails it with one byte less: the player reads a record's
// fields by its kind, so a record must end exactly where its fields do.
TEST(PagePlayer, RecordsMustHoldExactlyTheirFields)
{
    const QByteArray page = record(
        [](QPainter& p, const DrawImage& d) {
            QPen dashed(Qt::blue, 2);
            dashed.setDashPattern({1, 2, 3, 4});
            p.setPen(dashed);
            p.setBrush(Qt::yellow);
            p.drawEllipse(QRectF(1, 2, 30, 40));
            const QPointF three[3] = {{1, 2}, {30, 4}, {5, 60}};
            p.drawPolyline(three, 3);
            p.drawPolygon(three, 3);
            p.drawRoundedRect(QRectF(5, 5, 50, 30), 4, 4);
            p.setBrushOrigin(QPointF(3, 4));
            p.setOpacity(0.5);
            p.setCompositionMode(QPainter::CompositionMode_Multiply);
            p.setRenderHint(QPainter::Antialiasing);
            p.setTransform(QTransform::fromScale(1.5, 1.5));
            p.setClipRect(QRect(0, 0, 200, 150));
            QPainterPath round;
            round.addEllipse(0, 0, 150, 120);
            p.setClipPath(round, Qt::IntersectClip);
            QFont font(QStringLiteral("Liberation Sans"), 12);
            font.setStyleName(QStringLiteral("Bold"));
            font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
            p.setFont(font);
            p.drawText(QPointF(10, 40), QStringLiteral("VP2E/W1AW"));
            p.setClipping(false);
            d(p, QRectF(20, 20, 16, 16), logo(16, 16, Qt::red));
            QPixmap tile(4, 4);
            tile.fill(Qt::green);
            p.drawPixmap(QRectF(60, 60, 8, 8), tile, QRectF(0, 0, 4, 4));
            p.drawTiledPixmap(QRectF(70, 70, 16, 16), tile);
        },
        [](QPainter& p, const QRectF& r, const QImage& image) { p.drawImage(r, image); });
    QPicture picture;
    ASSERT_TRUE(cm::pictureFromData(page, picture));

    std::set<int> kinds;
    for (qsizetype pos = 32; pos < page.size();) {
        const quint8 code = quint8(page[pos]);
        const qsizetype length = quint8(page[pos + 1]) == 255 ? qFromBigEndian<quint32>(page.constData() + pos + 2)
                                                              : quint8(page[pos + 1]);
        const qsizetype payload = pos + (quint8(page[pos + 1]) == 255 ? 6 : 2);
        kinds.insert(code);
        if (length > 0 && length < 255) {
            // The record one byte shorter, the page framed and summed anew.
            QByteArray shorter = page;
            shorter.remove(payload + length - 1, 1);
            shorter[pos + 1] = char(length - 1);
            qToBigEndian<quint16>(qChecksum(QByteArrayView(shorter).sliced(6)), shorter.data() + 4);
            QPicture refused;
            EXPECT_FALSE(cm::pictureFromData(shorter, refused)) << "record kind " << int(code);
        }
        pos = payload + length;
    }
    // What the scene is meant to cover: shapes, paths, pens, brushes, state,
    // clipping, text, images and pixmaps.
    for (int kind : {7, 12, 13, 17, 18, 21, 24, 25, 43, 46, 47, 55, 61, 62, 63, 64, 65, 66})
        EXPECT_TRUE(kinds.count(kind)) << "the scene records no record of kind " << kind;
}

// A source far outside its image, as a forged page holds it, made the
// rasteriser read memory outside the image: such an image is left out.
TEST(PagePlayer, LeavesOutImagesWhoseSourceLiesOutside)
{
    const QImage picture = logo(8, 8, Qt::red);
    QPixmap tile(4, 4);
    tile.fill(Qt::red);
    for (const QRectF& source : {QRectF(0, qQNaN(), 4, 4), QRectF(1e12, 1e12, 4, 4), QRectF(-3e9, 2, 4, 4),
                                 QRectF(0, 0, 8e15, 8)}) {
        const QByteArray page = record(
            [&](QPainter& p, const DrawImage&) {
                p.drawImage(QRectF(0, 0, 40, 40), picture, source);
                p.drawPixmap(QRectF(0, 0, 40, 40), tile, source);
            },
            {});
        QImage target(400, 300, QImage::Format_RGB32);
        target.fill(Qt::white);
        QPainter painter(&target);
        cm::PagePlayer player;
        EXPECT_TRUE(player.drawPage(painter, page, QRectF(0, 0, 400, 300)));
        painter.end();
        EXPECT_EQ(target.pixel(20, 20), QColor(Qt::white).rgb()) << source.x();
    }
}

// A forged page (found by fuzzing; a first byte, then the page, whose
// signature and checksum are made right here) with a font of 65 535 pixels
// made the rasteriser cache its glyphs at that size: gigabytes. Letters that
// tall on an image are filled as outlines.
TEST(PagePlayer, GiantLettersOnAnImageTakeLittleMemory)
{
    QFile file(QStringLiteral(CARDMINT_TEST_DATA "/forged-pages/giant-font.bin"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray page = file.readAll().mid(1);
    page.replace(0, 4, "QPIC");
    qToBigEndian<quint16>(qChecksum(QByteArrayView(page).sliced(6)), page.data() + 4);
    QImage target(40, 56, QImage::Format_RGB32);
    QPainter painter(&target);
    cm::PagePlayer player;
    const long before = peakMemoryKb();
    EXPECT_TRUE(player.drawPage(painter, page, QRectF(0, 0, 40, 56)));
    EXPECT_LT(peakMemoryKb() - before, 256 * 1024);
}

TEST(PagePlayer, LargeLettersOnAFineTarget)
{
    // A big callsign on a 1200-dpi target, as a PDF page or a printer has it,
    // is drawn like any other text.
    QPicture picture = cm::newPagePicture(200, 150);
    {
        QPainter p(&picture);
        p.setFont(QFont(QStringLiteral("Liberation Sans"), 100, QFont::Bold));
        p.drawText(QPointF(5, 130), QStringLiteral("S5"));
    }
    const QByteArray page(picture.data(), picture.size());
    auto render = [&](const std::function<void(QPainter&, const QRectF&)>& draw) {
        QImage image(2500, 1875, QImage::Format_RGB32);
        image.setDotsPerMeterX(47244);   // 1200 dpi
        image.setDotsPerMeterY(47244);
        image.fill(Qt::white);
        QPainter p(&image);
        draw(p, QRectF(0, 0, 2500, 1875));
        return image;
    };
    QPicture sound;
    ASSERT_TRUE(cm::pictureFromData(page, sound));
    const QImage expected = render([&](QPainter& p, const QRectF& r) { cm::drawPage(p, sound, r); });
    cm::PagePlayer player;
    const QImage played = render([&](QPainter& p, const QRectF& r) { EXPECT_TRUE(player.drawPage(p, page, r)); });
    EXPECT_NE(expected.pixel(600, 1000), QColor(Qt::white).rgb());   // the letters are there
    EXPECT_TRUE(played == expected);
}

TEST(PagePlayer, PdfHoldsAPictureOfEveryCardOnce)
{
    cm::PageImageRecords shared;
    const QImage photo = logo(300, 200, Qt::darkGreen);
    const QImage stamp = logo(48, 48, Qt::red);
    std::vector<QByteArray> pages;
    for (const char* call : {"S59ABC", "DL1XYZ", "9A2AA", "OE3ZZ"})
        pages.push_back(cardPage(shared, photo, stamp, QString::fromLatin1(call)));
    auto pdf = [&](bool throughPlayer) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        QPainter painter(&writer);
        cm::PagePlayer player;
        for (size_t i = 0; i < pages.size(); ++i) {
            if (i > 0)
                writer.newPage();
            const QRectF target(0, 0, writer.width(), writer.height());
            if (throughPlayer) {
                EXPECT_TRUE(player.drawPage(painter, pages[i], target));
            } else {
                QPicture picture;
                EXPECT_TRUE(cm::pictureFromData(pages[i], picture));
                cm::drawPage(painter, picture, target);
            }
        }
        painter.end();
        return bytes;
    };
    // Two pictures, each an image and its alpha mask: on every page when the
    // pages are replayed each by itself, once through the player.
    EXPECT_EQ(pdf(false).count("/Subtype /Image"), 16);
    EXPECT_EQ(pdf(true).count("/Subtype /Image"), 4);
}

TEST(PagePlayer, KeepsAForgedPagesExtremesFromTheTarget)
{
    // Each of these once crashed or stalled the rasteriser when a forged
    // page was replayed; after them the page draws a plain box. Counts that
    // the picture would read past its record refuse the page as damaged.
    using Forgery = std::function<void(QPainter&)>;
    const Forgery forgeries[] = {
        [](QPainter& p) { p.setCompositionMode(QPainter::CompositionMode(0x7F000000)); p.drawText(QPointF(10, 20), "CQ"); },
        [](QPainter& p) { p.setTransform(QTransform::fromScale(1e9, 1e9)); p.drawLine(0, 0, 100, 100); },
        [](QPainter& p) {
            QPen pen(Qt::black, 0.001, Qt::DotLine);
            p.setPen(pen);
            p.drawLine(QPointF(-1e5, 0), QPointF(1e5, 300));
        },
        [](QPainter& p) { p.setPen(QPen(Qt::black, 1e9)); p.drawLine(0, 0, 10, 10); },
        [](QPainter& p) { p.drawText(QPointF(1e12, 1e12), "far away"); },
        [](QPainter& p) { p.setFont(QFont("Liberation Sans", 30000)); p.drawText(QPointF(0, 0), "W"); },
    };
    for (const Forgery& forge : forgeries) {
        SCOPED_TRACE(&forge - forgeries);
        QPicture picture = cm::newPagePicture(400, 300);
        {
            QPainter p(&picture);
            p.save();
            forge(p);
            p.restore();
            p.fillRect(QRect(100, 100, 50, 50), Qt::blue);
        }
        QImage image(400, 300, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter p(&image);
            cm::PagePlayer player;
            EXPECT_TRUE(player.drawPage(p, QByteArray(picture.data(), picture.size()), QRectF(0, 0, 400, 300)));
        }
        EXPECT_EQ(image.pixel(125, 125), QColor(Qt::blue).rgb());
    }
}

TEST(PagePlayer, RefusesPagesWhoseCountsReachPastTheirRecords)
{
    // A line, a polygon, a path and a dashed pen, each with its count forged.
    struct Case {
        const char* what;
        std::function<void(QPainter&)> draw;
        QByteArray countBytes;   // the stored count to forge, as it stands in the page
    };
    const QPointF triangle[] = {{10, 10}, {90, 10}, {50, 80}};
    QPainterPath path;
    path.addRect(20, 20, 30, 30);
    QPen dashed(Qt::black);
    dashed.setDashPattern({1.5, 2.5, 3.5, 4.5});
    const Case cases[] = {
        {"polygon", [&](QPainter& p) { p.drawPolygon(triangle, 3); }, QByteArray::fromHex("0000000340240000")},
        {"path", [&](QPainter& p) { p.drawPath(path); }, QByteArray::fromHex("0000000500000000")},
        {"dashes", [&](QPainter& p) { p.setPen(dashed); p.drawLine(0, 0, 50, 50); }, QByteArray::fromHex("000000043FF80000")},
        {"brush", [&](QPainter& p) { p.setBrush(QLinearGradient(0, 0, 10, 10)); p.drawRect(0, 0, 50, 50); }, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QPicture picture = cm::newPagePicture(400, 300);
        {
            QPainter p(&picture);
            c.draw(p);
        }
        QByteArray page(picture.data(), picture.size());
        if (!c.countBytes.isEmpty()) {
            const qsizetype at = page.indexOf(c.countBytes);
            ASSERT_GT(at, 0);
            QPicture sound;
            EXPECT_TRUE(cm::pictureFromData(page, sound));   // as recorded
            qToBigEndian<quint32>(0x7FFFFFFFu, page.data() + at);
            qToBigEndian<quint16>(cm::crc16Iso3309(QByteArrayView(page).sliced(6)), page.data() + 4);
        }
        QPicture forged;
        EXPECT_FALSE(cm::pictureFromData(page, forged));
        QImage image(40, 30, QImage::Format_RGB32);
        QPainter p(&image);
        cm::PagePlayer player;
        EXPECT_FALSE(player.drawPage(p, page, QRectF(0, 0, 40, 30)));
    }
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
