#pragma once
// The log table as a table model for the Data tab's grid: one row per
// record under the table's filter and order, one column per persistent
// field. Cells are read from the table when the view asks for them; the
// model copies nothing. Edits go straight to the table (SQLite logbooks);
// an edit that cannot be stored is refused with the reason and the record
// stays as it was.
//
// A new record starts as a blank row below the last one that exists only in
// the model; it becomes a record with its first stored value, and a blank
// row left unchanged is dropped (discardNewRow).
#include <QAbstractTableModel>

namespace cm {

class LogTable;

class LogTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit LogTableModel(QObject* parent = nullptr);

    // The table shown; nullptr or a closed table shows nothing.
    void setTable(LogTable* table);
    LogTable* table() const { return table_; }
    // After the table's records, filter or order changed behind the model.
    void reload();

    bool hasNewRow() const { return newRow_; }
    bool addNewRow();   // false when the table cannot be edited
    void discardNewRow();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
    // An edit was not stored; `reason` says why.
    void editRefused(const QString& reason);
    // The record at `row` is current after an edit of `column` (it may
    // have moved under the order or the filter).
    void recordStored(int row, int column);

private:
    bool isOpen() const;
    int recordCount() const;

    LogTable* table_ = nullptr;
    bool newRow_ = false;
};

} // namespace cm
