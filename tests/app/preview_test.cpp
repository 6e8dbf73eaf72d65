// The preview window on a run of the demo cards (300 QSOs): page position,
// navigation keys, zoom states, closing during the run, report files.
#include "windowfixture.h"

#include "app/previewcontrol.h"
#include "app/previewwindow.h"
#include "designer/document.h"
#include "report/design.h"
#include "engine/pages/qrprinter.h"

#include <QAction>
#include <QApplication>
#include <QPrinterInfo>
#include <QTest>
#include <QTimer>
#include <cmath>

using namespace cm;

namespace {

constexpr int DemoCards = 300;

PreviewWindow* openPreview(MainWindow& w)
{
    w.preview();
    PreviewWindow* preview = w.previewWindow();
    if (preview) {
        QApplication::setActiveWindow(preview);
        preview->activateWindow();
        QCoreApplication::processEvents();
    }
    return preview;
}

int fitZoom(const PreviewControl& c)
{
    const QSizeF page = c.pagePixels();
    return std::min(int(std::lround(c.width() / page.width() * 95)), int(std::lround(c.height() / page.height() * 95)));
}

int widthZoom(const PreviewControl& c) { return int(std::lround(c.width() / c.pagePixels().width() * 90)); }

} // namespace

TEST_F(WindowTest, PreviewPagesThroughTheCardsWithTheKeysAndStopsAtBothEnds)
{
    auto w = startWindow();
    PreviewWindow* preview = openPreview(*w);
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->pages().state(), TQRPrinterState::Finished);
    EXPECT_EQ(preview->statusText(), QStringLiteral("Page 1 of %1").arg(DemoCards));
    EXPECT_TRUE(preview->action(QStringLiteral("Print"))->isEnabled());
    EXPECT_TRUE(preview->action(QStringLiteral("PrintSetup"))->isEnabled());
    EXPECT_TRUE(preview->control().pageLoaded());
    EXPECT_FALSE(preview->control().widget()->grab().isNull());

    struct Step {
        int key;
        Qt::KeyboardModifiers modifiers;
        int page;
    };
    const Step steps[] = {
        {Qt::Key_PageUp, Qt::NoModifier, 1},              // nothing before the first page
        {Qt::Key_PageDown, Qt::NoModifier, 2},
        {Qt::Key_End, Qt::NoModifier, DemoCards},
        {Qt::Key_PageDown, Qt::NoModifier, DemoCards},    // nothing after the last
        {Qt::Key_PageUp, Qt::NoModifier, DemoCards - 1},
        {Qt::Key_Home, Qt::NoModifier, 1},
        {Qt::Key_PageDown, Qt::ControlModifier, DemoCards},
        {Qt::Key_PageUp, Qt::ControlModifier, 1},
    };
    for (const Step& s : steps) {
        QTest::keyClick(preview, Qt::Key(s.key), s.modifiers);
        EXPECT_EQ(preview->control().pageNumber(), s.page) << "key " << s.key;
        EXPECT_EQ(preview->statusText(), QStringLiteral("Page %1 of %2").arg(s.page).arg(DemoCards));
        EXPECT_TRUE(preview->control().pageLoaded());
    }

    QTest::keyClick(preview, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(w->previewWindow(), nullptr);
    EXPECT_TRUE(boxes.shown.isEmpty()) << boxes.shown.join(QLatin1Char('\n')).toStdString();
    EXPECT_FALSE(w->document().isModified());
}

TEST_F(WindowTest, PreviewZoomStatesFollowResizing)
{
    auto w = startWindow();
    PreviewWindow* preview = openPreview(*w);
    ASSERT_NE(preview, nullptr);
    PreviewControl& control = preview->control();
    preview->showNormal();
    preview->resize(800, 600);
    QCoreApplication::processEvents();

    // The window opens zoomed to width.
    EXPECT_EQ(control.zoomState(), PreviewZoomState::ToWidth);
    EXPECT_EQ(control.zoom(), widthZoom(control));
    EXPECT_TRUE(preview->action(QStringLiteral("ZoomToWidth"))->isChecked());

    preview->action(QStringLiteral("ZoomFit"))->trigger();
    EXPECT_EQ(control.zoomState(), PreviewZoomState::ToFit);
    EXPECT_EQ(control.zoom(), fitZoom(control));
    const int fitBefore = control.zoom();
    preview->resize(500, 400);
    QCoreApplication::processEvents();
    EXPECT_EQ(control.zoom(), fitZoom(control));
    EXPECT_NE(control.zoom(), fitBefore);
    EXPECT_TRUE(preview->action(QStringLiteral("ZoomFit"))->isChecked());

    preview->action(QStringLiteral("Zoom100"))->trigger();
    preview->resize(700, 500);
    QCoreApplication::processEvents();
    EXPECT_EQ(control.zoom(), 100);
    EXPECT_EQ(control.zoomState(), PreviewZoomState::Other);
    const QSize image = control.imageSize();
    const QSizeF page = control.pagePixels();
    EXPECT_NEAR(image.width(), page.width() + 4, 1);
    EXPECT_NEAR(image.height(), page.height() + 4, 1);
    // Smaller than the box: centred in it.
    if (image.width() < control.viewport()->width()) {
        EXPECT_NEAR(control.widget()->x(), (control.viewport()->width() - image.width()) / 2, 1);
    }

    preview->action(QStringLiteral("ZoomToWidth"))->trigger();
    preview->resize(900, 500);
    QCoreApplication::processEvents();
    EXPECT_EQ(control.zoom(), widthZoom(control));

    control.setZoom(1);   // outside 2 ... 2000: ignored
    EXPECT_EQ(control.zoomState(), PreviewZoomState::ToWidth);
    preview->close();
}

