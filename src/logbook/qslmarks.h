#pragma once
// "Qsl Sent" marks for QSOs whose cards were output. Only the program's
// SQLite logbooks take them; the day each mark was made is kept beside the
// Logbook table (table QslSentDate), so that an ADIF export can give it.
#include <QDate>
#include <QString>

#include <map>
#include <vector>

namespace cm {

class LogTable;

// Why the open log cannot take marks, for the user; empty when it can.
QString qslMarkRefusal(const LogTable& table);

// Sets "Qsl Sent" to Y for the QSOs numbered `logs` (their Log field) in the
// SQLite logbook at `path` and notes `sentOn` for each, all in one
// transaction: every mark or none.
bool markQslSent(const QString& path, const std::vector<qint64>& logs, QDate sentOn, QString* error);

// The Log field of every record the run put on a card, from the record
// numbers the generator reported; for the window and the command-line tool.
std::vector<qint64> logNumbersOf(const LogTable& table, const std::vector<int>& records);

// The day each QSO was marked as sent, by Log; empty when the logbook has
// no such notes (or is no SQLite logbook).
std::map<qint64, QDate> qslSentDates(const QString& path);

} // namespace cm
