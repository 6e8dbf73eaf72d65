#pragma once
// The design surface: one widget that paints the page, its bands and every
// element at the report's zoom (times the device pixel ratio) with the same
// element painters as printing, plus the design-time marks, and routes
// mouse and keys to the designer. No widget per element.
#include <QWidget>

namespace cm {

class Document;
class DesignerCore;
class Component;

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

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    Document& document_;
    DesignerCore& designer_;
};

} // namespace cm
