#include "layout/extended80.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <random>

using namespace cm;

namespace {

// The exact x87 format is only available where long double is x87 extended
// (x86); elsewhere the conversion rounds and the byte-exact checks do not apply.
constexpr bool kX87 = std::numeric_limits<long double>::digits == 64
    && std::numeric_limits<long double>::max_exponent == 16384;

Ext80Bytes bytesOf(uint64_t mantissa, uint16_t signExponent)
{
    Ext80Bytes b{};
    for (int i = 0; i < 8; ++i)
        b[i] = static_cast<uint8_t>(mantissa >> (8 * i));
    b[8] = static_cast<uint8_t>(signExponent & 0xFF);
    b[9] = static_cast<uint8_t>(signExponent >> 8);
    return b;
}

struct KnownPattern {
    const char* label;
    long double value;
    uint64_t mantissa;
    uint16_t signExponent;
};

} // namespace

TEST(Extended80, KnownBytePatternsBothWays)
{
    const KnownPattern cases[] = {
        {"1.0", 1.0L, 0x8000000000000000u, 0x3FFF},
        {"-1.0", -1.0L, 0x8000000000000000u, 0xBFFF},
        {"2970.0", 2970.0L, 0xB9A0000000000000u, 0x400A},
        {"0.5", 0.5L, 0x8000000000000000u, 0x3FFE},
        {"254.0", 254.0L, 0xFE00000000000000u, 0x4006},
        {"+0.0", 0.0L, 0, 0x0000},
        {"-0.0", -0.0L, 0, 0x8000},
        {"+inf", std::numeric_limits<long double>::infinity(), 0x8000000000000000u, 0x7FFF},
        {"-inf", -std::numeric_limits<long double>::infinity(), 0x8000000000000000u, 0xFFFF},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(encodeExtended(c.value), bytesOf(c.mantissa, c.signExponent));
        const long double back = decodeExtended(bytesOf(c.mantissa, c.signExponent));
        EXPECT_EQ(back, c.value);
        EXPECT_EQ(std::signbit(back), std::signbit(c.value));
    }
}

TEST(Extended80, ValuesThatNeedAllSixtyFourBits)
{
    if (!kX87)
        GTEST_SKIP() << "long double is not x87 extended here";
    const KnownPattern cases[] = {
        {"0.1", 0.1L, 0xCCCCCCCCCCCCCCCDu, 0x3FFB},
        {"12.7", 12.7L, 0xCB33333333333333u, 0x4002},
        {"max normal", LDBL_MAX, 0xFFFFFFFFFFFFFFFFu, 0x7FFE},
        {"min normal", LDBL_MIN, 0x8000000000000000u, 0x0001},
        {"smallest denormal", LDBL_TRUE_MIN, 0x0000000000000001u, 0x0000},
        {"largest denormal", LDBL_MIN - LDBL_TRUE_MIN, 0x7FFFFFFFFFFFFFFFu, 0x0000},
        {"-min normal", -LDBL_MIN, 0x8000000000000000u, 0x8001},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(encodeExtended(c.value), bytesOf(c.mantissa, c.signExponent));
        EXPECT_EQ(decodeExtended(encodeExtended(c.value)), c.value);
    }
    // Beyond the range of double in both directions.
    for (long double v : {1e4000L, -1e4000L, 1e-4000L, 3.5e-4940L})
        EXPECT_EQ(decodeExtended(encodeExtended(v)), v) << static_cast<double>(std::log10(std::fabs(v)));
    EXPECT_GT(decodeExtended(bytesOf(0xFFFFFFFFFFFFFFFFu, 0x7FFE)), static_cast<long double>(DBL_MAX));
}

TEST(Extended80, NaNStaysNaN)
{
    const Ext80Bytes encoded = encodeExtended(std::numeric_limits<long double>::quiet_NaN());
    EXPECT_EQ(encoded[9] & 0x7F, 0x7F);
    EXPECT_EQ(encoded[8], 0xFF);
    EXPECT_TRUE(std::isnan(decodeExtended(encoded)));
    EXPECT_TRUE(std::isnan(decodeExtended(bytesOf(0xC000000000000000u, 0x7FFF))));   // quiet
    EXPECT_TRUE(std::isnan(decodeExtended(bytesOf(0x8000000000000001u, 0xFFFF))));   // signalling
}

// Encodings whose integer bit disagrees with the exponent: an x87 never
// produces them, but a file may hold them.
TEST(Extended80, NonCanonicalEncodings)
{
    // Unnormal: integer bit clear with a normal exponent, read by its value.
    EXPECT_EQ(decodeExtended(bytesOf(0x4000000000000000u, 0x3FFF)), 0.5L);
    EXPECT_EQ(decodeExtended(bytesOf(0xC000000000000000u, 0xC000)), -3.0L);
    // Pseudo-zero (unnormal with zero mantissa).
    EXPECT_EQ(decodeExtended(bytesOf(0, 0x4000)), 0.0L);
    // Pseudo-infinity and pseudo-NaN: integer bit clear with the top exponent.
    EXPECT_TRUE(std::isnan(decodeExtended(bytesOf(0, 0x7FFF))));
    EXPECT_TRUE(std::isnan(decodeExtended(bytesOf(0x4000000000000000u, 0x7FFF))));
    if (kX87) {
        // Pseudo-denormal: integer bit set with exponent 0 means the smallest normal.
        EXPECT_EQ(decodeExtended(bytesOf(0x8000000000000000u, 0x0000)), LDBL_MIN);
        // Re-encoding gives the canonical form.
        EXPECT_EQ(encodeExtended(decodeExtended(bytesOf(0x8000000000000000u, 0x0000))),
                  bytesOf(0x8000000000000000u, 0x0001));
        EXPECT_EQ(encodeExtended(decodeExtended(bytesOf(0x4000000000000000u, 0x3FFF))),
                  bytesOf(0x8000000000000000u, 0x3FFE));
    }
}

TEST(Extended80, EveryCanonicalFiniteEncodingRoundTripsExactly)
{
    if (!kX87)
        GTEST_SKIP() << "long double is not x87 extended here";
    std::mt19937_64 rng(20261209);
    for (int i = 0; i < 200000; ++i) {
        const uint64_t raw = rng();
        const auto se = static_cast<uint16_t>(rng());
        const bool denormal = (i % 8) == 0;
        const uint16_t exponent = denormal ? 0 : static_cast<uint16_t>(1 + (se & 0x7FFF) % 0x7FFE);
        const uint64_t mantissa = denormal ? raw & 0x7FFFFFFFFFFFFFFFu : raw | 0x8000000000000000u;
        const Ext80Bytes bytes = bytesOf(mantissa, static_cast<uint16_t>((se & 0x8000) | exponent));
        const long double v = decodeExtended(bytes);
        ASSERT_EQ(encodeExtended(v), bytes) << "mantissa " << std::hex << mantissa << " exponent " << exponent;
    }
}
