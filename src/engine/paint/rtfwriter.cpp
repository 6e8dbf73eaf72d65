#include "engine/paint/rtfwriter.h"

#include "report/codepage.h"

#include <QColor>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

#include <cmath>
#include <vector>

namespace cm {

namespace {

class Writer {
public:
    explicit Writer(const QTextDocument& document) : document_(document), codePage_(CodePage::layout()) {}
    QByteArray run();

private:
    int fontIndex(const QString& family);
    int colorIndex(const QColor& color);
    void writeText(QStringView text, QByteArray& out) const;
    QByteArray body();

    const QTextDocument& document_;
    const CodePage& codePage_;
    QStringList fonts_;
    std::vector<QColor> colors_;
};

int Writer::fontIndex(const QString& family)
{
    qsizetype i = fonts_.indexOf(family);
    if (i < 0) {
        fonts_.append(family);
        i = fonts_.size() - 1;
    }
    return int(i);
}

int Writer::colorIndex(const QColor& color)
{
    const QRgb rgb = color.rgb();
    for (size_t i = 0; i < colors_.size(); ++i)
        if (colors_[i].rgb() == rgb)
            return int(i) + 1;   // entry 0 is the automatic colour
    colors_.push_back(color);
    return int(colors_.size());
}

void Writer::writeText(QStringView text, QByteArray& out) const
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out += '\\';
            out += char(u);
        } else if (u == '\t') {
            out += "\\tab ";
        } else if (u == QChar::LineSeparator || u == u'\n') {
            out += "\\line ";
        } else if (u == 0xA0) {
            out += "\\~";
        } else if (u >= 0x20 && u < 0x80) {
            out += char(u);
        } else if (u < 0x20) {
            continue;   // other control characters have no place in the text
        } else if (!c.isSurrogate() && codePage_.canEncode(QStringView(&c, 1))) {
            const QByteArray byte = codePage_.encode(QStringView(&c, 1));
            out += "\\'";
            out += QByteArray::number(static_cast<unsigned char>(byte.at(0)), 16).rightJustified(2, '0');
        } else {
            // \uN takes a signed 16-bit value; '?' is the fallback for old readers.
            out += "\\u";
            out += QByteArray::number(int(int16_t(u)));
            out += '?';
        }
    }
}

QByteArray Writer::body()
{
    QByteArray out;
    const qreal defaultPoints = document_.defaultFont().pointSizeF() > 0 ? document_.defaultFont().pointSizeF() : 12;
    for (QTextBlock block = document_.begin(); block.isValid(); block = block.next()) {
        out += "\\pard";
        const Qt::Alignment a = block.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
        if (a & Qt::AlignHCenter) out += "\\qc";
        else if (a & Qt::AlignRight) out += "\\qr";
        else if (a & Qt::AlignJustify) out += "\\qj";
        else out += "\\ql";
        out += ' ';
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            const QTextCharFormat f = fragment.charFormat();
            const QStringList families = f.fontFamilies().toStringList();
            const QString family = families.isEmpty() ? document_.defaultFont().family() : families.front();
            const qreal points = f.fontPointSize() > 0 ? f.fontPointSize() : defaultPoints;
            out += "{\\f" + QByteArray::number(fontIndex(family));
            out += "\\fs" + QByteArray::number(std::max(1, int(std::lround(points * 2))));
            if (f.fontWeight() >= QFont::DemiBold) out += "\\b";
            if (f.fontItalic()) out += "\\i";
            if (f.fontUnderline()) out += "\\ul";
            if (f.fontStrikeOut()) out += "\\strike";
            if (f.foreground().style() != Qt::NoBrush)
                out += "\\cf" + QByteArray::number(colorIndex(f.foreground().color()));
            out += ' ';
            writeText(fragment.text(), out);
            out += '}';
        }
        // Every paragraph ends with \par, as rich-text editors write it.
        out += "\\par\r\n";
    }
    return out;
}

QByteArray Writer::run()
{
    const QByteArray text = body();
    QByteArray out = "{\\rtf1\\ansi\\ansicpg" + QByteArray::number(codePage_.number()) + "\\deff0\\uc1";
    out += "{\\fonttbl";
    if (fonts_.isEmpty())
        fonts_.append(document_.defaultFont().family());
    for (qsizetype i = 0; i < fonts_.size(); ++i) {
        out += "{\\f" + QByteArray::number(i) + "\\fnil ";
        QString name = fonts_[i];
        name.remove(u';');
        writeText(name, out);
        out += ";}";
    }
    out += "}";
    if (!colors_.empty()) {
        out += "{\\colortbl ;";
        for (const QColor& c : colors_)
            out += "\\red" + QByteArray::number(c.red()) + "\\green" + QByteArray::number(c.green()) + "\\blue"
                 + QByteArray::number(c.blue()) + ';';
        out += "}";
    }
    out += "\r\n";
    out += text;
    out += "}";
    return out;
}

} // namespace

QByteArray writeRtf(const QTextDocument& document)
{
    return Writer(document).run();
}

} // namespace cm
