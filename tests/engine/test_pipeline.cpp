// Generation and output as two stages: pages handed over to a second thread
// give the same report file, PDF and images as pages stored first and
// written after the run; a failing or cancelled output stops both stages.
// Pages made by the page recorder are byte for byte the pictures QPicture
// records and ends itself.
#include "engine/generate/generator.h"
#include "engine/generate/modelaccess.h"
#include "engine/output/imagefileset.h"
#include "engine/output/pageexport.h"
#include "engine/output/pagewriters.h"
#include "engine/pages/pagereplay.h"
#include "engine/pages/qrprinter.h"
#include "layout/demolayouts.h"
#include "layout/loader.h"
#include "layout/workspace.h"
#include "logbook/demolog.h"
#include "logbook/logsource.h"
#include "report/design.h"
#include "report/report.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <numeric>
#include <thread>

namespace cm {
namespace {

constexpr int Cards = 1000;

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The run's date is the only part of a report file that differs between two runs.
QByteArray withoutDate(QByteArray qrp)
{
    if (qrp.size() >= 24)
        qrp.replace(16, 8, QByteArray(8, '\0'));
    return qrp;
}

QByteArray withoutCreationDate(QByteArray pdf)
{
    static const QRegularExpression date(QStringLiteral("/CreationDate \\(D:[0-9Z+'-]*\\)"));
    return QString::fromLatin1(pdf).replace(date, QStringLiteral("/CreationDate ()")).toLatin1();
}

class PipelineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        const QString log = dir_.filePath(QStringLiteral("Log.db"));
        QString error;
        ASSERT_TRUE(writeDemoLogbook(log, Cards, 3, &error)) << error.toStdString();
        buildDemoCard(ws_);
        // A picture on every card: pages carry it once, as stand-ins, on both paths.
        auto* image = new TQRDesignImage(&ws_.window);
        image->setName(QStringLiteral("Logo"));
        image->setParentControl(ws_.report->firstBandOfType(TQRBandType::rbDetail));
        image->size.values = {150, 1150, 80, 150};
        QImage logo(48, 48, QImage::Format_RGB32);
        logo.fill(Qt::white);
        QPainter p(&logo);
        p.setBrush(Qt::darkBlue);
        p.drawEllipse(4, 4, 40, 40);
        p.end();
        image->picture.loadFromImage(logo);
        auto source = openLogSource(log, &error);
        ASSERT_TRUE(source) << error.toStdString();
        ws_.table->setSource(std::move(source));
    }

    QString path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }

    void setCompression(bool on)
    {
        if (on)
            ws_.report->options.bits |= Compression;
        else
            ws_.report->options.bits &= ~uint32_t(Compression);
    }

    // The pages of one run, stored first.
    void generateStored(TQRPrinter& pages)
    {
        ReportGenerator generator(*ws_.report, pages);
        ScopedModelAccess access(&generator);
        ASSERT_TRUE(generator.generate());
        ASSERT_EQ(pages.storedPages(), Cards);
    }

    // One run through the two stages; returns the pages the output stage wrote.
    int generatePipelined(std::unique_ptr<PageWriter> writer, bool storedBytes,
                          const std::function<void(ReportGenerator&, int page)>& onRecord = {})
    {
        TQRPrinter pages;
        PageHandOver handOver(storedBytes, 2);   // small: generation waits on output often
        pages.setPageHandOver(&handOver);
        PageOutputStage stage(handOver, std::move(writer));
        ReportGenerator generator(*ws_.report, pages);
        if (onRecord)
            generator.setRecordPrinted([&](int, int page) { onRecord(generator, page); });
        ScopedModelAccess access(&generator);
        generator.generate();
        lastRunPages_ = pages.pageCount();
        EXPECT_EQ(pages.storedPages(), 0);   // pages went to the output stage only
        return stage.finish();
    }

    QTemporaryDir dir_;
    Workspace ws_;
    int lastRunPages_ = 0;
};

