#pragma once
// Paints a report as the design surface shows it: the paper, the bands and
// every element drawn by the same element printers that make the printed
// cards (so the surface shows what prints), plus the design-time marks.
// Printers are kept between paints; invalidate() drops them after a change.
#include "report/graphics.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPen>
#include <QPointer>
#include <QRect>

#include <memory>
#include <unordered_map>

class QPainter;
class QPaintDevice;

namespace cm {

class Component;
class TQRCustomReport;
class TQRCustomBand;
class TQRPrintable;
class ElementPrinter;

// What is drawn besides the printed content.
struct SurfaceMarks {
    bool designMarks = true;        // off: only what prints (no grid, outlines, names, corner marks)
    bool showBandNames = true;
    bool showComponentFrames = false;
    QColor componentFrameColor = QColor(0x80, 0x80, 0x80);
    Qt::PenStyle componentFrameStyle = Qt::DotLine;
    QFont bandNameFont;
    QColor bandNameColor = QColor(0xC0, 0xC0, 0xC0);
};

// The colours and pens of the design-time marks. The reduced palette is
// for screens of 256 colours or fewer.
struct DesignPalette {
    QPen gridMinor, gridMajor;
    QColor labelColor;
    QPen marginBox;
    QPen bandOutline;
    static DesignPalette rich();
    static DesignPalette reduced();
    static const DesignPalette& forScreen();
};

// Model rectangles (zoom 100, report coordinates) to widget rectangles.
QRect toWidgetRect(const QRect& modelRect, int zoom);
int toWidgetLength(int model, int zoom);

class ReportPainter {
public:
    explicit ReportPainter(TQRCustomReport& report);
    ~ReportPainter();
    ReportPainter(const ReportPainter&) = delete;
    ReportPainter& operator=(const ReportPainter&) = delete;

    // The model changed: printers and laid-out text are made again on the next paint.
    void invalidate();

    // Paints the area `exposed` (widget pixels) of the report at `zoom` percent.
    void paint(QPaintDevice& device, const QRect& exposed, int zoom, const SurfaceMarks& marks);

private:
    class Output;
    struct Cached {
        QPointer<Component> guard;   // the printer is stale when its element has gone
        std::unique_ptr<ElementPrinter> printer;
    };

    void paintReport(QPainter& p, int zoom, const SurfaceMarks& marks);
    void paintBand(QPainter& p, TQRCustomBand& band, int zoom, const SurfaceMarks& marks);
    void paintElement(QPainter& p, TQRPrintable& element, int zoom, const SurfaceMarks& marks);
    void paintGrid(QPainter& p, const QRect& widgetRect, int zoom, bool labels);
    ElementPrinter* printerFor(TQRPrintable& element);
    const QImage& backgroundOf(TQRCustomBand& band, const TQRBitmap& bitmap);

    TQRCustomReport& report_;
    std::unique_ptr<Output> output_;
    std::unordered_map<const Component*, Cached> printers_;
    struct Background {
        QPointer<Component> guard;
        QImage image;   // the band's design background, decoded once
    };
    std::unordered_map<const Component*, Background> backgrounds_;
    const DesignPalette& palette_;
    QFont labelFont_;
};

} // namespace cm
