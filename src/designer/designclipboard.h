#pragma once
// The copy buffer every designer of the program shares, and what goes on
// the system clipboard with it: the marker text, which tells the designer
// to paste from the buffer, and the same components under a MIME type of
// our own, so that another Cardmint window can paste them too.
#include <QByteArray>
#include <QImage>
#include <QString>
#include <memory>

class QMimeData;

namespace cm {

class ClipboardBuffer {
public:
    static inline const QString kMarker = QStringLiteral("{QRDComp}");
    static inline const QString kMimeType = QStringLiteral("application/x-cardmint-components");

    struct Content {
        QByteArray stream;   // a component list as layouts store it
        bool bands = false;  // the first copied component was a band
    };

    static ClipboardBuffer& instance();

    bool isEmpty() const { return content_.stream.isEmpty(); }
    Content content() const { return content_; }
    void set(const QByteArray& stream, bool bands) { content_ = Content{stream, bands}; }
    void clear() { content_ = Content{}; }

    // The marker text with the components under our MIME type.
    std::unique_ptr<QMimeData> mimeData() const;
    static bool hasComponents(const QMimeData& data);
    // The components of our MIME type; empty when there are none or the
    // data is not ours.
    static Content fromMime(const QMimeData& data);

private:
    Content content_;
};

// A picture another program put on the clipboard (an image, or PNG, JPEG or
// BMP bytes); null when there is none.
QImage imageFromMime(const QMimeData& data);
// Whether the clipboard offers such a picture, asked of its formats only:
// Paste is re-evaluated at start-up and on every clipboard change, and
// fetching a large picture each time would be wasted.
bool offersImage(const QMimeData& data);

} // namespace cm
