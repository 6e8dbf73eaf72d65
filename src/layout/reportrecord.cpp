#include "layout/reportrecord.h"

namespace cm {

void writeFontRecord(ByteWriter& out, const TQRFont& font, const CodePage& cp)
{
    QByteArray name = cp.encode(font.name()).left(254);
    out.i32(font.color());
    out.i16(static_cast<int16_t>(font.height()));
    out.u8(static_cast<uint8_t>(font.pitch()));
    out.i16(static_cast<int16_t>(font.size()));
    out.u16(static_cast<uint16_t>(font.style().bits & 0x0F));
    out.u8(static_cast<uint8_t>(name.size() + 1));
    out.bytes(name);
    out.u8(0);
    out.u8(static_cast<uint8_t>(font.charset()));
}

void readFontRecord(ByteReader& in, TQRFont& font, const CodePage& cp)
{
    const int32_t color = in.i32();
    const int16_t height = in.i16();
    const uint8_t pitch = in.u8();
    const int16_t size = in.i16();
    const uint16_t style = in.u16();
    const uint8_t n = in.u8();
    QByteArrayView name = in.bytes(n);
    // Older writers stored no NUL and no character set after the name.
    if (n > 0 && name[n - 1] == '\0') {
        name = name.first(n - 1);
        font.setCharset(in.u8());
    }
    font.setColor(color);
    font.setHeight(height);
    font.setName(cp.decode(name));
    font.setPitch(pitch <= 2 ? static_cast<TFontPitch>(pitch) : TFontPitch::fpDefault);
    font.setSize(size);
    font.setStyle(SetBits{static_cast<uint32_t>(style & 0x0F)});
}

void writeStringBuffer(ByteWriter& out, const QString& text, int size, const CodePage& cp)
{
    const qsizetype start = out.pos();
    out.shortString(text, cp);
    out.zeros(size - (out.pos() - start));
}

void writeReportRecord(ByteWriter& out, TQRCustomReport& r, int16_t dataSetRef,
                       const QString& dataSetName, const QString& reportName, const CodePage& cp)
{
    const qsizetype start = out.pos();
    const TQRPage& p = r.page;
    out.i16(dataSetRef);
    out.i32(r.frame.color);
    out.u8(r.frame.drawBottom);
    out.u8(r.frame.drawLeft);
    out.u8(r.frame.drawRight);
    out.u8(r.frame.drawTop);
    out.u8(static_cast<uint8_t>(r.frame.style));
    out.i16(static_cast<int16_t>(r.frame.width));
    out.u8(static_cast<uint8_t>(r.options.bits & 0x07));
    out.ext(p.bottomMargin());
    out.i16(static_cast<int16_t>(p.columns()));
    out.ext(p.columnSpace());
    out.ext(p.leftMargin());
    out.ext(p.length());
    out.u8(static_cast<uint8_t>(p.orientation()));
    out.u8(static_cast<uint8_t>(p.paperSize()));
    out.ext(p.rightMargin());
    out.u8(p.ruler());
    out.ext(p.topMargin());
    out.ext(p.width());
    out.u16(static_cast<uint16_t>(r.printerSettings.copies));
    out.u8(r.printerSettings.duplex);
    out.u8(static_cast<uint8_t>(r.printerSettings.outputBin));
    writeStringBuffer(out, r.reportTitle, 256, cp);
    out.u8(0);
    out.u8(r.snapToGrid);
    out.u8(static_cast<uint8_t>(r.units()));
    out.i32(r.zoom());
    Q_ASSERT(out.pos() - start == kReportRecordSize);

    if (dataSetRef == -1)
        out.shortString(dataSetName, cp);
    const QStringList& lines = r.description.lines;
    const int count = static_cast<int>(std::min<qsizetype>(lines.size(), 0xFFFF));
    out.u16(static_cast<uint16_t>(count));
    for (int i = 0; i < count; ++i)
        out.shortString(lines[i], cp);
    writeFontRecord(out, r.font(), cp);
    out.shortString(r.hint, cp);
    out.shortString(reportName, cp);
}

int16_t readReportRecord(QByteArrayView body, ByteReader& in, TQRCustomReport& r, const CodePage& cp,
                         QString* dataSetNameOut)
{
    ByteReader b(body);
    const int16_t dataSetRef = b.i16();
    TQRFrame frame;
    frame.color = b.i32();
    frame.drawBottom = b.u8() != 0;
    frame.drawLeft = b.u8() != 0;
    frame.drawRight = b.u8() != 0;
    frame.drawTop = b.u8() != 0;
    const uint8_t style = b.u8();
    frame.style = style <= 6 ? static_cast<TPenStyle>(style) : TPenStyle::psSolid;
    frame.width = b.i16();
    const uint8_t options = b.u8();
    const Extended bottom = b.ext();
    const int16_t columns = b.i16();
    const Extended columnSpace = b.ext();
    const Extended left = b.ext();
    const Extended length = b.ext();
    const uint8_t orientation = b.u8();
    const uint8_t paper = b.u8();
    const Extended right = b.ext();
    const bool ruler = b.u8() != 0;
    const Extended top = b.ext();
    const Extended width = b.ext();
    const uint16_t copies = b.u16();
    const bool duplex = b.u8() != 0;
    const uint8_t bin = b.u8();
    ByteReader title(b.bytes(256));
    const QString reportTitle = title.shortString(cp);
    b.skip(1);
    const bool snap = b.u8() != 0;
    const uint8_t units = b.u8();
    const int32_t zoom = b.i32();

    // The trailer is read whole before anything is applied.
    QString dataSetName;
    if (dataSetRef == -1)
        dataSetName = in.shortString(cp);
    const uint16_t lineCount = in.u16();
    QStringList description;
    for (int i = 0; i < lineCount; ++i)
        description << in.shortString(cp);
    TQRFont font;
    font.assignQuietly(r.font());
    readFontRecord(in, font, cp);
    const QString hint = in.shortString(cp);
    // The stored component name is read and ignored; it may be missing.
    if (!in.atEnd()) {
        const uint8_t n = static_cast<uint8_t>(in.bytes(1)[0]);
        if (n <= in.bytesLeft())
            in.skip(n);
        else
            in.seek(in.pos() - 1);
    }

    r.snapToGrid = snap;
    r.page.TQRUnitBase::changeUnit(units <= 4 ? static_cast<TQRUnit>(units) : TQRUnit::MM);
    r.setZoom(zoom);
    r.frame = frame;
    r.options = SetBits{static_cast<uint32_t>(options & 0x07) | FirstPageHeader | LastPageFooter};
    TQRPage& p = r.page;
    p.setBottomMargin(bottom);
    p.setColumns(columns);
    p.setColumnSpace(columnSpace);
    p.setLeftMargin(left);
    p.setOrientation(orientation == 1 ? TQROrientation::poLandscape : TQROrientation::poPortrait);
    p.setPaperSize(paper < PaperSizeCount ? static_cast<TQRPaperSize>(paper) : TQRPaperSize::Custom);
    p.setWidth(width);
    p.setLength(length);
    p.setRightMargin(right);
    p.setRuler(ruler);
    p.setTopMargin(top);
    r.printerSettings.copies = copies;
    r.printerSettings.duplex = duplex;
    r.printerSettings.outputBin = bin < BinCount ? static_cast<TQRBin>(bin) : TQRBin::Auto;
    r.reportTitle = reportTitle;
    r.description.setLines(description);
    r.font().setCharset(font.charset());
    r.font().setColor(font.color());
    r.font().setHeight(font.height());
    r.font().setName(font.name());
    r.font().setPitch(font.pitch());
    r.font().setStyle(font.style());
    r.hint = hint;
    if (dataSetNameOut)
        *dataSetNameOut = dataSetName;
    return dataSetRef;
}

} // namespace cm
