#include "designer/propertybar.h"

#include "designer/designercore.h"
#include "designer/designobjects.h"
#include "designer/document.h"
#include "report/design.h"

#include <QCoreApplication>
#include <array>

namespace cm {

namespace {

// List position to shape kind, both ways.
constexpr std::array<TQRShapeType, 6> kShapes{TQRShapeType::qrsCircle,       TQRShapeType::qrsHorLine,
                                              TQRShapeType::qrsRectangle,    TQRShapeType::qrsRightAndLeft,
                                              TQRShapeType::qrsTopAndBottom, TQRShapeType::qrsVertLine};
constexpr std::array<const char16_t*, 6> kShapeKeys{u"ShapeCircle",         u"ShapeHorizontalLine",
                                                    u"ShapeRectangle",      u"ShapeLeftRightLines",
                                                    u"ShapeTopBottomLines", u"ShapeVerticalLine"};
constexpr std::array<const char*, 6> kShapeTexts{"Circle",           "horizontal line",  "Rectangle",
                                                 "left/right lines", "top/bottom lines", "vertical line"};

// The band kinds the choice list offers, by position.
struct BandKind {
    TQRBandType type;
    const char* text;
};
constexpr std::array<BandKind, 8> kBandKinds{{{TQRBandType::rbColumnHeader, "Column header"},
                                              {TQRBandType::rbDetail, "Detail"},
                                              {TQRBandType::rbGroupFooter, "Group footer"},
                                              {TQRBandType::rbGroupHeader, "Group header"},
                                              {TQRBandType::rbPageHeader, "Page header"},
                                              {TQRBandType::rbPageFooter, "Page footer"},
                                              {TQRBandType::rbSummary, "Summary"},
                                              {TQRBandType::rbTitle, "Title"}}};

// A runtime message; a key the table lacks gives the empty text.
QString message(DesignerCore& designer, const char16_t* key)
{
    return designer.document().loader().runtimeMessages.textOr(QStringView(key), QString());
}

bool editable(Component& c)
{
    const BlockFlags f = blockFlagsOf(c);
    return !f.blockChange && !f.blockEdit;
}

Component* firstSelected(DesignerCore& designer)
{
    const std::vector<Component*> selection = designer.document().selection();
    return selection.empty() ? nullptr : selection.front();
}

} // namespace

PropertyBarState propertyBarState(DesignerCore& designer)
{
    PropertyBarState s;
    const std::vector<Component*> selection = designer.document().selection();
    if (selection.size() != 1) {
        s.typeLabel = selection.empty() ? QStringLiteral("Cardmint") : QString();
        return s;
    }
    Component* e = selection.front();
    s.enabled = editable(*e);
    if (auto* label = dynamic_cast<TQRDesignLabel*>(e)) {
        s.typeLabel = message(designer, u"Text");
        s.box = PropertyBarState::Box::Text;
        s.text = label->caption();
    } else if (auto* band = dynamic_cast<TQRDesignBand*>(e)) {
        s.typeLabel = message(designer, u"Label");
        s.box = PropertyBarState::Box::Choice;
        for (const BandKind& k : kBandKinds) {
            if (k.type == band->bandType())
                s.current = int(s.choices.size());
            s.choices << QCoreApplication::translate("PropertyBar", k.text);
        }
    } else if (auto* field = dynamic_cast<TQRDesignDBText*>(e)) {
        s.box = PropertyBarState::Box::Choice;
        if (const DataSet* ds = field->dataSet ? field->dataSet->dataSet() : nullptr) {
            s.typeLabel = message(designer, u"Data Field");
            for (int i = 0; i < ds->fieldCount(); ++i) {
                const FieldDef& f = ds->field(i);
                if (!f.visible)
                    continue;
                s.choices << f.label();
                if (f.name == field->dataField())
                    s.current = int(s.choices.size()) - 1;
            }
        }
        if (s.current < 0 && !s.choices.isEmpty())
            s.current = 0;
    } else if (dynamic_cast<TQRDesignImage*>(e)) {
        s.typeLabel = message(designer, u"Image");
    } else if (auto* shape = dynamic_cast<TQRDesignShape*>(e)) {
        s.typeLabel = message(designer, u"Shape");
        s.box = PropertyBarState::Box::Choice;
        for (size_t i = 0; i < kShapes.size(); ++i) {
            s.choices << designer.document().loader().runtimeMessages.textOr(QStringView(kShapeKeys[i]),
                                                                             QString::fromLatin1(kShapeTexts[i]));
            if (kShapes[i] == shape->shape)
                s.current = int(i);
        }
    }
    return s;
}

void applyPropertyText(DesignerCore& designer, const QString& text)
{
    auto* label = dynamic_cast<TQRDesignLabel*>(firstSelected(designer));
    if (!label || label->caption() == text || !editable(*label))
        return;
    Document& doc = designer.document();
    doc.beginChange(QCoreApplication::translate("PropertyBar", "text"), label->name());
    label->setCaption(text);
    doc.endChange();
    designer.refreshSelection();
}

void applyPropertyChoice(DesignerCore& designer, int index, const QString& text)
{
    Component* e = firstSelected(designer);
    if (!e || index < 0 || !editable(*e))
        return;
    Document& doc = designer.document();
    if (auto* field = dynamic_cast<TQRDesignDBText*>(e)) {
        const DataSet* ds = field->dataSet ? field->dataSet->dataSet() : nullptr;
        if (ds) {
            doc.beginChange(QCoreApplication::translate("PropertyBar", "data field"));
            // Two fields with one label: the later one wins.
            for (int i = 0; i < ds->fieldCount(); ++i) {
                if (ds->field(i).label() == text) {
                    field->setDataField(ds->field(i).name);
                    field->setCaption(ds->field(i).label());
                }
            }
            doc.endChange();
        }
    } else if (auto* shape = dynamic_cast<TQRDesignShape*>(e); shape && index < int(kShapes.size())) {
        doc.beginChange(QCoreApplication::translate("PropertyBar", "shape"));
        shape->shape = kShapes[size_t(index)];
        doc.endChange();
    } else if (auto* band = dynamic_cast<TQRDesignBand*>(e); band && index < int(kBandKinds.size())) {
        doc.beginChange(QCoreApplication::translate("PropertyBar", "band kind"));
        band->setBandType(kBandKinds[size_t(index)].type);
        doc.report().orderBands();
        doc.report().arrangeBands();
        doc.endChange();
    }
    const QString name = e->name();
    designer.clearSelection();
    designer.select(doc.findComponent(name));
}

} // namespace cm
