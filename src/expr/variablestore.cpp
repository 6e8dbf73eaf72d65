#include "expr/variablestore.h"

namespace cm {

// Names compare after ASCII upper-casing only, like the stored names.
static QString asciiUpper(const QString& name)
{
    QString out = name;
    for (QChar& c : out) {
        if (c.unicode() >= 'a' && c.unicode() <= 'z')
            c = QChar(c.unicode() - 'a' + 'A');
    }
    return out;
}

const VariableStore::Variable* VariableStore::find(const QString& name) const
{
    const QString key = asciiUpper(name);
    for (const Variable& v : m_vars) {
        if (v.name == key) return &v;
    }
    return nullptr;
}

const VariableStore::Variable& VariableStore::set(const QString& name, const EvResult& value)
{
    const QString key = asciiUpper(name);
    Variable* target = nullptr;
    for (Variable& v : m_vars) {
        if (v.name == key) { target = &v; break; }
    }
    if (!target) {
        m_vars.push_back({key, EvResult()});
        target = &m_vars.back();
    }
    EvResult& stored = target->value;
    stored.kind = value.kind;
    switch (value.kind) {
    case ResultKind::Integer: stored.intResult = value.intResult; break;
    case ResultKind::Float: stored.dblResult = value.dblResult; break;
    case ResultKind::String: stored.strResult = value.strResult; break;
    case ResultKind::Boolean: stored.booResult = value.booResult; break;
    case ResultKind::Error: stored.strResult.clear(); break;   // no stale text as a message
    }
    return *target;
}

bool VariableStore::remove(const QString& name)
{
    const QString key = asciiUpper(name);
    for (auto it = m_vars.begin(); it != m_vars.end(); ++it) {
        if (it->name == key) {
            m_vars.erase(it);
            return true;
        }
    }
    return false;
}

} // namespace cm
