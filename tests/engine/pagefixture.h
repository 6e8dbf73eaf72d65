#pragma once
// Small helpers for page-output tests: a run of numbered pages and a fake
// printer that records what a print job received.
#include "engine/pages/printdevice.h"
#include "engine/pages/qrprinter.h"

#include <QPainter>
#include <QPicture>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <vector>

namespace cm::test {

// Generates `pages` pages on the metafile destination. Each page carries a
// black box whose width in native units is 100 × the page number, so pages
// can be told apart after a round trip.
inline void generatePages(TQRPrinter& printer, int pages)
{
    printer.openDocument();
    for (int n = 1; n <= pages; ++n) {
        printer.turnPage();
        QPainter& canvas = *printer.canvas();
        canvas.fillRect(QRect(int(printer.deviceX(100)), int(printer.deviceY(100)),
                              int(printer.deviceWidth(100 * n)), int(printer.deviceHeight(50))),
                        Qt::black);
        canvas.drawText(QPoint(int(printer.deviceX(100)), int(printer.deviceY(300))),
                        QStringLiteral("Page %1").arg(n));
    }
    printer.closeDocument();
}

// Records every job, page and painter call a print run makes.
struct FakePrintLog {
    int jobsBegun = 0;
    int jobsEnded = 0;
    int jobsAborted = 0;
    int pagesStarted = 0;      // including the first page of each job
    bool lastJobFullPage = false;
    QString lastTitle;
    TQRPrintJobSettings lastSettings;
    int settingsApplied = 0;
};

class FakePrintDevice final : public TQRPrintDevice {
public:
    FakePrintDevice(std::shared_ptr<FakePrintLog> log, int dpi = 127, QPointF offset = {})
        : m_log(std::move(log)), m_dpi(dpi), m_offset(offset)
    {
    }
    bool printerInstalled() const override { return true; }
    void applySettings(const TQRPrintJobSettings& settings) override
    {
        m_log->lastSettings = settings;
        ++m_log->settingsApplied;
    }
    int dpiX() const override { return m_dpi; }
    int dpiY() const override { return m_dpi; }
    QPointF offsetNative() const override { return m_offset; }
    QSizeF paperSizeNative() const override { return {2100, 2970}; }
    QPainter* beginJob(const QString& title, bool fullPage) override
    {
        ++m_log->jobsBegun;
        ++m_log->pagesStarted;
        m_log->lastTitle = title;
        m_log->lastJobFullPage = fullPage;
        m_painter.begin(&m_sink);
        return &m_painter;
    }
    bool jobRunning() const override { return m_painter.isActive(); }
    bool newPage() override
    {
        ++m_log->pagesStarted;
        if (onNewPage)
            onNewPage();
        return true;
    }
    std::function<void()> onNewPage;
    void endJob() override
    {
        ++m_log->jobsEnded;
        m_painter.end();
    }
    void abortJob() override
    {
        ++m_log->jobsAborted;
        m_painter.end();
    }

private:
    std::shared_ptr<FakePrintLog> m_log;
    int m_dpi;
    QPointF m_offset;
    QPicture m_sink;
    QPainter m_painter;
};

} // namespace cm::test
