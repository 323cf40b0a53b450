#include "model/object_kinds.h"
#include "model/object_transfer.h"
#include "storage/object_clipboard.h"

#include <QBuffer>
#include <QTest>

using namespace velmar;

// Objects copied out of one outline, carried as clipboard bytes and pasted into another.
class TestObjectClipboard : public QObject {
    Q_OBJECT
private slots:
    void aFrameCrossesWithEverythingItKeeps();
    void arrowsComeAlongOnlyBetweenCopiedObjects();
    void objectsPastedIntoAFrameAreFittedThere();
    void aKindWithoutRoomRefusesTheWholePaste();
    void damagedBytesAreRefused();
    void textsFollowTheReadingOrder();
};

namespace {

QByteArray jpegOf(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 80);
    return bytes;
}

// Frame 1 (with a picture, a text field and a film) and frame 2, an arrow from frame 1 to frame 2,
// an arrow from frame 1 to the empty canvas, and a text field on the canvas.
Outline source()
{
    Outline o;
    o.setClientSize(QSize(1000, 700));
    FrameObject& f = o.frame(o.createFrame(QRect(100, 80, 300, 200), QStringLiteral("Ωμέγα и фрейм")));
    f.titleColour = 0x0000FF;
    f.colour = 0x00FF00;
    f.minimalText = QStringLiteral("кратко ✓");
    PictureObject& p = o.picture(o.createPicture(QRect(10, 30, 80, 60), 1));
    QImage image(80, 60, QImage::Format_RGB32);
    image.fill(QColor(200, 30, 60));
    const QByteArray stream = jpegOf(image);
    p.setBitmap(QImage::fromData(stream).convertToFormat(QImage::Format_RGB32));
    p.setJpegStream(stream);
    p.border = 1;
    p.stretched = false;
    TextFieldObject& t = o.textField(
        o.createTextField(QRect(100, 30, 150, 60), kButtonFace, QStringLiteral("строка 1\r\nline 2 ₽"), 1));
    t.readOnly = true;
    t.font.style = FontBold;
    VideoObject& v = o.video(o.createVideo(QRect(10, 100, 120, 90), 1));
    v.fileName = QStringLiteral("/films/урок.avi");
    v.playerVisible = false;
    o.createFrame(QRect(500, 80, 200, 200), QStringLiteral("второй"));
    o.createArrow(300, 150, 600, 150, 3, 0x00FF0000);  // frame 1 to frame 2
    o.createArrow(300, 150, 900, 600, 1, kBlack);      // frame 1 to nothing
    o.createTextField(QRect(50, 400, 100, 40), kButtonFace, QStringLiteral("на холсте"), 0);
    return o;
}

std::optional<Outline> throughClipboard(const Outline& copy)
{
    QString problem;
    std::optional<Outline> back = objectsFromBytes(objectsToBytes(copy), &problem);
    if (!back)
        qWarning() << problem;
    return back;
}

}  // namespace

void TestObjectClipboard::aFrameCrossesWithEverythingItKeeps()
{
    const Outline from = source();
    const std::optional<Outline> copy = throughClipboard(copyObjects(from, {from.frame(1).id}));
    QVERIFY(copy);
    QCOMPARE(copy->count(ObjectKind::Frame), 1);
    QCOMPARE(copy->count(ObjectKind::Arrow), 0);  // both arrows leave the copied frame

    Outline into;
    into.setClientSize(QSize(1000, 700));
    into.createFrame(QRect(0, 40, 50, 50), QStringLiteral("есть"));
    const PasteResult pasted = pasteObjects(into, *copy, QPoint(20, 30), 0);
    QVERIFY(pasted.refusal.isEmpty());
    QCOMPARE(pasted.pasted, ObjectGroup{into.frame(2).id});
    const FrameObject& f = into.frame(2);
    QCOMPARE(f.bounds, QRect(120, 110, 300, 200));
    QCOMPARE(f.title, QStringLiteral("Ωμέγα и фрейм"));
    QCOMPARE(f.titleColour, ColourValue(0x0000FF));
    QCOMPARE(f.colour, ColourValue(0x00FF00));
    QCOMPARE(f.minimalText, QStringLiteral("кратко ✓"));
    // The frame's objects live in the pasted frame, where they were in the original.
    QCOMPARE(into.picture(1).parentFrame, quint8(2));
    QCOMPARE(into.picture(1).bounds, QRect(10, 30, 80, 60));
    QCOMPARE(into.picture(1).border, quint8(1));
    QCOMPARE(into.picture(1).stretched, false);
    // The picture's JPEG stream crossed as it was, not encoded again.
    QCOMPARE(into.picture(1).jpegStream(), from.picture(1).jpegStream());
    QCOMPARE(into.textField(1).parentFrame, quint8(2));
    QCOMPARE(into.textField(1).text, QStringLiteral("строка 1\r\nline 2 ₽"));
    QCOMPARE(into.textField(1).readOnly, true);
    QCOMPARE(into.textField(1).font.style, quint8(FontBold));
    QCOMPARE(into.video(1).fileName, QStringLiteral("/films/урок.avi"));
    QCOMPARE(into.video(1).playerVisible, false);
    // The pasted objects join the reading orders after those there were.
    QCOMPARE(into.frameSequence().entry(2), f.id);
    QCOMPARE(into.objectSequence().length(), 3);
}

