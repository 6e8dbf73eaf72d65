#include "app/mainwindow.h"

#include "app/aboutdialog.h"
#include "app/appsettings.h"
#include "app/datatab.h"
#include "app/dialogs/blockdialog.h"
#include "app/dialogs/datafielddialog.h"
#include "app/dialogs/expressiondialog.h"
#include "app/dialogs/framedialog.h"
#include "app/dialogs/imagedialog.h"
#include "app/dialogs/memodialog.h"
#include "app/dialogs/optionsdialog.h"
#include "app/dialogs/reportdialog.h"
#include "app/dialogs/richtextdialog.h"
#include "app/dialogs/shapedialog.h"
#include "app/dialogs/sysdatadialog.h"
#include "app/dialogs/textdialog.h"
#include "app/helpsystem.h"
#include "app/helpwindow.h"
#include "app/mainactions.h"
#include "app/whatsthismenu.h"
#include "app/zoomsteps.h"
#include "designer/designercore.h"
#include "designer/document.h"
#include "designer/undohistory.h"
#include "designer/messageboxes.h"
#include "designer/recoverystore.h"
#include "designer/widgets/designsurface.h"
#include "designer/widgets/eventscrollbox.h"
#include "designer/widgets/rulerpanel.h"
#include "logbook/logtable.h"
#include "report/design.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <QShowEvent>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWhatsThis>

#include <array>
#include <utility>

namespace cm {

namespace {

// The alignment toolbar's actions and the designer commands they run.
std::array<std::pair<QAction*, DesignCommand>, 10> alignmentCommands(const MainActions& a)
{
    return {{
        {a.alignLeft, DesignCommand::AlignLeft},
        {a.alignRight, DesignCommand::AlignRight},
        {a.alignTop, DesignCommand::AlignTop},
        {a.alignBottom, DesignCommand::AlignBottom},
        {a.alignHorizontalCenters, DesignCommand::AlignCenterHorizontal},
        {a.alignVerticalCenters, DesignCommand::AlignCenterVertical},
        {a.centerHorizontally, DesignCommand::AlignParentCenterHorizontal},
        {a.centerVertically, DesignCommand::AlignParentCenterVertical},
        {a.equalSpaceHorizontal, DesignCommand::AlignEqualSpaceHorizontal},
        {a.equalSpaceVertical, DesignCommand::AlignEqualSpaceVertical},
    }};
}

} // namespace

MainWindow::MainWindow(MessageBoxes& boxes, AppPaths paths, QWidget* parent)
    : QMainWindow(parent), boxes_(boxes), paths_(std::move(paths)),
      document_(std::make_unique<Document>(boxes)),
      designer_(std::make_unique<DesignerCore>(*document_)),
      actions_(std::make_unique<MainActions>(this)),
      help_(new HelpSystem(paths_.manualFolder, this)),
      recovery_(std::make_unique<RecoveryStore>(*document_, paths_.recoveryFolder))
{
    designer_->options().programFolder = QDir::homePath() + QLatin1Char('/');
    setObjectName(QStringLiteral("WorkFrm1"));
    setWindowTitle(QStringLiteral("Cardmint"));
    buildCentralWidget();
    buildMenus();
    buildToolbars();
    connectCommands();
    connectDesigner();
    connectBuilder();
    setHelpContexts();

    // Room for the designed client area (652 x 468) below three rows of
    // toolbars, within the screen.
    QSize size(900, 720);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size());
    resize(size);
    applySmallScreenRule();

    const WindowSettings settings = WindowSettings::read(paths_.configFolder);
    document_->setFileName(settings.activeDesignFile);
    activeTable_ = settings.activeTable;
    dataTab_->restoreColumnState(settings.gridColumns);
    if (settings.geometry.isEmpty() || !restoreGeometry(settings.geometry)) {
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
    }
    if (!settings.windowState.isEmpty())
        restoreState(settings.windowState);
    dbToolbar_->setVisible(false);   // shown with the Data tab only
    pageHeaderPending_ = pageFooterPending_ = false;
}

