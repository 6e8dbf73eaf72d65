#include "app/builder/buildercontext.h"

#include "designer/designercore.h"
#include "designer/document.h"
#include "expr/environment.h"
#include "report/datasetcomponent.h"

namespace cm {

BuilderContext makeBuilderContext(std::vector<TDataSetComponent*> tables, MessageBoxes& boxes, ComponentScope* scope)
{
    BuilderContext c;
    c.dataSets = std::make_shared<DataSetList>();
    for (TDataSetComponent* t : tables) {
        if (DataSet* ds = t ? t->dataSet() : nullptr; ds && ds->isOpen())
            c.dataSets->push_back(ds);
    }
    c.tables = std::move(tables);
    c.local = makeReportEnvironment();
    c.local->SetDataSets(c.dataSets.get());
    c.boxes = &boxes;
    c.scope = scope;
    return c;
}

BuilderContext makeBuilderContext(DesignerCore& designer)
{
    Document& doc = designer.document();
    BuilderContext c = makeBuilderContext(designer.offeredDataSets(), doc.boxes(), &doc.workspace().scope);
    c.fieldFilter = designer.showDatafieldHandler;
    return c;
}

} // namespace cm
