#include "engine/pages/pagelist.h"

#include "engine/qrerror.h"

#include <QMutexLocker>
#include <QSaveFile>

namespace cm {

TQRPageList::TQRPageList(qint64 memoryLimit)
    : m_memoryLimit(memoryLimit), m_stream(std::make_unique<TQRPageStream>(memoryLimit))
{
}

TQRPageList::~TQRPageList() = default;

void TQRPageList::reset(bool compressed)
{
    QMutexLocker lock(&m_lock);
    m_stream = std::make_unique<TQRPageStream>(m_memoryLimit);
    m_pages.clear();
    m_compressed = compressed;
    m_headerSize = qrp::HeaderSize;
}

void TQRPageList::create(const QString& fileName, bool compressed)
{
    auto stream = TQRPageStream::createFile(fileName);
    QMutexLocker lock(&m_lock);
    m_stream = std::move(stream);
    m_pages.clear();
    m_compressed = compressed;
    m_headerSize = qrp::HeaderSize;
}

void TQRPageList::commit()
{
    QMutexLocker lock(&m_lock);
    m_stream->commit();
}

void TQRPageList::load(const QString& fileName)
{
    auto stream = TQRPageStream::openFile(fileName);
    qrp::FileLayout layout = qrp::scanStream(*stream);
    QMutexLocker lock(&m_lock);
    m_stream = std::move(stream);
    m_pages = std::move(layout.pages);
    m_compressed = layout.compressed;
    m_headerSize = layout.headerSize;
}

void TQRPageList::addPage(QByteArrayView picture)
{
    // Coding happens outside the lock; only the stream writes are serialised.
    const QByteArray coded = m_compressed ? qrp::makeCompressedBody(picture) : QByteArray();
    const QByteArrayView body = m_compressed ? QByteArrayView(coded) : picture;
    QMutexLocker lock(&m_lock);
    if (m_stream->size() == 0)
        m_stream->append(qrp::makeHeader(0, QDateTime::currentDateTime(), m_compressed));
    const qint64 start = m_stream->size();
    const qrp::RecordFrame frame = qrp::makeRecordFrame(qint32(m_pages.size() + 1), start, body.size());
    try {
        m_stream->append(QByteArrayView(frame.head, sizeof frame.head));
        m_stream->append(body);
        m_stream->append(QByteArrayView(frame.tail, sizeof frame.tail));
    } catch (...) {
        m_stream->truncate(start);   // no half record: the stream stays a valid report
        throw;
    }
    m_pages.push_back({start + 8, qint64(body.size())});
}

void TQRPageList::finish(const QDateTime& created)
{
    QMutexLocker lock(&m_lock);
    if (m_stream->isReadOnly())
        return;
    const QByteArray header = qrp::makeHeader(qint32(m_pages.size()), created, m_compressed);
    if (m_stream->size() == 0)
        m_stream->append(header);
    else
        m_stream->overwrite(0, header);
}

int TQRPageList::count() const
{
    QMutexLocker lock(&m_lock);
    return int(m_pages.size());
}

bool TQRPageList::compressed() const
{
    QMutexLocker lock(&m_lock);
    return m_compressed;
}

int TQRPageList::headerSize() const
{
    QMutexLocker lock(&m_lock);
    return m_headerSize;
}

bool TQRPageList::isSpilled() const
{
    QMutexLocker lock(&m_lock);
    return m_stream->isSpilled();
}

QString TQRPageList::streamFileName() const
{
    QMutexLocker lock(&m_lock);
    return m_stream->fileName();
}

QByteArray TQRPageList::pageData(int n) const
{
    QMutexLocker lock(&m_lock);
    if (n < 1 || n > int(m_pages.size()))
        throw EQRError(QStringLiteral("There is no page %1").arg(n));
    return qrp::decodeBody(*m_stream, m_pages[size_t(n - 1)], m_compressed, n);
}

void TQRPageList::save(const QString& fileName) const
{
    QMutexLocker lock(&m_lock);
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw EQRError(QStringLiteral("Cannot create \"%1\": %2").arg(fileName, file.errorString()));
    if (!m_stream->copyTo(file) || !file.commit())
        throw EQRError(QStringLiteral("Cannot write \"%1\": %2").arg(fileName, file.errorString()));
}

} // namespace cm
