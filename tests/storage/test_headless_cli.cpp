// The command line's file commands: --info prints an outline as JSON, --convert rewrites it as
// .vmd; both without a window.
#include "app/headless_cli.h"
#include "outline_fixtures.h"
#include "storage/outline_io.h"
#include "support/old_format_writer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace velmar;
using namespace fixtures;

class TestHeadlessCli : public QObject {
    Q_OBJECT
private slots:
    void infoDescribesEveryObject();
    void infoRefusesBadFiles_data();
    void infoRefusesBadFiles();
    void convertRewritesByteForByte();
    void convertReadsOldOutlines();
    void convertReportsWriteFailures();
    void unicodeTextsAndPropertiesAreListedAndConverted();
    void programRunsWithoutADisplay();
    void listingThatCannotBeWrittenFails();
};

void TestHeadlessCli::infoDescribesEveryObject()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("rich.vmd"));
    QVERIFY(writeOutlineFile(path, richDocument()).ok);
    QByteArray out;
    QString errors;
    QCOMPARE(runInfoCommand(path, &out, &errors), 0);
    QVERIFY2(errors.isEmpty(), qPrintable(errors));
    const QJsonObject root = QJsonDocument::fromJson(out).object();

    QCOMPARE(root.value("name").toString(), QStringLiteral("Механика: движение тел"));
    QCOMPARE(root.value("canvasColour").toInteger(), qint64(0x00C0DCC0));
    QCOMPARE(root.value("windowWidth").toInt(), 900);
    QCOMPARE(root.value("windowHeight").toInt(), 700);

    const QJsonArray frames = root.value("frames").toArray();
    QCOMPARE(frames.size(), 4);
    const QJsonObject f2 = frames.at(1).toObject();
    QCOMPARE(f2.value("title").toString(), QStringLiteral("Опыты"));
    QCOMPARE(f2.value("left").toInt(), 212);
    QCOMPARE(f2.value("colour").toInteger(), qint64(kButtonFace));  // 32-bit value, not negative
    QCOMPARE(f2.value("innerBevel").toInt(), 1);
    QCOMPARE(f2.value("outerBevel").toInt(), 2);
    QCOMPARE(f2.value("sequencePosition").toInt(), 2);
    QCOMPARE(frames.at(2).toObject().value("titleVisible").toBool(), false);

    const QJsonArray texts = root.value("textFields").toArray();
    QCOMPARE(texts.size(), 2);
    const QJsonObject t1 = texts.at(0).toObject();
    QCOMPARE(t1.value("text").toString(), QStringLiteral("Первая строка\r\nВторая строка\r\nТретья"));
    QCOMPARE(t1.value("parent").toInt(), 2);
    QCOMPARE(t1.value("fontName").toString(), QStringLiteral("Times New Roman"));
    QCOMPARE(t1.value("fontSize").toInt(), 14);
    QCOMPARE(t1.value("fontStyle").toInt(), 5);
    QCOMPARE(t1.value("alignment").toInt(), 2);
    QCOMPARE(t1.value("sequencePosition").toInt(), 4);
    QCOMPARE(texts.at(1).toObject().value("parent").toInt(), 0);

    const QJsonArray videos = root.value("videos").toArray();
    QCOMPARE(videos.at(0).toObject().value("file").toString(),
             QStringLiteral("/home/ученик/Видео/опыт с маятником.avi"));
    QCOMPARE(videos.at(1).toObject().value("file").toString(), QString());

    const QJsonArray pictures = root.value("pictures").toArray();
    QCOMPARE(pictures.size(), 2);
    QCOMPARE(pictures.at(1).toObject().value("imageWidth").toInt(), 64);
    QCOMPARE(pictures.at(1).toObject().value("imageHeight").toInt(), 36);
    QCOMPARE(pictures.at(1).toObject().value("sequencePosition").toInt(), 6);

    const QJsonObject a2 = root.value("arrows").toArray().at(1).toObject();
    QCOMPARE(QList<int>({a2.value("x1").toInt(), a2.value("y1").toInt(), a2.value("x2").toInt(), a2.value("y2").toInt(),
                         a2.value("width").toInt(), a2.value("colour").toInt()}),
             QList<int>({400, 500, 380, 420, 7, 0xFF}));
}

