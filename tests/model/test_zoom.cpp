#include "model/grid.h"
#include "model/outline.h"
#include "model/text_metrics.h"
#include "model/zoom.h"

#include <QTest>

using namespace velmar;

namespace {

// An outline with one object of every kind, on the grid of step 2, recorded at a client area of
// `client`.
Outline sampleOutline(QSize client)
{
    Outline outline;
    outline.setClientSize(client);
    outline.createFrame(QRect(10, 40, 150, 150), QStringLiteral("Наблюдения"));
    outline.createFrame(QRect(170, 34, 300, 220), QStringLiteral("Опыты"));
    outline.createCaption(QRect(500, 300, 80, 24), QStringLiteral("надпись"), 0);
    const int picture = outline.createPicture(QRect(10, 20, 60, 40), 2);
    outline.picture(picture).bounds = QRect(10, 20, 60, 40);
    const int video = outline.createVideo(QRect(), 0);
    outline.video(video).bounds = QRect(520, 60, 120, 90);
    const int text = outline.createTextField(QRect(), kButtonFace, QStringLiteral("ab\r\nabcd"), 1);
    outline.textField(text).bounds = QRect(20, 30, 66, 38);
    outline.createArrow(100, 100, 200, 100, 2, kBlack);
    outline.createArrow(300, 320, 250, 260, 1, 0x0000FF);
    snapToGrid(outline, 2);
    recordReferenceLayout(outline, client);
    return outline;
}

QList<QRect> geometryOf(const Outline& o)
{
    QList<QRect> all;
    for (int i = 1; i <= o.count(ObjectKind::Frame); ++i)
        all << o.frame(i).bounds;
    for (int i = 1; i <= o.count(ObjectKind::Caption); ++i)
        all << o.caption(i).bounds;
    for (int i = 1; i <= o.count(ObjectKind::Picture); ++i)
        all << o.picture(i).bounds;
    for (int i = 1; i <= o.count(ObjectKind::Video); ++i)
        all << o.video(i).bounds;
    for (int i = 1; i <= o.count(ObjectKind::Arrow); ++i) {
        const ArrowObject& a = o.arrow(i);
        all << QRect(QPoint(a.x1, a.y1), QPoint(a.x2, a.y2));
    }
    return all;
}

}  // namespace

class TestZoom : public QObject {
    Q_OBJECT
private slots:
    void recordsPerKindReference();
    void scalesFramesAndVideoBelowToolBar_data();
    void scalesFramesAndVideoBelowToolBar();
    void scalesCaptionsPicturesArrows_data();
    void scalesCaptionsPicturesArrows();
    void textFieldFontAndFit_data();
    void textFieldFontAndFit();
    void roundsHalvesToEven_data();
    void roundsHalvesToEven();
    void largeThenBackReturnsToReference();
    void farObjectsStayStorable();
    void snapsAfterScaling();
    void unusableSizesChangeNothing_data();
    void unusableSizesChangeNothing();
    void evenWindow_data();
    void evenWindow();
    void ownLayoutKeepsTheAspect_data();
    void ownLayoutKeepsTheAspect();
    void ownLayoutTakesEditsBackThroughTheScale();
};

void TestZoom::recordsPerKindReference()
{
    const Outline o = sampleOutline(QSize(728, 487));
    QCOMPARE(o.referenceClientSize(), QSize(728, 455));
    QCOMPARE(o.frame(1).reference, QRect(10, 9, 150, 119));
    QCOMPARE(o.video(1).reference, QRect(520, 29, 120, 59));
    QCOMPARE(o.caption(1).reference, QRect(500, 300, 80, 24));
    QCOMPARE(o.picture(1).reference, QRect(10, 20, 60, 40));
    QCOMPARE(o.textField(1).reference, QRect(20, 30, 66, 38));
    QCOMPARE(o.textField(1).referenceFontSize, 10.0);
    QCOMPARE(o.arrow(2).referenceStart, QPoint(300, 320));
    QCOMPARE(o.arrow(2).referenceEnd, QPoint(250, 260));

    // A frame lower than the tool bar strip keeps a negative reference height, exactly.
    Outline flat;
    flat.createFrame(QRect(0, 10, 40, 20), QStringLiteral("ф"));
    recordReferenceLayout(flat, QSize(100, 100));
    QCOMPARE(flat.frame(1).reference.y(), -21);
    QCOMPARE(flat.frame(1).reference.height(), -11);
}

