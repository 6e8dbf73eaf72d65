#include "engine/pages/pagecalibration.h"

namespace cm {

QRectF calibratedTarget(const QRectF& target, const PageCalibration& calibration, double dotsPerMm)
{
    const double scale = calibration.scalePercent / 100.0;
    return QRectF(target.x() + calibration.offsetXMm * dotsPerMm, target.y() + calibration.offsetYMm * dotsPerMm,
                  target.width() * scale, target.height() * scale);
}

} // namespace cm
