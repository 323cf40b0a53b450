// Costs of what runs when the reading order is shown: building the outline summary and the
// geometry of both sequence overlays, for an outline whose tables are full.
#include "model/outline.h"
#include "model/summary.h"
#include "view/sequence_overlay.h"

#include <benchmark/benchmark.h>

using namespace velmar;

namespace {

// 100 frames; pictures, text fields and video fragments spread over them, 100 of each kind.
Outline fullOutline()
{
    Outline o;
    o.setClientSize(QSize(4000, 4000));
    for (int i = 0; i < kTableCapacity; ++i) {
        const int frame = o.createFrame(QRect(10 + i * 7, 40 + i * 5, 150, 150), QStringLiteral("Фрейм"));
        o.frame(frame).minimalText = QStringLiteral("Суть фрейма %1").arg(i);
    }
    for (int i = 0; i < kTableCapacity; ++i) {
        const int parent = 1 + (i * 37) % kTableCapacity;
        o.createPicture(QRect(5, 30, 60, 40), parent);
        o.createTextField(QRect(70, 5, 66, 38), kButtonFace, QStringLiteral("текст"), parent);
        o.createVideo(QRect(5, 80, 60, 40), parent);
    }
    return o;
}

void BM_BuildSummary(benchmark::State& state)
{
    const Outline o = fullOutline();
    for (auto _ : state)
        benchmark::DoNotOptimize(buildSummary(o));
}
BENCHMARK(BM_BuildSummary)->Unit(benchmark::kMicrosecond);

void BM_OverlayGeometry(benchmark::State& state)
{
    const Outline o = fullOutline();
    const auto kind = state.range(0) == 0 ? OverlayKind::Frames : OverlayKind::Objects;
    for (auto _ : state)
        benchmark::DoNotOptimize(overlayGeometry(o, kind));
}
BENCHMARK(BM_OverlayGeometry)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
