// Copy, cut and paste through the copy buffer and the system clipboard, and
// undo and redo over named steps.
#include "designerfixture.h"

#include "designer/blockoperations.h"
#include "designer/designclipboard.h"
#include "designer/designobjects.h"
#include "designer/undohistory.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace {

using namespace cm;

class ClipboardTest : public test::DesignerTest {
protected:
    ClipboardTest()
    {
        ClipboardBuffer::instance().clear();
        QGuiApplication::clipboard()->clear();
        band = addBand(TQRBandType::rbDetail, 300);
        front = addElement<TQRDesignLabel>(band, QRect(10, 10, 30, 20));
        back = addElement<TQRDesignLabel>(band, QRect(100, 250, 10, 10));
        band->moveChild(back, 0);   // stacking order: back, front
        setGroupId(front, 7);
        setGroupId(back, 7);
    }

    void selectOnly(std::initializer_list<Component*> components)
    {
        doc.setSelection(std::vector<Component*>(components));
    }

    void putText(const QString& text) { QGuiApplication::clipboard()->setText(text); }

    std::vector<TQRDesignBand*> bands() { return report().owner()->componentsOf<TQRDesignBand>(); }

    TQRDesignBand* band = nullptr;
    TQRDesignLabel *front = nullptr, *back = nullptr;
};

TEST_F(ClipboardTest, CopiedElementsPasteBackToFrontWithFreshNamesAndNoGroup)
{
    front->setCaption(QStringLiteral("front"));
    back->setCaption(QStringLiteral("back"));
    selectOnly({front, back});   // selection order: front first
    core.copySelection();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), ClipboardBuffer::kMarker);
    EXPECT_TRUE(core.isEnabled(DesignCommand::Paste));

    doc.setModified(false);
    core.paste();
    const std::vector<Component*> pasted = doc.selection();
    ASSERT_EQ(pasted.size(), 2u);
    // Stacking order, not selection order; each a new component of its own.
    EXPECT_EQ(static_cast<TQRDesignLabel*>(pasted[0])->caption(), QStringLiteral("back"));
    EXPECT_EQ(static_cast<TQRDesignLabel*>(pasted[1])->caption(), QStringLiteral("front"));
    for (Component* c : pasted) {
        EXPECT_NE(c, front);
        EXPECT_NE(c, back);
        EXPECT_FALSE(c->name().isEmpty());
        EXPECT_NE(c->name(), front->name());
        EXPECT_NE(c->name(), back->name());
        EXPECT_EQ(groupIdOf(c), 0);
        EXPECT_EQ(c->parentControl(), band);
    }
    EXPECT_EQ(band->childControls().size(), 4u);
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(doc.history().undoName(), QStringLiteral("paste"));
}

TEST_F(ClipboardTest, BandPastedWhileAnElementIsSelectedGoesOnTheReport)
{
    selectOnly({band});
    core.copySelection();
    selectOnly({front});
    core.paste();
    ASSERT_EQ(bands().size(), 2u);
    Component* copy = selectedOne();
    ASSERT_TRUE(copy);
    EXPECT_NE(copy, band);
    EXPECT_EQ(copy->parentControl(), &report());
    // The band's elements came along, under fresh names.
    ASSERT_EQ(copy->childControls().size(), 2u);
    for (Component* e : copy->childControls())
        EXPECT_TRUE(e->name() != front->name() && e->name() != back->name()) << e->name().toStdString();
}

TEST_F(ClipboardTest, PasteBelowTheBandMovesTheSelectionToTopFive)
{
    TQRDesignBand* small = addBand(TQRBandType::rbTitle, 50);
    selectOnly({back});   // at y 250 in the tall band
    core.copySelection();
    selectOnly({small});
    core.paste();
    Component* copy = selectedOne();
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->parentControl(), small);
    // The handle's top, which lies just outside the element.
    EXPECT_EQ(core.handleRect().top(), 5);
    EXPECT_EQ(copy->bounds.left(), back->bounds.left());
}

