// Moving and resizing the selection on the design surface with the mouse
// and the arrow keys.
#include "surfacefixture.h"

#include "designer/designobjects.h"

#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using namespace cm;

struct EditFixture : test::SurfaceFixture {
    EditFixture()
    {
        document.setZoom(100);
        detail = band(TQRBandType::rbDetail, 500);
        designer.options().gridSizeX = designer.options().gridSizeY = 4;
        surface();
    }

    TQRDesignLabel* labelAt(const QRect& pixels)
    {
        TQRDesignLabel* l = label(detail, QStringLiteral("L"), 0, 0);
        setPixelRect(*l, pixels);
        return l;
    }

    // A widget point from band pixels.
    QPoint onBand(QPoint p) { return surface().componentRect(detail).topLeft() + p; }

    void moveHeld(QPoint widgetPoint, Qt::KeyboardModifiers modifiers = {})
    {
        QMouseEvent move(QEvent::MouseMove, widgetPoint, surface().mapToGlobal(widgetPoint), Qt::NoButton,
                         Qt::LeftButton, modifiers);
        QCoreApplication::sendEvent(&surface(), &move);
    }

    void drag(QPoint from, QPoint to, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mousePress(&surface(), Qt::LeftButton, modifiers, from);
        moveHeld(from + (to - from) / 2, modifiers);
        moveHeld(to, modifiers);
        QTest::mouseRelease(&surface(), Qt::LeftButton, modifiers, to);
    }

    TQRCustomBand* detail = nullptr;
};

TEST(SurfaceEdit, DragMovesBothSelectedElementsOnTheGrid)
{
    EditFixture f;
    TQRDesignLabel* a = f.labelAt(QRect(10, 10, 40, 20));
    TQRDesignLabel* b = f.labelAt(QRect(60, 30, 40, 20));
    QTest::mouseClick(&f.surface(), Qt::LeftButton, Qt::NoModifier, f.onBand(QPoint(20, 20)));
    QTest::mouseClick(&f.surface(), Qt::LeftButton, Qt::ShiftModifier, f.onBand(QPoint(70, 40)));
    ASSERT_EQ(f.document.selectionCount(), 2);
    EXPECT_EQ(f.designer.handleRect(), QRect(8, 8, 95, 45));

    // A press and release on the spot is a click: no change, no undo step.
    f.drag(f.onBand(QPoint(20, 20)), f.onBand(QPoint(20, 20)));
    EXPECT_FALSE(f.document.isModified());
    EXPECT_FALSE(f.document.canUndo());
    EXPECT_EQ(a->bounds.topLeft(), QPoint(10, 10));

    // The handle's corner snaps to the grid: left 8 + 5 -> 12 - 2, top 8 + 7 -> 14 - 2.
    f.moveHeld(f.onBand(QPoint(20, 20)));   // no button was pressed: nothing happens
    f.drag(f.onBand(QPoint(20, 20)), f.onBand(QPoint(25, 27)));
    EXPECT_TRUE(f.surface().ghostRect().isNull());
    EXPECT_EQ(a->bounds, QRect(12, 16, 40, 20));
    EXPECT_EQ(b->bounds, QRect(62, 36, 40, 20));
    EXPECT_TRUE(f.document.isModified());
    EXPECT_TRUE(f.document.canUndo());

    // Shift held at the release: no grid.
    QTest::mousePress(&f.surface(), Qt::LeftButton, Qt::NoModifier, f.onBand(QPoint(20, 20)));
    f.moveHeld(f.onBand(QPoint(23, 21)), Qt::ShiftModifier);
    QTest::mouseRelease(&f.surface(), Qt::LeftButton, Qt::ShiftModifier, f.onBand(QPoint(23, 21)));
    EXPECT_EQ(a->bounds.topLeft(), QPoint(15, 17));
    EXPECT_EQ(b->bounds.topLeft(), QPoint(65, 37));

    // Shift and a press on a selected element takes it out of the selection.
    QTest::mouseClick(&f.surface(), Qt::LeftButton, Qt::ShiftModifier, f.onBand(QPoint(20, 20)));
    EXPECT_FALSE(f.document.isSelected(a));
    EXPECT_TRUE(f.document.isSelected(b));
}

