#pragma once
// The typed values of the component stream: one type byte, then the payload.
// readValue() reads any value whole (lists and collections nested, depth
// limited), so an unknown property is skipped by its type byte and a known
// one is converted afterwards.
#include "layout/bytestream.h"

#include <QStringList>
#include <memory>
#include <vector>

namespace cm {

enum class ValueType : uint8_t {
    Null = 0, List = 1, Int8 = 2, Int16 = 3, Int32 = 4, Extended = 5, String = 6, Ident = 7,
    False = 8, True = 9, Binary = 10, Set = 11, LString = 12, Nil = 13, Collection = 14,
    Single = 15, Currency = 16, Date = 17, WString = 18, Int64 = 19,
};

struct StreamValue {
    // Special members are defined out of line: with `properties` holding
    // pairs of this very type, an implicit inline destructor sends clang
    // with libstdc++ into a cycle of incomplete-type instantiations.
    StreamValue();
    StreamValue(const StreamValue&);
    StreamValue(StreamValue&&) noexcept;
    StreamValue& operator=(const StreamValue&);
    StreamValue& operator=(StreamValue&&) noexcept;
    ~StreamValue();

    ValueType type = ValueType::Null;
    int64_t integer = 0;        // Int8/16/32/64; Currency as value * 10000
    Extended real = 0;          // Extended, Single, Date
    QString text;               // String, LString, WString, Ident
    QByteArray binary;          // Binary
    QStringList setMembers;     // Set
    std::vector<StreamValue> items;   // List; Collection items (each a List of name/value pairs,
                                      // its stored order, if any, in `integer`)
    std::vector<std::pair<QString, StreamValue>> properties;   // one collection item's properties

    bool isInteger() const;     // Int8, Int16, Int32, Int64
    bool isNumber() const;      // integer or Extended / Single / Date / Currency
    bool isText() const;        // String or LString (WString too)
    Extended toReal() const;    // for isNumber()
};

// Reads one value (type byte and payload); a lone zero byte reads as Null.
// Throws StreamError on truncated data, an unknown type byte, nesting deeper
// than 64 levels or more than 131072 values in one read.
StreamValue readValue(ByteReader& in, const CodePage& cp = CodePage::layout());
// Steps over one value by its type byte without building it; refuses the
// same data as readValue().
void skipValue(ByteReader& in);

// Writers. Integers take the smallest of int8, int16, int32 (int64 beyond);
// strings up to 255 bytes are String, longer ones LString.
void writeInteger(ByteWriter& out, int64_t value);
void writeExtended(ByteWriter& out, Extended value);
void writeString(ByteWriter& out, QStringView text, const CodePage& cp = CodePage::layout());
void writeIdent(ByteWriter& out, QStringView ident);
// Always a String value; text beyond 255 bytes is cut.
void writeShortString(ByteWriter& out, QStringView text, const CodePage& cp = CodePage::layout());
void writeBoolean(ByteWriter& out, bool value);
void writeBinary(ByteWriter& out, QByteArrayView bytes);
void writeSet(ByteWriter& out, const QStringList& members);
void writeNil(ByteWriter& out);
void writeStringList(ByteWriter& out, const QStringList& lines, const CodePage& cp = CodePage::layout());
void writeExtendedList(ByteWriter& out, const std::vector<Extended>& values);

} // namespace cm
