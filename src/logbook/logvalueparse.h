#pragma once
// Typed values from text typed by the user (filter values, edits) or read
// from text-based sources. Lenient about the few common spellings, strict
// about anything else: a value that cannot be read is reported, not guessed.
#include <QDate>
#include <QStringView>
#include <QTime>
#include <optional>

namespace cm {

std::optional<qint64> parseIntegerValue(QStringView text);
// Accepts a decimal point, or a decimal comma when there is no point.
std::optional<double> parseFloatValue(QStringView text);
// yyyy-mm-dd, yyyymmdd, d.m.yyyy and m/d/yyyy.
std::optional<QDate> parseDateValue(QStringView text);
// h:mm, h:mm:ss, hhmm and hhmmss.
std::optional<QTime> parseTimeValue(QStringView text);
std::optional<bool> parseBooleanValue(QStringView text);

} // namespace cm
