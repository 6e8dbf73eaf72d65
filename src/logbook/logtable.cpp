#include "logbook/logtable.h"

#include "expr/formatsettings.h"
#include "logbook/logbookfolder.h"
#include "logbook/logfields.h"
#include "logbook/logtext.h"
#include "logbook/logvalueparse.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

namespace cm {

namespace {

// Texts of every row in one buffer, looked up by row. Held as one QString
// each, 100 000 short sort keys took three times their own size in string
// headers and heap blocks; compared as views they order exactly the same.
class PackedTexts {
public:
    explicit PackedTexts(size_t rows) { offsets_.reserve(rows + 1); offsets_.push_back(0); }
    void append(QStringView text)
    {
        buffer_.append(text);
        offsets_.push_back(buffer_.size());
    }
    QStringView at(size_t row) const
    {
        return QStringView(buffer_).sliced(offsets_[row], offsets_[row + 1] - offsets_[row]);
    }
    void squeeze() { buffer_.squeeze(); }

private:
    QString buffer_;
    std::vector<qsizetype> offsets_;
};

} // namespace

LogTable::LogTable(QString componentName)
    : componentName_(std::move(componentName)), store_(logFieldDefs())
{
}

LogTable::~LogTable() = default;

void LogTable::setTableName(const QString& tableName)
{
    close();
    tableName_ = tableName;
}

QString LogTable::resolvedPath() const
{
    if (tableName_.isEmpty())
        return QString();
    return resolveLogbookPath(tableName_);
}

bool LogTable::open(QString* error)
{
    close();
    QString message;
    const QString path = resolvedPath();
    if (path.isEmpty()) {
        message = QStringLiteral("No table name is set");
    } else {
        const LogFormat format = detectLogFormat(path);
        auto backend = createLogBackend(path, format, &message, queryOnly_);
        if (backend) {
            // Paradox tables keep their declared sizes; the other sources
            // keep every value whole.
            LogStore loaded(format == LogFormat::Paradox ? logFieldDefs() : unlimitedLogFieldDefs());
            if (LogPager* pager = backend->openPaged(&message)) {
                pager_ = pager;
                store_ = std::move(loaded);
                backend_ = std::move(backend);
            } else if (message.isEmpty() && backend->load(loaded, &message)) {
                store_ = std::move(loaded);
                backend_ = std::move(backend);
            }
            if (backend_)
                format_ = format;
        }
    }
    if (!backend_) {
        if (error)
            *error = message;
        return false;
    }

    indexes_ = backend_->indexes();
    entries_.clear();
    for (const LogIndexDef& index : indexes_) {
        if (index.expression || index.fields.isEmpty())
            continue;
        IndexEntry entry;
        QStringList labels;
        for (const QString& f : index.fields) {
            const int col = fieldIndex(f);
            if (col < 0)
                break;
            entry.columns.push_back(col);
            labels << store_.field(col).label();
        }
        // An index over fields the program does not see cannot order it.
        if (entry.columns.size() != size_t(index.fields.size()))
            continue;
        entry.text = labels.join(QStringLiteral("; "));
        const bool known = std::any_of(entries_.begin(), entries_.end(),
                                       [&](const IndexEntry& e) { return e.text == entry.text; });
        if (!known)
            entries_.push_back(std::move(entry));
    }
    // The filter text stays across tables; it names persistent fields only.
    auto parsed = LogFilter::parse(filterText_, store_, nullptr);
    filter_ = parsed ? std::move(*parsed) : LogFilter();
    if (!rebuildView(&message)) {
        close();
        if (error)
            *error = message;
        return false;
    }
    first();
    return true;
}

void LogTable::close()
{
    pager_ = nullptr;
    backend_.reset();
    store_.clear();
    keyIds_.clear();
    pages_.clear();
    readError_.clear();
    indexes_.clear();
    entries_.clear();
    view_.clear();
    format_ = LogFormat::Unknown;
    pos_ = 0;
    bof_ = eof_ = true;
}

// The columns filter and order need, with the source's key, of every
// record the filter may keep.
bool LogTable::readKeys(QString* error)
{
    std::vector<bool> columns(size_t(store_.fieldCount()), false);
    filter_.markColumns(columns);
    for (int col : orderColumns_)
        columns[size_t(col)] = true;
    for (int col : orderKeyColumns_)
        columns[size_t(col)] = true;
    LogStore keys(unlimitedLogFieldDefs());
    keys.holdOnly(columns);
    std::vector<qint64> ids;
    if (!pager_->readKeys(columns, filter_, keys, ids, error))
        return false;
    store_ = std::move(keys);
    keyIds_ = std::move(ids);
    pages_.clear();
    return true;
}

bool LogTable::rebuildView(QString* error)
{
    view_.clear();
    if (pager_) {
        QString message;
        if (!readKeys(&message)) {
            readError_ = message;
            if (error)
                *error = message;
            return false;
        }
    }
    std::vector<int> rows(size_t(store_.rowCount()));
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = int(i);
    if (!orderColumns_.empty()) {
        // Text orders without regard to case: fold it once, not in every
        // comparison.
        std::vector<PackedTexts> folded;
        folded.reserve(orderColumns_.size());
        for (size_t k = 0; k < orderColumns_.size(); ++k) {
            const int col = orderColumns_[k];
            folded.emplace_back(store_.kind(col) == StoreKind::Text ? rows.size() : 0);
            if (store_.kind(col) != StoreKind::Text)
                continue;
            for (size_t row = 0; row < rows.size(); ++row)
                folded[k].append(store_.isNull(int(row), col) ? QString() : store_.text(int(row), col).toCaseFolded());
            folded[k].squeeze();
        }
        auto compare = [this, &folded](size_t k, int col, int a, int b) {
            switch (store_.kind(col)) {
            case StoreKind::Text: return folded[k].at(size_t(a)).compare(folded[k].at(size_t(b)));
            case StoreKind::Integer: {
                const qint64 x = store_.integer(a, col), y = store_.integer(b, col);
                return x < y ? -1 : x > y ? 1 : 0;
            }
            case StoreKind::Real: {
                const double x = store_.real(a, col), y = store_.real(b, col);
                return x < y ? -1 : x > y ? 1 : 0;
            }
            }
            return 0;
        };
        // Empty values first (last in a descending order); equal keys keep
        // the source's order.
        auto less = [this, &compare](int a, int b) {
            for (size_t k = 0; k < orderColumns_.size(); ++k) {
                const int col = orderColumns_[k];
                const bool na = store_.isNull(a, col), nb = store_.isNull(b, col);
                const int c = na != nb ? (na ? -1 : 1) : na ? 0 : compare(k, col, a, b);
                if (c != 0)
                    return orderDescending_[k] ? c > 0 : c < 0;
            }
            return false;
        };
        std::stable_sort(rows.begin(), rows.end(), less);
    }
    if (orderKey_) {
        PackedTexts keys(rows.size());
        for (size_t row = 0; row < rows.size(); ++row)
            keys.append(orderKey_(store_, int(row)));
        keys.squeeze();
        std::stable_sort(rows.begin(), rows.end(), [&keys](int a, int b) { return keys.at(size_t(a)) < keys.at(size_t(b)); });
    }
    if (filter_.isEmpty()) {
        view_ = std::move(rows);
    } else {
        view_.reserve(rows.size());
        for (int r : rows)
            if (filter_.matches(store_, r))
                view_.push_back(r);
    }
    if (pager_) {
        // Records read on demand come from their pages: the filter and order
        // columns are read again by the next rebuild, and a long run need not
        // keep them in memory meanwhile.
        LogStore emptied(unlimitedLogFieldDefs());
        store_ = std::move(emptied);
    }
    return true;
}

void LogTable::setOrderKey(RowKey key, std::vector<int> columns)
{
    orderKey_ = std::move(key);
    orderKeyColumns_ = orderKey_ ? std::move(columns) : std::vector<int>();
    if (isOpen()) {
        rebuildView();
        first();
    }
}

void LogTable::moveToIdentity(qint64 identity)
{
    const auto it = std::find_if(view_.begin(), view_.end(), [&](int row) { return identityOf(row) == identity; });
    if (it == view_.end()) {
        pos_ = std::clamp(pos_, 0, std::max(0, int(view_.size()) - 1));
    } else {
        pos_ = int(it - view_.begin());
    }
    bof_ = eof_ = view_.empty();
}

LogTable::Cell LogTable::cellAt(int recordNumber) const
{
    if (recordNumber < 0 || recordNumber >= int(view_.size()))
        return {};
    if (!pager_)
        return {&store_, view_[size_t(recordNumber)]};
    const int page = recordNumber / LogPageCache::PageSize;
    const int row = recordNumber % LogPageCache::PageSize;
    if (const LogStore* held = pages_.find(page))
        return {held, row};
    const int begin = page * LogPageCache::PageSize;
    const int end = std::min(int(view_.size()), begin + LogPageCache::PageSize);
    std::vector<qint64> ids;
    ids.reserve(size_t(end - begin));
    for (int r = begin; r < end; ++r)
        ids.push_back(keyIds_[size_t(view_[size_t(r)])]);
    LogStore& records = pages_.add(page, unlimitedLogFieldDefs());
    QString message;
    if (!pager_->readRecords(ids, records, &message)) {
        readError_ = message;
        // The page's records read as empty rather than as other records.
        records.clear();
        for (size_t i = 0; i < ids.size(); ++i)
            records.appendRow();
    }
    return {&records, row};
}

void LogTable::first()
{
    pos_ = 0;
    bof_ = true;
    eof_ = view_.empty();
}

void LogTable::next()
{
    if (pos_ + 1 < int(view_.size())) {
        ++pos_;
        bof_ = false;
        eof_ = false;
    } else {
        eof_ = true;
    }
}

void LogTable::prior()
{
    if (pos_ > 0 && !view_.empty()) {
        --pos_;
        bof_ = false;
        eof_ = false;
    } else {
        bof_ = true;
    }
}

void LogTable::last()
{
    pos_ = std::max(0, int(view_.size()) - 1);
    eof_ = true;
    bof_ = view_.empty();
}

bool LogTable::isNull(int index) const { return current().isNull(index); }

QString LogTable::text(int index) const { return cellText(current(), index); }

QString LogTable::recordText(int recordNumber, int index) const { return cellText(cellAt(recordNumber), index); }

QVariant LogTable::recordValue(int recordNumber, int index) const
{
    const Cell cell = cellAt(recordNumber);
    return cell.has(index) ? cellValue(cell, index) : QVariant();
}

bool LogTable::moveTo(int recordNumber)
{
    if (recordNumber < 0 || recordNumber >= int(view_.size()))
        return false;
    pos_ = recordNumber;
    bof_ = eof_ = false;
    return true;
}

QString LogTable::cellText(Cell cell, int index)
{
    if (cell.isNull(index))
        return QString();
    const LogStore& s = *cell.store;
    const int row = cell.row;
    const FieldDef& def = s.field(index);
    switch (s.kind(index)) {
    case StoreKind::Text:
        return s.text(row, index);
    case StoreKind::Real:
        return formatFloatText(s.real(row, index));
    case StoreKind::Integer:
        break;
    }
    const qint64 v = s.integer(row, index);
    switch (def.type) {
    case FieldType::Date:
        return formatDateText(fromStoredDate(v), FormatSettings::current().shortDateFormat);
    case FieldType::Time:
        return formatTimeText(fromStoredTime(v));
    case FieldType::DateTime: {
        const QDateTime dt = QDateTime::fromMSecsSinceEpoch(v, Qt::UTC);
        return formatDateText(dt.date(), FormatSettings::current().shortDateFormat) + u' ' +
               formatTimeText(dt.time());
    }
    case FieldType::Boolean:
        return v ? QStringLiteral("True") : QStringLiteral("False");
    default:
        return QString::number(v);
    }
}

qint64 LogTable::toInteger(int index) const
{
    const Cell cell = current();
    if (cell.isNull(index))
        return 0;
    const LogStore& s = *cell.store;
    const int row = cell.row;
    switch (s.kind(index)) {
    case StoreKind::Text:
        return parseIntegerValue(s.text(row, index)).value_or(0);
    case StoreKind::Real:
        return qRound64(s.real(row, index));
    case StoreKind::Integer:
        break;
    }
    const FieldType t = s.field(index).type;
    if (t == FieldType::Date || t == FieldType::Time || t == FieldType::DateTime)
        return qint64(toFloat(index));
    return s.integer(row, index);
}

double LogTable::toFloat(int index) const
{
    const Cell cell = current();
    if (cell.isNull(index))
        return 0.0;
    const LogStore& s = *cell.store;
    const int row = cell.row;
    switch (s.kind(index)) {
    case StoreKind::Text:
        return parseFloatValue(s.text(row, index)).value_or(0.0);
    case StoreKind::Real:
        return s.real(row, index);
    case StoreKind::Integer:
        break;
    }
    const qint64 v = s.integer(row, index);
    switch (s.field(index).type) {
    case FieldType::Date:
        return toDayNumber(fromStoredDate(v));
    case FieldType::Time:
        return toDayNumber(fromStoredTime(v));
    case FieldType::DateTime: {
        const QDateTime dt = QDateTime::fromMSecsSinceEpoch(v, Qt::UTC);
        return toDayNumber(dt.date()) + toDayNumber(dt.time());
    }
    default:
        return double(v);
    }
}

bool LogTable::toBoolean(int index) const
{
    const Cell cell = current();
    if (cell.isNull(index))
        return false;
    const LogStore& s = *cell.store;
    const int row = cell.row;
    switch (s.kind(index)) {
    case StoreKind::Text:
        return parseBooleanValue(s.text(row, index)).value_or(false);
    case StoreKind::Real:
        return s.real(row, index) != 0.0;
    case StoreKind::Integer:
        return s.integer(row, index) != 0;
    }
    return false;
}

QDateTime LogTable::toDateTime(int index) const
{
    const Cell cell = current();
    if (cell.isNull(index))
        return QDateTime();
    const LogStore& s = *cell.store;
    const int row = cell.row;
    const FieldType t = s.field(index).type;
    if (s.kind(index) == StoreKind::Integer) {
        const qint64 v = s.integer(row, index);
        if (t == FieldType::Date)
            return QDateTime(fromStoredDate(v), QTime(0, 0), Qt::UTC);
        if (t == FieldType::Time)
            return QDateTime(QDate(1899, 12, 30), fromStoredTime(v), Qt::UTC);
        if (t == FieldType::DateTime)
            return QDateTime::fromMSecsSinceEpoch(v, Qt::UTC);
    }
    if (s.kind(index) == StoreKind::Text) {
        if (auto d = parseDateValue(s.text(row, index)))
            return QDateTime(*d, QTime(0, 0), Qt::UTC);
    }
    return QDateTime();
}

QVariant LogTable::value(int index) const
{
    const Cell cell = current();
    return cell.has(index) ? cellValue(cell, index) : QVariant();
}

bool LogTable::setFilter(const QString& text, QString* error)
{
    auto parsed = LogFilter::parse(text, store_, error);
    if (!parsed)
        return false;
    filterText_ = text;
    filter_ = std::move(*parsed);
    const bool read = rebuildView(error);
    first();
    return read;
}

QStringList LogTable::indexEntries() const
{
    QStringList list;
    for (const IndexEntry& e : entries_)
        list << e.text;
    return list;
}

int LogTable::currentIndexEntry() const
{
    for (size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].columns == orderColumns_ && !isDescending())
            return int(i);
    return -1;
}

