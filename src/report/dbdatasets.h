#pragma once
// Tables and queries that a layout carries itself, with their stored
// fields. A table reads a logbook file (Paradox, SQLite, ADIF) by the rules
// of the log table; a query runs its SQL read-only against a SQLite
// logbook. Each offers its records through the one data-set interface, also
// while it is closed (then without records).
#include "report/datasetcomponent.h"
#include "report/dbsettings.h"
#include "report/definedrecords.h"
#include "report/graphics.h"
#include "report/wizfilters.h"

#include <QVariant>
#include <functional>
#include <vector>

namespace cm {

class TDBField;

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
