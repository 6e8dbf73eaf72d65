// Tables and queries carried in layouts: reading, writing, opening, macros
// and query parameters.
#include "datasetfixtures.h"

#include "engine/generate/modelaccess.h"
#include "expr/evaluator.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

using namespace cm;
using namespace cm::test;

namespace {

// Whether the layout's query parameter record holds exactly the one mark.
bool marksOnly(const QByteArray& layout, const QByteArray& mark)
{
    const QByteArray record = QByteArray::fromHex("6800") + char(mark.size()) + mark + "\x01\\";
    return layout.contains(record);
}

} // namespace

TEST(LayoutDataSets, TableFromAMovedFolderOpensItsLogbookAndIsTheReportsDataSet)
{
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("qsos.db"));
    makeSqliteLog(log, {QStringLiteral("S50A"), QStringLiteral("DL1ABC")});
    const QString layout = dir.filePath(QStringLiteral("card.qr2"));
    {
        Workspace ws;
        auto* table = new TEDBTable(&ws.window);   // unnamed: named when written
        table->databaseName = QStringLiteral("C:\\Tevrana\\Logs\\");
        table->tableName = QStringLiteral("qsos.db");
        addSource(ws, table, QString());
        ws.report->setDataSet(table);
        auto* detail = ws.report->addBandOfType(TQRBandType::rbDetail);
        detail->size.setHeight(1000);   // one card a page
        ASSERT_TRUE(ws.designer->saveToFile(layout));
        EXPECT_EQ(table->name(), QStringLiteral("EDBTable1"));
    }
    // The command-line tool prints one card per QSO of the layout's own table.
    QProcess cli;
    cli.start(QStringLiteral(CARDMINT_CLI), {QStringLiteral("render"), QStringLiteral("--layout"), layout,
                                             QStringLiteral("--pdf"), dir.filePath(QStringLiteral("out.pdf"))});
    ASSERT_TRUE(cli.waitForFinished(60000));
    EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    EXPECT_EQ(cli.readAllStandardOutput().trimmed(), QByteArray("pages: 2"));
    Loaded l;
    l.ws.designer->fieldDisplayLabels = {QStringLiteral("Call=Callsign"), QStringLiteral("\"qsos.db\".Band=Band (m)")};
    ASSERT_TRUE(l.ws.designer->loadReport(layout));
    EXPECT_TRUE(l.sink.messages.isEmpty()) << l.sink.messages.join(u'\n').toStdString();
    auto* table = l.find<TEDBTable>(u"EDBTable1");
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->databaseName, dir.path() + u'/');
    ASSERT_TRUE(table->isOpen());
    EXPECT_EQ(l.ws.report->dataSet(), table);
    DataSet& records = *table->dataSet();
    EXPECT_EQ(records.recordCount(), 2);
    records.first();
    EXPECT_EQ(records.text(records.fieldIndex(u"Call")), QStringLiteral("S50A"));
    EXPECT_EQ(records.field(records.fieldIndex(u"Call")).label(), QStringLiteral("Callsign"));
    EXPECT_EQ(records.field(records.fieldIndex(u"Band")).label(), QStringLiteral("Band (m)"));
    EXPECT_EQ(table->fields().size(), size_t(LogFieldCount));

    // Written from the data sets it holds, it reads back the same.
    const QByteArray once = l.ws.designer->writeLayout(true);
    Loaded again;
    again.ws.designer->fieldDisplayLabels = l.ws.designer->fieldDisplayLabels;
    ASSERT_TRUE(again.ws.designer->loadFromData(once));
    const QByteArray twice = again.ws.designer->writeLayout(true);
    EXPECT_EQ(twice, once);
    if (twice != once) {
        QFile a(QStringLiteral("/tmp/ds-once.bin")), b(QStringLiteral("/tmp/ds-twice.bin"));
        a.open(QIODevice::WriteOnly); a.write(once);
        b.open(QIODevice::WriteOnly); b.write(twice);
    }
}

