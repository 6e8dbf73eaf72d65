#include "app/whatsthismenu.h"

#include "app/helpsystem.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTabBar>
#include <QToolButton>
#include <QWhatsThis>

namespace cm {

namespace {

// The controls that get the menu; others (text fields, the design surface)
// keep their own context menus.
QWidget* controlAt(QObject* watched)
{
    for (auto* w = qobject_cast<QWidget*>(watched); w; w = w->parentWidget()) {
        if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w) || qobject_cast<QTabBar*>(w))
            return w;
        if (w->isWindow())
            break;
    }
    return nullptr;
}

} // namespace

WhatsThisMenu::WhatsThisMenu(QWidget& window, const HelpSystem& help)
    : QObject(&window), window_(window), help_(help)
{
    qApp->installEventFilter(this);
}

QString WhatsThisMenu::textFor(QWidget* control) const
{
    if (auto* button = qobject_cast<QToolButton*>(control); button && button->defaultAction()) {
        if (!button->defaultAction()->whatsThis().isEmpty())
            return button->defaultAction()->whatsThis();
    }
    if (!control->whatsThis().isEmpty())
        return control->whatsThis();
    return help_.whatsThisText(HelpSystem::contextOf(control));
}

bool WhatsThisMenu::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::ContextMenu)
        return false;
    QWidget* control = controlAt(watched);
    if (!control || control->window() != &window_)
        return false;
    auto* menuEvent = static_cast<QContextMenuEvent*>(event);
    QPoint at = menuEvent->globalPos();
    if (menuEvent->reason() == QContextMenuEvent::Keyboard)
        at = control->mapToGlobal(control->rect().bottomRight() + QPoint(10, 10));
    const QString text = textFor(control);
    QMenu menu;
    QAction* item = menu.addAction(tr("What's this?"));
    item->setEnabled(!text.isEmpty());
    if (menu.exec(at) == item)
        QWhatsThis::showText(at, text, control);
    return true;
}

} // namespace cm
