// Inserting bands and elements by clicks on the report.
#include "designerfixture.h"

namespace cm::test {
namespace {

using InsertTest = DesignerTest;

struct ElementCase {
    DesignState state;
    const char* className;
    QSize size;   // on a band 100 pixels high
};

TEST_F(InsertTest, EveryElementKindOnABandOnTheReportAndOutside)
{
    attachLogTable();
    const ElementCase cases[] = {
        {DesignState::Label, "TQRDesignLabel", {60, 20}},
        {DesignState::DataField, "TQRDesignDBText", {60, 20}},
        {DesignState::Expression, "TQRDesignExpr", {60, 20}},
        {DesignState::SystemField, "TQRDesignSysdata", {60, 20}},
        {DesignState::Shape, "TQRDesignShape", {50, 50}},
        {DesignState::Picture, "TQRDesignImage", {60, 60}},
        {DesignState::DBPicture, "TQRDesignDBImage", {60, 60}},
        {DesignState::Memo, "TQRDesignMemo", {150, 40}},
        {DesignState::RichText, "TQRDesignRichtext", {50, 50}},
        {DesignState::DBRichText, "TQRDesignDBRichtext", {50, 50}},
    };
    TQRDesignBand* band = addBand(TQRBandType::rbDetail, 100);
    const QPoint belowBands = at(band, QPoint(30, 200));
    const QPoint outside(report().bounds.width() + 5, 10);
    for (const ElementCase& c : cases) {
        SCOPED_TRACE(c.className);
        core.setDesignState(c.state);
        click(at(band, QPoint(15, 25)));
        Component* onBand = selectedOne();
        ASSERT_NE(onBand, nullptr);
        EXPECT_STREQ(onBand->classInfo().name, c.className);
        EXPECT_EQ(onBand->parentControl(), band);
        EXPECT_EQ(onBand->bounds, QRect(QPoint(15, 25), c.size));
        EXPECT_EQ(core.designState(), DesignState::Normal);

        core.setDesignState(c.state);
        click(belowBands);
        Component* onReport = selectedOne();
        ASSERT_NE(onReport, nullptr);
        EXPECT_EQ(onReport->parentControl(), &report());
        EXPECT_EQ(onReport->bounds.topLeft(), belowBands);

        const size_t before = doc.workspace().window.components().size();
        core.setDesignState(c.state);
        click(outside);
        EXPECT_EQ(doc.workspace().window.components().size(), before);
    }
    EXPECT_EQ(edits, 20);   // each insert opened the property dialog
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(InsertTest, SetUpOfNewElements)
{
    attachLogTable();
    TQRDesignBand* band = addBand(TQRBandType::rbDetail, 30);
    auto insert = [&](DesignState s) {
        core.setDesignState(s);
        click(at(band, QPoint(5, 5)));
        return selectedOne();
    };
    auto* label = dynamic_cast<TQRDesignLabel*>(insert(DesignState::Label));
    ASSERT_TRUE(label);
    EXPECT_EQ(label->caption(), QStringLiteral("ReportLabel"));
    EXPECT_TRUE(label->autoSize);
    auto* field = dynamic_cast<TQRDesignDBText*>(insert(DesignState::DataField));
    ASSERT_TRUE(field);
    EXPECT_EQ(field->dataSet, doc.workspace().table);
    EXPECT_EQ(field->caption(), QStringLiteral("ReportDBText"));
    auto* memo = dynamic_cast<TQRDesignMemo*>(insert(DesignState::Memo));
    ASSERT_TRUE(memo);
    EXPECT_FALSE(memo->autoSize);
    EXPECT_EQ(memo->color(), 0xFFFFFF);
    EXPECT_EQ(memo->bounds.size(), QSize(150, 30));   // no higher than the band
    auto* shape = insert(DesignState::Shape);
    EXPECT_EQ(shape->bounds.size(), QSize(50, 30));
    auto* picture = dynamic_cast<TQRDesignImage*>(insert(DesignState::Picture));
    ASSERT_TRUE(picture);
    EXPECT_TRUE(picture->filename.endsWith(QStringLiteral("*.BMP")));
    EXPECT_FALSE(picture->stretch);
}

TEST_F(InsertTest, KeepInsertModeStaysInTheState)
{
    TQRDesignBand* band = addBand(TQRBandType::rbDetail, 100);
    core.keepInsertMode = true;
    core.setDesignState(DesignState::Label);
    for (int i = 0; i < 3; ++i)
        click(at(band, QPoint(10 + 70 * i, 10)));
    EXPECT_EQ(band->childControls().size(), 3u);
    EXPECT_EQ(core.designState(), DesignState::Label);

    core.setDesignState(DesignState::Normal);
    core.keepInsertMode = false;
    core.setDesignState(DesignState::Label);
    click(at(band, QPoint(10, 50)));
    click(at(band, QPoint(12, 52)));   // on the new label: selects it
    EXPECT_EQ(band->childControls().size(), 4u);
    EXPECT_EQ(selectedOne(), band->childControls().back());
}

TEST_F(InsertTest, BandsAreNamedWithTheSmallestFreeNumber)
{
    auto insertBand = [&](DesignState s) {
        core.setDesignState(s);
        click(QPoint(100, 100));
        EXPECT_EQ(core.designState(), DesignState::Normal);
        return selectedOne();
    };
    Component* first = insertBand(DesignState::Band);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->name(), QStringLiteral("BAND1"));
    EXPECT_TRUE(dynamic_cast<TQRDesignBand*>(first));
    Component* second = insertBand(DesignState::Group);
    EXPECT_EQ(second->name(), QStringLiteral("BAND2"));
    EXPECT_TRUE(dynamic_cast<TQRDesignGroup*>(second));
    core.select(first);
    core.deleteSelection();
    ASSERT_EQ(doc.findComponent(QStringLiteral("BAND1")), nullptr);
    Component* again = insertBand(DesignState::Child);
    EXPECT_EQ(again->name(), QStringLiteral("BAND1"));
    EXPECT_TRUE(dynamic_cast<TQRDesignChildBand*>(again));
    EXPECT_TRUE(dynamic_cast<TQRDesignSubdetail*>(insertBand(DesignState::SubDetail)));
}

TEST_F(InsertTest, DataElementWithoutDataSetShowsTheMessageAndInsertsNothing)
{
    TQRDesignBand* band = addBand(TQRBandType::rbDetail, 100);   // the log table has no records source
    for (DesignState s : {DesignState::DataField, DesignState::DBPicture, DesignState::DBRichText}) {
        boxes.shown.clear();
        core.setDesignState(s);
        click(at(band, QPoint(10, 10)));
        EXPECT_EQ(boxes.shown, QStringList{QStringLiteral("error: No tables available!")});
        EXPECT_TRUE(band->childControls().empty());
        EXPECT_EQ(core.designState(), DesignState::Normal);
        EXPECT_FALSE(doc.isModified());
    }
}

TEST_F(InsertTest, DataSetFilterAndHiddenFields)
{
    attachLogTable();
    core.options().availableDatasetNames = {QStringLiteral("  "), QStringLiteral("Other")};
    EXPECT_EQ(core.dataSetForNewElement(), nullptr);
    core.options().availableDatasetNames = {QStringLiteral("dataFrm.TBL")};
    EXPECT_EQ(core.dataSetForNewElement(), doc.workspace().table);
    core.showDatafieldHandler = [](const FieldDef&) { return false; };
    EXPECT_EQ(core.dataSetForNewElement(), nullptr);
}

TEST_F(InsertTest, CancelledPropertyDialogRemovesTheNewElement)
{
    TQRDesignBand* band = addBand(TQRBandType::rbDetail, 100);
    Component* created = nullptr;
    core.afterComponentCreated = [&](Component* c) { created = c; };
    editAnswer = false;
    core.setDesignState(DesignState::Label);
    click(at(band, QPoint(10, 10)));
    EXPECT_TRUE(created);
    EXPECT_TRUE(band->childControls().empty());
    EXPECT_EQ(doc.selectionCount(), 0);
    // Nothing changed after all: no undo step, and the layout is not modified.
    EXPECT_FALSE(doc.isModified());
    EXPECT_FALSE(core.isEnabled(DesignCommand::Undo));
}

TEST_F(InsertTest, UndoTakesBackAnInsert)
{
    TQRDesignBand* band = addBand(TQRBandType::rbDetail, 100);
    const QString bandName = band->name();
    core.setDesignState(DesignState::Label);
    click(at(band, QPoint(10, 10)));
    ASSERT_EQ(band->childControls().size(), 1u);
    core.undo();
    auto* restored = doc.findComponent(bandName);
    ASSERT_TRUE(restored);
    EXPECT_TRUE(restored->childControls().empty());
    EXPECT_FALSE(core.isEnabled(DesignCommand::Undo));
}

} // namespace
} // namespace cm::test