// Frame (10, 40, 150, 150) and video fragment (520, 60, 120, 90), recorded at 728 × 487.
void TestZoom::scalesFramesAndVideoBelowToolBar_data()
{
    QTest::addColumn<QSize>("client");
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<QRect>("video");
    QTest::newRow("same size") << QSize(728, 487) << QRect(10, 40, 150, 150) << QRect(520, 60, 120, 90);
    QTest::newRow("double width: left and width only")
        << QSize(1456, 487) << QRect(20, 40, 300, 150) << QRect(1040, 60, 240, 90);
    // sy = 910 / 455 = 2: top = 2·9 + 31, height = 2·(119 + 31)
    QTest::newRow("double height below the tool bar")
        << QSize(728, 942) << QRect(10, 48, 150, 300) << QRect(520, 89, 120, 180);
    // sx = 0.5: 5, 75; 260, 60 — then the grid cuts 5 to 4 on the frame only
    QTest::newRow("half width") << QSize(364, 487) << QRect(4, 40, 74, 150) << QRect(260, 60, 60, 90);
}

void TestZoom::scalesFramesAndVideoBelowToolBar()
{
    QFETCH(QSize, client);
    QFETCH(QRect, frame);
    QFETCH(QRect, video);
    Outline o = sampleOutline(QSize(728, 487));
    QVERIFY(rescaleOutline(o, client, 2));
    QCOMPARE(o.frame(1).bounds, frame);
    QCOMPARE(o.video(1).bounds, video);
}

void TestZoom::scalesCaptionsPicturesArrows_data()
{
    QTest::addColumn<QSize>("reference");
    QTest::addColumn<QSize>("client");
    QTest::addColumn<QRect>("caption");
    QTest::addColumn<QList<int>>("arrow");  // x1, y1, x2, y2
    QTest::newRow("width 500 to 1000") << QSize(500, 432) << QSize(1000, 432) << QRect(1000, 300, 160, 24)
                                       << QList<int>{200, 100, 400, 100};
    // sx = 1.25, sy = 1.25: 100·1.25 = 125, 24·1.25 = 30
    QTest::newRow("a quarter larger") << QSize(400, 432) << QSize(500, 532) << QRect(624, 374, 100, 30)
                                      << QList<int>{125, 125, 250, 125};
    // sx = 0.75: 100·0.75 = 75; 500·0.75 = 375 → snapped 374; sy = 1: 24 stays
    QTest::newRow("three quarters wide") << QSize(400, 432) << QSize(300, 432) << QRect(374, 300, 60, 24)
                                         << QList<int>{75, 100, 150, 100};
}

void TestZoom::scalesCaptionsPicturesArrows()
{
    QFETCH(QSize, reference);
    QFETCH(QSize, client);
    QFETCH(QRect, caption);
    QFETCH(QList<int>, arrow);
    Outline o = sampleOutline(reference);
    QVERIFY(rescaleOutline(o, client, 2));
    QCOMPARE(o.caption(1).bounds, caption);
    const ArrowObject& a = o.arrow(1);
    QCOMPARE(QList<int>({a.x1, a.y1, a.x2, a.y2}), arrow);
    // The arrow keeps its reference, its colour and width.
    QCOMPARE(a.referenceStart, QPoint(100, 100));
    QCOMPARE(a.referenceEnd, QPoint(200, 100));
    QCOMPARE(a.penWidth, 2);
}

void TestZoom::farObjectsStayStorable()
{
    // Objects near the edge of what a file holds are not scaled past it.
    Outline o;
    const int frame = o.createFrame(QRect(-30000, 34, 150, 150), QStringLiteral("F"));
    o.createArrow(100, 30000, 32000, 31000, 1, kBlack);
    recordReferenceLayout(o, QSize(400, 432));
    QVERIFY(rescaleOutline(o, QSize(800, 864), 1));
    QCOMPARE(o.frame(frame).bounds.x(), kMinCoordinate);
    const ArrowObject& a = o.arrow(1);
    QCOMPARE(QList<int>({a.x1, a.y1, a.x2, a.y2}), QList<int>({200, 32767, 32767, 32767}));
}

