#pragma once
// The native unit (0.1 mm, 254 per inch) and the size objects of page, bands
// and elements. Values are stored once, in native units, as extended floats;
// the public lengths read and write in the size object's current unit.
#include "report/component.h"
#include "report/enums.h"
#include "report/papersize.h"
#include "report/printersettings.h"
#include "report/proptable.h"

#include <array>
#include <cmath>
#include <functional>

namespace cm {

class TQRFont;

// Model pixels are logical pixels at 96 per inch on every machine, so layouts
// load and save to the same bytes everywhere; the design surface scales them.
constexpr int kScreenPixelsPerInch = 96;
// The zoom of model pixels (and of printing). The report's own zoom is a view
// setting: it scales the design surface and the Pixels unit, never the model.
constexpr int kModelZoom = 100;

// The largest length (in native units: 10 m) and font size (points) a layout
// may hold. Far beyond any paper, and small enough that every length converts
// to whole pixels at any printer's resolution.
constexpr Extended kMaxNativeLength = 100000;
constexpr int kMaxFontPoints = 1638;
inline bool isLengthInRange(Extended native) { return std::fabs(native) <= kMaxNativeLength; }

// A whole number of pixels at one zoom seen at another.
inline int rescalePixels(int pixels, int fromZoom, int toZoom)
{
    return static_cast<int>(rnd(static_cast<Extended>(pixels) * toZoom / fromZoom));
}

TQRUnit defaultUnitForLocale();

class TQRUnitBase : public Persistent {
public:
    TQRUnitBase();

    Extended toUnit(Extended native, bool horizontal) const;
    Extended toNative(Extended value, bool horizontal) const;
    TQRUnit currentUnit() const { return unit_; }
    virtual void changeUnit(TQRUnit unit) { unit_ = unit; }
    void pushPixelUnits();
    void popUnits();
    virtual void applyToControl() {}
    void afterLoad() { applyToControl(); }

    // The zoom the Pixels unit reads and writes at: the report's.
    int zoom() const { return zoom_; }
    void setZoom(int zoom) { zoom_ = zoom; }
    Extended resolution() const { return resolution_; }

    // Native lengths as pixels at a zoom and back: the Pixels unit's formulas
    // with the zoom given. Model pixels are these at kModelZoom.
    Extended toPixels(Extended native, int zoom) const { return native / (254 / resolution_) * zoom / 100; }
    Extended fromPixels(Extended pixels, int zoom) const { return pixels * (254 / resolution_) / zoom * 100; }
    int roundedPixels(Extended native, int zoom) const { return static_cast<int>(rnd(toPixels(native, zoom))); }

    // The report's font decides the size of the Characters unit.
    const TQRFont* reportFont = nullptr;

protected:
    bool parentUpdating_ = false;

private:
    Extended charCellWidth() const;
    Extended charCellHeight() const;
    TQRUnit unit_;
    TQRUnit savedUnit_;
    Extended resolution_ = kScreenPixelsPerInch;
    int zoom_ = 100;
};

// A band's height and width: "Values" = (height, width).
class TQRBandSize : public TQRUnitBase {
public:
    const ClassInfo& classInfo() const override;
    static const ClassInfo& staticClassInfo();

    Extended height() const { return toUnit(values[0], false); }
    Extended width() const { return toUnit(values[1], true); }
    void setHeight(Extended v) { values[0] = toNative(v, false); applyToControl(); }
    void setWidth(Extended v) { values[1] = toNative(v, true); applyToControl(); }
    void applyToControl() override;
    // The report arranged the band `pixels` wide (model pixels).
    void setArrangedWidth(int pixels) { values[1] = fromPixels(pixels, kModelZoom); applyToControl(); }
    // "Values" as layout files store them: at another zoom than the model's the
    // width is the one the band is arranged to at that zoom.
    std::array<Extended, 2> storedValues() const;

