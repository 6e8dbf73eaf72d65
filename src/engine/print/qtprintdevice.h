#pragma once
// The printer destination through QPrinter (CUPS). Without any installed
// printer it reports none and every job call does nothing.
#include "engine/pages/printdevice.h"

#include <QPainter>
#include <QPrinter>
#include <memory>

namespace cm {

class TQRQtPrintDevice final : public TQRPrintDevice {
public:
    // The named printer, or the system's default printer when empty.
    explicit TQRQtPrintDevice(const QString& printerName = QString());
    // Printing into a PDF file instead of to a printer: the whole print path
    // (job, pages, paper, orientation) with the file as the printer.
    struct PrintToFile {};
    TQRQtPrintDevice(PrintToFile, const QString& pdfFileName);
    ~TQRQtPrintDevice() override;

    // True when the platform lists at least one printer.
    static bool anyPrinterInstalled();

    bool printerInstalled() const override { return m_installed; }
    void applySettings(const TQRPrintJobSettings& settings) override;
    int dpiX() const override;
    int dpiY() const override;
    QPointF offsetNative() const override;
    QSizeF paperSizeNative() const override;
    QPainter* beginJob(const QString& title, bool fullPage) override;
    bool jobRunning() const override { return m_painter.isActive(); }
    bool newPage() override;
    void endJob() override;
    void abortJob() override;

    QPrinter& printer() { return *m_printer; }

private:
    std::unique_ptr<QPrinter> m_printer;
    QPainter m_painter;
    bool m_installed = false;
};

// The default printer, or null when none is installed.
std::unique_ptr<TQRPrintDevice> defaultPrintDevice();

} // namespace cm
