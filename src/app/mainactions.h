#pragma once
// Every command of the main window as a QAction: its menu text, its hint
// (tool tip and status tip), shortcut, icon, help context (property
// "helpContext") and accessible name (property "accessibleName", given to
// the toolbar buttons that show it). Menus and toolbars share the actions.
#include <QString>

class QAction;
class QActionGroup;
class QObject;

namespace cm {

struct MainActions {
    explicit MainActions(QObject* owner);

    // File
    QAction* newLayout;
    QAction* open;
    QAction* save;
    QAction* saveAs;
    QAction* preview;
    QAction* pageSetup;
    QAction* print;
    QAction* printerSetup;
    QAction* database;
    QAction* exit;

    // Edit; the insert tools are one exclusive group with selectMove.
    QAction* selectMove;
    QAction* addPageFooter;
    QAction* addPageHeader;
    QAction* addSystemInfo;
    QAction* addText;
    QAction* addDataField;
    QAction* addImage;
    QAction* addShape;
    QActionGroup* insertTools;
    QAction* undo;
    QAction* redo;
    QAction* cut;
    QAction* copy;
    QAction* paste;
    QAction* deleteSelection;
    QAction* sendToBack;
    QAction* bringToFront;
    QAction* setFrame;

    // Alignment toolbar
    QAction* alignLeft;
    QAction* alignHorizontalCenters;
    QAction* centerHorizontally;
    QAction* equalSpaceHorizontal;
    QAction* alignRight;
    QAction* alignTop;
    QAction* alignVerticalCenters;
    QAction* centerVertically;
    QAction* equalSpaceVertical;
    QAction* alignBottom;

    // Font and text alignment toolbars
    QAction* bold;
    QAction* underline;
    QAction* italic;
    QAction* fontColor;
    QAction* textLeft;
    QAction* textCenter;
    QAction* textRight;
    QActionGroup* textAlignment;

    // View
    QAction* showFileToolbar;
    QAction* showFontToolbar;
    QAction* showElementToolbar;
    QAction* zoomDefault;
    QAction* zoomIn;
    QAction* zoomOut;
    QAction* options;

    // Help
    QAction* helpContents;
    QAction* helpSearch;
    QAction* whatsThis;
    QAction* helpOnControl;   // F1: the focused control's topic
    QAction* about;

    // Data toolbar
    QAction* sort;
    QAction* unsort;
    QAction* firstRecord;
    QAction* priorRecord;
    QAction* nextRecord;
    QAction* lastRecord;
};

// One line of a hint, for status tips and accessible names.
QString singleLine(const QString& hint);

} // namespace cm
