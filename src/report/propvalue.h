#pragma once
// Values of published properties as the property tables pass them around:
// streaming, the designer's dialogs and the formula functions that read and
// write properties by name all go through this one type.
#include "report/rounding.h"

#include <QString>
#include <cstdint>
#include <variant>

namespace cm {

class Component;

struct SetBits {
    uint32_t bits = 0;
    bool operator==(const SetBits&) const = default;
};

struct EventName {
    QString handler;
    bool operator==(const EventName&) const = default;
};

// int64_t: integers, enumeration ordinals, colours, cursors, character sets.
using PropValue = std::variant<int64_t, bool, Extended, QString, SetBits, Component*, EventName>;

} // namespace cm
