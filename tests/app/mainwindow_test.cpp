// The window's menus, toolbars, insert tools and their enabling.
#include "windowfixture.h"

#include "app/mainactions.h"
#include "designer/designercore.h"
#include "designer/document.h"
#include "engine/print/qtprintdevice.h"
#include "report/design.h"
#include "report/report.h"

#include <QAction>
#include <QApplication>
#include <QTimer>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>
#include <QWidget>

using namespace cm;

namespace {

// Item texts of a menu, separators as "-", visible items only.
QStringList menuItems(QMenu* menu)
{
    QStringList items;
    for (QAction* a : menu->actions()) {
        if (a->isVisible())
            items << (a->isSeparator() ? QStringLiteral("-") : a->text());
    }
    return items;
}

QMenu* topMenu(MainWindow& w, const QString& title)
{
    for (QAction* a : w.menuBar()->actions()) {
        if (a->text() == title)
            return a->menu();
    }
    return nullptr;
}

// Tool tips of a toolbar's items, separators as "-".
QStringList hints(QToolBar* toolbar)
{
    QStringList items;
    for (QAction* a : toolbar->actions())
        items << (a->isSeparator() ? QStringLiteral("-") : a->toolTip());
    return items;
}

} // namespace

TEST_F(WindowTest, MenusHoldEveryCommandInOrder)
{
    auto w = startWindow();
    const struct {
        const char* title;
        QStringList items;
    } menus[] = {
        {"&File", {"&New", "&Open...", "&Save", "Save &as...", "Import ADIF...", "-", "Pre&view", "Page setup", "&Print", "Printer setup",
                   "-", "&Mark printed QSOs as sent", "&Label sheet...", "Printer &calibration...",
                   "-", "&Database", "-", "&Exit"}},
        {"&Edit", {"&New", "-", "Undo", "Redo", "-", "Cut", "Copy", "Paste", "Delete", "-", "Send to back", "Bring to front"}},
        {"&View", {"Toolbar", "Font toolbar", "Element toolbar", "-", "Zoom", "-", "&Options..."}},
        {"&Help", {"&Contents", "&Search", "What is this ?", "-", "&About"}},
    };
    for (const auto& m : menus) {
        QMenu* menu = topMenu(*w, QString::fromLatin1(m.title));
        ASSERT_NE(menu, nullptr) << m.title;
        EXPECT_EQ(menuItems(menu), m.items) << m.title;
    }
    QMenu* insert = topMenu(*w, QStringLiteral("&Edit"))->actions().first()->menu();
    ASSERT_NE(insert, nullptr);
    EXPECT_EQ(menuItems(insert), (QStringList{"&Text", "&Data field", "Shape", "&Image"}));
    EXPECT_EQ(w->actions().whatsThis->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F1));
    EXPECT_EQ(w->actions().zoomDefault->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_0));
}

