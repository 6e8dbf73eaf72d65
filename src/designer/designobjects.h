#pragma once
// Small questions the designer asks of bands and elements: their block
// flags, whether they are bands, where they lie on the report, and how a
// data field is labelled.
#include "report/component.h"

#include <QRect>
#include <QString>

namespace cm {

class Component;
class TDataSetComponent;
class TQRCustomReport;

struct BlockFlags {
    bool blockDelete = false, blockMove = false, blockResize = false, blockEdit = false, blockChange = false;
};

// The block flags of a design band or element; all false for anything else.
BlockFlags blockFlagsOf(Component& c);
bool isBand(const Component* c);
// The component's rectangle relative to its report's top-left corner; the
// report's own rectangle starts at (0, 0).
QRect reportRectOf(const Component& c);
// A rectangle test with the right and bottom edges included
// (right = left + width), as the designer's hit rules use it.
bool containsWithEdges(const QRect& r, QPoint p);
bool touchesWithEdges(const QRect& a, const QRect& b);
// The display label of the field in the data set, or the field name.
QString fieldLabel(const TDataSetComponent* dataSet, const QString& field);
// Moves an element or band to its pixel rectangle and lets its stored size follow.
void setPixelRect(Component& c, const QRect& r);

// The name a fresh component of a class gets: the class name without the
// leading "T" and the smallest free number ("QRDesignLabel1").
QString freshNameFor(const Component& c);

// A new component owned by the container, with a fresh name.
template <class T>
T* createNamed(Container* owner)
{
    auto* c = new T(owner);
    c->setName(owner->nextFreeName(QString::fromLatin1(T::staticClassInfo().name + 1)));
    return c;
}

} // namespace cm
