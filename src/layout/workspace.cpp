#include "layout/workspace.h"

namespace cm {

Workspace::Workspace()
{
    table = new TTable(&dataModule);
    table->setName(QStringLiteral("Tbl"));
    table->databaseName = QStringLiteral("Tevrana");
    table->tableName = QStringLiteral("Orvik_.DB");
    source = new TDataSource(&dataModule);
    source->setName(QStringLiteral("Src"));
    source->dataSet = table;

    report = new TQRDesignReport(&window);
    report->setName(QStringLiteral("CardReport"));
    designer = new TQRDesigner(&window);
    designer->setName(QStringLiteral("QRDesigner1"));
    designer->setReport(report);
    designer->saveLoadPrinterSetup = false;
    designer->useDataModules = true;
    designer->defaultDatabaseName = QStringLiteral("Tevrana");
    designer->scriptsEnabled = true;
    designer->runtimeMessages = RuntimeMessages::windowTable();
    designer->saveBackupFiles = true;
    resetReport();
}

void Workspace::resetReport()
{
    TQRDesignReport& r = *report;
    r.setUnits(TQRUnit::MM);
    r.setZoom(100);
    r.font().setName(QStringLiteral("Arial"));
    r.font().setHeight(-13);
    r.frame = TQRFrame();
    r.page.setOrientation(TQROrientation::poPortrait);
    r.page.setPaperSize(TQRPaperSize::A4);
    r.page.setColumns(1);
    for (TQRPage::Index i : {TQRPage::Top, TQRPage::Bottom, TQRPage::Left, TQRPage::Right})
        r.page.values[i] = 100;
    r.page.values[TQRPage::ColSpace] = 0;
    r.options = SetBits{FirstPageHeader | LastPageFooter};
    r.setPrintIfEmpty(true);
    r.snapToGrid = true;
    r.printerSettings = TQRReportPrinterSettings();
    r.printerSettings.outputBin = TQRBin::First;
    r.bounds = QRect(0, 0, 794, 1123);
    r.page.applyToControl();
}

} // namespace cm
