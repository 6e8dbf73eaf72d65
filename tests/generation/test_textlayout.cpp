// Line breaking on the reference surface, and text elements as printed.
#include "engine/paint/textlayout.h"
#include "harness.h"

#include <QFontMetricsF>
#include <gtest/gtest.h>

namespace cm::test {
namespace {

TQRFont arial()
{
    TQRFont f;
    f.setName(QStringLiteral("Arial"));
    f.setHeight(-13);
    return f;
}

struct BreakCase {
    const char* name;
    const char* text;
    const char* widthOf;   // the element is exactly as wide as this text
    bool autoSize;
    bool wordWrap;
    QStringList expected;
    bool kept = true;   // no character other than a blank was left out
};

class LineBreaking : public testing::TestWithParam<BreakCase> {};

TEST_P(LineBreaking, BreaksAsTheRulesSay)
{
    const BreakCase& c = GetParam();
    const TextMeasurer measure(toQFont(arial()), 100);
    BreakOptions options;
    options.width = measure.width(QString::fromLatin1(c.widthOf));
    options.autoSize = c.autoSize;
    options.wordWrap = c.wordWrap;
    QStringList lines;
    EXPECT_EQ(breakText(QString::fromLatin1(c.text), options, measure, lines), c.kept);
    EXPECT_EQ(lines, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Text, LineBreaking,
    testing::Values(
        BreakCase{"AutoSizeKeepsOneLine", "aa aa aa aa", "aa", true, true, {"aa aa aa aa"}},
        BreakCase{"AfterSpaces", "aa aa aa aa", "aa aa ", false, true, {"aa aa ", "aa aa"}},
        BreakCase{"AfterHyphens", "ab-cd-ef", "ab-cd-", false, true, {"ab-cd-", "ef"}},
        BreakCase{"LongWordAloneIsCutAndTheRestDropped", "abcdefghij", "abcde", false, true, {"abcd", ""}, false},
        BreakCase{"LongWordAfterTextGetsALineOfItsOwn", "ab abcdefghij", "abcde", false, true, {"ab ", "abcde", ""}, false},
        BreakCase{"WordWrapOffTruncates", "aa aa aa aa", "aa aa ", false, false, {"aa aa "}, false},
        BreakCase{"CarriageReturnsSplitAndTrailingOneGivesEmptyLine", "a\r\nb\r\n", "aaaa", false, true, {"a", "b", ""}},
        BreakCase{"LineFeedsAloneAreRemoved", "a\nb", "aaaa", false, true, {"ab"}},
        BreakCase{"ZeroWidthDropsLongWords", "ab cd", "", false, true, {"", "", ""}, false},
        BreakCase{"WordWrapOffKeepsWhatFits", "aa aa", "aa aa", false, false, {"aa aa"}}),
    [](const testing::TestParamInfo<BreakCase>& info) { return std::string(info.param.name); });

TEST(TextElements, MasksFormatNumbersAndDates)
{
    Harness h;
    auto* detail = h.band(TQRBandType::rbDetail, 1000);
    auto masked = [&](const char* field, const char* mask, Extended top) {
        auto* f = h.field(detail, QString::fromLatin1(field), 0, top);
        f->mask = QString::fromLatin1(mask);
        return f;
    };
    masked("Freq", "0.00", 0);
    masked("Datum", "dd.mm.yyyy", 60);
    masked("Cq", "000", 120);
    masked("Call", "0.00", 180);        // text fields ignore masks
    masked("Freq", "", 240);            // no mask: the field's display format
    h.run({{{"Freq", 3.14159}, {"Datum", QDate(2019, 3, 2)}, {"Cq", 15}, {"Call", "S51A"}}});
    EXPECT_EQ(h.texts(0), (QStringList{"3.14", "02.03.2019", "015", "S51A", "3.14"}));
}

TEST(TextElements, SuppressedRepeatsAndBlankZeros)
{
    Harness h;
    auto* detail = h.band(TQRBandType::rbDetail, 100);
    auto* call = h.field(detail, QStringLiteral("Call"), 0, 0);
    call->suppressRepeatedValues = true;
    auto* cq = h.field(detail, QStringLiteral("Cq"), 400, 0);
    cq->blankIfZero = true;
    h.run({{{"Call", "A"}, {"Cq", 0}}, {{"Call", "A"}, {"Cq", 14}}, {{"Call", "B"}, {"Cq", 0}}});
    EXPECT_EQ(h.sequence(), QStringLiteral("A 14 B"));
}

TEST(TextElements, SuppressedRepeatReprintsOnANewPageWhenAsked)
{
    for (bool reprint : {false, true}) {
        Harness h;
        auto* detail = h.band(TQRBandType::rbDetail, 500);
        auto* call = h.field(detail, QStringLiteral("Call"), 0, 0);
        call->suppressRepeatedValues = true;
        call->reprintOnNewPage = reprint;
        h.run(QStringList{"A", "A", "A"});
        EXPECT_EQ(h.sequence(), reprint ? QStringLiteral("A | A") : QStringLiteral("A | ")) << reprint;
    }
}

TEST(TextElements, AutoSizedRightAlignedLabelKeepsItsRightEdge)
{
    Harness h;
    auto* detail = h.band(TQRBandType::rbDetail, 200);
    auto* l = h.label(detail, QStringLiteral("A rather long caption"), 100, 0, 100, 50);
    l->autoSize = true;
    l->setAlignment(TAlignment::taRightJustify);
    l->font().setName(QStringLiteral("Arial"));
    l->font().setHeight(-13);
    h.run(QStringList{"x"});
    const DrawnItem* text = h.findText(0, "A rather long caption");
    ASSERT_TRUE(text);
    const double advance = QFontMetricsF(toQFont(l->font())).horizontalAdvance(text->text);
    EXPECT_NEAR(text->pos.x() + advance, dots(200), 2.0);
}

TEST(TextElements, RotatedLabelReadsUpwardFromTheBottomLeft)
{
    Harness h;
    auto* detail = h.band(TQRBandType::rbDetail, 600);
    auto* l = h.label(detail, QStringLiteral("Up"), 100, 100, 300, 400);
    l->setDegree(900);
    h.run(QStringList{"x"});
    const DrawnItem* text = h.findText(0, "Up");
    ASSERT_TRUE(text);
    // Turned a quarter counter-clockwise, starting at the element's bottom-left corner.
    EXPECT_NEAR(text->transform.m11(), 0.0, 1e-6);
    EXPECT_NEAR(text->transform.m12(), -1.0, 1e-6);
    EXPECT_NEAR(text->transform.dx(), dots(100), 1.0);
    EXPECT_NEAR(text->transform.dy(), dots(500), 1.0);
}

TEST(TextElements, DegreeAboveFullTurnIsReduced)
{
    Harness h;
    auto* l = h.label(h.band(TQRBandType::rbDetail, 100), QStringLiteral("x"), 0, 0);
    l->setDegree(3700);
    EXPECT_EQ(l->degree(), 100);
}

TEST(TextElements, MemoMacrosAreExpandedAndDelLinesRemoved)
{
    Harness h;
    auto* memo = h.add<TQRDesignMemo>(h.band(TQRBandType::rbDetail, 300), 0, 0, 800, 250);
    memo->autoSize = false;
    memo->lines.lines = {QStringLiteral("To %%Call%% from me"), QStringLiteral("  %DEL  "), QStringLiteral("73%DEL")};
    h.run(QStringList{"S51A"});
    EXPECT_EQ(h.texts(0), (QStringList{"To S51A from me", "73"}));
}

TEST(TextElements, FramedOpaqueLabelFillsAndFramesItsBox)
{
    Harness h;
    auto* l = h.label(h.band(TQRBandType::rbDetail, 300), QStringLiteral("F"), 100, 100, 254, 127);
    l->transparent = false;
    l->setColor(0x0000FF);   // red
    l->frame.drawTop = l->frame.drawBottom = l->frame.drawLeft = l->frame.drawRight = true;
    h.run(QStringList{"x"});
    const Page& page = h.pages.at(0);
    auto fill = std::find_if(page.begin(), page.end(), [](const DrawnItem& d) {
        return d.kind == DrawnItem::Rect && d.color == QColor(255, 0, 0);
    });
    ASSERT_NE(fill, page.end());
    EXPECT_NEAR(fill->rect.left(), dots(100), 1.0);
    EXPECT_NEAR(fill->rect.width(), 96.0, 1.0);
    const auto sides = std::count_if(page.begin(), page.end(), [](const DrawnItem& d) {
        return d.kind == DrawnItem::Rect && d.color == QColor(0, 0, 0);
    });
    EXPECT_EQ(sides, 4);
}

} // namespace
} // namespace cm::test
