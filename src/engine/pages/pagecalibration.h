#pragma once
// A shift and scale of everything drawn, to make up for a printer that
// does not print where it should (measured with the calibration page).
#include <QRectF>
#include <QTransform>

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
// The same as the painter's world transform of a printer page drawn in
// device dots, at the printer's dots per inch.
QTransform calibrationTransform(const PageCalibration& calibration, int dpiX, int dpiY);

} // namespace cm
