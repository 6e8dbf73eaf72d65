#pragma once
// Bands: horizontal strips of a report that generation prints at the right
// moments (title, headers, detail, groups, footers ...), and the controllers
// that tie a detail band to its record source.
#include "report/control.h"
#include "report/datasetcomponent.h"
#include "report/units.h"

#include <vector>

namespace cm {

class TQRCustomBand;
class TQRBand;
class TQRGroup;
class TQRCustomReport;

class TQRController {
public:
    explicit TQRController(Component* owner) : owner_(owner) {}

    Component* owner() const { return owner_; }
    QPointer<Component> master;
    bool printBefore = false;
    bool printIfEmpty = true;
    QPointer<TDataSetComponent> dataSet;
    QPointer<TQRCustomBand> header;
    QPointer<TQRCustomBand> detail;
    QPointer<TQRCustomBand> footer;
    EventName onNeedData;

    std::vector<TQRController*> beforeList;
    std::vector<TQRController*> afterList;
    std::vector<TQRGroup*> groups;
    std::vector<Component*> notifyClients;
    int detailNumber = 0;

    // Clears every reference to a component that is going away.
    void forget(Component* c);
    // Rebuilds the lists from the components of the owner's container.
    void collectSubControllers();
    // Appends the bands this controller prints, in order (header, groups,
    // sub-controllers before, detail, sub-controllers after, group footers, footer).
    void listBands(std::vector<TQRCustomBand*>& out) const;

private:
    Component* owner_;   // the report or the controller band
};

class TQRBasePanel : public TQRControl {
public:
    explicit TQRBasePanel(Container* owner) : TQRControl(owner) {}
};

struct DesignBandProps;

class TQRCustomBand : public TQRBasePanel {
public:
    explicit TQRCustomBand(Container* owner);

    // The designer's flags and print rules of a design band (null for plain engine bands).
    virtual DesignBandProps* designProps() { return nullptr; }

    virtual TQRBandType bandType() const = 0;
    QString displayName() const { return bandTypeDisplayName(bandType()); }
    virtual QString nameBase() const { return bandTypeNameBase(bandType()); }
    // The type that decides the band's width: a child band's first non-child ancestor's type.
    TQRBandType effectiveType() const;

    TQRBandSize size;
    bool alignToBottom = false;
    bool forceNewColumn = false;
    bool forceNewPage = false;
    EventName afterPrint;
    EventName beforePrint;

    TQRCustomBand* linkBand() const { return linkBand_; }
    void setLinkBand(TQRCustomBand* band);   // refused when the chain leads back here

    bool hasChild() const { return findChild() != nullptr; }
    void setHasChild(bool v);
    class TQRChildBand* findChild() const;

    TQRCustomReport* report() const override;
    // The report arranges bands: at another zoom than the model's the band
    // lies where the arrangement at that zoom puts it.
    QRect zoomedBounds() const override;
    void setZoomedEdge(BoundsEdge edge, int value) override;
    // The native width the arrangement at `zoom` gives the band.
    Extended arrangedWidthNative(int zoom) const;
    void parentChanged() override;
    void afterLoad() override;
    void componentRemoved(Component* c) override;

    // Run-time: growth of the current print in native units.
    Extended stretchAmount = 0;

protected:
    void relayout() const;   // asks the report to order and arrange its bands
    // Whether a chain starting at `start` reaches this band.
    bool chainReaches(const TQRCustomBand* start) const;

private:
    QPointer<TQRCustomBand> linkBand_;
};

class TQRBand : public TQRCustomBand {
public:
    explicit TQRBand(Container* owner) : TQRCustomBand(owner) {}
    TQRBandType bandType() const override { return bandType_; }
    void setBandType(TQRBandType t);

private:
    TQRBandType bandType_ = TQRBandType::rbTitle;
};

class TQRChildBand : public TQRCustomBand {
public:
    explicit TQRChildBand(Container* owner) : TQRCustomBand(owner) {}
    TQRBandType bandType() const override { return TQRBandType::rbChild; }
    TQRCustomBand* parentBand() const { return parentBand_; }
    void setParentBand(TQRCustomBand* band);
    void componentRemoved(Component* c) override;

private:
    QPointer<TQRCustomBand> parentBand_;
};

class TQRControllerBand;

class TQRGroup : public TQRCustomBand {
public:
    explicit TQRGroup(Container* owner) : TQRCustomBand(owner) {}
    TQRBandType bandType() const override { return TQRBandType::rbGroupHeader; }

    QString expression;
    bool reprintOnNewPage = false;

    TQRBand* footerBand() const { return footerBand_; }
    void setFooterBand(TQRBand* band);   // makes the band a group footer
    Component* master() const { return master_; }
    void setMaster(Component* m);        // a report or a controller band only
    void componentRemoved(Component* c) override;

private:
    QPointer<TQRBand> footerBand_;
    QPointer<Component> master_;
};

class TQRControllerBand : public TQRCustomBand {
public:
    explicit TQRControllerBand(Container* owner);
    TQRController& controller() { return controller_; }
    const TQRController& controller() const { return controller_; }
    Component* master() const { return controller_.master; }
    void setMaster(Component* m);
    void componentRemoved(Component* c) override;

private:
    TQRController controller_;
};

class TQRSubDetail : public TQRControllerBand {
public:
    explicit TQRSubDetail(Container* owner);
    TQRBandType bandType() const override { return TQRBandType::rbSubDetail; }

    TDataSetComponent* dataSet() const { return controller().dataSet; }
    void setDataSet(TDataSetComponent* d) { controller().dataSet = d; }
    TQRCustomBand* headerBand() const { return controller().header; }
    void setHeaderBand(TQRCustomBand* band);
    TQRCustomBand* footerBand() const { return controller().footer; }
    void setFooterBand(TQRCustomBand* band);
    bool printBefore() const { return controller().printBefore; }
    void setPrintBefore(bool v) { controller().printBefore = v; relayout(); }
    bool printIfEmpty() const { return controller().printIfEmpty; }
    void setPrintIfEmpty(bool v) { controller().printIfEmpty = v; }
    EventName onNeedData() const { return controller().onNeedData; }
    void setOnNeedData(const EventName& e) { controller().onNeedData = e; }

    // The HasHeader / HasFooter switches of the sub-detail's band set.
    bool hasHeader() const { return headerBand() != nullptr; }
    void setHasHeader(bool v);
    bool hasFooter() const { return footerBand() != nullptr; }
    void setHasFooter(bool v);
};

} // namespace cm
