// The editor's picture browser on large folders: how long the window's thread is held up while a
// folder of 100 photos of 4000 × 3000 is listed and its thumbnails made, the second listing from
// the thumbnail cache, a folder of 10,000 small pictures, and JPEG thumbnail decoding at an
// eighth against decoding the whole photo.
#include "bench_main.h"
#include "paint/core/picture_files.h"
#include "paint/paint_browser.h"
#include "storage/jpeg_codec.h"
#include "support/photo_like_image.h"
#include "support/resident_memory.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QIcon>
#include <QListWidget>
#include <QSet>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <ctime>

#include <malloc.h>

using namespace velmar;
using namespace velmar::paint;

namespace {

constexpr int kPhotos = 100;
constexpr int kSmallPictures = 10000;

QTemporaryDir& scratch()
{
    static QTemporaryDir dir;
    return dir;
}

// 100 photo-like JPEG files of 4000 × 3000 (ten different pictures, each under ten names).
QString photoFolder()
{
    static QString folder;
    if (folder.isEmpty()) {
        folder = scratch().path() + QStringLiteral("/photos");
        QDir().mkpath(folder);
        for (int i = 0; i < 10; ++i) {
            const QByteArray stream = encodeJpeg(photoLikeImage(4000, 3000, quint32(i + 1)), 92);
            for (int copy = 0; copy < kPhotos / 10; ++copy) {
                QFile file(folder + QStringLiteral("/photo_%1_%2.jpg").arg(i).arg(copy));
                file.open(QIODevice::WriteOnly);
                file.write(stream);
            }
        }
    }
    return folder;
}

QString smallFolder()
{
    static QString folder;
    if (folder.isEmpty()) {
        folder = scratch().path() + QStringLiteral("/small");
        QDir().mkpath(folder);
        QImage tiny(16, 12, QImage::Format_RGB32);
        for (int i = 0; i < kSmallPictures; ++i) {
            tiny.fill(QColor::fromHsv(i % 360, 200, 200));
            tiny.save(folder + QStringLiteral("/p%1.bmp").arg(i, 5, 10, QLatin1Char('0')), "BMP");
        }
    }
    return folder;
}

qint64 cpuNs(clockid_t which)
{
    timespec t{};
    clock_gettime(which, &t);
    return qint64(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}
qint64 threadCpuNs() { return cpuNs(CLOCK_THREAD_CPUTIME_ID); }

struct Gaps {
    double longestMs = 0;      // the longest time between two ticks of a 1 ms timer
    double longestBusyMs = 0;  // the most processor time the window's thread spent between two
                               // ticks: the hold-up our own code causes, whatever the machine's load
    double processCpuMs = 0;   // processor time of all threads over the refresh
};

// Lists `folder` in a shown browser and runs the event loop until every thumbnail is shown.
// Returns the window thread's gaps, and the whole time in *total.
Gaps refreshAndWatch(PictureBrowser& browser, double* total)
{
    QElapsedTimer clock;
    qint64 last = 0, longest = 0, lastCpu = threadCpuNs(), longestBusy = 0;
    QTimer ticker;
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        const qint64 cpu = threadCpuNs();
        longest = std::max(longest, now - last);
        longestBusy = std::max(longestBusy, cpu - lastCpu);
        last = now;
        lastCpu = cpu;
    });
    bool done = false;
    const auto connection = QObject::connect(&browser, &PictureBrowser::thumbnailsShown, [&] { done = true; });
    const qint64 processStart = cpuNs(CLOCK_PROCESS_CPUTIME_ID);
    clock.start();
    ticker.start();
    browser.refresh();  // counted from the start: the listing itself runs on this thread
    while (!done)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    QApplication::processEvents();
    const qint64 now = clock.nsecsElapsed();
    longest = std::max(longest, now - last);
    longestBusy = std::max(longestBusy, threadCpuNs() - lastCpu);
    QObject::disconnect(connection);
    *total = double(now) / 1e9;
    return {double(longest) / 1e6, double(longestBusy) / 1e6,
            double(cpuNs(CLOCK_PROCESS_CPUTIME_ID) - processStart) / 1e6};
}

void report(benchmark::State& state, const Gaps& worst)
{
    state.counters["longest_gui_gap_ms"] = worst.longestMs;
    state.counters["longest_gui_busy_ms"] = worst.longestBusyMs;
    state.counters["process_cpu_ms"] = worst.processCpuMs;
}

void keepWorst(Gaps& worst, const Gaps& now)
{
    worst.longestMs = std::max(worst.longestMs, now.longestMs);
    worst.longestBusyMs = std::max(worst.longestBusyMs, now.longestBusyMs);
    worst.processCpuMs = std::max(worst.processCpuMs, now.processCpuMs);
}

// A shown browser on `folder` with its own thumbnail cache in `cache`.
std::unique_ptr<PictureBrowser> shownBrowser(const QString& folder, const QTemporaryDir& cache)
{
    auto browser = std::make_unique<PictureBrowser>(nullptr, ThumbnailCache(cache.path()));
    browser->setFolder(folder);
    browser->resize(136, 400);
    browser->show();
    QApplication::processEvents();
    return browser;
}

