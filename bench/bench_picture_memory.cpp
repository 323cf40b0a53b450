// What photos cost once an outline is open, and what opening it again costs. Each figure is taken
// in a process of its own that opens an outline file through the main window's Open, as the user
// does (the first Open of a fresh process, then a second one):
//   photos   resident memory of an outline of 20 photos of 1600 × 1200 drawn at 160 × 120, above
//            the same outline with photos of 16 × 12
//   reopen   resident memory after the second Open of the largest outline (100 objects of each
//            kind, 20 of the pictures photos), beside the first
//   open     process CPU time of the first Open of the largest outline, beside reading the same
//            file with the loader alone (which decodes each stream once, at the size it is drawn)
// The table shows the same figures for the photo outlines too.
//   bench_picture_memory            runs the children and prints the table and the targets
//   bench_picture_memory open FILE  (a child) opens FILE twice and prints its figures
//   bench_picture_memory write DIR  writes the two outlines into DIR (to profile a child alone)
#include "app/main_window.h"
#include "largest_outline.h"
#include "model/document.h"
#include "program_heap.h"
#include "started_window.h"
#include "storage/jpeg_codec.h"
#include "storage/outline_io.h"
#include "support/photo_like_image.h"
#include "support/resident_memory.h"
#include "support/scripted_dialogs.h"
#include "system/heap_settings.h"
#include "target_line.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <iterator>
#include <string>

using namespace velmar;

namespace {

double processCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// 20 frames, each with a picture of side × side·3/4 pixels drawn at 160 × 120.
void writePhotoOutline(const QString& path, int side)
{
    Document doc;
    doc.state.outlineName = QStringLiteral("Фото");
    doc.state.windowSize = QSize(1100, 900);
    Outline& o = doc.outline;
    for (int k = 0; k < 20; ++k) {
        const int f = o.createFrame(QRect(10 + (k % 5) * 200, 40 + (k / 5) * 170, 190, 160),
                                    QStringLiteral("Фото %1").arg(k + 1));
        const int p = o.createPicture(QRect(10, 20, 160, 120), f);
        const QImage photo = photoLikeImage(side, side * 3 / 4, quint32(k + 1));
        o.picture(p).setBitmap(photo);
        o.picture(p).setJpegStream(encodeJpeg(photo, 90));
    }
    writeOutlineFile(path, doc);
}

// The largest outline the other benchmarks measure too (largest_outline.h).
void writeLargestOutline(const QString& path)
{
    Document doc;
    doc.state.outlineName = QStringLiteral("Наибольший");
    doc.state.windowSize = QSize(1024, 768);
    // Arrows within the window the benchmark opens the outline in.
    buildLargestOutline(doc.outline, QSize(1000, 700));
    writeOutlineFile(path, doc);
}

int openTwice(int argc, char** argv)
{
    const QString path = QString::fromLocal8Bit(argv[2]);
    QApplication app(argc, argv);
    QTemporaryDir home;
    ScriptedDialogs dialogs;
    MainWindow window;
    startShownIn(window, home.path());
    QApplication::processEvents();
    const double before = test::residentMb();
    double rss[2] = {}, cpu[2] = {};
    for (int i = 0; i < 2; ++i) {
        dialogs.files.push_back(Dialogs::FileChoice{path, 1});
        const double start = processCpuMs();
        window.command(QStringLiteral("N48"))->trigger();
        // What the event loop does after an Open: painted, the widgets of the outline before deleted.
        for (int k = 0; k < 3; ++k)
            QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        cpu[i] = processCpuMs() - start;
        rss[i] = test::residentMb();
    }
    if (!dialogs.messages.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(dialogs.messages.first().text));
        return 1;
    }
    // The loader alone, on the same file: the median of three reads, as one read's process CPU
    // varies by a fifth from one to the next.
    double reads[3] = {};
    bool readOk = true;
    for (double& readCpu : reads) {
        const double start = processCpuMs();
        const LoadResult read = readOutlineFile(path, QSize());
        readCpu = processCpuMs() - start;
        readOk = readOk && read.ok;
    }
    std::sort(std::begin(reads), std::end(reads));
    std::printf("%.1f %.1f %.1f %.1f %.1f %.1f %d\n", before, rss[0], rss[1], cpu[0], cpu[1], reads[1], int(readOk));
    return 0;
}

struct Figures {
    double before = 0, rss1 = 0, rss2 = 0, cpu1 = 0, cpu2 = 0, readCpu = 0;
};

