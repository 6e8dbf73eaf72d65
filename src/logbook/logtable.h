#pragma once
// The log table: the data set of every print run, the data view's content
// and the source of the field list. It presents the 19 persistent fields of
// any source (Paradox table, SQLite logbook, ADIF file) under one filter and
// one order. A SQLite logbook is read on demand: the table keeps only the
// columns its filter and order need for every record, and reads whole
// records a page at a time as they are visited.
#include "logbook/logbackend.h"
#include "logbook/logfilter.h"
#include "logbook/logformat.h"
#include "logbook/logpagecache.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <utility>

namespace cm {

class LogTable final : public DataSet {
public:
    explicit LogTable(QString componentName = QStringLiteral("Tbl"));
    ~LogTable() override;

    QString name() const override { return componentName_; }

    // A full path, or a bare file name found in the logbook folder.
    // Changing it closes the table.
    void setTableName(const QString& tableName);
    QString tableName() const { return tableName_; }
    QString resolvedPath() const;
    LogFormat format() const { return format_; }
    // Opens a SQLite logbook so that nothing can write it, refusing one
    // left half-written. Takes effect at the next open.
    void setQueryOnly(bool queryOnly) { queryOnly_ = queryOnly; }

    bool isOpen() const override { return backend_ != nullptr; }
    bool open(QString* error = nullptr) override;
    void close() override;

    void first() override;
    void next() override;
    void prior() override;
    void last() override;
    bool eof() const override { return eof_; }
    bool bof() const override { return bof_; }
    int recordCount() const override { return int(view_.size()); }
    int recordNumber() const override { return view_.empty() ? -1 : pos_; }

    int fieldCount() const override { return store_.fieldCount(); }
    const FieldDef& field(int index) const override { return store_.field(index); }

    bool isNull(int index) const override;
    QString text(int index) const override;
    qint64 toInteger(int index) const override;
    double toFloat(int index) const override;
    bool toBoolean(int index) const override;
    QDateTime toDateTime(int index) const override;
    QVariant value(int index) const;   // null: an invalid QVariant

    // Random access for views: the values of the record at `recordNumber`
    // (0-based, under the filter and order) without moving the cursor.
    QString recordText(int recordNumber, int index) const;
    QVariant recordValue(int recordNumber, int index) const;
    // Makes the record at `recordNumber` current; false when there is none.
    bool moveTo(int recordNumber);

    // Filter text as the filter dialog writes it; empty shows all records.
    // A text that cannot be read leaves the filter in force unchanged.
    bool setFilter(const QString& text, QString* error = nullptr);
    QString filter() const { return filterText_; }

    // Indexes of the source and the "Group By" entries made from them.
    const std::vector<LogIndexDef>& indexDefs() const { return indexes_; }
    QStringList indexEntries() const;
    int currentIndexEntry() const;   // -1 when the order matches no entry
    bool selectIndexEntry(int entry, QString* error = nullptr);
    // Orders by persistent fields named in a list separated by ';' or ','.
    // A field is named by its own or its ADIF name; "Datum DESC" or "-Datum"
    // orders it from the highest value down. Empty: the source's own order.
    bool setIndexFieldNames(const QString& names, QString* error = nullptr);
    QString indexFieldNames() const;
    // Orders by a key made from each stored row (text, compared as it
    // stands), before any field order; none: back to the field order.
    // `columns` are the fields the key reads.
    using RowKey = std::function<QString(const LogStore& store, int row)>;
    void setOrderKey(RowKey key, std::vector<int> columns);

    // Whether records are read on demand (a SQLite logbook).
    bool isPaged() const { return pager_ != nullptr; }
    // Why records read on demand could not be read (their values then read
    // as empty); empty when nothing failed since the table opened.
    QString readError() const { return readError_; }

    // Editing (SQLite logbooks). Read-only sources say why in the notice.
    bool canModify() const { return backend_ && backend_->readOnlyNotice().isEmpty(); }
    QString readOnlyNotice() const { return backend_ ? backend_->readOnlyNotice() : QString(); }
    // Records the source left out and values it cut when it opened.
    QStringList loadNotes() const { return backend_ ? backend_->loadNotes() : QStringList(); }
    using FieldValues = std::vector<std::pair<int, QVariant>>;
    bool updateCurrent(const FieldValues& changes, QString* error = nullptr);
    bool appendRecord(const FieldValues& values, QString* error = nullptr);   // becomes current
    bool deleteCurrent(QString* error = nullptr);

private:
    bool isDescending() const
    {
        return std::find(orderDescending_.begin(), orderDescending_.end(), 1) != orderDescending_.end();
    }
    // Where a record's values are: the table's store, or a page read on demand.
    struct Cell {
        const LogStore* store = nullptr;
        int row = -1;
        bool has(int index) const { return store && index >= 0 && index < store->fieldCount(); }
        bool isNull(int index) const { return !has(index) || store->isNull(row, index); }
    };
    Cell cellAt(int recordNumber) const;
    Cell current() const { return cellAt(view_.empty() ? -1 : pos_); }
    int currentRow() const { return view_.empty() ? -1 : view_[size_t(pos_)]; }
    static QString cellText(Cell cell, int index);
    static QVariant cellValue(Cell cell, int col);
    std::vector<QVariant> rowValues(Cell cell) const;
    bool rebuildView(QString* error = nullptr);
    bool readKeys(QString* error);
    // A record stays the same record across rebuilds: a store row, or
    // the source's key when records are read on demand.
    qint64 identityOf(int row) const { return pager_ ? keyIds_[size_t(row)] : row; }
    void moveToIdentity(qint64 identity);
    bool convertValues(const FieldValues& changes, std::vector<QVariant>& values, QString* error) const;
    void storeValues(int row, const std::vector<QVariant>& values);

    struct IndexEntry {
        QString text;
        std::vector<int> columns;
    };

    QString componentName_;
    QString tableName_;
    bool queryOnly_ = false;
    LogFormat format_ = LogFormat::Unknown;
    std::unique_ptr<LogBackend> backend_;
    LogPager* pager_ = nullptr;   // the back end's, when it reads on demand
    // Every record, or (paged) the columns filter and order need of each.
    LogStore store_;
    std::vector<qint64> keyIds_;   // paged: the source's key of each store row
    mutable LogPageCache pages_;
    mutable QString readError_;
    std::vector<LogIndexDef> indexes_;
    std::vector<IndexEntry> entries_;
    QString filterText_;
    LogFilter filter_;
    std::vector<int> orderColumns_;
    std::vector<char> orderDescending_;   // one flag per order column
    RowKey orderKey_;
    std::vector<int> orderKeyColumns_;
    std::vector<int> view_;   // store rows under the filter, in order
    int pos_ = 0;
    bool bof_ = true;
    bool eof_ = true;
};

} // namespace cm
