// The video panel's player: real decoding of AVI files through Qt Multimedia, the first picture
// paused after opening, play/pause/stop, the player bar, the display rectangle and failures; many
// films opened through one shared decoder, and players that live only while a film plays.
#include "canvas/film_panel_widget.h"
#include "canvas/film_still_taker.h"
#include "support/avi_writer.h"

#include <QDir>
#include <QElapsedTimer>
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
    void manyFilmsOpenOneAtATime();
    void aPlayerLivesOnlyWhileTheFilmPlays();
    void aFilmThatOpensButWillNotPlay();
    void filmsOfEachContainerPlay_data();
    void filmsOfEachContainerPlay();

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

QColor centreOf(const QImage& image) { return image.pixelColor(image.width() / 2, image.height() / 2); }

// Whether `happens` comes true within ms. A check that something does not happen waits on the
// very condition that would break it, so that it fails as soon as that comes.
template <typename Condition>
bool happensWithin(int ms, Condition happens)
{
    return QTest::qWaitFor(happens, ms);
}

// Waits until no picture has arrived for quietMs (pictures decoded before a pause still come in);
// false when they keep coming for kWait.
bool waitForQuiet(const FilmPanelWidget& panel, int quietMs)
{
    QElapsedTimer since;
    since.start();
    int seen = panel.framesReceived();
    return QTest::qWaitFor(
        [&] {
            if (panel.framesReceived() != seen) {
                seen = panel.framesReceived();
                since.restart();
            }
            return since.elapsed() >= quietMs;
        },
        kWait);
}

int threadCount()
{
    return int(QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}

// A one-second film of one colour in one of ffmpeg's encoders; empty when it cannot be made.
QString ffmpegFilm(const QString& path, const QString& colour, const QString& encoder)
{
    const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    if (ffmpeg.isEmpty())
        return {};
    const QStringList args{QStringLiteral("-loglevel"),
                           QStringLiteral("error"),
                           QStringLiteral("-y"),
                           QStringLiteral("-f"),
                           QStringLiteral("lavfi"),
                           QStringLiteral("-i"),
                           QStringLiteral("color=c=%1:s=96x64:r=10:d=1,format=yuv420p").arg(colour),
                           QStringLiteral("-c:v"),
                           encoder,
                           path};
    return QProcess::execute(ffmpeg, args) == 0 ? path : QString();
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
    if (!QFile::exists(path)
        && !avi::writeAvi(path, avi::colourFrames(colours, size.width(), size.height()), fps, codec))
        return {};
    return path;
}

void TestVideoPanel::initTestCase() { QVERIFY(m_dir.isValid()); }

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
        QStringList args{QStringLiteral("-loglevel"),
                         QStringLiteral("error"),
                         QStringLiteral("-y"),
                         QStringLiteral("-f"),
                         QStringLiteral("lavfi"),
                         QStringLiteral("-i"),
                         QStringLiteral("color=c=red:s=%1:r=%2:d=1,format=yuv420p")
                             .arg(dv ? "720x576" : "160x120", dv ? "25" : "10"),
                         QStringLiteral("-f"),
                         QStringLiteral("lavfi"),
                         QStringLiteral("-i"),
                         QStringLiteral("color=c=blue:s=%1:r=%2:d=1,format=yuv420p")
                             .arg(dv ? "720x576" : "160x120", dv ? "25" : "10"),
                         QStringLiteral("-filter_complex"),
                         QStringLiteral("[0][1]concat=n=2:v=1"),
                         QStringLiteral("-c:v"),
                         codec};
        if (codec == QLatin1String("mpeg4"))
            args << QStringLiteral("-vtag") << QStringLiteral("XVID");
        if (codec == QLatin1String("msvideo1"))
            args << QStringLiteral("-pix_fmt") << QStringLiteral("rgb555le");
        args << path;
        QCOMPARE(QProcess::execute(ffmpeg, args), 0);
    }
    QVERIFY(!path.isEmpty());

    FilmPanelWidget panel(nullptr);
    panel.apply(videoAt(QRect(0, 0, 150, 150), path));
    QVERIFY(panel.waitForOpening(kWait));
    QCOMPARE(panel.openState(), FilmPanelWidget::OpenState::Open);
    QCOMPARE(panel.fileName(), path);
    QCOMPARE(panel.playbackState(), FilmPlayer::State::Paused);
    // The first picture arrives through the video sink, decoded, and stays: the film is paused.
    QTRY_VERIFY_WITH_TIMEOUT(!panel.picture().isNull(), kWait);
    QVERIFY2(near(centreOf(panel.picture()), Qt::red), qPrintable(centreOf(panel.picture()).name()));
    QVERIFY(!happensWithin(400, [&] {
        return !near(centreOf(panel.picture()), Qt::red) || panel.playbackState() != FilmPlayer::State::Paused;
    }));
    QVERIFY(near(centreOf(panel.picture()), Qt::red));
    QCOMPARE(panel.playbackState(), FilmPlayer::State::Paused);
    QCOMPARE(panel.displayRect(), QRect(0, 0, 150, 150));

    // The same name again changes nothing; the model's empty name closes the player.
    const int frames = panel.framesReceived();
    panel.apply(videoAt(QRect(0, 0, 150, 150), path));
    QCOMPARE(panel.openState(), FilmPanelWidget::OpenState::Open);
    QCOMPARE(panel.framesReceived(), frames);
    panel.apply(videoAt(QRect(0, 0, 150, 150)));
    QCOMPARE(panel.openState(), FilmPanelWidget::OpenState::Closed);
    QVERIFY(panel.picture().isNull());
}

