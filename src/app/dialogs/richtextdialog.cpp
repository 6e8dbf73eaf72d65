#include "app/dialogs/richtextdialog.h"

#include "designer/designercore.h"
#include "designer/document.h"
#include "designer/messageboxes.h"
#include "engine/paint/rtfreader.h"
#include "engine/paint/rtfwriter.h"
#include "engine/paint/textlayout.h"
#include "report/design.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>

namespace cm {

namespace {

constexpr int kHelpContext = 90032;
// Far above any card's text; a larger file is refused before it is read.
constexpr qint64 kMaxRtfBytes = 16 * 1024 * 1024;

Qt::Alignment qtAlignment(TAlignment alignment)
{
    switch (alignment) {
    case TAlignment::taRightJustify: return Qt::AlignRight;
    case TAlignment::taCenter: return Qt::AlignHCenter;
    case TAlignment::taLeftJustify: break;
    }
    return Qt::AlignLeft;
}

} // namespace

RichTextDialog::RichTextDialog(DesignerCore& designer, TQRDesignRichtext& element, QWidget* owner)
    : PropertyDialog(tr("Rich text"), kHelpContext, owner), designer_(designer), element_(element),
      view_(new QTextEdit(this)), load_(new QPushButton(tr("&Load..."), this)),
      font_(formatButton(tr("&Font..."), QStringLiteral("FontButton"), tr("Font of the selected text"), {})),
      color_(formatButton(tr("&Color..."), QStringLiteral("ColorButton"), tr("Colour of the selected text"), {})),
      bold_(formatButton(tr("&Bold"), QStringLiteral("BoldButton"), tr("Bold"), QKeySequence::Bold)),
      italic_(formatButton(tr("&Italic"), QStringLiteral("ItalicButton"), tr("Italic"), QKeySequence::Italic)),
      underline_(formatButton(tr("&Underline"), QStringLiteral("UnderlineButton"), tr("Underline"),
                              QKeySequence::Underline)),
      left_(formatButton(tr("L&eft"), QStringLiteral("AlignLeftButton"), tr("Align the paragraph left"),
                         QKeySequence(Qt::CTRL | Qt::Key_L))),
      center_(formatButton(tr("Ce&ntered"), QStringLiteral("AlignCenterButton"), tr("Centre the paragraph"),
                           QKeySequence(Qt::CTRL | Qt::Key_E))),
      right_(formatButton(tr("&Right"), QStringLiteral("AlignRightButton"), tr("Align the paragraph right"),
                          QKeySequence(Qt::CTRL | Qt::Key_R))),
      autoStretch_(new QCheckBox(tr("Autostretch &height"), this)), rtf_(element.richContent),
      plainLines_(element.lines.lines)
{
    setObjectName(QStringLiteral("RichTextEditForm"));
    view_->setObjectName(QStringLiteral("RichTextView"));
    // Pasted text takes the format at the cursor: pasted tables and images
    // have no place in what the element stores.
    view_->setAcceptRichText(false);
    view_->setTabChangesFocus(true);
    view_->setMinimumSize(360, 180);
    load_->setObjectName(QStringLiteral("LoadButton"));
    nameControl(load_, load_->text());
    load_->setToolTip(tr("Load the text from an RTF file"));
    load_->setAutoDefault(false);
    nameControl(autoStretch_, autoStretch_->text());
    for (QPushButton* b : {bold_, italic_, underline_, left_, center_, right_})
        b->setCheckable(true);
    auto* alignments = new QButtonGroup(this);
    for (QPushButton* b : {left_, center_, right_})
        alignments->addButton(b);

    auto* formats = new QHBoxLayout;
    for (QPushButton* b : {font_, color_, bold_, italic_, underline_, left_, center_, right_})
        formats->addWidget(b);
    formats->addStretch();
    auto* grid = new QGridLayout;
    grid->addLayout(formats, 0, 0, 1, 2);
    grid->addWidget(labelFor(view_, tr("&Text"), this), 1, 0);
    grid->addWidget(view_, 2, 0, 1, 2);
    grid->addWidget(load_, 3, 0, Qt::AlignLeft);
    grid->addWidget(autoStretch_, 4, 0, 1, 2);
    body().addLayout(grid);

    autoStretch_->setChecked(element.autoStretch);
    // A protected element keeps its text.
    const bool editable = !element.d.blockChange;
    view_->setReadOnly(!editable);
    for (QPushButton* b : {load_, font_, color_, bold_, italic_, underline_, left_, center_, right_})
        b->setEnabled(editable);

    connect(load_, &QPushButton::clicked, this, &RichTextDialog::load);
    connect(font_, &QPushButton::clicked, this, &RichTextDialog::chooseFont);
    connect(color_, &QPushButton::clicked, this, &RichTextDialog::chooseColor);
    connect(bold_, &QPushButton::clicked, this, [this](bool on) {
        QTextCharFormat f;
        f.setFontWeight(on ? QFont::Bold : QFont::Normal);
        format(f);
    });
    connect(italic_, &QPushButton::clicked, this, [this](bool on) {
        QTextCharFormat f;
        f.setFontItalic(on);
        format(f);
    });
    connect(underline_, &QPushButton::clicked, this, [this](bool on) {
        QTextCharFormat f;
        f.setFontUnderline(on);
        format(f);
    });
    connect(left_, &QPushButton::clicked, this, [this] { setAlignment(Qt::AlignLeft); });
    connect(center_, &QPushButton::clicked, this, [this] { setAlignment(Qt::AlignHCenter); });
    connect(right_, &QPushButton::clicked, this, [this] { setAlignment(Qt::AlignRight); });
    view_->installEventFilter(this);
    connect(view_, &QTextEdit::currentCharFormatChanged, this, &RichTextDialog::showFormat);
    connect(view_, &QTextEdit::cursorPositionChanged, this, &RichTextDialog::showFormat);
    showContent();
}

// A button of the format row. The shortcut works from anywhere in the
// dialog, the text box included; the caption keeps its mnemonic.
QPushButton* RichTextDialog::formatButton(const QString& caption, const QString& objectName, const QString& hint,
                                          const QKeySequence& shortcut)
{
    auto* b = new QPushButton(caption, this);
    b->setObjectName(objectName);
    b->setAutoDefault(false);
    nameControl(b, caption);
    if (shortcut.isEmpty()) {
        b->setToolTip(hint);
    } else {
        b->setToolTip(tr("%1 (%2)").arg(hint, shortcut.toString(QKeySequence::NativeText)));
        formatKeys_.push_back(shortcut);
        auto* key = new QShortcut(shortcut, this);
        connect(key, &QShortcut::activated, b, [b] {
            if (b->isEnabled())
                b->click();
        });
    }
    return b;
}

// Some platforms bind the format keys to editing in text boxes (Ctrl+U
// deletes the line there); in this box they format.
bool RichTextDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == view_ && event->type() == QEvent::ShortcutOverride) {
        const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
        if (std::find(formatKeys_.begin(), formatKeys_.end(), pressed) != formatKeys_.end()) {
            event->ignore();
            return true;
        }
    }
    return PropertyDialog::eventFilter(watched, event);
}

