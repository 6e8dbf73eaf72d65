// Design surface repaint: a card with 200 elements (labels, data fields,
// expressions, shapes and a framed memo) painted in full at zoom 100 and
// 200, with the design-time marks. Target: a full repaint under 10 ms.
// Also a drag step of 50 elements and an undo step of the card.
//
//   cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DCARDMINT_BENCH=ON
//   cmake --build build-bench --target bench_surface && ./build-bench/bench/bench_surface
#include "designer/designercore.h"
#include "designer/document.h"
#include "designer/scriptedboxes.h"
#include "designer/widgets/designsurface.h"
#include "report/design.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <benchmark/benchmark.h>

namespace {

using namespace cm;

template <class T>
T* place(Container& window, TQRCustomBand* band, Extended left, Extended top, Extended width, Extended height)
{
    auto* e = new T(&window);   // owned by the container
    e->setParentControl(band);
    e->size.values = {height, left, top, width};
    e->size.applyToControl();
    e->setName(window.nextFreeName(QStringLiteral("E")));
    return e;
}

// 200 elements in a grid of 20 × 10 cells over a 140 × 90 mm card.
void buildCard(Document& document)
{
    TQRDesignReport& r = document.report();
    Container& window = document.workspace().window;
    r.page.setPaperSize(TQRPaperSize::Custom);
    r.page.values[TQRPage::Wid] = 1400;
    r.page.values[TQRPage::Len] = 900;
    r.page.applyToControl();
    for (TQRCustomBand* b : std::vector<TQRCustomBand*>(r.bandList()))
        destroyComponent(b);
    TQRCustomBand* detail = r.addBandOfType(TQRBandType::rbDetail);
    detail->size.values[0] = 700;
    detail->size.applyToControl();
    r.arrangeBands();
    for (int i = 0; i < 200; ++i) {
        const Extended left = 20 + (i % 10) * 130, top = 20 + (i / 10) * 33;
        switch (i % 5) {
        case 0: {
            auto* l = place<TQRDesignLabel>(window, detail, left, top, 120, 30);
            l->autoSize = false;
            l->setCaption(QStringLiteral("Label %1").arg(i));
            break;
        }
        case 1: {
            auto* f = place<TQRDesignDBText>(window, detail, left, top, 120, 30);
            f->setDataField(QStringLiteral("CALL"));
            break;
        }
        case 2: {
            auto* x = place<TQRDesignExpr>(window, detail, left, top, 120, 30);
            x->setExpression(QStringLiteral("UPPER(CALL) + ' de DL1ABC'"));
            x->autoSize = false;
            x->wordWrap = true;
            break;
        }
        case 3: {
            auto* s = place<TQRDesignShape>(window, detail, left, top, 120, 30);
            s->shape = i % 2 ? TQRShapeType::qrsCircle : TQRShapeType::qrsRectangle;
            break;
        }
        default: {
            auto* m = place<TQRDesignMemo>(window, detail, left, top, 120, 30);
            m->autoSize = false;
            m->lines.lines = {QStringLiteral("Tnx QSO"), QStringLiteral("73")};
            m->frame.drawTop = m->frame.drawBottom = true;
            break;
        }
        }
    }
}

void fullRepaint(benchmark::State& state)
{
    ScriptedMessageBoxes boxes;
    Document document(boxes);
    DesignerCore designer(document);
    buildCard(document);
    document.setZoom(int(state.range(0)));
    DesignSurface surface(document, designer);
    designer.options().showComponentFrames = true;
    surface.resize(surface.sizeHint());
    QImage target(surface.size(), QImage::Format_ARGB32_Premultiplied);
    surface.render(&target);   // the first paint lays out every element
    for (auto _ : state) {
        surface.render(&target);
        benchmark::DoNotOptimize(target.constBits());
    }
    state.counters["elements"] = 200;
}
BENCHMARK(fullRepaint)->Arg(100)->Arg(200)->Unit(benchmark::kMillisecond);

// After every change the printers are made again: the first paint after an edit.
void repaintAfterChange(benchmark::State& state)
{
    ScriptedMessageBoxes boxes;
    Document document(boxes);
    DesignerCore designer(document);
    buildCard(document);
    DesignSurface surface(document, designer);
    surface.resize(surface.sizeHint());
    QImage target(surface.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        emit document.changed();
        surface.render(&target);
    }
}
BENCHMARK(repaintAfterChange)->Unit(benchmark::kMillisecond);

// One step of a mouse drag of 50 selected elements at zoom 100: the move
// event and the repaint it causes (the ghost outline's edges). Target: under 16 ms.
void dragStep(benchmark::State& state)
{
    ScriptedMessageBoxes boxes;
    Document document(boxes);
    DesignerCore designer(document);
    buildCard(document);
    document.setZoom(100);
    DesignSurface surface(document, designer);
    surface.resize(surface.sizeHint());
    surface.show();
    std::vector<Component*> selected;
    for (Component* c : document.workspace().window.components()) {
        if (c->parentControl() && isDesignObject(*c) && !dynamic_cast<TQRCustomBand*>(c) && selected.size() < 50)
            selected.push_back(c);
    }
    document.setSelection(selected);
    QCoreApplication::processEvents();
    const QPoint start = surface.componentRect(selected.front()).center();
    auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, surface.mapToGlobal(at), button, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(&surface, &event);
    };
    send(QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    int step = 0;
    for (auto _ : state) {
        step = (step + 1) % 40;
        send(QEvent::MouseMove, start + QPoint(step * 3, step * 2), Qt::NoButton, Qt::LeftButton);
        QCoreApplication::processEvents();
    }
    state.counters["dragging"] = surface.ghostRect().isNull() ? 0 : 1;
    send(QEvent::MouseButtonRelease, start, Qt::LeftButton, Qt::NoButton);
    state.counters["selected"] = double(selected.size());
}
BENCHMARK(dragStep)->Unit(benchmark::kMillisecond);

// One undo step of the 200-element card (the layout read back whole) and
// the redo after it, with a move recorded first. Target: an undo under 20 ms.
void undoStep(benchmark::State& state)
{
    ScriptedMessageBoxes boxes;
    Document document(boxes);
    DesignerCore designer(document);
    buildCard(document);
    Component* element = nullptr;
    for (Component* c : document.workspace().window.components()) {
        if (c->parentControl() && isDesignObject(*c) && !dynamic_cast<TQRCustomBand*>(c)) {
            element = c;
            break;
        }
    }
    document.setSelection({element});
    designer.moveSelection(4, 0);
    for (auto _ : state) {
        designer.undo();
        designer.redo();
    }
    state.counters["layoutBytes"] = double(document.layoutBytes().size());
    state.counters["undoAndRedo"] = 1;
}
BENCHMARK(undoStep)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
