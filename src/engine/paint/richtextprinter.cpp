// Printing of rich-text elements through the document layout of
// richtextlayout.h, with their text macros and continuation.
#include "engine/paint/elementprinter.h"

#include "engine/pages/qrprinter.h"
#include "engine/paint/richtextlayout.h"
#include "engine/paint/rtfreader.h"
#include "report/codepage.h"

#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace cm {

namespace {

constexpr Extended NativePerInch = 254;
// How far a stretching rich text grows its band at a time (5 mm).
constexpr Extended GrowthStep = 50;

const QString MacroMark = QStringLiteral("%%");
const QString DeleteMark = QStringLiteral("%DEL");

// Plain lines as a document in the element's font, colour and alignment.
void fillPlain(QTextDocument& document, const QStringList& lines, const TQRCustomRichText& element)
{
    const TQRFont& font = element.font();
    QTextCharFormat chars;
    chars.setFontFamilies(QStringList{font.name()});
    chars.setFontPointSize(std::max(1, font.size()));
    chars.setFontWeight(font.hasStyle(fsBold) ? QFont::Bold : QFont::Normal);
    chars.setFontItalic(font.hasStyle(fsItalic));
    chars.setFontUnderline(font.hasStyle(fsUnderline));
    chars.setFontStrikeOut(font.hasStyle(fsStrikeOut));
    chars.setForeground(toQColor(font.color()));
    QTextBlockFormat block;
    switch (element.alignment()) {
    case TAlignment::taLeftJustify: block.setAlignment(Qt::AlignLeft); break;
    case TAlignment::taRightJustify: block.setAlignment(Qt::AlignRight); break;
    case TAlignment::taCenter: block.setAlignment(Qt::AlignHCenter); break;
    }
    QTextCursor cursor(&document);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            cursor.insertBlock();
        cursor.setBlockFormat(block);
        cursor.setBlockCharFormat(chars);
        cursor.insertText(lines[i], chars);
    }
}

// Replaces each "%%formula%%" within a paragraph by its value in the format
// of the opening mark, then removes %DEL lines and marks.
template <class Evaluate>
void expandMacros(QTextDocument& document, Evaluate evaluate)
{
    int from = 0;
    while (true) {
        const QTextCursor open = document.find(MacroMark, from, QTextDocument::FindCaseSensitively);
        if (open.isNull())
            break;
        const QTextCursor close = document.find(MacroMark, open.selectionEnd(), QTextDocument::FindCaseSensitively);
        if (close.isNull() || close.block() != open.block())
        {
            from = open.selectionEnd();
            continue;
        }
        QTextCursor range(&document);
        range.setPosition(open.selectionEnd());
        range.setPosition(close.selectionStart(), QTextCursor::KeepAnchor);
        const QString formula = range.selectedText();
        QTextCursor mark(&document);
        mark.setPosition(open.selectionStart() + 1);
        const QTextCharFormat format = mark.charFormat();
        range.setPosition(open.selectionStart());
        range.setPosition(close.selectionEnd(), QTextCursor::KeepAnchor);
        const QString value = evaluate(formula);
        range.insertText(value, format);
        from = open.selectionStart() + int(value.size());
    }
    for (QTextBlock block = document.begin(); block.isValid();) {
        const QTextBlock next = block.next();
        if (block.text().trimmed() == DeleteMark) {
            QTextCursor cursor(&document);
            if (next.isValid()) {
                cursor.setPosition(block.position());
                cursor.setPosition(next.position(), QTextCursor::KeepAnchor);
            } else if (block.previous().isValid()) {
                cursor.setPosition(block.previous().position() + block.previous().length() - 1);
                cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
            } else {
                cursor.setPosition(block.position());
                cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
            }
            cursor.removeSelectedText();
        }
        block = next;
    }
    while (true) {
        QTextCursor found = document.find(DeleteMark, 0, QTextDocument::FindCaseSensitively);
        if (found.isNull())
            break;
        found.removeSelectedText();
    }
}

} // namespace

RichTextPrinter::RichTextPrinter(TQRCustomRichText& rich) : ElementPrinter(rich), rich_(rich) {}

RichTextPrinter::~RichTextPrinter() = default;

std::unique_ptr<QTextDocument> RichTextPrinter::documentOf(const TQRCustomRichText& source) const
{
    auto document = std::make_unique<QTextDocument>();
    // A stored RTF that cannot be read prints as its plain lines.
    if (!looksLikeRtf(source.richContent) || !readRtf(source.richContent, *document)) {
        document->clear();
        fillPlain(*document, source.lines.lines, rich_);
    }
    return document;
}

