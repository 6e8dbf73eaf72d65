#include "designer/designclipboard.h"

#include <QMimeData>

namespace cm {

namespace {

// The MIME payload: a signature, the bands flag, then the component list.
const QByteArray kSignature = QByteArrayLiteral("CMC1");

} // namespace

ClipboardBuffer& ClipboardBuffer::instance()
{
    static ClipboardBuffer buffer;
    return buffer;
}

std::unique_ptr<QMimeData> ClipboardBuffer::mimeData() const
{
    auto data = std::make_unique<QMimeData>();
    data->setText(kMarker);
    QByteArray payload = kSignature;
    payload.append(char(content_.bands ? 1 : 0));
    payload.append(content_.stream);
    data->setData(kMimeType, payload);
    return data;
}

bool ClipboardBuffer::hasComponents(const QMimeData& data)
{
    return data.hasFormat(kMimeType);
}

ClipboardBuffer::Content ClipboardBuffer::fromMime(const QMimeData& data)
{
    const QByteArray payload = data.data(kMimeType);
    if (payload.size() <= kSignature.size() + 1 || !payload.startsWith(kSignature))
        return {};
    return Content{payload.mid(kSignature.size() + 1), payload.at(kSignature.size()) != 0};
}

namespace {

constexpr const char* kImageFormats[] = {"image/png", "image/jpeg", "image/bmp", "image/x-bmp"};

} // namespace

bool offersImage(const QMimeData& data)
{
    if (data.hasImage())
        return true;
    for (const char* format : kImageFormats) {
        if (data.hasFormat(QString::fromLatin1(format)))
            return true;
    }
    return false;
}

QImage imageFromMime(const QMimeData& data)
{
    if (data.hasImage()) {
        const QImage image = qvariant_cast<QImage>(data.imageData());
        if (!image.isNull())
            return image;
    }
    for (const char* format : kImageFormats) {
        if (const QString type = QString::fromLatin1(format); data.hasFormat(type)) {
            const QImage image = QImage::fromData(data.data(type));
            if (!image.isNull())
                return image;
        }
    }
    return {};
}

} // namespace cm
