// Alignment, spacing, centring and grouping of the selection, and the
// selection handle's changes of bands.
#include "designerfixture.h"

#include "designer/designobjects.h"

namespace {

using namespace cm;

class BlockTest : public test::DesignerTest {
protected:
    BlockTest()
    {
        band = addBand(TQRBandType::rbDetail, 300);
        a = addElement<TQRDesignLabel>(band, QRect(10, 10, 30, 20));
        b = addElement<TQRDesignLabel>(band, QRect(100, 90, 10, 10));
        c = addElement<TQRDesignLabel>(band, QRect(40, 70, 20, 30));
    }

    void selectInOrder(std::initializer_list<Component*> components)
    {
        core.clearSelection();
        for (Component* x : components)
            core.select(x);
    }

    TQRDesignBand* band = nullptr;
    TQRDesignLabel *a = nullptr, *b = nullptr, *c = nullptr;
};

TEST_F(BlockTest, AlignmentTableForThreeElementsInSelectionOrder)
{
    // Selected A, B, C: A is the reference; equal spacing goes in selection order.
    const struct {
        DesignCommand command;
        QPoint a, b, c;   // top-left corners afterwards
    } rows[] = {
        {DesignCommand::AlignLeft, {10, 10}, {10, 90}, {10, 70}},
        {DesignCommand::AlignRight, {10, 10}, {30, 90}, {20, 70}},
        {DesignCommand::AlignTop, {10, 10}, {100, 10}, {40, 10}},
        {DesignCommand::AlignBottom, {10, 10}, {100, 20}, {40, 0}},
        {DesignCommand::AlignCenterHorizontal, {10, 10}, {20, 90}, {15, 70}},
        {DesignCommand::AlignCenterVertical, {10, 10}, {100, 15}, {40, 5}},
        {DesignCommand::AlignEqualSpaceHorizontal, {10, 10}, {55, 90}, {100, 70}},
        {DesignCommand::AlignEqualSpaceVertical, {10, 10}, {100, 50}, {40, 90}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(int(row.command));
        a->bounds.moveTopLeft({10, 10});
        b->bounds.moveTopLeft({100, 90});
        c->bounds.moveTopLeft({40, 70});
        selectInOrder({a, b, c});
        doc.setModified(false);
        core.alignSelection(row.command);
        EXPECT_EQ(a->bounds.topLeft(), row.a);
        EXPECT_EQ(b->bounds.topLeft(), row.b);
        EXPECT_EQ(c->bounds.topLeft(), row.c);
        EXPECT_TRUE(doc.isModified());
        EXPECT_EQ(doc.selectionCount(), 3);
    }
}

TEST_F(BlockTest, EnablingFollowsTheSelectionSize)
{
    using C = DesignCommand;
    selectInOrder({a});
    EXPECT_FALSE(core.isEnabled(C::AlignLeft));
    EXPECT_TRUE(core.isEnabled(C::AlignParentCenterHorizontal));
    doc.setModified(false);
    core.alignSelection(C::AlignLeft);   // too few: nothing, not even a mark
    EXPECT_FALSE(doc.isModified());
    selectInOrder({a, b});
    EXPECT_TRUE(core.isEnabled(C::AlignBottom));
    EXPECT_FALSE(core.isEnabled(C::AlignEqualSpaceHorizontal));
    selectInOrder({a, b, c});
    EXPECT_TRUE(core.isEnabled(C::AlignEqualSpaceVertical));
    core.clearSelection();
    EXPECT_FALSE(core.isEnabled(C::BringToFront));
}

TEST_F(BlockTest, CentringMovesTheWholeSelectionUnlessBlocked)
{
    band->bounds.setWidth(200);
    a->bounds = QRect(10, 10, 40, 20);   // the handle is 45 wide
    selectInOrder({a});
    core.alignSelection(DesignCommand::AlignParentCenterHorizontal);
    // round(155 / 2) gives the even 78 for the handle, 80 for the element.
    EXPECT_EQ(a->bounds.left(), 80);

    // BlockMove stops centring but not aligning.
    b->d.blockMove = true;
    selectInOrder({a, b});
    const QPoint before = b->bounds.topLeft();
    core.alignSelection(DesignCommand::AlignParentCenterVertical);
    EXPECT_EQ(b->bounds.topLeft(), before);
    core.alignSelection(DesignCommand::AlignLeft);
    EXPECT_EQ(b->bounds.left(), 80);

    // Bands are not centred horizontally.
    selectInOrder({band});
    const QRect bandBefore = band->bounds;
    core.alignSelection(DesignCommand::AlignParentCenterHorizontal);
    EXPECT_EQ(band->bounds, bandBefore);
}

TEST_F(BlockTest, GroupsAreSelectedTogetherAndUngrouped)
{
    selectInOrder({a, b});
    core.groupSelection();
    EXPECT_EQ(a->d.groupID, 1);
    EXPECT_EQ(b->d.groupID, 1);
    selectInOrder({c});
    core.groupSelection();
    EXPECT_EQ(c->d.groupID, 2);

    // A click on one member selects its whole group.
    core.clearSelection();
    click(at(b, QPoint(2, 2)));
    EXPECT_TRUE(doc.isSelected(a));
    EXPECT_TRUE(doc.isSelected(b));
    EXPECT_FALSE(doc.isSelected(c));

    core.ungroup(a);
    EXPECT_EQ(a->d.groupID, 0);
    EXPECT_FALSE(doc.isSelected(a));
    EXPECT_TRUE(doc.isSelected(b));
    selectInOrder({b, c});
    core.ungroupAll();
    EXPECT_EQ(b->d.groupID, 0);
    EXPECT_EQ(c->d.groupID, 0);
    EXPECT_EQ(doc.selectionCount(), 0);
}

TEST_F(BlockTest, ContextMenuOffersGroupingAndActsOnTheChoice)
{
    QStringList shown;
    int answer = -1;
    core.popupMenuHandler = [&](const QStringList& items, QPoint) {
        shown = items;
        return answer;
    };
    selectInOrder({a, b});
    answer = 8;   // group
    core.showContextMenu(a, QPoint());
    ASSERT_EQ(shown.size(), 9);
    EXPECT_EQ(shown[0].left(2), QString(QChar(0)) + u'Y');
    EXPECT_EQ(shown[1], QStringLiteral("-"));
    EXPECT_EQ(a->d.groupID, 1);

    answer = 0;   // the enabled mark toggles
    core.showContextMenu(a, QPoint());
    EXPECT_EQ(shown.size(), 11);   // grouped: ungroup and ungroup all as well
    EXPECT_FALSE(a->enabled());

    answer = 2;   // properties
    core.showContextMenu(a, QPoint());
    EXPECT_EQ(edits, 1);
    a->d.blockEdit = true;
    core.showContextMenu(a, QPoint());
    EXPECT_EQ(edits, 1);
}

TEST_F(BlockTest, ContextMenuOfABandOffersItsFormulasWhenTheShellEditsThem)
{
    auto* group = new TQRDesignGroup(&doc.workspace().window);
    group->setName(QStringLiteral("GroupBand1"));
    group->setParentControl(&report());
    QStringList shown;
    QString wanted;
    core.popupMenuHandler = [&](const QStringList& items, QPoint) {
        shown = items;
        return int(items.indexOf(wanted));
    };
    std::vector<std::pair<Component*, QString>> edited;
    // Without the shell's handler there are no formula entries.
    selectInOrder({band});
    core.showContextMenu(band, QPoint());
    EXPECT_FALSE(shown.contains(QStringLiteral("Expression...")));

    core.editFormulaHandler = [&](Component* c, const QString& property) { edited.emplace_back(c, property); };
    const struct {
        Component* target;
        const char* entry;
        const char* property;   // empty: the entry is not offered
    } cases[] = {
        {band, "Expression...", "Expression"},
        {band, "Print expression...", ""},
        {group, "Expression...", "Expression"},
        {group, "Print expression...", "PrintExpression"},
        {a, "Expression...", ""},   // elements have none
    };
    for (const auto& c : cases) {
        edited.clear();
        wanted = QString::fromLatin1(c.entry);
        selectInOrder({c.target});
        core.showContextMenu(c.target, QPoint());
        if (*c.property) {
            ASSERT_EQ(edited.size(), 1u) << c.entry;
            EXPECT_EQ(edited.front().first, c.target);
            EXPECT_EQ(edited.front().second, QString::fromLatin1(c.property));
        } else {
            EXPECT_TRUE(edited.empty()) << c.entry;
            EXPECT_FALSE(shown.contains(wanted)) << c.entry;
        }
    }
}

TEST_F(BlockTest, BandHeightChangeMovesBottomFixedElementsAndStretchesOthers)
{
    a->d.fixBottomPosition = true;
    b->d.stretchHeightWithBand = true;
    const int height = band->bounds.height();
    selectInOrder({band});
    EXPECT_TRUE(core.resizeSelection(0, 20));
    EXPECT_EQ(band->bounds.height(), height + 20);
    EXPECT_EQ(a->bounds.top(), 30);
    EXPECT_EQ(b->bounds.height(), 30);
    EXPECT_EQ(c->bounds, QRect(40, 70, 20, 30));
    // Shrinking never lifts an element above the band's top.
    EXPECT_TRUE(core.resizeSelection(0, -100));
    EXPECT_EQ(a->bounds.top(), 0);
    EXPECT_EQ(band->bounds.height(), height - 80);
}

} // namespace
