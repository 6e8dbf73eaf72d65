#pragma once
// Components and the containers that own them. A container (the main
// window, the data module) owns its components; a component's name is unique
// within its container. Components also form a control tree (report -> bands
// -> elements) that is separate from ownership. Model objects are data: they
// hold their pixel bounds but are never widgets.
#include "report/proptable.h"

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <memory>
#include <vector>

namespace cm {

class ComponentScope;
class Container;

enum class BoundsEdge { Left, Top, Width, Height };

class Component : public QObject, public Persistent {
public:
    explicit Component(Container* owner);
    ~Component() override;

    Container* owner() const { return owner_; }

    QString name() const { return objectName(); }
    // Refuses an invalid identifier or a name taken in the container. An
    // empty name is always allowed (unnamed components stay unnamed).
    bool setName(const QString& name);

    // Control tree: children in z-order, back to front.
    Component* parentControl() const { return parentControl_; }
    void setParentControl(Component* parent);
    const std::vector<Component*>& childControls() const { return children_; }
    void moveChild(Component* child, int newIndex);

    // Stored control values.
    int tag = 0;
    int cursor = 0;
    int helpContext = 0;
    QString hint;
    // Model pixels: 96 per inch at zoom 100, whatever zoom the report shows.
    // The design surface scales them by zoom / 100 when it paints.
    QRect bounds{0, 0, 10, 10};

    // The published Left, Top, Width and Height: pixels at the zoom of the
    // report the component lies on, the values layout files store. Components
    // without a zoom read and write their bounds.
    virtual QRect zoomedBounds() const { return bounds; }
    virtual void setZoomedEdge(BoundsEdge edge, int value);

    // Hooks of the stream reader.
    virtual void beginLoad() { loading_ = true; }
    virtual void afterLoad() { loading_ = false; }
    bool isLoading() const { return loading_; }

    // Another component in the scope is being destroyed; references to it are
    // cleared by QPointer, but the owner may need to re-order (bands) etc.
    virtual void componentRemoved(Component*) {}
    // Second pass after every component has cleared its references.
    virtual void afterComponentRemoved() {}
    // The control's parent changed.
    virtual void parentChanged() {}
    // Layout loaders (and the designer) answer true; design objects link to the first one.
    virtual bool isLoader() const { return false; }

private:
    friend void destroyComponent(Component* c);
    // Leaves the control tree and the container and tells the scope, once.
    void detach();

    Container* owner_;
    Component* parentControl_ = nullptr;
    std::vector<Component*> children_;
    bool loading_ = false;
    bool detached_ = false;
};

class Container : public QObject {
public:
    // A container of its own: it sees no other container.
    explicit Container(const QString& name, bool isDataModule = false);
    // A container that sees the others of `scope`, which must outlive it.
    Container(const QString& name, ComponentScope& scope, bool isDataModule = false);
    ~Container() override;

    QString name() const { return objectName(); }
    ComponentScope& scope() const { return *scope_; }
    bool isDataModule() const { return dataModule_; }

    // In creation order ("component order").
    const std::vector<Component*>& components() const { return components_; }
    Component* findComponent(QStringView name) const;   // case-insensitive
    bool isNameFree(QStringView name, const Component* except = nullptr) const;
    // base + the smallest integer from 1 up giving an unused name.
    QString nextFreeName(const QString& base) const;

    template <class T>
    std::vector<T*> componentsOf() const
    {
        std::vector<T*> out;
        for (Component* c : components_) {
            if (auto* t = dynamic_cast<T*>(c))
                out.push_back(t);
        }
        return out;
    }

private:
    friend class Component;
    void add(Component* c);
    void remove(Component* c);

    std::unique_ptr<ComponentScope> ownScope_;
    ComponentScope* scope_;
    std::vector<Component*> components_;
    bool dataModule_;
};

// Left and Top move the rectangle (keeping its size); Width and Height resize it.
void setEdge(QRect& r, BoundsEdge edge, int value);

bool isValidIdent(QStringView name);

// Frees a component now. Components are owned by their container (Qt parent
// ownership); this is the one place that ends a component's life early. The
// scope hears of the removal while the component is still whole, so handlers
// may look at what it was.
void destroyComponent(Component* c);

// The first loader among the container's components, or null.
Component* findLoader(const Container* container);

} // namespace cm
