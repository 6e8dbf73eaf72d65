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

// A one-line value box: a value too long for it is clipped (and reported by
// the run), never wrapped out of sight.
TQRDesignDBText* field(Workspace& ws, Component* band, const QString& name, const QString& fieldName,
                       Extended left, Extended top, Extended width, Extended height, int points,
                       uint32_t style = 0)
{
    auto* f = place<TQRDesignDBText>(ws, band, name, left, top, width, height);
    f->setName(name);   // the run's warnings name the box
    f->dataSet = ws.table;
    f->setDataField(fieldName);
    f->autoSize = false;
    f->wordWrap = false;
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
    // Room for 16 characters of the widest letters: portable prefixes and suffixes included.
    field(ws, band, QStringLiteral("CallSign"), QStringLiteral("Call"), 300, 335, 1010, 95, 22, fsBold)
        ->setAlignment(TAlignment::taLeftJustify);

    // Contact table: headings over five columns, as wide as their longest values
    // ("27 May 2023", "23:59", "1.25m", "DIGITALVOICE", "599").
    const struct {
        const char* heading;
        Extended left;
        Extended width;
    } columns[] = {{"Date", 90, 290}, {"UTC", 390, 180}, {"Band", 580, 200}, {"Mode", 790, 340}, {"RST", 1140, 170}};
    for (const auto& c : columns) {
        auto* heading = place<TQRDesignLabel>(ws, band, QStringLiteral("QRDesignLabel"), c.left, 520, c.width, 50);
        heading->setCaption(QString::fromLatin1(c.heading));
        heading->autoSize = false;
        heading->setAlignment(TAlignment::taCenter);
        heading->frame.drawBottom = true;
        setFont(*heading, QStringLiteral("Arial"), 10, fsBold);
    }
    constexpr Extended valueTop = 590, valueHeight = 60;
    constexpr int valuePoints = 12;

    // The date the way QSL cards print it, "07 Apr 2023", the same in every
    // locale: the day and the year come from pictures without names, the
    // month from a fixed English list. The month sits where it centres the
    // whole date under its heading (the year is two digits wider than the day).
    auto* day = field(ws, band, QStringLiteral("QsoDay"), QStringLiteral("Datum"), 90, valueTop, 72, valueHeight, valuePoints);
    day->setAlignment(TAlignment::taRightJustify);
    day->mask = QStringLiteral("dd");
    auto* month = place<TQRDesignExpr>(ws, band, QStringLiteral("QsoMonth"), 164, valueTop, 96, valueHeight);
    month->setName(QStringLiteral("QsoMonth"));
    month->setExpression(QStringLiteral(
        "IF(Datum = '', '', COPY('JanFebMarAprMayJunJulAugSepOctNovDec', EXTRACTMONTH(Datum) * 3 - 2, 3))"));
    month->autoSize = false;
    month->wordWrap = false;
    month->transparent = true;
    month->setAlignment(TAlignment::taCenter);
    setFont(*month, QStringLiteral("Arial"), valuePoints);
    auto* year = field(ws, band, QStringLiteral("QsoYear"), QStringLiteral("Datum"), 262, valueTop, 118, valueHeight, valuePoints);
    year->setAlignment(TAlignment::taLeftJustify);
    year->mask = QStringLiteral("yyyy");

    // UTC as hours and minutes; the quoted colon keeps the locale's time separator out.
    field(ws, band, QStringLiteral("QsoTime"), QStringLiteral("Gmt"), 390, valueTop, 180, valueHeight, valuePoints)
        ->mask = QStringLiteral("hh':'nn");
    field(ws, band, QStringLiteral("QsoBand"), QStringLiteral("Band"), 580, valueTop, 200, valueHeight, valuePoints);
    field(ws, band, QStringLiteral("QsoMode"), QStringLiteral("Mode"), 790, valueTop, 340, valueHeight, valuePoints);
    field(ws, band, QStringLiteral("QsoReport"), QStringLiteral("RstS"), 1140, valueTop, 170, valueHeight, valuePoints);
    auto* thanks = label(ws, band, QStringLiteral("Tnx for QSO, pse QSL - 73"), 90, 760, 10, fsItalic);
    thanks->d.blockDelete = true;
    r.orderBands();
    r.arrangeBands();
}

