// Two Velmars on one outline: the lock file beside the outline (who has it open, since when),
// read-only opening, and the questions before a save replaces a file someone else wrote and when
// the file changed while this window had nothing unsaved.
#include "document/document_controller.h"
#include "storage/outline_io.h"
#include "storage/outline_lock.h"
#include "support/window_fixture.h"

#include <QAction>
#include <QDateTime>
#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QTest>

#include <unistd.h>

using namespace velmar;

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

// A lock as another Velmar writes it, last refreshed `ageHours` ago.
void plantLock(const QString& outline, const QString& host, qint64 pid, int ageHours)
{
    const QString path = lockFilePath(outline);
    writeAll(path,
             QStringLiteral("Velmar lock\nuser=petrov\nname=Пётр Петров\nhost=%1\npid=%2\nsince=2026-03-02T08:15:00Z\n")
                 .arg(host)
                 .arg(pid)
                 .toUtf8());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(
        file.setFileTime(QDateTime::currentDateTime().addSecs(-ageHours * 3600), QFileDevice::FileModificationTime));
}

}  // namespace

class TestOutlineLock : public QObject {
    Q_OBJECT
private slots:
    void lockFollowsTheOpenOutline();
    void anotherHoldersLockIsAskedAbout_data();
    void anotherHoldersLockIsAskedAbout();
    void readOnlyNeverOverwritesTheFile();
    void saveAsksWhenTheFileChangedOnDisk();
    void reloadIsOfferedOnceForAnUnchangedOutline();

private:
    static QString saved(WindowFixture& f, const QString& name)
    {
        f.dialogs.inputs.push_back(name);
        f.window->command(Command::NewOutline)->trigger();
        f.dialogs.files.push_back(Dialogs::FileChoice{f.home.filePath(name), 1});
        f.window->command(Command::SaveAs)->trigger();
        return f.home.filePath(name + QStringLiteral(".vmd"));
    }
    static void open(WindowFixture& f, const QString& path)
    {
        f.dialogs.files.push_back(Dialogs::FileChoice{path, 1});
        f.window->command(Command::Open)->trigger();
    }
    static void edit(WindowFixture& f, QPoint to)
    {
        f.doc().outline.frame(3).bounds.moveTo(to);
        f.window->documents().recordStep(StepKind::HeaderOnly);
    }
    static QPoint storedFrame(const QString& path)
    {
        LoadResult loaded = readAnyOutlineFile(path);
        return loaded.ok ? loaded.outline.frame(3).bounds.topLeft() : QPoint(-1, -1);
    }
    static qint64 deadPid()
    {
        QProcess done;
        done.start(QStringLiteral("true"), {});
        done.waitForStarted();
        const qint64 pid = done.processId();
        done.waitForFinished();
        return pid;
    }
};

void TestOutlineLock::lockFollowsTheOpenOutline()
{
    WindowFixture f;
    const QString path = saved(f, QStringLiteral("урок"));
    const QString lock = lockFilePath(path);
    QCOMPARE(QFileInfo(lock).fileName(), QStringLiteral(".~lock.урок.vmd#"));
    QVERIFY(readAll(lock).contains(QByteArray("pid=") + QByteArray::number(::getpid())));
    // Saved under another name, the outline's lock moves with it.
    f.dialogs.files.push_back(Dialogs::FileChoice{f.home.filePath(QStringLiteral("копия")), 1});
    f.window->command(Command::SaveAs)->trigger();
    QVERIFY(!QFile::exists(lock));
    QVERIFY(QFile::exists(lockFilePath(f.home.filePath(QStringLiteral("копия.vmd")))));
    // Saving over an outline another Velmar has open asks first; "Отмена" leaves it alone.
    const QString theirs = f.home.filePath(QStringLiteral("чужой.vmd"));
    writeAll(theirs, "their outline");
    plantLock(theirs, QStringLiteral("школа-кабинет-12"), 4321, 0);
    f.dialogs.files.push_back(Dialogs::FileChoice{theirs, 1});
    f.window->command(Command::SaveAs)->trigger();
    QCOMPARE(f.dialogs.choiceButtons, QList<QStringList>({{QStringLiteral("Заменить"), QStringLiteral("Отмена")}}));
    QCOMPARE(readAll(theirs), QByteArray("their outline"));
    QCOMPARE(f.doc().state.outlineName, QStringLiteral("копия"));
    f.dialogs.choiceButtons.clear();
    f.window->command(Command::Close)->trigger();
    QVERIFY(!QFile::exists(lockFilePath(f.home.filePath(QStringLiteral("копия.vmd")))));

    // Opened again: locked without a question; closing the window removes the lock.
    open(f, path);
    QVERIFY(f.dialogs.choiceButtons.isEmpty());
    QVERIFY(QFile::exists(lock));
    f.window->close();
    QVERIFY(!QFile::exists(lock));
}

