// A film's first picture as every drawing that does not play it shows it: read with FFmpeg's
// libraries from the containers and codecs films come in, at the size it is drawn, charged to
// the outline's decoding budget; a film that cannot be read is the empty panel and one note.
#include "canvas/film_panel_widget.h"
#include "export/outline_export.h"
#include "export/outline_renderer.h"
#include "show/presentation_picture.h"
#include "storage/decode_limits.h"
#include "storage/film_still.h"
#include "support/avi_writer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <sys/stat.h>

using namespace velmar;

class TestFilmStill : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void firstPictureOfEachContainerAndCodec_data();
    void firstPictureOfEachContainerAndCodec();
    void framesAreChargedToTheOutlinesBudget();
    void filmsThatCannotBeReadGiveOneNote();
    void craftedHeadersGiveTheSameResultEveryTime();
    void everyOutputShowsTheFirstPicture();
    void aPlayersPictureIsTheStillUntilTheFileChanges();
    void theShowDrawsTheWholeCanvasWithTheStill();

private:
    // A 64 × 48 film, red over blue for its first frames and green after, made by ffmpeg.
    QString ffmpegFilm(const QString& name, const QStringList& codecArguments, QSize size = QSize(64, 48));
    QString m_ffmpeg;
    QTemporaryDir m_dir;
};

namespace {

constexpr int kToolBar = 31;
const QSize kClient(500, 400);
const QRect kPanel(100, 120, 120, 90);  // the video fragment on the canvas

bool near(QColor a, QColor b, int tolerance = 40)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
           && std::abs(a.blue() - b.blue()) <= tolerance;
}

Document filmDocument(const QString& path)
{
    Document doc;
    doc.state.canvasColour = 0x00C0C0C0;
    const int slot = doc.outline.createVideo(kPanel, 0);
    doc.outline.video(slot).fileName = path;
    return doc;
}

// The middle of the panel, below its player bar, in a drawing of the canvas below the tool bar.
QPoint panelMiddle() { return kPanel.center() + QPoint(0, 10) - QPoint(0, kToolBar); }

// A fresh budget with nothing taken: 32 million pixels plus what each film's size buys.
std::shared_ptr<PictureBudget> freshBudget() { return std::make_shared<PictureBudget>(0); }

QString writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() ? path : QString();
}

}  // namespace

void TestFilmStill::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
}

void TestFilmStill::init()
{
    useFilmBudget(freshBudget());
    takeFilmProblems();
}

QString TestFilmStill::ffmpegFilm(const QString& name, const QStringList& codecArguments, QSize size)
{
    const QString path = m_dir.filePath(name);
    if (QFile::exists(path))
        return path;
    const int w = size.width(), h = size.height();
    QStringList args{"-loglevel",
                     "error",
                     "-y",
                     "-f",
                     "lavfi",
                     "-i",
                     QStringLiteral("color=c=green:s=%1x%2:r=10:d=1").arg(w).arg(h),
                     "-vf",
                     QStringLiteral("drawbox=x=0:y=0:w=%1:h=%2:color=red:t=fill:enable='lt(t,0.25)',"
                                    "drawbox=x=0:y=%2:w=%1:h=%2:color=blue:t=fill:enable='lt(t,0.25)'")
                         .arg(w)
                         .arg(h / 2)};
    args << codecArguments << path;
    return QProcess::execute(m_ffmpeg, args) == 0 ? path : QString();
}

void TestFilmStill::firstPictureOfEachContainerAndCodec_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("codec");
    QTest::newRow("AVI, Motion JPEG") << "mjpeg.avi" << QStringList{"-c:v", "mjpeg", "-q:v", "2"};
    QTest::newRow("AVI, MPEG-4 Part 2") << "xvid.avi" << QStringList{"-c:v", "mpeg4", "-vtag", "XVID", "-q:v", "2"};
    QTest::newRow("AVI, H.264") << "h264.avi" << QStringList{"-c:v", "libx264", "-pix_fmt", "yuv420p"};
    QTest::newRow("AVI, uncompressed") << "raw.avi" << QStringList{"-c:v", "rawvideo", "-pix_fmt", "bgr24"};
    QTest::newRow("MP4, H.264") << "h264.mp4" << QStringList{"-c:v", "libx264", "-pix_fmt", "yuv420p"};
    QTest::newRow("MOV, Motion JPEG") << "mjpeg.mov" << QStringList{"-c:v", "mjpeg", "-q:v", "2"};
    QTest::newRow("MKV, H.264") << "h264.mkv" << QStringList{"-c:v", "libx264", "-pix_fmt", "yuv420p"};
    QTest::newRow("WebM, VP8") << "vp8.webm" << QStringList{"-c:v", "libvpx", "-b:v", "1M"};
    QTest::newRow("WebM, VP9") << "vp9.webm" << QStringList{"-c:v", "libvpx-vp9", "-b:v", "1M"};
}

