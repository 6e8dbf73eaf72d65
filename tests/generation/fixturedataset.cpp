#include "fixturedataset.h"

#include "logbook/logfields.h"

namespace cm::test {

FixtureDataSet::FixtureDataSet(std::vector<Record> records, QString name) : name_(std::move(name))
{
    for (const Record& r : records) {
        std::vector<QVariant> row(static_cast<size_t>(fieldCount()));
        for (const auto& [fieldName, v] : r) {
            const int i = fieldIndex(fieldName);
            if (i >= 0)
                row[size_t(i)] = v;
        }
        rows_.push_back(std::move(row));
    }
    first();
}

void FixtureDataSet::next()
{
    bof_ = false;
    if (pos_ + 1 < int(rows_.size()))
        ++pos_;
    else
        eof_ = true;
}

void FixtureDataSet::prior()
{
    eof_ = false;
    if (pos_ > 0)
        --pos_;
    else
        bof_ = true;
}

int FixtureDataSet::fieldCount() const { return int(logFieldDefs().size()); }
const FieldDef& FixtureDataSet::field(int index) const { return logFieldDefs()[size_t(index)]; }

const QVariant& FixtureDataSet::value(int index) const
{
    static const QVariant none;
    if (rows_.empty() || index < 0 || index >= fieldCount())
        return none;
    return rows_[size_t(pos_)][size_t(index)];
}

bool FixtureDataSet::isNull(int index) const { return !value(index).isValid(); }

QString FixtureDataSet::text(int index) const
{
    const QVariant& v = value(index);
    if (v.typeId() == QMetaType::QDate)
        return v.toDate().toString(QStringLiteral("dd.MM.yyyy"));
    if (v.typeId() == QMetaType::QTime)
        return v.toTime().toString(QStringLiteral("HH:mm"));
    return v.toString();
}

qint64 FixtureDataSet::toInteger(int index) const { return value(index).toLongLong(); }
double FixtureDataSet::toFloat(int index) const { return value(index).toDouble(); }
bool FixtureDataSet::toBoolean(int index) const { return value(index).toBool(); }

QDateTime FixtureDataSet::toDateTime(int index) const
{
    const QVariant& v = value(index);
    if (v.typeId() == QMetaType::QDate)
        return QDateTime(v.toDate(), QTime(0, 0));
    if (v.typeId() == QMetaType::QTime)
        return QDateTime(QDate(1899, 12, 30), v.toTime());
    return v.toDateTime();
}

std::vector<FixtureDataSet::Record> callRecords(const QStringList& calls)
{
    std::vector<FixtureDataSet::Record> out;
    int n = 1;
    for (const QString& c : calls)
        out.push_back({{QStringLiteral("Log"), n++}, {QStringLiteral("Call"), c}});
    return out;
}

} // namespace cm::test
