#pragma once
// One open layout. The document is the only writer of its report: it owns
// the workspace (window and data-module containers, report, loader), the
// file name, the modified flag and the selection, and tells the surface,
// the toolbars and the Data tab about every change. The selection is held
// by component names, because undo and load rebuild the components.
#include "layout/workspace.h"

#include <QObject>
#include <QStringList>
#include <memory>
#include <vector>

namespace cm {

class MessageBoxes;
class Component;
class UndoHistory;

class Document : public QObject {
    Q_OBJECT
public:
    explicit Document(MessageBoxes& boxes, QObject* parent = nullptr);
    ~Document() override;

    Workspace& workspace() { return *workspace_; }
    TQRDesignReport& report() { return *workspace_->report; }
    TQRDesigner& loader() { return *workspace_->designer; }
    MessageBoxes& boxes() { return boxes_; }

    // The current layout file (ActiveDesignFile): a full path, or a bare name.
    QString fileName() const { return fileName_; }
    void setFileName(const QString& name);

    // Loads a layout. On failure the loader has shown its message, the report
    // is as before and the file name stays (so a following Save does not
    // overwrite the file that failed to load).
    bool load(const QString& path);
    // Loads layout bytes (a recovery copy) under the given file name; the
    // modified flag is set as asked. On failure nothing changes.
    bool loadData(const QByteArray& data, const QString& fileName, bool modified);
    // Saves; a failed save keeps the old file and the modified flag.
    bool save(const QString& path);

    bool isModified() const;
    void setModified(bool modified);

    // Every edit runs between these: beginChange marks the layout modified
    // and keeps the layout as it was; endChange records one undo step named
    // `stepName` ("move", "paste" ...) and tells the views. Nested pairs make
    // one step, named by the outermost. A change that leaves the layout as
    // it was takes no step and leaves the modified flag as it was.
    // `mergeKey`: see UndoHistory::record.
    void beginChange(const QString& stepName = QString(), const QString& mergeKey = QString());
    void endChange();
    // Ends the outermost change by putting the layout back as it was before
    // it (a paste that failed half-way); no step is recorded.
    void cancelChange();
    // Repaint without a change (selection refresh, after a property dialog).
    void refresh() { emit changed(); }

    // Selection, in selection order; all selected components share one parent.
    QStringList selectionNames() const { return selection_; }
    std::vector<Component*> selection() const;
    int selectionCount() const { return int(selection_.size()); }
    bool isSelected(const Component* c) const;
    void select(Component* c, bool add);
    void deselect(Component* c);
    void clearSelection();
    void setSelection(const std::vector<Component*>& components);

    // Zoom in percent (10 .. 300): a view transform. It is the report's stored
    // zoom, but changing it does not rewrite any component's bounds.
    int zoom() const;
    void setZoom(int zoom);

    Component* findComponent(const QString& name) const;

    // Undo and redo over the steps the changes recorded (the layout as it
    // was before and after each). Loading or starting a layout empties them.
    UndoHistory& history() { return *history_; }
    bool canUndo() const;
    bool canRedo() const;
    bool undo();
    bool redo();
    void clearUndo();
    // The whole layout as a file would hold it (recovery copies).
    QByteArray layoutBytes();
    // Drops names of components that no longer exist (after a delete).
    void pruneSelection();

signals:
    void changed();                    // the model changed: repaint
    void selectionChanged(int count);
    void modifiedChanged(bool modified);
    void reportReplaced();             // loaded or reset: every component is new
    void zoomChanged(int zoom);
    void fileNameChanged(const QString& fileName);
    void historyChanged();             // undo or redo became possible or not, or their names changed

private:
    void loadFailed();
    void loaded(const QString& fileName, bool modified);
    // Puts recorded layout bytes back (undo and redo) with the selection
    // they had, keeping the file name.
    bool restore(const QByteArray& layout, const QStringList& selection);
    bool takeStep(bool back);   // undo (back) or redo

    MessageBoxes& boxes_;
    std::unique_ptr<Workspace> workspace_;
    QString fileName_;
    QStringList selection_;
    bool modified_ = false;
    struct Private;
    std::unique_ptr<Private> d_;
    std::unique_ptr<UndoHistory> history_;
};

} // namespace cm
