#pragma once
// "Expression": the formula an expression element prints, with the builder
// at hand, its number mask, alignment, sizing, wrapping, transparency,
// reset after print, font and background colour. A formula that does not
// compile keeps the dialog open.
#include "app/builder/buildercontext.h"
#include "app/dialogs/dialogbase.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace cm {

class TQRDesignExpr;

class ExpressionDialog : public PropertyDialog {
    Q_OBJECT
public:
    ExpressionDialog(DesignerCore& designer, TQRDesignExpr& element, QWidget* owner);
    void apply();
    // OK: refused with a message while the formula has a fault.
    void accept() override;

private:
    void openBuilder();

    DesignerCore& designer_;
    TQRDesignExpr& element_;
    BuilderContext context_;
    QLineEdit* expression_;
    QPushButton* builder_;
    QLineEdit* mask_;
    QComboBox* alignment_;
    QCheckBox* wordWrap_;
    QCheckBox* transparent_;
    QCheckBox* autoSize_;
    QCheckBox* autoStretch_;
    QCheckBox* resetAfterPrint_;
    FontButton* font_;
    ColorButton* color_;
};

// True on OK (the element was changed).
bool editExpressionElement(DesignerCore& designer, TQRDesignExpr& element, QWidget* owner);

} // namespace cm
