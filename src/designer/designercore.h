#pragma once
// The designer: turns mouse input on the report into insertions and
// selections, carries out the menu and toolbar commands on the selection,
// keeps the enabled state of those commands, and prepares the report for
// preview and printing. It holds no widgets: the design surface and the
// main window call it and follow its signals, and tests drive it directly.
#include "designer/designstate.h"
#include "designer/selectionhandle.h"
#include "report/dbsettings.h"
#include "report/graphics.h"

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QImage>
#include <QRect>
#include <QStringList>
#include <array>
#include <functional>
#include <vector>

namespace cm {

class Document;
class Component;
class TDataSetComponent;
class TQRDesignBand;
class TQRPrinter;
class ReportGenerator;
struct FieldDef;

// The designer's settings (the values the main window configures).
struct DesignerOptions {
    bool allowBlockEdit = true;
    bool allowNewCalcFields = true, allowSQLEdit = true;
    bool queriesOnlyInExpert = false, queriesOnlyInDBSetup = false, defaultDatabaseOnly = true;
    bool autoEditAfterInsert = true;
    bool datafieldsSorted = true;
    bool showBandNames = true;
    bool showComponentFrames = false;
    TColor componentFrameColor = 0x808080;
    int componentFrameStyle = 2;   // dotted (pen style ordinal)
    TQRFont bandNameFont;          // "MS Sans Serif", 0xC0C0C0, 20 pixels
    int gridSizeX = 4, gridSizeY = 4;
    int keyboardMoveX = 1, keyboardMoveY = 1;
    int minElementWidth = 5, minElementHeight = 5;
    bool scriptsEnabled = true, scriptEditByUser = false;
    bool undoEnabled = true;
    bool saveImagesInReportfile = true;
    bool showDatafieldListbox = true;
    // How SQL made in the designer quotes names and values: the logbooks'
    // SQLite takes names unquoted.
    TQRDatabaseSettings sqlSettings = [] {
        TQRDatabaseSettings noQuotes;
        noQuotes.setDelimiterType(TQRDelimiterType::delNoQuotes);
        return noQuotes;
    }();
    // Data sets of data modules offered for new data elements ("Tbl" or
    // "DataFrm.Tbl"); empty: all. Blank entries are ignored.
    QStringList availableDatasetNames;
    // The folder a new picture element's file name starts with.
    QString programFolder;
};

// What a run produces: the preview's pages or printed pages.
enum class OutputKind { Preview, Print };

// What one run takes besides the report: positions of a partly used first
// sheet to leave empty, and who hears which record went on which page.
struct RunExtras {
    int emptyPositions = 0;
    std::function<void(int record, int page)> recordPrinted;
};

// What the font toolbar shows for the selection.
struct FontControls {
    QString name;        // empty: no entry selected
    QString sizeText;    // empty: size box cleared
    bool bold = false, italic = false, underline = false;
};

class DesignerCore : public QObject {
    Q_OBJECT
public:
    explicit DesignerCore(Document& document, QObject* parent = nullptr);
    ~DesignerCore() override;

    Document& document() { return document_; }
    DesignerOptions& options() { return options_; }

    DesignState designState() const { return state_; }
    void setDesignState(DesignState state);
    // Set by the window each time an insert button is pressed (Shift held).
    bool keepInsertMode = false;