bool LogTable::selectIndexEntry(int entry, QString* error)
{
    if (entry < 0 || entry >= int(entries_.size())) {
        if (error)
            *error = QStringLiteral("No index entry %1").arg(entry);
        return false;
    }
    orderColumns_ = entries_[size_t(entry)].columns;
    orderDescending_.assign(orderColumns_.size(), 0);
    rebuildView();
    first();
    return true;
}

bool LogTable::setIndexFieldNames(const QString& names, QString* error)
{
    static const QRegularExpression separators(QStringLiteral("[;,]"));
    static const QRegularExpression direction(QStringLiteral("\\s+(ASC|DESC)$"),
                                              QRegularExpression::CaseInsensitiveOption);
    std::vector<int> columns;
    std::vector<char> descending;
    for (const QString& part : names.split(separators, Qt::SkipEmptyParts)) {
        QString name = part.trimmed();
        if (name.isEmpty())
            continue;
        bool down = false;
        if (name.startsWith(u'-')) {
            down = true;
            name = name.mid(1).trimmed();
        } else if (const auto m = direction.match(name); m.hasMatch()) {
            down = m.captured(1).compare(u"DESC", Qt::CaseInsensitive) == 0;
            name.truncate(m.capturedStart());
        }
        int col = fieldIndex(name);
        if (col < 0 && store_.fieldCount() == LogFieldCount)
            col = findLogField(name);   // the ADIF name of a persistent field
        if (col < 0) {
            if (error)
                *error = QStringLiteral("Order: unknown field '%1'; the fields are %2").arg(name, logFieldNameList());
            return false;
        }
        columns.push_back(col);
        descending.push_back(down ? 1 : 0);
    }
    orderColumns_ = std::move(columns);
    orderDescending_ = std::move(descending);
    rebuildView();
    first();
    return true;
}