// The formatted text when it is readable RTF, else the plain lines in the
// element's font, colour and alignment, as they print.
void RichTextDialog::showContent()
{
    QTextDocument& document = *view_->document();
    if (!looksLikeRtf(rtf_) || !readRtf(rtf_, document)) {
        const QFont font = dialogFontOf(element_.font());
        document.setDefaultFont(font);
        view_->setPlainText(plainLines_.join(u'\n'));
        QTextCursor all(&document);
        all.select(QTextCursor::Document);
        QTextCharFormat chars;
        chars.setFont(font);
        chars.setForeground(toQColor(element_.font().color()));
        all.mergeCharFormat(chars);
        QTextBlockFormat block;
        block.setAlignment(qtAlignment(element_.alignment()));
        all.mergeBlockFormat(block);
    }
    // What is shown is what OK keeps until the user changes it.
    document.setModified(false);
    view_->moveCursor(QTextCursor::Start);
    showFormat();
}

void RichTextDialog::format(const QTextCharFormat& change)
{
    view_->mergeCurrentCharFormat(change);
    showFormat();
}

void RichTextDialog::chooseFont()
{
    QFont font = view_->currentFont();
    if (!designer_.document().boxes().chooseFont(font))
        return;
    QTextCharFormat f;
    f.setFont(font);
    format(f);
}

void RichTextDialog::chooseColor()
{
    QColor color = view_->textColor();
    if (!designer_.document().boxes().chooseColor(color))
        return;
    QTextCharFormat f;
    f.setForeground(color);
    format(f);
}

// Every paragraph the selection touches.
void RichTextDialog::setAlignment(Qt::Alignment alignment)
{
    view_->setAlignment(alignment);
    showFormat();
}

// The buttons follow the text at the cursor.
void RichTextDialog::showFormat()
{
    const QTextCharFormat f = view_->currentCharFormat();
    const Qt::Alignment a = view_->alignment() & Qt::AlignHorizontal_Mask;
    const std::pair<QPushButton*, bool> states[] = {
        {bold_, f.fontWeight() >= QFont::DemiBold},
        {italic_, f.fontItalic()},
        {underline_, f.fontUnderline()},
        {left_, !(a & (Qt::AlignHCenter | Qt::AlignRight))},
        {center_, bool(a & Qt::AlignHCenter)},
        {right_, bool(a & Qt::AlignRight)},
    };
    for (const auto& [button, on] : states) {
        const QSignalBlocker quiet(button);
        button->setChecked(on);
    }
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
    // An edited text is stored as RTF; an unedited one keeps its bytes.
    const QTextDocument& document = *view_->document();
    if (document.isModified()) {
        rtf_ = writeRtf(document);
        plainLines_ = document.toPlainText().split(u'\n');
    }
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
