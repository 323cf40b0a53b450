#include "app/headless_cli.h"
#include "canvas/canvas_widget.h"
#include "storage/jpeg_codec.h"
#include "storage/outline_io.h"
#include "support/photo_like_image.h"
#include "support/window_fixture.h"
#include "view/outline_export.h"

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
};

void TestOutlineExport::exportFileName_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<int>("filter");
    QTest::addColumn<QString>("expected");
    QTest::newRow("typed .bmp, JPEG filter") << "/tmp/a.bmp" << 1 << "/tmp/a.jpg";
    QTest::newRow("no extension, BMP filter") << "/tmp/a" << 2 << "/tmp/a.bmp";
    QTest::newRow("dots in the folder") << "/tmp/x.y/урок.1.png" << 1 << "/tmp/x.y/урок.1.jpg";
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
    f.command("N47")->trigger();
    f.doc().outline.frame(1).colour = 0x000000FF;  // red
    f.window->recordStep();
    const int step = f.doc().history.currentStep;
    QVERIFY(f.command("N53")->isEnabled());

    f.dialogs.files.push_back(Dialogs::FileChoice{f.home.filePath(QStringLiteral("pic.bmp")), 1});
    f.command("ToolButton7")->trigger();
    QVERIFY(!QFile::exists(f.home.filePath(QStringLiteral("pic.bmp"))));
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

    f.dialogs.files.push_back(Dialogs::FileChoice{f.home.filePath(QStringLiteral("pic2.jpg")), 2});
    f.command("N53")->trigger();
    QImage bmp(f.home.filePath(QStringLiteral("pic2.bmp")), "BMP");
    QCOMPARE(bmp.size(), picture.size());
    QCOMPARE(bmp.pixelColor(inside), QColor(255, 0, 0));

    // Cancel writes nothing.
    f.command("N53")->trigger();
    QCOMPARE(f.dialogs.messages.size(), 0);
}

void TestOutlineExport::headlessRenderingMatchesTheWindow()
{
    WindowFixture f;
    f.dialogs.inputs.push_back(QStringLiteral("Урок"));
    f.command("N47")->trigger();
    Outline& o = f.doc().outline;
    o.frame(2).colour = 0x0080FF00;
    o.frame(3).outerBevel = BevelLowered;
    o.createTextField(QRect(10, 20, 80, 30), 0x00FFFFFF, QStringLiteral("Строка 1\r\nСтрока 2"), 1);
    o.createArrow(40, 300, 200, 360, 3, 0x000000FF);
    f.window->recordStep();
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
    QCOMPARE(run({QStringLiteral("--export"), dir.filePath(QStringLiteral("out.gif")), outline}).first, 2);
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
    LoadResult full = readAnyOutlineFile(outline, defaultWindowChrome());
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

QTEST_MAIN(TestOutlineExport)
#include "test_outline_export.moc"
