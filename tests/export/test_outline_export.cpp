#include "app/headless_cli.h"
#include "canvas/canvas_widget.h"
#include "export/outline_export.h"
#include "storage/jpeg_codec.h"
#include "storage/outline_io.h"
#include "support/photo_like_image.h"
#include "support/window_fixture.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace velmar;

class TestOutlineExport : public QObject {
    Q_OBJECT
private slots:
    void exportFileName_data();
    void exportFileName();
    void exportFromTheWindow();
    void headlessRenderingMatchesTheWindow();
    void exportFromTheCommandLine();
    void thumbnailIsTheExportScaledDown();
    void vectorExportKeepsTextsAsText();
    void vectorExportFromTheWindow();
    void scaledExportIsDrawnAtTheScale();
    void commandLineStatuses_data();
    void commandLineStatuses();
    void refusedExportsLeaveNothingBehind();
};

void TestOutlineExport::exportFileName_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<int>("filter");
    QTest::addColumn<QString>("expected");
    // A typed extension of an export type is written as typed; any other name gets the filter's.
    QTest::newRow("typed .bmp, JPEG filter") << "/tmp/a.bmp" << 1 << "/tmp/a.bmp";
    QTest::newRow("typed .JPEG, BMP filter") << "/tmp/a.JPEG" << 2 << "/tmp/a.JPEG";
    QTest::newRow("no extension, BMP filter") << "/tmp/a" << 2 << "/tmp/a.bmp";
    QTest::newRow("dots in the folder") << "/tmp/x.y/урок.1" << 1 << "/tmp/x.y/урок.1.jpg";
    QTest::newRow("an outline's extension") << "/tmp/lesson.vmd" << 1 << "/tmp/lesson.vmd.jpg";
    QTest::newRow("typed .svg, JPEG filter") << "/tmp/menu_a.svg" << 1 << "/tmp/menu_a.svg";
    QTest::newRow("PDF filter") << "/tmp/a" << 3 << "/tmp/a.pdf";
    QTest::newRow("PNG filter") << "/tmp/a" << 5 << "/tmp/a.png";
}

void TestOutlineExport::exportFileName()
{
    QFETCH(QString, chosen);
    QFETCH(int, filter);
    QFETCH(QString, expected);
    QCOMPARE(velmar::exportFileName(chosen, filter), expected);
}

