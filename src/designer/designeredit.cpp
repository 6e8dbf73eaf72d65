// The designer's editing on the surface: the selection handle's rectangle,
// drags and arrow keys, alignment and grouping, Tab order, the context menu.
#include "designer/blockoperations.h"
#include "designer/designercore.h"
#include "designer/designobjects.h"
#include "designer/document.h"
#include "report/design.h"

#include <algorithm>
#include <utility>

namespace cm {

namespace {

using Key = std::pair<int, int>;   // (top, left): the reading order on a band

Key keyOf(const Component* c)
{
    return {c->bounds.top(), c->bounds.left()};
}

bool hasDesignProps(Component* c)
{
    if (auto* band = dynamic_cast<TQRCustomBand*>(c))
        return band->designProps() != nullptr;
    auto* p = dynamic_cast<TQRPrintable*>(c);
    return p && p->designProps();
}

bool selectable(TQRCustomBand* band)
{
    DesignBandProps* d = band->designProps();
    return !d || !d->blockSelection;
}

// The band after (or before) `from` by top, wrapping round; null when there is none.
TQRCustomBand* neighbourBand(const TQRCustomReport& report, const Component* from, bool forward)
{
    TQRCustomBand* best = nullptr;
    TQRCustomBand* wrap = nullptr;
    const int top = from ? from->bounds.top() : 0;
    for (TQRCustomBand* b : report.bandList()) {
        if (!selectable(b))
            continue;
        const int t = b->bounds.top();
        if (forward) {
            if (t > top && (!best || t < best->bounds.top()))
                best = b;
            if (!wrap || t < wrap->bounds.top())
                wrap = b;
        } else {
            if (t < top && (!best || t > best->bounds.top()))
                best = b;
            if (!wrap || t > wrap->bounds.top())
                wrap = b;
        }
    }
    return best ? best : wrap;
}

// The first (or last) child of a parent in reading order, or the one right
// after (before) `after` when given.
Component* childInOrder(const Component* parent, bool forward, const Component* after = nullptr)
{
    Component* best = nullptr;
    for (Component* c : parent->childControls()) {
        if (c == after || !isDesignObject(*c))
            continue;
        const Key k = keyOf(c);
        if (after && (forward ? !(k > keyOf(after)) : !(k < keyOf(after))))
            continue;
        if (!best || (forward ? k < keyOf(best) : k > keyOf(best)))
            best = c;
    }
    return best;
}

} // namespace

// ---------------------------------------------------------------- handle

Component* DesignerCore::selectionParent() const
{
    const std::vector<Component*> selection = document_.selection();
    return selection.empty() ? nullptr : selection.front()->parentControl();
}

QRect DesignerCore::handleRect() const
{
    return handleRectOf(document_.selection());
}

QPoint DesignerCore::parentOffset() const
{
    const Component* parent = selectionParent();
    return parent ? reportRectOf(*parent).topLeft() : QPoint();
}

bool DesignerCore::setHandleRect(const QRect& rect, const QString& stepName)
{
    const std::vector<Component*> selection = document_.selection();
    const QRect from = handleRectOf(selection);
    if (selection.empty() || !handleChangeHasEffect(selection, from, rect, options_) ||
        !handleChangeAllowed(selection, from, rect))
        return false;
    document_.beginChange(!stepName.isEmpty() ? stepName : rect.size() == from.size() ? tr("move") : tr("resize"));
    applyHandleChange(selection, from, rect, options_);
    document_.endChange();
    updateInfo();
    return true;
}

bool DesignerCore::moveSelection(int dx, int dy)
{
    return setHandleRect(handleRect().translated(dx, dy));
}

bool DesignerCore::resizeSelection(int dw, int dh)
{
    const QRect r = handleRect();
    return setHandleRect(QRect(r.topLeft(), QSize(r.width() + dw, r.height() + dh)));
}

QRect DesignerCore::dragResult(int zone, QPoint start, QPoint point, Qt::KeyboardModifiers modifiers) const
{
    const std::vector<Component*> selection = document_.selection();
    if (selection.empty())
        return QRect();
    DragInput drag;
    drag.zone = zone;
    drag.start = start;
    drag.point = point;
    drag.ctrl = modifiers & Qt::ControlModifier;
    drag.shift = modifiers & Qt::ShiftModifier;
    const QSize first = selection.front()->bounds.size();
    drag.ratio = first.height() > 0 ? double(first.width()) / first.height() : 1.0;
    return dragRect(handleRectOf(selection), drag, options_);
}

QPoint DesignerCore::clampToParent(QPoint point) const
{
    const Component* parent = selectionParent();
    if (!parent)
        return point;
    const QRect area = reportRectOf(*parent);
    return QPoint(std::clamp(point.x(), area.left(), area.left() + area.width()),
                  std::clamp(point.y(), area.top(), area.top() + area.height()));
}

bool DesignerCore::keyboardStep(int key, Qt::KeyboardModifiers modifiers)
{
    const QRect to = keyboardRect(handleRect(), key, modifiers, options_);
    return !to.isNull() && setHandleRect(to);
}

// ---------------------------------------------------------------- block operations

void DesignerCore::alignSelection(DesignCommand command)
{
    const std::vector<Component*> selection = document_.selection();
    if (command == DesignCommand::AlignParentCenterHorizontal || command == DesignCommand::AlignParentCenterVertical) {
        const QRect to =
            centredInParent(selection, handleRect(), command == DesignCommand::AlignParentCenterHorizontal);
        if (!to.isNull())
            setHandleRect(to, tr("centre"));
        return;
    }
    if (int(selection.size()) < std::max(1, componentsNeeded(command)))
        return;
    document_.beginChange(tr("align"));
    alignComponents(command, selection);
    document_.endChange();
    updateInfo();
}

void DesignerCore::groupSelection()
{
    const std::vector<Component*> selection = document_.selection();
    if (selection.empty())
        return;
    document_.beginChange(tr("group"));
    ++groupCounter_;
    for (Component* c : selection)
        setGroupId(c, groupCounter_);
    document_.endChange();
}

void DesignerCore::ungroup(Component* c)
{
    if (!c)
        return;
    document_.beginChange(tr("ungroup"));
    setGroupId(c, 0);
    document_.endChange();
    document_.deselect(c);
}

void DesignerCore::ungroupAll()
{
    const std::vector<Component*> selection = document_.selection();
    if (selection.empty())
        return;
    document_.beginChange(tr("ungroup"));
    for (Component* c : selection)
        setGroupId(c, 0);
    document_.endChange();
    clearSelection();
}

// ---------------------------------------------------------------- keyboard selection

void DesignerCore::selectNext(bool forward)
{
    const std::vector<Component*> selection = document_.selection();
    if (selection.empty() || !hasDesignProps(selection.front()))
        return;
    Component* from = selection.front();
    const TQRCustomReport& report = document_.report();
    Component* next = nullptr;
    if (isBand(from)) {
        if (forward) {
            next = childInOrder(from, true);
            if (!next)
                next = neighbourBand(report, from, true);
        } else {
            Component* band = neighbourBand(report, from, false);
            next = band ? childInOrder(band, false) : nullptr;
            if (!next)
                next = band;
        }
    } else {
        Component* parent = from->parentControl();
        next = parent ? childInOrder(parent, forward, from) : nullptr;
        if (!next && isBand(parent))
            next = forward ? neighbourBand(report, parent, true) : parent;
    }
    if (!next)
        next = from;
    {
        const QSignalBlocker quiet(&document_);
        document_.clearSelection();
    }
    select(next);
}

void DesignerCore::selectParentBand()
{
    const std::vector<Component*> selection = document_.selection();
    if (selection.empty() || !isBand(selection.front()->parentControl()))
        return;
    Component* band = selection.front()->parentControl();
    {
        const QSignalBlocker quiet(&document_);
        document_.clearSelection();
    }
    select(band);
}

// ---------------------------------------------------------------- editing and the menu

bool DesignerCore::editComponent(Component* c)
{
    if (!c || blockFlagsOf(*c).blockEdit)
        return false;
    if (!editProperties(c))
        return false;
    {
        const QSignalBlocker quiet(&document_);
        document_.clearSelection();
    }
    select(c);
    return true;
}

void DesignerCore::showContextMenu(Component* c, QPoint point)
{
    if (!c || !popupMenuHandler)
        return;
    enum class Action { None, Enabled, Edit, Options, Formula, PrintFormula, Scripts, Front, Back, Group, Ungroup,
                        UngroupAll };
    const QString enabledName = hasProperty(*c, u"EditorEnabled") ? QStringLiteral("EditorEnabled")
                                : hasProperty(*c, u"Enabled")     ? QStringLiteral("Enabled")
                                                                  : QString();
    bool enabled = false;
    QString marker = QStringLiteral("D");
    if (!enabledName.isEmpty()) {
        const auto value = getProperty(*c, enabledName);
        enabled = value && std::holds_alternative<bool>(*value) && std::get<bool>(*value);
        marker = enabled ? QStringLiteral("Y") : QStringLiteral("N");
    }
    std::vector<std::pair<QString, Action>> items;
    const auto add = [&](const char* key, const char* fallback, Action action) {
        items.emplace_back(message(QString::fromLatin1(key), QString::fromLatin1(fallback)), action);
    };
    const auto separator = [&] { items.emplace_back(QStringLiteral("-"), Action::None); };
    items.emplace_back(QChar(0) + marker + message(QStringLiteral("PopupMenuEnabled"), QStringLiteral("Enabled")),
                       Action::Enabled);
    separator();
    add("PopupMenuProperties", "Properties", Action::Edit);
    add("PopupMenuOptions", "Options", Action::Options);
    separator();
    const int count = document_.selectionCount();
    // A band's formulas: what it prints under, and a group's grouping.
    if (count == 1 && isBand(c) && editFormulaHandler && !blockFlagsOf(*c).blockEdit) {
        if (hasProperty(*c, u"Expression"))
            add("PopupMenuExpression", "Expression...", Action::Formula);
        if (hasProperty(*c, u"PrintExpression"))
            add("PopupMenuPrintExpression", "Print expression...", Action::PrintFormula);
        separator();
    }
    if (count == 1 && hasProperty(*c, u"DesignBackground") && options_.scriptsEnabled && options_.scriptEditByUser) {
        add("PopupMenuScripts", "Scripts", Action::Scripts);
        separator();
    }
    add("PopupMenuBringToFront", "Bring to front", Action::Front);
    add("PopupMenuSendToBack", "Send to back", Action::Back);
    if (groupIdOf(c) != 0 || count >= 2) {
        separator();
        add("PopupMenuGroup", "Group", Action::Group);
        if (groupIdOf(c) != 0) {
            add("PopupMenuUngroup", "Ungroup", Action::Ungroup);
            add("PopupMenuUngroupAll", "Ungroup all", Action::UngroupAll);
        }
    }
    QStringList texts;
    for (const auto& item : items)
        texts << item.first;
    const int chosen = popupMenuHandler(texts, point);
    if (chosen < 0 || chosen >= int(items.size()))
        return;
    switch (items[size_t(chosen)].second) {
    case Action::Enabled:
        if (!enabledName.isEmpty()) {
            document_.beginChange(enabled ? tr("disable") : tr("enable"));
            cm::setProperty(*c, enabledName, PropValue(!enabled));
            document_.endChange();
        }
        break;
    case Action::Edit: editComponent(c); break;
    case Action::Options:
        if (blockOptionsHandler)
            blockOptionsHandler(c);
        break;
    case Action::Formula: editFormulaHandler(c, QStringLiteral("Expression")); break;
    case Action::PrintFormula: editFormulaHandler(c, QStringLiteral("PrintExpression")); break;
    case Action::Scripts:
        if (editScriptHandler)
            editScriptHandler(c);
        break;
    case Action::Front: bringSelectionToFront(); break;
    case Action::Back: sendSelectionToBack(); break;
    case Action::Group: groupSelection(); break;
    case Action::Ungroup: ungroup(c); break;
    case Action::UngroupAll: ungroupAll(); break;
    case Action::None: break;
    }
}

} // namespace cm
