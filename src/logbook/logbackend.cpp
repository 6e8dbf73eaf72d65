#include "logbook/logbackend.h"

namespace cm {

static bool readOnly(const LogBackend& b, QString* error)
{
    if (error)
        *error = b.readOnlyNotice();
    return false;
}

bool LogBackend::insertRecord(const std::vector<QVariant>&, qint64*, QString* error)
{
    return readOnly(*this, error);
}

bool LogBackend::updateRecord(qint64, const std::vector<QVariant>&, QString* error)
{
    return readOnly(*this, error);
}

bool LogBackend::deleteRecord(qint64, QString* error) { return readOnly(*this, error); }

} // namespace cm
