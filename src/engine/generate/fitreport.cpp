#include "engine/generate/fitreport.h"

#include <algorithm>

namespace cm {

void FitReport::note(const void* element, const QString& name, int card)
{
    auto it = std::find_if(entries_.begin(), entries_.end(), [element](const Entry& e) { return e.element == element; });
    if (it == entries_.end()) {
        entries_.push_back(Entry{element, name, 0, {}, 0});
        it = entries_.end() - 1;
    } else if (it->lastCard == card) {
        return;
    }
    ++it->cards;
    it->lastCard = card;
    if (it->firstCards.size() < size_t(ShownCards))
        it->firstCards.push_back(card);
}

QStringList FitReport::warnings() const
{
    QStringList out;
    for (const Entry& e : entries_) {
        QStringList numbers;
        for (int card : e.firstCards)
            numbers.append(QString::number(card));
        if (e.cards > int(e.firstCards.size()))
            numbers.append(QStringLiteral("..."));
        out.append(QStringLiteral("%1 did not fit on %2 %3: %4")
                       .arg(e.name)
                       .arg(e.cards)
                       .arg(e.cards == 1 ? QStringLiteral("card") : QStringLiteral("cards"), numbers.join(QStringLiteral(", "))));
    }
    return out;
}

} // namespace cm
