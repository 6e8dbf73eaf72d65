#include "layout/extended80.h"

#include <cmath>
#include <limits>

namespace cm {

namespace {

constexpr int kBias = 16383;
constexpr int kMaxExponent = 0x7FFF;
constexpr uint64_t kIntegerBit = uint64_t(1) << 63;
// The value of mantissa bit 0 of a number with biased exponent 1 (also of
// every denormal): 2^(1 - 16383 - 63).
constexpr int kDenormalScale = 1 - kBias - 63;

Ext80Bytes pack(bool negative, int exponent, uint64_t mantissa)
{
    Ext80Bytes b{};
    for (int i = 0; i < 8; ++i)
        b[i] = static_cast<uint8_t>(mantissa >> (8 * i));
    const unsigned se = (negative ? 0x8000u : 0u) | static_cast<unsigned>(exponent);
    b[8] = static_cast<uint8_t>(se & 0xFF);
    b[9] = static_cast<uint8_t>(se >> 8);
    return b;
}

// Rounds a non-negative value below 2^64 to the nearest integer, halves to
// even; exact (no rounding needed) when long double has 64 mantissa bits.
uint64_t roundToU64(long double x)
{
    const long double r = std::nearbyintl(x);
    if (r >= 18446744073709551616.0L)
        return std::numeric_limits<uint64_t>::max();
    return static_cast<uint64_t>(r);
}

} // namespace

Ext80Bytes encodeExtended(Extended value)
{
    const bool negative = std::signbit(value);
    if (std::isnan(value))
        return pack(negative, kMaxExponent, kIntegerBit | (kIntegerBit >> 1));
    if (std::isinf(value))
        return pack(negative, kMaxExponent, kIntegerBit);
    if (value == 0)
        return pack(negative, 0, 0);

    const long double a = std::fabs(value);
    int e = 0;
    const long double m = std::frexp(a, &e);   // a = m * 2^e, 0.5 <= m < 1
    int exponent = e - 1 + kBias;
    if (exponent <= 0) {
        // Denormal: fixed scale, no integer bit. Rounding up may reach the
        // smallest normal, whose encoding is the same bits with exponent 1.
        const uint64_t mant = roundToU64(std::ldexp(a, -kDenormalScale));
        return pack(negative, (mant & kIntegerBit) ? 1 : 0, mant);
    }
    // m * 2^64 lies in [2^63, 2^64); a long double wider than 64 bits may
    // round up to 2^64, which is 2^63 with the next exponent.
    const long double scaled = std::nearbyintl(std::ldexp(m, 64));
    uint64_t mant;
    if (scaled >= 18446744073709551616.0L) {
        mant = kIntegerBit;
        ++exponent;
    } else {
        mant = static_cast<uint64_t>(scaled);
    }
    if (exponent >= kMaxExponent)
        return pack(negative, kMaxExponent, kIntegerBit);
    return pack(negative, exponent, mant);
}

Extended decodeExtended(const uint8_t* bytes)
{
    uint64_t mant = 0;
    for (int i = 7; i >= 0; --i)
        mant = (mant << 8) | bytes[i];
    const unsigned se = bytes[8] | (unsigned(bytes[9]) << 8);
    const bool negative = (se & 0x8000u) != 0;
    const int exponent = static_cast<int>(se & 0x7FFFu);

    long double v;
    if (exponent == kMaxExponent) {
        // Only integer bit set with a zero fraction is an infinity; a clear
        // integer bit (pseudo-infinity, pseudo-NaN) is invalid, read as NaN.
        if (mant == kIntegerBit)
            v = std::numeric_limits<long double>::infinity();
        else
            v = std::numeric_limits<long double>::quiet_NaN();
    } else {
        // Denormals and pseudo-denormals (exponent 0) share the scale of
        // exponent 1; unnormals simply have a smaller mantissa.
        const int scale = (exponent == 0 ? 1 : exponent) - kBias - 63;
        v = std::ldexp(static_cast<long double>(mant), scale);
    }
    return negative ? -v : v;
}

Extended decodeExtended(const Ext80Bytes& bytes) { return decodeExtended(bytes.data()); }

} // namespace cm
