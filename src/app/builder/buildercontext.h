#pragma once
// What the expression builder, the script editor and the environment editor
// work with: the tables a formula may name, the data sets their records come
// from, the report's local environment and where messages go.
#include "expr/evaluator.h"
#include "report/dataset.h"

#include <functional>
#include <memory>
#include <vector>

namespace cm {

class ComponentScope;
class DesignerCore;
class MessageBoxes;
class TDataSetComponent;
class TQREvEnvironment;

struct BuilderContext {
    // The field page's tables, listed by component name; the first is selected.
    std::vector<TDataSetComponent*> tables;
    // The tables' records: what Validate and the local environment read.
    std::shared_ptr<DataSetList> dataSets;
    // The report's own names (PAGENUMBER ...); may be null.
    std::shared_ptr<TQREvEnvironment> local;
    // The designer's field filter; false hides a field. Empty: all shown.
    std::function<bool(const FieldDef&)> fieldFilter;
    // The workspace whose elements and variables formulas reach when validated.
    ComponentScope* scope = nullptr;
    MessageBoxes* boxes = nullptr;
    // The variant opened from the environment editor: every field and every
    // function is listed.
    bool plain = false;
};

// A context over the given tables with a fresh report environment.
BuilderContext makeBuilderContext(std::vector<TDataSetComponent*> tables, MessageBoxes& boxes,
                                  ComponentScope* scope);
// The designer's context: its offered tables, its field filter and its workspace.
BuilderContext makeBuilderContext(DesignerCore& designer);

} // namespace cm
