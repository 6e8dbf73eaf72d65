#include "designer/widgets/reportpainter.h"

#include "designer/designobjects.h"

#include "engine/paint/elementprinter.h"
#include "engine/pages/pagereplay.h"
#include "engine/pages/qrprinter.h"
#include "expr/environment.h"
#include "report/design.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include <vector>

namespace cm {

namespace {

constexpr double NativePerInch = 254;
constexpr double ModelPerNative = kScreenPixelsPerInch / NativePerInch;

// The surface as a print device: 96 dots per inch (model pixels) and no
// unprintable margin. Its one job draws with the painter that each paint
// opens on the surface, so the page output's pictures land there too.
class SurfaceDevice final : public TQRPrintDevice {
public:
    QPainter painter;

    bool printerInstalled() const override { return true; }
    void applySettings(const TQRPrintJobSettings&) override {}
    int dpiX() const override { return PageRecordingDpi; }
    int dpiY() const override { return PageRecordingDpi; }
    QPointF offsetNative() const override { return {}; }
    QSizeF paperSizeNative() const override { return {2100, 2970}; }
    QPainter* beginJob(const QString&, bool) override { running_ = true; return &painter; }
    bool jobRunning() const override { return running_; }
    bool newPage() override { return true; }
    void endJob() override { running_ = false; }
    void abortJob() override { running_ = false; }

private:
    bool running_ = false;
};

// Text elements show their design text: the caption (a data field's name,
// an expression's formula, a system value's name) or a memo's lines.
class DesignTextPrinter final : public TextPrinter {
public:
    explicit DesignTextPrinter(TQRCustomLabel& label)
        : TextPrinter(label, labelSettings(label)), label_(label), memo_(dynamic_cast<TQRMemo*>(&label) != nullptr)
    {
        captionBased_ = !(memo_ && !label.lines.lines.isEmpty());
    }

protected:
    void prepareText(PrintContext&) override
    {
        if (!captionBased_) {
            sourceLines_ = label_.lines.lines;
            return;
        }
        printText_ = label_.caption();
        if (memo_ && printText_.isEmpty())
            printText_ = label_.name();
    }
    int degree() const override
    {
        if (auto* l = dynamic_cast<const TQRDesignLabel*>(&label_))
            return l->degree();
        if (auto* x = dynamic_cast<const TQRDesignExpr*>(&label_))
            return x->degree();
        return 0;
    }

private:
    TQRCustomLabel& label_;
    bool memo_;
};

std::unique_ptr<ElementPrinter> makeDesignPrinter(TQRPrintable& element)
{
    if (auto* label = dynamic_cast<TQRCustomLabel*>(&element))
        return std::make_unique<DesignTextPrinter>(*label);
    return makeElementPrinter(element);
}

// The printers leave out disabled elements; the surface shows them all.
class EnabledForPaint {
public:
    explicit EnabledForPaint(TQRPrintable& e) : e_(e), was_(e.enabled()) { e_.setEnabled(true); }
    ~EnabledForPaint() { e_.setEnabled(was_); }
    EnabledForPaint(const EnabledForPaint&) = delete;
    EnabledForPaint& operator=(const EnabledForPaint&) = delete;

private:
    TQRPrintable& e_;
    bool was_;
};

QFont smallFont()
{
    QFont f;
    f.setFamilies({QStringLiteral("Small Fonts"), QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
    f.setPixelSize(8);   // 6 points
    return f;
}

int modelFromNative(Extended native) { return int(rnd(native * ModelPerNative)); }

} // namespace

// --- palettes and geometry

DesignPalette DesignPalette::rich()
{
    return {QPen(QColor(249, 249, 249), 0, Qt::SolidLine), QPen(QColor(240, 240, 240), 0, Qt::SolidLine),
            QColor(112, 112, 112), QPen(QColor(128, 128, 255), 0, Qt::DotLine), QPen(QColor(96, 96, 96), 0, Qt::DotLine)};
}

DesignPalette DesignPalette::reduced()
{
    return {QPen(QColor(192, 192, 192), 0, Qt::DotLine), QPen(QColor(192, 192, 192), 0, Qt::SolidLine),
            QColor(192, 192, 192), QPen(QColor(128, 128, 128), 0, Qt::DashLine), QPen(QColor(128, 128, 128), 0, Qt::SolidLine)};
}

const DesignPalette& DesignPalette::forScreen()
{
    static const DesignPalette palette = [] {
        const QScreen* screen = QGuiApplication::primaryScreen();
        return !screen || screen->depth() > 8 ? rich() : reduced();
    }();
    return palette;
}

int toWidgetLength(int model, int zoom) { return int(rnd(double(model) * zoom / 100)); }

QRect toWidgetRect(const QRect& r, int zoom)
{
    const int x0 = toWidgetLength(r.left(), zoom), y0 = toWidgetLength(r.top(), zoom);
    const int x1 = toWidgetLength(r.left() + r.width(), zoom), y1 = toWidgetLength(r.top() + r.height(), zoom);
    return QRect(x0, y0, x1 - x0, y1 - y0);
}

// --- the design-time page output

class ReportPainter::Output final : public PrintContext {
public:
    explicit Output(TQRCustomReport& report) : report_(report), environment_(makeReportEnvironment())
    {
        auto device = std::make_unique<SurfaceDevice>();
        device_ = device.get();
        printer_ = std::make_unique<TQRPrinter>(std::move(device));
        printer_->setDestination(TQRDestination::Printer);
        printer_->openDocument();
        printer_->turnPage();
    }

    QPainter& painter() { return device_->painter; }
    int zoom_ = 100;

    TQRPrinter& output() override { return *printer_; }
    QPainter& canvas() override { return device_->painter; }
    int zoom() const override { return zoom_; }
    bool canStretch(Extended) const override { return false; }
    void stretchBand(Extended, Extended&, bool&) override {}
    Extended bandExpansion() const override { return 0; }
    int pageNumber() const override { return 1; }
    QString reportTitle() const override { return report_.reportTitle; }
    int detailCount() const override { return 1; }
    int detailNumber() const override { return 0; }
    DataSetList* dataSets() override { return &dataSets_; }
    TQREvEnvironment* environment() override { return environment_.get(); }
    void registerAggregate(ExprPrinter*, Component*) override {}

private:
    TQRCustomReport& report_;
    SurfaceDevice* device_ = nullptr;
    std::unique_ptr<TQRPrinter> printer_;
    std::unique_ptr<TQREvEnvironment> environment_;
    DataSetList dataSets_;
};

// --- painting

ReportPainter::ReportPainter(TQRCustomReport& report)
    : report_(report), output_(std::make_unique<Output>(report)), palette_(DesignPalette::forScreen()), labelFont_(smallFont())
{
}

ReportPainter::~ReportPainter() = default;

void ReportPainter::invalidate()
{
    printers_.clear();
    backgrounds_.clear();
}

ElementPrinter* ReportPainter::printerFor(TQRPrintable& element)
{
    auto it = printers_.find(&element);
    if (it != printers_.end() && it->second.guard == &element)
        return it->second.printer.get();
    Cached& cached = printers_[&element];
    cached.guard = &element;
    cached.printer = makeDesignPrinter(element);
    if (cached.printer)
        cached.printer->startRun(*output_);
    return cached.printer.get();
}

const QImage& ReportPainter::backgroundOf(TQRCustomBand& band, const TQRBitmap& bitmap)
{
    auto it = backgrounds_.find(&band);
    if (it == backgrounds_.end() || it->second.guard != &band) {
        Background& b = backgrounds_[&band];
        b.guard = &band;
        b.image = bitmap.image();
        return b.image;
    }
    return it->second.image;
}

void ReportPainter::paint(QPaintDevice& device, const QRect& exposed, int zoom, const SurfaceMarks& marks)
{
    if (zoom != output_->zoom_) {
        // Text is measured at the zoom, so every layout is made again.
        printers_.clear();
        output_->zoom_ = zoom;
    }
    QPainter& p = output_->painter();
    if (!p.begin(&device))
        return;
    p.setClipRect(exposed);
    paintReport(p, zoom, marks);
    for (TQRCustomBand* band : report_.bandList())
        paintBand(p, *band, zoom, marks);
    for (Component* child : report_.childControls()) {
        if (auto* element = dynamic_cast<TQRPrintable*>(child))
            paintElement(p, *element, zoom, marks);
    }
    p.end();
}

void ReportPainter::paintReport(QPainter& p, int zoom, const SurfaceMarks& marks)
{
    const QRect paper = toWidgetRect(reportRectOf(report_), zoom);
    p.fillRect(paper, report_.enabled() ? toQColor(report_.color()) : QColor(192, 192, 192));
    if (!marks.designMarks)
        return;
    if (report_.page.ruler())
        paintGrid(p, paper, zoom, true);
    const auto& v = report_.page.values;
    const int left = modelFromNative(v[TQRPage::Left]), top = modelFromNative(v[TQRPage::Top]);
    const int right = report_.bounds.width() - modelFromNative(v[TQRPage::Right]);
    const int bottom = report_.bounds.height() - modelFromNative(v[TQRPage::Bottom]);
    const QRect box = toWidgetRect(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)), zoom);
    p.setPen(palette_.marginBox);
    p.setBrush(Qt::NoBrush);
    p.drawRect(box.adjusted(0, 0, -1, -1));
    const TQRFrame& frame = report_.frame;
    if (frame.anyFrame()) {
        p.setPen(QPen(toQColor(frame.color), 0, Qt::SolidLine));
        const int x1 = box.right(), y1 = box.bottom();
        if (frame.drawTop) p.drawLine(box.left(), box.top(), x1, box.top());
        if (frame.drawBottom) p.drawLine(box.left(), y1, x1, y1);
        if (frame.drawLeft) p.drawLine(box.left(), box.top(), box.left(), y1);
        if (frame.drawRight) p.drawLine(x1, box.top(), x1, y1);
    }
    const int columns = report_.page.columns();
    if (columns >= 2) {
        const Extended space = v[TQRPage::ColSpace];
        const Extended g = rnd((v[TQRPage::Wid] - v[TQRPage::Left] - v[TQRPage::Right] - space * (columns - 1)) / columns);
        p.setPen(palette_.marginBox);
        for (int k = 1; k < columns; ++k) {
            for (Extended x : {v[TQRPage::Left] + g * k + space * (k - 1), v[TQRPage::Left] + (g + space) * k}) {
                const int wx = toWidgetLength(modelFromNative(x), zoom);
                p.drawLine(wx, paper.top(), wx, box.top());
            }
        }
    }
}

void ReportPainter::paintGrid(QPainter& p, const QRect& r, int zoom, bool labels)
{
    // Step of the grid lines in model pixels, which lines are major, and
    // the label of a major line.
    double stepX = 0, stepY = 0;
    int majorEvery = 1;
    bool minors = true;
    bool characters = false;
    const double z = zoom / 100.0;
    switch (report_.units()) {
    case TQRUnit::MM:
        stepX = stepY = 50 * ModelPerNative * z;
        majorEvery = 2;
        labels = labels && zoom >= 60;
        minors = zoom >= 60;
        break;
    case TQRUnit::Inches:
        stepX = stepY = kScreenPixelsPerInch / 4.0 * z;
        majorEvery = 4;
        minors = zoom >= 50;
        break;
    case TQRUnit::Characters:
        // The report font's cells; the zoom does not apply.
        stepX = double(report_.page.toNative(10, true)) * ModelPerNative;
        stepY = double(report_.page.toNative(1, false)) * ModelPerNative;
        characters = true;
        break;
    case TQRUnit::Pixels:
    case TQRUnit::Native:
        return;
    }
    if (stepX < 2 || stepY < 2)
        return;
    std::vector<QLine> minor, major;
    struct Label {
        QPoint at;
        int number;
    };
    std::vector<Label> texts;
    auto collect = [&](double step, bool vertical) {
        const int extent = vertical ? r.width() : r.height();
        for (int k = 1;; ++k) {
            const int offset = int(rnd(k * step));
            if (offset >= extent)
                break;
            const bool isMajor = characters || k % majorEvery == 0;
            if (!isMajor && !minors)
                continue;
            const QLine line = vertical ? QLine(r.left() + offset, r.top(), r.left() + offset, r.bottom())
                                        : QLine(r.left(), r.top() + offset, r.right(), r.top() + offset);
            (isMajor ? major : minor).push_back(line);
            if (labels && isMajor) {
                const int number = characters ? (vertical ? k * 10 : k) : k / majorEvery;
                texts.push_back({vertical ? QPoint(r.left() + offset + 2, r.top()) : QPoint(r.left(), r.top() + offset + 2), number});
            }
        }
    };
    collect(stepX, true);
    collect(stepY, false);
    QPen minorPen = palette_.gridMinor, majorPen = palette_.gridMajor;
    if (characters)
        minorPen.setStyle(Qt::DotLine), majorPen.setStyle(Qt::DotLine);
    p.setPen(minorPen);
    p.drawLines(minor.data(), int(minor.size()));
    p.setPen(majorPen);
    p.drawLines(major.data(), int(major.size()));
    if (!texts.empty()) {
        p.setFont(labelFont_);
        p.setPen(palette_.labelColor);
        const int ascent = QFontMetrics(labelFont_).ascent();
        for (const Label& t : texts)
            p.drawText(t.at + QPoint(0, ascent), QString::number(t.number));
    }
}

void ReportPainter::paintBand(QPainter& p, TQRCustomBand& band, int zoom, const SurfaceMarks& marks)
{
    const QRect r = toWidgetRect(reportRectOf(band), zoom);
    p.fillRect(r, band.enabled() ? toQColor(band.color()) : QColor(192, 192, 192));
    if (marks.designMarks) {
        if (report_.page.ruler())
            paintGrid(p, r, zoom, false);
        p.setPen(palette_.bandOutline);
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(0, 0, -1, -1));
    }
    const Extended factor = ModelPerNative * zoom / 100;
    paintFrame(p, band.frame, r, factor, factor);
    if (marks.designMarks) {
        p.setFont(labelFont_);
        p.setPen(palette_.labelColor);
        const QFontMetrics fm(labelFont_);
        p.drawText(QPoint(r.left() + 2, r.bottom() + 1 - fm.height() - 4 + fm.ascent()), band.displayName());
        if (DesignBandProps* d = band.designProps(); d && !d->designBackground.isEmpty()) {
            const QImage& image = backgroundOf(band, d->designBackground);
            if (!image.isNull()) {
                const QRect target = toWidgetRect(QRect(d->designBackgroundDX, d->designBackgroundDY, image.width(), image.height()), zoom);
                p.save();
                p.setClipRect(r, Qt::IntersectClip);
                p.drawImage(target.translated(r.topLeft()), image);
                p.restore();
                if (report_.page.ruler())
                    paintGrid(p, r, zoom, false);
            }
        }
        if (marks.showBandNames) {
            p.setFont(marks.bandNameFont);
            p.setPen(marks.bandNameColor);
            p.drawText(QPoint(r.left() + 1, r.top() + 1 + QFontMetrics(marks.bandNameFont).ascent()), band.name());
        }
    }
    for (Component* child : band.childControls()) {
        if (auto* element = dynamic_cast<TQRPrintable*>(child))
            paintElement(p, *element, zoom, marks);
    }
}

