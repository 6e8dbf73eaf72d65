#pragma once
// "Filter setup dialog": the conditions in force as a list of rows, and the
// controls to add a condition or delete one. It opens with the log table's
// filter read back into rows; filterText() is the text the rows make.
#include "logbook/logfilter.h"

#include <QDialog>
#include <vector>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace cm {

class LogTable;

class FilterDialog : public QDialog {
    Q_OBJECT
public:
    explicit FilterDialog(const LogTable& table, QWidget* parent = nullptr);

    const std::vector<FilterRow>& rows() const { return rows_; }
    QString filterText() const;

    // The controls of the condition to add (named for tests and help).
    QComboBox& joinBox() { return *join_; }
    QComboBox& fieldBox() { return *field_; }
    QComboBox& conditionBox() { return *condition_; }
    QLineEdit& valueEdit() { return *value_; }
    QPushButton& addButton() { return *add_; }
    QPushButton& deleteButton() { return *delete_; }
    QTreeWidget& list() { return *list_; }

private:
    void addRow();
    void deleteRow();
    void updateButtons();
    void showRows();
    QString labelOf(const QString& fieldName) const;

    const LogTable& table_;
    std::vector<FilterRow> rows_;
    QTreeWidget* list_;
    QComboBox* join_;
    QComboBox* field_;
    QComboBox* condition_;
    QLineEdit* value_;
    QPushButton* add_;
    QPushButton* delete_;
};

} // namespace cm