void TestHeadlessCli::infoRefusesBadFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("mentions");
    QByteArray oldVersion = serializeOutline(richDocument(), true);
    oldVersion[3] = '0';
    QTest::newRow("version 4.0") << oldVersion << "Версия файла \"4.0\"";
    QTest::newRow("text file") << QByteArray("hello, world\n") << "Версия файла";
    QTest::newRow("empty") << QByteArray() << "пуст";
    QByteArray tooMany = serializeOutline(richDocument(), true);
    setIntAt(tooMany, 276, 1000);
    QTest::newRow("1000 frames") << tooMany << "фреймы";
}

void TestHeadlessCli::infoRefusesBadFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, mentions);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bad.vmd"));
    QVERIFY(writeFile(path, content));
    QByteArray out;
    QString errors;
    QCOMPARE(runInfoCommand(path, &out, &errors), 1);
    QVERIFY(out.isEmpty());
    QVERIFY2(errors.contains(mentions), qPrintable(errors));

    const QString converted = dir.filePath(QStringLiteral("out.vmd"));
    errors.clear();
    QCOMPARE(runConvertCommand(path, converted, &errors), 1);
    QVERIFY(!QFileInfo::exists(converted));
}

void TestHeadlessCli::convertRewritesByteForByte()
{
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in.vmd")), out = dir.filePath(QStringLiteral("out.vmd"));
    QVERIFY(writeOutlineFile(in, richDocument()).ok);
    QString errors;
    QCOMPARE(runConvertCommand(in, out, &errors), 0);
    QVERIFY2(errors.isEmpty(), qPrintable(errors));
    QCOMPARE(readFile(out), readFile(in));

    // A picture that cannot be read is kept as a blank one; the conversion goes on and says so.
    QByteArray damaged = readFile(in);
    damaged.truncate(damaged.size() - 50);
    QVERIFY(writeFile(in, damaged));
    errors.clear();
    QCOMPARE(runConvertCommand(in, out, &errors), 0);
    QVERIFY2(errors.contains(QStringLiteral("рисунок 2")), qPrintable(errors));
    const LoadResult again = readOutlineFile(out, defaultWindowChrome());
    QVERIFY(again.ok && again.message.isEmpty());
    QCOMPARE(again.outline.count(ObjectKind::Picture), 2);
}

void TestHeadlessCli::convertReadsOldOutlines()
{
    QTemporaryDir dir;
    oldformat::Outline old;
    old.name = QStringLiteral("Старый");
    oldformat::Frame frame;
    frame.bounds = QRect(2, 34, 150, 150);
    frame.title = QStringLiteral("Наблюдения");
    frame.sequencePosition = 1;
    old.frames << frame;
    const QString vmc = dir.filePath(QStringLiteral("old.vmc"));
    QVERIFY(oldformat::writeFiles(old, vmc));
    const QString out = dir.filePath(QStringLiteral("old.vmd"));
    QString errors;
    const int status = runConvertCommand(vmc, out, &errors);
    QVERIFY2(status == 0, qPrintable(errors));
    const LoadResult converted = readOutlineFile(out, defaultWindowChrome());
    QVERIFY(converted.ok);
    QCOMPARE(converted.outlineName, QStringLiteral("Старый"));
    QCOMPARE(converted.outline.count(ObjectKind::Frame), 1);
    QCOMPARE(converted.outline.frame(1).title, QStringLiteral("Наблюдения"));

    // Objects at the far left that fitting would push out of the file's range: what --convert
    // writes, --info reads.
    oldformat::TextField narrow;
    narrow.bounds = QRect(-32767, 10, 0, 20);
    narrow.text = QStringLiteral("край");
    old.textFields << narrow;
    oldformat::Video film;
    film.parent = 1;
    film.bounds = QRect(-32767, -32767, 2, 2);
    old.videos << film;
    oldformat::Arrow arrow{-32767, 32767, 32767, -32767, 10, kBlack};
    old.arrows << arrow;
    QVERIFY(oldformat::writeFiles(old, vmc));
    errors.clear();
    QVERIFY2(runConvertCommand(vmc, out, &errors) == 0, qPrintable(errors));
    QByteArray json;
    QVERIFY2(runInfoCommand(out, &json, &errors) == 0, qPrintable(errors));
    const QJsonObject root = QJsonDocument::fromJson(json).object();
    QCOMPARE(root.value("textFields").toArray().at(0).toObject().value("left").toInt(), -32768);
    QCOMPARE(root.value("videos").toArray().at(0).toObject().value("top").toInt(), -32768);
}

