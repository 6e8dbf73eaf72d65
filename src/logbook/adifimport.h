#pragma once
// Import of an ADIF file into a Cardmint logbook.
#include "logbook/adifmapping.h"

namespace cm {

// Appends the QSOs of `adifPath` to the logbook `logbookPath`, creating it
// when it does not exist. All records go in one transaction: on failure the
// logbook is as it was (and a logbook this call created is removed).
// `codePage` is used for files that are not UTF-8. A QSO the logbook
// already holds (same call, date, time to the minute, band and mode) is
// skipped and counted, unless `allowDuplicates` is set.
bool importAdif(const QString& adifPath, const QString& logbookPath, AdifImportReport& report,
                QString* error, int codePage = 1252, bool allowDuplicates = false);

} // namespace cm
