#pragma once
// The one data-set interface. The engine, the formula evaluator and the
// main window's data view reach every record source through it: the log
// table (Paradox, SQLite, ADIF), test fixtures and any later source.
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>

namespace cm {

enum class FieldType {
    String,
    SmallInt,   // 16-bit signed
    Integer,    // 32-bit signed
    Word,       // 16-bit unsigned
    AutoInc,
    Float,
    Currency,
    BCD,
    Boolean,
    Date,
    Time,
    DateTime,
    Memo,
    Blob,
    Graphic,
    Bytes,
};

bool isIntegerField(FieldType t);
bool isFloatField(FieldType t);     // Float, Currency, BCD
bool isDateTimeField(FieldType t);  // Date, Time, DateTime
bool isBlobField(FieldType t);      // Memo, Blob, Graphic, Bytes

struct FieldDef {
    QString name;
    FieldType type = FieldType::String;
    int size = 0;              // declared size: characters for strings, 0 otherwise
    QString displayLabel;      // empty: the field name is shown
    QString displayFormat;     // number picture for numeric fields, empty for none
    bool visible = true;

    QString label() const { return displayLabel.isEmpty() ? name : displayLabel; }
};

class DataSet {
public:
    virtual ~DataSet() = default;

    virtual QString name() const = 0;

    // Opening. open() returns false with a reason when the source cannot be read.
    virtual bool isOpen() const = 0;
    virtual bool open(QString* error = nullptr) = 0;
    virtual void close() = 0;

    // Navigation over the records under the current filter and order.
    virtual void first() = 0;
    virtual void next() = 0;
    virtual void prior() = 0;
    virtual void last() = 0;
    virtual bool eof() const = 0;
    virtual bool bof() const = 0;
    // Number of records, 1 when it cannot be had.
    virtual int recordCount() const = 0;
    // 0-based number of the current record, -1 when there is none.
    virtual int recordNumber() const = 0;

    // Fields by index (0-based) and by name (without regard to case).
    virtual int fieldCount() const = 0;
    virtual const FieldDef& field(int index) const = 0;
    int fieldIndex(QStringView fieldName) const;   // -1 when missing

    // Readers of the current record. A null value reads as empty / 0 / false.
    virtual bool isNull(int index) const = 0;
    virtual QString text(int index) const = 0;          // plain text of the value
    virtual QString displayText(int index) const;       // text with the display format
    virtual qint64 toInteger(int index) const = 0;
    virtual double toFloat(int index) const = 0;
    virtual bool toBoolean(int index) const = 0;
    virtual QDateTime toDateTime(int index) const = 0;
    virtual QByteArray blob(int index) const;           // blob content, or the text as bytes

    // A table or query that a layout carries (RECORDCOUNT counts only those).
    virtual bool isLayoutDataSet() const { return false; }
    // A query's parameter as text; nullopt when there is no such parameter.
    virtual std::optional<QString> paramText(QStringView) const { return std::nullopt; }
};

} // namespace cm