void TestOutlineExport::exportFromTheWindow()
{
    WindowFixture f;
    f.dialogs.inputs.push_back(QStringLiteral("Урок"));
    f.command(Command::NewOutline)->trigger();
    f.doc().outline.frame(1).colour = 0x000000FF;  // red
    f.window->documents().recordStep(StepKind::HeaderOnly);
    const int step = f.doc().history.currentStep;
    QVERIFY(f.command(Command::ExportPicture)->isEnabled());

    f.dialogs.files.push_back(Dialogs::FileChoice{f.home.filePath(QStringLiteral("pic")), 1});
    f.command(Command::ExportPicture)->trigger();
    QFile file(f.home.filePath(QStringLiteral("pic.jpg")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QImage picture = decodeJpeg(file.readAll());
    const QSize client = f.window->canvas()->size();
    QCOMPARE(picture.size(), QSize(client.width(), client.height() - 31));
    // Inside the first frame (it starts at y 34 of the canvas, 3 rows into the picture).
    const QPoint inside = f.doc().outline.frame(1).bounds.center() - QPoint(0, 31);
    const QColor colour = picture.pixelColor(inside);
    QVERIFY2(colour.red() > 240 && colour.green() < 16 && colour.blue() < 16, qPrintable(colour.name()));
    QCOMPARE(f.doc().history.currentStep, step);  // no history step

    f.dialogs.files.push_back(Dialogs::FileChoice{f.home.filePath(QStringLiteral("pic2")), 2});
    f.command(Command::ExportPicture)->trigger();
    QImage bmp(f.home.filePath(QStringLiteral("pic2.bmp")), "BMP");
    QCOMPARE(bmp.size(), picture.size());
    QCOMPARE(bmp.pixelColor(inside), QColor(255, 0, 0));

    // Cancel writes nothing.
    f.command(Command::ExportPicture)->trigger();
    QCOMPARE(f.dialogs.messages.size(), 0);
}

void TestOutlineExport::headlessRenderingMatchesTheWindow()
{
    WindowFixture f;
    f.dialogs.inputs.push_back(QStringLiteral("Урок"));
    f.command(Command::NewOutline)->trigger();
    Outline& o = f.doc().outline;
    o.frame(2).colour = 0x0080FF00;
    o.frame(3).outerBevel = BevelLowered;
    o.createTextField(QRect(10, 20, 80, 30), 0x00FFFFFF, QStringLiteral("Строка 1\r\nСтрока 2"), 1);
    o.createArrow(40, 300, 200, 360, 3, 0x000000FF);
    f.window->documents().recordStep(StepKind::HeaderOnly);
    const QImage fromWindow = captureCanvas(f.window->canvas());
    const QImage headless = renderOutline(f.doc(), f.window->canvas()->size());
    QCOMPARE(headless.size(), fromWindow.size());
    QCOMPARE(headless, fromWindow);
}

void TestOutlineExport::exportFromTheCommandLine()
{
    const QString program = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../src/velmar"));
    if (!QFileInfo::exists(program))
        QSKIP("the velmar executable is not built beside the tests");
    QTemporaryDir dir;
    Document doc;
    doc.state.windowSize = QSize(400, 300);
    doc.outline.setClientSize(QSize(384, 241));
    doc.outline.createFrame(QRect(10, 40, 150, 100), QStringLiteral("Опыты"));
    doc.outline.frame(1).colour = 0x0000FF00;  // green
    const QString outline = dir.filePath(QStringLiteral("урок.vmd"));
    QVERIFY(writeOutlineFile(outline, doc).ok);

    auto run = [&](const QStringList& arguments) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.insert(QStringLiteral("VELMAR_HOME"), dir.filePath(QStringLiteral("home")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
        process.setProcessEnvironment(env);
        process.start(program, arguments);
        process.waitForFinished(30000);
        return std::pair(process.exitCode(), QString::fromLocal8Bit(process.readAllStandardError()));
    };
    const QString png = dir.filePath(QStringLiteral("out.png"));
    const auto [status, errors] = run({QStringLiteral("--export"), png, outline});
    QCOMPARE(status, 0);
    QVERIFY2(errors.isEmpty(), qPrintable(errors));
    const QImage picture(png);
    QCOMPARE(picture.size(), QSize(400 - 16, 300 - 59 - 31));
    QCOMPARE(picture.pixelColor(80, 60), QColor(0, 255, 0));

    // An unknown picture type and a missing outline are refused with a message.
    QCOMPARE(run({QStringLiteral("--export"), dir.filePath(QStringLiteral("out.gif")), outline}).first, 1);
    const auto missing = run({QStringLiteral("--export"), png, dir.filePath(QStringLiteral("нет.vmd"))});
    QCOMPARE(missing.first, 1);
    QVERIFY(missing.second.contains(QStringLiteral("нет.vmd")));
}

void TestOutlineExport::thumbnailIsTheExportScaledDown()
{
    QTemporaryDir dir;
    Document doc;
    doc.state.windowSize = QSize(600, 420);
    doc.outline.setClientSize(QSize(584, 361));
    doc.outline.createFrame(QRect(10, 40, 300, 250), QStringLiteral("Фото"));
    doc.outline.frame(1).colour = 0x0000FF00;
    // A photo far larger than its control: the thumbnail decodes it at a reduced size.
    const int slot = doc.outline.createPicture(QRect(10, 20, 280, 210), 1);
    doc.outline.picture(slot).setBitmap(photoLikeImage(1600, 1200, 3));
    const QString outline = dir.filePath(QStringLiteral("фото.vmd"));
    QVERIFY(writeOutlineFile(outline, doc).ok);

    const QString thumb = dir.filePath(QStringLiteral("thumb.png"));
    QString errors;
    QCOMPARE(runThumbnailCommand(128, outline, thumb, &errors), 0);
    const QImage small(thumb);
    LoadResult full = readAnyOutlineFile(outline);
    Document loaded;
    loaded.outline = std::move(full.outline);
    loaded.state.windowSize = full.windowSize;
    loaded.state.canvasColour = full.canvasColour;
    const QImage exported = renderOutline(loaded, doc.state.windowSize - defaultWindowChrome());
    QCOMPARE(small.size(), exported.size().scaled(128, 128, Qt::KeepAspectRatio));
    const QImage expected = exported.scaled(small.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                .convertToFormat(QImage::Format_RGB32);
    const QImage actual = small.convertToFormat(QImage::Format_RGB32);
    qint64 difference = 0;
    for (int y = 0; y < actual.height(); ++y)
        for (int x = 0; x < actual.width(); ++x) {
            const QRgb a = actual.pixel(x, y), b = expected.pixel(x, y);
            difference += qAbs(qRed(a) - qRed(b)) + qAbs(qGreen(a) - qGreen(b)) + qAbs(qBlue(a) - qBlue(b));
        }
    const double perChannel = double(difference) / (3.0 * actual.width() * actual.height());
    QVERIFY2(perChannel < 4.0, qPrintable(QString::number(perChannel)));

    // A thumbnail service that made OUT empty beforehand reads the picture through its own handle.
    QFile placeholder(dir.filePath(QStringLiteral("service.png")));
    QVERIFY(placeholder.open(QIODevice::ReadWrite));
    QCOMPARE(runThumbnailCommand(128, outline, placeholder.fileName(), &errors), 0);
    QVERIFY(placeholder.seek(0));
    QCOMPARE(QImage::fromData(placeholder.readAll(), "PNG"), small);

    // A damaged picture stream, a file that is no outline: status 1 and no thumbnail written.
    QFile file(outline);
    QVERIFY(file.open(QIODevice::ReadWrite));
    const qint64 size = file.size();
    QVERIFY(file.resize(size - 2000));
    file.close();
    const QString none = dir.filePath(QStringLiteral("none.png"));
    QCOMPARE(runThumbnailCommand(128, outline, none, &errors), 1);
    QVERIFY(!QFile::exists(none));
    QCOMPARE(runThumbnailCommand(128, thumb, none, &errors), 1);
    QVERIFY(!QFile::exists(none));
}

namespace {

QString velmarProgram()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../src/velmar"));
}

// Runs velmar without a display; returns the exit status, standard output and standard error.
struct RunResult {
    int status = -1;
    QByteArray out;
    QString errors;
};
RunResult runVelmar(const QStringList& arguments, const QString& home)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("VELMAR_HOME"), home);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home);
    process.setProcessEnvironment(env);
    process.start(velmarProgram(), arguments);
    process.waitForFinished(60000);
    return {process.exitCode(), process.readAllStandardOutput(),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

// The text of a PDF file as poppler extracts it.
QString pdfText(const QString& path)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, QStringLiteral("-")});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// A small outline: two titled frames, a text field with Cyrillic text and a diagonal red arrow on
// a white canvas, at a stored window of 500 × 400.
Document sampleOutline()
{
    Document doc;
    doc.state.windowSize = QSize(500, 400);
    doc.state.canvasColour = 0x00FFFFFF;
    doc.state.outlineName = QStringLiteral("Урок");
    Outline& o = doc.outline;
    o.setClientSize(doc.state.windowSize - defaultWindowChrome());
    o.createFrame(QRect(10, 40, 200, 120), QStringLiteral("Наблюдения"));
    o.createFrame(QRect(250, 40, 200, 120), QStringLiteral("Опыты и «кавычки»"));
    o.createTextField(QRect(10, 30, 150, 40), 0x00FFFFFF, QStringLiteral("Ёлка съела щи"), 1);
    o.createArrow(40, 200, 240, 300, 2, 0x000000FF);
    // A photo far larger than its control, away from the arrow.
    const int picture = o.createPicture(QRect(300, 40, 40, 30), 0);
    o.picture(picture).setBitmap(photoLikeImage(1200, 900, 7));
    return doc;
}

// The red pixel farthest along (1, 1) from the origin: the head end of the sample's arrow.
QPoint farthestRed(const QImage& image)
{
    QPoint best(-1, -1);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 200 && c.green() < 80 && c.blue() < 80 && x + y > best.x() + best.y())
                best = QPoint(x, y);
        }
    return best;
}

