// Speed of the slide decks (`velmar --export OUT.pptx|OUT.odp FILE`) on an outline of 20 photos of
// 1600 × 1200, against the least such a command must do: read the outline's file and zip its
// photos' JPEG streams into a file. All three run in one process (the least work before and after
// the decks); the medians and each deck's ratio to that least work are printed at the end (limit
// 1.2).
#include "app/headless_cli.h"
#include "bench_main.h"
#include "export/outline_web_svg.h"
#include "export/zip_archive.h"
#include "photo_outline.h"
#include "storage/jpeg_codec.h"
#include "storage/outline_io.h"
#include "support/photo_like_image.h"
#include "system/file_io.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
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
        const QSize client = doc.state.windowSize - defaultWindowChrome();
        Outline& o = doc.outline;
        o.setClientSize(client);
        addTwentyPhotos(o);
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

std::map<QString, std::vector<double>> times;

template <typename Work>
void timed(benchmark::State& state, const QString& name, Work work)
{
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        work();
        times[name].push_back(double(timer.nsecsElapsed()) / 1e6);
        state.SetIterationTime(times[name].back() / 1e3);
    }
}

// The least work: the file read as the command reads it, its JPEG streams zipped and written.
void BM_ReadAndZipPhotos(benchmark::State& state)
{
    const QString out = fixture().dir.filePath(QStringLiteral("photos.zip"));
    timed(state, QStringLiteral("read and zip"), [&] {
        const LoadResult loaded = loadOutlineForCommand(fixture().outline);
        std::vector<ZipEntry> entries;
        for (const PictureObject& picture : loaded.outline.objects<PictureObject>())
            entries.push_back({QStringLiteral("media/image%1.jpg").arg(picture.id), pictureJpeg(picture), false});
        QString error;
        const QByteArray zip = zipArchive(entries, &error);
        if (zip.isEmpty() || !replaceFile(out, {QByteArrayView(zip)}, false).ok)
            state.SkipWithError("cannot zip the photos");
    });
}

void deck(benchmark::State& state, const QString& name, const QString& file)
{
    const QString out = fixture().dir.filePath(file);
    timed(state, name, [&] {
        QString errors;
        if (runExportCommand(fixture().outline, out, &errors) != 0)
            state.SkipWithError(qPrintable(errors));
    });
}

void BM_PowerPointDeck(benchmark::State& state) { deck(state, QStringLiteral("pptx"), QStringLiteral("o.pptx")); }
void BM_OpenDocumentDeck(benchmark::State& state) { deck(state, QStringLiteral("odp"), QStringLiteral("o.odp")); }

// The least work before and after the decks, so that a slow spell of the machine shows.
BENCHMARK(BM_ReadAndZipPhotos)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(7);
BENCHMARK(BM_PowerPointDeck)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(7);
BENCHMARK(BM_OpenDocumentDeck)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(7);
BENCHMARK(BM_ReadAndZipPhotos)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(7);

}  // namespace

int main(int argc, char** argv)
{
    runWithTheProgramsHeap(argv);
    return runQtBenchmarks<QApplication>(argc, argv, [] {
        const double least = median(times[QStringLiteral("read and zip")]);
        for (const char* kind : {"pptx", "odp"}) {
            const double made = median(times[QString::fromLatin1(kind)]);
            if (least > 0 && made > 0)
                std::printf("%s deck %.0f ms, reading the file and zipping its JPEG streams %.0f ms: ratio %.2f "
                            "(limit 1.2)\n",
                            kind, made, least, made / least);
        }
    });
}
