// The report's zoom is a view setting: the model stays in pixels at zoom
// 100, while layout files and the published Left/Top/Width/Height hold
// pixels at the stored zoom.
#include "layout/demolayouts.h"
#include "layout/workspace.h"

#include <QFile>
#include <gtest/gtest.h>
#include <map>

using namespace cm;

namespace {

// The layout of data/card-zoom50.qr2, which the earlier writer (the one that
// rescaled the model) saved with the report at zoom 50: two columns, margins,
// full-width and column-wide bands, a child band and a group footer.
void buildZoomCard(Workspace& ws)
{
    buildDemoCard(ws);
    TQRDesignReport& r = *ws.report;
    r.page.setColumns(2);
    r.page.values[TQRPage::ColSpace] = 55.5L;
    r.page.values[TQRPage::Left] = 33;
    r.page.values[TQRPage::Top] = 47;
    auto* detail = static_cast<TQRCustomBand*>(r.firstBandOfType(TQRBandType::rbDetail));
    detail->setHasChild(true);
    TQRBand* title = r.addBandOfType(TQRBandType::rbTitle);
    title->size.values[0] = 123.4L;
    title->size.applyToControl();
    TQRBand* footer = r.addBandOfType(TQRBandType::rbPageFooter);
    footer->size.values[0] = 77;
    footer->size.applyToControl();
    auto* note = new TQRDesignLabel(&ws.window);
    note->setName(QStringLiteral("Note"));
    note->setParentControl(footer);
    note->size.values = {41.3L, 17.7L, 9.1L, 333.3L};
    note->size.applyToControl();
    note->setCaption(QStringLiteral("printed page footer"));
    auto* group = new TQRDesignGroup(&ws.window);
    group->setName(QStringLiteral("Grp"));
    group->setParentControl(&r);
    group->setMaster(&r);
    group->expression = QStringLiteral("[Call]");
    group->setFooterBand(r.addBandOfType(TQRBandType::rbDetail));
    r.orderBands();
    r.arrangeBands();
}

QByteArray fixture()
{
    QFile f(QStringLiteral(CARDMINT_TEST_DATA "/card-zoom50.qr2"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

std::map<QString, QRect> boundsByName(const Container& c)
{
    std::map<QString, QRect> out;
    for (Component* component : c.components())
        out[component->name()] = component->bounds;
    return out;
}

// Every native length of the report, its bands and elements.
std::vector<Extended> nativeLengths(TQRDesignReport& r)
{
    std::vector<Extended> out(r.page.values.begin(), r.page.values.end());
    r.forEachSizeObject([&out](TQRUnitBase& s) {
        if (auto* b = dynamic_cast<TQRBandSize*>(&s))
            out.insert(out.end(), b->values.begin(), b->values.end());
        else if (auto* e = dynamic_cast<TQRPrintableSize*>(&s))
            out.insert(out.end(), e->values.begin(), e->values.end());
    });
    return out;
}

int64_t published(Component& c, const char16_t* name) { return std::get<int64_t>(*getProperty(c, name)); }

} // namespace

TEST(Zoom, ALayoutStoredAtAnotherZoomResavesAndLoadsToModelPixels)
{
    const QByteArray stored = fixture();
    ASSERT_FALSE(stored.isEmpty());

    // Designing at zoom 50 writes what the earlier writer wrote.
    Workspace designed;
    designed.report->setZoom(50);
    buildZoomCard(designed);
    EXPECT_EQ(designed.designer->writeLayout(true), stored);

    Workspace loaded;
    ASSERT_TRUE(loaded.designer->loadFromData(stored));
    EXPECT_EQ(loaded.report->zoom(), 50);
    EXPECT_EQ(loaded.designer->writeLayout(true), stored);

    // The model is the one of the same layout designed at zoom 100 ...
    Workspace atModelZoom;
    buildZoomCard(atModelZoom);
    EXPECT_EQ(boundsByName(loaded.window), boundsByName(atModelZoom.window));
    EXPECT_EQ(nativeLengths(*loaded.report), nativeLengths(*atModelZoom.report));
    // ... and switched to zoom 100 it saves exactly as that one.
    loaded.report->setZoom(100);
    EXPECT_EQ(loaded.designer->writeLayout(true), atModelZoom.designer->writeLayout(true));
}

TEST(Zoom, ChangingItRewritesNoBoundsAndNoNativeLength)
{
    Workspace ws;
    buildZoomCard(ws);
    const auto bounds = boundsByName(ws.window);
    const auto natives = nativeLengths(*ws.report);

    for (int zoom : {200, 37, 300, 1, 100}) {
        ws.report->setZoom(zoom);
        EXPECT_EQ(ws.report->zoom(), zoom);
        EXPECT_EQ(boundsByName(ws.window), bounds) << zoom;
        EXPECT_EQ(nativeLengths(*ws.report), natives) << zoom;
    }
    ws.report->setZoom(0);     // refused
    ws.report->setZoom(301);   // refused
    EXPECT_EQ(ws.report->zoom(), 100);
}

TEST(Zoom, PublishedPixelsAreAtTheReportsZoom)
{
    Workspace ws;
    buildZoomCard(ws);
    TQRDesignReport& r = *ws.report;
    auto* note = ws.window.findComponent(u"Note");
    auto* title = static_cast<TQRCustomBand*>(r.firstBandOfType(TQRBandType::rbTitle));
    ASSERT_NE(note, nullptr);
    const QRect noteModel = note->bounds;
    const QRect titleModel = title->bounds;

    r.setZoom(200);
    // The note: 333.3 native = 125.97 model pixels, 251.95 at zoom 200.
    EXPECT_EQ(noteModel.width(), 126);
    EXPECT_EQ(published(*note, u"Width"), 252);
    EXPECT_EQ(published(*note, u"Left"), 13);   // 17.7 native: 6.69 model pixels
    // Bands lie where the arrangement at the zoom puts them.
    EXPECT_EQ(published(*title, u"Top"), 36);   // below the top margin of 47 native
    EXPECT_EQ(published(*title, u"Height"), 93);
    EXPECT_EQ(published(r, u"Width"), 1058);    // 140 mm
    EXPECT_EQ(note->bounds, noteModel);
    EXPECT_EQ(title->bounds, titleModel);

    // Set from outside (a formula, the property editor), the element size
    // takes the pixels at the zoom; the model bounds follow at zoom 100.
    ASSERT_TRUE(setProperty(*note, u"Left", int64_t(100)));
    EXPECT_EQ(note->bounds.left(), 50);
    EXPECT_EQ(published(*note, u"Left"), 100);
    r.setZoom(100);
    EXPECT_EQ(published(*note, u"Left"), 50);
    // A band's height set from outside becomes its size; the bands below move down.
    auto* detail = r.firstBandOfType(TQRBandType::rbDetail);
    const int detailTop = detail->bounds.top();
    ASSERT_TRUE(setProperty(*title, u"Height", int64_t(60)));
    EXPECT_EQ(title->bounds.height(), 60);
    EXPECT_EQ(title->size.roundedPixels(title->size.values[0], kModelZoom), 60);
    EXPECT_EQ(detail->bounds.top(), detailTop + 60 - titleModel.height());
}
