#pragma once
// "Label": the text element's caption, alignment, wrapping, transparency,
// automatic size, font, background colour and rotation.
#include "app/dialogs/dialogbase.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace cm {

class TQRDesignLabel;

class TextDialog : public PropertyDialog {
    Q_OBJECT
public:
    TextDialog(DesignerCore& designer, TQRDesignLabel& label, QWidget* owner);
    void apply();

private:
    TQRDesignLabel& label_;
    QLineEdit* caption_;
    QComboBox* alignment_;
    QCheckBox* wordWrap_;
    QCheckBox* transparent_;
    QCheckBox* autoSize_;
    QCheckBox* autoStretch_;
    FontButton* font_;
    ColorButton* color_;
    NumberBox* rotation_;
};

// True on OK (the element was changed).
bool editLabel(DesignerCore& designer, TQRDesignLabel& label, QWidget* owner);

} // namespace cm
