#include "helpsystem.h"

#include "helpindex.h"
#include "helpwindow.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QSet>
#include <QToolButton>
#include <QWidget>

namespace cm {

namespace {

struct ContextTopic {
    int context;
    const char* page;
    const char* anchor;
};

// Help context numbers of the window's controls and dialogs and their topics.
constexpr ContextTopic kContextTopics[] = {
    {5000, "file.html", "new"},
    {5010, "file.html", "open"},
    {5030, "file.html", "save"},
    {5040, "file.html", "print"},
    {5050, "file.html", "preview"},
    {5060, "elements.html", "text"},
    {5070, "elements.html", "page-setup"},
    {5080, "elements.html", "page-header"},
    {5090, "elements.html", "system-info"},
    {5100, "edit.html", "cut"},
    {5110, "edit.html", "copy"},
    {5120, "edit.html", "paste"},
    {5130, "edit.html", "front"},
    {5140, "edit.html", "back"},
    {5150, "format.html", "frame"},
    {5160, "format.html", "font-toolbar"},
    {5170, "format.html", "alignment-toolbar"},
    {5180, "elements.html", "shape"},
    {5190, "data.html", "sort"},
    {5200, "data.html", "unsort"},
    {5210, "data.html", "navigator"},
    {5220, "data.html", "group-by"},
    {5230, "designing.html", "report"},
    {5240, "elements.html", "data-field"},
    {5250, "elements.html", "image"},
    {90001, "dialogs.html", "frame-dialog"},
    {90028, "dialogs.html", "data-field-dialog"},
    {90029, "dialogs.html", "text-dialog"},
    {90030, "dialogs.html", "expression-dialog"},
    {90031, "dialogs.html", "memo-dialog"},
    {90032, "dialogs.html", "rich-text-dialog"},
    {90035, "dialogs.html", "shape-dialog"},
    {90036, "dialogs.html", "system-dialog"},
    {90043, "dialogs.html", "options-dialog"},
    {90044, "dialogs.html", "report-properties"},
};

const ContextTopic* contextTopic(int helpContext)
{
    for (const ContextTopic& t : kContextTopics)
        if (t.context == helpContext)
            return &t;
    return nullptr;
}

int ownContext(const QObject* object)
{
    return object->property("helpContext").toInt();
}

} // namespace

HelpSystem::HelpSystem(const QString& manualFolder, QObject* parent)
    : QObject(parent)
    , folder_(manualFolder)
{
}

// The window may belong to a parent widget, but it reads this object's index.
HelpSystem::~HelpSystem()
{
    delete window_.data();
}

bool HelpSystem::isAvailable() const
{
    return QFileInfo::exists(folder_ + QStringLiteral("/index.html"));
}

const HelpIndex& HelpSystem::index() const
{
    if (!index_)
        index_ = std::make_unique<HelpIndex>(folder_);
    return *index_;
}

HelpWindow* HelpSystem::helpWindow() const
{
    return window_;
}

HelpWindow* HelpSystem::window(QWidget* parent)
{
    if (!window_)
        window_ = new HelpWindow(index(), parent);
    return window_;
}

void HelpSystem::showContents(QWidget* parent)
{
    HelpWindow* w = window(parent);
    w->showContents();
    if (!isAvailable())
        w->showMessage(tr("The manual was not found in %1.").arg(folder_));
}

void HelpSystem::showSearch(QWidget* parent)
{
    showContents(parent);
    window_->startSearch();
}

void HelpSystem::showTopic(int helpContext, QWidget* parent)
{
    const QUrl url = topicUrl(helpContext);
    if (url.isEmpty()) {
        showContents(parent);
        window_->showMessage(tr("There is no help topic for this item (help context %1).").arg(helpContext));
        return;
    }
    window(parent)->showUrl(url);
}

QString HelpSystem::topicOf(int helpContext)
{
    const ContextTopic* t = contextTopic(helpContext);
    return t ? QStringLiteral("%1#%2").arg(QLatin1String(t->page), QLatin1String(t->anchor)) : QString();
}

QList<int> HelpSystem::knownContexts()
{
    QList<int> list;
    for (const ContextTopic& t : kContextTopics)
        list << t.context;
    return list;
}

QUrl HelpSystem::topicUrl(int helpContext) const
{
    const ContextTopic* t = contextTopic(helpContext);
    if (!t)
        return {};
    const HelpTopic* topic = index().find(QLatin1String(t->page), QLatin1String(t->anchor));
    return topic ? index().url(*topic) : QUrl();
}

QString HelpSystem::whatsThisText(int helpContext) const
{
    const ContextTopic* t = contextTopic(helpContext);
    if (!t)
        return {};
    const HelpTopic* topic = index().find(QLatin1String(t->page), QLatin1String(t->anchor));
    return topic ? topic->summary : QString();
}

int HelpSystem::contextOf(const QWidget* widget)
{
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        if (const int own = ownContext(w))
            return own;
        if (auto* label = qobject_cast<const QLabel*>(w); label && label->buddy() && label->buddy() != label)
            return contextOf(label->buddy());
        if (auto* button = qobject_cast<const QToolButton*>(w); button && button->defaultAction())
            if (const int own = ownContext(button->defaultAction()))
                return own;
        if (w->isWindow())
            break;
    }
    return 0;
}

int HelpSystem::contextOf(const QAction* action)
{
    if (const int own = ownContext(action))
        return own;
    for (const QObject* o : action->associatedObjects()) {
        auto* w = qobject_cast<const QWidget*>(o);
        if (w && !qobject_cast<const QMenu*>(w))
            if (const int c = contextOf(w))
                return c;
    }
    if (auto* owner = qobject_cast<const QWidget*>(action->parent()))
        return contextOf(owner);
    return 0;
}

void HelpSystem::applyWhatsThis(QWidget* root) const
{
    if (!root)
        return;
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    QSet<QAction*> actions;
    for (QAction* a : root->findChildren<QAction*>())
        actions.insert(a);
    for (QWidget* w : widgets) {
        for (QAction* a : w->actions())
            actions.insert(a);
        const QString text = whatsThisText(contextOf(w));
        if (!text.isEmpty())
            w->setWhatsThis(text);
    }
    // After the widgets: a tool button takes its action's text when it changes.
    for (QAction* a : actions) {
        const QString text = whatsThisText(contextOf(a));
        if (!text.isEmpty())
            a->setWhatsThis(text);
    }
}

} // namespace cm