QStringList folderEntries(const QString& path)
{
    return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

}  // namespace

void TestOutlineExport::vectorExportKeepsTextsAsText()
{
    QTemporaryDir dir;
    const Document doc = sampleOutline();
    const QSize client = doc.state.windowSize - defaultWindowChrome();
    const QString pdf = dir.filePath(QStringLiteral("урок.pdf"));
    QCOMPARE(exportOutline(doc, client, 1.0, pdf), QString());
    const QString text = pdfText(pdf);
    for (const char* expected : {"Наблюдения", "Опыты и «кавычки»", "Ёлка съела щи"})
        QVERIFY2(text.contains(QString::fromUtf8(expected)), qPrintable(text));
    // The photo is embedded at its stored size.
    QProcess images;
    images.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
    images.waitForFinished(30000);
    const QString list = QString::fromUtf8(images.readAllStandardOutput());
    QVERIFY2(list.contains(QRegularExpression(QStringLiteral("\\s1200\\s+900\\s"))), qPrintable(list));
    // It is the only bitmap: frames, texts and the arrow are drawn as vectors.
    QCOMPARE(list.count(QRegularExpression(QStringLiteral("\\simage\\s"))), 1);

    // The SVG holds the same texts as text elements, and is sized as the drawn area.
    const QString svg = dir.filePath(QStringLiteral("урок.svg"));
    QCOMPARE(exportOutline(doc, client, 2.0, svg), QString());
    QFile file(svg);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString xml = QString::fromUtf8(file.readAll());
    QVERIFY(xml.contains(QStringLiteral("Наблюдения")));
    QVERIFY(xml.contains(QStringLiteral("Ёлка съела щи")));
    const QSize area = client - QSize(0, 31);
    const QString viewBox = QStringLiteral("viewBox=\"0 0 %1 %2\"").arg(area.width() * 2).arg(area.height() * 2);
    QVERIFY2(xml.contains(viewBox), qPrintable(xml.left(600)));
}

