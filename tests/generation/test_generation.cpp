// Generation scenarios checked by what was drawn on the pages.
#include "engine/paint/textlayout.h"
#include "harness.h"

#include <gtest/gtest.h>

namespace cm::test {
namespace {

TEST(Generation, OneCardPerRecordAtTheFieldPosition)
{
    Harness h;
    auto* detail = h.band(TQRBandType::rbDetail, 1000);   // the whole page
    h.label(detail, QStringLiteral("To"), 100, 200);
    h.field(detail, QStringLiteral("Call"), 400, 200);
    ASSERT_EQ(h.run(QStringList{"S51A", "DL1XY", "K1ABC"}), 3);
    const QStringList calls{"S51A", "DL1XY", "K1ABC"};
    for (int p = 0; p < 3; ++p) {
        EXPECT_EQ(h.texts(p), (QStringList{"To", calls[p]}));
        const DrawnItem* call = h.findText(p, calls[p]);
        ASSERT_TRUE(call);
        EXPECT_NEAR(call->pos.x(), dots(400), 1.0);
        // Baseline below the element's top by the font's ascent.
        EXPECT_GT(call->pos.y(), dots(200));
        EXPECT_LT(call->pos.y(), dots(250));
    }
}

TEST(Generation, DetailsFillThePageThenBreak)
{
    Harness h;
    h.band(TQRBandType::rbDetail, 300);
    auto* detail = h.report().firstBandOfType(TQRBandType::rbDetail);
    h.field(detail, QStringLiteral("Call"), 0, 0);
    ASSERT_EQ(h.run(QStringList{"A1", "A2", "A3", "A4"}), 2);
    EXPECT_EQ(h.sequence(), QStringLiteral("A1 A2 A3 | A4"));
    EXPECT_NEAR(h.findText(0, "A3")->pos.y() - h.findText(0, "A1")->pos.y(), dots(600), 1.0);
}

TEST(Generation, GroupHeadersAndFootersAroundKeys)
{
    Harness h;
    auto* detail = h.band(TQRBandType::rbDetail, 60);
    h.field(detail, QStringLiteral("Call"), 0, 0);
    auto* group = new TQRDesignGroup(&h.ws.window);
    group->setName(QStringLiteral("GroupBand"));
    group->setParentControl(&h.report());
    group->setMaster(&h.report());
    group->expression = QStringLiteral("Band");
    group->size.values = {60, 1000};
    h.label(group, QStringLiteral("GH"), 0, 0);
    auto* footer = h.band(TQRBandType::rbGroupFooter, 60);
    group->setFooterBand(footer);
    h.label(footer, QStringLiteral("GF"), 0, 0);
    h.report().orderBands();
    auto rec = [](const char* call, const char* band) {
        return FixtureDataSet::Record{{"Call", QString::fromLatin1(call)}, {"Band", QString::fromLatin1(band)}};
    };
    h.run({rec("A", "20M"), rec("B", "20M"), rec("C", "40M")});
    EXPECT_EQ(h.sequence(), QStringLiteral("GH A B GF GH C GF"));
}

TEST(Generation, TwoColumnsFillDownThenAcross)
{
    Harness h;
    h.report().page.setColumns(2);
    auto* title = h.band(TQRBandType::rbTitle, 100);
    h.label(title, QStringLiteral("T"), 0, 0);
    auto* detail = h.band(TQRBandType::rbDetail, 300);
    detail->size.values[1] = 500;
    h.field(detail, QStringLiteral("Call"), 0, 0);
    ASSERT_EQ(h.run(QStringList{"A", "B", "C", "D", "E"}), 1);
    // Column 1 holds the title and three cards; column 2 starts below the title.
    EXPECT_EQ(h.texts(0), (QStringList{"T", "A", "B", "C", "D", "E"}));
    const DrawnItem* a = h.findText(0, "A");
    const DrawnItem* d = h.findText(0, "D");
    EXPECT_NEAR(d->pos.x() - a->pos.x(), dots(500), 1.0);
    EXPECT_NEAR(d->pos.y(), a->pos.y(), 1.0);
}

struct EmptyCase {
    bool printIfEmpty;
    int pages;
    const char* drawn;
};

class EmptyDataSet : public testing::TestWithParam<EmptyCase> {};

TEST_P(EmptyDataSet, PrintsTitleDetailSummaryOnlyWhenAsked)
{
    Harness h;
    h.label(h.band(TQRBandType::rbTitle, 100), QStringLiteral("Title"), 0, 0);
    h.field(h.band(TQRBandType::rbDetail, 100), QStringLiteral("Call"), 0, 0);
    h.label(h.band(TQRBandType::rbSummary, 100), QStringLiteral("Summary"), 0, 0);
    h.report().setPrintIfEmpty(GetParam().printIfEmpty);
    EXPECT_EQ(h.run(QStringList{}), GetParam().pages);
    EXPECT_EQ(h.sequence(), QString::fromLatin1(GetParam().drawn));
}

INSTANTIATE_TEST_SUITE_P(Generation, EmptyDataSet,
                         testing::Values(EmptyCase{true, 1, "Title Summary"}, EmptyCase{false, 0, ""}));

struct HeaderFooterCase {
    uint32_t options;
    const char* drawn;
};

class PageHeaderFooterOptions : public testing::TestWithParam<HeaderFooterCase> {};

TEST_P(PageHeaderFooterOptions, FirstHeaderAndLastFooterFollowTheOptions)
{
    Harness h;
    h.label(h.band(TQRBandType::rbPageHeader, 100), QStringLiteral("H"), 0, 0);
    h.field(h.band(TQRBandType::rbDetail, 400), QStringLiteral("Call"), 0, 0);
    h.label(h.band(TQRBandType::rbPageFooter, 100), QStringLiteral("F"), 0, 0);
    h.report().options = SetBits{GetParam().options};
    ASSERT_EQ(h.run(QStringList{"A", "B", "C"}), 2);
    EXPECT_EQ(h.sequence(), QString::fromLatin1(GetParam().drawn));
}

INSTANTIATE_TEST_SUITE_P(Generation, PageHeaderFooterOptions,
                         testing::Values(HeaderFooterCase{FirstPageHeader | LastPageFooter, "H A B F | H C F"},
                                         HeaderFooterCase{LastPageFooter, "A B F | H C F"},
                                         HeaderFooterCase{FirstPageHeader, "H A B F | H C"}));

TEST(Generation, FooterReserveKeepsDetailsAboveThePageFooter)
{
    // 1000 high page, margins 100, footer 150: details of 250 fit while the cursor + 250 ≤ 750.
    Harness h;
    for (TQRPage::Index i : {TQRPage::Top, TQRPage::Bottom})
        h.report().page.values[i] = 100;
    h.field(h.band(TQRBandType::rbDetail, 250), QStringLiteral("Call"), 0, 0);
    h.label(h.band(TQRBandType::rbPageFooter, 150), QStringLiteral("F"), 0, 0);
    ASSERT_EQ(h.run(QStringList{"A", "B", "C", "D"}), 2);
    EXPECT_EQ(h.sequence(), QStringLiteral("A B F | C D F"));
    const DrawnItem* f = h.findText(0, "F");
    const DrawnItem* a = h.findText(0, "A");
    EXPECT_NEAR(f->pos.y() - a->pos.y(), dots(750 - 100), 1.0);
}

TEST(Generation, ForcedNewPageSkipsTheBreakAfterTheTitle)
{
    Harness h;
    h.label(h.band(TQRBandType::rbTitle, 100), QStringLiteral("T"), 0, 0);
    auto* detail = h.band(TQRBandType::rbDetail, 100);
    detail->forceNewPage = true;
    h.field(detail, QStringLiteral("Call"), 0, 0);
    ASSERT_EQ(h.run(QStringList{"A", "B", "C"}), 3);
    EXPECT_EQ(h.sequence(), QStringLiteral("T A | B | C"));
}

TEST(Generation, ForcedNewPageWithoutTitleBreaksBeforeEverySecondRecord)
{
    Harness h;
    auto* detail = h.band(TQRBandType::rbDetail, 100);
    detail->forceNewPage = true;
    h.field(detail, QStringLiteral("Call"), 0, 0);
    ASSERT_EQ(h.run(QStringList{"A", "B", "C"}), 3);
    EXPECT_EQ(h.sequence(), QStringLiteral("A | B | C"));
}

struct PageRuleCase {
    int start, end, step;
    bool notOnFirst;
    const char* drawn;
};

class BandPageRules : public testing::TestWithParam<PageRuleCase> {};

TEST_P(BandPageRules, PageHeaderPrintsOnThePagesTheRulesAllow)
{
    Harness h;
    auto* header = h.band(TQRBandType::rbPageHeader, 100);
    h.label(header, QStringLiteral("H"), 0, 0);
    header->d.startPageNum = GetParam().start;
    header->d.endPageNum = GetParam().end;
    header->d.pageStep = GetParam().step;
    header->d.notOnFirstPage = GetParam().notOnFirst;
    h.field(h.band(TQRBandType::rbDetail, 900), QStringLiteral("Call"), 0, 0);
    ASSERT_EQ(h.run(QStringList{"1", "2", "3", "4", "5"}), 5);
    EXPECT_EQ(h.sequence(), QString::fromLatin1(GetParam().drawn));
}

INSTANTIATE_TEST_SUITE_P(Generation, BandPageRules,
                         testing::Values(PageRuleCase{0, 0, 0, false, "H 1 | H 2 | H 3 | H 4 | H 5"},
                                         PageRuleCase{0, 0, 0, true, "1 | H 2 | H 3 | H 4 | H 5"},
                                         PageRuleCase{2, 4, 0, false, "1 | H 2 | H 3 | H 4 | 5"},
                                         PageRuleCase{1, 0, 2, false, "H 1 | 2 | H 3 | 4 | H 5"}));

TEST(Generation, BandConditionAndDisabledEditorSuppressTheBand)
{
    Harness h;
    auto* detail = h.band(TQRBandType::rbDetail, 100);
    detail->d.expression = QStringLiteral("Call <> 'B'");
    h.field(detail, QStringLiteral("Call"), 0, 0);
    auto* summary = h.band(TQRBandType::rbSummary, 100);
    h.label(summary, QStringLiteral("S"), 0, 0);
    summary->d.editorEnabled = false;
    h.run(QStringList{"A", "B", "C"});
    EXPECT_EQ(h.sequence(), QStringLiteral("A C"));
}

TEST(Generation, BeforePrintScriptVetoesABand)
{
    Harness h;
    auto* detail = h.band(TQRBandType::rbDetail, 100);
    h.field(detail, QStringLiteral("Call"), 0, 0);
    h.ws.designer->script.lines = {QStringLiteral("[%1.BeforePrint]").arg(detail->name()),
                                   QStringLiteral("RETURN(Call <> 'B')")};
    h.run(QStringList{"A", "B", "C"});
    EXPECT_EQ(h.sequence(), QStringLiteral("A C"));
}

// A memo one line high that grows with its lines, on a detail band of 100.
TQRDesignMemo* stretchingMemo(Harness& h, bool transparent)
{
    auto* memo = h.add<TQRDesignMemo>(h.band(TQRBandType::rbDetail, 100), 0, 0, 800, 60);
    memo->autoSize = false;
    memo->autoStretch = true;
    memo->transparent = transparent;
    return memo;
}

TEST(Generation, StretchingMemoContinuesOnTheNextPage)
{
    Harness h;
    auto* memo = stretchingMemo(h, true);
    for (int i = 1; i <= 40; ++i)
        memo->lines.lines << QStringLiteral("line %1").arg(i);
    ASSERT_GE(h.run(QStringList{"A"}), 2);
    const QStringList first = h.texts(0);
    const QStringList second = h.texts(1);
    ASSERT_FALSE(first.isEmpty());
    ASSERT_FALSE(second.isEmpty());
    EXPECT_EQ(first.first(), QStringLiteral("line 1"));
    // The next page goes on with the first line that did not fit, at the element's top.
    EXPECT_EQ(second.first(), QStringLiteral("line %1").arg(first.size() + 1));
    EXPECT_NEAR(h.findText(1, second.first())->pos.y(), h.findText(0, "line 1")->pos.y(), 1.0);
    EXPECT_EQ((first + second + (h.pages.size() > 2 ? h.texts(2) : QStringList())).size(), 40);
}

// The strip filled as an opaque element grows must not hide the lines drawn after it.
TEST(Generation, StretchingTextPrintsEveryLineWhetherOpaqueOrNot)
{
    for (bool transparent : {false, true}) {
        SCOPED_TRACE(transparent ? "transparent" : "opaque");
        Harness h;
        auto* memo = stretchingMemo(h, transparent);
        auto* detail = static_cast<TQRCustomBand*>(memo->parentControl());
        memo->lines.lines = {QStringLiteral("DL1XY"), QStringLiteral("Am Hang 3"), QStringLiteral("12345 Ort"),
                             QStringLiteral("Germany")};
        auto* label = h.add<TQRDesignLabel>(detail, 0, 80, 300, 50);
        label->setCaption(QStringLiteral("via\r\nQSL bureau"));
        label->autoSize = false;
        label->autoStretch = true;
        label->transparent = transparent;
        ASSERT_EQ(h.run(QStringList{"A"}), 1);
        EXPECT_EQ(h.texts(0), (QStringList{"DL1XY", "Am Hang 3", "12345 Ort", "Germany", "via", "QSL bureau"}));
        for (const DrawnItem& item : h.pages[0]) {
            if (item.kind == DrawnItem::Text) {
                EXPECT_EQ(item.color, toQColor(memo->font().color())) << item.text.toStdString();
            }
        }
    }
}

TEST(Generation, ExpressionAggregatesOverTheDetails)
{
    Harness h;
    h.field(h.band(TQRBandType::rbDetail, 100), QStringLiteral("Call"), 0, 0);
    auto* summary = h.band(TQRBandType::rbSummary, 100);
    auto* count = h.add<TQRDesignExpr>(summary, 0, 0, 300, 50);
    count->setExpression(QStringLiteral("COUNT"));
    count->autoSize = false;
    auto* page = h.add<TQRDesignExpr>(summary, 400, 0, 300, 50);
    page->setExpression(QStringLiteral("PAGENUMBER"));
    page->autoSize = false;
    h.run(QStringList{"A", "B", "C"});
    EXPECT_EQ(h.sequence(), QStringLiteral("A B C 3 1"));
}

} // namespace
} // namespace cm::test

