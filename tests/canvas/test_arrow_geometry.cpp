#include "canvas/arrow_geometry.h"

#include <QTest>

#include <climits>

using namespace velmar;

namespace {

// Bounding box of the pixels the pen painted (alpha not zero).
QRect paintedBox(const QImage& image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 0)
                box |= QRect(x, y, 1, 1);
    return box;
}

int paintedCount(const QImage& image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += qAlpha(image.pixel(x, y)) != 0;
    return n;
}

}  // namespace

class TestArrowGeometry : public QObject {
    Q_OBJECT
private slots:
    void workedExample();
    void headLength_data();
    void headLength();
    void headSitsAtTheEndPoint_data();
    void headSitsAtTheEndPoint();
    void drawsOpaqueStrokesOnTransparency_data();
    void drawsOpaqueStrokesOnTransparency();
    void penWidthIsClamped();
    void coincidingEndsGiveADot();
    void hugeArrowsMakeNoImage();
    void hitAreaCoversTheWidestStrokes_data();
    void hitAreaCoversTheWidestStrokes();
};

void TestArrowGeometry::workedExample()
{
    const ArrowGeometry g = arrowGeometry(100, 100, 200, 100);
    QCOMPARE(g.imageRect, QRect(85, 85, 130, 30));
    QCOMPARE(g.length, 100.0);
    QCOMPARE(g.headLength, 25);
    QVERIFY(qAbs(g.angle - 89.954) < 0.001);
    QCOMPARE(g.start, QPoint(15, 15));
    QCOMPARE(g.end, QPoint(115, 15));
    // The shaft's end is off by the 3.14 approximation before rounding.
    QVERIFY(g.endExact.y() > 15.1 && g.endExact.y() < 15.2);
    QCOMPARE(g.headEnd1, QPoint(92, 24));
    QCOMPARE(g.headEnd2, QPoint(92, 7));
    QVERIFY(g.hasHead);

    // The default arrow of a new outline object: 30 pixels from the creation point.
    const ArrowGeometry fresh = arrowGeometry(50, 60, 80, 60);
    QCOMPARE(fresh.headLength, 7);
    QCOMPARE(fresh.imageRect, QRect(QPoint(35, 45), QPoint(94, 74)));
}

void TestArrowGeometry::headLength_data()
{
    QTest::addColumn<QPoint>("delta");
    QTest::addColumn<int>("head");
    QTest::newRow("200 px") << QPoint(200, 0) << 25;
    QTest::newRow("12 px") << QPoint(0, 12) << 4;
    QTest::newRow("30 px") << QPoint(-30, 0) << 7;
    QTest::newRow("1 px: raised to 4") << QPoint(1, 0) << 4;
    QTest::newRow("19 px: 4.75 truncates to 4") << QPoint(0, -19) << 4;
    QTest::newRow("20 px") << QPoint(20, 0) << 5;
    QTest::newRow("99 px: 24.75 truncates") << QPoint(99, 0) << 24;
    QTest::newRow("101 px: lowered to 25") << QPoint(0, 101) << 25;
    QTest::newRow("diagonal 3-4-5 × 10") << QPoint(30, 40) << 12;
    QTest::newRow("diagonal 31.3 px") << QPoint(22, 22) << 7;
}

void TestArrowGeometry::headLength()
{
    QFETCH(QPoint, delta);
    QFETCH(int, head);
    QCOMPARE(arrowGeometry(300, 300, 300 + delta.x(), 300 + delta.y()).headLength, head);
}

void TestArrowGeometry::headSitsAtTheEndPoint_data()
{
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::newRow("right") << QPoint(100, 100) << QPoint(200, 100);
    QTest::newRow("left") << QPoint(200, 100) << QPoint(100, 100);
    QTest::newRow("down") << QPoint(100, 100) << QPoint(100, 200);
    QTest::newRow("up") << QPoint(100, 200) << QPoint(100, 100);
    QTest::newRow("down right") << QPoint(10, 20) << QPoint(90, 70);
    QTest::newRow("up left") << QPoint(90, 70) << QPoint(10, 20);
    QTest::newRow("up right") << QPoint(10, 300) << QPoint(250, 40);
    QTest::newRow("down left, steep") << QPoint(400, 10) << QPoint(390, 300);
    QTest::newRow("negative coordinates") << QPoint(-50, -40) << QPoint(-10, -90);
    QTest::newRow("short") << QPoint(5, 5) << QPoint(6, 5);
}