void TestOutlineExport::vectorExportFromTheWindow()
{
    WindowFixture f;
    f.dialogs.inputs.push_back(QStringLiteral("Урок"));
    f.command(Command::NewOutline)->trigger();
    const int step = f.doc().history.currentStep;
    const bool modified = f.doc().state.modified;
    // The PDF filter, no extension typed.
    f.dialogs.files.push_back(Dialogs::FileChoice{f.home.filePath(QStringLiteral("урок")), 3});
    f.command(Command::ExportPicture)->trigger();
    QCOMPARE(f.dialogs.messages.size(), 0);
    const QString text = pdfText(f.home.filePath(QStringLiteral("урок.pdf")));
    QVERIFY2(text.contains(QStringLiteral("Наблюдения")) && text.contains(QStringLiteral("Технологические")),
             qPrintable(text));
    QCOMPARE(f.doc().history.currentStep, step);
    QCOMPARE(f.doc().state.modified, modified);

    // An unwritable folder (a file stands where it should be): a Russian message, nothing written.
    QFile blocker(f.home.filePath(QStringLiteral("занято")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QStringList before = folderEntries(f.home.path());
    f.dialogs.files.push_back(Dialogs::FileChoice{f.home.filePath(QStringLiteral("занято/урок.svg")), 4});
    f.command(Command::ExportPicture)->trigger();
    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY(f.dialogs.messages[0].text.contains(QStringLiteral("Не удалось")));
    // The reason in Russian too, not the system's English ("Not a directory").
    QVERIFY2(f.dialogs.messages[0].text.contains(QStringLiteral("через файл, а не через папку")),
             qPrintable(f.dialogs.messages[0].text));
    QCOMPARE(folderEntries(f.home.path()), before);
}

void TestOutlineExport::scaledExportIsDrawnAtTheScale()
{
    const Document doc = sampleOutline();
    const QSize client = doc.state.windowSize - defaultWindowChrome();
    QTemporaryDir dir;
    const QString one = dir.filePath(QStringLiteral("1.png")), two = dir.filePath(QStringLiteral("2.png"));
    QCOMPARE(exportOutline(doc, client, 1.0, one), QString());
    QCOMPARE(exportOutline(doc, client, 2.0, two), QString());
    const QImage small(one), large(two);
    QCOMPARE(large.size(), small.size() * 2);
    // The arrow's head end lands at twice its coordinates (within the pen's width).
    const QPoint head = farthestRed(small), head2 = farthestRed(large);
    QVERIFY(head.x() > 200);
    QVERIFY2((head2 - head * 2).manhattanLength() <= 4,
             qPrintable(QStringLiteral("%1,%2 → %3,%4").arg(head.x()).arg(head.y()).arg(head2.x()).arg(head2.y())));
    // Drawn at the scale, not enlarged: an enlarged picture has every pixel doubled, the text's
    // edges included; a drawing at twice the size has detail no doubling can make.
    const QImage doubled = small.scaled(small.size() * 2).convertToFormat(QImage::Format_RGB32);
    QVERIFY(large.convertToFormat(QImage::Format_RGB32) != doubled);
    int oddColumnsDiffering = 0;
    const QImage l = large.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < l.height(); ++y)
        for (int x = 0; x + 1 < l.width(); x += 2)
            oddColumnsDiffering += l.pixel(x, y) != l.pixel(x + 1, y);
    QVERIFY2(oddColumnsDiffering > 200, qPrintable(QString::number(oddColumnsDiffering)));

    // The PDF page grows with the scale as well (points at 96 pixels per inch).
    const QString pdf = dir.filePath(QStringLiteral("2.pdf"));
    QCOMPARE(exportOutline(doc, client, 2.0, pdf), QString());
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    info.waitForFinished(30000);
    const QString pageSize = QStringLiteral("%1 x %2 pts").arg(small.width() * 2 * 0.75).arg(small.height() * 2 * 0.75);
    QVERIFY2(QString::fromUtf8(info.readAllStandardOutput()).contains(pageSize), qPrintable(pageSize));
}

void TestOutlineExport::commandLineStatuses_data()
{
    QTest::addColumn<QStringList>("arguments");  // OUT and IN stand for an output name and the outline
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::newRow("scale 2, options after the names")
        << QStringList{"--export", "OUT.png", "IN", "--scale", "2"} << 0 << "";
    QTest::newRow("scale as one argument") << QStringList{"--scale=0.5", "--export", "OUT.jpg", "IN"} << 0 << "";
    QTest::newRow("scale below 0.1") << QStringList{"--export", "OUT.png", "IN", "--scale", "0.05"} << 1 << "0.1";
    QTest::newRow("scale above 8") << QStringList{"--export", "OUT.svg", "IN", "--scale", "8.5"} << 1 << "0.1";
    QTest::newRow("scale not a number") << QStringList{"--export", "OUT.png", "IN", "--scale", "два"} << 2 << "«два»";
    QTest::newRow("scale without export") << QStringList{"--info", "IN", "--scale", "2"} << 2 << "--export";
    QTest::newRow("unknown extension") << QStringList{"--export", "OUT.gif", "IN"} << 1 << ".pdf";
    QTest::newRow("damaged outline") << QStringList{"--export", "OUT.pdf", "DAMAGED"} << 1 << "DAMAGED";
    QTest::newRow("damaged photo") << QStringList{"--export", "OUT.png", "PHOTO"} << 1 << "OUT.png";
    QTest::newRow("more than 100 megapixels")
        << QStringList{"--export", "OUT.png", "HUGE", "--scale", "8"} << 1 << "100";
    QTest::newRow("a huge PDF is vectors") << QStringList{"--export", "OUT.pdf", "HUGE", "--scale", "8"} << 0 << "";
    QTest::newRow("summary of a damaged outline") << QStringList{"--summary", "DAMAGED"} << 1 << "DAMAGED";
    QTest::newRow("summary with an unknown format")
        << QStringList{"--summary", "IN", "--summary-format", "rtf"} << 2 << "markdown";
    QTest::newRow("summary with two files") << QStringList{"--summary", "IN", "IN"} << 2 << "--summary";
    QTest::newRow("summary format alone") << QStringList{"--summary-format", "html", "IN"} << 2 << "--summary";
    QTest::newRow("summary and export together")
        << QStringList{"--summary", "IN", "--export", "OUT.png", "IN"} << 2 << "";
}

void TestOutlineExport::commandLineStatuses()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, message);
    if (!QFileInfo::exists(velmarProgram()))
        QSKIP("the velmar executable is not built beside the tests");
    QTemporaryDir dir;
    const QString input = dir.filePath(QStringLiteral("урок.vmd"));
    QVERIFY(writeOutlineFile(input, sampleOutline()).ok);
    // A file cut inside its record is no outline; one cut inside its picture has a damaged photo.
    const QString damaged = dir.filePath(QStringLiteral("damaged.vmd"));
    QVERIFY(QFile::copy(input, damaged));
    QVERIFY(QFile::resize(damaged, 4000));
    const QString damagedPhoto = dir.filePath(QStringLiteral("photo.vmd"));
    QVERIFY(QFile::copy(input, damagedPhoto));
    QVERIFY(QFile::resize(damagedPhoto, QFileInfo(input).size() - 2000));
    // A window 4000 × 3000: at scale 8 its picture would be about 760 megapixels.
    Document huge = sampleOutline();
    huge.state.windowSize = QSize(4000, 3000);
    const QString hugePath = dir.filePath(QStringLiteral("huge.vmd"));
    QVERIFY(writeOutlineFile(hugePath, huge).ok);

    QString output;
    for (QString& a : arguments) {
        if (a.startsWith(QLatin1String("OUT")))
            a = output = dir.filePath(a);
        else if (a == QLatin1String("IN"))
            a = input;
        else if (a == QLatin1String("DAMAGED"))
            a = damaged;
        else if (a == QLatin1String("PHOTO"))
            a = damagedPhoto;
        else if (a == QLatin1String("HUGE"))
            a = hugePath;
    }
    const RunResult result = runVelmar(arguments, dir.filePath(QStringLiteral("home")));
    QCOMPARE(result.status, status);
    if (status == 0) {
        QVERIFY2(result.errors.isEmpty(), qPrintable(result.errors));
        QVERIFY(output.isEmpty() || QFileInfo(output).size() > 0);
    } else {
        if (message == QLatin1String("DAMAGED"))
            message = damaged;
        else if (message == QLatin1String("OUT.png"))
            message = output;
        QVERIFY2(result.errors.contains(message), qPrintable(result.errors));
        QVERIFY(output.isEmpty() || !QFile::exists(output));
    }
}

void TestOutlineExport::refusedExportsLeaveNothingBehind()
{
    QTemporaryDir dir;
    const Document doc = sampleOutline();
    const QSize client = doc.state.windowSize - defaultWindowChrome();
    QFile blocker(dir.filePath(QStringLiteral("file")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QStringList before = folderEntries(dir.path());
    for (const char* name : {"file/out.pdf", "file/out.svg", "file/out.png", "file/out.jpg"}) {
        const QString error = exportOutline(doc, client, 1.0, dir.filePath(QLatin1String(name)));
        QVERIFY2(error.contains(QStringLiteral("Не удалось")), name);
    }
    QCOMPARE(folderEntries(dir.path()), before);

    // An unknown extension is refused before anything is drawn or written.
    QVERIFY(!exportOutline(doc, client, 1.0, dir.filePath(QStringLiteral("out.bad"))).isEmpty());
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("out.bad"))));
}

QTEST_MAIN(TestOutlineExport)
#include "test_outline_export.moc"
