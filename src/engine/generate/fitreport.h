#pragma once
// Texts that did not fit their boxes during one run: per element, on how
// many cards (pages) and on which ones first. A box clips what does not
// fit; this tally lets the user hear about it before the cards go out.
#include <QString>
#include <QStringList>
#include <vector>

namespace cm {

class FitReport {
public:
    struct Entry {
        const void* element = nullptr;   // identity only, never dereferenced
        QString name;
        int cards = 0;
        std::vector<int> firstCards;     // at most ShownCards
        int lastCard = 0;
    };
    static constexpr int ShownCards = 5;

    // Counts `card` once for the element, however often its text was clipped there.
    void note(const void* element, const QString& name, int card);
    void clear() { entries_.clear(); }
    bool empty() const { return entries_.empty(); }
    const std::vector<Entry>& entries() const { return entries_; }
    // One line per element: "Call did not fit on 27 cards: 12, 57, 233, 301, 410, ..."
    QStringList warnings() const;

private:
    std::vector<Entry> entries_;   // in the order the elements were first clipped
};

} // namespace cm
