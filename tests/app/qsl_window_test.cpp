// The QSL workflow in the window: marking exported cards as sent, logbooks
// that cannot be marked, the start position on a sheet of cards, label
// sheets as one undo step, and the printer calibration dialog.
#include "windowfixture.h"
#include "logbook_fixtures.h"

#include "app/calibrationdialog.h"
#include "app/datatab.h"
#include "app/logtablemodel.h"
#include "app/mainactions.h"
#include "app/previewwindow.h"
#include "app/printchoice.h"
#include "designer/document.h"
#include "engine/generate/labelsheets.h"
#include "engine/output/printcalibration.h"
#include "engine/pages/qrprinter.h"
#include "engine/print/qtprintdevice.h"
#include "logbook/logfields.h"
#include "logbook/logtable.h"
#include "report/design.h"
#include "pdfraster.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QImage>
#include <QListWidget>
#include <QPainter>
#include <QPointer>
#include <QPrintDialog>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

using namespace cm;

namespace {

// Five QSOs, three of them on 20 m.
QString fiveQsos(const QTemporaryDir& dir, const QString& name)
{
    const QDate day(2024, 3, 1);
    return cmtest::makeSqliteLogbook(
        dir, name,
        {cmtest::qso("S52AB", day, QTime(10, 0), "20M", "SSB", 14.2, "Slovenia"),
         cmtest::qso("DL1XY", day, QTime(10, 5), "40M", "CW", 7.01, "Germany"),
         cmtest::qso("OK2PQ", day, QTime(10, 9), "20M", "CW", 14.03, "Czech Republic"),
         cmtest::qso("G4ABC", day, QTime(10, 12), "80M", "SSB", 3.7, "England"),
         cmtest::qso("F5XYZ", day, QTime(10, 20), "20M", "FT8", 14.074, "France")});
}

// Call → Qsl Sent, read from the file as another program would.
std::map<QString, QString> marksIn(const QString& path)
{
    LogTable table;
    table.setTableName(path);
    std::map<QString, QString> marks;
    if (!table.open())
        return marks;
    for (int r = 0; r < table.recordCount(); ++r)
        marks[table.recordText(r, LogCall).trimmed()] = table.recordText(r, LogQslS).trimmed();
    return marks;
}

PreviewWindow* openPreview(MainWindow& w)
{
    w.preview();
    PreviewWindow* preview = w.previewWindow();
    if (preview)
        QApplication::setActiveWindow(preview);
    return preview;
}

bool hasLineStarting(const QStringList& shown, const QString& start)
{
    return std::any_of(shown.begin(), shown.end(), [&](const QString& s) { return s.startsWith(start); });
}

// While a print runs: the print dialog is accepted as it comes and, with
// `cancel`, the progress window's Cancel is pressed once it shows.
void answerPrintDialogs(bool cancel)
{
    auto* timer = new QTimer;
    timer->setInterval(0);
    QObject::connect(timer, &QTimer::timeout, [timer, cancel] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<QPrintDialog*>(modal); dialog && dialog->isVisible()) {
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
            if (!cancel) {
                timer->stop();
                timer->deleteLater();
            }
        } else if (auto* progress = qobject_cast<QProgressDialog*>(modal); cancel && progress && progress->isVisible()) {
            timer->stop();
            timer->deleteLater();
            progress->cancel();
        }
    });
    timer->start();
}

// A PDF file in the printer's place, one file per print; the names asked for.
struct PdfPrinters {
    QString folder;
    QStringList asked;
    int prints = 0;
    QString file(int print) const { return QDir(folder).filePath(QStringLiteral("printed%1.pdf").arg(print)); }
    MainWindow::PrintDeviceMaker maker()
    {
        return [this](const QString& name) {
            asked << name;
            return std::make_unique<TQRQtPrintDevice>(TQRQtPrintDevice::PrintToFile{}, file(++prints));
        };
    }
};

int pdfPages(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray pdf = file.readAll();
    return int(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r"));
}

} // namespace

