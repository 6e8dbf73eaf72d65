#include "logbook/sqlitelogbook.h"

#include "logbook/logfields.h"
#include "logbook/logvalueparse.h"
#include "logbook/sqliteerrors.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <unordered_map>

namespace cm {

static bool sqlFail(QString* error, const QString& what, const QSqlDatabase& db, const QSqlError& e)
{
    if (error)
        *error = what + QStringLiteral(": ") + describeSqliteError(db.databaseName(), e);
    return false;
}

QString quotedIdentifier(const QString& identifier)
{
    QString s = identifier;
    s.replace(u'"', QStringLiteral("\"\""));
    return u'"' + s + u'"';
}

SqliteConnection::SqliteConnection()
{
    static std::atomic<int> counter{0};
    name_ = QStringLiteral("cardmint-logbook-%1").arg(++counter);
}

SqliteConnection::~SqliteConnection() { close(); }

// A journal left beside the file by a write that was cut off (an import
// killed half way, a crash): SQLite rolls it back on the next read, which
// needs write access to the file and its folder.
static bool hasJournal(const QString& path)
{
    return QFileInfo::exists(path + QStringLiteral("-journal"));
}

static bool canRecover(const QString& path)
{
    const QFileInfo file(path);
    return file.isWritable() && QFileInfo(file.absolutePath()).isWritable();
}

bool SqliteConnection::open(const QString& path, bool readOnly, QString* error)
{
    close();
    const bool journal = hasJournal(path);
    if (readOnly && journal && canRecover(path))
        readOnly = false;   // reading it recovers it
    return connect(path, readOnly ? Access::ReadOnly : Access::Write, journal, error);
}

bool SqliteConnection::openQueryOnly(const QString& path, QString* error)
{
    close();
    // Reading past a journal would roll it back, which writes.
    if (hasJournal(path)) {
        if (error)
            *error = QStringLiteral("%1 was left half-written; open it in the Data tab once to recover it").arg(path);
        return false;
    }
    return connect(path, Access::QueryOnly, false, error);
}

bool SqliteConnection::connect(const QString& path, Access access, bool journal, QString* error)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
        db.setDatabaseName(path);
        if (access != Access::Write)
            db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (db.open()) {
            // Checks that the file really is a database before anything relies on it.
            QSqlQuery q(db);
            if ((access != Access::QueryOnly || q.exec(QStringLiteral("PRAGMA query_only = ON"))) &&
                q.exec(QStringLiteral("PRAGMA schema_version")))
                return true;
            if (journal && !canRecover(path)) {
                if (error)
                    *error = QStringLiteral("%1 was left half-written by an interrupted import or edit; "
                                            "recovering it needs write access to the file and its folder")
                                 .arg(path);
            } else {
                sqlFail(error, QStringLiteral("Cannot open the logbook"), db, q.lastError());
            }
        } else {
            sqlFail(error, QStringLiteral("Cannot open the logbook"), db, db.lastError());
        }
    }
    close();
    return false;
}

