#include "designer/undohistory.h"

#include <algorithm>

namespace cm {

void UndoHistory::record(const QString& name, const State& before, const State& after, const QString& mergeKey)
{
    steps_.erase(steps_.begin() + qsizetype(position_), steps_.end());
    if (!mergeKey.isEmpty() && !steps_.empty() && steps_.back().mergeKey == mergeKey &&
        steps_.back().after.layout == before.layout) {
        steps_.back().after = after;
        return;
    }
    Step step{name, before, after, mergeKey};
    // Consecutive steps share the state between them: one copy, not two.
    if (!steps_.empty() && steps_.back().after.layout == before.layout)
        step.before.layout = steps_.back().after.layout;
    steps_.push_back(std::move(step));
    position_ = steps_.size();
    trim();
}

void UndoHistory::clear()
{
    steps_.clear();
    position_ = 0;
}

QString UndoHistory::undoName() const
{
    return canUndo() ? steps_[position_ - 1].name : QString();
}

QString UndoHistory::redoName() const
{
    return canRedo() ? steps_[position_].name : QString();
}

const UndoHistory::State* UndoHistory::stepBack()
{
    if (!canUndo())
        return nullptr;
    return &steps_[--position_].before;
}

const UndoHistory::State* UndoHistory::stepForward()
{
    if (!canRedo())
        return nullptr;
    return &steps_[position_++].after;
}

void UndoHistory::cancelStep(bool wasUndo)
{
    if (wasUndo && canRedo())
        ++position_;
    else if (!wasUndo && canUndo())
        --position_;
}

void UndoHistory::setLimit(int limit)
{
    limit_ = std::max(1, limit);
    trim();
}

void UndoHistory::trim()
{
    const size_t excess = steps_.size() > size_t(limit_) ? steps_.size() - size_t(limit_) : 0;
    if (excess == 0)
        return;
    steps_.erase(steps_.begin(), steps_.begin() + qsizetype(excess));
    position_ = position_ > excess ? position_ - excess : 0;
}

qsizetype UndoHistory::memoryBytes() const
{
    qsizetype bytes = 0;
    const char* previous = nullptr;
    for (const Step& s : steps_) {
        if (s.before.layout.constData() != previous)
            bytes += s.before.layout.capacity();
        bytes += s.after.layout.capacity();
        previous = s.after.layout.constData();
    }
    return bytes;
}

} // namespace cm
