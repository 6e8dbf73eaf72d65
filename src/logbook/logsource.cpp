#include "logbook/logsource.h"

#include "logbook/bureauorder.h"
#include "logbook/logbookfolder.h"

#include <QFileInfo>

namespace cm {

std::unique_ptr<LogTable> openLogSource(const QString& name, QString* error)
{
    const FileLookup found = findLogbook(name);
    if (found.path.isEmpty()) {
        for (const QString& tried : found.tried) {
            if (QFileInfo(tried).isDir()) {
                if (error)
                    *error = QStringLiteral("%1 is a folder, not a logbook").arg(tried);
                return nullptr;
            }
        }
        if (error)
            *error = QStringLiteral("not found (looked for %1)").arg(found.tried.join(QStringLiteral(", ")));
        return nullptr;
    }
    auto table = std::make_unique<LogTable>();
    table->setTableName(found.path);
    if (!table->open(error))
        return nullptr;
    return table;
}

bool selectLogRecords(LogTable& table, const std::optional<QString>& filter, const std::optional<QString>& order,
                      QString* error)
{
    if (filter && !table.setFilter(*filter, error))
        return false;
    if (order && order->trimmed().compare(u"bureau", Qt::CaseInsensitive) == 0) {
        orderForBureau(table);
        return true;
    }
    return !order || table.setIndexFieldNames(*order, error);
}

} // namespace cm
