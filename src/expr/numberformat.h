#pragma once
// Number pictures ("0.00", ",0.00", "#,##0.0;-#,##0.0;zero" ...), used by
// masks of data fields and expressions and by display formats of fields.
#include "expr/formatsettings.h"

namespace cm {

QString formatFloat(QStringView picture, double value, const FormatSettings& settings);

} // namespace cm
