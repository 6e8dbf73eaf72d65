#include "report/component.h"

#include "report/componentscope.h"

#include <algorithm>

namespace cm {

bool isValidIdent(QStringView name)
{
    if (name.isEmpty() || name.size() > 255)
        return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        const bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_';
        const bool digit = c >= u'0' && c <= u'9';
        if (!(letter || (digit && i > 0)))
            return false;
    }
    return true;
}

void destroyComponent(Component* c)
{
    if (!c)
        return;
    c->detach();
    delete c;
}

void setEdge(QRect& r, BoundsEdge edge, int value)
{
    switch (edge) {
    case BoundsEdge::Left: r.moveLeft(value); break;
    case BoundsEdge::Top: r.moveTop(value); break;
    case BoundsEdge::Width: r.setWidth(value); break;
    case BoundsEdge::Height: r.setHeight(value); break;
    }
}

Component* findLoader(const Container* container)
{
    if (!container)
        return nullptr;
    for (Component* c : container->components()) {
        if (c->isLoader())
            return c;
    }
    return nullptr;
}

Component::Component(Container* owner)
    : QObject(owner), owner_(owner)
{
    if (owner_)
        owner_->add(this);
}

Component::~Component() { detach(); }

void Component::detach()
{
    if (detached_)
        return;
    detached_ = true;
    // Children stay owned by the container; they only lose their parent control.
    for (Component* child : children_)
        child->parentControl_ = nullptr;
    children_.clear();
    if (parentControl_) {
        auto& siblings = parentControl_->children_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
        parentControl_ = nullptr;
    }
    if (!owner_)
        return;
    owner_->remove(this);
    // Copies: handlers may create or destroy components.
    const std::vector<Container*> containers = owner_->scope().containers();
    for (Container* c : containers) {
        const std::vector<Component*> others = c->components();
        for (Component* other : others)
            other->componentRemoved(this);
    }
    for (Container* c : containers) {
        const std::vector<Component*> others = c->components();
        for (Component* other : others)
            other->afterComponentRemoved();
    }
}

void Component::setZoomedEdge(BoundsEdge edge, int value) { setEdge(bounds, edge, value); }

bool Component::setName(const QString& name)
{
    if (name == objectName())
        return true;
    if (!name.isEmpty()) {
        if (!isValidIdent(name))
            return false;
        if (owner_ && !owner_->isNameFree(name, this))
            return false;
    }
    setObjectName(name);
    return true;
}

void Component::setParentControl(Component* parent)
{
    if (parent == parentControl_)
        return;
    if (parentControl_) {
        auto& siblings = parentControl_->children_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
    parentControl_ = parent;
    if (parent)
        parent->children_.push_back(this);
    parentChanged();
}

void Component::moveChild(Component* child, int newIndex)
{
    auto it = std::find(children_.begin(), children_.end(), child);
    if (it == children_.end())
        return;
    children_.erase(it);
    newIndex = std::clamp(newIndex, 0, int(children_.size()));
    children_.insert(children_.begin() + newIndex, child);
}

ComponentScope::~ComponentScope() { Q_ASSERT(containers_.empty()); }

Container* ComponentScope::find(QStringView name) const
{
    for (Container* c : containers_) {
        if (c->name().compare(name, Qt::CaseInsensitive) == 0)
            return c;
    }
    return nullptr;
}

Container::Container(const QString& name, bool isDataModule)
    : ownScope_(std::make_unique<ComponentScope>()), scope_(ownScope_.get()), dataModule_(isDataModule)
{
    setObjectName(name);
    scope_->containers_.push_back(this);
}

Container::Container(const QString& name, ComponentScope& scope, bool isDataModule)
    : scope_(&scope), dataModule_(isDataModule)
{
    setObjectName(name);
    scope_->containers_.push_back(this);
}

Container::~Container()
{
    // Destroy components newest first, while the container is still in its scope,
    // so references into it are cleared everywhere.
    while (!components_.empty())
        destroyComponent(components_.back());
    auto& list = scope_->containers_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

Component* Container::findComponent(QStringView name) const
{
    if (name.isEmpty())
        return nullptr;
    for (Component* c : components_) {
        if (c->name().compare(name, Qt::CaseInsensitive) == 0)
            return c;
    }
    return nullptr;
}

bool Container::isNameFree(QStringView name, const Component* except) const
{
    for (Component* c : components_) {
        if (c != except && c->name().compare(name, Qt::CaseInsensitive) == 0)
            return false;
    }
    return true;
}

QString Container::nextFreeName(const QString& base) const
{
    for (int i = 1;; ++i) {
        const QString candidate = base + QString::number(i);
        if (isNameFree(candidate))
            return candidate;
    }
}

void Container::add(Component* c) { components_.push_back(c); }

void Container::remove(Component* c)
{
    components_.erase(std::remove(components_.begin(), components_.end(), c), components_.end());
}

} // namespace cm
