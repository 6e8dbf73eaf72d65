#pragma once
// The byte stream behind the page list. It starts in memory and moves to a
// temporary file ("QRP…", deleted with the stream) once it outgrows the
// memory limit, so long runs do not keep every page in memory. It can also
// be opened read-only on an existing report file, or be written straight
// into a report file that takes the place of an old one when committed.
//
// Not thread-safe by itself: TQRPageList serialises all access.
#include <QBuffer>
#include <QFile>
#include <QSaveFile>
#include <QString>
#include <QTemporaryFile>
#include <memory>

namespace cm {

class TQRPageStream {
public:
    static constexpr qint64 DefaultMemoryLimit = 100000;

    // An empty, writable stream.
    explicit TQRPageStream(qint64 memoryLimit = DefaultMemoryLimit);
    // A read-only stream over an existing file; throws EQRError when it
    // cannot be opened.
    static std::unique_ptr<TQRPageStream> openFile(const QString& fileName);
    // A write-only stream that becomes `fileName` on commit(); throws
    // EQRError when the file cannot be created.
    static std::unique_ptr<TQRPageStream> createFile(const QString& fileName);

    TQRPageStream(const TQRPageStream&) = delete;
    TQRPageStream& operator=(const TQRPageStream&) = delete;
    ~TQRPageStream();

    qint64 size() const { return m_size; }
    bool isSpilled() const { return m_temp != nullptr; }
    bool isReadOnly() const { return m_readOnly; }
    // The temporary or opened file; empty while the stream is in memory.
    QString fileName() const;

    // Writes at the end; throws EQRError on a write failure (disk full).
    void append(QByteArrayView bytes);
    // Overwrites bytes that already exist (the header); throws EQRError.
    void overwrite(qint64 pos, QByteArrayView bytes);
    // Drops everything from `size` on (undoes a failed page write).
    void truncate(qint64 size);
    // Reads exactly `length` bytes; false when they are not all there.
    bool read(qint64 pos, char* into, qint64 length);
    QByteArray read(qint64 pos, qint64 length, bool* ok);

    // Copies the whole stream in 10240-byte chunks; false on a write error.
    bool copyTo(QIODevice& target);
    // Puts a stream made by createFile in place; throws EQRError.
    void commit();

private:
    struct ReadOnlyFile {};
    explicit TQRPageStream(ReadOnlyFile) : m_readOnly(true) {}
    struct SavedFile {};
    explicit TQRPageStream(SavedFile) {}
    QIODevice& device();
    void spill();
    void writeAt(qint64 pos, QByteArrayView bytes);

    qint64 m_memoryLimit = DefaultMemoryLimit;
    qint64 m_size = 0;
    bool m_readOnly = false;
    std::unique_ptr<QBuffer> m_memory;
    std::unique_ptr<QTemporaryFile> m_temp;
    std::unique_ptr<QFile> m_file;
    std::unique_ptr<QSaveFile> m_save;
};

} // namespace cm
