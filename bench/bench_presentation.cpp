// Speed of a presentation step on a full outline (100 frames, 100 pictures of which 20 photos,
// 100 text fields, 100 video fragments, 100 arrows) shown on a 1920 × 1080 screen: one step is
// the redraw of what appeared or vanished plus the window's repaint of that region. The walk
// goes through every step forward and back again; median, 95th percentile and maximum per step
// are printed at the end, beside the cost of a whole drawing (the first picture, or switching
// the subtitles).
#include "bench_main.h"
#include "show/presentation_window.h"
#include "support/photo_like_image.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

namespace {

using namespace velmar;

constexpr QSize kScreen(1920, 1080);
constexpr QSize kClient(1600, 1000);

Document fullOutline()
{
    Document doc;
    Outline& o = doc.outline;
    o.setClientSize(kClient);
    QRandomGenerator random(11);
    const QImage photo = photoLikeImage(1600, 1200, 5);
    const QImage drawing = photoLikeImage(160, 120, 6);
    // Ten rows of ten frames; in each a picture, a text field and a film (the film has no file:
    // opening a hundred players is not what a step costs).
    for (int k = 0; k < 100; ++k) {
        const int f = o.createFrame(QRect(10 + (k % 10) * 158, 40 + (k / 10) * 95, 150, 90),
                                    QStringLiteral("Фрейм %1").arg(k + 1));
        o.frame(f).minimalText = QStringLiteral("Минимальный текст фрейма %1").arg(k + 1);
        const int p = o.createPicture(QRect(4, 18, 60, 45), f);
        o.picture(p).setBitmap(k % 5 == 0 ? photo : drawing);
        o.createTextField(QRect(68, 18, 76, 40), kButtonFace, QStringLiteral("Текст %1\r\nвторая строка").arg(k + 1),
                          f);
        o.createVideo(QRect(68, 60, 40, 26), f);
    }
    for (int k = 0; k < 100; ++k) {
        const int x1 = random.bounded(kClient.width()), y1 = 40 + random.bounded(kClient.height() - 80);
        const int x2 = std::clamp(x1 + random.bounded(-300, 300), 0, kClient.width() - 1);
        const int y2 = std::clamp(y1 + random.bounded(-200, 200), 40, kClient.height() - 1);
        o.createArrow(x1, y1, x2, y2, 1 + k % 4, 0x00000000u + quint32(k * 0x020401));
    }
    return doc;
}

std::vector<double> stepTimes, stepCpuTimes, redrawCpuTimes, wholeTimes, redrawnShares;

// Processor time of this thread in milliseconds: the machine running the benchmarks may be busy
// with other work, which stretches wall-clock times but not this.
double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

struct Show {
    Document doc = fullOutline();
    std::unique_ptr<PresentationWindow> window;
    Show()
    {
        QElapsedTimer timer;
        timer.start();
        window = std::make_unique<PresentationWindow>(doc, kClient, nullptr);
        window->resize(kScreen);
        window->show();
        window->repaint();
        wholeTimes.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
};

void BM_PresentationStep(benchmark::State& state)
{
    Show show;
    PresentationPicture& picture = show.window->picture();
    const int last = picture.order().lastStep();
    int direction = 1;
    for (auto _ : state) {
        if (picture.step() == last)
            direction = -1;
        else if (picture.step() == 0)
            direction = 1;
        QElapsedTimer timer;
        timer.start();
        const double cpu = threadCpuMs();
        const QRegion changed = direction > 0 ? picture.next() : picture.previous();
        redrawCpuTimes.push_back(threadCpuMs() - cpu);
        double pixels = 0;
        for (const QRect& r : changed)
            pixels += double(r.width()) * r.height();
        redrawnShares.push_back(100.0 * pixels / (kScreen.width() * kScreen.height()));
        show.window->repaint(changed);
        stepCpuTimes.push_back(threadCpuMs() - cpu);
        stepTimes.push_back(double(timer.nsecsElapsed()) / 1e6);
        state.SetIterationTime(stepTimes.back() / 1e3);
    }
    state.counters["steps"] = last;
}
BENCHMARK(BM_PresentationStep)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2 * 401);

void BM_PresentationSubtitlesSwitch(benchmark::State& state)
{
    Show show;
    show.window->picture().setStep(show.window->picture().order().lastStep());
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        const QRegion changed = show.window->picture().setSubtitlesShown(!show.window->picture().subtitlesShown());
        show.window->repaint(changed);
        wholeTimes.push_back(double(timer.nsecsElapsed()) / 1e6);
        state.SetIterationTime(wholeTimes.back() / 1e3);
    }
}
BENCHMARK(BM_PresentationSubtitlesSwitch)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(6);

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
        if (!stepTimes.empty()) {
            std::printf("presentation step, full outline at 1920 x 1080, %zu steps forward and back\n",
                        stepTimes.size());
            std::printf("  wall clock:     median %6.2f ms, p95 %6.2f ms, max %6.2f ms\n", percentile(stepTimes, 0.5),
                        percentile(stepTimes, 0.95), percentile(stepTimes, 1.0));
            std::printf(
                "  processor time: median %6.2f ms, p95 %6.2f ms, max %6.2f ms (redraw alone: median %.2f ms)\n",
                percentile(stepCpuTimes, 0.5), percentile(stepCpuTimes, 0.95), percentile(stepCpuTimes, 1.0),
                percentile(redrawCpuTimes, 0.5));
            std::printf("  screen redrawn per step: median %.1f %%, p95 %.1f %%\n", percentile(redrawnShares, 0.5),
                        percentile(redrawnShares, 0.95));
            std::printf("  whole drawing (first picture, subtitles switched): median %.1f ms wall clock\n",
                        percentile(wholeTimes, 0.5));
        }
    });
}
