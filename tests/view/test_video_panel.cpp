// The video panel's player: real decoding of AVI files through Qt Multimedia, the first picture
// paused after opening, play/pause/stop, the player bar, the display rectangle and failures.
#include "canvas/video_panel_widget.h"
#include "support/avi_writer.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace velmar;

class TestVideoPanel : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void opensOnTheFirstPicturePaused_data();
    void opensOnTheFirstPicturePaused();
    void pauseResumeAndStop();
    void unopenableFiles_data();
    void unopenableFiles();
    void filmCoversThePanelBelowTheBar();
    void playerBarButtons();
    void otherDisplayAndBack();

private:
    QString film(const QString& name, const QList<QColor>& colours, int fps,
                 avi::Codec codec = avi::Codec::Uncompressed, QSize size = QSize(64, 48));
    QTemporaryDir m_dir;
};

namespace {

constexpr int kWait = 15000;

bool near(QColor a, QColor b, int tolerance = 40)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance
        && qAbs(a.blue() - b.blue()) <= tolerance;
}

QList<QColor> alternating(int count)
{
    QList<QColor> colours;
    for (int i = 0; i < count; ++i)
        colours << (i == 0 ? QColor(Qt::red) : i % 2 ? QColor(Qt::green) : QColor(Qt::blue));
    return colours;
}

QColor centreOf(const QImage& image)
{
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

VideoObject videoAt(const QRect& bounds, const QString& fileName = QString())
{
    VideoObject v;
    v.bounds = bounds;
    v.fileName = fileName;
    return v;
}

}  // namespace

QString TestVideoPanel::film(const QString& name, const QList<QColor>& colours, int fps, avi::Codec codec, QSize size)
{
    const QString path = m_dir.filePath(name);
    if (!QFile::exists(path) && !avi::writeAvi(path, avi::colourFrames(colours, size.width(), size.height()), fps, codec))
        return {};
    return path;
}

void TestVideoPanel::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

void TestVideoPanel::opensOnTheFirstPicturePaused_data()
{
    QTest::addColumn<QString>("codec");
    // Films written here, and films in the codecs of other programs when ffmpeg is at hand.
    QTest::newRow("uncompressed") << "raw";
    QTest::newRow("MJPEG") << "mjpeg";
    QTest::newRow("MPEG-4 Part 2 (Xvid)") << "mpeg4";
    QTest::newRow("MS Video-1") << "msvideo1";
    QTest::newRow("Cinepak") << "cinepak";
    QTest::newRow("DV") << "dvvideo";
}

void TestVideoPanel::opensOnTheFirstPicturePaused()
{
    QFETCH(QString, codec);
    QString path;
    if (codec == QLatin1String("raw") || codec == QLatin1String("mjpeg")) {
        path = film(codec + QStringLiteral(".avi"), alternating(6), 10,
                    codec == QLatin1String("raw") ? avi::Codec::Uncompressed : avi::Codec::Mjpeg);
    } else {
        const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
        if (ffmpeg.isEmpty())
            QSKIP("ffmpeg is not installed: films in other programs' codecs cannot be made");
        path = m_dir.filePath(codec + QStringLiteral(".avi"));
        const bool dv = codec == QLatin1String("dvvideo");
        // A red second, then a blue one.
        QStringList args{QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-y"),
                         QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                         QStringLiteral("color=c=red:s=%1:r=%2:d=1,format=yuv420p").arg(dv ? "720x576" : "160x120", dv ? "25" : "10"),
                         QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                         QStringLiteral("color=c=blue:s=%1:r=%2:d=1,format=yuv420p").arg(dv ? "720x576" : "160x120", dv ? "25" : "10"),
                         QStringLiteral("-filter_complex"), QStringLiteral("[0][1]concat=n=2:v=1"),
                         QStringLiteral("-c:v"), codec};
        if (codec == QLatin1String("mpeg4"))
            args << QStringLiteral("-vtag") << QStringLiteral("XVID");
        if (codec == QLatin1String("msvideo1"))
            args << QStringLiteral("-pix_fmt") << QStringLiteral("rgb555le");
        args << path;
        QCOMPARE(QProcess::execute(ffmpeg, args), 0);
    }
    QVERIFY(!path.isEmpty());

    VideoPanelWidget panel(nullptr);
    panel.apply(videoAt(QRect(0, 0, 150, 150), path));
    QVERIFY(panel.waitForOpening(kWait));
    QCOMPARE(panel.openState(), VideoPanelWidget::OpenState::Open);
    QCOMPARE(panel.fileName(), path);
    QCOMPARE(panel.playbackState(), FilmPlayer::State::Paused);
    // The first picture arrives through the video sink, decoded, and stays: the film is paused.
    QTRY_VERIFY_WITH_TIMEOUT(!panel.picture().isNull(), kWait);
    QVERIFY2(near(centreOf(panel.picture()), Qt::red), qPrintable(centreOf(panel.picture()).name()));
    QTest::qWait(400);
    QVERIFY(near(centreOf(panel.picture()), Qt::red));
    QCOMPARE(panel.playbackState(), FilmPlayer::State::Paused);
    QCOMPARE(panel.displayRect(), QRect(0, 0, 150, 150));

    // The same name again changes nothing; the model's empty name closes the player.
    const int frames = panel.framesReceived();
    panel.apply(videoAt(QRect(0, 0, 150, 150), path));
    QCOMPARE(panel.openState(), VideoPanelWidget::OpenState::Open);
    QCOMPARE(panel.framesReceived(), frames);
    panel.apply(videoAt(QRect(0, 0, 150, 150)));
    QCOMPARE(panel.openState(), VideoPanelWidget::OpenState::Closed);
    QVERIFY(panel.picture().isNull());
}

