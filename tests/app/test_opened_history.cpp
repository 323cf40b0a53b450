// The first history step of an opened outline is the opened file itself (a link or clone in the
// history folder, never a second copy), and undo and crash recovery keep working around it: after
// a change, after Save over the file, after another program replaced or rewrote the file, and
// after the program was killed (a real child process, ended with SIGKILL).
#include "app/main_window.h"
#include "canvas/outline_view.h"
#include "storage/history.h"
#include "storage/outline_io.h"
#include "storage/snapshot_files.h"
#include "support/photo_like_image.h"
#include "support/window_fixture.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QSaveFile>
#include <QTest>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace velmar;

namespace {

ino_t inodeOf(const QString& path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

// Whether the file system of `folder` clones files (then step 0 is a clone, not a link).
bool clonesFiles(const QString& folder)
{
    const QByteArray a = QFile::encodeName(QDir(folder).filePath(QStringLiteral("probe-a")));
    const QByteArray b = QFile::encodeName(QDir(folder).filePath(QStringLiteral("probe-b")));
    const int from = ::open(a.constData(), O_RDWR | O_CREAT, 0600);
    const int to = ::open(b.constData(), O_WRONLY | O_CREAT, 0600);
    const bool ok = from >= 0 && to >= 0 && ::write(from, "x", 1) == 1 && ::ioctl(to, FICLONE, from) == 0;
    ::close(from);
    ::close(to);
    ::unlink(a.constData());
    ::unlink(b.constData());
    return ok;
}

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// An outline made in a started window and saved by it, so that opening it again in a window of the
// same size changes nothing: a frame with a photo and a text field, and a second frame.
void makeOutline(WindowFixture& f, const QString& path)
{
    f.dialogs.inputs.push_back(QStringLiteral("Урок"));
    f.command(Command::NewOutline)->trigger();
    Outline& o = f.doc().outline;
    const int picture = o.createPicture(QRect(10, 20, 80, 60), 1);
    o.picture(picture).setBitmap(photoLikeImage(320, 240, 3));
    o.createTextField(QRect(10, 90, 100, 30), kButtonFace, QStringLiteral("строка 1\r\nстрока 2"), 2);
    f.window->outlineView()->sync();
    f.window->documents().recordStep(StepKind::Full);
    f.dialogs.files.push_back(Dialogs::FileChoice{path, 1});
    f.command(Command::SaveAs)->trigger();
    QVERIFY2(f.dialogs.messages.isEmpty(), qPrintable(f.dialogs.messages.value(0).text));
}

void openFile(WindowFixture& f, const QString& path)
{
    f.dialogs.files.push_back(Dialogs::FileChoice{path, 1});
    f.command(Command::Open)->trigger();
    QVERIFY2(f.dialogs.messages.isEmpty(), qPrintable(f.dialogs.messages.value(0).text));
    QCOMPARE(f.doc().state.fileName, path);
}

void moveFirstFrame(MainWindow& window, QPoint to)
{
    window.document().outline.frame(1).bounds.moveTopLeft(to);
    window.outlineView()->sync();
    window.documents().recordStep(StepKind::HeaderOnly);
}

// Another program's outline: one frame only.
QByteArray otherOutline()
{
    Document doc;
    doc.state.outlineName = QStringLiteral("Чужой");
    doc.outline.createFrame(QRect(300, 300, 100, 100), QStringLiteral("Чужой фрейм"));
    return serializeOutline(doc, true);
}

// The child process of the crash tests: opens the outline, makes the changes asked for, says so
// on its standard output and waits to be killed.
int runCrashChild(int argc, char** argv)
{
    QApplication app(argc, argv);
    ScriptedDialogs dialogs;
    MainWindow window;
    StartupOptions options;
    options.programFolder = qEnvironmentVariable("VELMAR_CRASH_HOME");
    options.startFolder = options.programFolder;
    options.documentPath = qEnvironmentVariable("VELMAR_CRASH_FILE");
    window.startUp(options);
    window.show();
    if (qEnvironmentVariableIntValue("VELMAR_CRASH_MOVE"))
        moveFirstFrame(window, QPoint(200, 300));
    std::fputs(window.document().state.fileName == options.documentPath ? "ready\n" : "failed\n", stdout);
    std::fflush(stdout);
    return app.exec();
}

}  // namespace

class TestOpenedHistory : public QObject {
    Q_OBJECT
private slots:
    void openedFileIsTheFirstStep();
    void adjustedOpenStartsFromTheFile();
    void undoAfterTheFileChangedOnDisk_data();
    void undoAfterTheFileChangedOnDisk();
    void killedProcessIsRecovered_data();
    void killedProcessIsRecovered();
};

void TestOpenedHistory::openedFileIsTheFirstStep()
{
    WindowFixture f;
    const QString path = f.home.filePath(QStringLiteral("урок.vmd"));
    makeOutline(f, path);
    const QByteArray saved = bytesOf(path);
    const QPoint start = f.doc().outline.frame(1).bounds.topLeft();
    openFile(f, path);

    const QString step0 = snapshotPathIn(snapshotFolder(f.doc()), 0, true);
    QVERIFY(QFileInfo::exists(step0));
    QCOMPARE(bytesOf(step0), saved);
    // The step is the file itself (a second name for it), unless the file system clones files.
    QVERIFY(inodeOf(step0) == inodeOf(path) || clonesFiles(f.home.path()));
    QVERIFY(!f.doc().state.modified);

    // A change, Save over the file (which replaces it), then undo: step 0 still has the outline
    // as it was opened.
    moveFirstFrame(*f.window, start + QPoint(40, 20));
    f.command(Command::Save)->trigger();
    QVERIFY(bytesOf(path) != saved);
    QCOMPARE(bytesOf(step0), saved);
    f.command(Command::Undo)->trigger();
    QVERIFY2(f.dialogs.messages.isEmpty(), qPrintable(f.dialogs.messages.value(0).text));
    QCOMPARE(f.doc().outline.frame(1).bounds.topLeft(), start);
    QCOMPARE(f.doc().outline.count(ObjectKind::Picture), 1);
    QVERIFY(f.doc().state.modified);  // the file now holds step 1
    f.command(Command::Redo)->trigger();
    QCOMPARE(f.doc().outline.frame(1).bounds.topLeft(), start + QPoint(40, 20));

    // A new outline starts a history of its own: its step 0 is written anew, the link and its
    // note are gone; the file stays.
    f.dialogs.answers.push_back(QMessageBox::No);
    f.dialogs.inputs.push_back(QStringLiteral("Другой"));
    f.command(Command::NewOutline)->trigger();
    QVERIFY(QFileInfo::exists(step0));
    QVERIFY(inodeOf(step0) != inodeOf(path));
    QCOMPARE(QDir(snapshotFolder(f.doc())).entryList({QStringLiteral("*.tml")}, QDir::Files), QStringList());
    QVERIFY(QFileInfo::exists(path));
}

void TestOpenedHistory::adjustedOpenStartsFromTheFile()
{
    WindowFixture f;
    // Made elsewhere, off the grid that this window snaps to at opening: the outline shown is
    // not quite the file.
    Document doc;
    doc.state.outlineName = QStringLiteral("Снимок");
    doc.state.windowSize = QSize(701, 501);
    doc.outline.createFrame(QRect(11, 41, 301, 201), QStringLiteral("Рамка"));
    const int picture = doc.outline.createPicture(QRect(13, 23, 81, 61), 1);
    doc.outline.picture(picture).setBitmap(photoLikeImage(640, 480, 5));
    const QString path = f.home.filePath(QStringLiteral("снимок.vmd"));
    QVERIFY(writeOutlineFile(path, doc).ok);
    const QByteArray original = bytesOf(path);
    openFile(f, path);
    QCOMPARE(f.doc().outline.frame(1).bounds, QRect(10, 40, 300, 200));

    // Step 0 is the file itself, not a copy of it with the adjustment; the adjustment is a
    // header step after it.
    const QString folder = snapshotFolder(f.doc());
    const QString step0 = snapshotPathIn(folder, 0, true);
    QCOMPARE(bytesOf(step0), original);
    QVERIFY(inodeOf(step0) == inodeOf(path) || clonesFiles(f.home.path()));
    QVERIFY(!QFileInfo::exists(snapshotPathIn(folder, 1, true)));
    const QFileInfo step1(snapshotPathIn(folder, 1, false));
    QVERIFY(step1.exists());
    QVERIFY2(step1.size() < original.size(), qPrintable(QString::number(step1.size())));
    // Work interrupted now would be recovered from the file and the step after it.
    LoadResult recovered = readOutlineFile(step0, defaultWindowChrome());
    QVERIFY(recovered.ok);
    QCOMPARE(applyLaterSteps(recovered, folder, 0), 1);
    QCOMPARE(recovered.outline.frame(1).bounds, QRect(10, 40, 300, 200));
    // Opening is not a change: nothing to undo, nothing to save, and saved as opened it is the
    // file to the byte.
    QVERIFY(!f.doc().state.modified);
    QVERIFY(!f.command(Command::Undo)->isEnabled());
    f.dialogs.files.push_back(Dialogs::FileChoice{f.home.filePath(QStringLiteral("копия/Снимок")), 1});
    QDir(f.home.path()).mkpath(QStringLiteral("копия"));
    f.command(Command::SaveAs)->trigger();
    QCOMPARE(bytesOf(f.home.filePath(QStringLiteral("копия/Снимок.vmd"))), original);

    // A change, undone: back at the outline as it was shown after opening, no further.
    moveFirstFrame(*f.window, QPoint(100, 100));
    QVERIFY(f.command(Command::Undo)->isEnabled());
    f.command(Command::Undo)->trigger();
    QVERIFY2(f.dialogs.messages.isEmpty(), qPrintable(f.dialogs.messages.value(0).text));
    QCOMPARE(f.doc().outline.frame(1).bounds, QRect(10, 40, 300, 200));
    QVERIFY(!f.command(Command::Undo)->isEnabled());
}

void TestOpenedHistory::undoAfterTheFileChangedOnDisk_data()
{
    QTest::addColumn<bool>("inPlace");
    QTest::newRow("replaced by a new file") << false;
    QTest::newRow("rewritten in place") << true;
}

void TestOpenedHistory::undoAfterTheFileChangedOnDisk()
{
    QFETCH(bool, inPlace);
    WindowFixture f;
    const QString path = f.home.filePath(QStringLiteral("урок.vmd"));
    makeOutline(f, path);
    const QPoint start = f.doc().outline.frame(1).bounds.topLeft();
    openFile(f, path);
    moveFirstFrame(*f.window, start + QPoint(40, 20));
    const int frames = f.doc().outline.count(ObjectKind::Frame);

    if (inPlace) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(otherOutline());
    } else {
        QSaveFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(otherOutline());
        QVERIFY(file.commit());
    }
    f.command(Command::Undo)->trigger();
    const QString folder = snapshotFolder(f.doc());
    if (inPlace && inodeOf(snapshotPathIn(folder, 0, true)) == inodeOf(path)) {
        // The link's file holds the other program's outline now: the step cannot come back, and
        // the outline on screen stays as it was instead of turning into the other outline.
        QCOMPARE(f.dialogs.messages.size(), 1);
        QVERIFY(f.dialogs.messages.first().text.contains(QStringLiteral("изменён другой программой")));
        QCOMPARE(f.doc().outline.frame(1).bounds.topLeft(), start + QPoint(40, 20));
        QCOMPARE(f.doc().history.currentStep, 1);
        // Nor is it offered as interrupted work.
        QCOMPARE(findFullSnapshotIn(folder), -1);
    } else {
        QVERIFY2(f.dialogs.messages.isEmpty(), qPrintable(f.dialogs.messages.value(0).text));
        QCOMPARE(f.doc().outline.frame(1).bounds.topLeft(), start);
        QCOMPARE(f.doc().history.currentStep, 0);
    }
    QCOMPARE(f.doc().outline.count(ObjectKind::Frame), frames);
}

