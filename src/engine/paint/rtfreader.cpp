#include "engine/paint/rtfreader.h"

#include "report/codepage.h"

#include <QColor>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QVector>

#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

namespace cm {

namespace {

// Deeper nesting than this is no real document; refusing it keeps the state stack small.
constexpr int MaxDepth = 256;
constexpr int MaxWordLength = 32;
constexpr int DefaultHalfPoints = 24;

enum class Destination { Text, FontTable, ColorTable, Skip };

struct State {
    Destination dest = Destination::Text;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int halfPoints = DefaultHalfPoints;
    int font = -1;
    int color = 0;
    int ucSkip = 1;
    Qt::Alignment alignment = Qt::AlignLeft;
};

struct FontEntry {
    QString name;
    int codePage = 0;   // 0: the document's
};

// The Windows character sets that name a code page we can decode.
int codePageOfCharset(int charset)
{
    switch (charset) {
    case 0: return 1252;
    case 161: return 1253;
    case 162: return 1254;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    default: return 0;
    }
}

bool isSkippedDestination(QByteArrayView word)
{
    static constexpr const char* skipped[] = {
        "author", "buptim", "comment", "creatim", "doccomm", "footer", "footerf", "footerl", "footerr",
        "footnote", "ftncn", "ftnsep", "ftnsepc", "header", "headerf", "headerl", "headerr", "info",
        "keywords", "listtable", "listoverridetable", "object", "operator", "pict", "printim",
        "revtbl", "revtim", "rsidtbl", "stylesheet", "subject", "title", "xmlnstbl", "fldinst",
        "themedata", "colorschememapping", "datastore", "latentstyles", "generator", "bkmkstart",
        "bkmkend", "nonshppict", "shp", "shpinst", "filetbl", "mmathPr",
    };
    for (const char* name : skipped)
        if (word == QByteArrayView(name))
            return true;
    return false;
}

class Reader {
public:
    Reader(QByteArrayView rtf, QTextDocument& document)
        : in_(rtf), document_(document), cursor_(&document)
    {
    }

    bool run(QString& error);

private:
    bool controlWord(QByteArrayView word, bool hasParam, int param);
    void controlSymbol(char c);
    void textByte(char c);
    void appendChar(QChar c);
    void flushBytes();
    void flushText();
    void endParagraph();
    QTextCharFormat charFormat() const;
    const CodePage& textCodePage() const;
    void fontTableText(char c);
    void colorTableText(char c);

