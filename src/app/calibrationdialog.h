#pragma once
// "Printer calibration...": the offset and scale kept per printer, edited
// for a printer chosen by name, and the page of rulers and crosshairs they
// are measured on, printed to that printer or saved as PDF.
#include "engine/output/pageexport.h"

#include <QDialog>
#include <QString>
#include <QStringList>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;

namespace cm {

class MessageBoxes;

// The calibration stored for `printerName` (empty: the system's default
// printer) in `settingsFile`; none (identity) when there is none.
PageCalibration printerCalibrationFor(const QString& settingsFile, const QString& printerName);

class CalibrationDialog : public QDialog {
    Q_OBJECT
public:
    // `printers` are offered in the list; any other name may be typed.
    CalibrationDialog(MessageBoxes& boxes, const QString& settingsFile, const QStringList& printers,
                      QWidget* parent = nullptr);

    QComboBox& printerBox() { return *printer_; }
    QDoubleSpinBox& offsetXBox() { return *offsetX_; }
    QDoubleSpinBox& offsetYBox() { return *offsetY_; }
    QDoubleSpinBox& scaleBox() { return *scale_; }

    // The commands: store (a calibration that cannot be used is refused
    // with the reason and nothing is stored), forget, and the page.
    bool store();
    void remove();
    void printPage();
    void savePagePdf();

private:
    QString printerName() const;
    void showStored();
    QDoubleSpinBox* makeNumber(const char* objectName, const QString& name, double min, double max, const QString& suffix);

    MessageBoxes& boxes_;
    QString settingsFile_;
    QComboBox* printer_;
    QDoubleSpinBox* offsetX_;
    QDoubleSpinBox* offsetY_;
    QDoubleSpinBox* scale_;
    QLabel* state_;
};

} // namespace cm