void SqliteConnection::close()
{
    if (QSqlDatabase::contains(name_)) {
        {
            QSqlDatabase db = QSqlDatabase::database(name_, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(name_);
    }
}

QSqlDatabase SqliteConnection::db() const { return QSqlDatabase::database(name_, false); }

static QString columnType(const FieldDef& f)
{
    switch (f.type) {
    case FieldType::AutoInc: return QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    case FieldType::Date: return QStringLiteral("DATE");
    case FieldType::Time: return QStringLiteral("TIME");
    case FieldType::Float: return QStringLiteral("DOUBLE");
    case FieldType::SmallInt: return QStringLiteral("SMALLINT");
    // Text columns carry no size: SQLite would not keep to it, and the
    // program's logbooks keep every value whole. Older logbooks declared
    // VARCHAR(n); SQLite stored their values whole all the same.
    default: return QStringLiteral("TEXT");
    }
}

bool createLogbookSchema(QSqlDatabase db, QString* error)
{
    QStringList cols;
    for (const FieldDef& f : logFieldDefs())
        cols << quotedIdentifier(f.name) + u' ' + columnType(f);
    const QStringList statements = {
        QStringLiteral("CREATE TABLE %1 (%2)").arg(quotedIdentifier(kLogbookTable), cols.join(QStringLiteral(", "))),
        QStringLiteral("CREATE INDEX ByCall ON Logbook (Call)"),
        QStringLiteral("CREATE INDEX ByDate ON Logbook (Datum, Gmt)"),
        QStringLiteral("CREATE INDEX ByCountry ON Logbook (Country)"),
        QStringLiteral("CREATE INDEX ByBand ON Logbook (Band, Mode)"),
    };
    if (!db.transaction())
        return sqlFail(error, QStringLiteral("Cannot start a transaction"), db, db.lastError());
    QSqlQuery q(db);
    for (const QString& sql : statements) {
        if (!q.exec(sql)) {
            const QSqlError e = q.lastError();
            db.rollback();
            return sqlFail(error, QStringLiteral("Cannot create the logbook"), db, e);
        }
    }
    if (!db.commit())
        return sqlFail(error, QStringLiteral("Cannot create the logbook"), db, db.lastError());
    return true;
}

bool createSqliteLogbook(const QString& path, QString* error)
{
    if (QFileInfo::exists(path)) {
        if (error)
            *error = QStringLiteral("%1 already exists").arg(path);
        return false;
    }
    SqliteConnection c;
    if (!c.open(path, false, error))
        return false;
    return createLogbookSchema(c.db(), error);
}

static FieldType typeFromDeclaration(const QString& declared, bool primaryKey, int& size)
{
    const QString t = declared.toUpper();
    size = 0;
    static const QRegularExpression sizeRe(QStringLiteral("\\(\\s*(\\d+)\\s*\\)"));
    const auto m = sizeRe.match(t);
    if (m.hasMatch())
        size = m.captured(1).toInt();
    if (t.contains(u"INT")) {
        if (primaryKey && t.trimmed() == u"INTEGER")
            return FieldType::AutoInc;   // the row id: numbered by SQLite
        return t.contains(u"SMALLINT") ? FieldType::SmallInt : FieldType::Integer;
    }
    if (t.contains(u"CHAR") || t.contains(u"TEXT") || t.contains(u"CLOB"))
        return FieldType::String;
    if (t.contains(u"DATETIME") || t.contains(u"TIMESTAMP"))
        return FieldType::DateTime;
    if (t.contains(u"DATE"))
        return FieldType::Date;
    if (t.contains(u"TIME"))
        return FieldType::Time;
    if (t.contains(u"BOOL") || t.contains(u"LOGICAL"))
        return FieldType::Boolean;
    if (t.contains(u"REAL") || t.contains(u"FLOA") || t.contains(u"DOUB") || t.contains(u"NUMERIC") ||
        t.contains(u"DECIMAL"))
        return FieldType::Float;
    return FieldType::Blob;
}

std::optional<std::vector<FieldDef>> readSqliteFieldDefs(QSqlDatabase db, QString* error)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(quotedIdentifier(kLogbookTable)))) {
        sqlFail(error, QStringLiteral("Cannot read the logbook's fields"), db, q.lastError());
        return std::nullopt;
    }
    std::vector<FieldDef> defs;
    std::vector<bool> keys;
    while (q.next()) {
        FieldDef d;
        d.name = q.value(1).toString();
        int size = 0;
        d.type = typeFromDeclaration(q.value(2).toString(), q.value(5).toInt() == 1, size);
        d.size = size;
        keys.push_back(q.value(5).toInt() > 0);
        defs.push_back(d);
    }
    // Only a single-column key is the row id.
    if (std::count(keys.begin(), keys.end(), true) > 1) {
        for (FieldDef& d : defs)
            if (d.type == FieldType::AutoInc)
                d.type = FieldType::Integer;
    }
    return defs;
}