void TestOutlineLock::anotherHoldersLockIsAskedAbout_data()
{
    QTest::addColumn<bool>("thisComputer");
    QTest::addColumn<bool>("running");
    QTest::addColumn<int>("ageHours");
    QTest::addColumn<bool>("asked");
    QTest::newRow("running here") << true << true << 0 << true;
    QTest::newRow("process gone here") << true << false << 0 << false;
    QTest::newRow("another computer, an hour ago") << false << false << 1 << true;
    QTest::newRow("another computer, two days ago") << false << false << 48 << false;
}

void TestOutlineLock::anotherHoldersLockIsAskedAbout()
{
    QFETCH(bool, thisComputer);
    QFETCH(bool, running);
    QFETCH(int, ageHours);
    QFETCH(bool, asked);
    WindowFixture f;
    const QString path = saved(f, QStringLiteral("урок"));
    f.window->command(Command::Close)->trigger();
    QProcess sleeper;
    if (running) {
        sleeper.start(QStringLiteral("sleep"), {QStringLiteral("60")});
        QVERIFY(sleeper.waitForStarted());
    }
    const qint64 pid = running ? sleeper.processId() : deadPid();
    const QString host = thisComputer ? QSysInfo::machineHostName() : QStringLiteral("школа-кабинет-12");
    plantLock(path, host, pid, ageHours);

    // "Отмена" (or closing the box) leaves the window without an outline.
    open(f, path);
    QCOMPARE(f.dialogs.choiceButtons.size(), asked ? 1 : 0);
    if (asked) {
        QCOMPARE(f.dialogs.choiceButtons[0],
                 QStringList({QStringLiteral("Только для чтения"), QStringLiteral("Открыть для правки"),
                              QStringLiteral("Отмена")}));
        const QString text = f.dialogs.questions.last().text;
        QVERIFY2(text.contains(QStringLiteral("Пётр Петров (petrov)")) && text.contains(host)
                     && text.contains(QStringLiteral("урок.vmd")),
                 qPrintable(text));
        QVERIFY(!f.doc().session.outlineOpen);
        // "Открыть для правки" opens it; the other holder's lock stays as it was.
        const QByteArray theirs = readAll(lockFilePath(path));
        f.dialogs.choices = {1};
        open(f, path);
        QVERIFY(f.doc().session.outlineOpen);
        QVERIFY(!f.window->documents().readOnly());
        f.window->close();
        QCOMPARE(readAll(lockFilePath(path)), theirs);
    } else {
        // A lock no longer in force gives way to this window's own.
        QVERIFY(f.doc().session.outlineOpen);
        QVERIFY(readAll(lockFilePath(path)).contains(QByteArray("pid=") + QByteArray::number(::getpid())));
    }
    if (running) {
        sleeper.kill();
        sleeper.waitForFinished();
    }
}

void TestOutlineLock::readOnlyNeverOverwritesTheFile()
{
    WindowFixture f;
    const QString path = saved(f, QStringLiteral("урок"));
    f.window->command(Command::Close)->trigger();
    plantLock(path, QStringLiteral("школа-кабинет-12"), 4321, 0);
    const QByteArray theirLock = readAll(lockFilePath(path));
    const QByteArray file = readAll(path);

    f.dialogs.choices = {0};
    open(f, path);
    QVERIFY(f.window->documents().readOnly());
    QVERIFY(f.window->windowTitle().contains(QStringLiteral("только для чтения")));
    edit(f, QPoint(300, 300));
    // Save asks for another name; the outline's own file is refused there.
    f.dialogs.files.push_back(Dialogs::FileChoice{path, 1});
    f.window->command(Command::Save)->trigger();
    QCOMPARE(f.dialogs.fileDialogs, 3);
    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY(f.dialogs.messages[0].text.contains(QStringLiteral("только для чтения")));
    QCOMPARE(readAll(path), file);
    QVERIFY(f.doc().state.modified);
    // "Да" to the question about unsaved changes goes the same way.
    f.dialogs.answers = {QMessageBox::Yes};
    f.window->command(Command::Close)->trigger();
    QVERIFY(f.doc().session.outlineOpen);  // the save dialog was cancelled: nothing closes
    QCOMPARE(readAll(path), file);

    // Saved under a name of its own, the outline is editable there.
    const QString copy = f.home.filePath(QStringLiteral("мой урок.vmd"));
    f.dialogs.files.push_back(Dialogs::FileChoice{copy, 1});
    f.window->command(Command::Save)->trigger();
    QCOMPARE(storedFrame(copy), QPoint(300, 300));
    QVERIFY(!f.window->documents().readOnly());
    QVERIFY(!f.window->windowTitle().contains(QStringLiteral("только для чтения")));
    QVERIFY(QFile::exists(lockFilePath(copy)));
    QCOMPARE(readAll(path), file);
    QCOMPARE(readAll(lockFilePath(path)), theirLock);
}