void ReportPainter::paintElement(QPainter& p, TQRPrintable& element, int zoom, const SurfaceMarks& marks)
{
    const QRect r = toWidgetRect(reportRectOf(element), zoom);
    if (ElementPrinter* printer = printerFor(element)) {
        // The printers draw in model pixels from the parent's position in native units.
        const Component* parent = element.parentControl();
        const QPoint origin = parent && !dynamic_cast<const TQRCustomReport*>(parent) ? reportRectOf(*parent).topLeft() : QPoint();
        const double z = zoom / 100.0;
        p.setTransform(QTransform::fromScale(z, z));
        {
            EnabledForPaint enabled(element);
            printer->printAt(*output_, Extended(origin.x()) / ModelPerNative, Extended(origin.y()) / ModelPerNative);
        }
        p.resetTransform();
    }
    if (!marks.designMarks)
        return;
    const int x0 = r.left(), y0 = r.top(), x1 = r.left() + r.width() - 1, y1 = r.top() + r.height() - 1;
    const QLine corners[] = {
        {x0, y0, x0 + 3, y0}, {x0, y0, x0, y0 + 3}, {x1 - 3, y0, x1, y0}, {x1, y0, x1, y0 + 3},
        {x0, y1, x0 + 3, y1}, {x0, y1 - 3, x0, y1}, {x1 - 3, y1, x1, y1}, {x1, y1 - 3, x1, y1},
    };
    p.setPen(QPen(Qt::black, 0));
    p.drawLines(corners, 8);
    if (marks.showComponentFrames) {
        p.setPen(QPen(marks.componentFrameColor, 0, marks.componentFrameStyle));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(0, 0, -1, -1));
    }
}

} // namespace cm
