#pragma once
// A document with a small card built in code, its designer and a design
// surface showing it, for the surface tests.
#include "designer/designercore.h"
#include "designer/document.h"
#include "designer/scriptedboxes.h"
#include "designer/widgets/designsurface.h"
#include "report/design.h"

#include <memory>

namespace cm::test {

struct SurfaceFixture {
    SurfaceFixture()
    {
        TQRDesignReport& r = report();
        r.page.setPaperSize(TQRPaperSize::Custom);
        r.page.values[TQRPage::Wid] = 1400;
        r.page.values[TQRPage::Len] = 900;
        for (TQRPage::Index i : {TQRPage::Top, TQRPage::Bottom, TQRPage::Left, TQRPage::Right})
            r.page.values[i] = 50;
        r.page.applyToControl();
        for (TQRCustomBand* b : std::vector<TQRCustomBand*>(r.bandList()))
            destroyComponent(b);
    }

    TQRDesignReport& report() { return document.report(); }
    Container& window() { return document.workspace().window; }

    // A detail band `height` native units high, placed below the bands there are.
    TQRCustomBand* band(TQRBandType type, Extended height)
    {
        TQRCustomBand* b = report().addBandOfType(type);
        b->size.values[0] = height;
        b->size.applyToControl();
        report().arrangeBands();
        return b;
    }

    template <class T>
    T* add(TQRCustomBand* band, Extended left, Extended top, Extended width, Extended height)
    {
        auto* e = new T(&window());   // owned by the container
        e->setParentControl(band);
        e->size.values = {height, left, top, width};
        e->size.applyToControl();
        e->setName(window().nextFreeName(QStringLiteral("E")));
        return e;
    }

    TQRDesignLabel* label(TQRCustomBand* band, const QString& caption, Extended left, Extended top,
                          Extended width = 400, Extended height = 60)
    {
        auto* l = add<TQRDesignLabel>(band, left, top, width, height);
        l->autoSize = false;
        l->setCaption(caption);
        return l;
    }

    // The surface, shown at its full size.
    DesignSurface& surface()
    {
        if (!surface_) {
            surface_ = std::make_unique<DesignSurface>(document, designer);
            surface_->resize(surface_->sizeHint());
            surface_->show();
        }
        return *surface_;
    }

    ScriptedMessageBoxes boxes;
    Document document{boxes};
    DesignerCore designer{document};

private:
    std::unique_ptr<DesignSurface> surface_;
};

} // namespace cm::test
