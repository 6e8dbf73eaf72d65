#include "logbook/logsource.h"

#include <QFileInfo>

namespace cm {

std::unique_ptr<LogTable> openLogSource(const QString& path, QString* error)
{
    auto table = std::make_unique<LogTable>();
    table->setTableName(QFileInfo(path).absoluteFilePath());
    if (!table->open(error))
        return nullptr;
    return table;
}

} // namespace cm
