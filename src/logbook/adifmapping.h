#pragma once
// How an ADIF record becomes a logbook record: which field goes where, how
// values are read, and what is cut or refused.
#include "logbook/adifreader.h"

#include <QVariant>
#include <array>
#include <vector>

namespace cm {

struct AdifImportReport {
    int recordsRead = 0;
    int recordsImported = 0;
    QStringList skipped;            // "record N: reason"
    int valuesCut = 0;
    QStringList cutDetails;         // "record N: FIELD cut to K characters"
    QStringList valueProblems;      // values left empty because they cannot be read
    QStringList fileProblems;       // from the reader: broken tags ...
    bool utf8 = true;

    // Lines for the user, longest lists shortened.
    QStringList summary() const;
};

// Fills one value per persistent field (Log stays empty). False with the
// reason when the record cannot become a QSO (no CALL, a date or time that
// cannot be read).
bool adifRecordToLog(const AdifRecord& record, std::vector<QVariant>& values, QString* skipReason,
                     AdifImportReport& report);

} // namespace cm
