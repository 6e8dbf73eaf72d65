#pragma once
// One PDF being written page by page, each page the whole sheet. The file
// replaces an existing one only when it is committed, so a failed or
// cancelled export leaves the old file as it was.
#include "engine/pages/pagecalibration.h"
#include "report/rounding.h"

#include <QPainter>
#include <QPdfWriter>
#include <QRectF>
#include <QSaveFile>
#include <QString>

#include <optional>

namespace cm {

// Throws EQRError when a sheet of `width` x `length` (native units) cannot
// be a page of a PDF or an image.
void requireExportableSheet(Extended width, Extended length);

class PdfFile {
public:
    // Throws EQRError when the file cannot be created.
    PdfFile(const QString& fileName, const QString& title, Extended sheetWidth, Extended sheetLength,
            const PageCalibration& calibration);
    PdfFile(const PdfFile&) = delete;
    PdfFile& operator=(const PdfFile&) = delete;

    // The painter of a new page (the first call gives the first page) and
    // where the sheet goes on it.
    QPainter& nextPage();
    const QRectF& target() const { return target_; }
    // Ends the document and puts the file in place; throws EQRError.
    void commit();

private:
    QSaveFile file_;
    std::optional<QPdfWriter> writer_;
    QPainter painter_;
    QRectF target_;
    bool started_ = false;
};

// Puts a saved file in place; throws EQRError when that fails.
void commitFile(QSaveFile& file);

} // namespace cm
