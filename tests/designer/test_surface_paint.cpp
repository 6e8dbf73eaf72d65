// The design surface shows what prints: its picture of a card at zoom 100
// has the texts and shapes at the pixels where the engine puts them on the
// first card, and the design-time marks come on top only when asked for.
#include "surfacefixture.h"

#include "engine/generate/generator.h"
#include "engine/pages/pagereplay.h"
#include "engine/pages/qrprinter.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

using namespace cm;

// Pixels a reader sees as ink.
std::vector<bool> darkMask(const QImage& image)
{
    std::vector<bool> mask(size_t(image.width()) * size_t(image.height()));
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            mask[size_t(y) * size_t(image.width()) + size_t(x)] = qGray(line[x]) < 128;
    }
    return mask;
}

// Dark pixels of `a` with no dark pixel of `b` within one pixel.
int unmatched(const std::vector<bool>& a, const std::vector<bool>& b, int w, int h)
{
    int count = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (!a[size_t(y * w + x)])
                continue;
            bool found = false;
            for (int dy = -1; dy <= 1 && !found; ++dy) {
                for (int dx = -1; dx <= 1 && !found; ++dx) {
                    const int xx = x + dx, yy = y + dy;
                    found = xx >= 0 && yy >= 0 && xx < w && yy < h && b[size_t(yy * w + xx)];
                }
            }
            count += found ? 0 : 1;
        }
    }
    return count;
}

int darkCount(const std::vector<bool>& m) { return int(std::count(m.begin(), m.end(), true)); }

QImage surfaceImage(DesignSurface& surface, int pixelRatio = 1)
{
    QImage image(surface.size() * pixelRatio, QImage::Format_ARGB32);
    image.setDevicePixelRatio(pixelRatio);
    image.fill(Qt::white);
    surface.render(&image);
    return image;
}

QImage printedImage(TQRCustomReport& report, QSize size)
{
    TQRPrinter output;
    ReportGenerator generator(report, output);
    EXPECT_TRUE(generator.generate());
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    const auto page = output.pageAt(1);
    EXPECT_TRUE(page.has_value());
    if (page) {
        QPainter p(&image);
        drawPage(p, *page, QRectF(0, 0, page->boundingRect().width(), page->boundingRect().height()));
    }
    return image;
}

struct CardSurface : test::SurfaceFixture {
    CardSurface()
    {
        TQRCustomBand* detail = band(TQRBandType::rbDetail, 700);
        label(detail, QStringLiteral("DL1ABC"), 60, 40, 500, 100)->font().setHeight(-40);
        auto* right = label(detail, QStringLiteral("Right aligned"), 700, 60, 500, 60);
        right->setAlignment(TAlignment::taRightJustify);
        auto* framed = label(detail, QStringLiteral("Framed and wrapped over two lines"), 60, 200, 350, 150);
        framed->frame.drawTop = framed->frame.drawBottom = framed->frame.drawLeft = framed->frame.drawRight = true;
        framed->frame.width = 2;
        auto* memo = add<TQRDesignMemo>(detail, 700, 200, 500, 200);
        memo->autoSize = false;
        memo->lines.lines = {QStringLiteral("Tnx QSO"), QStringLiteral("73 de DL1ABC")};
        auto* box = add<TQRDesignShape>(detail, 60, 420, 300, 200);
        box->pen.width = 2;
        auto* ring = add<TQRDesignShape>(detail, 450, 420, 200, 200);
        ring->shape = TQRShapeType::qrsCircle;
        ring->brush.color = 0x0000FF;
        auto* line = add<TQRDesignShape>(detail, 700, 450, 500, 40);
        line->shape = TQRShapeType::qrsHorLine;
        designer.options().showBandNames = false;
        designer.options().showComponentFrames = false;
    }
};

