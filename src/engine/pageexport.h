#pragma once
// Export of stored pages: all pages into one PDF, or each page into an image
// file. Pages are decoded, drawn and released one at a time, so memory does
// not grow with the number of pages.
#include <QString>
#include <functional>

namespace cm {

class TQRPrinter;

// Called after each page with (page, page count); returning false stops.
using ExportProgress = std::function<bool(int page, int count)>;

// Writes every stored page to `fileName`, page size from the printer's
// sheet. An existing file is replaced only when the whole export succeeded.
// Returns the number of pages written; throws EQRError.
int exportPdf(const TQRPrinter& pages, const QString& fileName, const ExportProgress& progress = {});

enum class TQRImageFormat { Png, Jpeg };

// Writes page n to pageFileName(pattern, n) at `dpi` dots per inch.
// Returns the number of pages written; throws EQRError.
int exportImages(const TQRPrinter& pages, const QString& pattern, TQRImageFormat format, int dpi,
                 const ExportProgress& progress = {});

// The last run of '#' in `pattern` becomes the page number, zero-padded to
// the run's length ("card-###.png" → "card-007.png"). A pattern without '#'
// is returned unchanged.
QString pageFileName(const QString& pattern, int page);

constexpr int MinExportDpi = 10;
constexpr int MaxExportDpi = 1200;

} // namespace cm
