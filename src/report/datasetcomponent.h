#pragma once
// Components that carry a data set (the log table "Tbl") and data sources
// that point at one ("Src"). Layouts refer to them by name, e.g. "DataFrm.Tbl".
#include "report/component.h"
#include "report/dataset.h"

#include <memory>

namespace cm {

class TDataSetComponent : public Component {
public:
    explicit TDataSetComponent(Container* owner) : Component(owner) {}
    // The records behind the component; null while nothing is attached.
    virtual DataSet* dataSet() const = 0;
};

// A table component whose records come from an attached source (a logbook
// file, a test fixture ...).
class TTable : public TDataSetComponent {
public:
    explicit TTable(Container* owner) : TDataSetComponent(owner) {}
    const ClassInfo& classInfo() const override;
    static const ClassInfo& staticClassInfo();

    DataSet* dataSet() const override { return source_.get(); }
    void setSource(std::unique_ptr<DataSet> source) { source_ = std::move(source); }
    std::unique_ptr<DataSet> takeSource() { return std::move(source_); }

    QString databaseName;   // the logbook folder alias
    QString tableName;

private:
    std::unique_ptr<DataSet> source_;
};

class TDataSource : public Component {
public:
    explicit TDataSource(Container* owner) : Component(owner) {}
    const ClassInfo& classInfo() const override;
    static const ClassInfo& staticClassInfo();

    QPointer<TDataSetComponent> dataSet;
};

} // namespace cm
