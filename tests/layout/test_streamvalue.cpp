#include "layout/namedvalues.h"
#include "layout/streamvalue.h"

#include <gtest/gtest.h>

#include <functional>

using namespace cm;

namespace {

QByteArray hex(const char* text) { return QByteArray::fromHex(text); }

QByteArray written(const std::function<void(ByteWriter&)>& write)
{
    QByteArray out;
    ByteWriter w(out);
    write(w);
    return out;
}

StreamValue readAll(const QByteArray& data, const CodePage& cp = CodePage(1252))
{
    ByteReader in(data);
    StreamValue v = readValue(in, cp);
    EXPECT_TRUE(in.atEnd()) << "value left " << in.bytesLeft() << " bytes unread";
    return v;
}

// Both the reader and the skipper must refuse bad data with StreamError.
void expectRefusedBothWays(const QByteArray& data)
{
    ByteReader in(data);
    EXPECT_THROW(readValue(in), StreamError);
    ByteReader again(data);
    EXPECT_THROW(skipValue(again), StreamError);
}

void expectReadBothWays(const QByteArray& data)
{
    ByteReader in(data);
    EXPECT_NO_THROW(readValue(in));
    EXPECT_TRUE(in.atEnd());
    ByteReader again(data);
    EXPECT_NO_THROW(skipValue(again));
    EXPECT_TRUE(again.atEnd());
}

// One value of each type, nested in a list; used for the truncation and
// skip checks.
QByteArray everyTypeInAList()
{
    return written([](ByteWriter& w) {
        w.u8(uint8_t(ValueType::List));
        writeInteger(w, 100);
        writeInteger(w, 200);
        writeInteger(w, 40000);
        writeInteger(w, int64_t(1) << 40);
        writeExtended(w, 2970.0L);
        writeString(w, u"Call", CodePage(1252));
        writeString(w, QString(300, u'x'), CodePage(1252));
        writeIdent(w, u"taCenter");
        writeBoolean(w, false);
        writeBoolean(w, true);
        writeBinary(w, QByteArray("\x01\x02\x03", 3));
        writeSet(w, {QStringLiteral("fsBold"), QStringLiteral("fsItalic")});
        writeNil(w);
        w.bytes(hex("0e" "0205" "01" "044e616d65" "0603616263" "00" "01" "00" "00"));   // collection
        w.u8(uint8_t(ValueType::Single));
        w.f32(1.5f);
        w.u8(uint8_t(ValueType::Currency));
        w.i64(12345);
        w.u8(uint8_t(ValueType::Date));
        w.f64(45000.25);
        w.bytes(hex("12" "02000000" "4100ac20"));   // wide string "A€"
        writeStringList(w, {QStringLiteral("one"), QStringLiteral("two")});
        w.u8(0);
    });
}

} // namespace

// ---- integers ----

