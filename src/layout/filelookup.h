#pragma once
// Finding a file that the user names on the command line: a bare name is
// looked for in a list of folders, a name with a folder part is taken as it
// stands (relative to the current folder). Whoever reports a miss can name
// every place looked at.
#include <QString>
#include <QStringList>

namespace cm {

struct FileLookup {
    QString path;        // the file found; empty when none
    QStringList tried;   // every path looked at, in order
};

bool hasFolderPart(const QString& name);
FileLookup findFile(const QString& name, const QStringList& folders);

} // namespace cm
