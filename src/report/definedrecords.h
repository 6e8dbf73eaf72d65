#pragma once
// The records of a layout's table or query: the opened source, seen
// through the labels and visibility of the stored fields, followed by the
// calculated and lookup fields, which are worked out per record.
#include "report/datasetcomponent.h"

#include <QPointer>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

namespace cm {

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

} // namespace cm
