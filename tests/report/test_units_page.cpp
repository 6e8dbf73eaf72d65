#include "report/design.h"
#include "report/units.h"

#include <gtest/gtest.h>

using namespace cm;

TEST(Page, NamedPaperSwapsWithOrientationAndIgnoresWidthUntilCustom)
{
    TQRPage page;
    page.changeUnit(TQRUnit::MM);
    page.setPaperSize(TQRPaperSize::A4);
    page.setOrientation(TQROrientation::poLandscape);
    EXPECT_EQ(page.values[TQRPage::Wid], 2970);
    EXPECT_EQ(page.values[TQRPage::Len], 2100);
    page.setOrientation(TQROrientation::poPortrait);
    EXPECT_EQ(page.values[TQRPage::Wid], 2100);
    EXPECT_EQ(page.values[TQRPage::Len], 2970);

    page.setWidth(150);   // ignored: the paper is A4
    EXPECT_EQ(page.values[TQRPage::Wid], 2100);
    page.setPaperSize(TQRPaperSize::Custom);
    page.setWidth(150);
    EXPECT_EQ(page.values[TQRPage::Wid], 1500);

    page.setPaperSize(TQRPaperSize::Letter);
    EXPECT_EQ(page.values[TQRPage::Wid], 2159);   // exact from 215.9 mm
    EXPECT_EQ(page.values[TQRPage::Len], 2794);
}

TEST(Page, ColumnsBelowOneAreIgnored)
{
    TQRPage page;
    page.setColumns(3);
    page.setColumns(0);
    page.setColumns(-1);
    EXPECT_EQ(page.columns(), 3);
}

TEST(Units, ConversionsInBothDirections)
{
    TQRFont font;
    font.setSize(10);
    TQRBandSize size;
    size.reportFont = &font;

    struct Case {
        TQRUnit unit;
        int zoom;
        bool horizontal;
        Extended native;
        Extended shown;
    };
    const Case cases[] = {
        {TQRUnit::MM, 100, true, 254, 25.4L},
        {TQRUnit::Inches, 100, false, 254, 1},
        {TQRUnit::Pixels, 200, true, 254, 192},
        {TQRUnit::Pixels, 100, false, 254, 96},
        {TQRUnit::Characters, 100, true, 31.496062992125984252L, 1},
        {TQRUnit::Characters, 100, false, 57.204724409448818898L, 1},
        {TQRUnit::Native, 100, true, 123.5L, 123.5L},
    };
    for (const Case& c : cases) {
        size.changeUnit(c.unit);
        size.setZoom(c.zoom);
        EXPECT_NEAR(static_cast<double>(size.toUnit(c.native, c.horizontal)), static_cast<double>(c.shown), 1e-9)
            << "unit " << int(c.unit);
        EXPECT_NEAR(static_cast<double>(size.toNative(c.shown, c.horizontal)), static_cast<double>(c.native), 1e-9)
            << "unit " << int(c.unit);
    }
}

TEST(Units, FontSizeAndHeightFollowEachOther)
{
    TQRFont font;
    font.setSize(10);
    EXPECT_EQ(font.height(), -13);
    EXPECT_EQ(font.size(), 10);
    font.setHeight(-16);
    EXPECT_EQ(font.size(), 12);
}
