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

} // namespace cm
