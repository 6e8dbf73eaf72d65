#include "logbook/logstore.h"

namespace cm {

StoreKind storeKindOf(FieldType type)
{
    if (isFloatField(type))
        return StoreKind::Real;
    if (isIntegerField(type) || isDateTimeField(type) || type == FieldType::Boolean)
        return StoreKind::Integer;
    return StoreKind::Text;
}

LogStore::LogStore(std::vector<FieldDef> fields)
{
    columns_.reserve(fields.size());
    for (FieldDef& f : fields) {
        Column c;
        c.kind = storeKindOf(f.type);
        c.def = std::move(f);
        columns_.push_back(std::move(c));
    }
}

void LogStore::holdOnly(const std::vector<bool>& columns)
{
    for (size_t i = 0; i < columns_.size(); ++i)
        columns_[i].held = i < columns.size() && columns[i];
}

void LogStore::reserve(int rows)
{
    for (Column& c : columns_) {
        if (!c.held)
            continue;
        c.nulls.reserve(size_t(rows));
        switch (c.kind) {
        case StoreKind::Text: c.texts.reserve(size_t(rows)); break;
        case StoreKind::Integer: c.ints.reserve(size_t(rows)); break;
        case StoreKind::Real: c.reals.reserve(size_t(rows)); break;
        }
    }
}

int LogStore::appendRow()
{
    for (Column& c : columns_) {
        if (!c.held)
            continue;
        c.nulls.push_back(1);
        switch (c.kind) {
        case StoreKind::Text: c.texts.emplace_back(); break;
        case StoreKind::Integer: c.ints.push_back(0); break;
        case StoreKind::Real: c.reals.push_back(0.0); break;
        }
    }
    return rows_++;
}

template <typename T>
static void eraseAt(std::vector<T>& v, int row)
{
    if (!v.empty())
        v.erase(v.begin() + row);
}

void LogStore::removeRow(int row)
{
    if (row < 0 || row >= rows_)
        return;
    for (Column& c : columns_) {
        eraseAt(c.nulls, row);
        eraseAt(c.texts, row);
        eraseAt(c.ints, row);
        eraseAt(c.reals, row);
    }
    --rows_;
}

void LogStore::clear()
{
    for (Column& c : columns_) {
        c.nulls.clear();
        c.texts.clear();
        c.ints.clear();
        c.reals.clear();
    }
    rows_ = 0;
}

void LogStore::setNull(int row, int col)
{
    Column& c = columns_[size_t(col)];
    if (!c.held)
        return;
    c.nulls[size_t(row)] = 1;
    switch (c.kind) {
    case StoreKind::Text: c.texts[size_t(row)].clear(); break;
    case StoreKind::Integer: c.ints[size_t(row)] = 0; break;
    case StoreKind::Real: c.reals[size_t(row)] = 0.0; break;
    }
}

void LogStore::setText(int row, int col, const QString& value)
{
    Column& c = columns_[size_t(col)];
    if (!c.held)
        return;
    c.texts[size_t(row)] = value;
    c.nulls[size_t(row)] = value.isEmpty() ? 1 : 0;
}

void LogStore::setInteger(int row, int col, qint64 value)
{
    Column& c = columns_[size_t(col)];
    if (!c.held)
        return;
    c.ints[size_t(row)] = value;
    c.nulls[size_t(row)] = 0;
}

void LogStore::setReal(int row, int col, double value)
{
    Column& c = columns_[size_t(col)];
    if (!c.held)
        return;
    c.reals[size_t(row)] = value;
    c.nulls[size_t(row)] = 0;
}

} // namespace cm