MainWindow::~MainWindow()
{
    // The surface and the toolbars refer to the designer and the document.
    delete centralWidget();
    recovery_.reset();
    designer_.reset();
}

QString MainWindow::activeDesignFile() const { return document_->fileName(); }

bool MainWindow::dataTabActive() const { return pages_->currentWidget() == dataTab_; }

void MainWindow::buildCentralWidget()
{
    pages_ = new QTabWidget(this);
    pages_->setObjectName(QStringLiteral("PageControl"));
    pages_->setDocumentMode(true);

    designTab_ = new QWidget(pages_);
    designTab_->setObjectName(QStringLiteral("DesignTab"));
    auto* layout = new QVBoxLayout(designTab_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    ruler_ = new RulerPanel(designTab_);
    ruler_->setObjectName(QStringLiteral("RulerPanel1"));
    ruler_->setFixedHeight(15);
    ruler_->setAccessibleName(tr("Ruler"));
    scrollBox_ = new EventScrollBox(designTab_);
    scrollBox_->setObjectName(QStringLiteral("Scrollbox1"));
    scrollBox_->setFrameShape(QFrame::NoFrame);
    scrollBox_->setAccessibleName(tr("Card layout"));
    surface_ = new DesignSurface(*document_, *designer_, scrollBox_);
    surface_->setObjectName(QStringLiteral("CardReport"));
    surface_->setAccessibleName(tr("Card layout"));
    scrollBox_->setWidget(surface_);
    layout->addWidget(ruler_);
    layout->addWidget(scrollBox_, 1);

    dataTab_ = new DataTab(boxes_, pages_);
    dataTab_->setObjectName(QStringLiteral("DataTab"));

    pages_->addTab(designTab_, tr("Designer"));
    pages_->addTab(dataTab_, tr("Data"));
    setCentralWidget(pages_);

    infoLabel_ = new QLabel(this);
    infoLabel_->setAccessibleName(tr("Selected element"));
    statusBar()->addPermanentWidget(infoLabel_, 1);
}

void MainWindow::buildMenus()
{
    MainActions& a = *actions_;
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addActions({a.newLayout, a.open, a.save, a.saveAs});
    file->addAction(tr("Import ADIF..."), this, &MainWindow::importAdif)->setObjectName(QStringLiteral("ImportAdif"));
    file->addSeparator();
    file->addActions({a.preview, a.pageSetup, a.print, a.printerSetup});
    file->addSeparator();
    addQslCommands(file);
    file->addSeparator();
    file->addAction(a.database);
    file->addSeparator();
    file->addAction(a.exit);

    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    QMenu* insert = edit->addMenu(tr("&New"));
    insert->addActions({a.addText, a.addDataField, a.addShape, a.addImage});
    // Undo, Redo and their separator show only while the designer's undo is on.
    QAction* undoSeparator = edit->addSeparator();
    edit->addActions({a.undo, a.redo});
    undoSeparator->setVisible(designer_->options().undoEnabled);
    a.undo->setVisible(designer_->options().undoEnabled);
    a.redo->setVisible(designer_->options().undoEnabled);
    edit->addSeparator();
    edit->addActions({a.cut, a.copy, a.paste, a.deleteSelection});
    edit->addSeparator();
    edit->addActions({a.sendToBack, a.bringToFront});

    QMenu* view = menuBar()->addMenu(tr("&View"));
    view->addActions({a.showFileToolbar, a.showFontToolbar, a.showElementToolbar});
    view->addSeparator();
    QMenu* zoom = view->addMenu(tr("Zoom"));
    zoom->addActions({a.zoomDefault, a.zoomIn, a.zoomOut});
    view->addSeparator();
    view->addAction(a.options);
    connect(view, &QMenu::aboutToShow, this, [this] {
        actions_->showFileToolbar->setChecked(fileToolbar_->isVisible());
        actions_->showFontToolbar->setChecked(fontToolbar_->isVisible());
    });

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->addActions({a.helpContents, a.helpSearch, a.whatsThis});
    help->addSeparator();
    help->addAction(a.about);
    addAction(a.helpOnControl);   // F1 without a menu entry
}

void MainWindow::buildToolbars()
{
    MainActions& a = *actions_;
    const auto toolbar = [this](const QString& name, const QString& title) {
        auto* t = new QToolBar(title, this);
        t->setObjectName(name);
        t->setAccessibleName(title);
        return t;
    };

    fileToolbar_ = toolbar(QStringLiteral("FileToolbar"), tr("Toolbar"));
    fileToolbar_->addActions({a.newLayout, a.open, a.save});
    fileToolbar_->addSeparator();
    fileToolbar_->addActions({a.print, a.preview});
    fileToolbar_->addSeparator();
    fileToolbar_->addActions({a.cut, a.copy, a.paste});
    fileToolbar_->addSeparator();
    fileToolbar_->addActions({a.sendToBack, a.bringToFront});
    fileToolbar_->addSeparator();
    fileToolbar_->addAction(a.setFrame);

    alignmentToolbar_ = toolbar(QStringLiteral("AlignmentToolbar"), tr("Alignment"));
    alignmentToolbar_->setProperty("helpContext", 5170);
    alignmentToolbar_->addActions({a.alignLeft, a.alignHorizontalCenters, a.centerHorizontally,
                                   a.equalSpaceHorizontal, a.alignRight, a.alignTop, a.alignVerticalCenters,
                                   a.centerVertically, a.equalSpaceVertical, a.alignBottom, a.about,
                                   a.whatsThis});

    propertyToolbar_ = toolbar(QStringLiteral("PropertyToolbar"), tr("Properties"));
    buildPropertyBar();

    fontToolbar_ = toolbar(QStringLiteral("FontToolbar"), tr("Font toolbar"));
    fontToolbar_->setProperty("helpContext", 5160);
    fontBox_ = new QComboBox(fontToolbar_);
    fontBox_->setObjectName(QStringLiteral("FontComboBox"));
    fontBox_->setToolTip(tr("Font"));
    fontBox_->setAccessibleName(tr("Font"));
    fontBox_->setMinimumContentsLength(14);
    fontBox_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    sizeBox_ = new QComboBox(fontToolbar_);
    sizeBox_->setObjectName(QStringLiteral("FontSizeComboBox"));
    sizeBox_->setEditable(true);
    sizeBox_->setToolTip(tr("Fontsize"));
    sizeBox_->setAccessibleName(tr("Fontsize"));
    sizeBox_->setInsertPolicy(QComboBox::NoInsert);
    for (int size : {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72})
        sizeBox_->addItem(QString::number(size));
    sizeBox_->setCurrentIndex(-1);
    fontToolbar_->addWidget(fontBox_);
    fontToolbar_->addWidget(sizeBox_);
    fontToolbar_->addSeparator();
    fontToolbar_->addActions({a.bold, a.underline, a.italic, a.fontColor});

    textAlignToolbar_ = toolbar(QStringLiteral("TextAlignToolbar"), tr("Text alignment"));
    textAlignToolbar_->setProperty("helpContext", 5160);
    textAlignToolbar_->addActions({a.textLeft, a.textCenter, a.textRight});

    elementToolbar_ = toolbar(QStringLiteral("Toolbar971"), tr("Elements"));
    elementToolbar_->addActions({a.selectMove, a.pageSetup, a.addPageFooter, a.addPageHeader, a.addSystemInfo,
                                 a.addText, a.addDataField, a.addImage, a.addShape});

    dbToolbar_ = toolbar(QStringLiteral("DbToolBar"), tr("Data"));
    dbToolbar_->addActions({a.sort, a.unsort});
    dbToolbar_->addSeparator();
    dbToolbar_->addActions({a.firstRecord, a.priorRecord, a.nextRecord, a.lastRecord});
    dbToolbar_->addSeparator();
    groupByBox_ = new QComboBox(dbToolbar_);
    groupByBox_->setObjectName(QStringLiteral("DBIndexCombo1"));
    groupByBox_->setToolTip(tr("Group By"));
    groupByBox_->setAccessibleName(tr("Group By"));
    groupByBox_->setProperty("helpContext", 5220);
    groupByBox_->setMinimumContentsLength(12);
    dbToolbar_->addWidget(groupByBox_);

    addToolBar(Qt::TopToolBarArea, fileToolbar_);
    addToolBar(Qt::TopToolBarArea, alignmentToolbar_);
    addToolBarBreak(Qt::TopToolBarArea);
    addToolBar(Qt::TopToolBarArea, propertyToolbar_);
    addToolBar(Qt::TopToolBarArea, fontToolbar_);
    addToolBar(Qt::TopToolBarArea, textAlignToolbar_);
    addToolBarBreak(Qt::TopToolBarArea);
    addToolBar(Qt::TopToolBarArea, elementToolbar_);
    addToolBar(Qt::TopToolBarArea, dbToolbar_);

    // Buttons carry the hint (one line) as their accessible name; the
    // element buttons show their short caption beside the icon.
    for (QToolBar* t : {fileToolbar_, alignmentToolbar_, fontToolbar_, textAlignToolbar_, elementToolbar_,
                        dbToolbar_}) {
        for (QAction* action : t->actions()) {
            if (QWidget* w = t->widgetForAction(action); w && action->property("accessibleName").isValid())
                w->setAccessibleName(action->property("accessibleName").toString());
        }
    }
}

// Rows of toolbars take room a small screen does not have: there the
// toolbars of the first row share it closely with small icons.
void MainWindow::applySmallScreenRule()
{
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const int screenHeight = screen ? screen->availableGeometry().height() : 1000;
    const bool small = isMaximized() ? screenHeight < 700 : height() < 700;
    if (!small)
        return;
    for (QToolBar* t : {fileToolbar_, alignmentToolbar_})
        t->setIconSize(QSize(16, 16));
}

void MainWindow::setHelpContexts()
{
    surface_->setProperty("helpContext", 5230);
    scrollBox_->setProperty("helpContext", 5230);
    fontBox_->setProperty("helpContext", 5160);
    sizeBox_->setProperty("helpContext", 5160);
    dbToolbar_->setProperty("helpContext", 5210);
    help_->applyWhatsThis(this);
    new WhatsThisMenu(*this, *help_);   // owned by the window
}

void MainWindow::connectCommands()
{
    MainActions& a = *actions_;
    connect(a.newLayout, &QAction::triggered, this, &MainWindow::newLayout);
    connect(a.open, &QAction::triggered, this, &MainWindow::openLayout);
    connect(a.save, &QAction::triggered, this, &MainWindow::save);
    connect(a.saveAs, &QAction::triggered, this, &MainWindow::saveAs);
    connect(a.preview, &QAction::triggered, this, &MainWindow::preview);
    connect(a.print, &QAction::triggered, this, &MainWindow::print);
    connect(a.printerSetup, &QAction::triggered, this, &MainWindow::printerSetup);
    connect(a.database, &QAction::triggered, this, &MainWindow::showDatabase);
    connect(a.exit, &QAction::triggered, this, &QWidget::close);
    connect(a.pageSetup, &QAction::triggered, this, [this] { designer_->editProperties(&document_->report()); });
    connect(a.options, &QAction::triggered, this, [this] {
        editDesignerOptions(*designer_, this);
        afterLayoutChanged();   // the ruler takes the report's unit
    });
    connect(a.setFrame, &QAction::triggered, this, [this] { editSelectionFrame(*designer_, this); });

    connect(a.showFileToolbar, &QAction::toggled, fileToolbar_, &QWidget::setVisible);
    connect(a.showFontToolbar, &QAction::toggled, fontToolbar_, &QWidget::setVisible);
    connect(a.showElementToolbar, &QAction::triggered, this, [this] { actions_->showElementToolbar->setChecked(true); });
    connect(a.zoomDefault, &QAction::triggered, this, &MainWindow::zoomToDefault);
    connect(a.zoomIn, &QAction::triggered, this, &MainWindow::zoomIn);
    connect(a.zoomOut, &QAction::triggered, this, &MainWindow::zoomOut);

    connect(a.helpContents, &QAction::triggered, this, [this] { help_->showContents(this); });
    connect(a.helpSearch, &QAction::triggered, this, [this] { help_->showSearch(this); });
    connect(a.whatsThis, &QAction::triggered, this, &MainWindow::toggleWhatsThis);
    connect(a.helpOnControl, &QAction::triggered, this, &MainWindow::showFocusedHelp);
    connect(a.about, &QAction::triggered, this, [this] { showAboutBox(this); });

    const std::pair<QAction*, DesignState> tools[] = {
        {a.selectMove, DesignState::Normal}, {a.addPageFooter, DesignState::Band},
        {a.addPageHeader, DesignState::Band}, {a.addSystemInfo, DesignState::SystemField},
        {a.addText, DesignState::Label},      {a.addDataField, DesignState::DataField},
        {a.addImage, DesignState::Picture},   {a.addShape, DesignState::Shape},
    };
    for (const auto& [action, state] : tools) {
        connect(action, &QAction::triggered, this, [this, action, state] {
            if (action == actions_->addPageFooter)
                pageFooterPending_ = true;
            else if (action == actions_->addPageHeader)
                pageHeaderPending_ = true;
            armInsertTool(state);
        });
    }

    connect(a.deleteSelection, &QAction::triggered, designer_.get(), &DesignerCore::deleteSelection);
    connect(a.copy, &QAction::triggered, designer_.get(), &DesignerCore::copySelection);
    connect(a.cut, &QAction::triggered, designer_.get(), &DesignerCore::cutSelection);
    connect(a.paste, &QAction::triggered, designer_.get(), &DesignerCore::paste);
    connect(a.sendToBack, &QAction::triggered, this, [this] {
        designer_->sendSelectionToBack();
        designer_->refreshSelection();
    });
    connect(a.bringToFront, &QAction::triggered, this, [this] {
        designer_->bringSelectionToFront();
        designer_->refreshSelection();
    });
    connect(a.undo, &QAction::triggered, designer_.get(), &DesignerCore::undo);
    connect(a.redo, &QAction::triggered, designer_.get(), &DesignerCore::redo);
    for (const auto& [action, command] : alignmentCommands(a))
        connect(action, &QAction::triggered, this, [this, command] { designer_->alignSelection(command); });

    connect(a.bold, &QAction::triggered, this, [this](bool on) { designer_->setFontStyle(on ? 1 : -1, 0, 0); });
    connect(a.underline, &QAction::triggered, this, [this](bool on) { designer_->setFontStyle(0, on ? 1 : -1, 0); });
    connect(a.italic, &QAction::triggered, this, [this](bool on) { designer_->setFontStyle(0, 0, on ? 1 : -1); });
    connect(a.fontColor, &QAction::triggered, this, &MainWindow::pickFontColor);
    connect(a.textLeft, &QAction::triggered, this, [this] { designer_->setTextAlignment(0); });
    connect(a.textRight, &QAction::triggered, this, [this] { designer_->setTextAlignment(1); });
    connect(a.textCenter, &QAction::triggered, this, [this] { designer_->setTextAlignment(2); });
    connect(fontBox_, &QComboBox::textActivated, designer_.get(), &DesignerCore::setFontName);
    connect(sizeBox_, &QComboBox::textActivated, designer_.get(), &DesignerCore::setFontSize);

    connect(pages_, &QTabWidget::currentChanged, this, &MainWindow::onTabChanged);
    connect(scrollBox_, &EventScrollBox::scrolledHorizontally, ruler_, &RulerPanel::setOffset);
    connect(scrollBox_->horizontalScrollBar(), &QScrollBar::valueChanged, ruler_, &RulerPanel::setOffset);

    connect(a.firstRecord, &QAction::triggered, this, [this] { if (LogTable* t = logTable()) t->first(); dataTab_->followCurrentRecord(); });
    connect(a.priorRecord, &QAction::triggered, this, [this] { if (LogTable* t = logTable()) t->prior(); dataTab_->followCurrentRecord(); });
    connect(a.nextRecord, &QAction::triggered, this, [this] { if (LogTable* t = logTable()) t->next(); dataTab_->followCurrentRecord(); });
    connect(a.lastRecord, &QAction::triggered, this, [this] { if (LogTable* t = logTable()) t->last(); dataTab_->followCurrentRecord(); });
    connect(groupByBox_, &QComboBox::activated, this, [this](int entry) {
        QString error;
        if (LogTable* t = logTable(); t && !t->selectIndexEntry(entry, &error))
            boxes_.error(error);
        dataTab_->reload();
    });
    connect(a.sort, &QAction::triggered, dataTab_, &DataTab::sort);
    connect(a.unsort, &QAction::triggered, dataTab_, &DataTab::unsort);
    connect(dataTab_, &DataTab::filterChanged, a.unsort, &QAction::setEnabled);
}

void MainWindow::connectDesigner()
{
    designer_->editPropertiesHandler = [this](Component* c) { return editProperties(c); };
    designer_->blockOptionsHandler = [this](Component* c) {
        if (c)
            editBlockOptions(*designer_, *c, this);
    };
    designer_->popupMenuHandler = [this](const QStringList& items, QPoint point) {
        return showSurfaceMenu(items, point);
    };
    connect(designer_.get(), &DesignerCore::controlsChanged, this, &MainWindow::updateCommandStates);
    connect(designer_.get(), &DesignerCore::fontControlsChanged, this, &MainWindow::syncFontControls);
    connect(designer_.get(), &DesignerCore::infoChanged, infoLabel_, &QLabel::setText);
    connect(designer_.get(), &DesignerCore::designStateChanged, this, [this](DesignState state) {
        if (state == DesignState::Normal)
            actions_->selectMove->setChecked(true);
    });
    connect(document_.get(), &Document::reportReplaced, this, &MainWindow::afterLayoutChanged);
    connect(document_.get(), &Document::zoomChanged, this, &MainWindow::afterLayoutChanged);
    connect(document_.get(), &Document::changed, this, [this] { surface_->adjustSize(); });
    connect(document_.get(), &Document::selectionChanged, this, [this] {
        syncPropertyBar();
        ruler_->setOffset(scrollBox_->horizontalScrollBar()->value());
    });
    connect(document_.get(), &Document::historyChanged, this, &MainWindow::syncPropertyBar);
    connect(document_.get(), &Document::changed, this, &MainWindow::syncPropertyBar);
    fillFontList();
    designer_->updateSelectionControls();
    afterLayoutChanged();
}

void MainWindow::updateCommandStates()
{
    MainActions& a = *actions_;
    const std::pair<QAction*, DesignCommand> commands[] = {
        {a.textLeft, DesignCommand::TextLeftAlign},
        {a.textRight, DesignCommand::TextRightAlign},
        {a.textCenter, DesignCommand::TextCenter},
        {a.copy, DesignCommand::Copy},
        {a.cut, DesignCommand::Cut},
        {a.paste, DesignCommand::Paste},
        {a.deleteSelection, DesignCommand::Delete},
        {a.sendToBack, DesignCommand::SendToBack},
        {a.bringToFront, DesignCommand::BringToFront},
        {a.undo, DesignCommand::Undo},
        {a.redo, DesignCommand::Redo},
    };
    const auto setEnabled = [this](QAction* action, DesignCommand command) {
        action->setEnabled(designer_->isEnabled(command) && !action->property("notAvailableYet").toBool());
    };
    for (const auto& [action, command] : commands)
        setEnabled(action, command);
    for (const auto& [action, command] : alignmentCommands(a))
        setEnabled(action, command);
    // "Undo move", "Redo paste": the step each would take.
    const UndoHistory& history = document_->history();
    a.undo->setText(history.canUndo() ? tr("Undo %1").arg(history.undoName()) : tr("Undo"));
    a.redo->setText(history.canRedo() ? tr("Redo %1").arg(history.redoName()) : tr("Redo"));
    const int alignment = designer_->textAlignment();
    if (alignment >= 0)
        (alignment == 1 ? a.textRight : alignment == 2 ? a.textCenter : a.textLeft)->setChecked(true);
}

void MainWindow::syncFontControls()
{
    const FontControls f = designer_->fontControls();
    const QSignalBlocker blockFont(fontBox_), blockSize(sizeBox_);
    fontBox_->setCurrentIndex(f.name.isEmpty() ? -1 : fontBox_->findText(f.name));
    sizeBox_->setCurrentIndex(sizeBox_->findText(f.sizeText));
    sizeBox_->setEditText(f.sizeText);
    actions_->bold->setChecked(f.bold);
    actions_->italic->setChecked(f.italic);
    actions_->underline->setChecked(f.underline);
}

void MainWindow::fillFontList()
{
    // Printers on this platform print the screen's fonts, so the screen's
    // families are the whole list, with the names layouts carry that the
    // font configuration maps onto metric-compatible fonts.
    QStringList families = QFontDatabase::families();
    families << QStringLiteral("Arial") << QStringLiteral("Times New Roman") << QStringLiteral("Courier New")
             << QFont::substitutions();
    families.sort(Qt::CaseInsensitive);
    families.removeDuplicates();
    const QSignalBlocker block(fontBox_);
    const QString current = fontBox_->currentText();
    fontBox_->clear();
    fontBox_->addItems(families);
    fontBox_->setCurrentIndex(fontBox_->findText(current));
}

void MainWindow::armInsertTool(DesignState state)
{
    designer_->keepInsertMode = QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier);
    designer_->setDesignState(state);
}

