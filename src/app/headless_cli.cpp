#include "app/headless_cli.h"

#include "app/qt_translations.h"
#include "app/thumbnail_deadline.h"
#include "canvas/canvas_widget.h"
#include "export/outline_export.h"
#include "export/outline_renderer.h"
#include "export/outline_web_page.h"
#include "export/printed_forms.h"
#include "export/slide_deck.h"
#include "export/step_pictures.h"
#include "model/document.h"
#include "model/summary_formats.h"
#include "model/visible_text.h"
#include "storage/film_still.h"
#include "storage/object_fields.h"
#include "storage/old_outline_file.h"
#include "storage/outline_file.h"
#include "storage/outline_io.h"
#include "system/file_io.h"

#include <QApplication>
#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>

namespace velmar {

namespace {

// One object as the --info listing shows it: every described field that has a listed name.
template <typename Object>
QJsonObject objectToJson(const KindFields<Object>& kind, const Object& object, const Sequence* sequence)
{
    QJsonObject json;
    for (const Field<Object>& f : kind.fields) {
        if (!f.key)
            continue;
        const QString key = QString::fromLatin1(f.key);
        switch (f.type) {
        case FieldType::Name:
        case FieldType::Text: json.insert(key, f.text(object)); break;
        case FieldType::Flag: json.insert(key, f.get(object) != 0); break;
        case FieldType::Position: json.insert(key, sequence ? sequence->positionOf(object.id) : 0); break;
        case FieldType::TailLength: break;
        default: json.insert(key, QJsonValue(f.get(object))); break;  // colours as their 32-bit values
        }
    }
    return json;
}

}  // namespace

LoadResult loadOutlineForCommand(const QString& path, QSize windowChrome, double pictureScale)
{
    LoadResult loaded = readAnyOutlineFile(path, pictureScale);
    applyWindowChrome(loaded, windowChrome);
    return loaded;
}

QJsonObject outlineToJson(const LoadResult& loaded)
{
    const Outline& o = loaded.outline;
    QJsonObject root;
    root.insert(QStringLiteral("name"), loaded.outlineName);
    root.insert(QStringLiteral("canvasColour"), QJsonValue(qint64(loaded.canvasColour)));
    root.insert(QStringLiteral("windowWidth"), loaded.windowSize.width());
    root.insert(QStringLiteral("windowHeight"), loaded.windowSize.height());
    forEachStoredKind([&](const auto& kind) {
        using Object = typename std::decay_t<decltype(kind.fields)>::value_type::ObjectType;
        QJsonArray objects;
        for (const Object& object : o.objects<Object>())
            objects.append(objectToJson(kind, object, sequenceFor(kind, o)));
        root.insert(QString::fromLatin1(kind.key), objects);
    });
    return root;
}

namespace {

// Messages of the loaders, then notices of old formats, one per line.
void collectNotes(const LoadResult& loaded, QString* errors)
{
    QStringList lines;
    if (!loaded.message.isEmpty())
        lines << loaded.message;
    lines << loaded.notices;
    for (const QString& line : std::as_const(lines))
        *errors += line + QLatin1Char('\n');
}

}  // namespace

// A document holding a loaded outline, as the window would after opening it.
static Document documentFrom(LoadResult&& loaded)
{
    Document doc;
    doc.outline = std::move(loaded.outline);
    doc.state.outlineName = loaded.outlineName;
    doc.state.canvasColour = loaded.canvasColour;
    doc.state.windowSize = loaded.windowSize;
    return doc;
}

namespace {

// The canvas an outline is drawn on for export: its stored window less the window's chrome.
QSize exportClientSize(QSize storedWindow)
{
    const QSize window = storedWindow.isValid() ? storedWindow : kDefaultWindowSize;
    return (window - defaultWindowChrome()).expandedTo(QSize(1, 32));
}

// The window size an outline file stores, read from its record or its first lines alone (no
// picture decoded); invalid for unreadable files.
QSize storedWindowSize(const QString& path)
{
    const std::optional<QByteArray> start =
        readRegularFileStart(path, isOldFormatName(path) ? 64 * 1024 : layout::kHeaderSize, nullptr);
    if (!start)
        return {};
    if (isOldFormatName(path))
        return oldOutlineWindowSize(*start);
    const HeaderReadResult read = readOutlineHeader(*start);
    return read.ok() ? QSize(read.header.windowWidth, read.header.windowHeight) : QSize();
}

}  // namespace

namespace {

// The one way the file commands read their outline: the loader's messages and notices go to
// *errors; a refused file gives nullopt. A pictureScale of 0 keeps the pictures' streams
// undecoded, for exports that embed them as they are.
std::optional<LoadResult> loadForCommand(const QString& path, QString* errors, double pictureScale = 1.0)
{
    LoadResult loaded = loadOutlineForCommand(path, defaultWindowChrome(), pictureScale);
    collectNotes(loaded, errors);
    if (!loaded.ok)
        return std::nullopt;
    useFilmBudget(loaded.budget);
    return loaded;
}

// The films drawn as empty panels, one line each.
void collectFilmProblems(QString* errors)
{
    for (const QString& problem : takeFilmProblems())
        *errors += QCoreApplication::translate("FileCommands", "Фильм %1; нарисована пустая панель.\n").arg(problem);
}

}  // namespace

int runInfoCommand(const QString& path, QByteArray* out, QString* errors)
{
    const std::optional<LoadResult> loaded = loadForCommand(path, errors);
    if (!loaded)
        return 1;
    *out = QJsonDocument(outlineToJson(*loaded)).toJson(QJsonDocument::Indented);
    return 0;
}

int runConvertCommand(const QString& input, const QString& output, QString* errors)
{
    std::optional<LoadResult> loaded = loadForCommand(input, errors);
    if (!loaded)
        return 1;
    const Document doc = documentFrom(std::move(*loaded));
    const WriteResult written = writeOutlineFile(output, doc);
    if (!written.ok) {
        *errors += written.message + QLatin1Char('\n');
        return 1;
    }
    return 0;
}

int runExportCommand(const QString& input, const QString& output, QString* errors, double scale, const PrintForm& form)
{
    const ExportFormat format = exportFormatOf(output);
    const bool printed = form.kind != PrintForm::Kind::Outline;
    if (printed && format != ExportFormat::Pdf) {
        *errors += QCoreApplication::translate(
                       "FileCommands", "«%1»: раздаточный материал, лист для упражнения и плакат пишутся в PDF: "
                                       "укажите расширение .pdf.\n")
                       .arg(output);
        return 1;
    }
    const bool webPage = isWebPageName(output);
    const bool slides = isSlideDeckName(output);
    if (format == ExportFormat::Unknown && !webPage && !slides) {
        *errors += QCoreApplication::translate(
                       "FileCommands",
                       "Рисунок «%1»: укажите расширение .png, .jpg, .bmp, .pdf, .svg, .html, .pptx или .odp.\n")
                       .arg(output);
        return 1;
    }
    if (!(scale >= kMinExportScale && scale <= kMaxExportScale)) {
        *errors += QCoreApplication::translate("FileCommands", "Масштаб %1 не подходит: укажите число от 0.1 до 8.\n")
                       .arg(scale);
        return 1;
    }
    // The web page, the slide decks and the PDF documents embed the photos' JPEG streams as they
    // are stored: those are read without decoding a single one. The web page never draws the
    // photos either (the browser does), so what decoding them would cost is not counted.
    const bool streamsEmbedded = webPage || slides || format == ExportFormat::Pdf;
    std::optional<LoadResult> loaded = loadForCommand(input, errors,
                                                      webPage           ? kStreamsOnly
                                                      : streamsEmbedded ? 0.0
                                                                        : 1.0);
    if (!loaded)
        return 1;
    // A picture that could not be read would be drawn blank: no export rather than a wrong one.
    if (!loaded->message.isEmpty()) {
        *errors += QCoreApplication::translate("FileCommands",
                                               "Рисунок «%1» не записан: в конспекте есть повреждённые рисунки.\n")
                       .arg(output);
        return 1;
    }
    const Document doc = documentFrom(std::move(*loaded));
    const QSize client = exportClientSize(doc.state.windowSize);
    // A raster picture is refused before anything is drawn when it would be too large to hold.
    const QSize area = client - QSize(0, kToolBarHeight);
    const double pixels = double(area.width()) * scale * double(area.height()) * scale;
    if (!isVectorFormat(format) && !webPage && !slides && pixels > double(kMaxExportPixels)) {
        *errors +=
            QCoreApplication::translate(
                "FileCommands", "Рисунок %1 × %2 точек слишком велик (больше 100 мегапикселей): уменьшите масштаб.\n")
                .arg(std::lround(area.width() * scale))
                .arg(std::lround(area.height() * scale));
        return 1;
    }
    const QString error = printed   ? exportFormPdf(doc, client, form, output)
                          : webPage ? exportWebPage(doc, client, output)
                          : slides  ? exportSlideDeck(doc, client, output)
                                    : exportOutline(doc, client, scale, output);
    collectFilmProblems(errors);
    if (!error.isEmpty()) {
        *errors += error + QLatin1Char('\n');
        return 1;
    }
    return 0;
}

int runExportStepsCommand(const QString& input, const QString& folder, QString* errors, double scale)
{
    if (!(scale >= kMinExportScale && scale <= kMaxExportScale)) {
        *errors += QCoreApplication::translate("FileCommands", "Масштаб %1 не подходит: укажите число от 0.1 до 8.\n")
                       .arg(scale);
        return 1;
    }
    std::optional<LoadResult> loaded = loadForCommand(input, errors);
    if (!loaded)
        return 1;
    if (!loaded->message.isEmpty()) {
        *errors += QCoreApplication::translate("FileCommands",
                                               "Рисунки шагов не записаны: в конспекте есть повреждённые рисунки.\n");
        return 1;
    }
    const Document doc = documentFrom(std::move(*loaded));
    const QSize client = exportClientSize(doc.state.windowSize);
    const QSize area = client - QSize(0, kToolBarHeight);
    if (double(area.width()) * scale * double(area.height()) * scale > double(kMaxExportPixels)) {
        *errors +=
            QCoreApplication::translate(
                "FileCommands", "Рисунок %1 × %2 точек слишком велик (больше 100 мегапикселей): уменьшите масштаб.\n")
                .arg(std::lround(area.width() * scale))
                .arg(std::lround(area.height() * scale));
        return 1;
    }
    const QString error = exportStepPictures(doc, client, scale, folder, QFileInfo(input).completeBaseName());
    collectFilmProblems(errors);
    if (!error.isEmpty()) {
        *errors += error + QLatin1Char('\n');
        return 1;
    }
    return 0;
}

int runSummaryCommand(const QString& input, HeadlessCommand::SummaryFormat format, QByteArray* out, QString* errors)
{
    const std::optional<LoadResult> loaded = loadForCommand(input, errors);
    if (!loaded)
        return 1;
    switch (format) {
    case HeadlessCommand::Text: *out = summaryPlainText(loaded->outline).toUtf8(); break;
    case HeadlessCommand::Markdown: *out = summaryMarkdown(loaded->outline).toUtf8(); break;
    case HeadlessCommand::Html: *out = summaryHtml(loaded->outline, loaded->outlineName).toUtf8(); break;
    }
    // The summary goes to a terminal or a pipe: control characters of the texts (ESC, BEL…) are
    // left out, tab and line breaks kept.
    *out = withoutControlCharacters(QString::fromUtf8(*out)).toUtf8();
    return 0;
}

QImage renderThumbnail(const LoadResult& loaded, int size)
{
    Document doc;
    doc.outline = loaded.outline;
    doc.state.outlineName = loaded.outlineName;
    doc.state.canvasColour = loaded.canvasColour;
    doc.state.windowSize = loaded.windowSize;
    // Drawn straight at the thumbnail's scale, the photos from their (reduced) stored bitmaps:
    // no full-size drawing is made and then shrunk.
    OutlineRenderer renderer(doc, exportClientSize(loaded.windowSize));
    renderer.setFullResolutionPictures(true);
    const QSize area = renderer.size();
    if (area.isEmpty() || size <= 0)
        return {};
    return renderer.image(std::min(double(size) / area.width(), double(size) / area.height()));
}

int runThumbnailCommand(int size, const QString& input, const QString& output, QString* errors)
{
    // The stored window size decides the drawing's size before any picture is decoded, so the
    // photos can be decoded just large enough: at the scale from the drawn canvas to the thumbnail.
    const QSize client = exportClientSize(storedWindowSize(input));
    const double scale = std::min(1.0, double(size) / std::max(client.width(), client.height()));
    LoadResult loaded = readAnyOutlineFile(input, scale);
    collectNotes(loaded, errors);
    // A damaged picture would show as a blank: no thumbnail rather than a wrong one.
    if (!loaded.ok || !loaded.message.isEmpty())
        return 1;
    useFilmBudget(loaded.budget);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    const QImage thumbnail = renderThumbnail(loaded, size);
    collectFilmProblems(errors);
    if (!thumbnail.save(&buffer, "PNG")) {
        *errors +=
            QCoreApplication::translate("FileCommands", "Не удалось построить миниатюру конспекта «%1».\n").arg(input);
        return 1;
    }
    // Some thumbnail services create OUT empty beforehand and read the result through their own
    // descriptor: such a file is filled in place (the picture is complete before it is touched).
    // Any other OUT is replaced atomically, so a reader never sees half a picture.
    thumbnailDeadline().writing();
    const QFileInfo target(output);
    const FileWriteStatus written =
        target.isFile() && target.size() == 0 ? overwriteFile(output, {png}) : replaceFile(output, {png}, false);
    if (!written.ok) {
        *errors += QCoreApplication::translate("FileCommands", "Не удалось записать миниатюру в файл «%1»: %2.\n")
                       .arg(output, written.error);
        return 1;
    }
    return 0;
}

static bool writeStandardOutput(const QByteArray& bytes)
{
    bool ok = true;
    if (!bytes.isEmpty())
        ok = std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout) == std::size_t(bytes.size());
    // Buffered bytes meet the device only here: a full disk shows up in the flush.
    ok = std::fflush(stdout) == 0 && ok;
    return ok && !std::ferror(stdout);
}

