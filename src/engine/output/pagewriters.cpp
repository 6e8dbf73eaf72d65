#include "engine/output/pagewriters.h"

#include "engine/output/imagefileset.h"
#include "engine/output/pageimagepool.h"
#include "engine/pages/pageplayer.h"

#include <QDateTime>

namespace cm {

namespace {

EQRError noPages() { return EQRError(QStringLiteral("There are no pages to export")); }

} // namespace

PdfPageWriter::PdfPageWriter(const QString& fileName, const PageCalibration& calibration)
    : fileName_(fileName), calibration_(calibration)
{
}

void PdfPageWriter::write(const FinishedPage& page)
{
    if (!pdf_)
        pdf_ = std::make_unique<PdfFile>(fileName_, page.title, page.sheetWidth, page.sheetLength, calibration_);
    // The page comes straight from the recording: nothing to check or decode.
    drawThroughRelay(pdf_->nextPage(), page.picture, page.images, pdf_->target());
}

void PdfPageWriter::finish()
{
    if (!pdf_)
        throw noPages();
    pdf_->commit();
}

ReportFileWriter::ReportFileWriter(const QString& fileName) : fileName_(fileName) {}

void ReportFileWriter::write(const FinishedPage& page)
{
    if (!pages_) {
        pages_ = std::make_unique<TQRPageList>();
        pages_->create(fileName_, page.compressed);
    }
    pages_->addPage(page.stored);
}

void ReportFileWriter::finish()
{
    if (!pages_)
        throw noPages();
    pages_->finish(QDateTime::currentDateTime());
    pages_->commit();
}

ImagePageWriter::ImagePageWriter(ImageFileSet& files, const ImageExportOptions& options,
                                 std::function<QString(int page)> folderFor)
    : files_(files), options_(options), folderFor_(std::move(folderFor))
{
    requireImageOptions(options_);
}

ImagePageWriter::~ImagePageWriter() = default;

void ImagePageWriter::write(const FinishedPage& page)
{
    if (!pool_) {
        requireExportableSheet(page.sheetWidth, page.sheetLength);
        pool_ = std::make_unique<PageImagePool>(options_, pageImageSize(page.sheetWidth, page.sheetLength, options_.dpi));
    }
    auto shared = std::make_shared<const FinishedPage>(page);
    pool_->add([shared](QPainter& painter, const QRectF& target, PagePlayer&) {
        drawThroughRelay(painter, shared->picture, shared->images, target);
    });
    store(false);
}

// Files the pages the workers have done, in page order: all of them when
// `all`, else those done and as many as keep the pool from being full.
void ImagePageWriter::store(bool all)
{
    while (const std::optional<QByteArray> bytes = pool_->take(all || pool_->full()))
        files_.add(folderFor_(files_.size() + 1), *bytes);
}

void ImagePageWriter::finish()
{
    if (!pool_)
        throw noPages();
    store(true);
}

} // namespace cm