TEST(StreamValue, IntegerTakesTheSmallestWidth)
{
    struct Case {
        int64_t value;
        const char* bytes;
    };
    const Case cases[] = {
        {0, "0200"},
        {100, "0264"},
        {127, "027f"},
        {-128, "0280"},
        {128, "038000"},
        {200, "03c800"},
        {-129, "037fff"},
        {32767, "03ff7f"},
        {-32768, "030080"},
        {32768, "0400800000"},
        {40000, "04409c0000"},
        {-32769, "04ff7fffff"},
        {INT32_MAX, "04ffffff7f"},
        {INT32_MIN, "0400000080"},
        {int64_t(INT32_MAX) + 1, "130000008000000000"},
        {INT64_MIN, "130000000000000080"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        const QByteArray out = written([&](ByteWriter& w) { writeInteger(w, c.value); });
        EXPECT_EQ(out.toHex(), QByteArray(c.bytes));
        const StreamValue v = readAll(out);
        EXPECT_TRUE(v.isInteger());
        EXPECT_EQ(v.integer, c.value);
    }
}

// ---- texts ----

TEST(StreamValue, StringsUpTo255BytesAreShortLongerOnesLong)
{
    const CodePage cp(1252);
    EXPECT_EQ(written([&](ByteWriter& w) { writeString(w, u"Call", cp); }).toHex(), "060443616c6c");

    const QByteArray at255 = written([&](ByteWriter& w) { writeString(w, QString(255, u'a'), cp); });
    EXPECT_EQ(at255.left(2).toHex(), "06ff");
    EXPECT_EQ(readAll(at255).text, QString(255, u'a'));

    const QByteArray at256 = written([&](ByteWriter& w) { writeString(w, QString(256, u'b'), cp); });
    EXPECT_EQ(at256.left(5).toHex(), "0c00010000");
    EXPECT_EQ(at256.size(), 5 + 256);
    const StreamValue v = readAll(at256);
    EXPECT_EQ(v.type, ValueType::LString);
    EXPECT_EQ(v.text, QString(256, u'b'));
    EXPECT_TRUE(v.isText());
}

TEST(StreamValue, TextGoesThroughTheCodePage)
{
    const QByteArray out = written([](ByteWriter& w) { writeString(w, u"Grüße €", CodePage(1252)); });
    EXPECT_EQ(out.toHex(), "06074772fcdf652080");
    EXPECT_EQ(readAll(out, CodePage(1252)).text, QStringLiteral("Grüße €"));
    // The same bytes in the Cyrillic code page are other letters.
    EXPECT_EQ(readAll(hex("0601e0"), CodePage(1251)).text, QStringLiteral("а"));
}

TEST(StreamValue, WideStringIsUtf16LittleEndian)
{
    const StreamValue v = readAll(hex("12" "02000000" "4100ac20"));
    EXPECT_EQ(v.type, ValueType::WString);
    EXPECT_EQ(v.text, QStringLiteral("A€"));
}

// ---- other payloads ----

TEST(StreamValue, WritersProduceTheirTypeBytes)
{
    struct Case {
        const char* label;
        std::function<void(ByteWriter&)> write;
        const char* bytes;
    };
    const Case cases[] = {
        {"false", [](ByteWriter& w) { writeBoolean(w, false); }, "08"},
        {"true", [](ByteWriter& w) { writeBoolean(w, true); }, "09"},
        {"nil", [](ByteWriter& w) { writeNil(w); }, "0d"},
        {"ident", [](ByteWriter& w) { writeIdent(w, u"clBlack"); }, "0707636c426c61636b"},
        {"extended", [](ByteWriter& w) { writeExtended(w, 1.0L); }, "050000000000000080ff3f"},
        {"binary", [](ByteWriter& w) { writeBinary(w, QByteArray("\x00\xff", 2)); }, "0a0200000000ff"},
        {"set", [](ByteWriter& w) { writeSet(w, {QStringLiteral("fsBold"), QStringLiteral("fsItalic")}); },
         "0b066673426f6c640866734974616c696300"},
        {"empty set", [](ByteWriter& w) { writeSet(w, {}); }, "0b00"},
        // An empty member name would end the set early; it is left out.
        {"set with empty member", [](ByteWriter& w) { writeSet(w, {QString(), QStringLiteral("fsBold")}); },
         "0b066673426f6c6400"},
        {"string list", [](ByteWriter& w) { writeStringList(w, {QStringLiteral("a"), QString()}); },
         "01060161060000"},
        {"extended list", [](ByteWriter& w) { writeExtendedList(w, {0.0L}); }, "01050000000000000000000000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const QByteArray out = written(c.write);
        EXPECT_EQ(out.toHex(), QByteArray(c.bytes));
        expectReadBothWays(out);
    }
}

TEST(StreamValue, ReadsEveryTypeOfAList)
{
    const StreamValue list = readAll(everyTypeInAList());
    ASSERT_EQ(list.type, ValueType::List);
    ASSERT_EQ(list.items.size(), 19u);
    const auto& it = list.items;
    EXPECT_EQ(it[0].type, ValueType::Int8);
    EXPECT_EQ(it[2].integer, 40000);
    EXPECT_EQ(it[3].type, ValueType::Int64);
    EXPECT_EQ(it[3].integer, int64_t(1) << 40);
    EXPECT_EQ(it[4].type, ValueType::Extended);
    EXPECT_EQ(it[4].real, 2970.0L);
    EXPECT_EQ(it[5].text, QStringLiteral("Call"));
    EXPECT_EQ(it[6].type, ValueType::LString);
    EXPECT_EQ(it[7].type, ValueType::Ident);
    EXPECT_EQ(it[7].text, QStringLiteral("taCenter"));
    EXPECT_EQ(it[8].type, ValueType::False);
    EXPECT_EQ(it[9].type, ValueType::True);
    EXPECT_EQ(it[10].binary, QByteArray("\x01\x02\x03", 3));
    EXPECT_EQ(it[11].setMembers, (QStringList{QStringLiteral("fsBold"), QStringLiteral("fsItalic")}));
    EXPECT_EQ(it[12].type, ValueType::Nil);
    EXPECT_EQ(it[13].type, ValueType::Collection);
    EXPECT_EQ(it[14].real, 1.5L);
    EXPECT_EQ(it[15].integer, 12345);
    EXPECT_EQ(it[15].toReal(), 12345 / 10000.0L);
    EXPECT_TRUE(it[15].isNumber());
    EXPECT_EQ(it[16].type, ValueType::Date);
    EXPECT_EQ(it[16].real, 45000.25L);
    EXPECT_EQ(it[17].text, QStringLiteral("A€"));
    ASSERT_EQ(it[18].items.size(), 2u);
    EXPECT_EQ(it[18].items[1].text, QStringLiteral("two"));
}

TEST(StreamValue, CollectionItemsKeepOrderAndProperties)
{
    const StreamValue v = readAll(hex("0e"
                                      "0205" "01" "044e616d65" "0603616263" "055769647468" "020a" "00"
                                      "01" "00"
                                      "00"));
    ASSERT_EQ(v.type, ValueType::Collection);
    ASSERT_EQ(v.items.size(), 2u);
    const StreamValue& first = v.items[0];
    EXPECT_EQ(first.integer, 5);   // the item's order
    ASSERT_EQ(first.properties.size(), 2u);
    EXPECT_EQ(first.properties[0].first, QStringLiteral("Name"));
    EXPECT_EQ(first.properties[0].second.text, QStringLiteral("abc"));
    EXPECT_EQ(first.properties[1].first, QStringLiteral("Width"));
    EXPECT_EQ(first.properties[1].second.integer, 10);
    EXPECT_TRUE(v.items[1].properties.empty());

    EXPECT_TRUE(readAll(hex("0e00")).items.empty());
}

// ---- defensive reading ----

TEST(StreamValue, MalformedInputThrows)
{
    const char* cases[] = {
        "",                         // nothing at all
        "14",                       // type byte 20 does not exist
        "ff",
        "0102",                     // list item cut off
        "0e0600",                   // collection item that is not a list
        "0e020501",                 // collection item without its closing zero
        "0a03000000aabb",           // binary shorter than its length
        "0c05000000616263",         // long string shorter than its length
        "1203000000410042",         // wide string shorter than its count
        "0b0366",                   // set member cut off
        "0b03666f6f",               // set without its closing empty name
        "0501020304",               // extended cut off
    };
    for (const char* c : cases) {
        SCOPED_TRACE(c);
        expectRefusedBothWays(hex(c));
    }
}

TEST(StreamValue, HugeLengthFailsBeforeAllocating)
{
    // A length of 4 GiB with three bytes left: reading it must fail on the
    // length, not try to allocate or copy.
    for (const char* c : {"0affffffff616263", "0cffffffff616263", "12ffffffff616263", "1201000080616263"}) {
        SCOPED_TRACE(c);
        expectRefusedBothWays(hex(c));
    }
}

TEST(StreamValue, EveryTruncationThrows)
{
    const QByteArray samples[] = {
        everyTypeInAList(),
        hex("0e" "0205" "01" "044e616d65" "0e" "01" "0161" "0900" "00" "00" "00"),   // nested collection
    };
    for (const QByteArray& full : samples) {
        for (qsizetype cut = 0; cut < full.size(); ++cut) {
            SCOPED_TRACE(cut);
            expectRefusedBothWays(full.first(cut));
        }
    }
}

TEST(StreamValue, SkipConsumesExactlyWhatReadConsumes)
{
    QByteArray data = everyTypeInAList();
    data += hex("0e" "0205" "01" "044e616d65" "0e" "01" "0161" "0900" "00" "00" "00");
    data += hex("0b03666f6f00");
    ByteReader reader(data);
    ByteReader skipper(data);
    while (!reader.atEnd()) {
        readValue(reader);
        skipValue(skipper);
        ASSERT_EQ(skipper.pos(), reader.pos());
    }
}

TEST(StreamValue, NestingIsLimitedTo64Levels)
{
    auto nestedLists = [](int levels) {
        return QByteArray(levels, '\x01') + QByteArray(levels, '\x00');
    };
    expectReadBothWays(nestedLists(64));
    // Far too deep: a hostile file must not exhaust the stack.
    for (int levels : {65, 100000}) {
        SCOPED_TRACE(levels);
        expectRefusedBothWays(nestedLists(levels));
    }
    // Collections nest through their items' properties, two levels each.
    auto nestedCollections = [](int levels) {
        QByteArray data;
        for (int i = 0; i < levels; ++i)
            data += QByteArray::fromHex("0e" "01" "0161");
        return data + QByteArray::fromHex("09") + QByteArray(levels * 2, '\x00');
    };
    expectReadBothWays(nestedCollections(20));
    expectRefusedBothWays(nestedCollections(40));
}

TEST(StreamValue, ValueCountIsLimited)
{
    // Every one-byte "true" would become a whole StreamValue: a file of them
    // must not turn a few megabytes into gigabytes.
    auto listOfTrues = [](int count) {
        return QByteArray(1, '\x01') + QByteArray(count, '\x09') + QByteArray(1, '\x00');
    };
    expectReadBothWays(listOfTrues(100000));
    expectRefusedBothWays(listOfTrues(200000));
    QByteArray manyMembers(1, '\x0b');
    for (int i = 0; i < 200000; ++i)
        manyMembers += QByteArray::fromHex("0161");
    expectRefusedBothWays(manyMembers + QByteArray(1, '\x00'));
}

// ---- named values ----

TEST(NamedValues, ValueToFirstNameInTableOrder)
{
    struct Case {
        NamedValueKind kind;
        int32_t value;
        const char* name;   // nullptr: no name, written as an integer
    };
    const Case cases[] = {
        {NamedValueKind::Color, 0x000000, "clBlack"},
        {NamedValueKind::Color, 0xFFFFFF, "clWhite"},
        {NamedValueKind::Color, 0x0000FF, "clRed"},
        {NamedValueKind::Color, int32_t(0x80000000), "clScrollBar"},
        {NamedValueKind::Color, int32_t(0x80000005), "clWindow"},
        {NamedValueKind::Color, int32_t(0x8000000F), "clBtnFace"},
        {NamedValueKind::Color, int32_t(0x80000015), "cl3DDkShadow"},
        {NamedValueKind::Color, int32_t(0x80000018), "clInfoBk"},
        {NamedValueKind::Color, 0x1FFFFFFF, "clNone"},
        {NamedValueKind::Color, 0x123456, nullptr},
        {NamedValueKind::Color, int32_t(0x80000019), nullptr},
        {NamedValueKind::Charset, 0, "ANSI_CHARSET"},
        {NamedValueKind::Charset, 1, "DEFAULT_CHARSET"},
        {NamedValueKind::Charset, 238, "EASTEUROPE_CHARSET"},
        {NamedValueKind::Charset, 255, "OEM_CHARSET"},
        {NamedValueKind::Charset, 3, nullptr},
        {NamedValueKind::Cursor, 0, "crDefault"},
        {NamedValueKind::Cursor, -2, "crArrow"},
        {NamedValueKind::Cursor, -21, "crHandPoint"},
        {NamedValueKind::Cursor, -22, "crSizeAll"},
        {NamedValueKind::Cursor, -1, nullptr},
        {NamedValueKind::Cursor, -5, nullptr},
        {NamedValueKind::Cursor, -23, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        const std::optional<QString> name = nameOfValue(c.kind, c.value);
        if (c.name) {
            ASSERT_TRUE(name.has_value());
            EXPECT_EQ(*name, QLatin1String(c.name));
            EXPECT_EQ(valueOfName(c.kind, *name), c.value);
        } else {
            EXPECT_FALSE(name.has_value());
        }
    }
}

TEST(NamedValues, NamesAreReadInAnyLetterCase)
{
    struct Case {
        NamedValueKind kind;
        const char* name;
        std::optional<int32_t> value;
    };
    const Case cases[] = {
        {NamedValueKind::Color, "clBtnFace", int32_t(0x8000000F)},
        {NamedValueKind::Color, "CLBTNFACE", int32_t(0x8000000F)},
        {NamedValueKind::Color, "clnone", 0x1FFFFFFF},
        {NamedValueKind::Charset, "russian_charset", 204},
        {NamedValueKind::Cursor, "crSize", -22},
        {NamedValueKind::Cursor, "CRSIZEALL", -22},
        // Unknown names and names of another kind.
        {NamedValueKind::Color, "clOrange", std::nullopt},
        {NamedValueKind::Color, "clBlack ", std::nullopt},
        {NamedValueKind::Color, "", std::nullopt},
        {NamedValueKind::Cursor, "clBlack", std::nullopt},
        {NamedValueKind::Charset, "crArrow", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(valueOfName(c.kind, QString::fromLatin1(c.name)), c.value);
    }
}

// ---- byte reader and writer ----

TEST(ByteStream, ReaderRefusesToLeaveTheData)
{
    const QByteArray data = hex("0102030405");
    ByteReader in(data);
    EXPECT_THROW(in.seek(6), StreamError);
    EXPECT_THROW(in.seek(-1), StreamError);
    EXPECT_THROW(in.skip(-1), StreamError);
    EXPECT_THROW(in.skip(6), StreamError);
    EXPECT_THROW(in.bytes(6), StreamError);
    EXPECT_THROW(in.i64(), StreamError);
    EXPECT_THROW(in.ext(), StreamError);
    EXPECT_EQ(in.pos(), 0);   // a failed read does not move
    in.seek(2);
    EXPECT_EQ(in.u16(), 0x0403);
    EXPECT_THROW(in.u16(), StreamError);
    EXPECT_EQ(in.pos(), 4);   // a failed read does not move
    EXPECT_EQ(in.u8(), 5);
    EXPECT_TRUE(in.atEnd());
}

TEST(ByteStream, ShortStringsAreCutTo255Bytes)
{
    const QByteArray out = written([](ByteWriter& w) { w.shortString(QString(300, u'z')); });
    EXPECT_EQ(out.size(), 256);
    EXPECT_EQ(uint8_t(out[0]), 255);
}

TEST(ByteStream, PatchesOverwriteInPlaceAndOnlyThere)
{
    QByteArray out;
    ByteWriter w(out);
    w.u32(0);
    w.u16(0xBEEF);
    w.patchU32(0, 0x01020304);
    w.patchU16(4, 0x0506);
    EXPECT_EQ(out.toHex(), "040302010605");
    EXPECT_THROW(w.patchU32(3, 1), StreamError);
    EXPECT_THROW(w.patchU16(-1, 1), StreamError);
    EXPECT_EQ(out.size(), 6);
}
