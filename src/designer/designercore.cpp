#include "designer/designercore.h"

#include "designer/blockoperations.h"
#include "designer/componentinfo.h"
#include "designer/designobjects.h"
#include "designer/document.h"
#include "designer/messageboxes.h"
#include "report/design.h"

#include <QClipboard>
#include <QGuiApplication>
#include <algorithm>
#include <map>

namespace cm {

namespace {

constexpr int kNoPoint = -10000;

// The rectangle with both points as corners, both included.
QRect spanned(QPoint a, QPoint b)
{
    return QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                 QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y())));
}

TQRControl* fontHolder(Component* c)
{
    return hasProperty(*c, u"Font") ? dynamic_cast<TQRControl*>(c) : nullptr;
}

} // namespace

DesignerCore::DesignerCore(Document& document, QObject* parent) : QObject(parent), document_(document)
{
    options_.bandNameFont.setName(QStringLiteral("MS Sans Serif"));
    options_.bandNameFont.setColor(0xC0C0C0);
    options_.bandNameFont.setHeight(20);
    connect(&document_, &Document::selectionChanged, this, [this] {
        updateSelectionControls();
        updateInfo();
    });
    connect(&document_, &Document::changed, this, &DesignerCore::updateSelectionControls);
    connect(&document_, &Document::historyChanged, this, &DesignerCore::updateSelectionControls);
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &DesignerCore::updatePasteState);
        canPaste_ = canPasteNow();
    }
    connect(&document_, &Document::reportReplaced, this, [this] {
        setDesignState(DesignState::Normal);
        rubberStart_ = rubberCurrent_ = QPoint(kNoPoint, kNoPoint);
    });
    updateSelectionControls();
}

DesignerCore::~DesignerCore() = default;

void DesignerCore::setDesignState(DesignState state)
{
    if (state == state_)
        return;
    state_ = state;
    emit designStateChanged(state);
}

// ---------------------------------------------------------------- mouse

void DesignerCore::mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, Component* sender, QPoint point)
{
    const bool normal = state_ == DesignState::Normal;
    if (button == Qt::LeftButton && normal && (modifiers & Qt::ControlModifier || !sender)) {
        startRubberBand(point);
        return;
    }
    if (button != Qt::LeftButton || !normal || !sender) {
        if (button == Qt::RightButton && normal && !sender && document_.selectionCount() == 0) {
            int chosen = 0;
            if (options_.scriptsEnabled && options_.scriptEditByUser && popupMenuHandler) {
                chosen = popupMenuHandler({message(QStringLiteral("PopupMenuProperties"), QString()),
                                           QStringLiteral("-"),
                                           message(QStringLiteral("PopupMenuScripts"), QStringLiteral("Scripts"))},
                                          point);
            }
            if (chosen == 0)
                editProperties(&document_.report());
            else if (chosen == 2 && editScriptHandler)
                editScriptHandler(&document_.report());
        } else if (!normal && button == Qt::LeftButton) {
            insertAt(point);
        }
        return;
    }
    if (!document_.isSelected(sender)) {
        if (!(modifiers & Qt::ShiftModifier))
            clearSelection();
        select(sender);
    }
}

void DesignerCore::mouseMove(QPoint point)
{
    if (!rubberBandActive())
        return;
    rubberCurrent_ = point;
    emit rubberBandChanged(rubberBand());
}

void DesignerCore::mouseUp(Qt::MouseButton, Qt::KeyboardModifiers, QPoint point)
{
    if (rubberBandActive())
        finishRubberBand(point);
}

Component* DesignerCore::hitTest(QPoint point) const
{
    TQRDesignReport& report = document_.report();
    const auto& children = report.childControls();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        Component* c = *it;
        if (!reportRectOf(*c).contains(point))
            continue;
        if (!isBand(c))
            return c;
        const auto& elements = c->childControls();
        for (auto e = elements.rbegin(); e != elements.rend(); ++e) {
            if (reportRectOf(**e).contains(point))
                return *e;
        }
        return c;
    }
    return nullptr;
}

