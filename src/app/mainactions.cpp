#include "app/mainactions.h"

#include "app/appicons.h"

#include <QAction>
#include <QActionGroup>
#include <QKeySequence>

namespace cm {

namespace {

struct Command {
    QString text = {};
    QString hint = {};               // empty: the text without its accelerator mark
    int helpContext = 0;
    QString themeIcon = {};        // freedesktop icon name; empty: the bundled one
    QString bundledIcon = {};      // empty as well: no icon
    QKeySequence shortcut = {};
};

QAction* make(QObject* owner, const Command& c)
{
    auto* a = new QAction(c.text, owner);
    QString hint = c.hint.isEmpty() ? QString(c.text).remove(QLatin1Char('&')) : c.hint;
    a->setToolTip(hint);
    a->setStatusTip(singleLine(hint));
    a->setProperty("accessibleName", singleLine(hint));
    if (c.helpContext)
        a->setProperty("helpContext", c.helpContext);
    if (!c.bundledIcon.isEmpty())
        a->setIcon(themedIcon(c.themeIcon, c.bundledIcon));
    else if (!c.themeIcon.isEmpty())
        a->setIcon(QIcon::fromTheme(c.themeIcon));   // menu-only commands: the theme's icon or none
    if (!c.shortcut.isEmpty())
        a->setShortcut(c.shortcut);
    return a;
}

QAction* makeCheckable(QObject* owner, const Command& c, bool checked)
{
    QAction* a = make(owner, c);
    a->setCheckable(true);
    a->setChecked(checked);
    return a;
}

QString tr(const char* text) { return QObject::tr(text); }

} // namespace

QString singleLine(const QString& hint)
{
    return hint.simplified();
}

MainActions::MainActions(QObject* o)
{
    const auto L = [](const char* s) { return QString::fromLatin1(s); };

    newLayout = make(o, {tr("&New"), tr("Create"), 5000, L("document-new"), L("document-new"), QKeySequence::New});
    open = make(o, {tr("&Open..."), tr("Open"), 5010, L("document-open"), L("document-open"), QKeySequence::Open});
    save = make(o, {tr("&Save"), tr("Save current"), 5030, L("document-save"), L("document-save"), QKeySequence::Save});
    saveAs = make(o, {tr("Save &as..."), tr("Save as"), 0, L("document-save-as"), L("document-save"), QKeySequence::SaveAs});
    if (saveAs->shortcut().isEmpty())   // not every desktop defines one
        saveAs->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    preview = make(o, {tr("Pre&view"), tr("Preview"), 5050, L("document-print-preview"), L("document-print-preview")});
    pageSetup = make(o, {tr("Page setup"), tr("Page setup"), 5070, L("document-page-setup"), L("page-setup")});
    print = make(o, {tr("&Print"), tr("Print"), 5040, L("document-print"), L("document-print"), QKeySequence::Print});
    printerSetup = make(o, {tr("Printer setup"), {}, 0, L("printer"), L("document-print")});
    database = make(o, {tr("&Database"), {}, 0, QString(), QString()});
    exit = make(o, {tr("&Exit"), {}, 0, L("application-exit"), QString(), QKeySequence::Quit});

    insertTools = new QActionGroup(o);
    insertTools->setExclusive(true);
    const auto tool = [&](const Command& c, bool checked = false) {
        QAction* a = makeCheckable(o, c, checked);
        insertTools->addAction(a);
        return a;
    };
    selectMove = tool({tr("Select/Move Element"), {}, 0, QString(), L("select-move")}, true);
    addPageFooter = tool({tr("Add page footer"), tr("Add page \nfooter"), 5080, QString(), L("add-page-footer")});
    addPageHeader = tool({tr("Add page header"), tr("Add page \nheader"), 5080, QString(), L("add-page-header")});
    addSystemInfo = tool({tr("Add system info"), {}, 5090, QString(), L("add-system-info")});
    addText = tool({tr("&Text"), tr("Add text"), 5060, QString(), L("add-text")});
    addDataField = tool({tr("&Data field"), tr("Add data field"), 5240, QString(), L("add-data-field")});
    addShape = tool({tr("Shape"), tr("Add shape"), 5180, QString(), L("add-shape")});
    addImage = tool({tr("&Image"), tr("Add image"), 5250, QString(), L("add-image")});

    undo = make(o, {tr("Undo"), {}, 0, L("edit-undo"), QString(), QKeySequence::Undo});
    redo = make(o, {tr("Redo"), {}, 0, L("edit-redo"), QString(), QKeySequence::Redo});
    cut = make(o, {tr("Cut"), tr("Cut to clipboard"), 5100, L("edit-cut"), L("edit-cut"), QKeySequence::Cut});
    copy = make(o, {tr("Copy"), tr("Copy to clipboard"), 5110, L("edit-copy"), L("edit-copy"), QKeySequence::Copy});
    paste = make(o, {tr("Paste"), tr("Paste from clipboard"), 5120, L("edit-paste"), L("edit-paste"), QKeySequence::Paste});
    // Every binding of the platform (Ctrl+C and Ctrl+Insert, Ctrl+V and
    // Shift+Insert, Ctrl+X ...), and the classic ones wherever it lacks them.
    const auto allKeys = [](QAction* a, QKeySequence::StandardKey key, QKeySequence classic) {
        QList<QKeySequence> keys = QKeySequence::keyBindings(key);
        if (!classic.isEmpty() && !keys.contains(classic))
            keys << classic;
        a->setShortcuts(keys);
    };
    allKeys(undo, QKeySequence::Undo, {});
    allKeys(redo, QKeySequence::Redo, QKeySequence(Qt::CTRL | Qt::Key_Y));
    allKeys(copy, QKeySequence::Copy, QKeySequence(Qt::CTRL | Qt::Key_Insert));
    allKeys(paste, QKeySequence::Paste, QKeySequence(Qt::SHIFT | Qt::Key_Insert));
    allKeys(cut, QKeySequence::Cut, {});
    deleteSelection = make(o, {tr("Delete"), {}, 0, L("edit-delete"), QString(), QKeySequence::Delete});
    sendToBack = make(o, {tr("Send to back"), tr("Send element to back"), 5140, QString(), L("object-order-back")});
    bringToFront = make(o, {tr("Bring to front"), tr("Bring element to front"), 5130, QString(), L("object-order-front")});
    setFrame = make(o, {tr("Set frame"), {}, 5150, QString(), L("element-frame")});

    // The alignment icons are the program's own: the icon theme has none for them.
    const auto align = [&](const char* hint, const char* bundled) {
        QAction* a = make(o, {tr(hint), {}, 5170});
        a->setIcon(themedIcon(QString(), L(bundled)));
        return a;
    };
    alignLeft = align("Align left edges", "align-left-edges");
    alignHorizontalCenters = align("Align horizontal centers", "align-horizontal-centers");
    centerHorizontally = align("Center horizontally", "center-horizontally");
    equalSpaceHorizontal = align("Equal space, horizontal", "equal-space-horizontal");
    alignRight = align("Align right edges", "align-right-edges");
    alignTop = align("Align top edges", "align-top-edges");
    alignVerticalCenters = align("Align vertical centers", "align-vertical-centers");
    centerVertically = align("Center vertically", "center-vertically");
    equalSpaceVertical = align("Equal space, vertical", "equal-space-vertical");
    alignBottom = align("Align bottom edges", "align-bottom-edges");
    bold = makeCheckable(o, {tr("B"), tr("bold"), 5160, L("format-text-bold"), L("format-text-bold")}, false);
    underline = makeCheckable(o, {tr("U"), tr("underlined"), 5160, L("format-text-underline"), L("format-text-underline")}, false);
    italic = makeCheckable(o, {tr("I"), tr("italic"), 5160, L("format-text-italic"), L("format-text-italic")}, false);
    fontColor = make(o, {tr("Font colour"), {}, 5160, QString(), L("format-text-color")});
    fontColor->setToolTip(QString());   // the colour button has no hint

    textAlignment = new QActionGroup(o);
    textAlignment->setExclusive(true);
    const auto textAlign = [&](const Command& c, bool checked) {
        QAction* a = makeCheckable(o, c, checked);
        a->setEnabled(false);   // until the designer enables them by the selection
        textAlignment->addAction(a);
        return a;
    };
    textLeft = textAlign({tr("align left"), {}, 5160, L("format-justify-left"), L("format-justify-left")}, true);
    textCenter = textAlign({tr("align center"), {}, 5160, L("format-justify-center"), L("format-justify-center")}, false);
    textRight = textAlign({tr("align right"), {}, 5160, L("format-justify-right"), L("format-justify-right")}, false);

    showFileToolbar = makeCheckable(o, {tr("Toolbar")}, true);
    showFontToolbar = makeCheckable(o, {tr("Font toolbar")}, true);
    showElementToolbar = makeCheckable(o, {tr("Element toolbar")}, true);
    zoomDefault = make(o, {tr("Default size"), {}, 0, L("zoom-original"), L("zoom-original"),
                           QKeySequence(Qt::CTRL | Qt::Key_0)});
    zoomIn = make(o, {tr("Increase"), {}, 0, L("zoom-in"), L("zoom-in"), QKeySequence::ZoomIn});
    zoomOut = make(o, {tr("Decrease"), {}, 0, L("zoom-out"), L("zoom-out"), QKeySequence::ZoomOut});
    options = make(o, {tr("&Options..."), tr("Options"), 0, L("preferences-system"), QString()});

    helpContents = make(o, {tr("&Contents"), {}, 0, L("help-contents"), QString()});
    helpSearch = make(o, {tr("&Search"), {}, 0, L("system-search"), QString()});
    whatsThis = make(o, {tr("What is this ?"), {}, 0, QString(), L("help-whatsthis"),
                         QKeySequence(Qt::SHIFT | Qt::Key_F1)});
    helpOnControl = make(o, {tr("Help on the control"), {}, 0, QString(), QString(), QKeySequence(Qt::Key_F1)});
    about = make(o, {tr("&About"), tr("About"), 0, L("help-about"), L("help-about")});

    sort = make(o, {tr("Sort"), {}, 5190, QString(), L("sort")});
    unsort = make(o, {tr("Unsort"), {}, 5200, QString(), L("unsort")});
    unsort->setEnabled(false);
    firstRecord = make(o, {tr("First record"), {}, 5210, L("go-first"), L("go-previous")});
    priorRecord = make(o, {tr("Prior record"), {}, 5210, L("go-previous"), L("go-previous")});
    nextRecord = make(o, {tr("Next record"), {}, 5210, L("go-next"), L("go-next")});
    lastRecord = make(o, {tr("Last record"), {}, 5210, L("go-last"), L("go-next")});
}

} // namespace cm
