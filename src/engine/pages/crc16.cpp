#include "engine/pages/crc16.h"

#include <array>
#include <cstring>
#include <QtEndian>

namespace cm {

namespace {

// Reflected polynomial 0x1021; table k gives the effect of a byte followed by k zero bytes.
using Tables = std::array<std::array<quint16, 256>, 8>;

constexpr Tables makeTables()
{
    Tables t{};
    for (unsigned b = 0; b < 256; ++b) {
        unsigned crc = b;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? (crc >> 1) ^ 0x8408u : crc >> 1;
        t[0][b] = quint16(crc);
    }
    for (size_t k = 1; k < 8; ++k) {
        for (unsigned b = 0; b < 256; ++b)
            t[k][b] = quint16((t[k - 1][b] >> 8) ^ t[0][t[k - 1][b] & 0xFF]);
    }
    return t;
}

constexpr Tables tables = makeTables();

} // namespace

quint16 crc16Iso3309(QByteArrayView data)
{
    const auto* p = reinterpret_cast<const uchar*>(data.data());
    qsizetype n = data.size();
    quint64 crc = 0xFFFF;
    while (n >= 8) {
        quint64 word;
        std::memcpy(&word, p, 8);
        word = qFromLittleEndian(word) ^ crc;
        crc = tables[7][word & 0xFF] ^ tables[6][(word >> 8) & 0xFF] ^ tables[5][(word >> 16) & 0xFF]
            ^ tables[4][(word >> 24) & 0xFF] ^ tables[3][(word >> 32) & 0xFF] ^ tables[2][(word >> 40) & 0xFF]
            ^ tables[1][(word >> 48) & 0xFF] ^ tables[0][word >> 56];
        p += 8;
        n -= 8;
    }
    while (n-- > 0)
        crc = (crc >> 8) ^ tables[0][(crc ^ *p++) & 0xFF];
    return quint16(~crc);
}

} // namespace cm
