#include "engine/output/pngwriter.h"

#include <QtEndian>

#include <zlib.h>

#include <array>
#include <cstring>
#include <map>
#include <mutex>

namespace cm {

namespace {

// Shorter runs of repeated rows are packed with their neighbours: a piece
// costs a few dozen bytes of block headers.
constexpr int MinRunRows = 8;
constexpr int PackLevel = 1;
// Runs of up to 2^(MaxPower + 1) - 1 rows, more than an image has.
constexpr int MaxPower = 30;

void appendChunk(QByteArray& out, const char type[4], QByteArrayView data)
{
    char length[4];
    qToBigEndian<quint32>(quint32(data.size()), length);
    out.append(length, 4);
    const qsizetype typeAt = out.size();
    out.append(type, 4);
    out.append(data);
    const QByteArrayView typed = QByteArrayView(out).sliced(typeAt);
    char crc[4];
    qToBigEndian<quint32>(quint32(::crc32(0, reinterpret_cast<const Bytef*>(typed.data()), uInt(typed.size()))), crc);
    out.append(crc, 4);
}

QByteArray be32(quint32 a, quint32 b)
{
    QByteArray bytes(8, Qt::Uninitialized);
    qToBigEndian<quint32>(a, bytes.data());
    qToBigEndian<quint32>(b, bytes.data() + 4);
    return bytes;
}

// A raw deflate stream (no zlib header: the pieces of repeated rows go
// between its blocks) that appends what it packs to `out`.
class Packer {
public:
    explicit Packer(QByteArray& out, int strategy = Z_DEFAULT_STRATEGY) : out_(out)
    {
        ok_ = deflateInit2(&z_, PackLevel, Z_DEFLATED, -15, 8, strategy) == Z_OK;
    }
    ~Packer()
    {
        if (ok_)
            deflateEnd(&z_);
    }
    Packer(const Packer&) = delete;
    Packer& operator=(const Packer&) = delete;

    bool ok() const { return ok_; }
    void pack(QByteArrayView bytes)
    {
        z_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
        z_.avail_in = uInt(bytes.size());
        run(Z_NO_FLUSH);
        pending_ = true;
    }
    // Ends the blocks so far on a byte, with nothing later referring back
    // to them: what is appended to `out` next stands on its own.
    void cut()
    {
        if (pending_)
            run(Z_FULL_FLUSH);
        pending_ = false;
    }
    void finish() { run(Z_FINISH); }

private:
    void run(int flush)
    {
        constexpr qsizetype Step = 64 * 1024;
        for (;;) {
            const qsizetype at = out_.size();
            out_.resize(at + Step);
            z_.next_out = reinterpret_cast<Bytef*>(out_.data() + at);
            z_.avail_out = uInt(Step);
            const int result = deflate(&z_, flush);
            out_.resize(at + Step - qsizetype(z_.avail_out));
            if (result == Z_STREAM_ERROR) {
                ok_ = false;
                return;
            }
            const bool done = flush == Z_FINISH ? result == Z_STREAM_END : z_.avail_out != 0;
            if (done)
                return;
        }
    }

    QByteArray& out_;
    z_stream z_{};
    bool ok_ = false;
    bool pending_ = false;
};

// 2^n rows of zeros behind the up filter's tag, packed on their own.
struct ZeroRows {
    QByteArray packed;
    uLong adler = 0;   // of the unpacked rows
    qint64 length = 0;
};

// The pieces by row width and power of two, made when first asked for and
// kept for the process: a run uses the same few widths over and over.
class ZeroRowPieces {
public:
    const ZeroRows& piece(qsizetype rowBytes, int power)
    {
        const std::lock_guard guard(lock_);
        ZeroRows& p = byWidth_[rowBytes][size_t(power)];
        if (p.length == 0)
            p = make(rowBytes, qint64(1) << power);
        return p;
    }

private:
    static ZeroRows make(qsizetype rowBytes, qint64 rows)
    {
        QByteArray row(rowBytes, '\0');
        row[0] = 2;
        ZeroRows p;
        Packer packer(p.packed, Z_RLE);
        p.adler = adler32(0, nullptr, 0);
        for (qint64 n = 0; n < rows; ++n) {
            packer.pack(row);
            p.adler = adler32(p.adler, reinterpret_cast<const Bytef*>(row.constData()), uInt(rowBytes));
        }
        packer.cut();
        p.length = rows * rowBytes;
        if (!packer.ok())
            p = {};
        return p;
    }