    QByteArrayView in_;
    qsizetype pos_ = 0;
    QTextDocument& document_;
    QTextCursor cursor_;
    std::vector<State> stack_;
    State state_;
    int skip_ = 0;          // fallback characters still to skip after \uN
    QByteArray bytes_;      // code page bytes not yet decoded
    QString text_;          // decoded text not yet inserted
    CodePage codePage_{1252};
    std::map<int, FontEntry> fonts_;
    int defaultFont_ = -1;
    int fontBeingRead_ = -1;
    std::vector<QColor> colors_;   // invalid: the automatic colour
    int red_ = 0, green_ = 0, blue_ = 0;
    bool colorSet_ = false;
    bool endedWithPar_ = false;
};

bool Reader::run(QString& error)
{
    if (!looksLikeRtf(in_)) {
        error = QStringLiteral("Not an RTF document");
        return false;
    }
    document_.clear();
    cursor_ = QTextCursor(&document_);
    while (pos_ < in_.size()) {
        const char c = in_[pos_++];
        if (c == '{') {
            flushText();
            if (int(stack_.size()) >= MaxDepth) {
                error = QStringLiteral("RTF groups nested too deeply");
                return false;
            }
            stack_.push_back(state_);
            skip_ = 0;
        } else if (c == '}') {
            flushText();
            if (state_.dest == Destination::FontTable && fontBeingRead_ >= 0)
                fontBeingRead_ = -1;
            if (stack_.empty())
                break;
            state_ = stack_.back();
            stack_.pop_back();
            skip_ = 0;
            if (stack_.empty())
                break;   // the document's own group closed
        } else if (c == '\\') {
            if (pos_ >= in_.size())
                break;
            const char next = in_[pos_];
            if (!((next >= 'a' && next <= 'z') || (next >= 'A' && next <= 'Z'))) {
                ++pos_;
                controlSymbol(next);
                continue;
            }
            const qsizetype wordStart = pos_;
            while (pos_ < in_.size() && pos_ - wordStart <= MaxWordLength
                   && ((in_[pos_] >= 'a' && in_[pos_] <= 'z') || (in_[pos_] >= 'A' && in_[pos_] <= 'Z')))
                ++pos_;
            const QByteArrayView word = in_.sliced(wordStart, pos_ - wordStart);
            bool negative = false;
            if (pos_ < in_.size() && in_[pos_] == '-') {
                negative = true;
                ++pos_;
            }
            bool hasParam = false;
            long long value = 0;
            while (pos_ < in_.size() && in_[pos_] >= '0' && in_[pos_] <= '9') {
                hasParam = true;
                // Saturate: a long digit run must not overflow.
                value = std::min<long long>(value * 10 + (in_[pos_] - '0'), 0x7fffffffLL);
                ++pos_;
            }
            if (pos_ < in_.size() && in_[pos_] == ' ')
                ++pos_;
            const int param = int(negative ? -value : value);
            if (!controlWord(word, hasParam, param)) {
                error = QStringLiteral("RTF binary data runs past the end");
                return false;
            }
        } else {
            textByte(c);
        }
    }
    flushText();
    // Documents end their last paragraph with \par; that leaves an empty block behind.
    if (endedWithPar_ && document_.blockCount() > 1 && document_.lastBlock().length() <= 1) {
        QTextCursor last(document_.lastBlock());
        last.movePosition(QTextCursor::PreviousCharacter, QTextCursor::KeepAnchor);
        last.removeSelectedText();
    }
    return true;
}

const CodePage& Reader::textCodePage() const
{
    static thread_local std::map<int, CodePage> byNumber;
    const auto font = fonts_.find(state_.font);
    if (font == fonts_.end() || font->second.codePage == 0)
        return codePage_;
    auto it = byNumber.find(font->second.codePage);
    if (it == byNumber.end())
        it = byNumber.emplace(font->second.codePage, CodePage(font->second.codePage)).first;
    return it->second;
}

void Reader::flushBytes()
{
    if (bytes_.isEmpty())
        return;
    const QString decoded = textCodePage().decode(bytes_);
    bytes_.clear();
    // Control characters (from \'hh) have no place in the text.
    for (const QChar c : decoded)
        if (c.unicode() >= 0x20 || c == u'\t')
            text_ += c;
}

QTextCharFormat Reader::charFormat() const
{
    QTextCharFormat f;
    f.setFontWeight(state_.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(state_.italic);
    f.setFontUnderline(state_.underline);
    f.setFontStrikeOut(state_.strike);
    f.setFontPointSize(state_.halfPoints / 2.0);
    const auto font = fonts_.find(state_.font >= 0 ? state_.font : defaultFont_);
    if (font != fonts_.end() && !font->second.name.isEmpty())
        f.setFontFamilies(QStringList{font->second.name});
    if (state_.color > 0 && state_.color < int(colors_.size()) && colors_[size_t(state_.color)].isValid())
        f.setForeground(colors_[size_t(state_.color)]);
    return f;
}

void Reader::flushText()
{
    flushBytes();
    if (text_.isEmpty())
        return;
    cursor_.insertText(text_, charFormat());
    text_.clear();
    endedWithPar_ = false;
}

void Reader::endParagraph()
{
    flushText();
    QTextBlockFormat block = cursor_.blockFormat();
    block.setAlignment(state_.alignment);
    cursor_.setBlockFormat(block);
    // An empty paragraph keeps its size for the line height.
    cursor_.setBlockCharFormat(charFormat());
    cursor_.insertBlock();
    endedWithPar_ = true;
}

void Reader::appendChar(QChar c)
{
    // Control characters (also from \uN) have no place in the text.
    if (c.unicode() < 0x20 && c != u'\t')
        return;
    flushBytes();
    text_ += c;
}

void Reader::textByte(char c)
{
    if (c == '\r' || c == '\n')
        return;
    if (skip_ > 0) {
        --skip_;
        return;
    }
    switch (state_.dest) {
    case Destination::Skip:
        return;
    case Destination::FontTable:
        fontTableText(c);
        return;
    case Destination::ColorTable:
        colorTableText(c);
        return;
    case Destination::Text:
        break;
    }
    if (static_cast<unsigned char>(c) < 0x20 && c != '\t')
        return;
    bytes_ += c;
}

void Reader::fontTableText(char c)
{
    if (fontBeingRead_ < 0)
        return;
    FontEntry& font = fonts_[fontBeingRead_];
    if (c == ';') {
        font.name = font.name.trimmed();
        fontBeingRead_ = -1;
        return;
    }
    // Font names are short; a runaway name is cut.
    if (font.name.size() < 64 && static_cast<unsigned char>(c) >= 0x20)
        font.name += codePage_.decode(QByteArrayView(&c, 1));
}

void Reader::colorTableText(char c)
{
    if (c != ';')
        return;
    // A document cannot use more colours than \cf can name sensibly.
    if (colors_.size() < 4096)
        colors_.push_back(colorSet_ ? QColor(red_, green_, blue_) : QColor());
    red_ = green_ = blue_ = 0;
    colorSet_ = false;
}

void Reader::controlSymbol(char c)
{
    if (c == '*') {
        flushText();
        state_.dest = Destination::Skip;
        return;
    }
    if (c == '\'') {
        // Two hex digits, both checked; a broken escape is dropped.
        auto hex = [](char h) {
            if (h >= '0' && h <= '9') return h - '0';
            if (h >= 'a' && h <= 'f') return h - 'a' + 10;
            if (h >= 'A' && h <= 'F') return h - 'A' + 10;
            return -1;
        };
        if (pos_ + 2 > in_.size())
            return;
        const int hi = hex(in_[pos_]), lo = hex(in_[pos_ + 1]);
        if (hi < 0 || lo < 0)
            return;
        pos_ += 2;
        const char byte = char(hi * 16 + lo);
        if (skip_ > 0) {
            --skip_;
            return;
        }
        if (state_.dest == Destination::Text)
            bytes_ += byte;
        else if (state_.dest == Destination::FontTable)
            fontTableText(byte);
        return;
    }
    if (skip_ > 0) {
        --skip_;
        return;
    }
    if (state_.dest == Destination::FontTable && (c == '\\' || c == '{' || c == '}')) {
        fontTableText(c);
        return;
    }
    if (state_.dest != Destination::Text)
        return;
    switch (c) {
    case '\\':
    case '{':
    case '}': bytes_ += c; break;
    case '~': appendChar(QChar(0xA0)); break;
    case '_': appendChar(QChar(0x2011)); break;
    case '\r':
    case '\n': endParagraph(); break;
    default: break;   // \- optional hyphen, \| and others show nothing
    }
}

bool Reader::controlWord(QByteArrayView word, bool hasParam, int param)
{
    if (word == "bin") {
        // Binary data: skip it without looking inside.
        const qsizetype n = hasParam ? param : 0;
        if (n < 0 || n > in_.size() - pos_)
            return false;
        pos_ += n;
        return true;
    }
    if (word == "fonttbl") {
        flushText();
        state_.dest = Destination::FontTable;
        return true;
    }
    if (word == "colortbl") {
        flushText();
        state_.dest = Destination::ColorTable;
        return true;
    }
    if (state_.dest == Destination::Skip)
        return true;
    if (state_.dest == Destination::FontTable) {
        if (word == "f" && hasParam) {
            fontBeingRead_ = param;
            fonts_[param] = FontEntry{};
        } else if (word == "fcharset" && fontBeingRead_ >= 0) {
            const int cp = codePageOfCharset(param);
            fonts_[fontBeingRead_].codePage = CodePage::isSupported(cp) ? cp : 0;
        } else if (fontBeingRead_ >= 0 && isSkippedDestination(word)) {
            state_.dest = Destination::Skip;
        }
        return true;
    }
    if (state_.dest == Destination::ColorTable) {
        const int v = std::clamp(param, 0, 255);
        if (word == "red") red_ = v, colorSet_ = true;
        else if (word == "green") green_ = v, colorSet_ = true;
        else if (word == "blue") blue_ = v, colorSet_ = true;
        return true;
    }
    if (isSkippedDestination(word)) {
        flushText();
        state_.dest = Destination::Skip;
        return true;
    }
    // The fallback text of \uN counts control words as characters.
    const bool isUnicode = word == "u" && hasParam;
    if (skip_ > 0 && !isUnicode) {
        --skip_;
        return true;
    }
    const bool on = !hasParam || param != 0;
    if (word == "par" || word == "sect" || word == "page") {
        endParagraph();
    } else if (word == "line") {
        appendChar(QChar::LineSeparator);
    } else if (word == "tab") {
        appendChar(u'\t');
    } else if (isUnicode) {
        // Negative values stand for the upper half of the 16-bit range.
        appendChar(QChar(char16_t(param < 0 ? param + 65536 : param)));
        skip_ = state_.ucSkip;
    } else if (word == "uc") {
        state_.ucSkip = std::clamp(param, 0, 16);
    } else if (word == "ansicpg") {
        flushText();
        if (CodePage::isSupported(param))
            codePage_ = CodePage(param);
    } else if (word == "pc") {
        flushText();
        codePage_ = CodePage(CodePage::isSupported(437) ? 437 : 1252);
    } else if (word == "deff") {
        defaultFont_ = param;
    } else if (word == "emdash") {
        appendChar(QChar(0x2014));
    } else if (word == "endash") {
        appendChar(QChar(0x2013));
    } else if (word == "bullet") {
        appendChar(QChar(0x2022));
    } else if (word == "lquote") {
        appendChar(QChar(0x2018));
    } else if (word == "rquote") {
        appendChar(QChar(0x2019));
    } else if (word == "ldblquote") {
        appendChar(QChar(0x201C));
    } else if (word == "rdblquote") {
        appendChar(QChar(0x201D));
    } else {
        // Everything else changes formatting: insert what came before first.
        flushText();
        if (word == "b") state_.bold = on;
        else if (word == "i") state_.italic = on;
        else if (word == "ul") state_.underline = on;
        else if (word == "ulnone") state_.underline = false;
        else if (word == "strike") state_.strike = on;
        else if (word == "fs" && hasParam && param > 0) state_.halfPoints = std::min(param, 3276);
        else if (word == "f" && hasParam) state_.font = param;
        else if (word == "cf" && hasParam) state_.color = param;
        else if (word == "plain") {
            state_.bold = state_.italic = state_.underline = state_.strike = false;
            state_.halfPoints = DefaultHalfPoints;
            state_.font = -1;
            state_.color = 0;
        } else if (word == "pard") state_.alignment = Qt::AlignLeft;
        else if (word == "ql") state_.alignment = Qt::AlignLeft;
        else if (word == "qc") state_.alignment = Qt::AlignHCenter;
        else if (word == "qr") state_.alignment = Qt::AlignRight;
        else if (word == "qj") state_.alignment = Qt::AlignJustify;
        if (word == "ql" || word == "qc" || word == "qr" || word == "qj" || word == "pard") {
            QTextBlockFormat block = cursor_.blockFormat();
            block.setAlignment(state_.alignment);
            cursor_.setBlockFormat(block);
        }
    }
    return true;
}

} // namespace

bool looksLikeRtf(QByteArrayView bytes)
{
    return bytes.startsWith("{\\rtf");
}

bool readRtf(QByteArrayView rtf, QTextDocument& document, QString* error)
{
    QString message;
    Reader reader(rtf, document);
    const bool ok = reader.run(message);
    if (error)
        *error = message;
    return ok;
}

} // namespace cm
