#pragma once
// Small SQLite logbooks and layouts with data sets of their own, for the
// tests of the layout reader and of the designer's output.
#include "layout/workspace.h"
#include "logbook/logfields.h"
#include "logbook/sqlitelogbook.h"
#include "report/dbdatasets.h"

#include <QFile>
#include <gtest/gtest.h>

namespace cm::test {

// A logbook at `path` with one QSO per call, in this order.
inline void makeSqliteLog(const QString& path, const QStringList& calls)
{
    QString error;
    ASSERT_TRUE(createSqliteLogbook(path, &error)) << error.toStdString();
    SqliteConnection connection;
    ASSERT_TRUE(connection.open(path, false, &error)) << error.toStdString();
    LogbookInserter inserter(connection.db());
    ASSERT_TRUE(inserter.begin(&error)) << error.toStdString();
    for (const QString& call : calls) {
        std::vector<QVariant> values(LogFieldCount);
        values[LogCall] = call;
        values[LogBand] = QStringLiteral("20m");
        qint64 log = 0;
        ASSERT_TRUE(inserter.insert(values, &log, &error)) << error.toStdString();
    }
    ASSERT_TRUE(inserter.commit(&error)) << error.toStdString();
}

// A workspace whose designer's messages are kept, for looking at after a load.
struct Loaded {
    Workspace ws;
    CollectingMessageSink sink;
    Loaded() { ws.designer->messageSink = &sink; }
    template <class T>
    T* find(QStringView name) { return dynamic_cast<T*>(ws.window.findComponent(name)); }
};

inline QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A data source for `ds` in the workspace's window.
inline TDataSource* addSource(Workspace& ws, TDataSetComponent* ds, const QString& name)
{
    auto* src = new TDataSource(&ws.window);
    src->setName(name);
    src->dataSet = ds;
    return src;
}

// A query "Q" over the logbook at `path` that selects the QSOs of one call,
// the parameter "Call" marked to be asked for, as the report's data set.
inline TQRDWQuery* addCallQuery(Workspace& ws, const QString& path)
{
    auto* q = new TQRDWQuery(&ws.window);
    q->setName(QStringLiteral("Q"));
    q->databaseName = path;
    q->originalSQL.setLines({QStringLiteral("SELECT Call, Band FROM Logbook"), QStringLiteral("WHERE Call = :Call")});
    q->sql.setLines(q->originalSQL.lines);
    q->param(u"Call")->bound = true;
    addSource(ws, q, QStringLiteral("QSrc"));
    ws.report->setDataSet(q);
    return q;
}

} // namespace cm::test
