#include "logbook/checktable.h"
#include "logbook_fixtures.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

using namespace cmtest;

namespace {

struct CheckCase {
    const char* what;
    int fieldCount;     // 19 or other counts made by adding or dropping alpha fields
    int twelfthType;    // Paradox type of the twelfth field
    int expected;
};

std::vector<PxField> fieldsFor(const CheckCase& c)
{
    auto fields = pxLogbookFields(c.twelfthType);
    while (int(fields.size()) > c.fieldCount)
        fields.pop_back();
    for (int i = int(fields.size()); i < c.fieldCount; ++i)
        fields.push_back({"Extra" + QByteArray::number(i), 0x06, 8});   // any type passes
    return fields;
}

const CheckCase kParadoxCases[] = {
    {"old format: twelfth field logical", 19, 0x09, 0},
    {"current format: twelfth field alphanumeric", 19, 0x01, 1},
    {"extended format: 21 fields", 21, 0x01, 2},
    {"21 fields whatever the twelfth field", 21, 0x09, 2},
    {"20 fields", 20, 0x01, 3},
    {"22 fields", 22, 0x01, 3},
    {"18 fields", 18, 0x01, 3},
    {"twelfth field a date", 19, 0x02, 3},
    {"twelfth field a number", 19, 0x06, 3},
};

} // namespace

TEST(CheckTable, ParadoxCodesFollowTheFieldCountAndTheTwelfthField)
{
    QTemporaryDir dir;
    for (const CheckCase& c : kParadoxCases) {
        PxTable t;
        t.fields = fieldsFor(c);
        const QString path = dir.filePath(QStringLiteral("t%1.db").arg(&c - kParadoxCases));
        ASSERT_TRUE(writeFile(path, t.build()));
        QString error;
        const auto code = cm::CheckTable(path, &error);
        ASSERT_TRUE(code.has_value()) << c.what << ": " << error.toStdString();
        EXPECT_EQ(*code, c.expected) << c.what;
    }
}

TEST(CheckTable, SqliteCodesFollowTheSameRule)
{
    QTemporaryDir dir;
    const QString base = QStringLiteral(
        "Log INTEGER PRIMARY KEY, Datum DATE, Gmt TIME, Call VARCHAR(20), RstS VARCHAR(3), "
        "RstR VARCHAR(3), Mode VARCHAR(4), Band VARCHAR(4), Freq DOUBLE, QTH VARCHAR(20), "
        "Name VARCHAR(10), QslS %1, QslR VARCHAR(8), Opomba VARCHAR(50), QslVia VARCHAR(100), "
        "Pfx VARCHAR(20), Cq SMALLINT, Itu SMALLINT, Country VARCHAR(40)%2");
    const struct {
        const char* twelfth;
        const char* extra;
        int expected;
    } cases[] = {
        {"BOOLEAN", "", 0},
        {"VARCHAR(8)", "", 1},
        {"VARCHAR(8)", ", Loc VARCHAR(6), Grid VARCHAR(6)", 2},
        {"VARCHAR(8)", ", Loc VARCHAR(6)", 3},
        {"DATE", "", 3},
    };
    int i = 0;
    for (const auto& c : cases) {
        const QString path = makeSqliteFile(
            dir, QStringLiteral("s%1.db").arg(i++),
            QStringLiteral("CREATE TABLE Logbook (%1)").arg(base.arg(QLatin1String(c.twelfth), QLatin1String(c.extra))));
        ASSERT_FALSE(path.isEmpty());
        QString error;
        const auto code = cm::CheckTable(path, &error);
        ASSERT_TRUE(code.has_value()) << error.toStdString();
        EXPECT_EQ(*code, c.expected) << c.twelfth << c.extra;
    }
    // The program's own new logbook is of the current format.
    const QString own = makeSqliteLogbook(dir, QStringLiteral("own.db"), {});
    EXPECT_EQ(cm::CheckTable(own, nullptr), std::optional<int>(1));
    // A SQLite file without a logbook table is no logbook.
    const QString other = makeSqliteFile(dir, QStringLiteral("other.db"), QStringLiteral("CREATE TABLE x (a)"));
    EXPECT_EQ(cm::CheckTable(other, nullptr), std::optional<int>(3));
}

