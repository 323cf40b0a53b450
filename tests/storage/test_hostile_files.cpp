// Files that are not what they seem: links planted in the working folders, devices and FIFOs
// where files belong, folders others may write into, and document texts full of control
// characters. Nothing may be written through a link, read without a bound, or shown raw.
#include "model/visible_text.h"
#include "storage/history.h"
#include "storage/outline_io.h"
#include "storage/snapshot_files.h"
#include "system/file_io.h"
#include "system/working_folders.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace velmar;

class TestHostileFiles : public QObject {
    Q_OBJECT
private slots:
    void onlyRegularFilesAreRead();
    void historyNeverWritesThroughLinks();
    void historyWhereTempTakesNoFolder();
    void plantedSnapshotsAreReadWithinBounds();
    void sharedWorkingFoldersAreRefused();
    void controlCharactersAreShownOrDropped_data();
    void controlCharactersAreShownOrDropped();
};

namespace {

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool link(const QString& target, const QString& path) { return QFile::link(target, path); }

}  // namespace

void TestHostileFiles::onlyRegularFilesAreRead()
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString zero = dir.filePath(QStringLiteral("zero"));
    QVERIFY(link(QStringLiteral("/dev/zero"), zero));
    const QString exact = dir.filePath(QStringLiteral("exact"));
    QVERIFY(writeBytes(exact, QByteArray(100, 'x')));

    QElapsedTimer timer;
    timer.start();
    QString problem;
    // A FIFO without a writer would block an ordinary open for ever; a device reports size 0
    // and never ends. Both are refused without a byte read, also through a link.
    for (const QString& path : {fifo, zero, QStringLiteral("/dev/zero"), dir.path()}) {
        QVERIFY(!readRegularFile(path, 1000, &problem));
        QVERIFY2(problem.contains(QStringLiteral("не обычный файл")) || problem == QStringLiteral("это папка"),
                 qPrintable(problem));
        QVERIFY(!readRegularFileStart(path, 10, &problem));
    }
    QVERIFY(!readRegularFile(dir.filePath(QStringLiteral("missing")), 10, &problem));
    QCOMPARE(problem, QStringLiteral("файл не найден"));
    // The limit is exact: a file of the limit is read, one byte more is too large.
    QCOMPARE(readRegularFile(exact, 100, &problem).value_or(QByteArray()).size(), 100);
    QVERIFY(!readRegularFile(exact, 99, &problem));
    QVERIFY2(problem.contains(QStringLiteral("слишком велик")), qPrintable(problem));
    QCOMPARE(readRegularFileStart(exact, 10, &problem).value_or(QByteArray()), QByteArray(10, 'x'));

    // Outlines and snapshots go through the same door.
    for (const QString& path : {fifo, zero}) {
        const LoadResult loaded = readOutlineFile(path, QSize());
        QVERIFY(!loaded.ok);
        QVERIFY2(loaded.message.contains(QStringLiteral("не обычный файл")), qPrintable(loaded.message));
    }
    QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
}

