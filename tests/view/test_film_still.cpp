#include "canvas/video_panel_widget.h"
#include "storage/film_still.h"
#include "support/avi_writer.h"
#include "view/outline_export.h"
#include "view/outline_renderer.h"
#include "view/presentation_picture.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace velmar;

// A film's first picture in every drawing that does not play the film: decoded from the file
// without a media framework, or handed over by a player; the empty panel where there is none.
class TestFilmStill : public QObject {
    Q_OBJECT
private slots:
    void decodingTheFirstPicture();
    void damagedAndForeignFilmsGiveNoPicture();
    void everyOutputShowsTheFirstPicture();
    void aPlayersPictureIsTheStillUntilTheFileChanges();
    void theShowDrawsTheWholeCanvasWithTheStill();

private:
    QString film(const QString& name, const QList<QImage>& frames, avi::Codec codec);
    QTemporaryDir m_dir;
};

namespace {

constexpr int kToolBar = 31;
const QSize kClient(500, 400);
const QRect kPanel(100, 120, 120, 90);  // the video fragment on the canvas

bool near(QColor a, QColor b, int tolerance = 12)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

// Red over the top half, blue under it: tells a picture from its upside-down copy.
QImage redOverBlue(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::blue);
    for (int y = 0; y < h / 2; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(255, 0, 0));
    return image;
}

QImage decodeFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return decodeAviFirstPicture(file);
}

QImage decodeBytes(QByteArray bytes)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return decodeAviFirstPicture(buffer);
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
QPoint panelMiddle()
{
    return kPanel.center() + QPoint(0, 10) - QPoint(0, kToolBar);
}

}  // namespace

QString TestFilmStill::film(const QString& name, const QList<QImage>& frames, avi::Codec codec)
{
    const QString path = m_dir.filePath(name);
    if (!QFile::exists(path))
        avi::writeAvi(path, frames, 10, codec);
    return path;
}

void TestFilmStill::decodingTheFirstPicture()
{
    const QList<QImage> frames{redOverBlue(40, 30), avi::colourFrames({Qt::green}, 40, 30).first()};
    for (const avi::Codec codec : {avi::Codec::Uncompressed, avi::Codec::Mjpeg}) {
        const QString path = film(codec == avi::Codec::Mjpeg ? "mjpeg.avi" : "raw.avi", frames, codec);
        const QImage still = decodeFile(path);
        QCOMPARE(still.size(), QSize(40, 30));
        // The first frame, the right way up; never the second.
        QVERIFY(near(still.pixelColor(20, 5), Qt::red));
        QVERIFY(near(still.pixelColor(20, 25), Qt::blue));
    }

    // Rows stored top-down (a negative height) come out the same way up.
    QFile raw(m_dir.filePath("raw.avi"));
    QVERIFY(raw.open(QIODevice::ReadOnly));
    QByteArray bytes = raw.readAll();
    const qsizetype strf = bytes.indexOf("strf");
    QVERIFY(strf > 0);
    const qsizetype height = strf + 8 + 8;
    QCOMPARE(qFromLittleEndian<qint32>(bytes.constData() + height), 30);
    qToLittleEndian<qint32>(-30, bytes.data() + height);
    const QImage flipped = decodeBytes(bytes);
    QVERIFY(near(flipped.pixelColor(20, 5), Qt::blue));
    QVERIFY(near(flipped.pixelColor(20, 25), Qt::red));
}

void TestFilmStill::damagedAndForeignFilmsGiveNoPicture()
{
    const QString path = film("raw.avi", {redOverBlue(40, 30)}, avi::Codec::Uncompressed);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray whole = file.readAll();
    QVERIFY(!decodeBytes(whole).isNull());

    // Cut inside the first frame, cut inside the headers, not an AVI at all.
    const qsizetype frame = whole.indexOf("00db");
    QVERIFY(decodeBytes(whole.left(frame + 8 + 100)).isNull());
    QVERIFY(decodeBytes(whole.left(100)).isNull());
    QVERIFY(decodeBytes(QByteArray(4096, 'x')).isNull());
    QVERIFY(decodeBytes(QByteArray()).isNull());

    // A codec that only a media framework decodes.
    QByteArray foreign = whole;
    const qsizetype strf = foreign.indexOf("strf");
    foreign.replace(strf + 8 + 16, 4, "cvid");
    foreign.replace(foreign.indexOf("DIB "), 4, "cvid");
    QVERIFY(decodeBytes(foreign).isNull());

    // A frame size no film has is refused before anything is allocated.
    QByteArray huge = whole;
    qToLittleEndian<qint32>(1 << 20, huge.data() + strf + 8 + 4);
    QVERIFY(decodeBytes(huge).isNull());
}

void TestFilmStill::everyOutputShowsTheFirstPicture()
{
    const QString path = film("red-green.avi", avi::colourFrames({Qt::red, Qt::green}, 40, 30), avi::Codec::Mjpeg);
    const Document doc = filmDocument(path);

    OutlineRenderer renderer(doc, kClient);
    const QImage drawn = renderer.image();
    QVERIFY(near(drawn.pixelColor(panelMiddle()), Qt::red));
    // Drawing stills opens no player, now or once the event loop runs.
    QTest::qWait(50);
    const auto* panel = qobject_cast<VideoPanelWidget*>(renderer.objectWidget(doc.outline.video(1).id));
    QVERIFY(panel && !panel->player());

    // The picture files of the export, at the screen's scale and enlarged.
    const QString png = m_dir.filePath("out.png");
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

    // A film without a still shows the panel as it looks with no film open.
    QFile original(path);
    QVERIFY(original.open(QIODevice::ReadOnly));
    QByteArray bytes = original.readAll();
    bytes.replace(bytes.indexOf("MJPG"), 4, "cvid");
    bytes.replace(bytes.indexOf("MJPG"), 4, "cvid");
    const QString foreign = m_dir.filePath("cinepak.avi");
    QFile out(foreign);
    QVERIFY(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
    out.close();
    QCOMPARE(OutlineRenderer(filmDocument(foreign), kClient).image(), noFilm.image());
    QCOMPARE(OutlineRenderer(filmDocument(m_dir.filePath("missing.avi")), kClient).image(), noFilm.image());
}

void TestFilmStill::aPlayersPictureIsTheStillUntilTheFileChanges()
{
    const QString path = film("kept.avi", avi::colourFrames({Qt::red}, 40, 30), avi::Codec::Uncompressed);
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
    const QString path = film("show.avi", avi::colourFrames({Qt::red, Qt::green}, 40, 30), avi::Codec::Uncompressed);
    Document doc = filmDocument(path);
    // A red text field in the band under the window's tool bar.
    doc.outline.createTextField(QRect(300, 4, 80, 20), 0x000000FF, QString(), 0);

    const OutlineRenderer below(doc, kClient);
    const OutlineRenderer whole(doc, kClient, OutlineRenderer::Area::WholeCanvas);
    QCOMPARE(below.size(), kClient - QSize(0, kToolBar));
    QCOMPARE(whole.size(), kClient);
    const QImage wholeImage = whole.image();
    QVERIFY(near(wholeImage.pixelColor(340, 14), Qt::red));
    // The canvas colour reaches the top edge.
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
