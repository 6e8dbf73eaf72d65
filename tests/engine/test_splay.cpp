#include "engine/pages/splay.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace cm {
namespace {

QByteArray randomBytes(int size, quint32 seedValue)
{
    QRandomGenerator random(seedValue);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& c : bytes)
        c = char(random.bounded(256));
    return bytes;
}

QByteArray allByteValues()
{
    QByteArray bytes;
    for (int round = 0; round < 3; ++round)
        for (int i = 0; i < 256; ++i)
            bytes.append(char(round == 1 ? 255 - i : i));
    return bytes;
}

struct RoundTripCase {
    const char* name;
    QByteArray plain;
};

TEST(SplayCode, RoundTripsArbitraryBytes)
{
    const RoundTripCase cases[] = {
        {"empty", QByteArray()},
        {"one byte", QByteArray(1, '\x7f')},
        {"zero bytes", QByteArray(5000, '\0')},
        {"every value", allByteValues()},
        {"text", QByteArray("QSL via bureau, tnx fer QSO 73 de DL1ABC ").repeated(200)},
        {"random small", randomBytes(17, 1)},
        {"random large", randomBytes(300000, 2)},
    };
    for (const RoundTripCase& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray coded = splayCompress(c.plain);
        QByteArray decoded;
        ASSERT_TRUE(splayDecompress(coded, c.plain.size(), decoded));
        EXPECT_EQ(decoded, c.plain);
    }
}

TEST(SplayCode, FirstSymbolFollowsTheInitialTree)
{
    // In the fresh tree leaf 0 (depth 8) ends its path with one right turn;
    // leaf 255 hangs one level deeper, below the last internal node, and has
    // only left turns. Bits fill bytes from the least significant.
    EXPECT_EQ(splayCompress(QByteArray(1, '\0')), QByteArray(1, '\x80'));
    EXPECT_EQ(splayCompress(QByteArray(1, '\xff')), QByteArray(2, '\0'));
}

TEST(SplayCode, RepetitionShrinks)
{
    const QByteArray plain(100000, 'x');
    EXPECT_LT(splayCompress(plain).size(), plain.size() / 4);
}

TEST(SplayCode, DecoderRefusesImpossibleInput)
{
    const QByteArray plain = randomBytes(1000, 3);
    const QByteArray coded = splayCompress(plain);
    QByteArray out("left over");
    // Cut short: the bits run out before the announced length.
    EXPECT_FALSE(splayDecompress(QByteArrayView(coded).first(coded.size() / 2), plain.size(), out));
    EXPECT_TRUE(out.isEmpty());
    // A length no code of this size can hold is refused before allocating.
    EXPECT_FALSE(splayDecompress(coded, qint64(coded.size()) * 8 + 1, out));
    EXPECT_FALSE(splayDecompress(coded, 0x7fffffffffffLL, out));
    EXPECT_FALSE(splayDecompress(coded, -1, out));
    EXPECT_FALSE(splayDecompress(QByteArrayView(), 1, out));
    // Eight left turns and a right one lead to the initial tree's empty slot.
    EXPECT_FALSE(splayDecompress(QByteArray("\x00\x01", 2), 1, out));
}

} // namespace
} // namespace cm