void TestVideoPanel::pauseResumeAndStop()
{
    const QString path = film(QStringLiteral("long.avi"), alternating(40), 10);
    VideoPanelWidget panel(nullptr);
    panel.apply(videoAt(QRect(0, 0, 80, 60), path));
    QVERIFY(panel.waitForOpening(kWait));
    QTRY_VERIFY_WITH_TIMEOUT(panel.framesReceived() > 0, kWait);

    // Paused after opening: "pause" resumes, and the film moves on.
    panel.togglePause();
    QTRY_COMPARE_WITH_TIMEOUT(panel.playbackState(), FilmPlayer::State::Playing, kWait);
    const int before = panel.framesReceived();
    QTRY_VERIFY_WITH_TIMEOUT(panel.framesReceived() >= before + 3, kWait);
    QTRY_VERIFY_WITH_TIMEOUT(panel.position() > 0, kWait);

    panel.togglePause();
    QCOMPARE(panel.playbackState(), FilmPlayer::State::Paused);
    QTest::qWait(300);
    const int paused = panel.framesReceived();
    const qint64 at = panel.position();
    QTest::qWait(400);
    QVERIFY(panel.framesReceived() <= paused + 1);
    QCOMPARE(panel.position(), at);

    // Stopped: back at the start, showing the film's first picture, and "pause" neither plays
    // nor pauses it.
    QVERIFY(!near(centreOf(panel.picture()), Qt::red));
    panel.stop();
    QCOMPARE(panel.playbackState(), FilmPlayer::State::Stopped);
    QTRY_COMPARE_WITH_TIMEOUT(panel.position(), qint64(0), kWait);
    QVERIFY2(near(centreOf(panel.picture()), Qt::red), qPrintable(centreOf(panel.picture()).name()));
    QTest::qWait(300);
    QVERIFY2(near(centreOf(panel.picture()), Qt::red), qPrintable(centreOf(panel.picture()).name()));
    panel.togglePause();
    QCOMPARE(panel.playbackState(), FilmPlayer::State::Stopped);
    QTest::qWait(300);
    QCOMPARE(panel.playbackState(), FilmPlayer::State::Stopped);

    panel.play();
    QTRY_COMPARE_WITH_TIMEOUT(panel.playbackState(), FilmPlayer::State::Playing, kWait);
    QCOMPARE(panel.cursor().shape(), Qt::ArrowCursor);
}

void TestVideoPanel::unopenableFiles_data()
{
    QTest::addColumn<QByteArray>("content");  // empty: no file at all
    QTest::addColumn<bool>("directory");
    QTest::addColumn<QString>("reason");      // expected part of the reason, or empty for any

    QTest::newRow("missing") << QByteArray() << false << QStringLiteral("файл не найден");
    QTest::newRow("a folder") << QByteArray() << true << QStringLiteral("недоступен");
    QTest::newRow("not a film") << QByteArray("This is not an AVI file at all.\n").repeated(50) << false << QString();
    QByteArray cut;
    {
        // A real film cut after its headers: the framework reports its own error.
        const QString whole = film(QStringLiteral("whole.avi"), alternating(4), 10);
        QFile f(whole);
        QVERIFY(f.open(QIODevice::ReadOnly));
        cut = f.read(120);
    }
    QTest::newRow("cut short") << cut << false << QString();
}

void TestVideoPanel::unopenableFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, directory);
    QFETCH(QString, reason);
    const QString path = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()).replace(' ', '_') + ".avi");
    if (directory) {
        QVERIFY(QDir().mkpath(path));
    } else if (!content.isEmpty()) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }

    VideoPanelWidget panel(nullptr);
    QSignalSpy finished(&panel, &VideoPanelWidget::openFinished);
    panel.openFile(path);
    QVERIFY(!panel.waitForOpening(kWait));
    QCOMPARE(panel.openState(), VideoPanelWidget::OpenState::Failed);
    // The name stays with the player, and the reason can be shown.
    QCOMPARE(panel.fileName(), path);
    QVERIFY(!panel.openError().isEmpty());
    if (!reason.isEmpty())
        QVERIFY2(panel.openError().contains(reason), qPrintable(panel.openError()));
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.first().first().toBool(), false);

    // Late events of the failed opening change nothing.
    QTest::qWait(300);
    QCOMPARE(panel.openState(), VideoPanelWidget::OpenState::Failed);
    QCOMPARE(finished.count(), 1);
    panel.play();
    QCOMPARE(panel.playbackState(), FilmPlayer::State::Stopped);
}

