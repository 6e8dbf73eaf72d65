#include "report/bands.h"

#include "report/elements.h"
#include "report/report.h"

#include <algorithm>
#include <set>

namespace cm {

// --- controller

void TQRController::collectSubControllers()
{
    beforeList.clear();
    afterList.clear();
    groups.clear();
    Container* container = owner_ ? owner_->owner() : nullptr;
    if (!container)
        return;
    for (Component* c : container->components()) {
        if (auto* cb = dynamic_cast<TQRControllerBand*>(c); cb && cb != owner_ && cb->master() == owner_) {
            (cb->controller().printBefore ? beforeList : afterList).push_back(&cb->controller());
            cb->controller().collectSubControllers();
        } else if (auto* g = dynamic_cast<TQRGroup*>(c); g && g->master() == owner_) {
            groups.push_back(g);
        }
    }
}

void TQRController::forget(Component* c)
{
    if (master == c) master = nullptr;
    if (dataSet == c) dataSet = nullptr;
    if (header == c) header = nullptr;
    if (detail == c) detail = nullptr;
    if (footer == c) footer = nullptr;
    notifyClients.erase(std::remove(notifyClients.begin(), notifyClients.end(), c), notifyClients.end());
}

void TQRController::listBands(std::vector<TQRCustomBand*>& out) const
{
    auto add = [&out](TQRCustomBand* b) {
        if (b)
            out.push_back(b);
    };
    add(header);
    for (TQRGroup* g : groups)
        add(g);
    for (const TQRController* c : beforeList)
        c->listBands(out);
    add(detail);
    for (const TQRController* c : afterList)
        c->listBands(out);
    for (auto it = groups.rbegin(); it != groups.rend(); ++it)
        add((*it)->footerBand());
    add(footer);
}

// --- common band part

TQRCustomBand::TQRCustomBand(Container* owner)
    : TQRBasePanel(owner)
{
    size.control = this;
    bounds = QRect(0, 0, 40, 40);
    size.pushPixelUnits();
    size.setHeight(40);
    size.popUnits();
}

TQRBandType TQRCustomBand::effectiveType() const
{
    const TQRCustomBand* b = this;
    std::set<const TQRCustomBand*> seen;
    while (auto* child = dynamic_cast<const TQRChildBand*>(b)) {
        if (!child->parentBand() || !seen.insert(b).second)
            return TQRBandType::rbChild;
        b = child->parentBand();
    }
    return b->bandType();
}

TQRCustomReport* TQRCustomBand::report() const
{
    return dynamic_cast<TQRCustomReport*>(parentControl());
}

void TQRCustomBand::parentChanged()
{
    // A band given another band as parent goes onto that band's report.
    if (auto* band = dynamic_cast<TQRCustomBand*>(parentControl())) {
        setParentControl(band->report());
        return;
    }
    if (TQRCustomReport* r = report()) {
        size.changeUnit(r->units());
        size.setZoom(r->zoom());
        size.reportFont = &r->font();
        size.applyToControl();
        for (Component* c : childControls()) {
            if (auto* p = dynamic_cast<TQRPrintable*>(c))
                p->size.setZoom(r->zoom());
        }
    }
    TQRControl::parentChanged();
    relayout();
}

QRect TQRCustomBand::zoomedBounds() const
{
    const int zoom = size.zoom();
    if (zoom == kModelZoom)
        return bounds;
    const int height = size.roundedPixels(size.values[0], zoom);
    const TQRCustomReport* r = report();
    if (const auto placed = r ? r->placementAt(this, zoom) : std::nullopt)
        return QRect(placed->left, placed->top, size.roundedPixels(size.fromPixels(placed->width, zoom), zoom), height);
    return QRect(rescalePixels(bounds.left(), kModelZoom, zoom), rescalePixels(bounds.top(), kModelZoom, zoom),
                 size.roundedPixels(size.values[1], zoom), height);
}

Extended TQRCustomBand::arrangedWidthNative(int zoom) const
{
    const TQRCustomReport* r = report();
    if (const auto placed = r ? r->placementAt(this, zoom) : std::nullopt)
        return size.fromPixels(placed->width, zoom);
    return size.values[1];
}

void TQRCustomBand::setZoomedEdge(BoundsEdge edge, int value)
{
    const int zoom = size.zoom();
    if (edge == BoundsEdge::Height && !isLoading()) {
        // Resized from outside: the band size takes the height.
        if (size.roundedPixels(size.values[0], zoom) != value)
            size.values[0] = size.fromPixels(value, zoom);
        size.applyToControl();
    } else {
        // While loading the stored values win; otherwise the arrangement places the band.
        setEdge(bounds, edge, rescalePixels(value, zoom, kModelZoom));
    }
    relayout();
}

void TQRCustomBand::afterLoad()
{
    TQRBasePanel::afterLoad();
    size.afterLoad();
}

void TQRCustomBand::relayout() const
{
    TQRCustomReport* r = report();
    if (!r || r->layoutSuspended() || isLoading())
        return;
    r->orderBands();
    r->arrangeBands();
}

static std::vector<const TQRCustomBand*> chainNext(const TQRCustomBand* b)
{
    std::vector<const TQRCustomBand*> next;
    if (b->linkBand())
        next.push_back(b->linkBand());
    if (auto* child = dynamic_cast<const TQRChildBand*>(b); child && child->parentBand())
        next.push_back(child->parentBand());
    if (auto* cb = dynamic_cast<const TQRControllerBand*>(b)) {
        if (auto* m = dynamic_cast<const TQRCustomBand*>(cb->master()))
            next.push_back(m);
    }
    return next;
}

bool TQRCustomBand::chainReaches(const TQRCustomBand* start) const
{
    std::set<const TQRCustomBand*> seen;
    std::vector<const TQRCustomBand*> todo{start};
    while (!todo.empty()) {
        const TQRCustomBand* b = todo.back();
        todo.pop_back();
        if (!b || !seen.insert(b).second)
            continue;
        if (b == this)
            return true;
        for (const TQRCustomBand* n : chainNext(b))
            todo.push_back(n);
    }
    return false;
}

void TQRCustomBand::setLinkBand(TQRCustomBand* band)
{
    if (band && chainReaches(band))
        return;
    linkBand_ = band;
    relayout();
}

TQRChildBand* TQRCustomBand::findChild() const
{
    if (!owner())
        return nullptr;
    for (Component* c : owner()->components()) {
        if (auto* child = dynamic_cast<TQRChildBand*>(c); child && child->parentBand() == this)
            return child;
    }
    return nullptr;
}

void TQRCustomBand::setHasChild(bool v)
{
    TQRChildBand* child = findChild();
    if (v == (child != nullptr))
        return;
    TQRCustomReport* r = report();
    if (v) {
        if (!r || !owner())
            return;
        TQRChildBand* created = r->createChildBand(owner());
        created->setName(owner()->nextFreeName(QStringLiteral("ChildBand")));
        created->setParentControl(r);
        created->setParentBand(this);
    } else {
        // The grandchild, if any, becomes this band's child.
        if (TQRChildBand* grandchild = child->findChild())
            grandchild->setParentBand(this);
        destroyComponent(child);
    }
}

void TQRCustomBand::componentRemoved(Component* c)
{
    if (linkBand_ == c)
        linkBand_ = nullptr;
}

// --- band subclasses

void TQRBand::setBandType(TQRBandType t)
{
    bandType_ = t;
    relayout();
}

void TQRChildBand::setParentBand(TQRCustomBand* band)
{
    if (band && chainReaches(band))
        return;
    parentBand_ = band;
    relayout();
}

void TQRChildBand::componentRemoved(Component* c)
{
    TQRCustomBand::componentRemoved(c);
    if (parentBand_ == c)
        parentBand_ = nullptr;
}

void TQRGroup::setFooterBand(TQRBand* band)
{
    if (band)
        band->setBandType(TQRBandType::rbGroupFooter);
    footerBand_ = band;
    relayout();
}

void TQRGroup::setMaster(Component* m)
{
    if (m && !dynamic_cast<TQRCustomReport*>(m) && !dynamic_cast<TQRControllerBand*>(m))
        return;
    if (auto* band = dynamic_cast<TQRCustomBand*>(m); band && chainReaches(band))
        return;
    master_ = m;
    relayout();
}

void TQRGroup::componentRemoved(Component* c)
{
    TQRCustomBand::componentRemoved(c);
    if (footerBand_ == c)
        footerBand_ = nullptr;
    if (master_ == c)
        master_ = nullptr;
}

TQRControllerBand::TQRControllerBand(Container* owner)
    : TQRCustomBand(owner), controller_(this)
{
}

void TQRControllerBand::setMaster(Component* m)
{
    if (auto* band = dynamic_cast<TQRCustomBand*>(m); band && chainReaches(band))
        return;
    controller_.master = m;
    relayout();
}

void TQRControllerBand::componentRemoved(Component* c)
{
    TQRCustomBand::componentRemoved(c);
    controller_.forget(c);
}

TQRSubDetail::TQRSubDetail(Container* owner)
    : TQRControllerBand(owner)
{
    controller().detail = this;
}

void TQRSubDetail::setHeaderBand(TQRCustomBand* band)
{
    if (auto* b = dynamic_cast<TQRBand*>(band))
        b->setBandType(TQRBandType::rbGroupHeader);
    controller().header = band;
    relayout();
}

void TQRSubDetail::setFooterBand(TQRCustomBand* band)
{
    if (auto* b = dynamic_cast<TQRBand*>(band))
        b->setBandType(TQRBandType::rbGroupFooter);
    controller().footer = band;
    relayout();
}

void TQRSubDetail::setHasHeader(bool v)
{
    if (v == hasHeader())
        return;
    if (v) {
        if (TQRCustomReport* r = report())
            setHeaderBand(r->addBandOfType(TQRBandType::rbGroupHeader));
    } else {
        destroyComponent(headerBand());
    }
}

void TQRSubDetail::setHasFooter(bool v)
{
    if (v == hasFooter())
        return;
    if (v) {
        if (TQRCustomReport* r = report())
            setFooterBand(r->addBandOfType(TQRBandType::rbGroupFooter));
    } else {
        destroyComponent(footerBand());
    }
}

} // namespace cm
