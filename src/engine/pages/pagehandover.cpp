#include "engine/pages/pagehandover.h"

#include <algorithm>

namespace cm {

PageHandOver::PageHandOver(int capacity, bool storedBytes)
    : capacity_(size_t(std::max(1, capacity))), storedBytes_(storedBytes)
{
}

bool PageHandOver::put(FinishedPage page)
{
    std::unique_lock guard(lock_);
    changed_.wait(guard, [this] { return stopped_ || queue_.size() < capacity_; });
    if (stopped_ || closed_)
        return false;
    queue_.push_back(std::move(page));
    changed_.notify_all();
    return true;
}

void PageHandOver::close()
{
    const std::lock_guard guard(lock_);
    closed_ = true;
    changed_.notify_all();
}

std::optional<FinishedPage> PageHandOver::take()
{
    std::unique_lock guard(lock_);
    changed_.wait(guard, [this] { return stopped_ || closed_ || !queue_.empty(); });
    if (stopped_ || queue_.empty())
        return std::nullopt;
    FinishedPage page = std::move(queue_.front());
    queue_.pop_front();
    changed_.notify_all();
    return page;
}

void PageHandOver::stop()
{
    std::deque<FinishedPage> dropped;
    {
        const std::lock_guard guard(lock_);
        stopped_ = true;
        dropped.swap(queue_);
        changed_.notify_all();
    }
}

bool PageHandOver::stopped() const
{
    const std::lock_guard guard(lock_);
    return stopped_;
}

} // namespace cm
