#pragma once
// Little-endian byte reader and writer for the binary file formats. The
// reader checks every length against the bytes left and throws StreamError
// instead of reading past the end.
#include "report/codepage.h"
#include "report/rounding.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <stdexcept>

namespace cm {

class StreamError : public std::runtime_error {
public:
    explicit StreamError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

class ByteReader {
public:
    explicit ByteReader(QByteArrayView data, qsizetype pos = 0) : data_(data), pos_(pos) {}
    // The reader only views its data: a temporary array would be gone at once.
    ByteReader(QByteArray&&, qsizetype = 0) = delete;

    qsizetype pos() const { return pos_; }
    qsizetype size() const { return data_.size(); }
    qsizetype bytesLeft() const { return data_.size() - pos_; }
    bool atEnd() const { return pos_ >= data_.size(); }
    void seek(qsizetype pos);          // throws when outside 0 .. size
    void skip(qsizetype n);            // throws when n < 0 or n > bytesLeft()

    uint8_t u8();
    int8_t i8();
    uint16_t u16();
    int16_t i16();
    uint32_t u32();
    int32_t i32();
    int64_t i64();
    float f32();
    double f64();
    Extended ext();                     // x87 80-bit extended float
    QByteArrayView bytes(qsizetype n);  // view into the data, checked
    // One length byte, then that many characters in the given code page.
    QString shortString(const CodePage& cp = CodePage::layout());
    QByteArray shortStringBytes();

private:
    void need(qsizetype n) const;       // throws StreamError("unexpected end of data")
    QByteArrayView data_;
    qsizetype pos_;
};

class ByteWriter {
public:
    explicit ByteWriter(QByteArray& out) : out_(out) {}

    qsizetype pos() const { return out_.size(); }
    void u8(uint8_t v);
    void i8(int8_t v) { u8(static_cast<uint8_t>(v)); }
    void u16(uint16_t v);
    void i16(int16_t v) { u16(static_cast<uint16_t>(v)); }
    void u32(uint32_t v);
    void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
    void i64(int64_t v);
    void f32(float v);
    void f64(double v);
    void ext(Extended v);
    void bytes(QByteArrayView b);
    void zeros(qsizetype n);
    // Texts longer than 255 bytes are cut to 255 bytes.
    void shortString(QStringView s, const CodePage& cp = CodePage::layout());
    void shortStringBytes(QByteArrayView b);
    // Overwrites earlier bytes (for sizes known only after writing a body).
    void patchU16(qsizetype at, uint16_t v);
    void patchU32(qsizetype at, uint32_t v);

private:
    QByteArray& out_;
};

} // namespace cm
