// File names on the command line that are not valid UTF-8 (a Latin-1 name
// copied from an old disk): cardmint-cli reads and writes the file under the
// name as typed, and names it in messages with the odd bytes as \xNN.
#include "logbook/demolog.h"
#include "logbook_fixtures.h"

#include <QFile>

#include <gtest/gtest.h>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace cmtest;

namespace {

struct Result {
    int code = -1;
    QString output;   // stdout and stderr
};

// Runs cardmint-cli in `dir` with arguments as raw bytes (QProcess would
// pass them as UTF-8).
Result runCli(const QByteArray& dir, const std::vector<QByteArray>& args)
{
    auto quoted = [](QByteArray a) { return "'" + a.replace("'", "'\\''") + "'"; };
    QByteArray command = "cd " + quoted(dir) + " && " + quoted(CARDMINT_CLI);
    for (const QByteArray& a : args)
        command += ' ' + quoted(a);
    command += " 2>&1";
    Result r;
    std::FILE* p = ::popen(command.constData(), "r");
    if (!p)
        return r;
    QByteArray bytes;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, p)) > 0;)
        bytes.append(buffer, qsizetype(n));
    const int status = ::pclose(p);
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.output = QString::fromUtf8(bytes);
    return r;
}

QByteArray readRaw(const QByteArray& path)
{
    QByteArray bytes;
    const int fd = ::open(path.constData(), O_RDONLY);
    if (fd < 0)
        return bytes;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
        bytes.append(buffer, n);
    ::close(fd);
    return bytes;
}

bool writeRaw(const QByteArray& path, const QByteArray& bytes)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    return ::close(fd) == 0 && ok;
}

} // namespace

TEST(RawFileNames, NamesThatAreNotUtf8AreReadWrittenAndShownAsTyped)
{
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const QByteArray dir = QFile::encodeName(temp.path()) + '/';
    QFile layoutFile(QStringLiteral(CARDMINT_SOURCE_DIR "/demo/Demo1.qr2"));
    ASSERT_TRUE(layoutFile.open(QIODevice::ReadOnly));
    const QByteArray layout = layoutFile.readAll();
    const QString sqlite = makeSqliteLogbook(temp, QStringLiteral("log.db"), cm::makeDemoQsos(3, 1));
    ASSERT_FALSE(sqlite.isEmpty());
    ASSERT_TRUE(writeRaw(dir + "caf\xe9.qr2", layout));
    ASSERT_TRUE(writeRaw(dir + "bad\xe9.qr2", layout.left(40)));
    ASSERT_TRUE(writeRaw(dir + "log\xe9.db", readRaw(QFile::encodeName(sqlite))));
    ASSERT_TRUE(writeRaw(dir + "log\xe9.adi", "<CALL:4>S51A <QSO_DATE:8>20240101 <TIME_ON:4>1200 <BAND:3>20M "
                                             "<MODE:2>CW <EOR>\n<CALL:4>DL1B <QSO_DATE:8>20240102 <EOR>\n"));
    ASSERT_TRUE(writeRaw(dir + "old\xe9.pdf", "old"));
    ::chmod((dir + "old\xe9.pdf").constData(), 0444);

    const struct Case {
        const char* what;
        std::vector<QByteArray> args;
        int code;
        QString says;           // part of the output
        QByteArray written;     // a file the run makes, by its raw name
    } cases[] = {
        {"layout read", {"dump", "caf\xe9.qr2"}, 0, QStringLiteral("\"title\""), {}},
        {"ADIF log read", {"render", "--layout", "caf\xe9.qr2", "--log", "log\xe9.adi", "--qrp", "a.QRP"}, 0,
         QStringLiteral("pages: 2"), "a.QRP"},
        {"SQLite log read", {"count-qsos", "log\xe9.db"}, 0, QStringLiteral("qsos: 3"), {}},
        {"PDF output", {"render", "--layout", "caf\xe9.qr2", "--log", "log\xe9.adi", "--pdf", "sub/../out\xe9.pdf"},
         1, QStringLiteral("Error writing sub/../out\\xe9.pdf! No such file or directory"), {}},
        {"PDF output", {"render", "--layout", "caf\xe9.qr2", "--log", "log\xe9.adi", "--pdf", "out\xe9.pdf"}, 0,
         QStringLiteral("pages: 2"), "out\xe9.pdf"},
        {"missing layout", {"render", "--layout", "nope\xe9.qr2", "--pdf", "b.pdf"}, 1,
         QStringLiteral("layout \"nope\\xe9.qr2\" not found"), {}},
        {"missing log", {"count-qsos", "nope\xe9.adi"}, 1, QStringLiteral("nope\\xe9.adi"), {}},
        {"damaged layout", {"dump", "bad\xe9.qr2"}, 1, QStringLiteral("bad\\xe9.qr2"), {}},
        {"write-protected output", {"render", "--layout", "caf\xe9.qr2", "--log", "log\xe9.adi", "--pdf", "old\xe9.pdf"},
         1, QStringLiteral("old\\xe9.pdf is read-only"), {}},
        {"image pattern", {"render", "--layout", "caf\xe9.qr2", "--png", "card\xe9-#.png"}, 1,
         QStringLiteral("\"card\\xe9-#.png\" is not valid UTF-8"), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Result r = runCli(dir, c.args);
        EXPECT_EQ(r.code, c.code) << r.output.toStdString();
        EXPECT_TRUE(r.output.contains(c.says)) << r.output.toStdString();
        EXPECT_FALSE(r.output.contains(QStringLiteral("cardmint-names"))) << r.output.toStdString();
        EXPECT_FALSE(r.output.contains(QChar(QChar::ReplacementCharacter))) << r.output.toStdString();
        if (!c.written.isEmpty()) {
            EXPECT_FALSE(readRaw(dir + c.written).isEmpty());
        }
    }
    EXPECT_TRUE(readRaw(dir + "out\xe9.pdf").startsWith("%PDF"));
    EXPECT_EQ(readRaw(dir + "old\xe9.pdf"), QByteArray("old"));
    ::chmod((dir + "old\xe9.pdf").constData(), 0644);
}
