#include "app/dialogs/textdialog.h"

#include "designer/designercore.h"
#include "designer/document.h"
#include "report/design.h"
#include "report/rounding.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace cm {

TextDialog::TextDialog(DesignerCore& designer, TQRDesignLabel& label, QWidget* owner)
    : PropertyDialog(tr("Label"), 90029, owner), label_(label), caption_(new QLineEdit(this)),
      alignment_(alignmentList(this)), wordWrap_(new QCheckBox(tr("Automatic word-wrap"), this)),
      transparent_(new QCheckBox(tr("Transparent"), this)), autoSize_(new QCheckBox(tr("Autosize width"), this)),
      autoStretch_(new QCheckBox(tr("Autostretch height"), this)),
      font_(new FontButton(tr("&Font..."), designer.document().boxes(), this)),
      color_(new ColorButton(tr("&Color..."), designer.document().boxes(), this)),
      rotation_(new NumberBox(NumberBox::Keys::Decimal, NumberBox::Step::WholeAbove0, this))
{
    setObjectName(QStringLiteral("LabelEditForm"));
    caption_->setObjectName(QStringLiteral("LabelCaptionEdit"));
    nameControl(caption_, tr("Text"));
    alignment_->setObjectName(QStringLiteral("AlignmentCombo"));
    rotation_->setObjectName(QStringLiteral("RotationEdit"));
    for (QCheckBox* box : {wordWrap_, transparent_, autoSize_, autoStretch_})
        nameControl(box, box->text());

    auto* grid = new QGridLayout;
    grid->addWidget(caption_, 0, 0, 1, 3);
    grid->addWidget(labelFor(alignment_, tr("&Alignment"), this), 1, 0);
    grid->addWidget(alignment_, 1, 1, 1, 2);
    grid->addWidget(wordWrap_, 2, 0, 1, 3);
    grid->addWidget(transparent_, 3, 0, 1, 3);
    grid->addWidget(autoSize_, 4, 0, 1, 3);
    grid->addWidget(autoStretch_, 5, 0, 1, 3);
    grid->addWidget(labelFor(rotation_, tr("&Rotation"), this), 6, 0);
    grid->addWidget(rotation_, 6, 1);
    grid->addWidget(new QLabel(tr("Degrees"), this), 6, 2);
    grid->addWidget(font_, 7, 0);
    grid->addWidget(color_, 7, 1);
    body().addLayout(grid);

    caption_->setText(label.caption());
    wordWrap_->setChecked(label.wordWrap);
    transparent_->setChecked(label.transparent);
    autoSize_->setChecked(label.autoSize);
    autoStretch_->setChecked(label.autoStretch);
    showTextLook(label, *alignment_, *font_, *color_);
    rotation_->setText(generalNumber(label.degree() / 10.0));
}

void TextDialog::apply()
{
    label_.autoSize = autoSize_->isChecked();
    label_.autoStretch = autoStretch_->isChecked();
    label_.wordWrap = wordWrap_->isChecked();
    label_.setCaption(caption_->text());
    label_.transparent = transparent_->isChecked();
    writeTextLook(label_, *alignment_, *font_, *color_);
    double degrees = 0;
    // Rotations are kept in tenths of a degree.
    if (readNumber(rotation_->text(), degrees) && std::abs(degrees) < 1e6)
        label_.setDegree(int(rnd(degrees * 10)));
}

bool editLabel(DesignerCore& designer, TQRDesignLabel& label, QWidget* owner)
{
    TextDialog dialog(designer, label, owner);
    return runDialog(dialog, designer.document(), [&] { dialog.apply(); });
}

} // namespace cm