TEST(SurfaceEdit, EachGrabZoneResizesAsItsEdgesSay)
{
    // One label at (100, 100, 80, 40): the handle is (98, 98, 85, 45); each
    // row grabs one zone and drags it by (8, 8) with grid 4.
    const struct {
        int zone;
        QPoint grab;   // handle coordinates
        Qt::CursorShape cursor;
        QRect result;
    } rows[] = {
        {1, {0, 0}, Qt::SizeFDiagCursor, {108, 108, 72, 32}},  {2, {85, 0}, Qt::SizeBDiagCursor, {100, 108, 88, 32}},
        {3, {0, 45}, Qt::SizeBDiagCursor, {108, 100, 72, 48}}, {4, {85, 45}, Qt::SizeFDiagCursor, {100, 100, 88, 48}},
        {5, {42, 0}, Qt::SizeVerCursor, {100, 108, 80, 32}},   {6, {0, 22}, Qt::SizeHorCursor, {108, 100, 72, 40}},
        {7, {42, 45}, Qt::SizeVerCursor, {100, 100, 80, 48}},  {8, {85, 22}, Qt::SizeHorCursor, {100, 100, 88, 40}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.zone);
        EditFixture f;
        TQRDesignLabel* l = f.labelAt(QRect(100, 100, 80, 40));
        l->autoSize = true;
        QTest::mouseClick(&f.surface(), Qt::LeftButton, Qt::NoModifier, f.onBand(QPoint(120, 120)));
        ASSERT_EQ(f.designer.handleRect(), QRect(98, 98, 85, 45));
        const QPoint grab = f.onBand(QPoint(98, 98) + row.grab);
        EXPECT_EQ(f.surface().grabZoneAt(grab), row.zone);
        QTest::mouseMove(&f.surface(), grab);
        EXPECT_EQ(f.surface().cursor().shape(), row.cursor);
        f.drag(grab, grab + QPoint(8, 8));
        EXPECT_EQ(l->bounds, row.result);
        EXPECT_FALSE(l->autoSize);
    }
    // Away from the squares, and with two selected, there is no zone.
    EditFixture f;
    f.labelAt(QRect(100, 100, 80, 40));
    f.labelAt(QRect(300, 100, 80, 40));
    QTest::mouseClick(&f.surface(), Qt::LeftButton, Qt::NoModifier, f.onBand(QPoint(120, 120)));
    EXPECT_EQ(f.surface().grabZoneAt(f.onBand(QPoint(120, 120))), 0);
    QTest::mouseClick(&f.surface(), Qt::LeftButton, Qt::ShiftModifier, f.onBand(QPoint(320, 120)));
    EXPECT_EQ(f.surface().grabZoneAt(f.onBand(QPoint(98, 98))), 0);
}

TEST(SurfaceEdit, ArrowKeysMoveAndResizeDownToTheMinimumSize)
{
    EditFixture f;
    f.designer.options().minElementWidth = 5;
    f.designer.options().minElementHeight = 5;
    TQRDesignLabel* l = f.labelAt(QRect(20, 20, 10, 8));
    l->autoSize = true;
    QTest::mouseClick(&f.surface(), Qt::LeftButton, Qt::NoModifier, f.onBand(QPoint(24, 24)));
    DesignSurface& s = f.surface();
    QTest::keyClick(&s, Qt::Key_Right);
    EXPECT_EQ(l->bounds, QRect(21, 20, 10, 8));
    EXPECT_TRUE(l->autoSize);
    QTest::keyClick(&s, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(l->bounds, QRect(21, 20, 11, 8));
    EXPECT_FALSE(l->autoSize);
    QTest::keyClick(&s, Qt::Key_Right, Qt::ShiftModifier | Qt::ControlModifier);   // a grid step, not snapping
    QTest::keyClick(&s, Qt::Key_Down);
    EXPECT_EQ(l->bounds, QRect(25, 21, 11, 8));
    for (int i = 0; i < 10; ++i) {
        QTest::keyClick(&s, Qt::Key_Left, Qt::ShiftModifier);
        QTest::keyClick(&s, Qt::Key_Up, Qt::ShiftModifier);
    }
    EXPECT_EQ(l->bounds, QRect(25, 21, 5, 5));

    // Shrinking at the minimum size and a blocked move change nothing: no undo step.
    f.document.setModified(false);
    f.document.clearUndo();
    QTest::keyClick(&s, Qt::Key_Up, Qt::ShiftModifier);
    l->d.blockMove = true;
    QTest::keyClick(&s, Qt::Key_Left);
    EXPECT_EQ(l->bounds.topLeft(), QPoint(25, 21));
    EXPECT_FALSE(f.document.isModified());
    EXPECT_FALSE(f.document.canUndo());
}

TEST(SurfaceEdit, TabWalksThroughTheElementsAndBands)
{
    EditFixture f;
    TQRDesignLabel* first = f.labelAt(QRect(10, 40, 20, 10));
    TQRDesignLabel* second = f.labelAt(QRect(50, 40, 20, 10));
    f.designer.select(first);
    QTest::keyClick(&f.surface(), Qt::Key_Tab);
    EXPECT_TRUE(f.document.isSelected(second));
    QTest::keyClick(&f.surface(), Qt::Key_Tab);   // past the last element: the (only) band
    EXPECT_TRUE(f.document.isSelected(f.detail));
    QTest::keyClick(&f.surface(), Qt::Key_Backtab);   // the band above wraps to itself: its last element
    EXPECT_TRUE(f.document.isSelected(second));
    QTest::keyClick(&f.surface(), Qt::Key_Escape);
    EXPECT_TRUE(f.document.isSelected(f.detail));
    EXPECT_EQ(f.document.selectionCount(), 1);
}

} // namespace