namespace cm::test {
namespace {

TEST(Generation, OversizedBandsStartAFreshPageEach)
{
    Harness h;
    h.field(h.band(TQRBandType::rbDetail, 1200), QStringLiteral("Call"), 0, 0);
    ASSERT_EQ(h.run(QStringList{"A", "B"}), 2);
    EXPECT_EQ(h.sequence(), QStringLiteral("A | B"));
    EXPECT_NEAR(h.findText(1, "B")->pos.y(), h.findText(0, "A")->pos.y(), 1.0);
}

TEST(Generation, GroupHeaderIsRepeatedOnANewPageWhenAsked)
{
    for (bool reprint : {false, true}) {
        Harness h;
        h.field(h.band(TQRBandType::rbDetail, 400), QStringLiteral("Call"), 0, 0);
        auto* group = new TQRDesignGroup(&h.ws.window);
        group->setName(QStringLiteral("GroupBand"));
        group->setParentControl(&h.report());
        group->setMaster(&h.report());
        group->expression = QStringLiteral("Band");
        group->reprintOnNewPage = reprint;
        group->size.values = {100, 1000};
        h.label(group, QStringLiteral("GH"), 0, 0);
        h.report().orderBands();
        h.run({{{"Call", "A"}, {"Band", "20M"}}, {{"Call", "B"}, {"Band", "20M"}}, {{"Call", "C"}, {"Band", "20M"}}});
        EXPECT_EQ(h.sequence(), reprint ? QStringLiteral("GH A B | GH C") : QStringLiteral("GH A B | C")) << reprint;
    }
}

TEST(Generation, ChildBandFollowsItsParent)
{
    Harness h;
    auto* detail = h.band(TQRBandType::rbDetail, 100);
    h.field(detail, QStringLiteral("Call"), 0, 0);
    detail->setHasChild(true);
    auto* child = detail->findChild();
    ASSERT_TRUE(child);
    child->size.values = {100, 1000};
    child->bounds.setHeight(38);
    h.label(child, QStringLiteral("c"), 0, 0);
    h.run(QStringList{"A", "B"});
    EXPECT_EQ(h.sequence(), QStringLiteral("A c B c"));
    EXPECT_NEAR(h.findText(0, "B")->pos.y() - h.findText(0, "A")->pos.y(), dots(200), 1.0);
}

} // namespace
} // namespace cm::test