void buildMultiQsoCard(Workspace& ws)
{
    TQRDesignReport& r = *ws.report;
    TQRDesignBand* detail = cardPage(ws);
    r.reportTitle = QStringLiteral("QSL card, several QSOs");
    r.description.setLines({QStringLiteral("QSL card, 140 x 90 mm, one card per station with up to 5 QSOs."),
                            QStringLiteral("The station's header is a group on Call: print the log ordered by call"),
                            QStringLiteral("and date (render --order \"Call, Datum, Gmt\"). A station with more"),
                            QStringLiteral("QSOs goes on to a further card that repeats the header.")});
    // Header and five rows fill the card, so a new station never fits below
    // the last one's QSOs and always starts a card of its own.
    constexpr Extended headerHeight = 600, rowHeight = 60;
    detail->size.values[0] = rowHeight;
    detail->size.applyToControl();

    auto* header = new TQRDesignGroup(&ws.window);
    header->setName(QStringLiteral("StationHeader"));
    header->setParentControl(&r);
    header->setMaster(&r);
    header->expression = QStringLiteral("Call");
    header->reprintOnNewPage = true;
    header->size.values = {headerHeight, 1400};
    header->size.applyToControl();
    header->d.qrDesigner = ws.designer;

    label(ws, header, QStringLiteral("S50QSL"), 90, 60, 30, fsBold, 0x800000);
    label(ws, header, QStringLiteral("Ljubljana, Slovenia - JN76HB - CQ 15 - ITU 28"), 90, 190, 10);
    auto* rule = place<TQRDesignShape>(ws, header, QStringLiteral("QRDesignShape"), 80, 250, 1240, 20);
    rule->shape = TQRShapeType::qrsHorLine;
    rule->pen.width = 2;
    rule->pen.color = 0x800000;
    label(ws, header, QStringLiteral("To Radio"), 90, 320, 12, fsItalic);
    field(ws, header, QStringLiteral("CallSign"), QStringLiteral("Call"), 300, 295, 750, 95, 22, fsBold)
        ->setAlignment(TAlignment::taLeftJustify);
    // Says so on the cards that carry on a station's QSOs; the script below
    // fills it.
    auto* continued = label(ws, header, QString(), 1070, 320, 10, fsItalic);
    continued->setName(QStringLiteral("Continued"));

    const struct {
        const char* heading;
        const char* field;
        const char* mask;
        Extended left;
        Extended width;
    } columns[] = {{"Date", "Datum", "yyyy'-'mm'-'dd", 90, 290},
                   {"UTC", "Gmt", "hh':'nn", 390, 180},
                   {"Band", "Band", "", 580, 200},
                   {"Mode", "Mode", "", 790, 340},
                   {"RST", "RstS", "", 1140, 170}};
    for (const auto& c : columns) {
        auto* heading = place<TQRDesignLabel>(ws, header, QStringLiteral("QRDesignLabel"), c.left, 530, c.width, 50);
        heading->setCaption(QString::fromLatin1(c.heading));
        heading->autoSize = false;
        heading->setAlignment(TAlignment::taCenter);
        heading->frame.drawBottom = true;
        setFont(*heading, QStringLiteral("Arial"), 10, fsBold);
        auto* value = field(ws, detail, QStringLiteral("Qso") + QString::fromLatin1(c.heading), QString::fromLatin1(c.field),
                            c.left, 5, c.width, 50, 11);
        value->mask = QString::fromLatin1(c.mask);
    }
    // A header printed again for the station whose header came last is a
    // continuation card. The report's own BeforePrint forgets the station
    // of an earlier run.
    ws.designer->script.lines = {
        QStringLiteral("[%1.BeforePrint]").arg(r.name()),
        QStringLiteral("SETVAR('MultiQsoStation', '')"),
        QStringLiteral("[StationHeader.BeforePrint]"),
        QStringLiteral("IF (GETVAR('MultiQsoStation') = Call)"),
        QStringLiteral("SETSTRPROP('Continued', 'Caption', 'continued')"),
        QStringLiteral("ELSE"),
        QStringLiteral("SETSTRPROP('Continued', 'Caption', '')"),
        QStringLiteral("ENDIF"),
        QStringLiteral("SETVAR('MultiQsoStation', Call)"),
    };
    r.orderBands();
    r.arrangeBands();
}

void buildTemplate(Workspace& ws)
{
    cardPage(ws);
    ws.report->reportTitle.clear();
}

} // namespace cm
