#pragma once
// What reports, bands and elements share as controls: colour, font that can
// follow the parent's, frame, enabled flag.
#include "report/component.h"
#include "report/graphics.h"

namespace cm {

class TQRCustomReport;

class TQRControl : public Component {
public:
    explicit TQRControl(Container* owner);

    TColor color() const { return color_; }
    void setColor(TColor c) { color_ = c; parentColor_ = false; }
    bool parentColor() const { return parentColor_; }

    // With ParentFont set the font follows the parent control's font; changing
    // the font by hand turns ParentFont off.
    TQRFont& font() { return font_; }
    const TQRFont& font() const { return font_; }
    bool parentFont() const { return parentFont_; }
    void setParentFont(bool v);

    bool enabled() const { return enabled_; }
    void setEnabled(bool v) { enabled_ = v; }

    TQRFrame frame;

    // The report this control belongs to (itself for a report).
    virtual TQRCustomReport* report() const;

    void parentChanged() override;
    // Re-reads the parent's font into this control and its children that follow it.
    void followParentFont();

protected:
    virtual void fontChanged() {}

private:
    void propagateFont();
    TColor color_ = clWhite;
    bool parentColor_ = false;
    TQRFont font_;
    bool parentFont_ = true;
    bool enabled_ = true;
    bool syncingFont_ = false;
};

} // namespace cm
