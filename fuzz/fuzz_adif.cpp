// ADIF text from anywhere: the reader and the mapping onto logbook fields
// must report problems, never crash, hang or allocate without bound.
#include "logbook/adifmapping.h"
#include "logbook/adifreader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    cm::AdifImportReport report;
    std::vector<QVariant> values;
    cm::readAdif(bytes, [&](const cm::AdifRecord& rec) {
        QString reason;
        cm::adifRecordToLog(rec, values, &reason, report);
    });
    return 0;
}