    std::mutex lock_;
    // Pieces are read without the lock once made, so they never move: map
    // nodes stay where they are, and so does an array in them.
    std::map<qsizetype, std::array<ZeroRows, MaxPower + 1>> byWidth_;
};

ZeroRowPieces& zeroRowPieces()
{
    static ZeroRowPieces pieces;
    return pieces;
}

// The image's rows behind the up filter as a zlib stream.
QByteArray packRows(const QImage& image)
{
    const int width = image.width();
    const int height = image.height();
    const qsizetype rowBytes = 1 + qsizetype(width) * 3;
    const size_t lineBytes = size_t(width) * sizeof(QRgb);
    QByteArray packed("\x78\x01", 2);   // zlib header: deflate, 32K window, fastest
    Packer packer(packed);
    if (!packer.ok())
        return {};
    uLong adler = adler32(0, nullptr, 0);
    QByteArray row(rowBytes, Qt::Uninitialized);
    auto* out = reinterpret_cast<uchar*>(row.data());
    out[0] = 2;   // up: each byte less the byte above it
    auto line = [&image](int y) { return reinterpret_cast<const QRgb*>(image.constScanLine(y)); };
    int y = 0;
    while (y < height) {
        int repeated = 0;
        while (y > 0 && y + repeated < height && std::memcmp(line(y + repeated), line(y - 1), lineBytes) == 0)
            ++repeated;
        if (repeated >= MinRunRows) {
            packer.cut();
            for (int power = MaxPower; power >= 0; --power) {
                if (!(repeated & (1 << power)))
                    continue;
                const ZeroRows& piece = zeroRowPieces().piece(rowBytes, power);
                if (piece.length == 0)
                    return {};
                packed.append(piece.packed);
                adler = adler32_combine(adler, piece.adler, z_off_t(piece.length));
            }
            y += repeated;
            continue;
        }
        const QRgb* pixels = line(y);
        if (y > 0 && repeated > 0) {
            std::memset(out + 1, 0, size_t(rowBytes - 1));
        } else {
            const QRgb* above = y > 0 ? line(y - 1) : nullptr;
            // Only the stretch that differs from the row above is worked out
            // (the row differs somewhere); the rest is zeros.
            int from = 0;
            int to = width;
            if (above) {
                while (pixels[from] == above[from])
                    ++from;
                while (pixels[to - 1] == above[to - 1])
                    --to;
                std::memset(out + 1, 0, size_t(from) * 3);
                std::memset(out + 1 + 3 * to, 0, size_t(width - to) * 3);
            }
            for (int x = from; x < to; ++x) {
                const QRgb up = above ? above[x] : 0;
                out[1 + 3 * x] = uchar(qRed(pixels[x]) - qRed(up));
                out[2 + 3 * x] = uchar(qGreen(pixels[x]) - qGreen(up));
                out[3 + 3 * x] = uchar(qBlue(pixels[x]) - qBlue(up));
            }
        }
        packer.pack(row);
        adler = adler32(adler, out, uInt(rowBytes));
        ++y;
    }
    packer.finish();
    if (!packer.ok())
        return {};
    char trailer[4];
    qToBigEndian<quint32>(quint32(adler), trailer);
    packed.append(trailer, 4);
    return packed;
}

} // namespace

QByteArray encodeFastPng(const QImage& source)
{
    if (source.isNull())
        return {};
    const QImage image = source.format() == QImage::Format_RGB32 ? source : source.convertToFormat(QImage::Format_RGB32);
    const QByteArray packed = packRows(image);
    if (packed.isEmpty())
        return {};

    QByteArray out("\x89PNG\r\n\x1a\n", 8);
    QByteArray header = be32(quint32(image.width()), quint32(image.height()));
    header.append("\x08\x02\x00\x00\x00", 5);   // 8 bits, RGB, deflate, no interlace
    appendChunk(out, "IHDR", header);
    if (image.dotsPerMeterX() > 0 && image.dotsPerMeterY() > 0) {
        QByteArray phys = be32(quint32(image.dotsPerMeterX()), quint32(image.dotsPerMeterY()));
        phys.append('\x01');   // per metre
        appendChunk(out, "pHYs", phys);
    }
    appendChunk(out, "IDAT", packed);
    appendChunk(out, "IEND", {});
    return out;
}

bool writeFastPng(const QImage& image, QIODevice& device)
{
    const QByteArray bytes = encodeFastPng(image);
    return !bytes.isEmpty() && device.write(bytes) == bytes.size();
}

} // namespace cm
