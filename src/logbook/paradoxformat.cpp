#include "logbook/paradoxformat.h"

#include "report/codepage.h"

#include <cstring>

namespace cm {

static int u8(QByteArrayView d, int off) { return static_cast<unsigned char>(d[off]); }
static int u16(QByteArrayView d, int off) { return u8(d, off) | (u8(d, off + 1) << 8); }
static qint64 u32(QByteArrayView d, int off) { return qint64(u16(d, off)) | (qint64(u16(d, off + 2)) << 16); }

static bool fail(QString* error, const QString& message)
{
    if (error)
        *error = QStringLiteral("Not a valid Paradox table: ") + message;
    return false;
}

// The kind of value and whether the declared size is one Paradox writes.
static bool describeField(int type, int size, FieldType& out)
{
    switch (type) {
    case paradox::Alpha: out = FieldType::String; return size >= 1 && size <= 255;
    case paradox::Date: out = FieldType::Date; return size == 4;
    case paradox::Short: out = FieldType::SmallInt; return size == 2;
    case paradox::Long: out = FieldType::Integer; return size == 4;
    case paradox::Currency: out = FieldType::Currency; return size == 8;
    case paradox::Number: out = FieldType::Float; return size == 8;
    case paradox::Logical: out = FieldType::Boolean; return size == 1;
    case paradox::Memo:
    case paradox::FmtMemo: out = FieldType::Memo; return size >= 10 && size <= 250;
    case paradox::Blob:
    case paradox::Ole: out = FieldType::Blob; return size >= 10 && size <= 250;
    case paradox::Graphic: out = FieldType::Graphic; return size >= 10 && size <= 250;
    case paradox::Time: out = FieldType::Time; return size == 4;
    case paradox::Timestamp: out = FieldType::DateTime; return size == 8;
    case paradox::AutoInc: out = FieldType::AutoInc; return size == 4;
    case paradox::Bcd: out = FieldType::BCD; return size == 17;
    case paradox::Bytes: out = FieldType::Bytes; return size >= 1 && size <= 255;
    default: return false;
    }
}

std::optional<ParadoxHeader> parseParadoxHeader(QByteArrayView data, QString* error, bool indexFile)
{
    if (data.size() < 0x58) {
        fail(error, QStringLiteral("the file is too short"));
        return std::nullopt;
    }
    ParadoxHeader h;
    h.recordSize = u16(data, 0x00);
    h.headerSize = u16(data, 0x02);
    h.fileType = u8(data, 0x04);
    const int maxTableSize = u8(data, 0x05);
    h.recordCount = u32(data, 0x06);
    h.fileBlocks = u16(data, 0x0C);
    h.firstBlock = u16(data, 0x0E);
    const int numFields = u16(data, 0x21);
    h.primaryKeyFields = u16(data, 0x23);
    h.version = u8(data, 0x39);

    const bool dataTable = h.fileType == 0 || h.fileType == 2;
    if (!dataTable && !(indexFile && h.fileType >= 1 && h.fileType <= 8)) {
        fail(error, QStringLiteral("unknown file type %1").arg(h.fileType));
        return std::nullopt;
    }
    if (h.version < 3 || h.version > 12) {
        fail(error, QStringLiteral("unknown file version %1").arg(h.version));
        return std::nullopt;
    }
    if (maxTableSize < 1 || maxTableSize > 32) {
        fail(error, QStringLiteral("block size %1 KB").arg(maxTableSize));
        return std::nullopt;
    }
    h.blockSize = maxTableSize * 0x400;
    if (numFields < 1 || numFields > 255) {
        fail(error, QStringLiteral("%1 fields").arg(numFields));
        return std::nullopt;
    }
    if (h.primaryKeyFields > numFields) {
        fail(error, QStringLiteral("more key fields than fields"));
        return std::nullopt;
    }
    // Paradox 4 and later add a second header part with the code page and
    // keep the password check value there.
    const bool extendedHeader = h.version >= 5 && (dataTable || h.fileType >= 3);
    if (extendedHeader && (data.size() < 0x78 || h.headerSize < 0x78)) {
        fail(error, QStringLiteral("the header is cut short"));
        return std::nullopt;
    }
    const qint64 encryption = extendedHeader ? u32(data, 0x5C) : u32(data, 0x25);
    if (encryption != 0) {
        if (error)
            *error = QStringLiteral("The Paradox table is password protected; Cardmint cannot read it");
        return std::nullopt;
    }
    if (h.headerSize < 0x58 || h.headerSize > data.size()) {
        fail(error, QStringLiteral("header size %1 for a file of %2 bytes").arg(h.headerSize).arg(data.size()));
        return std::nullopt;
    }
    if (h.recordSize < 1 || h.recordSize + 6 > h.blockSize) {
        fail(error, QStringLiteral("record size %1").arg(h.recordSize));
        return std::nullopt;
    }

    int pos = extendedHeader ? 0x78 : 0x58;
    h.codePage = extendedHeader ? u16(data, 0x6A) : 437;
    if (!CodePage::isSupported(h.codePage))
        h.codePage = 1252;

    if (pos + numFields * 2 > h.headerSize) {
        fail(error, QStringLiteral("the field definitions do not fit in the header"));
        return std::nullopt;
    }
    int offset = 0;
    h.fields.resize(size_t(numFields));
    for (int i = 0; i < numFields; ++i) {
        ParadoxField& f = h.fields[size_t(i)];
        f.type = u8(data, pos + 2 * i);
        f.size = u8(data, pos + 2 * i + 1);
        if (!describeField(f.type, f.size, f.fieldType)) {
            fail(error, QStringLiteral("field %1 has type %2 and size %3").arg(i + 1).arg(f.type).arg(f.size));
            return std::nullopt;
        }
        f.offset = offset;
        offset += f.size;
    }
    if (offset != h.recordSize) {
        fail(error, QStringLiteral("the fields take %1 bytes, a record %2").arg(offset).arg(h.recordSize));
        return std::nullopt;
    }
    // Table name pointer, one pointer per field name, the table name, then
    // the field names, each ending with a zero byte.
    pos += numFields * 2 + 4 + numFields * 4;
    const int tableNameSize = h.version >= 12 ? 261 : 79;
    const CodePage codePage(h.codePage);
    if (pos + tableNameSize <= h.headerSize) {
        const QByteArrayView name = data.sliced(pos, tableNameSize);
        const qsizetype end = name.indexOf('\0');
        h.tableName = codePage.decode(name.first(end < 0 ? name.size() : end));
    }
    pos += tableNameSize;
    for (int i = 0; i < numFields; ++i) {
        if (pos >= h.headerSize) {
            fail(error, QStringLiteral("the field names do not fit in the header"));
            return std::nullopt;
        }
        const qsizetype end = data.first(h.headerSize).indexOf('\0', pos);
        if (end < 0 || end == pos) {
            fail(error, QStringLiteral("field %1 has no name").arg(i + 1));
            return std::nullopt;
        }
        h.fields[size_t(i)].name = codePage.decode(data.sliced(pos, end - pos));
        pos = int(end) + 1;
    }
    return h;
}

bool forEachParadoxRecord(QByteArrayView data, const ParadoxHeader& h,
                          const std::function<void(const char* record)>& record, QString* error)
{
    if (h.recordCount == 0 && h.firstBlock == 0)
        return true;
    const qint64 available = (data.size() - h.headerSize) / h.blockSize;
    const qint64 blocks = std::min<qint64>(h.fileBlocks, available);
    std::vector<bool> seen(size_t(blocks) + 1, false);
    int block = h.firstBlock;
    while (block != 0) {
        if (block > blocks)
            return fail(error, QStringLiteral("data block %1 lies beyond the end of the file").arg(block));
        if (seen[size_t(block)])
            return fail(error, QStringLiteral("the data blocks form a loop at block %1").arg(block));
        seen[size_t(block)] = true;
        const qint64 start = h.headerSize + qint64(block - 1) * h.blockSize;
        const int next = u16(data, int(start));
        const int addDataSize = qint16(u16(data, int(start + 4)));
        if (addDataSize >= 0) {
            if (addDataSize % h.recordSize != 0)
                return fail(error, QStringLiteral("data block %1 holds part of a record").arg(block));
            const qint64 count = addDataSize / h.recordSize + 1;
            if (6 + count * h.recordSize > h.blockSize)
                return fail(error, QStringLiteral("data block %1 claims more records than fit").arg(block));
            for (qint64 i = 0; i < count; ++i)
                record(data.data() + start + 6 + i * h.recordSize);
        }
        block = next;
    }
    return true;
}

bool paradoxInteger(const char* p, int size, qint64& value)
{
    quint64 u = 0;
    bool any = false;
    for (int i = 0; i < size; ++i) {
        const auto b = static_cast<unsigned char>(p[i]);
        any = any || b != 0;
        u = (u << 8) | b;
    }
    if (!any)
        return false;
    // Stored big-endian with the sign bit flipped, so that bytes sort as numbers.
    const quint64 signBit = quint64(1) << (size * 8 - 1);
    u ^= signBit;
    value = (u & signBit) ? qint64(u) - qint64(signBit << 1) : qint64(u);
    return true;
}

bool paradoxDouble(const char* p, double& value)
{
    unsigned char b[8];
    bool any = false;
    for (int i = 0; i < 8; ++i) {
        b[i] = static_cast<unsigned char>(p[i]);
        any = any || b[i] != 0;
    }
    if (!any)
        return false;
    // Positive numbers have the sign bit set; negative ones are stored inverted.
    if (b[0] & 0x80) {
        b[0] ^= 0x80;
    } else {
        for (unsigned char& c : b)
            c = static_cast<unsigned char>(~c);
    }
    quint64 bits = 0;
    for (unsigned char c : b)
        bits = (bits << 8) | c;
    std::memcpy(&value, &bits, sizeof value);
    return true;
}

bool paradoxLogical(const char* p, bool& value)
{
    const auto b = static_cast<unsigned char>(p[0]);
    if (b == 0)
        return false;
    value = b != 0x80;
    return true;
}

} // namespace cm
