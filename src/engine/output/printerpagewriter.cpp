#include "engine/output/printerpagewriter.h"

#include "engine/pages/pageplayer.h"
#include "engine/pages/printdevice.h"
#include "engine/pages/qrprinter.h"
#include "engine/qrerror.h"

namespace cm {

// QPainter on a QPrinter may live on a thread other than the GUI thread as
// long as that one thread begins, paints and ends it; the output stage's
// thread does all three (the pages only travel as recordings). The other
// way round, generation off the GUI thread, would put the data sets, the
// scripts and the progress window's events on a second thread.
PrinterPageWriter::PrinterPageWriter(TQRPrintDevice& printer, const PageCalibration& calibration)
    : printer_(printer), calibration_(calibration)
{
}

PrinterPageWriter::~PrinterPageWriter()
{
    if (painter_ && !finished_ && printer_.jobRunning())
        printer_.abortJob();
}

void PrinterPageWriter::write(const FinishedPage& page)
{
    if (!painter_) {
        painter_ = printer_.beginJob(page.title, false);
        if (!painter_)
            throw EQRError(QStringLiteral("The printer did not start the print job"));
    } else if (!printer_.newPage()) {
        throw EQRError(QStringLiteral("The printer did not start a new page"));
    }
    // The page was recorded in the printer's own dots: it is played one to
    // one, under the printer's calibration.
    painter_->setWorldTransform(calibration_.isIdentity()
                                    ? QTransform()
                                    : calibrationTransform(calibration_, printer_.dpiX(), printer_.dpiY()));
    drawThroughRelay(*painter_, page.picture, page.images, QRectF(page.picture.boundingRect()));
}

void PrinterPageWriter::finish()
{
    finished_ = true;
    // A print range with no page starts no job.
    if (painter_ && printer_.jobRunning())
        printer_.endJob();
}

PrintStages::PrintStages(TQRPrinter& pages) : pages_(pages), handOver_(false)
{
    TQRPrintDevice* printer = pages.printDevice();
    if (!printer)
        throw EQRError(QStringLiteral("No printer installed"));
    pages_.setPageHandOver(&handOver_);
    stage_ = std::make_unique<PageOutputStage>(
        handOver_, std::make_unique<PrinterPageWriter>(*printer, pages.printerCalibration()));
}

PrintStages::~PrintStages()
{
    stage_.reset();   // stops and joins before the hand-over goes
    pages_.setPageHandOver(nullptr);
}

// The job is ended here, not when generation ends the document: a cancel
// that comes after the last card was made still aborts the job.
int PrintStages::finish()
{
    handOver_.close();
    return stage_->finish();
}

void PrintStages::cancel() { stage_->cancel(); }

} // namespace cm
