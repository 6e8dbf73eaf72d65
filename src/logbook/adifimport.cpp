#include "logbook/adifimport.h"

#include "logbook/adifbackend.h"
#include "logbook/logfields.h"
#include "logbook/logformat.h"
#include "logbook/sqlitelogbook.h"

#include <QFile>
#include <QFileInfo>

namespace cm {

static bool importInto(const QByteArray& bytes, const QString& logbookPath, bool created,
                       AdifImportReport& report, QString* error, int codePage)
{
    SqliteConnection c;
    if (!c.open(logbookPath, false, error))
        return false;
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
        if (!bindLogFields(*defs, error))
            return false;
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
        if (inserter.insert(values, nullptr, &writeError))
            ++report.recordsImported;
    }, codePage);
    report.utf8 = read.utf8;
    report.fileProblems = read.problems;
    if (!writeError.isEmpty()) {
        report.recordsImported = 0;
        if (error)
            *error = writeError;
        return false;
    }
    return inserter.commit(error);
}

bool importAdif(const QString& adifPath, const QString& logbookPath, AdifImportReport& report,
                QString* error, int codePage)
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
    if (!exists && !createSqliteLogbook(logbookPath, error))
        return false;
    if (importInto(bytes, logbookPath, !exists, report, error, codePage))
        return true;
    if (!exists)
        QFile::remove(logbookPath);
    return false;
}

} // namespace cm
