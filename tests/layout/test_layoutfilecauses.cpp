// Layout files that cannot be read or written: each says why, after the
// user-facing text (the write errors are in test_layoutfile), and a save
// leaves no stale hidden file of its own behind.
#include "layout/demolayouts.h"
#include "layout/workspace.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <utime.h>

using namespace cm;

namespace {

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Moves the file's change time back by `seconds`.
void age(const QString& path, int seconds)
{
    const time_t when = time(nullptr) - seconds;
    const utimbuf times{when, when};
    ASSERT_EQ(utime(QFile::encodeName(path).constData(), &times), 0);
}

} // namespace

TEST(LayoutFileCauses, UnreadableLayoutsSayWhy)
{
    QTemporaryDir dir;
    const struct {
        const char* what;
        QString path;
        QByteArray bytes;   // written unless the path is the folder itself
        const char* message;
    } cases[] = {
        {"empty file", dir.filePath("empty.qr2"), "", "Error in report file! (the file is empty)"},
        {"one byte", dir.filePath("one.qr2"), "\x06", "Error in report file! (the file is cut short)"},
        {"a text file", dir.filePath("notes.qr2"), "hello", "Error in report file! (not a layout file (it starts with 0x6568))"},
        {"a folder", dir.path(), {}, "is a folder, not a layout file)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.path != dir.path()) {
            ASSERT_TRUE(writeFile(c.path, c.bytes));
        }
        Workspace ws;
        buildDemoCard(ws);
        CollectingMessageSink sink;
        ws.designer->messageSink = &sink;
        EXPECT_FALSE(ws.designer->loadReport(c.path));
        ASSERT_EQ(sink.messages.size(), 1);
        EXPECT_TRUE(sink.messages.first().startsWith(QStringLiteral("Error in report file! ("))) << sink.messages.first().toStdString();
        EXPECT_TRUE(sink.messages.first().endsWith(QLatin1String(c.message))) << sink.messages.first().toStdString();
        EXPECT_FALSE(ws.window.componentsOf<TQRDesignLabel>().empty());   // the card loaded before stays
    }
}

// Hidden files of saves that were cut off are removed by the next save into
// the folder, once old; a fresh one (a save under way) and other files stay.
TEST(LayoutFileCauses, SavesRemoveStaleFilesOfEarlierSaves)
{
    QTemporaryDir dir;
    const QString stale = dir.filePath(".cardmint-save-Ab12Cd");
    const QString fresh = dir.filePath(".cardmint-save-Zz99Yy");
    const QString longer = dir.filePath(".cardmint-save-Ab12Cd.keep");
    const QString other = dir.filePath(".cardmint-saved");
    for (const QString& f : {stale, fresh, longer, other})
        ASSERT_TRUE(writeFile(f, "half a layout"));
    for (const QString& f : {stale, longer, other})
        age(f, 3600);
    Workspace ws;
    buildDemoCard(ws);
    ASSERT_TRUE(ws.designer->saveToFile(dir.filePath("card.qr2")));
    EXPECT_FALSE(QFile::exists(stale));
    EXPECT_TRUE(QFile::exists(fresh));
    EXPECT_TRUE(QFile::exists(longer));
    EXPECT_TRUE(QFile::exists(other));
    const QStringList left = QDir(dir.path()).entryList({".cardmint-save-*"}, QDir::Files | QDir::Hidden);
    EXPECT_EQ(left, (QStringList{".cardmint-save-Ab12Cd.keep", ".cardmint-save-Zz99Yy"}));
}
