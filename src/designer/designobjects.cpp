#include "designer/designobjects.h"

#include "report/design.h"

namespace cm {

namespace {

template <class Props>
BlockFlags flagsFrom(const Props& d)
{
    return BlockFlags{d.blockDelete, d.blockMove, d.blockResize, d.blockEdit, d.blockChange};
}

} // namespace

BlockFlags blockFlagsOf(Component& c)
{
    if (auto* band = dynamic_cast<TQRCustomBand*>(&c)) {
        if (DesignBandProps* d = band->designProps())
            return flagsFrom(*d);
    } else if (auto* e = dynamic_cast<TQRPrintable*>(&c)) {
        if (DesignElementProps* d = e->designProps())
            return flagsFrom(*d);
    }
    return {};
}

bool isBand(const Component* c)
{
    return dynamic_cast<const TQRCustomBand*>(c) != nullptr;
}

QRect reportRectOf(const Component& c)
{
    if (dynamic_cast<const TQRCustomReport*>(&c))
        return QRect(QPoint(0, 0), c.bounds.size());
    QRect r = c.bounds;
    for (const Component* p = c.parentControl(); p && !dynamic_cast<const TQRCustomReport*>(p); p = p->parentControl())
        r.translate(p->bounds.topLeft());
    return r;
}

bool containsWithEdges(const QRect& r, QPoint p)
{
    return p.x() >= r.left() && p.x() <= r.left() + r.width() && p.y() >= r.top() &&
           p.y() <= r.top() + r.height();
}

bool touchesWithEdges(const QRect& a, const QRect& b)
{
    return a.left() <= b.left() + b.width() && b.left() <= a.left() + a.width() &&
           a.top() <= b.top() + b.height() && b.top() <= a.top() + a.height();
}

QString fieldLabel(const TDataSetComponent* dataSet, const QString& field)
{
    const DataSet* ds = dataSet ? dataSet->dataSet() : nullptr;
    const int index = ds ? ds->fieldIndex(field) : -1;
    return index >= 0 ? ds->field(index).label() : field;
}

void setPixelRect(Component& c, const QRect& r)
{
    if (auto* e = dynamic_cast<TQRPrintable*>(&c)) {
        e->bounds = r;
        e->size.takeControlBounds();
    } else if (auto* band = dynamic_cast<TQRCustomBand*>(&c)) {
        band->size.pushPixelUnits();
        band->size.setHeight(r.height());
        band->size.popUnits();
    } else {
        c.bounds = r;
    }
}

QString freshNameFor(const Component& c)
{
    const char* cls = c.classInfo().name;
    const QString base = QString::fromLatin1(cls[0] == 'T' ? cls + 1 : cls);
    return c.owner() ? c.owner()->nextFreeName(base) : base + u'1';
}

} // namespace cm