TEST(LayoutDataSets, MissingTableFileLoadsWithTheTableClosedAndTells)
{
    QTemporaryDir dir;
    const QString layout = dir.filePath(QStringLiteral("card.qr2"));
    {
        Workspace ws;
        auto* table = new TEDBTable(&ws.window);
        table->setName(QStringLiteral("Gone"));
        table->databaseName = dir.path();
        table->tableName = QStringLiteral("missing.db");
        addSource(ws, table, QStringLiteral("GoneSrc"));
        auto* band = ws.report->addBandOfType(TQRBandType::rbDetail);
        band->setName(QStringLiteral("Detail"));
        ASSERT_TRUE(ws.designer->saveToFile(layout));
    }
    Loaded l;
    ASSERT_TRUE(l.ws.designer->loadReport(layout));
    EXPECT_NE(l.ws.window.findComponent(u"Detail"), nullptr);
    auto* table = l.find<TEDBTable>(u"Gone");
    ASSERT_NE(table, nullptr);
    EXPECT_FALSE(table->isOpen());
    // Fields made from the table's definitions, records none.
    EXPECT_EQ(table->dataSet()->fieldCount(), LogFieldCount);
    EXPECT_TRUE(table->dataSet()->eof());
    ASSERT_EQ(l.sink.messages.size(), 1);
    EXPECT_TRUE(l.sink.messages.front().startsWith(QStringLiteral("Error opening table Gone! ("))) <<
        l.sink.messages.front().toStdString();
}

TEST(LayoutDataSets, MacrosInQueryTextAreExpandedWithTheEvaluator)
{
    const QStringList written = {
        QStringLiteral("SELECT %%2*21%% AS n"),          // an integer: its digits
        QStringLiteral("WHERE %%1>0%%x"),                // a Boolean leaves nothing
        QStringLiteral("AND %%1.5%%y"),                  // so does a float
        QStringLiteral("%%'%DEL'%%"),                    // a line that is only %DEL goes
        QStringLiteral("  %DEL  "),
        QStringLiteral("OR %DEL z"),                     // %DEL inside a line is cut out
        QStringLiteral("LIMIT %%'1' + '0'%%"),           // a text as it is
        QStringLiteral("OFFSET %%3+4"),                  // an open mark runs to the end of the line
        QStringLiteral("-- %%'%'+'%'%%1+1%%"),           // a result is not expanded again
    };
    const QStringList expected = {
        QStringLiteral("SELECT 42 AS n"), QStringLiteral("WHERE x"),   QStringLiteral("AND y"),
        QStringLiteral("OR  z"),          QStringLiteral("LIMIT 10"),  QStringLiteral("OFFSET 7"),
        QStringLiteral("-- %%1+1 "),   // the empty formula after it is a blank
    };
    QByteArray data;
    {
        Workspace ws;
        auto* q = new TQRDWQuery(&ws.window);
        q->setName(QStringLiteral("M"));
        q->originalSQL.setLines(written);
        addSource(ws, q, QStringLiteral("MSrc"));
        data = ws.designer->writeLayout(true);
    }
    Loaded l;
    ASSERT_TRUE(l.ws.designer->loadFromData(data));
    auto* q = l.find<TQRDWQuery>(u"M");
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(q->sql.lines, expected) << ('[' + q->sql.lines.join(QStringLiteral("]\n[")) + ']').toStdString();
    EXPECT_EQ(q->originalSQL.lines, written);   // kept as written for the next save
}

TEST(LayoutDataSets, TwoDataSourcesOnOneDataSetKeepTheLaterOne)
{
    QByteArray data;
    {
        Workspace ws;
        auto* table = new TEDBTable(&ws.window);
        table->setName(QStringLiteral("T"));
        table->tableName = QStringLiteral("nowhere.db");
        addSource(ws, table, QStringLiteral("First"));
        addSource(ws, table, QStringLiteral("Second"));
        data = ws.designer->writeLayout(true);
    }
    Loaded l;
    ASSERT_TRUE(l.ws.designer->loadFromData(data));
    EXPECT_EQ(l.find<TDataSource>(u"First"), nullptr);
    auto* second = l.find<TDataSource>(u"Second");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->dataSet, l.find<TEDBTable>(u"T"));
    // Loading another layout takes the data sets away with their fields.
    Workspace empty;
    ASSERT_TRUE(l.ws.designer->loadFromData(empty.designer->writeLayout(true)));
    EXPECT_TRUE(l.ws.window.componentsOf<TEDBDataSet>().empty());
    EXPECT_TRUE(l.ws.window.componentsOf<TDBField>().empty());
    EXPECT_TRUE(l.ws.window.componentsOf<TDataSource>().empty());
}