TEST_F(ClipboardTest, TextFromOtherProgramsPastesALabelOrAMemo)
{
    const struct {
        QString text;
        bool memo;
        QStringList lines;
    } rows[] = {
        {QStringLiteral("DL1ABC"), false, {QStringLiteral("DL1ABC")}},
        {QStringLiteral("Tnx QSO\r\n73 de DL1ABC"), true, {QStringLiteral("Tnx QSO"), QStringLiteral("73 de DL1ABC")}},
        {QStringLiteral("Tnx QSO\n73\n"), true, {QStringLiteral("Tnx QSO"), QStringLiteral("73")}},
    };
    const QString bandName = band->name(), frontName = front->name();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text.toStdString());
        // Undo rebuilds the components: find them anew each time.
        Component* target = doc.findComponent(bandName);
        selectOnly({doc.findComponent(frontName)});
        putText(row.text);
        doc.setModified(false);
        core.paste();
        Component* c = selectedOne();
        ASSERT_TRUE(c);
        EXPECT_EQ(c->parentControl(), target);
        if (row.memo) {
            auto* memo = dynamic_cast<TQRDesignMemo*>(c);
            ASSERT_TRUE(memo);
            EXPECT_EQ(memo->lines.lines, row.lines);
            EXPECT_EQ(memo->bounds.size(), QSize(150, 60));
            EXPECT_FALSE(memo->autoSize);
        } else {
            auto* label = dynamic_cast<TQRDesignLabel*>(c);
            ASSERT_TRUE(label);
            EXPECT_EQ(label->caption(), row.lines.front());
            EXPECT_TRUE(label->autoSize);
        }
        // A change like any other: marked, and undone in one step.
        EXPECT_TRUE(doc.isModified());
        const QString name = c->name();
        core.undo();
        EXPECT_EQ(doc.findComponent(name), nullptr);
    }
}

TEST_F(ClipboardTest, PicturesPasteAsPictureElements)
{
    QImage red(16, 8, QImage::Format_RGB32);
    red.fill(Qt::red);
    QByteArray png;
    {
        QBuffer out(&png);
        out.open(QIODevice::WriteOnly);
        red.save(&out, "PNG");
    }
    for (const bool asBytes : {false, true}) {
        SCOPED_TRACE(asBytes);
        auto data = std::make_unique<QMimeData>();
        if (asBytes)
            data->setData(QStringLiteral("image/png"), png);
        else
            data->setImageData(red);
        QGuiApplication::clipboard()->setMimeData(data.release());
        selectOnly({front});
        core.paste();
        auto* picture = dynamic_cast<TQRDesignImage*>(selectedOne());
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->parentControl(), band);
        EXPECT_EQ(picture->picture.image().size(), QSize(16, 8));
        EXPECT_EQ(picture->picture.image().pixel(3, 3), QColor(Qt::red).rgb());
    }
}

TEST_F(ClipboardTest, ComponentsTravelToAnotherWindowOnTheClipboard)
{
    selectOnly({front});
    core.copySelection();
    // Another Cardmint process has an empty buffer but the same clipboard.
    ClipboardBuffer::instance().clear();
    core.paste();
    Component* copy = selectedOne();
    ASSERT_TRUE(copy);
    EXPECT_NE(copy, front);
    EXPECT_EQ(band->childControls().size(), 3u);
}

TEST_F(ClipboardTest, MarkerWithoutComponentsOrADeclinedCopyPastesNothing)
{
    putText(ClipboardBuffer::kMarker);
    doc.setModified(false);
    core.paste();
    EXPECT_EQ(band->childControls().size(), 2u);
    EXPECT_FALSE(doc.isModified());
    EXPECT_TRUE(boxes.shown.empty());

    // OnBeforeCopyToClipboard refusing keeps the clipboard as it was.
    putText(QStringLiteral("keep me"));
    core.beforeCopyHandler = [](const std::vector<Component*>&) { return false; };
    selectOnly({front});
    core.copySelection();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("keep me"));
    EXPECT_TRUE(ClipboardBuffer::instance().isEmpty());
}

TEST_F(ClipboardTest, CutCopiesThenDeletes)
{
    const QString name = front->name();
    selectOnly({front});
    core.cutSelection();
    EXPECT_EQ(doc.findComponent(name), nullptr);
    core.paste();
    ASSERT_TRUE(selectedOne());
    // The name is free again, so the pasted element keeps it.
    EXPECT_EQ(selectedOne()->name(), name);
}

// ------------------------------------------------------------------ undo

TEST_F(ClipboardTest, TwoArrowStepsAndOneUndoRevertOnlyTheSecond)
{
    selectOnly({front});
    ASSERT_TRUE(core.keyboardStep(Qt::Key_Right, {}));
    ASSERT_TRUE(core.keyboardStep(Qt::Key_Right, Qt::ShiftModifier));
    EXPECT_EQ(doc.history().undoName(), QStringLiteral("resize"));
    core.undo();
    Component* c = doc.findComponent(front->name());
    ASSERT_TRUE(c);
    EXPECT_EQ(c->bounds, QRect(11, 10, 30, 20));
    EXPECT_EQ(doc.history().undoName(), QStringLiteral("move"));
    EXPECT_EQ(doc.history().redoName(), QStringLiteral("resize"));
    EXPECT_TRUE(core.isEnabled(DesignCommand::Redo));
    const QString name = c->name();
    core.redo();
    EXPECT_EQ(doc.findComponent(name)->bounds, QRect(11, 10, 31, 20));
    // The selection survives both.
    EXPECT_EQ(doc.selectionNames(), QStringList{name});
}

