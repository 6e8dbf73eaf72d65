#pragma once
// Which properties of an object the component stream stores, in writing
// order, with dotted paths for sub-objects. The stream writer encodes them;
// the JSON dump prints them, so both always agree.
#include "report/proptable.h"

#include <optional>

namespace cm {

struct StoredProp {
    QString path;                         // "Caption", "Font.Name", "Size.Values"
    const PropInfo* info = nullptr;       // null for defined properties
    PropValue value;                      // published properties
    std::optional<DefinedValue> defined;  // defined properties
};

void visitStoredProperties(const Persistent& object,
                           const std::function<void(const StoredProp&)>& visit);

} // namespace cm
