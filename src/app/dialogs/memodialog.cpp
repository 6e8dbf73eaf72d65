#include "app/dialogs/memodialog.h"

#include "designer/designercore.h"
#include "designer/document.h"
#include "report/design.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>

namespace cm {

namespace {

constexpr int kHelpContext = 90031;

} // namespace

MemoDialog::MemoDialog(DesignerCore& designer, TQRDesignMemo& element, QWidget* owner)
    : PropertyDialog(tr("Memo"), kHelpContext, owner), element_(element), lines_(new QPlainTextEdit(this)),
      alignment_(alignmentList(this)), wordWrap_(new QCheckBox(tr("Automatic &word-wrap"), this)),
      autoStretch_(new QCheckBox(tr("Autostretch &height"), this)),
      transparent_(new QCheckBox(tr("&Transparent"), this)),
      font_(new FontButton(tr("&Font..."), designer.document().boxes(), this)),
      color_(new ColorButton(tr("&Color..."), designer.document().boxes(), this))
{
    setObjectName(QStringLiteral("MemoEditForm"));
    lines_->setObjectName(QStringLiteral("LinesEdit"));
    // Tab leaves the editor, so the dialog stays usable from the keyboard;
    // Enter inside it starts a new line.
    lines_->setTabChangesFocus(true);
    lines_->setLineWrapMode(QPlainTextEdit::NoWrap);
    lines_->setMinimumSize(360, 140);
    alignment_->setObjectName(QStringLiteral("AlignmentCombo"));
    for (QCheckBox* box : {wordWrap_, autoStretch_, transparent_})
        nameControl(box, box->text());

    auto* grid = new QGridLayout;
    grid->addWidget(labelFor(lines_, tr("&Lines"), this), 0, 0, 1, 2);
    grid->addWidget(lines_, 1, 0, 1, 2);
    grid->addWidget(labelFor(alignment_, tr("&Alignment"), this), 2, 0);
    grid->addWidget(alignment_, 2, 1);
    grid->addWidget(wordWrap_, 3, 0, 1, 2);
    grid->addWidget(autoStretch_, 4, 0, 1, 2);
    grid->addWidget(transparent_, 5, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(font_);
    buttons->addWidget(color_);
    buttons->addStretch();
    grid->addLayout(buttons, 6, 0, 1, 2);
    body().addLayout(grid);

    lines_->setPlainText(element.lines.lines.join(u'\n'));
    // A protected element keeps its text; its look may still change.
    lines_->setReadOnly(element.d.blockChange);
    wordWrap_->setChecked(element.wordWrap);
    autoStretch_->setChecked(element.autoStretch);
    transparent_->setChecked(element.transparent);
    showTextLook(element, *alignment_, *font_, *color_);
}

void MemoDialog::apply()
{
    const QString text = lines_->toPlainText();
    element_.lines.setLines(text.isEmpty() ? QStringList() : text.split(u'\n'));
    element_.wordWrap = wordWrap_->isChecked();
    element_.autoStretch = autoStretch_->isChecked();
    element_.transparent = transparent_->isChecked();
    writeTextLook(element_, *alignment_, *font_, *color_);
}

bool editMemo(DesignerCore& designer, TQRDesignMemo& element, QWidget* owner)
{
    MemoDialog dialog(designer, element, owner);
    return runDialog(dialog, designer.document(), [&] { dialog.apply(); });
}

} // namespace cm
