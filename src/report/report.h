#pragma once
// The report: page setup, settings and the ordered list of its bands.
#include "report/bands.h"
#include "report/printersettings.h"

#include <optional>

namespace cm {

class TQRCustomReport;

// The report's band switches: each reads whether a band of the type exists;
// setting true creates one, false frees the first one of that type.
class TQRReportBands : public Persistent {
public:
    explicit TQRReportBands(TQRCustomReport& report) : report_(report) {}
    const ClassInfo& classInfo() const override;
    static const ClassInfo& staticClassInfo();

    bool has(TQRBandType t) const;
    void set(TQRBandType t, bool on);

private:
    TQRCustomReport& report_;
};

class TQRCustomReport : public TQRBasePanel {
public:
    explicit TQRCustomReport(Container* owner);
    ~TQRCustomReport() override;

    TQRPage page;
    TQRReportPrinterSettings printerSettings;
    TQRStrings description;
    TQRReportBands bands{*this};
    QString reportTitle;
    bool showProgress = true;
    bool snapToGrid = true;
    SetBits options{FirstPageHeader | LastPageFooter};
    EventName afterPrint, afterPreview, beforePrint, onEndPage, onStartPage, onNeedData, onPreview;

    TQRUnit units() const { return page.currentUnit(); }
    void setUnits(TQRUnit u);   // changes page, every band size and element size
    // The zoom the design surface shows the report at, stored with the layout.
    // Setting it (1 .. 300, others ignored) changes no bounds and no native
    // length: only the Pixels unit and the published pixel bounds follow it.
    int zoom() const { return zoom_; }
    void setZoom(int z);

    TDataSetComponent* dataSet() const { return controller_.dataSet; }
    void setDataSet(TDataSetComponent* d) { controller_.dataSet = d; }
    bool printIfEmpty() const { return controller_.printIfEmpty; }
    void setPrintIfEmpty(bool v) { controller_.printIfEmpty = v; }
    TQRController& controller() { return controller_; }
    const TQRController& controller() const { return controller_; }

    // The ordered band list (generation order, and top to bottom on the surface).
    const std::vector<TQRCustomBand*>& bandList() const { return bandList_; }
    TQRBand* addBandOfType(TQRBandType t);
    TQRCustomBand* firstBandOfType(TQRBandType t) const;
    void orderBands();
    // Stacks the bands from the top margin down, in model pixels.
    void arrangeBands();

    // Where the arrangement at `zoom` puts a band: pixels at that zoom.
    struct BandPlacement {
        TQRCustomBand* band;
        int left;
        int top;
        int width;
    };
    std::vector<BandPlacement> placeBands(int zoom) const;
    std::optional<BandPlacement> placementAt(const TQRCustomBand* band, int zoom) const;
    void registerAggregate(Component* element) { controller_.notifyClients.push_back(element); }

    // While loading or destroying, bands are neither ordered nor arranged.
    void setLayoutSuspended(bool v) { layoutSuspended_ = v; }
    bool layoutSuspended() const { return layoutSuspended_; }

    // Creates a band of the report's own class family (design bands for the designer's report).
    virtual TQRBand* createBand(Container* owner) = 0;
    virtual class TQRChildBand* createChildBand(Container* owner) = 0;

    TQRCustomReport* report() const override { return const_cast<TQRCustomReport*>(this); }
    // The report's size is the page's at the zoom.
    QRect zoomedBounds() const override;
    void setZoomedEdge(BoundsEdge edge, int value) override;
    void componentRemoved(Component* c) override;
    void afterComponentRemoved() override;
    void afterLoad() override;

    // The size objects of the bands and elements that lie on the report.
    void forEachSizeObject(const std::function<void(TQRUnitBase&)>& fn);

protected:
    void fontChanged() override;
    virtual void assignControllerBands();

    TQRController controller_{this};

private:
    std::vector<TQRCustomBand*> bandList_;
    int zoom_ = 100;
    bool layoutSuspended_ = false;
    bool destroying_ = false;
};

class TQRReport : public TQRCustomReport {
public:
    explicit TQRReport(Container* owner) : TQRCustomReport(owner) {}
};

} // namespace cm
