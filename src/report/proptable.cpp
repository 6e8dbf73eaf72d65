#include "report/proptable.h"

namespace cm {

int EnumType::ordinalOf(QStringView ident) const
{
    for (int i = 0; i < members.size(); ++i) {
        if (members[i].compare(ident, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

const PropInfo* ClassInfo::find(QStringView propName) const
{
    for (const PropInfo& p : props) {
        if (propName.compare(QLatin1StringView(p.name), Qt::CaseInsensitive) == 0)
            return &p;
    }
    return nullptr;
}

const DefinedProp* ClassInfo::findDefined(QStringView propName) const
{
    for (const DefinedProp& d : defined) {
        if (propName.compare(QLatin1StringView(d.name), Qt::CaseInsensitive) == 0)
            return &d;
    }
    return nullptr;
}

PropertyPath resolveProperty(Persistent& root, QStringView dottedName)
{
    Persistent* object = &root;
    QStringView rest = dottedName;
    while (object) {
        const qsizetype dot = rest.indexOf(u'.');
        const QStringView head = dot < 0 ? rest : rest.left(dot);
        const PropInfo* info = object->classInfo().find(head);
        if (!info)
            return {};
        if (dot < 0)
            return {object, info};
        if (info->kind != PropKind::Object || !info->subObject)
            return {};
        object = info->subObject(*object);
        rest = rest.mid(dot + 1);
    }
    return {};
}

bool hasProperty(Persistent& root, QStringView dottedName)
{
    return bool(resolveProperty(root, dottedName));
}

std::optional<PropValue> getProperty(Persistent& root, QStringView dottedName)
{
    const PropertyPath p = resolveProperty(root, dottedName);
    if (!p || !p.info->get)
        return std::nullopt;
    return p.info->get(*p.object);
}

bool setProperty(Persistent& root, QStringView dottedName, const PropValue& value)
{
    const PropertyPath p = resolveProperty(root, dottedName);
    if (!p || !p.info->set)
        return false;
    return p.info->set(*p.object, value);
}

bool isPropertyStored(const PropInfo& info, const Persistent& object)
{
    if (info.neverStored)
        return false;
    return !info.storedWhen || info.storedWhen(object);
}

} // namespace cm
