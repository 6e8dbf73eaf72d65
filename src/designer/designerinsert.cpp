// Insertion of bands and elements by a click on the report.
#include "designer/designercore.h"

#include "designer/designobjects.h"
#include "designer/document.h"
#include "report/design.h"

#include <QDir>
#include <algorithm>
#include <cstdlib>

namespace cm {

namespace {

bool isBandState(DesignState s)
{
    return s == DesignState::Band || s == DesignState::SubDetail || s == DesignState::Group ||
           s == DesignState::Child;
}

bool needsDataSet(DesignState s)
{
    return s == DesignState::DataField || s == DesignState::DBPicture || s == DesignState::DBRichText;
}

bool visibleFieldIn(const DataSet& ds, bool skipHidden, const std::function<bool(const FieldDef&)>& show)
{
    for (int i = 0; i < ds.fieldCount(); ++i) {
        const FieldDef& f = ds.field(i);
        if (!f.visible)
            continue;
        if (skipHidden && (f.name.startsWith(QLatin1String("__")) || (show && !show(f))))
            continue;
        return true;
    }
    return false;
}

// Width of a field's values in characters, for sizing a new data field.
int displayWidth(const FieldDef& f)
{
    return f.size > 0 ? f.size : 10;
}

} // namespace

TDataSetComponent* DesignerCore::dataSetForNewElement() const
{
    Container* owner = document_.report().owner();
    for (auto* src : owner->componentsOf<TDataSource>()) {
        if (src->name().startsWith(QLatin1String("__")) || !src->dataSet)
            continue;
        if (const DataSet* ds = src->dataSet->dataSet(); ds && visibleFieldIn(*ds, false, {}))
            return src->dataSet;
    }
    if (!document_.loader().useDataModules)
        return nullptr;
    for (Container* module : owner->scope().containers()) {
        if (!module->isDataModule())
            continue;
        for (auto* src : module->componentsOf<TDataSource>()) {
            TDataSetComponent* set = src->dataSet;
            if (src->name().startsWith(QLatin1String("__")) || !set)
                continue;
            if (!dataModuleSetAllowed(*set))
                continue;
            if (const DataSet* ds = set->dataSet(); ds && visibleFieldIn(*ds, true, showDatafieldHandler))
                return set;
        }
    }
    return nullptr;
}

void DesignerCore::insertAt(QPoint point)
{
    if (isBandState(state_)) {
        insertBand();
        setDesignState(DesignState::Normal);
        return;
    }
    TQRDesignReport& report = document_.report();
    Component* target = nullptr;
    for (auto* band : report.owner()->componentsOf<TQRCustomBand>()) {
        if (band->report() == &report && containsWithEdges(reportRectOf(*band), point)) {
            target = band;
            break;
        }
    }
    if (!target && containsWithEdges(reportRectOf(report), point))
        target = &report;
    if (!target)
        return;

    TDataSetComponent* dataSet = nullptr;
    if (needsDataSet(state_)) {
        dataSet = dataSetForNewElement();
        if (!dataSet) {
            showError(QStringLiteral("No Databases Available"));
            if (!keepInsertMode)
                setDesignState(DesignState::Normal);
            return;
        }
    }

    document_.beginChange(tr("insert"));
    Component* c = createElement(target, dataSet);
    const QPoint position = target == &report ? point : point - reportRectOf(*target).topLeft();
    if (afterInsert(c, &position)) {
        if (auto* t = dynamic_cast<TQRDesignDBText*>(c); t && !t->autoSize && t->dataSet && t->dataSet->dataSet()) {
            const DataSet& ds = *t->dataSet->dataSet();
            if (const int index = ds.fieldIndex(t->dataField()); index >= 0) {
                QRect r = t->bounds;
                r.setWidth(displayWidth(ds.field(index)) * std::abs(t->font().size()));
                setPixelRect(*t, r);
            }
        }
    }
    document_.endChange();
    if (!keepInsertMode)
        setDesignState(DesignState::Normal);
}

bool DesignerCore::insertBand()
{
    TQRDesignReport& report = document_.report();
    Container* owner = report.owner();
    document_.beginChange(tr("insert"));
    Component* band = nullptr;
    switch (state_) {
    case DesignState::SubDetail: band = new TQRDesignSubdetail(owner); break;
    case DesignState::Group: band = new TQRDesignGroup(owner); break;
    case DesignState::Child: band = new TQRDesignChildBand(owner); break;
    default: band = new TQRDesignBand(owner); break;
    }
    band->setName(owner->nextFreeName(QStringLiteral("BAND")));
    band->setParentControl(&report);
    if (auto* b = dynamic_cast<TQRCustomBand*>(band); b && b->designProps())
        b->designProps()->qrDesigner = &document_.loader();
    report.orderBands();
    report.arrangeBands();
    const bool kept = afterInsert(band, nullptr);
    report.orderBands();
    report.arrangeBands();
    document_.endChange();
    return kept;
}

Component* DesignerCore::createElement(Component* target, TDataSetComponent* dataSet)
{
    Container* owner = document_.report().owner();
    const int targetHeight = target->bounds.height();
    Component* c = nullptr;
    QSize size(60, 20);
    switch (state_) {
    case DesignState::Label: {
        auto* e = createNamed<TQRDesignLabel>(owner);
        e->setCaption(QStringLiteral("ReportLabel"));
        e->autoSize = true;
        c = e;
        break;
    }
    case DesignState::DataField: {
        auto* e = createNamed<TQRDesignDBText>(owner);
        e->dataSet = dataSet;
        e->setCaption(QStringLiteral("ReportDBText"));
        e->autoSize = true;
        c = e;
        break;
    }
    case DesignState::Expression: {
        auto* e = createNamed<TQRDesignExpr>(owner);
        e->autoSize = true;
        e->setExpression(QString());
        c = e;
        break;
    }
    case DesignState::SystemField: {
        auto* e = createNamed<TQRDesignSysdata>(owner);
        e->autoSize = true;
        c = e;
        break;
    }
    case DesignState::Shape:
        c = createNamed<TQRDesignShape>(owner);
        size = QSize(50, std::min(50, targetHeight));
        break;
    case DesignState::Picture: {
        auto* e = createNamed<TQRDesignImage>(owner);
        e->autoSize = true;
        e->stretch = false;
        const QString folder = options_.programFolder;
        e->filename = folder.isEmpty() ? QStringLiteral("*.BMP") : QDir(folder).filePath(QStringLiteral("*.BMP"));
        c = e;
        size = QSize(60, 60);
        break;
    }
    case DesignState::DBPicture: {
        auto* e = createNamed<TQRDesignDBImage>(owner);
        e->stretch = false;
        e->dataSet = dataSet;
        c = e;
        size = QSize(60, 60);
        break;
    }
    case DesignState::Memo: {
        auto* e = createNamed<TQRDesignMemo>(owner);
        e->autoSize = false;
        e->cursor = -2;   // arrow
        e->setColor(0xFFFFFF);
        e->lines.lines.clear();
        c = e;
        size = QSize(150, std::min(40, targetHeight));
        break;
    }
    case DesignState::RichText:
        c = createNamed<TQRDesignRichtext>(owner);
        size = QSize(50, std::min(50, targetHeight));
        break;
    case DesignState::DBRichText: {
        auto* e = createNamed<TQRDesignDBRichtext>(owner);
        e->dataSet = dataSet;
        c = e;
        size = QSize(50, std::min(50, targetHeight));
        break;
    }
    default:
        c = createNamed<TQRDesignLabel>(owner);
        break;
    }
    c->setParentControl(target);
    if (auto* p = dynamic_cast<TQRPrintable*>(c); p && p->designProps())
        p->designProps()->qrDesigner = &document_.loader();
    setPixelRect(*c, QRect(QPoint(0, 0), size));
    return c;
}

bool DesignerCore::afterInsert(Component* c, const QPoint* position)
{
    if (position)
        setPixelRect(*c, QRect(*position, c->bounds.size()));
    if (afterComponentCreated)
        afterComponentCreated(c);
    // Without a property editor there is nothing to cancel: the component stays.
    if (options_.autoEditAfterInsert && editPropertiesHandler && !editProperties(c)) {
        destroyComponent(c);
        return false;
    }
    clearSelection();
    select(c);
    emit inserted(c);
    return true;
}

} // namespace cm
