#pragma once
// Owned sub-objects of reports, bands and elements: font, frame, pen, brush,
// string lists and pictures. Each has its own property table and tells its
// owner about changes through onChange.
#include "report/enums.h"
#include "report/proptable.h"

#include <QImage>
#include <functional>

namespace cm {

// Colours are 0x00BBGGRR; values from 0x80000000 name system colours.
using TColor = int32_t;
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clBtnFace = static_cast<TColor>(0x8000000F);
constexpr TColor clWindow = static_cast<TColor>(0x80000005);
constexpr TColor clWindowText = static_cast<TColor>(0x80000008);
constexpr TColor clNone = 0x1FFFFFFF;
constexpr int DEFAULT_CHARSET = 1;

// Fonts keep the height in pixels at 96 per inch; the size in points follows from it.
class TQRFont : public Persistent {
public:
    const ClassInfo& classInfo() const override;
    static const ClassInfo& staticClassInfo();

    int charset() const { return charset_; }
    TColor color() const { return color_; }
    int height() const { return height_; }
    QString name() const { return name_; }
    TFontPitch pitch() const { return pitch_; }
    SetBits style() const { return style_; }
    int size() const;   // points

    void setCharset(int v) { if (charset_ != v) { charset_ = v; changed(); } }
    void setColor(TColor v) { if (color_ != v) { color_ = v; changed(); } }
    void setHeight(int v) { if (height_ != v) { height_ = v; changed(); } }
    void setName(const QString& v) { if (name_ != v) { name_ = v; changed(); } }
    void setPitch(TFontPitch v) { if (pitch_ != v) { pitch_ = v; changed(); } }
    void setStyle(SetBits v) { if (style_ != v) { style_ = v; changed(); } }
    void setSize(int points);
    bool hasStyle(FontStyleBit bit) const { return style_.bits & bit; }

    // Copies the values without raising onChange (parent font following).
    void assignQuietly(const TQRFont& other);
    bool sameAs(const TQRFont& other) const;

    std::function<void()> onChange;

private:
    void changed() { if (onChange) onChange(); }
    int charset_ = DEFAULT_CHARSET;
    TColor color_ = clWindowText;
    int height_ = -11;
    QString name_ = QStringLiteral("MS Sans Serif");
    TFontPitch pitch_ = TFontPitch::fpDefault;
    SetBits style_;
};

class TQRFrame : public Persistent {
public:
    const ClassInfo& classInfo() const override;
    static const ClassInfo& staticClassInfo();

    TColor color = clBlack;
    bool drawTop = false;
    bool drawBottom = false;
    bool drawLeft = false;
    bool drawRight = false;
    TPenStyle style = TPenStyle::psSolid;
    int width = 1;   // points

    // A frame counts as drawn when at least one side is on.
    bool anyFrame() const { return drawTop || drawBottom || drawLeft || drawRight; }
};

class TQRPen : public Persistent {
public:
    const ClassInfo& classInfo() const override;
    static const ClassInfo& staticClassInfo();

    TColor color = clBlack;
    TPenMode mode = TPenMode::pmCopy;
    TPenStyle style = TPenStyle::psSolid;
    int width = 1;
};

class TQRBrush : public Persistent {
public:
    const ClassInfo& classInfo() const override;
    static const ClassInfo& staticClassInfo();

    TColor color = clWhite;
    TBrushStyle style = TBrushStyle::bsSolid;
};

// A list of text lines, stored as "<Property>.Strings".
class TQRStrings : public Persistent {
public:
    const ClassInfo& classInfo() const override;
    static const ClassInfo& staticClassInfo();

    QStringList lines;
    std::function<void()> onChange;
    void setLines(const QStringList& l) { lines = l; if (onChange) onChange(); }
    QString text() const;   // lines joined by CR LF, each line followed by it
};

// A picture as stored: the graphic class name ("TBitmap", "TMetafile",
// "TIcon") and its data. Bitmaps decode to an image; other kinds are kept
// as bytes and show empty.
class TQRPicture : public Persistent {
public:
    const ClassInfo& classInfo() const override;
    static const ClassInfo& staticClassInfo();

    bool isEmpty() const { return graphicClass.isEmpty(); }
    void clear() { graphicClass.clear(); data.clear(); cache_ = QImage(); }
    // Takes any image Qt can read (BMP, PNG, JPEG ...) and stores it as a bitmap.
    bool loadFromImage(const QImage& image);
    QImage image() const;   // empty when the picture is not a decodable bitmap

    QString graphicClass;
    QByteArray data;        // for TBitmap: a complete BMP file

    // The "Data" form: short string class name, then the graphic's data
    // (for TBitmap a u32 byte count and the BMP file).
    QByteArray streamData() const;
    bool setStreamData(const QByteArray& bytes);

private:
    mutable QImage cache_;
};

// A bitmap stored as "<Property>.Data": a u32 byte count and a BMP file.
class TQRBitmap : public Persistent {
public:
    const ClassInfo& classInfo() const override;
    static const ClassInfo& staticClassInfo();

    bool isEmpty() const { return bmp.isEmpty(); }
    QImage image() const;
    QByteArray bmp;
};

QByteArray imageToBmp(const QImage& image);

} // namespace cm
