#pragma once
// Named colour, cursor and character-set values of the component stream.
// Writing takes the first name in table order with the value; reading looks
// names up without regard to case.
#include <QString>
#include <cstdint>
#include <optional>

namespace cm {

enum class NamedValueKind { Color, Charset, Cursor };

std::optional<QString> nameOfValue(NamedValueKind kind, int32_t value);
std::optional<int32_t> valueOfName(NamedValueKind kind, QStringView name);

} // namespace cm
