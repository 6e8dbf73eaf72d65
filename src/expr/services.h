#pragma once
// What the formula functions need from outside the evaluator: the report's
// elements and data sets, the user (dialogs) and the generation engine.
// The report model, the GUI and the engine implement these later and
// install them with setExprServices(); until then the headless defaults
// answer "nothing found", Cancel and No.
#include <QString>
#include <optional>

namespace cm {

class DataSet;
class VariableStore;

// One component reached by name: an element, band, report, data set or
// data source. Properties are found by name without regard to case, through
// the published-property table of the component's class.
class ReportObject {
public:
    enum class Kind { PrintableElement, ExpressionElement, Band, Report, DataSet, DataSource, Other };

    virtual ~ReportObject() = default;
    virtual Kind kind() const = 0;

    virtual bool hasProperty(QStringView property) const = 0;
    // Reading a missing property gives 0, 0.0 or the empty text.
    virtual qint64 ordinalProperty(QStringView property) const = 0;
    virtual double floatProperty(QStringView property) const = 0;
    virtual QString textProperty(QStringView property) const = 0;
    // A nested object property (for example "Font"), or nullptr.
    virtual ReportObject* objectProperty(QStringView property) = 0;
    // Writing a missing property does nothing. Booleans are ordinals 0 and 1;
    // sets (a font's "Style") are ordinals with bit n for member n.
    virtual void setOrdinalProperty(QStringView property, qint64 value) = 0;
    virtual void setFloatProperty(QStringView property, double value) = 0;
    virtual void setTextProperty(QStringView property, const QString& value) = 0;

    // A boolean reads true only when the ordinal is exactly 1.
    bool booleanProperty(QStringView property) const { return ordinalProperty(property) == 1; }
};

class ReportAccess {
public:
    // Forms only: open forms with a designer report, in the program's order.
    // FormsAndDataModules: then the data modules in the same way.
    enum class Scope { Forms, FormsAndDataModules };

    virtual ~ReportAccess() = default;
    virtual ReportObject* findElement(QStringView name, Scope scope) = 0;
    // GETCAPTION: open forms searched from the last to the first; a component
    // with a "Caption" property or an expression element.
    virtual ReportObject* findCaptionHolder(QStringView name) = 0;
    // A data set by component name; with a field name it must have that field.
    virtual DataSet* findDataSet(QStringView name, QStringView fieldName) = 0;
    // RESETEXPR: resets the evaluator of the first expression element of that name.
    virtual void resetExpression(QStringView name) = 0;
    // GROUPPRINTED: the last print decision of that group band, nullopt when none.
    virtual std::optional<bool> groupPrinted(QStringView bandName) = 0;
};

class DialogService {
public:
    virtual ~DialogService() = default;
    virtual bool okBox(const QString& text) = 0;            // true when closed with OK
    virtual bool okCancelBox(const QString& text) = 0;      // true for OK
    virtual bool yesNoBox(const QString& text) = 0;         // true for Yes
    // true for OK with `value` changed to the entered text.
    virtual bool inputBox(const QString& title, const QString& prompt, QString& value) = 0;
    // Script errors and failures during a script run.
    virtual void errorBox(const QString& text) = 0;
};

// The generation engine's page state for the report named "CardReport";
// nullopt / false when there is no such report or no run.
class EngineHooks {
public:
    virtual ~EngineHooks() = default;
    virtual bool newPage() = 0;   // false when the report does not exist
    virtual std::optional<int> verticalPrintPosition() = 0;
    virtual std::optional<int> pageNumber() = 0;
};

// Headless answers: OK boxes are acknowledged, every question is answered
// Cancel or No, errors are dropped (kept for tests to read).
class HeadlessDialogService : public DialogService {
public:
    bool okBox(const QString&) override { return true; }
    bool okCancelBox(const QString&) override { return false; }
    bool yesNoBox(const QString&) override { return false; }
    bool inputBox(const QString&, const QString&, QString&) override { return false; }
    void errorBox(const QString& text) override { lastError = text; }
    QString lastError;
};

struct ExprServices {
    ReportAccess* report = nullptr;     // nullptr: no report elements exist
    DialogService* dialogs = nullptr;   // nullptr: the headless service
    EngineHooks* engine = nullptr;      // nullptr: no report "CardReport"
    // SETVAR / GETVAR: the variables of the open layout (its workspace's);
    // nullptr: there are none and setting one fails.
    VariableStore* variables = nullptr;
};

// Process-wide, set by the program on the user-interface thread.
const ExprServices& exprServices();
void setExprServices(const ExprServices& services);
DialogService& dialogService();   // the installed one, or a headless one

// Installs a variable store for its lifetime (a bare evaluation, a test) and
// puts the previous one back after.
class ScopedVariables {
public:
    explicit ScopedVariables(VariableStore& store);
    ~ScopedVariables();
    ScopedVariables(const ScopedVariables&) = delete;
    ScopedVariables& operator=(const ScopedVariables&) = delete;

private:
    VariableStore* previous_;
};

} // namespace cm
