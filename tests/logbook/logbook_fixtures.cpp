#include "logbook_fixtures.h"

#include "logbook/logfields.h"
#include "logbook/sqlitelogbook.h"

#include <QFile>
#include <QSqlQuery>
#include <cstring>

namespace cmtest {

static void putU16(QByteArray& b, int off, int v)
{
    b[off] = char(v & 0xFF);
    b[off + 1] = char((v >> 8) & 0xFF);
}

static void putU32(QByteArray& b, int off, quint32 v)
{
    putU16(b, off, int(v & 0xFFFF));
    putU16(b, off + 2, int(v >> 16));
}

int PxTable::recordSize() const
{
    int s = 0;
    for (const PxField& f : fields)
        s += f.size;
    return s;
}

QByteArray PxTable::build() const
{
    const int n = int(fields.size());
    const int blockSize = blockKb * 1024;
    const int rs = recordSize();
    const bool extended = version >= 5;
    QByteArray head(extended ? 0x78 : 0x58, '\0');
    for (const PxField& f : fields) {
        head.append(char(f.type));
        head.append(char(f.size));
    }
    head.append(QByteArray(4 + 4 * n, '\0'));            // name pointers
    QByteArray name = tableName.left(version >= 12 ? 260 : 78);
    head.append(name.leftJustified(version >= 12 ? 261 : 79, '\0'));   // table name
    for (const PxField& f : fields)
        head.append(f.name + '\0');
    const int headerSize = int((head.size() + 0x7FF) / 0x800 * 0x800);
    head.resize(headerSize, '\0');

    const int perBlock = recordsPerBlock > 0 ? recordsPerBlock : (blockSize - 6) / rs;
    const int blocks = records.empty() ? 0 : int((records.size() + size_t(perBlock) - 1) / size_t(perBlock));
    putU16(head, 0x00, rs);
    putU16(head, 0x02, headerSize);
    head[0x04] = char(fileType >= 0 ? fileType : primaryKeyFields > 0 ? 0 : 2);
    head[0x05] = char(blockKb);
    putU32(head, 0x06, quint32(records.size()));
    putU16(head, 0x0A, blocks);
    putU16(head, 0x0C, blocks);
    putU16(head, 0x0E, blocks ? 1 : 0);
    putU16(head, 0x10, blocks);
    putU16(head, 0x21, n);
    putU16(head, 0x23, primaryKeyFields);
    head[0x39] = char(version);
    if (extended)
        putU16(head, 0x6A, codePage);

    QByteArray out = head;
    for (int b = 0; b < blocks; ++b) {
        QByteArray block(blockSize, '\0');
        const int first = b * perBlock;
        const int count = std::min(perBlock, int(records.size()) - first);
        putU16(block, 0, b + 1 < blocks ? b + 2 : 0);
        putU16(block, 2, b);
        putU16(block, 4, (count - 1) * rs);
        for (int i = 0; i < count; ++i)
            block.replace(6 + i * rs, rs, records[size_t(first + i)]);
        out += block;
    }
    return out;
}

std::vector<PxField> pxLogbookFields(int twelfthType)
{
    std::vector<PxField> f = {
        {"Log", 0x16, 4}, {"Datum", 0x02, 4}, {"Gmt", 0x14, 4}, {"Call", 0x01, 20},
        {"RstS", 0x01, 3}, {"RstR", 0x01, 3}, {"Mode", 0x01, 4}, {"Band", 0x01, 4},
        {"Freq", 0x06, 8}, {"QTH", 0x01, 20}, {"Name", 0x01, 10}, {"QslS", 0x01, 8},
        {"QslR", 0x01, 8}, {"Opomba", 0x01, 50}, {"QslVia", 0x01, 100}, {"Pfx", 0x01, 20},
        {"Cq", 0x03, 2}, {"Itu", 0x03, 2}, {"Country", 0x01, 40},
    };
    if (twelfthType == 0x09)
        f[11].size = 1;
    else if (twelfthType == 0x02)
        f[11].size = 4;
    else if (twelfthType == 0x06)
        f[11].size = 8;
    f[11].type = twelfthType;
    return f;
}

QByteArray pxAlpha(const QByteArray& text, int size)
{
    QByteArray b = text.left(size);
    b.resize(size, '\0');
    return b;
}

static QByteArray bigEndian(quint64 v, int size)
{
    QByteArray b(size, '\0');
    for (int i = size - 1; i >= 0; --i, v >>= 8)
        b[i] = char(v & 0xFF);
    return b;
}

QByteArray pxShort(qint16 v) { return bigEndian(quint16(v) ^ 0x8000u, 2); }
QByteArray pxLong(qint32 v) { return bigEndian(quint32(v) ^ 0x80000000u, 4); }

QByteArray pxDouble(double v)
{
    quint64 bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    QByteArray b = bigEndian(bits, 8);
    if (v >= 0) {
        b[0] = char(b[0] ^ 0x80);
    } else {
        for (char& c : b)
            c = char(~c);
    }
    return b;
}

QByteArray pxDate(QDate d) { return pxLong(qint32(d.toJulianDay() - 1721425)); }
QByteArray pxTime(QTime t) { return pxLong(t.msecsSinceStartOfDay()); }
QByteArray pxLogical(bool v) { return QByteArray(1, char(v ? 0x81 : 0x80)); }
QByteArray pxNull(int size) { return QByteArray(size, '\0'); }

QByteArray pxLogbookRecord(int log, QDate date, QTime time, const QByteArray& call, const QByteArray& band,
                           double freq, int cq)
{
    QByteArray r;
    r += pxLong(log);
    r += date.isValid() ? pxDate(date) : pxNull(4);
    r += time.isValid() ? pxTime(time) : pxNull(4);
    r += pxAlpha(call, 20);
    r += pxAlpha("599", 3) + pxAlpha("579", 3) + pxAlpha("CW", 4) + pxAlpha(band, 4);
    r += pxDouble(freq);
    r += pxAlpha("", 20) + pxAlpha("", 10) + pxAlpha("Y", 8) + pxAlpha("N", 8);
    r += pxAlpha("", 50) + pxAlpha("BURO", 100) + pxAlpha("", 20);
    r += pxShort(qint16(cq)) + pxShort(28) + pxAlpha("Slovenia", 40);
    return r;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QString makeSqliteLogbook(const QTemporaryDir& dir, const QString& name,
                          const std::vector<std::vector<QVariant>>& rows)
{
    const QString path = dir.filePath(name);
    QString error;
    if (!cm::createSqliteLogbook(path, &error))
        return QString();
    cm::SqliteConnection c;
    if (!c.open(path, false, &error))
        return QString();
    cm::LogbookInserter ins(c.db());
    if (!ins.begin(&error))
        return QString();
    for (const auto& row : rows)
        if (!ins.insert(row, nullptr, &error))
            return QString();
    return ins.commit(&error) ? path : QString();
}

QString makeSqliteFile(const QTemporaryDir& dir, const QString& name, const QString& createSql)
{
    const QString path = dir.filePath(name);
    cm::SqliteConnection c;
    QString error;
    if (!c.open(path, false, &error))
        return QString();
    // One statement per exec: run them one by one.
    QSqlQuery q(c.db());
    for (const QString& statement : createSql.split(u';', Qt::SkipEmptyParts))
        if (!statement.trimmed().isEmpty() && !q.exec(statement))
            return QString();
    return path;
}

std::vector<QVariant> qso(const QString& call, QDate date, QTime time, const QString& band,
                          const QString& mode, double freq, const QString& country, const QString& qslVia)
{
    std::vector<QVariant> v(cm::LogFieldCount);
    v[cm::LogCall] = call;
    if (date.isValid())
        v[cm::LogDatum] = date;
    if (time.isValid())
        v[cm::LogGmt] = time;
    v[cm::LogBand] = band;
    v[cm::LogMode] = mode;
    v[cm::LogFreq] = freq;
    v[cm::LogCountry] = country;
    if (!qslVia.isEmpty())
        v[cm::LogQslVia] = qslVia;
    return v;
}

} // namespace cmtest
