#pragma once
// Filter texts as the filter dialog writes them, parsed once into a tree of
// typed conditions and then applied to the stored records of any source:
//
//   (Call = 'S5')  OR  (Band = '20M')
//   (Freq  >= 14) AND (Freq <= 14.35)          a "between" row
//   (Mode IN ('CW','SSB'))
//   (QslVia IS NULL)   (QslVia IS NOT NULL)
//
// AND binds tighter than OR; parentheses group. Comparisons of text ignore
// case, and a trailing '*' in an = or <> value compares a prefix. Values are
// converted to the field's type when the filter is parsed.
#include "logbook/logstore.h"

#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace cm {

class LogFilter {
public:
    LogFilter();
    ~LogFilter();
    LogFilter(LogFilter&&) noexcept;
    LogFilter& operator=(LogFilter&&) noexcept;

    // An empty or blank text gives the filter that keeps every record.
    static std::optional<LogFilter> parse(QStringView text, const LogStore& store, QString* error);

    bool isEmpty() const { return !root_; }
    bool matches(const LogStore& store, int row) const;

    // Marks the columns the filter reads (one flag per field).
    void markColumns(std::vector<bool>& columns) const;
    // A condition in SQL that every matching record meets; it may keep more
    // (matches() decides), and lets a query leave most others out. `column`
    // gives the SQL name of a column whose values the query compares as
    // matches() does: a text column, or an integer column that never holds
    // anything but integers; empty for the others. Empty: no condition.
    QString sqlSuperset(const std::function<QString(int col)>& column, std::vector<QVariant>& binds) const;

    struct Node;

private:
    std::unique_ptr<Node> root_;
};

// The conditions of the filter dialog, in its order.
enum class FilterCondition {
    Equal, NotEqual, NoGreater, NoLess, LessThan, GreaterThan, Empty, NotEmpty, InList, Between
};

// One row's piece of filter text. "empty" keeps the records whose field is
// empty and "not empty" the others (the pieces are "IS NULL" and
// "IS NOT NULL"). A "between" value is split at its first blank.
QString filterPiece(bool firstRow, bool orJoin, const QString& fieldName,
                    FilterCondition condition, const QString& value);

struct FilterRow {
    bool orJoin = false;   // the join before this row; none for the first row
    QString fieldName;
    FilterCondition condition = FilterCondition::Equal;
    QString value;

    bool operator==(const FilterRow&) const = default;
};

// Reads a filter text back into the dialog's rows, so that a second use
// starts from the filter in force. Forms the dialog does not write come
// back as near as they can; text that is no row at all is left out.
std::vector<FilterRow> filterRows(QStringView text);

} // namespace cm
