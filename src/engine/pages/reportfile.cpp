#include "engine/pages/reportfile.h"

#include "engine/pages/pagestream.h"
#include "engine/qrerror.h"
#include "engine/pages/splay.h"

#include <QtEndian>
#include <cstring>

namespace cm::qrp {

namespace {

constexpr char PictureSignature[4] = {'Q', 'P', 'I', 'C'};
constexpr int PictureSignatureSize = 4;

void put32(QByteArray& bytes, qsizetype at, qint32 value)
{
    qToLittleEndian<qint32>(value, bytes.data() + at);
}

qint32 get32(const char* at) { return qFromLittleEndian<qint32>(at); }

EQRError damaged(const QString& what)
{
    return EQRError(QStringLiteral("The report file is damaged: %1").arg(what));
}

bool recordStartsAt(TQRPageStream& stream, qint64 pos)
{
    char number[4];
    return stream.read(pos, number, 4) && get32(number) == 1;
}

bool pictureAt(TQRPageStream& stream, qint64 pos)
{
    char sig[PictureSignatureSize];
    return stream.read(pos, sig, PictureSignatureSize)
        && std::memcmp(sig, PictureSignature, PictureSignatureSize) == 0;
}

// Old and new headers differ only in where the page records start. An
// uncompressed first page shows its picture signature right after the first
// record's two fields; otherwise the first record's page number decides.
int detectHeaderSize(TQRPageStream& stream)
{
    if (pictureAt(stream, OldHeaderSize + 8))
        return OldHeaderSize;
    if (!recordStartsAt(stream, HeaderSize) && recordStartsAt(stream, OldHeaderSize))
        return OldHeaderSize;
    return HeaderSize;
}

} // namespace

double toDayNumber(const QDateTime& when)
{
    const QDateTime local = when.toLocalTime();
    const QDate epoch(1899, 12, 30);
    const double days = double(epoch.daysTo(local.date()));
    return days + local.time().msecsSinceStartOfDay() / 86400000.0;
}

QByteArray makeHeader(qint32 pageCount, const QDateTime& created, bool compressed)
{
    QByteArray header(HeaderSize, '\0');
    qToLittleEndian<quint16>(Magic1, header.data());
    qToLittleEndian<quint16>(Magic2, header.data() + 2);
    put32(header, 8, pageCount);
    qToLittleEndian<double>(toDayNumber(created), header.data() + 16);
    header[25] = compressed ? 1 : 0;
    return header;
}

QByteArray makeCompressedBody(QByteArrayView picture)
{
    QByteArray body(4, '\0');
    put32(body, 0, qint32(picture.size()));
    body += splayCompress(picture);
    return body;
}

RecordFrame makeRecordFrame(qint32 pageNumber, qint64 recordStart, qint64 bodyLength)
{
    const qint64 next = recordStart + RecordOverhead + bodyLength;
    if (next > MaxStreamSize)
        throw EQRError(QStringLiteral("The report is too large for a report file"));
    RecordFrame frame;
    qToLittleEndian<qint32>(pageNumber, frame.head);
    qToLittleEndian<qint32>(qint32(next), frame.head + 4);
    qToLittleEndian<qint32>(qint32(recordStart), frame.tail);
    return frame;
}

QByteArray makeRecord(qint32 pageNumber, qint64 recordStart, QByteArrayView body)
{
    const RecordFrame frame = makeRecordFrame(pageNumber, recordStart, body.size());
    QByteArray record;
    record.reserve(RecordOverhead + body.size());
    record.append(frame.head, sizeof frame.head).append(body).append(frame.tail, sizeof frame.tail);
    return record;
}

FileLayout scanStream(TQRPageStream& stream)
{
    FileLayout layout;
    char header[HeaderSize];
    if (!stream.read(0, header, OldHeaderSize))
        throw EQRError(QStringLiteral("Not a report file: it is shorter than a report file header"));
    if (qFromLittleEndian<quint16>(header) != Magic1 || qFromLittleEndian<quint16>(header + 2) != Magic2)
        throw EQRError(QStringLiteral("Not a report file: the header signature is missing"));
    layout.pageCount = get32(header + 8);
    if (layout.pageCount < 0)
        throw damaged(QStringLiteral("negative page count %1").arg(layout.pageCount));
    layout.headerSize = layout.pageCount > 0 ? detectHeaderSize(stream) : HeaderSize;
    layout.compressed = header[layout.headerSize == HeaderSize ? 25 : 21] != 0;
    if (layout.headerSize > stream.size())
        throw damaged(QStringLiteral("the header is cut short"));

    // Each record needs at least its 12 bytes; a larger count cannot be true.
    const qint64 room = (stream.size() - layout.headerSize) / RecordOverhead;
    if (layout.pageCount > room)
        throw damaged(QStringLiteral("it announces %1 pages but holds at most %2").arg(layout.pageCount).arg(room));
    layout.pages.reserve(size_t(layout.pageCount));

    qint64 pos = layout.headerSize;
    for (qint32 n = 1; n <= layout.pageCount; ++n) {
        char fields[8];
        if (!stream.read(pos, fields, 8))
            throw damaged(QStringLiteral("page %1 is cut short").arg(n));
        if (get32(fields) != n)
            throw damaged(QStringLiteral("page record %1 carries the number %2").arg(n).arg(get32(fields)));
        const qint64 next = quint32(get32(fields + 4));
        if (next < pos + RecordOverhead || next > stream.size())
            throw damaged(QStringLiteral("page %1 has an impossible length").arg(n));
        char own[4];
        if (!stream.read(next - 4, own, 4) || get32(own) != pos)
            throw damaged(QStringLiteral("page %1 does not end where it says").arg(n));
        const PageEntry entry{pos + 8, next - pos - RecordOverhead};
        if (layout.compressed && entry.bodyLength < 4)
            throw damaged(QStringLiteral("compressed page %1 has no length").arg(n));
        if (!layout.compressed && !pictureAt(stream, entry.bodyPos))
            throw damaged(QStringLiteral("page %1 is not a page picture").arg(n));
        layout.pages.push_back(entry);
        pos = next;
    }
    return layout;
}

QByteArray decodeBody(TQRPageStream& stream, const PageEntry& page, bool compressed, int pageNumber)
{
    bool ok = false;
    QByteArray body = stream.read(page.bodyPos, page.bodyLength, &ok);
    if (!ok)
        throw damaged(QStringLiteral("page %1 cannot be read").arg(pageNumber));
    if (!compressed)
        return body;
    if (body.size() < 4)
        throw damaged(QStringLiteral("compressed page %1 has no length").arg(pageNumber));
    const qint64 plainLength = quint32(get32(body.constData()));
    QByteArray plain;
    if (!splayDecompress(QByteArrayView(body).sliced(4), plainLength, plain))
        throw damaged(QStringLiteral("compressed page %1 does not decode").arg(pageNumber));
    return plain;
}

} // namespace cm::qrp
