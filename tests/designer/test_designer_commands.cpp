// Selection, the rubber band and the commands on the selection.
#include "designerfixture.h"

namespace cm::test {
namespace {

using CommandTest = DesignerTest;

TEST_F(CommandTest, RubberBandSelectsByTopThenLeft)
{
    TQRDesignBand* band = addBand(TQRBandType::rbDetail, 200);
    auto* a = addElement<TQRDesignLabel>(band, QRect(200, 50, 60, 20));
    auto* b = addElement<TQRDesignLabel>(band, QRect(300, 10, 60, 20));
    auto* c = addElement<TQRDesignLabel>(band, QRect(5, 50, 60, 20));
    auto* d = addElement<TQRDesignLabel>(band, QRect(100, 50, 60, 20));   // right edge touches the band's start
    addElement<TQRDesignLabel>(band, QRect(100, 150, 60, 20));            // below the rubber band

    const QPoint start = at(band, QPoint(160, 0));
    core.mouseDown(Qt::LeftButton, Qt::ControlModifier, band, start);
    EXPECT_TRUE(core.rubberBandActive());
    core.mouseMove(at(band, QPoint(0, 100)));
    EXPECT_EQ(core.rubberBand(), QRect(at(band, QPoint(0, 0)), at(band, QPoint(160, 100))));
    core.mouseUp(Qt::LeftButton, {}, at(band, QPoint(400, 100)));
    EXPECT_FALSE(core.rubberBandActive());
    EXPECT_EQ(doc.selection(), (std::vector<Component*>{b, d, a}));
    (void)c;
}

TEST_F(CommandTest, RubberBandStartsOnTheBareReportOnly)
{
    TQRDesignBand* band = addBand(TQRBandType::rbDetail, 200);
    auto* label = addElement<TQRDesignLabel>(band, QRect(10, 10, 60, 20));
    click(at(label, QPoint(5, 5)));
    EXPECT_FALSE(core.rubberBandActive());
    EXPECT_EQ(selectedOne(), label);
    const QPoint bare = at(band, QPoint(0, 300));
    core.mouseDown(Qt::LeftButton, {}, core.hitTest(bare), bare);
    EXPECT_TRUE(core.rubberBandActive());
    EXPECT_EQ(doc.selectionCount(), 0);
    core.mouseUp(Qt::LeftButton, {}, bare);
}

TEST_F(CommandTest, SelectingAnElementOfAnotherBandStartsANewSelectionAndGroupsComeAlong)
{
    TQRDesignBand* one = addBand(TQRBandType::rbTitle, 100);
    TQRDesignBand* two = addBand(TQRBandType::rbDetail, 100);
    auto* a = addElement<TQRDesignLabel>(one, QRect(10, 10, 60, 20));
    auto* b = addElement<TQRDesignLabel>(two, QRect(10, 10, 60, 20));
    auto* c = addElement<TQRDesignShape>(two, QRect(100, 10, 60, 20));
    b->d.groupID = 7;
    c->d.groupID = 7;
    core.select(a);
    click(at(b, QPoint(2, 2)), Qt::ShiftModifier);
    EXPECT_EQ(doc.selection(), (std::vector<Component*>{b, c}));
}

TEST_F(CommandTest, EnabledCommandsFollowTheNumberSelected)
{
    TQRDesignBand* band = addBand(TQRBandType::rbDetail, 100);
    using C = DesignCommand;
    struct Row {
        C command;
        std::array<bool, 4> enabledAt;   // n = 0, 1, 2, 3
    };
    const Row rows[] = {
        {C::TextLeftAlign, {false, true, true, true}},    {C::Copy, {false, true, true, true}},
        {C::Delete, {false, true, true, true}},           {C::BringToFront, {false, true, true, true}},
        {C::AlignParentCenterVertical, {false, true, true, true}},
        {C::AlignLeft, {false, false, true, true}},       {C::AlignCenterVertical, {false, false, true, true}},
        {C::AlignEqualSpaceHorizontal, {false, false, false, true}},
        {C::AlignEqualSpaceVertical, {false, false, false, true}},
        {C::Paste, {false, false, false, false}},
    };
    int changes = 0;
    QObject::connect(&core, &DesignerCore::controlsChanged, [&] { ++changes; });
    for (int n = 0; n <= 3; ++n) {
        SCOPED_TRACE(n);
        if (n > 0)
            core.select(addElement<TQRDesignLabel>(band, QRect(10 * n, 10, 5, 5)));
        for (const Row& r : rows)
            EXPECT_EQ(core.isEnabled(r.command), r.enabledAt[size_t(n)]) << int(r.command);
    }
    EXPECT_GE(changes, 3);
    core.setCanPaste(true);
    EXPECT_TRUE(core.isEnabled(C::Paste));
}

TEST_F(CommandTest, DeleteBandsWithConfirmationsAndBlockDelete)
{
    TQRDesignBand* kept = addBand(TQRBandType::rbTitle, 50);
    kept->d.blockDelete = true;
    TQRDesignBand* other = addBand(TQRBandType::rbDetail, 50);
    addElement<TQRDesignLabel>(other, QRect(1, 1, 10, 10));
    auto* child = new TQRDesignChildBand(&doc.workspace().window);
    child->setName(QStringLiteral("ChildOfOther"));
    child->setParentControl(&report());
    child->setParentBand(other);
    const QString keptName = kept->name(), otherName = other->name(), labelName = QStringLiteral("QRDesignLabel1");

    // A single band with BlockDelete: nothing asked, nothing deleted.
    core.select(kept);
    core.deleteSelection();
    EXPECT_TRUE(boxes.shown.isEmpty());
    EXPECT_TRUE(doc.findComponent(keptName));

    // A single band: asked, Cancel keeps it.
    core.clearSelection();
    core.select(other);
    boxes.answers = {MessageBoxes::Answer::Cancel};
    core.deleteSelection();
    EXPECT_EQ(boxes.shown, QStringList{QStringLiteral("confirm: Delete selected band and all elements on it?")});
    EXPECT_TRUE(doc.findComponent(otherName));
    EXPECT_FALSE(doc.isModified());

    // Both: asked once; the unblocked band goes with its element and its child's link.
    boxes.shown.clear();
    core.select(kept);
    ASSERT_EQ(doc.selectionCount(), 2);
    core.deleteSelection();
    EXPECT_EQ(boxes.shown, QStringList{QStringLiteral("confirm: Delete all selected bands?")});
    EXPECT_TRUE(doc.findComponent(keptName));
    EXPECT_FALSE(doc.findComponent(otherName));
    EXPECT_FALSE(doc.findComponent(labelName));
    EXPECT_EQ(child->parentBand(), nullptr);
    EXPECT_EQ(doc.selectionCount(), 0);
    EXPECT_TRUE(doc.isModified());
}

TEST_F(CommandTest, DeleteAsksTheShellPerElement)
{
    TQRDesignBand* band = addBand(TQRBandType::rbDetail, 50);
    auto* a = addElement<TQRDesignLabel>(band, QRect(1, 1, 10, 10));
    auto* b = addElement<TQRDesignLabel>(band, QRect(20, 1, 10, 10));
    auto* locked = addElement<TQRDesignLabel>(band, QRect(40, 1, 10, 10));
    locked->d.blockDelete = true;
    core.deleteElementHandler = [&](Component* c) { return c != b; };
    core.select(a);
    core.select(b);
    core.select(locked);
    core.deleteSelection();
    EXPECT_EQ(band->childControls(), (std::vector<Component*>{b, locked}));
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(CommandTest, FontStyleSkipsBlockEdit)
{
    TQRDesignBand* band = addBand(TQRBandType::rbDetail, 50);
    auto* a = addElement<TQRDesignLabel>(band, QRect(1, 1, 10, 10));
    auto* b = addElement<TQRDesignLabel>(band, QRect(20, 1, 10, 10));
    core.select(a);
    core.select(b);
    core.setFontStyle(+1, 0, 0);
    EXPECT_TRUE(a->font().hasStyle(fsBold));
    EXPECT_TRUE(b->font().hasStyle(fsBold));

    b->d.blockEdit = true;
    core.setFontStyle(-1, +1, 0);
    EXPECT_FALSE(a->font().hasStyle(fsBold));
    EXPECT_TRUE(a->font().hasStyle(fsUnderline));
    EXPECT_TRUE(b->font().hasStyle(fsBold));
    EXPECT_FALSE(b->font().hasStyle(fsUnderline));

    core.setFontSize(QStringLiteral("12"));
    core.setFontSize(QStringLiteral("12.5"));
    core.setFontSize(QString());
    EXPECT_EQ(a->font().size(), 12);
    core.setFontName(QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(a->font().name(), QStringLiteral("DejaVu Sans"));
    EXPECT_NE(b->font().name(), QStringLiteral("DejaVu Sans"));

    // Alignment ignores BlockEdit.
    core.setTextAlignment(2);
    EXPECT_EQ(a->alignment(), TAlignment::taCenter);
    EXPECT_EQ(b->alignment(), TAlignment::taCenter);

    core.clearSelection();
    core.setFontColor(0x0000FF);
    EXPECT_EQ(report().font().color(), 0x0000FF);   // nothing selected: the report's font
}

TEST_F(CommandTest, FontControlsFollowTheSelection)
{
    TQRDesignBand* band = addBand(TQRBandType::rbDetail, 50);
    auto* a = addElement<TQRDesignLabel>(band, QRect(1, 1, 10, 10));
    auto* b = addElement<TQRDesignLabel>(band, QRect(20, 1, 10, 10));
    a->font().setName(QStringLiteral("Arial"));
    a->font().setSize(10);
    a->font().setStyle(SetBits{fsBold | fsItalic});
    b->font().setName(QStringLiteral("Arial"));
    b->font().setSize(12);
    b->font().setStyle(SetBits{fsBold});
    core.select(a);
    EXPECT_EQ(core.fontControls().sizeText, QStringLiteral("10"));
    EXPECT_TRUE(core.fontControls().italic);
    core.select(b);
    const FontControls both = core.fontControls();
    EXPECT_EQ(both.name, QStringLiteral("Arial"));
    EXPECT_TRUE(both.sizeText.isEmpty());
    EXPECT_TRUE(both.bold);
    EXPECT_FALSE(both.italic);
}

TEST_F(CommandTest, BringToFrontAndSendToBack)
{
    TQRDesignBand* band = addBand(TQRBandType::rbDetail, 50);
    auto* a = addElement<TQRDesignLabel>(band, QRect(1, 1, 10, 10));
    auto* b = addElement<TQRDesignLabel>(band, QRect(1, 1, 10, 10));
    auto* c = addElement<TQRDesignLabel>(band, QRect(1, 1, 10, 10));
    EXPECT_EQ(core.hitTest(at(band, QPoint(3, 3))), c);
    core.select(a);
    core.bringSelectionToFront();
    EXPECT_EQ(band->childControls(), (std::vector<Component*>{b, c, a}));
    EXPECT_EQ(core.hitTest(at(band, QPoint(3, 3))), a);
    core.sendSelectionToBack();
    EXPECT_EQ(band->childControls(), (std::vector<Component*>{a, b, c}));
    EXPECT_TRUE(doc.isModified());
}

TEST_F(CommandTest, InfoDescribesTheOneSelectedElement)
{
    attachLogTable();
    TQRDesignBand* band = addBand(TQRBandType::rbDetail, 100);
    auto* label = addElement<TQRDesignLabel>(band, QRect(10, 20, 60, 20));
    auto* shape = addElement<TQRDesignShape>(band, QRect(1, 2, 60, 20));
    shape->shape = TQRShapeType::qrsCircle;
    auto* sys = addElement<TQRDesignSysdata>(band, QRect(3, 4, 60, 20));
    sys->setData(TQRSysDataType::qrsPageNumber);
    auto* expr = addElement<TQRDesignExpr>(band, QRect(5, 6, 60, 20));
    expr->setExpression(QStringLiteral("1+2"));
    auto* field = addElement<TQRDesignDBText>(band, QRect(7, 8, 60, 20));
    field->dataSet = doc.workspace().table;
    field->setDataField(QStringLiteral("Call"));
    auto* image = addElement<TQRDesignImage>(band, QRect(9, 10, 60, 20));
    image->filename = QStringLiteral("/tmp/x.png");
    auto* memo = addElement<TQRDesignMemo>(band, QRect(11, 12, 60, 20));

    const std::pair<Component*, QString> cases[] = {
        {label, QStringLiteral("Label QRDesignLabel1  [Position: 10/20]")},
        {shape, QStringLiteral("Shape QRDesignShape1 (Circle)  [Position: 1/2]")},
        {sys, QStringLiteral("Systemdata QRDesignSysdata1 (Data:Page Number)  [Position: 3/4]")},
        {expr, QStringLiteral("Expression QRDesignExpr1 : 1+2  [Position: 5/6]")},
        {field, QStringLiteral("Datafield QRDesignDBText1 (Field:Call, Database:Tbl)  [Position: 7/8]")},
        {image, QStringLiteral("Image QRDesignImage1 (Filename:/tmp/x.png)  [Position: 9/10]")},
        {memo, QStringLiteral("Memo QRDesignMemo1  [Position: 11/12]")},
        {band, QStringLiteral("Band ") + band->name() + QStringLiteral(" (Bandtype:Detail)")},
    };
    for (const auto& [c, expected] : cases) {
        core.selectFromShell(c, true);
        EXPECT_EQ(core.info(), expected);
    }
    core.selectFromShell(label, true);
    core.selectFromShell(shape, false);   // two: no description
    EXPECT_TRUE(core.info().isEmpty());
    core.showInfoHandler = [](Component* c, QString& text) { text = c ? QStringLiteral("one") : QStringLiteral("none"); };
    core.selectFromShell(nullptr, true);
    EXPECT_EQ(core.info(), QStringLiteral("none"));
}

TEST_F(CommandTest, RuntimeMessageUses)
{
    core.showError(QStringLiteral("write error"), QStringLiteral("/x/a.QR2"));
    core.showError(QStringLiteral("No such key"));
    boxes.answers = {MessageBoxes::Answer::Cancel};
    EXPECT_FALSE(core.confirm(QStringLiteral("No such key")));
    EXPECT_EQ(boxes.shown, (QStringList{QStringLiteral("error: Error writing /x/a.QR2!"),
                                        QStringLiteral("error: Unknown Error [No such key]"),
                                        QStringLiteral("confirm: [No such key]")}));
    EXPECT_EQ(core.message(QStringLiteral("PopupMenuScripts"), QStringLiteral("Scripts")), QStringLiteral("Scripts"));
    EXPECT_EQ(core.message(QStringLiteral("popupmenuproperties"), QString()), QStringLiteral("Edit"));
}

TEST_F(CommandTest, RightClickOnTheBareReportEditsTheReport)
{
    Component* edited = nullptr;
    core.editPropertiesHandler = [&](Component* c) {
        edited = c;
        return false;
    };
    core.mouseDown(Qt::RightButton, {}, nullptr, QPoint(5, 5));
    EXPECT_EQ(edited, &report());

    edited = nullptr;
    Component* scripted = nullptr;
    core.options().scriptEditByUser = true;
    core.popupMenuHandler = [](const QStringList& items, QPoint) {
        EXPECT_EQ(items, (QStringList{QStringLiteral("Edit"), QStringLiteral("-"), QStringLiteral("Scripts")}));
        return 2;
    };
    core.editScriptHandler = [&](Component* c) { scripted = c; };
    core.mouseDown(Qt::RightButton, {}, nullptr, QPoint(5, 5));
    EXPECT_EQ(edited, nullptr);
    EXPECT_EQ(scripted, &report());
}

} // namespace
} // namespace cm::test
