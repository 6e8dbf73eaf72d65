#include "report/datasetcomponent.h"

#include "report/propbuilder.h"

namespace cm {

using namespace props;

const ClassInfo& TTable::classInfo() const { return staticClassInfo(); }
const ClassInfo& TTable::staticClassInfo()
{
    using C = TTable;
    static const ClassInfo info{
        "TTable",
        {
            member<C>("DatabaseName", PropKind::String, [](C& c) -> QString& { return c.databaseName; }),
            member<C>("TableName", PropKind::String, [](C& c) -> QString& { return c.tableName; }),
        },
        {},
        {},
    };
    return info;
}

const ClassInfo& TDataSource::classInfo() const { return staticClassInfo(); }
const ClassInfo& TDataSource::staticClassInfo()
{
    using C = TDataSource;
    static const ClassInfo info{
        "TDataSource",
        {
            member<C>("DataSet", PropKind::Reference, [](C& c) -> QPointer<TDataSetComponent>& { return c.dataSet; }),
        },
        {},
        [](Container* owner) -> Component* { return new C(owner); },
    };
    return info;
}

} // namespace cm
