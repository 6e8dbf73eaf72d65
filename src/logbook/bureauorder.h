#pragma once
// The order outgoing QSL bureaus want cards in: by the prefix of the route
// (the QSL manager's call when "Qsl via" names one, else the station's
// prefix), then by call, then by date and time.
#include <QString>

namespace cm {

class LogTable;

// The prefix of a callsign: up to and including the digits after its first
// letters ("W1AW" -> "W1", "9A2AA" -> "9A2", "VP2E/W1AW" -> "VP2"); for a
// call with a '/' the part that is not a portable suffix and is shorter.
QString callPrefix(const QString& call);

// The call in a "Qsl via" text ("via EA5GL", "EA5GL bureau"), or empty when
// it names no call (BURO, DIRECT, LOTW ...).
QString managerCall(const QString& qslVia);

// The prefix a bureau sorts this QSO by.
QString bureauRoute(const QString& call, const QString& qslVia, const QString& pfx);

// Orders the table's records for the bureau.
void orderForBureau(LogTable& table);

} // namespace cm