void TestHeadlessCli::convertReportsWriteFailures()
{
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in.vmd"));
    QVERIFY(writeOutlineFile(in, richDocument()).ok);
    QString errors;
    QCOMPARE(runConvertCommand(in, dir.filePath(QStringLiteral("нет/out.vmd")), &errors), 1);
    QVERIFY2(errors.contains(QStringLiteral("out.vmd")), qPrintable(errors));
    errors.clear();
    QCOMPARE(
        runConvertCommand(dir.filePath(QStringLiteral("missing.vmd")), dir.filePath(QStringLiteral("x.vmd")), &errors),
        1);
    QVERIFY(errors.contains(QStringLiteral("missing.vmd")));
}

void TestHeadlessCli::unicodeTextsAndPropertiesAreListedAndConverted()
{
    Document doc = richDocument();
    doc.state.outlineName = QStringLiteral("Маятник ω");
    doc.outline.textField(1).text = QStringLiteral("T = 2π·√(l/g)");
    doc.outline.frame(2).titleColour = 0x000000FF;
    doc.outline.picture(1).stretched = false;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pendulum.vmd"));
    const QString converted = dir.filePath(QStringLiteral("converted.vmd"));
    QVERIFY(writeOutlineFile(path, doc).ok);
    QString errors;
    QCOMPARE(runConvertCommand(path, converted, &errors), 0);
    QCOMPARE(readFile(converted), readFile(path));

    QByteArray out;
    QCOMPARE(runInfoCommand(converted, &out, &errors), 0);
    QVERIFY2(errors.isEmpty(), qPrintable(errors));
    const QJsonObject root = QJsonDocument::fromJson(out).object();
    QCOMPARE(root.value("name").toString(), QStringLiteral("Маятник ω"));
    QCOMPARE(root.value("textFields").toArray().at(0).toObject().value("text").toString(),
             QStringLiteral("T = 2π·√(l/g)"));
    QCOMPARE(root.value("frames").toArray().at(1).toObject().value("titleColour").toInteger(), qint64(0x000000FF));
    QCOMPARE(root.value("frames").toArray().at(0).toObject().value("titleColour").toInteger(), qint64(kWindowText));
    QCOMPARE(root.value("pictures").toArray().at(0).toObject().value("stretched").toInt(), 0);
    QCOMPARE(root.value("pictures").toArray().at(1).toObject().value("stretched").toInt(), 1);
}

