// The document's load and save, settings, output preparation and recovery copies.
#include "designerfixture.h"
#include "designer/recoverystore.h"
#include "engine/pages/qrprinter.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPicture>
#include <QSettings>
#include <QTemporaryDir>

namespace cm::test {
namespace {

using DocumentTest = DesignerTest;

TEST_F(DocumentTest, FailedLoadKeepsFileNameAndReport)
{
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("good.QR2"));
    addBand(TQRBandType::rbDetail, 50);
    ASSERT_TRUE(doc.save(good));
    EXPECT_EQ(doc.fileName(), good);
    EXPECT_FALSE(doc.isModified());

    const QString bad = dir.filePath(QStringLiteral("bad.QR2"));
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a layout");
    f.close();
    doc.setModified(true);
    const QByteArray before = doc.layoutBytes();
    EXPECT_FALSE(doc.load(bad));
    // The message, then its cause.
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_TRUE(boxes.shown[0].startsWith(QStringLiteral("error: Error in report file! ("))) << boxes.shown[0].toStdString();
    EXPECT_EQ(doc.fileName(), good);
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(doc.layoutBytes(), before);

    EXPECT_TRUE(doc.load(good));
    EXPECT_FALSE(doc.isModified());
}

TEST_F(DocumentTest, FailedSaveKeepsModifiedAndFileName)
{
    doc.setFileName(QStringLiteral("/nonexistent-folder/card.QR2"));
    doc.setModified(true);
    EXPECT_FALSE(doc.save(QStringLiteral("/nonexistent-folder/other.QR2")));
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_TRUE(boxes.shown[0].startsWith(QStringLiteral("error: Error writing /nonexistent-folder/other.QR2! (")))
        << boxes.shown[0].toStdString();
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(doc.fileName(), QStringLiteral("/nonexistent-folder/card.QR2"));
}

TEST_F(DocumentTest, LoadReturnsTheDesignStateToNormal)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.QR2"));
    ASSERT_TRUE(doc.save(file));
    core.setDesignState(DesignState::Shape);
    ASSERT_TRUE(doc.load(file));
    EXPECT_EQ(core.designState(), DesignState::Normal);
}

TEST_F(DocumentTest, SaveSettingsWritesTheDesignerIni)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("DESIGNER.INI"));
    core.options().gridSizeX = 8;
    core.options().showBandNames = false;
    report().setUnits(TQRUnit::Inches);
    core.saveSettings(file);
    QSettings ini(file, QSettings::IniFormat);
    const std::pair<const char*, QVariant> expected[] = {
        {"User/AllowBlockEdit", 1},          {"User/AllowNewCalcFields", 1},
        {"User/AllowSQLEdit", 1},            {"User/QueriesOnlyInDBSetup", 0},
        {"User/QueriesOnlyInExpert", 0},     {"Editor/GridSizeX", 8},
        {"Editor/GridSizeY", 4},             {"Editor/KeyboardMoveX", 1},
        {"Editor/KeyboardMoveY", 1},         {"Display/ComponentFrameColor", 0x808080},
        {"Display/ComponentFrameStyle", 2},  {"Display/ShowComponentFrames", 0},
        {"Display/ShowBandNames", 0},        {"Display/BandNameFont.Color", 0xC0C0C0},
        {"Display/Report.Page.Ruler", 1},    {"Display/Units", int(TQRUnit::Inches)},
    };
    for (const auto& [key, value] : expected)
        EXPECT_EQ(ini.value(QLatin1String(key)).toInt(), value.toInt()) << key;
    EXPECT_EQ(ini.allKeys().size(), qsizetype(std::size(expected)));

    core.saveSettings(dir.filePath(QStringLiteral("missing/folder/DESIGNER.INI")));   // ignored
}

