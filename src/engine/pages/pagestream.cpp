#include "engine/pages/pagestream.h"

#include "engine/qrerror.h"

#include <QDir>

namespace cm {

TQRPageStream::TQRPageStream(qint64 memoryLimit)
    : m_memoryLimit(memoryLimit), m_memory(std::make_unique<QBuffer>())
{
    m_memory->open(QIODevice::ReadWrite);
}

TQRPageStream::~TQRPageStream() = default;   // QTemporaryFile removes its file

std::unique_ptr<TQRPageStream> TQRPageStream::openFile(const QString& fileName)
{
    std::unique_ptr<TQRPageStream> stream(new TQRPageStream(ReadOnlyFile{}));
    stream->m_file = std::make_unique<QFile>(fileName);
    if (!stream->m_file->open(QIODevice::ReadOnly))
        throw EQRError(QStringLiteral("Cannot open report file \"%1\": %2")
                           .arg(fileName, stream->m_file->errorString()));
    stream->m_size = stream->m_file->size();
    return stream;
}

std::unique_ptr<TQRPageStream> TQRPageStream::createFile(const QString& fileName)
{
    std::unique_ptr<TQRPageStream> stream(new TQRPageStream(SavedFile{}));
    stream->m_save = std::make_unique<QSaveFile>(fileName);
    if (!stream->m_save->open(QIODevice::WriteOnly))
        throw EQRError(QStringLiteral("Cannot create \"%1\": %2").arg(fileName, stream->m_save->errorString()));
    return stream;
}

void TQRPageStream::commit()
{
    if (!m_save || !m_save->commit())
        throw EQRError(QStringLiteral("Cannot write \"%1\": %2")
                           .arg(fileName(), m_save ? m_save->errorString() : QStringLiteral("not a file")));
}

QString TQRPageStream::fileName() const
{
    if (m_save)
        return m_save->fileName();
    if (m_temp)
        return m_temp->fileName();
    if (m_file)
        return m_file->fileName();
    return {};
}

QIODevice& TQRPageStream::device()
{
    if (m_save)
        return *m_save;
    if (m_temp)
        return *m_temp;
    if (m_file)
        return *m_file;
    return *m_memory;
}

void TQRPageStream::spill()
{
    auto temp = std::make_unique<QTemporaryFile>(QDir::temp().filePath(QStringLiteral("QRPXXXXXX")));
    if (!temp->open())
        throw EQRError(QStringLiteral("Cannot create a temporary page file: %1").arg(temp->errorString()));
    const QByteArray& held = m_memory->buffer();
    if (temp->write(held) != held.size())
        throw EQRError(QStringLiteral("Cannot write the temporary page file: %1").arg(temp->errorString()));
    m_temp = std::move(temp);
    m_memory.reset();
}

void TQRPageStream::writeAt(qint64 pos, QByteArrayView bytes)
{
    QIODevice& dev = device();
    // Seeking flushes the file's buffer: appends, which are most writes, do
    // not seek, so that pages reach the file in large writes.
    if ((dev.pos() != pos && !dev.seek(pos)) || dev.write(bytes.data(), bytes.size()) != bytes.size())
        throw EQRError(QStringLiteral("Cannot write the page stream: %1").arg(dev.errorString()));
}

void TQRPageStream::append(QByteArrayView bytes)
{
    if (m_readOnly)
        throw EQRError(QStringLiteral("A loaded report file cannot take new pages"));
    if (m_memory && m_size + bytes.size() > m_memoryLimit)
        spill();
    writeAt(m_size, bytes);
    m_size += bytes.size();
}

void TQRPageStream::overwrite(qint64 pos, QByteArrayView bytes)
{
    if (m_readOnly || pos < 0 || pos + bytes.size() > m_size)
        throw EQRError(QStringLiteral("Cannot write the page stream at %1").arg(pos));
    writeAt(pos, bytes);
}

void TQRPageStream::truncate(qint64 size)
{
    if (m_readOnly || size < 0 || size >= m_size)
        return;
    if (m_memory)
        m_memory->buffer().truncate(qsizetype(size));
    else if (m_save)
        m_save->resize(size);
    else
        m_temp->resize(size);
    m_size = size;
}

bool TQRPageStream::read(qint64 pos, char* into, qint64 length)
{
    if (pos < 0 || length < 0 || pos > m_size || length > m_size - pos)
        return false;
    QIODevice& dev = device();
    if (!dev.seek(pos))
        return false;
    qint64 done = 0;
    while (done < length) {
        const qint64 got = dev.read(into + done, length - done);
        if (got <= 0)
            return false;
        done += got;
    }
    return true;
}

QByteArray TQRPageStream::read(qint64 pos, qint64 length, bool* ok)
{
    QByteArray bytes;
    // Checked before allocating: a hostile length never reaches the allocator.
    if (pos >= 0 && length >= 0 && pos <= m_size && length <= m_size - pos) {
        bytes.resize(static_cast<qsizetype>(length));
        if (read(pos, bytes.data(), length)) {
            *ok = true;
            return bytes;
        }
    }
    *ok = false;
    return {};
}

bool TQRPageStream::copyTo(QIODevice& target)
{
    constexpr qint64 Chunk = 1 << 20;
    QByteArray chunk(qsizetype(std::min(Chunk, std::max<qint64>(m_size, 1))), Qt::Uninitialized);
    for (qint64 pos = 0; pos < m_size; pos += Chunk) {
        const qint64 length = std::min(Chunk, m_size - pos);
        if (!read(pos, chunk.data(), length) || target.write(chunk.constData(), length) != length)
            return false;
    }
    return true;
}

} // namespace cm