void TestHeadlessCli::programRunsWithoutADisplay()
{
    const QString program = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../src/velmar"));
    if (!QFileInfo(program).isExecutable())
        QSKIP("the velmar executable is not built beside the tests");
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in.vmd")), out = dir.filePath(QStringLiteral("out.vmd"));
    QVERIFY(writeOutlineFile(in, richDocument()).ok);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Without a runtime folder either, as under cron or a file manager's thumbnailer.
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_RUNTIME_DIR", "VELMAR_QT_MESSAGES"})
        env.remove(QLatin1String(name));
    env.insert(QStringLiteral("VELMAR_HOME"), dir.filePath(QStringLiteral("home")));
    const auto run = [&](const QStringList& arguments, QByteArray* stdOut, QByteArray* stdErr) {
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(program, arguments);
        if (!process.waitForFinished(30000))
            return -1;
        *stdOut = process.readAllStandardOutput();
        *stdErr = process.readAllStandardError();
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    };
    QByteArray stdOut, stdErr;
    QCOMPARE(run({QStringLiteral("--info"), in}, &stdOut, &stdErr), 0);
    QCOMPARE(QJsonDocument::fromJson(stdOut).object().value("frames").toArray().size(), 4);
    // Standard error carries Velmar's own messages only: a listing that succeeds says nothing, a
    // drawing only names the films it could not draw (this outline's film file is missing).
    QCOMPARE(QString::fromLocal8Bit(stdErr), QString());
    const auto onlyFilmNotes = [](const QByteArray& text) {
        for (const QString& line : QString::fromLocal8Bit(text).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            if (!line.startsWith(QStringLiteral("Фильм «")))
                return false;
        return true;
    };
    const QString png = dir.filePath(QStringLiteral("out.png")), thumb = dir.filePath(QStringLiteral("thumb.png"));
    QCOMPARE(run({QStringLiteral("--export"), png, in}, &stdOut, &stdErr), 0);
    QVERIFY2(onlyFilmNotes(stdErr), stdErr.constData());
    QCOMPARE(run({QStringLiteral("--thumbnail"), QStringLiteral("128"), in, thumb}, &stdOut, &stdErr), 0);
    QVERIFY2(onlyFilmNotes(stdErr), stdErr.constData());
    QCOMPARE(run({QStringLiteral("--summary"), in}, &stdOut, &stdErr), 0);
    QCOMPARE(QString::fromLocal8Bit(stdErr), QString());
    QCOMPARE(run({QStringLiteral("--convert"), in, out}, &stdOut, &stdErr), 0);
    QCOMPARE(readFile(out), readFile(in));
    QCOMPARE(run({QStringLiteral("--info"), dir.filePath(QStringLiteral("missing.vmd"))}, &stdOut, &stdErr), 1);
    QVERIFY(stdOut.isEmpty());
    QVERIFY(QString::fromLocal8Bit(stdErr).contains(QStringLiteral("missing.vmd")));
    QCOMPARE(run({QStringLiteral("--convert"), in}, &stdOut, &stdErr), 2);
}

void TestHeadlessCli::listingThatCannotBeWrittenFails()
{
    const QString program = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../src/velmar"));
    if (!QFileInfo(program).isExecutable())
        QSKIP("the velmar executable is not built beside the tests");
    if (!QFileInfo(QStringLiteral("/dev/full")).exists())
        QSKIP("no /dev/full on this system");
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in.vmd"));
    QVERIFY(writeOutlineFile(in, richDocument()).ok);
    const QList<QStringList> commands = {
        {QStringLiteral("--info"), in},
        {QStringLiteral("--summary"), in},
        {QStringLiteral("--summary"), in, QStringLiteral("--summary-format"), QStringLiteral("html")},
    };
    for (const QStringList& arguments : commands) {
        // The same command succeeds on a pipe, and fails on a device that takes no bytes.
        for (const bool full : {false, true}) {
            QProcess process;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("VELMAR_HOME"), dir.filePath(QStringLiteral("home")));
            process.setProcessEnvironment(env);
            if (full)
                process.setStandardOutputFile(QStringLiteral("/dev/full"));
            process.start(program, arguments);
            QVERIFY(process.waitForFinished(30000));
            QCOMPARE(process.exitStatus(), QProcess::NormalExit);
            const QString stdErr = QString::fromLocal8Bit(process.readAllStandardError());
            if (!full) {
                QCOMPARE(process.exitCode(), 0);
                QVERIFY(!process.readAllStandardOutput().isEmpty());
                continue;
            }
            QCOMPARE(process.exitCode(), 1);
            QVERIFY2(stdErr.contains(QStringLiteral("стандартный вывод")), qPrintable(stdErr));
        }
    }
}

QTEST_GUILESS_MAIN(TestHeadlessCli)
#include "test_headless_cli.moc"