void TestVideoPanel::pauseResumeAndStop()
{
    const QString path = film(QStringLiteral("long.avi"), alternating(40), 10);
    FilmPanelWidget panel(nullptr);
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
    QVERIFY(waitForQuiet(panel, 100));
    const int paused = panel.framesReceived();
    const qint64 at = panel.position();
    QVERIFY(!happensWithin(400, [&] { return panel.framesReceived() > paused + 1 || panel.position() != at; }));
    QVERIFY(panel.framesReceived() <= paused + 1);
    QCOMPARE(panel.position(), at);

    // Stopped: back at the start, showing the film's first picture, and "pause" neither plays
    // nor pauses it.
    QVERIFY(!near(centreOf(panel.picture()), Qt::red));
    panel.stop();
    QCOMPARE(panel.playbackState(), FilmPlayer::State::Stopped);
    QTRY_COMPARE_WITH_TIMEOUT(panel.position(), qint64(0), kWait);
    QVERIFY2(near(centreOf(panel.picture()), Qt::red), qPrintable(centreOf(panel.picture()).name()));
    QVERIFY(!happensWithin(300, [&] { return !near(centreOf(panel.picture()), Qt::red); }));
    QVERIFY2(near(centreOf(panel.picture()), Qt::red), qPrintable(centreOf(panel.picture()).name()));
    panel.togglePause();
    QCOMPARE(panel.playbackState(), FilmPlayer::State::Stopped);
    QVERIFY(!happensWithin(300, [&] { return panel.playbackState() != FilmPlayer::State::Stopped; }));
    QCOMPARE(panel.playbackState(), FilmPlayer::State::Stopped);

    panel.play();
    QTRY_COMPARE_WITH_TIMEOUT(panel.playbackState(), FilmPlayer::State::Playing, kWait);
    QCOMPARE(panel.cursor().shape(), Qt::ArrowCursor);
}

void TestVideoPanel::unopenableFiles_data()
{
    QTest::addColumn<QByteArray>("content");  // empty: no file at all
    QTest::addColumn<bool>("directory");
    QTest::addColumn<QString>("reason");  // expected part of the reason, or empty for any

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

    FilmPanelWidget panel(nullptr);
    QSignalSpy finished(&panel, &FilmPanelWidget::openFinished);
    panel.openFile(path);
    QVERIFY(!panel.waitForOpening(kWait));
    QCOMPARE(panel.openState(), FilmPanelWidget::OpenState::Failed);
    // The name stays with the player, and the reason can be shown.
    QCOMPARE(panel.fileName(), path);
    QVERIFY(!panel.openError().isEmpty());
    if (!reason.isEmpty())
        QVERIFY2(panel.openError().contains(reason), qPrintable(panel.openError()));
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.first().first().toBool(), false);

    // Late events of the failed opening change nothing.
    QVERIFY(!happensWithin(
        300, [&] { return panel.openState() != FilmPanelWidget::OpenState::Failed || finished.count() != 1; }));
    QCOMPARE(panel.openState(), FilmPanelWidget::OpenState::Failed);
    QCOMPARE(finished.count(), 1);
    panel.play();
    QCOMPARE(panel.playbackState(), FilmPlayer::State::Stopped);
}

