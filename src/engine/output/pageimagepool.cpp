#include "engine/output/pageimagepool.h"

#include "engine/output/jpegwriter.h"
#include "engine/output/pngwriter.h"
#include "engine/pages/pagecalibration.h"
#include "engine/pages/pageplayer.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstring>
#include <exception>

namespace cm {

namespace {

constexpr double NativePerInch = 254.0;
// One page image may take at most this many pixels (400 MB as RGB32).
constexpr qint64 MaxImagePixels = 100'000'000;

EQRError noMemory() { return EQRError(QStringLiteral("Not enough memory for a page image")); }

// One worker's image, painted and encoded page after page.
class PageImageEncoder {
public:
    PageImageEncoder(const ImageExportOptions& options, QSize size)
        : options_(options), image_(size, QImage::Format_RGB32)
    {
        if (image_.isNull())
            throw noMemory();
        const int dotsPerMeter = int(rnd(options.dpi / 0.0254));
        image_.setDotsPerMeterX(dotsPerMeter);
        image_.setDotsPerMeterY(dotsPerMeter);
        target_ = calibratedTarget(QRectF(QPointF(0, 0), QSizeF(size)), options.calibration, options.dpi / 25.4);
    }

    QByteArray encode(const PageImagePool::Draw& draw)
    {
        // White in RGB32 is all bits set: one memset, the fastest fill there is.
        std::memset(image_.bits(), 0xFF, size_t(image_.sizeInBytes()));
        {
            QPainter painter(&image_);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setRenderHint(QPainter::TextAntialiasing);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            draw(painter, target_, player_);
        }
        const QByteArray bytes = options_.format == TQRImageFormat::Png ? encodeFastPng(image_)
                                                                        : encodeFastJpeg(image_, options_.quality);
        if (bytes.isEmpty())
            throw noMemory();
        return bytes;
    }

private:
    const ImageExportOptions& options_;
    QImage image_;
    QRectF target_;
    PagePlayer player_;
};

} // namespace

QSize pageImageSize(Extended sheetWidth, Extended sheetLength, int dpi)
{
    if (dpi < MinExportDpi || dpi > MaxExportDpi)
        throw EQRError(QStringLiteral("The resolution must be %1 to %2 dpi").arg(MinExportDpi).arg(MaxExportDpi));
    const qint64 width = rnd(sheetWidth * dpi / NativePerInch);
    const qint64 height = rnd(sheetLength * dpi / NativePerInch);
    if (width < 1 || height < 1 || width * height > MaxImagePixels)
        throw EQRError(QStringLiteral("A page of %1 x %2 pixels is too large; choose a lower resolution").arg(width).arg(height));
    return {int(width), int(height)};
}

void requireImageOptions(const ImageExportOptions& options)
{
    if (options.dpi < MinExportDpi || options.dpi > MaxExportDpi)
        throw EQRError(QStringLiteral("The resolution must be %1 to %2 dpi").arg(MinExportDpi).arg(MaxExportDpi));
    if (options.quality < 0 || options.quality > 100)
        throw EQRError(QStringLiteral("The JPEG quality must be 0 to 100"));
}

PageImagePool::PageImagePool(const ImageExportOptions& options, QSize size) : options_(options), size_(size)
{
    const int cores = int(std::max(1u, std::thread::hardware_concurrency()));
    const int threads = std::max(1, options.threads > 0 ? options.threads : cores);
    inFlight_ = size_t(2 * threads);
    for (int t = 0; t < threads; ++t)
        workers_.emplace_back([this] { work(); });
}

PageImagePool::~PageImagePool()
{
    {
        const std::lock_guard guard(lock_);
        stopping_ = true;
        queue_.clear();
    }
    changed_.notify_all();
    for (std::thread& w : workers_)
        w.join();
}

void PageImagePool::throwFailure()
{
    if (failure_)
        throw *failure_;
}

void PageImagePool::add(Draw draw)
{
    const std::lock_guard guard(lock_);
    throwFailure();
    queue_.emplace_back(++added_, std::move(draw));
    changed_.notify_all();
}

bool PageImagePool::full()
{
    const std::lock_guard guard(lock_);
    return size_t(added_ - taken_) >= inFlight_;
}

std::optional<QByteArray> PageImagePool::take(bool wait)
{
    std::unique_lock guard(lock_);
    const int next = taken_ + 1;
    if (wait)
        changed_.wait(guard, [&] { return failure_ || next > added_ || done_.count(next); });
    throwFailure();
    const auto found = done_.find(next);
    if (found == done_.end())
        return std::nullopt;
    QByteArray bytes = std::move(found->second);
    done_.erase(found);
    ++taken_;
    changed_.notify_all();
    return bytes;
}

void PageImagePool::work()
{
    auto fail = [this](EQRError error) {
        const std::lock_guard guard(lock_);
        if (!failure_)
            failure_ = std::move(error);
        queue_.clear();
        changed_.notify_all();
    };
    try {
        // Made with the worker's first page: a run of one page at a high
        // resolution holds one page image, not one per core.
        std::optional<PageImageEncoder> encoder;
        for (;;) {
            std::pair<int, Draw> job;
            {
                std::unique_lock guard(lock_);
                changed_.wait(guard, [this] { return stopping_ || failure_ || !queue_.empty(); });
                if (stopping_ || failure_)
                    return;
                job = std::move(queue_.front());
                queue_.pop_front();
            }
            if (!encoder)
                encoder.emplace(options_, size_);
            QByteArray bytes = encoder->encode(job.second);
            job.second = nullptr;   // the page goes before the next is taken
            const std::lock_guard guard(lock_);
            done_.emplace(job.first, std::move(bytes));
            changed_.notify_all();
        }
    } catch (const EQRError& error) {
        fail(error);
    } catch (const std::exception&) {
        fail(noMemory());
    }
}

} // namespace cm
