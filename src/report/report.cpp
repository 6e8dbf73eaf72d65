#include "report/report.h"

#include "report/elements.h"
#include "report/propbuilder.h"

#include <algorithm>
#include <set>

namespace cm {

// --- band switches

namespace {
constexpr TQRBandType kSwitchTypes[] = {TQRBandType::rbTitle, TQRBandType::rbPageHeader,
                                        TQRBandType::rbColumnHeader, TQRBandType::rbDetail,
                                        TQRBandType::rbPageFooter, TQRBandType::rbSummary};
}

bool TQRReportBands::has(TQRBandType t) const { return report_.firstBandOfType(t) != nullptr; }

void TQRReportBands::set(TQRBandType t, bool on)
{
    TQRCustomBand* existing = report_.firstBandOfType(t);
    if (on && !existing)
        report_.addBandOfType(t);
    else if (!on && existing)
        destroyComponent(existing);
}

const ClassInfo& TQRReportBands::classInfo() const { return staticClassInfo(); }
const ClassInfo& TQRReportBands::staticClassInfo()
{
    static const char* const names[] = {"HasTitle", "HasPageHeader", "HasColumnHeader",
                                        "HasDetail", "HasPageFooter", "HasSummary"};
    static const ClassInfo info = [] {
        ClassInfo ci{"TQRReportBands", {}, {}, {}};
        for (int i = 0; i < 6; ++i) {
            const TQRBandType t = kSwitchTypes[i];
            PropInfo p;
            p.name = names[i];
            p.kind = PropKind::Boolean;
            p.neverStored = true;
            p.get = [t](const Persistent& o) -> PropValue {
                return static_cast<const TQRReportBands&>(o).has(t);
            };
            p.set = [t](Persistent& o, const PropValue& v) {
                const bool* b = std::get_if<bool>(&v);
                if (!b)
                    return false;
                static_cast<TQRReportBands&>(o).set(t, *b);
                return true;
            };
            ci.props.push_back(p);
        }
        return ci;
    }();
    return info;
}

// --- report

TQRCustomReport::TQRCustomReport(Container* owner)
    : TQRBasePanel(owner)
{
    page.control = this;
    page.reportFont = &font();
    page.onLayoutChanged = [this] {
        if (!isLoading()) {
            orderBands();
            arrangeBands();
        }
    };
    font().setName(QStringLiteral("Arial"));
    font().setSize(10);
    setColor(clWhite);
    page.applyToControl();
}

TQRCustomReport::~TQRCustomReport() { destroying_ = true; }

void TQRCustomReport::setUnits(TQRUnit u)
{
    page.changeUnit(u);
    forEachSizeObject([u](TQRUnitBase& s) { s.changeUnit(u); });
}

void TQRCustomReport::setZoom(int z)
{
    if (z < 1 || z > 300)
        return;
    zoom_ = z;
    page.setZoom(z);
    forEachSizeObject([z](TQRUnitBase& s) { s.setZoom(z); });
}

QRect TQRCustomReport::zoomedBounds() const
{
    if (zoom_ == kModelZoom)
        return bounds;
    return QRect(bounds.left(), bounds.top(), page.roundedPixels(page.values[TQRPage::Wid], zoom_),
                 page.roundedPixels(page.values[TQRPage::Len], zoom_));
}

void TQRCustomReport::setZoomedEdge(BoundsEdge edge, int value)
{
    if (edge == BoundsEdge::Left || edge == BoundsEdge::Top) {
        setEdge(bounds, edge, value);
        return;
    }
    // The report is as large as its page; a custom page takes the new size.
    QRect zoomed = zoomedBounds();
    setEdge(zoomed, edge, value);
    page.takeControlSize(zoomed.width(), zoomed.height(), zoom_);
    page.applyToControl();
    if (!isLoading()) {
        orderBands();
        arrangeBands();
    }
}

void TQRCustomReport::forEachSizeObject(const std::function<void(TQRUnitBase&)>& fn)
{
    for (Component* c : childControls()) {
        if (auto* band = dynamic_cast<TQRCustomBand*>(c)) {
            fn(band->size);
            for (Component* e : band->childControls()) {
                if (auto* p = dynamic_cast<TQRPrintable*>(e))
                    fn(p->size);
            }
        } else if (auto* p = dynamic_cast<TQRPrintable*>(c)) {
            fn(p->size);
        }
    }
}


TQRBand* TQRCustomReport::addBandOfType(TQRBandType t)
{
    Container* container = owner();
    if (!container)
        return nullptr;
    TQRBand* band = createBand(container);
    band->setName(container->nextFreeName(bandTypeNameBase(t)));
    band->setParentControl(this);
    band->setBandType(t);
    return band;
}

TQRCustomBand* TQRCustomReport::firstBandOfType(TQRBandType t) const
{
    for (TQRCustomBand* b : bandList_) {
        if (b->bandType() == t)
            return b;
    }
    for (Component* c : childControls()) {
        if (auto* b = dynamic_cast<TQRCustomBand*>(c); b && b->bandType() == t)
            return b;
    }
    return nullptr;
}

void TQRCustomReport::assignControllerBands()
{
    controller_.header = firstBandOfType(TQRBandType::rbTitle);
    controller_.detail = firstBandOfType(TQRBandType::rbDetail);
    controller_.footer = firstBandOfType(TQRBandType::rbSummary);
}

void TQRCustomReport::orderBands()
{
    if (layoutSuspended_ || destroying_ || isLoading())
        return;
    assignControllerBands();
    controller_.collectSubControllers();

    // All bands: the old order first, then bands not listed yet in child order.
    std::vector<TQRCustomBand*> all;
    for (TQRCustomBand* b : bandList_) {
        if (b->parentControl() == this)
            all.push_back(b);
    }
    for (Component* c : childControls()) {
        auto* b = dynamic_cast<TQRCustomBand*>(c);
        if (b && std::find(all.begin(), all.end(), b) == all.end())
            all.push_back(b);
    }

    std::vector<TQRCustomBand*> ordered;
    auto contains = [&ordered](TQRCustomBand* b) {
        return std::find(ordered.begin(), ordered.end(), b) != ordered.end();
    };
    auto appendWithChildren = [&](TQRCustomBand* b) {
        if (!b || b->parentControl() != this)
            return;
        if (!contains(b))
            ordered.push_back(b);
        // A child chain that loops back is walked once.
        std::set<TQRCustomBand*> seen{b};
        for (TQRChildBand* child = b->findChild(); child && seen.insert(child).second;
             child = child->findChild()) {
            if (!contains(child))
                ordered.push_back(child);
        }
    };
    auto appendType = [&](TQRBandType t) {
        for (TQRCustomBand* b : all) {
            if (b->bandType() == t)
                appendWithChildren(b);
        }
    };

    appendType(TQRBandType::rbPageHeader);
    if (firstBandOfType(TQRBandType::rbTitle))
        appendType(TQRBandType::rbTitle);
    appendType(TQRBandType::rbColumnHeader);
    std::vector<TQRCustomBand*> controlled;
    controller_.listBands(controlled);
    for (TQRCustomBand* b : controlled)
        appendWithChildren(b);
    appendType(TQRBandType::rbPageFooter);
    for (TQRCustomBand* b : all) {
        if (!contains(b))
            ordered.push_back(b);
    }
    bandList_ = std::move(ordered);
}

std::vector<TQRCustomReport::BandPlacement> TQRCustomReport::placeBands(int zoom) const
{
    using I = TQRPage::Index;
    auto pixels = [&](I i) { return page.toPixels(page.values[i], zoom); };
    const int reportWidth = zoom == kModelZoom ? bounds.width() : page.roundedPixels(page.values[I::Wid], zoom);
    const int fullWidth = reportWidth - static_cast<int>(rnd(pixels(I::Left) + pixels(I::Right)));
    const int columns = std::max(1, page.columns());
    const int columnWidth = (fullWidth - static_cast<int>(rnd(pixels(I::ColSpace))) * (columns - 1)) / columns;
    int y = static_cast<int>(rnd(pixels(I::Top)));
    const int left = static_cast<int>(rnd(pixels(I::Left)));

    std::vector<BandPlacement> out;
    out.reserve(bandList_.size());
    for (TQRCustomBand* band : bandList_) {
        const TQRBandType t = band->effectiveType();
        const bool full = t == TQRBandType::rbTitle || t == TQRBandType::rbPageHeader ||
                          t == TQRBandType::rbPageFooter || t == TQRBandType::rbSummary ||
                          t == TQRBandType::rbOverlay;
        out.push_back({band, left, y, full ? fullWidth : columnWidth});
        y += band->size.roundedPixels(band->size.values[0], zoom);
    }
    return out;
}

std::optional<TQRCustomReport::BandPlacement> TQRCustomReport::placementAt(const TQRCustomBand* band,
                                                                           int zoom) const
{
    if (std::find(bandList_.begin(), bandList_.end(), band) == bandList_.end())
        return std::nullopt;
    for (const BandPlacement& p : placeBands(zoom)) {
        if (p.band == band)
            return p;
    }
    return std::nullopt;
}

void TQRCustomReport::arrangeBands()
{
    if (layoutSuspended_ || destroying_ || isLoading())
        return;
    for (const BandPlacement& p : placeBands(kModelZoom)) {
        p.band->bounds.moveTo(p.left, p.top);
        p.band->size.setArrangedWidth(p.width);
    }
}

void TQRCustomReport::componentRemoved(Component* c)
{
    TQRControl::componentRemoved(c);
    controller_.forget(c);
    bandList_.erase(std::remove(bandList_.begin(), bandList_.end(), c), bandList_.end());
}

void TQRCustomReport::afterComponentRemoved()
{
    if (!destroying_) {
        orderBands();
        arrangeBands();
    }
}

void TQRCustomReport::afterLoad()
{
    TQRBasePanel::afterLoad();
    orderBands();
    arrangeBands();
}

void TQRCustomReport::fontChanged()
{
    // The Characters unit depends on the report font.
    page.applyToControl();
}

} // namespace cm
