// What the data sets of a layout keep across a load and a save: quoting
// settings and filters of wizard queries, stored field labels, calculated
// and lookup fields, and logbooks that a layout's table must not change.
#include "datasetfixtures.h"
#include "logbook/midwrite.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtEndian>

using namespace cm;
using namespace cm::test;

namespace {

TWizQuery* addWizQuery(Workspace& ws)
{
    auto* q = new TWizQuery(&ws.window);
    q->setName(QStringLiteral("Wiz"));
    q->databaseName = QStringLiteral("/nowhere/qsos.db");
    q->tableName = QStringLiteral("qsos.db");
    q->sql.setLines({QStringLiteral("SELECT Call FROM Logbook")});
    addSource(ws, q, QStringLiteral("WizSrc"));
    return q;
}

// A table "T" over the file in the folder (given with its trailing "/"),
// with its data source.
TEDBTable* addTable(Workspace& ws, const QString& folder, const QString& file)
{
    auto* table = new TEDBTable(&ws.window);
    table->setName(QStringLiteral("T"));
    table->databaseName = folder;
    table->tableName = file;
    addSource(ws, table, QStringLiteral("TSrc"));
    return table;
}

TDBField* addField(Workspace& ws, TEDBDataSet* ds, FieldType type, const QString& fieldName)
{
    auto* f = static_cast<TDBField*>(fieldClassFor(type).create(&ws.window));
    f->setName(ds->name() + fieldName);
    f->dataSet = ds;
    f->fieldName = fieldName;
    return f;
}

// `layout` with the data-set block's bytes `from` replaced by `to`, the
// block's size kept right.
QByteArray replacedInDataSets(QByteArray layout, const QByteArray& from, const QByteArray& to)
{
    const qsizetype block = layout.indexOf("TPF0");
    EXPECT_GE(block, 6);
    EXPECT_EQ(layout.mid(block - 6, 2), QByteArray::fromHex("0101"));   // record 257
    const qsizetype at = layout.indexOf(from, block);
    EXPECT_GE(at, 0);
    layout.replace(at, from.size(), to);
    auto* size = reinterpret_cast<uchar*>(layout.data() + block - 4);
    qToLittleEndian<quint32>(qFromLittleEndian<quint32>(size) + quint32(to.size() - from.size()), size);
    return layout;
}

QByteArray binaryValue(const QByteArray& bytes)
{
    QByteArray v(1, '\x0a');
    v.resize(5);
    qToLittleEndian<quint32>(quint32(bytes.size()), v.data() + 1);
    return v + bytes;
}

} // namespace

TEST(DataSetDefinitions, EachDelimiterTypeFillsTheNineQuotingStrings)
{
    const struct {
        const char* type;
        QStringList strings;   // field, string, table, date (left, right), wildcard
    } cases[] = {
        {"delNoQuotes", {"", "", "'", "'", "'", "'", "'", "'", "%"}},
        {"delSingleQuotes", {"'", "'", "'", "'", "'", "'", "'", "'", "%"}},
        {"delDoubleQuotes", {"\"", "\"", "\"", "\"", "\"", "\"", "\"", "\"", "%"}},
        {"delOracle", {"\"", "\"", "'", "'", "\"", "\"", "'", "'", "%"}},
        {"delAccess", {"[", "]", "\"", "\"", "[", "]", "#", "#", "*"}},
    };
    const QStringList names = {"SQLFieldDelimiterLeft",  "SQLFieldDelimiterRight", "SQLStringDelimiterLeft",
                               "SQLStringDelimiterRight", "SQLTableDelimiterLeft", "SQLTableDelimiterRight",
                               "SQLDateDelimiterLeft",   "SQLDateDelimiterRight", "SQLWildcard"};
    Workspace ws;
    TWizQuery* q = addWizQuery(ws);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        // Start from custom strings, so that every one of the nine is seen to change.
        ASSERT_TRUE(setProperty(*q, u"SQLSettings.DelimiterType", int64_t(TQRDelimiterType::delCustom)));
        for (const QString& name : names)
            ASSERT_TRUE(setProperty(*q, QStringLiteral("SQLSettings.") + name, QStringLiteral("?")));
        ASSERT_TRUE(setProperty(*q, u"SQLSettings.DelimiterType", int64_t(enums::delimiterType.ordinalOf(QString::fromLatin1(c.type)))));
        for (qsizetype i = 0; i < names.size(); ++i)
            EXPECT_EQ(std::get<QString>(*getProperty(*q, QStringLiteral("SQLSettings.") + names[i])), c.strings[i])
                << names[i].toStdString();
    }
    // Custom keeps what is there.
    q->sqlSettings.wildcard = QStringLiteral("~");
    q->sqlSettings.setDelimiterType(TQRDelimiterType::delCustom);
    EXPECT_EQ(q->sqlSettings.wildcard, QStringLiteral("~"));
    // A read that found none of the strings takes them from the type.
    TQRDatabaseSettings read;
    read.setDelimiterType(TQRDelimiterType::delAccess);
    read.beginRead();
    EXPECT_TRUE(read.fieldLeft.isEmpty());
    read.endRead();
    EXPECT_EQ(read.fieldLeft + read.wildcard, QStringLiteral("[*"));
}

