#include "app/builder/builderwidgets.h"

#include <QPushButton>

namespace cm {

void nameControl(QWidget* widget, const QString& caption)
{
    QString name = caption;
    name.remove(QLatin1Char('&'));
    widget->setAccessibleName(name.trimmed());
}

QPushButton* captionButton(const QString& caption, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setAutoDefault(false);
    nameControl(button, caption);
    return button;
}

} // namespace cm
