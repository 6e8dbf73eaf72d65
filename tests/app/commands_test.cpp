// The main window's file commands, close query, captions and zoom.
#include "windowfixture.h"

#include "app/appsettings.h"
#include "app/mainactions.h"
#include "app/zoomsteps.h"
#include "designer/designercore.h"
#include "designer/document.h"
#include "report/report.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QTabWidget>

using namespace cm;

namespace {

// A real change to the layout, as every designer command makes it.
void changeTitle(MainWindow& w, const QString& title)
{
    w.document().beginChange();
    w.document().report().reportTitle = title;
    w.document().endChange();
    ASSERT_TRUE(w.document().isModified());
}

QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool hasBox(const ScriptedMessageBoxes& boxes, const QString& prefix)
{
    return std::any_of(boxes.shown.begin(), boxes.shown.end(), [&](const QString& s) { return s.startsWith(prefix); });
}

} // namespace

TEST(ZoomSteps, IncreaseDoublesUpTo300AndDecreaseHalvesWhileAbove10)
{
    const struct {
        int from, increased, decreased;
    } cases[] = {{200, 300, 100}, {160, 300, 80}, {100, 200, 50}, {25, 50, 12}, {21, 42, 10}, {20, 40, 20}, {12, 24, 12}};
    for (const auto& c : cases) {
        EXPECT_EQ(zoomIncreased(c.from), c.increased) << c.from;
        EXPECT_EQ(zoomDecreased(c.from), c.decreased) << c.from;
    }
}

TEST_F(WindowTest, ZoomCommandsFollowTheStepsAndLeaveTheLayoutUnmodified)
{
    auto w = startWindow();
    std::vector<int> seen;
    for (auto step : {&MainWindow::zoomIn, &MainWindow::zoomIn, &MainWindow::zoomIn, &MainWindow::zoomToDefault,
                      &MainWindow::zoomOut, &MainWindow::zoomOut, &MainWindow::zoomOut, &MainWindow::zoomOut}) {
        ((*w).*step)();
        seen.push_back(w->document().zoom());
    }
    EXPECT_EQ(seen, (std::vector<int>{200, 300, 300, 100, 50, 25, 12, 12}));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Cardmint Demo1.qr2"));
}

TEST_F(WindowTest, CaptionsFollowSaveAsNewAndTheTabs)
{
    auto w = startWindow();
    const QString path = inWork(QStringLiteral("card.qr2"));
    boxes.fileNames.push_back(path);
    ASSERT_TRUE(w->saveAs());
    EXPECT_EQ(w->windowTitle(), path);   // the bare path after Save as

    w->showDatabase();
    EXPECT_TRUE(w->dataTabActive());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Cardmint Demo.db"));
    auto* tabs = w->findChild<QTabWidget*>(QStringLiteral("PageControl"));
    ASSERT_NE(tabs, nullptr);
    tabs->setCurrentIndex(0);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Cardmint ") + path);

    w->newLayout();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Template.qr2"));
    EXPECT_TRUE(w->activeDesignFile().isEmpty());
}

TEST_F(WindowTest, SaveAfterNewAsksForAFileName)
{
    auto w = startWindow();
    w->newLayout();
    changeTitle(*w, QStringLiteral("new card"));
    boxes.shown.clear();
    EXPECT_FALSE(w->save());   // the save box is cancelled
    EXPECT_TRUE(hasBox(boxes, QStringLiteral("save: ")));
    EXPECT_FALSE(QFileInfo::exists(inWork(MainWindow::TemplateName)));
    EXPECT_TRUE(w->document().isModified());
}

TEST_F(WindowTest, SavingAShippedLayoutWritesTheUsersCopy)
{
    auto w = startWindow();
    const QString shipped = paths.findLayout(QStringLiteral("Demo1.qr2"));
    const QByteArray before = contents(shipped);
    changeTitle(*w, QStringLiteral("my card"));
    ASSERT_TRUE(w->save());
    EXPECT_EQ(contents(shipped), before);
    EXPECT_TRUE(QFileInfo::exists(paths.layoutFolder + QStringLiteral("/Demo1.qr2")));
    EXPECT_EQ(w->activeDesignFile(), QStringLiteral("Demo1.qr2"));
    EXPECT_EQ(paths.findLayout(QStringLiteral("Demo1.qr2")), paths.layoutFolder + QStringLiteral("/Demo1.qr2"));
}

