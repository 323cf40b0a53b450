// The largest outline through the main window: 100 objects of each kind (100 frames, 100 pictures
// of which 20 photos of 1600 × 1200, 100 text fields, 100 captions, 100 films without a file,
// 100 arrows), generated here into a temporary folder and never kept. Measured, side by side with
// their baselines:
//   open        Open of the file (with its first history step) beside reading the file alone
//   reopen      the process's resident memory after each of the opens, beside the first
//   step        a frame moved and the step recorded (the window brought up to date), CPU time
//   resize      the window resized by the zoom, CPU time per resize
//   print       the outline printed to a PDF file beside the PDF export of the same outline
//   bench_large_outline [OPENS]     (default 10); with VELMAR_BENCH_LARGER_WINDOW=1 the file is made
//                                   for a window larger than the screen, which Open fits
//                                   into the window
//   bench_large_outline resize [N]  only the resize, N times (default 40), on the outline built in
//                                   the window without a file
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
#include "model/zoom.h"
#include "started_window.h"
#include "storage/history.h"
#include "storage/outline_io.h"
#include "support/photo_like_image.h"
#include "support/resident_memory.h"
#include "support/scripted_dialogs.h"
#include "system/heap_settings.h"

#include <QAction>
#include <QApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QPrinter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <set>
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

void buildLargestOutline(Outline& o, QSize client)
{
    QRandomGenerator random(11);
    for (int k = 0; k < 100; ++k) {
        const int f =
            o.createFrame(QRect(10 + (k % 10) * 74, 40 + (k / 10) * 50, 70, 48), QStringLiteral("Фрейм %1").arg(k + 1));
        o.frame(f).minimalText = QStringLiteral("Минимальный текст фрейма %1").arg(k + 1);
        const int p = o.createPicture(QRect(2, 14, 20, 15), f);
        // Every photo its own picture (its own stream in the file), as photos taken one by one are.
        o.picture(p).setBitmap(k % 5 == 0 ? photoLikeImage(1600, 1200, quint32(k + 1))
                                          : photoLikeImage(160, 120, quint32(k + 1)));
        o.createTextField(QRect(24, 14, 44, 16), kButtonFace, QStringLiteral("Текст %1\r\nстрока").arg(k + 1), f);
        o.createCaption(QRect(2, 32, 30, 14), QStringLiteral("Надпись %1").arg(k + 1), f);
        o.createVideo(QRect(36, 32, 30, 14), f);
    }
    for (int k = 0; k < 100; ++k) {
        const int x1 = random.bounded(client.width()), y1 = 40 + random.bounded(client.height() - 80);
        const int x2 = std::clamp(x1 + random.bounded(-300, 300), 0, client.width() - 1);
        const int y2 = std::clamp(y1 + random.bounded(-200, 200), 40, client.height() - 1);
        o.createArrow(x1, y1, x2, y2, 1 + k % 4, quint32(k * 0x020401));
    }
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

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // As the program does at its start (see runApplication); VELMAR_BENCH_DEFAULT_HEAP=1 leaves
    // the C library's default, for comparison.
    if (!qEnvironmentVariableIsSet("VELMAR_BENCH_DEFAULT_HEAP"))
        returnLargeBlocksToTheSystem();
    QApplication app(argc, argv);
    const int opens = argc > 1 ? std::max(2, atoi(argv[1])) : 10;
    QTemporaryDir home;
    ScriptedDialogs dialogs;
    MainWindow window;
    startShownIn(window, home.path());
    QApplication::processEvents();

    if (argc > 1 && qstrcmp(argv[1], "resize") == 0) {
        dialogs.inputs.push_back(QStringLiteral("Наибольший"));
        window.command(QStringLiteral("N47"))->trigger();
        Outline& o = window.document().outline;
        o.clearAll();
        buildLargestOutline(o, window.canvas()->size());
        // The zoom scales from the layout as built, as from an opened file's.
        recordReferenceLayout(o, window.canvas()->size());
        window.outlineView()->sync();
        QApplication::processEvents();
        measureResize(window, argc > 2 ? std::max(2, atoi(argv[2])) : 40);
        return 0;
    }

    // The outline is made in the window and saved by it, so that opening it changes nothing.
    const QString path = home.filePath(QStringLiteral("largest.vmd"));
    {
        dialogs.inputs.push_back(QStringLiteral("Наибольший"));
        window.command(QStringLiteral("N47"))->trigger();
        Outline& o = window.document().outline;
        o.clearAll();
        buildLargestOutline(o, window.canvas()->size());
        window.outlineView()->sync();
        window.documents().recordStep(StepKind::Full);
        dialogs.files.push_back(Dialogs::FileChoice{path, 1});
        window.command(QStringLiteral("N50"))->trigger();
        QApplication::processEvents();
        // Opened, changed and saved once, as files in use are: text fields fitted to their texts.
        dialogs.files.push_back(Dialogs::FileChoice{path, 1});
        window.command(QStringLiteral("N48"))->trigger();
        window.documents().recordStep(StepKind::HeaderOnly);
        window.command(QStringLiteral("N49"))->trigger();
        QApplication::processEvents();
    }
    if (qEnvironmentVariableIntValue("VELMAR_BENCH_LARGER_WINDOW")) {
        // Made for a window half as large again as this screen's: Open fits it into the window.
        const QSize chrome = window.size() - window.canvas()->size();  // no frame off screen
        LoadResult made = readOutlineFile(path, chrome);
        Document larger;
        larger.outline = std::move(made.outline);
        larger.state.outlineName = made.outlineName;
        larger.state.canvasColour = made.canvasColour;
        larger.state.windowSize = made.windowSize * 3 / 2;
        writeOutlineFile(path, larger);
        std::printf("stored window %dx%d\n", larger.state.windowSize.width(), larger.state.windowSize.height());
    }
    std::printf("file: %.1f MB\n", QFileInfo(path).size() / 1e6);

    // Baseline of Open: reading the file once (pictures decoded).
    QElapsedTimer timer;
    timer.start();
    {
        const LoadResult read = readOutlineFile(path, QSize());
        if (!read.ok) {
            std::fprintf(stderr, "%s\n", qPrintable(read.message));
            return 1;
        }
    }
    const double readMs = timer.nsecsElapsed() / 1e6;

    std::vector<double> openMs, rss;
    qint64 historyBytes = 0;
    for (int i = 0; i < opens; ++i) {
        dialogs.files.push_back(Dialogs::FileChoice{path, 1});
        timer.restart();
        window.command(QStringLiteral("N48"))->trigger();
        openMs.push_back(timer.nsecsElapsed() / 1e6);
        // What the event loop does after an Open (widgets of the previous outline deleted).
        for (int k = 0; k < 3; ++k)
            QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        rss.push_back(velmar::test::residentMb());
        historyBytes = historyBytesBesides(snapshotFolder(window.document()), path);
    }
    if (!dialogs.messages.isEmpty())
        std::fprintf(stderr, "message: %s\n", qPrintable(dialogs.messages.first().text));
    std::printf("open: median %.0f ms, max %.0f ms; reading the file alone %.0f ms; ratio %.2f\n", median(openMs),
                maximum(openMs), readMs, median(openMs) / readMs);
    std::printf("first step written besides the file: %.1f MB\n", historyBytes / 1e6);
    std::printf("resident memory after open 1: %.0f MB, after open %d: %.0f MB (%+.1f %%)\n", rss.front(), opens,
                rss.back(), 100.0 * (rss.back() - rss.front()) / rss.front());

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
    timer.restart();
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
    return 0;
}
