#include "storage/snapshot_files.h"
#include "system/file_association.h"
#include "system/working_folders.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace velmar;

class TestWorkingFolders : public QObject {
    Q_OBJECT
private slots:
    void foldersAreCreatedAndRepaired();
    void programFolderFollowsVelmarHome();
    void dialogFoldersComeFromTheStartFolder();
    void interruptedSnapshotScan_data();
    void interruptedSnapshotScan();
    void associationFiles();
    void associationIsRewrittenOnlyWhenChanged();
    void installedPackageReplacesUserCopies();
    void execArgumentQuoting_data();
    void execArgumentQuoting();
};

void TestWorkingFolders::foldersAreCreatedAndRepaired()
{
    QTemporaryDir tmp;
    const QString home = tmp.filePath(QStringLiteral("velmar-home"));
    ensureWorkingFolders(home);
    for (const char* name : {"Picture", "temp", "Conspect", "Project", "Video"})
        QVERIFY2(QFileInfo(QDir(home).filePath(QLatin1String(name))).isDir(), name);

    // A deleted folder comes back; a folder's contents are left alone.
    QFile keep(QDir(home).filePath(QStringLiteral("Project/keep.vmd")));
    QVERIFY(keep.open(QIODevice::WriteOnly));
    keep.close();
    QVERIFY(QDir(QDir(home).filePath(QStringLiteral("temp"))).removeRecursively());
    ensureWorkingFolders(home);
    QVERIFY(QFileInfo(QDir(home).filePath(QStringLiteral("temp"))).isDir());
    QVERIFY(keep.exists());

    // A file standing where a folder should be is not overwritten (and not reported).
    QFile blocker(QDir(home).filePath(QStringLiteral("Video")));
    QVERIFY(QDir(QDir(home).filePath(QStringLiteral("Video"))).removeRecursively());
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.write("x");
    blocker.close();
    ensureWorkingFolders(home);
    QVERIFY(QFileInfo(blocker.fileName()).isFile());
}

void TestWorkingFolders::programFolderFollowsVelmarHome()
{
    QTemporaryDir tmp;
    qputenv("VELMAR_HOME", (tmp.path() + QStringLiteral("/portable/")).toLocal8Bit());
    QCOMPARE(programFolder(), tmp.path() + QStringLiteral("/portable"));
    qunsetenv("VELMAR_HOME");
    QVERIFY(programFolder().endsWith(QStringLiteral("Velmar")) || !programFolder().isEmpty());
}

void TestWorkingFolders::dialogFoldersComeFromTheStartFolder()
{
    QTemporaryDir start, home;
    QVERIFY(QDir(start.path()).mkdir(QStringLiteral("Project")));  // differs in case from "project"
    QVERIFY(QDir(start.path()).mkdir(QStringLiteral("video")));
    const DialogFolders f = dialogFolders(start.path(), home.path());
    QCOMPARE(f.outlines, QDir(start.path()).filePath(QStringLiteral("Project")));
    QCOMPARE(f.video, QDir(start.path()).filePath(QStringLiteral("video")));
    // No such subfolder in the start folder: the working folder of the program folder.
    QCOMPARE(f.pictures, QDir(home.path()).filePath(QStringLiteral("Picture")));
    QCOMPARE(f.exports, QDir(home.path()).filePath(QStringLiteral("Conspect")));
}

void TestWorkingFolders::interruptedSnapshotScan_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<int>("found");
    QTest::newRow("none") << QStringList{} << -1;
    QTest::newRow("highest of two") << QStringList{"temp3.tm1", "temp7.tm1"} << 7;
    QTest::newRow("step 0") << QStringList{"temp0.tm1"} << 0;
    QTest::newRow("step 1000") << QStringList{"temp1000.tm1", "temp999.tm1"} << 1000;
    QTest::newRow("beyond the scan") << QStringList{"temp1001.tm1"} << -1;
    QTest::newRow("beyond and within") << QStringList{"temp1001.tm1", "temp2.tm1"} << 2;
    QTest::newRow("header snapshots only") << QStringList{"temp5.tm2", "temp9.tm2"} << -1;
    QTest::newRow("names the history never writes")
        << QStringList{"temp07.tm1", "tempx.tm1", "temp-1.tm1", "temp5.tm1.bak"} << -1;
}

