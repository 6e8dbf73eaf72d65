// Log files that cannot be used: every kind of fault has a message of its
// own that names the file, and a logbook left mid-write by an interrupted
// import is recovered when it is opened.
#include "logbook/checktable.h"
#include "logbook/logfields.h"
#include "logbook/logsource.h"
#include "logbook_fixtures.h"
#include "midwrite.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>
#include <unistd.h>

using namespace cm;
using namespace cmtest;

namespace {

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString threeQsos(const QTemporaryDir& dir, const QString& name)
{
    return makeSqliteLogbook(dir, name,
                             {qso("S51A", QDate(2024, 1, 1), QTime(1, 0), "20M", "CW", 14.0, "Slovenia"),
                              qso("DL1B", QDate(2024, 1, 2), QTime(2, 0), "40M", "SSB", 7.1, "Germany"),
                              qso("G3C", QDate(2024, 1, 3), QTime(3, 0), "15M", "FT8", 21.074, "England")});
}

} // namespace

TEST(DamagedLogs, EachFaultHasItsOwnMessage)
{
    QTemporaryDir dir;
    const QByteArray good = readFile(threeQsos(dir, QStringLiteral("good.db")));
    ASSERT_GT(good.size(), 4096);
    auto damaged = [&](const char* name, const std::function<void(QByteArray&)>& damage) {
        QByteArray bytes = good;
        damage(bytes);
        const QString path = dir.filePath(QLatin1String(name));
        EXPECT_TRUE(writeFile(path, bytes));
        return path;
    };
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.db")));
    const struct {
        const char* what;
        QString path;
        const char* message;   // part of the reason, which names the file
    } cases[] = {
        {"cut after its header", damaged("cut.db", [](QByteArray& b) { b.truncate(100); }), "is damaged (the SQLite database is malformed)"},
        {"cut to one page", damaged("page.db", [](QByteArray& b) { b.truncate(1024); }), "is damaged (the SQLite database is malformed)"},
        {"pages overwritten", damaged("junk.db", [](QByteArray& b) { b.replace(100, 3000, QByteArray(3000, '\x5a')); }),
         "is damaged (the SQLite database is malformed)"},
        {"header text damaged", damaged("header.db", [](QByteArray& b) { b[14] = '2'; }),
         "is not a valid SQLite logbook (its header is damaged)"},
        {"header text wiped", damaged("wiped.db", [](QByteArray& b) { b.replace(0, 16, QByteArray(16, '\0')); }),
         "is not a valid SQLite logbook (its header is damaged)"},
        {"a folder", dir.filePath(QStringLiteral("folder.db")), "is a folder, not a logbook"},
        {"a text file", damaged("notes.txt", [](QByteArray& b) { b = "just some notes\n"; }),
         "is not a logbook: neither a Paradox table, a Cardmint logbook nor an ADIF file"},
        {"no table of either kind", damaged("other.db", [](QByteArray& b) { b = QByteArray(300, '\x07'); }),
         "Not a valid Paradox table"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QString error;
        EXPECT_FALSE(openLogSource(c.path, &error));
        EXPECT_TRUE(error.contains(QLatin1String(c.message))) << error.toStdString();
        EXPECT_TRUE(error.contains(c.path)) << error.toStdString();
        EXPECT_FALSE(error.contains(QStringLiteral("Unable to"))) << error.toStdString();   // no driver text
    }
    // A file that cannot be read is said so; only where permissions bind.
    const QString locked = damaged("locked.db", [](QByteArray&) {});
    ASSERT_TRUE(QFile::setPermissions(locked, QFile::WriteOwner));
    if (geteuid() != 0) {
        QString error;
        EXPECT_FALSE(openLogSource(locked, &error));
        EXPECT_TRUE(error.contains(QStringLiteral("Cannot read %1: permission denied").arg(locked))) << error.toStdString();
    }
}

TEST(DamagedLogs, AnInterruptedImportIsRecoveredOnOpening)
{
    QTemporaryDir dir;
    const QString logbook = threeQsos(dir, QStringLiteral("log.db"));
    const QString opened = dir.filePath(QStringLiteral("opened.db"));
    const QString checked = dir.filePath(QStringLiteral("checked.db"));
    copyMidTransaction(logbook, opened);
    copyMidTransaction(logbook, checked);

    // The check opens read-only, the log table for writing: both recover.
    QString error;
    EXPECT_EQ(CheckTable(checked, &error), std::optional<int>(TableCurrentFormat)) << error.toStdString();
    auto t = openLogSource(opened, &error);
    ASSERT_TRUE(t) << error.toStdString();
    EXPECT_EQ(t->recordCount(), 3);
    for (const QString& path : {opened, checked})
        EXPECT_FALSE(QFile::exists(path + QStringLiteral("-journal"))) << path.toStdString();

    // Without write access it cannot be recovered, and that is what it says.
    if (geteuid() == 0)
        GTEST_SKIP() << "file permissions do not bind root";
    const QString kept = dir.filePath(QStringLiteral("ro/kept.db"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("ro")));
    copyMidTransaction(logbook, kept);
    ASSERT_TRUE(QFile::setPermissions(kept, QFile::ReadOwner));
    ASSERT_TRUE(QFile::setPermissions(dir.filePath(QStringLiteral("ro")), QFile::ReadOwner | QFile::ExeOwner));
    EXPECT_FALSE(openLogSource(kept, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("needs write access"))) << error.toStdString();
    QFile::setPermissions(dir.filePath(QStringLiteral("ro")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// A file name that is not UTF-8 is named as typed, with the odd byte shown,
// and not reported missing.
TEST(DamagedLogs, FileNamesThatAreNotUtf8AreNamedAsTyped)
{
    QTemporaryDir dir;
    auto checkTable = [&](bool create) {
        QProcess p;
        p.setWorkingDirectory(dir.path());
        const QString script = create ? QStringLiteral("printf 'x' > \"$(printf 'log\\377.db')\"; ") : QString();
        p.start(QStringLiteral("sh"),
                {QStringLiteral("-c"), script + QStringLiteral("\"$0\" check-table \"$(printf 'log\\377.db')\""),
                 QStringLiteral(CARDMINT_CLI)});
        EXPECT_TRUE(p.waitForFinished(30000));
        return QString::fromUtf8(p.readAllStandardError() + p.readAllStandardOutput());
    };
    // Missing, it is said to be missing under the name as typed.
    const QString missing = checkTable(false);
    EXPECT_TRUE(missing.contains(QStringLiteral("\"log\\xff.db\" not found"))) << missing.toStdString();
    // There, it is read: a file of one byte is no logbook table.
    const QString there = checkTable(true);
    EXPECT_FALSE(there.contains(QStringLiteral("not found"))) << there.toStdString();
    EXPECT_FALSE(there.contains(QStringLiteral("UTF-8"))) << there.toStdString();
    EXPECT_TRUE(there.contains(QStringLiteral("log\\xff.db"))) << there.toStdString();
}
