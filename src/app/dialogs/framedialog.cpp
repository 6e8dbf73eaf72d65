#include "app/dialogs/framedialog.h"

#include "designer/designercore.h"
#include "designer/document.h"
#include "report/control.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>

namespace cm {

FrameDialog::FrameDialog(DesignerCore& designer, const std::vector<TQRControl*>& targets, QWidget* owner)
    : PropertyDialog(tr("Frame"), 90001, owner), targets_(targets), top_(new QCheckBox(tr("&Top"), this)),
      bottom_(new QCheckBox(tr("&Bottom"), this)), left_(new QCheckBox(tr("&Left"), this)),
      right_(new QCheckBox(tr("&Right"), this)),
      width_(new NumberBox(NumberBox::Keys::Digits, NumberBox::Step::WholeAbove1, this)),
      color_(new ColorButton(tr("&Color..."), designer.document().boxes(), this))
{
    setObjectName(QStringLiteral("FrameEditForm"));
    width_->setObjectName(QStringLiteral("WidthEdit"));
    width_->setMaxLength(2);
    auto* lines = new QGroupBox(tr("Lines"), this);
    auto* grid = new QGridLayout(lines);
    grid->addWidget(top_, 0, 0);
    grid->addWidget(bottom_, 0, 1);
    grid->addWidget(left_, 1, 0);
    grid->addWidget(right_, 1, 1);
    for (QCheckBox* box : {top_, bottom_, left_, right_})
        nameControl(box, box->text());
    body().addWidget(lines);
    auto* rest = new QGridLayout;
    rest->addWidget(labelFor(width_, tr("&Width"), this), 0, 0);
    rest->addWidget(width_, 0, 1);
    rest->addWidget(color_, 1, 1);
    body().addLayout(rest);

    TQRFrame shown;   // several targets start with no lines, width 1, black
    if (targets.size() == 1)
        shown = targets.front()->frame;
    top_->setChecked(shown.drawTop);
    bottom_->setChecked(shown.drawBottom);
    left_->setChecked(shown.drawLeft);
    right_->setChecked(shown.drawRight);
    width_->setText(QString::number(targets.size() == 1 ? shown.width : 1));
    color_->setColor(targets.size() == 1 ? shown.color : clBlack);
}

void FrameDialog::apply()
{
    int width = 0;
    const bool haveWidth = readWholeNumber(width_->text(), width);
    for (TQRControl* c : targets_) {
        c->frame.drawTop = top_->isChecked();
        c->frame.drawBottom = bottom_->isChecked();
        c->frame.drawLeft = left_->isChecked();
        c->frame.drawRight = right_->isChecked();
        if (haveWidth)
            c->frame.width = width;
        c->frame.color = color_->color();
    }
}

void editSelectionFrame(DesignerCore& designer, QWidget* owner)
{
    std::vector<TQRControl*> targets;
    for (Component* c : designer.document().selection()) {
        if (auto* control = dynamic_cast<TQRControl*>(c))
            targets.push_back(control);
    }
    if (targets.empty())
        return;
    FrameDialog dialog(designer, targets, owner);
    runDialog(dialog, designer.document(), [&] { dialog.apply(); });
}

} // namespace cm