    // Surface hooks. Points are model pixels (zoom 100) relative to the
    // report's top-left corner; `sender` is the component under the point
    // (see hitTest), null for the bare report.
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, Component* sender, QPoint point);
    void mouseMove(QPoint point);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint point);
    // The topmost element under the point, else the band, else null.
    Component* hitTest(QPoint point) const;
    // A band's or element's rectangle in report coordinates (model pixels).
    QRect reportRect(const Component* c) const;
    bool rubberBandActive() const;
    QRect rubberBand() const;

    // Commands on the selection.
    void deleteSelection();
    void bringSelectionToFront();
    void sendSelectionToBack();
    void setFontStyle(int bold, int underline, int italic);   // each +1 add, -1 remove, 0 leave
    void setFontName(const QString& name);
    void setFontSize(const QString& sizeText);                // ignored unless a whole number
    void setFontColor(TColor color);
    void setTextAlignment(int alignment);                     // 0 left, 1 right, 2 centre
    void refreshSelection();
    void undo();
    void redo();

    // The clipboard. Copy puts the selection (in stacking order) into the
    // program's copy buffer and the marker on the system clipboard; paste
    // takes components back from there, or makes a label or memo of other
    // text and a picture element of a picture.
    void copySelection();
    void cutSelection();
    void paste();
    // Whether the copy buffer or the system clipboard holds something to paste.
    bool canPasteNow() const;
    // Re-evaluates Paste (the window calls it when the clipboard changes).
    void updatePasteState();
    // OnBeforeCopyToClipboard: false keeps the copy buffer and clipboard as they are.
    std::function<bool(const std::vector<Component*>&)> beforeCopyHandler;

    // The selection handle: the frame around the selection in its parent's
    // pixels (null when nothing is selected), and the parent itself.
    QRect handleRect() const;
    Component* selectionParent() const;
    // Where the selection's parent lies on the report (model pixels).
    QPoint parentOffset() const;
    // Gives the handle a new rectangle: every selected component moves and
    // resizes with it. False when nothing changed or a block flag refused
    // it; then no undo step is taken and the layout is not marked modified.
    bool setHandleRect(const QRect& rect, const QString& stepName = QString());
    bool moveSelection(int dx, int dy);
    bool resizeSelection(int dw, int dh);
    // The handle rectangle a mouse drag asks for (report points; the
    // proportions of zone 4 with Shift come from the first selected component).
    QRect dragResult(int zone, QPoint start, QPoint point, Qt::KeyboardModifiers modifiers) const;
    // Keeps a report point inside the selection's parent.
    QPoint clampToParent(QPoint point) const;
    // An arrow key with its modifiers; false for other keys or when refused.
    bool keyboardStep(int key, Qt::KeyboardModifiers modifiers);
    // Refuses dragging while set.
    bool locked = false;

    // Alignment, spacing and centring (the alignment commands of DesignCommand).
    void alignSelection(DesignCommand command);
    // Grouping: a fresh group number for the selection; one component out of
    // its group (it leaves the selection); every selected one out.
    void groupSelection();
    void ungroup(Component* c);
    void ungroupAll();
    // Tab and Shift+Tab: the next or previous band or element.
    void selectNext(bool forward);
    // Escape: from an element to its band.
    void selectParentBand();
    // Double click, Enter and the context menu: nothing for BlockEdit.
    bool editComponent(Component* c);
    // The context menu of a selected component at a report point.
    void showContextMenu(Component* c, QPoint point);

    // Selection with the designer's notifications (controls, info, font
    // controls). select() adds the component and the rest of its group.
    void select(Component* c);
    void deselect(Component* c);
    void clearSelection();
    // The shell's form: replace with no component clears; replace with a
    // component clears and selects; otherwise adds.
    void selectFromShell(Component* c, bool replace);

    // Set by the window from the clipboard; enables Paste.
    void setCanPaste(bool canPaste);

    bool isEnabled(DesignCommand command) const { return enabled_[size_t(command)]; }
    // Recomputes the enabled commands from the selection and emits controlsChanged.
    void updateSelectionControls();
    // Rebuilds the description of the one selected element and emits infoChanged.
    void updateInfo();
    QString info() const { return info_; }
    FontControls fontControls() const { return fontControls_; }
    // Brings the font toolbar in step with a font (the selection's, or the
    // report's when nothing is selected) and emits fontControlsChanged.
    void syncFontControls(const TQRFont& font);
    int textAlignment() const;   // of the selection, -1 when none

    // Runtime message table: error box, OK/Cancel confirmation, text with fallback.
    void showError(const QString& key, const QString& parameter = QString()) const;
    bool confirm(const QString& key) const;
    QString message(const QString& key, const QString& fallback) const;

    // The shell's handlers (OnEditProperties, AfterReportComponentCreated, OnDeleteElement).
    std::function<bool(Component*)> editPropertiesHandler;
    std::function<void(Component*)> afterComponentCreated;
    std::function<bool(Component*)> deleteElementHandler;
    // OnShowInfo: may change the description (component null when none is selected).
    std::function<void(Component*, QString&)> showInfoHandler;
    // OnShowDatafield: false hides a field from new data elements.
    std::function<bool(const FieldDef&)> showDatafieldHandler;
    // Shows a popup menu at a report point ("-" is a separator); returns the
    // chosen index or -1. None: the menu is not offered.
    std::function<int(const QStringList& items, QPoint point)> popupMenuHandler;
    // Opens the block dialog of a component (the menu's options, Shift+right click).
    std::function<void(Component*)> blockOptionsHandler;
    // Opens the script editor for a component.
    std::function<void(Component*)> editScriptHandler;
    // Edits one formula property of a band ("Expression", "PrintExpression")
    // in the expression builder. None: the menu offers no formula entries.
    std::function<void(Component*, const QString& property)> editFormulaHandler;
    // Opens the component's property dialog through the shell; true when edited.
    bool editProperties(Component* c);

    // The data set a new data element gets; null when there is none.
    TDataSetComponent* dataSetForNewElement() const;
    // The tables formulas may name, as the expression builder lists them:
    // the report's own data sources' data sets, then (with data modules)
    // those of the data modules that the available names allow.
    std::vector<TDataSetComponent*> offeredDataSets() const;
    // Whether a data module's data set is among the ones the designer may offer.
    bool dataModuleSetAllowed(const TDataSetComponent& set) const;

    // Around preview and print. prepare() false: nothing is output.
    bool prepare();
    void finish();
    bool isPrepared() const { return prepared_; }
    // Prepares, generates the report into `output` and finishes, also when
    // the run fails (then the page output is cleaned up and the error is
    // thrown on). False when nothing was generated (a run is going on, or the
    // report's BeforePrint script refused printing).
    bool runReport(TQRPrinter& output, OutputKind kind, std::function<void()> processEvents = {},
                   std::function<void(int)> progress = {}, const RunExtras& extras = {});
    bool isRunning() const { return generator_ != nullptr; }
    // Ends the current run after the record being printed.
    void cancelRun();
    // The texts of the last run that did not fit their boxes, one line per element.
    QStringList fitWarnings() const { return fitWarnings_; }

    // Writes DESIGNER.INI; errors are ignored.
    void saveSettings(const QString& fileName) const;

