#pragma once
// Pictures on recorded pages without encoding them again for every page.
//
// A page picture stores each image it is given in full, compressed anew each
// time: for a card with a photo that is most of the cost of a page, and the
// same photo comes on every card. So the page gets a one-pixel stand-in in
// its place, which carries the image's number on the page, and when the page
// is finished the stand-in's bytes are swapped for the image's own stored
// form, made once and kept while the image stays the same. The finished page
// is byte for byte what drawing the image itself would have recorded.
#include "engine/pages/boundedcache.h"
#include "engine/pages/relayengine.h"

#include <QByteArray>
#include <QImage>
#include <QRectF>

#include <vector>

class QPainter;

namespace cm {

class PageImageRecords {
public:
    // Draws `image` into `target` with `painter`, which paints a page picture.
    void draw(QPainter& painter, const QRectF& target, const QImage& image);
    // The finished page with the images in place of their stand-ins; the
    // page's images are then forgotten.
    QByteArray resolve(QByteArray page);
    // Forgets the open page's images (the page was thrown away).
    void discardPage() { pending_.clear(); }
    // The open page's images by stand-in number, as a replay of its stored
    // bytes would decode them: a page replayed as recorded, stand-ins and
    // all, draws exactly what its stored form draws.
    std::vector<RelayImage> replayImages();

private:
    struct Stored {
        qint64 key = 0;
        QByteArray bytes;       // the image as a page picture stores it
        mutable QImage decoded; // read back from `bytes`, once it is asked for
    };
    struct Pending {
        qint64 key = 0;
        QByteArray bytes;
        QRectF source;
    };

    const Stored& storedForm(const QImage& image);
    const QByteArray& standInForm(int number);
    const Pending* imageForStandIn(QByteArrayView imagePart) const;
    bool usable();

    int usable_ = -1;                   // the picture format is as expected (-1: not checked)
    int version_ = 0;                   // of the picture's data stream
    std::vector<QImage> standIns_;      // by number on the page
    std::vector<QByteArray> standInBytes_;
    BoundedCache<Stored> cache_{32 * 1024 * 1024};   // the images met lately, by stored size
    std::vector<Pending> pending_;      // the open page's images, by number
};

} // namespace cm