QRect DesignerCore::reportRect(const Component* c) const
{
    return c ? reportRectOf(*c) : QRect();
}

bool DesignerCore::rubberBandActive() const
{
    return rubberStart_.x() != kNoPoint;
}

QRect DesignerCore::rubberBand() const
{
    if (!rubberBandActive())
        return QRect();
    return spanned(rubberStart_, rubberCurrent_);
}

void DesignerCore::startRubberBand(QPoint point)
{
    rubberStart_ = rubberCurrent_ = point;
    clearSelection();
    emit rubberBandChanged(rubberBand());
}

void DesignerCore::finishRubberBand(QPoint point)
{
    const QRect area = spanned(rubberStart_, point);
    // The width of this rectangle is one short of the span; the edge test adds it back.
    const QRect span(area.topLeft(), QSize(area.width() - 1, area.height() - 1));
    rubberStart_ = rubberCurrent_ = QPoint(kNoPoint, kNoPoint);
    emit rubberBandChanged(QRect());

    // Ordered by top, then left, through the text key; the first of equal keys wins.
    std::map<QString, Component*> found;
    for (Component* c : document_.report().owner()->components()) {
        if (isBand(c) || !isDesignObject(*c) || !c->parentControl())
            continue;
        const QRect r = reportRectOf(*c);
        if (!touchesWithEdges(span, r))
            continue;
        const QString key = QString::number(r.top() + 100000) + QString::number(r.left() + 10000);
        found.emplace(key, c);
    }
    for (const auto& [key, c] : found)
        select(c);
}

// ---------------------------------------------------------------- selection

void DesignerCore::select(Component* c)
{
    if (!c || document_.isSelected(c))
        return;
    // Selecting a component of another parent starts a new selection.
    std::vector<Component*> next = document_.selection();
    if (!next.empty() && next.front()->parentControl() != c->parentControl())
        next.clear();
    next.push_back(c);
    if (const int group = groupIdOf(c); group != 0 && c->parentControl()) {
        for (Component* sibling : c->parentControl()->childControls()) {
            if (sibling != c && groupIdOf(sibling) == group && !document_.isSelected(sibling))
                next.push_back(sibling);
        }
    }
    document_.setSelection(next);
    if (TQRControl* f = fontHolder(c))
        syncFontControls(f->font());
}

void DesignerCore::deselect(Component* c)
{
    document_.deselect(c);
}

void DesignerCore::clearSelection()
{
    const bool had = document_.selectionCount() > 0;
    document_.clearSelection();
    if (!had) {
        updateSelectionControls();
        updateInfo();
    }
    syncFontControls(document_.report().font());
}

void DesignerCore::selectFromShell(Component* c, bool replace)
{
    if (replace)
        clearSelection();
    if (c)
        select(c);
}

void DesignerCore::setCanPaste(bool canPaste)
{
    if (canPaste == canPaste_)
        return;
    canPaste_ = canPaste;
    updateSelectionControls();
}

void DesignerCore::refreshSelection()
{
    document_.refresh();
}

void DesignerCore::undo()
{
    if (options_.undoEnabled && document_.undo())
        afterHistoryStep();
}

void DesignerCore::redo()
{
    if (options_.undoEnabled && document_.redo())
        afterHistoryStep();
}

void DesignerCore::afterHistoryStep()
{
    updateSelectionControls();
    updateInfo();
    const std::vector<Component*> selection = document_.selection();
    TQRControl* f = selection.size() == 1 ? fontHolder(selection.front()) : nullptr;
    syncFontControls(f ? f->font() : document_.report().font());
}

