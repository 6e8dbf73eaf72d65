// Rich text: reading and writing RTF, laying a document out from a start
// character, and rich-text elements on generated cards.
#include "engine/paint/richtextlayout.h"
#include "engine/paint/rtfreader.h"
#include "engine/paint/rtfwriter.h"
#include "harness.h"
#include "report/codepage.h"

#include <QImage>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>

#include <gtest/gtest.h>

namespace cm::test {
namespace {

// One run of equally formatted text, as the tests describe documents.
struct TextRun {
    TextRun(QString t = {}, bool b = false, bool i = false, bool u = false, int pt = 12, QColor c = {},
        Qt::Alignment a = Qt::AlignLeft, bool paragraph = false)
        : text(std::move(t)), bold(b), italic(i), underline(u), points(pt), color(c), alignment(a), newParagraph(paragraph)
    {
    }
    QString text;
    bool bold;
    bool italic;
    bool underline;
    int points;
    QColor color;   // invalid: the automatic colour
    Qt::Alignment alignment;
    bool newParagraph;   // starts a paragraph before its text

    bool operator==(const TextRun&) const = default;
};

std::ostream& operator<<(std::ostream& os, const TextRun& r)
{
    return os << '"' << r.text.toStdString() << "\" b" << r.bold << " i" << r.italic << " u" << r.underline << ' '
              << r.points << "pt " << (r.color.isValid() ? r.color.name().toStdString() : "auto") << " align"
              << int(r.alignment) << (r.newParagraph ? " new" : "");
}

void build(QTextDocument& document, const std::vector<TextRun>& runs)
{
    QTextCursor cursor(&document);
    bool first = true;
    for (const TextRun& r : runs) {
        if (r.newParagraph && !first)
            cursor.insertBlock();
        first = false;
        QTextBlockFormat block;
        block.setAlignment(r.alignment);
        cursor.setBlockFormat(block);
        QTextCharFormat f;
        f.setFontWeight(r.bold ? QFont::Bold : QFont::Normal);
        f.setFontItalic(r.italic);
        f.setFontUnderline(r.underline);
        f.setFontPointSize(r.points);
        f.setFontFamilies(QStringList{QStringLiteral("DejaVu Sans")});
        if (r.color.isValid())
            f.setForeground(r.color);
        cursor.insertText(r.text, f);
    }
}

std::vector<TextRun> runsOf(const QTextDocument& document)
{
    std::vector<TextRun> runs;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        bool firstInBlock = true;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat f = fragment.charFormat();
            TextRun r;
            r.text = fragment.text();
            r.bold = f.fontWeight() >= QFont::DemiBold;
            r.italic = f.fontItalic();
            r.underline = f.fontUnderline();
            r.points = int(f.fontPointSize());
            if (f.foreground().style() != Qt::NoBrush)
                r.color = f.foreground().color();
            r.alignment = block.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
            r.newParagraph = firstInBlock && block != document.begin();
            firstInBlock = false;
            runs.push_back(r);
        }
    }
    return runs;
}

struct RoundTripCase {
    const char* name;
    std::vector<TextRun> runs;
};

class RtfRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(RtfRoundTrip, ReaderReadsBackWhatTheWriterWrote)
{
    QTextDocument original;
    build(original, GetParam().runs);
    const QByteArray rtf = writeRtf(original);
    ASSERT_TRUE(looksLikeRtf(rtf));
    QTextDocument back;
    QString error;
    ASSERT_TRUE(readRtf(rtf, back, &error)) << error.toStdString();
    EXPECT_EQ(back.toPlainText(), original.toPlainText());
    EXPECT_EQ(runsOf(back), GetParam().runs) << rtf.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Documents, RtfRoundTrip,
    ::testing::Values(
        RoundTripCase{"PlainParagraph", {TextRun{"Hello world"}}},
        RoundTripCase{"StylesInOneParagraph",
                      {TextRun{"Tnx ", false}, TextRun{"QSO", true}, TextRun{" on ", false, true},
                       TextRun{"20m", false, false, true, 18}}},
        RoundTripCase{"ColoursAndSizes",
                      {TextRun{"red", false, false, false, 10, QColor(200, 0, 0)},
                       TextRun{"blue", true, false, false, 24, QColor(0, 0, 255)}, TextRun{"auto", false, false, false, 9}}},
        RoundTripCase{"AlignedParagraphs",
                      {TextRun{"left"}, TextRun{"centre", false, false, false, 12, {}, Qt::AlignHCenter, true},
                       TextRun{"right", false, false, false, 12, {}, Qt::AlignRight, true},
                       TextRun{"justified text", false, false, false, 12, {}, Qt::AlignJustify, true}}},
        RoundTripCase{"SpecialCharacters",
                      {TextRun{QStringLiteral("a\\b{c}d\ttab \u017E\u0161 \u0416\u4E2D \u00A0end")}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RtfReader, EmptyParagraphsInBetweenSurvive)
{
    QTextDocument original;
    original.setPlainText(QStringLiteral("one\n\nthree"));
    QTextDocument back;
    ASSERT_TRUE(readRtf(writeRtf(original), back));
    EXPECT_EQ(back.toPlainText(), QStringLiteral("one\n\nthree"));
}

TEST(RtfReader, HandWrittenSampleWithCodePageEscapesAndUnicode)
{
    // \'9a is s with caron in Windows-1250 (a Latin-1 reader would give something else);
    // \u1046 is Cyrillic Zhe with a one-character fallback that must not show.
    const QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Times New Roman;}}\r\n"
        "{\\colortbl ;\\red255\\green0\\blue0;}\r\n"
        "{\\*\\generator Some Editor;}\\viewkind4\\uc1\\pard\\qc\\f0\\fs20 Pozdrav \\'9ailjem \\u1046?X\\par\r\n"
        "\\pard\\ql{\\b\\cf1 bold red}{\\i\\f1\\fs28  italic}\\line next\\tab x\\par\r\n"
        "}";
    QTextDocument document;
    QString error;
    ASSERT_TRUE(readRtf(rtf, document, &error)) << error.toStdString();
    EXPECT_EQ(document.toRawText(),
              QStringLiteral("Pozdrav \u0161iljem \u0416X\u2029bold red italic\u2028next\tx"));
    ASSERT_EQ(document.blockCount(), 2);
    EXPECT_EQ(document.firstBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    const std::vector<TextRun> runs = runsOf(document);
    ASSERT_GE(runs.size(), 3u);
    EXPECT_EQ(runs[0].points, 10);
    EXPECT_EQ(runs[1], (TextRun{"bold red", true, false, false, 10, QColor(255, 0, 0), Qt::AlignLeft, true}));
    EXPECT_EQ(runs[2].text, QStringLiteral(" italic"));
    EXPECT_TRUE(runs[2].italic);
    EXPECT_FALSE(runs[2].bold);   // the group's bold ended with it
    EXPECT_EQ(runs[2].points, 14);
}

TEST(RtfReader, FontCharsetChoosesTheCodePageOfItsText)
{
    const QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset204 Arial Cyr;}}"
                           "\\f0 \\'e0 {\\f1 \\'e0}}";
    QTextDocument document;
    ASSERT_TRUE(readRtf(rtf, document));
    EXPECT_EQ(document.toPlainText(), QStringLiteral("\u00E0 \u0430"));
}

struct HostileCase {
    const char* name;
    QByteArray rtf;
    bool readable;
};

class RtfReaderHostile : public ::testing::TestWithParam<HostileCase> {};

