#include "report/control.h"

#include "report/report.h"

namespace cm {

TQRControl::TQRControl(Container* owner)
    : Component(owner)
{
    font_.onChange = [this] {
        if (syncingFont_)
            return;
        parentFont_ = false;
        propagateFont();
        fontChanged();
    };
}

void TQRControl::setParentFont(bool v)
{
    parentFont_ = v;
    if (v)
        followParentFont();
}

TQRCustomReport* TQRControl::report() const
{
    for (Component* p = parentControl(); p; p = p->parentControl()) {
        if (auto* r = dynamic_cast<TQRCustomReport*>(p))
            return r;
    }
    return nullptr;
}

void TQRControl::parentChanged()
{
    if (parentFont_)
        followParentFont();
}

void TQRControl::followParentFont()
{
    auto* parent = dynamic_cast<TQRControl*>(parentControl());
    if (parentFont_ && parent && !font_.sameAs(parent->font_)) {
        syncingFont_ = true;
        font_.assignQuietly(parent->font_);
        syncingFont_ = false;
        fontChanged();
    }
    propagateFont();
}

void TQRControl::propagateFont()
{
    for (Component* child : childControls()) {
        if (auto* c = dynamic_cast<TQRControl*>(child); c && c->parentFont_)
            c->followParentFont();
    }
}

} // namespace cm