void DesignerCore::updateSelectionControls()
{
    const int n = document_.selectionCount();
    auto set = [this](DesignCommand c, bool on) { enabled_[size_t(c)] = on; };
    using C = DesignCommand;
    for (C c : {C::TextLeftAlign, C::TextRightAlign, C::TextCenter, C::Copy, C::Cut, C::Delete, C::SendToBack,
                C::BringToFront, C::AlignParentCenterHorizontal, C::AlignParentCenterVertical})
        set(c, n >= 1);
    for (C c : {C::AlignLeft, C::AlignRight, C::AlignTop, C::AlignBottom, C::AlignCenterHorizontal,
                C::AlignCenterVertical})
        set(c, n >= 2);
    set(C::AlignEqualSpaceHorizontal, n >= 3);
    set(C::AlignEqualSpaceVertical, n >= 3);
    set(C::Paste, canPaste_);
    set(C::Undo, options_.undoEnabled && document_.canUndo());
    set(C::Redo, options_.undoEnabled && document_.canRedo());
    emit controlsChanged();
}

void DesignerCore::updateInfo()
{
    const std::vector<Component*> selection = document_.selection();
    Component* one = selection.size() == 1 ? selection.front() : nullptr;
    QString text = one ? describeComponent(*one, document_.loader().runtimeMessages) : QString();
    if (showInfoHandler)
        showInfoHandler(one, text);
    info_ = text;
    emit infoChanged(info_);
}

void DesignerCore::syncFontControls(const TQRFont& font)
{
    const QString size = QString::number(font.size());
    const bool bold = font.hasStyle(fsBold), italic = font.hasStyle(fsItalic), underline = font.hasStyle(fsUnderline);
    if (document_.selectionCount() > 1) {
        updateInfo();
        if (fontControls_.name != font.name())
            fontControls_.name.clear();
        if (fontControls_.sizeText != size)
            fontControls_.sizeText.clear();
        fontControls_.bold = fontControls_.bold && bold;
        fontControls_.italic = fontControls_.italic && italic;
        fontControls_.underline = fontControls_.underline && underline;
    } else {
        fontControls_ = FontControls{font.name(), size, bold, italic, underline};
    }
    emit fontControlsChanged(fontControls_);
}

int DesignerCore::textAlignment() const
{
    for (Component* c : document_.selection()) {
        if (auto* p = dynamic_cast<TQRPrintable*>(c); p && hasProperty(*c, u"Alignment"))
            return int(p->alignment());
    }
    return -1;
}

// ---------------------------------------------------------------- commands

void DesignerCore::deleteSelection()
{
    const std::vector<Component*> selection = document_.selection();
    if (selection.empty())
        return;
    if (!deleteElementHandler && isBand(selection.front())) {
        if (selection.size() == 1) {
            if (blockFlagsOf(*selection.front()).blockDelete || !confirm(QStringLiteral("Delete band")))
                return;
        } else if (!confirm(QStringLiteral("Delete selected bands"))) {
            return;
        }
    }
    document_.beginChange(tr("delete"));
    const QStringList names = document_.selectionNames();
    {
        const QSignalBlocker quiet(&document_);
        document_.clearSelection();
    }
    for (const QString& name : names) {
        Component* c = document_.findComponent(name);
        if (!c || blockFlagsOf(*c).blockDelete)
            continue;
        if (deleteElementHandler && !deleteElementHandler(c))
            continue;
        if (isBand(c)) {
            for (auto* child : c->owner()->componentsOf<TQRChildBand>()) {
                if (child->parentBand() == c)
                    child->setParentBand(nullptr);
            }
            // Elements are owned by the container, not the band: they go first.
            const std::vector<Component*> elements = c->childControls();
            for (Component* e : elements)
                destroyComponent(e);
        }
        destroyComponent(c);
    }
    document_.endChange();
    clearSelection();
}

void DesignerCore::bringSelectionToFront()
{
    moveSelectionInZOrder(true);
}

void DesignerCore::sendSelectionToBack()
{
    moveSelectionInZOrder(false);
}

