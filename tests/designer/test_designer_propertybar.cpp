// The property toolbar's content for each kind of element, and its write-back.
#include "designerfixture.h"

#include "designer/propertybar.h"
#include "designer/undohistory.h"

namespace {

using namespace cm;
using Box = PropertyBarState::Box;

class PropertyBarTest : public test::DesignerTest {
protected:
    PropertyBarTest()
    {
        attachLogTable();
        band = addBand(TQRBandType::rbDetail, 200);
        label = addElement<TQRDesignLabel>(band, QRect(10, 10, 60, 20));
        label->setCaption(QStringLiteral("Tnx QSO"));
        field = addElement<TQRDesignDBText>(band, QRect(10, 40, 60, 20));
        field->dataSet = doc.workspace().table;
        field->setDataField(QStringLiteral("Band"));
        shape = addElement<TQRDesignShape>(band, QRect(10, 70, 60, 20));
        shape->shape = TQRShapeType::qrsTopAndBottom;
        image = addElement<TQRDesignImage>(band, QRect(100, 10, 60, 60));
        memo = addElement<TQRDesignMemo>(band, QRect(100, 100, 60, 60));
        // The window's table has "Label", "Image" and "Shape" but no "Text" or "Data Field".
        doc.loader().runtimeMessages.setLines(
            {QStringLiteral("Label=Band"), QStringLiteral("Image=Picture"), QStringLiteral("Shape=Shape")});
    }

    PropertyBarState stateFor(std::vector<Component*> selection)
    {
        doc.setSelection(selection);
        return propertyBarState(core);
    }

    TQRDesignBand* band = nullptr;
    TQRDesignLabel* label = nullptr;
    TQRDesignDBText* field = nullptr;
    TQRDesignShape* shape = nullptr;
    TQRDesignImage* image = nullptr;
    TQRDesignMemo* memo = nullptr;
};

TEST_F(PropertyBarTest, WhatItShowsForEachSelection)
{
    const struct {
        const char* what;
        std::vector<Component*> selection;
        QString typeLabel;
        Box box;
        int choices, current;
    } rows[] = {
        {"nothing", {}, QStringLiteral("Cardmint"), Box::None, 0, -1},
        {"two", {label, shape}, QString(), Box::None, 0, -1},
        {"text", {label}, QString(), Box::Text, 0, -1},
        {"band", {band}, QStringLiteral("Band"), Box::Choice, 8, 1},
        {"data field", {field}, QString(), Box::Choice, 2, 1},
        {"shape", {shape}, QStringLiteral("Shape"), Box::Choice, 6, 4},
        {"image", {image}, QStringLiteral("Picture"), Box::None, 0, -1},
        {"memo", {memo}, QString(), Box::None, 0, -1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const PropertyBarState s = stateFor(row.selection);
        EXPECT_EQ(s.typeLabel, row.typeLabel);
        EXPECT_EQ(s.box, row.box);
        EXPECT_EQ(s.choices.size(), row.choices);
        EXPECT_EQ(s.current, row.current);
    }
    EXPECT_EQ(stateFor({label}).text, QStringLiteral("Tnx QSO"));
    EXPECT_EQ(stateFor({shape}).choices.at(4), QStringLiteral("top/bottom lines"));
    // A protected text shows its text, disabled.
    label->d.blockEdit = true;
    const PropertyBarState locked = stateFor({label});
    EXPECT_EQ(locked.text, QStringLiteral("Tnx QSO"));
    EXPECT_FALSE(locked.enabled);
}

TEST_F(PropertyBarTest, TypingIsOneUndoStepThatMarksTheLayout)
{
    doc.setSelection({label});
    doc.setModified(false);
    for (const char* text : {"T", "Tn", "Tnx"})
        applyPropertyText(core, QString::fromLatin1(text));
    EXPECT_EQ(label->caption(), QStringLiteral("Tnx"));
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(doc.history().count(), 1);
    core.undo();
    auto* back = dynamic_cast<TQRDesignLabel*>(doc.findComponent(label->name()));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->caption(), QStringLiteral("Tnx QSO"));
}

TEST_F(PropertyBarTest, PicksBindTheFieldSetTheShapeAndTheBandKind)
{
    doc.setSelection({field});
    applyPropertyChoice(core, 0, QStringLiteral("Call"));
    EXPECT_EQ(field->dataField(), QStringLiteral("Call"));
    EXPECT_EQ(doc.selectionNames(), QStringList{field->name()});

    doc.setSelection({shape});
    applyPropertyChoice(core, 0, QString());
    EXPECT_EQ(shape->shape, TQRShapeType::qrsCircle);

    doc.setSelection({band});
    applyPropertyChoice(core, 7, QString());
    EXPECT_EQ(band->bandType(), TQRBandType::rbTitle);
    EXPECT_EQ(doc.history().undoName(), QStringLiteral("band kind"));
}

} // namespace