bool MainWindow::editProperties(Component* c)
{
    if (!c)
        return false;
    if (auto* report = dynamic_cast<TQRCustomReport*>(c))
        return editReport(*designer_, *report, this);
    if (auto* e = dynamic_cast<TQRDesignDBText*>(c))
        return editDataField(*designer_, *e, this);
    if (auto* e = dynamic_cast<TQRDesignShape*>(c))
        return editShape(*designer_, *e, this);
    if (auto* e = dynamic_cast<TQRDesignImage*>(c))
        return editImage(*designer_, *e, this);
    if (auto* e = dynamic_cast<TQRDesignLabel*>(c))
        return editLabel(*designer_, *e, this);
    if (auto* e = dynamic_cast<TQRDesignSysdata*>(c))
        return editSysData(*designer_, *e, this);
    if (auto* e = dynamic_cast<TQRDesignExpr*>(c))
        return editExpressionElement(*designer_, *e, this);
    if (auto* e = dynamic_cast<TQRDesignMemo*>(c))
        return editMemo(*designer_, *e, this);
    if (auto* e = dynamic_cast<TQRDesignRichtext*>(c))
        return editRichText(*designer_, *e, this);
    if (auto* band = dynamic_cast<TQRCustomBand*>(c)) {
        auto* plain = dynamic_cast<TQRBand*>(band);
        if (pageHeaderPending_) {
            pageHeaderPending_ = false;
            if (plain)
                plain->setBandType(TQRBandType::rbPageHeader);
        } else if (pageFooterPending_) {
            pageFooterPending_ = false;
            if (plain)
                plain->setBandType(TQRBandType::rbPageFooter);
        }
        return true;
    }
    // Elements without a dialog of their own (data pictures, data rich
    // texts) stay when inserted: answering "not edited" would delete them.
    return isDesignObject(*c);
}

