// Costs of the canvas arithmetic that runs on every window resize: rescaling a full outline
// (text fields refitted to their texts) and redrawing arrows.
#include "bench_main.h"
#include "canvas/arrow_geometry.h"
#include "model/outline.h"
#include "model/text_metrics.h"
#include "model/zoom.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

using namespace velmar;

namespace {

Outline fullOutline(int perKind)
{
    Outline o;
    o.setClientSize(QSize(4000, 4000));
    for (int i = 0; i < perKind; ++i) {
        o.createFrame(QRect(10 + i * 7, 40 + i * 5, 150, 150), QStringLiteral("Фрейм"));
        o.createCaption(QRect(5, 5, 60, 20), QStringLiteral("надпись"), 1);
        o.createPicture(QRect(5, 30, 60, 40), 1);
        o.createVideo(QRect(5, 80, 60, 40), 1);
        o.createTextField(QRect(70, 5, 66, 38), kButtonFace,
                          QStringLiteral("Первая строка\r\nвторая строка текста\r\nтретья"), 1);
        o.createArrow(100 + i, 100, 300, 200 + i, 1, kBlack);
    }
    recordReferenceLayout(o, QSize(728, 487));
    return o;
}

void rescaleFullOutline(benchmark::State& state)
{
    Outline o = fullOutline(int(state.range(0)));
    bool big = false;
    for (auto _ : state) {
        big = !big;
        benchmark::DoNotOptimize(rescaleOutline(o, big ? QSize(1366, 737) : QSize(728, 487), 2));
    }
}
BENCHMARK(rescaleFullOutline)->Arg(10)->Arg(100)->Unit(benchmark::kMicrosecond);

void measureThreeLines(benchmark::State& state)
{
    const FontSpec font;
    const QString text = QStringLiteral("Первая строка\r\nвторая строка текста\r\nтретья");
    for (auto _ : state)
        benchmark::DoNotOptimize(autoSizeTextField(text, font));
}
BENCHMARK(measureThreeLines)->Unit(benchmark::kMicrosecond);

void drawArrow(benchmark::State& state)
{
    const int length = int(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(placeArrow(100, 100, 100 + length, 100 + length / 2, 3, 0x0000FF));
}
BENCHMARK(drawArrow)->Arg(30)->Arg(300)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return runQtBenchmarks<QGuiApplication>(argc, argv); }