TEST_F(PipelineTest, HandedOverPagesGiveTheSameFilesAsStoredPages)
{
    for (const bool compressed : {false, true}) {
        SCOPED_TRACE(compressed ? "compressed" : "uncompressed");
        setCompression(compressed);
        {
            TQRPrinter stored;
            generateStored(stored);
            stored.writeReportFile(path("stored.qrp"));
            ASSERT_EQ(exportPdf(stored, path("stored.pdf")), Cards);
        }
        EXPECT_EQ(generatePipelined(std::make_unique<ReportFileWriter>(path("piped.qrp")), true), Cards);
        EXPECT_EQ(generatePipelined(std::make_unique<PdfPageWriter>(path("piped.pdf"), PageCalibration()), false),
                  Cards);

        const QByteArray storedQrp = readAll(path("stored.qrp"));
        ASSERT_GT(storedQrp.size(), Cards * 100);
        EXPECT_TRUE(withoutDate(storedQrp) == withoutDate(readAll(path("piped.qrp"))));
        const QByteArray storedPdf = readAll(path("stored.pdf"));
        ASSERT_TRUE(storedPdf.startsWith("%PDF"));
        EXPECT_TRUE(withoutCreationDate(storedPdf) == withoutCreationDate(readAll(path("piped.pdf"))));
    }
}

// Images drawn by the output stage's workers, which share each page's
// picture, have the pixels of images drawn from the stored pages.
TEST_F(PipelineTest, HandedOverPagesGiveTheSameImagesAsStoredPages)
{
    ASSERT_TRUE(QDir().mkpath(path("stored")));
    ASSERT_TRUE(QDir().mkpath(path("piped")));
    auto names = [this](const char* folder) {
        QStringList list;
        for (int n = 1; n <= Cards; ++n)
            list << dir_.filePath(QStringLiteral("%1/card-%2.png").arg(QString::fromLatin1(folder)).arg(n));
        return list;
    };
    ImageExportOptions options;
    options.dpi = 40;
    {
        TQRPrinter stored;
        generateStored(stored);
        ASSERT_EQ(exportImageFiles(stored, names("stored"), options), Cards);
    }
    ImageFileSet files;
    const QString folder = path("piped");
    EXPECT_EQ(generatePipelined(std::make_unique<ImagePageWriter>(files, options, [folder](int) { return folder; }), false),
              Cards);
    files.commit(names("piped"));
    const QStringList stored = names("stored");
    const QStringList piped = names("piped");
    for (int n = 0; n < Cards; ++n) {
        const QImage a(piped[n]);
        ASSERT_FALSE(a.isNull()) << n;
        ASSERT_EQ(a, QImage(stored[n])) << n;
    }
    // The picture is on the cards: its blue in the top right corner.
    const QImage first = QImage(stored[0]).convertToFormat(QImage::Format_RGB32);
    bool blue = false;
    for (int y = 0; y < first.height() / 4; ++y)
        for (int x = first.width() * 3 / 4; x < first.width(); ++x)
            blue = blue || qBlue(first.pixel(x, y)) > 2 * qRed(first.pixel(x, y)) + 50;
    EXPECT_TRUE(blue);
}

// Every page of a run as the page list holds it.
std::vector<QByteArray> pagesOf(const TQRPrinter& printer)
{
    std::vector<QByteArray> pages;
    for (int n = 1; n <= printer.storedPages(); ++n)
        pages.push_back(printer.pageList().pageData(n));
    return pages;
}

TEST_F(PipelineTest, RecordedPagesAreThePicturesQPictureRecords)
{
    // The fixture's card (with a picture on it) and every shipped layout,
    // over the demo logbook.
    const QStringList layouts = {QString(), QStringLiteral(CARDMINT_SOURCE_DIR "/demo/Demo1.qr2"),
                                 QStringLiteral(CARDMINT_SOURCE_DIR "/demo/MultiQSO.qr2"),
                                 QStringLiteral(CARDMINT_SOURCE_DIR "/demo/Template.qr2")};
    for (const QString& layout : layouts) {
        SCOPED_TRACE(layout.isEmpty() ? std::string("fixture card") : layout.toStdString());
        if (!layout.isEmpty()) {
            ASSERT_TRUE(ws_.designer->loadReport(layout));
            QString error;
            auto source = openLogSource(path("Log.db"), &error);
            ASSERT_TRUE(source) << error.toStdString();
            ws_.table->setSource(std::move(source));
        }
        std::vector<QByteArray> recorded, pictures;
        for (const bool throughPicture : {false, true}) {
            TQRPrinter pages;
            pages.setRecordThroughPicture(throughPicture);
            ReportGenerator generator(*ws_.report, pages);
            ScopedModelAccess access(&generator);
            ASSERT_TRUE(generator.generate());
            (throughPicture ? pictures : recorded) = pagesOf(pages);
        }
        ASSERT_GT(recorded.size(), size_t(Cards / 10));
        ASSERT_EQ(recorded.size(), pictures.size());
        for (size_t n = 0; n < recorded.size(); ++n)
            ASSERT_TRUE(recorded[n] == pictures[n]) << "page " << n + 1;
        // The recorder's pages are sound pictures.
        QPicture first;
        EXPECT_TRUE(pictureFromData(recorded.front(), first));
    }
}

