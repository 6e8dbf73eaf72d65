// Ruler scales: where ticks and labels fall for each unit and zoom.
#include "designer/widgets/rulerpanel.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using cm::RulerTick;
using cm::TQRUnit;

constexpr int Length = 2400, Height = 15;
constexpr double Ppi = 96;

std::vector<RulerTick> ticks(TQRUnit unit, int zoom) { return cm::rulerTicks(unit, zoom, Length, Height, Ppi); }

const RulerTick* labelled(const std::vector<RulerTick>& ts, const QString& text)
{
    auto it = std::find_if(ts.begin(), ts.end(), [&](const RulerTick& t) { return t.label == text; });
    return it == ts.end() ? nullptr : &*it;
}

TEST(RulerTicks, MillimetresAtZoom100)
{
    const auto ts = ticks(TQRUnit::MM, 100);
    EXPECT_EQ(ts.size(), 635u);
    const RulerTick* one = labelled(ts, QStringLiteral("1"));
    const RulerTick* two = labelled(ts, QStringLiteral("2"));
    ASSERT_TRUE(one && two);
    EXPECT_EQ(one->x, 38);
    EXPECT_EQ(one->labelPos, QPoint(40, 1));
    EXPECT_EQ(two->labelPos, QPoint(78, 1));
    EXPECT_TRUE(one->major);
    EXPECT_EQ(one->y0, 2);
    EXPECT_EQ(one->y1, Height);
    // The first tick is one millimetre, short; the fifth runs from mid-height.
    EXPECT_EQ(ts[0].x, 4);
    EXPECT_EQ(ts[0].y0, Height - 4);
    EXPECT_EQ(ts[4].x, 19);
    EXPECT_EQ(ts[4].y0, Height / 2);
}

TEST(RulerTicks, MillimetreTicksFollowTheZoomThresholds)
{
    struct Case {
        int zoom;
        bool singleMillimetres;
        int fiveMillimetreTop;
    };
    for (const Case c : {Case{49, false, Height / 2}, Case{50, true, Height / 2}, Case{31, false, Height / 2},
                         Case{30, false, Height - 4}, Case{10, false, Height - 4}}) {
        SCOPED_TRACE(c.zoom);
        const auto ts = ticks(TQRUnit::MM, c.zoom);
        ASSERT_FALSE(ts.empty());
        const bool hasSingles = std::any_of(ts.begin(), ts.end(), [](const RulerTick& t) { return !t.major && t.y0 == Height - 4; });
        const auto five = std::find_if(ts.begin(), ts.end(), [](const RulerTick& t) { return !t.major && t.y0 != Height - 4; });
        if (c.fiveMillimetreTop == Height - 4) {
            // No single-millimetre ticks: the short minor ticks are the 5-mm ones.
            EXPECT_EQ(five, ts.end());
            EXPECT_TRUE(hasSingles);
            const auto minors = std::count_if(ts.begin(), ts.end(), [](const RulerTick& t) { return !t.major; });
            const auto majors = std::count_if(ts.begin(), ts.end(), [](const RulerTick& t) { return t.major; });
            EXPECT_LE(std::abs(int(minors - majors)), 1);
        } else {
            EXPECT_EQ(hasSingles, c.singleMillimetres);
            ASSERT_NE(five, ts.end());
            EXPECT_EQ(five->y0, c.fiveMillimetreTop);
        }
        // The scale always covers the ruler's length, whatever the zoom.
        EXPECT_NEAR(ts.back().x, Length, 40);
    }
}

TEST(RulerTicks, InchesQuarterTicksAndLabels)
{
    const auto ts = ticks(TQRUnit::Inches, 100);
    ASSERT_GE(ts.size(), 8u);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(ts[size_t(i)].x, 24 * (i + 1));
    EXPECT_EQ(ts[3].label, QStringLiteral("1"));
    EXPECT_EQ(ts[3].labelPos, QPoint(98, 2));
    EXPECT_EQ(ts[7].label, QStringLiteral("2"));
    EXPECT_EQ(ts[0].y0, Height / 2);
    EXPECT_EQ(ts[3].y0, 2);

    const auto small = ticks(TQRUnit::Inches, 40);
    ASSERT_FALSE(small.empty());
    EXPECT_TRUE(std::all_of(small.begin(), small.end(), [](const RulerTick& t) { return t.major && !t.label.isEmpty(); }));
    EXPECT_EQ(small[0].x, 38);   // one inch at 40 %
}

TEST(RulerTicks, CharactersIgnoreTheZoom)
{
    const auto a = ticks(TQRUnit::Characters, 50);
    const auto b = ticks(TQRUnit::Characters, 200);
    ASSERT_EQ(a.size(), 16u);
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].x, b[i].x);
        EXPECT_EQ(a[i].label, b[i].label);
    }
    EXPECT_EQ(a[0].x, 149);
    EXPECT_EQ(a[0].label, QStringLiteral("10"));
    EXPECT_EQ(a[0].labelPos, QPoint(151, 2));
}

TEST(RulerTicks, PixelsAndNativeDrawNoScale)
{
    EXPECT_TRUE(ticks(TQRUnit::Pixels, 100).empty());
    EXPECT_TRUE(ticks(TQRUnit::Native, 100).empty());
}

// The painted ruler follows the surface's horizontal scrolling.
TEST(RulerTicks, PanelDrawsItsTicksShiftedByTheOffset)
{
    cm::RulerPanel ruler;
    ruler.resize(200, Height);
    auto darkAt = [&ruler](int x) {
        QImage image(ruler.size(), QImage::Format_ARGB32);
        image.fill(Qt::white);
        ruler.render(&image);
        return qGray(image.pixel(x, Height - 2)) < 100;
    };
    EXPECT_TRUE(darkAt(38));    // the 1 cm tick
    EXPECT_FALSE(darkAt(36));
    ruler.setOffset(2);
    EXPECT_TRUE(darkAt(36));
    ruler.setUnits(TQRUnit::Pixels);
    EXPECT_FALSE(darkAt(36));
}

} // namespace
