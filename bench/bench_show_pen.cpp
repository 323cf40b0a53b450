// Speed of drawing in the show: the real show window on a 1920 × 1080 screen, a full outline
// shown to its last step, driven by mouse events as the mouse sends them. One pointer event of a
// pen stroke is the event itself plus the window's repaint of what it changed (the posted update
// is processed before the clock stops). The same events with the arrow (nothing drawn, nothing
// repainted) and with the laser pointer (a dot moved) are measured in the same run; the ratios
// are printed at the end beside the budget of 4 ms an event.
#include "bench_main.h"
#include "show/presentation_window.h"
#include "support/photo_like_image.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace velmar;

constexpr QSize kScreen(1920, 1080);
constexpr QSize kClient(1600, 1000);
// Points a stroke has before the button is let go: a long stroke, to show that its length does
// not slow the next point down.
constexpr int kStrokePoints = 400;

Document outline()
{
    Document doc;
    Outline& o = doc.outline;
    o.setClientSize(kClient);
    const QImage photo = photoLikeImage(1600, 1200, 5);
    for (int k = 0; k < 40; ++k) {
        const int f = o.createFrame(QRect(10 + (k % 8) * 198, 40 + (k / 8) * 190, 190, 180),
                                    QStringLiteral("Фрейм %1").arg(k + 1));
        const int p = o.createPicture(QRect(4, 18, 120, 90), f);
        o.picture(p).setBitmap(photo);
        o.createTextField(QRect(4, 112, 180, 60), kButtonFace, QStringLiteral("Текст %1\r\nвторая строка").arg(k + 1),
                          f);
    }
    return doc;
}

double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

struct Times {
    std::vector<double> wall, cpu;
    int events = 0, paints = 0;  // the window's paint events: the repaint is part of what is measured
};

class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};
std::map<std::string, Times> times;

// Where the pointer is at the i-th event: a zigzag over the whole outline, about 8 pixels apart.
QPointF pointAt(int i)
{
    const double t = i * 8.0;
    const double x = 100 + std::fmod(t, 1700.0);
    const double y = 150 + 300 * std::sin(t / 160.0) + 200 * ((i / 212) % 3);
    return {x, y};
}

void send(QWidget* window, QEvent::Type type, QPointF at, Qt::MouseButtons buttons)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, window->mapToGlobal(at), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(window, &event);
}

void drawWith(benchmark::State& state, ShowTool tool, const char* name)
{
    Document doc = outline();
    PresentationWindow window(doc, kClient, nullptr);
    window.resize(kScreen);
    window.show();
    window.picture().setStep(window.picture().order().lastStep());
    window.repaint();
    window.setTool(tool);
    QApplication::processEvents();
    const bool press = tool == ShowTool::Pen || tool == ShowTool::Highlighter;
    Times& t = times[name];
    PaintCounter counter;
    window.installEventFilter(&counter);
    int i = 0;
    for (auto _ : state) {
        const QPointF at = pointAt(i);
        QElapsedTimer timer;
        timer.start();
        const double cpu = threadCpuMs();
        if (press && i % kStrokePoints == 0)
            send(&window, QEvent::MouseButtonPress, at, Qt::LeftButton);
        else
            send(&window, QEvent::MouseMove, at, press ? Qt::LeftButton : Qt::NoButton);
        if (press && i % kStrokePoints == kStrokePoints - 1)
            send(&window, QEvent::MouseButtonRelease, at, Qt::NoButton);
        QApplication::processEvents();  // the repaint the event asked for
        t.cpu.push_back(threadCpuMs() - cpu);
        t.wall.push_back(double(timer.nsecsElapsed()) / 1e6);
        state.SetIterationTime(t.wall.back() / 1e3);
        ++i;
    }
    t.events += i;
    t.paints += counter.paints;
    state.counters["strokes"] = double(window.ink().strokes(window.picture().step()).size());
}

void BM_ShowArrow(benchmark::State& state) { drawWith(state, ShowTool::Arrow, "arrow"); }
void BM_ShowLaser(benchmark::State& state) { drawWith(state, ShowTool::Laser, "laser"); }
void BM_ShowPen(benchmark::State& state) { drawWith(state, ShowTool::Pen, "pen"); }
void BM_ShowHighlighter(benchmark::State& state) { drawWith(state, ShowTool::Highlighter, "highlighter"); }
BENCHMARK(BM_ShowArrow)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(2000);
BENCHMARK(BM_ShowLaser)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(2000);
BENCHMARK(BM_ShowPen)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(2000);
BENCHMARK(BM_ShowHighlighter)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(2000);

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, std::size_t(p * double(v.size() - 1) + 0.5))];
}

}  // namespace

int main(int argc, char** argv)
{
    runWithTheProgramsHeap(argv);
    return runQtBenchmarks<QApplication>(argc, argv, [] {
        if (times.empty())
            return;
        std::printf("pointer events in the show at 1920 x 1080, each with its repaint (budget 4 ms)\n");
        for (const char* name : {"arrow", "laser", "pen", "highlighter"}) {
            const Times& t = times[name];
            if (t.wall.empty())
                continue;
            std::printf(
                "  %-11s wall median %6.3f ms, p95 %6.3f ms, max %6.3f ms; processor median %6.3f ms, max %6.3f ms; "
                "%d repaints for %d events\n",
                name, percentile(t.wall, 0.5), percentile(t.wall, 0.95), percentile(t.wall, 1.0),
                percentile(t.cpu, 0.5), percentile(t.cpu, 1.0), t.paints, t.events);
            // The slowest events and where they fell in a stroke (its first point is 0).
            std::vector<std::pair<double, int>> slowest;
            for (size_t i = 0; i < t.wall.size(); ++i)
                slowest.emplace_back(t.wall[i], int(i));
            std::partial_sort(slowest.begin(), slowest.begin() + 4, slowest.end(), std::greater<>());
            std::printf("              slowest:");
            for (int k = 0; k < 4; ++k)
                std::printf(" %.2f ms (point %d)", slowest[size_t(k)].first, slowest[size_t(k)].second % kStrokePoints);
            std::printf("\n");
        }
        const double arrow = percentile(times["arrow"].wall, 0.5), laser = percentile(times["laser"].wall, 0.5);
        for (const char* name : {"pen", "highlighter"}) {
            const double m = percentile(times[name].wall, 0.5);
            if (m > 0 && arrow > 0 && laser > 0)
                std::printf("  %-11s median %.2f x the arrow's event, %.2f x the laser's; p95 %.2f ms of 4 ms\n", name,
                            m / arrow, m / laser, percentile(times[name].wall, 0.95));
        }
    });
}
