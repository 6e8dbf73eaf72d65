#pragma once
// "Options" of one element or of the whole selection: name, hint,
// protection flags, how it follows its band, position and size.
#include "app/dialogs/dialogbase.h"

class QCheckBox;
class QLineEdit;

namespace cm {

class Component;

class BlockDialog : public PropertyDialog {
    Q_OBJECT
public:
    BlockDialog(DesignerCore& designer, Component& element, QWidget* owner);
    void apply();

private:
    // False when a box does not hold a number (the boxes after it are skipped).
    bool applyTo(Component& c);

    DesignerCore& designer_;
    Component& element_;
    int count_;
    QLineEdit* name_;
    QLineEdit* hint_;
    NumberBox* left_;
    NumberBox* top_;
    NumberBox* width_;
    NumberBox* height_;
    QCheckBox* noChange_;
    QCheckBox* noEdit_;
    QCheckBox* noMove_;
    QCheckBox* noResize_;
    QCheckBox* noDelete_;
    QCheckBox* fixBottom_;
    QCheckBox* stretch_;
};

// False when the component is not one of the designer's bands or elements.
bool editBlockOptions(DesignerCore& designer, Component& element, QWidget* owner);

} // namespace cm