QVariant toSqlValue(const QVariant& value)
{
    if (!value.isValid())
        return QVariant();
    switch (value.typeId()) {
    case QMetaType::QDate: return value.toDate().toString(Qt::ISODate);
    case QMetaType::QTime: return value.toTime().toString(QStringLiteral("HH:mm:ss"));
    default: return value;
    }
}

static QString insertSql()
{
    QStringList names, marks;
    for (const FieldDef& f : logFieldDefs()) {
        if (f.type == FieldType::AutoInc)
            continue;
        names << quotedIdentifier(f.name);
        marks << QStringLiteral("?");
    }
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(quotedIdentifier(kLogbookTable), names.join(u','), marks.join(u','));
}

LogbookInserter::LogbookInserter(QSqlDatabase db) : db_(std::move(db)) {}

LogbookInserter::~LogbookInserter()
{
    query_.reset();
    if (active_)
        db_.rollback();
}

bool LogbookInserter::begin(QString* error)
{
    if (!db_.transaction())
        return sqlFail(error, QStringLiteral("Cannot start a transaction"), db_, db_.lastError());
    active_ = true;
    query_ = std::make_unique<QSqlQuery>(db_);
    if (!query_->prepare(insertSql()))
        return sqlFail(error, QStringLiteral("Cannot write to the logbook"), db_, query_->lastError());
    return true;
}

bool LogbookInserter::insert(const std::vector<QVariant>& values, qint64* newLog, QString* error)
{
    int pos = 0;
    const auto& defs = logFieldDefs();
    for (size_t i = 0; i < defs.size(); ++i) {
        if (defs[i].type == FieldType::AutoInc)
            continue;
        query_->bindValue(pos++, toSqlValue(values[i]));
    }
    if (!query_->exec())
        return sqlFail(error, QStringLiteral("Cannot write to the logbook"), db_, query_->lastError());
    if (newLog)
        *newLog = query_->lastInsertId().toLongLong();
    return true;
}

bool LogbookInserter::commit(QString* error)
{
    query_.reset();
    active_ = false;
    if (!db_.commit()) {
        const QSqlError e = db_.lastError();
        db_.rollback();
        return sqlFail(error, QStringLiteral("Cannot save the logbook"), db_, e);
    }
    return true;
}

QString SqliteBackend::readOnlyNotice() const
{
    if (readOnly_)
        return QStringLiteral("This logbook is open read-only: the file cannot be written.");
    return QString();
}

SqliteBackend::SqliteBackend(QString path, bool queryOnly) : path_(std::move(path)), queryOnly_(queryOnly) {}

SqliteBackend::~SqliteBackend() = default;

// The value of a logbook column as the store keeps it: text that reads as
// no value of the field's type is null.
static void storeSqlValue(LogStore& store, int row, int col, const QVariant& v)
{
    if (v.isNull())
        return;
    bool ok = true;
    switch (logFieldDefs()[size_t(col)].type) {
    case FieldType::String:
        store.setText(row, col, v.toString());
        break;
    case FieldType::Date:
        if (auto d = parseDateValue(v.toString()))
            store.setInteger(row, col, toStoredDate(*d));
        break;
    case FieldType::Time:
        if (auto t = parseTimeValue(v.toString()))
            store.setInteger(row, col, toStoredTime(*t));
        break;
    case FieldType::Float: {
        const double d = v.toDouble(&ok);
        if (ok && qIsFinite(d))
            store.setReal(row, col, d);
        break;
    }
    default: {
        const qint64 i = v.toLongLong(&ok);
        if (ok)
            store.setInteger(row, col, i);
        break;
    }
    }
}

