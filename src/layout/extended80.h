#pragma once
// Portable conversion between the x87 80-bit extended format (64-bit
// mantissa with explicit integer bit, 15-bit exponent biased by 16383, sign;
// little-endian, 10 bytes) and long double. Works by arithmetic, not by
// reinterpreting memory, so it is right whatever long double is on the host.
#include "report/rounding.h"

#include <array>
#include <cstdint>

namespace cm {

using Ext80Bytes = std::array<uint8_t, 10>;

// Exact where long double has at least 64 mantissa bits (x86); otherwise
// rounded to nearest. Infinities, NaN (quiet), signed zero and denormals are
// kept; values too large for the 80-bit range become infinities.
Ext80Bytes encodeExtended(Extended value);
// Unnormals and pseudo-denormals (integer bit inconsistent with the exponent)
// are read by their arithmetic value; pseudo-infinities and pseudo-NaNs read as NaN.
Extended decodeExtended(const Ext80Bytes& bytes);
Extended decodeExtended(const uint8_t* bytes);

} // namespace cm
