#pragma once
// The containers that see each other: the window and data module of one
// open layout. References across containers ("DataFrm.Tbl"), lookups by
// name, the notice that a component is going away and the variables that
// formulas set all stay inside one scope, so two layouts open at once never
// meet. A workspace owns one; a container made on its own gets a private one.
#include "expr/variablestore.h"

#include <QStringView>
#include <vector>

namespace cm {

class Container;

class ComponentScope {
public:
    ComponentScope() = default;
    ~ComponentScope();   // its containers are gone first
    ComponentScope(const ComponentScope&) = delete;
    ComponentScope& operator=(const ComponentScope&) = delete;

    // In creation order.
    const std::vector<Container*>& containers() const { return containers_; }
    Container* find(QStringView name) const;   // case-insensitive

    // SETVAR and GETVAR: they live as long as the scope, across print runs and loads.
    VariableStore& variables() { return variables_; }

private:
    friend class Container;
    std::vector<Container*> containers_;
    VariableStore variables_;
};

} // namespace cm
