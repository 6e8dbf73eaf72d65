// Start-up on a fresh account, the settings file, and a table that fails.
#include "windowfixture.h"

#include "app/appsettings.h"
#include "designer/document.h"
#include "logbook/logtable.h"
#include "report/report.h"

#include <QFileInfo>
#include <QSettings>

using namespace cm;

TEST_F(WindowTest, FreshAccountMakesTheDemoLogbookAndLoadsTheDemoLayout)
{
    auto w = startWindow();
    EXPECT_TRUE(boxes.shown.isEmpty()) << boxes.shown.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(QFileInfo::exists(paths.logbookFolder + QStringLiteral("/Demo.db")));
    ASSERT_NE(w->logTable(), nullptr);
    EXPECT_TRUE(w->logTable()->isOpen());
    EXPECT_GT(w->logTable()->recordCount(), 0);
    EXPECT_EQ(w->document().report().dataSet(), w->document().workspace().table);
    EXPECT_EQ(w->activeDesignFile(), QStringLiteral("Demo1.qr2"));
    EXPECT_FALSE(w->document().report().bandList().empty());
    EXPECT_FALSE(w->document().isModified());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Cardmint Demo1.qr2"));
}

TEST_F(WindowTest, SettingsAreWrittenAtCloseAndReadAtTheNextStart)
{
    const QString layout = inWork(QStringLiteral("mine.qr2"));
    {
        auto w = startWindow();
        boxes.fileNames.push_back(layout);
        ASSERT_TRUE(w->saveAs());
        EXPECT_TRUE(w->close());
    }
    QSettings ini(WindowSettings::fileName(paths.configFolder), QSettings::IniFormat);
    EXPECT_EQ(ini.value(QStringLiteral("TWorkFrm1/Active_DesignFile")).toString(), layout);
    EXPECT_EQ(ini.value(QStringLiteral("TWorkFrm1/Active_Table")).toString(), QStringLiteral("Demo.db"));
    EXPECT_FALSE(ini.value(QStringLiteral("TWorkFrm1/Geometry")).toByteArray().isEmpty());
    QSettings designer(paths.configFolder + QStringLiteral("/DESIGNER.INI"), QSettings::IniFormat);
    EXPECT_EQ(designer.value(QStringLiteral("Editor/GridSizeX")).toInt(), 4);

    auto again = startWindow();
    EXPECT_EQ(again->activeDesignFile(), layout);
    EXPECT_EQ(again->windowTitle(), QStringLiteral("Cardmint ") + layout);
}

TEST_F(WindowTest, AnEmptyLayoutKeyStartsFromTheTemplate)
{
    WindowSettings s;
    s.activeDesignFile.clear();
    ASSERT_TRUE(s.write(paths.configFolder));
    auto w = startWindow();
    EXPECT_TRUE(w->activeDesignFile().isEmpty());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Cardmint Template.qr2"));
    EXPECT_TRUE(boxes.shown.isEmpty()) << boxes.shown.join(QLatin1Char('\n')).toStdString();
}

TEST_F(WindowTest, ATableThatFailsToOpenLeavesAWorkingWindowWithTheLayout)
{
    WindowSettings s;
    s.activeTable = inWork(QStringLiteral("missing.db"));
    ASSERT_TRUE(s.write(paths.configFolder));
    auto w = startWindow();
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_TRUE(boxes.shown[0].startsWith(QStringLiteral("error: The logbook table"))) << boxes.shown[0].toStdString();
    EXPECT_TRUE(boxes.shown[0].contains(QStringLiteral("missing.db")));
    EXPECT_FALSE(w->logTable()->isOpen());
    EXPECT_EQ(w->activeDesignFile(), QStringLiteral("Demo1.qr2"));
    EXPECT_FALSE(w->document().report().bandList().empty());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Cardmint Demo1.qr2"));
}

TEST_F(WindowTest, ALayoutOnTheCommandLineIsOpenedInsteadOfTheLastOne)
{
    const QString layout = inWork(QStringLiteral("given.qr2"));
    ASSERT_TRUE(QFile::copy(paths.findLayout(QStringLiteral("Template.qr2")), layout));
    auto w = std::make_unique<MainWindow>(boxes, paths);
    w->setStartLayout(QStringLiteral("given.qr2"));
    w->startUp();
    EXPECT_EQ(w->activeDesignFile(), layout);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Cardmint ") + layout);
}

TEST_F(WindowTest, LayoutsAreFoundInTheCurrentFolderThenTheUsersThenTheShippedOnes)
{
    QStringList tried;
    const QString shipped = paths.findLayout(QStringLiteral("Demo1.qr2"), &tried);
    ASSERT_FALSE(shipped.isEmpty());
    EXPECT_EQ(QFileInfo(shipped).absolutePath(), QFileInfo(paths.shippedLayouts).absoluteFilePath());
    EXPECT_EQ(tried.size(), 3);

    ASSERT_TRUE(QDir().mkpath(paths.layoutFolder));
    ASSERT_TRUE(QFile::copy(shipped, paths.layoutFolder + QStringLiteral("/Demo1.qr2")));
    EXPECT_EQ(paths.findLayout(QStringLiteral("Demo1.qr2")), paths.layoutFolder + QStringLiteral("/Demo1.qr2"));
    ASSERT_TRUE(QFile::copy(shipped, inWork(QStringLiteral("Demo1.qr2"))));
    EXPECT_EQ(paths.findLayout(QStringLiteral("Demo1.qr2")), inWork(QStringLiteral("Demo1.qr2")));
    EXPECT_TRUE(paths.findLayout(QStringLiteral("none.qr2")).isEmpty());
}
