#include "app/dialogs/optionsdialog.h"

#include "designer/designercore.h"
#include "designer/document.h"
#include "report/design.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <algorithm>

namespace cm {

namespace {

constexpr TQRUnit kUnits[] = {TQRUnit::MM, TQRUnit::Inches, TQRUnit::Characters};
constexpr int kMaxSetting = 65535;   // the designer keeps these as 16-bit values

NumberBox* stepBox(QWidget* parent, const QString& objectName)
{
    auto* box = new NumberBox(NumberBox::Keys::Digits, NumberBox::Step::WholeAbove0, parent);
    box->setObjectName(objectName);
    box->setMaxLength(5);
    return box;
}

// A whole number from the box within [low, 65535]; `value` unchanged when none.
void takeWhole(const NumberBox* box, int& value, int low)
{
    if (int v = 0; readWholeNumber(box->text(), v))
        value = std::clamp(v, low, kMaxSetting);
}

} // namespace

OptionsDialog::OptionsDialog(DesignerCore& designer, QWidget* owner)
    : PropertyDialog(tr("Options"), 90043, owner), designer_(designer),
      bandNames_(new QCheckBox(tr("Show band-names"), this)),
      bandNameFont_(new FontButton(tr("&Font..."), designer.document().boxes(), this)),
      frames_(new QCheckBox(tr("Show component frames at design time"), this)),
      solid_(new QRadioButton(tr("Solid"), this)), dashed_(new QRadioButton(tr("Dashed"), this)),
      dotted_(new QRadioButton(tr("Dotted"), this)),
      frameColor_(new ColorButton(tr("&Color..."), designer.document().boxes(), this)), unit_(new QComboBox(this)),
      ruler_(new QCheckBox(tr("Show band-ruler"), this)), gridX_(stepBox(this, QStringLiteral("GridXEdit"))),
      gridY_(stepBox(this, QStringLiteral("GridYEdit"))), stepX_(stepBox(this, QStringLiteral("KeyboardXEdit"))),
      stepY_(stepBox(this, QStringLiteral("KeyboardYEdit")))
{
    setObjectName(QStringLiteral("OptionsForm"));
    unit_->setObjectName(QStringLiteral("UnitCombo"));
    unit_->addItems({tr("MM"), tr("Inches"), tr("Characters")});
    for (QWidget* w : std::initializer_list<QWidget*>{bandNames_, frames_, solid_, dashed_, dotted_, ruler_})
        nameControl(w, static_cast<QAbstractButton*>(w)->text());
    nameControl(bandNameFont_, tr("Band-name font"));
    nameControl(frameColor_, tr("Component frame color"));
    auto* lineGroup = new QButtonGroup(this);
    lineGroup->addButton(solid_);
    lineGroup->addButton(dashed_);
    lineGroup->addButton(dotted_);

    auto* bands = new QGroupBox(tr("Bands"), this);
    auto* bandGrid = new QGridLayout(bands);
    bandGrid->addWidget(bandNames_, 0, 0);
    bandGrid->addWidget(bandNameFont_, 0, 1);
    bandGrid->addWidget(ruler_, 1, 0, 1, 2);
    body().addWidget(bands);

    auto* frames = new QGroupBox(tr("Component frames"), this);
    auto* frameGrid = new QGridLayout(frames);
    frameGrid->addWidget(frames_, 0, 0, 1, 3);
    auto* line = new QGroupBox(tr("Line"), frames);
    auto* lineRow = new QHBoxLayout(line);
    lineRow->addWidget(solid_);
    lineRow->addWidget(dashed_);
    lineRow->addWidget(dotted_);
    frameGrid->addWidget(line, 1, 0, 1, 2);
    frameGrid->addWidget(frameColor_, 1, 2);
    body().addWidget(frames);

    auto* grid = new QGridLayout;
    grid->addWidget(labelFor(unit_, tr("&Unit"), this), 0, 0);
    grid->addWidget(unit_, 0, 1);
    grid->addWidget(labelFor(gridX_, tr("Grid size &X:"), this), 1, 0);
    grid->addWidget(gridX_, 1, 1);
    grid->addWidget(labelFor(gridY_, tr("Grid size &Y:"), this), 1, 2);
    grid->addWidget(gridY_, 1, 3);
    grid->addWidget(labelFor(stepX_, tr("&Keyboard grid size X:"), this), 2, 0);
    grid->addWidget(stepX_, 2, 1);
    grid->addWidget(labelFor(stepY_, tr("Keyboard &grid size Y:"), this), 2, 2);
    grid->addWidget(stepY_, 2, 3);
    body().addLayout(grid);

    const DesignerOptions& o = designer.options();
    TQRDesignReport& report = designer.document().report();
    bandNames_->setChecked(o.showBandNames);
    bandNameFont_->setFont(o.bandNameFont);
    frames_->setChecked(o.showComponentFrames);
    switch (TPenStyle(o.componentFrameStyle)) {
    case TPenStyle::psSolid: solid_->setChecked(true); break;
    case TPenStyle::psDash: dashed_->setChecked(true); break;
    case TPenStyle::psDot: dotted_->setChecked(true); break;
    default: break;
    }
    frameColor_->setColor(o.componentFrameColor);
    unit_->setCurrentIndex(-1);
    for (int i = 0; i < 3; ++i)
        if (kUnits[i] == report.units())
            unit_->setCurrentIndex(i);
    ruler_->setChecked(report.page.ruler());
    gridX_->setText(QString::number(o.gridSizeX));
    gridY_->setText(QString::number(o.gridSizeY));
    stepX_->setText(QString::number(o.keyboardMoveX));
    stepY_->setText(QString::number(o.keyboardMoveY));
}

void OptionsDialog::apply()
{
    DesignerOptions& o = designer_.options();
    o.showBandNames = bandNames_->isChecked();
    o.bandNameFont.assignQuietly(bandNameFont_->font());
    o.showComponentFrames = frames_->isChecked();
    if (solid_->isChecked())
        o.componentFrameStyle = int(TPenStyle::psSolid);
    else if (dashed_->isChecked())
        o.componentFrameStyle = int(TPenStyle::psDash);
    else if (dotted_->isChecked())
        o.componentFrameStyle = int(TPenStyle::psDot);
    o.componentFrameColor = frameColor_->color();
    // The snapping grid divides positions: it stays at 1 or more.
    takeWhole(gridX_, o.gridSizeX, 1);
    takeWhole(gridY_, o.gridSizeY, 1);
    takeWhole(stepX_, o.keyboardMoveX, 0);
    takeWhole(stepY_, o.keyboardMoveY, 0);

    // The unit and the ruler are stored with the layout: changing them is an edit.
    Document& document = designer_.document();
    TQRDesignReport& report = document.report();
    const int chosen = unit_->currentIndex();
    const TQRUnit unit = chosen >= 0 ? kUnits[chosen] : report.units();
    if (unit != report.units() || ruler_->isChecked() != report.page.ruler()) {
        document.beginChange();
        report.setUnits(unit);
        report.page.setRuler(ruler_->isChecked());
        document.endChange();
    }
    document.refresh();
}

bool editDesignerOptions(DesignerCore& designer, QWidget* owner)
{
    OptionsDialog dialog(designer, owner);
    dialog.finishLayout();
    if (dialog.exec() != QDialog::Accepted)
        return false;
    dialog.apply();
    return true;
}

} // namespace cm
