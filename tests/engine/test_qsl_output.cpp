// File names made from QSOs, the sheets of labels and printer calibrations.
#include "engine/output/cardfilenames.h"
#include "engine/generate/labelsheets.h"
#include "engine/output/printcalibration.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace cm;

TEST(CardFileNames, ValuesAreMadeSafeForFiles)
{
    const struct {
        const char* value;
        const char* safe;
    } cases[] = {{"VP2E/W1AW", "VP2E-W1AW"}, {"a\\b:c*d?e\"f<g>h|i", "a-b-c-d-e-f-g-h-i"},
                 {"..", "_"},                {"", "_"},
                 {" .W1AW. ", "W1AW"},       {"20M\n", "20M"},
                 {"Ávila", "Ávila"}};
    for (const auto& c : cases)
        EXPECT_EQ(fileNameSafe(QString::fromUtf8(c.value)), QString::fromUtf8(c.safe)) << c.value;
}

TEST(CardFileNames, PatternsNameKnownFieldsOnly)
{
    const auto known = [](const QString& f) { return f == u"Call" || f == u"Band"; };
    QString error;
    const auto p = CardFileNamePattern::parse(QStringLiteral("out/{Call}_{Band}.jpg"), known, &error);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->fields(), (QStringList{"Call", "Band"}));
    EXPECT_EQ(p->nameFor([](const QString& f) { return f == u"Call" ? QStringLiteral("VP2E/W1AW") : QStringLiteral("20M"); }),
              QStringLiteral("out/VP2E-W1AW_20M.jpg"));
    EXPECT_FALSE(CardFileNamePattern::parse(QStringLiteral("{Cal}.png"), known, &error));
    EXPECT_TRUE(error.contains(u"{Cal}")) << error.toStdString();
    EXPECT_FALSE(CardFileNamePattern::parse(QStringLiteral("{Call.png"), known, &error));
    EXPECT_FALSE(CardFileNamePattern::parse(QStringLiteral("card-###.png"), known, &error)->hasFields());
}

TEST(CardFileNames, RepeatedNamesAreNumbered)
{
    EXPECT_EQ(uniqueFileNames({"W1AW.png", "w1aw.png", "S51A.png", "W1AW.png", "W1AW-2.png", "noext", "noext"}),
              (QStringList{"W1AW.png", "w1aw-3.png", "S51A.png", "W1AW-4.png", "W1AW-2.png", "noext", "noext-2"}));
}

TEST(LabelSheets, TheShippedTableReadsWholeAndNamesLinesThatDoNot)
{
    ASSERT_GE(shippedLabelSheets().size(), 5u);
    const auto sheet = findLabelSheet(QStringLiteral("a4-70x36-24"));
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->positions(), 24);
    EXPECT_DOUBLE_EQ(sheet->paperLengthMm, 297);
    QStringList problems;
    const auto read = parseLabelSheets(QStringLiteral("# comment\n"
                                                      "ok; 100x100; 2; 2; 40; 40; 50; 50; 5; 5\n"
                                                      "wide; A4; 3; 1; 80; 40; 80; 40; 0; 0\n"
                                                      "short; A4; 1\n"
                                                      "pitch; A4; 2; 2; 40; 40; 30; 40; 0; 0\n"),
                                       &problems);
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].name, QStringLiteral("ok"));
    ASSERT_EQ(problems.size(), 3);
    EXPECT_TRUE(problems[0].startsWith(u"line 3: the labels do not fit")) << problems[0].toStdString();
    EXPECT_TRUE(problems[1].startsWith(u"line 4:"));
    EXPECT_TRUE(problems[2].startsWith(u"line 5:"));
}

TEST(PrinterCalibration, StoredPerPrinterNameAndCheckedOnTheWayIn)
{
    QTemporaryDir dir;
    const QString settings = dir.filePath("Cardmint.ini");
    QString error;
    ASSERT_TRUE(writeCalibration(settings, QStringLiteral("HP LaserJet/2 [Office]"), {1.5, -2, 101}, &error));
    ASSERT_TRUE(writeCalibration(settings, QStringLiteral("Card printer"), {0, 3, 100}, &error));
    const auto c = readCalibration(settings, QStringLiteral("HP LaserJet/2 [Office]"));
    ASSERT_TRUE(c);
    EXPECT_DOUBLE_EQ(c->offsetXMm, 1.5);
    EXPECT_DOUBLE_EQ(c->offsetYMm, -2);
    EXPECT_DOUBLE_EQ(c->scalePercent, 101);
    EXPECT_EQ(readCalibrations(settings).size(), 2u);
    EXPECT_FALSE(readCalibration(settings, QStringLiteral("HP LaserJet")));

    const struct {
        PageCalibration c;
        bool ok;
    } cases[] = {{{0, 0, 50}, true},    {{0, 0, 150}, true}, {{0, 0, 49.9}, false}, {{0, 0, 151}, false},
                 {{51, 0, 100}, false}, {{0, -50, 100}, true}, {{0, 0, std::nan("")}, false}};
    for (const auto& k : cases) {
        EXPECT_EQ(calibrationProblem(k.c).isEmpty(), k.ok) << k.c.offsetXMm << " " << k.c.offsetYMm << " " << k.c.scalePercent;
        EXPECT_EQ(writeCalibration(settings, QStringLiteral("P"), k.c, &error), k.ok);
    }
    ASSERT_TRUE(removeCalibration(settings, QStringLiteral("Card printer"), &error));
    EXPECT_FALSE(readCalibration(settings, QStringLiteral("Card printer")));
    EXPECT_TRUE(readCalibration(settings, QStringLiteral("HP LaserJet/2 [Office]")));
}

TEST(PrinterCalibration, ShiftsAndScalesThePage)
{
    const QRectF t = calibratedTarget(QRectF(0, 0, 1000, 500), {2, -1, 90}, 10);
    EXPECT_EQ(t, QRectF(20, -10, 900, 450));
    EXPECT_EQ(calibratedTarget(QRectF(5, 5, 10, 10), {}, 10), QRectF(5, 5, 10, 10));
}