TEST(CheckTable, UnreadableFilesAreErrorsAndOtherFilesNoTables)
{
    QTemporaryDir dir;
    QString error;
    EXPECT_FALSE(cm::CheckTable(dir.filePath(QStringLiteral("missing.db")), &error).has_value());
    EXPECT_FALSE(error.isEmpty());

    // A damaged .db file: the reader's reason is passed on.
    const QString damaged = dir.filePath(QStringLiteral("damaged.db"));
    ASSERT_TRUE(writeFile(damaged, QByteArray(300, '\x07')));
    error.clear();
    EXPECT_FALSE(cm::CheckTable(damaged, &error).has_value());
    EXPECT_TRUE(error.contains(QStringLiteral("Paradox"))) << error.toStdString();

    const QString adif = dir.filePath(QStringLiteral("log.adi"));
    ASSERT_TRUE(writeFile(adif, "<CALL:4>S5AA<EOR>"));
    EXPECT_EQ(cm::CheckTable(adif, nullptr), std::optional<int>(3));

    // A folder and a file that cannot be read are errors with their cause, not code 3.
    error.clear();
    EXPECT_FALSE(cm::CheckTable(dir.path(), &error).has_value());
    EXPECT_TRUE(error.contains(QStringLiteral("is a folder"))) << error.toStdString();
    const QString locked = dir.filePath(QStringLiteral("locked.adi"));
    ASSERT_TRUE(writeFile(locked, "<CALL:4>S5AA<EOR>"));
    ASSERT_TRUE(QFile::setPermissions(locked, QFile::WriteOwner));
    if (QFile probe(locked); !probe.open(QIODevice::ReadOnly)) {   // not when run as root
        error.clear();
        EXPECT_FALSE(cm::CheckTable(locked, &error).has_value());
        EXPECT_TRUE(error.contains(QStringLiteral("cannot read"))) << error.toStdString();
    }
}

TEST(CheckTable, CommandLinePrintsTheCodeItsMeaningAndTheKindOfFile)
{
    QTemporaryDir dir;
    PxTable t;
    t.fields = pxLogbookFields(0x09);
    const QString old = dir.filePath(QStringLiteral("old.db"));
    ASSERT_TRUE(writeFile(old, t.build()));
    const QString own = makeSqliteLogbook(dir, QStringLiteral("own.db"), {});
    const QString adif = dir.filePath(QStringLiteral("log.adi"));
    ASSERT_TRUE(writeFile(adif, "<CALL:4>S5AA<EOR>"));
    const QString other = makeSqliteFile(dir, QStringLiteral("other.db"), QStringLiteral("CREATE TABLE x (a)"));
    const struct {
        QString path;
        const char* out;
    } cases[] = {
        {old, "0 old format: convert it in the logbook program first (Paradox table)\n"},
        {own, "1 current format (Cardmint logbook)\n"},
        // Files that render reads are never called no logbook.
        {adif, "3 not a table of the logbook program, but render reads it (ADIF file)\n"},
        {other, "3 not a logbook table (SQLite file)\n"},
    };
    QProcess p;
    for (const auto& c : cases) {
        p.start(QStringLiteral(CARDMINT_CLI), {QStringLiteral("check-table"), c.path});
        ASSERT_TRUE(p.waitForFinished(30000));
        EXPECT_EQ(p.exitCode(), 0) << c.out;
        EXPECT_EQ(p.readAllStandardOutput(), QByteArray(c.out));
    }

    p.start(QStringLiteral(CARDMINT_CLI), {QStringLiteral("check-table"), dir.filePath(QStringLiteral("none.db"))});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_NE(p.exitCode(), 0);
    EXPECT_TRUE(p.readAllStandardError().contains("none.db"));
    p.start(QStringLiteral(CARDMINT_CLI), {QStringLiteral("check-table"), dir.path()});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(p.readAllStandardError().contains("is a folder"));
}
