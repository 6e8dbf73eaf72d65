#pragma once
// "Systemfield": the text printed before the value, which system value
// (date, time, page number ...) and its look.
#include "app/dialogs/dialogbase.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace cm {

class TQRDesignSysdata;

class SysDataDialog : public PropertyDialog {
    Q_OBJECT
public:
    SysDataDialog(DesignerCore& designer, TQRDesignSysdata& element, QWidget* owner);
    void apply();

private:
    TQRDesignSysdata& element_;
    QLineEdit* text_;
    QComboBox* kind_;
    QComboBox* alignment_;
    QCheckBox* autoSize_;
    QCheckBox* transparent_;
    FontButton* font_;
    ColorButton* color_;
};

bool editSysData(DesignerCore& designer, TQRDesignSysdata& element, QWidget* owner);

} // namespace cm
