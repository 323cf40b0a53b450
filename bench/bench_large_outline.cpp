// The largest outline as a user opens it: 100 objects of each kind (100 frames, 100 pictures of
// which 20 photos of 1600 × 1200, 100 text fields, 100 captions, 100 films without a file,
// 100 arrows) written to a file in a temporary folder, then opened by the main window's Open as
// "Файл → Открыть" does, in a window that has opened nothing before. Measured, each beside its
// baseline from the same run:
//   open        process CPU of the first Open and of the first reopen (the window brought up to
//               date and painted), beside reading the file and decoding its JPEG streams once with
//               libjpeg at the size they are drawn (hot: the median of 5)
//   memory      resident memory after the first Open and after each reopen; and, each in a process
//               of its own, an outline of 20 photos of 1600 × 1200 drawn at 160 × 120 above the
//               same outline with photos of 160 × 120
//   step        a frame moved and the step recorded (the window brought up to date), CPU time
//   resize      the window resized by the zoom, CPU time per resize
//   print       the outline printed to a PDF file beside the PDF export of the same outline
// The targets are printed as TARGET lines (see target_line.h) after the figures.
//   bench_large_outline [OPENS] [larger]  OPENS opens in all (default 6, at least 2); `larger`
//                                   writes the file for a window half as large again as the
//                                   screen, which Open fits into the window
//   bench_large_outline resize [N]  only the resize, N times (default 40), after the Open
// The window is off screen unless Qt's -platform option says otherwise: `-platform xcb` on an X
// display measures the resize as the program does it there (the off-screen platform makes a new
// window picture on every resize, whose fresh pages the first painting pays for; X keeps its
// shared-memory picture while the size fits).
#include "app/main_window.h"
#include "canvas/canvas_widget.h"
#include "canvas/outline_view.h"
#include "export/outline_export.h"
#include "export/outline_print.h"
#include "export/outline_renderer.h"
#include "largest_outline.h"
#include "libjpeg_decode.h"
#include "model/zoom.h"
#include "process_cpu.h"
#include "program_heap.h"
#include "started_window.h"
#include "storage/history.h"
#include "storage/jpeg_codec.h"
#include "storage/outline_io.h"
#include "support/photo_like_image.h"
#include "support/resident_memory.h"
#include "support/scripted_dialogs.h"
#include "system/heap_settings.h"
#include "target_line.h"

#include <QAction>
#include <QApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QThreadPool>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

#include <sys/stat.h>

using namespace velmar;

