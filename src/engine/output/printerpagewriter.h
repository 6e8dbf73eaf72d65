#pragma once
// Printing as a two-stage run: generation records the pages of the print
// range at the printer's resolution and hands them over; the output stage
// paints each on the printer as it comes, so a long job starts printing
// its first cards while the later ones are made, and memory stays flat.
#include "engine/output/pageoutputstage.h"
#include "engine/pages/pagecalibration.h"

#include <QPainter>

#include <memory>

namespace cm {

class TQRPrintDevice;
class TQRPrinter;

// Paints handed pages on the printer, one printer page each. The job
// starts with the first page and ends in finish(); a writer dropped before
// that (a cancelled or failed run) aborts the job, so nothing half-made is
// printed.
class PrinterPageWriter final : public PageWriter {
public:
    PrinterPageWriter(TQRPrintDevice& printer, const PageCalibration& calibration);
    ~PrinterPageWriter() override;
    void write(const FinishedPage& page) override;
    void finish() override;

private:
    TQRPrintDevice& printer_;
    PageCalibration calibration_;
    QPainter* painter_ = nullptr;   // owned by the printer while its job runs
    bool finished_ = false;
};

// The hand-over and the printing stage of one print run of `pages` (with
// the printer destination); they stop together when either gives up.
class PrintStages {
public:
    explicit PrintStages(TQRPrinter& pages);
    ~PrintStages();
    PrintStages(const PrintStages&) = delete;
    PrintStages& operator=(const PrintStages&) = delete;

    // After generation: waits for the last page to be printed and returns
    // the number printed; throws the EQRError the printer met.
    int finish();
    // Stops both stages at the next page; the print job is aborted.
    void cancel();

private:
    TQRPrinter& pages_;
    PageHandOver handOver_;
    std::unique_ptr<PageOutputStage> stage_;
};

} // namespace cm