void TestVideoPanel::filmCoversThePanelBelowTheBar()
{
    const QString path = film(QStringLiteral("green.avi"), {Qt::green, Qt::green}, 10, avi::Codec::Mjpeg, QSize(32, 24));
    VideoPanelWidget panel(nullptr);
    VideoObject video = videoAt(QRect(0, 0, 120, 90), path);
    panel.apply(video);
    panel.show();
    QVERIFY(panel.waitForOpening(kWait));
    QTRY_VERIFY_WITH_TIMEOUT(!panel.picture().isNull(), kWait);

    // The film is stretched over the whole client area; the bar lies on top, 10 px high.
    QImage shot = panel.grab().toImage();
    QVERIFY(near(shot.pixelColor(2, 88), Qt::green));
    QVERIFY(near(shot.pixelColor(117, 12), Qt::green));
    QVERIFY(panel.playerBar()->isVisible());
    QCOMPARE(panel.playerBar()->geometry(), QRect(0, 0, 120, 10));
    QVERIFY(!near(shot.pixelColor(60, 1), Qt::green));

    // Without the bar, the film shows there too. A new size resets the display rectangle.
    video.playerVisible = false;
    video.bounds = QRect(10, 10, 200, 40);
    panel.apply(video);
    QVERIFY(!panel.playerBar()->isVisible());
    QCOMPARE(panel.displayRect(), QRect(0, 0, 200, 40));
    shot = panel.grab().toImage();
    QVERIFY(near(shot.pixelColor(100, 1), Qt::green));
    QVERIFY(near(shot.pixelColor(198, 38), Qt::green));

    video.playerVisible = true;
    panel.apply(video);
    QCOMPARE(panel.playerBar()->geometry(), QRect(0, 0, 200, 10));
}

void TestVideoPanel::playerBarButtons()
{
    const QString path = film(QStringLiteral("bar.avi"), alternating(40), 10);
    VideoPanelWidget panel(nullptr);
    panel.apply(videoAt(QRect(0, 0, 90, 60), path));
    panel.show();
    VideoPlayerBar* bar = panel.playerBar();
    QCOMPARE(bar->buttonAt(QPoint(5, 5)), VideoPlayerBar::Play);
    QCOMPARE(bar->buttonAt(QPoint(45, 5)), VideoPlayerBar::Pause);
    QCOMPARE(bar->buttonAt(QPoint(89, 5)), VideoPlayerBar::Stop);
    QVERIFY(panel.waitForOpening(kWait));

    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(15, 5));
    QTRY_COMPARE_WITH_TIMEOUT(panel.playbackState(), FilmPlayer::State::Playing, kWait);
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(45, 5));
    QCOMPARE(panel.playbackState(), FilmPlayer::State::Paused);
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(45, 5));
    QTRY_COMPARE_WITH_TIMEOUT(panel.playbackState(), FilmPlayer::State::Playing, kWait);
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(75, 5));
    QCOMPARE(panel.playbackState(), FilmPlayer::State::Stopped);
    // A press that slides off its button before the release does nothing.
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(15, 5));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(45, 5));
    QCOMPARE(panel.playbackState(), FilmPlayer::State::Stopped);
}

void TestVideoPanel::otherDisplayAndBack()
{
    const QString path = film(QStringLiteral("away.avi"), alternating(40), 10);
    VideoPanelWidget panel(nullptr);
    panel.apply(videoAt(QRect(0, 0, 100, 80), path));
    QVERIFY(panel.waitForOpening(kWait));
    QTRY_VERIFY_WITH_TIMEOUT(!panel.picture().isNull(), kWait);

    VideoDisplay screen(nullptr);
    screen.resize(300, 200);
    panel.setDisplay(&screen);
    QCOMPARE(panel.display(), &screen);
    // The paused picture shows there at once, over the whole display.
    QVERIFY(!screen.picture().isNull());
    QCOMPARE(screen.displayRect(), QRect(0, 0, 300, 200));

    const QImage left = panel.picture();
    panel.play();
    QTRY_VERIFY_WITH_TIMEOUT(screen.picture() != left, kWait);
    panel.togglePause();
    // Only the other display received the new pictures; they come back with the panel's display.
    QCOMPARE(panel.picture(), left);
    panel.setDisplayRect(QRect(0, 0, 5, 5));
    panel.setDisplay(nullptr);
    QCOMPARE(panel.display(), &panel);
    QCOMPARE(panel.picture(), screen.picture());
    QCOMPARE(panel.displayRect(), QRect(0, 0, 100, 80));
}

QTEST_MAIN(TestVideoPanel)
#include "test_video_panel.moc"
