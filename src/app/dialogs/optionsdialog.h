#pragma once
// "Options": how the designer shows the layout (band names, element
// frames, grid, keyboard steps) and the report's measurement unit.
#include "app/dialogs/dialogbase.h"

class QCheckBox;
class QComboBox;
class QRadioButton;

namespace cm {

class OptionsDialog : public PropertyDialog {
    Q_OBJECT
public:
    OptionsDialog(DesignerCore& designer, QWidget* owner);
    void apply();

private:
    DesignerCore& designer_;
    QCheckBox* bandNames_;
    FontButton* bandNameFont_;
    QCheckBox* frames_;
    QRadioButton* solid_;
    QRadioButton* dashed_;
    QRadioButton* dotted_;
    ColorButton* frameColor_;
    QComboBox* unit_;
    QCheckBox* ruler_;
    NumberBox* gridX_;
    NumberBox* gridY_;
    NumberBox* stepX_;
    NumberBox* stepY_;
};

// True on OK.
bool editDesignerOptions(DesignerCore& designer, QWidget* owner);

} // namespace cm
