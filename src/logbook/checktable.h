#pragma once
// The check that decides whether a chosen file is a logbook table of the
// right kind, made on its field definitions without opening it.
#include <QString>
#include <optional>

namespace cm {

enum TableCheck : int {
    TableOldFormat = 0,        // 19 fields, the twelfth logical
    TableCurrentFormat = 1,    // 19 fields, the twelfth alphanumeric
    TableExtendedFormat = 2,   // 21 fields
    TableNotLogbook = 3,
};

// The check code, or nothing with the reason when the file cannot be read
// as a table (missing, damaged, locked).
std::optional<int> CheckTable(const QString& path, QString* error);

} // namespace cm
