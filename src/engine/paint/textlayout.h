#pragma once
// Text measuring and line breaking. Lines are always measured on one fixed
// 96-dpi reference surface, so a card breaks its lines the same on screen,
// in a PDF and on any printer.
#include "engine/paint/widthcache.h"
#include "report/graphics.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QPaintDevice>
#include <QStringList>

namespace cm {

// The reference surface: an image that reports 96 dots per inch.
QPaintDevice& referenceDevice();

// The model font as a Qt font whose pixel size is the stored height (pixels
// at 96 per inch) times `scale`; the same font on every device.
QFont toQFont(const TQRFont& font, qreal scale = 1.0);
// 0x00BBGGRR colours; system colours map to their usual light-theme values.
QColor toQColor(TColor color);

// Widths and heights as the line breaker sees them: reference pixels at a zoom.
class TextMeasurer {
public:
    TextMeasurer(const QFont& font, int zoom);
    // (extent + 1) × zoom / 100, integer multiply-divide.
    int width(const QString& text) const;
    // The extent height of one character, used for sizing.
    int lineHeight() const { return lineHeight_; }

private:
    QFontMetrics metrics_;
    mutable WidthCache<qint64> extents_;
    int zoom_;
    int lineHeight_;
};

struct BreakOptions {
    int width = 0;          // element width, reference pixels at the zoom
    bool autoSize = false;  // one unbroken line per paragraph
    bool wordWrap = true;
};

// Formats a text: line feeds removed, split at carriage returns, each
// paragraph broken into lines no wider than the element. Appends to `out`.
// False when characters were left out: a word wider than the element, or
// the rest of a paragraph that may not wrap.
bool breakText(QStringView text, const BreakOptions& options, const TextMeasurer& measure, QStringList& out);

} // namespace cm