    std::array<Extended, 2> values{20, 40};
    Component* control = nullptr;
};

// An element's size and position relative to its band:
// "Values" = (height, left, top, width).
class TQRPrintableSize : public TQRUnitBase {
public:
    const ClassInfo& classInfo() const override;
    static const ClassInfo& staticClassInfo();

    enum Index { H = 0, L = 1, T = 2, W = 3 };
    Extended height() const { return toUnit(values[H], false); }
    Extended left() const { return toUnit(values[L], true); }
    Extended top() const { return toUnit(values[T], false); }
    Extended width() const { return toUnit(values[W], true); }
    void setHeight(Extended v) { values[H] = toNative(v, false); applyToControl(); }
    void setLeft(Extended v) { values[L] = toNative(v, true); applyToControl(); }
    void setTop(Extended v) { values[T] = toNative(v, false); applyToControl(); }
    void setWidth(Extended v) { values[W] = toNative(v, true); applyToControl(); }
    void applyToControl() override;
    // The control was moved or resized from outside: take its model pixel bounds.
    void takeControlBounds();
    // The element's rectangle in pixels at a zoom.
    QRect pixelRect(int zoom) const;
    // One edge given in pixels at a zoom; unchanged when it already rounds to that value.
    void setPixelEdge(BoundsEdge edge, int value, int zoom);
    const std::array<Extended, 4>& storedValues() const { return values; }

    std::array<Extended, 4> values{20, 20, 20, 20};
    Component* control = nullptr;
};

// The page: "Values" = (BottomMargin, Length, TopMargin, Width, LeftMargin,
// RightMargin, ColumnSpace).
class TQRPage : public TQRUnitBase {
public:
    TQRPage();
    const ClassInfo& classInfo() const override;
    static const ClassInfo& staticClassInfo();

    enum Index { Bottom = 0, Len = 1, Top = 2, Wid = 3, Left = 4, Right = 5, ColSpace = 6 };

    Extended value(Index i) const { return toUnit(values[i], isHorizontal(i)); }
    void setValue(Index i, Extended v);
    static bool isHorizontal(Index i) { return i == Wid || i == Left || i == Right || i == ColSpace; }

    Extended bottomMargin() const { return value(Bottom); }
    Extended length() const { return value(Len); }
    Extended topMargin() const { return value(Top); }
    Extended width() const { return value(Wid); }
    Extended leftMargin() const { return value(Left); }
    Extended rightMargin() const { return value(Right); }
    Extended columnSpace() const { return value(ColSpace); }
    void setBottomMargin(Extended v) { setValue(Bottom, v); }
    void setLength(Extended v) { setValue(Len, v); }
    void setTopMargin(Extended v) { setValue(Top, v); }
    void setWidth(Extended v) { setValue(Wid, v); }
    void setLeftMargin(Extended v) { setValue(Left, v); }
    void setRightMargin(Extended v) { setValue(Right, v); }
    void setColumnSpace(Extended v) { setValue(ColSpace, v); }

    int columns() const { return columns_; }
    void setColumns(int c);
    TQROrientation orientation() const { return orientation_; }
    void setOrientation(TQROrientation o);
    TQRPaperSize paperSize() const { return paperSize_; }
    void setPaperSize(TQRPaperSize p);
    bool ruler() const { return ruler_; }
    void setRuler(bool r);

    void changeUnit(TQRUnit unit) override;
    void applyToControl() override;
    // The report control was resized by someone else (custom paper follows
    // it): the size in pixels at `zoom`.
    void takeControlSize(int widthPx, int heightPx, int zoom = kModelZoom);
    const std::array<Extended, 7>& storedValues() const { return values; }

    std::array<Extended, 7> values{};
    Component* control = nullptr;
    // Asks the report to re-lay-out its bands / repaint.
    std::function<void()> onLayoutChanged;

private:
    int columns_ = 1;
    TQROrientation orientation_ = TQROrientation::poPortrait;
    TQRPaperSize paperSize_ = TQRPaperSize::A4;
    bool ruler_ = true;
};

} // namespace cm
