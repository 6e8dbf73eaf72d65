#pragma once
// Export of stored pages: all pages into one PDF, or each page into an image
// file. Pages are decoded, drawn and released one at a time, so memory does
// not grow with the number of pages.
#include "engine/pages/pagecalibration.h"

#include <QRectF>
#include <QString>
#include <QStringList>
#include <functional>

namespace cm {

class TQRPrinter;

// Called after each page with (page, page count); returning false stops.
using ExportProgress = std::function<bool(int page, int count)>;

// Writes every stored page to `fileName`, page size from the printer's
// sheet. An existing file is replaced only when the whole export succeeded.
// Returns the number of pages written (0 when `progress` stopped it: then
// nothing is written); throws EQRError.
int exportPdf(const TQRPrinter& pages, const QString& fileName, const ExportProgress& progress = {},
              const PageCalibration& calibration = {});

enum class TQRImageFormat { Png, Jpeg };

struct ImageExportOptions {
    TQRImageFormat format = TQRImageFormat::Png;
    int dpi = 300;
    int quality = 90;        // JPEG only, 0 to 100
    int threads = 0;         // 0: one per core
    PageCalibration calibration;
};

// Writes page n to pageFileName(pattern, n) at `dpi` dots per inch.
// Returns the number of pages written; throws EQRError.
int exportImages(const TQRPrinter& pages, const QString& pattern, TQRImageFormat format, int dpi,
                 const ExportProgress& progress = {});
// Writes page n to names[n - 1]; there must be a name for every page. Pages
// are drawn and encoded on several threads; each file gets its own page
// whatever the order they finish in. Progress is told in pages done. The
// files get their names only once every page is written: a stopped export
// returns 0 and a failed one throws, and either leaves every name as it was.
int exportImageFiles(const TQRPrinter& pages, const QStringList& names, const ImageExportOptions& options,
                     const ExportProgress& progress = {});

// The last run of '#' in `pattern` becomes the page number, zero-padded to
// the run's length ("card-###.png" → "card-007.png"). A pattern without '#'
// is returned unchanged.
QString pageFileName(const QString& pattern, int page);

constexpr int MinExportDpi = 10;
constexpr int MaxExportDpi = 1200;

} // namespace cm
