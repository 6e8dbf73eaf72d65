#pragma once
// The 16-bit CRC of ISO 3309 (X.25) that page pictures carry, as
// qChecksum computes it, but eight bytes at a time: page pictures are
// checksummed whenever they are rewritten, and the nibble-wise original
// was a tenth of the time of a run.
#include <QByteArrayView>

namespace cm {

quint16 crc16Iso3309(QByteArrayView data);

} // namespace cm
