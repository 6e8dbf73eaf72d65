#include "engine/generate/modelaccess.h"

#include "engine/generate/generator.h"
#include "report/componentscope.h"
#include "report/design.h"

namespace cm {

ReportObject::Kind reportObjectKind(Component& c)
{
    if (dynamic_cast<TQRExpr*>(&c)) return ReportObject::Kind::ExpressionElement;
    if (dynamic_cast<TQRPrintable*>(&c)) return ReportObject::Kind::PrintableElement;
    if (dynamic_cast<TQRCustomBand*>(&c)) return ReportObject::Kind::Band;
    if (dynamic_cast<TQRCustomReport*>(&c)) return ReportObject::Kind::Report;
    if (dynamic_cast<TDataSetComponent*>(&c)) return ReportObject::Kind::DataSet;
    if (dynamic_cast<TDataSource*>(&c)) return ReportObject::Kind::DataSource;
    return ReportObject::Kind::Other;
}

PropertyObject::PropertyObject(Persistent& object, Kind kind) : object_(object), kind_(kind) {}

bool PropertyObject::hasProperty(QStringView property) const { return cm::hasProperty(object_, property); }

qint64 PropertyObject::ordinalProperty(QStringView property) const
{
    const auto v = getProperty(object_, property);
    if (!v)
        return 0;
    if (auto* i = std::get_if<int64_t>(&*v)) return *i;
    if (auto* b = std::get_if<bool>(&*v)) return *b ? 1 : 0;
    if (auto* s = std::get_if<SetBits>(&*v)) return s->bits;
    if (auto* x = std::get_if<Extended>(&*v)) return qint64(*x);
    return 0;
}

double PropertyObject::floatProperty(QStringView property) const
{
    const auto v = getProperty(object_, property);
    if (!v)
        return 0;
    if (auto* x = std::get_if<Extended>(&*v)) return double(*x);
    if (auto* i = std::get_if<int64_t>(&*v)) return double(*i);
    return 0;
}

QString PropertyObject::textProperty(QStringView property) const
{
    const auto v = getProperty(object_, property);
    if (!v)
        return QString();
    if (auto* s = std::get_if<QString>(&*v)) return *s;
    if (auto* c = std::get_if<Component*>(&*v)) return *c ? (*c)->name() : QString();
    if (auto* e = std::get_if<EventName>(&*v)) return e->handler;
    return QString();
}

ReportObject* PropertyObject::objectProperty(QStringView property)
{
    const PropertyPath path = resolveProperty(object_, property);
    if (!path || path.info->kind != PropKind::Object || !path.info->subObject)
        return nullptr;
    Persistent* sub = path.info->subObject(*path.object);
    if (!sub)
        return nullptr;
    auto& slot = children_[sub];
    if (!slot)
        slot = std::make_unique<PropertyObject>(*sub, Kind::Other);
    return slot.get();
}

void PropertyObject::setOrdinalProperty(QStringView property, qint64 value)
{
    const PropertyPath path = resolveProperty(object_, property);
    if (!path)
        return;
    switch (path.info->kind) {
    case PropKind::Boolean: setProperty(object_, property, PropValue(value != 0)); break;
    case PropKind::Set: setProperty(object_, property, PropValue(SetBits{uint32_t(value)})); break;
    case PropKind::Float: setProperty(object_, property, PropValue(Extended(value))); break;
    case PropKind::String:
    case PropKind::Reference:
    case PropKind::Event:
    case PropKind::Object: break;
    default: setProperty(object_, property, PropValue(int64_t(value))); break;
    }
}

void PropertyObject::setFloatProperty(QStringView property, double value)
{
    const PropertyPath path = resolveProperty(object_, property);
    if (path && path.info->kind == PropKind::Float)
        setProperty(object_, property, PropValue(Extended(value)));
}

void PropertyObject::setTextProperty(QStringView property, const QString& value)
{
    const PropertyPath path = resolveProperty(object_, property);
    if (path && path.info->kind == PropKind::String)
        setProperty(object_, property, PropValue(value));
}

// --- access

ReportObject* ModelAccess::wrap(Component* c)
{
    if (!c)
        return nullptr;
    auto& slot = objects_[c];
    if (!slot)
        slot = std::make_unique<PropertyObject>(*c, reportObjectKind(*c));
    return slot.get();
}

const std::vector<Container*>& ModelAccess::containers() const
{
    static const std::vector<Container*> none;
    return scope_ ? scope_->containers() : none;
}

static bool isForm(const Container* c)
{
    return !c->isDataModule() && !c->componentsOf<TQRDesignReport>().empty();
}

ReportObject* ModelAccess::findElement(QStringView name, Scope scope)
{
    for (Container* c : containers()) {
        if (isForm(c)) {
            if (Component* found = c->findComponent(name))
                return wrap(found);
        }
    }
    if (scope == Scope::FormsAndDataModules) {
        for (Container* c : containers()) {
            if (c->isDataModule()) {
                if (Component* found = c->findComponent(name))
                    return wrap(found);
            }
        }
    }
    return nullptr;
}

ReportObject* ModelAccess::findCaptionHolder(QStringView name)
{
    const auto& all = containers();
    for (auto it = all.rbegin(); it != all.rend(); ++it) {
        if (!isForm(*it))
            continue;
        Component* found = (*it)->findComponent(name);
        if (found && (dynamic_cast<TQRExpr*>(found) || cm::hasProperty(*found, u"Caption")))
            return wrap(found);
    }
    return nullptr;
}

DataSet* ModelAccess::findDataSet(QStringView name, QStringView fieldName)
{
    for (Container* c : containers()) {
        for (auto* d : c->componentsOf<TDataSetComponent>()) {
            DataSet* ds = d->dataSet();
            if (!ds || d->name().compare(name, Qt::CaseInsensitive) != 0)
                continue;
            if (fieldName.isEmpty() || ds->fieldIndex(fieldName) >= 0)
                return ds;
        }
    }
    return nullptr;
}

void ModelAccess::resetExpression(QStringView name)
{
    if (generator_)
        generator_->resetExpression(name);
}

std::optional<bool> ModelAccess::groupPrinted(QStringView bandName)
{
    return generator_ ? generator_->groupPrinted(bandName) : std::nullopt;
}

bool ModelAccess::hasCardReport() const
{
    for (Container* c : containers()) {
        for (auto* r : c->componentsOf<TQRDesignReport>()) {
            if (r->name() == QLatin1String("CardReport"))
                return true;
        }
    }
    return false;
}

bool ModelAccess::newPage()
{
    if (!hasCardReport())
        return false;
    if (generator_)
        generator_->newPage();
    return true;
}

std::optional<int> ModelAccess::verticalPrintPosition()
{
    if (!generator_ || !hasCardReport())
        return std::nullopt;
    return generator_->verticalPosition();
}

std::optional<int> ModelAccess::pageNumber()
{
    if (!generator_ || !hasCardReport())
        return std::nullopt;
    return generator_->pageCounter();
}

static ComponentScope* scopeOf(ReportGenerator* generator)
{
    Container* owner = generator ? generator->report().owner() : nullptr;
    return owner ? &owner->scope() : nullptr;
}

ScopedModelAccess::ScopedModelAccess(ReportGenerator* generator)
    : ScopedModelAccess(scopeOf(generator), generator)
{
}

ScopedModelAccess::ScopedModelAccess(ComponentScope& scope)
    : ScopedModelAccess(&scope, nullptr)
{
}

ScopedModelAccess::ScopedModelAccess(ComponentScope* scope, ReportGenerator* generator)
    : access_(scope, generator), previous_(exprServices())
{
    ExprServices services = previous_;
    services.report = &access_;
    services.engine = &access_;
    services.variables = scope ? &scope->variables() : previous_.variables;
    setExprServices(services);
}

ScopedModelAccess::~ScopedModelAccess() { setExprServices(previous_); }

} // namespace cm
