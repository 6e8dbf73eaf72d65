// Mouse and wheel input on the design surface and its scroll box.
#include "surfacefixture.h"

#include "designer/widgets/eventscrollbox.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace {

using namespace cm;

TEST(SurfaceInput, WheelStepScrolls38Pixels)
{
    EventScrollBox box;
    auto* content = new QWidget;
    content->resize(300, 3000);
    box.setWidget(content);
    box.resize(200, 200);
    box.show();
    QSignalSpy vertical(&box, &EventScrollBox::scrolledVertically);
    QSignalSpy horizontal(&box, &EventScrollBox::scrolledHorizontally);
    auto wheel = [&](int delta) {
        QWheelEvent event(QPointF(50, 50), box.mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(box.viewport(), &event);
    };
    wheel(-120);
    EXPECT_EQ(box.verticalScrollBar()->value(), 38);
    wheel(-120);
    EXPECT_EQ(box.verticalScrollBar()->value(), 76);
    wheel(120);
    EXPECT_EQ(box.verticalScrollBar()->value(), 38);
    // Half steps of a fine wheel add up to one step.
    wheel(-60);
    EXPECT_EQ(box.verticalScrollBar()->value(), 38);
    wheel(-60);
    EXPECT_EQ(box.verticalScrollBar()->value(), 76);
    EXPECT_EQ(box.horizontalScrollBar()->value(), 0);
    ASSERT_GE(vertical.count(), 1);
    EXPECT_EQ(vertical.last().at(0).toInt(), 76);
    EXPECT_EQ(horizontal.count(), 0);
    box.horizontalScrollBar()->setValue(40);
    ASSERT_EQ(horizontal.count(), 1);
    EXPECT_EQ(horizontal.last().at(0).toInt(), 40);
}

TEST(SurfaceInput, ClickInLabelInsertStateInsertsALabel)
{
    test::SurfaceFixture f;
    TQRCustomBand* detail = f.band(TQRBandType::rbDetail, 500);
    DesignSurface& surface = f.surface();
    f.designer.options().autoEditAfterInsert = false;
    f.designer.setDesignState(DesignState::Label);
    const QRect bandRect = surface.componentRect(detail);
    const QPoint at = bandRect.topLeft() + QPoint(60, 30);
    QTest::mouseClick(&surface, Qt::LeftButton, Qt::NoModifier, at);
    std::vector<TQRDesignLabel*> labels;
    for (Component* c : detail->childControls())
        if (auto* l = dynamic_cast<TQRDesignLabel*>(c))
            labels.push_back(l);
    ASSERT_EQ(labels.size(), 1u);
    EXPECT_EQ(surface.componentRect(labels[0]).topLeft(), at);
    EXPECT_EQ(f.designer.designState(), DesignState::Normal);
    EXPECT_TRUE(f.document.isSelected(labels[0]));
}

TEST(SurfaceInput, DoubleClickEditsTheElementUnderThePoint)
{
    test::SurfaceFixture f;
    TQRCustomBand* detail = f.band(TQRBandType::rbDetail, 500);
    TQRDesignLabel* call = f.label(detail, QStringLiteral("DL1ABC"), 100, 100);
    DesignSurface& surface = f.surface();
    std::vector<Component*> edited;
    f.designer.editPropertiesHandler = [&](Component* c) {
        edited.push_back(c);
        return false;
    };
    QTest::mouseDClick(&surface, Qt::LeftButton, Qt::NoModifier, surface.componentRect(call).center());
    QTest::mouseDClick(&surface, Qt::LeftButton, Qt::NoModifier, surface.componentRect(detail).bottomRight() - QPoint(5, 5));
    ASSERT_EQ(edited.size(), 2u);
    EXPECT_EQ(edited[0], call);
    EXPECT_EQ(edited[1], detail);
}

} // namespace
