#pragma once
// The printer as the page output sees it. The core library cannot link the
// platform's print support, so the printer destination talks to this
// interface; print/qtprintdevice.h implements it with QPrinter and tests
// implement it with recorded pictures.
#include "report/papersize.h"
#include "report/printersettings.h"
#include "report/rounding.h"

#include <QPointF>
#include <QSizeF>
#include <QString>

class QPainter;

namespace cm {

// What a print job asks of the printer.
struct TQRPrintJobSettings {
    TQRPaperSize paperSize = TQRPaperSize::A4;
    TQROrientation orientation = TQROrientation::poPortrait;
    Extended paperWidth = 2100;    // native units, portrait; used for Custom only
    Extended paperLength = 2970;
    int copies = 1;
    TQRBin outputBin = TQRBin::Auto;
    bool duplex = false;
};

class TQRPrintDevice {
public:
    virtual ~TQRPrintDevice() = default;

    // False when no printer is installed; every other call may then do nothing.
    virtual bool printerInstalled() const = 0;
    // Applies what the printer supports and ignores the rest.
    virtual void applySettings(const TQRPrintJobSettings& settings) = 0;

    virtual int dpiX() const = 0;
    virtual int dpiY() const = 0;
    // The unprintable left and top offset, native units.
    virtual QPointF offsetNative() const = 0;
    // The paper the printer is set to, native units, portrait.
    virtual QSizeF paperSizeNative() const = 0;

    // Starts a job and returns its painter (null on failure). With
    // `fullPage` the painter's origin is the paper's corner; otherwise it is
    // the corner of the printable area.
    virtual QPainter* beginJob(const QString& title, bool fullPage) = 0;
    virtual bool jobRunning() const = 0;
    virtual bool newPage() = 0;
    virtual void endJob() = 0;
    virtual void abortJob() = 0;
};

} // namespace cm