namespace {

double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double maximum(const std::vector<double>& v) { return v.empty() ? 0 : *std::max_element(v.begin(), v.end()); }

// Resident memory of this process in MB, from /proc/self/status.
// Bytes of the history folder's files that are not the opened file itself (links do not count).
qint64 historyBytesBesides(const QString& folder, const QString& opened)
{
    struct stat file {};
    ::stat(QFile::encodeName(opened).constData(), &file);
    qint64 bytes = 0;
    QDirIterator it(folder, QDir::Files);
    while (it.hasNext()) {
        const QString path = it.next();
        struct stat info {};
        if (::stat(QFile::encodeName(path).constData(), &info) == 0 && info.st_ino != file.st_ino)
            bytes += info.st_size;
    }
    return bytes;
}

// The window resized back and forth: the zoom scales the outline. CPU time of this (the GUI)
// thread per resize, the window brought up to date and painted.
void measureResize(MainWindow& window, int times)
{
    std::vector<double> resizeCpu;
    const QSize size = window.size();
    for (int i = 0; i < times; ++i) {
        const double cpu = threadCpuMs();
        window.resize(size + (i % 2 ? QSize(0, 0) : QSize(40, 30)));
        QApplication::processEvents();
        resizeCpu.push_back(threadCpuMs() - cpu);
    }
    std::printf("resize (%s): median %.1f ms CPU, max %.1f ms\n", qPrintable(QGuiApplication::platformName()),
                median(resizeCpu), maximum(resizeCpu));
}

// The largest outline written to `path` for a window of `windowSize` whose canvas is `client`,
// as a file made elsewhere: nothing of it has passed through this window.
bool writeLargestOutline(const QString& path, QSize windowSize, QSize client)
{
    Document doc;
    doc.state.windowSize = windowSize;
    doc.outline.setClientSize(client);
    buildLargestOutline(doc.outline, client);
    return writeOutlineFile(path, doc).ok;
}

// 20 frames with a picture of 160 × 120 each, holding photos of `photo` size; five in a row,
// overlapping where the canvas is too small for them side by side.
bool writeTwentyPictures(const QString& path, QSize windowSize, QSize client, QSize photo)
{
    Document doc;
    doc.state.windowSize = windowSize;
    Outline& o = doc.outline;
    o.setClientSize(client);
    const int across = std::min(180, (client.width() - 10 - 170) / 4);
    const int down = std::min(150, (client.height() - 40 - 140) / 3);
    for (int k = 0; k < 20; ++k) {
        const int f = o.createFrame(QRect(10 + (k % 5) * across, 40 + (k / 5) * down, 170, 140),
                                    QStringLiteral("Фото %1").arg(k + 1));
        const int p = o.createPicture(QRect(5, 10, 160, 120), f);
        o.picture(p).setBitmap(photoLikeImage(photo.width(), photo.height(), quint32(k + 1)));
    }
    return writeOutlineFile(path, doc).ok;
}

// What the event loop does after an Open: the window painted, the widgets of the previous
// outline deleted, work handed to other threads finished.
void settle()
{
    for (int k = 0; k < 3; ++k)
        QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QThreadPool::globalInstance()->waitForDone();
    QApplication::processEvents();
}

struct OpenFigures {
    double cpuMs = 0, wallMs = 0, residentMb = 0;
    bool ok = false;
};

// "Файл → Открыть" with `path` chosen in the file dialog, until the window is settled.
OpenFigures openThroughWindow(MainWindow& window, ScriptedDialogs& dialogs, const QString& path)
{
    const qsizetype asked = dialogs.questions.size() + dialogs.messages.size();
    dialogs.files.push_back(Dialogs::FileChoice{path, 1});
    OpenFigures f;
    QElapsedTimer timer;
    timer.start();
    const double cpu = processCpuMs();
    window.command(QStringLiteral("N48"))->trigger();
    settle();
    f.cpuMs = processCpuMs() - cpu;
    f.wallMs = double(timer.nsecsElapsed()) / 1e6;
    f.residentMb = velmar::test::residentMb();
    f.ok = dialogs.files.empty() && dialogs.questions.size() + dialogs.messages.size() == asked;
    if (!f.ok) {
        for (const auto& q : dialogs.questions)
            std::fprintf(stderr, "asked: %s\n", qPrintable(q.text));
        for (const auto& m : dialogs.messages)
            std::fprintf(stderr, "message: %s\n", qPrintable(m.text));
    }
    return f;
}

// Where the reading keeps what it read and decoded, so that none of the work is left out.
volatile qint64 readingSum = 0;

// Reading the file as a program that reads every byte must (through one buffer, from the page
// cache) and decoding each stored stream with libjpeg at the smallest of its reduced sizes that
// covers the picture as drawn. Process CPU, the median of `times`.
double readingAndDecoding(const QString& path, const QList<QByteArray>& streams, const QList<QSize>& drawn, int times)
{
    std::vector<double> cpu;
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (int t = 0; t < times; ++t) {
        const double start = processCpuMs();
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return 0;
        qint64 sum = 0;
        while (const qint64 n = file.read(buffer.data(), buffer.size())) {
            if (n < 0)
                return 0;
            sum += buffer.at(n - 1);
        }
        for (qsizetype k = 0; k < streams.size(); ++k) {
            const QSize full = jpegStreamSize(streams[k]);
            sum +=
                libjpeg_baseline::decode(streams[k], libjpeg_baseline::scaleFor(full.width(), full.height(),
                                                                                drawn[k].width(), drawn[k].height()));
        }
        cpu.push_back(processCpuMs() - start);
        readingSum = sum;
    }
    return median(cpu);
}

// Resident memory of a process of this program that opens `path` in a fresh window (see main's
// "memory-of"), in MB, the size its first picture is drawn at and the process CPU of that first
// Open; negative when it failed.
double residentOfOpenIn(const QString& path, QSize* drawn, double* openCpuMs = nullptr)
{
    QProcess process;
    process.start(QStringLiteral("/proc/self/exe"), {QStringLiteral("memory-of"), path});
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        std::fprintf(stderr, "%s", process.readAllStandardError().constData());
        return -1;
    }
    const QStringList words = QString::fromUtf8(process.readAllStandardOutput()).split(u' ');
    bool ok = false;
    const double mb = words.value(0).toDouble(&ok);
    *drawn = QSize(words.value(1).toInt(), words.value(2).toInt());
    if (openCpuMs)
        *openCpuMs = words.value(3).trimmed().toDouble();
    return ok ? mb : -1;
}