TEST(DataSetDefinitions, QuotingSettingsAndFiltersOfAWizardQueryResaveByteForByte)
{
    const std::vector<WizFilter> filters = {
        {QStringLiteral("Call"), 2, 0, QStringLiteral("S5%"), 3, 1},
        {QStringLiteral("Band"), 0, 7, QString(), 1, 0},
    };
    const struct {
        const char* what;
        std::function<void(TWizQuery&)> set;
    } cases[] = {
        {"access quotes", [](TWizQuery& q) { q.sqlSettings.setDelimiterType(TQRDelimiterType::delAccess); }},
        {"custom quotes",
         [](TWizQuery& q) {
             q.sqlSettings.setDelimiterType(TQRDelimiterType::delCustom);
             q.sqlSettings.fieldLeft = QStringLiteral("`");
             q.sqlSettings.fieldRight = QStringLiteral("`");
             q.sqlSettings.wildcard = QStringLiteral("*");
         }},
        {"custom quotes, some empty",
         [](TWizQuery& q) {
             q.sqlSettings.setDelimiterType(TQRDelimiterType::delNoQuotes);
             q.sqlSettings.setDelimiterType(TQRDelimiterType::delCustom);
             q.sqlSettings.dateLeft.clear();
             q.sqlSettings.wildcard = QStringLiteral("*");
         }},
        {"filters", [&filters](TWizQuery& q) { q.filters = filters; }},
        {"no filters", [](TWizQuery& q) { q.filters = std::vector<WizFilter>{}; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Workspace ws;
        TWizQuery* wiz = addWizQuery(ws);
        c.set(*wiz);
        const QByteArray once = ws.designer->writeLayout(true);
        Loaded l;
        ASSERT_TRUE(l.ws.designer->loadFromData(once)) << l.sink.messages.join(u'\n').toStdString();
        auto* read = l.find<TWizQuery>(u"Wiz");
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(read->sqlSettings.delimiterType(), wiz->sqlSettings.delimiterType());
        EXPECT_EQ(read->sqlSettings.fieldLeft, wiz->sqlSettings.fieldLeft);
        EXPECT_EQ(read->sqlSettings.dateLeft, wiz->sqlSettings.dateLeft);
        EXPECT_EQ(read->sqlSettings.wildcard, wiz->sqlSettings.wildcard);
        EXPECT_EQ(read->filters, wiz->filters);
        EXPECT_EQ(l.ws.designer->writeLayout(true), once);
    }
}

TEST(DataSetDefinitions, FilterBytesDecodeByTheirVersion)
{
    const auto entry = [](uint8_t version, uint8_t kindOrFlag) {
        QByteArray e;
        e += char(version);
        e += "\x04" "Call";
        e += char(2);
        e += char(0);
        e += "\x03" "S5%";
        e += char(kindOrFlag);
        e += char(9);
        return e;
    };
    const struct {
        const char* what;
        QByteArray bytes;
        std::optional<uint8_t> kind;   // none: the bytes cannot be read
        const char* cause = "";
    } cases[] = {
        {"current entry", "\x01" + entry(101, 4), 4},
        {"old entry, flag clear", "\x01" + entry(100, 0), 1},
        {"old entry, flag set", "\x01" + entry(7, 5), 3},
        {"no entries", QByteArray(1, '\0'), std::nullopt},
        {"empty", QByteArray(), std::nullopt, "empty"},
        {"count larger than the entries", "\x02" + entry(101, 1), std::nullopt, "filter 2 of 2 is cut off"},
        {"cut inside a string", ("\x01" + entry(101, 1)).left(5), std::nullopt, "filter 1 of 1 is cut off"},
        {"cut before the last byte", ("\x01" + entry(101, 1)).chopped(1), std::nullopt, "filter 1 of 1 is cut off"},
        {"bytes after the last entry", "\x01" + entry(101, 1) + char(0), std::nullopt, "1 bytes follow the last filter"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QString error;
        const auto decoded = decodeWizFilters(c.bytes, &error);
        if (!*c.cause) {
            ASSERT_TRUE(decoded) << error.toStdString();
            ASSERT_EQ(decoded->size(), c.kind ? 1u : 0u);
            if (!c.kind)
                continue;
            const WizFilter& f = decoded->front();
            EXPECT_EQ(f.firstText, QStringLiteral("Call"));
            EXPECT_EQ(f.firstByte, 2);
            EXPECT_EQ(f.secondByte, 0);
            EXPECT_EQ(f.secondText, QStringLiteral("S5%"));
            EXPECT_EQ(f.kind, *c.kind);
            EXPECT_EQ(f.lastByte, 9);
            // Written back as a current entry.
            EXPECT_EQ(encodeWizFilters(*decoded), "\x01" + entry(101, *c.kind));
        } else {
            EXPECT_FALSE(decoded);
            EXPECT_TRUE(error.contains(QLatin1String(c.cause))) << error.toStdString();
        }
    }
}

TEST(DataSetDefinitions, DamagedFilterBytesRefuseTheLayoutAndKeepTheReport)
{
    Workspace ws;
    TWizQuery* wiz = addWizQuery(ws);
    wiz->filters = std::vector<WizFilter>{{QStringLiteral("Call"), 2, 0, QStringLiteral("S5%"), 3, 1}};
    const QByteArray good = encodeWizFilters(*wiz->filters);
    const QByteArray layout = ws.designer->writeLayout(true);
    const QByteArray cut = replacedInDataSets(layout, binaryValue(good), binaryValue(good.chopped(2)));

    Loaded l;
    l.ws.report->addBandOfType(TQRBandType::rbDetail)->setName(QStringLiteral("Kept"));
    EXPECT_FALSE(l.ws.designer->loadFromData(cut));
    ASSERT_EQ(l.sink.messages.size(), 1);
    EXPECT_TRUE(l.sink.messages.front().startsWith(QStringLiteral("Error in report file! (the filters of the query Wiz")))
        << l.sink.messages.front().toStdString();
    EXPECT_NE(l.ws.window.findComponent(u"Kept"), nullptr);
    EXPECT_EQ(l.find<TWizQuery>(u"Wiz"), nullptr);
}

TEST(DataSetDefinitions, StoredLabelsOfPlainFieldsStayUnlessTheDisplayLabelsNameThem)
{
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("qsos.db"));
    makeSqliteLog(log, {QStringLiteral("S50A")});
    Workspace ws;
    TEDBTable* table = addTable(ws, dir.path() + u'/', QStringLiteral("qsos.db"));
    addField(ws, table, FieldType::String, QStringLiteral("Call"))->displayLabel = QStringLiteral("Station worked");
    TDBField* band = addField(ws, table, FieldType::String, QStringLiteral("Band"));
    band->displayLabel = QStringLiteral("Stored band");
    band->visible = false;
    const QByteArray layout = ws.designer->writeLayout(true);

    Loaded l;
    l.ws.designer->fieldDisplayLabels = {QStringLiteral("\"qsos.db\".Band=Band (m)")};
    ASSERT_TRUE(l.ws.designer->loadFromData(layout)) << l.sink.messages.join(u'\n').toStdString();
    auto* read = l.find<TEDBTable>(u"T");
    ASSERT_NE(read, nullptr);
    ASSERT_TRUE(read->isOpen());
    const DataSet& records = *read->dataSet();
    const FieldDef& call = records.field(records.fieldIndex(u"Call"));
    const FieldDef& readBand = records.field(records.fieldIndex(u"Band"));
    EXPECT_EQ(call.label(), QStringLiteral("Station worked"));
    EXPECT_EQ(readBand.label(), QStringLiteral("Band (m)"));
    EXPECT_FALSE(readBand.visible);

    // Saved and read again, without display labels, the labels stay.
    const QByteArray resaved = l.ws.designer->writeLayout(true);
    Loaded again;
    ASSERT_TRUE(again.ws.designer->loadFromData(resaved));
    const DataSet& second = *again.find<TEDBTable>(u"T")->dataSet();
    EXPECT_EQ(second.field(second.fieldIndex(u"Call")).label(), QStringLiteral("Station worked"));
    EXPECT_EQ(second.field(second.fieldIndex(u"Band")).label(), QStringLiteral("Band (m)"));
    EXPECT_EQ(again.ws.designer->writeLayout(true), resaved);
}

TEST(DataSetDefinitions, ADataSetThatCannotOpenKeepsItsStoredFields)
{
    QTemporaryDir dir;
    Workspace ws;
    auto* q = new TEDBQuery(&ws.window);
    q->setName(QStringLiteral("Q"));
    q->databaseName = dir.filePath(QStringLiteral("gone.db"));
    q->sql.setLines({QStringLiteral("SELECT Call FROM Logbook")});
    addSource(ws, q, QStringLiteral("QSrc"));
    addField(ws, q, FieldType::String, QStringLiteral("Call"))->displayLabel = QStringLiteral("Station");
    addField(ws, q, FieldType::String, QStringLiteral("Greeting"))->calculated = true;
    TEDBTable* table = addTable(ws, dir.path() + u'/', QStringLiteral("gone.db"));
    addField(ws, table, FieldType::Integer, QStringLiteral("Distance"))->calculated = true;
    const QByteArray layout = ws.designer->writeLayout(true);

    Loaded l;
    ASSERT_TRUE(l.ws.designer->loadFromData(layout));
    EXPECT_EQ(l.sink.messages.size(), 2);   // neither opened
    TDBField* call = l.find<TDBField>(u"QCall");
    TDBField* greeting = l.find<TDBField>(u"QGreeting");
    TDBField* distance = l.find<TDBField>(u"TDistance");
    ASSERT_TRUE(call && greeting && distance);
    EXPECT_EQ(call->displayLabel, QStringLiteral("Station"));
    EXPECT_TRUE(greeting->calculated);
    EXPECT_TRUE(distance->calculated);
    EXPECT_EQ(l.find<TEDBTable>(u"T")->dataSet()->fieldCount(), LogFieldCount + 1);
    // The query, with nothing made from definitions, is written as it was read.
    const QByteArray resaved = l.ws.designer->writeLayout(true);
    const qsizetype blockAt = layout.indexOf("TPF0");
    const qsizetype tableAt = layout.indexOf("TEDBTable");
    ASSERT_GT(blockAt, 0);
    ASSERT_GT(tableAt, blockAt);
    EXPECT_EQ(resaved.mid(blockAt, tableAt - blockAt), layout.mid(blockAt, tableAt - blockAt));
}

TEST(DataSetDefinitions, CalculatedFieldsComeFromTheLoadersEventAndLookupFieldsFromTheirDataSet)
{
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("qsos.db"));
    makeSqliteLog(log, {QStringLiteral("S50A"), QStringLiteral("DL1ABC"), QStringLiteral("K1XYZ")});
    Workspace ws;
    auto* names = new TEDBQuery(&ws.window);
    names->setName(QStringLiteral("Names"));
    names->databaseName = log;
    names->sql.setLines({QStringLiteral("SELECT Call AS K, 'Op ' || Call AS Name FROM Logbook WHERE Call <> 'K1XYZ'")});
    addSource(ws, names, QStringLiteral("NamesSrc"));
    TEDBTable* table = addTable(ws, dir.path() + u'/', QStringLiteral("qsos.db"));
    addField(ws, table, FieldType::String, QStringLiteral("Greeting"))->calculated = true;
    TDBField* op = addField(ws, table, FieldType::String, QStringLiteral("Operator"));
    op->lookup = true;
    op->keyFields = QStringLiteral("Call");
    op->lookupDataSet = names;
    op->lookupKeyFields = QStringLiteral("K");
    op->lookupResultField = QStringLiteral("Name");
    const QByteArray layout = ws.designer->writeLayout(true);

    Loaded l;
    int events = 0;
    l.ws.designer->onCalcFields = [&events](TEDBDataSet& ds) {
        ++events;
        DataSet& records = *ds.dataSet();
        EXPECT_TRUE(ds.setCalcValue(u"Greeting", QStringLiteral("Hello ") + records.text(records.fieldIndex(u"Call"))));
        EXPECT_FALSE(ds.setCalcValue(u"Call", QStringLiteral("plain fields are not set here")));
    };
    ASSERT_TRUE(l.ws.designer->loadFromData(layout)) << l.sink.messages.join(u'\n').toStdString();
    auto* read = l.find<TEDBTable>(u"T");
    ASSERT_NE(read, nullptr);
    ASSERT_TRUE(read->isOpen());
    DataSet& records = *read->dataSet();
    const int greeting = records.fieldIndex(u"Greeting");
    const int oper = records.fieldIndex(u"Operator");
    ASSERT_GE(greeting, 0);
    ASSERT_GE(oper, 0);
    QStringList seen;
    for (records.first(); !records.eof(); records.next()) {
        seen << records.text(greeting) + u'|' + records.text(oper) + u'|' + QString::number(records.isNull(oper));
        records.text(greeting);   // once per record, however often it is read
    }
    EXPECT_EQ(seen, QStringList({QStringLiteral("Hello S50A|Op S50A|0"), QStringLiteral("Hello DL1ABC|Op DL1ABC|0"),
                                 QStringLiteral("Hello K1XYZ||1")}));
    EXPECT_EQ(events, 3);
    // The lookup data set's own cursor is where it was.
    auto* readNames = l.find<TEDBQuery>(u"Names");
    EXPECT_EQ(readNames->dataSet()->recordNumber(), 0);
    // Opened again with other records, it is looked up again.
    readNames->close();
    readNames->sql.setLines({QStringLiteral("SELECT Call AS K, 'New ' || Call AS Name FROM Logbook")});
    ASSERT_TRUE(readNames->open());
    records.last();
    EXPECT_EQ(records.text(oper), QStringLiteral("New K1XYZ"));

    // Both fields keep what makes them computed across a save.
    const QByteArray resaved = l.ws.designer->writeLayout(true);
    Loaded again;
    ASSERT_TRUE(again.ws.designer->loadFromData(resaved));
    auto* readOp = again.find<TDBField>(u"TOperator");
    ASSERT_NE(readOp, nullptr);
    EXPECT_TRUE(readOp->lookup);
    EXPECT_EQ(readOp->lookupDataSet, again.find<TEDBQuery>(u"Names"));
    EXPECT_EQ(readOp->keyFields + readOp->lookupKeyFields + readOp->lookupResultField, QStringLiteral("CallKName"));
    EXPECT_TRUE(again.find<TDBField>(u"TGreeting")->calculated);
    EXPECT_EQ(again.ws.designer->writeLayout(true), resaved);
}

TEST(DataSetDefinitions, ALayoutNeverRecoversAHalfWrittenLogbook)
{
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("good.db"));
    makeSqliteLog(good, {QStringLiteral("S50A")});
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("cut")));
    const QString log = dir.filePath(QStringLiteral("cut/qsos.db"));
    cmtest::copyMidTransaction(good, log);
    const QByteArray before = fileBytes(log);
    const QByteArray journal = fileBytes(log + QStringLiteral("-journal"));
    ASSERT_FALSE(journal.isEmpty());

    Workspace ws;
    addTable(ws, dir.filePath(QStringLiteral("cut/")), QStringLiteral("qsos.db"));
    auto* q = new TEDBQuery(&ws.window);
    q->setName(QStringLiteral("Q"));
    q->databaseName = log;
    q->sql.setLines({QStringLiteral("SELECT Call FROM Logbook")});
    addSource(ws, q, QStringLiteral("QSrc"));

    Loaded l;
    ASSERT_TRUE(l.ws.designer->loadFromData(ws.designer->writeLayout(true)));
    EXPECT_FALSE(l.find<TEDBTable>(u"T")->isOpen());
    EXPECT_FALSE(l.find<TEDBQuery>(u"Q")->isOpen());
    ASSERT_EQ(l.sink.messages.size(), 2);
    for (const QString& message : l.sink.messages) {
        EXPECT_TRUE(message.contains(log + QStringLiteral(" was left half-written"))) << message.toStdString();
    }
    EXPECT_EQ(fileBytes(log), before);
    EXPECT_EQ(fileBytes(log + QStringLiteral("-journal")), journal);
}
