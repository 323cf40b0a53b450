// Writes the largest outline (bench/largest_outline.h) into a file, for benchmarks that open it in
// the real program: largest_outline_file OUT.vmd [WIDTH HEIGHT] (the window's outer size the file
// stores; 900 × 700 unless given).
#include "largest_outline.h"
#include "model/document.h"
#include "storage/outline_io.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

using namespace velmar;

int main(int argc, char** argv)
{
    // Fonts and pictures need a GUI application, not a screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2 && argc != 4) {
        std::fprintf(stderr, "usage: largest_outline_file OUT.vmd [WIDTH HEIGHT]\n");
        return 2;
    }
    Document doc;
    doc.state.outlineName = QStringLiteral("Наибольший");
    doc.state.windowSize = argc == 4 ? QSize(std::atoi(argv[2]), std::atoi(argv[3])) : QSize(900, 700);
    // The arrows spread over the canvas below the menu bar of that window.
    buildLargestOutline(doc.outline, doc.state.windowSize - QSize(0, 60));
    const WriteResult written = writeOutlineFile(QString::fromLocal8Bit(argv[1]), doc);
    if (!written.ok) {
        std::fprintf(stderr, "largest_outline_file: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
