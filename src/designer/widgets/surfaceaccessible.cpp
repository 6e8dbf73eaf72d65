#include "designer/widgets/surfaceaccessible.h"

#include "designer/document.h"
#include "designer/widgets/designsurface.h"
#include "report/design.h"

#include <QAccessibleWidget>
#include <QList>
#include <QPointer>
#include <QWindow>

#include <algorithm>
#include <vector>

namespace cm {

namespace {

// Every live surface, to find the one that shows a component.
QList<QPointer<DesignSurface>>& surfaces()
{
    static QList<QPointer<DesignSurface>> list;
    return list;
}

DesignSurface* surfaceShowing(const Component* c)
{
    auto* control = dynamic_cast<const TQRControl*>(c);
    TQRCustomReport* report = control ? control->report() : nullptr;
    if (!report)
        return nullptr;
    for (const QPointer<DesignSurface>& s : std::as_const(surfaces())) {
        if (s && &s->document().report() == report)
            return s;
    }
    return nullptr;
}

// The components directly below `parent` on the surface: for the report its
// bands in band order and the elements lying on it, for a band its elements.
std::vector<Component*> childrenOf(Component& parent)
{
    std::vector<Component*> out;
    if (auto* report = dynamic_cast<TQRCustomReport*>(&parent))
        out.assign(report->bandList().begin(), report->bandList().end());
    for (Component* c : parent.childControls()) {
        if (dynamic_cast<TQRPrintable*>(c))
            out.push_back(c);
    }
    return out;
}

int indexIn(const std::vector<Component*>& list, const QObject* object)
{
    const auto it = std::find(list.begin(), list.end(), object);
    return it == list.end() ? -1 : int(it - list.begin());
}

QAccessibleInterface* childAtPoint(const std::vector<Component*>& children, DesignSurface& surface, int x, int y)
{
    const QPoint local = surface.mapFromGlobal(QPoint(x, y));
    // Topmost first: later elements lie above earlier ones.
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        if (surface.componentRect(*it).contains(local))
            return QAccessible::queryAccessibleInterface(*it);
    }
    return nullptr;
}

QAccessible::Role roleOf(const Component* c)
{
    if (dynamic_cast<const TQRCustomBand*>(c))
        return QAccessible::Grouping;
    if (dynamic_cast<const TQRShape*>(c) || dynamic_cast<const TQRImage*>(c) || dynamic_cast<const TQRDBImage*>(c))
        return QAccessible::Graphic;
    return QAccessible::StaticText;
}

class SurfaceAccessible final : public QAccessibleWidget {
public:
    explicit SurfaceAccessible(DesignSurface* surface) : QAccessibleWidget(surface, QAccessible::Canvas) {}

    DesignSurface& surface() const { return *static_cast<DesignSurface*>(widget()); }
    std::vector<Component*> children() const { return childrenOf(surface().document().report()); }

    int childCount() const override { return int(children().size()); }
    QAccessibleInterface* child(int index) const override
    {
        const std::vector<Component*> list = children();
        return index >= 0 && index < int(list.size()) ? QAccessible::queryAccessibleInterface(list[size_t(index)]) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child ? indexIn(children(), child->object()) : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override { return childAtPoint(children(), surface(), x, y); }
    QAccessibleInterface* focusChild() const override
    {
        const auto selection = surface().document().selection();
        return selection.empty() ? nullptr : QAccessible::queryAccessibleInterface(selection.front());
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return surface().document().report().name();
        return QAccessibleWidget::text(t);
    }
};

class ComponentAccessible final : public QAccessibleInterface {
public:
    ComponentAccessible(DesignSurface* surface, Component* component) : surface_(surface), component_(component) {}

    bool isValid() const override { return surface_ && component_; }
    QObject* object() const override { return component_; }
    QWindow* window() const override { return surface_ ? surface_->window()->windowHandle() : nullptr; }

