#pragma once
// SQLite's own error texts ("database disk image is malformed Unable to
// execute statement") said in the program's words, with the file named.
#include <QSqlError>
#include <QString>

namespace cm {

QString describeSqliteError(const QString& path, const QSqlError& error);

} // namespace cm
