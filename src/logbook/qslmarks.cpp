#include "logbook/qslmarks.h"

#include "logbook/logfields.h"
#include "logbook/logtable.h"
#include "logbook/sqlitelogbook.h"

#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>

namespace cm {

namespace {

constexpr const char* kDatesTable = "QslSentDate";

bool fail(QString* error, const QString& what, const QSqlError& e)
{
    if (error)
        *error = what + QStringLiteral(": ") + e.text();
    return false;
}

} // namespace

QString qslMarkRefusal(const LogTable& table)
{
    switch (table.format()) {
    case LogFormat::Sqlite:
        return {};
    case LogFormat::Paradox:
        return QStringLiteral("A Paradox table cannot be marked; import it into a SQLite logbook to keep "
                              "\"Qsl Sent\" marks");
    case LogFormat::Adif:
        return QStringLiteral("An ADIF file cannot be marked; import it into a SQLite logbook "
                              "(cardmint-cli import-adif) to keep \"Qsl Sent\" marks");
    case LogFormat::Unknown:
        break;
    }
    return QStringLiteral("This log cannot be marked; only a SQLite logbook keeps \"Qsl Sent\" marks");
}

bool markQslSent(const QString& path, const std::vector<qint64>& logs, QDate sentOn, QString* error)
{
    SqliteConnection connection;
    if (!connection.open(path, false, error))
        return false;
    QSqlDatabase db = connection.db();
    if (!db.transaction())
        return fail(error, QStringLiteral("Cannot start a transaction in %1").arg(path), db.lastError());
    // Rolls back whatever was not committed, on every early return.
    struct Rollback {
        QSqlDatabase& db;
        bool done = false;
        ~Rollback()
        {
            if (!done)
                db.rollback();
        }
    } rollback{db};

    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (Log INTEGER PRIMARY KEY, SDate TEXT)")
                    .arg(quotedIdentifier(kDatesTable))))
        return fail(error, QStringLiteral("Cannot mark the QSOs in %1").arg(path), q.lastError());
    QSqlQuery mark(db), date(db);
    const bool prepared =
        mark.prepare(QStringLiteral("UPDATE %1 SET %2 = 'Y' WHERE %3 = ?")
                         .arg(quotedIdentifier(kLogbookTable), quotedIdentifier(logFieldDefs()[LogQslS].name),
                              quotedIdentifier(logFieldDefs()[LogLog].name))) &&
        date.prepare(QStringLiteral("INSERT OR REPLACE INTO %1 (Log, SDate) VALUES (?, ?)")
                         .arg(quotedIdentifier(kDatesTable)));
    if (!prepared)
        return fail(error, QStringLiteral("Cannot mark the QSOs in %1").arg(path),
                    mark.lastError().isValid() ? mark.lastError() : date.lastError());
    const QString day = sentOn.toString(Qt::ISODate);
    for (qint64 log : logs) {
        mark.bindValue(0, log);
        if (!mark.exec())
            return fail(error, QStringLiteral("Cannot mark QSO %1 in %2").arg(log).arg(path), mark.lastError());
        if (mark.numRowsAffected() != 1) {
            if (error)
                *error = QStringLiteral("QSO %1 is no longer in %2; nothing was marked").arg(log).arg(path);
            return false;
        }
        date.bindValue(0, log);
        date.bindValue(1, day);
        if (!date.exec())
            return fail(error, QStringLiteral("Cannot mark QSO %1 in %2").arg(log).arg(path), date.lastError());
    }
    if (!db.commit())
        return fail(error, QStringLiteral("Cannot write the marks to %1").arg(path), db.lastError());
    rollback.done = true;
    return true;
}

std::vector<qint64> logNumbersOf(const LogTable& table, const std::vector<int>& records)
{
    std::vector<qint64> logs;
    logs.reserve(records.size());
    for (int record : records) {
        const QVariant log = table.recordValue(record, LogLog);
        if (log.isValid())
            logs.push_back(log.toLongLong());
    }
    // A QSO may be reported more than once (a layout that prints a record on
    // two cards); it is marked once.
    std::sort(logs.begin(), logs.end());
    logs.erase(std::unique(logs.begin(), logs.end()), logs.end());
    return logs;
}

std::map<qint64, QDate> qslSentDates(const QString& path)
{
    std::map<qint64, QDate> dates;
    SqliteConnection connection;
    if (!connection.open(path, true, nullptr))
        return dates;
    QSqlQuery q(connection.db());
    if (!q.exec(QStringLiteral("SELECT Log, SDate FROM %1").arg(quotedIdentifier(kDatesTable))))
        return dates;
    while (q.next()) {
        const QDate d = QDate::fromString(q.value(1).toString(), Qt::ISODate);
        if (d.isValid())
            dates[q.value(0).toLongLong()] = d;
    }
    return dates;
}

} // namespace cm
