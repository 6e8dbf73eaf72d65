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
    QStringList allowed;
    for (const QString& n : options_.availableDatasetNames) {
        if (!n.trimmed().isEmpty())
            allowed << n;
    }
    for (Container* module : owner->scope().containers()) {
        if (!module->isDataModule())
            continue;
        for (auto* src : module->componentsOf<TDataSource>()) {
            if (const TDataSetComponent* set = src->dataSet; set && !allowed.isEmpty()) {
                const QString qualified = module->name() + u'.' + set->name();
                if (!allowed.contains(set->name(), Qt::CaseInsensitive) &&
                    !allowed.contains(qualified, Qt::CaseInsensitive))
                    continue;
            }
            add(src);
        }
    }
    return sets;
}

} // namespace cm