TEST(SurfacePaint, AtZoom100TheSurfaceShowsWhatPrints)
{
    CardSurface card;
    DesignSurface& surface = card.surface();
    ASSERT_EQ(card.document.zoom(), 100);
    surface.setShowDesignMarks(false);
    const QImage shown = surfaceImage(surface);
    const QImage printed = printedImage(card.report(), shown.size());
    const int w = shown.width(), h = shown.height();
    const auto a = darkMask(shown), b = darkMask(printed);
    ASSERT_GT(darkCount(b), 2000);   // texts, frames and shapes printed
    EXPECT_LE(unmatched(a, b, w, h), darkCount(a) / 200);
    EXPECT_LE(unmatched(b, a, w, h), darkCount(b) / 200);

    // With the marks the printed ink is still all there, and more is drawn.
    surface.setShowDesignMarks(true);
    const QImage markedImage = surfaceImage(surface);
    if (qEnvironmentVariableIsSet("CARDMINT_SURFACE_DUMP")) {
        shown.save(QStringLiteral("/tmp/surface-plain.png"));
        printed.save(QStringLiteral("/tmp/surface-printed.png"));
        markedImage.save(QStringLiteral("/tmp/surface-marked.png"));
    }
    const auto marked = darkMask(markedImage);
    EXPECT_LE(unmatched(b, marked, w, h), darkCount(b) / 200);
    EXPECT_GT(darkCount(marked), darkCount(a));
}

TEST(SurfacePaint, HighDensityBackingHasTheSameCardInFinerPixels)
{
    CardSurface card;
    DesignSurface& surface = card.surface();
    surface.setShowDesignMarks(false);
    const QImage normal = surfaceImage(surface);
    QImage dense = surfaceImage(surface, 2);
    ASSERT_EQ(dense.size(), normal.size() * 2);
    dense.setDevicePixelRatio(1);
    const QImage halved = dense.scaled(normal.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const auto a = darkMask(normal), b = darkMask(halved);
    EXPECT_LE(unmatched(a, b, normal.width(), normal.height()), darkCount(a) / 20);
    EXPECT_LE(unmatched(b, a, normal.width(), normal.height()), darkCount(b) / 20);
}

TEST(SurfacePaint, ZoomScalesTheSurfaceAndItsContent)
{
    CardSurface card;
    DesignSurface& surface = card.surface();
    surface.setShowDesignMarks(false);
    const QImage at100 = surfaceImage(surface);
    const QSize paperAt100 = card.report().bounds.size();
    card.document.setZoom(200);
    if (card.report().bounds.size() != paperAt100)
        GTEST_SKIP() << "the model's bounds still follow the zoom";
    EXPECT_EQ(surface.size(), at100.size() * 2);
    const QImage at200 = surfaceImage(surface);
    // Scaled down again, the picture at 200 % is the one at 100 %.
    const QImage halved = at200.scaled(at100.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const auto a = darkMask(at100), b = darkMask(halved);
    EXPECT_LE(unmatched(a, b, at100.width(), at100.height()), darkCount(a) / 20);
    EXPECT_EQ(surface.toModel(QPoint(201, 99)), QPoint(100, 49));
    EXPECT_EQ(surface.toWidget(QRect(10, 20, 30, 40)), QRect(20, 40, 60, 80));
}

TEST(SurfacePaint, DesignTextOfFieldsAndMarks)
{
    // Data fields show their field name, not record data; the band name and
    // component frames appear when the options ask for them.
    test::SurfaceFixture f;
    TQRCustomBand* detail = f.band(TQRBandType::rbDetail, 400);
    auto* field = f.add<TQRDesignDBText>(detail, 100, 100, 600, 80);
    field->autoSize = false;
    field->setDataField(QStringLiteral("CALL"));
    DesignSurface& surface = f.surface();
    f.designer.options().showBandNames = false;
    f.designer.options().showComponentFrames = false;
    const QImage plainImage = surfaceImage(surface);
    const auto plain = darkMask(plainImage);
    const QRect fieldRect = surface.componentRect(field).adjusted(4, 4, -4, -4);
    int inField = 0;
    for (int y = fieldRect.top(); y <= fieldRect.bottom(); ++y)
        for (int x = fieldRect.left(); x <= fieldRect.right(); ++x)
            inField += plain[size_t(y * surface.width() + x)] ? 1 : 0;
    EXPECT_GT(inField, 30);   // "CALL" is written

    f.designer.options().showComponentFrames = true;
    f.designer.options().componentFrameColor = 0x000000;
    f.designer.options().componentFrameStyle = 0;
    const QImage framed = surfaceImage(surface);
    const QRect r = surface.componentRect(field);
    EXPECT_GT(qGray(plainImage.pixel(r.center().x(), r.top())), 192);
    EXPECT_LT(qGray(framed.pixel(r.center().x(), r.top())), 64);
    EXPECT_LT(qGray(framed.pixel(r.left(), r.center().y())), 64);
}

} // namespace