void DesignerCore::moveSelectionInZOrder(bool toFront)
{
    const std::vector<Component*> selection = document_.selection();
    if (selection.empty())
        return;
    document_.beginChange(toFront ? tr("bring to front") : tr("send to back"));
    for (Component* c : selection) {
        if (Component* parent = c->parentControl())
            parent->moveChild(c, toFront ? int(parent->childControls().size()) - 1 : 0);
    }
    document_.endChange();
}

void DesignerCore::applyFont(const QString& stepName, const std::function<void(TQRFont&)>& change, bool penColor,
                             TColor color)
{
    document_.beginChange(stepName);
    const std::vector<Component*> selection = document_.selection();
    if (selection.empty()) {
        change(document_.report().font());
    } else {
        for (Component* c : selection) {
            if (blockFlagsOf(*c).blockEdit)
                continue;
            if (TQRControl* f = fontHolder(c)) {
                change(f->font());
            } else if (auto* shape = dynamic_cast<TQRShape*>(c); penColor && shape && hasProperty(*c, u"Pen")) {
                shape->pen.color = color;
            }
        }
    }
    document_.endChange();
    refreshSelection();
}

void DesignerCore::setFontStyle(int bold, int underline, int italic)
{
    uint32_t add = 0, remove = 0;
    auto take = [&](int how, FontStyleBit bit) {
        if (how > 0)
            add |= bit;
        else if (how < 0)
            remove |= bit;
    };
    take(bold, fsBold);
    take(underline, fsUnderline);
    take(italic, fsItalic);
    applyFont(tr("font style"), [&](TQRFont& f) { f.setStyle(SetBits{(f.style().bits | add) & ~remove}); });
}

void DesignerCore::setFontName(const QString& name)
{
    if (!name.isEmpty())
        applyFont(tr("font"), [&](TQRFont& f) { f.setName(name); });
}

void DesignerCore::setFontSize(const QString& sizeText)
{
    bool ok = false;
    const int points = sizeText.trimmed().toInt(&ok);
    if (!ok || points <= 0)
        return;
    applyFont(tr("font size"), [&](TQRFont& f) { f.setSize(points); });
}

void DesignerCore::setFontColor(TColor color)
{
    applyFont(tr("colour"), [&](TQRFont& f) { f.setColor(color); }, true, color);
}

void DesignerCore::setTextAlignment(int alignment)
{
    if (alignment < 0 || alignment > 2)
        return;
    const std::vector<Component*> selection = document_.selection();
    if (selection.empty())
        return;
    document_.beginChange(tr("text alignment"));
    for (Component* c : selection) {
        if (auto* p = dynamic_cast<TQRPrintable*>(c); p && hasProperty(*c, u"Alignment"))
            p->setAlignment(TAlignment(alignment));
    }
    document_.endChange();
    refreshSelection();
}

// ---------------------------------------------------------------- messages

void DesignerCore::showError(const QString& key, const QString& parameter) const
{
    document_.boxes().error(document_.loader().runtimeMessages.errorText(key, parameter));
}

bool DesignerCore::confirm(const QString& key) const
{
    QString text = document_.loader().runtimeMessages.text(key);
    if (text.isEmpty())
        text = u'[' + key + u']';
    return document_.boxes().confirm(text);
}

QString DesignerCore::message(const QString& key, const QString& fallback) const
{
    return document_.loader().runtimeMessages.textOr(key, fallback);
}

bool DesignerCore::editProperties(Component* c)
{
    if (!c || !editPropertiesHandler)
        return false;
    // The dialog's changes are one step; a cancelled dialog leaves none.
    document_.beginChange(tr("properties"));
    const bool edited = editPropertiesHandler(c);
    document_.endChange();
    if (edited) {
        document_.refresh();
        if (TQRControl* f = fontHolder(c))
            syncFontControls(f->font());
    }
    return edited;
}

} // namespace cm
