#include "logbook/logpagecache.h"

namespace cm {

const LogStore* LogPageCache::find(int number)
{
    for (auto it = pages_.begin(); it != pages_.end(); ++it) {
        if (it->number == number) {
            pages_.splice(pages_.begin(), pages_, it);
            return &pages_.front().records;
        }
    }
    return nullptr;
}

LogStore& LogPageCache::add(int number, const std::vector<FieldDef>& fields)
{
    if (int(pages_.size()) >= Pages) {
        pages_.splice(pages_.begin(), pages_, std::prev(pages_.end()));
        pages_.front().number = number;
        pages_.front().records.clear();
    } else {
        pages_.push_front(Page{number, LogStore(fields)});
    }
    return pages_.front().records;
}

} // namespace cm
