#include "engine/pages/pagehandover.h"

#include "engine/pages/pagerecorder.h"
#include "engine/qrerror.h"

#include <algorithm>

namespace cm {

PageHandOver::PageHandOver(bool storedBytes, int capacity)
    : capacity_(size_t(std::max(1, capacity))), batch_(std::max<size_t>(1, capacity_ / 2)), storedBytes_(storedBytes)
{
}

bool PageHandOver::put(FinishedPage page)
{
    std::unique_lock guard(lock_);
    if (queue_.size() >= capacity_)
        roomLeft_.wait(guard, [this] { return stopped_ || queue_.size() <= capacity_ - batch_; });
    if (stopped_ || closed_)
        return false;
    queue_.push_back(std::move(page));
    // Only a waiting output stage needs waking, and it waits for a batch.
    if (queue_.size() == batch_)
        pageWaiting_.notify_one();
    return true;
}

void PageHandOver::close()
{
    const std::lock_guard guard(lock_);
    closed_ = true;
    pageWaiting_.notify_all();
}

std::optional<FinishedPage> PageHandOver::take()
{
    std::unique_lock guard(lock_);
    if (queue_.empty())
        pageWaiting_.wait(guard, [this] { return stopped_ || closed_ || queue_.size() >= batch_; });
    if (stopped_ || queue_.empty())
        return std::nullopt;
    FinishedPage page = std::move(queue_.front());
    queue_.pop_front();
    // Generation waits on a full queue, until a batch has gone.
    if (queue_.size() == capacity_ - batch_)
        roomLeft_.notify_one();
    guard.unlock();
    if (page.storedUnfinished) {
        if (!finishPageRecords(page.stored))
            throw EQRError(QStringLiteral("Page %1 could not be recorded").arg(page.number));
        page.storedUnfinished = false;
    }
    return page;
}

void PageHandOver::stop()
{
    std::deque<FinishedPage> dropped;
    {
        const std::lock_guard guard(lock_);
        stopped_ = true;
        dropped.swap(queue_);
        pageWaiting_.notify_all();
        roomLeft_.notify_all();
    }
}

bool PageHandOver::stopped() const
{
    const std::lock_guard guard(lock_);
    return stopped_;
}

} // namespace cm