TEST_P(RtfReaderHostile, FailsCleanlyOrReadsWhatIsThere)
{
    QTextDocument document;
    QString error;
    EXPECT_EQ(readRtf(GetParam().rtf, document, &error), GetParam().readable);
    EXPECT_EQ(error.isEmpty(), GetParam().readable);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, RtfReaderHostile,
    ::testing::Values(HostileCase{"NotRtf", "plain text", false}, HostileCase{"Empty", "", false},
                      HostileCase{"DeepNesting", "{\\rtf1" + QByteArray(100000, '{') + "x", false},
                      HostileCase{"BinaryPastTheEnd", "{\\rtf1 \\bin99999 abc}", false},
                      HostileCase{"NegativeBinary", "{\\rtf1 \\bin-5 abc}", false},
                      HostileCase{"Truncated", "{\\rtf1 abc \\'9", true},
                      HostileCase{"BrokenHexEscape", "{\\rtf1 a\\'zz b}", true},
                      HostileCase{"HugeParameters", "{\\rtf1\\fs99999999999999999999 \\uc99999999 \\u-99999999 x}", true},
                      HostileCase{"LongControlWord", "{\\rtf1\\" + QByteArray(5000, 'a') + " x}", true},
                      HostileCase{"UnbalancedClose", "{\\rtf1 a}}}}b", true},
                      HostileCase{"ColourIndexOutOfRange", "{\\rtf1{\\colortbl;}\\cf99 x}", true},
                      HostileCase{"TrailingBackslash", "{\\rtf1 x\\", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RtfWriter, UsesTheLayoutCodePageAndUnicodeForTheRest)
{
    const int saved = CodePage::layout().number();
    CodePage::setLayoutCodePage(1250);
    QTextDocument document;
    document.setPlainText(QStringLiteral("\u0161\u0416"));
    const QByteArray rtf = writeRtf(document);
    CodePage::setLayoutCodePage(saved);
    EXPECT_TRUE(rtf.contains("\\ansicpg1250"));
    EXPECT_TRUE(rtf.contains("\\'9a"));
    EXPECT_TRUE(rtf.contains("\\u1046?"));
    QTextDocument back;
    ASSERT_TRUE(readRtf(rtf, back));
    EXPECT_EQ(back.toPlainText(), QStringLiteral("\u0161\u0416"));
}

// --- layout

QTextDocument& paragraphs(QTextDocument& document, int count)
{
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines << QStringLiteral("Line %1").arg(i);
    document.setPlainText(lines.join(u'\n'));
    return document;
}

TEST(RichTextLayout, ReportsTheFirstLineThatDidNotFitAndContinuesFromIt)
{
    QTextDocument document;
    paragraphs(document, 10);
    const RichTextLayout layout(document, 96);
    ASSERT_EQ(layout.length(), document.characterCount() - 1);
    const QRectF small(0, 0, 400, 60);
    const int first = layout.format(nullptr, small, 0);
    ASSERT_GT(first, 0);
    ASSERT_LT(first, layout.length());
    EXPECT_EQ(document.findBlock(first).position(), first);   // whole lines only
    // Drawing gives the same answer as measuring.
    QImage image(400, 400, QImage::Format_ARGB32);
    QPainter painter(&image);
    EXPECT_EQ(layout.format(&painter, small, 0), first);
    // The rest continues where the first part stopped and ends at the end.
    int next = first;
    int steps = 0;
    while (next < layout.length() && steps++ < 20) {
        const int after = layout.format(nullptr, small, next);
        ASSERT_GT(after, next);
        next = after;
    }
    EXPECT_EQ(next, layout.length());
    EXPECT_EQ(layout.format(nullptr, QRectF(0, 0, 400, 4000), 0), layout.length());
    EXPECT_EQ(layout.format(nullptr, small, layout.length() + 5), layout.length());
}

TEST(RichTextLayout, LongParagraphsWrapAtTheRectangleWidth)
{
    QTextDocument document;
    document.setPlainText(QString(QStringLiteral("word ")).repeated(100));
    const RichTextLayout layout(document, 96);
    const int first = layout.format(nullptr, QRectF(0, 0, 200, 30), 0);
    EXPECT_GT(first, 0);
    EXPECT_LT(first, layout.length());
    EXPECT_EQ(document.characterAt(first - 1), QChar(u' '));   // broken after a word
}

// --- rich-text elements on cards

QByteArray rtfOf(const char* body)
{
    return QByteArray("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0 DejaVu Sans;}}\\f0\\fs24 ") + body + "}";
}

TEST(RichTextElement, PrintsItsFormattedContent)
{
    Harness h;
    auto* detail = h.band(TQRBandType::rbDetail, 1000);
    auto* rich = h.add<TQRDesignRichtext>(detail, 100, 100, 800, 300);
    rich->lines.lines = {QStringLiteral("stale plain text")};
    rich->richContent = rtfOf("Hello {\\b bold} world\\par second line\\par");
    ASSERT_EQ(h.run(QStringList{"S51A"}), 1);
    const QString drawn = h.texts(0).join(QString());
    EXPECT_EQ(drawn, QStringLiteral("Hello bold worldsecond line"));
    const DrawnItem* bold = h.findText(0, QStringLiteral("bold"));
    ASSERT_TRUE(bold);
    EXPECT_GT(bold->pos.x(), dots(100));
    EXPECT_GT(bold->pos.y(), dots(100));
    EXPECT_LT(bold->pos.y(), dots(160));
}

TEST(RichTextElement, PlainLinesPrintWhenThereIsNoRtf)
{
    Harness h;
    auto* detail = h.band(TQRBandType::rbDetail, 1000);
    auto* rich = h.add<TQRDesignRichtext>(detail, 100, 100, 800, 300);
    rich->lines.lines = {QStringLiteral("first"), QStringLiteral("second")};
    h.run(QStringList{"S51A"});
    EXPECT_EQ(h.texts(0), (QStringList{"first", "second"}));
    EXPECT_LT(h.findText(0, "first")->pos.y(), h.findText(0, "second")->pos.y());
}

TEST(RichTextElement, ParentRichEditContentIsPrintedInstead)
{
    Harness h;
    auto* detail = h.band(TQRBandType::rbDetail, 1000);
    auto* parent = h.add<TQRDesignRichtext>(detail, 0, 500, 900, 200);
    parent->richContent = rtfOf("from the parent");
    parent->setEnabled(false);
    auto* rich = h.add<TQRDesignRichtext>(detail, 0, 0, 900, 200);
    rich->richContent = rtfOf("own text");
    rich->parentRichEdit = parent;
    h.run(QStringList{"S51A"});
    EXPECT_EQ(h.texts(0), (QStringList{"from the parent"}));
}

TEST(RichTextElement, MacrosExpandInTheirFormattingAndDelMarksGo)
{
    Harness h;
    auto* detail = h.band(TQRBandType::rbDetail, 1000);
    auto* rich = h.add<TQRDesignRichtext>(detail, 0, 0, 900, 600);
    rich->richContent = rtfOf("To {\\b %%Call%%} now\\par   %DEL  \\par 73%DEL!%del\\par");
    h.run(QStringList{"S51A", "DL1XY"});
    EXPECT_EQ(h.texts(0), (QStringList{"To ", "S51A", " now", "73!%del"}));
    EXPECT_EQ(h.texts(1), (QStringList{"To ", "DL1XY", " now", "73!%del"}));
    // The element itself keeps its macros for the next run.
    EXPECT_TRUE(rich->richContent.contains("%%Call%%"));
}

TEST(RichTextElement, DatabaseRichTextPrintsEachRecordsRtfOrPlainTextWithoutMacros)
{
    Harness h;
    auto* detail = h.band(TQRBandType::rbDetail, 1000);
    auto* rich = h.add<TQRDesignDBRichtext>(detail, 0, 0, 900, 400);
    rich->dataSet = h.ws.table;
    rich->dataField = QStringLiteral("Opomba");
    auto rec = [](const char* remark) {
        return FixtureDataSet::Record{{"Call", QStringLiteral("X")}, {"Opomba", QString::fromLatin1(remark)}};
    };
    h.run({rec("{\\rtf1 {\\b Tnx} QSO}"), rec("plain %%Call%%\rnext")});
    ASSERT_EQ(h.pages.size(), 2u);
    EXPECT_EQ(h.texts(0), (QStringList{"Tnx", " QSO"}));
    EXPECT_EQ(h.texts(1), (QStringList{"plain %%Call%%", "next"}));
}

TEST(RichTextElement, LongTextContinuesOnTheNextPageWhenItStretches)
{
    Harness h;
    auto* detail = h.band(TQRBandType::rbDetail, 200);
    auto* rich = h.add<TQRDesignRichtext>(detail, 0, 0, 900, 200);
    rich->autoStretch = true;
    QByteArray body;
    QStringList expected;
    for (int i = 0; i < 40; ++i) {
        body += "Paragraph " + QByteArray::number(i) + "\\par ";
        expected << QStringLiteral("Paragraph %1").arg(i);
    }
    rich->richContent = rtfOf(body.constData());
    const int pages = h.run(QStringList{"S51A"});
    ASSERT_GE(pages, 2);
    QStringList all;
    for (int p = 0; p < pages; ++p) {
        EXPECT_FALSE(h.texts(p).isEmpty()) << "page " << p;
        all += h.texts(p);
    }
    // Every paragraph exactly once, in order, across the pages.
    EXPECT_EQ(all, expected);
    // The first page was filled by growing, not cut at the element's own height.
    EXPECT_GT(h.texts(0).size(), 10);
}

TEST(RichTextElement, WithoutStretchingTheTextIsCutAtTheElement)
{
    Harness h;
    auto* detail = h.band(TQRBandType::rbDetail, 300);
    auto* rich = h.add<TQRDesignRichtext>(detail, 0, 0, 900, 100);
    QByteArray body;
    for (int i = 0; i < 20; ++i)
        body += "Paragraph " + QByteArray::number(i) + "\\par ";
    rich->richContent = rtfOf(body.constData());
    h.run(QStringList{"A1", "A2"});
    ASSERT_EQ(h.pages.size(), 1u);
    const QStringList drawn = h.texts(0);
    ASSERT_FALSE(drawn.isEmpty());
    EXPECT_EQ(drawn.front(), QStringLiteral("Paragraph 0"));
    EXPECT_LT(drawn.size(), 20);
    EXPECT_EQ(drawn.count(QStringLiteral("Paragraph 0")), 2);   // each record starts afresh
}

} // namespace
} // namespace cm::test
