#pragma once
// Replays stored pages onto one painter for a whole run: a PDF, a printer,
// page images, the preview. Each distinct picture on the pages is decoded
// once and given to the painter as one and the same image, so that a PDF or
// a print job holds a card's photo once rather than once per card. Pages
// from files are drawn this way: what no sound page holds is kept from the
// target (see relayengine.h).
#include "engine/pages/boundedcache.h"
#include "engine/pages/relayengine.h"

#include <QByteArrayView>
#include <QImage>
#include <QRectF>

#include <vector>

class QPainter;
class QPicture;

namespace cm {

class PagePlayer {
public:
    // Draws the stored page into `target` (device coordinates of `painter`).
    // False when the bytes are no page picture; nothing is drawn then.
    bool drawPage(QPainter& painter, QByteArrayView page, const QRectF& target);

private:
    struct Decoded {
        QByteArray bytes;   // the image as the page stores it
        size_t hash = 0;
        QImage image;
    };
    const QImage* decoded(QByteArrayView bytes, int version);

    // Up to this many bytes, stored and decoded form together.
    BoundedCache<Decoded> cache_{128 * 1024 * 1024};
    std::vector<RelayImage> pageImages_;
    std::vector<QByteArray> standInBytes_;   // by number, as pages of this version store them
    int standInVersion_ = 0;   // the page's images, by stand-in number
};

// Draws a page picture whose pictures are numbered stand-ins for `images`
// into `target`, as PagePlayer draws a stored page once it has checked it.
void drawThroughRelay(QPainter& painter, const QPicture& picture, const std::vector<RelayImage>& images,
                      const QRectF& target);

} // namespace cm
