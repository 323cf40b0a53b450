// Speed and size of "Сохранить как веб-страницу" on an outline of 20 photos of 1600 × 1200
// against the PDF export of the same outline: the drawing written from the open outline, and
// the whole `velmar --export` (reading the file included). All run in one process, timed in
// process CPU (every thread); at the end, the target lines: the page command beside reading the
// file and base64 of its stored streams, the page beside the PDF, the page's size beside its
// streams, and how many of the stored streams the PDF holds byte for byte and its size beside them.
#include "app/headless_cli.h"
#include "bench_main.h"
#include "export/outline_export.h"
#include "export/outline_renderer.h"
#include "export/outline_web_page.h"
#include "photo_outline.h"
#include "process_cpu.h"
#include "storage/jpeg_codec.h"
#include "storage/outline_io.h"
#include "support/photo_like_image.h"
#include "target_line.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

namespace {

using namespace velmar;

struct Fixture {
    QTemporaryDir dir;
    QString outline;
    Document doc;
    QSize client;
    QList<QByteArray> streams;  // as the file stores them

    Fixture()
    {
        doc.state.windowSize = QSize(1280, 900);
        client = doc.state.windowSize - defaultWindowChrome();
        Outline& o = doc.outline;
        o.setClientSize(client);
        addTwentyPhotos(o);
        outline = dir.filePath(QStringLiteral("photos.vmd"));
        if (!writeOutlineFile(outline, doc).ok)
            std::fprintf(stderr, "cannot write %s\n", qPrintable(outline));
        const LoadResult stored = readAnyOutlineFile(outline);
        for (const PictureObject& p : stored.outline.objects<PictureObject>())
            streams.push_back(p.jpegStream());
        std::printf("file %.1f MB\n", double(QFileInfo(outline).size()) / 1e6);
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

std::map<QString, std::vector<double>> times;
qint64 pageBytes = 0, jpegBytes = 0;

template <typename Work>
void timed(benchmark::State& state, const QString& name, Work work)
{
    fixture();  // made before anything is timed
    for (auto _ : state) {
        const double cpu = processCpuMs();
        work();
        times[name].push_back(processCpuMs() - cpu);
        state.SetIterationTime(times[name].back() / 1e3);
    }
}

void BM_PdfFromOutline(benchmark::State& state)
{
    timed(state, QStringLiteral("pdf"), [] {
        OutlineRenderer renderer(fixture().doc, fixture().client);
        renderer.drawForAnyScale();
        benchmark::DoNotOptimize(outlinePdf(renderer).size());
    });
}
BENCHMARK(BM_PdfFromOutline)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_WebPageFromOutline(benchmark::State& state)
{
    timed(state, QStringLiteral("page"), [] {
        const QByteArray page = outlineWebPage(fixture().doc, fixture().client, &jpegBytes);
        pageBytes = page.size();
    });
}
BENCHMARK(BM_WebPageFromOutline)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void exportCommand(benchmark::State& state, const QString& name, const QString& file)
{
    const QString out = fixture().dir.filePath(file);
    timed(state, name, [&] {
        QString errors;
        if (runExportCommand(fixture().outline, out, &errors) != 0)
            state.SkipWithError(qPrintable(errors));
    });
}

void BM_PdfExportCommand(benchmark::State& state)
{
    exportCommand(state, QStringLiteral("pdf command"), QStringLiteral("o.pdf"));
}
BENCHMARK(BM_PdfExportCommand)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// The baseline of the page: reading every byte of the file (through one buffer, from the page
// cache) and base64 of each stored stream.
void readingAndBase64(benchmark::State& state, QByteArray& buffer)
{
    QFile file(fixture().outline);
    if (!file.open(QIODevice::ReadOnly))
        state.SkipWithError("cannot read the outline");
    qint64 sum = 0;
    while (const qint64 n = file.read(buffer.data(), buffer.size())) {
        if (n < 0)
            break;
        sum += buffer.at(n - 1);
    }
    for (const QByteArray& stream : fixture().streams)
        sum += stream.toBase64().size();
    benchmark::DoNotOptimize(sum);
}

// The page command and its baseline one after the other, many times: both see the machine as it
// is at that moment (this VM's speed drifts within seconds), and the medians of a few
// milliseconds each settle.
void BM_WebPageCommandBesideReading(benchmark::State& state)
{
    fixture();
    const QString out = fixture().dir.filePath(QStringLiteral("o.html"));
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (auto _ : state) {
        double cpu = processCpuMs();
        QString errors;
        if (runExportCommand(fixture().outline, out, &errors) != 0)
            state.SkipWithError(qPrintable(errors));
        times[QStringLiteral("page command")].push_back(processCpuMs() - cpu);
        state.SetIterationTime(times[QStringLiteral("page command")].back() / 1e3);
        cpu = processCpuMs();
        readingAndBase64(state, buffer);
        times[QStringLiteral("reading")].push_back(processCpuMs() - cpu);
    }
}
BENCHMARK(BM_WebPageCommandBesideReading)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(21);

std::string ms(double v) { return QStringLiteral("%1 ms").arg(v, 0, 'f', 1).toStdString(); }
std::string mb(double v) { return QStringLiteral("%1 MB").arg(v / 1e6, 0, 'f', 2).toStdString(); }

// The stored streams' bytes and how many of them `pdf` holds byte for byte.
std::pair<qint64, int> streamsIn(const QByteArray& pdf)
{
    qint64 bytes = 0;
    int found = 0;
    for (const QByteArray& stream : fixture().streams) {
        bytes += stream.size();
        found += !stream.isEmpty() && pdf.contains(stream);
    }
    return {bytes, found};
}

void printTargets()
{
    const auto time = [](const char* name) { return median(times[QString::fromLatin1(name)]); };
    if (time("page command") > 0 && time("reading") > 0)
        printTarget("web-page", "velmar --export page of 20 photos, process CPU", ms(time("page command")),
                    "reading + base64 of the streams " + ms(time("reading")), time("page command") / time("reading"),
                    TargetSense::AtMost, 1.2);
    if (time("page") > 0 && time("pdf") > 0)
        printTarget("web-page-pdf", "web page from the open outline beside the PDF, process CPU", ms(time("page")),
                    "PDF " + ms(time("pdf")), time("page") / time("pdf"), TargetSense::AtMost, 1.5);
    if (jpegBytes > 0) {
        const qint64 base64 = (jpegBytes + 2) / 3 * 4;
        printTarget("web-page-size", "web page size beside its photos in base64 (+200 KB)", mb(double(pageBytes)),
                    "base64 of the streams " + mb(double(base64)), double(pageBytes) / double(base64 + 200 * 1024),
                    TargetSense::AtMost, 1.05);
    }
    QFile file(fixture().dir.filePath(QStringLiteral("o.pdf")));
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray pdf = file.readAll();
    const auto [bytes, found] = streamsIn(pdf);
    const std::string count = std::to_string(fixture().streams.size());
    printTarget("pdf-streams", "velmar --export PDF: stored streams found byte for byte",
                std::to_string(found) + " of " + count, count + " stored streams", found, TargetSense::AtLeast,
                double(fixture().streams.size()), "");
    printTarget("pdf-size", "velmar --export PDF size beside the stored streams", mb(double(pdf.size())),
                "the streams " + mb(double(bytes)), double(pdf.size()) / double(bytes), TargetSense::AtMost, 1.1);
}

}  // namespace

int main(int argc, char** argv) { return runQtBenchmarks<QApplication>(argc, argv, printTargets); }