TEST_F(ClipboardTest, UndoAndRedoAcrossAPasteAndADelete)
{
    selectOnly({front});
    core.copySelection();
    core.paste();
    const QString copyName = selectedOne()->name();
    const QString frontName = front->name();
    selectOnly({front});
    core.deleteSelection();
    ASSERT_EQ(doc.findComponent(frontName), nullptr);

    core.undo();   // the delete
    EXPECT_TRUE(doc.findComponent(frontName));
    EXPECT_TRUE(doc.findComponent(copyName));
    core.undo();   // the paste
    EXPECT_TRUE(doc.findComponent(frontName));
    EXPECT_EQ(doc.findComponent(copyName), nullptr);
    EXPECT_FALSE(core.isEnabled(DesignCommand::Undo));

    core.redo();   // the paste: what was pasted is selected again
    EXPECT_EQ(doc.selectionNames(), QStringList{copyName});
    core.redo();
    EXPECT_TRUE(doc.findComponent(copyName));
    EXPECT_EQ(doc.findComponent(frontName), nullptr);
    EXPECT_FALSE(core.isEnabled(DesignCommand::Redo));

    // A new change after an undo drops what could be redone.
    core.undo();
    selectOnly({doc.findComponent(copyName)});
    core.keyboardStep(Qt::Key_Down, {});
    EXPECT_FALSE(doc.canRedo());
}

TEST_F(ClipboardTest, ManyStepsOfTheShippedCardUndoInLittleMemory)
{
    ASSERT_TRUE(doc.load(QStringLiteral(CARDMINT_SOURCE_DIR "/demo/Demo1.qr2")));
    const QByteArray original = doc.layoutBytes();
    Component* element = nullptr;
    for (Component* c : doc.workspace().window.components()) {
        if (dynamic_cast<TQRDesignLabel*>(c) && !blockFlagsOf(*c).blockMove) {
            element = c;
            break;
        }
    }
    ASSERT_TRUE(element);
    const QString name = element->name();
    constexpr int kSteps = 150;
    for (int i = 0; i < kSteps; ++i) {
        selectOnly({doc.findComponent(name)});
        ASSERT_TRUE(core.keyboardStep(i % 2 ? Qt::Key_Left : Qt::Key_Down, {})) << i;
    }
    EXPECT_EQ(doc.history().count(), kSteps);
    EXPECT_LT(doc.history().memoryBytes(), 20 * 1024 * 1024);
    for (int i = 0; i < kSteps; ++i)
        ASSERT_TRUE(doc.undo()) << i;
    EXPECT_FALSE(doc.canUndo());
    EXPECT_EQ(doc.layoutBytes(), original);

    // Loading empties the history.
    ASSERT_TRUE(doc.load(QStringLiteral(CARDMINT_SOURCE_DIR "/demo/Template.qr2")));
    EXPECT_FALSE(doc.canUndo());
    EXPECT_FALSE(doc.canRedo());
}

TEST_F(ClipboardTest, AChangeThatChangesNothingTakesNoStep)
{
    doc.setModified(false);
    selectOnly({front});
    EXPECT_FALSE(core.setHandleRect(core.handleRect()));
    doc.beginChange(QStringLiteral("nothing"));
    doc.endChange();
    EXPECT_FALSE(doc.canUndo());
    EXPECT_FALSE(doc.isModified());
}

TEST(UndoHistoryTest, LimitDropsTheOldestAndSharesStates)
{
    UndoHistory h;
    h.setLimit(3);
    QByteArray state(1000, 'a');
    for (int i = 0; i < 5; ++i) {
        QByteArray next = state;
        next[0] = char('b' + i);
        h.record(QString::number(i), {state, {}}, {next, {}});
        state = next;
    }
    EXPECT_EQ(h.count(), 3);
    EXPECT_EQ(h.undoName(), QStringLiteral("4"));
    // Three steps over four states, each kept once.
    EXPECT_LT(h.memoryBytes(), 4 * 1000 + 200);
    ASSERT_TRUE(h.stepBack());
    ASSERT_TRUE(h.stepBack());
    ASSERT_TRUE(h.stepBack());
    EXPECT_EQ(h.stepBack(), nullptr);
    EXPECT_EQ(h.redoName(), QStringLiteral("2"));
}

} // namespace
