// Speed of the outline file and the history:
//  - a header-only history step on an outline with 100 objects of every kind;
//  - a full snapshot and a Save of an outline with 20 photos (1024 × 768) whose JPEG streams are
//    already known, against writing the same bytes with one plain file write (the Save, which
//    reaches the disk, against a plain write followed by fsync);
//  - loading that outline, against libjpeg-turbo decoding its 20 streams and nothing else;
//  - saving the outline with 100 objects of every kind (small pictures, streams known) as it is,
//    and with every text holding characters beyond Windows-1251, so that the extension block
//    carries all of them; and the look for what needs the block on the plain outline alone.
// The medians and their ratios are printed at the end of the run.
#include "model/document.h"
#include "program_heap.h"
#include "storage/extension_block.h"
#include "storage/history.h"
#include "storage/jpeg_codec.h"
#include "storage/outline_io.h"
#include "storage/snapshot_files.h"
#include "support/photo_like_image.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include <jpeglib.h>
#include <unistd.h>

namespace {

using namespace velmar;

// An outline at the format's capacity: 100 frames, text fields, video fragments, pictures and
// arrows, with texts in every field.
Document fullTables()
{
    Document doc;
    doc.state.windowSize = QSize(1600, 1200);
    Outline& o = doc.outline;
    o.setClientSize(QSize(1600 - 16, 1200 - 59));
    for (int k = 0; k < 100; ++k) {
        const int f = o.createFrame(QRect(2 + (k % 10) * 150, 34 + (k / 10) * 110, 145, 105),
                                    QStringLiteral("Фрейм %1").arg(k + 1));
        o.frame(f).minimalText = QStringLiteral("Минимальный текст фрейма номер %1").arg(k + 1);
    }
    for (int k = 0; k < 100; ++k) {
        const int t = o.createTextField(QRect(4, 20, 100, 30), kButtonFace,
                                        QStringLiteral("Строка %1\r\nещё строка").arg(k), k + 1);
        o.textField(t).minimalText = QStringLiteral("Текстовое поле %1").arg(k);
        o.createVideo(QRect(4, 55, 40, 40), k + 1);
        o.video(k + 1).fileName = QStringLiteral("/home/ученик/Видео/опыт %1.avi").arg(k);
        o.createPicture(QRect(50, 55, 40, 40), k + 1);
        o.createArrow(10 + k, 20, 100 + k, 200, 1 + k % 10, kBlack);
    }
    return doc;
}

struct PhotoOutline {
    QTemporaryDir dir;
    Document doc;
    QByteArray fileImage;  // the complete file as one buffer, for the plain write
    std::vector<QByteArray> streams;
    QString savedPath;