// Whatever the direction, the shaft ends at (x2, y2), the head strokes lie on the start's side of
// the end point at the head length, and the image holds both points 15 pixels in.
void TestArrowGeometry::headSitsAtTheEndPoint()
{
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    const ArrowGeometry g = arrowGeometry(from.x(), from.y(), to.x(), to.y());
    const QPoint origin = g.imageRect.topLeft();
    QCOMPARE(origin + g.start, from);
    QCOMPARE(origin + g.end, to);
    QCOMPARE(g.imageRect, QRect(QPoint(qMin(from.x(), to.x()) - 15, qMin(from.y(), to.y()) - 15),
                                QSize(qAbs(from.x() - to.x()) + 30, qAbs(from.y() - to.y()) + 30)));

    const QPointF shaft = QPointF(g.start) - g.endExact;
    for (const QPoint head : {g.headEnd1, g.headEnd2}) {
        const QPointF stroke = QPointF(head) - g.endExact;
        const double length = std::hypot(stroke.x(), stroke.y());
        QVERIFY2(qAbs(length - g.headLength) < 1.0, qPrintable(QString::number(length)));
        // Pointing back along the shaft, 20 degrees off it.
        const double cosine = (stroke.x() * shaft.x() + stroke.y() * shaft.y()) / (length * g.length);
        QVERIFY2(cosine > std::cos(25 * M_PI / 180), qPrintable(QString::number(cosine)));
    }
    // The two strokes lie on opposite sides of the shaft.
    const auto side = [&](QPoint p) {
        const QPointF v = QPointF(p) - g.endExact;
        return shaft.x() * v.y() - shaft.y() * v.x();
    };
    QVERIFY(side(g.headEnd1) * side(g.headEnd2) < 0);
}

void TestArrowGeometry::drawsOpaqueStrokesOnTransparency_data()
{
    QTest::addColumn<quint32>("colour");
    QTest::addColumn<QRgb>("rgb");
    QTest::newRow("black") << quint32(kBlack) << qRgb(0, 0, 0);
    QTest::newRow("red, stored as 0x00BBGGRR") << quint32(0x000000FF) << qRgb(255, 0, 0);
    QTest::newRow("white stays visible") << quint32(0x00FFFFFF) << qRgb(255, 255, 255);
    QTest::newRow("window text system colour") << quint32(kWindowText) << qRgb(0, 0, 0);
}

void TestArrowGeometry::drawsOpaqueStrokesOnTransparency()
{
    QFETCH(quint32, colour);
    QFETCH(QRgb, rgb);
    const ArrowPicture arrow = placeArrow(100, 100, 200, 100, 1, colour);
    const QImage& image = arrow.image;
    QCOMPARE(image.size(), QSize(130, 30));
    QCOMPARE(image.format(), QImage::Format_ARGB32);
    for (const QPoint p : {QPoint(15, 15), QPoint(60, 15), QPoint(115, 15), QPoint(92, 24), QPoint(92, 7)})
        QCOMPARE(image.pixel(p), rgb | 0xFF000000u);
    for (const QPoint p : {QPoint(0, 0), QPoint(129, 29), QPoint(60, 5), QPoint(10, 15), QPoint(120, 15)})
        QCOMPARE(qAlpha(image.pixel(p)), 0);
    // Only the shaft and the two strokes are painted: every painted pixel is opaque and of the colour.
    const QRect box = paintedBox(image);
    QCOMPARE(box, QRect(QPoint(15, 7), QPoint(115, 24)));
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb px = image.pixel(x, y);
            QVERIFY(qAlpha(px) == 0 || px == (rgb | 0xFF000000u));
        }
}

void TestArrowGeometry::penWidthIsClamped()
{
    const ArrowGeometry g = arrowGeometry(40, 40, 140, 90);
    int previous = 0;
    for (int width = 1; width <= 10; ++width) {
        const int painted = paintedCount(renderArrow(g, width, kBlack));
        QVERIFY2(painted > previous, qPrintable(QString::number(width)));
        previous = painted;
    }
    // Widths outside 1..10, as a damaged file may hold, draw as the nearest valid one.
    QCOMPARE(renderArrow(g, 0, kBlack), renderArrow(g, 1, kBlack));
    QCOMPARE(renderArrow(g, -7, kBlack), renderArrow(g, 1, kBlack));
    QCOMPARE(renderArrow(g, 1000, kBlack), renderArrow(g, 10, kBlack));
    // A wide pen stays inside the 15-pixel margin.
    const QRect box = paintedBox(renderArrow(g, 10, kBlack));
    QVERIFY(QRect(QPoint(0, 0), g.imageRect.size()).contains(box));
    QVERIFY(box.left() >= 9 && box.top() >= 9);
}

