#pragma once
// The last few pages of whole records a paged log table read: a walk reads
// each page once, and a view that shows rows across a page border does not
// read them again for every cell.
#include "logbook/logstore.h"

#include <list>

namespace cm {

class LogPageCache {
public:
    static constexpr int PageSize = 256;
    static constexpr int Pages = 4;

    // The page held under `number`, or nullptr; a page found is the newest.
    const LogStore* find(int number);
    // A store for page `number` in place of the oldest page; the caller fills it.
    LogStore& add(int number, const std::vector<FieldDef>& fields);
    void clear() { pages_.clear(); }

private:
    struct Page {
        int number = -1;
        LogStore records;
    };
    std::list<Page> pages_;   // newest first
};

} // namespace cm