TEST_F(WindowTest, NewAndOpenAskBeforeDroppingChanges)
{
    auto w = startWindow();
    changeTitle(*w, QStringLiteral("unsaved"));
    boxes.answers = {MessageBoxes::Answer::Cancel, MessageBoxes::Answer::Cancel};
    w->newLayout();
    w->openLayout();
    ASSERT_EQ(boxes.shown.size(), 2);
    for (const QString& s : boxes.shown)
        EXPECT_EQ(s, QStringLiteral("confirm: You have not saved the current report! Continue anyway?"));
    EXPECT_EQ(w->document().report().reportTitle, QStringLiteral("unsaved"));
    EXPECT_EQ(w->activeDesignFile(), QStringLiteral("Demo1.qr2"));

    w->newLayout();   // OK this time
    EXPECT_FALSE(w->document().isModified());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Template.qr2"));
}

TEST_F(WindowTest, AFailedOpenKeepsTheNameAndTheCaption)
{
    auto w = startWindow();
    const QString broken = inWork(QStringLiteral("broken.qr2"));
    QFile f(broken);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a layout at all");
    f.close();
    boxes.fileNames.push_back(broken);
    w->openLayout();
    EXPECT_TRUE(hasBox(boxes, QStringLiteral("error: ")));
    EXPECT_EQ(w->activeDesignFile(), QStringLiteral("Demo1.qr2"));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Cardmint Demo1.qr2"));
    EXPECT_FALSE(w->document().report().bandList().empty());
}

TEST_F(WindowTest, OpenLoadsTheChosenLayout)
{
    auto w = startWindow();
    const QString other = inWork(QStringLiteral("other.qr2"));
    ASSERT_TRUE(QFile::copy(paths.findLayout(MainWindow::TemplateName), other));
    boxes.fileNames.push_back(other);
    w->openLayout();
    EXPECT_EQ(w->activeDesignFile(), other);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Cardmint ") + other);
}

TEST_F(WindowTest, CloseQueryNoDropsTheChangesAndYesSavesTheNamedLayoutWithoutADialog)
{
    for (const auto answer : {MessageBoxes::Answer::No, MessageBoxes::Answer::Yes}) {
        const bool yes = answer == MessageBoxes::Answer::Yes;
        const QString path = inWork(yes ? QStringLiteral("yes.qr2") : QStringLiteral("no.qr2"));
        auto w = startWindow();
        boxes.fileNames.push_back(path);
        ASSERT_TRUE(w->saveAs());
        changeTitle(*w, QStringLiteral("changed title"));
        boxes.shown.clear();
        boxes.answers = {answer};
        EXPECT_TRUE(w->close());
        EXPECT_EQ(boxes.shown, QStringList{QStringLiteral("ask: Save report ") + path + QStringLiteral("?")});
        EXPECT_EQ(contents(path).contains("changed title"), yes);
        EXPECT_TRUE(QFileInfo::exists(WindowSettings::fileName(paths.configFolder)));
    }
}

TEST_F(WindowTest, CloseQueryCancelledSaveBoxKeepsTheWindowAndWritesNoSettings)
{
    auto w = startWindow();
    w->newLayout();
    changeTitle(*w, QStringLiteral("not yet named"));
    boxes.answers = {MessageBoxes::Answer::Yes};   // save; the save box is then cancelled
    EXPECT_FALSE(w->close());
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(hasBox(boxes, QStringLiteral("save: ")));
    EXPECT_FALSE(QFileInfo::exists(WindowSettings::fileName(paths.configFolder)));
    EXPECT_FALSE(QFileInfo::exists(paths.configFolder + QStringLiteral("/DESIGNER.INI")));
    EXPECT_TRUE(w->document().isModified());
}

TEST_F(WindowTest, NewOnTheDataTabMakesNoTable)
{
    auto w = startWindow();
    w->showDatabase();
    w->newLayout();
    EXPECT_EQ(boxes.shown, QStringList{QStringLiteral(
                               "information: In Cardmint you can not create new table !\nPlease go to Tevrana to create it!")});
    EXPECT_EQ(w->activeDesignFile(), QStringLiteral("Demo1.qr2"));
}
