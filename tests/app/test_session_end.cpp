// The program ended by the session (SIGTERM at logout or shutdown, SIGHUP): an outline that
// matches its file leaves no interrupted work behind, and work not yet settled (the question
// about interrupted work still open) stays for the next start.
#include "storage/outline_io.h"
#include "storage/snapshot_files.h"
#include "system/file_io.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace velmar;

class TestSessionEnd : public QObject {
    Q_OBJECT
private slots:
    void unmodifiedOutlineLeavesNothing_data();
    void unmodifiedOutlineLeavesNothing();
    void interruptedWorkSurvivesAnEndDuringTheQuestion();

private:
    static QString program()
    {
        return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../src/velmar"));
    }
    static void start(QProcess& process, const QString& home, const QStringList& arguments)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VELMAR_HOME"), home);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("VELMAR_REPORT_GEOMETRY"), QStringLiteral("1"));
        process.setProcessEnvironment(env);
        process.start(program(), arguments);
    }
    static QStringList snapshots(const QString& home)
    {
        return QDir(QDir(home).filePath(QStringLiteral("temp"))).entryList({QStringLiteral("temp*.tm*")}, QDir::Files);
    }
};

void TestSessionEnd::unmodifiedOutlineLeavesNothing_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGHUP") << int(SIGHUP);
}

void TestSessionEnd::unmodifiedOutlineLeavesNothing()
{
    QFETCH(int, signalNumber);
    if (!QFileInfo(program()).isExecutable())
        QSKIP("the velmar executable is not built beside the tests");
    QTemporaryDir dir;
    const QString home = dir.filePath(QStringLiteral("home"));
    const QString path = dir.filePath(QStringLiteral("урок.vmd"));
    Document doc;
    doc.outline.createFrame(QRect(10, 40, 200, 150), QStringLiteral("Опыты"));
    QVERIFY(writeOutlineFile(path, doc).ok);

    QProcess velmar;
    start(velmar, home, {path});
    // Shown with the outline open: its first history step is on disk.
    QByteArray shown;
    QTRY_VERIFY_WITH_TIMEOUT(
        (shown += velmar.readAllStandardOutput()).contains("canvas ") || velmar.state() == QProcess::NotRunning, 30000);
    QVERIFY(velmar.state() == QProcess::Running);
    QVERIFY(!snapshots(home).isEmpty());

    ::kill(pid_t(velmar.processId()), signalNumber);
    QVERIFY(velmar.waitForFinished(30000));
    QCOMPARE(velmar.exitStatus(), QProcess::NormalExit);
    QCOMPARE(velmar.exitCode(), 0);
    QCOMPARE(snapshots(home), QStringList());
    QCOMPARE(findInterruptedSnapshot(home), -1);
}

void TestSessionEnd::interruptedWorkSurvivesAnEndDuringTheQuestion()
{
    if (!QFileInfo(program()).isExecutable())
        QSKIP("the velmar executable is not built beside the tests");
    QTemporaryDir dir;
    const QString home = dir.filePath(QStringLiteral("home"));
    QVERIFY(QDir().mkpath(QDir(home).filePath(QStringLiteral("temp"))));
    Document doc;
    doc.outline.createFrame(QRect(10, 40, 200, 150), QStringLiteral("Опыты"));
    const QString interrupted = QDir(home).filePath(QStringLiteral("temp/temp7.tm1"));
    QVERIFY(writeOutlineFile(interrupted, doc).ok);

    QProcess velmar;
    start(velmar, home, {});
    // The question about the interrupted work comes once the history folder is taken.
    const QString lock = QDir(home).filePath(QStringLiteral("temp/velmar.lock"));
    QTRY_VERIFY_WITH_TIMEOUT(FileLock::isHeld(lock) || velmar.state() == QProcess::NotRunning, 30000);
    QVERIFY(velmar.state() == QProcess::Running);

    ::kill(pid_t(velmar.processId()), SIGTERM);
    QVERIFY(velmar.waitForFinished(30000));
    QCOMPARE(velmar.exitStatus(), QProcess::NormalExit);
    QVERIFY(QFileInfo::exists(interrupted));
    QCOMPARE(findInterruptedSnapshot(home), 7);
}

QTEST_GUILESS_MAIN(TestSessionEnd)
#include "test_session_end.moc"
