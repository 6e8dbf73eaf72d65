#pragma once
// What the output stage writes pages into: a PDF, a report file, or one
// image file per page.
#include "engine/output/pageexport.h"
#include "engine/output/pageoutputstage.h"
#include "engine/output/pdffile.h"
#include "engine/pages/pagelist.h"
#include "engine/pages/qrprinter.h"

#include <QString>

#include <functional>
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

// The pages of a run back into the run's own page list (a preview's), from
// the output stage: storing and compressing them leaves generation free.
class OwnListWriter final : public PageWriter {
public:
    explicit OwnListWriter(TQRPrinter& pages) : pages_(pages) {}
    void write(const FinishedPage& page) override { pages_.storeHandedPage(page); }
    void finish() override { pages_.finishHandedPages(); }

private:
    TQRPrinter& pages_;
};

class ImageFileSet;
class PageImagePool;

// The pages of a run as one image each, drawn and encoded by a few workers
// while generation goes on. The files wait in `files` under temporary names
// (in folderFor(page)) until the run gives them their names.
class ImagePageWriter final : public PageWriter {
public:
    ImagePageWriter(ImageFileSet& files, const ImageExportOptions& options, std::function<QString(int page)> folderFor);
    ~ImagePageWriter() override;
    void write(const FinishedPage& page) override;
    void finish() override;

private:
    void store(bool all);

    ImageFileSet& files_;
    ImageExportOptions options_;
    std::function<QString(int)> folderFor_;
    std::unique_ptr<PageImagePool> pool_;   // made with the first page, which gives the sheet
};

} // namespace cm
