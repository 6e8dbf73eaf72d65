#include "engine/pages/pagecalibration.h"

namespace cm {

QRectF calibratedTarget(const QRectF& target, const PageCalibration& calibration, double dotsPerMm)
{
    const double scale = calibration.scalePercent / 100.0;
    return QRectF(target.x() + calibration.offsetXMm * dotsPerMm, target.y() + calibration.offsetYMm * dotsPerMm,
                  target.width() * scale, target.height() * scale);
}

QTransform calibrationTransform(const PageCalibration& calibration, int dpiX, int dpiY)
{
    const double scale = calibration.scalePercent / 100;
    QTransform t;
    t.translate(calibration.offsetXMm * dpiX / 25.4, calibration.offsetYMm * dpiY / 25.4);
    t.scale(scale, scale);
    return t;
}

} // namespace cm
