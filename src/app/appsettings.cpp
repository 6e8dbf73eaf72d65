#include "app/appsettings.h"

#include <QDir>
#include <QSettings>

namespace cm {

namespace {
const QString Section = QStringLiteral("TWorkFrm1");
const QString DesignFileKey = QStringLiteral("Active_DesignFile");
const QString TableKey = QStringLiteral("Active_Table");
const QString GeometryKey = QStringLiteral("Geometry");
const QString StateKey = QStringLiteral("WindowState");
const QString GridColumnsKey = QStringLiteral("LogGrid.Columns");
} // namespace

QString WindowSettings::fileName(const QString& configFolder)
{
    return QDir(configFolder).filePath(QStringLiteral("Cardmint.ini"));
}

WindowSettings WindowSettings::read(const QString& configFolder)
{
    WindowSettings s;
    QSettings file(fileName(configFolder), QSettings::IniFormat);
    file.beginGroup(Section);
    s.activeDesignFile = file.value(DesignFileKey, s.activeDesignFile).toString();
    s.activeTable = file.value(TableKey, s.activeTable).toString();
    s.geometry = file.value(GeometryKey).toByteArray();
    s.windowState = file.value(StateKey).toByteArray();
    s.gridColumns = file.value(GridColumnsKey).toByteArray();
    return s;
}

bool WindowSettings::write(const QString& configFolder) const
{
    QDir().mkpath(configFolder);
    QSettings file(fileName(configFolder), QSettings::IniFormat);
    file.beginGroup(Section);
    file.setValue(GeometryKey, geometry);
    file.setValue(StateKey, windowState);
    file.setValue(GridColumnsKey, gridColumns);
    file.setValue(TableKey, activeTable);
    file.setValue(DesignFileKey, activeDesignFile);
    file.endGroup();
    file.sync();
    return file.status() == QSettings::NoError;
}

} // namespace cm
