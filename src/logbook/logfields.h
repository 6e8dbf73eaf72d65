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

// The fields with the string sizes of the logbook program's Paradox tables.
const std::vector<FieldDef>& logFieldDefs();
// The same fields without a size limit on strings (size 0): SQLite logbooks
// of this program and ADIF files keep every value whole.
const std::vector<FieldDef>& unlimitedLogFieldDefs();

// The persistent field named `name` (without regard to case), by its own
// name or by the ADIF name of the value it holds (QSO_DATE, RST_SENT ...);
// -1 when there is none.
int findLogField(QStringView name);
// The ADIF name of a persistent field; empty for Log.
QString adifNameOf(int field);
// "Log, Datum (QSO_DATE), Gmt (TIME_ON), ...": the names findLogField knows,
// for messages.
QString logFieldNameList();

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