void TestZoom::textFieldFontAndFit_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("font");
    QTest::addColumn<QSize>("reference");
    QTest::addColumn<QSize>("client");
    QTest::addColumn<int>("scaledFont");
    QTest::newRow("10 pt at 400 becomes 15 at 600")
        << QStringLiteral("ab\r\nabcd") << 10 << QSize(728, 432) << QSize(728, 632) << 15;
    QTest::newRow("10 pt at 400, 12.5 goes to even 12")
        << QStringLiteral("слово") << 10 << QSize(728, 432) << QSize(728, 532) << 12;
    QTest::newRow("7 pt halved: 3.5 goes to even 4")
        << QStringLiteral("x") << 7 << QSize(728, 432) << QSize(728, 232) << 4;
    QTest::newRow("tiny window keeps a 1 pt font")
        << QStringLiteral("x") << 10 << QSize(728, 4032) << QSize(728, 52) << 1;
    QTest::newRow("empty text keeps the scaled box") << QString() << 10 << QSize(500, 432) << QSize(1000, 632) << 15;
}

void TestZoom::textFieldFontAndFit()
{
    QFETCH(QString, text);
    QFETCH(int, font);
    QFETCH(QSize, reference);
    QFETCH(QSize, client);
    QFETCH(int, scaledFont);
    Outline o;
    o.createFrame(QRect(0, 34, 700, 400), QStringLiteral("ф"));
    const int slot = o.createTextField(QRect(), kButtonFace, text, 1);
    TextFieldObject& t = o.textField(slot);
    t.bounds = QRect(20, 30, 66, 40);
    t.font.size = font;
    recordReferenceLayout(o, reference);
    QVERIFY(rescaleOutline(o, client, 1));

    QCOMPARE(t.font.size, scaledFont);
    QCOMPARE(t.referenceFontSize, double(font));
    const double sx = double(client.width()) / reference.width();
    const double sy = double(client.height() - 32) / (reference.height() - 32);
    QCOMPARE(t.bounds.topLeft(), QPoint(int(std::nearbyint(20 * sx)), int(std::nearbyint(30 * sy))));
    if (text.isEmpty())
        QCOMPARE(t.bounds.size(), QSize(int(std::nearbyint(66 * sx)) + 3, int(std::nearbyint(40 * sy))));
    else
        QCOMPARE(t.bounds.size(), *autoSizeTextField(text, t.font));
}

void TestZoom::roundsHalvesToEven_data()
{
    QTest::addColumn<QSize>("client");  // from a reference of 200 × 232
    QTest::addColumn<QRect>("caption");
    QTest::addColumn<QList<int>>("arrow");
    // caption (5, 7, 9, 11), arrow (5, 7) → (13, 3)
    QTest::newRow("factor 1.5") << QSize(300, 332) << QRect(8, 10, 14, 16) << QList<int>{8, 10, 20, 4};
    QTest::newRow("factor 0.5") << QSize(100, 132) << QRect(2, 4, 4, 6) << QList<int>{2, 4, 6, 2};
    QTest::newRow("factor 2.5") << QSize(500, 532) << QRect(12, 18, 22, 28) << QList<int>{12, 18, 32, 8};
}

void TestZoom::roundsHalvesToEven()
{
    QFETCH(QSize, client);
    QFETCH(QRect, caption);
    QFETCH(QList<int>, arrow);
    Outline o;
    o.createCaption(QRect(5, 7, 9, 11), QStringLiteral("c"), 0);
    o.createArrow(5, 7, 13, 3, 1, kBlack);
    recordReferenceLayout(o, QSize(200, 232));
    QVERIFY(rescaleOutline(o, client, 1));
    QCOMPARE(o.caption(1).bounds, caption);
    const ArrowObject& a = o.arrow(1);
    QCOMPARE(QList<int>({a.x1, a.y1, a.x2, a.y2}), arrow);
}

void TestZoom::largeThenBackReturnsToReference()
{
    Outline o = sampleOutline(QSize(728, 487));
    const QList<QRect> before = geometryOf(o);
    for (QSize size : {QSize(1366, 737), QSize(1023, 1101), QSize(333, 97), QSize(4001, 3001)}) {
        QVERIFY(rescaleOutline(o, size, 2));
        QVERIFY(geometryOf(o) != before);
        QVERIFY(rescaleOutline(o, QSize(728, 487), 2));
        QCOMPARE(geometryOf(o), before);
    }
}

