#include "engine/pages/splay.h"

#include <array>
#include <cstdint>

namespace cm {

namespace {

constexpr int Root = 0;
constexpr int Leaves = 256;   // symbol s is the node s + 256

// Parent and child links of the code tree. Internal nodes are 0 .. 255,
// leaves 256 .. 511.
class SplayTree {
public:
    SplayTree()
    {
        for (int i = 1; i < int(up.size()); ++i)
            up[i] = static_cast<uint16_t>((i - 1) / 2);
        for (int i = 0; i < Leaves; ++i) {
            left[i] = static_cast<uint16_t>(2 * i + 1);
            right[i] = static_cast<uint16_t>(2 * i + 2);
        }
    }

    // Moves the symbol's leaf halfway to the root along its path; frequent
    // symbols get short codes this way.
    void splay(int symbol)
    {
        int a = symbol + Leaves;
        int b = 0;
        do {
            b = up[a];
            if (b != Root) {
                const int c = up[b];
                int d = left[c];
                if (d == b) {
                    d = right[c];
                    right[c] = static_cast<uint16_t>(a);
                } else {
                    left[c] = static_cast<uint16_t>(a);
                }
                if (a == left[b])
                    left[b] = static_cast<uint16_t>(d);
                else
                    right[b] = static_cast<uint16_t>(d);
                up[a] = static_cast<uint16_t>(c);
                up[d] = static_cast<uint16_t>(b);
                b = c;
            }
            a = b;
        } while (b != Root);
    }

    std::array<uint16_t, 513> up{};
    std::array<uint16_t, Leaves> left{};
    std::array<uint16_t, Leaves> right{};
};

} // namespace

QByteArray splayCompress(QByteArrayView plain)
{
    SplayTree tree;
    QByteArray out;
    out.reserve(plain.size() / 2 + 16);
    std::array<bool, 520> path{};   // deeper than any tree of 512 nodes
    uint8_t current = 0;
    int bitCount = 0;
    for (const char ch : plain) {
        const int symbol = static_cast<uint8_t>(ch);
        int depth = 0;
        for (int a = symbol + Leaves; a != Root;) {
            const int parent = tree.up[a];
            path[depth++] = (tree.right[parent] == a);
            a = parent;
        }
        while (depth > 0) {   // the root end first
            if (path[--depth])
                current |= static_cast<uint8_t>(1u << bitCount);
            if (++bitCount == 8) {
                out.append(static_cast<char>(current));
                current = 0;
                bitCount = 0;
            }
        }
        tree.splay(symbol);
    }
    if (bitCount > 0)
        out.append(static_cast<char>(current));
    return out;
}

bool splayDecompress(QByteArrayView coded, qint64 plainLength, QByteArray& out)
{
    out.clear();
    if (plainLength < 0 || plainLength > qint64(coded.size()) * 8)
        return false;
    QByteArray plain(static_cast<qsizetype>(plainLength), Qt::Uninitialized);
    SplayTree tree;
    const auto* in = reinterpret_cast<const uint8_t*>(coded.data());
    const qsizetype inSize = coded.size();
    qsizetype inPos = 0;
    int bit = 8;
    uint8_t current = 0;
    for (qint64 i = 0; i < plainLength; ++i) {
        int node = Root;
        while (node < Leaves) {
            if (bit == 8) {
                if (inPos == inSize)
                    return false;
                current = in[inPos++];
                bit = 0;
            }
            node = ((current >> bit++) & 1u) ? tree.right[node] : tree.left[node];
        }
        // The initial tree has one child slot (512) without a symbol; the
        // coder never leads there, so reaching it means a damaged code.
        if (node >= 2 * Leaves)
            return false;
        const int symbol = node - Leaves;
        plain[static_cast<qsizetype>(i)] = static_cast<char>(symbol);
        tree.splay(symbol);
    }
    out = std::move(plain);
    return true;
}

} // namespace cm
