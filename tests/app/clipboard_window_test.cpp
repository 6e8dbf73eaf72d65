// The clipboard and undo keys in the window, pressed on the design surface.
#include "windowfixture.h"

#include "app/mainactions.h"
#include "designer/designclipboard.h"
#include "designer/designercore.h"
#include "designer/document.h"
#include "designer/widgets/designsurface.h"
#include "report/design.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

using namespace cm;

namespace {

int labelCount(MainWindow& w)
{
    return int(w.document().workspace().window.componentsOf<TQRDesignLabel>().size());
}

TEST_F(WindowTest, ClipboardAndUndoKeysOnTheSurface)
{
    ClipboardBuffer::instance().clear();
    QGuiApplication::clipboard()->clear();
    auto w = startWindow();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    auto* surface = w->findChild<DesignSurface*>();
    ASSERT_TRUE(surface);
    surface->setFocus();
    MainActions& a = w->actions();

    const auto labels = w->document().workspace().window.componentsOf<TQRDesignLabel>();
    ASSERT_FALSE(labels.empty());
    w->designer().select(labels.front());
    const int before = labelCount(*w);

    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int labelsAfter;
        const char* undoText;
    } steps[] = {
        {Qt::Key_C, Qt::ControlModifier, before, "Undo"},
        {Qt::Key_V, Qt::ControlModifier, before + 1, "Undo paste"},
        {Qt::Key_Insert, Qt::ShiftModifier, before + 2, "Undo paste"},
        {Qt::Key_Z, Qt::ControlModifier, before + 1, "Undo paste"},
        {Qt::Key_Z, Qt::ControlModifier, before, "Undo"},
        {Qt::Key_Y, Qt::ControlModifier, before + 1, "Undo paste"},
        {Qt::Key_Delete, Qt::NoModifier, before, "Undo delete"},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(QKeySequence(s.key | s.modifiers).toString().toStdString());
        QTest::keyClick(surface, s.key, s.modifiers);
        EXPECT_EQ(labelCount(*w), s.labelsAfter);
        EXPECT_EQ(a.undo->text(), QString::fromLatin1(s.undoText));
    }
    EXPECT_FALSE(a.redo->isEnabled());
    QTest::keyClick(surface, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(a.redo->text(), QStringLiteral("Redo delete"));
    EXPECT_TRUE(a.redo->isEnabled());
    EXPECT_TRUE(a.paste->isEnabled());
}

} // namespace