TEST(PageHandOver, EveryPageArrivesInOrderWhateverTheQueueHolds)
{
    // Fewer pages than a batch, a few batches and a rest, and queues of one
    // page up: the output stage takes every page, in order, then sees the end.
    for (const int capacity : {1, 2, 16}) {
        for (const int pages : {0, 5, 100}) {
            SCOPED_TRACE(testing::Message() << capacity << " pages queued, " << pages << " pages");
            PageHandOver handOver(false, capacity);
            std::thread generation([&] {
                for (int n = 1; n <= pages; ++n) {
                    FinishedPage page;
                    page.number = n;
                    EXPECT_TRUE(handOver.put(std::move(page)));
                }
                handOver.close();
            });
            std::vector<int> taken;
            while (std::optional<FinishedPage> page = handOver.take())
                taken.push_back(page->number);
            generation.join();
            std::vector<int> expected(static_cast<size_t>(pages));
            std::iota(expected.begin(), expected.end(), 1);
            EXPECT_EQ(taken, expected);
        }
    }
}

TEST_F(PipelineTest, FailingOutputStopsGenerationAndWritesNothing)
{
    // The PDF cannot be created: the output stage fails on the first page,
    // and generation stops soon after instead of making every card.
    const QString missing = path("no such folder/cards.pdf");
    try {
        generatePipelined(std::make_unique<PdfPageWriter>(missing, PageCalibration()), false);
        ADD_FAILURE() << "the failure of the output stage was not reported";
    } catch (const EQRError& error) {
        EXPECT_TRUE(error.message().contains(QStringLiteral("Cannot create")));
    }
    EXPECT_LT(lastRunPages_, Cards / 2);
    EXPECT_FALSE(QFile::exists(missing));
}

// A preview's pages go through the output stage back into its own list:
// the same pages as stored by the run itself, each counted as available
// only once it is stored, compressed or not.
TEST_F(PipelineTest, PagesHandedBackToTheOwnListAreTheStoredPages)
{
    for (bool compressed : {false, true}) {
        setCompression(compressed);
        TQRPrinter stored;
        generateStored(stored);
        TQRPrinter pages;
        PageHandOver handOver(true, 2);
        pages.handPagesToOwnList(&handOver);
        {
            PageOutputStage stage(handOver, std::make_unique<OwnListWriter>(pages));
            ReportGenerator generator(*ws_.report, pages);
            generator.setRecordPrinted([&](int, int) {
                EXPECT_LE(pages.availablePages(), pages.storedPages());   // never one not yet stored
            });
            ScopedModelAccess access(&generator);
            ASSERT_TRUE(generator.generate());
            EXPECT_EQ(stage.finish(), Cards);
        }
        pages.handPagesToOwnList(nullptr);
        EXPECT_EQ(pages.availablePages(), Cards);
        ASSERT_EQ(pages.storedPages(), Cards) << compressed;
        for (int n = 1; n <= Cards; n += 97)
            EXPECT_EQ(pages.pageList().pageData(n), stored.pageList().pageData(n)) << n;
    }
}

TEST_F(PipelineTest, CancelStopsBothStagesAndKeepsTheOldFile)
{
    const QString out = path("cards.qrp");
    {
        QFile old(out);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old contents");
    }
    const int written = generatePipelined(std::make_unique<ReportFileWriter>(out), true,
                                          [](ReportGenerator& generator, int page) {
                                              if (page == 100)
                                                  generator.requestCancel();
                                          });
    EXPECT_LE(written, 100);
    EXPECT_LE(lastRunPages_, 101);
    EXPECT_EQ(readAll(out), QByteArray("old contents"));
}

} // namespace
} // namespace cm