void TestObjectClipboard::arrowsComeAlongOnlyBetweenCopiedObjects()
{
    const Outline from = source();
    const std::optional<Outline> copy = throughClipboard(copyObjects(from, {from.frame(1).id, from.frame(2).id}));
    QVERIFY(copy);
    QCOMPARE(copy->count(ObjectKind::Frame), 2);
    QCOMPARE(copy->count(ObjectKind::Arrow), 1);
    QCOMPARE(copy->arrow(1).penWidth, 3);
    QCOMPARE(copy->arrow(1).colour, ColourValue(0x00FF0000));
    // A chosen arrow comes whatever its ends touch; an object from a frame comes out onto the canvas.
    const std::optional<Outline> loose = throughClipboard(copyObjects(from, {from.arrow(2).id, from.picture(1).id}));
    QVERIFY(loose);
    QCOMPARE(loose->count(ObjectKind::Arrow), 1);
    QCOMPARE(QPoint(loose->arrow(1).x2, loose->arrow(1).y2), QPoint(900, 600));
    QCOMPARE(loose->picture(1).parentFrame, quint8(0));
    QCOMPARE(loose->picture(1).bounds, QRect(110, 110, 80, 60));
}

void TestObjectClipboard::objectsPastedIntoAFrameAreFittedThere()
{
    const Outline from = source();
    const Outline copy = copyObjects(from, {from.textField(2).id, from.arrow(1).id});
    Outline into = source();
    // At the pointer (650, 250) in frame 2 (500, 80, 200 × 200): the field lands there and is cut
    // at the frame's edges as new objects are; the arrow stays on the canvas, moved alike.
    const QPoint delta = QPoint(650, 250) - groupBounds(copy, allTopObjects(copy)).topLeft();
    const PasteResult pasted = pasteObjects(into, copy, delta, 2);
    QVERIFY(pasted.refusal.isEmpty());
    QCOMPARE(into.count(ObjectKind::TextField), 3);
    const TextFieldObject& t = into.textField(3);
    QCOMPARE(t.parentFrame, quint8(2));
    QCOMPARE(t.text, QStringLiteral("на холсте"));
    QVERIFY(into.frame(2).bounds.contains(canvasRectOf(into, t.id)));
    QCOMPARE(canvasRectOf(into, t.id).topLeft(), QPoint(650, 250));
    QCOMPARE(into.arrow(3).x1, 300 + delta.x());
    QCOMPARE(into.arrow(3).y2, 150 + delta.y());
    QCOMPARE(pasted.pasted, (ObjectGroup{t.id, into.arrow(3).id}));
}

void TestObjectClipboard::aKindWithoutRoomRefusesTheWholePaste()
{
    const Outline from = source();
    const Outline copy = copyObjects(from, {from.frame(1).id, from.frame(2).id});
    Outline into;
    into.setClientSize(QSize(1000, 700));
    for (int i = 0; i < 99; ++i)
        into.createFrame(QRect(i, 40, 10, 10), QString::number(i));
    const PasteResult pasted = pasteObjects(into, copy, QPoint(5, 5), 0);
    // Two frames do not fit beside 99; the pictures, fields and films would, but nothing is pasted.
    QVERIFY(pasted.pasted.empty());
    QVERIFY2(pasted.refusal.contains(QStringLiteral("фреймов")), qPrintable(pasted.refusal));
    QVERIFY2(pasted.refusal.contains(QStringLiteral("вставляется 2")), qPrintable(pasted.refusal));
    QVERIFY(!pasted.refusal.contains(QStringLiteral("рисунков")));
    QCOMPARE(into.count(ObjectKind::Frame), 99);
    QCOMPARE(into.count(ObjectKind::Picture), 0);
    QCOMPARE(into.count(ObjectKind::Arrow), 0);
    // One frame fits.
    QVERIFY(pasteObjects(into, copyObjects(from, {from.frame(2).id}), QPoint(5, 5), 0).refusal.isEmpty());
    QCOMPARE(into.count(ObjectKind::Frame), 100);
}

void TestObjectClipboard::damagedBytesAreRefused()
{
    const Outline from = source();
    QByteArray bytes = objectsToBytes(copyObjects(from, {from.frame(1).id}));
    QString problem;
    QVERIFY(!objectsFromBytes(bytes.left(1000), &problem));
    QVERIFY(!problem.isEmpty());
    QVERIFY(!objectsFromBytes(QByteArray("not an outline"), &problem));
}

void TestObjectClipboard::textsFollowTheReadingOrder()
{
    Outline o = source();
    // Frame 2 first in the frame order.
    o.frameSequence().swap(1, 2);
    o.createTextField(QRect(5, 5, 50, 20), kButtonFace, QStringLiteral("во втором"), 2);
    QCOMPARE(
        textsInReadingOrder(o),
        QStringLiteral("второй\nво втором\nΩμέγα и фрейм\nстрока 1\nline 2 ₽\nна "
                       "холсте"));
}

QTEST_GUILESS_MAIN(TestObjectClipboard)
#include "test_object_clipboard.moc"
