#pragma once
// Marking the QSOs of printed or exported cards as sent, from the window:
// which QSOs a run put on which page, the user's choice whether to be asked
// at all, and the question itself.
#include <QString>

#include <utility>
#include <vector>

namespace cm {

class LogTable;
class MessageBoxes;

// The QSOs one run put on cards, by page. Kept as their Log numbers, so that
// a later change of the table's filter or order cannot change which QSOs
// they are.
class PrintedQsos {
public:
    void clear() { cards_.clear(); }
    // For the generator's record-printed hook: `record` of `table` on `page`.
    void add(const LogTable& table, int record, int page);
    // The QSOs on pages first ... last (0: no limit), each once.
    std::vector<qint64> onPages(int first, int last) const;

private:
    std::vector<std::pair<int, qint64>> cards_;   // (page, Log)
};

// "Mark printed QSOs as sent" in the settings file (off unless chosen).
bool readMarkSentOption(const QString& settingsFile);
bool writeMarkSentOption(const QString& settingsFile, bool on);

// After cards were output: true when `logs` of `table` are to be marked.
// A logbook that cannot take marks is told so instead, with the way to one
// that can; then, and when the user says no, the answer is false.
bool askToMarkSent(MessageBoxes& boxes, const LogTable& table, const std::vector<qint64>& logs);

} // namespace cm
