#include "logbook/logfields.h"
#include "logbook/logsource.h"
#include "logbook/paradoxformat.h"
#include "logbook_fixtures.h"

#include <gtest/gtest.h>

using namespace cm;
using namespace cmtest;

namespace {

PxTable sampleTable(int records)
{
    PxTable t;
    t.fields = pxLogbookFields();
    for (int i = 1; i <= records; ++i)
        t.records.push_back(pxLogbookRecord(i, QDate(2021, 7, 1).addDays(i), QTime(12, 30).addSecs(60 * i),
                                            "S5" + QByteArray::number(i) + "AB", i % 2 ? "20M" : "40M",
                                            i % 2 ? 14.025 : 7.011, 15));
    return t;
}

std::unique_ptr<LogTable> openBytes(const QTemporaryDir& dir, const QByteArray& bytes, QString* error,
                                    const QString& name = QStringLiteral("t.db"))
{
    const QString path = dir.filePath(name);
    if (!writeFile(path, bytes))
        return nullptr;
    return openLogSource(path, error);
}

} // namespace

TEST(ParadoxReader, ReadsEveryKindOfValueOverSeveralBlocks)
{
    QTemporaryDir dir;
    PxTable t = sampleTable(40);
    t.recordsPerBlock = 6;   // seven blocks, the last one part full
    // Record 3: empty values, negative numbers.
    QByteArray& r = t.records[2];
    r.replace(4, 4, pxNull(4));                      // Datum
    r.replace(8, 4, pxNull(4));                      // Gmt
    r.replace(46, 8, pxDouble(-0.5));                // Freq
    r.replace(270, 2, pxShort(-3));                  // Cq
    r.replace(274, 40, pxAlpha("\xC8" "e\x9A" "ka", 40));   // Country in 1250: Češka
    t.codePage = 1250;
    QString error;
    auto table = openBytes(dir, t.build(), &error);
    ASSERT_TRUE(table) << error.toStdString();
    EXPECT_EQ(table->recordCount(), 40);
    EXPECT_EQ(table->fieldCount(), LogFieldCount);

    table->first();
    EXPECT_EQ(table->toInteger(LogLog), 1);
    EXPECT_EQ(table->toDateTime(LogDatum).date(), QDate(2021, 7, 2));
    EXPECT_EQ(table->toDateTime(LogGmt).time(), QTime(12, 31));
    EXPECT_EQ(table->text(LogCall), QStringLiteral("S51AB"));
    EXPECT_DOUBLE_EQ(table->toFloat(LogFreq), 14.025);
    EXPECT_EQ(table->toInteger(LogCq), 15);
    EXPECT_EQ(table->toInteger(LogItu), 28);
    EXPECT_TRUE(table->isNull(LogQTH));

    table->next();
    table->next();
    EXPECT_EQ(table->recordNumber(), 2);
    EXPECT_TRUE(table->isNull(LogDatum));
    EXPECT_TRUE(table->isNull(LogGmt));
    EXPECT_DOUBLE_EQ(table->toFloat(LogFreq), -0.5);
    EXPECT_EQ(table->toInteger(LogCq), -3);
    EXPECT_EQ(table->text(LogCountry), QStringLiteral("Češka"));

    table->last();
    EXPECT_EQ(table->toInteger(LogLog), 40);
}