void TestZoom::snapsAfterScaling()
{
    // The scaled geometry is cut to the grid even though the reference is not on it.
    Outline o;
    o.createCaption(QRect(7, 9, 33, 21), QStringLiteral("c"), 0);
    const int video = o.createVideo(QRect(), 0);
    o.video(video).bounds = QRect(7, 41, 33, 45);
    recordReferenceLayout(o, QSize(100, 132));
    QVERIFY(rescaleOutline(o, QSize(200, 232), 4));
    QCOMPARE(o.caption(1).bounds, QRect(12, 16, 64, 40));
    // Video fragments are scaled but not snapped: 14, 2·10 + 31, 66, 2·45
    QCOMPARE(o.video(1).bounds, QRect(14, 51, 66, 90));
}

void TestZoom::unusableSizesChangeNothing_data()
{
    QTest::addColumn<QSize>("reference");
    QTest::addColumn<QSize>("client");
    QTest::newRow("reference height 0") << QSize(728, 32) << QSize(1000, 700);
    QTest::newRow("reference below the tool bar") << QSize(728, 20) << QSize(1000, 700);
    QTest::newRow("reference width 0") << QSize(0, 487) << QSize(1000, 700);
    QTest::newRow("minimised window") << QSize(728, 487) << QSize(0, 0);
    QTest::newRow("only the tool bar shows") << QSize(728, 487) << QSize(728, 32);
}

void TestZoom::unusableSizesChangeNothing()
{
    QFETCH(QSize, reference);
    QFETCH(QSize, client);
    Outline o = sampleOutline(QSize(728, 487));
    recordReferenceLayout(o, reference);
    o.caption(1).bounds = QRect(501, 301, 81, 25);  // off the grid: a snap would show
    const QList<QRect> before = geometryOf(o);
    QVERIFY(!rescaleOutline(o, client, 2));
    QCOMPARE(geometryOf(o), before);
    QCOMPARE(o.textField(1).font.size, 10);
}

void TestZoom::evenWindow_data()
{
    QTest::addColumn<QSize>("outer");
    QTest::addColumn<QSize>("even");
    QTest::newRow("745 becomes 744") << QSize(745, 546) << QSize(744, 546);
    QTest::newRow("both odd") << QSize(1025, 769) << QSize(1024, 768);
    QTest::newRow("already even") << QSize(800, 600) << QSize(800, 600);
    QTest::newRow("one pixel") << QSize(1, 1) << QSize(0, 0);
}

void TestZoom::evenWindow()
{
    QFETCH(QSize, outer);
    QFETCH(QSize, even);
    QCOMPARE(evenWindowSize(outer), even);
}

void TestZoom::ownLayoutKeepsTheAspect_data()
{
    QTest::addColumn<QSize>("made");    // the client area the outline was made for
    QTest::addColumn<QSize>("client");  // the one it is shown in
    QTest::addColumn<double>("scale");
    QTest::newRow("1920 × 1050 on 1280 × 900") << QSize(1904, 1011) << QSize(1264, 861) << 1264.0 / 1904;
    QTest::newRow("lower than made") << QSize(800, 632) << QSize(800, 332) << 300.0 / 600;
    QTest::newRow("narrower only") << QSize(1000, 532) << QSize(500, 900) << 0.5;
}

void TestZoom::ownLayoutKeepsTheAspect()
{
    QFETCH(QSize, made);
    QFETCH(QSize, client);
    QFETCH(double, scale);
    Outline o;
    o.createFrame(QRect(100, 100, 600, 500), QStringLiteral("Фото"));
    o.createPicture(QRect(), 1);
    o.picture(1).bounds = QRect(100, 80, 300, 300);  // a round photo
    recordReferenceLayout(o, made);
    QCOMPARE(fittingScale(o.referenceClientSize(), client), scale);
    showOwnLayout(o, scale, 2);
    // One scale for both axes: the square stays square (within a pixel of rounding and grid).
    const QRect photo = o.picture(1).bounds;
    QVERIFY2(std::abs(photo.width() - photo.height()) <= 2,
             qPrintable(QStringLiteral("%1×%2").arg(photo.width()).arg(photo.height())));
    QVERIFY(std::abs(photo.width() - 300 * scale) <= 2);
    // The whole outline lies on the canvas below the tool bar.
    const QRect frame = o.frame(1).bounds;
    QVERIFY(frame.right() < client.width() && frame.bottom() < client.height() && frame.top() >= 31);
    // Kept as made: written unscaled, every object where it was.
    const Outline own = ownLayoutOf(o);
    QCOMPARE(own.frame(1).bounds, QRect(100, 100, 600, 500));
    QCOMPARE(own.picture(1).bounds, QRect(100, 80, 300, 300));
    QCOMPARE(own.ownLayoutScale(), 0.0);
}

