#pragma once
// How an ADIF record becomes a logbook record: which field goes where, how
// values are read, and what is refused. Values are kept whole.
#include "logbook/adifreader.h"

#include <QVariant>
#include <array>
#include <vector>

namespace cm {

struct AdifImportReport {
    int recordsRead = 0;
    int recordsImported = 0;
    QStringList skipped;            // "record N: reason"
    int duplicatesSkipped = 0;      // QSOs the logbook already held
    QStringList duplicates;         // "record N: CALL date time band mode"
    QStringList withoutDate;        // "record N: CALL": kept, but their cards lack a date
    QStringList valueProblems;      // values left empty because they cannot be read
    QStringList fileProblems;       // from the reader: broken tags ...
    qsizetype cutRecordAt = -1;     // from the reader: a last record without <EOR>
    bool utf8 = true;

    // What the reader found in the file as a whole.
    void takeReadResult(const AdifReadResult& read);

    // Lines for the user, longest lists shortened. The counts say what was
    // done; the warnings say what was left out or changed and are the same
    // wherever the file is read (an import, a log read directly).
    QStringList counts() const;
    QStringList warnings() const;
    QStringList summary() const { return counts() + warnings(); }
};

// Fills one value per persistent field (Log stays empty). False with the
// reason when the record cannot become a QSO (no CALL, a date or time that
// cannot be read). A record without QSO_DATE is kept and noted in the report.
bool adifRecordToLog(const AdifRecord& record, std::vector<QVariant>& values, QString* skipReason,
                     AdifImportReport& report);

} // namespace cm
