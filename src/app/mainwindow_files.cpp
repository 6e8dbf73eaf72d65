// The main window's start-up, layout file commands and close query.
#include "app/mainwindow.h"

#include "app/appsettings.h"
#include "app/datatab.h"
#include "designer/designercore.h"
#include "designer/document.h"
#include "designer/messageboxes.h"
#include "designer/recoverystore.h"
#include "logbook/demolog.h"
#include "logbook/logtable.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QStatusBar>

namespace cm {

namespace {

const QString LayoutFilter = QStringLiteral("Cardmint Files (*.QR2 *.qr2)");
const QString DemoTableName = QStringLiteral("Demo.db");
constexpr int DemoQsoCount = 300;

bool isPath(const QString& name) { return QFileInfo(name).isAbsolute() || name.contains(QLatin1Char('/')); }

} // namespace

LogTable* MainWindow::logTable() const
{
    return dynamic_cast<LogTable*>(document_->workspace().table->dataSet());
}

void MainWindow::startUp()
{
    if (startedUp_)
        return;
    startedUp_ = true;
    openStartTable();
    dataTab_->setTable(logTable());
    // The layout is loaded even when the table failed: a layout does not
    // need its data to be edited, and an empty report under the last
    // layout's name would overwrite that layout on the next save.
    loadStartLayout();
    offerRecovery();
}

// The log table of the last run, or the demo logbook, which is made on the
// first start.
bool MainWindow::openStartTable()
{
    Workspace& ws = document_->workspace();
    ws.report->setDataSet(ws.table);
    ws.table->tableName = activeTable_;
    auto table = std::make_unique<LogTable>();
    table->setTableName(activeTable_);
    const QString path = table->resolvedPath();
    if (activeTable_.compare(DemoTableName, Qt::CaseInsensitive) == 0 && !QFileInfo::exists(path)) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QString error;
        if (!writeDemoLogbook(path, DemoQsoCount, 1, &error))
            boxes_.error(tr("The demo logbook could not be made in %1: %2").arg(path, error));
    }
    QString error;
    const bool opened = table->open(&error);
    const QString notice = table->readOnlyNotice();
    ws.table->setSource(std::move(table));   // kept closed when it failed, with its name
    if (!opened) {
        boxes_.error(tr("The logbook table %1 cannot be opened:\n%2\n\nThe layout can be edited; cards are "
                        "printed once a logbook can be opened.").arg(path, error));
        return false;
    }
    if (!notice.isEmpty())
        statusBar()->showMessage(notice, 15000);
    return true;
}

void MainWindow::loadStartLayout()
{
    if (!startLayout_.isEmpty()) {
        const QString path = QFileInfo(startLayout_).absoluteFilePath();
        if (document_->load(path)) {
            document_->setFileName(path);
            afterLayoutChanged();
            setMainCaption(path);
            return;
        }
        // The loader said why; the last layout comes instead.
    }
    const QString name = document_->fileName();
    if (name.isEmpty()) {
        loadLayout(TemplateName);
        document_->setFileName(QString());
    } else {
        loadLayout(name);
        document_->setFileName(name);   // also when it failed: a save then writes it anew
    }
    afterLayoutChanged();
    showDesignCaption();
}

// Loads a layout by path or bare name (found as AppPaths::findLayout says).
bool MainWindow::loadLayout(const QString& name)
{
    const QString path = paths_.findLayout(name);
    return document_->load(path.isEmpty() ? name : path);
}

// Where a layout of this name is saved. A bare name goes back to the file it
// was found in, unless that is a shipped (read-only) layout: then, and when
// none was found, it goes to the user's layout folder.
QString MainWindow::saveTarget(const QString& name) const
{
    if (isPath(name))
        return QFileInfo(name).absoluteFilePath();
    const QString found = paths_.findLayout(name);
    if (!found.isEmpty()
        && QFileInfo(found).absolutePath() != QFileInfo(paths_.shippedLayouts).absoluteFilePath())
        return found;
    QDir().mkpath(paths_.layoutFolder);
    return QDir(paths_.layoutFolder).filePath(name);
}

QString MainWindow::dialogFolder() const
{
    const QString current = activeDesignFile();
    if (isPath(current))
        return QFileInfo(current).absolutePath();
    if (QDir(paths_.layoutFolder).exists() && !QDir(paths_.layoutFolder).isEmpty())
        return paths_.layoutFolder;
    return paths_.shippedLayouts;
}

void MainWindow::newLayout()
{
    if (dataTabActive()) {
        boxes_.information(tr("In Cardmint you can not create new table !") + QLatin1Char('\n')
                           + tr("Please go to Tevrana to create it!"));
        return;
    }
    // Unsaved changes are not dropped without asking.
    if (document_->isModified() && !designer_->confirm(QStringLiteral("Report not saved")))
        return;
    if (!loadLayout(TemplateName))
        return;
    // A layout made from the template has no file of its own yet: Save asks for one.
    document_->setFileName(QString());
    fillFontList();
    afterLayoutChanged();
    setWindowTitle(TemplateName);
}

void MainWindow::openLayout()
{
    if (dataTabActive()) {
        openTable();
        return;
    }
    if (document_->isModified() && !designer_->confirm(QStringLiteral("Report not saved")))
        return;
    const QString path = boxes_.openFileName(tr("Open"), dialogFolder(), LayoutFilter);
    if (path.isEmpty())
        return;
    // A layout that fails to load leaves the report, its name and the caption as they were.
    if (!document_->load(path))
        return;
    document_->setFileName(path);
    fillFontList();
    afterLayoutChanged();
    setMainCaption(path);
}

bool MainWindow::saveTo(const QString& fileName)
{
    if (!document_->save(saveTarget(fileName)))
        return false;   // the designer showed the write error; the old file stays
    document_->setFileName(fileName);
    recovery_->discard();
    return true;
}

bool MainWindow::save()
{
    const QString name = activeDesignFile();
    if (name.isEmpty())
        return saveAs();
    return saveTo(name);
}

bool MainWindow::saveAs()
{
    const QString path = boxes_.saveFileName(tr("Save as"), dialogFolder(), LayoutFilter, QStringLiteral("QR2"));
    if (path.isEmpty() || !saveTo(path))
        return false;
    setWindowTitle(path);
    return true;
}

bool MainWindow::queryClose()
{
    if (!document_->isModified())
        return true;
    const QString name = activeDesignFile().isEmpty() ? TemplateName : activeDesignFile();
    const QString question =
        designer_->message(QStringLiteral("Save report"), QStringLiteral("Save report %s?")).replace(QStringLiteral("%s"), name);
    if (boxes_.ask(question) == MessageBoxes::Answer::No)
        return true;
    // A save that fails or is cancelled keeps the window open.
    return save();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (running_ || !queryClose()) {
        event->ignore();
        return;
    }
    WindowSettings settings;
    settings.activeDesignFile = activeDesignFile();
    settings.activeTable = activeTable_;
    settings.geometry = saveGeometry();
    settings.windowState = saveState();
    settings.gridColumns = dataTab_->columnState();
    if (!settings.write(paths_.configFolder))
        boxes_.error(tr("The settings could not be written to %1.").arg(WindowSettings::fileName(paths_.configFolder)));
    designer_->saveSettings(QDir(paths_.configFolder).filePath(QStringLiteral("DESIGNER.INI")));
    recovery_->discard();
    event->accept();
}

} // namespace cm
