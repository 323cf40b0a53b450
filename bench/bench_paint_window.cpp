// Costs of the graphic editor window on large pictures: scrolling and repainting at zoom 8, and
// opening the editor on a 12-megapixel picture of the outline and closing it unchanged, or after
// its first click.
#include "app/main_window.h"
#include "bench_main.h"
#include "canvas/outline_view.h"
#include "paint/editor/paint_editor.h"
#include "paint/paint_picture_view.h"
#include "paint/paint_window.h"
#include "paint/paint_work_area.h"
#include "started_window.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <ctime>

#include <malloc.h>

using namespace velmar;

namespace {

double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

QImage photo(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    quint32 seed = 12345;
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            seed = seed * 1664525u + 1013904223u;
            line[x] = 0xFF000000u | (seed >> 8);
        }
    }
    return image;
}

// Bytes the heap holds, small blocks and mapped ones alike.
std::size_t heapInUse()
{
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

// One scroll step at zoom 8 on a 4000 × 3000 picture (a 32,000 × 24,000 control), the view
// repainted at once. heapGrowth is the most the heap grew over the steps.
void BM_ZoomedScrollAndRepaint(benchmark::State& state)
{
    paint::PaintWindow window;
    window.editPicture(photo(QSize(4000, 3000)));
    window.editor().chooseZoom(3);
    QApplication::processEvents();
    paint::WorkArea* area = window.workArea();
    QScrollBar* h = area->horizontalBar();
    QScrollBar* v = area->verticalBar();
    const std::size_t heapBefore = heapInUse();
    std::size_t heapPeak = heapBefore;
    int step = 0;
    for (auto _ : state) {
        ++step;
        // Alternate the bars, by a screenful and by a small step, across the whole control.
        if (step % 2)
            h->setValue((h->value() + 613) % (h->maximum() + 1));
        else
            v->setValue((v->value() + 4 * 97) % (v->maximum() + 1));
        area->pictureView()->repaint();
        heapPeak = std::max(heapPeak, heapInUse());
    }
    state.counters["heapGrowthKiB"] = double(heapPeak - heapBefore) / 1024.0;
    state.counters["viewKiB"] = double(area->pictureView()->width()) * area->pictureView()->height() * 4 / 1024.0;
    window.close();
}
BENCHMARK(BM_ZoomedScrollAndRepaint)->Unit(benchmark::kMillisecond);

// The whole picture repainted at zoom 1 versus zoom 8, for comparison.
void BM_RepaintVisible(benchmark::State& state)
{
    paint::PaintWindow window;
    window.editPicture(photo(QSize(4000, 3000)));
    window.editor().chooseZoom(int(state.range(0)));
    QApplication::processEvents();
    for (auto _ : state)
        window.workArea()->pictureView()->repaint();
    window.close();
}
BENCHMARK(BM_RepaintVisible)->Arg(0)->Arg(3)->Unit(benchmark::kMillisecond);

// "Редактировать" on a 4000 × 3000 picture, and closing the editor without a change.
void BM_OpenAndCloseUnchanged(benchmark::State& state)
{
    QTemporaryDir home;
    MainWindow main;
    startShownIn(main, home.path());
    OpenOutline& doc = main.document();
    doc.interaction.creationPoint = QPoint(10, 40);
    main.command(QStringLiteral("N1"))->trigger();
    doc.interaction.currentObject = doc.outline.frame(1).id;
    doc.interaction.creationPoint = QPoint(10, 30);
    main.command(QStringLiteral("N3"))->trigger();
    doc.outline.picture(1).setBitmap(photo(QSize(4000, 3000)));
    main.outlineView()->sync();
    doc.interaction.currentObject = doc.outline.picture(1).id;
    QApplication::processEvents();
    const int stepBefore = doc.history.currentStep;

    double openTotal = 0, closeTotal = 0, openCpu = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        const double cpu = threadCpuMs();
        main.command(QStringLiteral("N58"))->trigger();
        QApplication::processEvents();  // shown and painted
        const double opened = double(timer.nsecsElapsed());
        openCpu += threadCpuMs() - cpu;
        timer.restart();
        main.paintWindow()->close();
        QApplication::processEvents();
        const double closed = double(timer.nsecsElapsed());
        openTotal += opened;
        closeTotal += closed;
        state.SetIterationTime((opened + closed) / 1e9);
    }
    state.counters["open_ms"] = openTotal / 1e6 / double(state.iterations());
    state.counters["open_cpu_ms"] = openCpu / double(state.iterations());
    state.counters["close_ms"] = closeTotal / 1e6 / double(state.iterations());
    state.counters["outlineSteps"] = doc.history.currentStep - stepBefore;
}
BENCHMARK(BM_OpenAndCloseUnchanged)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