bool SqliteBackend::connect(QString* error)
{
    readOnly_ = queryOnly_ || !QFileInfo(path_).isWritable();
    connectionThread_ = QThread::currentThread();
    if (!openConnection(connection_, error))
        return false;
    QSqlDatabase db = connection_.db();
    const auto defs = readSqliteFieldDefs(db, error);
    if (!defs)
        return false;
    if (defs->empty()) {
        if (error)
            *error = QStringLiteral("%1 holds no logbook table").arg(path_);
        return false;
    }
    const auto binding = bindLogFields(*defs, error);
    if (!binding)
        return false;
    columns_.clear();
    physicalTypes_.clear();
    for (int col = 0; col < LogFieldCount; ++col) {
        const FieldDef& physical = (*defs)[size_t((*binding)[size_t(col)])];
        columns_ << physical.name;
        physicalTypes_.push_back(physical.type);
    }
    // The row id under a name no column of the table hides.
    rowIdName_.clear();
    for (const char* name : {"rowid", "_rowid_", "oid"}) {
        const bool hidden = std::any_of(defs->begin(), defs->end(), [&](const FieldDef& d) {
            return d.name.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
        });
        if (!hidden) {
            rowIdName_ = QLatin1String(name);
            break;
        }
    }
    readIndexes();
    return true;
}

void SqliteBackend::readIndexes()
{
    // The row id first, then the table's own indexes (expression indexes
    // have no field list and are left out).
    QSqlDatabase db = connection_.db();
    indexes_.clear();
    LogIndexDef primary;
    primary.name = QStringLiteral("Primary");
    primary.primary = true;
    primary.fields << columns_[LogLog];
    indexes_.push_back(primary);
    QSqlQuery list(db);
    if (list.exec(QStringLiteral("PRAGMA index_list(%1)").arg(quotedIdentifier(kLogbookTable)))) {
        std::vector<QString> names;
        while (list.next())
            names.push_back(list.value(1).toString());
        // index_list gives the newest index first.
        std::reverse(names.begin(), names.end());
        for (const QString& name : names) {
            LogIndexDef index;
            index.name = name;
            QSqlQuery info(db);
            if (!info.exec(QStringLiteral("PRAGMA index_info(%1)").arg(quotedIdentifier(name))))
                continue;
            while (info.next()) {
                if (info.value(1).toInt() < 0)
                    index.expression = true;
                else
                    index.fields << info.value(2).toString();
            }
            indexes_.push_back(index);
        }
    }
}

QString SqliteBackend::selectList(const std::vector<bool>& columns) const
{
    QStringList select;
    for (int col = 0; col < LogFieldCount; ++col)
        if (columns.empty() || columns[size_t(col)])
            select << quotedIdentifier(columns_[col]);
    return select.join(u',');
}

bool SqliteBackend::load(LogStore& store, QString* error)
{
    if (!connect(error))
        return false;
    QSqlDatabase db = connection_.db();
    QSqlQuery q(db);
    q.setForwardOnly(true);
    // Knowing the count first saves growing 19 columns step by step.
    if (q.exec(QStringLiteral("SELECT COUNT(*) FROM %1").arg(quotedIdentifier(kLogbookTable))) && q.next()) {
        const qint64 rows = q.value(0).toLongLong();
        if (rows > 0 && rows < 50'000'000)
            store.reserve(int(rows));
    }
    q.finish();
    const QString sql = QStringLiteral("SELECT %1 FROM %2 ORDER BY %3")
                            .arg(selectList({}), quotedIdentifier(kLogbookTable), quotedIdentifier(columns_[LogLog]));
    if (!q.exec(sql))
        return sqlFail(error, QStringLiteral("Cannot read the logbook"), db, q.lastError());
    while (q.next()) {
        const int row = store.appendRow();
        for (int col = 0; col < LogFieldCount; ++col)
            storeSqlValue(store, row, col, q.value(col));
    }
    if (q.lastError().isValid())
        return sqlFail(error, QStringLiteral("Cannot read the logbook"), db, q.lastError());
    return true;
}

bool SqliteBackend::openConnection(SqliteConnection& connection, QString* error) const
{
    return queryOnly_ ? connection.openQueryOnly(path_, error) : connection.open(path_, readOnly_, error);
}

