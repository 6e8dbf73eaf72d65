#pragma once
// Rounding rules of the whole program: to the nearest integer with halves
// to the even neighbour; truncation and integer division cut toward zero.
#include <cmath>
#include <cstdint>

namespace cm {

// Native lengths are kept in x87 extended precision where the platform has
// it, so conversions give the same values as the files' original writer.
using Extended = long double;

inline int64_t rnd(long double x) { return static_cast<int64_t>(std::nearbyintl(x)); }
inline int64_t rnd(double x) { return static_cast<int64_t>(std::nearbyint(x)); }
inline int64_t trunc64(long double x) { return static_cast<int64_t>(x); }

} // namespace cm
