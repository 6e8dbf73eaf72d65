// Unsaved work left by a session that did not close normally.
#include "windowfixture.h"

#include "designer/document.h"
#include "designer/recoverystore.h"
#include "report/report.h"

using namespace cm;

TEST_F(WindowTest, ChangesLeftByASessionThatDidNotCloseAreOfferedAndRestored)
{
    {
        auto crashed = startWindow();
        crashed->document().beginChange();
        crashed->document().report().reportTitle = QStringLiteral("almost lost");
        crashed->document().endChange();
        RecoveryStore copy(crashed->document(), paths.recoveryFolder);
        ASSERT_TRUE(copy.writeNow());
    }   // gone without a close
    ASSERT_EQ(RecoveryStore::list(paths.recoveryFolder).size(), 1u);

    boxes.answers = {MessageBoxes::Answer::Yes};
    auto w = startWindow();
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_TRUE(boxes.shown[0].startsWith(QStringLiteral("ask: Cardmint was not closed normally")));
    EXPECT_TRUE(boxes.shown[0].contains(QStringLiteral("Demo1.qr2")));
    EXPECT_EQ(w->document().report().reportTitle, QStringLiteral("almost lost"));
    EXPECT_TRUE(w->document().isModified());
    EXPECT_EQ(w->activeDesignFile(), QStringLiteral("Demo1.qr2"));

    boxes.answers = {MessageBoxes::Answer::No};   // close without saving
    EXPECT_TRUE(w->close());
    EXPECT_TRUE(RecoveryStore::list(paths.recoveryFolder).empty());
}

TEST_F(WindowTest, DecliningACopyDropsIt)
{
    {
        auto crashed = startWindow();
        crashed->document().beginChange();
        crashed->document().report().reportTitle = QStringLiteral("changed");
        crashed->document().endChange();
        RecoveryStore copy(crashed->document(), paths.recoveryFolder);
        ASSERT_TRUE(copy.writeNow());
    }
    boxes.answers = {MessageBoxes::Answer::No};
    auto w = startWindow();
    EXPECT_FALSE(w->document().isModified());
    EXPECT_TRUE(RecoveryStore::list(paths.recoveryFolder).empty());
}