TEST(LayoutDataSets, QueryParametersAreAskedForAndLastOnlyForOneOutput)
{
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("qsos.db"));
    makeSqliteLog(log, {QStringLiteral("S50A"), QStringLiteral("DL1ABC"), QStringLiteral("S50A")});
    QByteArray data;
    {
        Workspace ws;
        addCallQuery(ws, log);
        data = ws.designer->writeLayout(true);
        EXPECT_TRUE(marksOnly(data, "Q\\Call"));
    }
    Loaded l;
    ASSERT_TRUE(l.ws.designer->loadFromData(data));
    auto* q = l.find<TQRDWQuery>(u"Q");
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(l.ws.report->dataSet(), q);
    QueryParam* call = q->param(u"Call");
    ASSERT_NE(call, nullptr);
    EXPECT_TRUE(call->bound);
    EXPECT_TRUE(call->isNull);
    ASSERT_TRUE(q->isOpen());
    EXPECT_EQ(q->dataSet()->recordCount(), 0);

    QStringList answers;
    QStringList asked;
    l.ws.designer->askQueryParam = [&](const QString& caption, const QString& prompt, QString& value) {
        asked << caption + u'|' + prompt;
        if (answers.isEmpty())
            return false;
        value = answers.takeFirst();
        return true;
    };
    // Cancelled: no output, the parameter as it was.
    EXPECT_FALSE(l.ws.designer->prepareQueryParams());
    EXPECT_EQ(asked, QStringList{"Parameter of Q|Please type in the parameter \"Call':"});
    EXPECT_TRUE(call->isNull);
    EXPECT_TRUE(l.ws.designer->savedQueryParams().isEmpty());

    answers = {QStringLiteral("S50A")};
    ASSERT_TRUE(l.ws.designer->prepareQueryParams());
    EXPECT_EQ(l.ws.designer->savedQueryParams(), QStringList{"Q.Call={QRDNULL}"});
    EXPECT_EQ(call->text, QStringLiteral("S50A"));
    EXPECT_EQ(q->dataSet()->recordCount(), 2);
    l.ws.designer->restoreQueryParams();
    EXPECT_TRUE(call->isNull);
    EXPECT_TRUE(call->bound);
    // Saving writes the marks from the data sets, not from what was read.
    EXPECT_TRUE(marksOnly(l.ws.designer->writeLayout(true), "Q\\Call"));
}

TEST(LayoutDataSets, AnInvalidParameterValueIsAskedForAgain)
{
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("qsos.db"));
    makeSqliteLog(log, {QStringLiteral("S50A")});
    Loaded l;
    auto* q = new TEDBQuery(&l.ws.window);
    q->setName(QStringLiteral("Q"));
    q->databaseName = log;
    q->sql.setLines({QStringLiteral("SELECT Call FROM Logbook LIMIT :N")});
    q->setParamLines({QStringLiteral("N:Integer")});
    q->param(u"N")->bound = true;
    addSource(l.ws, q, QStringLiteral("QSrc"));
    QStringList answers = {QStringLiteral("five"), QStringLiteral("1")};
    l.ws.designer->askQueryParam = [&](const QString&, const QString&, QString& value) {
        value = answers.takeFirst();
        return true;
    };
    ASSERT_TRUE(l.ws.designer->prepareQueryParams());
    EXPECT_EQ(l.sink.messages, QStringList{"Invalid value!"});
    EXPECT_EQ(q->param(u"N")->text, QStringLiteral("1"));
    EXPECT_EQ(q->dataSet()->recordCount(), 1);
    l.ws.designer->restoreQueryParams();
    EXPECT_TRUE(q->param(u"N")->isNull);
}

