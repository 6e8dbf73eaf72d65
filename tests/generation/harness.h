#pragma once
// Builds small reports in code, runs them over a fixture logbook and reads
// back what was drawn on each page (texts with their positions, rectangles,
// lines) by replaying the recorded page pictures into a recording device.
#include "engine/generate/generator.h"
#include "engine/pages/qrprinter.h"
#include "fixturedataset.h"
#include "layout/workspace.h"

#include <QLineF>
#include <QPicture>
#include <QRectF>
#include <QTransform>

namespace cm::test {

struct DrawnItem {
    enum Kind { Text, Rect, Line, Ellipse, Image } kind = Text;
    QString text;
    QPointF pos;          // text: baseline start, in page dots (96 per inch)
    QRectF rect;
    QLineF line;
    QTransform transform; // the painter's transform when drawn
    QColor color;
};
using Page = std::vector<DrawnItem>;

Page replayPage(const QPicture& picture);

// Native units → the recorded page's dots.
inline double dots(double native) { return native * 96.0 / 254.0; }

struct Harness {
    Harness();
    ~Harness();

    Workspace ws;
    TQRDesignReport& report() { return *ws.report; }

    TQRDesignBand* band(TQRBandType type, Extended height);
    template <class T>
    T* add(TQRCustomBand* band, Extended left, Extended top, Extended width, Extended height)
    {
        auto* e = new T(&ws.window);   // owned by the container
        e->setParentControl(band);
        e->size.values = {height, left, top, width};
        e->setName(ws.window.nextFreeName(QStringLiteral("E")));
        return e;
    }
    TQRDesignLabel* label(TQRCustomBand* band, const QString& caption, Extended left, Extended top,
                          Extended width = 300, Extended height = 50);
    TQRDesignDBText* field(TQRCustomBand* band, const QString& name, Extended left, Extended top,
                           Extended width = 300, Extended height = 50);

    // Runs over the records (none: an empty open data set) and keeps the pages.
    int run(std::vector<FixtureDataSet::Record> records);
    int run(const QStringList& calls) { return run(callRecords(calls)); }

    std::vector<Page> pages;
    FitReport fits;   // the texts of the last run that did not fit
    // The drawn texts of a page, in drawing order.
    QStringList texts(int page) const;
    // All texts of all pages, "|" between pages.
    QString sequence() const;
    const DrawnItem* findText(int page, const QString& text) const;

    TQRPrinter output;
};

} // namespace cm::test