void RichTextPrinter::startRun(PrintContext&)
{
    auto* db = dynamic_cast<TQRDBRichText*>(&rich_);
    data_ = db && db->dataSet ? db->dataSet->dataSet() : nullptr;
    field_ = data_ ? data_->fieldIndex(db->dataField) : -1;
    const TQRCustomRichText* source = &rich_;
    if (auto* fixed = dynamic_cast<TQRRichText*>(&rich_)) {
        if (auto* parent = dynamic_cast<TQRCustomRichText*>(fixed->parentRichEdit.data()))
            source = parent;
    }
    designDocument_ = data_ ? nullptr : documentOf(*source);
    designHasMacros_ = designDocument_ && dynamic_cast<TQRDesignRichtext*>(&rich_)
                    && designDocument_->toPlainText().contains(u'%');
    current_.reset();
    printing_ = nullptr;
    nextChar_ = 0;
    contentComplete_ = true;
}

void RichTextPrinter::endRun(PrintContext&)
{
    designDocument_.reset();
    current_.reset();
    printing_ = nullptr;
}

const QTextDocument* RichTextPrinter::prepareDocument(PrintContext& context)
{
    if (data_) {
        current_ = std::make_unique<QTextDocument>();
        if (field_ >= 0 && data_->isOpen() && !data_->eof()) {
            const QString text = data_->text(field_);
            const QByteArray bytes = CodePage::layout().encode(text);
            if (!looksLikeRtf(bytes) || !readRtf(bytes, *current_)) {
                current_->clear();
                QString plain = text;
                plain.remove(QChar(10));
                fillPlain(*current_, plain.split(QChar(13)), rich_);
            }
        }
        // A field's content prints as it stands: only the designer's own rich text has macros.
        return current_.get();
    }
    if (designHasMacros_) {
        current_.reset(designDocument_->clone());
    } else {
        return designDocument_.get();
    }
    expandMacros(*current_, [&context](const QString& formula) { return macroValue(context, formula); });
    return current_.get();
}

void RichTextPrinter::print(PrintContext& context, Extended ox, Extended oy, Extended extraHeight)
{
    if (!element().enabled())
        return;
    // A new record's content is prepared once; its continuation prints the same document.
    if (contentComplete_ || !printing_)
        printing_ = prepareDocument(context);
    if (!printing_)
        return;
    TQRPrinter& out = context.output();
    QPainter& painter = context.canvas();
    const RichTextLayout layout(*printing_, out.yFactor() * NativePerInch);
    const int length = layout.length();
    const int start = contentComplete_ ? 0 : std::min(nextChar_, length);
    QRect rect = deviceRect(out, ox, oy, extraHeight);

    // Text without a colour of its own is black, whatever the page's pen was left at.
    auto draw = [&]() {
        painter.save();
        painter.setPen(QColor(Qt::black));
        const int next = layout.format(&painter, rect, start);
        painter.restore();
        return next;
    };
    const bool stretches = rich_.autoStretch && dynamic_cast<TQRCustomBand*>(element().parentControl()) != nullptr;
    nextChar_ = stretches ? layout.format(nullptr, rect, start) : draw();
    if (stretches && nextChar_ < length && length > 0) {
        contentComplete_ = false;
        Extended growth = 0;
        bool hasGrown = false;
        const auto& v = element().size.values;
        // Measure while growing and draw once, so no line is drawn twice.
        while (nextChar_ < length && context.canStretch(GrowthStep)) {
            context.stretchBand(GrowthStep, growth, hasGrown);
            const Extended bottom = oy + v[TQRPrintableSize::T] + v[TQRPrintableSize::H] + std::max(extraHeight, growth);
            rect.setBottom(int(out.deviceY(bottom)) - 1);
            nextChar_ = layout.format(nullptr, rect, start);
        }
        nextChar_ = draw();
        if (nextChar_ >= length) {
            nextChar_ = length;
            contentComplete_ = true;
        }
    } else {
        if (stretches)
            nextChar_ = draw();
        contentComplete_ = true;
        drawFrame(context, rect);
    }
    advanced_ = nextChar_ > start || length == 0;
    if (contentComplete_) {
        current_.reset();
        printing_ = nullptr;
    }
}

} // namespace cm
