#include "harness.h"

#include "engine/generate/modelaccess.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QTextItem>

namespace cm::test {

namespace {

class RecordingEngine : public QPaintEngine {
public:
    explicit RecordingEngine(Page& page) : QPaintEngine(AllFeatures), page_(page) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return User; }
    void updateState(const QPaintEngineState& state) override
    {
        if (state.state() & DirtyTransform)
            transform_ = state.transform();
        if (state.state() & DirtyBrush)
            brush_ = state.brush();
        if (state.state() & DirtyPen)
            pen_ = state.pen();
    }
    void drawTextItem(const QPointF& p, const QTextItem& item) override
    {
        DrawnItem d;
        d.kind = DrawnItem::Text;
        d.text = item.text();
        d.pos = transform_.map(p);
        d.transform = transform_;
        d.color = pen_.color();
        page_.push_back(d);
    }
    void drawRects(const QRectF* rects, int count) override
    {
        for (int i = 0; i < count; ++i)
            push(DrawnItem::Rect, transform_.mapRect(rects[i]));
    }
    void drawRects(const QRect* rects, int count) override
    {
        for (int i = 0; i < count; ++i)
            push(DrawnItem::Rect, transform_.mapRect(QRectF(rects[i])));
    }
    void drawLines(const QLineF* lines, int count) override
    {
        for (int i = 0; i < count; ++i) {
            DrawnItem d;
            d.kind = DrawnItem::Line;
            d.line = transform_.map(lines[i]);
            d.color = pen_.color();
            page_.push_back(d);
        }
    }
    void drawLines(const QLine* lines, int count) override
    {
        for (int i = 0; i < count; ++i)
            drawLines(std::array<QLineF, 1>{QLineF(lines[i])}.data(), 1);
    }
    void drawEllipse(const QRectF& r) override { push(DrawnItem::Ellipse, transform_.mapRect(r)); }
    void drawPixmap(const QRectF& r, const QPixmap&, const QRectF&) override { push(DrawnItem::Image, transform_.mapRect(r)); }
    void drawImage(const QRectF& r, const QImage&, const QRectF&, Qt::ImageConversionFlags) override
    {
        push(DrawnItem::Image, transform_.mapRect(r));
    }
    // Lines with a pen wider than one dot arrive as two-point polylines.
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override
    {
        if (mode == PolylineMode && count >= 2) {
            DrawnItem d;
            d.kind = DrawnItem::Line;
            d.line = transform_.map(QLineF(points[0], points[count - 1]));
            d.color = pen_.color();
            page_.push_back(d);
        }
    }
    // Filled rectangles arrive as paths; they are recorded by their bounds.
    void drawPath(const QPainterPath& path) override { push(DrawnItem::Rect, transform_.map(path).boundingRect()); }

private:
    void push(DrawnItem::Kind kind, const QRectF& r)
    {
        DrawnItem d;
        d.kind = kind;
        d.rect = r;
        d.color = brush_.style() == Qt::NoBrush ? pen_.color() : brush_.color();
        page_.push_back(d);
    }
    Page& page_;
    QTransform transform_;
    QBrush brush_;
    QPen pen_;
};

class RecordingDevice : public QPaintDevice {
public:
    explicit RecordingDevice(Page& page) : engine_(page) {}
    QPaintEngine* paintEngine() const override { return &engine_; }

protected:
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmWidth: case PdmHeight: return 10000;
        case PdmWidthMM: case PdmHeightMM: return 2646;
        case PdmDpiX: case PdmDpiY: case PdmPhysicalDpiX: case PdmPhysicalDpiY: return 96;
        case PdmDepth: return 32;
        case PdmNumColors: return INT_MAX;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return int(devicePixelRatioFScale());
        }
        return 0;
    }

private:
    mutable RecordingEngine engine_;
};

} // namespace

Page replayPage(const QPicture& picture)
{
    Page page;
    RecordingDevice device(page);
    QPainter painter(&device);
    const_cast<QPicture&>(picture).play(&painter);
    painter.end();
    return page;
}

Harness::Harness()
{
    TQRDesignReport& r = report();
    r.page.setPaperSize(TQRPaperSize::Custom);
    r.page.values[TQRPage::Wid] = 1000;
    r.page.values[TQRPage::Len] = 1000;
    for (TQRPage::Index i : {TQRPage::Top, TQRPage::Bottom, TQRPage::Left, TQRPage::Right})
        r.page.values[i] = 0;
    r.setDataSet(ws.table);
}

Harness::~Harness() = default;

TQRDesignBand* Harness::band(TQRBandType type, Extended height)
{
    auto* b = static_cast<TQRDesignBand*>(report().addBandOfType(type));
    b->size.values = {height, 1000};
    b->bounds.setHeight(int(dots(double(height))) + 1);
    return b;
}

TQRDesignLabel* Harness::label(TQRCustomBand* band, const QString& caption, Extended left, Extended top,
                               Extended width, Extended height)
{
    auto* l = add<TQRDesignLabel>(band, left, top, width, height);
    l->setCaption(caption);
    l->autoSize = false;
    l->transparent = true;
    return l;
}

TQRDesignDBText* Harness::field(TQRCustomBand* band, const QString& name, Extended left, Extended top,
                                Extended width, Extended height)
{
    auto* f = add<TQRDesignDBText>(band, left, top, width, height);
    f->dataSet = ws.table;
    f->setDataField(name);
    f->autoSize = false;
    f->transparent = true;
    return f;
}

int Harness::run(std::vector<FixtureDataSet::Record> records)
{
    ws.table->setSource(std::make_unique<FixtureDataSet>(std::move(records)));
    ReportGenerator generator(report(), output);
    generator.setScript(ws.designer->script.lines, ws.designer->scriptsEnabled);
    ScopedModelAccess access(&generator);
    generator.generate();
    fits = generator.fitReport();
    pages.clear();
    for (int n = 1; n <= output.storedPages(); ++n) {
        const auto picture = output.pageAt(n);
        pages.push_back(picture ? replayPage(*picture) : Page());
    }
    return int(pages.size());
}

QStringList Harness::texts(int page) const
{
    QStringList out;
    for (const DrawnItem& d : pages.at(size_t(page)))
        if (d.kind == DrawnItem::Text)
            out << d.text;
    return out;
}

QString Harness::sequence() const
{
    QStringList all;
    for (size_t i = 0; i < pages.size(); ++i)
        all << texts(int(i)).join(u' ');
    return all.join(QStringLiteral(" | "));
}

const DrawnItem* Harness::findText(int page, const QString& text) const
{
    for (const DrawnItem& d : pages.at(size_t(page)))
        if (d.kind == DrawnItem::Text && d.text == text)
            return &d;
    return nullptr;
}

} // namespace cm::test
