#include "layout/streamvalue.h"

namespace cm {

namespace {

// Deep enough for any real layout; low enough that hostile nesting cannot
// exhaust the stack.
constexpr int kMaxDepth = 64;

ValueType typeOf(uint8_t byte)
{
    if (byte > static_cast<uint8_t>(ValueType::Int64))
        throw StreamError(QStringLiteral("unknown value type %1").arg(byte));
    return static_cast<ValueType>(byte);
}

// Each value read costs far more memory than its bytes (a one-byte "true"
// becomes a whole StreamValue), so the number of values in one read is
// capped too. No layout comes near it: memo lines and size lists are short.
constexpr int64_t kMaxValues = 1 << 17;

// Depth and count limits shared by reading and skipping, so both refuse the
// same data.
class Limits {
public:
    void enter(int depth)
    {
        if (depth > kMaxDepth)
            throw StreamError(QStringLiteral("values nested deeper than %1 levels").arg(kMaxDepth));
        if (++count_ > kMaxValues)
            throw StreamError(QStringLiteral("more than %1 values in one value").arg(kMaxValues));
    }

private:
    int64_t count_ = 0;
};

// A u32 length is checked against the bytes left before anything is
// allocated, so a corrupt length cannot ask for gigabytes.
qsizetype checkedLength(ByteReader& in, uint64_t unitSize)
{
    const uint64_t count = in.u32();
    if (count * unitSize > static_cast<uint64_t>(in.bytesLeft()))
        throw StreamError(QStringLiteral("length %1 exceeds the %2 bytes left").arg(count).arg(in.bytesLeft()));
    return static_cast<qsizetype>(count);
}

bool isIntegerType(uint8_t byte)
{
    return byte == uint8_t(ValueType::Int8) || byte == uint8_t(ValueType::Int16)
        || byte == uint8_t(ValueType::Int32) || byte == uint8_t(ValueType::Int64);
}

uint8_t peek(ByteReader& in)
{
    const uint8_t b = in.u8();
    in.seek(in.pos() - 1);
    return b;
}

// Closing zero bytes of lists, sets and property lists.
bool atListEnd(ByteReader& in)
{
    if (peek(in) != 0)
        return false;
    in.skip(1);
    return true;
}

class ValueReader {
public:
    ValueReader(ByteReader& in, const CodePage& cp) : in_(in), cp_(cp) {}

    StreamValue read(int depth)
    {
        limits_.enter(depth);
        StreamValue v;
        v.type = typeOf(in_.u8());
        switch (v.type) {
        case ValueType::Null:
        case ValueType::False:
        case ValueType::True:
        case ValueType::Nil:
            break;
        case ValueType::List:
            while (!atListEnd(in_))
                v.items.push_back(read(depth + 1));
            break;
        case ValueType::Int8: v.integer = in_.i8(); break;
        case ValueType::Int16: v.integer = in_.i16(); break;
        case ValueType::Int32: v.integer = in_.i32(); break;
        case ValueType::Int64: v.integer = in_.i64(); break;
        case ValueType::Currency: v.integer = in_.i64(); break;
        case ValueType::Extended: v.real = in_.ext(); break;
        case ValueType::Single: v.real = in_.f32(); break;
        case ValueType::Date: v.real = in_.f64(); break;
        case ValueType::String:
        case ValueType::Ident:
            v.text = in_.shortString(cp_);
            break;
        case ValueType::LString:
            v.text = cp_.decode(in_.bytes(checkedLength(in_, 1)));
            break;
        case ValueType::WString:
            v.text = readUtf16(checkedLength(in_, 2));
            break;
        case ValueType::Binary:
            v.binary = in_.bytes(checkedLength(in_, 1)).toByteArray();
            break;
        case ValueType::Set:
            for (;;) {
                QString member = in_.shortString(cp_);
                if (member.isEmpty())
                    break;
                limits_.enter(depth);
                v.setMembers.append(std::move(member));
            }
            break;
        case ValueType::Collection:
            while (!atListEnd(in_))
                v.items.push_back(readCollectionItem(depth + 1));
            break;
        }
        return v;
    }

private:
    // One item: its optional order, the List type byte, then name/value
    // pairs up to a zero byte. The order is kept in the item's `integer`.
    StreamValue readCollectionItem(int depth)
    {
        limits_.enter(depth);
        StreamValue item;
        item.type = ValueType::List;
        if (isIntegerType(peek(in_)))
            item.integer = read(depth + 1).integer;
        const uint8_t marker = in_.u8();
        if (marker != uint8_t(ValueType::List))
            throw StreamError(QStringLiteral("collection item starts with type %1 instead of a list").arg(marker));
        while (!atListEnd(in_)) {
            QString name = in_.shortString(cp_);
            item.properties.emplace_back(std::move(name), read(depth + 1));
        }
        return item;
    }

    QString readUtf16(qsizetype count)
    {
        const QByteArrayView raw = in_.bytes(count * 2);
        QString s(count, Qt::Uninitialized);
        QChar* out = s.data();
        for (qsizetype i = 0; i < count; ++i) {
            const auto lo = static_cast<uint8_t>(raw[2 * i]);
            const auto hi = static_cast<uint8_t>(raw[2 * i + 1]);
            out[i] = QChar(static_cast<char16_t>(lo | (hi << 8)));
        }
        return s;
    }

