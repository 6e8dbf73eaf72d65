#pragma once
// Page images drawn and encoded on a few worker threads. Each worker draws
// into one image of its own, filled anew for every page, so that a run
// allocates no image per card; the encoded files come back in page order
// whatever order the workers finish in.
#include "engine/output/pageexport.h"
#include "engine/qrerror.h"
#include "report/rounding.h"

#include <QByteArray>
#include <QRectF>
#include <QSize>

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

class QPainter;

namespace cm {

class PagePlayer;

// The pixels of a sheet at `dpi`; throws EQRError for a resolution out of
// range or an image too large.
QSize pageImageSize(Extended sheetWidth, Extended sheetLength, int dpi);
// Throws EQRError for a resolution or JPEG quality out of range.
void requireImageOptions(const ImageExportOptions& options);

class PageImagePool {
public:
    // Draws one page into `target` of the painter; the player is the
    // worker's own, for pages replayed from their stored bytes.
    using Draw = std::function<void(QPainter& painter, const QRectF& target, PagePlayer& player)>;

    // Images of `size` pixels; options.threads workers (0: one per core).
    PageImagePool(const ImageExportOptions& options, QSize size);
    // Drops the pages not yet done and waits for the workers.
    ~PageImagePool();
    PageImagePool(const PageImagePool&) = delete;
    PageImagePool& operator=(const PageImagePool&) = delete;

    // Queues the next page. Throws the EQRError a worker met.
    void add(Draw draw);
    // Enough pages are queued or not taken: take the next one (waiting for
    // it) before adding more, so that memory stays flat.
    bool full();
    // The next page's file in page order: waiting for it when `wait`, else
    // only when it is done. None when no page is outstanding (or, without
    // `wait`, the next one is not done yet). Throws the EQRError a worker met.
    std::optional<QByteArray> take(bool wait);

private:
    void work();
    void throwFailure();   // with the lock held

    ImageExportOptions options_;
    QSize size_;
    size_t inFlight_;                       // most pages queued and done but not taken
    std::mutex lock_;
    std::condition_variable changed_;
    std::deque<std::pair<int, Draw>> queue_;
    std::map<int, QByteArray> done_;
    int added_ = 0;
    int taken_ = 0;
    bool stopping_ = false;
    std::optional<EQRError> failure_;
    std::vector<std::thread> workers_;
};

} // namespace cm
