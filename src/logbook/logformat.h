#pragma once
// Kinds of log source, told apart by the file's first bytes (Paradox tables
// and SQLite logbooks both use the extension .db).
#include <QString>
#include <memory>

namespace cm {

class LogBackend;

enum class LogFormat { Unknown, Paradox, Sqlite, Adif };

LogFormat detectLogFormat(const QString& path);
QString logFormatName(LogFormat format);

// A back end for the file, or nullptr with a reason.
// `queryOnly`: a SQLite logbook is opened so that nothing can write it.
std::unique_ptr<LogBackend> createLogBackend(const QString& path, LogFormat format, QString* error,
                                             bool queryOnly = false);

} // namespace cm
