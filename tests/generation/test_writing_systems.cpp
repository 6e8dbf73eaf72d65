// Names in every writing system print: the fonts on the machine, through the
// font fallback, have a glyph for each letter, and the PDF carries those
// fonts and the text.
#include "engine/output/pageexport.h"
#include "harness.h"

#include <QGlyphRun>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextLayout>
#include <gtest/gtest.h>

namespace cm::test {
namespace {

struct Sample {
    const char* script;
    const char* name;
};

const Sample samples[] = {
    {"Chinese", "王小明"}, {"Japanese", "山田たろう"}, {"Korean", "김민준"}, {"Arabic", "محمد"},
    {"Hebrew", "שלום"},    {"Cyrillic", "Иван"},       {"Greek", "Γιώργος"},
};

// The characters of the text that no font in the fallback chain of the family has.
QString missingGlyphs(const QString& text, const QString& family)
{
    QTextLayout layout(text, QFont(family, 12));
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    int missing = 0;
    for (const QGlyphRun& run : layout.glyphRuns())
        for (quint32 glyph : run.glyphIndexes())
            missing += glyph == 0;
    return missing ? QStringLiteral("%1 glyph(s) missing").arg(missing) : QString();
}

QString runTool(const QString& tool, const QStringList& args)
{
    QProcess p;
    p.start(tool, args);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

TEST(WritingSystems, EveryScriptHasGlyphsInTheLayoutFonts)
{
    for (const char* family : {"Arial", "Times New Roman", "Courier New"})
        for (const Sample& s : samples)
            EXPECT_EQ(missingGlyphs(QString::fromUtf8(s.name), QString::fromLatin1(family)), QString())
                << s.script << " in " << family;
}

TEST(WritingSystems, NamesPrintIntoThePdfWithTheirFontsEmbedded)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    Harness h;
    auto* detail = h.band(TQRBandType::rbDetail, 1000);
    Extended top = 20;
    for (const Sample& s : samples) {
        h.label(detail, QString::fromUtf8(s.name), 50, top, 600, 100);
        top += 130;
    }
    ASSERT_EQ(h.run(QStringList{QStringLiteral("S51A")}), 1);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("names.pdf"));
    ASSERT_EQ(exportPdf(h.output, pdf), 1);

    // Arabic comes back in its presentation forms, right-to-left runs between
    // direction marks: compatibility normalisation and dropping the marks
    // give the letters as stored.
    QString text = runTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")})
                       .normalized(QString::NormalizationForm_KC);
    text.remove(QRegularExpression(QStringLiteral("[\\x{200e}\\x{200f}\\x{202a}-\\x{202e}\\s]")));
    for (const Sample& s : samples)
        EXPECT_TRUE(text.contains(QString::fromUtf8(s.name))) << s.script << ": " << text.toStdString();

    // pdffonts: a line per font, the "emb" column before "sub", "uni" and the object id.
    const QString fonts = runTool(QStringLiteral("pdffonts"), {pdf});
    const QRegularExpression fontLine(QStringLiteral("^(\\S+).*\\s(yes|no)\\s+(?:yes|no)\\s+(?:yes|no)\\s+\\d+\\s+\\d+\\s*$"),
                                      QRegularExpression::MultilineOption);
    QStringList embedded;
    for (auto it = fontLine.globalMatch(fonts); it.hasNext();) {
        const auto m = it.next();
        EXPECT_EQ(m.captured(2), QStringLiteral("yes")) << "not embedded: " << m.captured(1).toStdString();
        embedded << m.captured(1);
    }
    EXPECT_TRUE(embedded.join(u' ').contains(QStringLiteral("WenQuanYi"))) << fonts.toStdString();
}

} // namespace
} // namespace cm::test
