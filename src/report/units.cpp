#include "report/units.h"

#include "report/bands.h"
#include "report/graphics.h"
#include "report/propbuilder.h"

#include <QLocale>
#include <cmath>

namespace cm {

TQRUnit defaultUnitForLocale()
{
    return QLocale::system().measurementSystem() == QLocale::ImperialUSSystem ? TQRUnit::Inches
                                                                             : TQRUnit::MM;
}

TQRUnitBase::TQRUnitBase()
    : unit_(defaultUnitForLocale()), savedUnit_(unit_)
{
}

Extended TQRUnitBase::charCellWidth() const
{
    Extended s = reportFont ? std::abs(reportFont->size()) : 10;
    if (s == 0) s = 10;
    return 80.0L / s / 2.54L;
}

Extended TQRUnitBase::charCellHeight() const
{
    Extended s = reportFont ? std::abs(reportFont->size()) : 10;
    if (s == 0) s = 10;
    return 145.3L / s / 2.54L;
}

Extended TQRUnitBase::toUnit(Extended n, bool horizontal) const
{
    switch (unit_) {
    case TQRUnit::MM: return n / 10;
    case TQRUnit::Inches: return n / 254;
    case TQRUnit::Pixels: return toPixels(n, zoom_);
    case TQRUnit::Characters:
        return horizontal ? n / charCellWidth() / 10 : n / charCellHeight() / 10;
    case TQRUnit::Native: return n;
    }
    return n;
}

Extended TQRUnitBase::toNative(Extended v, bool horizontal) const
{
    switch (unit_) {
    case TQRUnit::MM: return v * 10;
    case TQRUnit::Inches: return v * 254;
    case TQRUnit::Pixels: return fromPixels(v, zoom_);
    case TQRUnit::Characters:
        return horizontal ? v * charCellWidth() * 10 : v * charCellHeight() * 10;
    case TQRUnit::Native: return v;
    }
    return v;
}

void TQRUnitBase::pushPixelUnits()
{
    savedUnit_ = unit_;
    unit_ = TQRUnit::Pixels;
}

void TQRUnitBase::popUnits() { unit_ = savedUnit_; }

namespace {
template <class S>
DefinedProp valuesOf()
{
    return DefinedProp{
        "Values",
        [](const Persistent& o) -> std::optional<DefinedValue> {
            DefinedValue v;
            v.kind = DefinedValue::Kind::Reals;
            const auto vals = static_cast<const S&>(o).storedValues();
            v.reals.assign(vals.begin(), vals.end());
            return v;
        },
        [](Persistent& o, const DefinedValue& v) {
            auto& vals = static_cast<S&>(o).values;
            if (v.kind != DefinedValue::Kind::Reals)
                return false;
            // A shorter list sets what it holds; extra values are ignored.
            for (size_t i = 0; i < vals.size() && i < v.reals.size(); ++i)
                vals[i] = v.reals[i];
            return true;
        },
    };
}
} // namespace

// --- band size

void TQRBandSize::applyToControl()
{
    if (!control || parentUpdating_)
        return;
    parentUpdating_ = true;
    control->bounds.setHeight(roundedPixels(values[0], kModelZoom));
    control->bounds.setWidth(roundedPixels(values[1], kModelZoom));
    parentUpdating_ = false;
}

std::array<Extended, 2> TQRBandSize::storedValues() const
{
    auto* band = dynamic_cast<const TQRCustomBand*>(control);
    if (!band || zoom() == kModelZoom)
        return values;
    return {values[0], band->arrangedWidthNative(zoom())};
}

const ClassInfo& TQRBandSize::classInfo() const { return staticClassInfo(); }
const ClassInfo& TQRBandSize::staticClassInfo()
{
    using namespace props;
    static const ClassInfo info{
        "TQRBandSize",
        {
            prop<TQRBandSize>("Height", PropKind::Float, &TQRBandSize::height, &TQRBandSize::setHeight).never(),
            prop<TQRBandSize>("Width", PropKind::Float, &TQRBandSize::width, &TQRBandSize::setWidth).never(),
        },
        {valuesOf<TQRBandSize>()},
        {},
    };
    return info;
}

// --- element size

void TQRPrintableSize::applyToControl()
{
    if (!control || parentUpdating_)
        return;
    parentUpdating_ = true;
    control->bounds = pixelRect(kModelZoom);
    parentUpdating_ = false;
}

QRect TQRPrintableSize::pixelRect(int zoom) const
{
    return QRect(roundedPixels(values[L], zoom), roundedPixels(values[T], zoom), roundedPixels(values[W], zoom),
                 roundedPixels(values[H], zoom));
}

namespace {
TQRPrintableSize::Index valueIndex(BoundsEdge edge)
{
    switch (edge) {
    case BoundsEdge::Left: return TQRPrintableSize::L;
    case BoundsEdge::Top: return TQRPrintableSize::T;
    case BoundsEdge::Width: return TQRPrintableSize::W;
    case BoundsEdge::Height: break;
    }
    return TQRPrintableSize::H;
}
} // namespace

void TQRPrintableSize::setPixelEdge(BoundsEdge edge, int value, int zoom)
{
    Extended& v = values[valueIndex(edge)];
    if (roundedPixels(v, zoom) != value)
        v = fromPixels(value, zoom);
}

void TQRPrintableSize::takeControlBounds()
{
    if (!control || parentUpdating_)
        return;
    parentUpdating_ = true;
    const QRect b = control->bounds;
    setPixelEdge(BoundsEdge::Height, b.height(), kModelZoom);
    setPixelEdge(BoundsEdge::Width, b.width(), kModelZoom);
    setPixelEdge(BoundsEdge::Top, b.top(), kModelZoom);
    setPixelEdge(BoundsEdge::Left, b.left(), kModelZoom);
    parentUpdating_ = false;
}

const ClassInfo& TQRPrintableSize::classInfo() const { return staticClassInfo(); }
const ClassInfo& TQRPrintableSize::staticClassInfo()
{
    using namespace props;
    using S = TQRPrintableSize;
    static const ClassInfo info{
        "TQRPrintableSize",
        {
            prop<S>("Height", PropKind::Float, &S::height, &S::setHeight).never(),
            prop<S>("Left", PropKind::Float, &S::left, &S::setLeft).never(),
            prop<S>("Top", PropKind::Float, &S::top, &S::setTop).never(),
            prop<S>("Width", PropKind::Float, &S::width, &S::setWidth).never(),
        },
        {valuesOf<S>()},
        {},
    };
    return info;
}

// --- page

TQRPage::TQRPage()
{
    if (currentUnit() == TQRUnit::Inches) {
        paperSize_ = TQRPaperSize::Letter;
        values = {127, 2794, 127, 2159, 127, 127, 0};
    } else {
        paperSize_ = TQRPaperSize::A4;
        values = {100, 2970, 100, 2100, 100, 100, 0};
    }
}

void TQRPage::setValue(Index i, Extended v)
{
    if ((i == Wid || i == Len) && paperSize_ != TQRPaperSize::Custom)
        return;   // only a custom paper takes its width and length
    values[i] = toNative(v, isHorizontal(i));
    if (i == Wid || i == Len || i == Bottom)
        applyToControl();
    if (onLayoutChanged)
        onLayoutChanged();
}

void TQRPage::setColumns(int c)
{
    if (c <= 0 || c == columns_)
        return;
    columns_ = c;
    if (onLayoutChanged)
        onLayoutChanged();
}

void TQRPage::setOrientation(TQROrientation o)
{
    orientation_ = o;
    setPaperSize(paperSize_);
}

void TQRPage::setPaperSize(TQRPaperSize p)
{
    if (isNamedPaper(p)) {
        const TQRUnit saved = currentUnit();
        TQRUnitBase::changeUnit(TQRUnit::MM);
        paperSize_ = TQRPaperSize::Custom;
        const PaperDimensions d = paperDimensions(p);
        const bool landscape = orientation_ == TQROrientation::poLandscape;
        // The table holds millimetres as doubles; the extended value is taken
        // from the decimal text so 215.9 mm is 2159 native units exactly.
        const Extended w = std::strtold(QByteArray::number(d.widthMM, 'g', 10).constData(), nullptr);
        const Extended l = std::strtold(QByteArray::number(d.lengthMM, 'g', 10).constData(), nullptr);
        values[Wid] = toNative(landscape ? l : w, true);
        values[Len] = toNative(landscape ? w : l, false);
        TQRUnitBase::changeUnit(saved);
        applyToControl();
    }
    paperSize_ = p;
    if (onLayoutChanged)
        onLayoutChanged();
}

void TQRPage::setRuler(bool r)
{
    if (r == ruler_)
        return;
    ruler_ = r;
    if (onLayoutChanged)
        onLayoutChanged();
}

void TQRPage::changeUnit(TQRUnit unit)
{
    TQRUnitBase::changeUnit(unit);
    if (onLayoutChanged)
        onLayoutChanged();
}

void TQRPage::applyToControl()
{
    if (!control || parentUpdating_)
        return;
    parentUpdating_ = true;
    control->bounds.setWidth(roundedPixels(values[Wid], kModelZoom));
    control->bounds.setHeight(roundedPixels(values[Len], kModelZoom));
    parentUpdating_ = false;
}

void TQRPage::takeControlSize(int widthPx, int heightPx, int zoom)
{
    if (parentUpdating_ || paperSize_ != TQRPaperSize::Custom)
        return;
    values[Wid] = fromPixels(widthPx, zoom);
    values[Len] = fromPixels(heightPx, zoom);
}

const ClassInfo& TQRPage::classInfo() const { return staticClassInfo(); }
const ClassInfo& TQRPage::staticClassInfo()
{
    using namespace props;
    using S = TQRPage;
    static const ClassInfo info{
        "TQRPage",
        {
            prop<S>("BottomMargin", PropKind::Float, &S::bottomMargin, &S::setBottomMargin),
            prop<S>("Columns", PropKind::Integer, &S::columns, &S::setColumns),
            prop<S>("ColumnSpace", PropKind::Float, &S::columnSpace, &S::setColumnSpace),
            prop<S>("LeftMargin", PropKind::Float, &S::leftMargin, &S::setLeftMargin),
            prop<S>("Length", PropKind::Float, &S::length, &S::setLength),
            prop<S>("Orientation", PropKind::Enum, &S::orientation, &S::setOrientation)
                .type(&enums::orientation).def(0),
            prop<S>("PaperSize", PropKind::Enum, &S::paperSize, &S::setPaperSize).type(&enums::paperSize),
            prop<S>("RightMargin", PropKind::Float, &S::rightMargin, &S::setRightMargin),
            prop<S>("Ruler", PropKind::Boolean, &S::ruler, &S::setRuler).def(1),
            prop<S>("TopMargin", PropKind::Float, &S::topMargin, &S::setTopMargin),
            prop<S>("Width", PropKind::Float, &S::width, &S::setWidth),
        },
        {valuesOf<S>()},
        {},
    };
    return info;
}

} // namespace cm