QString LogTable::indexFieldNames() const
{
    QStringList names;
    for (size_t k = 0; k < orderColumns_.size(); ++k)
        names << store_.field(orderColumns_[k]).name + (orderDescending_[k] ? QStringLiteral(" DESC") : QString());
    return names.join(u';');
}

std::vector<QVariant> LogTable::rowValues(Cell cell) const
{
    std::vector<QVariant> values(size_t(store_.fieldCount()));
    for (int col = 0; col < store_.fieldCount(); ++col)
        values[size_t(col)] = cellValue(cell, col);
    return values;
}

QVariant LogTable::cellValue(Cell cell, int col)
{
    if (cell.isNull(col))
        return QVariant();
    const LogStore& s = *cell.store;
    const int row = cell.row;
    switch (s.kind(col)) {
    case StoreKind::Text: return s.text(row, col);
    case StoreKind::Real: return s.real(row, col);
    case StoreKind::Integer: break;
    }
    const qint64 i = s.integer(row, col);
    switch (s.field(col).type) {
    case FieldType::Date: return fromStoredDate(i);
    case FieldType::Time: return fromStoredTime(i);
    case FieldType::DateTime: return QDateTime::fromMSecsSinceEpoch(i, Qt::UTC);
    case FieldType::Boolean: return i != 0;
    default: return i;
    }
}

