#pragma once
// What the output stage writes pages into: a PDF, or a report file.
#include "engine/output/pageoutputstage.h"
#include "engine/output/pdffile.h"
#include "engine/pages/pagelist.h"

#include <QString>

#include <memory>

namespace cm {

// The pages of a run into one PDF, drawn as they were recorded.
class PdfPageWriter final : public PageWriter {
public:
    PdfPageWriter(const QString& fileName, const PageCalibration& calibration);
    void write(const FinishedPage& page) override;
    void finish() override;

private:
    QString fileName_;
    PageCalibration calibration_;
    std::unique_ptr<PdfFile> pdf_;   // opened with the first page, which gives the sheet
};

// The pages of a run into a report file, byte for byte as the page list
// would save them; the hand-over must carry the pages' stored bytes.
class ReportFileWriter final : public PageWriter {
public:
    explicit ReportFileWriter(const QString& fileName);
    void write(const FinishedPage& page) override;
    void finish() override;

private:
    QString fileName_;
    std::unique_ptr<TQRPageList> pages_;
};

} // namespace cm
