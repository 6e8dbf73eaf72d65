#pragma once
// A small in-memory data set for tests and benchmarks.
#include "report/dataset.h"

#include <QVariant>
#include <vector>

namespace cm::test {

inline FieldDef fieldDef(QString name, FieldType type, int size = 0)
{
    FieldDef def;
    def.name = std::move(name);
    def.type = type;
    def.size = size;
    return def;
}

class MemoryDataSet : public DataSet {
public:
    MemoryDataSet(QString name, std::vector<FieldDef> fields) : m_name(std::move(name)), m_fields(std::move(fields)) {}

    void addRecord(std::vector<QVariant> values) { m_rows.push_back(std::move(values)); }

    QString name() const override { return m_name; }
    bool isOpen() const override { return true; }
    bool open(QString* = nullptr) override { return true; }
    void close() override {}
    void first() override { m_pos = 0; }
    void next() override { if (m_pos < int(m_rows.size())) ++m_pos; }
    void prior() override { if (m_pos > 0) --m_pos; }
    void last() override { m_pos = int(m_rows.size()) - 1; }
    bool eof() const override { return m_pos >= int(m_rows.size()); }
    bool bof() const override { return m_pos == 0; }
    int recordCount() const override { return int(m_rows.size()); }
    int recordNumber() const override { return eof() ? -1 : m_pos; }
    int fieldCount() const override { return int(m_fields.size()); }
    const FieldDef& field(int index) const override { return m_fields[size_t(index)]; }
    bool isNull(int index) const override { return value(index).isNull(); }
    QString text(int index) const override { return value(index).toString(); }
    qint64 toInteger(int index) const override { return value(index).toLongLong(); }
    double toFloat(int index) const override { return value(index).toDouble(); }
    bool toBoolean(int index) const override { return value(index).toBool(); }
    QDateTime toDateTime(int index) const override { return value(index).toDateTime(); }

private:
    QVariant value(int index) const
    {
        if (eof() || index < 0 || size_t(index) >= m_rows[size_t(m_pos)].size()) return QVariant();
        return m_rows[size_t(m_pos)][size_t(index)];
    }

    QString m_name;
    std::vector<FieldDef> m_fields;
    std::vector<std::vector<QVariant>> m_rows;
    int m_pos = 0;
};

} // namespace cm::test