void TestVideoPanel::filmCoversThePanelBelowTheBar()
{
    const QString path =
        film(QStringLiteral("green.avi"), {Qt::green, Qt::green}, 10, avi::Codec::Mjpeg, QSize(32, 24));
    FilmPanelWidget panel(nullptr);
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
    FilmPanelWidget panel(nullptr);
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
    FilmPanelWidget panel(nullptr);
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

void TestVideoPanel::manyFilmsOpenOneAtATime()
{
    // Motion JPEG films, MPEG-4 films made by ffmpeg (two fragments share one of them), and a
    // file that is no film. Each fragment must get its own film's picture.
    struct Fragment {
        QString path;
        QColor colour;  // invalid: the opening fails
    };
    QList<Fragment> fragments;
    const QList<QColor> colours{Qt::red, Qt::green, Qt::blue, Qt::yellow};
    for (int k = 0; k < 40; ++k) {
        const QColor c = colours[k % 4];
        fragments << Fragment{
            film(QStringLiteral("many%1.avi").arg(k), {c, Qt::black}, 10, avi::Codec::Mjpeg, QSize(32, 24)), c};
    }
    const int ownFilms = int(fragments.size());
    for (int k = 0; k < 4; ++k) {
        const QString path = ffmpegFilm(m_dir.filePath(QStringLiteral("foreign%1.avi").arg(k)),
                                        QStringList{"red", "lime", "blue", "yellow"}[k], QStringLiteral("mpeg4"));
        if (!path.isEmpty())
            fragments << Fragment{path, colours[k]};
    }
    if (fragments.size() > ownFilms)
        fragments << fragments.last();
    const QString notAFilm = m_dir.filePath(QStringLiteral("notes.avi"));
    {
        QFile f(notAFilm);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("no film in here\n").repeated(64));
    }
    fragments << Fragment{notAFilm, QColor()};

    QWidget canvas;
    QList<FilmPanelWidget*> panels;
    for (const Fragment& fragment : std::as_const(fragments)) {
        auto* panel = new FilmPanelWidget(&canvas);
        panel->apply(videoAt(QRect(0, 0, 40, 30), fragment.path));
        panels << panel;
    }
    const int threadsBefore = threadCount();
    int mostThreads = threadsBefore;
    QElapsedTimer waited;
    waited.start();
    auto opening = [&] {
        return std::count_if(panels.cbegin(), panels.cend(), [](const FilmPanelWidget* p) {
            return p->openState() == FilmPanelWidget::OpenState::Opening;
        });
    };
    while (opening() > 0 && waited.elapsed() < 120000) {
        QTest::qWait(5);
        mostThreads = std::max(mostThreads, threadCount());
        // No fragment plays, so none holds a player.
        for (const FilmPanelWidget* p : std::as_const(panels))
            QVERIFY(!p->player());
    }
    QCOMPARE(opening(), 0);
    // One pipeline at a time, however many films: not a pipeline's threads per film.
    QVERIFY2(mostThreads <= 32,
             qPrintable(QStringLiteral("%1 threads, %2 before").arg(mostThreads).arg(threadsBefore)));
    for (int k = 0; k < panels.size(); ++k) {
        FilmPanelWidget* p = panels[k];
        if (!fragments[k].colour.isValid()) {
            QCOMPARE(p->openState(), FilmPanelWidget::OpenState::Failed);
            QVERIFY(!p->openError().isEmpty());
            continue;
        }
        QVERIFY2(p->isOpen(), qPrintable(fragments[k].path + ": " + p->openError()));
        QCOMPARE(p->playbackState(), FilmPlayer::State::Paused);
        QVERIFY2(near(centreOf(p->picture()), fragments[k].colour),
                 qPrintable(fragments[k].path + ": " + centreOf(p->picture()).name()));
    }
    QCOMPARE(FilmStillTaker::instance().pending(), 0);
}

void TestVideoPanel::aPlayerLivesOnlyWhileTheFilmPlays()
{
    // Red, then six frames: 0.7 s at 10 frames a second.
    const QString path = film(QStringLiteral("short.avi"), alternating(7), 10);
    FilmPanelWidget panel(nullptr);
    panel.apply(videoAt(QRect(0, 0, 80, 60), path));
    QVERIFY(panel.waitForOpening(kWait));
    QVERIFY(!panel.player());
    QCOMPARE(panel.framesReceived(), 1);

    // Played: a player; paused: the same player, holding its place.
    panel.play();
    QVERIFY(panel.player());
    FilmPlayer* player = panel.player();
    QTRY_VERIFY_WITH_TIMEOUT(panel.framesReceived() > 1, kWait);
    panel.togglePause();
    QCOMPARE(panel.player(), player);
    // Stopped: no player, the first picture, and Play starts from the start again.
    panel.stop();
    QVERIFY(!panel.player());
    QVERIFY(near(centreOf(panel.picture()), Qt::red));
    QCOMPARE(panel.position(), qint64(0));

    // Played to its end: the player goes by itself, the last picture stays, and Play plays again.
    panel.play();
    QTRY_COMPARE_WITH_TIMEOUT(panel.playbackState(), FilmPlayer::State::Stopped, kWait);
    QVERIFY(!panel.player());
    QVERIFY(!near(centreOf(panel.picture()), Qt::red));
    panel.togglePause();
    QCOMPARE(panel.playbackState(), FilmPlayer::State::Stopped);
    const int frames = panel.framesReceived();
    panel.play();
    QCOMPARE(panel.playbackState(), FilmPlayer::State::Playing);
    QTRY_VERIFY_WITH_TIMEOUT(panel.framesReceived() > frames, kWait);
}

