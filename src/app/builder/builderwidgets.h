#pragma once
// Small helpers the builder dialogs share.
#include <QString>

class QPushButton;
class QWidget;

namespace cm {

// A push button with its caption as accessible name (without the '&').
QPushButton* captionButton(const QString& caption, QWidget* parent);
// Gives a control the accessible name of its caption or hint.
void nameControl(QWidget* widget, const QString& caption);

} // namespace cm
