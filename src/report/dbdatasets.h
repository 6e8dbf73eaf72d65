#pragma once
// Tables and queries that a layout carries itself, with their stored
// fields. A table reads a logbook file (Paradox, SQLite, ADIF) by the rules
// of the log table; a query runs its SQL read-only against a SQLite
// logbook. Each offers its records through the one data-set interface, also
// while it is closed (then without records).
#include "report/datasetcomponent.h"
#include "report/dbsettings.h"
#include "report/graphics.h"
#include "report/wizfilters.h"

#include <QVariant>
#include <functional>
#include <map>
#include <unordered_map>
#include <vector>

namespace cm {

class TDBField;

// A calculated or lookup field as the records compute it.
struct ComputedField {
    FieldDef def;
    bool lookup = false;
    // Lookup: the values of `keyFields` here are looked for under
    // `lookupKeyFields` in the lookup data set, which gives `resultField`.
    QStringList keyFields;
    QPointer<TDataSetComponent> lookupDataSet;
    QStringList lookupKeyFields;
    QString resultField;
};

// The records of a table or query: the opened source, seen through the
// labels and visibility of the stored fields, followed by the calculated
// and lookup fields. Those are worked out once per record, when one of them
// is first read.
class DefinedRecords final : public DataSet {
public:
    explicit DefinedRecords(const Component& owner) : owner_(owner) {}

    void attach(std::unique_ptr<DataSet> source);
    DataSet* source() const { return source_.get(); }
    void setDefs(std::vector<FieldDef> defs, std::vector<ComputedField> computed);

    QString name() const override { return owner_.name(); }
    bool isOpen() const override { return source_ != nullptr; }
    bool open(QString* error = nullptr) override;
    void close() override { attach(nullptr); }
    std::function<bool(QString*)> opener;
    // Runs the calculated-fields event for the current record.
    std::function<void()> calculate;
    // Sets a calculated field of the current record; false when there is
    // no such field or no record.
    bool setComputedValue(QStringView fieldName, const QVariant& value);

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

    bool isNull(int index) const override;
    QString text(int index) const override;
    qint64 toInteger(int index) const override;
    double toFloat(int index) const override;
    bool toBoolean(int index) const override;
    QDateTime toDateTime(int index) const override;
    QByteArray blob(int index) const override;

    bool isLayoutDataSet() const override { return true; }
    std::optional<QString> paramText(QStringView paramName) const override;

private:
    int sourceFieldCount() const { return int(defs_.size() - computed_.size()); }
    bool isComputed(int index) const { return index >= sourceFieldCount(); }
    const QVariant& computedValue(int index) const;
    bool valuesCurrent() const;
    void compute() const;
    QVariant lookUp(const ComputedField& f) const;

    const Component& owner_;
    std::unique_ptr<DataSet> source_;
    std::vector<FieldDef> defs_;
    std::vector<ComputedField> computed_;
    // The computed values of the record `valuesFor_` (-1: none yet), as
    // the data sets were opened when they were worked out.
    mutable std::vector<QVariant> values_;
    mutable int valuesFor_ = -1;
    mutable quint64 valuesOpenings_ = 0;
    mutable bool computing_ = false;
    // Per lookup field: result by key, read once from the lookup data set
    // and read again after any layout data set opened or closed, or when
    // its record count changed.
    struct LookupIndex {
        quint64 openings = 0;
        int recordCount = 0;
        std::unordered_map<QString, QVariant> results;
    };
    mutable std::map<size_t, LookupIndex> lookups_;
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

    // The calculated-fields event: runs for each record, the first time one
    // of its calculated fields is read; it sets them with setCalcValue.
    std::function<void(TEDBDataSet&)> onCalcFields;
    bool setCalcValue(QStringView fieldName, const QVariant& value)
    {
        return records_.setComputedValue(fieldName, value);
    }

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
    void beginLoad() override;
    void afterLoad() override;

    QString tableName;
    TQRStrings orderFields;
    TQRDatabaseSettings sqlSettings;
    // Nothing when none were stored, so that none are written either.
    std::optional<std::vector<WizFilter>> filters;
    // Why the stored filter bytes could not be read; empty when they could.
    QString filtersDamage;
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
    // Lookup fields: key fields of this data set, separated by ';', looked
    // for under the lookup key fields of the lookup data set.
    QString keyFields;
    QPointer<TDataSetComponent> lookupDataSet;
    QString lookupKeyFields;
    QString lookupResultField;

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