signals:
    void designStateChanged(DesignState state);
    void inserted(Component* c);            // a new band or element stays on the report
    void controlsChanged();                 // enabled commands changed
    void infoChanged(const QString& info);
    void fontControlsChanged(const FontControls& controls);
    void rubberBandChanged(const QRect& rect);   // empty: none

private:
    void insertAt(QPoint point);
    bool insertBand();
    Component* createElement(Component* target, TDataSetComponent* dataSet);
    bool afterInsert(Component* c, const QPoint* position);
    void startRubberBand(QPoint point);
    void finishRubberBand(QPoint point);
    void applyFont(const QString& stepName, const std::function<void(TQRFont&)>& change, bool penColor = false,
                   TColor color = 0);
    void afterHistoryStep();
    void pasteComponents(Component* target, const QByteArray& stream);
    void pasteText(Component* target, const QString& text);
    void pastePicture(Component* target, const QImage& image);
    void clearSelectionQuietly();
    void moveSelectionInZOrder(bool toFront);
    void resetDataFieldCaptions();

    Document& document_;
    DesignerOptions options_;
    DesignState state_ = DesignState::Normal;
    std::array<bool, size_t(DesignCommand::Count)> enabled_{};
    QString info_;
    FontControls fontControls_;
    QPoint rubberStart_{-10000, -10000};
    QPoint rubberCurrent_{-10000, -10000};
    int groupCounter_ = 0;
    bool canPaste_ = false;
    bool prepared_ = false;
    QPointer<TQRDesignBand> hiddenSummary_;
    ReportGenerator* generator_ = nullptr;
    QStringList fitWarnings_;
};

} // namespace cm
