#include "expr/services.h"

namespace cm {

static ExprServices& servicesSlot()
{
    static ExprServices services;
    return services;
}

const ExprServices& exprServices() { return servicesSlot(); }

void setExprServices(const ExprServices& services) { servicesSlot() = services; }

DialogService& dialogService()
{
    static HeadlessDialogService headless;
    DialogService* d = servicesSlot().dialogs;
    return d ? *d : headless;
}

ScopedVariables::ScopedVariables(VariableStore& store) : previous_(servicesSlot().variables)
{
    servicesSlot().variables = &store;
}

ScopedVariables::~ScopedVariables() { servicesSlot().variables = previous_; }

} // namespace cm