    PhotoOutline()
    {
        doc.state.windowSize = QSize(1400, 1000);
        doc.history.programFolder = dir.path();
        doc.outline.setClientSize(QSize(1400 - 16, 1000 - 59));
        doc.outline.createFrame(QRect(2, 34, 1300, 900), QStringLiteral("Фотографии"));
        for (int k = 0; k < 20; ++k) {
            const int p = doc.outline.createPicture(QRect(10 + (k % 5) * 250, 30 + (k / 5) * 200, 240, 180), 1);
            doc.outline.picture(p).setBitmap(photoLikeImage(1024, 768, quint32(k + 1)));
        }
        fileImage = serializeOutline(doc, true);  // encodes each photo once and keeps its stream
        for (int k = 1; k <= 20; ++k)
            streams.push_back(doc.outline.picture(k).jpegStream());
        savedPath = dir.filePath(QStringLiteral("photos.vmd"));
        writeOutlineFile(savedPath, doc);
        startHistory(doc);
        qint64 streamBytes = 0;
        for (const QByteArray& stream : streams)
            streamBytes += stream.size();
        std::printf("photo outline: file of %.1f MB, JPEG streams of %.0f KB on average\n", fileImage.size() / 1e6,
                    streamBytes / 20 / 1e3);
    }
    ~PhotoOutline() { releaseHistoryFolder(dir.path()); }
};

// The outline at capacity with a small photo in each picture, its streams encoded once.
Document fullTablesWithPictures(bool unicode)
{
    Document doc = fullTables();
    Outline& o = doc.outline;
    for (int k = 1; k <= 100; ++k)
        o.picture(k).setBitmap(photoLikeImage(40, 40, quint32(k)));
    if (unicode) {
        const QString extra = QStringLiteral(" π√²");
        doc.state.outlineName += extra;
        for (int k = 1; k <= 100; ++k) {
            o.frame(k).title += extra;
            o.frame(k).minimalText += extra;
            o.textField(k).text += extra;
            o.textField(k).minimalText += extra;
            o.textField(k).font.name += extra;
            o.video(k).fileName += extra;
            o.video(k).minimalText += extra;
            o.picture(k).minimalText += extra;
        }
    }
    (void)serializeOutline(doc, true);  // encodes the pictures once
    return doc;
}

void saveFullTables(benchmark::State& state, bool unicode)
{
    QTemporaryDir dir;
    const Document doc = fullTablesWithPictures(unicode);
    const QString path = dir.filePath(QStringLiteral("tables.vmd"));
    for (auto _ : state)
        if (!writeFileAtomically(path, buildOutlineImage(doc, true), false).ok)
            state.SkipWithError("the file was not written");
}
void BM_SaveFullTablesPlain(benchmark::State& state) { saveFullTables(state, false); }
void BM_SaveFullTablesUnicode(benchmark::State& state) { saveFullTables(state, true); }

void BM_BlockLookOnPlainTables(benchmark::State& state)
{
    const Document doc = fullTablesWithPictures(false);
    for (auto _ : state)
        benchmark::DoNotOptimize(extensionBlockFor(doc.state.outlineName, doc.outline));
}

PhotoOutline& photos()
{
    static PhotoOutline instance;
    return instance;
}

void BM_HeaderOnlyStep(benchmark::State& state)
{
    QTemporaryDir dir;
    Document doc = fullTables();
    doc.history.programFolder = dir.path();
    startHistory(doc);
    int shift = 0;
    for (auto _ : state) {
        doc.outline.frame(1 + shift % 100).bounds.translate(1, 0);
        ++shift;
        if (!recordStep(doc, StepKind::HeaderOnly).ok)
            state.SkipWithError("the step was not written");
    }
    cleanUp(doc);
    releaseHistoryFolder(dir.path());
}
BENCHMARK(BM_HeaderOnlyStep)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(200)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_FullSnapshot20Photos(benchmark::State& state)
{
    PhotoOutline& p = photos();
    for (auto _ : state) {
        if (!recordStep(p.doc, StepKind::Full).ok)
            state.SkipWithError("the snapshot was not written");
        // Keep the folder from filling the disk; not part of the step.
        state.PauseTiming();
        QFile::remove(snapshotPathIn(snapshotFolder(p.doc), p.doc.history.currentStep, true));
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * p.fileImage.size());
}

void BM_Save20Photos(benchmark::State& state)
{
    PhotoOutline& p = photos();
    const QString path = p.dir.filePath(QStringLiteral("saved.vmd"));
    for (auto _ : state)
        if (!writeOutlineFile(path, p.doc).ok)
            state.SkipWithError("the file was not written");
    state.SetBytesProcessed(state.iterations() * p.fileImage.size());
}

// The same bytes in one plain write: into a new file (as each history step makes one), and over
// the previous file (as Save replaces it).
void plainWrite(benchmark::State& state, bool replace)
{
    PhotoOutline& p = photos();
    const QString path = p.dir.filePath(QStringLiteral("plain.vmd"));
    for (auto _ : state) {
        if (!replace) {
            state.PauseTiming();
            QFile::remove(path);
            state.ResumeTiming();
        }
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(p.fileImage) != p.fileImage.size())
            state.SkipWithError("the file was not written");
    }
    state.SetBytesProcessed(state.iterations() * p.fileImage.size());
}

void BM_PlainWriteNewFile20Photos(benchmark::State& state) { plainWrite(state, false); }
void BM_PlainWriteOver20Photos(benchmark::State& state) { plainWrite(state, true); }

// What a durable save costs at the least: the same bytes written over the previous file, then
// flushed to the disk.
void BM_PlainWriteFsync20Photos(benchmark::State& state)
{
    PhotoOutline& p = photos();
    const QString path = p.dir.filePath(QStringLiteral("plain.vmd"));
    for (auto _ : state) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(p.fileImage) != p.fileImage.size()
            || !file.flush() || ::fsync(file.handle()) != 0)
            state.SkipWithError("the file was not written");
    }
    state.SetBytesProcessed(state.iterations() * p.fileImage.size());
}

void BM_Load20Photos(benchmark::State& state)
{
    PhotoOutline& p = photos();
    for (auto _ : state) {
        const LoadResult loaded = readOutlineFile(p.savedPath, defaultWindowChrome());
        if (!loaded.ok || !loaded.message.isEmpty())
            state.SkipWithError("the outline did not load whole");
        benchmark::DoNotOptimize(loaded.outline.count(ObjectKind::Picture));
    }
}

