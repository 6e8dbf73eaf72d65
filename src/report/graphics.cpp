#include "report/graphics.h"

#include "report/propbuilder.h"

#include <QBuffer>
#include <QtEndian>

namespace cm {

using namespace props;

namespace {
// Rounds a*b/c to the nearest integer, halves away from zero, like the
// platform's multiply-divide that fonts use to turn points into pixels.
int mulDiv(int a, int b, int c)
{
    const long long p = static_cast<long long>(a) * b;
    const long long half = c / 2;
    return static_cast<int>(p >= 0 ? (p + half) / c : -((-p + half) / c));
}
constexpr int kPixelsPerInch = 96;
} // namespace

int TQRFont::size() const { return -mulDiv(height_, 72, kPixelsPerInch); }
void TQRFont::setSize(int points) { setHeight(-mulDiv(points, kPixelsPerInch, 72)); }

void TQRFont::assignQuietly(const TQRFont& o)
{
    charset_ = o.charset_;
    color_ = o.color_;
    height_ = o.height_;
    name_ = o.name_;
    pitch_ = o.pitch_;
    style_ = o.style_;
}

bool TQRFont::sameAs(const TQRFont& o) const
{
    return charset_ == o.charset_ && color_ == o.color_ && height_ == o.height_ &&
           name_ == o.name_ && pitch_ == o.pitch_ && style_ == o.style_;
}

const ClassInfo& TQRFont::classInfo() const { return staticClassInfo(); }
const ClassInfo& TQRFont::staticClassInfo()
{
    static const ClassInfo info{
        "TFont",
        {
            prop<TQRFont>("Charset", PropKind::Charset, &TQRFont::charset, &TQRFont::setCharset),
            prop<TQRFont>("Color", PropKind::Color, &TQRFont::color, &TQRFont::setColor),
            prop<TQRFont>("Height", PropKind::Integer, &TQRFont::height, &TQRFont::setHeight),
            prop<TQRFont>("Name", PropKind::String, &TQRFont::name, &TQRFont::setName),
            prop<TQRFont>("Pitch", PropKind::Enum, &TQRFont::pitch, &TQRFont::setPitch)
                .type(&enums::fontPitch).def(0),
            prop<TQRFont>("Style", PropKind::Set, &TQRFont::style, &TQRFont::setStyle)
                .type(&enums::fontStyle),
            prop<TQRFont>("Size", PropKind::Integer, &TQRFont::size, &TQRFont::setSize).never(),
        },
        {},
        {},
    };
    return info;
}

const ClassInfo& TQRFrame::classInfo() const { return staticClassInfo(); }
const ClassInfo& TQRFrame::staticClassInfo()
{
    static const ClassInfo info{
        "TQRFrame",
        {
            field("Color", PropKind::Color, &TQRFrame::color),
            field("DrawTop", PropKind::Boolean, &TQRFrame::drawTop),
            field("DrawBottom", PropKind::Boolean, &TQRFrame::drawBottom),
            field("DrawLeft", PropKind::Boolean, &TQRFrame::drawLeft),
            field("DrawRight", PropKind::Boolean, &TQRFrame::drawRight),
            field("Style", PropKind::Enum, &TQRFrame::style).type(&enums::penStyle).def(0),
            field("Width", PropKind::Integer, &TQRFrame::width).def(1),
        },
        {},
        {},
    };
    return info;
}

const ClassInfo& TQRPen::classInfo() const { return staticClassInfo(); }
const ClassInfo& TQRPen::staticClassInfo()
{
    static const ClassInfo info{
        "TPen",
        {
            field("Color", PropKind::Color, &TQRPen::color).def(0),
            field("Mode", PropKind::Enum, &TQRPen::mode).type(&enums::penMode)
                .def(static_cast<int>(TPenMode::pmCopy)),
            field("Style", PropKind::Enum, &TQRPen::style).type(&enums::penStyle).def(0),
            field("Width", PropKind::Integer, &TQRPen::width).def(1),
        },
        {},
        {},
    };
    return info;
}

const ClassInfo& TQRBrush::classInfo() const { return staticClassInfo(); }
const ClassInfo& TQRBrush::staticClassInfo()
{
    static const ClassInfo info{
        "TBrush",
        {
            field("Color", PropKind::Color, &TQRBrush::color).def(clWhite),
            field("Style", PropKind::Enum, &TQRBrush::style).type(&enums::brushStyle).def(0),
        },
        {},
        {},
    };
    return info;
}

QString TQRStrings::text() const
{
    QString s;
    for (const QString& l : lines) {
        s += l;
        s += QStringLiteral("\r\n");
    }
    return s;
}

const ClassInfo& TQRStrings::classInfo() const { return staticClassInfo(); }
const ClassInfo& TQRStrings::staticClassInfo()
{
    static const ClassInfo info{
        "TStrings",
        {},
        {
            DefinedProp{
                "Strings",
                [](const Persistent& o) -> std::optional<DefinedValue> {
                    const auto& s = static_cast<const TQRStrings&>(o);
                    if (s.lines.isEmpty())
                        return std::nullopt;
                    DefinedValue v;
                    v.kind = DefinedValue::Kind::Lines;
                    v.lines = s.lines;
                    return v;
                },
                [](Persistent& o, const DefinedValue& v) {
                    if (v.kind != DefinedValue::Kind::Lines)
                        return false;
                    static_cast<TQRStrings&>(o).setLines(v.lines);
                    return true;
                },
            },
        },
        {},
    };
    return info;
}

QByteArray imageToBmp(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

bool TQRPicture::loadFromImage(const QImage& image)
{
    if (image.isNull())
        return false;
    graphicClass = QStringLiteral("TBitmap");
    data = imageToBmp(image);
    cache_ = image;
    return true;
}

QImage TQRPicture::image() const
{
    if (cache_.isNull() && graphicClass == QLatin1String("TBitmap") && !data.isEmpty())
        cache_ = QImage::fromData(data, "BMP");
    return cache_;
}

QByteArray TQRPicture::streamData() const
{
    QByteArray out;
    const QByteArray cls = graphicClass.toLatin1().left(255);
    out.append(static_cast<char>(cls.size()));
    out.append(cls);
    if (graphicClass == QLatin1String("TBitmap")) {
        char len[4];
        qToLittleEndian<quint32>(static_cast<quint32>(data.size()), len);
        out.append(len, 4);
    }
    out.append(data);
    return out;
}

bool TQRPicture::setStreamData(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return false;
    const int n = static_cast<unsigned char>(bytes[0]);
    if (bytes.size() < 1 + n)
        return false;
    const QString cls = QString::fromLatin1(bytes.mid(1, n));
    QByteArray rest = bytes.mid(1 + n);
    if (cls == QLatin1String("TBitmap")) {
        if (rest.size() < 4)
            return false;
        const quint32 len = qFromLittleEndian<quint32>(rest.constData());
        if (len > static_cast<quint32>(rest.size() - 4))
            return false;
        rest = rest.mid(4, len);
    }
    graphicClass = cls;
    data = rest;
    cache_ = QImage();
    return true;
}

const ClassInfo& TQRPicture::classInfo() const { return staticClassInfo(); }
const ClassInfo& TQRPicture::staticClassInfo()
{
    static const ClassInfo info{
        "TPicture",
        {},
        {
            DefinedProp{
                "Data",
                [](const Persistent& o) -> std::optional<DefinedValue> {
                    const auto& p = static_cast<const TQRPicture&>(o);
                    if (p.isEmpty())
                        return std::nullopt;
                    DefinedValue v;
                    v.kind = DefinedValue::Kind::Binary;
                    v.binary = p.streamData();
                    return v;
                },
                [](Persistent& o, const DefinedValue& v) {
                    return v.kind == DefinedValue::Kind::Binary &&
                           static_cast<TQRPicture&>(o).setStreamData(v.binary);
                },
            },
        },
        {},
    };
    return info;
}

QImage TQRBitmap::image() const { return bmp.isEmpty() ? QImage() : QImage::fromData(bmp, "BMP"); }

const ClassInfo& TQRBitmap::classInfo() const { return staticClassInfo(); }
const ClassInfo& TQRBitmap::staticClassInfo()
{
    static const ClassInfo info{
        "TBitmap",
        {},
        {
            DefinedProp{
                "Data",
                [](const Persistent& o) -> std::optional<DefinedValue> {
                    const auto& b = static_cast<const TQRBitmap&>(o);
                    if (b.isEmpty())
                        return std::nullopt;
                    DefinedValue v;
                    v.kind = DefinedValue::Kind::Binary;
                    char len[4];
                    qToLittleEndian<quint32>(static_cast<quint32>(b.bmp.size()), len);
                    v.binary = QByteArray(len, 4) + b.bmp;
                    return v;
                },
                [](Persistent& o, const DefinedValue& v) {
                    if (v.kind != DefinedValue::Kind::Binary || v.binary.size() < 4)
                        return false;
                    const quint32 len = qFromLittleEndian<quint32>(v.binary.constData());
                    if (len > static_cast<quint32>(v.binary.size() - 4))
                        return false;
                    static_cast<TQRBitmap&>(o).bmp = v.binary.mid(4, len);
                    return true;
                },
            },
        },
        {},
    };
    return info;
}

} // namespace cm
