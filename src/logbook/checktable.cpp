#include "logbook/checktable.h"

#include "logbook/logformat.h"
#include "logbook/paradoxbackend.h"
#include "logbook/sqlitelogbook.h"

#include <QFile>
#include <QFileInfo>

namespace cm {

// Only the count of fields and the kind of the twelfth one decide.
static int codeFor(const std::vector<FieldType>& types)
{
    if (types.size() != 19)
        return types.size() == 21 ? TableExtendedFormat : TableNotLogbook;
    const FieldType twelfth = types[11];
    if (twelfth == FieldType::Boolean)
        return TableOldFormat;
    if (twelfth == FieldType::String)
        return TableCurrentFormat;
    return TableNotLogbook;
}

std::optional<int> CheckTable(const QString& path, QString* error)
{
    const QFileInfo info(path);
    if (!info.isFile()) {
        if (error)
            *error = info.isDir() ? QStringLiteral("%1 is a folder, not a table").arg(path)
                                  : QStringLiteral("Table %1 does not exist").arg(path);
        return std::nullopt;
    }
    // A file that cannot be read is no answer about its kind.
    if (QFile file(path); !file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    std::vector<FieldType> types;
    switch (detectLogFormat(path)) {
    case LogFormat::Paradox: {
        const auto header = readParadoxHeaderFile(path, error);
        if (!header)
            return std::nullopt;
        for (const ParadoxField& f : header->fields)
            types.push_back(f.fieldType);
        break;
    }
    case LogFormat::Sqlite: {
        SqliteConnection c;
        if (!c.open(path, true, error))
            return std::nullopt;
        const auto defs = readSqliteFieldDefs(c.db(), error);
        if (!defs)
            return std::nullopt;
        for (const FieldDef& d : *defs)
            types.push_back(d.type);
        break;
    }
    default:
        return TableNotLogbook;   // ADIF files and anything else are no tables
    }
    return codeFor(types);
}

} // namespace cm
