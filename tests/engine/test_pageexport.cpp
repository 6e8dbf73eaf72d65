#include "engine/output/pageexport.h"
#include "engine/qrerror.h"
#include "engine/pages/qrprinter.h"
#include "pagefixture.h"
#include "testfiles.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace cm {
namespace {

using test::generatePages;

struct PdfInfo {
    int pages = -1;
    double width = 0;    // points
    double height = 0;
};

// Reads a PDF back with poppler's pdfinfo; pages < 0 when it is not there.
PdfInfo pdfInfo(const QString& file)
{
    PdfInfo info;
    if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
        return info;
    QProcess process;
    process.start(QStringLiteral("pdfinfo"), {file});
    process.waitForFinished(30000);
    const QString text = QString::fromUtf8(process.readAllStandardOutput());
    const auto pages = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(text);
    const auto size = QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+) pts")).match(text);
    if (pages.hasMatch())
        info.pages = pages.captured(1).toInt();
    if (size.hasMatch()) {
        info.width = size.captured(1).toDouble();
        info.height = size.captured(2).toDouble();
    }
    return info;
}

struct PdfCase {
    const char* name;
    TQRPaperSize paper;
    TQROrientation orientation;
    double width;    // points
    double height;
};

TEST(PageExport, PdfHasEveryPageOnTheReportsPaper)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
        GTEST_SKIP() << "pdfinfo (poppler-utils) is not installed";
    const PdfCase cases[] = {
        {"A4", TQRPaperSize::A4, TQROrientation::poPortrait, 595.28, 841.89},
        {"A4 landscape", TQRPaperSize::A4, TQROrientation::poLandscape, 841.89, 595.28},
        {"Letter", TQRPaperSize::Letter, TQROrientation::poPortrait, 612, 792},
        {"card 140 x 90 mm", TQRPaperSize::Custom, TQROrientation::poPortrait, 396.85, 255.12},
    };
    QTemporaryDir dir;
    for (const PdfCase& c : cases) {
        SCOPED_TRACE(c.name);
        TQRPrinter printer;
        TQRPageSetup setup;
        setup.paperSize = c.paper;
        setup.orientation = c.orientation;
        setup.paperWidth = 1400;
        setup.paperLength = 900;
        printer.setPageSetup(setup);
        generatePages(printer, 3);
        const QString file = dir.filePath(QStringLiteral("cards.pdf"));
        EXPECT_EQ(exportPdf(printer, file), 3);
        const PdfInfo info = pdfInfo(file);
        EXPECT_EQ(info.pages, 3);
        EXPECT_NEAR(info.width, c.width, 0.5);
        EXPECT_NEAR(info.height, c.height, 0.5);
    }
}

TEST(PageExport, AStoppedPdfExportKeepsTheOldFile)
{
    QTemporaryDir dir;
    TQRPrinter printer;
    generatePages(printer, 3);
    const QString file = dir.filePath(QStringLiteral("cards.pdf"));
    ASSERT_EQ(exportPdf(printer, file), 3);
    const qint64 size = QFileInfo(file).size();
    EXPECT_EQ(exportPdf(printer, file, [](int page, int) { return page < 2; }), 0);
    EXPECT_EQ(pdfInfo(file).pages, 3);
    EXPECT_EQ(QFileInfo(file).size(), size);
    // Stopped after the last page: everything was written.
    EXPECT_EQ(exportPdf(printer, file, [](int page, int count) { return page < count; }), 3);
}

// Stopped after the first page, or failing at the third name (a folder is
// in its way): no image of the export is left, the earlier file is kept.
TEST(PageExport, AStoppedImageExportLeavesNoHalfSet)
{
    QTemporaryDir dir;
    TQRPrinter printer;
    generatePages(printer, 4);
    const QString first = dir.filePath(QStringLiteral("card-1.png"));
    test::writeFile(first, "old");
    ImageExportOptions options;
    options.dpi = 30;
    const QStringList names{first, dir.filePath("card-2.png"), dir.filePath("card-3.png"), dir.filePath("card-4.png")};
    EXPECT_EQ(exportImageFiles(printer, names, options, [](int page, int) { return page < 1; }), 0);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"card-1.png"});
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("card-3.png")));
    EXPECT_THROW(exportImageFiles(printer, names, options), EQRError);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"card-1.png"});
    EXPECT_EQ(test::readFile(first), "old");
}

TEST(PageExport, ImagesHaveTheChosenResolution)
{
    QTemporaryDir dir;
    TQRPrinter printer;
    generatePages(printer, 2);
    const QString pattern = dir.filePath(QStringLiteral("card-##.png"));
    EXPECT_EQ(exportImages(printer, pattern, TQRImageFormat::Png, 100), 2);
    for (int n = 1; n <= 2; ++n) {
        QImage image(dir.filePath(QStringLiteral("card-0%1.png").arg(n)));
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), QSize(827, 1169));   // A4 at 100 dpi
        EXPECT_EQ(image.dotsPerMeterX(), 3937);
        // The page's box starts 10 mm in and is n × 10 mm wide.
        EXPECT_EQ(qGray(image.pixel(45, 41)), 0);
        EXPECT_EQ(qGray(image.pixel(20, 20)), 255);
        EXPECT_EQ(qGray(image.pixel(39 + 40 * n + 4, 41)), 255);
    }
    EXPECT_EQ(exportImages(printer, dir.filePath(QStringLiteral("card-#.jpg")), TQRImageFormat::Jpeg, 50), 2);
    QImage jpeg(dir.filePath(QStringLiteral("card-2.jpg")));
    EXPECT_EQ(jpeg.size(), QSize(413, 585));
}

TEST(PageExport, RefusesWhatItCannotWrite)
{
    QTemporaryDir dir;
    TQRPrinter printer;
    EXPECT_THROW(exportPdf(printer, dir.filePath(QStringLiteral("none.pdf"))), EQRError);   // no run yet
    generatePages(printer, 2);
    EXPECT_THROW(exportImages(printer, dir.filePath(QStringLiteral("card.png")), TQRImageFormat::Png, 100), EQRError);
    EXPECT_THROW(exportImages(printer, dir.filePath(QStringLiteral("c#.png")), TQRImageFormat::Png, 0), EQRError);
    EXPECT_THROW(exportImages(printer, dir.filePath(QStringLiteral("c#.png")), TQRImageFormat::Png, 5000), EQRError);
    EXPECT_THROW(exportPdf(printer, dir.filePath(QStringLiteral("no/such/dir/x.pdf"))), EQRError);
}

TEST(PageExport, PageNumbersFillTheLastRunOfHashes)
{
    struct Case {
        const char* pattern;
        int page;
        const char* name;
    };
    const Case cases[] = {
        {"card-#.png", 7, "card-7.png"},
        {"card-###.png", 7, "card-007.png"},
        {"card-#.png", 1234, "card-1234.png"},
        {"run#2/card-##.jpg", 3, "run#2/card-03.jpg"},
        {"single.png", 1, "single.png"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pageFileName(QString::fromLatin1(c.pattern), c.page), QString::fromLatin1(c.name)) << c.pattern;
}

} // namespace
} // namespace cm
