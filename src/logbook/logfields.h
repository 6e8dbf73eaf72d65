#pragma once
// The 19 persistent fields of the log table. They fix which columns the
// program sees, whatever the source (Paradox table, SQLite logbook, ADIF file):
// names, kinds, sizes, display labels and display formats.
#include "report/dataset.h"

#include <QStringList>
#include <array>
#include <optional>
#include <vector>

namespace cm {

// Positions of the persistent fields, in table order.
enum LogField : int {
    LogLog, LogDatum, LogGmt, LogCall, LogRstS, LogRstR, LogMode, LogBand, LogFreq, LogQTH,
    LogName, LogQslS, LogQslR, LogOpomba, LogQslVia, LogPfx, LogCq, LogItu, LogCountry,
    LogFieldCount
};

const std::vector<FieldDef>& logFieldDefs();

// Whether a physical column of type `physical` can back a persistent field
// of type `persistent` (the same kind of value, never a lossy conversion).
bool logFieldFits(FieldType persistent, FieldType physical);

QString fieldTypeName(FieldType type);

// Physical position of each persistent field.
using LogBinding = std::array<int, LogFieldCount>;

// Binds the persistent fields by name (without regard to case) to the
// physical field definitions of a source. A missing field or one of a type
// that does not fit is an error; nothing is bound then.
std::optional<LogBinding> bindLogFields(const std::vector<FieldDef>& physical, QString* error);

} // namespace cm
