#pragma once
// Widths of the texts one element measured lately. Cards print the same
// bands, modes and reports again and again, and each measurement shapes the
// text anew; a width depends on nothing but the font and the text.
#include <QHash>
#include <QString>

namespace cm {

template <class Width>
class WidthCache {
public:
    template <class Measure>
    Width width(const QString& text, Measure measure)
    {
        // Looked up by the text itself: a copy for every lookup cost more
        // than the lookup.
        const auto hit = widths_.constFind(text);
        if (hit != widths_.cend())
            return *hit;
        // Texts that never come again (call signs, dates) must not pile up.
        if (widths_.size() >= MaxTexts)
            widths_.clear();
        const Width w = measure();
        widths_.insert(text, w);
        return w;
    }

private:
    static constexpr qsizetype MaxTexts = 256;
    QHash<QString, Width> widths_;
};

} // namespace cm
