#include "app/apppaths.h"

#include "layout/filelookup.h"
#include "logbook/logbookfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace cm {

namespace {

// The read-only shipped files: next to an installed program
// (bin/../share/cardmint), in the source tree when run from a build folder,
// else where the build was configured to install them.
QString shippedFolder(const QString& installedSub, const QString& sourceSub)
{
    QStringList candidates;
    const QString appDir = QCoreApplication::applicationDirPath();
    if (!appDir.isEmpty())
        candidates << QDir(appDir).filePath(QStringLiteral("../share/cardmint/") + installedSub);
#ifdef CARDMINT_SOURCE_DIR
    candidates << QStringLiteral(CARDMINT_SOURCE_DIR "/") + sourceSub;
#endif
#ifdef CARDMINT_INSTALL_DATADIR
    candidates << QStringLiteral(CARDMINT_INSTALL_DATADIR "/") + installedSub;
#endif
    for (const QString& c : candidates) {
        if (QFileInfo(c).isDir())
            return QDir::cleanPath(c);
    }
    return candidates.isEmpty() ? QString() : QDir::cleanPath(candidates.back());
}

} // namespace

AppPaths AppPaths::standard()
{
    AppPaths p;
    p.configFolder = QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                                     + QStringLiteral("/Cardmint"));
    p.dataFolder = QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                                   + QStringLiteral("/Cardmint"));
    p.layoutFolder = p.dataFolder + QStringLiteral("/Layouts");
    p.logbookFolder = GetLogbookFolder();
    p.recoveryFolder = p.dataFolder + QStringLiteral("/Recovery");
    p.shippedLayouts = shippedFolder(QStringLiteral("layouts"), QStringLiteral("demo"));
    p.manualFolder = shippedFolder(QStringLiteral("help"), QStringLiteral("help"));
    return p;
}

QString AppPaths::findLayout(const QString& name, QStringList* tried) const
{
    QStringList folders = {QDir::currentPath(), layoutFolder, shippedLayouts};
    folders.removeAll(QString());
    FileLookup found = findFile(name, folders);
    if (tried)
        *tried << found.tried;
    return found.path;
}

} // namespace cm
