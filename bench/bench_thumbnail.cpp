// Speed of the file managers' outline previews: `velmar --thumbnail 256` on an outline holding
// 20 photos of 4000 × 3000, against its baseline measured in the same run: one process reading
// the same 20 stored streams from the file (their bytes alone: the file also holds each photo's
// bitmap) and decoding them with libjpeg at 1/8, nothing else. Process CPU
// time (every thread), medians of 7; the ratio is printed as a target line at the end, beside the
// whole program started as a file manager starts it (its start-up included).
#include "app/headless_cli.h"
#include "bench_main.h"
#include "libjpeg_decode.h"
#include "process_cpu.h"
#include "program_start.h"
#include "storage/outline_io.h"
#include "support/photo_like_image.h"
#include "target_line.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

#include <sys/resource.h>

namespace {

using namespace velmar;

struct Fixture {
    QTemporaryDir dir;
    QString outline;
    QList<QByteArray> streams;  // as stored in the file, in its order
    QList<qint64> offsets;      // where each stream starts in the file
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
        const LoadResult stored = readAnyOutlineFile(outline);
        for (const PictureObject& p : stored.outline.objects<PictureObject>())
            if (!p.jpegStream().isEmpty())
                streams.push_back(p.jpegStream());
        qint64 streamBytes = 0;
        for (const QByteArray& s : streams)
            streamBytes += s.size();
        // The streams' places in the file, so that the baseline reads them and nothing else.
        QFile file(outline);
        file.open(QIODevice::ReadOnly);
        const uchar* bytes = file.map(0, file.size());
        const QByteArrayView whole(bytes, bytes ? file.size() : 0);
        qint64 from = 0;
        for (const QByteArray& s : streams) {
            from = whole.indexOf(QByteArrayView(s), from);
            if (from < 0) {
                std::fprintf(stderr, "a stored stream is not found in the file\n");
                streams.clear();
                break;
            }
            offsets.push_back(from);
            from += s.size();
        }
        std::printf("file %.1f MB, %lld streams of %.1f MB in all\n", double(QFileInfo(outline).size()) / 1e6,
                    qint64(streams.size()), double(streamBytes) / 1e6);
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

std::vector<double> thumbnailCpu, baselineCpu;

void BM_ThumbnailCommand(benchmark::State& state)
{
    fixture();  // made before anything is timed
    const QString out = fixture().dir.filePath(QStringLiteral("thumb.png"));
    for (auto _ : state) {
        const double cpu = processCpuMs();
        QString errors;
        if (runThumbnailCommand(256, fixture().outline, out, &errors) != 0)
            state.SkipWithError(qPrintable(errors));
        thumbnailCpu.push_back(processCpuMs() - cpu);
        state.SetIterationTime(thumbnailCpu.back() / 1e3);
    }
}
BENCHMARK(BM_ThumbnailCommand)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(7);

void BM_ReadAndLibjpegEighth(benchmark::State& state)
{
    fixture();
    for (auto _ : state) {
        const double cpu = processCpuMs();
        QFile file(fixture().outline);
        if (!file.open(QIODevice::ReadOnly))
            state.SkipWithError("cannot read the outline");
        long long pixels = 0;
        for (qsizetype k = 0; k < fixture().streams.size(); ++k) {
            file.seek(fixture().offsets[k]);
            pixels += libjpeg_baseline::decode(file.read(fixture().streams[k].size()), 8);
        }
        benchmark::DoNotOptimize(pixels);
        baselineCpu.push_back(processCpuMs() - cpu);
        state.SetIterationTime(baselineCpu.back() / 1e3);
    }
}
BENCHMARK(BM_ReadAndLibjpegEighth)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(7);

double childrenCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// The real program as a file manager runs it: CPU of each whole process, median of 5 (a negative
// value when it failed).
double wholeProgramCpu()
{
    QTemporaryDir home;
    const QProcessEnvironment env = quitWhenShownEnvironment(home);
    std::vector<double> cpu;
    for (int i = 0; i < 5; ++i) {
        QProcess process;
        process.setProcessEnvironment(env);
        const double before = childrenCpuMs();
        process.start(builtProgram(QStringLiteral("../src/velmar")),
                      {QStringLiteral("--thumbnail"), QStringLiteral("256"), fixture().outline,
                       fixture().dir.filePath(QStringLiteral("whole.png"))});
        if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
            return -1;
        cpu.push_back(childrenCpuMs() - before);
    }
    return median(cpu);
}

}  // namespace

int main(int argc, char** argv)
{
    return runQtBenchmarks<QApplication>(argc, argv, [] {
        const double thumbnail = median(thumbnailCpu), baseline = median(baselineCpu);
        if (thumbnail <= 0 || baseline <= 0)
            return;
        const double whole = wholeProgramCpu();
        if (whole > 0)
            std::printf("the whole program started with --thumbnail 256: %.0f ms CPU (start-up included)\n", whole);
        printTarget("thumbnail", "--thumbnail 256 of 20 photos 4000×3000, process CPU",
                    QStringLiteral("%1 ms").arg(thumbnail, 0, 'f', 0).toStdString(),
                    QStringLiteral("reading + libjpeg 1/8 of %1 streams %2 ms")
                        .arg(fixture().streams.size())
                        .arg(baseline, 0, 'f', 0)
                        .toStdString(),
                    thumbnail / baseline, TargetSense::AtMost, 1.25);
    });
}
