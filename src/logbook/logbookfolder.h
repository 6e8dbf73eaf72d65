#pragma once
// The logbook folder: where bare table names such as "Demo.db" are looked
// up. It is the environment variable CARDMINT_LOGBOOK_DIR when set, else
// "Cardmint/Logbooks" in the user's data folder
// (~/.local/share/Cardmint/Logbooks).
#include "layout/filelookup.h"

namespace cm {

QString GetLogbookFolder();
// A full path stays as it is; a bare or relative name is taken in the logbook folder.
QString resolveLogbookPath(const QString& tableName);

// For names given on the command line: a bare name ("Demo.db") is looked
// for in the logbook folder, then in the current folder; a name with a
// folder part is taken as it stands, relative to the current folder.
FileLookup findLogbook(const QString& name);

} // namespace cm
