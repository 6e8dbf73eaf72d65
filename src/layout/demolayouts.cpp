#include "layout/demolayouts.h"

#include "layout/workspace.h"

namespace cm {

namespace {

template <class T>
T* place(Workspace& ws, Component* parent, const QString& base, Extended left, Extended top,
         Extended width, Extended height)
{
    auto* e = new T(&ws.window);
    e->setName(ws.window.nextFreeName(base));
    e->setParentControl(parent);
    e->size.values = {height, left, top, width};
    e->size.applyToControl();
    e->d.qrDesigner = ws.designer;
    return e;
}

void setFont(TQRControl& c, const QString& name, int points, uint32_t style = 0, TColor color = clBlack)
{
    c.font().setName(name);
    c.font().setSize(points);
    c.font().setStyle(SetBits{style});
    c.font().setColor(color);
}

TQRDesignLabel* label(Workspace& ws, Component* band, const QString& text, Extended left, Extended top,
                      int points, uint32_t style = 0, TColor color = clBlack)
{
    auto* l = place<TQRDesignLabel>(ws, band, QStringLiteral("QRDesignLabel"), left, top, 200, 50);
    l->setCaption(text);
    l->transparent = true;
    setFont(*l, QStringLiteral("Arial"), points, style, color);
    return l;
}

TQRDesignDBText* field(Workspace& ws, Component* band, const QString& fieldName, Extended left,
                       Extended top, Extended width, int points, uint32_t style = 0)
{
    auto* f = place<TQRDesignDBText>(ws, band, QStringLiteral("QRDesignDBText"), left, top, width, 60);
    f->dataSet = ws.table;
    f->setDataField(fieldName);
    f->autoSize = false;
    f->transparent = true;
    f->setAlignment(TAlignment::taCenter);
    setFont(*f, QStringLiteral("Arial"), points, style);
    return f;
}

TQRDesignBand* cardPage(Workspace& ws)
{
    ws.designer->script.lines.clear();
    TQRDesignReport& r = *ws.report;
    r.setDataSet(ws.table);
    r.reportTitle = QStringLiteral("QSL card");
    r.page.setPaperSize(TQRPaperSize::Custom);
    r.page.values = {0, 900, 0, 1400, 0, 0, 0};
    r.page.applyToControl();
    auto* band = static_cast<TQRDesignBand*>(r.addBandOfType(TQRBandType::rbDetail));
    band->size.values[0] = 900;
    band->size.applyToControl();
    band->d.qrDesigner = ws.designer;
    r.orderBands();
    r.arrangeBands();
    return band;
}

} // namespace

void buildDemoCard(Workspace& ws)
{
    TQRDesignReport& r = *ws.report;
    TQRDesignBand* band = cardPage(ws);
    r.description.setLines({QStringLiteral("Demo QSL card, 140 x 90 mm, one card per contact.")});

    // Frame around the card and a line under the header.
    auto* frame = place<TQRDesignShape>(ws, band, QStringLiteral("QRDesignShape"), 40, 40, 1320, 820);
    frame->pen.width = 3;
    frame->brush.style = TBrushStyle::bsClear;
    auto* line = place<TQRDesignShape>(ws, band, QStringLiteral("QRDesignShape"), 80, 300, 1240, 20);
    line->shape = TQRShapeType::qrsHorLine;
    line->pen.width = 2;
    line->pen.color = 0x800000;

    label(ws, band, QStringLiteral("S50QSL"), 90, 80, 36, fsBold, 0x800000);
    label(ws, band, QStringLiteral("Ljubljana, Slovenia - JN76HB - CQ 15 - ITU 28"), 90, 230, 10);

    label(ws, band, QStringLiteral("To Radio"), 90, 360, 12, fsItalic);
    field(ws, band, QStringLiteral("Call"), 320, 335, 500, 24, fsBold)->setAlignment(TAlignment::taLeftJustify);

    // Contact table: headings and fields in five columns.
    const struct {
        const char* heading;
        const char* field;
    } columns[] = {{"Date", "Datum"}, {"UTC", "Gmt"}, {"Band", "Band"}, {"Mode", "Mode"}, {"RST", "RstS"}};
    const Extended columnWidth = 240;
    for (int i = 0; i < 5; ++i) {
        const Extended left = 90 + i * columnWidth;
        auto* heading = place<TQRDesignLabel>(ws, band, QStringLiteral("QRDesignLabel"), left, 520,
                                              columnWidth - 10, 50);
        heading->setCaption(QString::fromLatin1(columns[i].heading));
        heading->autoSize = false;
        heading->setAlignment(TAlignment::taCenter);
        heading->frame.drawBottom = true;
        setFont(*heading, QStringLiteral("Arial"), 10, fsBold);
        field(ws, band, QString::fromLatin1(columns[i].field), left, 590, columnWidth - 10, 12);
    }
    auto* thanks = label(ws, band, QStringLiteral("Tnx for QSO, pse QSL - 73"), 90, 760, 10, fsItalic);
    thanks->d.blockDelete = true;
    r.orderBands();
    r.arrangeBands();
}

void buildTemplate(Workspace& ws)
{
    cardPage(ws);
    ws.report->reportTitle.clear();
}

} // namespace cm
