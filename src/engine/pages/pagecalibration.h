#pragma once
// A shift and scale of everything drawn, to make up for a printer that
// does not print where it should (measured with the calibration page).
#include <QRectF>

namespace cm {

struct PageCalibration {
    double offsetXMm = 0;
    double offsetYMm = 0;
    double scalePercent = 100;
    bool isIdentity() const { return offsetXMm == 0 && offsetYMm == 0 && scalePercent == 100; }
};
// Where a page drawn into `target` goes with the calibration applied, at
// `dotsPerMm` device dots per millimetre.
QRectF calibratedTarget(const QRectF& target, const PageCalibration& calibration, double dotsPerMm);

} // namespace cm
