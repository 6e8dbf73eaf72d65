// Copy, cut and paste of bands and elements, and pasting text and pictures
// from other programs as new elements.
#include "designer/designercore.h"

#include "designer/blockoperations.h"
#include "designer/designclipboard.h"
#include "designer/designobjects.h"
#include "designer/document.h"
#include "layout/componentstream.h"
#include "report/design.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <algorithm>

namespace cm {

namespace {

QClipboard* systemClipboard()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::clipboard() : nullptr;
}

// The selection in stacking order (back to front), as the parent holds it.
std::vector<Component*> inStackingOrder(const std::vector<Component*>& selection)
{
    Component* parent = selection.front()->parentControl();
    if (!parent)
        return selection;
    std::vector<Component*> out;
    for (Component* c : parent->childControls()) {
        if (std::find(selection.begin(), selection.end(), c) != selection.end())
            out.push_back(c);
    }
    return out;
}

// Names every component of the pasted tree that came without one (its
// stored name was taken) afresh, so that it can be selected and referred to.
void nameUnnamed(Component* c)
{
    if (c->name().isEmpty())
        c->setName(freshNameFor(*c));
    for (Component* child : c->childControls())
        nameUnnamed(child);
}

} // namespace

bool DesignerCore::canPasteNow() const
{
    if (!ClipboardBuffer::instance().isEmpty())
        return true;
    const QClipboard* clipboard = systemClipboard();
    const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
    return data && (data->hasText() || offersImage(*data) || ClipboardBuffer::hasComponents(*data));
}

void DesignerCore::updatePasteState()
{
    setCanPaste(canPasteNow());
}

void DesignerCore::copySelection()
{
    const std::vector<Component*> selection = document_.selection();
    if (selection.empty())
        return;
    if (beforeCopyHandler && !beforeCopyHandler(selection))
        return;
    const std::vector<Component*> ordered = inStackingOrder(selection);
    QByteArray stream;
    try {
        ByteWriter out(stream);
        writeComponentList(out, ordered, document_.report().owner());
    } catch (const std::exception&) {
        // What was written stays; the marker still goes on the clipboard.
    }
    ClipboardBuffer& buffer = ClipboardBuffer::instance();
    buffer.set(stream, isBand(ordered.front()));
    if (QClipboard* clipboard = systemClipboard())
        clipboard->setMimeData(buffer.mimeData().release());   // the clipboard owns it
    updatePasteState();
}

void DesignerCore::cutSelection()
{
    copySelection();
    deleteSelection();
}

void DesignerCore::paste()
{
    const std::vector<Component*> selection = document_.selection();
    Component* target = &document_.report();
    if (!selection.empty())
        target = isBand(selection.front()) ? selection.front() : selection.front()->parentControl();
    if (!target)
        return;

    const QClipboard* clipboard = systemClipboard();
    const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
    if (!data)
        return;
    if (data->hasText() && data->text() == ClipboardBuffer::kMarker) {
        // Components from another window of ours come on the clipboard; our own are in the buffer.
        ClipboardBuffer::Content content = ClipboardBuffer::fromMime(*data);
        if (content.stream.isEmpty())
            content = ClipboardBuffer::instance().content();
        pasteComponents(content.bands ? &document_.report() : target, content.stream);
    } else if (data->hasText()) {
        pasteText(target, data->text());
    } else if (const QImage image = imageFromMime(*data); !image.isNull()) {
        pastePicture(target, image);
    }
}

