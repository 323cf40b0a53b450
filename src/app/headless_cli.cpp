#include "app/headless_cli.h"

#include "storage/old_outline_file.h"
#include "storage/outline_io.h"

#include "view/outline_export.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>

#include <memory>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>

#include <cstdio>

namespace velmar {

namespace {

void addBounds(QJsonObject& object, const QRect& bounds)
{
    object.insert(QStringLiteral("left"), bounds.x());
    object.insert(QStringLiteral("top"), bounds.y());
    object.insert(QStringLiteral("width"), bounds.width());
    object.insert(QStringLiteral("height"), bounds.height());
}

QJsonValue colour(ColourValue value) { return QJsonValue(qint64(value)); }

}  // namespace

LoadResult loadOutlineForCommand(const QString& path, QSize windowChrome)
{
    if (path.endsWith(QStringLiteral(".vmc"), Qt::CaseInsensitive))
        return readOldOutlineFile(path, windowChrome);
    return readOutlineFile(path, windowChrome);
}

QJsonObject outlineToJson(const LoadResult& loaded)
{
    const Outline& o = loaded.outline;
    const Sequence& frameOrder = o.frameSequence();
    const Sequence& objectOrder = o.objectSequence();

    QJsonArray frames;
    for (int k = 1; k <= o.count(ObjectKind::Frame); ++k) {
        const FrameObject& f = o.frame(k);
        QJsonObject j;
        addBounds(j, f.bounds);
        j.insert(QStringLiteral("colour"), colour(f.colour));
        j.insert(QStringLiteral("innerBevel"), f.innerBevel);
        j.insert(QStringLiteral("outerBevel"), f.outerBevel);
        j.insert(QStringLiteral("border"), f.borderLine);
        j.insert(QStringLiteral("title"), f.title);
        j.insert(QStringLiteral("titleVisible"), f.titleVisible);
        j.insert(QStringLiteral("minimalText"), f.minimalText);
        j.insert(QStringLiteral("sequencePosition"), frameOrder.positionOf(f.id));
        frames.append(j);
    }
    QJsonArray textFields;
    for (int k = 1; k <= o.count(ObjectKind::TextField); ++k) {
        const TextFieldObject& t = o.textField(k);
        QJsonObject j;
        j.insert(QStringLiteral("parent"), t.parentFrame);
        addBounds(j, t.bounds);
        j.insert(QStringLiteral("text"), t.text);
        j.insert(QStringLiteral("minimalText"), t.minimalText);
        j.insert(QStringLiteral("background"), colour(t.background));
        j.insert(QStringLiteral("alignment"), t.alignment);
        j.insert(QStringLiteral("fontName"), t.font.name);
        j.insert(QStringLiteral("fontSize"), t.font.size);
        j.insert(QStringLiteral("fontColour"), colour(t.font.colour));
        j.insert(QStringLiteral("fontPitch"), t.font.pitch);
        j.insert(QStringLiteral("fontStyle"), t.font.style);
        j.insert(QStringLiteral("sequencePosition"), objectOrder.positionOf(t.id));
        textFields.append(j);
    }
    QJsonArray videos;
    for (int k = 1; k <= o.count(ObjectKind::Video); ++k) {
        const VideoObject& v = o.video(k);
        QJsonObject j;
        j.insert(QStringLiteral("parent"), v.parentFrame);
        addBounds(j, v.bounds);
        j.insert(QStringLiteral("file"), v.fileName);
        j.insert(QStringLiteral("minimalText"), v.minimalText);
        j.insert(QStringLiteral("sequencePosition"), objectOrder.positionOf(v.id));
        videos.append(j);
    }
    QJsonArray pictures;
    for (int k = 1; k <= o.count(ObjectKind::Picture); ++k) {
        const PictureObject& p = o.picture(k);
        QJsonObject j;
        j.insert(QStringLiteral("parent"), p.parentFrame);
        addBounds(j, p.bounds);
        j.insert(QStringLiteral("minimalText"), p.minimalText);
        j.insert(QStringLiteral("sequencePosition"), objectOrder.positionOf(p.id));
        j.insert(QStringLiteral("imageWidth"), p.bitmap().width());
        j.insert(QStringLiteral("imageHeight"), p.bitmap().height());
        pictures.append(j);
    }
    QJsonArray arrows;
    for (int k = 1; k <= o.count(ObjectKind::Arrow); ++k) {
        const ArrowObject& a = o.arrow(k);
        QJsonObject j;
        j.insert(QStringLiteral("x1"), a.x1);
        j.insert(QStringLiteral("y1"), a.y1);
        j.insert(QStringLiteral("x2"), a.x2);
        j.insert(QStringLiteral("y2"), a.y2);
        j.insert(QStringLiteral("width"), a.penWidth);
        j.insert(QStringLiteral("colour"), colour(a.colour));
        arrows.append(j);
    }

    QJsonObject root;
    root.insert(QStringLiteral("name"), loaded.outlineName);
    root.insert(QStringLiteral("canvasColour"), colour(loaded.canvasColour));
    root.insert(QStringLiteral("windowWidth"), loaded.windowSize.width());
    root.insert(QStringLiteral("windowHeight"), loaded.windowSize.height());
    root.insert(QStringLiteral("frames"), frames);
    root.insert(QStringLiteral("textFields"), textFields);
    root.insert(QStringLiteral("videos"), videos);
    root.insert(QStringLiteral("pictures"), pictures);
    root.insert(QStringLiteral("arrows"), arrows);
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

int runInfoCommand(const QString& path, QByteArray* out, QString* errors)
{
    const LoadResult loaded = loadOutlineForCommand(path);
    collectNotes(loaded, errors);
    if (!loaded.ok)
        return 1;
    *out = QJsonDocument(outlineToJson(loaded)).toJson(QJsonDocument::Indented);
    return 0;
}

int runConvertCommand(const QString& input, const QString& output, QString* errors)
{
    LoadResult loaded = loadOutlineForCommand(input);
    collectNotes(loaded, errors);
    if (!loaded.ok)
        return 1;
    const Document doc = documentFrom(std::move(loaded));
    const WriteResult written = writeOutlineFile(output, doc);
    if (!written.ok) {
        *errors += written.message + QLatin1Char('\n');
        return 1;
    }
    return 0;
}

int runExportCommand(const QString& input, const QString& output, QString* errors)
{
    const QString suffix = QFileInfo(output).suffix().toLower();
    if (suffix != QLatin1String("png") && suffix != QLatin1String("jpg") && suffix != QLatin1String("jpeg")
        && suffix != QLatin1String("bmp")) {
        *errors += QStringLiteral("Рисунок «%1»: укажите расширение .png, .jpg или .bmp.\n").arg(output);
        return 2;
    }
    LoadResult loaded = loadOutlineForCommand(input);
    collectNotes(loaded, errors);
    if (!loaded.ok)
        return 1;
    const Document doc = documentFrom(std::move(loaded));
    const QSize window = doc.state.windowSize.isValid() ? doc.state.windowSize : QSize(744, 546);
    const QSize client = window - defaultWindowChrome();
    const QImage picture = renderOutline(doc, client.expandedTo(QSize(1, 32)));
    const QString error = writePicture(picture, output);
    if (!error.isEmpty()) {
        *errors += error + QLatin1Char('\n');
        return 1;
    }
    return 0;
}

int runHeadlessCommand(const HeadlessCommand& command, int argc, char** argv)
{
    std::unique_ptr<QCoreApplication> app;
    if (command.kind == HeadlessCommand::Export) {
        // Widgets draw the picture off screen: no display is needed or used.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("Velmar"));
    QByteArray out;
    QString errors;
    int status = 2;
    if (command.kind == HeadlessCommand::Info)
        status = runInfoCommand(command.input, &out, &errors);
    else if (command.kind == HeadlessCommand::Convert)
        status = runConvertCommand(command.input, command.output, &errors);
    else if (command.kind == HeadlessCommand::Export)
        status = runExportCommand(command.input, command.output, &errors);
    if (!out.isEmpty())
        std::fwrite(out.constData(), 1, std::size_t(out.size()), stdout);
    if (!errors.isEmpty()) {
        const QByteArray bytes = errors.toLocal8Bit();
        std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stderr);
    }
    std::fflush(stdout);
    return status;
}

}  // namespace velmar