// Qt's database connections serve the thread that made them: a print run
// that reads the logbook in another thread gets a connection of its own.
QSqlDatabase SqliteBackend::readerDb(QString* error)
{
    if (QThread::currentThread() == connectionThread_)
        return connection_.db();
    const std::lock_guard lock(readersMutex_);
    Reader& reader = readers_[QThread::currentThread()];
    if (!reader.connection) {
        reader.connection = std::make_unique<SqliteConnection>();
        if (!openConnection(*reader.connection, error)) {
            readers_.erase(QThread::currentThread());
            return {};
        }
    }
    return reader.connection->db();
}

SqliteBackend::PageQuery& SqliteBackend::readerQuery()
{
    if (QThread::currentThread() == connectionThread_)
        return pageQuery_;
    const std::lock_guard lock(readersMutex_);
    return readers_[QThread::currentThread()].pageQuery;
}

LogPager* SqliteBackend::openPaged(QString* error)
{
    if (!connect(error))
        return nullptr;
    if (rowIdName_.isEmpty())
        return nullptr;
    // A table made WITHOUT ROWID has no key to fetch records by.
    QSqlQuery probe(connection_.db());
    if (!probe.exec(QStringLiteral("SELECT %1 FROM %2 LIMIT 0").arg(rowIdName_, quotedIdentifier(kLogbookTable))))
        return nullptr;
    return this;
}

bool SqliteBackend::readKeys(const std::vector<bool>& columns, const LogFilter& filter, LogStore& keys,
                             std::vector<qint64>& ids, QString* error)
{
    QSqlDatabase db = readerDb(error);
    if (!db.isValid())
        return false;
    std::vector<QVariant> binds;
    // Compared in the query as in memory: text columns, and the row id.
    const QString where = filter.sqlSuperset(
        [this](int col) {
            const FieldType persistent = logFieldDefs()[size_t(col)].type;
            const FieldType physical = physicalTypes_[size_t(col)];
            const bool text = persistent == FieldType::String && physical == FieldType::String;
            const bool rowId = persistent == FieldType::AutoInc && physical == FieldType::AutoInc;
            return text || rowId ? quotedIdentifier(columns_[col]) : QString();
        },
        binds);
    std::vector<int> wanted;
    for (int col = 0; col < LogFieldCount; ++col)
        if (columns[size_t(col)])
            wanted.push_back(col);
    const QString select = wanted.empty() ? rowIdName_ : rowIdName_ + u',' + selectList(columns);
    QString sql = QStringLiteral("SELECT %1 FROM %2").arg(select, quotedIdentifier(kLogbookTable));
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where;
    sql += QStringLiteral(" ORDER BY ") + quotedIdentifier(columns_[LogLog]);
    QSqlQuery q(db);
    q.setForwardOnly(true);
    bool ok = q.prepare(sql);
    for (size_t i = 0; ok && i < binds.size(); ++i)
        q.bindValue(int(i), binds[i]);
    if (!ok || !q.exec())
        return sqlFail(error, QStringLiteral("Cannot read the logbook"), db, q.lastError());
    keys.clear();
    ids.clear();
    while (q.next()) {
        ids.push_back(q.value(0).toLongLong());
        const int row = keys.appendRow();
        for (size_t k = 0; k < wanted.size(); ++k)
            storeSqlValue(keys, row, wanted[k], q.value(int(k) + 1));
    }
    if (q.lastError().isValid())
        return sqlFail(error, QStringLiteral("Cannot read the logbook"), db, q.lastError());
    return true;
}

