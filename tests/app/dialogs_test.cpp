// The property dialogs opened from the window: each writes back on OK and
// leaves the layout as it was on Cancel; the key filters and arrows of
// their numeric boxes; cancelling right after an insert removes the element.
#include "windowfixture.h"

#include "app/dialogs/blockdialog.h"
#include "app/dialogs/dialogbase.h"
#include "app/mainactions.h"
#include "designer/designercore.h"
#include "designer/designobjects.h"
#include "designer/document.h"
#include "engine/paint/rtfreader.h"
#include "report/design.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <functional>

using namespace cm;

namespace {

// Runs `answer` on the next modal dialog once it is shown; with a name,
// on the next one of that object name (a dialog opened from a dialog).
void whenDialogShows(std::function<void(QDialog&)> answer, const QString& name = {})
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, answer, name] {
        auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!d || !d->isVisible() || (!name.isEmpty() && d->objectName() != name))
            return;
        timer->stop();
        timer->deleteLater();
        answer(*d);
    });
    timer->start();
}

template <class T>
T& child(QDialog& d, const QString& name)
{
    T* w = d.findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name.toStdString();
    return *w;
}

QCheckBox& box(QDialog& d, const QString& accessibleName)
{
    for (QCheckBox* b : d.findChildren<QCheckBox*>())
        if (b->accessibleName() == accessibleName)
            return *b;
    ADD_FAILURE() << accessibleName.toStdString();
    return *d.findChild<QCheckBox*>();
}

void typeInto(QWidget& w, const QString& text)
{
    w.setFocus();
    if (auto* line = w.findChild<QLineEdit*>())
        line->selectAll();
    else if (auto* edit = qobject_cast<QLineEdit*>(&w))
        edit->selectAll();
    QTest::keyClicks(&w, text);
}

// Space on the focused box, as a user toggles it from the keyboard.
void toggle(QCheckBox& b)
{
    b.setFocus();
    QTest::keyClick(&b, Qt::Key_Space);
}

// Clicks the visible button of that accessible name.
void click(QDialog& d, const QString& accessibleName)
{
    for (QPushButton* b : d.findChildren<QPushButton*>()) {
        if (b->isVisible() && b->accessibleName() == accessibleName) {
            QTest::mouseClick(b, Qt::LeftButton);
            return;
        }
    }
    ADD_FAILURE() << accessibleName.toStdString();
}

void pressOk(QDialog& d) { QTest::keyClick(&d, Qt::Key_Return); }
void pressCancel(QDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }

template <class T>
T* firstOf(MainWindow& w)
{
    auto all = w.document().workspace().window.componentsOf<T>();
    return all.empty() ? nullptr : all.front();
}

// A band of the layout to put elements on.
TQRCustomBand* someBand(MainWindow& w)
{
    const auto& bands = w.document().report().bandList();
    return bands.empty() ? nullptr : bands.front();
}

// Inserts an element by the designer's tool; its dialog is answered by `answer`.
Component* insert(MainWindow& w, DesignState state, std::function<void(QDialog&)> answer)
{
    TQRCustomBand* band = someBand(w);
    if (!band)
        return nullptr;
    const int before = int(w.document().workspace().window.components().size());
    whenDialogShows(std::move(answer));
    w.designer().setDesignState(state);
    const QPoint at = reportRectOf(*band).topLeft() + QPoint(5, 2);
    w.designer().mouseDown(Qt::LeftButton, {}, band, at);
    const auto& all = w.document().workspace().window.components();
    return int(all.size()) > before ? all.back() : nullptr;
}

} // namespace

TEST_F(WindowTest, ACancelledDialogRightAfterAnInsertRemovesTheNewElement)
{
    auto w = startWindow();
    ASSERT_NE(someBand(*w), nullptr);
    const struct {
        DesignState state;
        const char* dialog;
    } cases[] = {{DesignState::Label, "LabelEditForm"},
                 {DesignState::SystemField, "SysdataEditForm"},
                 {DesignState::Shape, "ShapeEditForm"},
                 {DesignState::Picture, "ImageEditForm"},
                 {DesignState::DataField, "DBTextEditForm"},
                 {DesignState::Expression, "ExprEditForm"},
                 {DesignState::Memo, "MemoEditForm"},
                 {DesignState::RichText, "RichTextEditForm"}};
    for (const auto& c : cases) {
        QString shown;
        EXPECT_EQ(insert(*w, c.state, [&](QDialog& d) { shown = d.objectName(); pressCancel(d); }), nullptr)
            << c.dialog;
        EXPECT_EQ(shown, QLatin1String(c.dialog));
        EXPECT_NE(insert(*w, c.state, [](QDialog& d) { pressOk(d); }), nullptr) << c.dialog;
    }
}

