// Paradox table files from users: header checks, the block chain and the
// value decoders must refuse damaged files without crashing or looping.
#include "logbook/logfields.h"
#include "logbook/paradoxbackend.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    cm::LogStore store(cm::logFieldDefs());
    QString error;
    cm::readParadoxLogbook(bytes, store, &error);
    // Index files share the header layout.
    cm::parseParadoxHeader(bytes, &error, true);
    return 0;
}
