#pragma once
// Event scripts: a layout's script text holds sections "[Component.Event]"
// of line statements (IF, ELSE, ENDIF, LOOP, ENDLOOP, BREAK, BREAKLOOP,
// EXIT, RETURN, comments and formula lines evaluated for their effects).
#include "expr/evaluator.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace cm {

// The events a script section can name.
enum class ScriptEvent { BeforePrint, AfterPrint, StartPage, EndPage, AfterPreview };
QString scriptEventName(ScriptEvent event);

// What the callers of BeforePrint do with a result: a Boolean false stops the
// report run or suppresses the band; anything else decides nothing.
inline bool scriptVetoes(const EvResult& result)
{
    return result.kind == ResultKind::Boolean && !result.booResult;
}

class ScriptRunner {
public:
    explicit ScriptRunner(QStringList script = {}) : m_script(std::move(script)) {}

    void setScript(QStringList script) { m_script = std::move(script); }
    const QStringList& script() const { return m_script; }
    // Scripts switched off: every run returns Error at once.
    void setEnabled(bool enabled) { m_enabled = enabled; }
    bool enabled() const { return m_enabled; }
    // The data sets formulas in scripts see (the report's tables).
    void setDataSets(DataSetList* dataSets) { m_dataSets = dataSets; }
    // Asked before every statement; returning true ends the run quietly.
    // Generation uses it to stop a script when the run is cancelled.
    void setCancelCheck(std::function<bool()> cancel) { m_cancel = std::move(cancel); }
    // The most statements one run may execute; a run that needs more ends
    // with an error, so a script that loops for ever cannot hang the caller.
    static constexpr qint64 DefaultStepBudget = 10'000'000;
    void setStepBudget(qint64 steps) { m_stepBudget = steps; }

    // Runs the section "[component.event]". Script errors and failures are
    // shown through the dialog service and end the run; the result is
    // Error unless a RETURN ran.
    EvResult RunScript(const QString& component, const QString& event);
    EvResult RunScript(const QString& component, ScriptEvent event)
    {
        return RunScript(component, scriptEventName(event));
    }

    // The text of the last script error or failure, empty when the last run had none.
    const QString& lastError() const { return m_lastError; }
    bool lastRunCancelled() const { return m_cancelled; }
    // The last run was ended by the step budget (lastError() says so); unlike
    // other script errors this one is not shown, the caller reports it.
    bool lastRunOverBudget() const { return m_overBudget; }

private:
    QStringList m_script;
    bool m_enabled = true;
    DataSetList* m_dataSets = nullptr;
    std::function<bool()> m_cancel;
    qint64 m_stepBudget = DefaultStepBudget;
    QString m_lastError;
    bool m_cancelled = false;
    bool m_overBudget = false;
};

} // namespace cm
