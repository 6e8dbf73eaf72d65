#pragma once
// "Report Options": paper size and orientation, margins, columns, the
// report's title, font and frame. Lengths are shown and entered in the
// report's unit.
#include "app/dialogs/dialogbase.h"

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace cm {

class TQRCustomReport;

// The unit's short name beside the boxes ("mm", "Inches", "Pixels", "Chars"; none for native).
QString unitCaption(TQRUnit unit);

class ReportDialog : public PropertyDialog {
    Q_OBJECT
public:
    ReportDialog(DesignerCore& designer, TQRCustomReport& report, QWidget* owner);
    void apply();

private:
    void showCustomSize();

    TQRCustomReport& report_;
    QComboBox* paper_;
    NumberBox* width_;
    NumberBox* length_;
    QLabel* widthLabel_;
    QLabel* lengthLabel_;
    QLabel* widthUnit_;
    QLabel* lengthUnit_;
    QRadioButton* portrait_;
    QRadioButton* landscape_;
    NumberBox* top_;
    NumberBox* bottom_;
    NumberBox* left_;
    NumberBox* right_;
    NumberBox* columns_;
    NumberBox* columnSpace_;
    QLineEdit* title_;
    FontButton* font_;
    QCheckBox* frameTop_;
    QCheckBox* frameBottom_;
    QCheckBox* frameLeft_;
    QCheckBox* frameRight_;
    NumberBox* frameWidth_;
    QComboBox* frameStyle_;
    ColorButton* frameColor_;
};

bool editReport(DesignerCore& designer, TQRCustomReport& report, QWidget* owner);

} // namespace cm