void TestArrowGeometry::coincidingEndsGiveADot()
{
    const ArrowGeometry g = arrowGeometry(50, 60, 50, 60);
    QCOMPARE(g.imageRect, QRect(35, 45, 30, 30));
    QVERIFY(!g.hasHead);
    QCOMPARE(g.length, 0.0);
    QCOMPARE(g.start, QPoint(15, 15));
    QCOMPARE(g.end, QPoint(15, 15));
    QVERIFY(!std::isnan(g.angle) && !std::isnan(g.endExact.x()));

    QCOMPARE(paintedBox(renderArrow(g, 1, kBlack)), QRect(15, 15, 1, 1));
    const QRect dot = paintedBox(renderArrow(g, 6, kBlack));
    QVERIFY(dot.contains(QPoint(15, 15)));
    QVERIFY(dot.width() >= 5 && dot.width() <= 7 && dot.height() >= 5 && dot.height() <= 7);
}

void TestArrowGeometry::hugeArrowsMakeNoImage()
{
    const ArrowPicture far = placeArrow(0, 0, 100000, 5, 1, kBlack);
    QCOMPARE(far.geometry.imageRect, QRect(-15, -15, 100030, 35));
    QCOMPARE(far.geometry.headLength, 25);
    QVERIFY(far.image.isNull());

    // Extreme coordinates from a damaged file neither overflow nor crash.
    const ArrowPicture extreme = placeArrow(INT_MIN, INT_MIN, INT_MAX, INT_MAX, 3, kBlack);
    QVERIFY(extreme.image.isNull());
    QCOMPARE(extreme.geometry.headLength, 25);
    QVERIFY(extreme.geometry.imageRect.width() > 0);
    QVERIFY(arrowHitRegion(far.geometry).isEmpty());
}

void TestArrowGeometry::hitAreaCoversTheWidestStrokes_data()
{
    QTest::addColumn<QLine>("ends");
    QTest::newRow("diagonal down right") << QLine(10, 10, 200, 120);
    QTest::newRow("steep up left") << QLine(300, 400, 280, 20);
    QTest::newRow("horizontal left") << QLine(500, 50, 20, 50);
    QTest::newRow("vertical down") << QLine(40, 10, 40, 300);
    QTest::newRow("short") << QLine(100, 100, 103, 98);
    QTest::newRow("a dot") << QLine(60, 60, 60, 60);
}

void TestArrowGeometry::hitAreaCoversTheWidestStrokes()
{
    QFETCH(QLine, ends);
    const ArrowGeometry g = arrowGeometry(ends.x1(), ends.y1(), ends.x2(), ends.y2());
    const QRegion hit = arrowHitRegion(g);
    // Every pixel the widest pen draws takes presses (the widget's mask also clips its
    // painting), and the area stays within a few pixels of the strokes.
    const QImage drawn = renderArrow(g, kArrowPenMax, kBlack);
    const QImage thin = renderArrow(g, 1, kBlack);
    int inside = 0;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x) {
            if (qAlpha(drawn.pixel(x, y)) != 0)
                QVERIFY2(hit.contains(QPoint(x, y)), qPrintable(QStringLiteral("(%1, %2) not taken").arg(x).arg(y)));
            if (!hit.contains(QPoint(x, y)))
                continue;
            ++inside;
            bool nearStroke = false;
            for (int dy = -7; dy <= 7 && !nearStroke; ++dy)
                for (int dx = -7; dx <= 7 && !nearStroke; ++dx)
                    nearStroke = thin.rect().contains(x + dx, y + dy) && qAlpha(thin.pixel(x + dx, y + dy)) != 0;
            QVERIFY2(nearStroke, qPrintable(QStringLiteral("(%1, %2) is far from the arrow").arg(x).arg(y)));
        }
    QVERIFY(inside >= paintedCount(drawn));
    QVERIFY(hit.boundingRect().intersects(drawn.rect()));
}

QTEST_MAIN(TestArrowGeometry)
#include "test_arrow_geometry.moc"
