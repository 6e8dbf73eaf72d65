#include "app/dialogs/expressiondialog.h"

#include "app/builder/builder.h"
#include "designer/designercore.h"
#include "designer/document.h"
#include "designer/messageboxes.h"
#include "expr/formulacheck.h"
#include "report/design.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

namespace cm {

namespace {

constexpr int kHelpContext = 90030;

} // namespace

ExpressionDialog::ExpressionDialog(DesignerCore& designer, TQRDesignExpr& element, QWidget* owner)
    : PropertyDialog(tr("Expression"), kHelpContext, owner), designer_(designer), element_(element),
      context_(makeBuilderContext(designer)), expression_(new QLineEdit(this)),
      builder_(new QPushButton(QStringLiteral("..."), this)), mask_(new QLineEdit(this)),
      alignment_(alignmentList(this)), wordWrap_(new QCheckBox(tr("Automatic &word-wrap"), this)),
      transparent_(new QCheckBox(tr("&Transparent"), this)), autoSize_(new QCheckBox(tr("Autosize wi&dth"), this)),
      autoStretch_(new QCheckBox(tr("Autostretch &height"), this)),
      resetAfterPrint_(new QCheckBox(tr("&Reset after print"), this)),
      font_(new FontButton(tr("&Font..."), designer.document().boxes(), this)),
      color_(new ColorButton(tr("&Color..."), designer.document().boxes(), this))
{
    setObjectName(QStringLiteral("ExprEditForm"));
    expression_->setObjectName(QStringLiteral("ExpressionEdit"));
    builder_->setObjectName(QStringLiteral("BuilderButton"));
    builder_->setAccessibleName(tr("Expression builder"));
    builder_->setToolTip(tr("Expression builder"));
    builder_->setAutoDefault(false);
    builder_->setFixedWidth(builder_->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 24);
    mask_->setObjectName(QStringLiteral("MaskEdit"));
    alignment_->setObjectName(QStringLiteral("AlignmentCombo"));
    for (QCheckBox* box : {wordWrap_, transparent_, autoSize_, autoStretch_, resetAfterPrint_})
        nameControl(box, box->text());

    auto* grid = new QGridLayout;
    auto* formula = new QHBoxLayout;
    formula->addWidget(expression_, 1);
    formula->addWidget(builder_);
    grid->addWidget(labelFor(expression_, tr("&Expression"), this), 0, 0);
    grid->addLayout(formula, 0, 1);
    grid->addWidget(labelFor(mask_, tr("&Mask"), this), 1, 0);
    grid->addWidget(mask_, 1, 1);
    grid->addWidget(labelFor(alignment_, tr("&Alignment"), this), 2, 0);
    grid->addWidget(alignment_, 2, 1);
    grid->addWidget(wordWrap_, 3, 0, 1, 2);
    grid->addWidget(transparent_, 4, 0, 1, 2);
    grid->addWidget(autoSize_, 5, 0, 1, 2);
    grid->addWidget(autoStretch_, 6, 0, 1, 2);
    grid->addWidget(resetAfterPrint_, 7, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(font_);
    buttons->addWidget(color_);
    buttons->addStretch();
    grid->addLayout(buttons, 8, 0, 1, 2);
    body().addLayout(grid);
    setMinimumWidth(420);

    expression_->setText(element.expression());
    // A protected element keeps what it prints; its look may still change.
    expression_->setEnabled(!element.d.blockChange);
    builder_->setEnabled(!element.d.blockChange);
    mask_->setText(element.mask);
    wordWrap_->setChecked(element.wordWrap);
    transparent_->setChecked(element.transparent);
    autoSize_->setChecked(element.autoSize);
    autoStretch_->setChecked(element.autoStretch);
    resetAfterPrint_->setChecked(element.resetAfterPrint);
    showTextLook(element, *alignment_, *font_, *color_);
    connect(builder_, &QPushButton::clicked, this, &ExpressionDialog::openBuilder);
}

void ExpressionDialog::openBuilder()
{
    QString text = expression_->text();
    if (editExpression(this, context_, text))
        expression_->setText(text);
    expression_->setFocus();
}

void ExpressionDialog::accept()
{
    if (!expression_->isEnabled()) {   // protected: the formula is not ours to judge
        PropertyDialog::accept();
        return;
    }
    // A bare name may be a field of a table that is not open now; it counts
    // as a fault only when every table it could come from is open.
    const bool namesMustResolve = !context_.tables.empty() && context_.dataSets->size() == context_.tables.size();
    const QString fault =
        formulaFault(expression_->text(), context_.dataSets.get(), context_.local.get(), namesMustResolve);
    if (!fault.isEmpty()) {
        designer_.document().boxes().error(tr("The expression cannot be used: %1").arg(fault));
        expression_->setFocus();
        return;
    }
    PropertyDialog::accept();
}

void ExpressionDialog::apply()
{
    element_.autoSize = autoSize_->isChecked();
    element_.autoStretch = autoStretch_->isChecked();
    element_.wordWrap = wordWrap_->isChecked();
    element_.setExpression(expression_->text());
    element_.mask = mask_->text();
    element_.transparent = transparent_->isChecked();
    element_.resetAfterPrint = resetAfterPrint_->isChecked();
    writeTextLook(element_, *alignment_, *font_, *color_);
}

bool editExpressionElement(DesignerCore& designer, TQRDesignExpr& element, QWidget* owner)
{
    ExpressionDialog dialog(designer, element, owner);
    return runDialog(dialog, designer.document(), [&] { dialog.apply(); });
}

} // namespace cm
