#include "engine/pageexport.h"

#include "engine/pagereplay.h"
#include "engine/qrerror.h"
#include "engine/qrprinter.h"

#include <QImage>
#include <QImageWriter>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace cm {

namespace {

constexpr double NativePerInch = 254.0;
// PDF viewers refuse pages above 200 inches.
constexpr double MaxSheetNative = 200 * NativePerInch;
// One page image may take at most this many pixels (400 MB as RGB32).
constexpr qint64 MaxImagePixels = 100'000'000;

void requirePages(const TQRPrinter& pages)
{
    if (pages.state() != TQRPrinterState::Finished)
        throw EQRError(QStringLiteral("QRPrinter not ready"));
    if (pages.storedPages() == 0)
        throw EQRError(QStringLiteral("There are no pages to export"));
    const double w = double(pages.sheetWidth());
    const double h = double(pages.sheetLength());
    if (!(w > 0 && h > 0 && w <= MaxSheetNative && h <= MaxSheetNative))
        throw EQRError(QStringLiteral("The page size %1 x %2 mm cannot be exported").arg(w / 10).arg(h / 10));
}

QPageLayout pdfLayout(const TQRPrinter& pages)
{
    const bool landscape = double(pages.sheetWidth()) > double(pages.sheetLength());
    const double shortSide = double(std::min(pages.sheetWidth(), pages.sheetLength())) / 10;
    const double longSide = double(std::max(pages.sheetWidth(), pages.sheetLength())) / 10;
    const QPageSize size(QSizeF(shortSide, longSide), QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch);
    return QPageLayout(size, landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
}

void commit(QSaveFile& file)
{
    if (!file.commit())
        throw EQRError(QStringLiteral("Cannot write \"%1\": %2").arg(file.fileName(), file.errorString()));
}

} // namespace

int exportPdf(const TQRPrinter& pages, const QString& fileName, const ExportProgress& progress)
{
    requirePages(pages);
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw EQRError(QStringLiteral("Cannot create \"%1\": %2").arg(fileName, file.errorString()));
    const int count = pages.storedPages();
    int written = 0;
    {
        QPdfWriter writer(&file);
        writer.setTitle(pages.title());
        writer.setCreator(QStringLiteral("Cardmint"));
        writer.setPageLayout(pdfLayout(pages));
        QPainter painter;
        if (!painter.begin(&writer))
            throw EQRError(QStringLiteral("Cannot start the PDF \"%1\"").arg(fileName));
        const QRectF target = writer.pageLayout().fullRectPixels(writer.resolution());
        PagePlayer player;
        for (int n = 1; n <= count; ++n) {
            if (n > 1)
                writer.newPage();
            pages.playPage(n, painter, target, player);
            ++written;
            if (progress && !progress(n, count))
                break;
        }
        painter.end();
    }
    commit(file);
    return written;
}

int exportImages(const TQRPrinter& pages, const QString& pattern, TQRImageFormat format, int dpi,
                 const ExportProgress& progress)
{
    requirePages(pages);
    if (dpi < MinExportDpi || dpi > MaxExportDpi)
        throw EQRError(QStringLiteral("The resolution must be %1 to %2 dpi").arg(MinExportDpi).arg(MaxExportDpi));
    const int count = pages.storedPages();
    if (count > 1 && !pattern.contains(QLatin1Char('#')))
        throw EQRError(QStringLiteral("The file name pattern needs a # for the page number"));
    const qint64 width = rnd(pages.sheetWidth() * dpi / NativePerInch);
    const qint64 height = rnd(pages.sheetLength() * dpi / NativePerInch);
    if (width < 1 || height < 1 || width * height > MaxImagePixels)
        throw EQRError(QStringLiteral("A page of %1 x %2 pixels is too large; choose a lower resolution").arg(width).arg(height));
    const char* formatName = format == TQRImageFormat::Png ? "png" : "jpeg";
    const int dotsPerMeter = int(rnd(dpi / 0.0254));

    QImage image(int(width), int(height), QImage::Format_RGB32);
    if (image.isNull())
        throw EQRError(QStringLiteral("Not enough memory for a page image"));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    PagePlayer player;
    for (int n = 1; n <= count; ++n) {
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setRenderHint(QPainter::TextAntialiasing);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            pages.playPage(n, painter, QRectF(0, 0, width, height), player);
        }
        const QString name = pageFileName(pattern, n);
        QSaveFile file(name);
        if (!file.open(QIODevice::WriteOnly))
            throw EQRError(QStringLiteral("Cannot create \"%1\": %2").arg(name, file.errorString()));
        QImageWriter writer(&file, formatName);
        if (format == TQRImageFormat::Jpeg)
            writer.setQuality(90);
        if (!writer.write(image))
            throw EQRError(QStringLiteral("Cannot write \"%1\": %2").arg(name, writer.errorString()));
        commit(file);
        if (progress && !progress(n, count))
            return n;
    }
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
