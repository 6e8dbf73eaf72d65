#pragma once
// Plain texts of stored values, as the data view and the formulas see them.
#include "report/dataset.h"

#include <QDate>
#include <QTime>

namespace cm {

// A date in a date picture of the format settings: d, dd, m, mm, yy, yyyy;
// '/' stands for the date separator; other characters are copied.
QString formatDateText(QDate date, QStringView picture);
// Log times are UTC and read the same way everywhere: 24 hours, seconds
// only when there are any.
QString formatTimeText(QTime time);
QString formatFloatText(double value);

// Days since 1899-12-30 (with the time as a fraction): the date numbers the
// formula language computes with.
double toDayNumber(QDate date);
double toDayNumber(QTime time);

} // namespace cm