TEST_F(WindowTest, ClosingThePreviewDuringTheRunStopsIt)
{
    auto w = startWindow();
    int mostPages = 0;
    bool closed = false;
    // The run hands events on once per record; the close comes in there.
    QMetaObject::Connection hook;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        PreviewWindow* preview = w->previewWindow();
        if (!preview || closed)
            return;
        if (!hook)
            hook = QObject::connect(&preview->control(), &PreviewControl::pageAvailable,
                                    [&](int count) { mostPages = std::max(mostPages, count); });
        if (preview->pages().availablePages() >= 2) {
            EXPECT_TRUE(preview->generating());
            EXPECT_FALSE(preview->action(QStringLiteral("Print"))->isEnabled());
            closed = true;
            preview->close();
        }
    });
    watch.start(0);
    w->preview();
    watch.stop();
    EXPECT_TRUE(closed);
    EXPECT_GE(mostPages, 2);
    EXPECT_LT(mostPages, DemoCards);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(w->previewWindow(), nullptr);
    EXPECT_TRUE(boxes.shown.isEmpty()) << boxes.shown.join(QLatin1Char('\n')).toStdString();

    // The window works on: a new preview makes every card.
    PreviewWindow* again = openPreview(*w);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->pages().pageCount(), DemoCards);
    again->close();
}

TEST_F(WindowTest, PreviewReportFilesLoadSaveAndAMissingFile)
{
    auto w = startWindow();
    PreviewWindow* preview = openPreview(*w);
    ASSERT_NE(preview, nullptr);
    preview->lastPage();

    boxes.fileNames = {inWork(QStringLiteral("missing.QRP"))};
    preview->loadReport();
    EXPECT_EQ(boxes.shown, QStringList({QStringLiteral("open: Load report"), QStringLiteral("error: File does not exist")}));
    EXPECT_EQ(preview->statusText(), QStringLiteral("Page %1 of %1").arg(DemoCards));
    EXPECT_TRUE(preview->control().pageLoaded());

    const QString saved = inWork(QStringLiteral("cards.QRP"));
    boxes.shown.clear();
    boxes.fileNames = {saved, saved};
    preview->saveReport();
    preview->loadReport();
    EXPECT_EQ(boxes.shown, QStringList({QStringLiteral("save: Save report"), QStringLiteral("open: Load report")}));
    EXPECT_TRUE(preview->pages().loadedFromFile());
    EXPECT_EQ(preview->statusText(), QStringLiteral("Page 1 of %1").arg(DemoCards));
    EXPECT_TRUE(preview->control().pageLoaded());
    EXPECT_TRUE(preview->action(QStringLiteral("Print"))->isEnabled());

    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        boxes.shown.clear();
        preview->print();
        EXPECT_EQ(boxes.shown, QStringList({QStringLiteral("error: No printer installed")}));
    }
    preview->close();
}

TEST_F(WindowTest, PreviewTellsOfTextsThatDidNotFit)
{
    auto w = startWindow();
    auto* call = dynamic_cast<TQRPrintable*>(w->document().report().owner()->findComponent(u"CallSign"));
    ASSERT_NE(call, nullptr);
    call->size.pushPixelUnits();
    call->size.setWidth(3);
    call->size.popUnits();
    PreviewWindow* preview = openPreview(*w);
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(preview->warningText().startsWith(
        QStringLiteral("CallSign did not fit on %1 cards: 1, 2, 3, 4, 5").arg(DemoCards)))
        << preview->warningText().toStdString();
    preview->close();
}
