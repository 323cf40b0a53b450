// The "Рисунок" menu on a 4000 × 3000 photo, as the user meets it: each command through the
// editor window's command table, the undo step it records and the view repainted, against one
// copy pass over the picture's memory measured in the same run, all timed by the process's
// processor time. Afterwards each command's median is printed as a multiple of the copy pass,
// with a TARGET line for each (at most two passes).
#include "bench_main.h"
#include "paint/core/picture_transforms.h"
#include "paint/core/zoom_mapping.h"
#include "paint/editor/paint_editor.h"
#include "paint/paint_picture_view.h"
#include "paint/paint_window.h"
#include "paint/paint_work_area.h"
#include "target_line.h"

#include <QAction>
#include <QApplication>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <map>
#include <string>
#include <vector>

using namespace velmar::paint;

namespace {

const QSize kPhoto(4000, 3000);

QImage photo()
{
    QImage image(kPhoto, QImage::Format_RGB32);
    quint32 seed = 12345;
    for (int y = 0; y < kPhoto.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < kPhoto.width(); ++x) {
            seed = seed * 1664525u + 1013904223u;
            line[x] = 0xFF000000u | (seed >> 8);
        }
    }
    return image;
}

std::map<std::string, std::vector<double>>& timings()
{
    static std::map<std::string, std::vector<double>> all;
    return all;
}

// The process's processor time (user and system, page faults included, and the threads Qt's
// smooth scaling spreads its work over), in milliseconds.
double processCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Times `timed` alone by the process's processor time, `before` and `after` setting up and
// taking back each round.
void measure(benchmark::State& state, const char* name, const std::function<void()>& before,
             const std::function<void()>& timed, const std::function<void()>& after)
{
    for (auto _ : state) {
        before();
        const double start = processCpuMs();
        timed();
        const double ms = processCpuMs() - start;
        after();
        state.SetIterationTime(ms / 1e3);
        timings()[name].push_back(ms);
    }
}

// One copy of the picture's bytes into another buffer of the same size, both written before.
void BM_CopyPass(benchmark::State& state)
{
    const QImage from = photo();
    QImage to(kPhoto, QImage::Format_RGB32);
    to.fill(0);
    measure(
        state, "copy pass", [] {},
        [&] {
            std::memcpy(to.bits(), from.constBits(), std::size_t(from.sizeInBytes()));
            benchmark::DoNotOptimize(to.bits());
        },
        [] {});
}

// The same copy into memory of its own (QImage::copy): the buffer is new, its pages are touched
// for the first time, as any new picture's are.
void BM_CopyIntoNewMemory(benchmark::State& state)
{
    const QImage from = photo();
    measure(
        state, "copy (new memory)", [] {},
        [&] {
            const QImage to = from.copy();
            benchmark::DoNotOptimize(to.constBits());
        },
        [] {});
}

// The turns alone, without the window.
void BM_TurnOnly(benchmark::State& state)
{
    const QImage from = photo();
    const auto turn = PictureTurn(state.range(0));
    const char* names[] = {"turned 90 alone", "turned -90 alone", "turned 180 alone", "flipped alone",
                           "flipped v alone"};
    measure(
        state, names[state.range(0)], [] {},
        [&] {
            const QImage to = turned(from, turn);
            benchmark::DoNotOptimize(to.constBits());
        },
        [] {});
}

// The window on the photo at 1×, the pencil current.
struct Session {
    PaintWindow window;
    Session()
    {
        window.resize(694, 480);
        window.editPicture(photo());
        QApplication::processEvents();
    }
    ~Session() { window.close(); }
    void run(PaintCommand id) { window.command(id)->trigger(); }
    // What the user sees next: the view painted at once.
    void repaint() { window.workArea()->pictureView()->repaint(); }
};

void BM_TurnRight(benchmark::State& state)
{
    Session s;
    measure(
        state, "turn 90", [] {},
        [&] {
            s.run(PaintCommand::TurnRight);
            s.repaint();
        },
        [&] { s.run(PaintCommand::Undo); });
}

void BM_TurnLeft(benchmark::State& state)
{
    Session s;
    measure(
        state, "turn -90", [] {},
        [&] {
            s.run(PaintCommand::TurnLeft);
            s.repaint();
        },
        [&] { s.run(PaintCommand::Undo); });
}

void BM_FlipVertical(benchmark::State& state)
{
    Session s;
    measure(
        state, "flip v", [] {},
        [&] {
            s.run(PaintCommand::FlipVertical);
            s.repaint();
        },
        [&] { s.run(PaintCommand::Undo); });
}

