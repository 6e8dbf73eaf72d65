#include "layout/filelookup.h"

#include <QDir>
#include <QFileInfo>

namespace cm {

bool hasFolderPart(const QString& name) { return name.contains(u'/') || QFileInfo(name).isAbsolute(); }

FileLookup findFile(const QString& name, const QStringList& folders)
{
    FileLookup result;
    if (name.isEmpty())
        return result;
    QStringList candidates;
    if (hasFolderPart(name)) {
        candidates << QFileInfo(name).absoluteFilePath();
    } else {
        for (const QString& folder : folders)
            candidates << QDir::cleanPath(QDir(folder).absoluteFilePath(name));
    }
    for (const QString& candidate : candidates) {
        result.tried << candidate;
        if (QFileInfo(candidate).isFile()) {
            result.path = candidate;
            break;
        }
    }
    return result;
}

} // namespace cm
