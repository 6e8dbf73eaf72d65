#pragma once
// The program's own logbooks: SQLite files with one table "Logbook" that
// holds the 19 persistent fields, text without a size limit. Dates are
// stored as text yyyy-mm-dd and times as hh:mm:ss (UTC), so the file reads
// well in any SQLite tool.
#include "logbook/logbackend.h"
#include "logbook/logfilter.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <map>
#include <memory>
#include <mutex>
#include <optional>

class QThread;

namespace cm {

constexpr const char* kLogbookTable = "Logbook";

// A table or column name as SQL text: in double quotes, inner quotes doubled.
QString quotedIdentifier(const QString& identifier);

// One named Qt Sql connection to a SQLite file, removed again on destruction.
class SqliteConnection {
public:
    SqliteConnection();
    ~SqliteConnection();
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    bool open(const QString& path, bool readOnly, QString* error);
    // Read-only and unable to write even through SQL. A journal left by a
    // cut-off write is refused: reading past it would roll it back.
    bool openQueryOnly(const QString& path, QString* error);
    void close();
    QSqlDatabase db() const;

private:
    enum class Access { Write, ReadOnly, QueryOnly };
    bool connect(const QString& path, Access access, bool journal, QString* error);
    QString name_;
};

// Creates a new, empty logbook file; an existing file is never overwritten.
bool createSqliteLogbook(const QString& path, QString* error);
bool createLogbookSchema(QSqlDatabase db, QString* error);

// Field definitions of the Logbook table in column order; an empty list
// when the file has no such table.
std::optional<std::vector<FieldDef>> readSqliteFieldDefs(QSqlDatabase db, QString* error);

// The value as stored in a logbook column.
QVariant toSqlValue(const QVariant& value);

// Appends records in one transaction: all of them or none.
class LogbookInserter {
public:
    explicit LogbookInserter(QSqlDatabase db);
    ~LogbookInserter();   // rolls back what was not committed
    bool begin(QString* error);
    bool insert(const std::vector<QVariant>& values, qint64* newLog, QString* error);
    bool commit(QString* error);

private:
    QSqlDatabase db_;
    std::unique_ptr<class QSqlQuery> query_;
    bool active_ = false;
};

class SqliteBackend final : public LogBackend, public LogPager {
public:
    // A query-only back end never writes the file (see SqliteConnection).
    explicit SqliteBackend(QString path, bool queryOnly = false);
    ~SqliteBackend() override;

    bool load(LogStore& store, QString* error) override;
    LogPager* openPaged(QString* error) override;
    std::vector<LogIndexDef> indexes() const override { return indexes_; }
    QString readOnlyNotice() const override;

    bool readKeys(const std::vector<bool>& columns, const LogFilter& filter, LogStore& keys,
                  std::vector<qint64>& ids, QString* error) override;
    bool readRecords(const std::vector<qint64>& ids, LogStore& page, QString* error) override;

    bool insertRecord(const std::vector<QVariant>& values, qint64* newLog, QString* error) override;
    bool updateRecord(qint64 log, const std::vector<QVariant>& values, QString* error) override;
    bool deleteRecord(qint64 log, QString* error) override;

private:
    bool connect(QString* error);
    bool openConnection(SqliteConnection& connection, QString* error) const;
    void readIndexes();
    QString selectList(const std::vector<bool>& columns) const;   // empty: every field
    bool exec(const QString& sql, const std::vector<QVariant>& binds, QString* error);

    QString path_;
    bool queryOnly_ = false;
    bool readOnly_ = false;
    SqliteConnection connection_;
    std::vector<LogIndexDef> indexes_;
    QStringList columns_;   // physical column of each persistent field
    std::vector<FieldType> physicalTypes_;
    QString rowIdName_;     // empty: every name of the row id is a column's
    // The page read, prepared for `size` keys, and the connections and
    // queries of readers in other threads than the one that opened.
    struct PageQuery {
        std::unique_ptr<QSqlQuery> query;
        size_t size = 0;
    };
    struct Reader {
        std::unique_ptr<SqliteConnection> connection;
        PageQuery pageQuery;
        ~Reader() { pageQuery.query.reset(); }   // before its connection closes
    };
    QSqlDatabase readerDb(QString* error);
    PageQuery& readerQuery();
    PageQuery pageQuery_;
    QThread* connectionThread_ = nullptr;
    std::mutex readersMutex_;
    std::map<QThread*, Reader> readers_;
};

} // namespace cm