TEST_F(WindowTest, ToolbarsHoldTheirButtonsByHintWithAccessibleNames)
{
    auto w = startWindow();
    const struct {
        const char* name;
        QStringList hints;
    } toolbars[] = {
        {"FileToolbar", {"Create", "Open", "Save current", "-", "Print", "Preview", "-", "Cut to clipboard",
                         "Copy to clipboard", "Paste from clipboard", "-", "Send element to back",
                         "Bring element to front", "-", "Set frame"}},
        {"AlignmentToolbar", {"Align left edges", "Align horizontal centers", "Center horizontally",
                              "Equal space, horizontal", "Align right edges", "Align top edges",
                              "Align vertical centers", "Center vertically", "Equal space, vertical",
                              "Align bottom edges", "About", "What is this ?"}},
        {"TextAlignToolbar", {"align left", "align center", "align right"}},
        {"Toolbar971", {"Select/Move Element", "Page setup", "Add page \nfooter", "Add page \nheader",
                        "Add system info", "Add text", "Add data field", "Add image", "Add shape"}},
    };
    for (const auto& t : toolbars) {
        auto* toolbar = w->findChild<QToolBar*>(QString::fromLatin1(t.name));
        ASSERT_NE(toolbar, nullptr) << t.name;
        EXPECT_EQ(hints(toolbar), t.hints) << t.name;
    }
    for (const char* name : {"FileToolbar", "AlignmentToolbar", "PropertyToolbar", "FontToolbar", "TextAlignToolbar",
                             "Toolbar971", "DbToolBar"}) {
        auto* toolbar = w->findChild<QToolBar*>(QString::fromLatin1(name));
        ASSERT_NE(toolbar, nullptr) << name;
        for (QAction* a : toolbar->actions()) {
            QWidget* button = toolbar->widgetForAction(a);
            if (!a->isSeparator() && button) {
                EXPECT_FALSE(button->accessibleName().isEmpty()) << name << " " << a->text().toStdString();
            }
        }
    }
    EXPECT_EQ(w->actions().addPageHeader->property("accessibleName").toString(), QStringLiteral("Add page header"));
    EXPECT_EQ(w->actions().addText->property("helpContext").toInt(), 5060);
    EXPECT_EQ(w->actions().newLayout->statusTip(), QStringLiteral("Create"));
    EXPECT_FALSE(w->findChild<QToolBar*>(QStringLiteral("DbToolBar"))->isVisible());
    w->showDatabase();
    EXPECT_TRUE(w->findChild<QToolBar*>(QStringLiteral("DbToolBar"))->isVisible());
}

TEST_F(WindowTest, SelectionCommandsStartDisabled)
{
    auto w = startWindow();
    MainActions& a = w->actions();
    for (QAction* action : {a.cut, a.copy, a.deleteSelection, a.sendToBack, a.bringToFront, a.alignLeft,
                            a.equalSpaceVertical, a.textLeft, a.textCenter, a.textRight})
        EXPECT_FALSE(action->isEnabled()) << action->text().toStdString();
    EXPECT_TRUE(a.textLeft->isChecked());
    EXPECT_TRUE(a.selectMove->isChecked());

    // One element selected: the designer enables what works on one.
    Component* element = nullptr;
    for (Component* c : w->document().workspace().window.components()) {
        if (isDesignObject(*c) && !dynamic_cast<TQRCustomBand*>(c)) {
            element = c;
            break;
        }
    }
    ASSERT_NE(element, nullptr);
    w->designer().select(element);
    for (QAction* action : {a.deleteSelection, a.sendToBack, a.bringToFront, a.textLeft, a.cut, a.copy})
        EXPECT_TRUE(action->isEnabled()) << action->text().toStdString();
    // Block alignment needs two.
    EXPECT_FALSE(a.alignLeft->isEnabled());
}

TEST_F(WindowTest, AlignmentCommandsActOnTheSelection)
{
    auto w = startWindow();
    MainActions& a = w->actions();
    std::vector<Component*> elements;
    for (Component* c : w->document().workspace().window.components()) {
        if (isDesignObject(*c) && !dynamic_cast<TQRCustomBand*>(c) && c->parentControl() &&
            (elements.empty() || c->parentControl() == elements.front()->parentControl()))
            elements.push_back(c);
    }
    ASSERT_GE(elements.size(), 3u);
    w->designer().select(elements[0]);
    EXPECT_TRUE(a.centerHorizontally->isEnabled());
    w->designer().select(elements[1]);
    w->designer().select(elements[2]);
    ASSERT_EQ(w->document().selectionCount(), 3);
    EXPECT_TRUE(a.equalSpaceHorizontal->isEnabled());
    ASSERT_TRUE(a.alignLeft->isEnabled());
    a.alignLeft->trigger();
    EXPECT_EQ(elements[1]->bounds.left(), elements[0]->bounds.left());
    EXPECT_EQ(elements[2]->bounds.left(), elements[0]->bounds.left());
    EXPECT_TRUE(w->document().isModified());
}

