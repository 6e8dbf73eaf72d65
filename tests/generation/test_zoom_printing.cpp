// The zoom the layout was designed at does not reach the printed page: text
// is measured, broken and sized in model pixels whatever the stored zoom.
#include "harness.h"

#include <gtest/gtest.h>

namespace cm::test {
namespace {

std::vector<Page> printAtZoom(int zoom)
{
    Harness h;
    h.report().setZoom(zoom);
    auto* detail = h.band(TQRBandType::rbDetail, 300);
    auto* wrapped = h.label(detail, QStringLiteral("Tnx for the nice QSO on 20 m, hope to meet you again"), 20, 10,
                            413, 120);
    wrapped->wordWrap = true;
    auto* right = h.label(detail, QStringLiteral("73 de S50QSL"), 600, 150);
    right->autoSize = true;
    right->setAlignment(TAlignment::taRightJustify);
    auto* centred = h.field(detail, QStringLiteral("Call"), 100, 220, 333, 50);
    centred->autoSize = true;
    centred->setAlignment(TAlignment::taCenter);
    h.run(QStringList{"S57DX", "OE3ABC"});
    return h.pages;
}

TEST(ZoomPrinting, TheStoredZoomChangesNothingOnThePage)
{
    const std::vector<Page> reference = printAtZoom(100);
    ASSERT_FALSE(reference.empty());
    for (int zoom : {50, 150, 300}) {
        const std::vector<Page> pages = printAtZoom(zoom);
        ASSERT_EQ(pages.size(), reference.size()) << zoom;
        for (size_t p = 0; p < pages.size(); ++p) {
            ASSERT_EQ(pages[p].size(), reference[p].size()) << zoom;
            for (size_t i = 0; i < pages[p].size(); ++i) {
                const DrawnItem& a = pages[p][i];
                const DrawnItem& b = reference[p][i];
                EXPECT_EQ(a.kind, b.kind);
                EXPECT_EQ(a.text, b.text) << zoom;
                EXPECT_EQ(a.pos, b.pos) << zoom << " " << a.text.toStdString();
                EXPECT_EQ(a.rect, b.rect) << zoom;
            }
        }
    }
}

} // namespace
} // namespace cm::test
