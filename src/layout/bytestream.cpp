#include "layout/bytestream.h"

#include "layout/extended80.h"

#include <bit>

namespace cm {

// ---- reader ----

void ByteReader::need(qsizetype n) const
{
    if (n < 0 || n > bytesLeft())
        throw StreamError(QStringLiteral("unexpected end of data"));
}

void ByteReader::seek(qsizetype pos)
{
    if (pos < 0 || pos > data_.size())
        throw StreamError(QStringLiteral("position %1 outside the data (size %2)").arg(pos).arg(data_.size()));
    pos_ = pos;
}

void ByteReader::skip(qsizetype n)
{
    need(n);
    pos_ += n;
}

uint8_t ByteReader::u8()
{
    need(1);
    return static_cast<uint8_t>(data_[pos_++]);
}

int8_t ByteReader::i8() { return static_cast<int8_t>(u8()); }

uint16_t ByteReader::u16()
{
    need(2);
    const auto* p = reinterpret_cast<const uint8_t*>(data_.data()) + pos_;
    pos_ += 2;
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

int16_t ByteReader::i16() { return static_cast<int16_t>(u16()); }

uint32_t ByteReader::u32()
{
    need(4);
    const auto* p = reinterpret_cast<const uint8_t*>(data_.data()) + pos_;
    pos_ += 4;
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

int32_t ByteReader::i32() { return static_cast<int32_t>(u32()); }

int64_t ByteReader::i64()
{
    need(8);   // before the first half, so a failed read does not move
    const uint64_t lo = u32();
    const uint64_t hi = u32();
    return static_cast<int64_t>(lo | (hi << 32));
}

float ByteReader::f32() { return std::bit_cast<float>(u32()); }

double ByteReader::f64() { return std::bit_cast<double>(static_cast<uint64_t>(i64())); }

Extended ByteReader::ext()
{
    need(10);
    const auto* p = reinterpret_cast<const uint8_t*>(data_.data()) + pos_;
    pos_ += 10;
    return decodeExtended(p);
}

QByteArrayView ByteReader::bytes(qsizetype n)
{
    need(n);
    QByteArrayView v = data_.sliced(pos_, n);
    pos_ += n;
    return v;
}

QString ByteReader::shortString(const CodePage& cp) { return cp.decode(shortStringBytes()); }

QByteArray ByteReader::shortStringBytes()
{
    const qsizetype n = u8();
    return bytes(n).toByteArray();
}

// ---- writer ----

void ByteWriter::u8(uint8_t v) { out_.append(static_cast<char>(v)); }

void ByteWriter::u16(uint16_t v)
{
    const char b[2] = {char(v & 0xFF), char(v >> 8)};
    out_.append(b, 2);
}

void ByteWriter::u32(uint32_t v)
{
    const char b[4] = {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char(v >> 24)};
    out_.append(b, 4);
}

void ByteWriter::i64(int64_t v)
{
    const auto u = static_cast<uint64_t>(v);
    u32(static_cast<uint32_t>(u));
    u32(static_cast<uint32_t>(u >> 32));
}

void ByteWriter::f32(float v) { u32(std::bit_cast<uint32_t>(v)); }

void ByteWriter::f64(double v) { i64(std::bit_cast<int64_t>(v)); }

void ByteWriter::ext(Extended v)
{
    const Ext80Bytes b = encodeExtended(v);
    out_.append(reinterpret_cast<const char*>(b.data()), qsizetype(b.size()));
}

void ByteWriter::bytes(QByteArrayView b) { out_.append(b.data(), b.size()); }

void ByteWriter::zeros(qsizetype n)
{
    if (n > 0)
        out_.append(n, '\0');
}

void ByteWriter::shortString(QStringView s, const CodePage& cp) { shortStringBytes(cp.encode(s)); }

void ByteWriter::shortStringBytes(QByteArrayView b)
{
    const qsizetype n = std::min<qsizetype>(b.size(), 255);
    u8(static_cast<uint8_t>(n));
    bytes(b.first(n));
}

// A patch outside the written bytes is a programming error in the writer,
// not bad input; fail loudly rather than grow or corrupt the buffer.
static void checkPatch(qsizetype at, qsizetype width, qsizetype size)
{
    if (at < 0 || at + width > size)
        throw StreamError(QStringLiteral("patch at %1 outside the written data").arg(at));
}

void ByteWriter::patchU16(qsizetype at, uint16_t v)
{
    checkPatch(at, 2, out_.size());
    out_[at] = char(v & 0xFF);
    out_[at + 1] = char(v >> 8);
}

void ByteWriter::patchU32(qsizetype at, uint32_t v)
{
    checkPatch(at, 4, out_.size());
    for (int i = 0; i < 4; ++i)
        out_[at + i] = char((v >> (8 * i)) & 0xFF);
}

} // namespace cm
