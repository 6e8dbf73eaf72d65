#include "engine/output/pngwriter.h"

#include <QByteArray>
#include <QtEndian>

#include <array>
#include <cstring>

namespace cm {

namespace {

const std::array<quint32, 256>& crcTable()
{
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t{};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    return table;
}

quint32 crc32(QByteArrayView bytes, quint32 crc = 0xFFFFFFFFu)
{
    const auto& table = crcTable();
    for (const char b : bytes)
        crc = table[(crc ^ quint8(b)) & 0xFF] ^ (crc >> 8);
    return crc;
}

void appendChunk(QByteArray& out, const char type[4], QByteArrayView data)
{
    char length[4];
    qToBigEndian<quint32>(quint32(data.size()), length);
    out.append(length, 4);
    const qsizetype typeAt = out.size();
    out.append(type, 4);
    out.append(data);
    char crc[4];
    qToBigEndian<quint32>(crc32(QByteArrayView(out).sliced(typeAt)) ^ 0xFFFFFFFFu, crc);
    out.append(crc, 4);
}

QByteArray be32(quint32 a, quint32 b)
{
    QByteArray bytes(8, Qt::Uninitialized);
    qToBigEndian<quint32>(a, bytes.data());
    qToBigEndian<quint32>(b, bytes.data() + 4);
    return bytes;
}

} // namespace

bool writeFastPng(const QImage& source, QIODevice& device)
{
    const QImage image = source.format() == QImage::Format_RGB32 ? source : source.convertToFormat(QImage::Format_RGB32);
    const int width = image.width();
    const int height = image.height();
    if (image.isNull())
        return false;
    const qsizetype rowBytes = 1 + qsizetype(width) * 3;
    QByteArray raw(rowBytes * height, Qt::Uninitialized);
    const QRgb* above = nullptr;
    for (int y = 0; y < height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        auto* row = reinterpret_cast<uchar*>(raw.data() + y * rowBytes);
        row[0] = 2;   // up: each byte less the byte above it
        uchar* out = row + 1;
        if (above && std::memcmp(line, above, size_t(width) * sizeof(QRgb)) == 0) {
            std::memset(out, 0, size_t(rowBytes - 1));
        } else {
            for (int x = 0; x < width; ++x) {
                const QRgb up = above ? above[x] : 0;
                out[3 * x] = uchar(qRed(line[x]) - qRed(up));
                out[3 * x + 1] = uchar(qGreen(line[x]) - qGreen(up));
                out[3 * x + 2] = uchar(qBlue(line[x]) - qBlue(up));
            }
        }
        above = line;
    }
    // qCompress gives a zlib stream behind four bytes of length.
    const QByteArray packed = qCompress(raw, 1);
    if (packed.size() <= 4)
        return false;

    QByteArray out("\x89PNG\r\n\x1a\n", 8);
    QByteArray header = be32(quint32(width), quint32(height));
    header.append("\x08\x02\x00\x00\x00", 5);   // 8 bits, RGB, deflate, no interlace
    appendChunk(out, "IHDR", header);
    if (image.dotsPerMeterX() > 0 && image.dotsPerMeterY() > 0) {
        QByteArray phys = be32(quint32(image.dotsPerMeterX()), quint32(image.dotsPerMeterY()));
        phys.append('\x01');   // per metre
        appendChunk(out, "pHYs", phys);
    }
    appendChunk(out, "IDAT", QByteArrayView(packed).sliced(4));
    appendChunk(out, "IEND", {});
    return device.write(out) == out.size();
}

} // namespace cm
