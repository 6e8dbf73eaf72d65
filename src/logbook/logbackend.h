#pragma once
// Where the records of a log table come from and, for editable sources, go
// back to. A back end loads every record into the table's store when the
// table opens; filter and order then work on the store alone.
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

class LogBackend {
public:
    virtual ~LogBackend() = default;

    // Reads every record into `store`, whose fields are the persistent ones.
    virtual bool load(LogStore& store, QString* error) = 0;
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
