#include "app/dialogs/richtextdialog.h"

#include "designer/designercore.h"
#include "designer/document.h"
#include "designer/messageboxes.h"
#include "engine/paint/rtfreader.h"
#include "report/design.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QTextDocument>
#include <QTextEdit>

namespace cm {

namespace {

constexpr int kHelpContext = 90032;
// Far above any card's text; a larger file is refused before it is read.
constexpr qint64 kMaxRtfBytes = 16 * 1024 * 1024;

} // namespace

RichTextDialog::RichTextDialog(DesignerCore& designer, TQRDesignRichtext& element, QWidget* owner)
    : PropertyDialog(tr("Rich text"), kHelpContext, owner), designer_(designer), element_(element),
      view_(new QTextEdit(this)), load_(new QPushButton(tr("&Load..."), this)),
      autoStretch_(new QCheckBox(tr("Autostretch &height"), this)), rtf_(element.richContent),
      plainLines_(element.lines.lines)
{
    setObjectName(QStringLiteral("RichTextEditForm"));
    view_->setObjectName(QStringLiteral("RichTextView"));
    view_->setReadOnly(true);
    view_->setTabChangesFocus(true);
    view_->setMinimumSize(360, 180);
    load_->setObjectName(QStringLiteral("LoadButton"));
    nameControl(load_, load_->text());
    load_->setToolTip(tr("Load the text from an RTF file"));
    load_->setAutoDefault(false);
    nameControl(autoStretch_, autoStretch_->text());

    auto* grid = new QGridLayout;
    grid->addWidget(labelFor(view_, tr("&Text"), this), 0, 0);
    grid->addWidget(view_, 1, 0, 1, 2);
    grid->addWidget(load_, 2, 0, Qt::AlignLeft);
    grid->addWidget(autoStretch_, 3, 0, 1, 2);
    body().addLayout(grid);

    autoStretch_->setChecked(element.autoStretch);
    load_->setEnabled(!element.d.blockChange);   // a protected element keeps its text
    connect(load_, &QPushButton::clicked, this, &RichTextDialog::load);
    showContent();
}

// The formatted text when it is readable RTF, else the plain lines.
void RichTextDialog::showContent()
{
    if (looksLikeRtf(rtf_) && readRtf(rtf_, *view_->document()))
        return;
    view_->setPlainText(plainLines_.join(u'\n'));
}

void RichTextDialog::load()
{
    MessageBoxes& boxes = designer_.document().boxes();
    const QString chosen =
        boxes.openFileName(tr("Rich text"), folder_, tr("Rich text (*.rtf *.RTF);;All files (*)"));
    if (chosen.isEmpty())
        return;
    folder_ = QFileInfo(chosen).path();
    QFile file(chosen);
    if (!file.open(QIODevice::ReadOnly)) {
        boxes.error(tr("The file %1 cannot be read: %2").arg(chosen, file.errorString()));
        return;
    }
    if (file.size() > kMaxRtfBytes) {
        boxes.error(tr("The file %1 is too large for a rich-text element.").arg(chosen));
        return;
    }
    const QByteArray bytes = file.readAll();
    QTextDocument document;
    QString error;
    if (!looksLikeRtf(bytes) || !readRtf(bytes, document, &error)) {
        boxes.error(tr("The file %1 is no readable RTF document. %2").arg(chosen, error).trimmed());
        return;
    }
    rtf_ = bytes;
    // The plain lines follow, so that the element never carries two texts.
    plainLines_ = document.toPlainText().split(u'\n');
    showContent();
}

void RichTextDialog::apply()
{
    element_.richContent = rtf_;
    element_.lines.setLines(plainLines_);
    element_.autoStretch = autoStretch_->isChecked();
}

bool editRichText(DesignerCore& designer, TQRDesignRichtext& element, QWidget* owner)
{
    RichTextDialog dialog(designer, element, owner);
    return runDialog(dialog, designer.document(), [&] { dialog.apply(); });
}

} // namespace cm
