#pragma once
// Byte layout of report files (*.QRP) and of the page stream, which are
// identical: a header, then one record per page:
//   page number (4) | offset of the next record (4) | body | own offset (4)
// The body is the page picture, or, compressed, its length (4) followed by
// the splay-coded picture. All integers are little-endian.
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <vector>

namespace cm {

class TQRPageStream;

namespace qrp {

constexpr int HeaderSize = 128;
constexpr int OldHeaderSize = 124;   // older files: the date aligned to 4 bytes
constexpr int RecordOverhead = 12;   // page number, next offset, own offset
constexpr quint16 Magic1 = 3;
constexpr quint16 Magic2 = 307;
// Offsets are stored in 32 bits; a stream may not grow past this.
constexpr qint64 MaxStreamSize = 0x7fffffff;

QByteArray makeHeader(qint32 pageCount, const QDateTime& created, bool compressed);
// Days since 30 December 1899 plus the fraction of the day, local time.
double toDayNumber(const QDateTime& when);

QByteArray makeRecord(qint32 pageNumber, qint64 recordStart, QByteArrayView body);
// The two parts of a record around its body, so that a body can be written
// without being copied into the record first.
struct RecordFrame {
    char head[8];   // page number, offset of the next record
    char tail[4];   // own offset
};
RecordFrame makeRecordFrame(qint32 pageNumber, qint64 recordStart, qint64 bodyLength);
// The coded body of a compressed page: the picture's length and the code.
QByteArray makeCompressedBody(QByteArrayView picture);

struct PageEntry {
    qint64 bodyPos;
    qint64 bodyLength;
};

struct FileLayout {
    int headerSize = HeaderSize;
    qint32 pageCount = 0;
    bool compressed = false;
    std::vector<PageEntry> pages;
};

// Reads and checks header and page records of a stream; every offset and
// length is checked against the bytes present. Throws EQRError with a
// message naming what is wrong.
FileLayout scanStream(TQRPageStream& stream);

// The picture bytes of one page body; throws EQRError when the body is bad.
QByteArray decodeBody(TQRPageStream& stream, const PageEntry& page, bool compressed, int pageNumber);

} // namespace qrp
} // namespace cm
