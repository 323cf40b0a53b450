// Speed of the file managers' outline previews: `velmar --thumbnail 256` on an outline holding
// 20 photos of 4000 × 3000, whose streams are decoded at the reduced size libjpeg's inverse DCT
// gives, against the same drawing made from fully decoded photos. Both run in one process; the
// ratio of their medians is printed at the end.
#include "app/headless_cli.h"
#include "bench_main.h"
#include "storage/outline_io.h"
#include "support/photo_like_image.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using namespace velmar;

struct Fixture {
    QTemporaryDir dir;
    QString outline;
    Fixture()
    {
        Document doc;
        doc.state.windowSize = QSize(1280, 900);
        Outline& o = doc.outline;
        o.setClientSize(doc.state.windowSize - defaultWindowChrome());
        // Four rows of five frames, a photo in each; one photo shared by all keeps the set-up
        // short, but each picture is stored and decoded as a stream of its own.
        const QImage photo = photoLikeImage(4000, 3000, 7);
        for (int k = 0; k < 20; ++k) {
            const int f = o.createFrame(QRect(10 + (k % 5) * 250, 40 + (k / 5) * 200, 240, 190),
                                        QStringLiteral("Фото %1").arg(k + 1));
            const int p = o.createPicture(QRect(10, 20, 220, 160), f);
            o.picture(p).setBitmap(photo);
        }
        outline = dir.filePath(QStringLiteral("photos.vmd"));
        if (!writeOutlineFile(outline, doc).ok)
            std::fprintf(stderr, "cannot write %s\n", qPrintable(outline));
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

std::vector<double> reducedTimes, fullTimes;

void BM_ThumbnailReducedDecoding(benchmark::State& state)
{
    const QString out = fixture().dir.filePath(QStringLiteral("thumb.png"));
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        QString errors;
        if (runThumbnailCommand(256, fixture().outline, out, &errors) != 0)
            state.SkipWithError(qPrintable(errors));
        reducedTimes.push_back(double(timer.nsecsElapsed()) / 1e6);
        state.SetIterationTime(reducedTimes.back() / 1e3);
    }
}
BENCHMARK(BM_ThumbnailReducedDecoding)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(7);

void BM_ThumbnailFullDecoding(benchmark::State& state)
{
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        const LoadResult loaded = readAnyOutlineFile(fixture().outline);
        const QImage thumb = renderThumbnail(loaded, 256);
        benchmark::DoNotOptimize(thumb.constBits());
        fullTimes.push_back(double(timer.nsecsElapsed()) / 1e6);
        state.SetIterationTime(fullTimes.back() / 1e3);
    }
}
BENCHMARK(BM_ThumbnailFullDecoding)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(7);

}  // namespace

int main(int argc, char** argv)
{
    return runQtBenchmarks<QApplication>(argc, argv, [] {
        const double reduced = median(reducedTimes), full = median(fullTimes);
        if (reduced > 0)
            std::printf("thumbnail 256 px, 20 photos 4000 x 3000: reduced decoding %.0f ms, full decoding %.0f ms, "
                        "ratio %.1f\n",
                        reduced, full, full / reduced);
    });
}