void TestVideoPanel::aFilmThatOpensButWillNotPlay()
{
    // Its first picture is read well enough, but the main header the media framework starts from
    // is gone: the film fails when played, and says so once.
    const QString whole = film(QStringLiteral("headless.avi"), alternating(10), 10, avi::Codec::Mjpeg);
    QFile file(whole);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    const int header = int(bytes.indexOf("avih"));
    QVERIFY(header > 0);
    bytes.replace(header, 4, "JUNK");
    QVERIFY(file.seek(0));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
    file.close();

    FilmPanelWidget panel(nullptr);
    QSignalSpy failed(&panel, &FilmPanelWidget::playFailed);
    panel.apply(videoAt(QRect(0, 0, 80, 60), whole));
    QVERIFY(panel.waitForOpening(kWait));
    QVERIFY(near(centreOf(panel.picture()), Qt::red));
    panel.play();
    // The framework either fails it or is given up on after its time.
    QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, kWait + 10000);
    QVERIFY(!failed.first().first().toString().isEmpty());
    QCOMPARE(panel.playbackState(), FilmPlayer::State::Stopped);
    QVERIFY(!panel.player());
    QVERIFY(near(centreOf(panel.picture()), Qt::red));
    QVERIFY(!happensWithin(300, [&] { return failed.count() != 1; }));
    QCOMPARE(failed.count(), 1);
    // Still open: Play tries again.
    QVERIFY(panel.isOpen());
    panel.play();
    QCOMPARE(panel.playbackState(), FilmPlayer::State::Playing);
    QVERIFY(panel.player());
}

void TestVideoPanel::filmsOfEachContainerPlay_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("encoder");
    QTest::newRow("AVI, H.264") << "play-h264.avi"
                                << "libx264";
    QTest::newRow("MP4, H.264") << "play-h264.mp4"
                                << "libx264";
    QTest::newRow("MOV, H.264") << "play-h264.mov"
                                << "libx264";
    QTest::newRow("MKV, H.264") << "play-h264.mkv"
                                << "libx264";
    QTest::newRow("MP4, MPEG-4 Part 2") << "play-mpeg4.mp4"
                                        << "mpeg4";
    QTest::newRow("MKV, MPEG-4 Part 2") << "play-mpeg4.mkv"
                                        << "mpeg4";
    QTest::newRow("WebM, VP8") << "play-vp8.webm"
                               << "libvpx";
    QTest::newRow("WebM, VP9") << "play-vp9.webm"
                               << "libvpx-vp9";
}

void TestVideoPanel::filmsOfEachContainerPlay()
{
    // Phones and cameras record H.264 in MP4 or MOV; screen recorders and browsers write MKV and
    // WebM. Each opens on its first picture and plays: frames arrive, nothing fails.
    QFETCH(QString, name);
    QFETCH(QString, encoder);
    const QString path = ffmpegFilm(m_dir.filePath(name), QStringLiteral("red"), encoder);
    if (path.isEmpty())
        QSKIP("ffmpeg (with this encoder) is not installed: the film cannot be made");
    FilmPanelWidget panel(nullptr);
    QSignalSpy failed(&panel, &FilmPanelWidget::playFailed);
    panel.apply(videoAt(QRect(0, 0, 96, 64), path));
    QVERIFY2(panel.waitForOpening(kWait), qPrintable(panel.openError()));
    QVERIFY(near(centreOf(panel.picture()), Qt::red));
    panel.play();
    QTRY_VERIFY_WITH_TIMEOUT(panel.framesReceived() > 3 || !failed.isEmpty(), kWait);
    QVERIFY2(failed.isEmpty(), qPrintable(failed.isEmpty() ? QString() : failed.first().first().toString()));
    QVERIFY(near(centreOf(panel.picture()), Qt::red));
}

QTEST_MAIN(TestVideoPanel)
#include "test_film_panel.moc"