// libjpeg-turbo alone: the 20 streams decoded from memory into RGB32 rows, nothing else.
struct JpegError {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

// Decodes the 20 streams from memory into RGB32 rows; into a new buffer per picture (as a decoder
// must deliver 20 pictures), or all into one buffer reused (decoding alone, no memory to map).
void decodeStreams(benchmark::State& state, bool newBuffers)
{
    PhotoOutline& p = photos();
    std::vector<unsigned char> reused(1024 * 768 * 4);
    for (auto _ : state) {
        std::vector<std::unique_ptr<unsigned char[]>> pictures;
        for (const QByteArray& stream : p.streams) {
            jpeg_decompress_struct info{};
            JpegError errors{};
            info.err = jpeg_std_error(&errors.base);
            errors.base.error_exit = [](j_common_ptr c) {
                std::longjmp(reinterpret_cast<JpegError*>(c->err)->jump, 1);
            };
            if (setjmp(errors.jump)) {
                jpeg_destroy_decompress(&info);
                state.SkipWithError("decoding failed");
                break;
            }
            jpeg_create_decompress(&info);
            jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(stream.constData()),
                         static_cast<unsigned long>(stream.size()));
            jpeg_read_header(&info, TRUE);
            info.out_color_space = JCS_EXT_BGRX;
            jpeg_start_decompress(&info);
            const std::size_t rowBytes = std::size_t(info.output_width) * 4;
            unsigned char* pixels = reused.data();
            if (newBuffers) {
                pictures.emplace_back(new unsigned char[rowBytes * info.output_height]);
                pixels = pictures.back().get();
            }
            while (info.output_scanline < info.output_height) {
                JSAMPROW row = pixels + std::size_t(info.output_scanline) * rowBytes;
                jpeg_read_scanlines(&info, &row, 1);
            }
            jpeg_finish_decompress(&info);
            jpeg_destroy_decompress(&info);
        }
        benchmark::DoNotOptimize(pictures.data());
        benchmark::DoNotOptimize(reused.data());
    }
}

void BM_DecodeNewBuffers20Photos(benchmark::State& state) { decodeStreams(state, true); }
void BM_DecodeOneBuffer20Photos(benchmark::State& state) { decodeStreams(state, false); }

#define PHOTO_BENCH(name)                                                                                              \
    BENCHMARK(name)                                                                                                    \
        ->Unit(benchmark::kMillisecond)                                                                                \
        ->UseRealTime()                                                                                                \
        ->Iterations(5)                                                                                                \
        ->Repetitions(7)                                                                                               \
        ->ReportAggregatesOnly(true)
PHOTO_BENCH(BM_PlainWriteNewFile20Photos);
PHOTO_BENCH(BM_FullSnapshot20Photos);
PHOTO_BENCH(BM_PlainWriteOver20Photos);
PHOTO_BENCH(BM_PlainWriteFsync20Photos);
PHOTO_BENCH(BM_Save20Photos);
PHOTO_BENCH(BM_DecodeNewBuffers20Photos);
PHOTO_BENCH(BM_DecodeOneBuffer20Photos);
PHOTO_BENCH(BM_Load20Photos);
BENCHMARK(BM_SaveFullTablesPlain)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(40)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_SaveFullTablesUnicode)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(40)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_BlockLookOnPlainTables)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(200)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The console report, then the medians' ratios that the targets are stated in.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                m_medians[run.run_name.function_name] = run.GetAdjustedRealTime();
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        const auto ratio = [&](const char* a, const char* b, const char* target) {
            if (m_medians.count(a) && m_medians.count(b) && m_medians[b] > 0)
                std::printf("%-28s / %-24s = %.2f   (target %s)\n", a, b, m_medians[a] / m_medians[b], target);
        };
        if (m_medians.count("BM_HeaderOnlyStep"))
            std::printf("BM_HeaderOnlyStep median = %.3f ms   (target <= 1 ms)\n", m_medians["BM_HeaderOnlyStep"]);
        ratio("BM_FullSnapshot20Photos", "BM_PlainWriteNewFile20Photos", "<= 1.5");
        ratio("BM_Save20Photos", "BM_PlainWriteFsync20Photos", "<= 1.5");
        ratio("BM_Save20Photos", "BM_PlainWriteOver20Photos", "for reference: without fsync");
        ratio("BM_Load20Photos", "BM_DecodeNewBuffers20Photos", "<= 1.3");
        ratio("BM_Load20Photos", "BM_DecodeOneBuffer20Photos", "for reference");
        ratio("BM_SaveFullTablesUnicode", "BM_SaveFullTablesPlain", "<= 1.1");
        ratio("BM_BlockLookOnPlainTables", "BM_SaveFullTablesPlain", "the block's cost without a block");
    }

private:
    std::map<std::string, double> m_medians;
};

}  // namespace

int main(int argc, char** argv)
{
    runWithTheProgramsHeap(argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
