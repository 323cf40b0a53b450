// Costs of the outline commands as the window runs them, on an outline of 60 frames with a text
// field each: the history step and the object widgets shown again after it.
//   BM_MoveStepUndoRedo   a frame moved and recorded (a header-only step), undone and redone
//   BM_CreateFrameAndUndo a frame created from the canvas menu (a complete step), then undone, which
//                         rebuilds every object widget
#include "app/main_window.h"
#include "bench_main.h"
#include "canvas/outline_view.h"
#include "started_window.h"

#include <QAction>
#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace velmar;

namespace {

struct StartedWindow {
    QTemporaryDir home;
    MainWindow main;

    StartedWindow()
    {
        startShownIn(main, home.path());
        Outline& o = main.document().outline;
        for (int i = 0; i < 60; ++i) {
            const int frame = o.createFrame(QRect(10 + (i % 10) * 70, 40 + (i / 10) * 60, 64, 56),
                                            QStringLiteral("Фрейм%1").arg(i + 1));
            o.createTextField(QRect(4, 20, 50, 19), kButtonFace, QStringLiteral("Текст%1").arg(i + 1), frame);
        }
        main.outlineView()->sync();
        main.documents().recordStep(StepKind::Full);
        QApplication::processEvents();
    }
};

void BM_MoveStepUndoRedo(benchmark::State& state)
{
    StartedWindow w;
    OpenOutline& doc = w.main.document();
    QAction* undo = w.main.command(QStringLiteral("N77"));
    QAction* redo = w.main.command(QStringLiteral("N78"));
    int x = 10;
    for (auto _ : state) {
        x = x == 10 ? 20 : 10;
        doc.outline.frame(50).bounds.moveLeft(x);
        w.main.documents().recordStep(StepKind::HeaderOnly);
        undo->trigger();
        redo->trigger();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_MoveStepUndoRedo)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(40)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_CreateFrameAndUndo(benchmark::State& state)
{
    StartedWindow w;
    OpenOutline& doc = w.main.document();
    QAction* create = w.main.command(QStringLiteral("N1"));
    QAction* undo = w.main.command(QStringLiteral("N77"));
    for (auto _ : state) {
        doc.interaction.creationPoint = QPoint(200, 500);
        create->trigger();
        undo->trigger();
        QApplication::processEvents();  // the replaced widgets are deleted
    }
    state.counters["frames"] = doc.outline.count(ObjectKind::Frame);
}
BENCHMARK(BM_CreateFrameAndUndo)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(20)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) { return runQtBenchmarks<QApplication>(argc, argv); }
