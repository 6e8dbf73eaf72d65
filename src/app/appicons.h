#pragma once
// Toolbar and menu icons: the desktop's icon theme first (freedesktop icon
// names), else the small SVG set bundled with the program.
#include <QIcon>
#include <QStringList>

namespace cm {

// `bundledName`: a file of the bundled set without ".svg", for example
// "document-new", "align-left-edges", "add-data-field" (bundledIconNames()).
QIcon themedIcon(const QString& freedesktopName, const QString& bundledName);
// The card-and-stamp icon the program shows in its windows and installs.
QIcon applicationIcon();

QString bundledIconPath(const QString& bundledName);   // ":/icons/NAME.svg"
QStringList bundledIconNames();

} // namespace cm
