#pragma once
// A small cache of the entries met lately, kept up to a total cost; the
// oldest go first. Entries stay where they are until they are dropped.
#include <QtGlobal>

#include <deque>
#include <utility>

namespace cm {

template <class Entry>
class BoundedCache {
public:
    explicit BoundedCache(qsizetype limit) : limit_(limit) {}

    template <class Match>
    const Entry* find(Match match) const
    {
        for (const auto& [entry, cost] : entries_) {
            if (match(entry))
                return &entry;
        }
        return nullptr;
    }

    // Adds `entry`, dropping the oldest entries while the total is over the limit.
    const Entry& add(Entry entry, qsizetype cost)
    {
        total_ += cost;
        while (!entries_.empty() && total_ > limit_) {
            total_ -= entries_.front().second;
            entries_.pop_front();
        }
        entries_.emplace_back(std::move(entry), cost);
        return entries_.back().first;
    }

private:
    std::deque<std::pair<Entry, qsizetype>> entries_;
    qsizetype limit_;
    qsizetype total_ = 0;
};

} // namespace cm