void TestWorkingFolders::interruptedSnapshotScan()
{
    QFETCH(QStringList, files);
    QFETCH(int, found);
    QTemporaryDir home;
    ensureWorkingFolders(home.path());
    for (const QString& name : files) {
        QFile f(QDir(home.path()).filePath(QStringLiteral("temp/") + name));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QCOMPARE(findInterruptedSnapshot(home.path()), found);
    if (found >= 0)
        QVERIFY(QFileInfo::exists(fullSnapshotPath(home.path(), found)));
}

void TestWorkingFolders::associationFiles()
{
    QTemporaryDir data;
    const QString program = QStringLiteral("/opt/Velmar 4/velmar");
    const AssociationResult result = registerFileTypes(program, data.path(), QByteArray("PNG"), false);
    QVERIFY(result.ok);
    QVERIFY(result.changed);
    const AssociationFiles files = velmar::associationFiles(data.path());

    QFile mime(files.mimePackage);
    QVERIFY(mime.open(QIODevice::ReadOnly));
    const QString xml = QString::fromUtf8(mime.readAll());
    QVERIFY(xml.contains(QStringLiteral("<glob pattern=\"*.vmd\"/>")));
    QVERIFY(xml.contains(QStringLiteral("<glob pattern=\"*.vmc\"/>")));
    QVERIFY(xml.contains(QStringLiteral("Логический конспект &quot;.vmd&quot;")));
    QVERIFY(xml.contains(QStringLiteral("Логический конспект старый формат &quot;.vmc&quot;")));

    QFile desktop(files.desktopEntry);
    QVERIFY(desktop.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(desktop.readAll()).split(QLatin1Char('\n'));
    QVERIFY(lines.contains(QStringLiteral("Exec=\"/opt/Velmar 4/velmar\" %f")));
    QVERIFY(lines.contains(QStringLiteral("MimeType=application/x-velmar-outline;application/x-velmar-outline-old;")));
    QVERIFY(QFileInfo::exists(files.icon));
}

void TestWorkingFolders::associationIsRewrittenOnlyWhenChanged()
{
    QTemporaryDir data;
    QVERIFY(registerFileTypes(QStringLiteral("/usr/bin/velmar"), data.path(), {}, false).changed);
    const AssociationFiles files = velmar::associationFiles(data.path());
    const QDateTime written = QFileInfo(files.desktopEntry).lastModified();

    const AssociationResult again = registerFileTypes(QStringLiteral("/usr/bin/velmar"), data.path(), {}, false);
    QVERIFY(again.ok);
    QVERIFY(!again.changed);
    QCOMPARE(QFileInfo(files.desktopEntry).lastModified(), written);

    // The program moved: the entry follows it.
    QVERIFY(registerFileTypes(QStringLiteral("/home/u/bin/velmar"), data.path(), {}, false).changed);
    QFile desktop(files.desktopEntry);
    QVERIFY(desktop.open(QIODevice::ReadOnly));
    QVERIFY(desktop.readAll().contains("Exec=\"/home/u/bin/velmar\" %f"));

    // An unwritable data folder is reported as a failure, not as success.
    QFile blocker(data.filePath(QStringLiteral("blocked")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QVERIFY(!registerFileTypes(QStringLiteral("/usr/bin/velmar"), blocker.fileName(), {}, false).ok);
}

void TestWorkingFolders::installedPackageReplacesUserCopies()
{
    QTemporaryDir data, system;
    QVERIFY(registerFileTypes(QStringLiteral("/usr/bin/velmar"), data.path(), QByteArray("PNG"), false).ok);
    const AssociationFiles files = velmar::associationFiles(data.path());
    const QDir sys(system.path());
    const auto put = [&](const QString& relative) {
        QVERIFY(sys.mkpath(QFileInfo(relative).path()));
        QFile f(sys.filePath(relative));
        QVERIFY(f.open(QIODevice::WriteOnly));
    };
    // The desktop entry alone is not an installation (a half-removed package, another program).
    put(QStringLiteral("applications/") + QLatin1String(kInstalledDesktopEntry));
    QVERIFY(!installedSystemWide({QStringLiteral("/nonexistent"), system.path()}));
    put(QStringLiteral("mime/packages/velmar.xml"));
    QVERIFY(installedSystemWide({QStringLiteral("/nonexistent"), system.path()}));

    QVERIFY(removeUserRegistration(data.path(), false));
    for (const QString& f : {files.mimePackage, files.desktopEntry, files.icon})
        QVERIFY2(!QFileInfo::exists(f), qPrintable(f));
    QVERIFY(!removeUserRegistration(data.path(), false));  // nothing left to remove
}

void TestWorkingFolders::execArgumentQuoting_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("quoted");
    QTest::newRow("plain") << "/usr/bin/velmar"
                           << "\"/usr/bin/velmar\"";
    QTest::newRow("blank") << "/opt/my apps/velmar"
                           << "\"/opt/my apps/velmar\"";
    QTest::newRow("dollar and quote") << "/opt/a$b\"c/velmar"
                                      << "\"/opt/a\\\\$b\\\\\"c/velmar\"";
    QTest::newRow("backslash") << "/opt/a\\b/velmar"
                               << "\"/opt/a\\\\\\\\b/velmar\"";
}

void TestWorkingFolders::execArgumentQuoting()
{
    QFETCH(QString, path);
    QFETCH(QString, quoted);
    QCOMPARE(quoteExecArgument(path), quoted);
}

QTEST_GUILESS_MAIN(TestWorkingFolders)
#include "test_working_folders.moc"
