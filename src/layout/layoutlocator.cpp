#include "layout/layoutlocator.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace cm {

QString userLayoutFolder()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return QDir::cleanPath(data + QStringLiteral("/Cardmint/Layouts"));
}

QString shippedLayoutFolder(const QString& applicationDir)
{
    if (applicationDir.isEmpty())
        return QString();
    const QDir app(applicationDir);
    const QString installed = QDir::cleanPath(app.filePath(QStringLiteral("../share/cardmint/layouts")));
    if (QFileInfo(installed).isDir())
        return installed;
    // Run from a build tree: the folder that holds CMakeCache.txt is its
    // root, and the layouts lie in demo/ beside it.
    QDir dir(applicationDir);
    for (int depth = 0; depth < 6; ++depth) {
        if (dir.exists(QStringLiteral("CMakeCache.txt"))) {
            const QString demo = QDir::cleanPath(dir.filePath(QStringLiteral("../demo")));
            return QFileInfo(demo).isDir() ? demo : QString();
        }
        if (!dir.cdUp())
            break;
    }
    return QString();
}

FileLookup findLayout(const QString& name, const QString& applicationDir)
{
    QStringList folders = {QDir::currentPath(), userLayoutFolder()};
    const QString shipped = shippedLayoutFolder(applicationDir);
    if (!shipped.isEmpty())
        folders << shipped;
    return findFile(name, folders);
}

} // namespace cm
