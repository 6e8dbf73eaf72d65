// What assistive tools see of the surface: bands and elements by name, at
// their rectangles on screen, with the selection.
#include "surfacefixture.h"

#include <QAccessible>
#include <QApplication>
#include <QAccessibleInterface>
#include <gtest/gtest.h>

namespace {

using namespace cm;

struct TwoBands : test::SurfaceFixture {
    TwoBands()
    {
        title = band(TQRBandType::rbTitle, 200);
        detail = band(TQRBandType::rbDetail, 500);
        call = label(detail, QStringLiteral("DL1ABC"), 100, 100);
        qth = label(detail, QStringLiteral("Berlin"), 100, 250);
    }
    TQRCustomBand* title;
    TQRCustomBand* detail;
    TQRDesignLabel* call;
    TQRDesignLabel* qth;
};

TEST(SurfaceAccessible, BandsAndElementsByNameAndRectangle)
{
    TwoBands card;
    DesignSurface& surface = card.surface();
    QAccessibleInterface* root = QAccessible::queryAccessibleInterface(&surface);
    ASSERT_TRUE(root);
    EXPECT_EQ(root->role(), QAccessible::Canvas);
    ASSERT_EQ(root->childCount(), 2);
    QAccessibleInterface* detail = root->child(1);
    ASSERT_TRUE(detail);
    EXPECT_EQ(detail->text(QAccessible::Name), card.detail->name());
    EXPECT_EQ(detail->text(QAccessible::Description), QStringLiteral("Detail"));
    EXPECT_EQ(root->indexOfChild(detail), 1);
    EXPECT_EQ(detail->parent(), root);
    ASSERT_EQ(detail->childCount(), 2);
    QAccessibleInterface* call = detail->child(0);
    ASSERT_TRUE(call);
    EXPECT_EQ(call->text(QAccessible::Name), card.call->name());
    EXPECT_EQ(call->text(QAccessible::Value), QStringLiteral("DL1ABC"));
    EXPECT_EQ(call->parent(), detail);
    const QRect onSurface = surface.componentRect(card.call);
    EXPECT_EQ(call->rect(), QRect(surface.mapToGlobal(onSurface.topLeft()), onSurface.size()));
    EXPECT_EQ(detail->rect().size(), surface.componentRect(card.detail).size());
    const QPoint inside = call->rect().center();
    EXPECT_EQ(root->childAt(inside.x(), inside.y()), detail);
    EXPECT_EQ(detail->childAt(inside.x(), inside.y()), call);

    // After a zoom the rectangles follow.
    card.document.setZoom(150);
    EXPECT_EQ(call->rect().size(), surface.componentRect(card.call).size());
    // Both edges are scaled and rounded, so the width may be off by one.
    EXPECT_NEAR(call->rect().width(), onSurface.width() * 1.5, 1.0);
}

TEST(SurfaceAccessible, SelectionAndFocusAreStates)
{
    TwoBands card;
    DesignSurface& surface = card.surface();
    QApplication::setActiveWindow(&surface);
    surface.setFocus();
    ASSERT_TRUE(surface.hasFocus());
    card.document.select(card.qth, false);
    card.document.select(card.call, true);
    QAccessibleInterface* qth = QAccessible::queryAccessibleInterface(card.qth);
    QAccessibleInterface* call = QAccessible::queryAccessibleInterface(card.call);
    ASSERT_TRUE(qth && call);
    EXPECT_TRUE(qth->state().selected);
    EXPECT_TRUE(call->state().selected);
    EXPECT_TRUE(qth->state().selectable);
    // The first selected element has the focus.
    EXPECT_TRUE(qth->state().focused);
    EXPECT_FALSE(call->state().focused);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&surface)->focusChild(), qth);
    card.document.clearSelection();
    EXPECT_FALSE(qth->state().selected);
    EXPECT_FALSE(qth->state().focused);
}

TEST(SurfaceAccessible, InterfacesOfRemovedElementsGoAway)
{
    TwoBands card;
    DesignSurface& surface = card.surface();
    QAccessibleInterface* root = QAccessible::queryAccessibleInterface(&surface);
    ASSERT_EQ(root->child(1)->childCount(), 2);
    const QAccessible::Id id = QAccessible::uniqueId(QAccessible::queryAccessibleInterface(card.qth));
    card.document.beginChange();
    destroyComponent(card.qth);
    card.document.endChange();
    EXPECT_EQ(QAccessible::accessibleInterface(id), nullptr);
    EXPECT_EQ(root->child(1)->childCount(), 1);
}

} // namespace
