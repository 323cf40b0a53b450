// What a start-up loads: the shown main window maps none of the media framework, FFmpeg, the
// network, the printing system's, the zip or the spelling libraries; they come with the first
// film, print, slide deck or dictionary. And how the `velmar` command starts the program. Runs
// the real program.
#include "model/document.h"
#include "storage/outline_io.h"
#include "support/avi_writer.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace velmar;

class TestStartupLibraries : public QObject {
    Q_OBJECT
private slots:
    void shownWindowLoadsNoMediaNetworkOrPrinting();
    void filmsBringTheFilmReaderOnly();
    void slideDecksAreZippedByTheirModule();
    void theCommandStartsTheProgramWithItsHeapSetting_data();
    void theCommandStartsTheProgramWithItsHeapSetting();

private:
    // The libraries the window had loaded when it quit (with "films", once its films were read).
    QStringList librariesOfWindow(const QStringList& arguments, const QByteArray& quitWhen);
    QTemporaryDir m_home;
};

namespace {

// The program as the suite runs it (VELMAR_BIN), else the one beside this test in its build tree.
QString velmarProgram()
{
    const QString named = qEnvironmentVariable("VELMAR_BIN");
    return named.isEmpty() ? QCoreApplication::applicationDirPath() + QStringLiteral("/../src/velmar") : named;
}

}  // namespace

QStringList TestStartupLibraries::librariesOfWindow(const QStringList& arguments, const QByteArray& quitWhen)
{
    QProcess velmar;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("VELMAR_QUIT_WHEN_SHOWN"), QString::fromLatin1(quitWhen));
    env.insert(QStringLiteral("VELMAR_REPORT_LIBRARIES"), QStringLiteral("1"));
    env.insert(QStringLiteral("VELMAR_HOME"), m_home.filePath(QStringLiteral("home")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), m_home.filePath(QStringLiteral("data")));
    velmar.setProcessEnvironment(env);
    velmar.start(velmarProgram(), arguments);
    if (!velmar.waitForFinished(60000) || velmar.exitCode() != 0)
        return {};
    QStringList libraries;
    for (const QByteArray& line : velmar.readAllStandardError().split('\n'))
        if (line.startsWith("library: "))
            libraries << QString::fromLocal8Bit(line.mid(9));
    return libraries;
}

void TestStartupLibraries::shownWindowLoadsNoMediaNetworkOrPrinting()
{
    const QStringList libraries = librariesOfWindow({}, "1");
    // The window itself needs Qt's widgets: the list is real, not empty by accident.
    QVERIFY(!libraries.filter(QStringLiteral("libQt6Widgets")).isEmpty());
    for (const char* unwanted :
         {"libQt6Multimedia", "libQt6Network", "libpulse", "libgstreamer", "libcups", "libgnutls", "velmar_media",
          "libavformat", "libavcodec", "libswscale", "velmar_film_pictures", "libzip", "libcrypto", "velmar_zip",
          "libhunspell", "velmar_spelling", "libQt6PrintSupport", "velmar_print"})
        QVERIFY2(libraries.filter(QLatin1String(unwanted)).isEmpty(),
                 qPrintable(QStringLiteral("%1 is loaded at start").arg(QLatin1String(unwanted))));
}

void TestStartupLibraries::filmsBringTheFilmReaderOnly()
{
    // An outline with a film: its first picture is read with FFmpeg, which is loaded for it, and
    // still no media framework, which only playing a film needs.
    const QString film = m_home.filePath(QStringLiteral("film.avi"));
    QVERIFY(avi::writeAvi(film, avi::colourFrames({Qt::red, Qt::blue}, 32, 24), 10, avi::Codec::Mjpeg));
    Document doc;
    const int slot = doc.outline.createVideo(QRect(20, 40, 120, 90), 0);
    doc.outline.video(slot).fileName = film;
    const QString outline = m_home.filePath(QStringLiteral("film.vmd"));
    QVERIFY(writeOutlineFile(outline, doc).ok);

    const QStringList libraries = librariesOfWindow({outline}, "films");
    QVERIFY(!libraries.filter(QStringLiteral("velmar_film_pictures")).isEmpty());
    QVERIFY(!libraries.filter(QStringLiteral("libavformat")).isEmpty());
    for (const char* unwanted : {"libQt6Multimedia", "libgstreamer", "velmar_media"})
        QVERIFY2(libraries.filter(QLatin1String(unwanted)).isEmpty(),
                 qPrintable(QStringLiteral("%1 is loaded for a film's first picture").arg(QLatin1String(unwanted))));
}

