#include "app/calibrationdialog.h"

#include "designer/messageboxes.h"
#include "engine/output/printcalibration.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QVBoxLayout>

namespace cm {

PageCalibration printerCalibrationFor(const QString& settingsFile, const QString& printerName)
{
    const QString name = printerName.isEmpty() ? QPrinterInfo::defaultPrinterName() : printerName;
    if (name.isEmpty())
        return {};
    return readCalibration(settingsFile, name).value_or(PageCalibration());
}

CalibrationDialog::CalibrationDialog(MessageBoxes& boxes, const QString& settingsFile, const QStringList& printers,
                                     QWidget* parent)
    : QDialog(parent), boxes_(boxes), settingsFile_(settingsFile), printer_(new QComboBox(this)),
      offsetX_(makeNumber("OffsetX", tr("Offset x (mm)"), -999, 999, tr(" mm"))),
      offsetY_(makeNumber("OffsetY", tr("Offset y (mm)"), -999, 999, tr(" mm"))),
      scale_(makeNumber("Scale", tr("Scale (%)"), 1, 999, tr(" %"))), state_(new QLabel(this))
{
    setObjectName(QStringLiteral("CalibrationDialog"));
    setWindowTitle(tr("Printer calibration"));
    // The printers installed and those calibrated before, the default first.
    QStringList names = printers;
    for (const auto& [name, calibration] : readCalibrations(settingsFile_))
        if (!names.contains(name))
            names << name;
    printer_->setObjectName(QStringLiteral("Printer"));
    printer_->setEditable(true);
    printer_->setInsertPolicy(QComboBox::NoInsert);
    printer_->addItems(names);
    const int preferred = names.indexOf(QPrinterInfo::defaultPrinterName());
    if (preferred >= 0)
        printer_->setCurrentIndex(preferred);
    printer_->setAccessibleName(tr("Printer"));
    printer_->setToolTip(tr("The printer's name as the system lists it"));
    connect(printer_, &QComboBox::currentTextChanged, this, &CalibrationDialog::showStored);
    state_->setObjectName(QStringLiteral("CalibrationState"));
    state_->setAccessibleName(tr("Stored calibration"));
    offsetX_->setToolTip(tr("How far to move everything to the right (negative: to the left)"));
    offsetY_->setToolTip(tr("How far to move everything down (negative: up)"));
    scale_->setToolTip(tr("%1 to %2 %").arg(MinCalibrationScale).arg(MaxCalibrationScale));

    auto* form = new QFormLayout;
    form->addRow(tr("&Printer:"), printer_);
    form->addRow(tr("Offset &x:"), offsetX_);
    form->addRow(tr("Offset &y:"), offsetY_);
    form->addRow(tr("&Scale:"), scale_);
    form->addRow(QString(), state_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    const auto button = [this, buttons](const char* name, const QString& text, const QString& hint,
                                        QDialogButtonBox::ButtonRole role, auto slot) {
        QPushButton* b = buttons->addButton(text, role);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(hint);
        b->setAccessibleName(QString(text).remove(QLatin1Char('&')).remove(QStringLiteral("...")));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        return b;
    };
    button("Store", tr("S&tore"), tr("Keep this calibration for the printer"), QDialogButtonBox::ApplyRole,
           [this] { store(); });
    button("Remove", tr("&Remove"), tr("Forget the printer's calibration"), QDialogButtonBox::ResetRole,
           &CalibrationDialog::remove);
    button("PrintPage", tr("Print p&age"), tr("Print the page of rulers and crosshairs to the printer, uncalibrated"),
           QDialogButtonBox::ActionRole, &CalibrationDialog::printPage);
    button("SavePage", tr("Save page as P&DF..."), tr("Save the page of rulers and crosshairs as a PDF"),
           QDialogButtonBox::ActionRole, &CalibrationDialog::savePagePdf);
    buttons->button(QDialogButtonBox::Close)->setAccessibleName(tr("Close"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* help = new QLabel(tr("Print the page without calibration and measure how far each crosshair lies from "
                               "where the rulers say it should be. Printing to this printer from the window then "
                               "moves and scales the cards by these values."),
                            this);
    help->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(help);
    layout->addLayout(form);
    layout->addWidget(buttons);
    showStored();
}

QDoubleSpinBox* CalibrationDialog::makeNumber(const char* objectName, const QString& name, double min, double max, const QString& suffix)
{
    // Wider than what can be stored, so that a value out of bounds is told
    // why rather than silently clipped.
    auto* box = new QDoubleSpinBox(this);
    box->setObjectName(QString::fromLatin1(objectName));
    box->setRange(min, max);
    box->setDecimals(1);
    box->setSingleStep(0.5);
    box->setSuffix(suffix);
    box->setAccessibleName(name);
    return box;
}

QString CalibrationDialog::printerName() const { return printer_->currentText().trimmed(); }

void CalibrationDialog::showStored()
{
    const auto stored = printerName().isEmpty() ? std::nullopt : readCalibration(settingsFile_, printerName());
    const PageCalibration c = stored.value_or(PageCalibration());
    offsetX_->setValue(c.offsetXMm);
    offsetY_->setValue(c.offsetYMm);
    scale_->setValue(c.scalePercent);
    state_->setText(stored ? tr("Stored for this printer.") : tr("Not calibrated."));
}

bool CalibrationDialog::store()
{
    if (printerName().isEmpty()) {
        boxes_.error(tr("Give the printer's name."));
        return false;
    }
    PageCalibration c;
    c.offsetXMm = offsetX_->value();
    c.offsetYMm = offsetY_->value();
    c.scalePercent = scale_->value();
    if (const QString problem = calibrationProblem(c); !problem.isEmpty()) {
        boxes_.error(problem + tr("; nothing was stored."));
        return false;
    }
    QString error;
    if (!writeCalibration(settingsFile_, printerName(), c, &error)) {
        boxes_.error(error);
        return false;
    }
    state_->setText(tr("Stored for this printer."));
    return true;
}

void CalibrationDialog::remove()
{
    if (printerName().isEmpty())
        return;
    QString error;
    if (!removeCalibration(settingsFile_, printerName(), &error)) {
        boxes_.error(error);
        return;
    }
    showStored();
}

void CalibrationDialog::printPage()
{
    const QStringList installed = QPrinterInfo::availablePrinterNames();
    if (installed.isEmpty()) {
        boxes_.error(tr("No printer installed"));
        return;
    }
    if (!installed.contains(printerName())) {
        boxes_.error(tr("No printer named \"%1\"").arg(printerName()));
        return;
    }
    // The page shows the printer's own error, so it is printed uncalibrated.
    QPrinter printer(QPrinterInfo::printerInfo(printerName()), QPrinter::HighResolution);
    printer.setFullPage(true);
    printer.setDocName(tr("Printer calibration"));
    QPainter painter;
    if (!painter.begin(&printer)) {
        boxes_.error(tr("The printer did not start the print job"));
        return;
    }
    const QRectF paper = printer.pageLayout().fullRect(QPageLayout::Millimeter);
    drawCalibrationPage(painter, paper.width(), paper.height(), printer.resolution() / 25.4);
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        boxes_.error(tr("The printer did not accept the calibration page"));
}

void CalibrationDialog::savePagePdf()
{
    const QString name = boxes_.saveFileName(tr("Save calibration page"), QDir::homePath(),
                                             tr("PDF file (*.pdf)"), QStringLiteral("pdf"));
    if (name.isEmpty())
        return;
    QString error;
    if (!writeCalibrationPdf(name, &error))
        boxes_.error(error);
}

} // namespace cm