// "Редактировать" on a 4000 × 3000 picture and the first click with the rectangle tool after it,
// each timed apart (the first recorded change gives the undo history its own copy), then the
// editor closed with the picture changed.
void BM_OpenAndFirstClick(benchmark::State& state)
{
    QTemporaryDir home;
    MainWindow main;
    startShownIn(main, home.path());
    OpenOutline& doc = main.document();
    doc.interaction.creationPoint = QPoint(10, 40);
    main.command(QStringLiteral("N1"))->trigger();
    doc.interaction.currentObject = doc.outline.frame(1).id;
    doc.interaction.creationPoint = QPoint(10, 30);
    main.command(QStringLiteral("N3"))->trigger();
    const QImage original = photo(QSize(4000, 3000));
    QApplication::processEvents();

    double openTotal = 0, clickTotal = 0, openCpu = 0, clickCpu = 0;
    int i = 0;
    for (auto _ : state) {
        // Every round edits the photo as it was, as a picture opened for the first time.
        doc.outline.picture(1).setBitmap(original);
        main.outlineView()->sync();
        doc.interaction.currentObject = doc.outline.picture(1).id;
        QElapsedTimer timer;
        timer.start();
        double cpu = threadCpuMs();
        main.command(QStringLiteral("N58"))->trigger();
        QApplication::processEvents();
        const double opened = double(timer.nsecsElapsed());
        openCpu += threadCpuMs() - cpu;
        paint::PaintEditor& editor = main.paintWindow()->editor();
        editor.chooseTool(paint::ToolId::Rectangle);
        const QPoint at(100 + 37 * i++, 100);
        const auto input = [](QPoint p, Qt::MouseButton button, Qt::MouseButtons held) {
            paint::ToolInput in;
            in.pos = in.pixel = p;
            in.button = button;
            in.buttons = held;
            return in;
        };
        timer.restart();
        cpu = threadCpuMs();
        editor.press(input(at, Qt::LeftButton, Qt::LeftButton));
        editor.move(input(at + QPoint(20, 20), Qt::NoButton, Qt::LeftButton));
        editor.release(input(at + QPoint(20, 20), Qt::LeftButton, Qt::NoButton));
        const double clicked = double(timer.nsecsElapsed());
        clickCpu += threadCpuMs() - cpu;
        main.paintWindow()->close();
        QApplication::processEvents();
        openTotal += opened;
        clickTotal += clicked;
        state.SetIterationTime((opened + clicked) / 1e9);
    }
    state.counters["open_ms"] = openTotal / 1e6 / double(state.iterations());
    state.counters["first_click_ms"] = clickTotal / 1e6 / double(state.iterations());
    state.counters["open_cpu_ms"] = openCpu / double(state.iterations());
    state.counters["first_click_cpu_ms"] = clickCpu / double(state.iterations());
}
BENCHMARK(BM_OpenAndFirstClick)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(6);

}  // namespace

int main(int argc, char** argv) { return runQtBenchmarks<QApplication>(argc, argv); }