TEST_F(WindowTest, PrintedCardsAreMarkedAsSentAndACancelledPrintMarksNothing)
{
    QTemporaryDir dir;
    const QString log = fiveQsos(dir, QStringLiteral("log.db"));
    ASSERT_FALSE(log.isEmpty());
    auto w = startWindow();
    PdfPrinters printers{dir.path(), {}, 0};
    w->setPrintDeviceMaker(printers.maker());
    w->markSentOption()->setChecked(true);
    boxes.fileNames.push_back(log);
    w->openTable();
    ASSERT_EQ(w->activeTable(), log) << boxes.shown.join('\n').toStdString();
    ASSERT_TRUE(w->dataTab().applyFilter("(Band = '20M')"));
    w->dataTab().reload();

    // Cancelled in the progress window: the job is aborted, nothing asked or marked.
    boxes.shown.clear();
    answerPrintDialogs(true);
    w->actions().print->trigger();
    EXPECT_EQ(printers.prints, 1);
    EXPECT_EQ(pdfPages(printers.file(1)), 0);
    EXPECT_FALSE(hasLineStarting(boxes.shown, "ask:")) << boxes.shown.join('\n').toStdString();
    for (const auto& [call, mark] : marksIn(log))
        EXPECT_EQ(mark, "") << call.toStdString();

    // Printed: one page per card, and Yes marks exactly the printed QSOs.
    boxes.shown.clear();
    boxes.answers.push_back(MessageBoxes::Answer::Yes);
    answerPrintDialogs(false);
    w->actions().print->trigger();
    ASSERT_EQ(printers.prints, 2);
    EXPECT_EQ(pdfPages(printers.file(2)), 3);
    EXPECT_TRUE(boxes.shown.contains("ask: Mark the 3 printed QSOs as sent?")) << boxes.shown.join('\n').toStdString();
    const std::map<QString, QString> expected = {
        {"S52AB", "Y"}, {"DL1XY", ""}, {"OK2PQ", "Y"}, {"G4ABC", ""}, {"F5XYZ", "Y"}};
    EXPECT_EQ(marksIn(log), expected);
}

// The preview's Print prints on the printer chosen for it, under that
// printer's stored calibration: the offset moves everything on the sheet.
TEST_F(WindowTest, PreviewPrintAppliesThePrintersCalibration)
{
    if (!cmtest::canRasterisePdf())
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    auto w = startWindow();
    QTemporaryDir dir;
    PdfPrinters printers{dir.path(), {}, 0};
    w->setPrintDeviceMaker(printers.maker());
    const QString printer = QStringLiteral("Office Laser");
    const auto printFromPreview = [&] {
        QPointer<PreviewWindow> preview = openPreview(*w);
        ASSERT_NE(preview, nullptr);
        PrintChoice choice;
        choice.printerName = printer;
        preview->setPrintChoice(choice);
        preview->action(QStringLiteral("Print"))->trigger();
        ASSERT_FALSE(preview.isNull());
        preview->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);   // gone before the next one opens
    };
    printFromPreview();
    QString error;
    ASSERT_TRUE(writeCalibration(QDir(paths.configFolder).filePath("Cardmint.ini"), printer, PageCalibration{10, 5, 100}, &error))
        << error.toStdString();
    printFromPreview();
    ASSERT_EQ(printers.asked, (QStringList{printer, printer}));

    constexpr int Dpi = 50;
    const std::vector<QImage> plain = cmtest::rasterisePdf(printers.file(1), Dpi);
    const std::vector<QImage> moved = cmtest::rasterisePdf(printers.file(2), Dpi);
    ASSERT_FALSE(plain.empty());
    ASSERT_EQ(moved.size(), plain.size());
    const QRect before = cmtest::inkBounds(plain[0]), after = cmtest::inkBounds(moved[0]);
    ASSERT_FALSE(before.isEmpty());
    const QPoint expected(qRound(10 * Dpi / 25.4), qRound(5 * Dpi / 25.4));
    const QPoint shift = after.topLeft() - before.topLeft();
    EXPECT_LE((shift - expected).manhattanLength(), 2) << shift.x() << "," << shift.y();
}

