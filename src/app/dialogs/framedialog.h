#pragma once
// "Frame": the frame lines, width and colour of every selected band and
// element.
#include "app/dialogs/dialogbase.h"

#include <vector>

class QCheckBox;

namespace cm {

class TQRControl;

class FrameDialog : public PropertyDialog {
    Q_OBJECT
public:
    FrameDialog(DesignerCore& designer, const std::vector<TQRControl*>& targets, QWidget* owner);
    void apply();

private:
    std::vector<TQRControl*> targets_;
    QCheckBox* top_;
    QCheckBox* bottom_;
    QCheckBox* left_;
    QCheckBox* right_;
    NumberBox* width_;
    ColorButton* color_;
};

// Nothing happens with an empty selection.
void editSelectionFrame(DesignerCore& designer, QWidget* owner);

} // namespace cm
