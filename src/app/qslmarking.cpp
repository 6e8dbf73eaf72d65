#include "app/qslmarking.h"

#include "designer/messageboxes.h"
#include "logbook/logfields.h"
#include "logbook/logformat.h"
#include "logbook/logtable.h"
#include "logbook/qslmarks.h"

#include <QCoreApplication>
#include <QSettings>
#include <algorithm>

namespace cm {

namespace {
const QString OptionKey = QStringLiteral("Qsl/MarkSentAfterOutput");

QString tr(const char* text) { return QCoreApplication::translate("QslMarking", text); }
} // namespace

void PrintedQsos::add(const LogTable& table, int record, int page)
{
    const QVariant log = table.recordValue(record, LogLog);
    if (log.isValid())
        cards_.emplace_back(page, log.toLongLong());
}

std::vector<qint64> PrintedQsos::onPages(int first, int last) const
{
    std::vector<qint64> logs;
    for (const auto& [page, log] : cards_)
        if ((first <= 0 || page >= first) && (last <= 0 || page <= last))
            logs.push_back(log);
    // A QSO on two cards is marked once.
    std::sort(logs.begin(), logs.end());
    logs.erase(std::unique(logs.begin(), logs.end()), logs.end());
    return logs;
}

bool readMarkSentOption(const QString& settingsFile)
{
    return QSettings(settingsFile, QSettings::IniFormat).value(OptionKey, false).toBool();
}

bool writeMarkSentOption(const QString& settingsFile, bool on)
{
    QSettings file(settingsFile, QSettings::IniFormat);
    file.setValue(OptionKey, on);
    file.sync();
    return file.status() == QSettings::NoError;
}

bool askToMarkSent(MessageBoxes& boxes, const LogTable& table, const std::vector<qint64>& logs)
{
    if (logs.empty())
        return false;
    const int n = int(logs.size());
    QString refusal = qslMarkRefusal(table);
    if (refusal.isEmpty() && !table.canModify())
        refusal = table.readOnlyNotice();
    if (!refusal.isEmpty()) {
        if (!refusal.endsWith(QLatin1Char('.')))
            refusal += QLatin1Char('.');
        if (table.format() == LogFormat::Adif)
            refusal += QLatin1Char(' ') + tr("In this window: File, Import ADIF...");
        boxes.information((n == 1 ? tr("The printed QSO could not be marked as sent.")
                                  : tr("The %1 printed QSOs could not be marked as sent.").arg(n)) +
                          QLatin1Char('\n') + refusal);
        return false;
    }
    const QString question =
        n == 1 ? tr("Mark the printed QSO as sent?") : tr("Mark the %1 printed QSOs as sent?").arg(n);
    return boxes.ask(question) == MessageBoxes::Answer::Yes;
}

} // namespace cm