TEST_F(WindowTest, ExportedCardsAreMarkedAsSentOnlyWhenTheUserSaysYes)
{
    QTemporaryDir dir;
    const struct {
        MessageBoxes::Answer answer;
        QString expected;   // Qsl Sent of the 20 m QSOs afterwards
    } cases[] = {{MessageBoxes::Answer::Yes, "Y"}, {MessageBoxes::Answer::No, ""}};
    for (const auto& c : cases) {
        const QString log = fiveQsos(dir, QStringLiteral("log%1.db").arg(int(c.answer)));
        ASSERT_FALSE(log.isEmpty());
        auto w = startWindow();
        w->markSentOption()->setChecked(true);
        boxes.fileNames.push_back(log);
        w->openTable();
        ASSERT_EQ(w->activeTable(), log) << boxes.shown.join('\n').toStdString();
        ASSERT_TRUE(w->dataTab().applyFilter("(Band = '20M')"));
        ASSERT_TRUE(w->logTable()->setIndexFieldNames("Call DESC"));
        w->dataTab().reload();
        const QString orderBefore = w->logTable()->indexFieldNames();

        PreviewWindow* preview = openPreview(*w);
        ASSERT_NE(preview, nullptr);
        ASSERT_EQ(preview->pages().storedPages(), 3);
        boxes.shown.clear();
        boxes.fileNames.push_back(inWork(QStringLiteral("cards%1.pdf").arg(int(c.answer))));
        boxes.answers.push_back(c.answer);
        preview->action(QStringLiteral("Export"))->trigger();
        EXPECT_TRUE(QFile::exists(inWork(QStringLiteral("cards%1.pdf").arg(int(c.answer)))));
        EXPECT_TRUE(boxes.shown.contains("ask: Mark the 3 printed QSOs as sent?")) << boxes.shown.join('\n').toStdString();

        const std::map<QString, QString> expected = {{"S52AB", c.expected}, {"DL1XY", ""}, {"OK2PQ", c.expected},
                                                     {"G4ABC", ""},        {"F5XYZ", c.expected}};
        EXPECT_EQ(marksIn(log), expected);
        // The Data tab shows the marks, with the filter and order kept.
        LogTable* shown = w->logTable();
        ASSERT_NE(shown, nullptr);
        EXPECT_EQ(shown->recordCount(), 3);
        EXPECT_EQ(shown->indexFieldNames(), orderBefore);
        EXPECT_EQ(w->dataTab().model().rowCount(), 3);
        for (int r = 0; r < shown->recordCount(); ++r)
            EXPECT_EQ(shown->recordText(r, LogQslS).trimmed(), c.expected);
        preview->close();
    }
}

TEST_F(WindowTest, NoQuestionWithoutTheOptionOrWithoutAWholeExport)
{
    QTemporaryDir dir;
    const QString log = fiveQsos(dir, QStringLiteral("log.db"));
    auto w = startWindow();
    boxes.fileNames.push_back(log);
    w->openTable();
    ASSERT_EQ(w->activeTable(), log);
    PreviewWindow* preview = openPreview(*w);
    ASSERT_NE(preview, nullptr);

    // The option is off unless chosen.
    EXPECT_FALSE(w->markSentOption()->isChecked());
    boxes.fileNames.push_back(inWork("all.pdf"));
    preview->action(QStringLiteral("Export"))->trigger();
    EXPECT_TRUE(QFile::exists(inWork("all.pdf")));
    EXPECT_FALSE(hasLineStarting(boxes.shown, "ask:")) << boxes.shown.join('\n').toStdString();

    // The file box cancelled, or a file that cannot be written.
    w->markSentOption()->setChecked(true);
    boxes.shown.clear();
    preview->action(QStringLiteral("Export"))->trigger();
    boxes.fileNames.push_back(inWork("no/such/folder/cards.pdf"));
    preview->action(QStringLiteral("Export"))->trigger();
    EXPECT_TRUE(hasLineStarting(boxes.shown, "error:")) << boxes.shown.join('\n').toStdString();
    EXPECT_FALSE(hasLineStarting(boxes.shown, "ask:")) << boxes.shown.join('\n').toStdString();
    for (const auto& [call, mark] : marksIn(log))
        EXPECT_EQ(mark, "") << call.toStdString();
    preview->close();

    // The option is kept in the settings.
    auto again = startWindow();
    EXPECT_TRUE(again->markSentOption()->isChecked());
}

