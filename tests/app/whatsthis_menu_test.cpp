// A right click on a control of the window offers "What's this?".
#include "windowfixture.h"

#include "app/mainactions.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTimer>
#include <QToolBar>

TEST_F(WindowTest, RightClickOnAToolbarButtonOffersWhatsThis)
{
    auto w = startWindow();
    auto* toolbar = w->findChild<QToolBar*>(QStringLiteral("FileToolbar"));
    ASSERT_NE(toolbar, nullptr);
    QWidget* printButton = toolbar->widgetForAction(w->actions().print);
    ASSERT_NE(printButton, nullptr);

    QStringList offered;
    QTimer::singleShot(0, [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            for (QAction* a : menu->actions())
                offered << a->text() + (a->isEnabled() ? QString() : QStringLiteral(" (disabled)"));
            menu->close();
        }
    });
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(3, 3), printButton->mapToGlobal(QPoint(3, 3)));
    QApplication::sendEvent(printButton, &click);
    EXPECT_TRUE(click.isAccepted());
    EXPECT_EQ(offered, QStringList{QStringLiteral("What's this?")});
    EXPECT_FALSE(w->actions().print->whatsThis().isEmpty());
}
