#pragma once
// Where the records of a log table come from and, for editable sources, go
// back to. A back end either loads every record into the table's store when
// the table opens, or (a pager) reads them when they are needed.
#include "logbook/logstore.h"

#include <QStringList>
#include <QVariant>
#include <vector>

namespace cm {

struct LogIndexDef {
    QString name;
    QStringList fields;       // physical field names, in key order
    bool primary = false;
    bool expression = false;  // an expression index has no field list
};

class LogFilter;

// A source that reads records when they are asked for instead of holding
// them all: the table keeps the few columns its filter and order need for
// every record, and fetches whole records a page at a time.
class LogPager {
public:
    virtual ~LogPager() = default;

    // Reads the marked `columns` of the records in the source's order into
    // `keys`, and each record's key into `keys`' parallel `ids`. Records the
    // filter cannot match may be left out; the ones read are checked later.
    virtual bool readKeys(const std::vector<bool>& columns, const LogFilter& filter, LogStore& keys,
                          std::vector<qint64>& ids, QString* error) = 0;
    // Reads the whole records with the keys `ids` into rows 0..n-1 of `page`,
    // in that order; a key no longer in the source gives a row of nulls.
    virtual bool readRecords(const std::vector<qint64>& ids, LogStore& page, QString* error) = 0;
};

class LogBackend {
public:
    virtual ~LogBackend() = default;

    // Reads every record into `store`, whose fields are the persistent ones.
    virtual bool load(LogStore& store, QString* error) = 0;
    // Sources that can read on demand connect here and return their pager;
    // nullptr without an error: the source is loaded whole (load()).
    virtual LogPager* openPaged(QString* error)
    {
        static_cast<void>(error);
        return nullptr;
    }
    virtual std::vector<LogIndexDef> indexes() const { return {}; }

    // Empty when the source can be edited, else the notice the program shows.
    virtual QString readOnlyNotice() const = 0;
    // What the last load left out or changed (records skipped, values cut),
    // for the user; empty when nothing was.
    virtual QStringList loadNotes() const { return {}; }

    // Writing, for editable sources only. `values` holds one value per
    // persistent field (Log is ignored on insert and set by the source).
    virtual bool insertRecord(const std::vector<QVariant>& values, qint64* newLog, QString* error);
    virtual bool updateRecord(qint64 log, const std::vector<QVariant>& values, QString* error);
    virtual bool deleteRecord(qint64 log, QString* error);
};

} // namespace cm