    ByteReader& in_;
    const CodePage& cp_;
    Limits limits_;
};

// Walks a value without building it: unknown properties are skipped this
// way on every load, so no text is decoded and nothing is allocated.
void skipAt(ByteReader& in, Limits& limits, int depth)
{
    limits.enter(depth);
    switch (typeOf(in.u8())) {
    case ValueType::Null:
    case ValueType::False:
    case ValueType::True:
    case ValueType::Nil:
        break;
    case ValueType::List:
        while (!atListEnd(in))
            skipAt(in, limits, depth + 1);
        break;
    case ValueType::Int8: in.skip(1); break;
    case ValueType::Int16: in.skip(2); break;
    case ValueType::Int32:
    case ValueType::Single: in.skip(4); break;
    case ValueType::Int64:
    case ValueType::Currency:
    case ValueType::Date: in.skip(8); break;
    case ValueType::Extended: in.skip(10); break;
    case ValueType::String:
    case ValueType::Ident: in.skip(in.u8()); break;
    case ValueType::Binary:
    case ValueType::LString: in.skip(checkedLength(in, 1)); break;
    case ValueType::WString: in.skip(checkedLength(in, 2) * 2); break;
    case ValueType::Set:
        for (uint8_t n = in.u8(); n != 0; n = in.u8()) {
            in.skip(n);
            limits.enter(depth);
        }
        break;
    case ValueType::Collection:
        while (!atListEnd(in)) {
            limits.enter(depth + 1);
            if (isIntegerType(peek(in)))
                skipAt(in, limits, depth + 2);
            const uint8_t marker = in.u8();
            if (marker != uint8_t(ValueType::List))
                throw StreamError(QStringLiteral("collection item starts with type %1 instead of a list").arg(marker));
            while (!atListEnd(in)) {
                in.skip(in.u8());
                skipAt(in, limits, depth + 2);
            }
        }
        break;
    }
}

} // namespace

StreamValue::StreamValue() = default;
StreamValue::StreamValue(const StreamValue&) = default;
StreamValue::StreamValue(StreamValue&&) noexcept = default;
StreamValue& StreamValue::operator=(const StreamValue&) = default;
StreamValue& StreamValue::operator=(StreamValue&&) noexcept = default;
StreamValue::~StreamValue() = default;

bool StreamValue::isInteger() const
{
    return type == ValueType::Int8 || type == ValueType::Int16 || type == ValueType::Int32
        || type == ValueType::Int64;
}

bool StreamValue::isNumber() const
{
    return isInteger() || type == ValueType::Extended || type == ValueType::Single
        || type == ValueType::Date || type == ValueType::Currency;
}

bool StreamValue::isText() const
{
    return type == ValueType::String || type == ValueType::LString || type == ValueType::WString;
}

Extended StreamValue::toReal() const
{
    if (isInteger())
        return static_cast<Extended>(integer);
    if (type == ValueType::Currency)
        return static_cast<Extended>(integer) / 10000;
    return real;
}

StreamValue readValue(ByteReader& in, const CodePage& cp)
{
    return ValueReader(in, cp).read(1);
}

void skipValue(ByteReader& in)
{
    Limits limits;
    skipAt(in, limits, 1);
}

// ---- writers ----

void writeInteger(ByteWriter& out, int64_t value)
{
    if (value >= INT8_MIN && value <= INT8_MAX) {
        out.u8(uint8_t(ValueType::Int8));
        out.i8(static_cast<int8_t>(value));
    } else if (value >= INT16_MIN && value <= INT16_MAX) {
        out.u8(uint8_t(ValueType::Int16));
        out.i16(static_cast<int16_t>(value));
    } else if (value >= INT32_MIN && value <= INT32_MAX) {
        out.u8(uint8_t(ValueType::Int32));
        out.i32(static_cast<int32_t>(value));
    } else {
        out.u8(uint8_t(ValueType::Int64));
        out.i64(value);
    }
}

void writeExtended(ByteWriter& out, Extended value)
{
    out.u8(uint8_t(ValueType::Extended));
    out.ext(value);
}

void writeString(ByteWriter& out, QStringView text, const CodePage& cp)
{
    const QByteArray bytes = cp.encode(text);
    if (bytes.size() <= 255) {
        out.u8(uint8_t(ValueType::String));
        out.shortStringBytes(bytes);
    } else {
        out.u8(uint8_t(ValueType::LString));
        out.u32(static_cast<uint32_t>(bytes.size()));
        out.bytes(bytes);
    }
}

void writeShortString(ByteWriter& out, QStringView text, const CodePage& cp)
{
    out.u8(uint8_t(ValueType::String));
    out.shortString(text, cp);
}

void writeIdent(ByteWriter& out, QStringView ident)
{
    out.u8(uint8_t(ValueType::Ident));
    out.shortString(ident);
}

void writeBoolean(ByteWriter& out, bool value)
{
    out.u8(uint8_t(value ? ValueType::True : ValueType::False));
}

void writeBinary(ByteWriter& out, QByteArrayView bytes)
{
    out.u8(uint8_t(ValueType::Binary));
    out.u32(static_cast<uint32_t>(bytes.size()));
    out.bytes(bytes);
}

void writeSet(ByteWriter& out, const QStringList& members)
{
    out.u8(uint8_t(ValueType::Set));
    for (const QString& m : members) {
        // An empty name would close the set early and turn the rest of the
        // members into garbage for the reader.
        if (!m.isEmpty())
            out.shortString(m);
    }
    out.u8(0);
}

void writeNil(ByteWriter& out) { out.u8(uint8_t(ValueType::Nil)); }

void writeStringList(ByteWriter& out, const QStringList& lines, const CodePage& cp)
{
    out.u8(uint8_t(ValueType::List));
    for (const QString& line : lines)
        writeString(out, line, cp);
    out.u8(0);
}

void writeExtendedList(ByteWriter& out, const std::vector<Extended>& values)
{
    out.u8(uint8_t(ValueType::List));
    for (Extended v : values)
        writeExtended(out, v);
    out.u8(0);
}

} // namespace cm
