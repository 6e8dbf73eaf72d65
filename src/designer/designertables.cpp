// The tables the designer offers to formulas.
#include "designer/designercore.h"

#include "designer/document.h"
#include "report/design.h"

#include <algorithm>

namespace cm {

std::vector<TDataSetComponent*> DesignerCore::offeredDataSets() const
{
    std::vector<TDataSetComponent*> sets;
    const auto add = [&sets](TDataSource* src) {
        TDataSetComponent* set = src->dataSet;
        if (!src->name().startsWith(QLatin1String("__")) && set && set->dataSet() &&
            std::find(sets.begin(), sets.end(), set) == sets.end())
            sets.push_back(set);
    };
    Container* owner = document_.report().owner();
    for (auto* src : owner->componentsOf<TDataSource>())
        add(src);
    if (!document_.loader().useDataModules)
        return sets;
    for (Container* module : owner->scope().containers()) {
        if (!module->isDataModule())
            continue;
        for (auto* src : module->componentsOf<TDataSource>()) {
            if (const TDataSetComponent* set = src->dataSet; set && !dataModuleSetAllowed(*set))
                continue;
            add(src);
        }
    }
    return sets;
}

bool DesignerCore::dataModuleSetAllowed(const TDataSetComponent& set) const
{
    // Blank entries of the list are ignored; an empty list allows all.
    QStringList allowed;
    for (const QString& n : options_.availableDatasetNames) {
        if (!n.trimmed().isEmpty())
            allowed << n;
    }
    if (allowed.isEmpty())
        return true;
    const QString qualified = (set.owner() ? set.owner()->name() : QString()) + u'.' + set.name();
    return allowed.contains(set.name(), Qt::CaseInsensitive) || allowed.contains(qualified, Qt::CaseInsensitive);
}

} // namespace cm
