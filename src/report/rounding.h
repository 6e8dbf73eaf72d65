#pragma once
// Rounding rules of the whole program: to the nearest integer with halves
// to the even neighbour; truncation and integer division cut toward zero.
#include <cmath>
#include <cstdint>

namespace cm {

// Native lengths are kept in x87 extended precision where the platform has
// it, so conversions give the same values as the files' original writer.
using Extended = long double;

namespace detail {
// The conversions saturate: a value that is not a number gives 0, one beyond
// the 64-bit range the nearest end of it. Loading refuses such lengths; this
// only keeps a stray one from being undefined behaviour.
constexpr long double kInt64Limit = 9223372036854774784.0L;   // below 2^63, exact in double
inline int64_t saturated(long double whole)
{
    if (std::isnan(whole))
        return 0;
    if (whole >= kInt64Limit)
        return static_cast<int64_t>(kInt64Limit);
    if (whole <= -kInt64Limit)
        return -static_cast<int64_t>(kInt64Limit);
    return static_cast<int64_t>(whole);
}
} // namespace detail

// In range, the rounding instructions give what rounding to a whole number
// and converting it gives, without the slow library path for long doubles.
inline int64_t rnd(long double x)
{
    if (std::isnan(x) || x >= detail::kInt64Limit || x <= -detail::kInt64Limit)
        return detail::saturated(x);
    return std::llrintl(x);
}
inline int64_t rnd(double x)
{
    if (std::isnan(x) || x >= double(detail::kInt64Limit) || x <= -double(detail::kInt64Limit))
        return detail::saturated(x);
    return std::llrint(x);
}
inline int64_t trunc64(long double x) { return detail::saturated(std::trunc(x)); }

} // namespace cm
