#pragma once
// The numbers a loaded layout may hold: every page value, band and element
// size and position within kMaxNativeLength, every font size within
// kMaxFontPoints. A damaged file that breaks them is refused as a whole.
#include "report/report.h"

namespace cm {

// Throws StreamError naming the first value out of range and where it is.
void checkLayoutNumbers(const TQRCustomReport& report, const Container& owner);

} // namespace cm
