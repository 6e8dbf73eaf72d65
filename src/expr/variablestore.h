#pragma once
// The process-wide store of named variables of SETVAR and GETVAR. It lives
// for the whole program run: print runs and loaded layouts do not clear it.
#include "expr/evresult.h"

#include <QString>
#include <vector>

namespace cm {

class VariableStore {
public:
    struct Variable {
        QString name;   // ASCII upper case
        EvResult value;
    };

    const Variable* find(const QString& name) const;
    // Appends the variable when missing, then copies kind and payload
    // (only the kind for an Error).
    const Variable& set(const QString& name, const EvResult& value);
    bool remove(const QString& name);
    void clear() { m_vars.clear(); }
    int count() const { return int(m_vars.size()); }

    static VariableStore& instance();

private:
    std::vector<Variable> m_vars;
};

} // namespace cm