bool SqliteBackend::readRecords(const std::vector<qint64>& ids, LogStore& page, QString* error)
{
    page.clear();
    for (size_t i = 0; i < ids.size(); ++i)
        page.appendRow();
    if (ids.empty())
        return true;
    QSqlDatabase db = readerDb(error);
    if (!db.isValid())
        return false;
    PageQuery& prepared = readerQuery();
    std::unique_ptr<QSqlQuery>& query = prepared.query;
    if (!query || prepared.size != ids.size()) {
        QStringList marks;
        for (size_t i = 0; i < ids.size(); ++i)
            marks << QStringLiteral("?");
        query = std::make_unique<QSqlQuery>(db);
        query->setForwardOnly(true);
        prepared.size = ids.size();
        if (!query->prepare(QStringLiteral("SELECT %1,%2 FROM %3 WHERE %1 IN (%4)")
                                     .arg(rowIdName_, selectList({}), quotedIdentifier(kLogbookTable),
                                          marks.join(u',')))) {
            const QSqlError e = query->lastError();
            query.reset();
            return sqlFail(error, QStringLiteral("Cannot read the logbook"), db, e);
        }
    }
    QSqlQuery& q = *query;
    std::unordered_map<qint64, int> rowOf;
    rowOf.reserve(ids.size());
    for (size_t i = 0; i < ids.size(); ++i) {
        q.bindValue(int(i), ids[i]);
        rowOf.emplace(ids[i], int(i));
    }
    if (!q.exec())
        return sqlFail(error, QStringLiteral("Cannot read the logbook"), db, q.lastError());
    while (q.next()) {
        const auto it = rowOf.find(q.value(0).toLongLong());
        if (it == rowOf.end())
            continue;
        for (int col = 0; col < LogFieldCount; ++col)
            storeSqlValue(page, it->second, col, q.value(col + 1));
    }
    const QSqlError e = q.lastError();
    // A statement left open would keep a read lock a writer (the marks
    // of a print run) waits for.
    q.finish();
    if (e.isValid())
        return sqlFail(error, QStringLiteral("Cannot read the logbook"), db, e);
    return true;
}

bool SqliteBackend::exec(const QString& sql, const std::vector<QVariant>& binds, QString* error)
{
    QSqlDatabase db = connection_.db();
    if (!db.transaction())
        return sqlFail(error, QStringLiteral("Cannot start a transaction"), db, db.lastError());
    {
        QSqlQuery q(db);
        bool ok = q.prepare(sql);
        for (size_t i = 0; ok && i < binds.size(); ++i)
            q.bindValue(int(i), binds[i]);
        if (!ok || !q.exec()) {
            const QSqlError e = q.lastError();
            q.finish();
            db.rollback();
            return sqlFail(error, QStringLiteral("Cannot change the logbook"), db, e);
        }
        if (q.numRowsAffected() != 1) {
            q.finish();
            db.rollback();
            if (error)
                *error = QStringLiteral("The record is no longer in the logbook");
            return false;
        }
    }
    if (!db.commit()) {
        const QSqlError e = db.lastError();
        db.rollback();
        return sqlFail(error, QStringLiteral("Cannot save the change"), db, e);
    }
    return true;
}

bool SqliteBackend::insertRecord(const std::vector<QVariant>& values, qint64* newLog, QString* error)
{
    if (readOnly_)
        return LogBackend::insertRecord(values, newLog, error);
    LogbookInserter inserter(connection_.db());
    return inserter.begin(error) && inserter.insert(values, newLog, error) && inserter.commit(error);
}

bool SqliteBackend::updateRecord(qint64 log, const std::vector<QVariant>& values, QString* error)
{
    if (readOnly_)
        return LogBackend::updateRecord(log, values, error);
    QStringList sets;
    std::vector<QVariant> binds;
    for (int col = 0; col < LogFieldCount; ++col) {
        if (col == LogLog)
            continue;
        sets << quotedIdentifier(columns_[col]) + QStringLiteral(" = ?");
        binds.push_back(toSqlValue(values[size_t(col)]));
    }
    binds.push_back(log);
    return exec(QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
                    .arg(quotedIdentifier(kLogbookTable), sets.join(u','), quotedIdentifier(columns_[LogLog])),
                binds, error);
}

bool SqliteBackend::deleteRecord(qint64 log, QString* error)
{
    if (readOnly_)
        return LogBackend::deleteRecord(log, error);
    return exec(QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(quotedIdentifier(kLogbookTable), quotedIdentifier(columns_[LogLog])),
                {QVariant(log)}, error);
}

} // namespace cm
