// The main window's QSL commands: marking printed QSOs as sent, label
// sheets and printer calibration.
#include "app/mainwindow.h"

#include "app/appsettings.h"
#include "app/calibrationdialog.h"
#include "app/datatab.h"
#include "designer/document.h"
#include "designer/messageboxes.h"
#include "engine/generate/labelsheets.h"
#include "logbook/logtable.h"
#include "logbook/qslmarks.h"

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPrinterInfo>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace cm {

namespace {

QString sheetDescription(const LabelSheet& s)
{
    return QObject::tr("%1: %2 x %3 on %4, %5 x %6 mm")
        .arg(s.name)
        .arg(s.columns)
        .arg(s.rows)
        .arg(s.paper)
        .arg(s.labelWidthMm)
        .arg(s.labelHeightMm);
}

// The shipped sheets in a list; the index of the one chosen, or -1.
int pickLabelSheet(QWidget* parent)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("LabelSheetDialog"));
    dialog.setWindowTitle(QObject::tr("Label sheet"));
    auto* list = new QListWidget(&dialog);
    list->setObjectName(QStringLiteral("LabelSheets"));
    list->setAccessibleName(QObject::tr("Label sheets"));
    for (const LabelSheet& s : shippedLabelSheets())
        list->addItem(sheetDescription(s));
    list->setCurrentRow(0);
    auto* label = new QLabel(QObject::tr("&Sheets of cards and labels (columns x rows, label size):"), &dialog);
    label->setBuddy(list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setAccessibleName(QObject::tr("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setAccessibleName(QObject::tr("Cancel"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(list, &QListWidget::itemActivated, &dialog, &QDialog::accept);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(label);
    layout->addWidget(list);
    layout->addWidget(buttons);
    dialog.resize(460, 360);
    return dialog.exec() == QDialog::Accepted ? list->currentRow() : -1;
}

} // namespace

QString MainWindow::settingsFile() const { return WindowSettings::fileName(paths_.configFolder); }

void MainWindow::addQslCommands(QMenu* file)
{
    markSentOption_ = file->addAction(tr("&Mark printed QSOs as sent"));
    markSentOption_->setObjectName(QStringLiteral("MarkSentOption"));
    markSentOption_->setCheckable(true);
    markSentOption_->setChecked(readMarkSentOption(settingsFile()));
    const QString markHint = tr("After a print or an export, ask whether to set Qsl Sent for the QSOs printed");
    markSentOption_->setToolTip(markHint);
    markSentOption_->setStatusTip(markHint);
    connect(markSentOption_, &QAction::toggled, this, [this](bool on) {
        if (!writeMarkSentOption(settingsFile(), on))
            boxes_.error(tr("The setting could not be written to %1.").arg(settingsFile()));
    });
    QAction* sheet = file->addAction(tr("&Label sheet..."), this, &MainWindow::chooseLabelSheet);
    sheet->setObjectName(QStringLiteral("LabelSheet"));
    sheet->setStatusTip(tr("Put the cards on a sheet of several cards or labels"));
    QAction* calibration = file->addAction(tr("Printer &calibration..."), this, &MainWindow::printerCalibration);
    calibration->setObjectName(QStringLiteral("PrinterCalibration"));
    calibration->setStatusTip(tr("Offset and scale per printer, and the page to measure them on"));
}

void MainWindow::offerQslMarks(const std::vector<qint64>& logs)
{
    LogTable* table = logTable();
    if (!markSentOption_ || !markSentOption_->isChecked() || !table || !askToMarkSent(boxes_, *table, logs))
        return;
    // The logbook is let go of while it is written, then opened again as
    // it was shown, so that the Data tab shows the marks.
    const QString path = table->resolvedPath();
    const QString order = table->indexFieldNames();
    dataTab_->setTable(nullptr);
    table->close();
    QString error;
    const bool marked = markQslSent(path, logs, QDate::currentDate(), &error);
    if (useTable(activeTable_) && !order.isEmpty())
        logTable()->setIndexFieldNames(order);
    dataTab_->reload();
    if (!marked) {
        boxes_.error(tr("No QSO was marked as sent:") + QLatin1Char('\n') + error);
        return;
    }
    statusBar()->showMessage(logs.size() == 1 ? tr("1 QSO marked as sent.")
                                              : tr("%1 QSOs marked as sent.").arg(logs.size()),
                             10000);
}

void MainWindow::chooseLabelSheet()
{
    if (running_)
        return;
    const int index = pickLabelSheet(this);
    if (index >= 0)
        applyLabelSheet(shippedLabelSheets()[size_t(index)]);
}

bool MainWindow::applyLabelSheet(const LabelSheet& sheet)
{
    document_->beginChange(tr("label sheet"));
    QString error;
    if (!cm::applyLabelSheet(document_->report(), sheet, &error)) {
        document_->cancelChange();
        boxes_.error(error);
        return false;
    }
    document_->endChange();
    afterLayoutChanged();
    return true;
}

void MainWindow::printerCalibration()
{
    CalibrationDialog dialog(boxes_, settingsFile(), QPrinterInfo::availablePrinterNames(), this);
    dialog.exec();
}

} // namespace cm
