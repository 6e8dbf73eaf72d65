#include "engine/output/pagewriters.h"

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

} // namespace cm
