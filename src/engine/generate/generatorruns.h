#pragma once
// The generator's state per band, group and data controller during one run;
// shared by the files the generator is split into.
#include "engine/generate/generator.h"
#include "engine/paint/elementprinter.h"
#include "report/design.h"
#include "report/report.h"

#include <memory>
#include <vector>

namespace cm {

struct ReportGenerator::BandRun {
    TQRCustomBand* band = nullptr;
    const DesignBandProps* design = nullptr;
    std::vector<std::unique_ptr<ElementPrinter>> elements;
    ControllerRun* notify = nullptr;
    std::unique_ptr<TQREvaluator> condition;
    bool typedAsPageFooter = false;   // a child of the page footer while it prints
    bool lastDecision = false;

    Extended height() const { return band->size.values[0]; }
    Extended width() const { return band->size.values[1]; }
};

struct ReportGenerator::GroupRun {
    TQRGroup* group = nullptr;
    TQREvaluator key;
    EvResult value;
    bool seen = false;
    bool changed = false;
    bool inGroup = false;
    int headerPage = 1;
};

struct ReportGenerator::ControllerRun {
    TQRController* controller = nullptr;
    bool isReport = false;
    DataSet* data = nullptr;
    std::vector<GroupRun*> groups;
    std::vector<ControllerRun*> before;
    std::vector<ControllerRun*> after;
    std::vector<ExprPrinter*> notifyClients;
    int detailNumber = 0;
};

} // namespace cm