QString ms(double v) { return QStringLiteral("%1 ms").arg(v, 0, 'f', 0); }
QString mb(double v) { return QStringLiteral("%1 MB").arg(v, 0, 'f', 0); }

}  // namespace

int main(int argc, char** argv)
{
    runWithTheProgramsHeap(argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // As the program does at its start (see runApplication).
    returnLargeBlocksToTheSystem();
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    QTemporaryDir home;
    ScriptedDialogs dialogs;
    MainWindow window;
    startShownIn(window, home.path());
    QApplication::processEvents();
    const QSize windowSize = window.size(), client = window.canvas()->size();

    // A process of its own for one outline's memory: opened, settled, its resident memory printed.
    if (args.value(0) == QStringLiteral("memory-of")) {
        const OpenFigures f = openThroughWindow(window, dialogs, args.value(1));
        const Outline& o = window.document().outline;
        const QSize drawn = o.count(ObjectKind::Picture) > 0 ? o.picture(1).bounds.size() : QSize();
        std::printf("%.1f %d %d %.2f\n", f.residentMb, drawn.width(), drawn.height(), f.cpuMs);
        return f.ok ? 0 : 1;
    }

    const QString path = home.filePath(QStringLiteral("largest.vmd"));
    const bool larger = args.contains(QStringLiteral("larger"));
    // For a window half as large again as this screen's: Open fits it into the window.
    const QSize stored = larger ? windowSize * 3 / 2 : windowSize;
    if (!writeLargestOutline(path, stored, stored - (windowSize - client))) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    std::printf("file: %.1f MB, window %dx%d, stored window %dx%d\n", double(QFileInfo(path).size()) / 1e6,
                windowSize.width(), windowSize.height(), stored.width(), stored.height());

    if (args.value(0) == QStringLiteral("resize")) {
        if (!openThroughWindow(window, dialogs, path).ok)
            return 1;
        measureResize(window, args.size() > 1 ? std::max(2, args.value(1).toInt()) : 40);
        return 0;
    }

    // A first Open happens once per process: the figure is the median of the first Opens of
    // five processes, each opening the file in a fresh window, as a user starting the program
    // and opening it does (before this window holds the file open). The reopen is the median of
    // this window's Opens after its first.
    std::vector<double> firstOpens;
    for (int i = 0; i < 5; ++i) {
        QSize shown;
        double cpu = 0;
        if (residentOfOpenIn(path, &shown, &cpu) < 0)
            return 1;
        firstOpens.push_back(cpu);
    }
    const int opens = std::max(2, args.value(0).toInt() > 0 ? args.value(0).toInt() : 6);
    const double residentBefore = velmar::test::residentMb();
    std::vector<OpenFigures> open;
    qint64 historyBytes = 0;
    for (int i = 0; i < opens; ++i) {
        open.push_back(openThroughWindow(window, dialogs, path));
        if (!open.back().ok) {
            std::fprintf(stderr, "open %d did not open the file\n", i + 1);
            return 1;
        }
        historyBytes = historyBytesBesides(snapshotFolder(window.document()), path);
    }
    std::printf("resident memory before the first open: %.0f MB\n", residentBefore);
    for (int i = 0; i < opens; ++i)
        std::printf("open %d: %.0f ms CPU, %.0f ms; resident memory %.0f MB\n", i + 1, open[size_t(i)].cpuMs,
                    open[size_t(i)].wallMs, open[size_t(i)].residentMb);
    std::printf("first step written besides the file: %.1f MB\n", historyBytes / 1e6);

    // The baseline, from the streams the open outline holds and the sizes it draws them at.
    QList<QByteArray> streams;
    QList<QSize> drawn;
    const Outline& opened = window.document().outline;
    for (const PictureObject& p : opened.objects<PictureObject>())
        if (!p.jpegStream().isEmpty()) {
            streams.push_back(p.jpegStream());
            drawn.push_back(p.bounds.size());
        }
    if (streams.size() < opened.count(ObjectKind::Picture)) {
        // Pictures that keep no stream once open: the streams as the file stores them.
        streams.clear();
        drawn.clear();
        const LoadResult read = readOutlineFile(path, windowSize - client);
        for (int k = 1; k <= read.outline.count(ObjectKind::Picture); ++k) {
            streams.push_back(read.outline.picture(k).jpegStream());
            drawn.push_back(opened.picture(std::min(k, opened.count(ObjectKind::Picture))).bounds.size());
        }
    }
    const double baselineMs = readingAndDecoding(path, streams, drawn, 5);
    std::printf("reading the file and decoding its %lld streams at the drawn size: %.0f ms CPU (median of 5)\n",
                qint64(streams.size()), baselineMs);

    std::vector<double> reopens;
    for (std::size_t i = 1; i < open.size(); ++i)
        reopens.push_back(open[i].cpuMs);
    const double firstOpenMs = median(firstOpens), reopenMs = median(reopens);
    std::printf("first Open in 5 fresh processes: median %.0f ms CPU (%.0f to %.0f); reopens: median %.0f ms CPU "
                "(%.0f to %.0f)\n",
                firstOpenMs, *std::min_element(firstOpens.begin(), firstOpens.end()),
                *std::max_element(firstOpens.begin(), firstOpens.end()), reopenMs,
                *std::min_element(reopens.begin(), reopens.end()), *std::max_element(reopens.begin(), reopens.end()));

    // The photos' own memory, each outline in a fresh process.
    const QString photos = home.filePath(QStringLiteral("photos.vmd")),
                  tiny = home.filePath(QStringLiteral("tiny.vmd"));
    double photosMb = -1, tinyMb = -1;
    QSize drawnPhotos, drawnTiny;
    if (writeTwentyPictures(photos, windowSize, client, QSize(1600, 1200))
        && writeTwentyPictures(tiny, windowSize, client, QSize(160, 120))) {
        tinyMb = residentOfOpenIn(tiny, &drawnTiny);
        photosMb = residentOfOpenIn(photos, &drawnPhotos);
    }
    std::printf("20 pictures drawn at %dx%d and %dx%d: photos of 1600 x 1200 %.0f MB, photos of 160 x 120 %.0f MB\n",
                drawnPhotos.width(), drawnPhotos.height(), drawnTiny.width(), drawnTiny.height(), photosMb, tinyMb);

    // A frame moved, the step recorded.
    std::vector<double> stepCpu;
    Outline& o = window.document().outline;
    for (int i = 0; i < 20; ++i) {
        o.frame(50).bounds.translate(i % 2 ? -20 : 20, 0);
        const double cpu = threadCpuMs();
        window.documents().recordStep(StepKind::HeaderOnly);
        QApplication::processEvents();
        stepCpu.push_back(threadCpuMs() - cpu);
    }
    std::printf("step after a move: median %.1f ms CPU, max %.1f ms\n", median(stepCpu), maximum(stepCpu));

    measureResize(window, 20);

    // Printing beside the PDF export.
    OutlineRenderer renderer(window.document(), window.canvas()->size(), OutlineRenderer::Area::WholeCanvas);
    renderer.drawForAnyScale();
    QElapsedTimer timer;
    timer.start();
    const QByteArray pdf = outlinePdf(renderer, 1.0);
    const double pdfMs = timer.nsecsElapsed() / 1e6;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(home.filePath(QStringLiteral("printed.pdf")));
    timer.restart();
    const QString printed = printOutline(printer, renderer, false);
    const double printMs = timer.nsecsElapsed() / 1e6;
    std::printf("print: %.0f ms; PDF export %.0f ms (%zu KB); ratio %.2f%s\n", printMs, pdfMs,
                size_t(pdf.size() / 1024), printMs / pdfMs, printed.isEmpty() ? "" : " (print failed)");

    const QString baseline = QStringLiteral("reading + libjpeg at drawn size ") + ms(baselineMs);
    printTarget("open-first", "first Open of the largest outline, process CPU, median of 5 processes",
                ms(firstOpenMs).toStdString(), baseline.toStdString(), firstOpenMs / baselineMs, TargetSense::AtMost,
                1.3);
    printTarget("open-reopen", "reopen of the largest outline, process CPU, median of the reopens",
                ms(reopenMs).toStdString(), baseline.toStdString(), reopenMs / baselineMs, TargetSense::AtMost, 1.3);
    printTarget("memory-reopen", "resident memory after the first reopen of the largest outline",
                mb(open[1].residentMb).toStdString(), ("after the first open " + mb(open[0].residentMb)).toStdString(),
                open[1].residentMb / open[0].residentMb, TargetSense::AtMost, 1.1);
    if (photosMb > 0 && tinyMb > 0)
        printTarget("memory-photos", "20 photos 1600×1200 drawn at 160×120, resident memory above tiny photos",
                    mb(photosMb).toStdString(), ("with photos of 160×120 " + mb(tinyMb)).toStdString(),
                    photosMb - tinyMb, TargetSense::AtMost, 40, " MB");
    return 0;
}
