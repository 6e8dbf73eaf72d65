#pragma once
// The main window's settings file "Cardmint.ini" (section "TWorkFrm1"): the
// current layout and log table, and the window's geometry and dock state.
// Read at start, written only when a close has been accepted.
#include <QByteArray>
#include <QString>

namespace cm {

struct WindowSettings {
    QString activeDesignFile = QStringLiteral("Demo1.qr2");
    QString activeTable = QStringLiteral("Demo.db");
    QByteArray geometry;      // QWidget::saveGeometry
    QByteArray windowState;   // QMainWindow::saveState (toolbars)
    QByteArray gridColumns;   // the Data tab grid's column order and widths

    static QString fileName(const QString& configFolder);
    // A missing file, section or key gives the defaults above; a key that
    // is present but empty stays empty.
    static WindowSettings read(const QString& configFolder);
    // False when the file could not be written.
    bool write(const QString& configFolder) const;
};

} // namespace cm
