#pragma once
// The View menu's zoom steps, in percent of the natural size.
#include "report/rounding.h"

#include <algorithm>

namespace cm {

constexpr int DefaultZoom = 100;
constexpr int MaxZoom = 300;

// Twice the zoom, at most 300.
inline int zoomIncreased(int zoom) { return std::min(2 * zoom, MaxZoom); }

// Half the zoom (halves to the even neighbour) while the exact half is
// above 10; else unchanged.
inline int zoomDecreased(int zoom)
{
    const double half = zoom / 2.0;
    return half > 10 ? int(rnd(half)) : zoom;
}

} // namespace cm
