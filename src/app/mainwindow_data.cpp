// The main window's logbook commands: Open on the Data tab and the import
// of ADIF files.
#include "app/mainwindow.h"

#include "app/datatab.h"
#include "designer/document.h"
#include "designer/messageboxes.h"
#include "logbook/adifimport.h"
#include "logbook/checktable.h"
#include "logbook/logbookfolder.h"
#include "logbook/logformat.h"
#include "logbook/logtable.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>

namespace cm {

namespace {
const QString TableFilter = QStringLiteral("Tevrana Files (*.db);;ADIF Files (*.adi *.adif *.ADI *.ADIF)");
const QString AdifFilter = QStringLiteral("ADIF Files (*.adi *.adif *.ADI *.ADIF)");
const QString LogbookFilter = QStringLiteral("Cardmint logbooks (*.db)");
} // namespace

void MainWindow::openTable()
{
    const QString path = boxes_.openFileName(tr("Open"), GetLogbookFolder(), TableFilter);
    if (path.isEmpty())
        return;
    const QString name = QFileInfo(path).fileName();
    // ADIF files are read directly; the check is for tables.
    if (detectLogFormat(path) != LogFormat::Adif) {
        QString error;
        const std::optional<int> code = CheckTable(path, &error);
        if (!code) {
            boxes_.error(error);
            return;
        }
        if (*code == TableOldFormat) {
            boxes_.error(name + QStringLiteral(" is in old format") + QLatin1Char('\n')
                         + QStringLiteral("Please go to Tevrana and convert it !"));
            return;
        }
        if (*code == TableNotLogbook) {
            boxes_.error(name + QStringLiteral(" is not Tevrana Table !"));
            return;
        }
    }
    useTable(path);
}

bool MainWindow::useTable(const QString& path)
{
    auto table = std::make_unique<LogTable>();
    table->setTableName(path);
    QString error;
    // The logbook on show stays open until the new one has opened.
    if (!table->open(&error)) {
        boxes_.error(tr("The logbook table %1 cannot be opened:\n%2").arg(path, error));
        return false;
    }
    // Opening another logbook keeps the filter in force.
    if (const LogTable* old = logTable(); old && !old->filter().isEmpty())
        table->setFilter(old->filter());
    dataTab_->setTable(nullptr);   // the grid lets go of the table that closes
    Workspace& ws = document_->workspace();
    ws.report->setDataSet(ws.table);
    ws.table->tableName = path;
    ws.table->setSource(std::move(table));
    activeTable_ = path;
    dataTab_->setTable(logTable());
    setMainCaption(path);
    onTabChanged(pages_->currentIndex());
    return true;
}

void MainWindow::importAdif()
{
    const QString adif = boxes_.openFileName(tr("Import ADIF"), QDir::homePath(), AdifFilter);
    if (adif.isEmpty())
        return;
    QDir().mkpath(GetLogbookFolder());
    const QString target =
        boxes_.saveFileName(tr("Import into logbook"), GetLogbookFolder(), LogbookFilter, QStringLiteral("db"));
    if (target.isEmpty())
        return;
    if (QFileInfo::exists(target) && detectLogFormat(target) != LogFormat::Sqlite) {
        boxes_.error(tr("%1 is not a Cardmint logbook: ADIF files are imported into Cardmint (SQLite) "
                        "logbooks only.").arg(target));
        return;
    }
    // The logbook on show lets go of a file that is written.
    const bool intoActive = QFileInfo(target).absoluteFilePath()
                            == QFileInfo(resolveLogbookPath(activeTable_)).absoluteFilePath();
    AdifImportReport report;
    QString error;
    bool imported = false;
    {
        QProgressDialog progress(tr("Importing %1 ...").arg(QFileInfo(adif).fileName()), QString(), 0, 0, this);
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(0);
        progress.show();
        QCoreApplication::processEvents();
        imported = cm::importAdif(adif, target, report, &error);
    }
    if (!imported) {
        boxes_.error(tr("%1 could not be imported; the logbook is unchanged:\n%2").arg(adif, error));
        return;
    }
    boxes_.information(tr("%1 was imported into %2.").arg(QFileInfo(adif).fileName(), target) + QLatin1Char('\n')
                       + report.summary().join(QLatin1Char('\n')));
    if (intoActive)
        useTable(target);
}

} // namespace cm