void MainWindow::afterLayoutChanged()
{
    ruler_->setZoom(document_->zoom());
    ruler_->setUnits(document_->report().units());
    surface_->adjustSize();
    if (document_->selectionCount() == 0)
        designer_->syncFontControls(document_->report().font());
}

void MainWindow::applyZoom(int zoom)
{
    document_->setZoom(zoom);
    designer_->refreshSelection();
    ruler_->setZoom(document_->zoom());
}

void MainWindow::zoomToDefault() { applyZoom(DefaultZoom); }
void MainWindow::zoomIn() { applyZoom(zoomIncreased(document_->zoom())); }
void MainWindow::zoomOut() { applyZoom(zoomDecreased(document_->zoom())); }

void MainWindow::showDesignCaption()
{
    setMainCaption(activeDesignFile().isEmpty() ? TemplateName : activeDesignFile());
}

void MainWindow::onTabChanged(int)
{
    const bool data = dataTabActive();
    dbToolbar_->setVisible(data);
    if (data) {
        setMainCaption(activeTable_);
        LogTable* table = logTable();
        dataTab_->showRecordCount(table && table->isOpen() ? table->recordCount() : 0);
        const QSignalBlocker block(groupByBox_);
        groupByBox_->clear();
        if (table && table->isOpen()) {
            groupByBox_->addItems(table->indexEntries());
            groupByBox_->setCurrentIndex(table->currentIndexEntry());
        }
    } else {
        showDesignCaption();
    }
}

