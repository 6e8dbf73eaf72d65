// The manual's topics, what's-this texts, search and the help window.
#include "app/helpindex.h"
#include "app/helpsystem.h"
#include "app/helpwindow.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSet>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace cm;

namespace {

const QString kManual = QStringLiteral(CARDMINT_SOURCE_DIR "/help");

class HelpSystemTest : public ::testing::Test {
protected:
    HelpSystem help{kManual};
};

} // namespace

TEST_F(HelpSystemTest, EveryContextHasATopicWithAWhatsThisText)
{
    ASSERT_TRUE(help.isAvailable());
    const QList<int> contexts = HelpSystem::knownContexts();
    for (int c = 5000; c <= 5250; c += 10)
        EXPECT_EQ(contexts.contains(c), c != 5020) << c;
    for (int c : {90001, 90028, 90029, 90030, 90031, 90032, 90035, 90036, 90043, 90044})
        EXPECT_TRUE(contexts.contains(c)) << c;

    for (int c : contexts) {
        const QUrl url = help.topicUrl(c);
        EXPECT_TRUE(url.isLocalFile() && !url.fragment().isEmpty()) << c << " " << HelpSystem::topicOf(c).toStdString();
        const QString text = help.whatsThisText(c);
        EXPECT_TRUE(text.contains(QStringLiteral("<p>"))) << c;
        EXPECT_FALSE(text.contains(QStringLiteral("<a "))) << c;
    }
    EXPECT_TRUE(help.whatsThisText(0).isEmpty());
    EXPECT_TRUE(help.whatsThisText(5020).isEmpty());
    EXPECT_TRUE(help.topicUrl(4711).isEmpty());
}

TEST_F(HelpSystemTest, EveryTopicHasATitleAndItsOwnAnchor)
{
    QSet<QString> seen;
    for (const HelpTopic& t : help.index().topics()) {
        const QString key = t.page + QLatin1Char('#') + t.anchor;
        EXPECT_FALSE(t.title.isEmpty()) << key.toStdString();
        EXPECT_FALSE(seen.contains(key)) << key.toStdString();
        seen.insert(key);
    }
    EXPECT_GT(seen.size(), 40);
}

TEST_F(HelpSystemTest, SearchFindsTopicsHoldingEveryWord)
{
    const HelpIndex& index = help.index();
    auto titles = [&index](const QString& query) {
        QStringList list;
        for (const HelpTopic* t : index.search(query))
            list << t->anchor;
        return list;
    };
    // A title match comes before topics that only mention the word.
    const QStringList navigator = titles(QStringLiteral("NAVIGATOR"));
    ASSERT_FALSE(navigator.isEmpty());
    EXPECT_EQ(navigator.first(), QStringLiteral("navigator"));
    EXPECT_TRUE(titles(QStringLiteral("bureau sorting")).contains(QStringLiteral("group-by")));
    EXPECT_FALSE(titles(QStringLiteral("bureau")).contains(QStringLiteral("navigator")));
    EXPECT_TRUE(titles(QStringLiteral("bureau xyzzy")).isEmpty());
    EXPECT_TRUE(titles(QStringLiteral("  ")).isEmpty());
}

TEST_F(HelpSystemTest, WhatsThisIsInheritedFromTheParent)
{
    QWidget window;
    auto* toolbar = new QToolBar(&window);
    toolbar->setProperty("helpContext", 5170);
    auto* about = new QPushButton(QStringLiteral("About"), toolbar);
    QAction* align = toolbar->addAction(QStringLiteral("Align left edges"));
    QAction* open = toolbar->addAction(QStringLiteral("Open"));
    open->setProperty("helpContext", 5010);
    auto* data = new QLineEdit(&window);
    data->setProperty("helpContext", 5190);
    auto* label = new QLabel(QStringLiteral("Filter"), &window);
    label->setBuddy(data);
    auto* bare = new QPushButton(QStringLiteral("No help"), &window);

    help.applyWhatsThis(&window);

    const QString alignment = help.whatsThisText(5170);
    EXPECT_EQ(toolbar->whatsThis(), alignment);
    EXPECT_EQ(about->whatsThis(), alignment);
    EXPECT_EQ(align->whatsThis(), alignment);
    EXPECT_EQ(open->whatsThis(), help.whatsThisText(5010));
    EXPECT_EQ(qobject_cast<QToolButton*>(toolbar->widgetForAction(open))->whatsThis(), help.whatsThisText(5010));
    EXPECT_EQ(label->whatsThis(), help.whatsThisText(5190));
    EXPECT_TRUE(bare->whatsThis().isEmpty());
    EXPECT_TRUE(window.whatsThis().isEmpty());
    EXPECT_EQ(HelpSystem::contextOf(bare), 0);

    // The search goes no further than the control's own window.
    window.setProperty("helpContext", 5230);
    QWidget dialog(&window, Qt::Dialog);
    auto* inDialog = new QPushButton(&dialog);
    EXPECT_EQ(HelpSystem::contextOf(bare), 5230);
    EXPECT_EQ(HelpSystem::contextOf(inDialog), 0);
}

TEST_F(HelpSystemTest, WindowShowsTopicsAndSearchResults)
{
    QWidget owner;
    help.showTopic(5220, &owner);
    HelpWindow* w = help.helpWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->browser()->source().fileName(), QStringLiteral("data.html"));
    EXPECT_EQ(w->browser()->source().fragment(), QStringLiteral("group-by"));

    help.showSearch(&owner);
    w->searchBox()->setText(QStringLiteral("clipboard"));
    ASSERT_GT(w->searchResults()->count(), 2);
    emit w->searchResults()->itemClicked(w->searchResults()->item(0));
    EXPECT_EQ(w->browser()->source().fileName(), QStringLiteral("edit.html"));

    help.showTopic(0, &owner);
    EXPECT_EQ(w->browser()->source().fileName(), QStringLiteral("index.html"));
    EXPECT_EQ(help.helpWindow(), w);
}