void BM_TurnHalf(benchmark::State& state)
{
    Session s;
    measure(
        state, "turn 180", [] {},
        [&] {
            s.run(PaintCommand::TurnHalf);
            s.repaint();
        },
        [&] { s.run(PaintCommand::Undo); });
}

void BM_FlipHorizontal(benchmark::State& state)
{
    Session s;
    measure(
        state, "flip", [] {},
        [&] {
            s.run(PaintCommand::FlipHorizontal);
            s.repaint();
        },
        [&] { s.run(PaintCommand::Undo); });
}

// A 3000 × 2000 piece lifted and moved (not timed), then cropped to.
void BM_Crop(benchmark::State& state)
{
    Session s;
    PaintEditor& ed = s.window.editor();
    PaintDocument& doc = s.window.document();
    measure(
        state, "crop",
        [&] {
            ed.chooseTool(ToolId::Selection);
            const QPoint from(500, 500), to(3500, 2500);
            ed.press({from, from, Qt::LeftButton, Qt::LeftButton});
            ed.move({to, to, Qt::NoButton, Qt::LeftButton});
            ed.release({to, to, Qt::LeftButton, Qt::NoButton});
            if (!doc.pieceFloating())
                std::abort();
        },
        [&] {
            s.run(PaintCommand::Crop);
            s.repaint();
        },
        [&] { s.run(PaintCommand::Undo); });
}

// The photo resized to half its size, smoothly.
void BM_ResizeHalf(benchmark::State& state)
{
    Session s;
    s.window.setSizeQuestion([](QWidget*, QSize original) -> std::optional<QSize> { return original / 2; });
    measure(
        state, "resize to 50%", [] {},
        [&] {
            s.run(PaintCommand::Resize);
            s.repaint();
        },
        [&] { s.run(PaintCommand::Undo); });
}

// "По размеру окна" from 1×, and back to 1× (not timed).
void BM_FitToWindow(benchmark::State& state)
{
    Session s;
    measure(
        state, "fit to window", [] {},
        [&] {
            s.run(PaintCommand::FitToWindow);
            s.repaint();
        },
        [&] { s.window.editor().zoomKeepingTool(0); });
}

BENCHMARK(BM_CopyPass)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);
BENCHMARK(BM_CopyIntoNewMemory)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);
BENCHMARK(BM_TurnOnly)->Arg(0)->Arg(2)->Arg(3)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);
BENCHMARK(BM_TurnRight)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);
BENCHMARK(BM_TurnLeft)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);
BENCHMARK(BM_FlipVertical)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);
BENCHMARK(BM_TurnHalf)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);
BENCHMARK(BM_FlipHorizontal)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);
BENCHMARK(BM_Crop)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);
BENCHMARK(BM_ResizeHalf)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);
BENCHMARK(BM_FitToWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);

void printRatios()
{
    const double pass = median(timings()["copy pass"]);
    std::printf("\n4000 x 3000 picture (%.1f MB); one copy pass: %.2f ms (median)\n",
                double(kPhoto.width()) * kPhoto.height() * 4 / 1e6, pass);
    std::printf("%-16s %10s %10s\n", "command", "median ms", "x pass");
    for (const auto& [name, times] : timings()) {
        if (name == "copy pass")
            continue;
        const double m = median(times);
        std::printf("%-16s %10.2f %10.2f%s\n", name.c_str(), m, pass > 0 ? m / pass : 0.0,
                    pass > 0 && m / pass > 2.0 ? "  (over 2)" : "");
    }
    // The commands of the menu, each with its undo step and the view repainted.
    const std::pair<const char*, const char*> commands[] = {
        {"turn 90", "turn_right"},       {"turn -90", "turn_left"},   {"turn 180", "turn_half"},
        {"flip", "flip_horizontal"},     {"flip v", "flip_vertical"}, {"crop", "crop"},
        {"resize to 50%", "resize_half"}};
    std::printf("\n");
    for (const auto& [name, id] : commands) {
        if (timings()[name].empty())
            continue;  // not run (a filter left it out)
        const double m = median(timings()[name]);
        printTarget(std::string("paint_picture.") + id,
                    std::string(name) + " of a 4000x3000 photo, undo step and redraw, against one copy pass",
                    QStringLiteral("%1 ms").arg(m, 0, 'f', 2).toStdString(),
                    QStringLiteral("copy pass %1 ms").arg(pass, 0, 'f', 2).toStdString(), pass > 0 ? m / pass : 0.0,
                    TargetSense::AtMost, 2);
    }
}

}  // namespace

int main(int argc, char** argv) { return runQtBenchmarks<QApplication>(argc, argv, printRatios); }