void TestOutlineLock::saveAsksWhenTheFileChangedOnDisk()
{
    WindowFixture f;
    const QString path = saved(f, QStringLiteral("урок"));
    const QDateTime savedAt = QFileInfo(path).lastModified();
    const QPoint mine(200, 200), theirs(400, 120);

    // Another Velmar writes the outline with frame 3 elsewhere: same size, and on a medium that
    // keeps coarse times, the same modification time.
    const auto written = [&](QPoint frame) {
        Document other;
        other.outline = f.doc().outline;
        other.state = f.doc().state;
        other.outline.frame(3).bounds.moveTo(frame);
        const QString scratch = f.home.filePath(QStringLiteral("scratch.vmd"));
        [&] { QVERIFY(writeOutlineFile(scratch, other).ok); }();
        return readAll(scratch);
    };
    const auto replaceOnDisk = [&](const QByteArray& bytes) {
        writeAll(path, bytes);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(savedAt, QFileDevice::FileModificationTime));
    };
    const QByteArray theirBytes = written(theirs);
    QCOMPARE(theirBytes.size(), readAll(path).size());
    replaceOnDisk(theirBytes);
    QCOMPARE(QFileInfo(path).lastModified(), savedAt);

    edit(f, mine);
    f.dialogs.choices = {2};  // "Отмена"
    f.window->command(Command::Save)->trigger();
    QCOMPARE(f.dialogs.choiceButtons.size(), 1);
    QCOMPARE(f.dialogs.choiceButtons[0],
             QStringList({QStringLiteral("Сохранить как..."), QStringLiteral("Заменить"), QStringLiteral("Отмена")}));
    QVERIFY(f.dialogs.questions.last().text.contains(QStringLiteral("урок.vmd")));
    QCOMPARE(readAll(path), theirBytes);
    QVERIFY(f.doc().state.modified);

    // "Сохранить как..." writes elsewhere and leaves their file alone.
    f.dialogs.choices = {0};
    f.dialogs.files.push_back(Dialogs::FileChoice{f.home.filePath(QStringLiteral("моя копия")), 1});
    f.window->command(Command::Save)->trigger();
    QCOMPARE(storedFrame(f.home.filePath(QStringLiteral("моя копия.vmd"))), mine);
    QCOMPARE(readAll(path), theirBytes);

    // Back on the first file: "Заменить" writes it; the next save asks nothing.
    open(f, path);
    QCOMPARE(storedFrame(path), theirs);
    edit(f, mine);
    const QPoint later(410, 130);
    replaceOnDisk(written(later));
    QCOMPARE(storedFrame(path), later);
    f.dialogs.choices = {1};
    const int questions = f.dialogs.choiceButtons.size();
    f.window->command(Command::Save)->trigger();
    QCOMPARE(f.dialogs.choiceButtons.size(), questions + 1);
    QCOMPARE(storedFrame(path), mine);
    edit(f, QPoint(100, 300));
    f.window->command(Command::Save)->trigger();
    QCOMPARE(f.dialogs.choiceButtons.size(), questions + 1);
    QCOMPARE(storedFrame(path), QPoint(100, 300));
}

void TestOutlineLock::reloadIsOfferedOnceForAnUnchangedOutline()
{
    WindowFixture f;
    const QString path = saved(f, QStringLiteral("урок"));
    DocumentController& documents = f.window->documents();
    documents.offerReloadIfChanged();
    QVERIFY(f.dialogs.choiceButtons.isEmpty());

    Document other;
    other.outline = f.doc().outline;
    other.state = f.doc().state;
    other.outline.frame(3).bounds.moveTo(QPoint(400, 120));
    QVERIFY(writeOutlineFile(path, other).ok);

    // Unsaved changes here: no offer (Save will ask instead).
    edit(f, QPoint(250, 250));
    documents.offerReloadIfChanged();
    QVERIFY(f.dialogs.choiceButtons.isEmpty());
    f.window->command(Command::Undo)->trigger();
    QVERIFY(!f.doc().state.modified);

    // Declined once, the same change is not offered again.
    f.dialogs.choices = {1};
    documents.offerReloadIfChanged();
    QCOMPARE(f.dialogs.choiceButtons.size(), 1);
    documents.offerReloadIfChanged();
    QCOMPARE(f.dialogs.choiceButtons.size(), 1);
    QVERIFY(f.doc().outline.frame(3).bounds.topLeft() != QPoint(400, 120));

    other.outline.frame(3).bounds.moveTo(QPoint(420, 140));
    QVERIFY(writeOutlineFile(path, other).ok);
    f.dialogs.choices = {0};
    documents.offerReloadIfChanged();
    QCOMPARE(f.dialogs.choiceButtons.size(), 2);
    QCOMPARE(f.doc().outline.frame(3).bounds.topLeft(), QPoint(420, 140));
    QVERIFY(!f.doc().state.modified);
    QVERIFY(QFile::exists(lockFilePath(path)));
}

QTEST_MAIN(TestOutlineLock)
#include "test_outline_lock.moc"
