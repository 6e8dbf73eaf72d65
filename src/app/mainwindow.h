#pragma once
// The main window: menus and toolbars over the designer, the Designer and
// Data tabs, the layout file commands, preview and printing, start-up (log
// table, start layout, caption) and the close query with the settings.
#include "app/apppaths.h"
#include "app/qslmarking.h"
#include "designer/designstate.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QTabWidget;
class QToolBar;

namespace cm {

class Component;
class DataTab;
class DesignSurface;
class DesignerCore;
class Document;
class EventScrollBox;
class HelpSystem;
struct LabelSheet;
class LogTable;
class MessageBoxes;
class PreviewWindow;
class RecoveryStore;
class RulerPanel;
class TQRPrinter;
class TQRQtPrintDevice;
struct MainActions;
struct PrintChoice;
struct RunExtras;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    static inline const QString TemplateName = QStringLiteral("Template.qr2");

    // Every box the window shows goes through `boxes`.
    MainWindow(MessageBoxes& boxes, AppPaths paths, QWidget* parent = nullptr);
    ~MainWindow() override;

    // A layout named on the command line, loaded at start instead of the
    // last one.
    void setStartLayout(const QString& fileName) { startLayout_ = fileName; }
    // Opens the log table and loads the start layout; runs once, on the
    // first show (tests call it directly).
    void startUp();

    Document& document() { return *document_; }
    DesignerCore& designer() { return *designer_; }
    MainActions& actions() { return *actions_; }
    const AppPaths& paths() const { return paths_; }
    // The current layout: a full path, a bare name, or empty for a layout
    // made from the template that has not been saved yet.
    QString activeDesignFile() const;
    QString activeTable() const { return activeTable_; }
    LogTable* logTable() const;
    bool pageHeaderPending() const { return pageHeaderPending_; }
    bool pageFooterPending() const { return pageFooterPending_; }
    bool dataTabActive() const;
    DataTab& dataTab() { return *dataTab_; }

    // The commands (also reached through actions()).
    void newLayout();
    void openLayout();
    bool save();
    bool saveAs();
    void preview();
    void print();
    // One print run with the printer, copies and pages chosen for it.
    void printWith(const PrintChoice& choice);
    // The printer a print run uses, by its name (empty: the default
    // printer). Unset, it is the platform's; tests put a PDF file in its
    // place, and then printing needs no installed printer.
    using PrintDeviceMaker = std::function<std::unique_ptr<TQRQtPrintDevice>(const QString& printerName)>;
    void setPrintDeviceMaker(PrintDeviceMaker maker) { printDeviceMaker_ = std::move(maker); }
    void printerSetup();
    // The open preview window, if any.
    PreviewWindow* previewWindow() const;
    void showDatabase();
    // Open on the Data tab: another logbook, checked first.
    void openTable();
    // File, "Import ADIF...": an ADIF file into a SQLite logbook.
    void importAdif();
    // File, "Label sheet...": the report's page and columns from a shipped
    // sheet, as one undo step; a card larger than a label is refused.
    void chooseLabelSheet();
    bool applyLabelSheet(const LabelSheet& sheet);
    // File, "Printer calibration...".
    void printerCalibration();
    // File, "Mark printed QSOs as sent": ask after each print or export.
    QAction* markSentOption() const { return markSentOption_; }
    void zoomToDefault();
    void zoomIn();
    void zoomOut();
    // The close query: true when the window may close.
    bool queryClose();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildCentralWidget();
    void buildMenus();
    void buildToolbars();
    void connectCommands();
    void connectDesigner();
    void connectBuilder();
    void applySmallScreenRule();
    void setHelpContexts();

    void setMainCaption(const QString& name) { setWindowTitle(QStringLiteral("Cardmint ") + name); }
    void showDesignCaption();
    void onTabChanged(int index);
    void afterLayoutChanged();   // the ruler and surface follow the report
    void fillFontList();
    void updateCommandStates();
    void syncFontControls();
    // The property toolbar (mainwindow_properties.cpp).
    void buildPropertyBar();
    void syncPropertyBar();
    void armInsertTool(DesignState state);
    bool editProperties(Component* c);
    void applyZoom(int zoom);
    void showFocusedHelp();
    void toggleWhatsThis();
    int showSurfaceMenu(const QStringList& items, QPoint point);
    void pickFontColor();

    bool openStartTable();
    // Opens a log table and puts it in place of the current one everywhere.
    bool useTable(const QString& path);
    void loadStartLayout();
    bool loadLayout(const QString& name);
    bool saveTo(const QString& fileName);
    QString saveTarget(const QString& name) const;
    QString dialogFolder() const;
    // Copies of unsaved layouts that an earlier session left behind (it
    // crashed or was killed) are offered for restoring.
    void offerRecovery();

    // One run into `pages` (printed, or kept for the preview) under a
    // progress window; false when nothing was output.
    // `onCancel` runs as well when the progress window's Cancel is pressed.
    bool printCards(TQRPrinter& pages, const RunExtras& extras, const std::function<void()>& onCancel = {});
    // Generates the preview's pages, the first card at `startAt`; false
    // when there is nothing to show (the run failed or the window closed).
    bool generatePreview(PreviewWindow& window, int startAt);
    // The QSL commands of the File menu (mainwindow_qsl.cpp).
    void addQslCommands(QMenu* file);
    QString settingsFile() const;
    // After cards were output: asks whether to mark `logs` as sent (when
    // the option is on) and marks them; the Data tab shows the marks.
    void offerQslMarks(const std::vector<qint64>& logs);

    MessageBoxes& boxes_;
    AppPaths paths_;
    std::unique_ptr<Document> document_;
    std::unique_ptr<DesignerCore> designer_;
    std::unique_ptr<MainActions> actions_;
    HelpSystem* help_ = nullptr;
    std::unique_ptr<RecoveryStore> recovery_;

    QTabWidget* pages_ = nullptr;
    QWidget* designTab_ = nullptr;
    DataTab* dataTab_ = nullptr;
    RulerPanel* ruler_ = nullptr;
    EventScrollBox* scrollBox_ = nullptr;
    DesignSurface* surface_ = nullptr;
    QComboBox* fontBox_ = nullptr;
    QComboBox* sizeBox_ = nullptr;
    QComboBox* groupByBox_ = nullptr;
    QLabel* typeLabel_ = nullptr;
    QLineEdit* allEdit_ = nullptr;
    QComboBox* allComboBox_ = nullptr;
    QAction* allEditAction_ = nullptr;
    QAction* allComboBoxAction_ = nullptr;
    QLabel* infoLabel_ = nullptr;
    QToolBar* fileToolbar_ = nullptr;
    QToolBar* alignmentToolbar_ = nullptr;
    QToolBar* propertyToolbar_ = nullptr;
    QToolBar* fontToolbar_ = nullptr;
    QToolBar* textAlignToolbar_ = nullptr;
    QToolBar* elementToolbar_ = nullptr;
    QToolBar* dbToolbar_ = nullptr;

    QString activeTable_;
    QString startLayout_;
    bool pageHeaderPending_ = false;
    bool pageFooterPending_ = false;
    bool startedUp_ = false;
    bool running_ = false;   // a preview or print run is going on
    QPointer<PreviewWindow> preview_;
    QAction* markSentOption_ = nullptr;
    PrintedQsos previewQsos_;   // the cards of the preview's pages
    PrintDeviceMaker printDeviceMaker_;
    bool printerReady() const;
};

} // namespace cm
