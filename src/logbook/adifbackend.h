#pragma once
// An ADIF file read directly as a log table, read-only: the records are
// numbered in file order; records that cannot become a QSO are left out and
// reported like an import does.
#include "logbook/adifmapping.h"
#include "logbook/logbackend.h"

namespace cm {

class AdifBackend final : public LogBackend {
public:
    explicit AdifBackend(QString path) : path_(std::move(path)) {}

    bool load(LogStore& store, QString* error) override;
    QString readOnlyNotice() const override;
    QStringList loadNotes() const override;
    const AdifImportReport& report() const { return report_; }

private:
    QString path_;
    AdifImportReport report_;
};

// ADIF files are read whole; larger files are refused.
constexpr qint64 kMaxAdifFile = qint64(1) << 30;
bool readAdifFile(const QString& path, QByteArray& out, QString* error);

} // namespace cm
