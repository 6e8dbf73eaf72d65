#pragma once
// The records of an SQL query that a layout carries, run against a SQLite
// logbook. The connection is opened read-only and in query-only mode, so
// running a layout's query can never change the logbook.
#include "report/dataset.h"

#include <QVariant>
#include <memory>
#include <utility>
#include <vector>

namespace cm {

// Runs `sql` with the named parameters bound (name without the colon) and
// returns its records, or nullptr with the reason. `logbook` is a path or a
// bare name found in the logbook folder.
std::unique_ptr<DataSet> openSqlQuery(const QString& dataSetName, const QString& logbook, const QString& sql,
                                      const std::vector<std::pair<QString, QVariant>>& params, QString* error);

} // namespace cm
