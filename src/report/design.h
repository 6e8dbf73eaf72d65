#pragma once
// The design classes: every band and element the designer places and the
// layout reader creates. They add designer links, permission flags,
// grouping and print rules to the engine's bands and elements.
#include "report/bands.h"
#include "report/elements.h"
#include "report/report.h"

namespace cm {

// Flags and values all four design band classes add.
struct DesignBandProps {
    bool editorEnabled = true;
    QPointer<Component> qrDesigner;
    int bandNum = 0;
    QString expression;        // PrintExpression on the group band
    TQRBitmap designBackground;
    int designBackgroundDX = 0;
    int designBackgroundDY = 0;
    int startPageNum = 0;
    int endPageNum = 0;
    int pageStep = 0;
    bool notOnFirstPage = false;
    bool notOnLastPage = false;
    bool blockDelete = false, blockMove = false, blockResize = false, blockEdit = false,
         blockChange = false, blockSelection = false;
};

// Flags and values all ten design element classes add.
struct DesignElementProps {
    int groupID = 0;
    QPointer<Component> qrDesigner;
    bool blockDelete = false, blockMove = false, blockResize = false, blockEdit = false,
         blockChange = false;
    bool fixBottomPosition = false;
    bool stretchHeightWithBand = false;
};

class TQRDesignBand : public TQRBand {
public:
    explicit TQRDesignBand(Container* owner);
    const ClassInfo& classInfo() const override;
    static const ClassInfo& staticClassInfo();
    DesignBandProps d;
    DesignBandProps* designProps() override { return &d; }
};

class TQRDesignChildBand : public TQRChildBand {
public:
    explicit TQRDesignChildBand(Container* owner);
    const ClassInfo& classInfo() const override;
    static const ClassInfo& staticClassInfo();
    DesignBandProps d;
    DesignBandProps* designProps() override { return &d; }
};

class TQRDesignGroup : public TQRGroup {
public:
    explicit TQRDesignGroup(Container* owner);
    const ClassInfo& classInfo() const override;
    static const ClassInfo& staticClassInfo();
    DesignBandProps d;
    DesignBandProps* designProps() override { return &d; }   // d.expression is the PrintExpression
};

// The sub-detail's band set: HasHeader / HasFooter, never stored.
class TQRSubDetailGroupBands : public Persistent {
public:
    explicit TQRSubDetailGroupBands(TQRSubDetail& owner) : owner_(owner) {}
    const ClassInfo& classInfo() const override;
    static const ClassInfo& staticClassInfo();
    TQRSubDetail& owner() const { return owner_; }

private:
    TQRSubDetail& owner_;
};

class TQRDesignSubdetail : public TQRSubDetail {
public:
    explicit TQRDesignSubdetail(Container* owner);
    const ClassInfo& classInfo() const override;
    static const ClassInfo& staticClassInfo();
    DesignBandProps d;
    DesignBandProps* designProps() override { return &d; }
    TQRSubDetailGroupBands bands{*this};
};

class TQRDesignLabel : public TQRLabel {
public:
    explicit TQRDesignLabel(Container* owner);
    const ClassInfo& classInfo() const override;
    static const ClassInfo& staticClassInfo();
    DesignElementProps d;
    DesignElementProps* designProps() override { return &d; }
    int degree() const { return degree_; }
    void setDegree(int v);   // above 3600 reduced by 3600; non-zero turns AutoSize off
    EventName onMouseDown;

private:
    int degree_ = 0;
};

class TQRDesignDBText : public TQRDBText {
public:
    explicit TQRDesignDBText(Container* owner);
    const ClassInfo& classInfo() const override;
    static const ClassInfo& staticClassInfo();
    DesignElementProps d;
    DesignElementProps* designProps() override { return &d; }
    bool suppressRepeatedValues = false;
    bool reprintOnNewPage = false;
    bool reprintOnNewGroup = false;
    bool blankIfZero = false;
    TQRStrings mapList;
};

class TQRDesignExpr : public TQRExpr {
public:
    explicit TQRDesignExpr(Container* owner);
    const ClassInfo& classInfo() const override;
    static const ClassInfo& staticClassInfo();
    DesignElementProps d;
    DesignElementProps* designProps() override { return &d; }
    int degree() const { return degree_; }
    void setDegree(int v);

private:
    int degree_ = 0;
};

class TQRDesignSysdata : public TQRSysData {
public:
    explicit TQRDesignSysdata(Container* owner);
    const ClassInfo& classInfo() const override;
    static const ClassInfo& staticClassInfo();
    DesignElementProps d;
    DesignElementProps* designProps() override { return &d; }
};

class TQRDesignMemo : public TQRMemo {
public:
    explicit TQRDesignMemo(Container* owner);
    const ClassInfo& classInfo() const override;
    static const ClassInfo& staticClassInfo();
    DesignElementProps d;
    DesignElementProps* designProps() override { return &d; }
};

class TQRDesignRichtext : public TQRRichText {
public:
    explicit TQRDesignRichtext(Container* owner);
    const ClassInfo& classInfo() const override;
    static const ClassInfo& staticClassInfo();
    DesignElementProps d;
    DesignElementProps* designProps() override { return &d; }
};

class TQRDesignDBRichtext : public TQRDBRichText {
public:
    explicit TQRDesignDBRichtext(Container* owner);
    const ClassInfo& classInfo() const override;
    static const ClassInfo& staticClassInfo();
    DesignElementProps d;
    DesignElementProps* designProps() override { return &d; }
};

class TQRDesignShape : public TQRShape {
public:
    explicit TQRDesignShape(Container* owner);
    const ClassInfo& classInfo() const override;
    static const ClassInfo& staticClassInfo();
    DesignElementProps d;
    DesignElementProps* designProps() override { return &d; }
};

class TQRDesignImage : public TQRImage {
public:
    explicit TQRDesignImage(Container* owner);
    const ClassInfo& classInfo() const override;
    static const ClassInfo& staticClassInfo();
    DesignElementProps d;
    DesignElementProps* designProps() override { return &d; }
    QString filename;
};

class TQRDesignDBImage : public TQRDBImage {
public:
    explicit TQRDesignDBImage(Container* owner);
    const ClassInfo& classInfo() const override;
    static const ClassInfo& staticClassInfo();
    DesignElementProps d;
    DesignElementProps* designProps() override { return &d; }
};

// The designer's report; its bands are design bands.
class TQRDesignReport : public TQRReport {
public:
    explicit TQRDesignReport(Container* owner) : TQRReport(owner) {}
    const ClassInfo& classInfo() const override;
    static const ClassInfo& staticClassInfo();
    TQRBand* createBand(Container* owner) override;
    TQRChildBand* createChildBand(Container* owner) override;
};

// The classes a layout may hold, looked up by stored name without regard to case.
const ClassInfo* findLayoutClass(QStringView className);
// Whether the component is one of the designer's bands or elements
// (recognised by having a "BlockDelete" property).
bool isDesignObject(Component& c);

} // namespace cm
