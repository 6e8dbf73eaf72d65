#pragma once
// Lays out and draws a rich-text document from a start character into a
// rectangle of the page surface, reporting the first character that did not
// fit. Fonts are sized in points, so the page's resolution decides their size
// in dots and the layout does not depend on the screen.
#include <QRectF>

class QPainter;
class QTextDocument;

namespace cm {

class RichTextLayout {
public:
    // `dotsPerInch`: the resolution of the page surface's coordinates.
    RichTextLayout(const QTextDocument& document, qreal dotsPerInch);

    // Characters of the text; paragraph ends count as one.
    int length() const;

    // Lays whole lines out from `start` into `rect` (page dots) and draws them
    // when `painter` is set (null: measure only). Returns the first character
    // that did not fit, or length() when all did.
    int format(QPainter* painter, const QRectF& rect, int start) const;

private:
    const QTextDocument& document_;
    qreal dotsPerInch_;
};

} // namespace cm
