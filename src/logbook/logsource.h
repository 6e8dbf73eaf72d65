#pragma once
// One entry point for every kind of log source: a Paradox table, a SQLite
// logbook or an ADIF file read directly (read-only), told apart by content.
#include "logbook/logtable.h"

#include <optional>

namespace cm {

// An open log table over the file, or nullptr with the reason. A bare name
// is looked for in the logbook folder, then in the working folder
// (findLogbook); any other path is taken from the working folder.
std::unique_ptr<LogTable> openLogSource(const QString& name, QString* error);

// Sets the filter (when given) and the order (when given): fields as
// setIndexFieldNames takes them, or "bureau" for orderForBureau.
bool selectLogRecords(LogTable& table, const std::optional<QString>& filter, const std::optional<QString>& order,
                      QString* error);

} // namespace cm