TEST_F(DocumentTest, PrepareAddsAndFinishRemovesTheHiddenSummaryBand)
{
    TQRDesignBand* footer = addBand(TQRBandType::rbPageFooter, 20);
    TQRDesignBand* detail = addBand(TQRBandType::rbDetail, 40);
    auto* follower = addElement<TQRDesignLabel>(detail, QRect(0, 0, 10, 10));
    auto* other = addElement<TQRDesignLabel>(detail, QRect(0, 0, 10, 10));
    follower->d.fixBottomPosition = true;
    const size_t bands = report().bandList().size();

    ASSERT_TRUE(core.prepare());   // no NotOnLastPage yet: nothing added
    EXPECT_EQ(report().bandList().size(), bands);
    EXPECT_EQ(detail->childControls(), (std::vector<Component*>{other, follower}));
    core.finish();

    footer->d.notOnLastPage = true;
    ASSERT_TRUE(core.prepare());
    EXPECT_TRUE(core.prepare());   // once only
    ASSERT_EQ(report().bandList().size(), bands + 1);
    EXPECT_NE(report().firstBandOfType(TQRBandType::rbSummary), nullptr);
    core.finish();
    EXPECT_EQ(report().bandList().size(), bands);
    EXPECT_EQ(report().firstBandOfType(TQRBandType::rbSummary), nullptr);
    EXPECT_FALSE(core.isPrepared());
    EXPECT_FALSE(doc.isModified());

    addBand(TQRBandType::rbSummary, 10);
    ASSERT_TRUE(core.prepare());   // a summary band of its own: none added
    EXPECT_EQ(report().bandList().size(), bands + 1);
    core.finish();
}

// Whether a page shows anything in pure red (the footer's mark).
bool hasRed(const QPicture& page)
{
    QImage image(820, 1160, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        const_cast<QPicture&>(page).play(&painter);
    }
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (line[x] == qRgb(255, 0, 0))
                return true;
        }
    }
    return false;
}

TEST_F(DocumentTest, RunReportLeavesTheFooterOffTheLastPageAndNoExtraBand)
{
    auto log = std::make_unique<MemoryDataSet>(QStringLiteral("Tbl"),
                                               std::vector<FieldDef>{fieldDef(QStringLiteral("Call"), FieldType::String, 12)});
    for (int i = 0; i < 25; ++i)
        log->addRecord({QStringLiteral("S5%1A").arg(i)});
    doc.workspace().table->setSource(std::move(log));
    report().setDataSet(doc.workspace().table);
    TQRDesignBand* footer = addBand(TQRBandType::rbPageFooter, 40);
    footer->d.notOnLastPage = true;
    auto* mark = addElement<TQRDesignShape>(footer, QRect(0, 0, 200, 30));
    mark->brush.color = 0x0000FF;   // red
    mark->pen.color = 0x0000FF;
    addBand(TQRBandType::rbDetail, 100);
    const size_t bands = report().bandList().size();

    TQRPrinter output;
    int events = 0;
    EXPECT_TRUE(core.runReport(output, OutputKind::Preview, [&] { ++events; }));
    EXPECT_GT(events, 0);
    ASSERT_GE(output.pageCount(), 3);
    for (int n = 1; n <= output.pageCount(); ++n)
        EXPECT_EQ(hasRed(output.loadPage(n)), n < output.pageCount()) << "page " << n;
    EXPECT_EQ(report().bandList().size(), bands);
    EXPECT_FALSE(core.isPrepared());
    EXPECT_FALSE(core.isRunning());
}

TEST_F(DocumentTest, RecoveryCopyIsWrittenRestoredAndRemoved)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("Recovery"));
    RecoveryStore store(doc, folder);
    EXPECT_FALSE(store.writeNow());   // nothing to recover
    EXPECT_TRUE(RecoveryStore::list(folder).empty());

    doc.setFileName(QStringLiteral("/home/op/Layouts/card.QR2"));
    TQRDesignBand* band = addBand(TQRBandType::rbDetail, 70);
    doc.beginChange();
    addElement<TQRDesignLabel>(band, QRect(10, 10, 60, 20));
    doc.endChange();
    EXPECT_TRUE(store.isPending());
    ASSERT_TRUE(store.writeNow());
    EXPECT_FALSE(store.isPending());

    const auto entries = RecoveryStore::list(folder);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].originalFile, QStringLiteral("/home/op/Layouts/card.QR2"));

    ScriptedMessageBoxes otherBoxes;
    Document restored(otherBoxes);
    ASSERT_TRUE(RecoveryStore::restore(restored, entries[0]));
    EXPECT_EQ(restored.layoutBytes(), doc.layoutBytes());
    EXPECT_TRUE(restored.isModified());
    EXPECT_EQ(restored.fileName(), QStringLiteral("/home/op/Layouts/card.QR2"));
    RecoveryStore::discard(entries[0]);
    EXPECT_TRUE(RecoveryStore::list(folder).empty());

    // A save removes this session's copy.
    ASSERT_TRUE(store.writeNow());
    ASSERT_TRUE(doc.save(dir.filePath(QStringLiteral("card.QR2"))));
    EXPECT_TRUE(RecoveryStore::list(folder).empty());
    EXPECT_FALSE(store.isPending());
}

} // namespace
} // namespace cm::test
