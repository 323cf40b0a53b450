// Speed and size of "Сохранить как веб-страницу" on an outline of 20 photos of 1600 × 1200
// against the PDF export of the same outline: the drawing written from the open outline, and
// the whole `velmar --export` (reading the file included). Both run in one process; medians,
// their ratio and the page's size against its embedded JPEG streams are printed at the end.
#include "app/headless_cli.h"
#include "bench_main.h"
#include "export/outline_export.h"
#include "export/outline_renderer.h"
#include "export/outline_web_page.h"
#include "photo_outline.h"
#include "storage/jpeg_codec.h"
#include "storage/outline_io.h"
#include "support/photo_like_image.h"

#include <QApplication>
#include <QElapsedTimer>
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
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        work();
        times[name].push_back(double(timer.nsecsElapsed()) / 1e6);
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

void BM_WebPageExportCommand(benchmark::State& state)
{
    exportCommand(state, QStringLiteral("page command"), QStringLiteral("o.html"));
}
BENCHMARK(BM_WebPageExportCommand)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv)
{
    return runQtBenchmarks<QApplication>(argc, argv, [] {
        const auto ratio = [](const QString& page, const QString& pdf) {
            const double a = median(times[page]), b = median(times[pdf]);
            if (a > 0 && b > 0)
                std::printf("%s: web page %.0f ms, PDF %.0f ms, ratio %.2f (limit 1.5)\n", qPrintable(page), a, b,
                            a / b);
        };
        ratio(QStringLiteral("page"), QStringLiteral("pdf"));
        ratio(QStringLiteral("page command"), QStringLiteral("pdf command"));
        if (jpegBytes > 0)
            std::printf("page %lld bytes, JPEG streams %lld bytes (base64 %lld): page / streams %.3f, "
                        "limit 1.05 x base64 + 200 KB = %lld\n",
                        pageBytes, jpegBytes, (jpegBytes + 2) / 3 * 4, double(pageBytes) / double(jpegBytes),
                        qint64(1.05 * double((jpegBytes + 2) / 3 * 4)) + 200 * 1024);
    });
}
