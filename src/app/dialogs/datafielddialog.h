#pragma once
// "Data field": which field of which data set the element shows, its
// suppression rules, display format and look.
#include "app/dialogs/dialogbase.h"

#include <QPointer>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace cm {

class TDataSetComponent;
class TQRDesignDBText;

class DataFieldDialog : public PropertyDialog {
    Q_OBJECT
public:
    DataFieldDialog(DesignerCore& designer, TQRDesignDBText& element, QWidget* owner);
    void apply();

private:
    void fillFields(TDataSetComponent* dataSet);
    TDataSetComponent* chosenDataSet() const;

    DesignerCore& designer_;
    TQRDesignDBText& element_;
    std::vector<QPointer<TDataSetComponent>> dataSets_;
    QComboBox* dataSetList_;
    QComboBox* fieldList_;
    QCheckBox* suppress_;
    QCheckBox* reprintOnPage_;
    QCheckBox* reprintOnGroup_;
    QCheckBox* blankIfZero_;
    FontButton* font_;
    ColorButton* color_;
    QComboBox* alignment_;
    QCheckBox* transparent_;
    QCheckBox* wordWrap_;
    QCheckBox* autoSize_;
    QCheckBox* autoStretch_;
    QLineEdit* mask_;
};

bool editDataField(DesignerCore& designer, TQRDesignDBText& element, QWidget* owner);

} // namespace cm
