#pragma once
// Date-time pictures ("c", "dd/mm/yyyy", "hh:nn am/pm" ...) used by masks of
// date and time fields, system values and the date functions; and reading of
// date and time texts written in the locale's formats.
#include "expr/formatsettings.h"

#include <QDateTime>
#include <QString>
#include <optional>

namespace cm {

QString formatDateTime(QStringView picture, const QDateTime& value, const FormatSettings& settings);

// Reads a date (optionally followed by a time) in the order of the short
// date format; two numbers give a date in the current year.
std::optional<QDateTime> parseDateTimeText(QStringView text, const FormatSettings& settings);
// Reads "h:n[:s[.z]]" with an optional am/pm designator.
std::optional<QTime> parseTimeText(QStringView text, const FormatSettings& settings);

// Converts a Qt date/time format ("dd.MM.yyyy", "h:mm AP") to a picture.
QString pictureFromQtFormat(QStringView qtFormat, QChar dateSeparator, QChar timeSeparator);

} // namespace cm
