// The designer's settings file, written when the main window closes.
#include "designer/designercore.h"

#include "designer/document.h"
#include "report/design.h"

#include <QSettings>

namespace cm {

void DesignerCore::saveSettings(const QString& fileName) const
{
    QSettings ini(fileName, QSettings::IniFormat);
    auto flag = [](bool b) { return b ? 1 : 0; };
    ini.beginGroup(QStringLiteral("User"));
    ini.setValue(QStringLiteral("AllowBlockEdit"), flag(options_.allowBlockEdit));
    ini.setValue(QStringLiteral("AllowNewCalcFields"), flag(options_.allowNewCalcFields));
    ini.setValue(QStringLiteral("AllowSQLEdit"), flag(options_.allowSQLEdit));
    ini.setValue(QStringLiteral("QueriesOnlyInDBSetup"), flag(options_.queriesOnlyInDBSetup));
    ini.setValue(QStringLiteral("QueriesOnlyInExpert"), flag(options_.queriesOnlyInExpert));
    ini.endGroup();
    ini.beginGroup(QStringLiteral("Editor"));
    ini.setValue(QStringLiteral("GridSizeX"), options_.gridSizeX);
    ini.setValue(QStringLiteral("GridSizeY"), options_.gridSizeY);
    ini.setValue(QStringLiteral("KeyboardMoveX"), options_.keyboardMoveX);
    ini.setValue(QStringLiteral("KeyboardMoveY"), options_.keyboardMoveY);
    ini.endGroup();
    ini.beginGroup(QStringLiteral("Display"));
    ini.setValue(QStringLiteral("ComponentFrameColor"), qint64(options_.componentFrameColor));
    ini.setValue(QStringLiteral("ComponentFrameStyle"), options_.componentFrameStyle);
    ini.setValue(QStringLiteral("ShowComponentFrames"), flag(options_.showComponentFrames));
    ini.setValue(QStringLiteral("ShowBandNames"), flag(options_.showBandNames));
    ini.setValue(QStringLiteral("BandNameFont.Color"), qint64(options_.bandNameFont.color()));
    TQRDesignReport& report = document_.report();
    ini.setValue(QStringLiteral("Report.Page.Ruler"), flag(report.page.ruler()));
    ini.setValue(QStringLiteral("Units"), int(report.units()));
    ini.endGroup();
    ini.sync();   // errors are of no consequence: nothing reads the file back
}

} // namespace cm
