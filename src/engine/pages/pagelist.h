#pragma once
// The generated pages: a page stream in report-file layout plus the index of
// its page records. One lock serialises every stream access and page-list
// operation, so a preview can read a page while generation appends one.
#include "engine/pages/pagestream.h"
#include "engine/pages/reportfile.h"

#include <QByteArray>
#include <QDateTime>
#include <QMutex>
#include <memory>
#include <vector>

namespace cm {

class TQRPageList {
public:
    explicit TQRPageList(qint64 memoryLimit = TQRPageStream::DefaultMemoryLimit);
    ~TQRPageList();

    // A fresh, empty stream for a new run.
    void reset(bool compressed);
    // Opens a report file as the stream (read-only); throws EQRError.
    void load(const QString& fileName);
    // A fresh list written straight into `fileName`, which replaces an
    // existing file on commit() only; throws EQRError. Its pages cannot be
    // read back.
    void create(const QString& fileName, bool compressed);
    void commit();

    // Appends one page picture (QPicture data); writes the header first
    // when it is the first page. Throws EQRError on a write failure.
    void addPage(QByteArrayView picture);
    // Rewrites page count and date (writes the header if no page came).
    void finish(const QDateTime& created);

    int count() const;
    bool compressed() const;
    int headerSize() const;
    bool isSpilled() const;
    QString streamFileName() const;
    // Picture bytes of page n (1-based); throws EQRError when it is out of
    // range or damaged.
    QByteArray pageData(int n) const;

    // Copies the whole stream to a file, atomically: a failed write leaves
    // an existing file untouched, and saving over the loaded file is safe.
    void save(const QString& fileName) const;

private:
    mutable QMutex m_lock;
    qint64 m_memoryLimit;
    std::unique_ptr<TQRPageStream> m_stream;
    std::vector<qrp::PageEntry> m_pages;
    bool m_compressed = false;
    int m_headerSize = qrp::HeaderSize;
};

} // namespace cm
