#pragma once
// The design surface: one widget that paints the page, its bands and every
// element at the report's zoom (times the device pixel ratio) with the same
// element painters as printing, plus the design-time marks, and routes
// mouse and keys to the designer. No widget per element.
#include <QCursor>
#include <QWidget>

#include <memory>

namespace cm {

class Document;
class DesignerCore;
class Component;
class ReportPainter;

class DesignSurface : public QWidget {
    Q_OBJECT
public:
    DesignSurface(Document& document, DesignerCore& designer, QWidget* parent = nullptr);
    ~DesignSurface() override;

    Document& document() { return document_; }
    DesignerCore& designer() { return designer_; }

    // Model pixels (zoom 100, report coordinates) and widget pixels.
    QPoint toModel(QPoint widgetPoint) const;
    QRect toWidget(const QRect& modelRect) const;
    // A band's or element's rectangle on the surface, widget pixels.
    QRect componentRect(const Component* c) const;

    // Off: only what prints is shown (no grid, outlines, names, corner
    // marks, frames or selection). On by default.
    bool showDesignMarks() const { return designMarks_; }
    void setShowDesignMarks(bool on);
    // The cursor over bands and elements while an insert tool is armed.
    QCursor addCursor() const { return addCursor_; }
    void setAddCursor(const QCursor& cursor);

    QSize sizeHint() const override;

    // The grab zone (see selectionhandle.h) under a widget point; 0 unless
    // exactly one component is selected and the point is near a grab square.
    int grabZoneAt(QPoint widgetPoint) const;
    // The drag's outline while a move or resize is going on (report
    // coordinates, model pixels); null otherwise.
    QRect ghostRect() const { return drag_.ghost; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void modelChanged();
    void reportReplaced();
    void zoomChanged();
    void selectionChanged();
    void updateCursor(QPoint widgetPoint);
    void paintSelection(QPaintEvent* event);
    void leftButtonDown(QMouseEvent* event, QPoint point);
    void rightButtonDown(QMouseEvent* event, QPoint point);
    Component* selectedUnder(QPoint point) const;
    QRect ghostFor(QPoint point, Qt::KeyboardModifiers modifiers) const;
    void moveGhost(const QRect& ghost);
    void endDrag();

    Document& document_;
    DesignerCore& designer_;
    std::unique_ptr<ReportPainter> painter_;
    bool designMarks_ = true;
    QCursor addCursor_;
    // A press on the selection arms a drag; the first move with the button held starts it.
    struct Drag {
        bool armed = false, active = false;
        int zone = 0;
        QPoint start;   // report point of the press
        QRect ghost;    // report coordinates
    } drag_;
};

} // namespace cm
