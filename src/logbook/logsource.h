#pragma once
// One entry point for every kind of log source: a Paradox table, a SQLite
// logbook or an ADIF file read directly (read-only), told apart by content.
#include "logbook/logtable.h"

namespace cm {

// An open log table over the file, or nullptr with the reason. A bare name
// is looked for in the logbook folder, then in the working folder
// (findLogbook); any other path is taken from the working folder.
std::unique_ptr<LogTable> openLogSource(const QString& name, QString* error);

} // namespace cm
