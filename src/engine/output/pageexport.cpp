#include "engine/output/pageexport.h"

#include "engine/output/pdffile.h"
#include "engine/output/pngwriter.h"

#include "engine/pages/pagereplay.h"
#include "engine/qrerror.h"
#include "engine/pages/qrprinter.h"

#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <optional>
#include <thread>

namespace cm {

namespace {

constexpr double NativePerInch = 254.0;
// One page image may take at most this many pixels (400 MB as RGB32).
constexpr qint64 MaxImagePixels = 100'000'000;

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

namespace {

// One worker's page: its own image, painter state and picture player, so
// that workers share nothing but the page list (which locks itself).
class PageRasteriser {
public:
    PageRasteriser(const TQRPrinter& pages, const ImageExportOptions& options, QSize size)
        : pages_(pages), options_(options), image_(size, QImage::Format_RGB32)
    {
        if (image_.isNull())
            throw EQRError(QStringLiteral("Not enough memory for a page image"));
        const int dotsPerMeter = int(rnd(options.dpi / 0.0254));
        image_.setDotsPerMeterX(dotsPerMeter);
        image_.setDotsPerMeterY(dotsPerMeter);
        target_ = calibratedTarget(QRectF(QPointF(0, 0), QSizeF(size)), options.calibration, options.dpi / 25.4);
    }

    void write(int n, const QString& name)
    {
        image_.fill(Qt::white);
        {
            QPainter painter(&image_);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setRenderHint(QPainter::TextAntialiasing);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            pages_.playPage(n, painter, target_, player_);
        }
        QSaveFile file(name);
        if (!file.open(QIODevice::WriteOnly))
            throw EQRError(QStringLiteral("Cannot create \"%1\": %2").arg(name, file.errorString()));
        if (options_.format == TQRImageFormat::Png) {
            if (!writeFastPng(image_, file))
                throw EQRError(QStringLiteral("Cannot write \"%1\": %2").arg(name, file.errorString()));
        } else {
            QImageWriter writer(&file, "jpeg");
            writer.setQuality(options_.quality);
            if (!writer.write(image_))
                throw EQRError(QStringLiteral("Cannot write \"%1\": %2").arg(name, writer.errorString()));
        }
        commitFile(file);
    }

private:
    const TQRPrinter& pages_;
    const ImageExportOptions& options_;
    QImage image_;
    QRectF target_;
    PagePlayer player_;
};

} // namespace

int exportImageFiles(const TQRPrinter& pages, const QStringList& names, const ImageExportOptions& options,
                     const ExportProgress& progress)
{
    requirePages(pages);
    const int dpi = options.dpi;
    if (dpi < MinExportDpi || dpi > MaxExportDpi)
        throw EQRError(QStringLiteral("The resolution must be %1 to %2 dpi").arg(MinExportDpi).arg(MaxExportDpi));
    if (options.quality < 0 || options.quality > 100)
        throw EQRError(QStringLiteral("The JPEG quality must be 0 to 100"));
    const int count = pages.storedPages();
    if (names.size() < count)
        throw EQRError(QStringLiteral("There is no file name for page %1").arg(names.size() + 1));
    const qint64 width = rnd(pages.sheetWidth() * dpi / NativePerInch);
    const qint64 height = rnd(pages.sheetLength() * dpi / NativePerInch);
    if (width < 1 || height < 1 || width * height > MaxImagePixels)
        throw EQRError(QStringLiteral("A page of %1 x %2 pixels is too large; choose a lower resolution").arg(width).arg(height));
    const QSize size{int(width), int(height)};

    const int cores = int(std::max(1u, std::thread::hardware_concurrency()));
    const int threads = std::clamp(options.threads > 0 ? options.threads : cores, 1, std::max(1, count));
    std::atomic<int> next = 1;
    std::atomic<bool> stop = false;
    std::mutex lock;   // guards done, the first error and the progress calls
    int done = 0;
    std::optional<EQRError> failure;
    auto work = [&] {
        try {
            PageRasteriser raster(pages, options, size);
            for (int n = next++; n <= count && !stop; n = next++) {
                raster.write(n, names[n - 1]);
                const std::lock_guard guard(lock);
                ++done;
                if (progress && !stop && !progress(done, count))
                    stop = true;
            }
        } catch (const EQRError& error) {
            const std::lock_guard guard(lock);
            if (!failure)
                failure = error;
            stop = true;
        } catch (const std::exception&) {
            const std::lock_guard guard(lock);
            if (!failure)
                failure = EQRError(QStringLiteral("Not enough memory for a page image"));
            stop = true;
        }
    };
    std::vector<std::thread> workers;
    for (int t = 1; t < threads; ++t)
        workers.emplace_back(work);
    work();
    for (std::thread& w : workers)
        w.join();
    if (failure)
        throw *failure;
    return done;
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