void TestOpenedHistory::killedProcessIsRecovered_data()
{
    QTest::addColumn<bool>("moved");
    QTest::addColumn<QString>("afterwards");  // what happens to the file after the kill
    QTest::newRow("right after open") << false << "";
    QTest::newRow("after the first change") << true << "";
    QTest::newRow("file replaced by another program") << true << "replace";
    QTest::newRow("file rewritten in place by another program") << true << "rewrite";
}

void TestOpenedHistory::killedProcessIsRecovered()
{
    QFETCH(bool, moved);
    QFETCH(QString, afterwards);
    QTemporaryDir home;
    const QString path = home.filePath(QStringLiteral("урок.vmd"));
    QPoint start;
    int frames = 0;
    {
        WindowFixture maker;
        makeOutline(maker, path);
        start = maker.doc().outline.frame(1).bounds.topLeft();
        frames = maker.doc().outline.count(ObjectKind::Frame);
    }

    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VELMAR_CRASH_CHILD"), QStringLiteral("1"));
    env.insert(QStringLiteral("VELMAR_CRASH_HOME"), home.path());
    env.insert(QStringLiteral("VELMAR_CRASH_FILE"), path);
    env.insert(QStringLiteral("VELMAR_CRASH_MOVE"), moved ? QStringLiteral("1") : QStringLiteral("0"));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(child.waitForStarted());
    QVERIFY(child.waitForReadyRead(60000));
    QCOMPARE(child.readAllStandardOutput(), QByteArray("ready\n"));
    child.kill();  // SIGKILL: nothing is cleaned up
    QVERIFY(child.waitForFinished());

    if (afterwards == QLatin1String("replace")) {
        QSaveFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(otherOutline());
        QVERIFY(file.commit());
    } else if (afterwards == QLatin1String("rewrite")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(otherOutline());
    }

    ScriptedDialogs dialogs;
    dialogs.answers = {QMessageBox::Yes};
    MainWindow window;
    StartupOptions options;
    options.programFolder = home.path();
    options.startFolder = home.path();
    window.startUp(options);
    const Document& doc = window.document();
    if (afterwards == QLatin1String("rewrite") && dialogs.questions.isEmpty()) {
        // The only complete step was the file, which now holds another outline: nothing of it is
        // passed off as the interrupted work.
        QCOMPARE(doc.outline.count(ObjectKind::Frame), 0);
    } else {
        QCOMPARE(dialogs.questions.size(), 1);
        QCOMPARE(doc.outline.count(ObjectKind::Frame), frames);
        QCOMPARE(doc.outline.count(ObjectKind::Picture), 1);
        QCOMPARE(doc.outline.frame(1).bounds.topLeft(), moved ? QPoint(200, 300) : start);
        QVERIFY(doc.state.modified);
    }
    releaseHistoryFolder(home.path());
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsSet("VELMAR_CRASH_CHILD"))
        return runCrashChild(argc, argv);
    QApplication app(argc, argv);
    TestOpenedHistory test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_opened_history.moc"