TEST(ParadoxReader, OpensReadOnlyAndSaysSo)
{
    QTemporaryDir dir;
    QString error;
    auto table = openBytes(dir, sampleTable(2).build(), &error);
    ASSERT_TRUE(table) << error.toStdString();
    EXPECT_FALSE(table->canModify());
    EXPECT_FALSE(table->readOnlyNotice().isEmpty());
    const QByteArray before = [&] {
        QFile f(dir.filePath(QStringLiteral("t.db")));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    EXPECT_FALSE(table->updateCurrent({{LogCall, QStringLiteral("X1X")}}, &error));
    EXPECT_FALSE(table->appendRecord({{LogCall, QStringLiteral("X1X")}}, &error));
    EXPECT_FALSE(table->deleteCurrent(&error));
    EXPECT_EQ(table->text(LogCall), QStringLiteral("S51AB"));
    QFile f(dir.filePath(QStringLiteral("t.db")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
}

TEST(ParadoxReader, IndexesGiveGroupByEntries)
{
    QTemporaryDir dir;
    PxTable t = sampleTable(5);
    t.primaryKeyFields = 1;
    // Records in reverse call order so that ordering shows.
    std::reverse(t.records.begin(), t.records.end());
    ASSERT_TRUE(writeFile(dir.filePath(QStringLiteral("LOG.X04")), QByteArray(16, '\0')));   // Call
    ASSERT_TRUE(writeFile(dir.filePath(QStringLiteral("LOG.x08")), QByteArray(16, '\0')));   // Band
    ASSERT_TRUE(writeFile(dir.filePath(QStringLiteral("LOG.X99")), QByteArray(16, '\0')));   // no such field
    // Composite indexes: the indexed fields, then the primary key and the
    // index's own hint field.
    auto composite = [](int fileType, std::vector<PxField> fields) {
        PxTable index;
        index.fileType = fileType;
        index.tableName = "ByBandAndDate";
        fields.push_back({"Log", 0x16, 4});
        fields.push_back({"Hint", 0x03, 2});
        index.fields = fields;
        return index.build();
    };
    ASSERT_TRUE(writeFile(dir.filePath(QStringLiteral("LOG.XG1")), composite(8, {{"Band", 0x01, 4}, {"Datum", 0x02, 4}})));
    ASSERT_TRUE(writeFile(dir.filePath(QStringLiteral("LOG.xg0")), composite(6, {{"CALL", 0x01, 20}, {"Mode", 0x01, 4}})));
    ASSERT_TRUE(writeFile(dir.filePath(QStringLiteral("LOG.XG2")), composite(2, {{"Mode", 0x01, 4}})));   // a data table
    ASSERT_TRUE(writeFile(dir.filePath(QStringLiteral("LOG.XG3")), QByteArray(300, '\x7f')));           // damaged
    QString error;
    auto table = openBytes(dir, t.build(), &error, QStringLiteral("LOG.DB"));
    ASSERT_TRUE(table) << error.toStdString();
    EXPECT_EQ(table->indexEntries(), (QStringList{QStringLiteral("Log"), QStringLiteral("Call"), QStringLiteral("Band"),
                                                  QStringLiteral("Call; Mode"), QStringLiteral("Band; Date")}));

    table->first();
    EXPECT_EQ(table->toInteger(LogLog), 5);
    ASSERT_TRUE(table->selectIndexEntry(0));
    EXPECT_EQ(table->currentIndexEntry(), 0);
    table->first();
    EXPECT_EQ(table->toInteger(LogLog), 1);
    ASSERT_TRUE(table->selectIndexEntry(2));
    EXPECT_EQ(table->indexFieldNames(), QStringLiteral("Band"));
    table->first();
    EXPECT_EQ(table->text(LogBand), QStringLiteral("20M"));
    ASSERT_TRUE(table->selectIndexEntry(4));
    EXPECT_EQ(table->indexFieldNames(), QStringLiteral("Band;Datum"));
    table->first();
    EXPECT_EQ(table->text(LogBand), QStringLiteral("20M"));
    EXPECT_EQ(table->toInteger(LogLog), 1);   // the earliest 20 m contact first
}

TEST(ParadoxReader, BindingNeedsEveryFieldWithAFittingType)
{
    QTemporaryDir dir;
    struct Case {
        const char* what;
        int field;
        PxField replacement;
        const char* message;
    } cases[] = {
        {"missing field", 14, {"Via", 0x01, 100}, "Field 'QslVia' not found"},
        {"number where a date belongs", 1, {"Datum", 0x06, 4 + 4}, "Type mismatch for field 'Datum'"},
        {"text where a number belongs", 8, {"Freq", 0x01, 8}, "Type mismatch for field 'Freq'"},
    };
    for (const Case& c : cases) {
        PxTable t;
        t.fields = pxLogbookFields();
        t.fields[size_t(c.field)] = c.replacement;
        QString error;
        LogTable table;
        const QString path = dir.filePath(QStringLiteral("bind.db"));
        ASSERT_TRUE(writeFile(path, t.build()));
        table.setTableName(path);
        EXPECT_FALSE(table.open(&error)) << c.what;
        EXPECT_FALSE(table.isOpen()) << c.what;
        EXPECT_TRUE(error.startsWith(QLatin1String(c.message))) << c.what << ": " << error.toStdString();
        EXPECT_EQ(table.tableName(), path);
    }
}

TEST(ParadoxReader, DamagedFilesAreRefusedWithAReason)
{
    const QByteArray good = sampleTable(30).build();
    const int headerSize = 0x800;
    auto patched = [&](int offset, QByteArray bytes) {
        QByteArray b = good;
        b.replace(offset, bytes.size(), bytes);
        return b;
    };
    const struct {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"empty file", QByteArray()},
        {"cut inside the header", good.left(0x100)},
        {"cut inside the data", good.left(headerSize + 100)},
        {"record size does not match the fields", patched(0, QByteArray("\x10\x00", 2))},
        {"header larger than the file", patched(2, QByteArray("\xFF\xFF", 2))},
        {"unknown field type", patched(0x78, QByteArray("\x42", 1))},
        {"zero fields", patched(0x21, QByteArray("\x00\x00", 2))},
        {"unknown file version", patched(0x39, QByteArray("\x63", 1))},
        {"password protected", patched(0x5C, QByteArray("\x01\x02\x03\x04", 4))},
        {"first block beyond the end", patched(0x0E, QByteArray("\x50\x00", 2))},
        {"blocks in a loop", patched(headerSize, QByteArray("\x01\x00", 2))},
        {"block claims more records than fit", patched(headerSize + 4, QByteArray("\xF0\x7F", 2))},
        {"block holds part of a record", patched(headerSize + 4, QByteArray("\x05\x00", 2))},
        {"no room for the field names", patched(2, QByteArray("\x80\x00", 2))},
    };
    QTemporaryDir dir;
    for (const auto& c : cases) {
        QString error;
        const QString path = dir.filePath(QStringLiteral("bad.db"));
        ASSERT_TRUE(writeFile(path, c.bytes));
        auto table = openLogSource(path, &error);
        EXPECT_FALSE(table) << c.what;
        EXPECT_FALSE(error.isEmpty()) << c.what;
    }
}

TEST(ParadoxReader, OlderVersionsWithoutTheSecondHeaderPart)
{
    QTemporaryDir dir;
    PxTable t = sampleTable(3);
    t.version = 4;   // Paradox 3.5: field list right after the first header part
    QString error;
    auto table = openBytes(dir, t.build(), &error);
    ASSERT_TRUE(table) << error.toStdString();
    EXPECT_EQ(table->recordCount(), 3);
    table->last();
    EXPECT_EQ(table->text(LogCall), QStringLiteral("S53AB"));
}

TEST(ParadoxReader, ValueDecoders)
{
    qint64 i = 0;
    ASSERT_TRUE(paradoxInteger(pxShort(-32767).constData(), 2, i));
    EXPECT_EQ(i, -32767);
    ASSERT_TRUE(paradoxInteger(pxLong(2147483647).constData(), 4, i));
    EXPECT_EQ(i, 2147483647);
    EXPECT_FALSE(paradoxInteger(pxNull(4).constData(), 4, i));
    double d = 0;
    for (double v : {0.0, 1e-300, -123456.789, 14.07})
        ASSERT_TRUE(paradoxDouble(pxDouble(v).constData(), d) && d == v) << v;
    bool b = false;
    ASSERT_TRUE(paradoxLogical(pxLogical(true).constData(), b));
    EXPECT_TRUE(b);
    ASSERT_TRUE(paradoxLogical(pxLogical(false).constData(), b));
    EXPECT_FALSE(b);
    EXPECT_FALSE(paradoxLogical(pxNull(1).constData(), b));
}

TEST(ParadoxReader, EmptyTableCountsZero)
{
    QTemporaryDir dir;
    QString error;
    auto table = openBytes(dir, sampleTable(0).build(), &error);
    ASSERT_TRUE(table) << error.toStdString();
    EXPECT_EQ(table->recordCount(), 0);
    table->first();
    EXPECT_TRUE(table->eof());
    EXPECT_TRUE(table->bof());
}
