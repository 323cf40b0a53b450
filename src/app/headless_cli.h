#pragma once

#include "model/print_form.h"
#include "storage/load_result.h"

#include <QByteArray>
#include <QImage>
#include <QJsonObject>
#include <QSize>
#include <QString>

namespace velmar {

// Commands that work on outline files without opening a window or needing a display:
//   velmar --info FILE          the outline as JSON on standard output
//   velmar --convert IN OUT     IN (.vmd or .vmc) written as an outline file (.vmd) OUT
//   velmar --export OUT FILE [--scale F]   the outline of FILE drawn at F times its stored window
//                               size, written as OUT (.png, .jpg, .bmp, .pdf, .svg, a web page .html or a
//                               slide deck .pptx/.odp, by its extension)
//                               with --handout N, --exercise or --poster CxR: handouts, an exercise
//                               sheet or a poster as a PDF OUT on A4 sheets
//   velmar --export-steps FOLDER FILE [--scale F]   one PNG per step of the show into FOLDER
//   velmar --summary FILE [--summary-format text|markdown|html]   the outline's summary on stdout
//   velmar --thumbnail SIZE IN OUT.png   the outline of IN drawn fitted into SIZE × SIZE (PNG)
struct HeadlessCommand {
    enum Kind { None, Info, Convert, Export, Thumbnail, Summary, ExportSteps };
    enum SummaryFormat { Text, Markdown, Html };
    Kind kind = None;
    QString input;
    QString output;
    int size = 0;        // the thumbnail's largest side
    double scale = 1.0;  // the export's scale
    SummaryFormat format = Text;
    PrintForm form = {};  // the export's form: the outline itself, or handouts, an exercise sheet, a poster
};

// The least and greatest scale of --export, and the largest picture it draws (in pixels).
inline constexpr double kMinExportScale = 0.1;
inline constexpr double kMaxExportScale = 8.0;
inline constexpr qint64 kMaxExportPixels = 100'000'000;

// Reads an outline in either format: old-format files by their .vmc extension, all others as
// current-format files. `pictureScale` as readAnyOutlineFile takes it (0: streams kept undecoded).
LoadResult loadOutlineForCommand(const QString& path, QSize windowChrome = defaultWindowChrome(),
                                 double pictureScale = 1.0);

// The loaded outline as JSON: document values, then every kind in slot order with its bounds as
// the outline holds them, colours as the 32-bit values of the file, texts with CR LF line breaks
// and sequence positions (1-based, 0 = not in the sequence).
QJsonObject outlineToJson(const LoadResult& loaded);

// The two commands. Each returns the process exit status: 0 done, 1 the file could not be read
// or written. *out receives the JSON; *errors the messages for standard error (a warning about
// unreadable pictures does not make a command fail).
int runInfoCommand(const QString& path, QByteArray* out, QString* errors);
int runConvertCommand(const QString& input, const QString& output, QString* errors);
// Needs a QApplication (widgets draw the outline off screen; no display is used). Status 1 also for
// a scale outside 0.1–8, an unknown extension or a picture larger than kMaxExportPixels.
// A form other than the outline itself is written as a PDF (status 1 for another extension).
int runExportCommand(const QString& input, const QString& output, QString* errors, double scale = 1.0,
                     const PrintForm& form = {});
// One PNG per step of the show into the folder (made when missing), named after the input file.
int runExportStepsCommand(const QString& input, const QString& folder, QString* errors, double scale = 1.0);
// The summary in the given format, UTF-8, into *out.
int runSummaryCommand(const QString& input, HeadlessCommand::SummaryFormat format, QByteArray* out, QString* errors);

// The thumbnail for file managers: the outline drawn as --export draws it, scaled with its aspect
// kept to fit size × size, its photos decoded at reduced size. Written atomically; a file that
// cannot be read, or whose pictures are damaged, gives status 1 and writes nothing.
int runThumbnailCommand(int size, const QString& input, const QString& output, QString* errors);
QImage renderThumbnail(const LoadResult& loaded, int size);

// Runs a headless command under a QCoreApplication, printing to stdout and stderr.
int runHeadlessCommand(const HeadlessCommand& command, int argc, char** argv);

}  // namespace velmar
