#include "engine/output/pdffile.h"

#include "engine/qrerror.h"

#include <QPageLayout>
#include <QPageSize>

#include <algorithm>

namespace cm {

namespace {

constexpr double NativePerInch = 254.0;
// PDF viewers refuse pages above 200 inches.
constexpr double MaxSheetNative = 200 * NativePerInch;

QPageLayout pdfLayout(Extended width, Extended length)
{
    const bool landscape = double(width) > double(length);
    const double shortSide = double(std::min(width, length)) / 10;
    const double longSide = double(std::max(width, length)) / 10;
    const QPageSize size(QSizeF(shortSide, longSide), QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch);
    return QPageLayout(size, landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
}

} // namespace

void requireExportableSheet(Extended width, Extended length)
{
    const double w = double(width);
    const double h = double(length);
    if (!(w > 0 && h > 0 && w <= MaxSheetNative && h <= MaxSheetNative))
        throw EQRError(QStringLiteral("The page size %1 x %2 mm cannot be exported").arg(w / 10).arg(h / 10));
}

void commitFile(QSaveFile& file)
{
    if (!file.commit())
        throw EQRError(QStringLiteral("Cannot write \"%1\": %2").arg(file.fileName(), file.errorString()));
}

PdfFile::PdfFile(const QString& fileName, const QString& title, Extended sheetWidth, Extended sheetLength,
                 const PageCalibration& calibration)
    : file_(fileName)
{
    requireExportableSheet(sheetWidth, sheetLength);
    if (!file_.open(QIODevice::WriteOnly))
        throw EQRError(QStringLiteral("Cannot create \"%1\": %2").arg(fileName, file_.errorString()));
    writer_.emplace(&file_);
    writer_->setTitle(title);
    writer_->setCreator(QStringLiteral("Cardmint"));
    writer_->setPageLayout(pdfLayout(sheetWidth, sheetLength));
    if (!painter_.begin(&*writer_))
        throw EQRError(QStringLiteral("Cannot start the PDF \"%1\"").arg(fileName));
    target_ = calibratedTarget(writer_->pageLayout().fullRectPixels(writer_->resolution()), calibration,
                               writer_->resolution() / 25.4);
}

QPainter& PdfFile::nextPage()
{
    if (started_)
        writer_->newPage();
    started_ = true;
    return painter_;
}

void PdfFile::commit()
{
    painter_.end();
    writer_.reset();
    commitFile(file_);
}

} // namespace cm
