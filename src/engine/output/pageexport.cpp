#include "engine/output/pageexport.h"

#include "engine/output/imagefileset.h"
#include "engine/output/pageimagepool.h"
#include "engine/output/pdffile.h"

#include "engine/pages/pagereplay.h"
#include "engine/qrerror.h"
#include "engine/pages/qrprinter.h"

#include <QFileInfo>

#include <optional>

namespace cm {

namespace {

void requirePages(const TQRPrinter& pages)
{
    if (pages.state() != TQRPrinterState::Finished)
        throw EQRError(QStringLiteral("QRPrinter not ready"));
    if (pages.storedPages() == 0)
        throw EQRError(QStringLiteral("There are no pages to export"));
    requireExportableSheet(pages.sheetWidth(), pages.sheetLength());
}

} // namespace

int exportPdf(const TQRPrinter& pages, const QString& fileName, const ExportProgress& progress,
              const PageCalibration& calibration)
{
    requirePages(pages);
    PdfFile pdf(fileName, pages.title(), pages.sheetWidth(), pages.sheetLength(), calibration);
    const int count = pages.storedPages();
    int written = 0;
    PagePlayer player;
    for (int n = 1; n <= count; ++n) {
        pages.playPage(n, pdf.nextPage(), pdf.target(), player);
        ++written;
        if (progress && !progress(n, count))
            break;
    }
    // A stopped export leaves no half document in place of the old file:
    // an uncommitted file is dropped.
    if (written < count)
        return 0;
    pdf.commit();
    return written;
}

int exportImages(const TQRPrinter& pages, const QString& pattern, TQRImageFormat format, int dpi,
                 const ExportProgress& progress)
{
    requirePages(pages);
    const int count = pages.storedPages();
    if (count > 1 && !pattern.contains(QLatin1Char('#')))
        throw EQRError(QStringLiteral("The file name pattern needs a # for the page number"));
    QStringList names;
    names.reserve(count);
    for (int n = 1; n <= count; ++n)
        names << pageFileName(pattern, n);
    ImageExportOptions options;
    options.format = format;
    options.dpi = dpi;
    return exportImageFiles(pages, names, options, progress);
}

int exportImageFiles(const TQRPrinter& pages, const QStringList& names, const ImageExportOptions& options,
                     const ExportProgress& progress)
{
    requirePages(pages);
    requireImageOptions(options);
    const int count = pages.storedPages();
    if (names.size() < count)
        throw EQRError(QStringLiteral("There is no file name for page %1").arg(names.size() + 1));
    ImageFileSet files;
    PageImagePool pool(options, pageImageSize(pages.sheetWidth(), pages.sheetLength(), options.dpi));
    // Returns false when `progress` stops the export.
    auto store = [&](bool all) {
        while (const std::optional<QByteArray> bytes = pool.take(all || pool.full())) {
            const int n = files.size() + 1;
            files.add(QFileInfo(names[n - 1]).path(), *bytes);
            if (progress && !progress(n, count))
                return false;
        }
        return true;
    };
    for (int n = 1; n <= count; ++n) {
        pool.add([&pages, n](QPainter& painter, const QRectF& target, PagePlayer& player) {
            pages.playPage(n, painter, target, player);
        });
        if (!store(false))
            return 0;
    }
    if (!store(true))
        return 0;
    files.commit(names);
    return count;
}

QString pageFileName(const QString& pattern, int page)
{
    const qsizetype end = pattern.lastIndexOf(QLatin1Char('#'));
    if (end < 0)
        return pattern;
    qsizetype start = end;
    while (start > 0 && pattern[start - 1] == QLatin1Char('#'))
        --start;
    const int width = int(end - start + 1);
    QString result = pattern;
    result.replace(start, width, QStringLiteral("%1").arg(page, width, 10, QLatin1Char('0')));
    return result;
}

} // namespace cm
