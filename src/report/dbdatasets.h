#pragma once
// Tables and queries that a layout carries itself, with their stored
// fields. A table reads a logbook file (Paradox, SQLite, ADIF) by the rules
// of the log table; a query runs its SQL read-only against a SQLite
// logbook. Each offers its records through the one data-set interface, also
// while it is closed (then without records).
#include "report/datasetcomponent.h"
#include "report/graphics.h"

#include <QVariant>
#include <functional>
#include <vector>

namespace cm {

class TDBField;

// The records of a table or query: the opened source, seen through the
// labels and visibility of the stored fields.
class DefinedRecords final : public DataSet {
public:
    explicit DefinedRecords(const Component& owner) : owner_(owner) {}

    void attach(std::unique_ptr<DataSet> source) { source_ = std::move(source); }
    DataSet* source() const { return source_.get(); }
    void setDefs(std::vector<FieldDef> defs) { defs_ = std::move(defs); }

    QString name() const override { return owner_.name(); }
    bool isOpen() const override { return source_ != nullptr; }
    bool open(QString* error = nullptr) override;
    void close() override { source_.reset(); }
    std::function<bool(QString*)> opener;

    void first() override { if (source_) source_->first(); }
    void next() override { if (source_) source_->next(); }
    void prior() override { if (source_) source_->prior(); }
    void last() override { if (source_) source_->last(); }
    bool eof() const override { return !source_ || source_->eof(); }
    bool bof() const override { return !source_ || source_->bof(); }
    int recordCount() const override { return source_ ? source_->recordCount() : 0; }
    int recordNumber() const override { return source_ ? source_->recordNumber() : -1; }

    int fieldCount() const override { return int(defs_.size()); }
    const FieldDef& field(int index) const override { return defs_[size_t(index)]; }

    bool isNull(int index) const override { return !source_ || source_->isNull(index); }
    QString text(int index) const override { return source_ ? source_->text(index) : QString(); }
    qint64 toInteger(int index) const override { return source_ ? source_->toInteger(index) : 0; }
    double toFloat(int index) const override { return source_ ? source_->toFloat(index) : 0; }
    bool toBoolean(int index) const override { return source_ && source_->toBoolean(index); }
    QDateTime toDateTime(int index) const override { return source_ ? source_->toDateTime(index) : QDateTime(); }
    QByteArray blob(int index) const override { return source_ ? source_->blob(index) : QByteArray(); }

    bool isLayoutDataSet() const override { return true; }
    std::optional<QString> paramText(QStringView paramName) const override;

private:
    const Component& owner_;
    std::unique_ptr<DataSet> source_;
    std::vector<FieldDef> defs_;
};

// Common base of the layout's tables and queries.
class TEDBDataSet : public TDataSetComponent {
public:
    explicit TEDBDataSet(Container* owner);
    DataSet* dataSet() const override { return &records_; }

    // The folder (tables) or logbook (queries) the data set reads.
    QString databaseName;

    bool isOpen() const { return records_.isOpen(); }
    // Opens the source; false with the reason when it cannot be read.
    bool open(QString* error = nullptr) { return records_.open(error); }
    void close() { records_.close(); }

    // The stored fields attached to this data set, in component order.
    std::vector<TDBField*> fields() const;
    // The field definitions the source has (the log table's fields for a
    // table; the columns of the last run for a query).
    virtual std::vector<FieldDef> fieldDefs() const = 0;
    // Takes the labels and visibility of the stored fields again.
    void refreshFieldDefs();

protected:
    virtual std::unique_ptr<DataSet> openSource(QString* error) = 0;

private:
    bool openRecords(QString* error);
    mutable DefinedRecords records_;
};

class TEDBTable : public TEDBDataSet {
public:
    explicit TEDBTable(Container* owner) : TEDBDataSet(owner) {}
    const ClassInfo& classInfo() const override;
    static const ClassInfo& staticClassInfo();

    QString tableName;
    // The logbook file the table reads: the table name in its folder, or,
    // without a folder, looked for by the log table's rules.
    QString filePath() const;
    std::vector<FieldDef> fieldDefs() const override;

protected:
    std::unique_ptr<DataSet> openSource(QString* error) override;
};

// A query parameter: name, data type, value as text and the two flags.
struct QueryParam {
    enum class Type { String, Integer, Float, Boolean, Date };
    QString name;
    Type type = Type::String;
    QString text;
    bool isNull = true;
    bool bound = false;

    // False (value unchanged) when the text is no value of the type.
    bool setText(const QString& value);
    void clear() { text.clear(); isNull = true; }
    QVariant value() const;   // null: an invalid QVariant
};

class TEDBQuery : public TEDBDataSet {
public:
    explicit TEDBQuery(Container* owner);
    const ClassInfo& classInfo() const override;
    static const ClassInfo& staticClassInfo();

    TQRStrings sql;
    std::vector<QueryParam> params;
    QueryParam* param(QStringView name);

    // The SQLite logbook the query runs against (a path, or a bare name
    // found in the logbook folder).
    QString filePath() const;
    std::vector<FieldDef> fieldDefs() const override { return lastDefs_; }

    // Parameters as stored: one line "Name:Type" (null) or "Name:Type=Text" each.
    QStringList paramLines() const;
    void setParamLines(const QStringList& lines);

protected:
    std::unique_ptr<DataSet> openSource(QString* error) override;

private:
    void syncParams();   // one parameter per ":name" of the text, values kept
    std::vector<FieldDef> lastDefs_;
};

// A query whose text is derived from the text as written, with macros.
class TQRDWQuery : public TEDBQuery {
public:
    explicit TQRDWQuery(Container* owner) : TEDBQuery(owner) {}
    const ClassInfo& classInfo() const override;
    static const ClassInfo& staticClassInfo();

    TQRStrings originalSQL;
};

// A query made by the query wizard.
class TWizQuery : public TEDBQuery {
public:
    explicit TWizQuery(Container* owner) : TEDBQuery(owner) {}
    const ClassInfo& classInfo() const override;
    static const ClassInfo& staticClassInfo();

    QString tableName;
    TQRStrings orderFields;
    QByteArray filters;   // the stored filter entries, kept as they are
};

// A stored field of a table or query. Its class says its kind.
class TDBField : public Component {
public:
    TDBField(Container* owner, const ClassInfo& info) : Component(owner), info_(info) {}
    const ClassInfo& classInfo() const override { return info_; }

    QPointer<TEDBDataSet> dataSet;
    QString fieldName;
    QString displayLabel;
    int size = 0;
    bool visible = true;
    bool calculated = false;
    bool lookup = false;

    FieldType fieldType() const;

private:
    const ClassInfo& info_;
};

// The stored field classes and the data-set classes of layouts.
const std::vector<const ClassInfo*>& dataSetClasses();
// The field class for a kind of value.
const ClassInfo& fieldClassFor(FieldType type);
bool isFieldClass(const ClassInfo& info);

} // namespace cm
