#pragma once
// "Memo": the lines of a memo element in a plain multi-line editor, with
// its alignment, wrapping, stretching, transparency, font and colour.
#include "app/dialogs/dialogbase.h"

class QCheckBox;
class QComboBox;
class QPlainTextEdit;

namespace cm {

class TQRDesignMemo;

class MemoDialog : public PropertyDialog {
    Q_OBJECT
public:
    MemoDialog(DesignerCore& designer, TQRDesignMemo& element, QWidget* owner);
    void apply();

private:
    TQRDesignMemo& element_;
    QPlainTextEdit* lines_;
    QComboBox* alignment_;
    QCheckBox* wordWrap_;
    QCheckBox* autoStretch_;
    QCheckBox* transparent_;
    FontButton* font_;
    ColorButton* color_;
};

bool editMemo(DesignerCore& designer, TQRDesignMemo& element, QWidget* owner);

} // namespace cm
