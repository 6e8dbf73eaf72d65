#include "app/dialogs/datafielddialog.h"

#include "designer/designercore.h"
#include "designer/designobjects.h"
#include "designer/document.h"
#include "report/design.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

namespace cm {

namespace {

const FieldDef* findField(const TDataSetComponent* set, const QString& name)
{
    const DataSet* ds = set ? set->dataSet() : nullptr;
    if (!ds || name.isEmpty())
        return nullptr;
    const int index = ds->fieldIndex(name);
    return index >= 0 ? &ds->field(index) : nullptr;
}

} // namespace

DataFieldDialog::DataFieldDialog(DesignerCore& designer, TQRDesignDBText& element, QWidget* owner)
    : PropertyDialog(designer.message(QStringLiteral("Datafield"), tr("Data field")), 90028, owner),
      designer_(designer), element_(element), dataSetList_(new QComboBox(this)), fieldList_(new QComboBox(this)),
      suppress_(new QCheckBox(tr("Suppress printing of repeated values"), this)),
      reprintOnPage_(new QCheckBox(tr("Reprint suppressed data field on new page"), this)),
      reprintOnGroup_(new QCheckBox(tr("Reprint suppressed data field on start of new group"), this)),
      blankIfZero_(new QCheckBox(tr("Suppress printing if value of data field is 0"), this)),
      font_(new FontButton(tr("&Font..."), designer.document().boxes(), this)),
      color_(new ColorButton(tr("&Color..."), designer.document().boxes(), this)), alignment_(alignmentList(this)),
      transparent_(new QCheckBox(tr("Transparent"), this)), wordWrap_(new QCheckBox(tr("Automatic word-wrap"), this)),
      autoSize_(new QCheckBox(tr("Autosize width"), this)),
      autoStretch_(new QCheckBox(tr("Autostretch height"), this)), mask_(new QLineEdit(this))
{
    setObjectName(QStringLiteral("DBTextEditForm"));
    dataSetList_->setObjectName(QStringLiteral("DatasetCombobox"));
    fieldList_->setObjectName(QStringLiteral("DataFieldComboBox"));
    nameControl(dataSetList_, tr("Data set"));
    nameControl(fieldList_, tr("Field"));
    alignment_->setObjectName(QStringLiteral("AlignmentCombo"));
    mask_->setObjectName(QStringLiteral("DisplayFormatEdit"));
    for (QCheckBox* box : {suppress_, reprintOnPage_, reprintOnGroup_, blankIfZero_, transparent_, wordWrap_,
                           autoSize_, autoStretch_})
        nameControl(box, box->text());

    auto* top = new QHBoxLayout;
    top->addWidget(dataSetList_);
    top->addWidget(fieldList_, 1);
    body().addLayout(top);
    auto* grid = new QGridLayout;
    grid->addWidget(suppress_, 0, 0, 1, 2);
    grid->addWidget(reprintOnPage_, 1, 0, 1, 2);
    grid->addWidget(reprintOnGroup_, 2, 0, 1, 2);
    grid->addWidget(blankIfZero_, 3, 0, 1, 2);
    grid->addWidget(font_, 4, 0);
    grid->addWidget(color_, 4, 1);
    grid->addWidget(labelFor(alignment_, tr("&Alignment"), this), 5, 0);
    grid->addWidget(alignment_, 5, 1);
    grid->addWidget(transparent_, 6, 0, 1, 2);
    grid->addWidget(wordWrap_, 7, 0, 1, 2);
    grid->addWidget(autoSize_, 8, 0, 1, 2);
    grid->addWidget(autoStretch_, 9, 0, 1, 2);
    grid->addWidget(labelFor(mask_, tr("Display &Format"), this), 10, 0);
    grid->addWidget(mask_, 10, 1);
    body().addLayout(grid);

    // The data sets offered: the one new data elements get, and the
    // element's own when it is another.
    if (TDataSetComponent* offered = designer.dataSetForNewElement())
        dataSets_.emplace_back(offered);
    if (element.dataSet && (dataSets_.empty() || dataSets_.front() != element.dataSet))
        dataSets_.emplace_back(element.dataSet.data());
    if (dataSets_.size() < 2) {
        // An unbound element is bound at once; that stays even on Cancel.
        if (!element.dataSet && !dataSets_.empty()) {
            designer.document().beginChange();
            element.dataSet = dataSets_.front();
            designer.document().endChange();
        }
        dataSetList_->hide();
        fieldList_->setMinimumWidth(433);
    } else {
        for (const auto& set : dataSets_) {
            dataSetList_->addItem(set->name());
            if (set == element.dataSet)
                dataSetList_->setCurrentIndex(dataSetList_->count() - 1);
        }
        connect(dataSetList_, &QComboBox::activated, this, [this] { fillFields(chosenDataSet()); });
    }
    if (element.dataSet)
        setWindowTitle(windowTitle() + u' ' + element.dataSet->name());

    const FieldDef* bound = findField(element.dataSet, element.dataField());
    fillFields(element.dataSet);
    if (element.d.blockChange) {
        dataSetList_->setEnabled(false);
        fieldList_->setEnabled(false);
    }
    const bool textField = !bound || bound->type == FieldType::String || bound->type == FieldType::Memo;
    autoStretch_->setChecked(textField || element.dataField().isEmpty() ? element.autoStretch : false);
    autoStretch_->setEnabled(isBand(element.parentControl()));
    mask_->setText(element.mask);
    mask_->setEnabled(!(bound && bound->type == FieldType::String));
    suppress_->setChecked(element.suppressRepeatedValues);
    reprintOnPage_->setChecked(element.suppressRepeatedValues && element.reprintOnNewPage);
    reprintOnGroup_->setChecked(element.suppressRepeatedValues && element.reprintOnNewGroup);
    reprintOnPage_->setEnabled(element.suppressRepeatedValues);
    reprintOnGroup_->setEnabled(element.suppressRepeatedValues);
    connect(suppress_, &QCheckBox::toggled, reprintOnPage_, &QWidget::setEnabled);
    connect(suppress_, &QCheckBox::toggled, reprintOnGroup_, &QWidget::setEnabled);
    blankIfZero_->setChecked(element.blankIfZero);
    transparent_->setChecked(element.transparent);
    wordWrap_->setChecked(element.wordWrap);
    autoSize_->setChecked(element.autoSize);
    showTextLook(element, *alignment_, *font_, *color_);
}

TDataSetComponent* DataFieldDialog::chosenDataSet() const
{
    const int i = dataSetList_->currentIndex();
    return i >= 0 && i < int(dataSets_.size()) ? dataSets_[size_t(i)].data() : nullptr;
}

// The display labels of the visible fields, as new data elements offer them.
void DataFieldDialog::fillFields(TDataSetComponent* dataSet)
{
    fieldList_->clear();
    const DataSet* ds = dataSet ? dataSet->dataSet() : nullptr;
    if (!ds)
        return;
    QStringList labels;
    for (int i = 0; i < ds->fieldCount(); ++i) {
        const FieldDef& f = ds->field(i);
        if (f.visible && !f.name.startsWith(QLatin1String("__")))
            labels << f.label();
    }
    if (designer_.options().datafieldsSorted)
        labels.sort(Qt::CaseInsensitive);
    fieldList_->addItems(labels);
    fieldList_->setCurrentIndex(-1);
    const QString current = element_.dataField();
    for (int i = 0; i < ds->fieldCount() && !current.isEmpty(); ++i) {
        const FieldDef& f = ds->field(i);
        if (f.name.compare(current, Qt::CaseInsensitive) == 0 || f.label().compare(current, Qt::CaseInsensitive) == 0) {
            fieldList_->setCurrentIndex(fieldList_->findText(f.label()));
            break;
        }
    }
}

void DataFieldDialog::apply()
{
    if (dataSets_.size() >= 2) {
        if (TDataSetComponent* chosen = chosenDataSet())
            element_.dataSet = chosen;
    }
    element_.suppressRepeatedValues = suppress_->isChecked();
    element_.reprintOnNewPage = reprintOnPage_->isChecked();
    element_.reprintOnNewGroup = reprintOnGroup_->isChecked();
    element_.blankIfZero = blankIfZero_->isChecked();
    element_.wordWrap = wordWrap_->isChecked();
    element_.mask = mask_->text();
    if (autoStretch_->isEnabled())
        element_.autoStretch = autoStretch_->isChecked();
    const DataSet* ds = element_.dataSet ? element_.dataSet->dataSet() : nullptr;
    if (element_.dataSet && fieldList_->currentIndex() >= 0) {
        const QString entry = fieldList_->currentText();
        QString name = entry;
        for (int i = 0; ds && i < ds->fieldCount(); ++i) {
            if (ds->field(i).label() == entry) {
                name = ds->field(i).name;
                break;
            }
        }
        element_.setDataField(name);
        element_.setCaption(entry);
    }
    element_.autoSize = autoSize_->isChecked();
    element_.transparent = transparent_->isChecked();
    writeTextLook(element_, *alignment_, *font_, *color_);
}

bool editDataField(DesignerCore& designer, TQRDesignDBText& element, QWidget* owner)
{
    DataFieldDialog dialog(designer, element, owner);
    return runDialog(dialog, designer.document(), [&] { dialog.apply(); });
}

} // namespace cm