TEST(LayoutDataSets, QueriesNeverChangeTheLogbook)
{
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("qsos.db"));
    makeSqliteLog(log, {QStringLiteral("S50A"), QStringLiteral("DL1ABC")});
    const QByteArray before = fileBytes(log);
    const QStringList writes = {
        QStringLiteral("DELETE FROM Logbook"),
        QStringLiteral("UPDATE Logbook SET Call = 'X'"),
        QStringLiteral("CREATE TABLE Other (a)"),
        QStringLiteral("DROP TABLE Logbook"),
    };
    for (const QString& sql : writes) {
        Loaded l;
        auto* q = new TEDBQuery(&l.ws.window);
        q->setName(QStringLiteral("W"));
        q->databaseName = log;
        q->sql.setLines({sql});
        QString error;
        EXPECT_FALSE(q->open(&error)) << sql.toStdString();
        EXPECT_FALSE(error.isEmpty());
    }
    // A query that reads does not write either.
    Loaded l;
    auto* q = new TEDBQuery(&l.ws.window);
    q->setName(QStringLiteral("R"));
    q->databaseName = log;
    q->sql.setLines({QStringLiteral("SELECT COUNT(*) AS n FROM Logbook")});
    ASSERT_TRUE(q->open());
    EXPECT_EQ(q->dataSet()->toInteger(0), 2);
    q->close();
    EXPECT_EQ(fileBytes(log), before);
    EXPECT_FALSE(QFileInfo::exists(log + QStringLiteral("-journal")));
}

TEST(LayoutDataSets, RenderRefusesAQueryParameterNobodyCanBeAskedFor)
{
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("qsos.db"));
    makeSqliteLog(log, {QStringLiteral("S50A")});
    const QString layout = dir.filePath(QStringLiteral("card.qr2"));
    {
        Workspace ws;
        addCallQuery(ws, log);
        ws.report->addBandOfType(TQRBandType::rbDetail);
        ASSERT_TRUE(ws.designer->saveToFile(layout));
    }
    const QByteArray before = fileBytes(log);
    QProcess cli;
    cli.start(QStringLiteral(CARDMINT_CLI),
              {QStringLiteral("render"), QStringLiteral("--layout"), layout, QStringLiteral("--pdf"),
               dir.filePath(QStringLiteral("out.pdf"))});
    ASSERT_TRUE(cli.waitForFinished(60000));
    EXPECT_NE(cli.exitCode(), 0);
    const QString err = QString::fromUtf8(cli.readAllStandardError());
    EXPECT_TRUE(err.contains(QStringLiteral("The query Q needs a value for its parameter Call"))) << err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("out.pdf"))));
    EXPECT_EQ(fileBytes(log), before);
}

TEST(LayoutDataSets, RecordCountAndQueryParamReadTheLayoutsOwnDataSets)
{
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("qsos.db"));
    makeSqliteLog(log, {QStringLiteral("S50A"), QStringLiteral("DL1ABC"), QStringLiteral("S50A")});
    Workspace ws;
    TQRDWQuery* q = addCallQuery(ws, log);
    ASSERT_TRUE(q->param(u"Call")->setText(QStringLiteral("S50A")));
    ASSERT_TRUE(q->open());
    ScopedModelAccess access(ws.scope);
    const struct {
        const char* formula;
        ResultKind kind;
        QString text;
    } cases[] = {
        {"RECORDCOUNT('Q')", ResultKind::Integer, QStringLiteral("2")},
        {"QUERYPARAM('Q','Call')", ResultKind::String, QStringLiteral("S50A")},
        {"QUERYPARAM('Q','Band')", ResultKind::Error, QString()},
        {"RECORDCOUNT('Tbl')", ResultKind::Error, QString()},   // the log table is not one of them
    };
    for (const auto& c : cases) {
        TQREvaluator evaluator;
        const EvResult r = evaluator.Calculate(QString::fromLatin1(c.formula));
        EXPECT_EQ(r.kind, c.kind) << c.formula;
        if (c.kind == ResultKind::Integer) {
            EXPECT_EQ(QString::number(r.intResult), c.text) << c.formula;
        } else if (c.kind == ResultKind::String) {
            EXPECT_EQ(r.strResult, c.text) << c.formula;
        }
    }
}
