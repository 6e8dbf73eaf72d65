#include "engine/pages/pagestream.h"

#include "engine/qrerror.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace cm {
namespace {

QByteArray pattern(int size, char first)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = char(first + i % 61);
    return bytes;
}

TEST(PageStream, StaysInMemoryUpToTheLimit)
{
    TQRPageStream stream;
    stream.append(pattern(60000, 'a'));
    stream.append(pattern(40000, 'b'));   // exactly 100000 bytes
    EXPECT_FALSE(stream.isSpilled());
    EXPECT_TRUE(stream.fileName().isEmpty());
    EXPECT_EQ(stream.size(), 100000);
}

TEST(PageStream, SpillsToATemporaryFileDeletedWithTheStream)
{
    QString spillFile;
    const QByteArray first = pattern(99990, 'a');
    const QByteArray second = pattern(20, 'b');
    {
        TQRPageStream stream;
        stream.append(first);
        stream.append(second);
        ASSERT_TRUE(stream.isSpilled());
        spillFile = stream.fileName();
        const QFileInfo info(spillFile);
        EXPECT_TRUE(info.exists());
        EXPECT_TRUE(info.fileName().startsWith(QLatin1String("QRP")));
        EXPECT_EQ(info.absolutePath(), QFileInfo(QDir::tempPath()).absoluteFilePath());

        // Everything written before and after the move reads back.
        bool ok = false;
        EXPECT_EQ(stream.read(0, first.size(), &ok), first);
        EXPECT_TRUE(ok);
        EXPECT_EQ(stream.read(first.size(), second.size(), &ok), second);
        stream.overwrite(0, QByteArray("HEAD"));
        EXPECT_EQ(stream.read(0, 4, &ok), QByteArray("HEAD"));

        QBuffer copy;
        copy.open(QIODevice::WriteOnly);
        ASSERT_TRUE(stream.copyTo(copy));
        EXPECT_EQ(copy.data().size(), first.size() + second.size());
        EXPECT_EQ(copy.data().mid(first.size()), second);
    }
    EXPECT_FALSE(QFileInfo::exists(spillFile));
}

TEST(PageStream, ReadsOutsideTheStreamFail)
{
    TQRPageStream stream(16);
    stream.append(QByteArray("0123456789"));
    bool ok = true;
    EXPECT_TRUE(stream.read(8, 3, &ok).isEmpty());
    EXPECT_FALSE(ok);
    EXPECT_TRUE(stream.read(-1, 2, &ok).isEmpty());
    EXPECT_FALSE(ok);
    EXPECT_TRUE(stream.read(0, 0x7fffffffffffLL, &ok).isEmpty());
    EXPECT_FALSE(ok);
    EXPECT_EQ(stream.read(8, 2, &ok), QByteArray("89"));
    EXPECT_TRUE(ok);
    EXPECT_THROW(stream.overwrite(8, QByteArray("xyz")), EQRError);
}

TEST(PageStream, OpensAnExistingFileReadOnly)
{
    QTemporaryDir dir;
    const QString name = dir.filePath("pages.QRP");
    {
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("report bytes");
    }
    auto stream = TQRPageStream::openFile(name);
    EXPECT_TRUE(stream->isReadOnly());
    EXPECT_EQ(stream->size(), 12);
    bool ok = false;
    EXPECT_EQ(stream->read(7, 5, &ok), QByteArray("bytes"));
    EXPECT_THROW(stream->append(QByteArray("x")), EQRError);
    EXPECT_THROW(TQRPageStream::openFile(dir.filePath("missing.QRP")), EQRError);
}

} // namespace
} // namespace cm
