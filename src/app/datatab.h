#pragma once
// The Data tab: the logbook grid over the log table, the notice of a
// read-only logbook and the status line with the record count. Sort
// (the filter dialog) and Unsort work here; the window's data toolbar
// triggers them.
#include <QWidget>

class QLabel;
class QStatusBar;
class QTableView;

namespace cm {

class LogTable;
class LogTableModel;
class MessageBoxes;

class DataTab : public QWidget {
    Q_OBJECT
public:
    DataTab(MessageBoxes& boxes, QWidget* parent = nullptr);

    void setTable(LogTable* table);
    LogTable* table() const;
    LogTableModel& model() { return *model_; }
    QTableView& grid() { return *grid_; }
    QString notice() const;   // the read-only notice shown, or empty

    // "There are %d QSOs !"
    void showRecordCount(int count);
    void showRecordCount();
    QString statusText() const;

    // The records, filter or order changed behind the grid (navigator,
    // "Group By", another logbook): the grid follows the current record.
    void reload();
    void followCurrentRecord();

    // Shows the filter dialog and applies it; true when a filter was set.
    bool sort();
    // Sets the filter text as the filter dialog writes it; a text the table
    // cannot read is refused with the reason and changes nothing.
    bool applyFilter(const QString& text);
    void unsort();

    // A blank record below the last one; deleting asks first.
    void newRecord();
    bool deleteRecord();

    // The grid's column order and widths, for the settings file.
    QByteArray columnState() const;
    void restoreColumnState(const QByteArray& state);

signals:
    // A filter was set (true) or removed (false).
    void filterChanged(bool filtered);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyPendingColumns();

    MessageBoxes& boxes_;
    LogTableModel* model_;
    QTableView* grid_;
    QLabel* notice_;
    QStatusBar* status_;
    QByteArray pendingColumns_;
};

} // namespace cm
