#include "layout/storedprops.h"

namespace cm {

namespace {

bool equalsDefault(const PropInfo& info, const PropValue& v)
{
    if (!info.defaultValue)
        return false;
    if (const auto* i = std::get_if<int64_t>(&v))
        return *i == *info.defaultValue;
    if (const auto* b = std::get_if<bool>(&v))
        return static_cast<int64_t>(*b) == *info.defaultValue;
    if (const auto* s = std::get_if<SetBits>(&v))
        return static_cast<int64_t>(s->bits) == *info.defaultValue;
    return false;
}

bool isEmptyValue(const PropValue& v)
{
    if (const auto* e = std::get_if<Extended>(&v))
        return *e == 0;
    if (const auto* s = std::get_if<QString>(&v))
        return s->isEmpty();
    if (const auto* c = std::get_if<Component*>(&v))
        return *c == nullptr;
    if (const auto* ev = std::get_if<EventName>(&v))
        return ev->handler.isEmpty();
    return false;
}

void visitObject(const Persistent& object, const QString& prefix,
                 const std::function<void(const StoredProp&)>& visit)
{
    const ClassInfo& ci = object.classInfo();
    for (const PropInfo& p : ci.props) {
        if (!isPropertyStored(p, object))
            continue;
        const QString path = prefix + QLatin1StringView(p.name);
        if (p.kind == PropKind::Object) {
            Persistent* sub = p.subObject ? p.subObject(const_cast<Persistent&>(object)) : nullptr;
            if (sub)
                visitObject(*sub, path + u'.', visit);
            continue;
        }
        if (!p.get)
            continue;
        PropValue v = p.get(object);
        if (equalsDefault(p, v) || isEmptyValue(v))
            continue;
        visit(StoredProp{path, &p, std::move(v), std::nullopt});
    }
    for (const DefinedProp& d : ci.defined) {
        if (!d.get)
            continue;
        if (std::optional<DefinedValue> dv = d.get(object))
            visit(StoredProp{prefix + QLatin1StringView(d.name), nullptr, PropValue{}, std::move(dv)});
    }
}

} // namespace

void visitStoredProperties(const Persistent& object,
                           const std::function<void(const StoredProp&)>& visit)
{
    visitObject(object, QString(), visit);
}

} // namespace cm
