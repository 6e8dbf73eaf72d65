#include "designer/blockoperations.h"

#include "designer/designobjects.h"
#include "report/design.h"

#include <algorithm>
#include <cmath>

namespace cm {

namespace {

using C = DesignCommand;

void setLeft(Component* c, int left)
{
    QRect r = c->bounds;
    r.moveLeft(left);
    setPixelRect(*c, r);
}

void setTop(Component* c, int top)
{
    QRect r = c->bounds;
    r.moveTop(top);
    setPixelRect(*c, r);
}

// Lefts (or tops) spread evenly between the least and the greatest, in
// selection order; the bounds keep wild values out.
void spread(const std::vector<Component*>& selection, bool horizontal)
{
    const int bound = horizontal ? 5000 : 15000;
    int least = bound, greatest = -bound;
    for (const Component* c : selection) {
        const int v = horizontal ? c->bounds.left() : c->bounds.top();
        least = std::min(least, v);
        greatest = std::max(greatest, v);
    }
    const int step = (greatest - least) / int(selection.size() - 1);
    for (size_t i = 0; i < selection.size(); ++i) {
        const int v = least + step * int(i);
        horizontal ? setLeft(selection[i], v) : setTop(selection[i], v);
    }
}

DesignElementProps* elementProps(const Component* c)
{
    auto* p = dynamic_cast<TQRPrintable*>(const_cast<Component*>(c));
    return p ? p->designProps() : nullptr;
}

} // namespace

int componentsNeeded(DesignCommand command)
{
    switch (command) {
    case C::AlignLeft:
    case C::AlignRight:
    case C::AlignTop:
    case C::AlignBottom:
    case C::AlignCenterHorizontal:
    case C::AlignCenterVertical:
    case C::AlignEqualSpaceHorizontal:
    case C::AlignEqualSpaceVertical: return 2;
    default: return 0;
    }
}

bool alignComponents(DesignCommand command, const std::vector<Component*>& selection)
{
    const int needed = componentsNeeded(command);
    if (needed == 0 || int(selection.size()) < needed)
        return false;
    if (command == C::AlignEqualSpaceHorizontal || command == C::AlignEqualSpaceVertical) {
        spread(selection, command == C::AlignEqualSpaceHorizontal);
        return true;
    }
    const QRect s0 = selection.front()->bounds;
    for (size_t i = 1; i < selection.size(); ++i) {
        Component* c = selection[i];
        const QRect r = c->bounds;
        switch (command) {
        case C::AlignLeft: setLeft(c, s0.left()); break;
        case C::AlignRight: setLeft(c, s0.left() + s0.width() - r.width()); break;
        case C::AlignTop: setTop(c, s0.top()); break;
        case C::AlignBottom: setTop(c, s0.top() + s0.height() - r.height()); break;
        case C::AlignCenterHorizontal: setLeft(c, s0.left() + s0.width() / 2 - r.width() / 2); break;
        case C::AlignCenterVertical: setTop(c, s0.top() + s0.height() / 2 - r.height() / 2); break;
        default: break;
        }
    }
    return true;
}

QRect centredInParent(const std::vector<Component*>& selection, const QRect& handle, bool horizontal)
{
    if (selection.empty())
        return QRect();
    const Component* first = selection.front();
    const Component* parent = first->parentControl();
    if (!parent || (horizontal && isBand(first)))
        return QRect();
    QRect r = handle;
    if (horizontal)
        r.moveLeft(int(std::nearbyint((parent->bounds.width() - handle.width()) / 2.0)));
    else
        r.moveTop(parent->bounds.height() / 2 - handle.height() / 2);
    return r;
}

int groupIdOf(const Component* c)
{
    const DesignElementProps* d = elementProps(c);
    return d ? uint16_t(d->groupID) : 0;
}

void setGroupId(Component* c, int id)
{
    if (DesignElementProps* d = elementProps(c))
        d->groupID = id;
}

} // namespace cm
