// Dragging a large floating piece over a large picture: one mouse move, painted.
#include "bench_main.h"
#include "paint/paint_window.h"
#include "paint/paint_work_area.h"

#include <QApplication>
#include <QElapsedTimer>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

using namespace velmar;

namespace {

QImage noise(QSize size, quint32 seed)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            seed = seed * 1664525u + 1013904223u;
            line[x] = 0xFF000000u | (seed >> 8);
        }
    }
    return image;
}

// A 2000 × 2000 piece over a 4000 × 3000 picture in a 1600 × 1000 window, dragged back and
// forth by a few pixels per move; each iteration is one mouse move with the screen repainted.
// Arg: 0 opaque, 1 transparent placement.
void BM_DragFloatingPiece(benchmark::State& state)
{
    paint::PaintWindow window;
    window.resize(1600, 1000);
    window.editPicture(noise(QSize(4000, 3000), 1));
    paint::PaintEditor& editor = window.editor();
    window.document().setTransparentMode(int(state.range(0)));
    editor.placeFloatingPiece(noise(QSize(2000, 2000), 2));
    QApplication::processEvents();
    paint::WorkArea* area = window.workArea();
    const QPoint grab = area->pictureOrigin() + QPoint(100, 100);
    area->pointerPressed(grab, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::processEvents();
    std::vector<double> times;
    int step = 0;
    int farthest = 0;
    for (auto _ : state) {
        ++step;
        const int phase = step % 40;
        const int d = phase < 20 ? phase : 40 - phase;
        QElapsedTimer timer;
        timer.start();
        area->pointerMoved(grab + QPoint(7 * d, 5 * d), Qt::LeftButton, Qt::NoModifier);
        QApplication::processEvents();  // the old and the new place painted
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        farthest = std::max(farthest, window.document().piecePos().x());
        times.push_back(ms);
        state.SetIterationTime(ms / 1e3);
    }
    // The piece really travelled: the farthest it went right of the picture's corner (140).
    state.counters["farthestX"] = farthest;
    area->pointerReleased(grab, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    std::sort(times.begin(), times.end());
    state.counters["median_ms"] = times[times.size() / 2];
    state.counters["p95_ms"] = times[times.size() * 95 / 100];
    state.counters["max_ms"] = times.back();
    window.close();
}
BENCHMARK(BM_DragFloatingPiece)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(400);

}  // namespace

int main(int argc, char** argv) { return runQtBenchmarks<QApplication>(argc, argv); }