TEST_F(WindowTest, ParadoxTablesAndAdifFilesAreToldTheyCannotBeMarked)
{
    cmtest::PxTable px;
    px.fields = cmtest::pxLogbookFields();
    px.records = {cmtest::pxLogbookRecord(1, QDate(2024, 2, 1), QTime(12, 0), "S52AB", "20M", 14.2, 15),
                  cmtest::pxLogbookRecord(2, QDate(2024, 2, 2), QTime(13, 0), "DL1XY", "40M", 7.01, 14)};
    ASSERT_TRUE(cmtest::writeFile(inWork("Orvik.db"), px.build()));
    ASSERT_TRUE(cmtest::writeFile(inWork("log.adi"),
                                  "ADIF export\n<EOH>\n"
                                  "<CALL:5>S52AB<QSO_DATE:8>20240201<TIME_ON:4>1200<BAND:3>20m<MODE:3>SSB<EOR>\n"
                                  "<CALL:5>DL1XY<QSO_DATE:8>20240202<TIME_ON:4>1300<BAND:3>40m<MODE:2>CW<EOR>\n"));
    const struct {
        const char* file;
        const char* names;   // what the notice must name
    } cases[] = {{"Orvik.db", "Paradox"}, {"log.adi", "Import ADIF"}};
    for (const auto& c : cases) {
        auto w = startWindow();
        w->markSentOption()->setChecked(true);
        boxes.fileNames.push_back(inWork(c.file));
        w->openTable();
        ASSERT_EQ(w->activeTable(), inWork(c.file)) << boxes.shown.join('\n').toStdString();
        PreviewWindow* preview = openPreview(*w);
        ASSERT_NE(preview, nullptr);
        ASSERT_EQ(preview->pages().storedPages(), 2);
        boxes.shown.clear();
        boxes.fileNames.push_back(inWork(QStringLiteral("%1.pdf").arg(c.file)));
        preview->action(QStringLiteral("Export"))->trigger();
        ASSERT_EQ(boxes.shown.size(), 2) << boxes.shown.join('\n').toStdString();
        const QString notice = boxes.shown[1];
        EXPECT_TRUE(notice.startsWith("information: The 2 printed QSOs could not be marked as sent.")) << c.file;
        EXPECT_TRUE(notice.contains("SQLite logbook")) << notice.toStdString();
        EXPECT_TRUE(notice.contains(c.names)) << notice.toStdString();
        preview->close();
    }
}

