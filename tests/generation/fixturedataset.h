#pragma once
// A logbook in memory: the 19 log fields with records given by the test,
// so engine tests run without files.
#include "report/dataset.h"

#include <QVariant>
#include <vector>

namespace cm::test {

class FixtureDataSet : public DataSet {
public:
    // Each record maps field names to values; missing fields are null.
    using Record = std::vector<std::pair<QString, QVariant>>;

    explicit FixtureDataSet(std::vector<Record> records = {}, QString name = QStringLiteral("Tbl"));

    QString name() const override { return name_; }
    bool isOpen() const override { return open_; }
    bool open(QString* = nullptr) override { open_ = true; first(); return true; }
    void close() override { open_ = false; }
    void first() override { pos_ = 0; eof_ = rows_.empty(); bof_ = true; }
    void next() override;
    void prior() override;
    void last() override { pos_ = rows_.empty() ? 0 : int(rows_.size()) - 1; eof_ = rows_.empty(); }
    bool eof() const override { return eof_; }
    bool bof() const override { return bof_; }
    int recordCount() const override { return int(rows_.size()); }
    int recordNumber() const override { return rows_.empty() ? -1 : pos_; }
    int fieldCount() const override;
    const FieldDef& field(int index) const override;
    bool isNull(int index) const override;
    QString text(int index) const override;
    qint64 toInteger(int index) const override;
    double toFloat(int index) const override;
    bool toBoolean(int index) const override;
    QDateTime toDateTime(int index) const override;

private:
    const QVariant& value(int index) const;
    QString name_;
    std::vector<std::vector<QVariant>> rows_;
    int pos_ = 0;
    bool eof_ = true;
    bool bof_ = true;
    bool open_ = true;
};

// Records with only a call sign each (and a running log number).
std::vector<FixtureDataSet::Record> callRecords(const QStringList& calls);

} // namespace cm::test