bool runChild(const QString& file, Figures* f)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("open"), file});
    if (!child.waitForFinished(300000) || child.exitCode() != 0) {
        std::fprintf(stderr, "child failed: %s\n", child.readAllStandardError().constData());
        return false;
    }
    int ok = 0;
    const QByteArray out = child.readAllStandardOutput();
    return std::sscanf(out.constData(), "%lf %lf %lf %lf %lf %lf %d", &f->before, &f->rss1, &f->rss2, &f->cpu1,
                       &f->cpu2, &f->readCpu, &ok)
               == 7
           && ok;
}

double median3(double a, double b, double c) { return std::max(std::min(a, b), std::min(std::max(a, b), c)); }

std::string mb(double v) { return QString::asprintf("%.0f MB", v).toStdString(); }
std::string ms(double v) { return QString::asprintf("%.0f ms", v).toStdString(); }

}  // namespace

int main(int argc, char** argv)
{
    runWithTheProgramsHeap(argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // As the program does at its start (see runApplication).
    returnLargeBlocksToTheSystem();
    if (argc > 2 && qstrcmp(argv[1], "open") == 0)
        return openTwice(argc, argv);

    QCoreApplication app(argc, argv);
    if (argc > 2 && qstrcmp(argv[1], "write") == 0) {
        const QDir folder(QString::fromLocal8Bit(argv[2]));
        writePhotoOutline(folder.filePath(QStringLiteral("photos.vmd")), 1600);
        writePhotoOutline(folder.filePath(QStringLiteral("tiny.vmd")), 16);
        writeLargestOutline(folder.filePath(QStringLiteral("largest.vmd")));
        return 0;
    }
    QTemporaryDir dir;
    const QString photos = dir.filePath(QStringLiteral("photos.vmd"));
    const QString tiny = dir.filePath(QStringLiteral("tiny.vmd"));
    writePhotoOutline(photos, 1600);
    writePhotoOutline(tiny, 16);
    const QString largest = dir.filePath(QStringLiteral("largest.vmd"));
    writeLargestOutline(largest);

    // Three runs of each, alternating; the medians are printed.
    Figures p[3], t[3], l[3];
    for (int i = 0; i < 3; ++i)
        if (!runChild(photos, &p[i]) || !runChild(tiny, &t[i]) || !runChild(largest, &l[i]))
            return 1;
    const auto med = [](const Figures* f, double Figures::*field) {
        return median3(f[0].*field, f[1].*field, f[2].*field);
    };
    const double photoRss = med(p, &Figures::rss1), tinyRss = med(t, &Figures::rss1);
    const double above = median3(p[0].rss1 - t[0].rss1, p[1].rss1 - t[1].rss1, p[2].rss1 - t[2].rss1);
    std::printf("%-44s %10s %10s %10s\n", "median of 3 processes", "photos", "tiny", "largest");
    const auto row = [&](const char* what, double Figures::*field) {
        std::printf("%-44s %10.0f %10.0f %10.0f\n", what, med(p, field), med(t, field), med(l, field));
    };
    row("resident memory before Open, MB", &Figures::before);
    row("resident memory after Open 1, MB", &Figures::rss1);
    row("resident memory after Open 2, MB", &Figures::rss2);
    row("process CPU of Open 1, ms", &Figures::cpu1);
    row("process CPU of Open 2, ms", &Figures::cpu2);
    row("process CPU of the loader alone, ms", &Figures::readCpu);
    const double largestReopen = median3(l[0].rss2 / l[0].rss1, l[1].rss2 / l[1].rss1, l[2].rss2 / l[2].rss1);
    const double largestOpen = median3(l[0].cpu1 / l[0].readCpu, l[1].cpu1 / l[1].readCpu, l[2].cpu1 / l[2].readCpu);
    printTarget("picture-memory", "RSS of 20 photos 1600×1200 drawn at 160×120 above tiny photos", mb(photoRss),
                mb(tinyRss), above, TargetSense::AtMost, 40.0, " MB");
    printTarget("picture-largest-reopen", "RSS after the second Open of the largest outline / after the first",
                mb(med(l, &Figures::rss2)), mb(med(l, &Figures::rss1)), largestReopen, TargetSense::AtMost, 1.1);
    printTarget("picture-largest-open", "process CPU of the first Open of the largest outline / the loader alone",
                ms(med(l, &Figures::cpu1)), ms(med(l, &Figures::readCpu)), largestOpen, TargetSense::AtMost, 1.3);
    return 0;
}
