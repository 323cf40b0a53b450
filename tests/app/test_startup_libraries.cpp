// What a start-up loads: the shown main window maps none of the media framework, the network or
// the printing system's libraries; they come with the first film or print. Runs the real program.
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestStartupLibraries : public QObject {
    Q_OBJECT
private slots:
    void shownWindowLoadsNoMediaNetworkOrPrinting();
};

void TestStartupLibraries::shownWindowLoadsNoMediaNetworkOrPrinting()
{
    QTemporaryDir home;
    QProcess velmar;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("VELMAR_QUIT_WHEN_SHOWN"), QStringLiteral("1"));
    env.insert(QStringLiteral("VELMAR_REPORT_LIBRARIES"), QStringLiteral("1"));
    env.insert(QStringLiteral("VELMAR_HOME"), home.filePath(QStringLiteral("home")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    velmar.setProcessEnvironment(env);
    velmar.start(QStringLiteral(VELMAR_EXECUTABLE), {});
    QVERIFY(velmar.waitForFinished(60000));
    QCOMPARE(velmar.exitCode(), 0);
    QStringList libraries;
    for (const QByteArray& line : velmar.readAllStandardError().split('\n'))
        if (line.startsWith("library: "))
            libraries << QString::fromLocal8Bit(line.mid(9));
    // The window itself needs Qt's widgets: the list is real, not empty by accident.
    QVERIFY(!libraries.filter(QStringLiteral("libQt6Widgets")).isEmpty());
    for (const char* unwanted : {"libQt6Multimedia", "libQt6Network", "libpulse", "libgstreamer", "libcups",
                                 "libgnutls", "velmar_media"})
        QVERIFY2(libraries.filter(QLatin1String(unwanted)).isEmpty(),
                 qPrintable(QStringLiteral("%1 is loaded at start").arg(QLatin1String(unwanted))));
}

QTEST_MAIN(TestStartupLibraries)
#include "test_startup_libraries.moc"
