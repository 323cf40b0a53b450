// An outline with 100 films open at once: 10 frames of 10 video fragments, each on a small film of
// its own made here by ffmpeg (never kept), opened through the main window. Measured:
//   pictures   the panels that show a picture, and how long until all of them do (wall time and
//              the process's CPU time)
//   threads    the process's threads (/proc/self/task): the most while opening, and after
//   messages   message boxes shown while the films opened
// then one film played and stopped: the threads while it plays and once it stopped.
//   bench_films [ENCODER] [SECONDS]
// ENCODER is ffmpeg's video encoder (default mjpeg; mpeg4 makes films that only the media
// framework reads); SECONDS is how long to wait for the pictures (default 60).
#include "app/main_window.h"
#include "canvas/film_panel_widget.h"
#include "canvas/outline_view.h"
#include "program_heap.h"
#include "started_window.h"
#include "support/scripted_dialogs.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

#include <sys/resource.h>

using namespace velmar;

namespace {

int threadCount()
{
    return int(QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}

double processCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
           + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

QString loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("?");
    return QString::fromLatin1(file.readAll()).section(QLatin1Char(' '), 0, 2);
}

// Runs the event loop for about ms milliseconds.
void spin(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// A two-second film of one colour with a moving test pattern, 160 × 120 at 10 frames a second.
bool makeFilm(const QString& ffmpeg, const QString& encoder, const QString& colour, const QString& path)
{
    const QStringList args{QStringLiteral("-loglevel"),
                           QStringLiteral("error"),
                           QStringLiteral("-y"),
                           QStringLiteral("-f"),
                           QStringLiteral("lavfi"),
                           QStringLiteral("-i"),
                           QStringLiteral("color=c=%1:s=160x120:r=10:d=2,format=yuv420p").arg(colour),
                           QStringLiteral("-c:v"),
                           encoder,
                           path};
    return QProcess::execute(ffmpeg, args) == 0;
}

struct Panels {
    int withPicture = 0;
    int opening = 0;
    int failed = 0;
};

Panels countPanels(MainWindow& window)
{
    Panels counts;
    const Outline& o = window.document().outline;
    for (int k = 1; k <= o.count(ObjectKind::Video); ++k) {
        const auto* panel = qobject_cast<const FilmPanelWidget*>(window.outlineView()->widget(o.video(k).id));
        if (!panel)
            continue;
        counts.withPicture += !panel->picture().isNull();
        counts.opening += panel->openState() == FilmPanelWidget::OpenState::Opening;
        counts.failed += panel->openState() == FilmPanelWidget::OpenState::Failed;
    }
    return counts;
}

}  // namespace

int main(int argc, char** argv)
{
    runWithTheProgramsHeap(argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString encoder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("mjpeg");
    const int waitSeconds = argc > 2 ? std::max(1, atoi(argv[2])) : 60;
    const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    if (ffmpeg.isEmpty()) {
        std::fprintf(stderr, "ffmpeg is not installed: the films cannot be made\n");
        return 1;
    }
    std::printf("load average at start: %s\n", qPrintable(loadAverage()));

    QTemporaryDir home;
    // Four films, each copied to 25 names: every fragment has a file of its own.
    const QStringList colours{QStringLiteral("red"), QStringLiteral("green"), QStringLiteral("blue"),
                              QStringLiteral("yellow")};
    QStringList films;
    for (int k = 0; k < 100; ++k) {
        const QString path = home.filePath(QStringLiteral("film%1.avi").arg(k));
        const QString first = home.filePath(QStringLiteral("film%1.avi").arg(k % 4));
        if (k < 4 ? !makeFilm(ffmpeg, encoder, colours[k], path) : !QFile::copy(first, path)) {
            std::fprintf(stderr, "could not make %s\n", qPrintable(path));
            return 1;
        }
        films << path;
    }

    ScriptedDialogs dialogs;
    MainWindow window;
    startShownIn(window, home.path());
    QApplication::processEvents();
    const int threadsAtStart = threadCount();

    // The outline is made and saved without films being shown, then opened as a user would.
    const QString path = home.filePath(QStringLiteral("films.vmd"));
    {
        dialogs.inputs.push_back(QStringLiteral("Сто фильмов"));
        window.command(QStringLiteral("N47"))->trigger();
        Outline& o = window.document().outline;
        o.clearAll();
        for (int f = 0; f < 10; ++f) {
            const int frame = o.createFrame(QRect(4 + (f % 5) * 148, 36 + (f / 5) * 250, 144, 246),
                                            QStringLiteral("Фрейм %1").arg(f + 1));
            for (int v = 0; v < 10; ++v) {
                const int slot = o.createVideo(QRect(4 + (v % 2) * 68, 20 + (v / 2) * 44, 64, 42), frame);
                o.video(slot).fileName = films[f * 10 + v];
            }
        }
        dialogs.files.push_back(Dialogs::FileChoice{path, 1});
        window.command(QStringLiteral("N50"))->trigger();
        // Back to an empty outline: its players are gone before the measured open.
        dialogs.inputs.push_back(QStringLiteral("Пусто"));
        window.command(QStringLiteral("N47"))->trigger();
        spin(3000);
    }
    const int threadsBefore = threadCount();

    dialogs.messages.clear();
    QElapsedTimer timer;
    const double cpuBefore = processCpuMs();
    timer.start();
    dialogs.files.push_back(Dialogs::FileChoice{path, 1});
    window.command(QStringLiteral("N48"))->trigger();
    const double openMs = timer.nsecsElapsed() / 1e6;
    int mostThreads = threadCount();
    double allShownMs = -1, allShownCpu = -1;
    Panels panels;
    // Waits until every panel shows a picture, or until nothing has changed for five seconds
    // with no film still opening.
    QElapsedTimer unchanged;
    unchanged.start();
    while (timer.elapsed() < waitSeconds * 1000) {
        spin(20);
        mostThreads = std::max(mostThreads, threadCount());
        const Panels now = countPanels(window);
        if (now.withPicture != panels.withPicture || now.opening != panels.opening)
            unchanged.restart();
        panels = now;
        if (panels.withPicture == 100) {
            allShownMs = timer.nsecsElapsed() / 1e6;
            allShownCpu = processCpuMs() - cpuBefore;
            break;
        }
        if (panels.opening == 0 && unchanged.elapsed() > 5000)
            break;
    }
    spin(1000);
    mostThreads = std::max(mostThreads, threadCount());
    panels = countPanels(window);
    const int threadsSettled = threadCount();

    std::printf("films: 100 (%s, 160 x 120, 2 s)\n", qPrintable(encoder));
    std::printf("threads: %d at start, %d before the open, %d at the most while opening, %d a second after\n",
                threadsAtStart, threadsBefore, mostThreads, threadsSettled);
    std::printf("open command: %.0f ms\n", openMs);
    if (allShownMs >= 0)
        std::printf("all 100 first pictures shown after %.0f ms (%.0f ms CPU of the process)\n", allShownMs,
                    allShownCpu);
    else
        std::printf("after %.0f s: %d of 100 panels show a picture\n", timer.elapsed() / 1e3, panels.withPicture);
    std::printf("panels: %d with a picture, %d opening, %d failed\n", panels.withPicture, panels.opening,
                panels.failed);
    std::printf("messages: %d\n", int(dialogs.messages.size()));
    for (const auto& m : std::as_const(dialogs.messages))
        std::printf("  %s: %s\n", qPrintable(m.caption), qPrintable(m.text.left(300)));

    // One film played, then stopped.
    const Outline& o = window.document().outline;
    if (auto* panel = qobject_cast<FilmPanelWidget*>(window.outlineView()->widget(o.video(1).id));
        panel && panel->isOpen()) {
        const int frames = panel->framesReceived();
        panel->play();
        QElapsedTimer playing;
        playing.start();
        while (panel->framesReceived() < frames + 5 && playing.elapsed() < 15000)
            spin(20);
        std::printf("one film playing: %d pictures after %.0f ms, %d threads\n", panel->framesReceived() - frames,
                    playing.nsecsElapsed() / 1e6, threadCount());
        panel->stop();
        spin(1000);
        std::printf("stopped: %d threads a second later\n", threadCount());
    }
    std::printf("load average at the end: %s\n", qPrintable(loadAverage()));
    return 0;
}
