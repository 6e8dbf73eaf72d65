#include "logbook/adifimport.h"

#include "logbook/adifbackend.h"
#include "logbook/logfields.h"
#include "logbook/logformat.h"
#include "logbook/logvalueparse.h"
#include "logbook/sqliteerrors.h"
#include "logbook/sqlitelogbook.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>

namespace cm {

namespace {

// What makes two log entries the same QSO: call, date, time to the minute,
// band and mode, without regard to case.
QString qsoKey(const QVariant& call, const QVariant& date, const QVariant& time, const QVariant& band,
               const QVariant& mode)
{
    const QDate d = date.toDate();
    const QTime t = time.toTime();
    return QStringLiteral("%1|%2|%3|%4|%5")
        .arg(call.toString().trimmed().toUpper(), d.isValid() ? d.toString(Qt::ISODate) : QString(),
             t.isValid() ? t.toString(QStringLiteral("HH:mm")) : QString(), band.toString().trimmed().toUpper(),
             mode.toString().trimmed().toUpper());
}

QString qsoKey(const std::vector<QVariant>& values)
{
    return qsoKey(values[LogCall], values[LogDatum], values[LogGmt], values[LogBand], values[LogMode]);
}

// The keys of the QSOs a logbook holds; `columns` are its physical column
// names of Call, Datum, Gmt, Band and Mode.
bool readQsoKeys(QSqlDatabase db, const QStringList& columns, QSet<QString>& keys, QString* error)
{
    QStringList quoted;
    for (const QString& c : columns)
        quoted << quotedIdentifier(c);
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT %1 FROM %2").arg(quoted.join(u','), quotedIdentifier(kLogbookTable)))) {
        if (error)
            *error = QStringLiteral("Cannot read the logbook: %1").arg(describeSqliteError(db.databaseName(), q.lastError()));
        return false;
    }
    while (q.next()) {
        const auto date = parseDateValue(q.value(1).toString());
        const auto time = parseTimeValue(q.value(2).toString());
        keys.insert(qsoKey(q.value(0), date ? QVariant(*date) : QVariant(), time ? QVariant(*time) : QVariant(),
                           q.value(3), q.value(4)));
    }
    return true;
}

QString describeQso(const std::vector<QVariant>& values)
{
    QStringList parts;
    parts << values[LogCall].toString() << values[LogDatum].toDate().toString(Qt::ISODate)
          << values[LogGmt].toTime().toString(QStringLiteral("HH:mm")) << values[LogBand].toString()
          << values[LogMode].toString();
    parts.removeAll(QString());
    return parts.join(u' ');
}

} // namespace

static bool importInto(const QByteArray& bytes, const QString& logbookPath, bool created,
                       AdifImportReport& report, QString* error, int codePage, bool allowDuplicates)
{
    SqliteConnection c;
    if (!c.open(logbookPath, false, error))
        return false;
    QSet<QString> known;
    if (!created) {
        // Only into a logbook whose fields the program knows.
        const auto defs = readSqliteFieldDefs(c.db(), error);
        if (!defs)
            return false;
        if (defs->empty()) {
            if (error)
                *error = QStringLiteral("%1 holds no logbook table").arg(logbookPath);
            return false;
        }
        const auto binding = bindLogFields(*defs, error);
        if (!binding)
            return false;
        if (!allowDuplicates) {
            QStringList columns;
            for (int col : {LogCall, LogDatum, LogGmt, LogBand, LogMode})
                columns << (*defs)[size_t((*binding)[size_t(col)])].name;
            if (!readQsoKeys(c.db(), columns, known, error))
                return false;
        }
    }
    LogbookInserter inserter(c.db());
    if (!inserter.begin(error))
        return false;
    std::vector<QVariant> values;
    QString writeError;
    const AdifReadResult read = readAdif(bytes, [&](const AdifRecord& rec) {
        ++report.recordsRead;
        if (!writeError.isEmpty())
            return;
        QString reason;
        if (!adifRecordToLog(rec, values, &reason, report)) {
            report.skipped << QStringLiteral("record %1: %2").arg(rec.number).arg(reason);
            return;
        }
        if (!allowDuplicates) {
            // Also a QSO given twice in the file: once in, the logbook holds it.
            const QString key = qsoKey(values);
            if (known.contains(key)) {
                ++report.duplicatesSkipped;
                report.duplicates << QStringLiteral("record %1: %2").arg(rec.number).arg(describeQso(values));
                return;
            }
            known.insert(key);
        }
        if (inserter.insert(values, nullptr, &writeError))
            ++report.recordsImported;
    }, codePage);
    report.takeReadResult(read);
    if (!writeError.isEmpty()) {
        report.recordsImported = 0;
        if (error)
            *error = writeError;
        return false;
    }
    return inserter.commit(error);
}

bool importAdif(const QString& adifPath, const QString& logbookPath, AdifImportReport& report,
                QString* error, int codePage, bool allowDuplicates)
{
    report = AdifImportReport();
    QByteArray bytes;
    if (!readAdifFile(adifPath, bytes, error))
        return false;
    const bool exists = QFileInfo::exists(logbookPath);
    if (exists && detectLogFormat(logbookPath) != LogFormat::Sqlite) {
        if (error)
            *error = QStringLiteral("%1 exists and is not a Cardmint logbook; nothing was imported")
                         .arg(logbookPath);
        return false;
    }
    if (exists)
        return importInto(bytes, logbookPath, false, report, error, codePage, allowDuplicates);
    if (createSqliteLogbook(logbookPath, error) &&
        importInto(bytes, logbookPath, true, report, error, codePage, allowDuplicates))
        return true;
    // A logbook this call began is not left behind half made.
    QFile::remove(logbookPath);
    QFile::remove(logbookPath + QStringLiteral("-journal"));
    return false;
}

} // namespace cm
