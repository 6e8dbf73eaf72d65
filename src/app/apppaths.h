#pragma once
// Where the program finds and keeps its files. Shipped files (layouts, help)
// are read-only: installed under share/cardmint, or found next to the source
// tree when run uninstalled. User files live in the XDG folders.
#include <QString>
#include <QStringList>

namespace cm {

struct AppPaths {
    QString configFolder;     // $XDG_CONFIG_HOME/Cardmint: Cardmint.ini, DESIGNER.INI
    QString dataFolder;       // $XDG_DATA_HOME/Cardmint
    QString layoutFolder;     // dataFolder/Layouts
    QString logbookFolder;    // $CARDMINT_LOGBOOK_DIR, else dataFolder/Logbooks
    QString recoveryFolder;   // dataFolder/Recovery
    QString shippedLayouts;   // Demo1.qr2, Template.qr2
    QString manualFolder;     // the HTML manual

    static AppPaths standard();

    // A bare layout name is looked up in the current folder, then the user's
    // layout folder, then the shipped layouts; a path is used as it is.
    // Empty when not found; `tried` gets the places looked at.
    QString findLayout(const QString& name, QStringList* tried = nullptr) const;
};

} // namespace cm