void TestStartupLibraries::slideDecksAreZippedByTheirModule()
{
    Document doc;
    doc.outline.createFrame(QRect(20, 40, 200, 120), 0);
    const QString outline = m_home.filePath(QStringLiteral("deck.vmd"));
    QVERIFY(writeOutlineFile(outline, doc).ok);
    const auto exportDeck = [&](const QString& deck, const QString& module, QByteArray* errors) {
        QProcess velmar;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VELMAR_HOME"), m_home.filePath(QStringLiteral("home")));
        if (!module.isEmpty())
            env.insert(QStringLiteral("VELMAR_ZIP_MODULE"), module);
        velmar.setProcessEnvironment(env);
        velmar.start(velmarProgram(), {QStringLiteral("--export"), deck, outline});
        if (!velmar.waitForFinished(60000))
            return -1;
        *errors = velmar.readAllStandardError();
        return velmar.exitCode();
    };

    // The module found beside the program writes a zip archive.
    QByteArray errors;
    const QString deck = m_home.filePath(QStringLiteral("deck.pptx"));
    QCOMPARE(exportDeck(deck, QString(), &errors), 0);
    QFile written(deck);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.read(4), QByteArray("PK\x03\x04"));

    // Without it the deck is refused with the reason, and nothing is written.
    const QString refused = m_home.filePath(QStringLiteral("refused.odp"));
    QCOMPARE(exportDeck(refused, m_home.filePath(QStringLiteral("no-such-module.so")), &errors), 1);
    QVERIFY2(QString::fromLocal8Bit(errors).contains(QStringLiteral("модуль архивов zip не найден")),
             errors.constData());
    QVERIFY(!QFileInfo::exists(refused));
}

void TestStartupLibraries::theCommandStartsTheProgramWithItsHeapSetting_data()
{
    QTest::addColumn<QString>("given");
    QTest::addColumn<bool>("largePages");
    QTest::newRow("another setting of the user's") << QStringLiteral("glibc.malloc.arena_max=4") << true;
    QTest::newRow("the user's own value") << QStringLiteral("glibc.malloc.hugetlb=0") << false;
}

void TestStartupLibraries::theCommandStartsTheProgramWithItsHeapSetting()
{
    QFETCH(QString, given);
    QFETCH(bool, largePages);
    const QString command = QFileInfo(velmarProgram()).canonicalFilePath();
    const QString data = m_home.filePath(QStringLiteral("data-%1").arg(largePages));
    QProcess velmar;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("VELMAR_REPORT_GEOMETRY"), QStringLiteral("1"));
    env.insert(QStringLiteral("VELMAR_HOME"), m_home.filePath(QStringLiteral("home")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), data);
    env.insert(QStringLiteral("GLIBC_TUNABLES"), given);
    env.remove(QStringLiteral("VELMAR_LAUNCHER"));
    velmar.setProcessEnvironment(env);
    velmar.start(command, {});
    QByteArray shown;
    QTRY_VERIFY_WITH_TIMEOUT(
        (shown += velmar.readAllStandardOutput()).contains("canvas ") || velmar.state() == QProcess::NotRunning, 30000);
    QVERIFY(velmar.state() == QProcess::Running);

    // The shown window is the program, in the process the command was started as.
    const QString process = QStringLiteral("/proc/%1/").arg(velmar.processId());
    const QString running = QFileInfo(process + QStringLiteral("exe")).canonicalFilePath();
    QVERIFY2(running.endsWith(QStringLiteral("/velmar")) && running != command, qPrintable(running));
    // Where the kernel leaves huge pages to the program's advice, the heap has asked for them
    // (the flag "hg"), unless the user's own setting says otherwise. A sanitizer's allocator
    // replaces glibc's, and with it the setting.
#if defined(__SANITIZE_ADDRESS__)
    const bool glibcAllocates = false;
#else
    const bool glibcAllocates = true;
#endif
    QFile thp(QStringLiteral("/sys/kernel/mm/transparent_hugepage/enabled"));
    if (glibcAllocates && thp.open(QIODevice::ReadOnly) && thp.readAll().contains("[madvise]")) {
        QFile maps(process + QStringLiteral("smaps"));
        QVERIFY(maps.open(QIODevice::ReadOnly));
        bool advised = false;
        for (const QByteArray& line : maps.readAll().split('\n'))
            advised = advised || (line.startsWith("VmFlags:") && line.contains(" hg"));
        QCOMPARE(advised, largePages);
    }

    // Files of outlines are opened through the command, not the program behind it.
    QFile entry(data + QStringLiteral("/applications/velmar.desktop"));
    QVERIFY(entry.open(QIODevice::ReadOnly));
    const QString exec = QString::fromUtf8(entry.readAll()).section(QStringLiteral("\nExec="), 1).section(u'\n', 0, 0);
    QVERIFY2(exec.contains(command) && !exec.contains(running), qPrintable(exec));

    ::kill(pid_t(velmar.processId()), SIGTERM);
    QVERIFY(velmar.waitForFinished(30000));
    QCOMPARE(velmar.exitCode(), 0);
}

QTEST_MAIN(TestStartupLibraries)
#include "test_startup_libraries.moc"