void TestZoom::ownLayoutTakesEditsBackThroughTheScale()
{
    // Odd values everywhere: at 2/3 none maps back onto itself by arithmetic alone.
    Outline o;
    o.createFrame(QRect(101, 97, 601, 503), QStringLiteral("А"));
    o.createFrame(QRect(803, 401, 299, 201), QStringLiteral("Б"));
    o.createCaption(QRect(1201, 777, 81, 23), QStringLiteral("c"), 0);
    o.createPicture(QRect(), 1);
    o.picture(1).bounds = QRect(13, 29, 301, 299);
    const int text = o.createTextField(QRect(), kButtonFace, QString(), 2);
    o.textField(text).bounds = QRect(21, 33, 67, 39);
    o.textField(text).font.size = 13;
    const int video = o.createVideo(QRect(), 0);
    o.video(video).bounds = QRect(1403, 61, 121, 91);
    o.createArrow(111, 121, 633, 477, 2, kBlack);
    recordReferenceLayout(o, QSize(1800, 1032));
    const Outline original = ownLayoutOf(o);
    showOwnLayout(o, 2.0 / 3, 2);

    // Untouched, and recorded at every step: nothing moves in the file, to the pixel.
    for (int step = 0; step < 5; ++step)
        recordReferenceLayout(o, QSize(1200, 700));
    Outline own = ownLayoutOf(o);
    QCOMPARE(geometryOf(own), geometryOf(original));
    QCOMPARE(own.textField(1).bounds, original.textField(1).bounds);
    QCOMPARE(own.textField(1).font.size, 13);

    // A 10-pixel move of the second frame and a new end of the arrow are 15 pixels in the file.
    o.frame(2).bounds.translate(10, 0);
    o.arrow(1).x2 += 10;
    recordReferenceLayout(o, QSize(1200, 700));
    own = ownLayoutOf(o);
    // Where the user put it, seen at full size (within a pixel), and so 15 pixels on (within the
    // grid's step, which the frame was shown on).
    const int put = o.frame(2).bounds.x();
    QVERIFY2(std::abs(own.frame(2).bounds.x() - put * 1.5) <= 1, qPrintable(QString::number(own.frame(2).bounds.x())));
    QVERIFY2(std::abs(own.frame(2).bounds.x() - (803 + 15)) <= 3, qPrintable(QString::number(own.frame(2).bounds.x())));
    QCOMPARE(own.frame(2).bounds.y(), 401);
    QCOMPARE(own.frame(2).bounds.size(), QSize(299, 201));
    QVERIFY2(std::abs(own.arrow(1).x2 - (633 + 15)) <= 1, qPrintable(QString::number(own.arrow(1).x2)));
    QCOMPARE(own.arrow(1).x1, 111);
    // The other objects stay exactly where they were.
    QCOMPARE(own.frame(1).bounds, original.frame(1).bounds);
    QCOMPARE(own.caption(1).bounds, original.caption(1).bounds);
    QCOMPARE(own.picture(1).bounds, original.picture(1).bounds);
    QCOMPARE(own.video(1).bounds, original.video(1).bounds);
    // Resized on the canvas (a frame's height), the file gets the size through the scale.
    o.frame(1).bounds.setHeight(o.frame(1).bounds.height() - 20);
    recordReferenceLayout(o, QSize(1200, 700));
    own = ownLayoutOf(o);
    QVERIFY2(std::abs(own.frame(1).bounds.height() - (503 - 30)) <= 2,
             qPrintable(QString::number(own.frame(1).bounds.height())));
    QCOMPARE(own.frame(1).bounds.topLeft(), original.frame(1).bounds.topLeft());
}

QTEST_MAIN(TestZoom)
#include "test_zoom.moc"
