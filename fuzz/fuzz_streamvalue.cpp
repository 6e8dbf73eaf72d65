// Reads typed stream values from arbitrary bytes until the data ends or is
// refused. Whatever the bytes, the reader may only throw StreamError; the
// skipper must agree with the reader on where each value ends.
#include "layout/streamvalue.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    cm::ByteReader reader(bytes);
    cm::ByteReader skipper(bytes);
    const cm::CodePage cp(1252);
    while (!reader.atEnd()) {
        bool readFailed = false;
        bool skipFailed = false;
        try {
            cm::readValue(reader, cp);
        } catch (const cm::StreamError&) {
            readFailed = true;
        }
        try {
            cm::skipValue(skipper);
        } catch (const cm::StreamError&) {
            skipFailed = true;
        }
        if (readFailed != skipFailed || (!readFailed && reader.pos() != skipper.pos()))
            std::abort();
        if (readFailed)
            break;
    }
    return 0;
}
