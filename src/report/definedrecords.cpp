#include "report/definedrecords.h"

#include "report/dbdatasets.h"

#include <atomic>

namespace cm {

namespace {

QVariant valueAt(const DataSet& ds, int index)
{
    if (ds.isNull(index))
        return QVariant();
    const FieldType type = ds.field(index).type;
    if (isIntegerField(type))
        return ds.toInteger(index);
    if (isFloatField(type))
        return ds.toFloat(index);
    if (type == FieldType::Boolean)
        return ds.toBoolean(index);
    if (isDateTimeField(type))
        return ds.toDateTime(index);
    if (isBlobField(type) && type != FieldType::Memo)
        return ds.blob(index);
    return ds.text(index);
}

// The values of the named fields of the current record, as one key; none
// when a field is missing.
std::optional<QString> keyOf(const DataSet& ds, const QStringList& fieldNames)
{
    QStringList parts;
    for (const QString& name : fieldNames) {
        const int index = ds.fieldIndex(name.trimmed());
        if (index < 0)
            return std::nullopt;
        parts << (ds.isNull(index) ? QString() : ds.text(index));
    }
    return parts.join(QChar(0x1F));
}

// Counts every opening and closing of a layout's data set, so that a
// lookup never reads a data set's records as they were before.
std::atomic<quint64> openings{0};

} // namespace

void DefinedRecords::attach(std::unique_ptr<DataSet> source)
{
    ++openings;
    source_ = std::move(source);
    valuesFor_ = -1;
    lookups_.clear();
}

void DefinedRecords::setDefs(std::vector<FieldDef> defs, std::vector<ComputedField> computed)
{
    for (const ComputedField& f : computed)
        defs.push_back(f.def);
    defs_ = std::move(defs);
    computed_ = std::move(computed);
    valuesFor_ = -1;
    lookups_.clear();
}

bool DefinedRecords::open(QString* error)
{
    if (source_)
        return true;
    if (!opener) {
        if (error)
            *error = QStringLiteral("nothing to open");
        return false;
    }
    return opener(error);
}

std::optional<QString> DefinedRecords::paramText(QStringView paramName) const
{
    auto* query = dynamic_cast<TEDBQuery*>(const_cast<Component*>(&owner_));
    const QueryParam* p = query ? query->param(paramName) : nullptr;
    if (!p)
        return std::nullopt;
    return p->text;
}

bool DefinedRecords::setComputedValue(QStringView fieldName, const QVariant& value)
{
    if (recordNumber() < 0)
        return false;
    const int index = fieldIndex(fieldName);
    if (index < 0 || !isComputed(index))
        return false;
    if (!computing_ && !valuesCurrent())
        compute();
    values_[size_t(index - sourceFieldCount())] = value;
    return true;
}

bool DefinedRecords::valuesCurrent() const
{
    return valuesFor_ == recordNumber() && valuesOpenings_ == openings;
}

void DefinedRecords::compute() const
{
    values_.assign(computed_.size(), QVariant());
    valuesFor_ = recordNumber();
    valuesOpenings_ = openings;
    // The event may read this record's fields, computed ones included:
    // they read as far as they are worked out.
    computing_ = true;
    for (size_t i = 0; i < computed_.size(); ++i) {
        if (computed_[i].lookup)
            values_[i] = lookUp(computed_[i]);
    }
    if (calculate)
        calculate();
    computing_ = false;
}

const QVariant& DefinedRecords::computedValue(int index) const
{
    static const QVariant none;
    if (recordNumber() < 0)
        return none;
    if (!computing_ && !valuesCurrent())
        compute();
    const size_t at = size_t(index - sourceFieldCount());
    return at < values_.size() ? values_[at] : none;
}

QVariant DefinedRecords::lookUp(const ComputedField& f) const
{
    DataSet* other = f.lookupDataSet ? f.lookupDataSet->dataSet() : nullptr;
    if (!other || !other->isOpen() || other == this)
        return QVariant();
    const size_t at = size_t(&f - computed_.data());
    LookupIndex& index = lookups_[at];
    if (index.openings != openings || index.recordCount != other->recordCount()) {
        // One pass over the lookup data set; its cursor comes back to
        // where it was, so a band printing it does not notice.
        index.openings = openings;
        index.recordCount = other->recordCount();
        index.results.clear();
        const int result = other->fieldIndex(f.resultField);
        const int was = other->recordNumber();
        if (result >= 0) {
            for (other->first(); !other->eof(); other->next()) {
                const std::optional<QString> key = keyOf(*other, f.lookupKeyFields);
                if (key && !index.results.count(*key))
                    index.results.emplace(*key, valueAt(*other, result));
            }
        }
        other->first();
        for (int i = 0; i < was && !other->eof(); ++i)
            other->next();
    }
    const std::optional<QString> key = keyOf(*this, f.keyFields);
    if (!key)
        return QVariant();
    const auto found = index.results.find(*key);
    return found == index.results.end() ? QVariant() : found->second;
}

bool DefinedRecords::isNull(int index) const
{
    if (isComputed(index))
        return computedValue(index).isNull();
    return !source_ || source_->isNull(index);
}

QString DefinedRecords::text(int index) const
{
    if (isComputed(index))
        return computedValue(index).toString();
    return source_ ? source_->text(index) : QString();
}

qint64 DefinedRecords::toInteger(int index) const
{
    if (isComputed(index))
        return computedValue(index).toLongLong();
    return source_ ? source_->toInteger(index) : 0;
}

double DefinedRecords::toFloat(int index) const
{
    if (isComputed(index))
        return computedValue(index).toDouble();
    return source_ ? source_->toFloat(index) : 0;
}

bool DefinedRecords::toBoolean(int index) const
{
    if (isComputed(index))
        return computedValue(index).toBool();
    return source_ && source_->toBoolean(index);
}

QDateTime DefinedRecords::toDateTime(int index) const
{
    if (isComputed(index))
        return computedValue(index).toDateTime();
    return source_ ? source_->toDateTime(index) : QDateTime();
}

QByteArray DefinedRecords::blob(int index) const
{
    if (isComputed(index)) {
        const QVariant& v = computedValue(index);
        return v.metaType().id() == QMetaType::QByteArray ? v.toByteArray() : v.toString().toUtf8();
    }
    return source_ ? source_->blob(index) : QByteArray();
}

} // namespace cm
