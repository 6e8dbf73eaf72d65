#include "report/printersettings.h"

#include <array>

namespace cm {

QString binIdent(TQRBin bin)
{
    static constexpr std::array<const char*, BinCount> names{
        "First", "Upper", "Lower", "Middle", "Manual", "Envelope", "EnvManual", "Auto",
        "Tractor", "SmallFormat", "LargeFormat", "LargeCapacity", "Cassette", "Last"};
    const int i = static_cast<int>(bin);
    return QString::fromLatin1(i >= 0 && i < BinCount ? names[i] : "Auto");
}

} // namespace cm
