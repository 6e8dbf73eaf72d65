#pragma once
// Number pictures ("0.00", ",0.00", "#,##0.0;-#,##0.0;zero" ...), used by
// masks of data fields and expressions and by display formats of fields.
//
// A picture has up to three sections separated by ';' (positive; negative;
// zero; an empty or missing one uses the first). In a section '0' is a digit
// always printed, '#' a digit printed only when significant, the first '.'
// the decimal separator, a ',' anywhere asks for thousands separators, "E+",
// "E-", "e+", "e-" start an exponent with as many digits as '0's follow, and
// quoted text is copied without its quotes. An empty picture gives the
// general format.
#include "expr/formatsettings.h"

#include <optional>

namespace cm {

// nullopt when the value cannot be formatted (not a finite number).
std::optional<QString> tryFormatFloat(QStringView picture, double value, const FormatSettings& settings);

// As above; a value that cannot be formatted gives its general text.
QString formatFloat(QStringView picture, double value, const FormatSettings& settings);

} // namespace cm
