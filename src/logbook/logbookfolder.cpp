#include "logbook/logbookfolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace cm {

QString GetLogbookFolder()
{
    const QString fromEnv = qEnvironmentVariable("CARDMINT_LOGBOOK_DIR");
    if (!fromEnv.isEmpty())
        return QDir::cleanPath(fromEnv);
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return QDir::cleanPath(data + QStringLiteral("/Cardmint/Logbooks"));
}

QString resolveLogbookPath(const QString& tableName)
{
    if (QFileInfo(tableName).isAbsolute())
        return QDir::cleanPath(tableName);
    return QDir::cleanPath(QDir(GetLogbookFolder()).filePath(tableName));
}

FileLookup findLogbook(const QString& name)
{
    return findFile(name, {GetLogbookFolder(), QDir::currentPath()});
}

} // namespace cm
