#pragma once
// One entry point for every kind of log source: a Paradox table, a SQLite
// logbook or an ADIF file read directly (read-only), told apart by content.
#include "logbook/logtable.h"

namespace cm {

// An open log table over the file, or nullptr with the reason. A relative
// path is taken from the working folder.
std::unique_ptr<LogTable> openLogSource(const QString& path, QString* error);

} // namespace cm
