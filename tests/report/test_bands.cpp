#include "report/design.h"

#include <gtest/gtest.h>

using namespace cm;

namespace {

struct ReportFixture : ::testing::Test {
    Container window{QStringLiteral("TestWindow")};
    TQRDesignReport* report = new TQRDesignReport(&window);

    void SetUp() override
    {
        report->setName(QStringLiteral("CardReport"));
        report->setUnits(TQRUnit::MM);
        report->page.setPaperSize(TQRPaperSize::A4);
        report->page.applyToControl();
    }

    TQRDesignBand* band(TQRBandType t) { return static_cast<TQRDesignBand*>(report->addBandOfType(t)); }

    QStringList order() const
    {
        QStringList names;
        for (TQRCustomBand* b : report->bandList())
            names << b->name();
        return names;
    }
};

} // namespace

TEST_F(ReportFixture, NewBandsAreNamedByTypeAndListedInPrintOrder)
{
    band(TQRBandType::rbSummary);
    band(TQRBandType::rbDetail);
    band(TQRBandType::rbPageFooter);
    band(TQRBandType::rbTitle);
    band(TQRBandType::rbPageHeader);
    auto* group = new TQRDesignGroup(&window);
    group->setName(window.nextFreeName(QStringLiteral("QRDesignGroup")));
    group->setParentControl(report);
    group->setMaster(report);
    TQRDesignBand* footer = band(TQRBandType::rbDetail);
    group->setFooterBand(footer);
    EXPECT_EQ(footer->bandType(), TQRBandType::rbGroupFooter);
    EXPECT_EQ(footer->name(), QStringLiteral("DetailBand2"));

    EXPECT_EQ(order(), (QStringList{"PageHeaderBand1", "TitleBand1", "QRDesignGroup1", "DetailBand1",
                                    "DetailBand2", "SummaryBand1", "PageFooterBand1"}));

    // Destroying a band clears references to it and re-orders.
    destroyComponent(footer);
    EXPECT_EQ(group->footerBand(), nullptr);
    EXPECT_EQ(order().size(), 6);
}

TEST_F(ReportFixture, LinkChainsThatLeadBackAreRefused)
{
    TQRDesignBand* a = band(TQRBandType::rbDetail);
    TQRDesignBand* b = band(TQRBandType::rbDetail);
    TQRDesignBand* c = band(TQRBandType::rbDetail);
    b->setLinkBand(c);
    c->setLinkBand(a);
    a->setLinkBand(b);   // b -> c -> a: refused
    EXPECT_EQ(a->linkBand(), nullptr);
    a->setLinkBand(a);
    EXPECT_EQ(a->linkBand(), nullptr);
}

TEST_F(ReportFixture, RemovingAChildKeepsTheGrandchild)
{
    TQRDesignBand* detail = band(TQRBandType::rbDetail);
    detail->setHasChild(true);
    TQRChildBand* child = detail->findChild();
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->name(), QStringLiteral("ChildBand1"));
    child->setHasChild(true);
    TQRChildBand* grandchild = child->findChild();
    ASSERT_NE(grandchild, nullptr);

    detail->setHasChild(false);
    EXPECT_EQ(detail->findChild(), grandchild);
    EXPECT_EQ(grandchild->parentBand(), detail);
    EXPECT_EQ(order(), (QStringList{"DetailBand1", "ChildBand2"}));
}

TEST_F(ReportFixture, TwoColumnsNarrowDetailButNotTitleOrItsChildren)
{
    TQRDesignBand* title = band(TQRBandType::rbTitle);
    title->setHasChild(true);
    TQRDesignBand* detail = band(TQRBandType::rbDetail);
    report->page.setColumns(2);
    report->arrangeBands();

    // A4 at 96 dpi: 794 px wide, margins of 38 px.
    EXPECT_EQ(title->bounds.width(), 718);
    EXPECT_EQ(title->findChild()->bounds.width(), 718);
    EXPECT_EQ(detail->bounds.width(), 359);
    EXPECT_EQ(title->bounds.left(), 38);
    EXPECT_EQ(title->bounds.top(), 38);
    EXPECT_EQ(title->findChild()->bounds.top(), 38 + title->bounds.height());
}

TEST_F(ReportFixture, ReportBandSwitchesCreateAndFree)
{
    report->bands.set(TQRBandType::rbSummary, true);
    EXPECT_TRUE(report->bands.has(TQRBandType::rbSummary));
    EXPECT_TRUE(getProperty(*report, u"Bands.HasSummary").value() == PropValue(true));
    report->bands.set(TQRBandType::rbSummary, false);
    EXPECT_FALSE(report->bands.has(TQRBandType::rbSummary));
}

TEST_F(ReportFixture, PropertiesByDottedName)
{
    auto* label = new TQRDesignLabel(&window);
    label->setParentControl(band(TQRBandType::rbDetail));
    EXPECT_TRUE(hasProperty(*label, u"font.name"));
    EXPECT_TRUE(label->parentFont());
    EXPECT_EQ(label->font().name(), QStringLiteral("Arial"));   // follows the report
    EXPECT_TRUE(setProperty(*label, u"Font.Name", QStringLiteral("Courier New")));
    EXPECT_FALSE(label->parentFont());
    EXPECT_TRUE(setProperty(*label, u"Caption", QStringLiteral("73")));
    EXPECT_EQ(label->caption(), QStringLiteral("73"));
    EXPECT_FALSE(setProperty(*label, u"Caption", int64_t(5)));   // wrong kind
    EXPECT_FALSE(setProperty(*label, u"NoSuchProperty", true));
    label->setDegree(3700);
    EXPECT_EQ(label->degree(), 100);
    EXPECT_FALSE(label->autoSize);
}
