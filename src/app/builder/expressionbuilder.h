#pragma once
// The expression builder ("Expression Wizard"): composes one formula from
// data fields, functions with prompted arguments, operators and environment
// names, and tests it against the current records.
#include "app/builder/buildercontext.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QVBoxLayout;

namespace cm {

struct TQRLibraryEntry;

class ExpressionBuilder : public QDialog {
    Q_OBJECT
public:
    ExpressionBuilder(BuilderContext context, const QString& heading, QWidget* parent = nullptr);

    void setFormula(const QString& text);
    // The edit's text on one line (line breaks removed).
    QString formula() const;
    // Shows the result of the formula as the user would see it.
    void validate();
    // Escape on a page leaves the page; on the main page it cancels.
    void reject() override;

private:
    QWidget* buildMainPage(const QString& heading);
    QWidget* buildFieldPage();
    QWidget* buildFunctionPage();
    QWidget* buildParameterPage();
    QWidget* buildVariablePage();
    void showMain();
    void insertText(const QString& text);
    void fillFields();
    void acceptField();
    void fillFunctions();
    void showFunction();
    void continueFunction();
    void acceptParameters();
    void fillVariables();
    void showVariable();
    void acceptVariable();
    void modifyVariables();
    const TQRLibraryEntry* currentFunction() const;

    BuilderContext context_;
    QStackedWidget* pages_ = nullptr;
    QPlainTextEdit* edit_ = nullptr;
    QListWidget* tableList_ = nullptr;
    QListWidget* fieldList_ = nullptr;
    QListWidget* categoryList_ = nullptr;
    QListWidget* functionList_ = nullptr;
    QLabel* functionTemplate_ = nullptr;
    QLabel* functionExplanation_ = nullptr;
    QLabel* parameterTitle_ = nullptr;
    QVBoxLayout* parameterRows_ = nullptr;
    QWidget* parameterBox_ = nullptr;
    std::vector<QLineEdit*> argumentEdits_;
    QString parameterFunction_;
    QListWidget* variableList_ = nullptr;
    QLabel* variableValue_ = nullptr;
};

} // namespace cm
