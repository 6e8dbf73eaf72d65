#pragma once
// Records of a log source held in memory, one typed column per field.
// Sources fill it once when they open; filter and order then work on typed
// values without parsing text again.
//
// Storage per kind of field: strings as QString; integers, booleans, dates
// (Julian day), times (milliseconds since midnight) and date-times
// (milliseconds since 1970 UTC) as qint64; floats as double.
#include "report/dataset.h"

#include <QDate>
#include <QTime>
#include <cstdint>
#include <vector>

namespace cm {

enum class StoreKind { Text, Integer, Real };
StoreKind storeKindOf(FieldType type);

class LogStore {
public:
    explicit LogStore(std::vector<FieldDef> fields = {});

    // Keeps values of the marked columns only (one flag per field); the
    // others read as null and take no memory. For stores that hold the
    // few columns a filter and an order need. Call it on an empty store.
    void holdOnly(const std::vector<bool>& columns);
    bool holds(int col) const { return columns_[size_t(col)].held; }

    int fieldCount() const { return int(columns_.size()); }
    const FieldDef& field(int col) const { return columns_[size_t(col)].def; }
    StoreKind kind(int col) const { return columns_[size_t(col)].kind; }
    int rowCount() const { return rows_; }

    void reserve(int rows);
    int appendRow();          // a row of nulls; returns its number
    void removeRow(int row);
    void clear();

    bool isNull(int row, int col) const
    {
        const Column& c = columns_[size_t(col)];
        return !c.held || c.nulls[size_t(row)] != 0;
    }
    const QString& text(int row, int col) const { return columns_[size_t(col)].texts[size_t(row)]; }
    qint64 integer(int row, int col) const { return columns_[size_t(col)].ints[size_t(row)]; }
    double real(int row, int col) const { return columns_[size_t(col)].reals[size_t(row)]; }

    void setNull(int row, int col);
    void setText(int row, int col, const QString& value);   // empty text is null
    void setInteger(int row, int col, qint64 value);
    void setReal(int row, int col, double value);

private:
    struct Column {
        FieldDef def;
        StoreKind kind = StoreKind::Text;
        bool held = true;
        std::vector<QString> texts;
        std::vector<qint64> ints;
        std::vector<double> reals;
        std::vector<std::uint8_t> nulls;
    };
    std::vector<Column> columns_;
    int rows_ = 0;
};

// Conversions of the stored date and time values.
inline qint64 toStoredDate(QDate d) { return d.toJulianDay(); }
inline QDate fromStoredDate(qint64 v) { return QDate::fromJulianDay(v); }
inline qint64 toStoredTime(QTime t) { return t.msecsSinceStartOfDay(); }
inline QTime fromStoredTime(qint64 v) { return QTime::fromMSecsSinceStartOfDay(int(v)); }

} // namespace cm
