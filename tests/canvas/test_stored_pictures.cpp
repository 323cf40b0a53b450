// Pictures read from a file are held as their stored streams and decoded at the size they are
// drawn: saved again unchanged, decoded again with more pixels when drawn larger, an edit made
// after that never lost, damaged streams still found when the picture is read.
#include "canvas/canvas_widget.h"
#include "canvas/object_widgets.h"
#include "canvas/outline_view.h"
#include "storage/jpeg_codec.h"
#include "storage/load_result.h"
#include "storage/outline_io.h"
#include "support/photo_like_image.h"

#include <QMutex>
#include <QPainter>
#include <QSet>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <cstdlib>

using namespace velmar;

class TestStoredPictures : public QObject {
    Q_OBJECT
private slots:
    void drawnSmallHoldsOnlyAReducedDecode();
    void zoomingInDecodesAgainWithMorePixels();
    void editAfterDrawingIsSavedAndUneditedStreamsAreNot();
    void damagedStreamsAreFoundWhenDrawnSmall();
    void aZoomStepDecodesEachPictureOnceOffTheWindowThread();
};

namespace {

// A photo whose left half is black and right half white, with grain: the edge shows how sharp a
// drawing of it is.
QImage edgePhoto()
{
    QImage photo = photoLikeImage(1600, 1200, 7);
    QPainter painter(&photo);
    painter.fillRect(0, 0, 800, 1200, Qt::black);
    painter.fillRect(800, 0, 800, 1200, Qt::white);
    return photo;
}

// An outline of one picture of `photo` in a control of `bounds`, as a file holds it.
QByteArray outlineFileWith(const QImage& photo, QRect bounds)
{
    Document doc;
    doc.state.outlineName = QStringLiteral("Фото");
    doc.state.windowSize = QSize(900, 700);
    const int slot = doc.outline.createPicture(bounds, 0);
    doc.outline.picture(slot).bounds = bounds;
    doc.outline.picture(slot).setBitmap(photo);
    doc.outline.picture(slot).setJpegStream(encodeJpeg(photo, 90));
    return serializeOutline(doc, true);
}

Document documentOf(const LoadResult& loaded)
{
    Document doc;
    doc.outline = loaded.outline;
    doc.state.outlineName = loaded.outlineName;
    doc.state.canvasColour = loaded.canvasColour;
    doc.state.windowSize = loaded.windowSize;
    return doc;
}

// How many pixels of row y are neither nearly black nor nearly white: the width of the edge.
int edgeWidth(const QImage& image, int y)
{
    int grey = 0;
    for (int x = 0; x < image.width(); ++x) {
        const int v = qGray(image.pixel(x, y));
        grey += v > 24 && v < 231;
    }
    return grey;
}

// Decodes as the program does, counting the decodes and the threads they ran on.
std::atomic<int> decodes{0};
QMutex decodingThreadsLock;
QSet<QThread*> decodingThreads;

QImage countingDecoder(const QByteArray& stream, int denominator)
{
    ++decodes;
    {
        QMutexLocker lock(&decodingThreadsLock);
        decodingThreads.insert(QThread::currentThread());
    }
    return decodeStoredJpeg(stream, denominator);
}

}  // namespace

