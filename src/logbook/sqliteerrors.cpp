#include "logbook/sqliteerrors.h"

namespace cm {

QString describeSqliteError(const QString& path, const QSqlError& error)
{
    // The driver gives SQLite's result code; extended codes keep the
    // primary one in the low byte.
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok) & 0xFF;
    const QString& file = path;
    if (ok) {
        switch (code) {
        case 3:    // SQLITE_PERM
        case 23:   // SQLITE_AUTH
            return QStringLiteral("%1: permission denied").arg(file);
        case 5:    // SQLITE_BUSY
        case 6:    // SQLITE_LOCKED
            return QStringLiteral("%1 is locked by another program; try again when it is done").arg(file);
        case 8:    // SQLITE_READONLY
            return QStringLiteral("%1 cannot be written: the file or its folder is read-only").arg(file);
        case 10:   // SQLITE_IOERR
            return QStringLiteral("%1: input/output error while reading or writing the file").arg(file);
        case 11:   // SQLITE_CORRUPT
            return QStringLiteral("%1 is damaged (the SQLite database is malformed)").arg(file);
        case 13:   // SQLITE_FULL
            return QStringLiteral("%1: no space left on device").arg(file);
        case 14:   // SQLITE_CANTOPEN
            return QStringLiteral("%1 cannot be opened (missing, a folder, or no access to its folder)").arg(file);
        case 26:   // SQLITE_NOTADB
            return QStringLiteral("%1 is not a valid SQLite logbook (its header is damaged)").arg(file);
        default:
            break;
        }
    }
    const QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    return QStringLiteral("%1: SQLite error: %2").arg(file, text);
}

} // namespace cm
