#include "app/builder/builderwidgets.h"

#include <QPushButton>

namespace cm {

QPushButton* captionButton(const QString& caption, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setAutoDefault(false);
    nameControl(button, caption);
    return button;
}

} // namespace cm