// Checks and converts edited values to the field types; nothing is changed
// when one of them does not fit.
bool LogTable::convertValues(const FieldValues& changes, std::vector<QVariant>& values,
                             QString* error) const
{
    for (const auto& [col, raw] : changes) {
        if (col < 0 || col >= store_.fieldCount()) {
            if (error)
                *error = QStringLiteral("No field %1").arg(col);
            return false;
        }
        const FieldDef& def = store_.field(col);
        QVariant& out = values[size_t(col)];
        const bool blank = !raw.isValid() || raw.isNull() ||
                           (raw.typeId() == QMetaType::QString && raw.toString().trimmed().isEmpty());
        if (blank) {
            out = QVariant();
            continue;
        }
        const QVariant& rawValue = raw;   // lambdas may not capture structured bindings (clang 14)
        auto bad = [&]() {
            if (error)
                *error = QStringLiteral("'%1' is not a valid value for field %2").arg(rawValue.toString(), def.label());
            return false;
        };
        switch (def.type) {
        case FieldType::String: {
            const QString s = raw.toString();
            if (def.size > 0 && s.size() > def.size) {
                if (error)
                    *error = QStringLiteral("%1: at most %2 characters").arg(def.label()).arg(def.size);
                return false;
            }
            out = s;
            break;
        }
        case FieldType::Date: {
            QDate d = raw.typeId() == QMetaType::QDate ? raw.toDate() : parseDateValue(raw.toString()).value_or(QDate());
            if (!d.isValid())
                return bad();
            out = d;
            break;
        }
        case FieldType::Time: {
            QTime t = raw.typeId() == QMetaType::QTime ? raw.toTime() : parseTimeValue(raw.toString()).value_or(QTime());
            if (!t.isValid())
                return bad();
            out = t;
            break;
        }
        case FieldType::Float: {
            bool ok = false;
            double v = raw.toDouble(&ok);
            if (!ok) {
                auto p = parseFloatValue(raw.toString());
                ok = p.has_value();
                v = p.value_or(0.0);
            }
            if (!ok || !qIsFinite(v))
                return bad();
            out = v;
            break;
        }
        case FieldType::SmallInt:
        case FieldType::Integer:
        case FieldType::AutoInc: {
            auto v = parseIntegerValue(raw.toString());
            const qint64 lo = def.type == FieldType::SmallInt ? -32768 : INT32_MIN;
            const qint64 hi = def.type == FieldType::SmallInt ? 32767 : INT32_MAX;
            if (!v || *v < lo || *v > hi)
                return bad();
            out = *v;
            break;
        }
        default:
            out = raw;
            break;
        }
    }
    return true;
}

