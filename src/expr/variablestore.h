#pragma once
// Named variables of SETVAR and GETVAR. Each open layout has its own store
// (its workspace's scope holds it); print runs and loads do not clear it.
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

private:
    std::vector<Variable> m_vars;
};

} // namespace cm