TEST_F(WindowTest, LabelSheetIsOneUndoStepAndTheStartPositionReachesTheRun)
{
    QTemporaryDir dir;
    const QDate day(2024, 3, 1);
    const QString log = cmtest::makeSqliteLogbook(
        dir, "three.db",
        {cmtest::qso("S52AB", day, QTime(10, 0), "20M", "SSB", 14.2, "Slovenia"),
         cmtest::qso("DL1XY", day, QTime(10, 5), "40M", "CW", 7.01, "Germany"),
         cmtest::qso("OK2PQ", day, QTime(10, 9), "20M", "CW", 14.03, "Czech Republic")});
    auto w = startWindow();
    w->markSentOption()->setChecked(true);
    boxes.fileNames.push_back(log);
    w->openTable();
    ASSERT_EQ(w->activeTable(), log);

    TQRDesignReport& report = w->document().report();
    const TQRPaperSize paperBefore = report.page.paperSize();
    const auto sheet = findLabelSheet("A4-QSL-3");   // one column of three 140 x 90 mm cards
    ASSERT_TRUE(sheet);
    ASSERT_TRUE(w->applyLabelSheet(*sheet));
    EXPECT_EQ(report.page.paperSize(), TQRPaperSize::A4);
    EXPECT_EQ(cardPositionsPerPage(report), 3);
    // A sheet whose labels are lower than the card is refused, as no step.
    boxes.shown.clear();
    EXPECT_FALSE(w->applyLabelSheet(*findLabelSheet("A4-70x36-24")));
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_TRUE(boxes.shown[0].startsWith("error: The layout's card")) << boxes.shown[0].toStdString();
    EXPECT_EQ(cardPositionsPerPage(report), 3);
    w->actions().undo->trigger();
    EXPECT_EQ(w->document().report().page.paperSize(), paperBefore);
    w->actions().redo->trigger();
    ASSERT_EQ(cardPositionsPerPage(w->document().report()), 3);

    PreviewWindow* preview = openPreview(*w);
    ASSERT_NE(preview, nullptr);
    QSpinBox* startAt = preview->startAtBox();
    EXPECT_TRUE(preview->action(QStringLiteral("StartAtPosition"))->isVisible());
    EXPECT_EQ(startAt->accessibleName(), "Start at position");
    EXPECT_EQ(startAt->maximum(), 3);
    EXPECT_EQ(preview->pages().storedPages(), 1);

    // Ink in a position of the first sheet (one image pixel per millimetre;
    // the sheet's cards start 13.5 mm down).
    const auto inkInPosition = [preview](int position) {
        const TQRPrinter& pages = preview->pages();
        std::optional<QPicture> page = pages.pageAt(1);
        if (!page)
            return -1;
        QImage image(210, 297, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter p(&image);
            p.scale(0.1 / pages.xFactor(), 0.1 / pages.yFactor());   // dots to native units to mm
            page->play(&p);
        }
        const int top = int(13.5 + 90 * (position - 1)) + 5;
        int ink = 0;
        for (int y = top; y < top + 80; ++y)
            for (int x = 0; x < image.width(); ++x)
                ink += image.pixel(x, y) != qRgb(255, 255, 255);
        return ink;
    };
    EXPECT_GT(inkInPosition(1), 100);

    // Typed and confirmed: the first two positions stay empty, the third
    // card goes on a second sheet.
    startAt->setFocus();
    QTest::keyClick(startAt, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(startAt, "3");
    QTest::keyClick(startAt, Qt::Key_Return);
    ASSERT_EQ(preview->pages().state(), TQRPrinterState::Finished);
    ASSERT_EQ(preview->pages().storedPages(), 2);
    EXPECT_EQ(preview->statusText(), "Page 1 of 2");
    EXPECT_TRUE(startAt->hasFocus());
    EXPECT_EQ(inkInPosition(1), 0);
    EXPECT_EQ(inkInPosition(2), 0);
    EXPECT_GT(inkInPosition(3), 100);

    // Both sheets exported: all three QSOs are asked about.
    boxes.shown.clear();
    boxes.fileNames.push_back(inWork("sheet.pdf"));
    boxes.answers.push_back(MessageBoxes::Answer::No);
    preview->action(QStringLiteral("Export"))->trigger();
    EXPECT_TRUE(boxes.shown.contains("ask: Mark the 3 printed QSOs as sent?")) << boxes.shown.join('\n').toStdString();
    preview->close();
}

TEST_F(WindowTest, LabelSheetIsChosenFromTheShippedList)
{
    auto w = startWindow();
    QTimer::singleShot(0, [] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        auto* list = dialog->findChild<QListWidget*>("LabelSheets");
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->count(), int(shippedLabelSheets().size()));
        const auto row = list->findItems("A4-A6-4:", Qt::MatchStartsWith);
        ASSERT_EQ(row.size(), 1);
        list->setCurrentItem(row[0]);
        QTest::keyClick(list, Qt::Key_Return);
    });
    w->chooseLabelSheet();
    EXPECT_EQ(w->document().report().page.columns(), 2);
    EXPECT_EQ(cardPositionsPerPage(w->document().report()), 4);
    EXPECT_TRUE(w->document().isModified());
}

