#pragma once
// The logbook folder: where bare table names such as "Demo.db" are looked
// up. It is the environment variable CARDMINT_LOGBOOK_DIR when set, else
// "Cardmint/Logbooks" in the user's data folder
// (~/.local/share/Cardmint/Logbooks).
#include <QString>

namespace cm {

QString GetLogbookFolder();
// A full path stays as it is; a bare or relative name is taken in the logbook folder.
QString resolveLogbookPath(const QString& tableName);

} // namespace cm
