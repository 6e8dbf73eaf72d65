#include "designer/document.h"

#include "designer/messageboxes.h"
#include "designer/undohistory.h"

#include <algorithm>
#include <utility>

namespace cm {

namespace {

// Routes the loader's runtime messages into the document's message boxes.
class BoxesSink : public MessageSink {
public:
    explicit BoxesSink(MessageBoxes& boxes) : boxes_(boxes) {}
    void showError(const QString& text) override { boxes_.error(text); }

private:
    MessageBoxes& boxes_;
};

} // namespace

struct Document::Private {
    explicit Private(MessageBoxes& boxes) : sink(boxes) {}
    BoxesSink sink;
    int changeDepth = 0;
    // The outermost change going on: its name, the layout before it and
    // the modified flag before it.
    QString stepName;
    QByteArray before;
    QStringList selectionBefore;
    QString mergeKey;
    bool modifiedBefore = false;
};

Document::Document(MessageBoxes& boxes, QObject* parent)
    : QObject(parent), boxes_(boxes), workspace_(std::make_unique<Workspace>()), d_(std::make_unique<Private>(boxes)),
      history_(std::make_unique<UndoHistory>())
{
    workspace_->designer->messageSink = &d_->sink;
    workspace_->designer->askQueryParam = [this](const QString& caption, const QString& prompt, QString& value) {
        return boxes_.inputText(caption, prompt, value);
    };
}

Document::~Document() = default;

void Document::setFileName(const QString& name)
{
    if (name == fileName_)
        return;
    fileName_ = name;
    emit fileNameChanged(fileName_);
}

bool Document::load(const QString& path)
{
    const QString previous = loader().loadedFileName;
    if (!loader().loadReport(path)) {
        loader().loadedFileName = previous;
        loadFailed();
        return false;
    }
    loaded(path, false);
    return true;
}

bool Document::loadData(const QByteArray& data, const QString& fileName, bool modified)
{
    const QString previous = loader().loadedFileName;
    if (!loader().loadFromData(data)) {
        loader().loadedFileName = previous;
        loadFailed();
        return false;
    }
    loader().loadedFileName = fileName;
    loaded(fileName, modified);
    return true;
}

void Document::loadFailed()
{
    // The loader put the report back as it was; the views may still need a repaint.
    pruneSelection();
    emit changed();
}

void Document::loaded(const QString& fileName, bool modified)
{
    selection_.clear();
    clearUndo();
    setFileName(fileName);
    setModified(modified);
    emit reportReplaced();
    emit selectionChanged(0);
    emit zoomChanged(zoom());
    emit changed();
}

bool Document::save(const QString& path)
{
    if (!loader().saveToFile(path))
        return false;
    setFileName(path);
    setModified(false);
    return true;
}

bool Document::isModified() const
{
    return modified_;
}

void Document::setModified(bool modified)
{
    // The loader keeps its own copy (it clears it after a load or save).
    workspace_->designer->modified = modified;
    if (modified_ == modified)
        return;
    modified_ = modified;
    emit modifiedChanged(modified);
}

void Document::beginChange(const QString& stepName, const QString& mergeKey)
{
    if (d_->changeDepth++ == 0) {
        d_->mergeKey = mergeKey;
        d_->stepName = stepName.isEmpty() ? tr("change") : stepName;
        d_->before = loader().saveSnapshot();
        d_->selectionBefore = selection_;
        d_->modifiedBefore = modified_;
    }
    setModified(true);
}

void Document::endChange()
{
    if (d_->changeDepth == 0)
        return;
    if (--d_->changeDepth > 0)
        return;
    const QByteArray before = std::exchange(d_->before, QByteArray());
    const QByteArray after = loader().saveSnapshot();
    if (after == before) {
        // Nothing changed after all (a drag back to where it started, a
        // cancelled dialog): no step, and the flag is as it was.
        setModified(d_->modifiedBefore);
    } else {
        pruneSelection();
        history_->record(d_->stepName, {before, d_->selectionBefore}, {after, selection_},
                         d_->mergeKey);
        emit historyChanged();
    }
    pruneSelection();
    emit changed();
}

void Document::cancelChange()
{
    if (d_->changeDepth != 1)
        return;
    d_->changeDepth = 0;
    const QByteArray before = std::exchange(d_->before, QByteArray());
    restore(before, d_->selectionBefore);
    setModified(d_->modifiedBefore);
}

bool Document::canUndo() const
{
    return history_->canUndo();
}

bool Document::canRedo() const
{
    return history_->canRedo();
}

bool Document::undo()
{
    return takeStep(true);
}

bool Document::redo()
{
    return takeStep(false);
}

bool Document::takeStep(bool back)
{
    if (d_->changeDepth > 0)
        return false;
    const UndoHistory::State* state = back ? history_->stepBack() : history_->stepForward();
    if (!state)
        return false;
    if (!restore(state->layout, state->selection)) {
        history_->cancelStep(back);
        return false;
    }
    emit historyChanged();
    return true;
}

bool Document::restore(const QByteArray& layout, const QStringList& selection)
{
    const QStringList keep = selection;
    // Undo steps hold the report only; the layout's data sets stay as they are.
    const bool ok = loader().loadSnapshot(layout);
    setModified(true);
    selection_ = keep;
    pruneSelection();
    emit reportReplaced();
    emit selectionChanged(selectionCount());
    emit changed();
    return ok;
}

void Document::clearUndo()
{
    history_->clear();
    emit historyChanged();
}

QByteArray Document::layoutBytes()
{
    return loader().saveToData();
}

std::vector<Component*> Document::selection() const
{
    std::vector<Component*> out;
    out.reserve(size_t(selection_.size()));
    for (const QString& name : selection_) {
        if (Component* c = findComponent(name))
            out.push_back(c);
    }
    return out;
}

bool Document::isSelected(const Component* c) const
{
    return c && !c->name().isEmpty() && selection_.contains(c->name(), Qt::CaseInsensitive);
}

void Document::select(Component* c, bool add)
{
    if (!c || c->name().isEmpty())
        return;
    if (add) {
        // A selection never mixes parents: a component of another parent starts anew.
        const std::vector<Component*> current = selection();
        if (!current.empty() && current.front()->parentControl() != c->parentControl())
            selection_.clear();
        if (isSelected(c))
            return;
        selection_ << c->name();
    } else {
        if (selection_.size() == 1 && isSelected(c))
            return;
        selection_ = QStringList{c->name()};
    }
    emit selectionChanged(selectionCount());
}

void Document::deselect(Component* c)
{
    if (!c || !isSelected(c))
        return;
    selection_.removeIf([&](const QString& n) { return n.compare(c->name(), Qt::CaseInsensitive) == 0; });
    emit selectionChanged(selectionCount());
}

void Document::clearSelection()
{
    if (selection_.isEmpty())
        return;
    selection_.clear();
    emit selectionChanged(0);
}

void Document::setSelection(const std::vector<Component*>& components)
{
    QStringList names;
    const Component* parent = nullptr;
    for (Component* c : components) {
        if (!c || c->name().isEmpty())
            continue;
        if (names.isEmpty())
            parent = c->parentControl();
        else if (c->parentControl() != parent)
            continue;
        if (!names.contains(c->name(), Qt::CaseInsensitive))
            names << c->name();
    }
    if (names == selection_)
        return;
    selection_ = names;
    emit selectionChanged(selectionCount());
}

int Document::zoom() const
{
    return workspace_->report->zoom();
}

void Document::setZoom(int zoom)
{
    zoom = std::clamp(zoom, 10, 300);
    if (zoom == this->zoom())
        return;
    workspace_->report->setZoom(zoom);
    emit zoomChanged(zoom);
    emit changed();
}

Component* Document::findComponent(const QString& name) const
{
    if (name.isEmpty())
        return nullptr;
    return workspace_->window.findComponent(name);
}

void Document::pruneSelection()
{
    const qsizetype before = selection_.size();
    selection_.removeIf([&](const QString& n) { return !findComponent(n); });
    if (selection_.size() != before)
        emit selectionChanged(selectionCount());
}

} // namespace cm
