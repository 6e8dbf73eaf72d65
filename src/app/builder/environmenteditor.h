#pragma once
// The environment editor ("User Defined Functions Edtor"): adds and edits the
// named formulas of the report's local or the global environment.
#include "app/builder/buildercontext.h"

#include <QDialog>

class QGroupBox;
class QLineEdit;
class QRadioButton;
class QTableWidget;
class QTableWidgetItem;

namespace cm {

class EnvironmentEditor : public QDialog {
    Q_OBJECT
public:
    EnvironmentEditor(BuilderContext context, TQREvEnvironment* local, bool allowGlobal, QWidget* parent = nullptr);

    TQREvEnvironment* currentEnvironment() const;

private:
    void fillGrid();
    void cellEdited(QTableWidgetItem* item);
    void showNewEntry();
    void acceptNewEntry();
    void editRow();
    void deleteRow();
    // The builders opened here list every table field and every function.
    BuilderContext plainContext() const;

    BuilderContext context_;
    TQREvEnvironment* local_;
    QRadioButton* localChoice_ = nullptr;
    QRadioButton* globalChoice_ = nullptr;
    QTableWidget* grid_ = nullptr;
    QGroupBox* newEntry_ = nullptr;
    QLineEdit* newName_ = nullptr;
    QLineEdit* newFormula_ = nullptr;
    bool filling_ = false;
};

} // namespace cm
