#include "logbook/paradoxbackend.h"

#include "logbook/logfields.h"
#include "report/codepage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstring>

namespace cm {

// Paradox tables stay well below this; a larger file is not read into memory.
constexpr qint64 kMaxParadoxFile = qint64(1) << 30;

static bool readFile(const QString& path, qint64 limit, QByteArray& out, QString* error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("Cannot open %1: %2").arg(path, f.errorString());
        return false;
    }
    if (f.size() > kMaxParadoxFile) {
        if (error)
            *error = QStringLiteral("%1 is too large for a Paradox table").arg(path);
        return false;
    }
    out = f.read(limit);
    return true;
}

std::optional<ParadoxHeader> readParadoxHeaderFile(const QString& path, QString* error)
{
    QByteArray bytes;
    if (!readFile(path, kParadoxHeaderProbe, bytes, error))
        return std::nullopt;
    auto header = parseParadoxHeader(bytes, error);
    if (!header && error)
        *error = path + QStringLiteral(": ") + *error;
    return header;
}

QString ParadoxBackend::readOnlyNotice() const
{
    return QStringLiteral("This Paradox table is open read-only: Cardmint does not change "
                          "Paradox tables, so that their indexes stay valid for Tevrana.");
}

bool ParadoxBackend::load(LogStore& store, QString* error)
{
    QByteArray bytes;
    if (!readFile(path_, kMaxParadoxFile, bytes, error))
        return false;
    const auto header = readParadoxLogbook(bytes, store, error);
    if (!header) {
        // A file that is no table at all is named; the binding messages
        // about its fields stand as they are.
        if (error && !parseParadoxHeader(bytes, nullptr))
            *error = path_ + QStringLiteral(": ") + *error;
        return false;
    }
    findIndexes(*header);
    return true;
}

std::optional<ParadoxHeader> readParadoxLogbook(QByteArrayView bytes, LogStore& store, QString* error)
{
    const auto header = parseParadoxHeader(bytes, error);
    if (!header)
        return std::nullopt;

    std::vector<FieldDef> physical;
    for (const ParadoxField& f : header->fields) {
        FieldDef d;
        d.name = f.name;
        d.type = f.fieldType;
        d.size = f.type == paradox::Alpha ? f.size : 0;
        physical.push_back(d);
    }
    const auto binding = bindLogFields(physical, error);
    if (!binding)
        return std::nullopt;

    const CodePage codePage(header->codePage);
    if (header->recordCount < 10'000'000)
        store.reserve(int(header->recordCount));
    auto readRecord = [&](const char* rec) {
        const int row = store.appendRow();
        for (int col = 0; col < LogFieldCount; ++col) {
            const ParadoxField& f = header->fields[size_t((*binding)[size_t(col)])];
            const char* p = rec + f.offset;
            qint64 i = 0;
            double d = 0;
            switch (f.type) {
            case paradox::Alpha: {
                const void* nul = std::memchr(p, 0, size_t(f.size));
                const qsizetype len = nul ? static_cast<const char*>(nul) - p : f.size;
                if (len > 0)
                    store.setText(row, col, codePage.decode(QByteArrayView(p, len)));
                break;
            }
            case paradox::Date:
                if (paradoxInteger(p, 4, i) && i > 0)
                    store.setInteger(row, col, i + paradox::DateBase);
                break;
            case paradox::Time:
                if (paradoxInteger(p, 4, i) && i >= 0 && i < 86'400'000)
                    store.setInteger(row, col, i);
                break;
            case paradox::Short:
            case paradox::Long:
            case paradox::AutoInc:
                if (paradoxInteger(p, f.size, i))
                    store.setInteger(row, col, i);
                break;
            case paradox::Number:
            case paradox::Currency:
                if (paradoxDouble(p, d) && qIsFinite(d))
                    store.setReal(row, col, d);
                break;
            default:
                break;   // the persistent fields bind no other kinds
            }
        }
    };
    if (!forEachParadoxRecord(bytes, *header, readRecord, error)) {
        store.clear();
        return std::nullopt;
    }
    return header;
}

// The fields of a composite secondary index, from the header of its .XGn
// file: the indexed fields in key order, followed there by the table's
// primary key and a field of the index's own; only the indexed ones are
// kept, spelt as in the table. The index's name is in the header too.
// None when the file is no such index.
static std::optional<LogIndexDef> compositeIndex(const QString& path, const ParadoxHeader& table)
{
    QByteArray bytes;
    if (!readFile(path, kParadoxHeaderProbe, bytes, nullptr))
        return std::nullopt;
    const auto header = parseParadoxHeader(bytes, nullptr, true);
    if (!header || (header->fileType != paradox::CompositeIndex && header->fileType != paradox::CompositeIndexIncrementing))
        return std::nullopt;
    QStringList fields;
    for (const ParadoxField& f : header->fields) {
        const auto own = std::find_if(table.fields.begin(), table.fields.end(), [&f](const ParadoxField& t) {
            return t.name.compare(f.name, Qt::CaseInsensitive) == 0;
        });
        if (own == table.fields.end())
            break;   // past the table's fields
        fields << own->name;
    }
    QStringList primary;
    for (int i = 0; i < table.primaryKeyFields; ++i)
        primary << table.fields[size_t(i)].name;
    if (!primary.isEmpty() && fields.size() > primary.size()
        && fields.sliced(fields.size() - primary.size()) == primary)
        fields.resize(fields.size() - primary.size());
    if (fields.isEmpty())
        return std::nullopt;
    LogIndexDef index;
    index.name = header->tableName.isEmpty() ? QFileInfo(path).suffix().toUpper() : header->tableName;
    index.fields = fields;
    return index;
}

// The primary key (the leading key fields), then the maintained single-field
// secondary indexes, whose files are named after the table with the
// extension .Xnn (nn: the field number in hexadecimal), then the composite
// ones in the files .XGn (n: 0 to F).
void ParadoxBackend::findIndexes(const ParadoxHeader& header)
{
    indexes_.clear();
    if (header.primaryKeyFields > 0) {
        LogIndexDef primary;
        primary.name = QStringLiteral("Primary");
        primary.primary = true;
        for (int i = 0; i < header.primaryKeyFields; ++i)
            primary.fields << header.fields[size_t(i)].name;
        indexes_.push_back(primary);
    }
    const QFileInfo info(path_);
    const QString base = info.completeBaseName();
    const QStringList files = info.dir().entryList({base + QStringLiteral(".X*")}, QDir::Files);
    std::vector<int> single;
    std::vector<std::pair<int, QString>> composite;
    for (const QString& file : files) {
        const QString ext = QFileInfo(file).suffix().toUpper();
        if (ext.size() != 3 || ext[0] != u'X')
            continue;
        bool ok = false;
        if (ext[1] == u'G') {
            const int number = ext.mid(2).toInt(&ok, 16);
            if (ok)
                composite.emplace_back(number, info.dir().filePath(file));
            continue;
        }
        const int number = ext.mid(1).toInt(&ok, 16);
        if (ok && number >= 1 && number <= int(header.fields.size()))
            single.push_back(number);
    }
    std::sort(single.begin(), single.end());
    single.erase(std::unique(single.begin(), single.end()), single.end());
    for (int number : single) {
        LogIndexDef index;
        index.name = header.fields[size_t(number - 1)].name;
        index.fields << index.name;
        indexes_.push_back(index);
    }
    std::sort(composite.begin(), composite.end());
    for (const auto& [number, file] : composite) {
        if (auto index = compositeIndex(file, header))
            indexes_.push_back(*index);
    }
}

} // namespace cm
