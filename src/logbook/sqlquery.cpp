#include "logbook/sqlquery.h"

#include "logbook/logbookfolder.h"
#include "logbook/logformat.h"
#include "logbook/sqliteerrors.h"
#include "logbook/sqlitelogbook.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

namespace cm {

namespace {

FieldType fieldTypeOf(QMetaType type)
{
    switch (type.id()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return FieldType::Integer;
    case QMetaType::Double:
        return FieldType::Float;
    case QMetaType::Bool:
        return FieldType::Boolean;
    case QMetaType::QByteArray:
        return FieldType::Blob;
    default:
        return FieldType::String;
    }
}

// All records of one run, held in memory.
class QueryRecords final : public DataSet {
public:
    QueryRecords(QString name, std::vector<FieldDef> defs, std::vector<std::vector<QVariant>> rows)
        : name_(std::move(name)), defs_(std::move(defs)), rows_(std::move(rows))
    {
        first();
    }

    QString name() const override { return name_; }
    bool isOpen() const override { return true; }
    bool open(QString*) override { return true; }
    void close() override {}

    void first() override { move(0); }
    void next() override { move(pos_ + 1); }
    void prior() override { move(pos_ - 1); }
    void last() override { move(int(rows_.size()) - 1); }
    bool eof() const override { return eof_; }
    bool bof() const override { return bof_; }
    int recordCount() const override { return int(rows_.size()); }
    int recordNumber() const override { return rows_.empty() ? -1 : pos_; }

    int fieldCount() const override { return int(defs_.size()); }
    const FieldDef& field(int index) const override { return defs_[size_t(index)]; }

    bool isNull(int index) const override { return value(index).isNull(); }
    QString text(int index) const override { return value(index).toString(); }
    qint64 toInteger(int index) const override { return value(index).toLongLong(); }
    double toFloat(int index) const override { return value(index).toDouble(); }
    bool toBoolean(int index) const override { return value(index).toBool(); }
    QDateTime toDateTime(int index) const override
    {
        const QVariant v = value(index);
        QDateTime dt = QDateTime::fromString(v.toString(), Qt::ISODate);
        if (!dt.isValid())
            dt = QDateTime(QDate::fromString(v.toString(), Qt::ISODate), QTime(0, 0));
        return dt;
    }
    QByteArray blob(int index) const override
    {
        const QVariant v = value(index);
        return v.metaType().id() == QMetaType::QByteArray ? v.toByteArray() : v.toString().toUtf8();
    }

private:
    QVariant value(int index) const
    {
        if (rows_.empty() || index < 0 || index >= int(defs_.size()))
            return QVariant();
        return rows_[size_t(pos_)][size_t(index)];
    }
    void move(int to)
    {
        const int n = int(rows_.size());
        bof_ = to < 0 || n == 0;
        eof_ = to >= n || n == 0;
        pos_ = n == 0 ? 0 : std::clamp(to, 0, n - 1);
    }

    QString name_;
    std::vector<FieldDef> defs_;
    std::vector<std::vector<QVariant>> rows_;
    int pos_ = 0;
    bool bof_ = true;
    bool eof_ = true;
};

bool fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

} // namespace

std::unique_ptr<DataSet> openSqlQuery(const QString& dataSetName, const QString& logbook, const QString& sql,
                                      const std::vector<std::pair<QString, QVariant>>& params, QString* error)
{
    if (logbook.isEmpty()) {
        fail(error, QStringLiteral("the query names no logbook"));
        return nullptr;
    }
    const QString path = QFileInfo(logbook).isAbsolute() ? logbook : findLogbook(logbook).path;
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        fail(error, QStringLiteral("the logbook %1 was not found").arg(logbook));
        return nullptr;
    }
    if (detectLogFormat(path) != LogFormat::Sqlite) {
        fail(error, QStringLiteral("%1 is not a SQLite logbook; queries run only against SQLite logbooks").arg(path));
        return nullptr;
    }
    // A layout never changes a logbook.
    SqliteConnection connection;
    if (!connection.openQueryOnly(path, error))
        return nullptr;
    QSqlDatabase db = connection.db();
    std::vector<FieldDef> defs;
    std::vector<std::vector<QVariant>> rows;
    {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        if (!q.prepare(sql)) {
            fail(error, describeSqliteError(path, q.lastError()));
            return nullptr;
        }
        for (const auto& [name, value] : params)
            q.bindValue(u':' + name, value.isValid() ? value : QVariant(QMetaType::fromType<QString>()));
        if (!q.exec()) {
            fail(error, describeSqliteError(path, q.lastError()));
            return nullptr;
        }
        if (!q.isSelect()) {
            fail(error, QStringLiteral("the query does not read records"));
            return nullptr;
        }
        const QSqlRecord record = q.record();
        for (int i = 0; i < record.count(); ++i) {
            FieldDef def;
            def.name = record.fieldName(i);
            def.type = fieldTypeOf(record.field(i).metaType());
            defs.push_back(def);
        }
        while (q.next()) {
            std::vector<QVariant> row;
            row.reserve(defs.size());
            for (int i = 0; i < int(defs.size()); ++i)
                row.push_back(q.value(i));
            rows.push_back(std::move(row));
        }
    }
    return std::make_unique<QueryRecords>(dataSetName, std::move(defs), std::move(rows));
}

} // namespace cm
