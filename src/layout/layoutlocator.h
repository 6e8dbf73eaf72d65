#pragma once
// Where a layout named without a folder is looked for, in this order: the
// current folder, the user's layouts folder
// ($XDG_DATA_HOME/Cardmint/Layouts, ~/.local/share/Cardmint/Layouts by
// default), then the layouts shipped with the program (share/cardmint/layouts
// of the installation, or demo/ next to the build tree when run from it).
// A name with a folder part is taken as it stands.
#include "layout/filelookup.h"

namespace cm {

QString userLayoutFolder();
// The shipped layouts for a program that runs from `applicationDir`; empty
// when there is none.
QString shippedLayoutFolder(const QString& applicationDir);

FileLookup findLayout(const QString& name, const QString& applicationDir);

} // namespace cm