TEST_F(WindowTest, InsertToolsArmTheDesignerAndPageHeaderMakesTheNextEditedBandAPageHeader)
{
    auto w = startWindow();
    MainActions& a = w->actions();
    a.addText->trigger();
    EXPECT_EQ(w->designer().designState(), DesignState::Label);
    EXPECT_TRUE(a.addText->isChecked());
    EXPECT_FALSE(w->designer().keepInsertMode);

    // Shift held on the button keeps the tool armed for several insertions.
    auto* elements = w->findChild<QToolBar*>(QStringLiteral("Toolbar971"));
    QWidget* shapeButton = elements->widgetForAction(a.addShape);
    ASSERT_NE(shapeButton, nullptr);
    QTest::mouseClick(shapeButton, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(w->designer().designState(), DesignState::Shape);
    EXPECT_TRUE(w->designer().keepInsertMode);
    QTest::mouseClick(shapeButton, Qt::LeftButton);
    EXPECT_FALSE(w->designer().keepInsertMode);

    a.addPageHeader->trigger();
    EXPECT_EQ(w->designer().designState(), DesignState::Band);
    EXPECT_TRUE(w->pageHeaderPending());
    a.addPageFooter->trigger();
    EXPECT_TRUE(w->pageFooterPending());
    w->designer().setDesignState(DesignState::Normal);   // the insertion was abandoned
    EXPECT_TRUE(a.selectMove->isChecked());
    EXPECT_TRUE(w->pageHeaderPending());

    // Both pending: the first band edited becomes the page header, the next the page footer.
    auto& report = w->document().report();
    ASSERT_GE(report.bandList().size(), 1u);
    auto* first = dynamic_cast<TQRBand*>(report.addBandOfType(TQRBandType::rbTitle));
    auto* second = dynamic_cast<TQRBand*>(report.addBandOfType(TQRBandType::rbSummary));
    ASSERT_TRUE(first && second);
    EXPECT_TRUE(w->designer().editPropertiesHandler(first));
    EXPECT_TRUE(w->designer().editPropertiesHandler(second));
    EXPECT_EQ(first->bandType(), TQRBandType::rbPageHeader);
    EXPECT_EQ(second->bandType(), TQRBandType::rbPageFooter);
    EXPECT_FALSE(w->pageHeaderPending());
    EXPECT_FALSE(w->pageFooterPending());
    // The report opens its own dialog; Cancel there reports it not edited.
    QTimer::singleShot(0, [] {
        if (QWidget* d = QApplication::activeModalWidget())
            QTest::keyClick(d, Qt::Key_Escape);
    });
    EXPECT_FALSE(w->designer().editPropertiesHandler(&report));
}

TEST_F(WindowTest, PrintWithoutAPrinterSaysSo)
{
    if (TQRQtPrintDevice::anyPrinterInstalled())
        GTEST_SKIP() << "a printer is installed here";
    auto w = startWindow();
    w->print();
    EXPECT_EQ(boxes.shown, QStringList{QStringLiteral("error: No printer installed")});
    EXPECT_FALSE(w->isMinimized());
}

TEST_F(WindowTest, ViewMenuChecksFollowTheToolbars)
{
    auto w = startWindow();
    MainActions& a = w->actions();
    auto* file = w->findChild<QToolBar*>(QStringLiteral("FileToolbar"));
    auto* font = w->findChild<QToolBar*>(QStringLiteral("FontToolbar"));
    a.showFileToolbar->trigger();
    EXPECT_FALSE(file->isVisible());
    EXPECT_TRUE(font->isVisible());
    font->hide();   // closed from its own handle
    QMenu* view = topMenu(*w, QStringLiteral("&View"));
    emit view->aboutToShow();
    EXPECT_FALSE(a.showFileToolbar->isChecked());
    EXPECT_FALSE(a.showFontToolbar->isChecked());
    a.showElementToolbar->trigger();
    EXPECT_TRUE(a.showElementToolbar->isChecked());
    EXPECT_TRUE(w->findChild<QToolBar*>(QStringLiteral("Toolbar971"))->isVisible());
}
