#include "appicons.h"

#include <QDir>

// The icons are compiled into the program's static library; nothing there
// refers to them, so the linker keeps them only when they are registered.
static void registerBundledIcons()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(cardmint);
        return true;
    }();
    (void)done;
}

namespace cm {

QString bundledIconPath(const QString& bundledName)
{
    registerBundledIcons();
    return QStringLiteral(":/icons/%1.svg").arg(bundledName);
}

QStringList bundledIconNames()
{
    registerBundledIcons();
    QStringList names = QDir(QStringLiteral(":/icons")).entryList({QStringLiteral("*.svg")}, QDir::Files, QDir::Name);
    for (QString& n : names)
        n.chop(4);
    return names;
}

QIcon themedIcon(const QString& freedesktopName, const QString& bundledName)
{
    if (!freedesktopName.isEmpty() && QIcon::hasThemeIcon(freedesktopName))
        return QIcon::fromTheme(freedesktopName);
    return QIcon(bundledIconPath(bundledName));
}

QIcon applicationIcon()
{
    return themedIcon({}, QStringLiteral("cardmint"));
}

} // namespace cm