void DesignerCore::pasteComponents(Component* target, const QByteArray& stream)
{
    // An empty buffer (the marker without components) pastes nothing.
    if (stream.isEmpty() || stream == QByteArray(1, '\0'))
        return;
    Container* owner = document_.report().owner();
    {
        const QSignalBlocker quiet(&document_);
        document_.clearSelection();
    }
    document_.beginChange(tr("paste"));
    std::vector<Component*> pasted;
    try {
        ByteReader in(stream);
        ComponentReadOptions options;
        options.owner = owner;
        options.parent = target;
        options.nameHook = [owner](const QString& name) { return owner->findComponent(name) ? QString() : name; };
        pasted = readComponentList(in, options);
    } catch (const std::exception&) {
        // A damaged buffer pastes nothing: the layout goes back to how it was.
        document_.cancelChange();
        updateSelectionControls();
        return;
    }
    bool bands = false;
    for (Component* c : pasted) {
        nameUnnamed(c);
        setGroupId(c, 0);
        if (auto* t = dynamic_cast<TQRDesignDBText*>(c)) {
            const DataSet* ds = t->dataSet ? t->dataSet->dataSet() : nullptr;
            if (const int index = ds ? ds->fieldIndex(t->dataField()) : -1; index >= 0)
                t->setCaption(ds->field(index).label());
        } else if (auto* label = dynamic_cast<TQRDesignLabel*>(c)) {
            label->setCaption(label->caption());
        }
        if (auto* p = dynamic_cast<TQRPrintable*>(c); p && p->designProps())
            p->designProps()->qrDesigner = &document_.loader();
        bands = bands || isBand(c);
    }
    if (bands) {
        document_.report().orderBands();
        document_.report().arrangeBands();
    }
    document_.setSelection(pasted);
    // Keep what was pasted inside its band: too low or too far right starts at 5.
    if (Component* parent = selectionParent(); parent && !bands) {
        QRect r = handleRect();
        if (r.bottom() + 1 > parent->bounds.height())
            r.moveTop(5);
        if (r.right() + 1 > parent->bounds.width())
            r.moveLeft(5);
        if (r != handleRect())
            setHandleRect(r);
    }
    document_.endChange();
    afterHistoryStep();
}

void DesignerCore::pasteText(Component* target, const QString& text)
{
    Container* owner = document_.report().owner();
    clearSelectionQuietly();
    document_.beginChange(tr("paste"));
    Component* c = nullptr;
    // Text from other programs breaks lines with LF as often as with CR LF.
    if (text.contains(u'\n') || text.contains(u'\r')) {
        auto* memo = createNamed<TQRDesignMemo>(owner);
        memo->setParentControl(target);
        setPixelRect(*memo, QRect(0, 0, 150, 60));
        memo->autoSize = false;
        QString lines = text;
        lines.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
        if (lines.endsWith(u'\n'))
            lines.chop(1);
        memo->lines.setLines(lines.split(u'\n'));
        c = memo;
    } else {
        auto* label = createNamed<TQRDesignLabel>(owner);
        label->setParentControl(target);
        setPixelRect(*label, QRect(0, 0, 60, 20));
        label->autoSize = true;
        label->setCaption(text);
        c = label;
    }
    if (auto* p = dynamic_cast<TQRPrintable*>(c); p && p->designProps())
        p->designProps()->qrDesigner = &document_.loader();
    document_.endChange();
    select(c);
}

void DesignerCore::pastePicture(Component* target, const QImage& image)
{
    Container* owner = document_.report().owner();
    clearSelectionQuietly();
    document_.beginChange(tr("paste"));
    auto* picture = createNamed<TQRDesignImage>(owner);
    picture->setParentControl(target);
    picture->autoSize = true;
    picture->stretch = false;
    picture->picture.loadFromImage(image);
    const QSize report = document_.report().bounds.size();
    setPixelRect(*picture, QRect(0, 0, std::min(60, report.width()), std::min(60, report.height())));
    if (picture->designProps())
        picture->designProps()->qrDesigner = &document_.loader();
    if (afterComponentCreated)
        afterComponentCreated(picture);
    document_.endChange();
    select(picture);
}

void DesignerCore::clearSelectionQuietly()
{
    const QSignalBlocker quiet(&document_);
    document_.clearSelection();
}

} // namespace cm
