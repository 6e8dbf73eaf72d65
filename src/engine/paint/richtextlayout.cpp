#include "engine/paint/richtextlayout.h"

#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextLayout>

#include <algorithm>

namespace cm {

namespace {

constexpr qreal PointsPerInch = 72;

QFont scaledFont(const QFont& font, qreal pointSize, qreal dotsPerInch)
{
    QFont f = font;
    f.setPixelSize(std::max(1, int(pointSize * dotsPerInch / PointsPerInch + 0.5)));
    return f;
}

} // namespace

RichTextLayout::RichTextLayout(const QTextDocument& document, qreal dotsPerInch)
    : document_(document), dotsPerInch_(dotsPerInch)
{
}

int RichTextLayout::length() const
{
    return std::max(0, document_.characterCount() - 1);
}

int RichTextLayout::format(QPainter* painter, const QRectF& rect, int start) const
{
    const int total = length();
    if (start < 0)
        start = 0;
    if (start >= total)
        return total;
    const QFont baseFont = document_.defaultFont();
    const qreal basePoints = baseFont.pointSizeF() > 0 ? baseFont.pointSizeF() : 12;
    const QFont layoutFont = scaledFont(baseFont, basePoints, dotsPerInch_);
    qreal y = 0;
    for (QTextBlock block = document_.findBlock(start); block.isValid(); block = block.next()) {
        const int offset = std::max(0, start - block.position());
        const QString text = block.text().mid(offset);
        // The block's formats, moved to the part being laid out and sized for the page.
        QList<QTextLayout::FormatRange> ranges;
        qreal emptyPoints = basePoints;
        QFont emptyFont = baseFont;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            const int from = std::max(fragment.position() - block.position() - offset, 0);
            const int to = fragment.position() + fragment.length() - block.position() - offset;
            if (to <= from)
                continue;
            const QTextCharFormat source = fragment.charFormat();
            const qreal points = source.fontPointSize() > 0 ? source.fontPointSize() : basePoints;
            QTextCharFormat format;
            format.setFont(scaledFont(source.font(), points, dotsPerInch_));
            if (source.foreground().style() != Qt::NoBrush)
                format.setForeground(source.foreground());
            ranges.append(QTextLayout::FormatRange{from, to - from, format});
        }
        if (text.isEmpty()) {
            // An empty paragraph is as tall as the size it was written in.
            const QTextCharFormat blockChars = block.charFormat();
            if (blockChars.fontPointSize() > 0)
                emptyPoints = blockChars.fontPointSize();
            emptyFont = blockChars.font();
        }
        QTextLayout layout(text, text.isEmpty() ? scaledFont(emptyFont, emptyPoints, dotsPerInch_) : layoutFont);
        layout.setFormats(ranges);
        QTextOption option(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask);
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        int stoppedAt = -1;
        while (true) {
            QTextLine line = layout.createLine();
            if (!line.isValid())
                break;
            line.setLineWidth(rect.width());
            if (y + line.height() > rect.height()) {
                stoppedAt = block.position() + offset + line.textStart();
                break;
            }
            line.setPosition(QPointF(0, y));
            y += line.height();
        }
        layout.endLayout();
        if (painter) {
            const int lines = layout.lineCount() - (stoppedAt >= 0 ? 1 : 0);
            for (int i = 0; i < lines; ++i)
                layout.lineAt(i).draw(painter, rect.topLeft());
        }
        if (stoppedAt >= 0)
            return std::min(stoppedAt, total);
    }
    return total;
}

} // namespace cm
