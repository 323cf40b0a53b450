// What a start-up loads: the shown main window maps none of the media framework, FFmpeg, the
// network or the printing system's libraries; they come with the first film or print. Runs the
// real program.
#include "model/document.h"
#include "storage/outline_io.h"
#include "support/avi_writer.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace velmar;

class TestStartupLibraries : public QObject {
    Q_OBJECT
private slots:
    void shownWindowLoadsNoMediaNetworkOrPrinting();
    void filmsBringTheFilmReaderOnly();

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
          "libavformat", "libavcodec", "libswscale", "velmar_film_pictures"})
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

QTEST_MAIN(TestStartupLibraries)
#include "test_startup_libraries.moc"
