#include "app/previewcontrol.h"

#include "engine/qrerror.h"

#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace cm {

namespace {
// Pages up to this many device pixels are kept rendered, so that scrolling
// and repainting only copy; larger zooms draw the exposed part each time.
constexpr qint64 KeptPixels = 16 * 1024 * 1024;
constexpr int FrameExtra = 4;   // outline and shadow around the page
} // namespace

class PreviewPageImage : public QWidget {
public:
    explicit PreviewPageImage(PreviewControl& control) : QWidget(&control), control_(control)
    {
        setAttribute(Qt::WA_OpaquePaintEvent, false);
        setAccessibleName(tr("Page"));
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        control_.paintPage(painter, event->rect());
    }

private:
    PreviewControl& control_;
};

PreviewControl::PreviewControl(QWidget* parent) : QScrollArea(parent), image_(new PreviewPageImage(*this))
{
    setBackgroundRole(QPalette::Dark);
    setAlignment(Qt::AlignCenter);
    setWidgetResizable(false);
    setWidget(image_);
    setFocusPolicy(Qt::StrongFocus);
    applySize();
}

PreviewControl::~PreviewControl()
{
    if (pages_) {
        pages_->setClient(nullptr);
        pages_->setShowingPreview(false);
    }
}

void PreviewControl::attach(TQRPrinter* pages)
{
    if (pages_ == pages)
        return;
    if (pages_) {
        pages_->setClient(nullptr);
        pages_->setShowingPreview(false);
    }
    pages_ = pages;
    pageBytes_.clear();
    rendered_ = QImage();
    pageNumber_ = 0;
    if (pages_) {
        pages_->setClient(this);
        pages_->setShowingPreview(true);
        if (pages_->pageCount() >= 1)
            setPageNumber(1);
        else
            pageNumber_ = 1;
    }
    applySize();
}

void PreviewControl::setPageNumber(int n)
{
    if (!pages_ || n < 1 || n > pages_->pageCount() || (n == pageNumber_ && pageLoaded()))
        return;
    pageNumber_ = n;
    loadPage();
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
}

void PreviewControl::loadPage()
{
    pageBytes_.clear();
    rendered_ = QImage();
    if (pages_ && pages_->state() != TQRPrinterState::Ready && pageNumber_ >= 1 &&
        pageNumber_ <= pages_->storedPages()) {
        try {
            pageBytes_ = pages_->pageList().pageData(pageNumber_);
        } catch (const EQRError&) {
            pageBytes_.clear();   // a damaged page shows as an empty page area
        }
    }
    image_->update();
}

QSizeF PreviewControl::pagePixels() const
{
    if (!pages_)
        return {};
    return QSizeF(double(pages_->deviceWidth(pages_->sheetWidth())), double(pages_->deviceHeight(pages_->sheetLength())));
}

QSize PreviewControl::imageSize() const
{
    if (!pages_)
        return {0, 0};
    return QSize(int(pages_->deviceWidth(pages_->sheetWidth() / 100 * zoom_)) + FrameExtra,
                 int(pages_->deviceHeight(pages_->sheetLength() / 100 * zoom_)) + FrameExtra);
}

void PreviewControl::applySize()
{
    const QSize size = imageSize();
    if (image_->size() != size) {
        rendered_ = QImage();
        image_->resize(size);
    }
    image_->update();
}

void PreviewControl::setZoomValue(int zoom, PreviewZoomState state)
{
    zoom = std::clamp(zoom, MinZoom, MaxZoom);
    const bool changed = zoom != zoom_ || state != state_;
    zoom_ = zoom;
    state_ = state;
    applySize();
    if (changed)
        emit zoomChanged();
}

void PreviewControl::setZoom(int zoom)
{
    if (zoom < MinZoom || zoom > MaxZoom)
        return;
    setZoomValue(zoom, PreviewZoomState::Other);
}

void PreviewControl::zoomToFit()
{
    const QSizeF page = pagePixels();
    if (page.width() <= 0 || page.height() <= 0)
        return;
    setZoomValue(std::min(int(std::lround(width() / page.width() * 95)), int(std::lround(height() / page.height() * 95))),
                 PreviewZoomState::ToFit);
}

void PreviewControl::zoomToWidth()
{
    const QSizeF page = pagePixels();
    if (page.width() <= 0)
        return;
    setZoomValue(int(std::lround(width() / page.width() * 90)), PreviewZoomState::ToWidth);
}

void PreviewControl::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    if (state_ == PreviewZoomState::ToFit)
        zoomToFit();
    else if (state_ == PreviewZoomState::ToWidth)
        zoomToWidth();
    applySize();
}

void PreviewControl::wheelEvent(QWheelEvent* event)
{
    if (!(event->modifiers() & Qt::ControlModifier)) {
        QScrollArea::wheelEvent(event);
        return;
    }
    const int steps = event->angleDelta().y() / 120;
    if (steps == 0)
        return;
    const double factor = std::pow(1.1, steps);
    const int next = int(std::lround(zoom_ * factor));
    setZoomValue(next == zoom_ ? zoom_ + (steps > 0 ? 1 : -1) : next, PreviewZoomState::Other);
    event->accept();
}

void PreviewControl::progressChanged(int percent) { emit progressUpdate(percent); }

void PreviewControl::pagesAvailable(int count)
{
    // Pages are counted as they are stored, which may be a few at a time.
    if (count >= pageNumber_ && !pageLoaded() && pages_ && pages_->availablePages() >= pageNumber_) {
        zoomToWidth();
        loadPage();
    }
    emit pageAvailable(count);
}

void PreviewControl::paintPage(QPainter& painter, const QRect& exposed)
{
    if (pageBytes_.isEmpty())
        return;
    const int w = image_->width();
    const int h = image_->height();
    const QRectF pageRect(1, 1, w - FrameExtra, h - FrameExtra);
    const qreal ratio = image_->devicePixelRatioF();
    const qint64 pixels = qint64(std::ceil(w * ratio)) * qint64(std::ceil(h * ratio));
    if (pixels <= KeptPixels) {
        if (rendered_.isNull()) {
            rendered_ = QImage(QSize(int(std::ceil(pageRect.width() * ratio)), int(std::ceil(pageRect.height() * ratio))),
                               QImage::Format_RGB32);
            rendered_.fill(Qt::white);
            QPainter page(&rendered_);
            page.setRenderHint(QPainter::Antialiasing);
            page.setRenderHint(QPainter::SmoothPixmapTransform);
            player_.drawPage(page, pageBytes_, QRectF(QPointF(0, 0), QSizeF(rendered_.size())));
            rendered_.setDevicePixelRatio(ratio);
        }
        painter.drawImage(pageRect.topLeft(), rendered_);
    } else {
        painter.fillRect(pageRect, Qt::white);
        painter.setClipRect(exposed.intersected(pageRect.toAlignedRect()));
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        player_.drawPage(painter, pageBytes_, pageRect);
        painter.setClipping(false);
    }
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(0, 0, w - 3, h - 3));
    painter.fillRect(QRect(w - 2, 2, 2, h - 2), Qt::black);
    painter.fillRect(QRect(2, h - 2, w - 2, 2), Qt::black);
}

} // namespace cm