void TestStoredPictures::drawnSmallHoldsOnlyAReducedDecode()
{
    const QImage photo = photoLikeImage(1600, 1200, 3);
    const LoadResult loaded =
        readOutline(outlineFileWith(photo, QRect(10, 10, 160, 120)), QStringLiteral("a.vmd"), defaultWindowChrome());
    QVERIFY2(loaded.ok && loaded.message.isEmpty(), qPrintable(loaded.message));
    const PictureObject& picture = loaded.outline.picture(1);
    QVERIFY(!picture.holdsBitmap());
    QCOMPARE(picture.pixelSize(), QSize(1600, 1200));
    // Drawn at 160 × 120, an eighth of the photo is decoded (200 × 150), not all of it.
    PictureWidget widget(nullptr);
    widget.apply(picture);
    QCOMPARE(picture.imageFor(picture.bounds.size()).size(), QSize(200, 150));
    QCOMPARE(widget.rendering().size(), QSize(160, 120));
    // What is shown is the photo, smoothly scaled.
    const QImage expected = photo.scaled(160, 120, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    int worst = 0;
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 160; ++x) {
            const QRgb a = widget.rendering().pixel(x, y), b = expected.pixel(x, y);
            worst = std::max(
                {worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
        }
    QVERIFY2(worst <= 40, qPrintable(QString::number(worst)));
    // The whole picture is there for whoever needs every pixel.
    QCOMPARE(picture.bitmap(), decodeJpeg(picture.jpegStream()));
}

void TestStoredPictures::zoomingInDecodesAgainWithMorePixels()
{
    const LoadResult loaded =
        readOutline(outlineFileWith(edgePhoto(), QRect(0, 0, 100, 75)), QStringLiteral("a.vmd"), defaultWindowChrome());
    QVERIFY2(loaded.ok && loaded.message.isEmpty(), qPrintable(loaded.message));
    PictureObject picture = loaded.outline.picture(1);
    PictureWidget widget(nullptr);
    widget.apply(picture);
    QCOMPARE(picture.imageFor(picture.bounds.size()).size(), QSize(200, 150));

    // Zoomed in eight times: the edge stays as sharp as the photo's own, which an enlargement of
    // the small decode (200 pixels across 800) would blur over several pixels.
    picture.bounds.setSize(QSize(800, 600));
    widget.apply(picture);
    QCOMPARE(widget.rendering().size(), QSize(800, 600));
    QCOMPARE(picture.imageFor(picture.bounds.size()).size(), QSize(800, 600));
    const QImage sharp =
        decodeJpeg(picture.jpegStream()).scaled(800, 600, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    for (const int y : {100, 300, 500}) {
        QVERIFY2(edgeWidth(widget.rendering(), y) <= edgeWidth(sharp, y) + 1,
                 qPrintable(QStringLiteral("row %1: %2 grey pixels against %3")
                                .arg(y)
                                .arg(edgeWidth(widget.rendering(), y))
                                .arg(edgeWidth(sharp, y))));
        QCOMPARE(qGray(widget.rendering().pixel(396, y)) < 24, true);
        QCOMPARE(qGray(widget.rendering().pixel(404, y)) > 231, true);
    }
    // Zoomed out again, the large decode is let go for a small one.
    picture.bounds.setSize(QSize(100, 75));
    widget.apply(picture);
    QCOMPARE(picture.imageFor(picture.bounds.size()).size(), QSize(200, 150));

    // Drawn at another scale (print, PDF), the widget draws the whole picture.
    widget.setDrawStoredBitmap(true);
    QImage printed(800, 600, QImage::Format_RGB32);
    printed.fill(Qt::red);
    {
        QPainter painter(&printed);
        painter.scale(8, 8);
        widget.QWidget::render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
    }
    QVERIFY2(edgeWidth(printed, 300) <= edgeWidth(sharp, 300) + 2,
             qPrintable(QString::number(edgeWidth(printed, 300))));
}

void TestStoredPictures::editAfterDrawingIsSavedAndUneditedStreamsAreNot()
{
    Document made;
    made.state.windowSize = QSize(900, 700);
    for (int k = 0; k < 2; ++k) {
        const int slot = made.outline.createPicture(QRect(10 + 200 * k, 10, 160, 120), 0);
        const QImage photo = photoLikeImage(640, 480, quint32(k + 1));
        made.outline.picture(slot).setBitmap(photo);
        made.outline.picture(slot).setJpegStream(encodeJpeg(photo, 85));
    }
    const QByteArray file = serializeOutline(made, true);
    Document doc = documentOf(readOutline(file, QStringLiteral("a.vmd"), defaultWindowChrome()));

    // Both pictures drawn, at two sizes, and the whole of both taken (as the editor does).
    std::vector<std::unique_ptr<PictureWidget>> widgets;
    for (int k = 1; k <= 2; ++k) {
        widgets.push_back(std::make_unique<PictureWidget>(nullptr));
        for (const QSize size : {QSize(160, 120), QSize(500, 400), QSize(160, 120)}) {
            doc.outline.picture(k).bounds.setSize(size);
            widgets.back()->apply(doc.outline.picture(k));
        }
    }
    QImage edited = doc.outline.picture(1).bitmap();
    QCOMPARE(edited.size(), QSize(640, 480));
    QPainter(&edited).fillRect(100, 100, 200, 150, Qt::red);
    doc.outline.picture(1).setBitmap(edited);
    // The view shows the edit at once.
    widgets.front()->apply(doc.outline.picture(1));
    QCOMPARE(widgets.front()->rendering().pixelColor(50, 40), QColor(Qt::red));

    // Saved and read again: the edit is there; the picture left alone is its stream, byte for byte.
    const QByteArray saved = serializeOutline(doc, true);
    const LoadResult again = readOutline(saved, QStringLiteral("a.vmd"), defaultWindowChrome());
    QVERIFY2(again.ok && again.message.isEmpty(), qPrintable(again.message));
    const QImage back = again.outline.picture(1).bitmap();
    QCOMPARE(back.size(), QSize(640, 480));
    for (const QPoint at : {QPoint(110, 110), QPoint(200, 175), QPoint(290, 240)}) {
        const QColor c = back.pixelColor(at);
        QVERIFY2(c.red() > 230 && c.green() < 25 && c.blue() < 25, qPrintable(c.name()));
    }
    QVERIFY(back.pixelColor(400, 400) != QColor(Qt::red));
    QCOMPARE(again.outline.picture(2).jpegStream(), made.outline.picture(2).jpegStream());
    // The edited picture keeps its bitmap: saving again writes the same file.
    QVERIFY(doc.outline.picture(1).holdsBitmap());
    QCOMPARE(serializeOutline(doc, true), saved);
    // Nothing edited: the file read is the file written.
    QCOMPARE(serializeOutline(documentOf(readOutline(file, QStringLiteral("a.vmd"), defaultWindowChrome())), true),
             file);
}

void TestStoredPictures::damagedStreamsAreFoundWhenDrawnSmall()
{
    // Drawn at an eighth of its size, a photo whose scan data breaks off half-way is still
    // reported and shown blank, as it would be at full size.
    const QImage photo = photoLikeImage(1600, 1200, 5);
    const QByteArray stream = encodeJpeg(photo, 90);
    QByteArray file = outlineFileWith(photo, QRect(0, 0, 100, 75));
    const qsizetype at = file.indexOf(stream);
    QVERIFY(at > 0);
    for (qsizetype i = at + stream.size() / 2; i < at + stream.size() / 2 + 64; ++i)
        file[i] = char(0xFF);
    file[at + stream.size() / 2 + 64] = char(0xD9);
    const LoadResult loaded = readOutline(file, QStringLiteral("битый.vmd"), defaultWindowChrome());
    QVERIFY(loaded.ok);
    QVERIFY2(loaded.message.contains(QStringLiteral("рисунок 1 (")), qPrintable(loaded.message));
    const PictureObject& picture = loaded.outline.picture(1);
    QVERIFY(picture.holdsBitmap());
    QVERIFY(picture.jpegStream().isEmpty());
    QCOMPARE(picture.bitmap().pixelColor(10, 10), QColor(Qt::white));
}

void TestStoredPictures::aZoomStepDecodesEachPictureOnceOffTheWindowThread()
{
    // Eight photos sharing one stream, drawn small, then zoomed past the size where a larger
    // reduction starts: all of them need a new decode in the same step.
    Document doc;
    CanvasWidget canvas;
    canvas.resize(1200, 900);
    OutlineView view(doc, &canvas);
    const QImage photo = photoLikeImage(1600, 1200, 5);
    const QByteArray stream = encodeJpeg(photo, 85);
    for (int k = 0; k < 8; ++k) {
        const int slot = doc.outline.createPicture(QRect(10 + 110 * k, 40, 100, 75), 0);
        doc.outline.picture(slot).bounds = QRect(10 + 110 * k, 40, 100, 75);
        doc.outline.picture(slot).setStoredStream(stream, photo.size(), countingDecoder);
    }
    decodes = 0;
    view.sync();
    QCOMPARE(decodes.load(), 8);

    decodes = 0;
    decodingThreads.clear();
    for (int k = 1; k <= doc.outline.count(ObjectKind::Picture); ++k)
        doc.outline.picture(k).bounds.setSize(QSize(500, 375));
    view.sync();
    // Each picture decoded once, at the half size that covers 500 × 375, and none of them on the
    // window's thread, which waits for them instead of decoding one after another.
    QCOMPARE(decodes.load(), 8);
    QVERIFY(!decodingThreads.isEmpty());
    QVERIFY(!decodingThreads.contains(QThread::currentThread()));
    for (const PictureObject& p : doc.outline.objects<PictureObject>()) {
        QCOMPARE(p.imageFor(p.bounds.size()).size(), QSize(800, 600));
        auto* widget = qobject_cast<PictureWidget*>(view.widget(p.id));
        QVERIFY(widget);
        QCOMPARE(widget->rendering().size(), QSize(500, 375));
    }
    // Nothing changed since: nothing is decoded again.
    decodes = 0;
    view.sync();
    QCOMPARE(decodes.load(), 0);
}

QTEST_MAIN(TestStoredPictures)
#include "test_stored_pictures.moc"
