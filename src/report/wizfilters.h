#pragma once
// The filter entries a wizard query stores in its "Filters" bytes: a count
// byte, then per entry a version byte, a short string, two bytes, a short
// string, a kind byte and one more byte. Entries older than version 101
// hold a flag where the kind stands: set means kind 3, clear kind 1.
#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

namespace cm {

struct WizFilter {
    QString firstText;
    uint8_t firstByte = 0;
    uint8_t secondByte = 0;
    QString secondText;
    uint8_t kind = 1;
    uint8_t lastByte = 0;

    bool operator==(const WizFilter&) const = default;
};

// Nothing, with the reason, when the bytes are short or run on past the
// last entry.
std::optional<std::vector<WizFilter>> decodeWizFilters(QByteArrayView bytes, QString* error);
// Current (version 101) entries; at most 255 fit the count byte.
QByteArray encodeWizFilters(const std::vector<WizFilter>& filters);

} // namespace cm
