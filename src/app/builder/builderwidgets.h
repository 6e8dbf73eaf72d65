#pragma once
// Small helpers the builder dialogs share.
#include "app/dialogs/dialogbase.h"   // nameControl

#include <QString>

class QPushButton;
class QWidget;

namespace cm {

// A push button with its caption as accessible name (without the '&').
QPushButton* captionButton(const QString& caption, QWidget* parent);

} // namespace cm
