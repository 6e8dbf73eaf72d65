#pragma once
// The objects every front end works on: the main window's container with
// the report "CardReport" and its designer "QRDesigner1", and the data
// module "DataFrm" with the log table "Tbl" and its data source "Src", so
// that layouts' references such as "DataFrm.Tbl" resolve.
#include "layout/loader.h"

namespace cm {

class Workspace {
public:
    Workspace();
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    // Created first, destroyed last: the window's layouts refer into it.
    Container dataModule{QStringLiteral("DataFrm"), true};
    Container window{QStringLiteral("WorkFrm1")};

    TTable* table = nullptr;
    TDataSource* source = nullptr;
    TQRDesignReport* report = nullptr;
    TQRDesigner* designer = nullptr;

    // Puts the report back to its designed state (before any layout is loaded).
    void resetReport();
};

} // namespace cm