namespace cm::test {
namespace {

TEST(Generation, ScriptsReachElementsThroughTheModelAccess)
{
    Harness h;
    auto* detail = h.band(TQRBandType::rbDetail, 100);
    auto* label = h.label(detail, QStringLiteral("old"), 0, 0);
    label->setName(QStringLiteral("Greeting"));
    h.ws.designer->script.lines = {QStringLiteral("[%1.BeforePrint]").arg(detail->name()),
                                   QStringLiteral("SETSTRPROP('Greeting', 'Caption', 'Hi ' + Call)"),
                                   QStringLiteral("[%1.AfterPrint]").arg(detail->name()),
                                   QStringLiteral("SETVAR('pos', VERTPRINTPOS)")};
    h.run(QStringList{"A", "B"});
    EXPECT_EQ(h.sequence(), QStringLiteral("Hi A Hi B"));
}

} // namespace
} // namespace cm::test

namespace cm::test {
namespace {

TEST(Generation, SummaryAlignedToBottomTouchesTheFooterAreaOrTheMargin)
{
    for (bool lastPageFooter : {true, false}) {
        Harness h;
        h.field(h.band(TQRBandType::rbDetail, 100), QStringLiteral("Call"), 0, 0);
        h.label(h.band(TQRBandType::rbPageFooter, 150), QStringLiteral("F"), 0, 0);
        auto* summary = h.band(TQRBandType::rbSummary, 100);
        summary->alignToBottom = true;
        h.label(summary, QStringLiteral("S"), 0, 0);
        h.report().options = SetBits{FirstPageHeader | (lastPageFooter ? LastPageFooter : 0u)};
        ASSERT_EQ(h.run(QStringList{"A"}), 1);
        const double top = lastPageFooter ? 1000 - 150 - 100 : 1000 - 100;
        EXPECT_NEAR(h.findText(0, "S")->pos.y() - h.findText(0, "A")->pos.y(), dots(top), 1.0) << lastPageFooter;
        EXPECT_EQ(h.findText(0, "F") != nullptr, lastPageFooter);
    }
}

} // namespace
} // namespace cm::test

