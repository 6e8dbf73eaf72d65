#pragma once
// A logbook as an import cut off half way leaves it, for the tests of
// recovering (the log table) and of refusing to (layouts).
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <gtest/gtest.h>

namespace cmtest {

// Copies `logbook` to `copy` in the middle of a large insert: pages already
// written into the file and the journal that can undo them beside it.
inline void copyMidTransaction(const QString& logbook, const QString& copy)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("mid-write"));
        db.setDatabaseName(logbook);
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec(QStringLiteral("PRAGMA cache_size = 2")));   // spills early into the file
        ASSERT_TRUE(db.transaction());
        for (int i = 0; i < 400; ++i)
            ASSERT_TRUE(q.exec(QStringLiteral("INSERT INTO Logbook (Call, Opomba) VALUES ('X%1', '%2')")
                                   .arg(i).arg(QString(500, u'r'))));
        ASSERT_TRUE(QFile::exists(logbook + QStringLiteral("-journal")));
        ASSERT_TRUE(QFile::copy(logbook, copy));
        ASSERT_TRUE(QFile::copy(logbook + QStringLiteral("-journal"), copy + QStringLiteral("-journal")));
        db.rollback();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("mid-write"));
}

} // namespace cmtest
