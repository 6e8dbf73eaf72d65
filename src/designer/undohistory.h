#pragma once
// The designer's undo and redo: each step keeps the whole layout as it was
// before and after one change, in the bytes the layout writer makes. Whole
// layouts are small (a card is a few kilobytes) and restoring them goes
// through the same reader as loading, so every property, script and
// setting comes back without a per-command inverse.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace cm {

class UndoHistory {
public:
    static constexpr int kDefaultLimit = 200;

    // Records a step after the ones that are done; steps that were undone
    // are dropped. The oldest steps go beyond the limit.
    // With each layout goes the selection (component names) it had.
    struct State {
        QByteArray layout;
        QStringList selection;
    };
    // A step with the same non-empty merge key as the last one (typing into
    // one text box) extends that step instead of adding one.
    void record(const QString& name, const State& before, const State& after, const QString& mergeKey = QString());
    void clear();

    bool canUndo() const { return position_ > 0; }
    bool canRedo() const { return position_ < steps_.size(); }
    // Names of the step the next undo or redo takes ("move"); empty when none.
    QString undoName() const;
    QString redoName() const;
    // Steps back or forward and returns the layout to restore; null when none.
    const State* stepBack();
    const State* stepForward();
    // Puts the position back after a restore failed.
    void cancelStep(bool wasUndo);

    int limit() const { return limit_; }
    void setLimit(int limit);
    int count() const { return int(steps_.size()); }
    // The bytes the recorded layouts take (shared states counted once).
    qsizetype memoryBytes() const;

private:
    struct Step {
        QString name;
        State before, after;
        QString mergeKey;
    };
    void trim();

    std::vector<Step> steps_;
    size_t position_ = 0;   // steps done; the next undo takes steps_[position_ - 1]
    int limit_ = kDefaultLimit;
};

} // namespace cm
