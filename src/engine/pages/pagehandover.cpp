#include "engine/pages/pagehandover.h"

#include <algorithm>

namespace cm {

PageHandOver::PageHandOver(bool storedBytes, int capacity)
    : capacity_(size_t(std::max(1, capacity))), storedBytes_(storedBytes)
{
}

bool PageHandOver::put(FinishedPage page)
{
    std::unique_lock guard(lock_);
    roomLeft_.wait(guard, [this] { return stopped_ || queue_.size() < capacity_; });
    if (stopped_ || closed_)
        return false;
    queue_.push_back(std::move(page));
    // Only a waiting output stage needs waking: it waits on an empty queue.
    if (queue_.size() == 1)
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
    pageWaiting_.wait(guard, [this] { return stopped_ || closed_ || !queue_.empty(); });
    if (stopped_ || queue_.empty())
        return std::nullopt;
    FinishedPage page = std::move(queue_.front());
    queue_.pop_front();
    // Generation waits on a full queue only.
    if (queue_.size() == capacity_ - 1)
        roomLeft_.notify_one();
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
