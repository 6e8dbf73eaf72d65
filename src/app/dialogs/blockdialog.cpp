#include "app/dialogs/blockdialog.h"

#include "designer/designercore.h"
#include "designer/designobjects.h"
#include "designer/document.h"
#include "designer/messageboxes.h"
#include "report/design.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QVBoxLayout>

namespace cm {

namespace {

struct Flags {
    bool* change = nullptr;
    bool* edit = nullptr;
    bool* move = nullptr;
    bool* resize = nullptr;
    bool* del = nullptr;
    bool* fixBottom = nullptr;   // elements only
    bool* stretch = nullptr;
};

Flags flagsOf(Component& c)
{
    if (auto* band = dynamic_cast<TQRCustomBand*>(&c)) {
        if (DesignBandProps* d = band->designProps())
            return {&d->blockChange, &d->blockEdit, &d->blockMove, &d->blockResize, &d->blockDelete};
    } else if (auto* e = dynamic_cast<TQRPrintable*>(&c)) {
        if (DesignElementProps* d = e->designProps())
            return {&d->blockChange, &d->blockEdit,         &d->blockMove,           &d->blockResize,
                    &d->blockDelete, &d->fixBottomPosition, &d->stretchHeightWithBand};
    }
    return {};
}

QString twoDecimals(Extended v)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(double(v), 'f', 2);
}

NumberBox* positionBox(QWidget* parent, const QString& objectName)
{
    auto* box = new NumberBox(NumberBox::Keys::Position, NumberBox::Step::None, parent);
    box->setObjectName(objectName);
    return box;
}

} // namespace

BlockDialog::BlockDialog(DesignerCore& designer, Component& element, QWidget* owner)
    : PropertyDialog(tr("Options"), 90001, owner), designer_(designer), element_(element),
      count_(designer.document().selectionCount()), name_(new QLineEdit(this)), hint_(new QLineEdit(this)),
      left_(positionBox(this, QStringLiteral("LeftEdit"))), top_(positionBox(this, QStringLiteral("TopEdit"))),
      width_(positionBox(this, QStringLiteral("WidthEdit"))), height_(positionBox(this, QStringLiteral("HeightEdit"))),
      noChange_(new QCheckBox(tr("no &changing"), this)), noEdit_(new QCheckBox(tr("no &editing"), this)),
      noMove_(new QCheckBox(tr("no &moving"), this)), noResize_(new QCheckBox(tr("no &resizing"), this)),
      noDelete_(new QCheckBox(tr("no &deletion"), this)),
      fixBottom_(new QCheckBox(tr("keep position relative to band bottom"), this)),
      stretch_(new QCheckBox(tr("autostretch height with band"), this))
{
    setObjectName(QStringLiteral("BlockOptionsForm"));
    name_->setObjectName(QStringLiteral("NameEdit"));
    hint_->setObjectName(QStringLiteral("HintEdit"));
    for (QCheckBox* box : {noChange_, noEdit_, noMove_, noResize_, noDelete_, fixBottom_, stretch_})
        nameControl(box, box->text());

    auto* top = new QGridLayout;
    top->addWidget(labelFor(name_, tr("&Name:"), this), 0, 0);
    top->addWidget(name_, 0, 1);
    QLabel* hintLabel = labelFor(hint_, tr("H&int"), this);
    top->addWidget(hintLabel, 1, 0);
    top->addWidget(hint_, 1, 1);
    body().addLayout(top);

    auto* position = new QGroupBox(tr("Position"), this);
    auto* positionGrid = new QGridLayout(position);
    const std::pair<NumberBox*, QString> boxes[] = {
        {left_, tr("&Left")}, {top_, tr("&Top")}, {width_, tr("&Width")}, {height_, tr("&Height")}};
    int row = 0;
    for (const auto& [box, caption] : boxes) {
        positionGrid->addWidget(labelFor(box, caption, position), row, 0);
        positionGrid->addWidget(box, row++, 1);
    }
    auto* actions = new QGroupBox(tr("Actions"), this);
    auto* actionColumn = new QVBoxLayout(actions);
    for (QCheckBox* box : {noChange_, noEdit_, noMove_, noResize_, noDelete_})
        actionColumn->addWidget(box);
    auto* middle = new QHBoxLayout;
    middle->addWidget(position);
    middle->addWidget(actions);
    body().addLayout(middle);
    auto* layoutGroup = new QGroupBox(this);
    auto* layoutColumn = new QVBoxLayout(layoutGroup);
    layoutColumn->addWidget(fixBottom_);
    layoutColumn->addWidget(stretch_);
    body().addWidget(layoutGroup);

    // Opening
    const bool hasHint = hasProperty(element, u"Hint");
    if (hasHint)
        hint_->setText(element.hint);
    hint_->setEnabled(hasHint);
    hintLabel->setEnabled(hasHint);
    const bool band = isBand(&element);
    if (band) {
        fixBottom_->setEnabled(false);
        stretch_->setEnabled(false);
    }
    // A name is one component's: with several selected it is not offered.
    const bool blockEdit = designer.options().allowBlockEdit;
    name_->setEnabled(blockEdit && count_ < 2);
    for (QCheckBox* box : {noChange_, noEdit_, noMove_, noResize_, noDelete_})
        box->setEnabled(blockEdit);
    const BlockFlags flags = blockFlagsOf(element);
    left_->setEnabled(!flags.blockMove);
    top_->setEnabled(!flags.blockMove);
    width_->setEnabled(!flags.blockResize);
    height_->setEnabled(!flags.blockResize);
    if (count_ == 1) {
        name_->setText(element.name());
        const Flags f = flagsOf(element);
        const std::pair<QCheckBox*, bool*> shown[] = {{noChange_, f.change}, {noEdit_, f.edit},
                                                      {noMove_, f.move},     {noResize_, f.resize},
                                                      {noDelete_, f.del},    {fixBottom_, f.fixBottom},
                                                      {stretch_, f.stretch}};
        for (const auto& [box, flag] : shown)
            box->setChecked(flag && *flag);
        if (auto* p = dynamic_cast<TQRPrintable*>(&element)) {
            left_->setText(twoDecimals(p->size.left()));
            top_->setText(twoDecimals(p->size.top()));
            width_->setText(twoDecimals(p->size.width()));
            height_->setText(twoDecimals(p->size.height()));
        } else if (auto* b = dynamic_cast<TQRCustomBand*>(&element)) {
            left_->setEnabled(false);
            top_->setEnabled(false);
            width_->setEnabled(false);
            height_->setText(twoDecimals(b->size.height()));
        }
    }
    connect(noMove_, &QCheckBox::toggled, this, [this](bool on) {
        left_->setEnabled(!on);
        top_->setEnabled(!on);
    });
    connect(noResize_, &QCheckBox::toggled, this, [this](bool on) {
        width_->setEnabled(!on);
        height_->setEnabled(!on);
    });
    connect(fixBottom_, &QCheckBox::toggled, this, [this](bool on) { if (on) stretch_->setChecked(false); });
    connect(stretch_, &QCheckBox::toggled, this, [this](bool on) { if (on) fixBottom_->setChecked(false); });
}

