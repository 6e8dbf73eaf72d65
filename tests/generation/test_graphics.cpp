// Shapes and pictures as drawn on the page.
#include "harness.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace cm::test {
namespace {

const DrawnItem* firstOf(const Page& page, DrawnItem::Kind kind)
{
    for (const DrawnItem& d : page)
        if (d.kind == kind)
            return &d;
    return nullptr;
}

TEST(Graphics, ShapesDrawTheirFigureInTheElementBox)
{
    Harness h;
    auto* detail = h.band(TQRBandType::rbDetail, 1000);
    auto* circle = h.add<TQRDesignShape>(detail, 254, 254, 254, 127);
    circle->shape = TQRShapeType::qrsCircle;
    circle->pen.width = 0;
    auto* line = h.add<TQRDesignShape>(detail, 0, 508, 508, 254);
    line->shape = TQRShapeType::qrsHorLine;
    h.run(QStringList{"x"});
    const Page& page = h.pages.at(0);
    const DrawnItem* ellipse = firstOf(page, DrawnItem::Ellipse);
    ASSERT_TRUE(ellipse);
    EXPECT_NEAR(ellipse->rect.left(), 96, 1.0);
    EXPECT_NEAR(ellipse->rect.width(), 96, 1.0);
    EXPECT_NEAR(ellipse->rect.height(), 48, 1.0);
    const DrawnItem* hor = firstOf(page, DrawnItem::Line);
    ASSERT_TRUE(hor);
    EXPECT_NEAR(hor->line.y1(), dots(508 + 127), 1.0);
    EXPECT_NEAR(hor->line.y2(), hor->line.y1(), 1e-9);
    EXPECT_NEAR(hor->line.length(), 192, 1.0);
}

struct PictureCase {
    const char* name;
    bool stretch;
    bool center;
    QRectF expected;   // dots; the element is 96 × 96 dots at (96, 96), the picture 192 × 192 pixels
};

class Pictures : public testing::TestWithParam<PictureCase> {};

TEST_P(Pictures, AreStretchedOrKeptAtNaturalSize)
{
    Harness h;
    auto* image = h.add<TQRDesignImage>(h.band(TQRBandType::rbDetail, 1000), 254, 254, 254, 254);
    QImage picture(192, 192, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(image->picture.loadFromImage(picture));
    image->stretch = GetParam().stretch;
    image->center = GetParam().center;
    h.run(QStringList{"x"});
    const DrawnItem* drawn = firstOf(h.pages.at(0), DrawnItem::Image);
    ASSERT_TRUE(drawn);
    EXPECT_NEAR(drawn->rect.left(), GetParam().expected.left(), 1.0);
    EXPECT_NEAR(drawn->rect.top(), GetParam().expected.top(), 1.0);
    EXPECT_NEAR(drawn->rect.width(), GetParam().expected.width(), 1.0);
}

INSTANTIATE_TEST_SUITE_P(Graphics, Pictures,
                         testing::Values(PictureCase{"Stretched", true, false, QRectF(96, 96, 96, 96)},
                                         PictureCase{"TopLeft", false, false, QRectF(96, 96, 192, 192)},
                                         PictureCase{"Centred", false, true, QRectF(48, 48, 192, 192)}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Graphics, EmptyDataPictureThatStretchesFillsWithItsColour)
{
    Harness h;
    auto* image = h.add<TQRDesignDBImage>(h.band(TQRBandType::rbDetail, 1000), 254, 254, 254, 254);
    image->dataSet = h.ws.table;
    image->dataField = QStringLiteral("QslVia");   // a text field naming a picture file; empty here
    image->stretch = true;
    image->setColor(0x00FF00);
    h.run(QStringList{"x"});
    const DrawnItem* fill = firstOf(h.pages.at(0), DrawnItem::Rect);
    ASSERT_TRUE(fill);
    EXPECT_EQ(fill->color, QColor(0, 255, 0));
    EXPECT_NEAR(fill->rect.left(), 96, 1.0);
    EXPECT_EQ(firstOf(h.pages.at(0), DrawnItem::Image), nullptr);
}

} // namespace
} // namespace cm::test