    QAccessibleInterface* parent() const override
    {
        if (!isValid())
            return nullptr;
        Component* up = component_->parentControl();
        if (!up || dynamic_cast<TQRCustomReport*>(up) || dynamic_cast<TQRCustomBand*>(component_.data()))
            return QAccessible::queryAccessibleInterface(surface_.data());
        return QAccessible::queryAccessibleInterface(up);
    }
    int childCount() const override { return isValid() ? int(children().size()) : 0; }
    QAccessibleInterface* child(int index) const override
    {
        if (!isValid())
            return nullptr;
        const std::vector<Component*> list = children();
        return index >= 0 && index < int(list.size()) ? QAccessible::queryAccessibleInterface(list[size_t(index)]) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return isValid() && child ? indexIn(children(), child->object()) : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        return isValid() ? childAtPoint(children(), *surface_, x, y) : nullptr;
    }

    QString text(QAccessible::Text t) const override
    {
        if (!isValid())
            return {};
        switch (t) {
        case QAccessible::Name: return component_->name();
        case QAccessible::Description:
            if (auto* band = dynamic_cast<TQRCustomBand*>(component_.data()))
                return band->displayName();
            return QString::fromLatin1(component_->classInfo().name);
        case QAccessible::Value:
            if (auto* label = dynamic_cast<TQRCustomLabel*>(component_.data()))
                return label->caption();
            return {};
        default: return {};
        }
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect r = surface_->componentRect(component_);
        return QRect(surface_->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override { return roleOf(component_); }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        Document& doc = surface_->document();
        s.selectable = true;
        s.focusable = true;
        s.multiSelectable = true;
        s.selected = doc.isSelected(component_);
        const auto selection = doc.selection();
        s.focused = surface_->hasFocus() && !selection.empty() && selection.front() == component_;
        if (const QRect r = surface_->componentRect(component_); !surface_->visibleRegion().intersects(r))
            s.offscreen = true;
        return s;
    }

private:
    std::vector<Component*> children() const { return childrenOf(*component_); }

    QPointer<DesignSurface> surface_;
    QPointer<Component> component_;
};

QAccessibleInterface* surfaceFactory(const QString& key, QObject* object)
{
    if (key == QLatin1String("cm::DesignSurface")) {
        if (auto* surface = qobject_cast<DesignSurface*>(object))
            return new SurfaceAccessible(surface);
        return nullptr;
    }
    if (key != QLatin1String("QObject"))
        return nullptr;
    auto* component = dynamic_cast<Component*>(object);
    if (!component || !(dynamic_cast<TQRCustomBand*>(component) || dynamic_cast<TQRPrintable*>(component)))
        return nullptr;
    DesignSurface* surface = surfaceShowing(component);
    return surface ? new ComponentAccessible(surface, component) : nullptr;
}

} // namespace

void installSurfaceAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(surfaceFactory);
        return true;
    }();
    (void)installed;
}

void registerSurface(DesignSurface& surface)
{
    installSurfaceAccessibility();
    QList<QPointer<DesignSurface>>& list = surfaces();
    list.removeAll(nullptr);
    list.append(&surface);
}

void announceSurfaceSelection(DesignSurface& surface)
{
    if (!QAccessible::isActive())
        return;   // no assistive tool listens: make no interfaces
    QAccessibleEvent within(&surface, QAccessible::SelectionWithin);
    QAccessible::updateAccessibility(&within);
    const auto selection = surface.document().selection();
    if (selection.empty())
        return;
    if (QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(selection.front())) {
        QAccessibleEvent selected(iface, QAccessible::Selection);
        QAccessible::updateAccessibility(&selected);
        if (surface.hasFocus()) {
            QAccessibleEvent focus(iface, QAccessible::Focus);
            QAccessible::updateAccessibility(&focus);
        }
    }
}

void announceSurfaceReordered(DesignSurface& surface)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent event(&surface, QAccessible::ObjectReorder);
    QAccessible::updateAccessibility(&event);
}

} // namespace cm
