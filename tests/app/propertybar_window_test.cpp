// The property toolbar in the window: typing a text element's caption.
#include "windowfixture.h"

#include "designer/designercore.h"
#include "designer/document.h"
#include "report/design.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

using namespace cm;

TEST_F(WindowTest, PropertyToolbarFollowsTheSelectionAndTyping)
{
    auto w = startWindow();
    w->resize(1600, 1000);   // room for every toolbar, none folded away
    auto* edit = w->findChild<QLineEdit*>(QStringLiteral("AllEdit"));
    auto* choice = w->findChild<QComboBox*>(QStringLiteral("AllComboBox"));
    auto* type = w->findChild<QLabel*>(QStringLiteral("TypeLabel"));
    ASSERT_TRUE(edit && choice && type);

    // The toolbar lays its widgets out when events are processed.
    const auto settle = [] { QCoreApplication::processEvents(); };
    w->designer().clearSelection();
    settle();
    EXPECT_EQ(type->text(), QStringLiteral("Cardmint"));
    EXPECT_FALSE(edit->isVisible());
    EXPECT_FALSE(choice->isVisible());

    const auto labels = w->document().workspace().window.componentsOf<TQRDesignLabel>();
    ASSERT_FALSE(labels.empty());
    TQRDesignLabel* label = labels.front();
    const QString name = label->name();
    w->designer().select(label);
    settle();
    ASSERT_TRUE(edit->isVisible());
    EXPECT_EQ(edit->text(), label->caption());

    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("73 de DL1ABC"));
    EXPECT_EQ(label->caption(), QStringLiteral("73 de DL1ABC"));
    EXPECT_TRUE(w->document().isModified());
    // The typing is one step.
    w->designer().undo();
    auto* back = dynamic_cast<TQRDesignLabel*>(w->document().findComponent(name));
    ASSERT_TRUE(back);
    EXPECT_NE(back->caption(), QStringLiteral("73 de DL1ABC"));
    EXPECT_EQ(edit->text(), back->caption());

    const auto shapes = w->document().workspace().window.componentsOf<TQRDesignBand>();
    ASSERT_FALSE(shapes.empty());
    w->designer().clearSelection();
    w->designer().select(shapes.front());
    settle();
    EXPECT_TRUE(choice->isVisible());
    EXPECT_FALSE(edit->isVisible());
    EXPECT_EQ(choice->count(), 8);
    boxes.answers = {MessageBoxes::Answer::No};
}
