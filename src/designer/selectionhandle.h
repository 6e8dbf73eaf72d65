#pragma once
// The geometry of the selection handle: the frame around the selected
// components, its grab squares and grab zones, the rectangle a drag or an
// arrow key asks for, and applying a changed handle rectangle to the
// components. Rectangles are pixels in the selection's common parent.
#include <QPoint>
#include <QRect>
#include <Qt>

#include <vector>

namespace cm {

class Component;
struct DesignerOptions;

// Grab zones: 0 none (move), 1 top-left, 2 top-right, 3 bottom-left,
// 4 bottom-right, 5 top middle, 6 left middle, 7 bottom middle, 8 right middle.
constexpr int kMoveZone = 0;

// The handle around rectangles: 2 pixels out on every side, one more right and below.
QRect handleRectOf(const std::vector<QRect>& rects);
QRect handleRectOf(const std::vector<Component*>& components);

// Filled 5x5 squares: the corners of every rectangle grown by 2, and with
// a single rectangle also the four edge middles.
std::vector<QRect> grabSquaresOf(const std::vector<QRect>& rects);

// The grab zone of a point in handle coordinates, for a single selection.
int grabZoneAt(QSize handleSize, QPoint point);
Qt::CursorShape cursorForZone(int zone);

struct DragInput {
    int zone = kMoveZone;
    QPoint start, point;   // mouse positions; only their difference counts
    bool ctrl = false;     // resize symmetrically about the centre
    bool shift = false;    // no grid; at zone 4 keep the proportions
    double ratio = 1.0;    // width / height of the first selected component
};

// The handle rectangle a drag asks for, snapped and kept to the minimum size.
QRect dragRect(const QRect& handle, const DragInput& drag, const DesignerOptions& options);

// The handle rectangle an arrow key asks for; null rectangle for other keys.
QRect keyboardRect(const QRect& handle, int key, Qt::KeyboardModifiers modifiers, const DesignerOptions& options);

// Whether the selection may take the new handle rectangle: a move is refused
// by any BlockMove, a resize by any BlockResize.
bool handleChangeAllowed(const std::vector<Component*>& selection, const QRect& from, const QRect& to);

// Whether the new handle rectangle moves or resizes any selected component
// (a band does not move, and nothing shrinks below the minimum size).
bool handleChangeHasEffect(const std::vector<Component*>& selection, const QRect& from, const QRect& to,
                           const DesignerOptions& options);

// Moves and resizes every selected component by the change of the handle
// rectangle (bands only change height; their bottom-fixed and stretching
// elements follow).
void applyHandleChange(const std::vector<Component*>& selection, const QRect& from, const QRect& to,
                       const DesignerOptions& options);

} // namespace cm
