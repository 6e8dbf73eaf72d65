#pragma once
// Paradox logbook tables, read with our own checked reader and opened
// read-only: changing a Paradox table without also maintaining its primary
// and secondary index files would leave it broken for the logbook program
// that owns it.
#include "logbook/logbackend.h"
#include "logbook/paradoxformat.h"

namespace cm {

class ParadoxBackend final : public LogBackend {
public:
    explicit ParadoxBackend(QString path) : path_(std::move(path)) {}

    bool load(LogStore& store, QString* error) override;
    std::vector<LogIndexDef> indexes() const override { return indexes_; }
    QString readOnlyNotice() const override;

private:
    void findIndexes(const ParadoxHeader& header);

    QString path_;
    std::vector<LogIndexDef> indexes_;
};

// Reads the records of a logbook table held in `bytes` into `store` (whose
// fields are the persistent ones); the table's header on success.
std::optional<ParadoxHeader> readParadoxLogbook(QByteArrayView bytes, LogStore& store, QString* error);

// Reads the header of a Paradox table file, checked.
std::optional<ParadoxHeader> readParadoxHeaderFile(const QString& path, QString* error);

} // namespace cm