// Scripts and file managers read a command's standard error for Velmar's own messages: Qt's
// notes about its environment (a missing runtime folder, fonts, the platform) are not for them.
// VELMAR_QT_MESSAGES=1 lets them through for debugging.
static void keepQtMessagesOffStandardError()
{
    if (qEnvironmentVariableIntValue("VELMAR_QT_MESSAGES") == 1)
        return;
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtFatalMsg) {
            std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
            std::abort();
        }
    });
}

int runHeadlessCommand(const HeadlessCommand& command, int argc, char** argv)
{
    keepQtMessagesOffStandardError();
    std::unique_ptr<QCoreApplication> app;
    if (command.kind == HeadlessCommand::Export || command.kind == HeadlessCommand::Thumbnail
        || command.kind == HeadlessCommand::ExportSteps) {
        // Widgets draw the picture off screen: no display is needed or used.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // The picture is made in the outline's own pixels: a scale the user's screen asks of Qt
        // must not reach the off-screen one (it would draw texts and arrows a pixel apart).
        for (const char* scaling : {"QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_AUTO_SCREEN_SCALE_FACTOR",
                                    "QT_ENABLE_HIGHDPI_SCALING", "QT_FONT_DPI"})
            qunsetenv(scaling);
        app = std::make_unique<QApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("Velmar"));
    // The Russian texts are the sources themselves: only English needs a catalogue here.
    if (interfaceLanguage() == InterfaceLanguage::English)
        installInterfaceTranslations(*app, InterfaceLanguage::English);
    QByteArray out;
    QString errors;
    int status = 2;
    if (command.kind == HeadlessCommand::Info)
        status = runInfoCommand(command.input, &out, &errors);
    else if (command.kind == HeadlessCommand::Convert)
        status = runConvertCommand(command.input, command.output, &errors);
    else if (command.kind == HeadlessCommand::Export)
        status = runExportCommand(command.input, command.output, &errors, command.scale, command.form);
    else if (command.kind == HeadlessCommand::ExportSteps)
        status = runExportStepsCommand(command.input, command.output, &errors, command.scale);
    else if (command.kind == HeadlessCommand::Summary)
        status = runSummaryCommand(command.input, command.format, &out, &errors);
    else if (command.kind == HeadlessCommand::Thumbnail)
        status = runThumbnailCommand(command.size, command.input, command.output, &errors);
    // A listing that did not reach its reader (a full disk, a closed pipe) is a failed command,
    // not a success with nothing printed.
    if (!writeStandardOutput(out)) {
        errors += QCoreApplication::translate("FileCommands",
                                              "Не удалось вывести результат: ошибка записи в стандартный вывод.\n");
        status = 1;
    }
    if (!errors.isEmpty()) {
        const QByteArray bytes = errors.toLocal8Bit();
        std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stderr);
        std::fflush(stderr);
    }
    return status;
}

}  // namespace velmar
