#include "logbook/logformat.h"

#include "logbook/adifbackend.h"
#include "logbook/paradoxbackend.h"
#include "logbook/sqlitelogbook.h"

#include <QFile>
#include <QFileInfo>

namespace cm {

LogFormat detectLogFormat(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return LogFormat::Unknown;
    const QByteArray head = f.read(kParadoxHeaderProbe);
    if (head.startsWith(QByteArrayView("SQLite format 3\0", 16)))
        return LogFormat::Sqlite;
    // A SQLite file whose first bytes were damaged still has the fixed
    // payload fractions (64, 32, 32) at bytes 21 to 23; SQLite then says
    // what is wrong, rather than the Paradox reader.
    if (head.startsWith("SQLite") ||
        (head.size() >= 100 && head.mid(21, 3) == QByteArrayView("\x40\x20\x20") &&
         !parseParadoxHeader(head, nullptr)))
        return LogFormat::Sqlite;
    if (parseParadoxHeader(head, nullptr))
        return LogFormat::Paradox;
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"adi" || suffix == u"adif" || head.toLower().contains("<eor>"))
        return LogFormat::Adif;
    // A .db file that is neither: read it as a Paradox table, whose reader
    // then says what is wrong with it.
    if (suffix == u"db")
        return LogFormat::Paradox;
    return LogFormat::Unknown;
}

QString logFormatName(LogFormat format)
{
    switch (format) {
    case LogFormat::Paradox: return QStringLiteral("Paradox table");
    case LogFormat::Sqlite: return QStringLiteral("Cardmint logbook");
    case LogFormat::Adif: return QStringLiteral("ADIF file");
    case LogFormat::Unknown: break;
    }
    return QStringLiteral("unknown");
}

std::unique_ptr<LogBackend> createLogBackend(const QString& path, LogFormat format, QString* error, bool queryOnly)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        if (error)
            *error = QStringLiteral("Table %1 does not exist").arg(path);
        return nullptr;
    }
    if (info.isDir()) {
        if (error)
            *error = QStringLiteral("%1 is a folder, not a logbook").arg(path);
        return nullptr;
    }
    if (QFile file(path); !file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("Cannot read %1: %2").arg(path, file.errorString().toLower());
        return nullptr;
    }
    switch (format) {
    case LogFormat::Paradox: return std::make_unique<ParadoxBackend>(path);
    case LogFormat::Sqlite: return std::make_unique<SqliteBackend>(path, queryOnly);
    case LogFormat::Adif: return std::make_unique<AdifBackend>(path);
    case LogFormat::Unknown: break;
    }
    if (error)
        *error = QStringLiteral("%1 is not a logbook: neither a Paradox table, a Cardmint logbook "
                                "nor an ADIF file").arg(path);
    return nullptr;
}

} // namespace cm