void TestFilmStill::firstPictureOfEachContainerAndCodec()
{
    QFETCH(QString, name);
    QFETCH(QStringList, codec);
    if (m_ffmpeg.isEmpty())
        QSKIP("ffmpeg is not installed: the films cannot be made");
    const QString path = ffmpegFilm(name, codec);
    QVERIFY2(!path.isEmpty(), "ffmpeg could not make the film");

    // Drawn at the film's own size or larger: the film's own 64 × 48, never enlarged.
    const FilmStill whole = readFilmStill(path, QSize(640, 480));
    QVERIFY2(!whole.picture.isNull(), qPrintable(whole.problem));
    QCOMPARE(whole.picture.size(), QSize(64, 48));
    // The first picture, the right way up: red over blue, not the green that follows.
    QVERIFY2(near(whole.picture.pixelColor(32, 8), Qt::red), qPrintable(whole.picture.pixelColor(32, 8).name()));
    QVERIFY2(near(whole.picture.pixelColor(32, 40), Qt::blue), qPrintable(whole.picture.pixelColor(32, 40).name()));

    // Drawn small, in another file of the same film: read at that size, no larger.
    const QString copy = m_dir.filePath(QStringLiteral("small-") + name);
    QFile::remove(copy);
    QVERIFY(QFile::copy(path, copy));
    const FilmStill small = readFilmStill(copy, QSize(16, 12));
    QCOMPARE(small.picture.size(), QSize(16, 12));
    QVERIFY(near(small.picture.pixelColor(8, 2), Qt::red));
    QVERIFY(near(small.picture.pixelColor(8, 10), Qt::blue));
    // A larger drawing of the same film reads it again at the larger size.
    QCOMPARE(readFilmStill(copy, QSize(32, 24)).picture.size(), QSize(32, 24));
    QVERIFY(takeFilmProblems().isEmpty());
}

void TestFilmStill::framesAreChargedToTheOutlinesBudget()
{
    if (m_ffmpeg.isEmpty())
        QSKIP("ffmpeg is not installed: the films cannot be made");
    // One frame of 5000 × 5000 in a small file, read through links as an outline of many
    // fragments would: each reading charges its 25 million pixels, less what the file's size buys.
    const QString huge = m_dir.filePath(QStringLiteral("huge.avi"));
    QCOMPARE(QProcess::execute(m_ffmpeg, {"-loglevel", "error", "-y", "-f", "lavfi", "-i", "color=c=gray:s=5000x5000",
                                          "-frames:v", "1", "-c:v", "mjpeg", "-q:v", "31", huge}),
             0);
    const qint64 fileBytes = QFileInfo(huge).size();
    const qint64 frame = 5000LL * 5000;
    auto budget = freshBudget();
    useFilmBudget(budget);
    qint64 expectedLeft = budget->pixelsLeft();
    int read = 0;
    QString refusal;
    QElapsedTimer clock;
    clock.start();
    for (int k = 1; k <= 8 && refusal.isEmpty(); ++k) {
        const QString link = m_dir.filePath(QStringLiteral("huge-link%1.avi").arg(k));
        QFile::remove(link);
        QVERIFY(QFile::link(huge, link));
        expectedLeft += PictureBudget::pixelsPerFileByte * fileBytes;
        const FilmStill still = readFilmStill(link, QSize(140, 100));
        if (still.picture.isNull()) {
            refusal = still.problem;
            // Refused because the budget could not pay for it, and only then.
            QVERIFY2(expectedLeft < frame, qPrintable(refusal));
            break;
        }
        // Read at the size drawn, whatever the frame's size.
        QVERIFY(still.picture.width() <= 140 && still.picture.height() <= 100);
        expectedLeft -= frame;
        QCOMPARE(budget->pixelsLeft(), expectedLeft);
        ++read;
    }
    QVERIFY(read >= 1);
    QVERIFY2(refusal.contains(QStringLiteral("слишком велики")), qPrintable(refusal));
    QCOMPARE(budget->pixelsLeft(), expectedLeft);  // a refused film takes nothing
    QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
    // A film read once is not charged again for another drawing.
    const qint64 left = budget->pixelsLeft();
    QVERIFY(!readFilmStill(m_dir.filePath(QStringLiteral("huge-link1.avi")), QSize(140, 100)).picture.isNull());
    QCOMPARE(budget->pixelsLeft(), left);
    // The next outline reads the refused film afresh, within its own budget.
    useFilmBudget(freshBudget());
    QVERIFY(!readFilmStill(m_dir.filePath(QStringLiteral("huge-link%1.avi").arg(read + 1)), QSize(140, 100))
                 .picture.isNull());
}

