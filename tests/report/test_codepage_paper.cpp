#include "report/codepage.h"
#include "report/papersize.h"
#include "report/rounding.h"

#include <QLocale>

#include <gtest/gtest.h>

using namespace cm;

TEST(CodePage, RoundTripsWesternAndCentralEuropeanText)
{
    const CodePage cp1250(1250);
    const QString slovenian = QStringLiteral("Čopova ulica, Žalec, Šoštanj");
    const QByteArray bytes = cp1250.encode(slovenian);
    EXPECT_EQ(bytes.size(), slovenian.size());
    EXPECT_EQ(cp1250.decode(bytes), slovenian);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xC8);   // Č in 1250

    const CodePage cp1252(1252);
    EXPECT_EQ(cp1252.decode("\x80\xE9"), QStringLiteral("€é"));
    EXPECT_EQ(cp1252.encode(QStringLiteral("Č")), QByteArray("?"));
    EXPECT_FALSE(cp1252.canEncode(QStringLiteral("Č")));
    EXPECT_EQ(CodePage(99999).number(), 1252);
}

TEST(CodePage, DefaultFollowsTheLanguage)
{
    EXPECT_EQ(CodePage::defaultForLocale(QLocale(QLocale::Slovenian)), 1250);
    EXPECT_EQ(CodePage::defaultForLocale(QLocale(QLocale::Russian)), 1251);
    EXPECT_EQ(CodePage::defaultForLocale(QLocale(QLocale::German)), 1252);
}

TEST(PaperSize, TableEntries)
{
    EXPECT_EQ(paperCode(TQRPaperSize::Custom), 256);
    EXPECT_EQ(paperCode(TQRPaperSize::A4), 9);
    EXPECT_DOUBLE_EQ(paperDimensions(TQRPaperSize::Note).lengthMM, 279.0);
    EXPECT_EQ(paperSizeName(TQRPaperSize::Env12), QStringLiteral("Envelope #12 4 \\276 x 11"));
    EXPECT_EQ(paperSizeName(TQRPaperSize::Executive), QStringLiteral("Executive7 1/2 x 10 in"));
    EXPECT_EQ(paperSizeIdent(TQRPaperSize::qr10X14), QStringLiteral("qr10X14"));
}

TEST(Rounding, HalvesGoToTheEvenNeighbour)
{
    EXPECT_EQ(rnd(0.5), 0);
    EXPECT_EQ(rnd(1.5), 2);
    EXPECT_EQ(rnd(2.5), 2);
    EXPECT_EQ(rnd(-2.5), -2);
    EXPECT_EQ(rnd(2.5000001), 3);
    EXPECT_EQ(trunc64(-2.7L), -2);
}
