#pragma once
// The objects every front end works on: the main window's container with
// the report "CardReport" and its designer "QRDesigner1", and the data
// module "DataFrm" with the log table "Tbl" and its data source "Src", so
// that layouts' references such as "DataFrm.Tbl" resolve. Each workspace is
// a world of its own: its containers and formula variables are in its scope,
// so two workspaces (two open layouts) never see each other.
#include "layout/loader.h"
#include "report/componentscope.h"

namespace cm {

class Workspace {
public:
    Workspace();
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    // Outlives the containers in it.
    ComponentScope scope;
    // Created first, destroyed last: the window's layouts refer into it.
    Container dataModule{QStringLiteral("DataFrm"), scope, true};
    Container window{QStringLiteral("WorkFrm1"), scope};

    TTable* table = nullptr;
    TDataSource* source = nullptr;
    TQRDesignReport* report = nullptr;
    TQRDesigner* designer = nullptr;

    // Puts the report back to its designed state (before any layout is loaded).
    void resetReport();
};

} // namespace cm
