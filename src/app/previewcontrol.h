#pragma once
// The preview control: a scrolling box with one page of a page output object
// at a zoom. It is the object's client while attached, so pages appear while
// they are generated. The page is drawn from its stored picture at the
// screen's resolution and pixel ratio, so it stays sharp at every zoom.
#include "engine/pages/pageplayer.h"
#include "engine/pages/qrprinter.h"

#include <QByteArray>
#include <QImage>
#include <QScrollArea>

namespace cm {

enum class PreviewZoomState { ToFit, ToWidth, Other };

class PreviewPageImage;

class PreviewControl : public QScrollArea, public TQRPrinterClient {
    Q_OBJECT
public:
    static constexpr int MinZoom = 2;
    static constexpr int MaxZoom = 2000;

    explicit PreviewControl(QWidget* parent = nullptr);
    ~PreviewControl() override;

    // Shows `pages` from page 1 (null detaches). A previous object stops
    // showing a preview and loses this client.
    void attach(TQRPrinter* pages);
    TQRPrinter* pages() const { return pages_; }

    int pageNumber() const { return pageNumber_; }
    // Ignored for the page shown, n < 1, no pages, or n past the page counter.
    void setPageNumber(int n);
    bool pageLoaded() const { return !pageBytes_.isEmpty(); }

    int zoom() const { return zoom_; }
    void setZoom(int zoom);   // ignored outside MinZoom ... MaxZoom; state Other
    PreviewZoomState zoomState() const { return state_; }
    void zoomToFit();
    void zoomToWidth();
    void zoom100() { setZoom(100); }

    // The page image's size at the current zoom, frame and shadow included.
    QSize imageSize() const;
    // The page in screen pixels at zoom 100.
    QSizeF pagePixels() const;

    // TQRPrinterClient
    void progressChanged(int percent) override;
    void pagesAvailable(int count) override;

signals:
    void pageAvailable(int count);
    void progressUpdate(int percent);
    void zoomChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    friend class PreviewPageImage;
    void loadPage();
    void applySize();
    void setZoomValue(int zoom, PreviewZoomState state);
    void paintPage(QPainter& painter, const QRect& exposed);

    TQRPrinter* pages_ = nullptr;
    PreviewPageImage* image_;
    PagePlayer player_;
    QByteArray pageBytes_;   // the stored picture of the page shown; empty: none yet
    QImage rendered_;        // the page at the current size, when small enough to keep
    int pageNumber_ = 1;
    int zoom_ = 100;
    PreviewZoomState state_ = PreviewZoomState::Other;
};

} // namespace cm
