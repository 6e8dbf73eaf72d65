#pragma once
// A right click on one of the window's controls (a toolbar button, a box, a
// tab) is followed by a small menu with "What's this?", which shows the
// control's help text where the click was; the context-menu key opens it
// just beyond the focused control. The design surface keeps its own menu.
#include <QObject>

class QWidget;

namespace cm {

class HelpSystem;

class WhatsThisMenu : public QObject {
    Q_OBJECT
public:
    // Watches every control below `window`.
    WhatsThisMenu(QWidget& window, const HelpSystem& help);

    // The text the menu's item shows for a control: its what's-this text,
    // else the help topic of its context.
    QString textFor(QWidget* control) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& window_;
    const HelpSystem& help_;
};

} // namespace cm
