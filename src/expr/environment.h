#pragma once
// Named formulas that a bare or bracketed name resolves to when it is
// neither a function nor a data field. One global environment for the
// program; one local environment per report.
#include "expr/evaluator.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace cm {

class TQREvEnvironment;

// One entry: a formula with its own evaluator and a guard against recursion.
class TQREvEmbeddedFunction : public TQREvElement {
public:
    TQREvEmbeddedFunction(QString formula, bool global);
    void Value(TQRFiFo& list, EvResult& out) override;
    void Reset() override;

    const QString& formula() const { return m_formula; }
    TQREvaluator& evaluator() { return m_evaluator; }

private:
    QString m_formula;
    TQREvaluator m_evaluator;
    bool m_busy = false;
};

class TQREvEnvironment {
public:
    explicit TQREvEnvironment(bool global = false);
    ~TQREvEnvironment();
    TQREvEnvironment(const TQREvEnvironment&) = delete;
    TQREvEnvironment& operator=(const TQREvEnvironment&) = delete;

    void Add(const QString& name, const QString& formula);
    void Delete(const QString& name);
    void Clear();
    int Count() const { return int(m_entries.size()); }
    QString NameAt(int i) const { return m_entries[size_t(i)].name; }
    QString FormulaAt(int i) const { return m_entries[size_t(i)].entry->formula(); }
    // Renames an entry (upper case); false when another entry has that name.
    bool RenameAt(int i, const QString& name);
    // Replaces an entry's formula; false while the environment is prepared.
    bool SetFormulaAt(int i, const QString& formula);

    // A new wrapper for the entry, or an error element "Unknown function : %s".
    std::unique_ptr<TQREvElement> lookup(const QString& name);
    bool contains(const QString& name) const { return find(name) != nullptr; }
    EvResult ValueOf(const QString& name);
    TQREvElement* ElementOf(const QString& name);
    static void SetString(TQREvElement* element, const QString& text);
    static void SetInteger(TQREvElement* element, int32_t value);
    static void SetValue(TQREvElement* element, const EvResult& value);

    void Prepare();
    void Unprepare();
    bool Prepared() const { return m_prepareCount > 0; }
    int prepareCount() const { return m_prepareCount; }

    void SetDataSets(DataSetList* list);
    DataSetList* DataSets();

private:
    struct Entry {
        QString name;   // upper case
        std::unique_ptr<TQREvEmbeddedFunction> entry;
    };
    TQREvEmbeddedFunction* find(const QString& name) const;
    void compile(TQREvEmbeddedFunction& entry);

    std::vector<Entry> m_entries;
    int m_prepareCount = 0;
    bool m_global;
    DataSetList* m_dataSets = nullptr;
    std::unique_ptr<DataSetList> m_ownDataSets;
};

// The process-wide environment with AppStartTime, AppStartDate and AppName.
TQREvEnvironment& globalEnvironment();
// False once the global environment has been destroyed at exit, so that
// evaluators destroyed later do not release a reference on it.
bool globalEnvironmentAlive();

// A report's own environment: PAGENUMBER (0), COLUMNNUMBER (0), REPORTTITLE ('').
std::unique_ptr<TQREvEnvironment> makeReportEnvironment();

} // namespace cm
