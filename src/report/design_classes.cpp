// Property tables of the design classes, in declaration order. The
// component stream writes properties in exactly this order.
#include "report/design.h"
#include "report/dbdatasets.h"

#include "report/propbuilder.h"

namespace cm {

using namespace props;
using Rows = std::vector<PropInfo>;

namespace {

template <class C>
bool notParentColor(const Persistent& o) { return !static_cast<const C&>(o).parentColor(); }
template <class C>
bool notParentFont(const Persistent& o) { return !static_cast<const C&>(o).parentFont(); }

// Tag, Left, Top, Width, Height, Cursor, Hint, HelpContext. The four pixel
// properties are pixels at the report's zoom.
template <class C>
void controlHead(Rows& r, std::optional<int64_t> sizeDefault = std::nullopt)
{
    r.push_back(member<C>("Tag", PropKind::Integer, [](C& c) -> int& { return c.tag; }).def(0));
    r.push_back(computed<C, int>("Left", PropKind::Integer, [](const C& c) { return c.zoomedBounds().left(); },
                                 [](C& c, int v) { c.setZoomedEdge(BoundsEdge::Left, v); }));
    r.push_back(computed<C, int>("Top", PropKind::Integer, [](const C& c) { return c.zoomedBounds().top(); },
                                 [](C& c, int v) { c.setZoomedEdge(BoundsEdge::Top, v); }));
    P width = computed<C, int>("Width", PropKind::Integer, [](const C& c) { return c.zoomedBounds().width(); },
                               [](C& c, int v) { c.setZoomedEdge(BoundsEdge::Width, v); });
    P height = computed<C, int>("Height", PropKind::Integer, [](const C& c) { return c.zoomedBounds().height(); },
                                [](C& c, int v) { c.setZoomedEdge(BoundsEdge::Height, v); });
    if (sizeDefault) {
        width.def(*sizeDefault);
        height.def(*sizeDefault);
    }
    r.push_back(width);
    r.push_back(height);
    r.push_back(member<C>("Cursor", PropKind::Cursor, [](C& c) -> int& { return c.cursor; }).def(0));
    r.push_back(member<C>("Hint", PropKind::String, [](C& c) -> QString& { return c.hint; }));
    r.push_back(member<C>("HelpContext", PropKind::Integer, [](C& c) -> int& { return c.helpContext; }).def(0));
}

template <class C>
P row_frameRow() { return object<C>("Frame", TQRFrame::staticClassInfo(), [](C& c) { return &c.frame; }); }

template <class C>
P row_colorRow(int64_t def)
{
    return prop<C>("Color", PropKind::Color, &C::color, &C::setColor).def(def).when(notParentColor<C>);
}

template <class C>
P row_fontRow(bool conditional = true)
{
    P p = object<C>("Font", TQRFont::staticClassInfo(), [](C& c) { return &c.font(); });
    if (conditional)
        p.when(notParentFont<C>);
    return p;
}

template <class C>
P row_parentFontRow() { return prop<C>("ParentFont", PropKind::Boolean, &C::parentFont, &C::setParentFont).def(1); }

template <class C>
P row_enabledRow() { return prop<C>("Enabled", PropKind::Boolean, &C::enabled, &C::setEnabled).def(1); }

// --- bands

// The common band part up to Size.
template <class C>
Rows bandHead()
{
    Rows r;
    controlHead<C>(r);
    r.push_back(row_frameRow<C>());
    r.push_back(eventProp<C>("AfterPrint", [](C& c) -> EventName& { return c.afterPrint; }));
    r.push_back(member<C>("AlignToBottom", PropKind::Boolean, [](C& c) -> bool& { return c.alignToBottom; }));
    r.push_back(eventProp<C>("BeforePrint", [](C& c) -> EventName& { return c.beforePrint; }));
    r.push_back(row_colorRow<C>(clBtnFace));
    r.push_back(row_enabledRow<C>());
    r.push_back(row_fontRow<C>());
    r.push_back(member<C>("ForceNewColumn", PropKind::Boolean, [](C& c) -> bool& { return c.forceNewColumn; }));
    r.push_back(member<C>("ForceNewPage", PropKind::Boolean, [](C& c) -> bool& { return c.forceNewPage; }));
    r.push_back(prop<C>("HasChild", PropKind::Boolean, &C::hasChild, &C::setHasChild).never());
    r.push_back(prop<C>("LinkBand", PropKind::Reference, &C::linkBand, &C::setLinkBand));
    r.push_back(row_parentFontRow<C>());
    r.push_back(object<C>("Size", TQRBandSize::staticClassInfo(), [](C& c) { return &c.size; }));
    return r;
}

template <class C>
void add(Rows& r, std::initializer_list<P> rows)
{
    for (const P& p : rows)
        r.push_back(p);
}

template <class C> P row_editorEnabled() { return member<C>("EditorEnabled", PropKind::Boolean, [](C& c) -> bool& { return c.d.editorEnabled; }); }
template <class C> P row_bandDesigner() { return member<C>("QRDesigner", PropKind::Reference, [](C& c) -> QPointer<Component>& { return c.d.qrDesigner; }); }
template <class C> P row_bandNum() { return member<C>("BandNum", PropKind::Integer, [](C& c) -> int& { return c.d.bandNum; }); }
template <class C> P row_bandExpression(const char* name) { return member<C>(name, PropKind::String, [](C& c) -> QString& { return c.d.expression; }).shortString(); }
template <class C> P row_designBackground() { return object<C>("DesignBackground", TQRBitmap::staticClassInfo(), [](C& c) { return &c.d.designBackground; }); }
template <class C> P row_bgDX() { return member<C>("DesignBackgroundDX", PropKind::Integer, [](C& c) -> int& { return c.d.designBackgroundDX; }); }
template <class C> P row_bgDY() { return member<C>("DesignBackgroundDY", PropKind::Integer, [](C& c) -> int& { return c.d.designBackgroundDY; }); }

template <class C>
void pageRules(Rows& r)
{
    r.push_back(member<C>("StartPageNum", PropKind::Integer, [](C& c) -> int& { return c.d.startPageNum; }).def(0));
    r.push_back(member<C>("EndPageNum", PropKind::Integer, [](C& c) -> int& { return c.d.endPageNum; }).def(0));
    r.push_back(member<C>("PageStep", PropKind::Integer, [](C& c) -> int& { return c.d.pageStep; }).def(0));
    r.push_back(member<C>("NotOnFirstPage", PropKind::Boolean, [](C& c) -> bool& { return c.d.notOnFirstPage; }).def(0));
}

template <class C>
void bandBlocks(Rows& r)
{
    r.push_back(member<C>("BlockDelete", PropKind::Boolean, [](C& c) -> bool& { return c.d.blockDelete; }).def(0));
    r.push_back(member<C>("BlockMove", PropKind::Boolean, [](C& c) -> bool& { return c.d.blockMove; }).def(0));
    r.push_back(member<C>("BlockResize", PropKind::Boolean, [](C& c) -> bool& { return c.d.blockResize; }).def(0));
    r.push_back(member<C>("BlockEdit", PropKind::Boolean, [](C& c) -> bool& { return c.d.blockEdit; }).def(0));
    r.push_back(member<C>("BlockChange", PropKind::Boolean, [](C& c) -> bool& { return c.d.blockChange; }).def(0));
    r.push_back(member<C>("BlockSelection", PropKind::Boolean, [](C& c) -> bool& { return c.d.blockSelection; }).def(0));
}

template <class C>
std::function<Component*(Container*)> factory()
{
    return [](Container* owner) -> Component* { return new C(owner); };
}

// --- elements

template <class C>
Rows elementHead(std::optional<int64_t> sizeDefault = std::nullopt)
{
    Rows r;
    controlHead<C>(r, sizeDefault);
    r.push_back(row_enabledRow<C>());
    r.push_back(row_frameRow<C>());
    r.push_back(object<C>("Size", TQRPrintableSize::staticClassInfo(), [](C& c) { return &c.size; }));
    return r;
}

template <class C>
P row_alignmentRow() { return prop<C>("Alignment", PropKind::Enum, &C::alignment, &C::setAlignment).type(&enums::alignment); }

template <class C>
P row_biDiRow()
{
    return prop<C>("BiDiMode", PropKind::Enum, &C::bidiMode, &C::setBiDiMode)
        .type(&enums::bidiMode)
        .when([](const Persistent& o) { return !static_cast<const C&>(o).parentBiDiMode; });
}

template <class C>
P row_parentBiDiRow() { return member<C>("ParentBiDiMode", PropKind::Boolean, [](C& c) -> bool& { return c.parentBiDiMode; }).def(1); }

// Label head up to AutoSize, then (optionally) AutoStretch, BiDiMode, ParentBiDiMode.
template <class C>
Rows labelHead(bool withAutoStretchAndBiDi)
{
    Rows r = elementHead<C>();
    r.push_back(row_alignmentRow<C>());
    r.push_back(prop<C>("AlignToBand", PropKind::Boolean, &C::alignToBand, &C::setAlignToBand));
    r.push_back(member<C>("AutoSize", PropKind::Boolean, [](C& c) -> bool& { return c.autoSize; }));
    if (withAutoStretchAndBiDi) {
        r.push_back(member<C>("AutoStretch", PropKind::Boolean, [](C& c) -> bool& { return c.autoStretch; }));
        r.push_back(row_biDiRow<C>());
        r.push_back(row_parentBiDiRow<C>());
    }
    return r;
}

template <class C> P row_onPrint() { return eventProp<C>("OnPrint", [](C& c) -> EventName& { return c.onPrint; }); }
template <class C> P row_transparent() { return member<C>("Transparent", PropKind::Boolean, [](C& c) -> bool& { return c.transparent; }); }
template <class C> P row_wordWrap() { return member<C>("WordWrap", PropKind::Boolean, [](C& c) -> bool& { return c.wordWrap; }); }
template <class C> P row_groupID() { return member<C>("GroupID", PropKind::Integer, [](C& c) -> int& { return c.d.groupID; }).def(0); }
template <class C> P row_elementDesigner() { return member<C>("QRDesigner", PropKind::Reference, [](C& c) -> QPointer<Component>& { return c.d.qrDesigner; }); }
template <class C> P row_degree() { return prop<C>("Degree", PropKind::Integer, &C::degree, &C::setDegree).def(0); }

template <class C>
void elementBlocks(Rows& r, bool withChange)
{
    r.push_back(member<C>("BlockDelete", PropKind::Boolean, [](C& c) -> bool& { return c.d.blockDelete; }).def(0));
    r.push_back(member<C>("BlockMove", PropKind::Boolean, [](C& c) -> bool& { return c.d.blockMove; }).def(0));
    r.push_back(member<C>("BlockResize", PropKind::Boolean, [](C& c) -> bool& { return c.d.blockResize; }).def(0));
    r.push_back(member<C>("BlockEdit", PropKind::Boolean, [](C& c) -> bool& { return c.d.blockEdit; }).def(0));
    if (withChange)
        r.push_back(member<C>("BlockChange", PropKind::Boolean, [](C& c) -> bool& { return c.d.blockChange; }).def(0));
}

template <class C>
void followBand(Rows& r)
{
    r.push_back(member<C>("FixBottomPosition", PropKind::Boolean, [](C& c) -> bool& { return c.d.fixBottomPosition; }));
    r.push_back(member<C>("StretchHeightWithBand", PropKind::Boolean, [](C& c) -> bool& { return c.d.stretchHeightWithBand; }));
}

template <class C>
P row_linesRow(const char* name = "Lines")
{
    return object<C>(name, TQRStrings::staticClassInfo(), [](C& c) { return &c.lines; });
}

template <class C>
P row_dataSetRow() { return member<C>("DataSet", PropKind::Reference, [](C& c) -> QPointer<TDataSetComponent>& { return c.dataSet; }); }

// "FontSize": the point size of a text element's font, always stored.
template <class C>
DefinedProp fontSizeProp()
{
    return DefinedProp{
        "FontSize",
        [](const Persistent& o) -> std::optional<DefinedValue> {
            DefinedValue v;
            v.kind = DefinedValue::Kind::Integer;
            v.integer = static_cast<const C&>(o).font().size();
            return v;
        },
        [](Persistent& o, const DefinedValue& v) {
            if (v.kind != DefinedValue::Kind::Integer)
                return false;
            static_cast<C&>(o).streamedFontSize = static_cast<int>(v.integer);
            return true;
        },
    };
}

// The expression element's rows from Font to Expression.
template <class C>
void expressionRows(Rows& r)
{
    r.push_back(row_fontRow<C>());
    r.push_back(row_colorRow<C>(clWindow));
    r.push_back(member<C>("Master", PropKind::Reference, [](C& c) -> QPointer<Component>& { return c.master; }));
    r.push_back(row_onPrint<C>());
    r.push_back(row_parentFontRow<C>());
    r.push_back(member<C>("ResetAfterPrint", PropKind::Boolean, [](C& c) -> bool& { return c.resetAfterPrint; }));
    r.push_back(row_transparent<C>());
    r.push_back(row_wordWrap<C>());
    r.push_back(prop<C>("Expression", PropKind::String, &C::expression, &C::setExpression));
}

} // namespace

// ------------------------------------------------------------------ bands

TQRDesignBand::TQRDesignBand(Container* owner) : TQRBand(owner) { d.qrDesigner = findLoader(owner); }
const ClassInfo& TQRDesignBand::classInfo() const { return staticClassInfo(); }
const ClassInfo& TQRDesignBand::staticClassInfo()
{
    using C = TQRDesignBand;
    static const ClassInfo info = [] {
        Rows r = bandHead<C>();
        r.push_back(prop<C>("BandType", PropKind::Enum, &C::bandType, &C::setBandType).type(&enums::bandType));
        r.push_back(row_editorEnabled<C>());
        r.push_back(row_bandDesigner<C>());
        r.push_back(row_bandNum<C>());
        r.push_back(row_bandExpression<C>("Expression"));
        r.push_back(row_designBackground<C>());
        r.push_back(row_bgDX<C>().def(0));
        r.push_back(row_bgDY<C>().def(0));
        pageRules<C>(r);
        r.push_back(member<C>("NotOnLastPage", PropKind::Boolean, [](C& c) -> bool& { return c.d.notOnLastPage; }).def(0));
        bandBlocks<C>(r);
        return ClassInfo{"TQRDesignBand", r, {}, factory<C>()};
    }();
    return info;
}

TQRDesignChildBand::TQRDesignChildBand(Container* owner) : TQRChildBand(owner) { d.qrDesigner = findLoader(owner); }
const ClassInfo& TQRDesignChildBand::classInfo() const { return staticClassInfo(); }
const ClassInfo& TQRDesignChildBand::staticClassInfo()
{
    using C = TQRDesignChildBand;
    static const ClassInfo info = [] {
        Rows r = bandHead<C>();
        r.push_back(prop<C>("ParentBand", PropKind::Reference, &C::parentBand, &C::setParentBand));
        r.push_back(row_editorEnabled<C>());
        r.push_back(row_bandExpression<C>("Expression"));
        r.push_back(row_bandNum<C>());
        r.push_back(row_designBackground<C>());
        r.push_back(row_bgDX<C>().def(0));
        r.push_back(row_bgDY<C>().def(0));
        pageRules<C>(r);
        r.push_back(row_bandDesigner<C>());
        bandBlocks<C>(r);
        return ClassInfo{"TQRDesignChildBand", r, {}, factory<C>()};
    }();
    return info;
}

TQRDesignGroup::TQRDesignGroup(Container* owner) : TQRGroup(owner) { d.qrDesigner = findLoader(owner); }
const ClassInfo& TQRDesignGroup::classInfo() const { return staticClassInfo(); }
const ClassInfo& TQRDesignGroup::staticClassInfo()
{
    using C = TQRDesignGroup;
    static const ClassInfo info = [] {
        Rows r = bandHead<C>();
        r.push_back(member<C>("Expression", PropKind::String, [](C& c) -> QString& { return c.expression; }));
        r.push_back(prop<C>("FooterBand", PropKind::Reference, &C::footerBand, &C::setFooterBand));
        r.push_back(prop<C>("Master", PropKind::Reference, &C::master, &C::setMaster));
        r.push_back(member<C>("ReprintOnNewPage", PropKind::Boolean, [](C& c) -> bool& { return c.reprintOnNewPage; }));
        r.push_back(row_editorEnabled<C>());
        r.push_back(row_bandNum<C>());
        r.push_back(row_designBackground<C>());
        r.push_back(row_bgDX<C>().def(0));
        r.push_back(row_bgDY<C>().def(0));
        pageRules<C>(r);
        r.push_back(row_bandExpression<C>("PrintExpression"));
        r.push_back(row_bandDesigner<C>());
        bandBlocks<C>(r);
        return ClassInfo{"TQRDesignGroup", r, {}, factory<C>()};
    }();
    return info;
}

const ClassInfo& TQRSubDetailGroupBands::classInfo() const { return staticClassInfo(); }
const ClassInfo& TQRSubDetailGroupBands::staticClassInfo()
{
    using C = TQRSubDetailGroupBands;
    static const ClassInfo info{
        "TQRSubDetailGroupBands",
        {
            computed<C, bool>("HasHeader", PropKind::Boolean, [](const C& c) { return c.owner().hasHeader(); },
                              [](C& c, bool v) { c.owner().setHasHeader(v); }).never(),
            computed<C, bool>("HasFooter", PropKind::Boolean, [](const C& c) { return c.owner().hasFooter(); },
                              [](C& c, bool v) { c.owner().setHasFooter(v); }).never(),
        },
        {},
        {},
    };
    return info;
}

TQRDesignSubdetail::TQRDesignSubdetail(Container* owner) : TQRSubDetail(owner) { d.qrDesigner = findLoader(owner); }
const ClassInfo& TQRDesignSubdetail::classInfo() const { return staticClassInfo(); }
const ClassInfo& TQRDesignSubdetail::staticClassInfo()
{
    using C = TQRDesignSubdetail;
    static const ClassInfo info = [] {
        Rows r = bandHead<C>();
        r.push_back(prop<C>("Master", PropKind::Reference, &C::master, &C::setMaster));
        r.push_back(object<C>("Bands", TQRSubDetailGroupBands::staticClassInfo(), [](C& c) { return &c.bands; }));
        r.push_back(prop<C>("DataSet", PropKind::Reference, &C::dataSet, &C::setDataSet));
        r.push_back(prop<C>("FooterBand", PropKind::Reference, &C::footerBand, &C::setFooterBand));
        r.push_back(prop<C>("HeaderBand", PropKind::Reference, &C::headerBand, &C::setHeaderBand));
        r.push_back(eventProp<C>("OnNeedData", [](C& c) -> EventName& { return c.controller().onNeedData; }));
        r.push_back(prop<C>("PrintBefore", PropKind::Boolean, &C::printBefore, &C::setPrintBefore));
        r.push_back(prop<C>("PrintIfEmpty", PropKind::Boolean, &C::printIfEmpty, &C::setPrintIfEmpty));
        r.push_back(row_editorEnabled<C>());
        r.push_back(row_bandExpression<C>("Expression"));
        r.push_back(row_bandNum<C>());
        r.push_back(row_designBackground<C>());
        r.push_back(row_bgDX<C>());
        r.push_back(row_bgDY<C>());
        pageRules<C>(r);
        r.push_back(row_bandDesigner<C>());
        bandBlocks<C>(r);
        return ClassInfo{"TQRDesignSubdetail", r, {}, factory<C>()};
    }();
    return info;
}

// ------------------------------------------------------------------ elements

namespace {
// Rotation in tenths of a degree: values above 3600 come down by whole turns.
int normalizedDegree(int v)
{
    while (v > 3600)
        v -= 3600;
    return v;
}
} // namespace

TQRDesignLabel::TQRDesignLabel(Container* owner) : TQRLabel(owner) { d.qrDesigner = findLoader(owner); }
void TQRDesignLabel::setDegree(int v)
{
    degree_ = normalizedDegree(v);
    if (degree_ != 0)
        autoSize = false;
}
const ClassInfo& TQRDesignLabel::classInfo() const { return staticClassInfo(); }
const ClassInfo& TQRDesignLabel::staticClassInfo()
{
    using C = TQRDesignLabel;
    static const ClassInfo info = [] {
        Rows r = labelHead<C>(true);
        r.push_back(prop<C>("Caption", PropKind::String, &C::caption, &C::setCaption));
        r.push_back(row_colorRow<C>(clWindow));
        r.push_back(row_fontRow<C>());
        r.push_back(row_onPrint<C>());
        r.push_back(row_parentFontRow<C>());
        r.push_back(row_transparent<C>());
        r.push_back(row_wordWrap<C>());
        r.push_back(row_groupID<C>());
        r.push_back(row_degree<C>());
        r.push_back(row_elementDesigner<C>());
        elementBlocks<C>(r, false);
        r.push_back(eventProp<C>("OnMouseDown", [](C& c) -> EventName& { return c.onMouseDown; }));
        followBand<C>(r);
        return ClassInfo{"TQRDesignLabel", r, {fontSizeProp<C>()}, factory<C>()};
    }();
    return info;
}

TQRDesignDBText::TQRDesignDBText(Container* owner) : TQRDBText(owner) { d.qrDesigner = findLoader(owner); }
const ClassInfo& TQRDesignDBText::classInfo() const { return staticClassInfo(); }
const ClassInfo& TQRDesignDBText::staticClassInfo()
{
    using C = TQRDesignDBText;
    static const ClassInfo info = [] {
        Rows r = labelHead<C>(true);
        r.push_back(row_colorRow<C>(clWindow));
        r.push_back(row_dataSetRow<C>());
        r.push_back(prop<C>("DataField", PropKind::String, &C::dataField, &C::setDataField));
        r.push_back(row_fontRow<C>());
        r.push_back(member<C>("Mask", PropKind::String, [](C& c) -> QString& { return c.mask; }));
        r.push_back(row_onPrint<C>());
        r.push_back(row_parentFontRow<C>());
        r.push_back(row_transparent<C>());
        r.push_back(row_wordWrap<C>());
        r.push_back(row_groupID<C>());
        r.push_back(row_elementDesigner<C>());
        elementBlocks<C>(r, true);
        r.push_back(member<C>("SuppressRepeatedValues", PropKind::Boolean, [](C& c) -> bool& { return c.suppressRepeatedValues; }).def(0));
        r.push_back(member<C>("ReprintOnNewPage", PropKind::Boolean, [](C& c) -> bool& { return c.reprintOnNewPage; }).def(0));
        r.push_back(member<C>("ReprintOnNewGroup", PropKind::Boolean, [](C& c) -> bool& { return c.reprintOnNewGroup; }).def(0));
        r.push_back(member<C>("BlankIfZero", PropKind::Boolean, [](C& c) -> bool& { return c.blankIfZero; }).def(0));
        followBand<C>(r);
        r.push_back(object<C>("MapList", TQRStrings::staticClassInfo(), [](C& c) { return &c.mapList; }));
        return ClassInfo{"TQRDesignDBText", r, {fontSizeProp<C>()}, factory<C>()};
    }();
    return info;
}

TQRDesignExpr::TQRDesignExpr(Container* owner) : TQRExpr(owner) { d.qrDesigner = findLoader(owner); }
void TQRDesignExpr::setDegree(int v)
{
    degree_ = normalizedDegree(v);
    if (degree_ != 0)
        autoSize = false;
}
const ClassInfo& TQRDesignExpr::classInfo() const { return staticClassInfo(); }
const ClassInfo& TQRDesignExpr::staticClassInfo()
{
    using C = TQRDesignExpr;
    static const ClassInfo info = [] {
        Rows r = labelHead<C>(true);
        expressionRows<C>(r);
        r.push_back(member<C>("Mask", PropKind::String, [](C& c) -> QString& { return c.mask; }));
        r.push_back(row_groupID<C>());
        r.push_back(row_degree<C>());
        r.push_back(row_elementDesigner<C>());
        elementBlocks<C>(r, true);
        followBand<C>(r);
        return ClassInfo{"TQRDesignExpr", r, {fontSizeProp<C>()}, factory<C>()};
    }();
    return info;
}

TQRDesignSysdata::TQRDesignSysdata(Container* owner) : TQRSysData(owner) { d.qrDesigner = findLoader(owner); }
const ClassInfo& TQRDesignSysdata::classInfo() const { return staticClassInfo(); }
const ClassInfo& TQRDesignSysdata::staticClassInfo()
{
    using C = TQRDesignSysdata;
    static const ClassInfo info = [] {
        Rows r = labelHead<C>(false);
        r.push_back(row_biDiRow<C>());
        r.push_back(row_parentBiDiRow<C>());
        r.push_back(row_colorRow<C>(clWindow));
        r.push_back(prop<C>("Data", PropKind::Enum, &C::data, &C::setData).type(&enums::sysDataType));
        r.push_back(row_fontRow<C>());
        r.push_back(row_onPrint<C>());
        r.push_back(row_parentFontRow<C>());
        r.push_back(prop<C>("Text", PropKind::String, &C::text, &C::setText));
        r.push_back(row_transparent<C>());
        r.push_back(row_groupID<C>());
        r.push_back(row_elementDesigner<C>());
        elementBlocks<C>(r, true);
        followBand<C>(r);
        return ClassInfo{"TQRDesignSysdata", r, {fontSizeProp<C>()}, factory<C>()};
    }();
    return info;
}

TQRDesignMemo::TQRDesignMemo(Container* owner) : TQRMemo(owner) { d.qrDesigner = findLoader(owner); }
const ClassInfo& TQRDesignMemo::classInfo() const { return staticClassInfo(); }
const ClassInfo& TQRDesignMemo::staticClassInfo()
{
    using C = TQRDesignMemo;
    static const ClassInfo info = [] {
        Rows r = labelHead<C>(true);
        r.push_back(row_colorRow<C>(clWindow));
        r.push_back(row_fontRow<C>());
        r.push_back(row_linesRow<C>());
        r.push_back(row_parentFontRow<C>());
        r.push_back(row_transparent<C>());
        r.push_back(row_wordWrap<C>());
        r.push_back(row_groupID<C>());
        r.push_back(row_elementDesigner<C>());
        elementBlocks<C>(r, true);
        followBand<C>(r);
        return ClassInfo{"TQRDesignMemo", r, {fontSizeProp<C>()}, factory<C>()};
    }();
    return info;
}

namespace {
template <class C>
void richTextHead(Rows& r)
{
    r.push_back(row_alignmentRow<C>());
    r.push_back(member<C>("AutoStretch", PropKind::Boolean, [](C& c) -> bool& { return c.autoStretch; }));
    r.push_back(prop<C>("Color", PropKind::Color, &C::color, &C::setColor));
    r.push_back(row_fontRow<C>(false));
}
template <class C>
void elementTail(Rows& r)
{
    r.push_back(row_groupID<C>());
    r.push_back(row_elementDesigner<C>());
    elementBlocks<C>(r, true);
    followBand<C>(r);
}
} // namespace

TQRDesignRichtext::TQRDesignRichtext(Container* owner) : TQRRichText(owner) { d.qrDesigner = findLoader(owner); }
const ClassInfo& TQRDesignRichtext::classInfo() const { return staticClassInfo(); }
const ClassInfo& TQRDesignRichtext::staticClassInfo()
{
    using C = TQRDesignRichtext;
    static const ClassInfo info = [] {
        Rows r = elementHead<C>();
        richTextHead<C>(r);
        r.push_back(row_linesRow<C>());
        r.push_back(member<C>("ParentRichEdit", PropKind::Reference, [](C& c) -> QPointer<Component>& { return c.parentRichEdit; }));
        elementTail<C>(r);
        return ClassInfo{"TQRDesignRichtext", r, {}, factory<C>()};
    }();
    return info;
}

TQRDesignDBRichtext::TQRDesignDBRichtext(Container* owner) : TQRDBRichText(owner) { d.qrDesigner = findLoader(owner); }
const ClassInfo& TQRDesignDBRichtext::classInfo() const { return staticClassInfo(); }
const ClassInfo& TQRDesignDBRichtext::staticClassInfo()
{
    using C = TQRDesignDBRichtext;
    static const ClassInfo info = [] {
        Rows r = elementHead<C>();
        richTextHead<C>(r);
        r.push_back(member<C>("DataField", PropKind::String, [](C& c) -> QString& { return c.dataField; }));
        r.push_back(row_dataSetRow<C>());
        elementTail<C>(r);
        return ClassInfo{"TQRDesignDBRichtext", r, {}, factory<C>()};
    }();
    return info;
}

TQRDesignShape::TQRDesignShape(Container* owner) : TQRShape(owner) { d.qrDesigner = findLoader(owner); }
const ClassInfo& TQRDesignShape::classInfo() const { return staticClassInfo(); }
const ClassInfo& TQRDesignShape::staticClassInfo()
{
    using C = TQRDesignShape;
    static const ClassInfo info = [] {
        Rows r = elementHead<C>(65);
        r.push_back(object<C>("Brush", TQRBrush::staticClassInfo(), [](C& c) { return &c.brush; }));
        r.push_back(object<C>("Pen", TQRPen::staticClassInfo(), [](C& c) { return &c.pen; }));
        r.push_back(member<C>("Shape", PropKind::Enum, [](C& c) -> TQRShapeType& { return c.shape; }).type(&enums::shapeType));
        elementTail<C>(r);
        return ClassInfo{"TQRDesignShape", r, {}, factory<C>()};
    }();
    return info;
}

TQRDesignImage::TQRDesignImage(Container* owner) : TQRImage(owner) { d.qrDesigner = findLoader(owner); }
const ClassInfo& TQRDesignImage::classInfo() const { return staticClassInfo(); }
const ClassInfo& TQRDesignImage::staticClassInfo()
{
    using C = TQRDesignImage;
    static const ClassInfo info = [] {
        Rows r = elementHead<C>();
        r.push_back(member<C>("AutoSize", PropKind::Boolean, [](C& c) -> bool& { return c.autoSize; }).def(0));
        r.push_back(member<C>("Center", PropKind::Boolean, [](C& c) -> bool& { return c.center; }).def(0));
        r.push_back(object<C>("Picture", TQRPicture::staticClassInfo(), [](C& c) { return &c.picture; }));
        r.push_back(member<C>("Stretch", PropKind::Boolean, [](C& c) -> bool& { return c.stretch; }).def(0));
        r.push_back(row_groupID<C>());
        r.push_back(member<C>("Filename", PropKind::String, [](C& c) -> QString& { return c.filename; }).shortString());
        r.push_back(row_elementDesigner<C>());
        elementBlocks<C>(r, true);
        followBand<C>(r);
        return ClassInfo{"TQRDesignImage", r, {}, factory<C>()};
    }();
    return info;
}

TQRDesignDBImage::TQRDesignDBImage(Container* owner) : TQRDBImage(owner) { d.qrDesigner = findLoader(owner); }
const ClassInfo& TQRDesignDBImage::classInfo() const { return staticClassInfo(); }
const ClassInfo& TQRDesignDBImage::staticClassInfo()
{
    using C = TQRDesignDBImage;
    static const ClassInfo info = [] {
        Rows r = elementHead<C>();
        r.push_back(member<C>("Center", PropKind::Boolean, [](C& c) -> bool& { return c.center; }).def(1));
        r.push_back(member<C>("DataField", PropKind::String, [](C& c) -> QString& { return c.dataField; }));
        r.push_back(row_dataSetRow<C>());
        r.push_back(member<C>("Stretch", PropKind::Boolean, [](C& c) -> bool& { return c.stretch; }).def(0));
        elementTail<C>(r);
        return ClassInfo{"TQRDesignDBImage", r, {}, factory<C>()};
    }();
    return info;
}

// ------------------------------------------------------------------ engine classes

const ClassInfo& TQRDBCalc::classInfo() const { return staticClassInfo(); }
const ClassInfo& TQRDBCalc::staticClassInfo()
{
    using C = TQRDBCalc;
    static const ClassInfo info = [] {
        Rows r = labelHead<C>(true);
        expressionRows<C>(r);
        r.push_back(prop<C>("DataField", PropKind::String, &C::dataField, &C::setDataField));
        r.push_back(member<C>("DataSource", PropKind::Reference, [](C& c) -> QPointer<Component>& { return c.dataSource; }));
        r.push_back(prop<C>("Operation", PropKind::Enum, &C::operation, &C::setOperation).type(&enums::calcOperation));
        r.push_back(prop<C>("PrintMask", PropKind::String, &C::printMask, &C::setPrintMask));
        r.push_back(member<C>("ResetBand", PropKind::Reference, [](C& c) -> QPointer<Component>& { return c.resetBand; }));
        return ClassInfo{"TQRDBCalc", r, {}, factory<C>()};
    }();
    return info;
}

// ------------------------------------------------------------------ report

TQRBand* TQRDesignReport::createBand(Container* owner) { return new TQRDesignBand(owner); }
TQRChildBand* TQRDesignReport::createChildBand(Container* owner) { return new TQRDesignChildBand(owner); }

const ClassInfo& TQRDesignReport::classInfo() const { return staticClassInfo(); }
const ClassInfo& TQRDesignReport::staticClassInfo()
{
    using C = TQRDesignReport;
    static const ClassInfo info = [] {
        Rows r;
        controlHead<C>(r);
        r.push_back(object<C>("Bands", TQRReportBands::staticClassInfo(), [](C& c) { return &c.bands; }));
        r.push_back(object<C>("Description", TQRStrings::staticClassInfo(), [](C& c) { return &c.description; }));
        r.push_back(row_fontRow<C>(false));
        r.push_back(row_frameRow<C>());
        r.push_back(member<C>("Options", PropKind::Set, [](C& c) -> SetBits& { return c.options; }).type(&enums::reportOptions));
        r.push_back(object<C>("Page", TQRPage::staticClassInfo(), [](C& c) { return &c.page; }));
        r.push_back(prop<C>("PrintIfEmpty", PropKind::Boolean, &C::printIfEmpty, &C::setPrintIfEmpty));
        r.push_back(member<C>("ReportTitle", PropKind::String, [](C& c) -> QString& { return c.reportTitle; }));
        r.push_back(member<C>("ShowProgress", PropKind::Boolean, [](C& c) -> bool& { return c.showProgress; }));
        r.push_back(member<C>("SnapToGrid", PropKind::Boolean, [](C& c) -> bool& { return c.snapToGrid; }));
        r.push_back(prop<C>("Units", PropKind::Enum, &C::units, &C::setUnits).type(&enums::unit));
        r.push_back(prop<C>("Zoom", PropKind::Integer, &C::zoom, &C::setZoom));
        return ClassInfo{"TQRDesignReport", r, {}, factory<C>()};
    }();
    return info;
}

// ------------------------------------------------------------------ registry

const ClassInfo* findLayoutClass(QStringView className)
{
    static const ClassInfo* const classes[] = {
        &TQRDesignBand::staticClassInfo(),      &TQRDesignExpr::staticClassInfo(),
        &TQRDesignLabel::staticClassInfo(),     &TQRDesignSubdetail::staticClassInfo(),
        &TQRDesignChildBand::staticClassInfo(), &TQRDesignGroup::staticClassInfo(),
        &TQRDesignRichtext::staticClassInfo(),  &TQRDesignDBRichtext::staticClassInfo(),
        &TQRDesignDBText::staticClassInfo(),    &TQRDesignShape::staticClassInfo(),
        &TQRDesignSysdata::staticClassInfo(),   &TQRDesignImage::staticClassInfo(),
        &TQRDesignDBImage::staticClassInfo(),   &TQRDesignMemo::staticClassInfo(),
        &TQRDesignReport::staticClassInfo(),    &TTable::staticClassInfo(),
        &TDataSource::staticClassInfo(),
    };
    for (const ClassInfo* ci : classes) {
        if (className.compare(QLatin1StringView(ci->name), Qt::CaseInsensitive) == 0)
            return ci;
    }
    // The data sets and fields a layout may carry in its data-set block.
    for (const ClassInfo* ci : dataSetClasses()) {
        if (className.compare(QLatin1StringView(ci->name), Qt::CaseInsensitive) == 0)
            return ci;
    }
    return nullptr;
}

bool isDesignObject(Component& c) { return c.classInfo().find(u"BlockDelete") != nullptr; }

} // namespace cm