namespace cm::test {
namespace {

TEST(Generation, StretchingTextThatNeverFitsDoesNotLoopForEver)
{
    Harness h;
    auto* memo = h.add<TQRDesignMemo>(h.band(TQRBandType::rbDetail, 100), 0, 0, 800, 60);
    memo->autoSize = false;
    memo->autoStretch = true;
    memo->setParentFont(false);
    memo->font().setHeight(-600);   // one line is taller than the page
    memo->lines.lines = {QStringLiteral("big"), QStringLiteral("bigger")};
    EXPECT_LE(h.run(QStringList{"A", "B"}), 4);
}

} // namespace
} // namespace cm::test

namespace cm::test {
namespace {

TEST(Generation, NestedGroupsCloseInnerBeforeOuter)
{
    Harness h;
    h.field(h.band(TQRBandType::rbDetail, 50), QStringLiteral("Call"), 0, 0);
    auto addGroup = [&](const QString& key, const QString& header, const QString& footerText) {
        auto* group = new TQRDesignGroup(&h.ws.window);
        group->setName(header + QStringLiteral("Band"));
        group->setParentControl(&h.report());
        group->setMaster(&h.report());
        group->expression = key;
        group->size.values = {50, 1000};
        h.label(group, header, 0, 0);
        auto* footer = h.band(TQRBandType::rbGroupFooter, 50);
        group->setFooterBand(footer);
        h.label(footer, footerText, 0, 0);
    };
    addGroup(QStringLiteral("Band"), QStringLiteral("G1"), QStringLiteral("F1"));
    addGroup(QStringLiteral("Mode"), QStringLiteral("G2"), QStringLiteral("F2"));
    h.report().orderBands();
    auto rec = [](const char* band, const char* mode, const char* call) {
        return FixtureDataSet::Record{{"Band", QString::fromLatin1(band)}, {"Mode", QString::fromLatin1(mode)},
                                      {"Call", QString::fromLatin1(call)}};
    };
    h.run({rec("20M", "CW", "A"), rec("20M", "SSB", "B"), rec("40M", "SSB", "C")});
    EXPECT_EQ(h.sequence(), QStringLiteral("G1 G2 A F2 G2 B F2 F1 G1 G2 C F2 F1"));
}

} // namespace
} // namespace cm::test
