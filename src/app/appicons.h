#pragma once
// Toolbar and menu icons: the desktop's icon theme first (freedesktop icon
// names), else the small SVG set bundled with the program.
#include <QIcon>

namespace cm {

QIcon themedIcon(const QString& freedesktopName, const QString& bundledName);
QIcon applicationIcon();

} // namespace cm