TEST_F(WindowTest, CalibrationDialogStoresAPrinterAndRefusesAScaleOutOfBounds)
{
    const QString settings = QDir(paths.configFolder).filePath("Cardmint.ini");
    CalibrationDialog dialog(boxes, settings, {});
    dialog.show();
    const auto type = [](QWidget& box, const QString& text) {
        box.setFocus();
        QTest::keyClick(&box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(&box, text);
    };
    auto* store = dialog.findChild<QPushButton*>("Store");
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(store->accessibleName(), "Store");
    for (QWidget* control : std::initializer_list<QWidget*>{&dialog.printerBox(), &dialog.offsetXBox(),
                                                            &dialog.offsetYBox(), &dialog.scaleBox()})
        EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();

    type(dialog.printerBox(), "Office Laser");
    type(dialog.offsetXBox(), "1.5");
    type(dialog.offsetYBox(), "-2");
    type(dialog.scaleBox(), "98");
    QTest::mouseClick(store, Qt::LeftButton);
    EXPECT_TRUE(boxes.shown.isEmpty()) << boxes.shown.join('\n').toStdString();
    const auto stored = readCalibration(settings, "Office Laser");
    ASSERT_TRUE(stored);
    EXPECT_DOUBLE_EQ(stored->offsetXMm, 1.5);
    EXPECT_DOUBLE_EQ(stored->offsetYMm, -2);
    EXPECT_DOUBLE_EQ(stored->scalePercent, 98);
    // The print path takes the calibration of the printer it prints to.
    EXPECT_DOUBLE_EQ(printerCalibrationFor(settings, "Office Laser").scalePercent, 98);
    EXPECT_TRUE(printerCalibrationFor(settings, "Other").isIdentity());

    for (const char* scale : {"200", "49"}) {
        boxes.shown.clear();
        type(dialog.scaleBox(), scale);
        QTest::mouseClick(store, Qt::LeftButton);
        ASSERT_EQ(boxes.shown.size(), 1) << scale;
        EXPECT_TRUE(boxes.shown[0].startsWith("error: The scale must be 50 to 150 %")) << boxes.shown[0].toStdString();
        EXPECT_DOUBLE_EQ(readCalibration(settings, "Office Laser")->scalePercent, 98) << scale;
    }

    // Another name shows its own (none); the stored one comes back with its name.
    type(dialog.printerBox(), "Other");
    EXPECT_DOUBLE_EQ(dialog.scaleBox().value(), 100);
    type(dialog.printerBox(), "Office Laser");
    EXPECT_DOUBLE_EQ(dialog.scaleBox().value(), 98);

    // The page to measure on, as PDF.
    boxes.shown.clear();
    boxes.fileNames.push_back(inWork("calibration.pdf"));
    QTest::mouseClick(dialog.findChild<QPushButton*>("SavePage"), Qt::LeftButton);
    EXPECT_TRUE(QFile::exists(inWork("calibration.pdf")));
    EXPECT_EQ(boxes.shown, QStringList{"save: Save calibration page"});
}

TEST(PrintChoiceDialog, OffersTheStartPositionForSheetsOfSeveralCards)
{
    PrintChoice choice;
    bool found = false;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        auto* startAt = dialog->findChild<QSpinBox*>("StartAt");
        found = startAt != nullptr;
        if (startAt) {
            EXPECT_EQ(startAt->maximum(), 4);
            startAt->setValue(3);
        }
        QMetaObject::invokeMethod(dialog, "accept");
    });
    const bool accepted = askPrintChoice(nullptr, "Print", 0, choice, 4);
    EXPECT_TRUE(found);
    EXPECT_TRUE(accepted);
    EXPECT_EQ(choice.startAt, 3);
}