bool BlockDialog::applyTo(Component& c)
{
    const Flags f = flagsOf(c);
    const std::pair<QCheckBox*, bool*> flags[] = {{noChange_, f.change}, {noEdit_, f.edit},   {noMove_, f.move},
                                                  {noResize_, f.resize}, {noDelete_, f.del},  {fixBottom_, f.fixBottom},
                                                  {stretch_, f.stretch}};
    for (const auto& [box, flag] : flags) {
        if (flag)
            *flag = box->isChecked();
    }
    const auto read = [](const NumberBox* box, double& v, bool& given) {
        given = !box->text().trimmed().isEmpty();
        return !given || readNumber(box->text(), v);
    };
    double v = 0;
    bool given = false;
    if (auto* p = dynamic_cast<TQRPrintable*>(&c)) {
        using Setter = void (TQRPrintableSize::*)(Extended);
        const std::pair<NumberBox*, Setter> boxes[] = {{left_, &TQRPrintableSize::setLeft},
                                                       {top_, &TQRPrintableSize::setTop},
                                                       {width_, &TQRPrintableSize::setWidth},
                                                       {height_, &TQRPrintableSize::setHeight}};
        for (const auto& [box, setter] : boxes) {
            if (!read(box, v, given))
                return false;
            if (given && isLengthInRange(p->size.toNative(v, box == left_ || box == width_)))
                (p->size.*setter)(v);
        }
    } else if (auto* b = dynamic_cast<TQRCustomBand*>(&c)) {
        if (!read(height_, v, given))
            return false;
        if (given && isLengthInRange(b->size.toNative(v, false)))
            b->size.setHeight(v);
    }
    return true;
}

void BlockDialog::apply()
{
    if (hasProperty(element_, u"Hint"))
        element_.hint = hint_->text();
    if (count_ < 2 && name_->isEnabled() && name_->text() != element_.name()) {
        const QString name = name_->text();
        if (name.isEmpty() || !isValidIdent(name) || !element_.setName(name))
            designer_.showError(QStringLiteral("Invalid componentname"));
    }
    if (count_ < 2) {
        if (!applyTo(element_))
            designer_.document().boxes().error(tr("Invalid top, left, width or height value!"));
    } else {
        for (Component* c : designer_.document().selection())
            applyTo(*c);   // an unreadable box ends that element's update, silently
    }
    designer_.document().report().arrangeBands();
}

bool editBlockOptions(DesignerCore& designer, Component& element, QWidget* owner)
{
    if (!isDesignObject(element))
        return false;
    BlockDialog dialog(designer, element, owner);
    // The selection is kept by names: remember the element before a rename.
    QPointer<Component> kept(&element);
    const int count = designer.document().selectionCount();
    if (runDialog(dialog, designer.document(), [&] { dialog.apply(); })) {
        if (count == 1 && kept) {
            designer.clearSelection();
            designer.select(kept);
        } else {
            designer.updateSelectionControls();
        }
    }
    return true;
}

} // namespace cm