void MainWindow::showDatabase() { pages_->setCurrentWidget(dataTab_); }

void MainWindow::pickFontColor()
{
    const QColor color = QColorDialog::getColor(Qt::black, this);
    if (!color.isValid())
        return;
    // Colours are stored with red in the lowest byte.
    designer_->setFontColor(TColor(color.red() | color.green() << 8 | color.blue() << 16));
}

void MainWindow::toggleWhatsThis()
{
    if (QWhatsThis::inWhatsThisMode())
        QWhatsThis::leaveWhatsThisMode();
    else
        QWhatsThis::enterWhatsThisMode();
}

// F1: the topic of the focused control, found up its parents.
void MainWindow::showFocusedHelp()
{
    help_->showTopic(HelpSystem::contextOf(QApplication::focusWidget()), this);
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!startedUp_ && !event->spontaneous())
        QMetaObject::invokeMethod(this, &MainWindow::startUp, Qt::QueuedConnection);
}

// The designer's context menu: a "-" is a separator; an item starting with
// NUL carries a check mark ("Y" checked, "N" unchecked, "D" checked and
// disabled). The window adds its What's This entry below.
int MainWindow::showSurfaceMenu(const QStringList& items, QPoint point)
{
    QMenu menu(this);
    for (const QString& item : items) {
        if (item == QLatin1String("-")) {
            menu.addSeparator();
            continue;
        }
        if (item.startsWith(QChar(0)) && item.size() >= 2) {
            QAction* entry = menu.addAction(item.mid(2));
            entry->setCheckable(true);
            entry->setChecked(item[1] != u'N');
            entry->setEnabled(item[1] != u'D');
            continue;
        }
        menu.addAction(item);
    }
    menu.addSeparator();
    menu.addAction(actions_->whatsThis);
    const QPoint at = surface_->mapToGlobal(surface_->toWidget(QRect(point, QSize(1, 1))).topLeft());
    QAction* chosen = menu.exec(at);
    const QList<QAction*> entries = menu.actions();
    const int index = chosen ? int(entries.indexOf(chosen)) : -1;
    return index >= 0 && index < items.size() ? index : -1;
}

} // namespace cm