void TestFilmStill::filmsThatCannotBeReadGiveOneNote()
{
    struct Case {
        QString path;
        QString note;
    };
    QList<Case> cases;
    cases << Case{writeBytes(m_dir.filePath(QStringLiteral("notes.avi")), QByteArray("no film in here\n").repeated(64)),
                  QStringLiteral("формат файла не распознан")};
    cases << Case{m_dir.filePath(QStringLiteral("missing.mp4")), QStringLiteral("не найден")};
    const QString fifo = m_dir.filePath(QStringLiteral("fifo.mkv"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    cases << Case{fifo, QStringLiteral("не обычный файл")};
    if (!m_ffmpeg.isEmpty()) {
        // Sound only; and an MP4 cut in the middle of its first frame.
        const QString sound = m_dir.filePath(QStringLiteral("sound.mkv"));
        QCOMPARE(QProcess::execute(m_ffmpeg, {"-loglevel", "error", "-y", "-f", "lavfi", "-i", "sine=d=0.5", sound}),
                 0);
        cases << Case{sound, QStringLiteral("нет видео")};
        const QString whole = ffmpegFilm(QStringLiteral("cut-source.mkv"), {"-c:v", "mjpeg"});
        QFile file(whole);
        QVERIFY(file.open(QIODevice::ReadOnly));
        cases << Case{writeBytes(m_dir.filePath(QStringLiteral("cut.mkv")), file.read(600)), QString()};
    }
    for (const Case& c : std::as_const(cases)) {
        QVERIFY(!c.path.isEmpty());
        QElapsedTimer clock;
        clock.start();
        const FilmStill still = readFilmStill(c.path, QSize(120, 90));
        QVERIFY2(clock.elapsed() < 2000, qPrintable(c.path));  // a FIFO is never opened, so never waited on
        QVERIFY(still.picture.isNull());
        QVERIFY2(still.problem.contains(c.note), qPrintable(still.problem));
        // In Russian: no word of a library's English.
        QVERIFY2(!still.problem.contains(QRegularExpression(QStringLiteral("[a-z]{3,}"))), qPrintable(still.problem));
        // Drawn again, the same film is not read again and not named again.
        QVERIFY(filmStill(c.path, QSize(120, 90)).isNull());
    }
    const QStringList notes = takeFilmProblems();
    QCOMPARE(notes.size(), cases.size());
    for (const Case& c : std::as_const(cases))
        QVERIFY2(!notes.filter(QStringLiteral("«%1»").arg(QFileInfo(c.path).fileName())).isEmpty(), qPrintable(c.path));
}

void TestFilmStill::craftedHeadersGiveTheSameResultEveryTime()
{
    // Bitmap headers whose size field says 0x80000000 or -4096 bytes: neither crashes nor reads
    // memory outside the file; two readings of the same bytes (under two names) agree exactly.
    const QString reference = m_dir.filePath(QStringLiteral("reference.avi"));
    QVERIFY(avi::writeAvi(reference, avi::colourFrames({Qt::red}, 16, 16), 10, avi::Codec::Uncompressed));
    QFile file(reference);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const qsizetype format = bytes.indexOf("strf") + 8;
    QVERIFY(format > 8);
    for (const quint32 size : {0x80000000u, quint32(-4096), 0xFFFFFFFFu, 0u}) {
        QByteArray crafted = bytes;
        qToLittleEndian(size, crafted.data() + format);
        QImage first;
        for (int k = 0; k < 2; ++k) {
            const QString path =
                writeBytes(m_dir.filePath(QStringLiteral("crafted-%1-%2.avi").arg(size).arg(k)), crafted);
            const FilmStill still = readFilmStill(path, QSize(16, 16));
            QVERIFY(still.picture.isNull() != still.problem.isEmpty());
            if (k == 0)
                first = still.picture;
            else
                QCOMPARE(still.picture, first);
        }
    }
}

void TestFilmStill::everyOutputShowsTheFirstPicture()
{
    const QString path = m_dir.filePath(QStringLiteral("red-green.avi"));
    QVERIFY(avi::writeAvi(path, avi::colourFrames({Qt::red, Qt::green}, 40, 30), 10, avi::Codec::Mjpeg));
    const Document doc = filmDocument(path);

    OutlineRenderer renderer(doc, kClient);
    const QImage drawn = renderer.image();
    QVERIFY(near(drawn.pixelColor(panelMiddle()), Qt::red));
    // Drawing stills opens no player, now or once the event loop runs.
    const auto* panel = qobject_cast<FilmPanelWidget*>(renderer.objectWidget(doc.outline.video(1).id));
    QVERIFY(panel);
    QVERIFY(!QTest::qWaitFor([panel] { return panel->player() != nullptr; }, 50));

    // The picture files of the export, at the screen's scale and enlarged.
    const QString png = m_dir.filePath(QStringLiteral("out.png"));
    QCOMPARE(exportOutline(doc, kClient, 1.0, png), QString());
    QCOMPARE(QImage(png).convertToFormat(QImage::Format_RGB32), drawn);
    QCOMPARE(exportOutline(doc, kClient, 2.0, png), QString());
    QVERIFY(near(QImage(png).pixelColor(panelMiddle() * 2), Qt::red));

    // The vector files carry the picture itself.
    OutlineRenderer vectors(doc, kClient);
    vectors.drawForAnyScale();
    QVERIFY(outlineSvg(vectors).contains("<image"));
    QVERIFY(outlinePdf(vectors).contains("/Subtype /Image"));
    const Document empty = filmDocument(QString());
    OutlineRenderer noFilm(empty, kClient);
    noFilm.drawForAnyScale();
    QVERIFY(!outlineSvg(noFilm).contains("<image"));
    QVERIFY(!outlinePdf(noFilm).contains("/Subtype /Image"));

    // A film that cannot be read shows the panel as it looks with no film open.
    QFile original(path);
    QVERIFY(original.open(QIODevice::ReadOnly));
    const QString damaged = writeBytes(m_dir.filePath(QStringLiteral("damaged.avi")), original.read(200));
    QCOMPARE(OutlineRenderer(filmDocument(damaged), kClient).image(), noFilm.image());
    QCOMPARE(OutlineRenderer(filmDocument(m_dir.filePath(QStringLiteral("missing.avi"))), kClient).image(),
             noFilm.image());
}

void TestFilmStill::aPlayersPictureIsTheStillUntilTheFileChanges()
{
    const QString path = m_dir.filePath(QStringLiteral("kept.avi"));
    QVERIFY(avi::writeAvi(path, avi::colourFrames({Qt::red}, 40, 30), 10, avi::Codec::Uncompressed));
    const Document doc = filmDocument(path);
    QVERIFY(near(OutlineRenderer(doc, kClient).image().pixelColor(panelMiddle()), Qt::red));

    // What a player showed is what the drawings show.
    QImage shown(40, 30, QImage::Format_RGB32);
    shown.fill(Qt::yellow);
    rememberFilmStill(path, shown);
    QVERIFY(near(OutlineRenderer(doc, kClient).image().pixelColor(panelMiddle()), Qt::yellow));

    // Another film written under the same name is read again.
    QVERIFY(QFile::remove(path));
    QVERIFY(avi::writeAvi(path, avi::colourFrames({Qt::blue, Qt::blue}, 40, 30), 10, avi::Codec::Uncompressed));
    QVERIFY(near(OutlineRenderer(doc, kClient).image().pixelColor(panelMiddle()), Qt::blue));
}

void TestFilmStill::theShowDrawsTheWholeCanvasWithTheStill()
{
    const QString path = m_dir.filePath(QStringLiteral("show.avi"));
    QVERIFY(avi::writeAvi(path, avi::colourFrames({Qt::red, Qt::green}, 40, 30), 10, avi::Codec::Uncompressed));
    Document doc = filmDocument(path);
    // A red text field in the band under the window's tool bar.
    doc.outline.createTextField(QRect(300, 4, 80, 20), 0x000000FF, QString(), 0);

    const OutlineRenderer below(doc, kClient);
    const OutlineRenderer whole(doc, kClient, OutlineRenderer::Area::WholeCanvas);
    QCOMPARE(below.size(), kClient - QSize(0, kToolBar));
    QCOMPARE(whole.size(), kClient);
    const QImage wholeImage = whole.image();
    QVERIFY(near(wholeImage.pixelColor(340, 14), Qt::red));
    QVERIFY(near(wholeImage.pixelColor(10, 1), QColor(0xC0, 0xC0, 0xC0), 0));
    QCOMPARE(wholeImage.copy(QRect(QPoint(0, kToolBar), below.size())), below.image());

    // The show, at half size on a 250 × 200 screen: the whole canvas, the film's still at once,
    // before its player has had a chance to open.
    PresentationPicture show(doc, kClient, QSize(250, 200));
    QCOMPARE(show.outlineRect(), QRect(0, 0, 250, 200));
    show.setStep(show.order().lastStep());
    QVERIFY(near(show.image().pixelColor(170, 7), Qt::red));
    QVERIFY(near(show.image().pixelColor(kPanel.center().x() / 2, (kPanel.center().y() + 10) / 2), Qt::red));
}

QTEST_MAIN(TestFilmStill)
#include "test_film_still.moc"