void TestHostileFiles::historyWhereTempTakesNoFolder()
{
    // "temp" is a file: nothing can be made in it (as in a read-only folder, which the owner of
    // the machine's tests can write all the same).
    QTemporaryDir home, elsewhere;
    QVERIFY(writeBytes(QDir(home.path()).filePath(QStringLiteral("temp")), "not a folder"));
    const QByteArray savedTmp = qgetenv("TMPDIR");
    Document doc;
    doc.outline.setClientSize(QSize(600, 400));

    // The history goes to a private folder of the system's temporary folder, named unpredictably.
    qputenv("TMPDIR", QFile::encodeName(elsewhere.path()));
    {
        HistoryFolder folder(home.path());
        const QString name = QFileInfo(folder.path()).fileName();
        QCOMPARE(QFileInfo(folder.path()).absolutePath(), QFileInfo(elsewhere.path()).absoluteFilePath());
        QVERIFY2(QRegularExpression(QStringLiteral("^velmar-history-\\w{6}$")).match(name).hasMatch(),
                 qPrintable(name));
        QVERIFY(QFileInfo(folder.path()).isDir());
        doc.history.folder = folder.path();
        QVERIFY(startHistory(doc).ok);
        QVERIFY(QFile::exists(snapshotPathIn(folder.path(), 0, true)));
    }

    // Nowhere to write: each step says why, not that a folder is missing.
    qputenv("TMPDIR", QFile::encodeName(QDir(home.path()).filePath(QStringLiteral("temp"))));
    {
        HistoryFolder folder(home.path());
        doc.history.folder = folder.path();
        const HistoryResult result = startHistory(doc);
        QVERIFY(!result.ok);
        QVERIFY2(result.message.contains(QStringLiteral("Не удалось создать папку истории"))
                     && result.message.contains(QStringLiteral("через файл")),
                 qPrintable(result.message));
        QVERIFY2(!result.message.contains(QStringLiteral("не найдена")), qPrintable(result.message));
    }
    if (savedTmp.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", savedTmp);
}

void TestHostileFiles::historyNeverWritesThroughLinks()
{
    QTemporaryDir home, outside;
    const QString temp = QDir(home.path()).filePath(QStringLiteral("temp"));
    QVERIFY(QDir().mkpath(temp));
    // Victims outside the working folder, and links to them where the history writes.
    QStringList victims;
    for (const QString& name :
         {QStringLiteral("lock"), QStringLiteral("tm2-1"), QStringLiteral("tm2-2"), QStringLiteral("tm1-3")}) {
        victims << outside.filePath(name);
        QVERIFY(writeBytes(victims.last(), "victim " + name.toUtf8()));
    }
    QVERIFY(link(victims[0], QDir(temp).filePath(QStringLiteral("velmar.lock"))));

    // A lock file that is a link cannot be taken: the history moves to a private folder, whose
    // name nobody can guess beforehand.
    FileLock lock;
    QVERIFY(!lock.tryLock(QDir(temp).filePath(QStringLiteral("velmar.lock"))));
    {
        HistoryFolder first(home.path());
        QVERIFY(!first.isShared());
        const QString name = QFileInfo(first.path()).fileName();
        QVERIFY2(QRegularExpression(QStringLiteral("^instance-[0-9a-f]{16}$")).match(name).hasMatch(),
                 qPrintable(name));
        QVERIFY(name != QStringLiteral("instance-%1").arg(QCoreApplication::applicationPid()));
        QCOMPARE(QFileInfo(first.path()).permissions() & (QFile::ReadOther | QFile::WriteOther | QFile::WriteGroup),
                 QFileDevice::Permissions());
        HistoryFolder second(home.path());
        QVERIFY(second.path() != first.path());
    }

    // Steps written where links were planted replace the links, never their targets.
    Document doc;
    doc.history.programFolder = home.path();
    doc.history.folder = temp;
    doc.outline.setClientSize(QSize(600, 400));
    doc.outline.createFrame(QRect(10, 10, 200, 150), QStringLiteral("Фрейм"));
    QVERIFY(startHistory(doc).ok);
    QVERIFY(link(victims[1], snapshotPathIn(temp, 1, false)));
    QVERIFY(link(victims[2], snapshotPathIn(temp, 2, false)));
    QVERIFY(link(victims[3], snapshotPathIn(temp, 3, true)));
    for (const bool full : {false, false, true}) {
        doc.outline.frame(1).bounds.translate(10, 10);
        const HistoryResult r = recordStep(doc, full ? StepKind::Full : StepKind::HeaderOnly);
        QVERIFY2(r.ok, qPrintable(r.message));
    }
    for (int k = 0; k < victims.size(); ++k)
        QCOMPARE(contents(victims[k]), QByteArray("victim ") + QFileInfo(victims[k]).fileName().toUtf8());
    for (const auto& [step, full] : {std::pair{1, false}, std::pair{2, false}, std::pair{3, true}}) {
        const QFileInfo written(snapshotPathIn(temp, step, full));
        QVERIFY2(written.isFile() && !written.isSymLink(), qPrintable(written.filePath()));
    }
    releaseHistoryFolder(home.path());
}

void TestHostileFiles::plantedSnapshotsAreReadWithinBounds()
{
    // Recovery replays the header snapshots after the complete one: a planted device or FIFO
    // among them ends the replay instead of filling memory or waiting for ever.
    QTemporaryDir home;
    const QString temp = QDir(home.path()).filePath(QStringLiteral("temp"));
    Document doc;
    doc.history.programFolder = home.path();
    doc.history.folder = temp;
    doc.outline.setClientSize(QSize(600, 400));
    doc.outline.createFrame(QRect(10, 10, 200, 150), QStringLiteral("Фрейм"));
    QVERIFY(startHistory(doc).ok);
    doc.outline.frame(1).bounds.moveTo(50, 60);
    QVERIFY(recordStep(doc, StepKind::HeaderOnly).ok);  // step 1, a header snapshot
    QVERIFY(link(QStringLiteral("/dev/zero"), snapshotPathIn(temp, 2, false)));
    QElapsedTimer timer;
    timer.start();
    LoadResult loaded = readOutlineFile(snapshotPathIn(temp, 0, true), QSize());
    QVERIFY(loaded.ok);
    QCOMPARE(applyLaterSteps(loaded, temp, 0), 1);
    QCOMPARE(loaded.outline.frame(1).bounds.topLeft(), QPoint(50, 60));
    QVERIFY(QFile::remove(snapshotPathIn(temp, 2, false)));
    QCOMPARE(::mkfifo(QFile::encodeName(snapshotPathIn(temp, 2, false)).constData(), 0600), 0);
    QCOMPARE(applyLaterSteps(loaded, temp, 0), 1);
    QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
    releaseHistoryFolder(home.path());
}

void TestHostileFiles::sharedWorkingFoldersAreRefused()
{
    QTemporaryDir home;
    ensureWorkingFolders(home.path());
    const QByteArray temp = QFile::encodeName(QDir(home.path()).filePath(QStringLiteral("temp")));
    const QByteArray top = QFile::encodeName(home.path());
    QCOMPARE(::chmod(top.constData(), 0700), 0);
    QCOMPARE(unsafeWorkingFolder(home.path()), QString());
    // Writable by everybody (a shared or portable folder): refused, with the way out.
    QCOMPARE(::chmod(temp.constData(), 01777), 0);
    QString refusal = unsafeWorkingFolder(home.path());
    QVERIFY2(refusal.contains(QStringLiteral("открыта для записи")) && refusal.contains(QStringLiteral("VELMAR_HOME")),
             qPrintable(refusal));
    QCOMPARE(::chmod(temp.constData(), 0700), 0);
    // Group-writable is fine with the user's own group only.
    QCOMPARE(::chmod(top.constData(), 0770), 0);
    QCOMPARE(::chown(top.constData(), uid_t(-1), ::getegid()), 0);
    QCOMPARE(unsafeWorkingFolder(home.path()), QString());
    QCOMPARE(::chmod(top.constData(), 0700), 0);
    // Owned by someone else (only root can give a folder away).
    if (::geteuid() == 0) {
        const passwd* nobody = ::getpwnam("nobody");
        QVERIFY(nobody);
        QCOMPARE(::chown(top.constData(), nobody->pw_uid, uid_t(-1)), 0);
        refusal = unsafeWorkingFolder(home.path());
        QVERIFY2(refusal.contains(QStringLiteral("другому пользователю")), qPrintable(refusal));
        QCOMPARE(::chown(top.constData(), 0, uid_t(-1)), 0);
    }
}

void TestHostileFiles::controlCharactersAreShownOrDropped_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");      // a one-line name or title
    QTest::addColumn<QString>("shownKept");  // a multi-line text
    QTest::addColumn<QString>("terminal");   // --summary
    QTest::newRow("terminal controls") << QStringLiteral("a\tb\r\nc") + QChar(0x1B) + QStringLiteral("[2J")
                                              + QChar(0x07) + QChar(u'\0') + QChar(0x7F) + QChar(0x85)
                                              + QStringLiteral("ъ")
                                       << QStringLiteral("a␉b␍␊c␛[2J␇␀␡\\u0085ъ")
                                       << QStringLiteral("a\tb\r\nc␛[2J␇␀␡\\u0085ъ") << QStringLiteral("a\tb\r\nc[2Jъ");
    // Bidirectional overrides and isolates turn what a terminal shows around: "txt.exe" stored,
    // "exe.txt" read.
    QTest::newRow("bidi overrides and isolates")
        << QStringLiteral("a") + QChar(0x202E) + QStringLiteral("exe.txt") + QChar(0x202C) + QChar(0x2067)
               + QStringLiteral("b") + QChar(0x2069)
        << QStringLiteral("a\\u202Eexe.txt\\u202C\\u2067b\\u2069")
        << QStringLiteral("a\\u202Eexe.txt\\u202C\\u2067b\\u2069") << QStringLiteral("aexe.txtb");
    // Characters of no width make two names look the same: they are shown, and harmless on a
    // terminal, where they stay.
    const QString invisible =
        QStringLiteral("Урок") + QChar(0x200B) + QStringLiteral("1") + QChar(0x200F) + QChar(0xFEFF) + QChar(0x2060);
    QTest::newRow("zero width") << invisible << QStringLiteral("Урок\\u200B1\\u200F\\uFEFF\\u2060")
                                << QStringLiteral("Урок\\u200B1\\u200F\\uFEFF\\u2060") << invisible;
    const QString plain = QStringLiteral("Обычный текст <b> «ё» ∑ 😀");
    QTest::newRow("plain") << plain << plain << plain << plain;
}

void TestHostileFiles::controlCharactersAreShownOrDropped()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QFETCH(QString, shownKept);
    QFETCH(QString, terminal);
    QCOMPARE(visibleText(text), shown);
    QCOMPARE(visibleText(text, LineBreaks::Keep), shownKept);
    QCOMPARE(withoutControlCharacters(text), terminal);
}

QTEST_GUILESS_MAIN(TestHostileFiles)
#include "test_hostile_files.moc"