void LogTable::storeValues(int row, const std::vector<QVariant>& values)
{
    for (int col = 0; col < store_.fieldCount(); ++col) {
        const QVariant& v = values[size_t(col)];
        if (!v.isValid()) {
            store_.setNull(row, col);
            continue;
        }
        switch (store_.field(col).type) {
        case FieldType::Date: store_.setInteger(row, col, toStoredDate(v.toDate())); break;
        case FieldType::Time: store_.setInteger(row, col, toStoredTime(v.toTime())); break;
        case FieldType::DateTime: store_.setInteger(row, col, v.toDateTime().toMSecsSinceEpoch()); break;
        default:
            switch (store_.kind(col)) {
            case StoreKind::Text: store_.setText(row, col, v.toString()); break;
            case StoreKind::Real: store_.setReal(row, col, v.toDouble()); break;
            case StoreKind::Integer: store_.setInteger(row, col, v.toLongLong()); break;
            }
        }
    }
}

bool LogTable::updateCurrent(const FieldValues& changes, QString* error)
{
    const int row = currentRow();
    if (!backend_ || row < 0) {
        if (error)
            *error = QStringLiteral("No current record");
        return false;
    }
    std::vector<QVariant> values = rowValues(current());
    const QVariant key = values[LogLog];
    if (!convertValues(changes, values, error))
        return false;
    values[LogLog] = key;   // the record number is the source's, never edited
    if (!backend_->updateRecord(key.toLongLong(), values, error))
        return false;
    const qint64 identity = identityOf(row);
    if (!pager_)
        storeValues(row, values);
    rebuildView();
    moveToIdentity(identity);
    return true;
}

bool LogTable::appendRecord(const FieldValues& values, QString* error)
{
    if (!backend_) {
        if (error)
            *error = QStringLiteral("The table is not open");
        return false;
    }
    std::vector<QVariant> row(size_t(store_.fieldCount()));
    if (!convertValues(values, row, error))
        return false;
    qint64 log = 0;
    if (!backend_->insertRecord(row, &log, error))
        return false;
    row[LogLog] = log;
    qint64 identity = log;   // a new record's key is its row id
    if (!pager_) {
        identity = store_.appendRow();
        storeValues(int(identity), row);
    }
    rebuildView();
    moveToIdentity(identity);
    return true;
}

bool LogTable::deleteCurrent(QString* error)
{
    const int row = currentRow();
    if (!backend_ || row < 0) {
        if (error)
            *error = QStringLiteral("No current record");
        return false;
    }
    if (!backend_->deleteRecord(cellValue(current(), LogLog).toLongLong(), error))
        return false;
    if (!pager_)
        store_.removeRow(row);
    rebuildView();
    pos_ = std::clamp(pos_, 0, std::max(0, int(view_.size()) - 1));
    bof_ = eof_ = view_.empty();
    return true;
}

} // namespace cm
