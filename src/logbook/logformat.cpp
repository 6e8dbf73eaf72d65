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

std::unique_ptr<LogBackend> createLogBackend(const QString& path, LogFormat format, QString* error)
{
    if (!QFileInfo::exists(path)) {
        if (error)
            *error = QStringLiteral("Table %1 does not exist").arg(path);
        return nullptr;
    }
    switch (format) {
    case LogFormat::Paradox: return std::make_unique<ParadoxBackend>(path);
    case LogFormat::Sqlite: return std::make_unique<SqliteBackend>(path);
    case LogFormat::Adif: return std::make_unique<AdifBackend>(path);
    case LogFormat::Unknown: break;
    }
    if (error)
        *error = QStringLiteral("%1 is not a logbook: neither a Paradox table, a Cardmint logbook "
                                "nor an ADIF file").arg(path);
    return nullptr;
}

} // namespace cm
