#include "engine/paint/textlayout.h"

#include <QImage>

namespace cm {

QPaintDevice& referenceDevice()
{
    static QImage device = [] {
        QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
        constexpr int DotsPerMeter96 = 3780;   // 96 / 0.0254, rounded
        image.setDotsPerMeterX(DotsPerMeter96);
        image.setDotsPerMeterY(DotsPerMeter96);
        return image;
    }();
    return device;
}

QFont toQFont(const TQRFont& font, qreal scale)
{
    QFont f(font.name());
    // A negative height is the character height, a positive one the cell
    // height; the cell is about a fifth taller than the character.
    const int height = font.height();
    const qreal pixels = height < 0 ? -height : height * 0.8;
    f.setPixelSize(std::max(1, int(pixels * scale + 0.5)));
    f.setBold(font.hasStyle(fsBold));
    f.setItalic(font.hasStyle(fsItalic));
    f.setUnderline(font.hasStyle(fsUnderline));
    f.setStrikeOut(font.hasStyle(fsStrikeOut));
    if (font.pitch() == TFontPitch::fpFixed)
        f.setFixedPitch(true);
    // Kerning would make a text's width depend on its neighbours, which the
    // word-by-word breaker cannot see.
    f.setKerning(false);
    return f;
}

QColor toQColor(TColor color)
{
    const auto bits = static_cast<uint32_t>(color);
    if (bits & 0x80000000u) {
        switch (bits & 0xFF) {
        case 5: return QColor(255, 255, 255);     // window
        case 8: return QColor(0, 0, 0);           // window text
        case 15: return QColor(240, 240, 240);    // button face
        case 16: return QColor(160, 160, 160);    // button shadow
        case 18: return QColor(0, 0, 0);          // button text
        default: return QColor(0, 0, 0);
        }
    }
    if (color == clNone)
        return QColor(Qt::transparent);
    return QColor(int(bits & 0xFF), int((bits >> 8) & 0xFF), int((bits >> 16) & 0xFF));
}

TextMeasurer::TextMeasurer(const QFont& font, int zoom)
    : metrics_(font, &referenceDevice()), zoom_(zoom), lineHeight_(metrics_.height())
{
}

int TextMeasurer::width(const QString& text) const
{
    const qint64 extent =
        text.isEmpty() ? 0 : extents_.width(text, [&] { return qint64(metrics_.horizontalAdvance(text)); });
    return int((extent + 1) * zoom_ / 100);
}

namespace {

// Adds one paragraph (no CR, no LF) word by word; false when characters
// other than blanks were left out because they did not fit.
bool breakParagraph(QStringView paragraph, const BreakOptions& o, const TextMeasurer& m, QStringList& out)
{
    if (o.autoSize) {
        out.append(paragraph.toString());
        return true;
    }
    bool kept = true;
    auto leaveOut = [&kept](QStringView text) {
        if (!text.trimmed().isEmpty())
            kept = false;
    };
    QString line;
    bool truncated = false;
    qsizetype start = 0;
    while (start < paragraph.size()) {
        qsizetype end = start;
        while (end < paragraph.size()) {
            const QChar c = paragraph[end++];
            if (c == u' ' || c == u'-')
                break;
        }
        const QStringView word = paragraph.sliced(start, end - start);
        start = end;
        const qsizetype lineLength = line.size();
        line += word;
        const bool fits = m.width(line) <= o.width;
        line.truncate(lineLength);
        if (fits) {
            line += word;
            continue;
        }
        QString rest = word.toString();
        if (line.isEmpty()) {
            // A word longer than the whole line: as many characters as fit.
            qsizetype n = 0;
            while (n < rest.size()) {
                line += rest[n];
                if (m.width(line) >= o.width) {
                    line.chop(1);
                    break;
                }
                ++n;
            }
            leaveOut(QStringView(rest).sliced(n));
            rest.clear();
        }
        out.append(line);
        line.clear();
        if (!rest.isEmpty() && m.width(rest) > o.width) {
            while (!rest.isEmpty() && (o.width <= 0 || m.width(rest) > o.width))
                rest.chop(1);
            leaveOut(word.sliced(rest.size()));   // rest is the whole word here
            if (!rest.isEmpty())
                out.append(rest);
            rest.clear();
        }
        if (!o.wordWrap) {
            leaveOut(rest);
            rest.clear();
            truncated = true;
        }
        line = rest;
    }
    if (!truncated)
        out.append(line);
    else
        leaveOut(line);
    return kept;
}

} // namespace

bool breakText(QStringView text, const BreakOptions& options, const TextMeasurer& measure, QStringList& out)
{
    bool kept = true;
    QString clean = text.toString();
    clean.remove(QChar(10));
    qsizetype from = 0;
    while (true) {
        const qsizetype cr = clean.indexOf(QChar(13), from);
        const QStringView piece = QStringView(clean).sliced(from, (cr < 0 ? clean.size() : cr) - from);
        if (piece.isEmpty())
            out.append(QString());
        else if (!breakParagraph(piece, options, measure, out))
            kept = false;
        if (cr < 0)
            break;
        from = cr + 1;
    }
    return kept;
}

} // namespace cm