void BM_RefreshPhotosColdCache(benchmark::State& state)
{
    const QString folder = photoFolder();
    Gaps worst;
    double seconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir cache;
        const auto shown = shownBrowser(folder, cache);
        PictureBrowser& browser = *shown;
        state.ResumeTiming();
        keepWorst(worst, refreshAndWatch(browser, &seconds));
        state.SetIterationTime(seconds);
        if (browser.thumbnailCount() != kPhotos)
            state.SkipWithError("not every thumbnail was made");
    }
    report(state, worst);
}
BENCHMARK(BM_RefreshPhotosColdCache)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_RefreshPhotosFromCache(benchmark::State& state)
{
    const QString folder = photoFolder();
    QTemporaryDir cache;
    const auto shown = shownBrowser(folder, cache);
    PictureBrowser& browser = *shown;
    Gaps worst;
    double seconds = 0;
    refreshAndWatch(browser, &seconds);  // fills the cache
    for (auto _ : state) {
        keepWorst(worst, refreshAndWatch(browser, &seconds));
        state.SetIterationTime(seconds);
    }
    report(state, worst);
}
BENCHMARK(BM_RefreshPhotosFromCache)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

// Listing 10,000 small pictures: the list filled and laid out (thumbnails follow separately).
void BM_ListTenThousandFiles(benchmark::State& state)
{
    const QString folder = smallFolder();
    QTemporaryDir cache;
    const auto shown = shownBrowser(folder, cache);
    PictureBrowser& browser = *shown;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        browser.refresh();
        browser.list()->doItemsLayout();
        browser.list()->viewport()->repaint();
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        state.PauseTiming();
        browser.loader().cancel();
        state.ResumeTiming();
    }
    state.counters["items"] = browser.itemCount();
}
BENCHMARK(BM_ListTenThousandFiles)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

// The whole of the 10,000 thumbnails, cold cache, with the longest hold-up of the window.
void BM_RefreshTenThousandColdCache(benchmark::State& state)
{
    const QString folder = smallFolder();
    Gaps worst;
    double seconds = 0;
    for (auto _ : state) {
        QTemporaryDir cache;
        const auto shown = shownBrowser(folder, cache);
        PictureBrowser& browser = *shown;
        keepWorst(worst, refreshAndWatch(browser, &seconds));
        state.SetIterationTime(seconds);
    }
    report(state, worst);
}
BENCHMARK(BM_RefreshTenThousandColdCache)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// The memory a browser showing 10,000 pictures holds once every thumbnail is made: the process's
// resident memory against what it was before the listing, and the decoded icons the list keeps
// (each distinct icon counted once).
void BM_TenThousandThumbnailsMemory(benchmark::State& state)
{
    const QString folder = smallFolder();
    for (auto _ : state) {
        QTemporaryDir cache;
        const auto shown = shownBrowser(folder, cache);
        PictureBrowser& browser = *shown;
        malloc_trim(0);
        const long long before = velmar::test::residentKb();
        double seconds = 0;
        refreshAndWatch(browser, &seconds);
        malloc_trim(0);
        const long long after = velmar::test::residentKb();
        QSet<qint64> icons;
        qint64 iconBytes = 0;
        for (int row = 0; row < browser.list()->count(); ++row) {
            const QIcon icon = browser.list()->item(row)->icon();
            if (icon.isNull() || icons.contains(icon.cacheKey()))
                continue;
            icons.insert(icon.cacheKey());
            iconBytes += qint64(browser.thumbSize()) * browser.thumbSize() * 4;
        }
        state.SetIterationTime(seconds);
        state.counters["rss_MB"] = double(after - before) / 1024.0;
        state.counters["icons_MB"] = double(iconBytes) / (1024.0 * 1024.0);
        state.counters["distinct_icons"] = double(icons.size());
        state.counters["thumbnails"] = browser.thumbnailCount();
    }
}
BENCHMARK(BM_TenThousandThumbnailsMemory)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// One photo's thumbnail source: the whole photo decoded, against libjpeg's eighth-size decoding.
void BM_DecodePhotoWhole(benchmark::State& state)
{
    const QString path = photoFolder() + QStringLiteral("/photo_0_0.jpg");
    for (auto _ : state)
        benchmark::DoNotOptimize(readPictureFile(path, PictureDecoder::Jpeg));
}
BENCHMARK(BM_DecodePhotoWhole)->Unit(benchmark::kMillisecond);

void BM_DecodePhotoForThumbnail(benchmark::State& state)
{
    const QString path = photoFolder() + QStringLiteral("/photo_0_0.jpg");
    for (auto _ : state)
        benchmark::DoNotOptimize(readPictureReduced(path, PictureDecoder::Jpeg, 128));
}
BENCHMARK(BM_DecodePhotoForThumbnail)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return runQtBenchmarks<QApplication>(argc, argv); }
