#pragma once
// "Shape": the kind of figure, its brush (fill) and its pen (outline).
#include "app/dialogs/dialogbase.h"

class QComboBox;

namespace cm {

class TQRDesignShape;

class ShapeDialog : public PropertyDialog {
    Q_OBJECT
public:
    ShapeDialog(DesignerCore& designer, TQRDesignShape& shape, QWidget* owner);
    void apply();

private:
    TQRDesignShape& shape_;
    QComboBox* kind_;
    QComboBox* brushStyle_;
    ColorButton* brushColor_;
    QComboBox* penMode_;
    QComboBox* penStyle_;
    NumberBox* penWidth_;
    ColorButton* penColor_;
};

bool editShape(DesignerCore& designer, TQRDesignShape& shape, QWidget* owner);

} // namespace cm