TEST_F(WindowTest, ElementDialogsWriteBackOnOkAndNothingOnCancel)
{
    auto w = startWindow();
    ASSERT_NE(someBand(*w), nullptr);
    boxes.colors.clear();
    const QString rtfFile = inWork(QStringLiteral("thanks.rtf"));
    const QByteArray rtf = "{\\rtf1\\ansi {\\b Tnx} for the QSO\\par 73\\par}";
    {
        QFile f(rtfFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(rtf);
    }
    struct Case {
        DesignState state;
        std::function<void(QDialog&)> change;
        std::function<void(Component&)> check;
    };
    const Case cases[] = {
        {DesignState::Label,
         [](QDialog& d) {
             typeInto(child<QLineEdit>(d, QStringLiteral("LabelCaptionEdit")), QStringLiteral("Via"));
             typeInto(child<NumberBox>(d, QStringLiteral("RotationEdit")), QStringLiteral("22,5"));
             toggle(box(d, QStringLiteral("Transparent")));
         },
         [](Component& c) {
             auto& l = dynamic_cast<TQRDesignLabel&>(c);
             EXPECT_EQ(l.caption(), QStringLiteral("Via"));
             EXPECT_EQ(l.degree(), 225);
             EXPECT_FALSE(l.autoSize);   // a rotation turns it off
             EXPECT_TRUE(l.transparent);
         }},
        {DesignState::SystemField,
         [](QDialog& d) {
             typeInto(child<QLineEdit>(d, QStringLiteral("TextEdit")), QStringLiteral("Page "));
             child<QComboBox>(d, QStringLiteral("TypeCombo")).setCurrentIndex(5);
         },
         [](Component& c) {
             auto& s = dynamic_cast<TQRDesignSysdata&>(c);
             EXPECT_EQ(s.text(), QStringLiteral("Page "));
             EXPECT_EQ(s.data(), TQRSysDataType::qrsPageNumber);
         }},
        {DesignState::Shape,
         [](QDialog& d) {
             child<QComboBox>(d, QStringLiteral("TypeCombo")).setCurrentIndex(0);
             child<QComboBox>(d, QStringLiteral("BrushStyleCombo")).setCurrentIndex(4);
             child<QComboBox>(d, QStringLiteral("PenStyleCombo")).setCurrentIndex(1);
             typeInto(child<NumberBox>(d, QStringLiteral("PenWidthEdit")), QStringLiteral("3x"));
         },
         [](Component& c) {
             auto& s = dynamic_cast<TQRDesignShape&>(c);
             EXPECT_EQ(s.shape, TQRShapeType::qrsCircle);
             EXPECT_EQ(s.brush.style, TBrushStyle::bsBDiagonal);
             EXPECT_EQ(s.pen.style, TPenStyle::psDash);
             EXPECT_EQ(s.pen.width, 3);   // the letter was refused
         }},
        {DesignState::DataField,
         [](QDialog& d) {
             auto& fields = child<QComboBox>(d, QStringLiteral("DataFieldComboBox"));
             fields.setCurrentIndex(fields.findText(QStringLiteral("Band")));
             typeInto(child<QLineEdit>(d, QStringLiteral("DisplayFormatEdit")), QStringLiteral("0.0"));
             toggle(box(d, QStringLiteral("Suppress printing of repeated values")));
             toggle(box(d, QStringLiteral("Reprint suppressed data field on new page")));
             toggle(box(d, QStringLiteral("Suppress printing if value of data field is 0")));
             child<QComboBox>(d, QStringLiteral("AlignmentCombo")).setCurrentIndex(1);
         },
         [](Component& c) {
             auto& e = dynamic_cast<TQRDesignDBText&>(c);
             ASSERT_TRUE(e.dataSet);
             const DataSet* ds = e.dataSet->dataSet();
             ASSERT_TRUE(ds);
             const int band = ds->fieldIndex(e.dataField());
             ASSERT_GE(band, 0) << e.dataField().toStdString();
             EXPECT_EQ(ds->field(band).label(), QStringLiteral("Band"));
             EXPECT_EQ(e.caption(), QStringLiteral("Band"));
             EXPECT_EQ(e.mask, QStringLiteral("0.0"));
             EXPECT_TRUE(e.suppressRepeatedValues);
             EXPECT_TRUE(e.reprintOnNewPage);
             EXPECT_FALSE(e.reprintOnNewGroup);
             EXPECT_TRUE(e.blankIfZero);
             EXPECT_EQ(e.alignment(), TAlignment::taRightJustify);
         }},
        {DesignState::Expression,
         [](QDialog& d) {
             typeInto(child<QLineEdit>(d, QStringLiteral("ExpressionEdit")), QStringLiteral("UPPER('via ') + 'buro'"));
             typeInto(child<QLineEdit>(d, QStringLiteral("MaskEdit")), QStringLiteral("0.00"));
             toggle(box(d, QStringLiteral("Reset after print")));
             toggle(box(d, QStringLiteral("Transparent")));
             child<QComboBox>(d, QStringLiteral("AlignmentCombo")).setCurrentIndex(2);
         },
         [](Component& c) {
             auto& e = dynamic_cast<TQRDesignExpr&>(c);
             EXPECT_EQ(e.expression(), QStringLiteral("UPPER('via ') + 'buro'"));
             EXPECT_EQ(e.caption(), e.expression());
             EXPECT_EQ(e.mask, QStringLiteral("0.00"));
             EXPECT_TRUE(e.resetAfterPrint);
             EXPECT_TRUE(e.transparent);
             EXPECT_EQ(e.alignment(), TAlignment::taCenter);
         }},
        {DesignState::Memo,
         [](QDialog& d) {
             auto& lines = child<QPlainTextEdit>(d, QStringLiteral("LinesEdit"));
             lines.setFocus();
             lines.selectAll();
             QTest::keyClicks(&lines, QStringLiteral("Tnx QSO"));
             QTest::keyClick(&lines, Qt::Key_Return);   // a new line, not OK
             QTest::keyClicks(&lines, QStringLiteral("73"));
             EXPECT_TRUE(d.isVisible());
             toggle(box(d, QStringLiteral("Autostretch height")));
         },
         [](Component& c) {
             auto& m = dynamic_cast<TQRDesignMemo&>(c);
             EXPECT_EQ(m.lines.lines, (QStringList{QStringLiteral("Tnx QSO"), QStringLiteral("73")}));
             EXPECT_TRUE(m.autoStretch);
         }},
        {DesignState::RichText,
         [&](QDialog& d) {
             boxes.fileNames = {rtfFile};
             click(d, QStringLiteral("Load"));
             EXPECT_TRUE(child<QTextEdit>(d, QStringLiteral("RichTextView")).toPlainText().startsWith(u"Tnx for the QSO"));
         },
         [&](Component& c) {
             auto& r = dynamic_cast<TQRDesignRichtext&>(c);
             EXPECT_EQ(r.richContent, rtf);
             EXPECT_EQ(r.lines.lines.value(0), QStringLiteral("Tnx for the QSO"));
         }},
        // Typed text; the second paragraph selected and formatted by the
        // standard keys, the font and colour boxes and the alignment button.
        {DesignState::RichText,
         [&](QDialog& d) {
             auto& text = child<QTextEdit>(d, QStringLiteral("RichTextView"));
             text.setFocus();
             text.selectAll();
             QTest::keyClicks(&text, QStringLiteral("Tnx QSO"));
             QTest::keyClick(&text, Qt::Key_Return);   // a new paragraph, not OK
             QTest::keyClicks(&text, QStringLiteral("73"));
             QTest::keyClick(&text, Qt::Key_Home, Qt::ShiftModifier);
             QFont font(QStringLiteral("Courier New"));
             font.setPointSize(20);
             boxes.fonts = {font};
             boxes.colors = {QColor(0x10, 0x20, 0x30)};
             click(d, QStringLiteral("Font"));
             click(d, QStringLiteral("Color"));
             click(d, QStringLiteral("Centered"));
             for (Qt::Key key : {Qt::Key_B, Qt::Key_I, Qt::Key_U})
                 QTest::keyClick(&text, key, Qt::ControlModifier);
             EXPECT_TRUE(child<QPushButton>(d, QStringLiteral("BoldButton")).isChecked());
         },
         [](Component& c) {
             auto& r = dynamic_cast<TQRDesignRichtext&>(c);
             EXPECT_EQ(r.lines.lines, (QStringList{QStringLiteral("Tnx QSO"), QStringLiteral("73")}));
             QTextDocument stored;
             ASSERT_TRUE(readRtf(r.richContent, stored)) << r.richContent.toStdString();
             ASSERT_EQ(stored.blockCount(), 2);
             const QTextBlock first = stored.firstBlock(), second = first.next();
             EXPECT_EQ(first.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
             EXPECT_EQ(second.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
             const QTextCharFormat plain = first.begin().fragment().charFormat();
             EXPECT_LT(plain.fontWeight(), QFont::DemiBold);
             EXPECT_FALSE(plain.fontItalic());
             ASSERT_EQ(second.text(), QStringLiteral("73"));
             const QTextCharFormat formatted = second.begin().fragment().charFormat();
             EXPECT_GE(formatted.fontWeight(), QFont::DemiBold);
             EXPECT_TRUE(formatted.fontItalic());
             EXPECT_TRUE(formatted.fontUnderline());
             EXPECT_EQ(formatted.fontFamilies().toStringList().value(0), QStringLiteral("Courier New"));
             EXPECT_EQ(formatted.fontPointSize(), 20);
             EXPECT_EQ(formatted.foreground().color(), QColor(0x10, 0x20, 0x30));
         }},
    };
    for (const Case& c : cases) {
        Component* e = insert(*w, c.state, [](QDialog& d) { pressOk(d); });
        ASSERT_NE(e, nullptr);
        const QByteArray before = w->document().layoutBytes();
        whenDialogShows([&](QDialog& d) { c.change(d); pressCancel(d); });
        EXPECT_FALSE(w->designer().editComponent(e));
        EXPECT_EQ(w->document().layoutBytes(), before);

        whenDialogShows([&](QDialog& d) { c.change(d); pressOk(d); });
        EXPECT_TRUE(w->designer().editComponent(e));
        c.check(*e);
        EXPECT_TRUE(w->document().isModified());
        ASSERT_TRUE(w->document().canUndo());
        w->designer().undo();
        EXPECT_EQ(w->document().layoutBytes(), before);
    }
}

TEST_F(WindowTest, FontAndColourButtonsChangeWorkingCopiesThatOnlyOkWrites)
{
    auto w = startWindow();
    Component* e = insert(*w, DesignState::Label, [](QDialog& d) { pressOk(d); });
    ASSERT_NE(e, nullptr);
    auto& label = dynamic_cast<TQRDesignLabel&>(*e);
    QFont chosen(QStringLiteral("Courier New"));
    chosen.setPointSize(20);
    chosen.setBold(true);
    for (bool ok : {false, true}) {
        boxes.fonts = {chosen};
        boxes.colors = {QColor(0x10, 0x20, 0x30)};
        whenDialogShows([&](QDialog& d) {
            for (QPushButton* b : d.findChildren<QPushButton*>()) {
                if (b->accessibleName() == QLatin1String("Font") || b->accessibleName() == QLatin1String("Color"))
                    QTest::mouseClick(b, Qt::LeftButton);
            }
            ok ? pressOk(d) : pressCancel(d);
        });
        w->designer().editComponent(e);
        EXPECT_EQ(label.font().name() == QLatin1String("Courier New"), ok);
        EXPECT_EQ(label.color() == 0x302010, ok);
    }
    EXPECT_EQ(label.font().size(), 20);
    EXPECT_TRUE(label.font().hasStyle(fsBold));
}

TEST_F(WindowTest, ImageDialogLoadsRasterAndSvgPicturesWithAPreview)
{
    auto w = startWindow();
    QImage png(30, 20, QImage::Format_RGB32);
    png.fill(Qt::red);
    ASSERT_TRUE(png.save(inWork(QStringLiteral("logo.png"))));
    QFile svg(inWork(QStringLiteral("logo.svg")));
    ASSERT_TRUE(svg.open(QIODevice::WriteOnly));
    svg.write("<svg xmlns='http://www.w3.org/2000/svg' width='40' height='25'><rect width='40' height='25' fill='blue'/></svg>");
    svg.close();
    const struct {
        const char* file;
        QSize size;
    } cases[] = {{"logo.png", {30, 20}}, {"logo.svg", {40, 25}}};
    for (const auto& c : cases) {
        boxes.fileNames = {inWork(QString::fromLatin1(c.file))};
        bool previewed = false;
        Component* e = insert(*w, DesignState::Picture, [&](QDialog& d) {
            EXPECT_TRUE(child<QLineEdit>(d, QStringLiteral("Fileedit")).text().isEmpty());   // "*.BMP" is no file
            QTest::mouseClick(&child<QPushButton>(d, QStringLiteral("BrowseButton")), Qt::LeftButton);
            previewed = !child<QLabel>(d, QStringLiteral("Preview")).pixmap().isNull();
            pressOk(d);
        });
        ASSERT_NE(e, nullptr) << c.file;
        EXPECT_TRUE(previewed) << c.file;
        auto& image = dynamic_cast<TQRDesignImage&>(*e);
        EXPECT_EQ(image.picture.image().size(), c.size) << c.file;
        EXPECT_EQ(image.bounds.size(), c.size) << c.file;   // autosize fits the element to it
    }
    // A file that cannot be read: the error is shown, no file name is kept, autosize is off.
    Component* e = insert(*w, DesignState::Picture, [&](QDialog& d) {
        typeInto(child<QLineEdit>(d, QStringLiteral("Fileedit")), inWork(QStringLiteral("missing.png")));
        pressOk(d);
    });
    ASSERT_NE(e, nullptr);
    EXPECT_TRUE(dynamic_cast<TQRDesignImage&>(*e).filename.isEmpty());
    EXPECT_FALSE(dynamic_cast<TQRDesignImage&>(*e).autoSize);
    EXPECT_TRUE(boxes.shown.back().startsWith(QLatin1String("error: ")));
}

TEST_F(WindowTest, PageSetupShowsTheReportsUnitAndTakesACustomPaperInInches)
{
    auto w = startWindow();
    TQRDesignReport& report = w->document().report();
    report.setUnits(TQRUnit::MM);
    report.page.setPaperSize(TQRPaperSize::A4);
    report.page.setColumns(2);
    report.page.setColumnSpace(0.5);
    report.page.setTopMargin(10);
    ASSERT_TRUE(w->actions().pageSetup->isEnabled());
    whenDialogShows([](QDialog& d) {
        EXPECT_EQ(child<QLabel>(d, QStringLiteral("UnitLabel3")).text(), QStringLiteral("mm"));
        EXPECT_FALSE(child<NumberBox>(d, QStringLiteral("PaperWidthEdit")).isVisible());
        pressCancel(d);
    });
    w->actions().pageSetup->trigger();

    // The options dialog switches to inches; the next page setup shows them.
    whenDialogShows([](QDialog& d) {
        child<QComboBox>(d, QStringLiteral("UnitCombo")).setCurrentIndex(1);
        pressOk(d);
    });
    w->actions().options->trigger();
    EXPECT_EQ(report.units(), TQRUnit::Inches);
    whenDialogShows([](QDialog& d) {
        EXPECT_EQ(child<QLabel>(d, QStringLiteral("UnitLabel1")).text(), QStringLiteral("Inches"));
        EXPECT_EQ(child<NumberBox>(d, QStringLiteral("TopMarginEdit")).text(), QStringLiteral("0.39"));
        auto& columns = child<NumberBox>(d, QStringLiteral("ColumnsEdit"));
        typeInto(columns, QStringLiteral("0"));   // refused, and so is backspace
        EXPECT_EQ(columns.text(), QStringLiteral("2"));
        QTest::keyClick(&columns, Qt::Key_Backspace);
        EXPECT_EQ(columns.text(), QStringLiteral("2"));
        QTest::keyClick(&columns, Qt::Key_Down);
        QTest::keyClick(&columns, Qt::Key_Down);
        EXPECT_EQ(columns.text(), QStringLiteral("1"));
        auto& space = child<NumberBox>(d, QStringLiteral("ColumnSpaceEdit"));
        typeInto(space, QStringLiteral("0,5"));
        QTest::keyClick(&space, Qt::Key_Down);
        EXPECT_EQ(space.text(), QStringLiteral("0.5"));   // it would go below 0
        // Typing a width chooses the custom paper.
        auto& width = child<NumberBox>(d, QStringLiteral("PaperWidthEdit"));
        auto& paper = child<QComboBox>(d, QStringLiteral("PaperSizeCombo"));
        paper.setCurrentIndex(paper.findText(QStringLiteral("Custom Size")));
        typeInto(width, QStringLiteral("5,5"));
        typeInto(child<NumberBox>(d, QStringLiteral("PaperLengthEdit")), QStringLiteral("3.5"));
        pressOk(d);
    });
    w->actions().pageSetup->trigger();
    EXPECT_EQ(report.page.paperSize(), TQRPaperSize::Custom);
    EXPECT_NEAR(double(report.page.values[TQRPage::Wid]), 5.5 * 254, 1e-6);
    EXPECT_NEAR(double(report.page.values[TQRPage::Len]), 3.5 * 254, 1e-6);
    EXPECT_EQ(report.page.columns(), 1);
    EXPECT_TRUE(w->document().isModified());
}

TEST_F(WindowTest, OptionsDialogWritesTheDesignerSettingsAndKeepsTheGridAtOneOrMore)
{
    auto w = startWindow();
    whenDialogShows([](QDialog& d) {
        auto& gridX = child<NumberBox>(d, QStringLiteral("GridXEdit"));
        typeInto(gridX, QStringLiteral("0"));
        QTest::keyClick(&gridX, Qt::Key_Down);
        EXPECT_EQ(gridX.text(), QStringLiteral("0"));   // the arrow stops at 0
        typeInto(child<NumberBox>(d, QStringLiteral("GridYEdit")), QStringLiteral("8"));
        typeInto(child<NumberBox>(d, QStringLiteral("KeyboardXEdit")), QStringLiteral("3"));
        QTest::mouseClick(&box(d, QStringLiteral("Show component frames at design time")), Qt::LeftButton);
        QTest::mouseClick(&box(d, QStringLiteral("Show band-names")), Qt::LeftButton);
        pressOk(d);
    });
    const bool namesBefore = w->designer().options().showBandNames;
    const bool framesBefore = w->designer().options().showComponentFrames;
    w->actions().options->trigger();
    const DesignerOptions& o = w->designer().options();
    EXPECT_EQ(o.gridSizeX, 1);
    EXPECT_EQ(o.gridSizeY, 8);
    EXPECT_EQ(o.keyboardMoveX, 3);
    EXPECT_NE(o.showComponentFrames, framesBefore);
    EXPECT_NE(o.showBandNames, namesBefore);
    EXPECT_FALSE(w->document().isModified());   // no layout property changed
}

TEST_F(WindowTest, BlockDialogOnOneElementAndOnAMixedSelection)
{
    auto w = startWindow();
    Component* a = insert(*w, DesignState::Label, [](QDialog& d) { pressOk(d); });
    Component* b = insert(*w, DesignState::Shape, [](QDialog& d) { pressOk(d); });
    ASSERT_TRUE(a && b);
    auto& la = dynamic_cast<TQRDesignLabel&>(*a);
    auto& sb = dynamic_cast<TQRDesignShape&>(*b);
    la.d.blockMove = true;
    sb.d.blockDelete = true;
    sb.d.fixBottomPosition = true;

    // One element: its name, flags and position in the report's unit.
    w->document().report().setUnits(TQRUnit::MM);
    w->designer().clearSelection();
    w->designer().select(a);
    whenDialogShows([](QDialog& d) {
        EXPECT_FALSE(child<NumberBox>(d, QStringLiteral("LeftEdit")).isEnabled());
        EXPECT_TRUE(box(d, QStringLiteral("no moving")).isChecked());
        typeInto(child<NumberBox>(d, QStringLiteral("WidthEdit")), QStringLiteral("25.00"));
        typeInto(child<QLineEdit>(d, QStringLiteral("NameEdit")), QStringLiteral("CallLabel"));
        pressOk(d);
    });
    EXPECT_TRUE(editBlockOptions(w->designer(), *a, w.get()));
    EXPECT_EQ(a->name(), QStringLiteral("CallLabel"));
    EXPECT_NEAR(double(la.size.values[TQRPrintableSize::W]), 250, 1e-6);
    EXPECT_TRUE(w->document().isSelected(a));

    // A name already taken is refused with the designer's message.
    whenDialogShows([&](QDialog& d) {
        typeInto(child<QLineEdit>(d, QStringLiteral("NameEdit")), b->name());
        pressOk(d);
    });
    editBlockOptions(w->designer(), *a, w.get());
    EXPECT_EQ(a->name(), QStringLiteral("CallLabel"));
    EXPECT_EQ(boxes.shown.back(), QStringLiteral("error: Invalid componentname!"));

    // Two elements: the boxes start empty and unchecked; OK clears both elements' flags.
    w->designer().select(b);
    ASSERT_EQ(w->document().selectionCount(), 2);
    const QRect boundsA = a->bounds, boundsB = b->bounds;
    whenDialogShows([](QDialog& d) {
        for (const char* name : {"LeftEdit", "TopEdit", "WidthEdit", "HeightEdit"})
            EXPECT_TRUE(child<NumberBox>(d, QString::fromLatin1(name)).text().isEmpty()) << name;
        for (QCheckBox* c : d.findChildren<QCheckBox*>())
            EXPECT_FALSE(c->isChecked()) << c->text().toStdString();
        pressOk(d);
    });
    editBlockOptions(w->designer(), *b, w.get());
    EXPECT_FALSE(la.d.blockMove);
    EXPECT_FALSE(sb.d.blockDelete);
    EXPECT_FALSE(sb.d.fixBottomPosition);
    EXPECT_EQ(a->bounds, boundsA);
    EXPECT_EQ(b->bounds, boundsB);
}

TEST_F(WindowTest, SetFrameGivesEverySelectedElementTheSameFrame)
{
    auto w = startWindow();
    std::vector<Component*> made;
    for (int i = 0; i < 3; ++i)
        made.push_back(insert(*w, DesignState::Label, [](QDialog& d) { pressOk(d); }));
    for (Component* c : made) {
        ASSERT_NE(c, nullptr);
        w->designer().select(c);
    }
    ASSERT_EQ(w->document().selectionCount(), 3);
    boxes.colors = {QColor(0, 0, 255)};
    whenDialogShows([](QDialog& d) {
        QTest::mouseClick(&box(d, QStringLiteral("Top")), Qt::LeftButton);
        QTest::mouseClick(&box(d, QStringLiteral("Right")), Qt::LeftButton);
        auto& width = child<NumberBox>(d, QStringLiteral("WidthEdit"));
        EXPECT_EQ(width.text(), QStringLiteral("1"));
        QTest::keyClick(&width, Qt::Key_Down);
        EXPECT_EQ(width.text(), QStringLiteral("1"));
        QTest::keyClick(&width, Qt::Key_Up);
        for (QPushButton* b : d.findChildren<QPushButton*>())
            if (b->accessibleName() == QLatin1String("Color"))
                QTest::mouseClick(b, Qt::LeftButton);
        pressOk(d);
    });
    w->actions().setFrame->trigger();
    for (Component* c : made) {
        const TQRFrame& f = dynamic_cast<TQRControl&>(*c).frame;
        EXPECT_TRUE(f.drawTop && f.drawRight && !f.drawLeft && !f.drawBottom);
        EXPECT_EQ(f.width, 2);
        EXPECT_EQ(f.color, 0xFF0000);
    }
    EXPECT_TRUE(w->document().isModified());
}

TEST_F(WindowTest, ExpressionDialogsBuilderButtonEditsTheFormulaInTheBuilder)
{
    auto w = startWindow();
    Component* e = insert(*w, DesignState::Expression, [](QDialog& d) {
        typeInto(child<QLineEdit>(d, QStringLiteral("ExpressionEdit")), QStringLiteral("1 + 2"));
        pressOk(d);
    });
    ASSERT_NE(e, nullptr);
    auto& element = dynamic_cast<TQRDesignExpr&>(*e);
    ASSERT_EQ(element.expression(), QStringLiteral("1 + 2"));

    QString preset, afterOk, afterCancel;
    whenDialogShows([&](QDialog& d) {
        auto& edit = child<QLineEdit>(d, QStringLiteral("ExpressionEdit"));
        // OK in the builder puts its formula, on one line, into the edit.
        whenDialogShows(
            [&](QDialog& builder) {
                auto* formula = builder.findChild<QPlainTextEdit*>(QStringLiteral("Formula"));
                ASSERT_NE(formula, nullptr);
                preset = formula->toPlainText();
                click(builder, QStringLiteral("Clear"));
                formula->setFocus();
                QTest::keyClicks(formula, QStringLiteral("UPPER('qsl')"));
                QTest::keyClick(formula, Qt::Key_Return);
                QTest::keyClicks(formula, QStringLiteral("+ 'x'"));
                click(builder, QStringLiteral("OK"));
            },
            QStringLiteral("ExpressionBuilder"));
        click(d, QStringLiteral("Expression builder"));
        afterOk = edit.text();
        // Cancel in the builder leaves the edit as it was.
        whenDialogShows(
            [&](QDialog& builder) {
                QTest::keyClicks(builder.findChild<QPlainTextEdit*>(QStringLiteral("Formula")), QStringLiteral(" + 1"));
                click(builder, QStringLiteral("Cancel"));
            },
            QStringLiteral("ExpressionBuilder"));
        click(d, QStringLiteral("Expression builder"));
        afterCancel = edit.text();
        pressOk(d);
    });
    EXPECT_TRUE(w->designer().editComponent(e));
    EXPECT_EQ(preset, QStringLiteral("1 + 2"));
    EXPECT_EQ(afterOk, QStringLiteral("UPPER('qsl')+ 'x'"));
    EXPECT_EQ(afterCancel, afterOk);
    EXPECT_EQ(element.expression(), afterOk);
}

TEST_F(WindowTest, ExpressionDialogRefusesAFormulaThatDoesNotCompile)
{
    auto w = startWindow();
    Component* e = insert(*w, DesignState::Expression, [](QDialog& d) { pressOk(d); });
    ASSERT_NE(e, nullptr);
    auto& element = dynamic_cast<TQRDesignExpr&>(*e);
    const QByteArray before = w->document().layoutBytes();
    struct Case {
        const char* formula;
        bool accepted;
    } cases[] = {
        {"UPPER('a'", false},          // the call is not closed
        {"(1 + 2", false},
        {"NOSUCHFUNCTION(1)", false},
        {"NOSUCHFIELD", false},        // every table is open, so a name must resolve
        {"Tbl.CALL + ' ' + UPPER(Tbl.BAND)", true},
    };
    for (const Case& c : cases) {
        const int shown = int(boxes.shown.size());
        bool stayedOpen = false;
        whenDialogShows([&](QDialog& d) {
            typeInto(child<QLineEdit>(d, QStringLiteral("ExpressionEdit")), QString::fromLatin1(c.formula));
            pressOk(d);
            stayedOpen = d.isVisible();
            if (stayedOpen)
                pressCancel(d);
        });
        EXPECT_EQ(w->designer().editComponent(e), c.accepted) << c.formula;
        EXPECT_EQ(stayedOpen, !c.accepted) << c.formula;
        if (c.accepted) {
            EXPECT_EQ(element.expression(), QString::fromLatin1(c.formula));
        } else {
            ASSERT_EQ(int(boxes.shown.size()), shown + 1) << c.formula;
            EXPECT_TRUE(boxes.shown.back().startsWith(QLatin1String("error: The expression cannot be used: ")))
                << boxes.shown.back().toStdString();
            EXPECT_EQ(w->document().layoutBytes(), before) << c.formula;
        }
    }
    // A protected element keeps its formula, even a faulty one, and the rest is still edited.
    element.setExpression(QStringLiteral("UPPER('a'"));
    element.d.blockChange = true;
    bool formulaLocked = false;
    whenDialogShows([&](QDialog& d) {
        formulaLocked = !child<QLineEdit>(d, QStringLiteral("ExpressionEdit")).isEnabled() &&
                        !child<QPushButton>(d, QStringLiteral("BuilderButton")).isEnabled();
        toggle(box(d, QStringLiteral("Transparent")));
        pressOk(d);
    });
    const bool transparent = element.transparent;
    EXPECT_TRUE(w->designer().editComponent(e));
    EXPECT_TRUE(formulaLocked);
    EXPECT_NE(element.transparent, transparent);
    EXPECT_EQ(element.expression(), QStringLiteral("UPPER('a'"));
}

TEST_F(WindowTest, ABandsFormulaIsEditedInTheBuilderFromItsContextMenu)
{
    auto w = startWindow();
    auto* band = dynamic_cast<TQRDesignBand*>(someBand(*w));
    ASSERT_NE(band, nullptr);
    band->d.expression = QStringLiteral("1 = 1");
    w->document().setModified(false);
    const QByteArray before = w->document().layoutBytes();
    w->designer().clearSelection();
    w->designer().select(band);

    QStringList offered;
    w->designer().popupMenuHandler = [&](const QStringList& items, QPoint) {
        offered = items;
        return int(items.indexOf(QStringLiteral("Expression...")));
    };
    QString preset;
    whenDialogShows(
        [&](QDialog& builder) {
            auto* formula = builder.findChild<QPlainTextEdit*>(QStringLiteral("Formula"));
            ASSERT_NE(formula, nullptr);
            preset = formula->toPlainText();
            formula->selectAll();
            QTest::keyClicks(formula, QStringLiteral("Tbl.BAND = '20M'"));
            click(builder, QStringLiteral("OK"));
        },
        QStringLiteral("ExpressionBuilder"));
    w->designer().showContextMenu(band, QPoint());
    EXPECT_TRUE(offered.contains(QStringLiteral("Expression...")));
    EXPECT_FALSE(offered.contains(QStringLiteral("Print expression...")));   // a group's only
    EXPECT_EQ(preset, QStringLiteral("1 = 1"));
    EXPECT_EQ(band->d.expression, QStringLiteral("Tbl.BAND = '20M'"));
    EXPECT_TRUE(w->document().isModified());
    w->designer().undo();   // one step; it rebuilds the layout, so the band is taken again
    EXPECT_EQ(w->document().layoutBytes(), before);
    band = dynamic_cast<TQRDesignBand*>(someBand(*w));
    ASSERT_NE(band, nullptr);
    w->designer().clearSelection();
    w->designer().select(band);

    // Cancel in the builder changes nothing; a protected band offers no entry.
    whenDialogShows([](QDialog& builder) { click(builder, QStringLiteral("Cancel")); },
                    QStringLiteral("ExpressionBuilder"));
    w->designer().showContextMenu(band, QPoint());
    EXPECT_EQ(w->document().layoutBytes(), before);
    band->d.blockEdit = true;
    w->designer().showContextMenu(band, QPoint());
    EXPECT_FALSE(offered.contains(QStringLiteral("Expression...")));
}
