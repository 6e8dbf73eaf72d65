#include "logbook/logfields.h"

namespace cm {

static FieldDef def(const char* name, FieldType type, int size, const char* label,
                    const char* format = "")
{
    FieldDef d;
    d.name = QString::fromLatin1(name);
    d.type = type;
    d.size = size;
    d.displayLabel = QString::fromLatin1(label);
    d.displayFormat = QString::fromLatin1(format);
    d.visible = true;
    return d;
}

const std::vector<FieldDef>& logFieldDefs()
{
    static const std::vector<FieldDef> defs = {
        def("Log", FieldType::AutoInc, 0, "Log"),
        def("Datum", FieldType::Date, 0, "Date"),
        def("Gmt", FieldType::Time, 0, "Gmt"),
        def("Call", FieldType::String, 20, "Call"),
        def("RstS", FieldType::String, 3, "Rst Sent"),
        def("RstR", FieldType::String, 3, "Rst Rcvd"),
        def("Mode", FieldType::String, 4, "Mode"),
        def("Band", FieldType::String, 4, "Band"),
        def("Freq", FieldType::Float, 0, "Freq", ",0.00"),
        def("QTH", FieldType::String, 20, "QTH"),
        def("Name", FieldType::String, 10, "Name"),
        def("QslS", FieldType::String, 8, "Qsl Sent"),
        def("QslR", FieldType::String, 8, "Qsl Rcvd"),
        def("Opomba", FieldType::String, 50, "Remark"),
        def("QslVia", FieldType::String, 100, "Qsl via"),
        def("Pfx", FieldType::String, 20, "Prefix"),
        def("Cq", FieldType::SmallInt, 0, "Cq Zone"),
        def("Itu", FieldType::SmallInt, 0, "Itu Zone"),
        def("Country", FieldType::String, 40, "Country"),
    };
    return defs;
}

const std::vector<FieldDef>& unlimitedLogFieldDefs()
{
    static const std::vector<FieldDef> defs = [] {
        std::vector<FieldDef> d = logFieldDefs();
        for (FieldDef& f : d)
            if (f.type == FieldType::String)
                f.size = 0;
        return d;
    }();
    return defs;
}

// The ADIF field each persistent field is filled from, in field order.
static const char* const kAdifNames[LogFieldCount] = {
    "", "QSO_DATE", "TIME_ON", "CALL", "RST_SENT", "RST_RCVD", "MODE", "BAND", "FREQ", "QTH",
    "NAME", "QSL_SENT", "QSL_RCVD", "COMMENT", "QSL_VIA", "PFX", "CQZ", "ITUZ", "COUNTRY"};

QString adifNameOf(int field)
{
    if (field < 0 || field >= LogFieldCount)
        return QString();
    return QString::fromLatin1(kAdifNames[field]);
}

int findLogField(QStringView name)
{
    const auto& defs = logFieldDefs();
    for (int i = 0; i < LogFieldCount; ++i)
        if (defs[size_t(i)].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    for (int i = 1; i < LogFieldCount; ++i)
        if (name.compare(QLatin1String(kAdifNames[i]), Qt::CaseInsensitive) == 0)
            return i;
    // The remark comes from NOTES when a record has no COMMENT.
    if (name.compare(QLatin1String("NOTES"), Qt::CaseInsensitive) == 0)
        return LogOpomba;
    return -1;
}

QString logFieldNameList()
{
    QStringList names;
    const auto& defs = logFieldDefs();
    for (int i = 0; i < LogFieldCount; ++i) {
        const QString adif = adifNameOf(i);
        const QString& own = defs[size_t(i)].name;
        names << (adif.isEmpty() || adif.compare(own, Qt::CaseInsensitive) == 0
                      ? own : QStringLiteral("%1 (%2)").arg(own, adif));
    }
    return names.join(QStringLiteral(", "));
}

bool logFieldFits(FieldType persistent, FieldType physical)
{
    switch (persistent) {
    case FieldType::AutoInc:
        // The record number: an auto-increment column, or a plain 32-bit one
        // in tables that keep their own counter.
        return physical == FieldType::AutoInc || physical == FieldType::Integer;
    case FieldType::SmallInt:
        return physical == FieldType::SmallInt;
    case FieldType::Integer:
        return physical == FieldType::Integer || physical == FieldType::SmallInt ||
               physical == FieldType::Word || physical == FieldType::AutoInc;
    case FieldType::Float:
        return physical == FieldType::Float || physical == FieldType::Currency;
    default:
        return physical == persistent;
    }
}

QString fieldTypeName(FieldType type)
{
    switch (type) {
    case FieldType::String: return QStringLiteral("String");
    case FieldType::SmallInt: return QStringLiteral("SmallInt");
    case FieldType::Integer: return QStringLiteral("Integer");
    case FieldType::Word: return QStringLiteral("Word");
    case FieldType::AutoInc: return QStringLiteral("AutoInc");
    case FieldType::Float: return QStringLiteral("Float");
    case FieldType::Currency: return QStringLiteral("Currency");
    case FieldType::BCD: return QStringLiteral("BCD");
    case FieldType::Boolean: return QStringLiteral("Boolean");
    case FieldType::Date: return QStringLiteral("Date");
    case FieldType::Time: return QStringLiteral("Time");
    case FieldType::DateTime: return QStringLiteral("DateTime");
    case FieldType::Memo: return QStringLiteral("Memo");
    case FieldType::Blob: return QStringLiteral("Blob");
    case FieldType::Graphic: return QStringLiteral("Graphic");
    case FieldType::Bytes: return QStringLiteral("Bytes");
    }
    return QStringLiteral("Unknown");
}

std::optional<LogBinding> bindLogFields(const std::vector<FieldDef>& physical, QString* error)
{
    LogBinding binding{};
    const auto& defs = logFieldDefs();
    for (int i = 0; i < LogFieldCount; ++i) {
        const FieldDef& want = defs[size_t(i)];
        int found = -1;
        for (size_t j = 0; j < physical.size(); ++j) {
            if (physical[j].name.compare(want.name, Qt::CaseInsensitive) == 0) {
                found = int(j);
                break;
            }
        }
        if (found < 0) {
            if (error)
                *error = QStringLiteral("Field '%1' not found").arg(want.name);
            return std::nullopt;
        }
        const FieldType actual = physical[size_t(found)].type;
        if (!logFieldFits(want.type, actual)) {
            if (error)
                *error = QStringLiteral("Type mismatch for field '%1', expecting: %2 actual: %3")
                             .arg(want.name, fieldTypeName(want.type), fieldTypeName(actual));
            return std::nullopt;
        }
        binding[size_t(i)] = found;
    }
    return binding;
}

} // namespace cm
