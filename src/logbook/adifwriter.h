#pragma once
// ADIF 3 (ADI form) out of a log table, so that the operator's main logger
// can take back the "Qsl Sent" marks made here.
#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>

#include <map>

namespace cm {

class LogTable;

// One <NAME:LEN>DATA field; LEN counts the UTF-8 bytes of the data.
QByteArray adifField(const char* name, const QString& data);

// The ADIF mode (and submode, when the logbook holds a submode such as FT4
// or USB) of a logbook mode: {mode, submode}.
std::pair<QString, QString> adifModeOf(const QString& logbookMode);

// Every record of `table` under its filter and order, with a header. A QSO
// marked as sent gets QSLSDATE from `sentDates` (by Log) when known.
QByteArray adifDocument(const LogTable& table, const std::map<qint64, QDate>& sentDates, const QDateTime& created);

// Writes `bytes` to `path`; an existing file is replaced only when the whole
// file was written.
bool writeFileSafely(const QString& path, const QByteArray& bytes, QString* error);

} // namespace cm
