#pragma once
// The hand-over between the two stages of a run: generation records a page
// and puts it here; the output stage (PDF, report file) takes it on its own
// thread. The queue holds a few pages only, so memory stays flat however
// many cards a run makes, and generation waits while output is behind.
// Either side that waits is woken for half a queue of pages at a time, not
// for every page: waking per page switched threads about three times a page.
#include "engine/pages/relayengine.h"
#include "report/rounding.h"

#include <QByteArray>
#include <QPicture>
#include <QString>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <vector>

namespace cm {

// One finished page as the output stage needs it.
struct FinishedPage {
    int number = 0;
    // The page as recorded: pictures appear as numbered stand-ins, drawn
    // from `images` when the page is replayed through the relay (pages
    // that are stored carry no images).
    QPicture picture;
    std::vector<RelayImage> images;
    // The page's bytes as a report file stores them (pictures in place);
    // empty unless the hand-over was asked for them.
    QByteArray stored;
    // Whether `stored` still wants its end (end record, record count,
    // checksum), which take() writes, on the output side.
    bool storedUnfinished = false;
    // The sheet the page is drawn for, native units as oriented, the run's
    // title, and whether its report file is compressed.
    Extended sheetWidth = 0;
    Extended sheetLength = 0;
    QString title;
    bool compressed = false;
};

class PageHandOver {
public:
    explicit PageHandOver(bool storedBytes, int capacity = 16);
    PageHandOver(const PageHandOver&) = delete;
    PageHandOver& operator=(const PageHandOver&) = delete;

    // Whether pages must carry their stored bytes (a report file is
    // written); otherwise the output stage replays them.
    bool wantsStoredBytes() const { return storedBytes_; }

    // Generation side. Waits while the queue is full; false when the output
    // stage has stopped, and then the page is dropped.
    bool put(FinishedPage page);
    // No more pages come.
    void close();

    // Output side. Waits for the next page; none once the hand-over is
    // closed and empty, or stopped.
    std::optional<FinishedPage> take();
    // The output stage gives up (it failed, or the run was cancelled):
    // pages still queued are dropped and put() refuses new ones.
    void stop();
    bool stopped() const;

private:
    mutable std::mutex lock_;
    std::condition_variable pageWaiting_;
    std::condition_variable roomLeft_;
    std::deque<FinishedPage> queue_;
    size_t capacity_;
    size_t batch_;
    bool storedBytes_;
    bool closed_ = false;
    bool stopped_ = false;
};

} // namespace cm
