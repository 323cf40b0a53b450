#include "paint/core/editor_undo.h"
#include "paint/core/palette.h"
#include "paint/core/shape_geometry.h"
#include "paint/core/zoom_mapping.h"

#include <QTest>

using namespace velmar::paint;

namespace {

// A 4 × 3 picture whose every pixel carries the stroke number n.
QImage state(int n, QSize size = QSize(4, 3))
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(qRgb(n, n, n));
    return img;
}

int stateNumber(const QImage& img) { return qRed(img.pixel(0, 0)); }

}  // namespace

class TestPaintCore : public QObject {
    Q_OBJECT
private slots:
    void pointerToPixelAtEveryZoom_data();
    void pointerToPixelAtEveryZoom();
    void scrollBarThresholds_data();
    void scrollBarThresholds();
    void paletteTable();
    void colourValueRoundTrip();
    void elevenStrokesThenUndoAndRedo();
    void newStrokeDropsRedo();
    void undoAtTheEdgesOfHistory();
    void undoRestoresTheStateSize();
    void slotsNeverShareThePicture();
    void lineBearingTable_data();
    void lineBearingTable();
    void squaresAndCircles_data();
    void squaresAndCircles();
};

void TestPaintCore::pointerToPixelAtEveryZoom_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QPoint>("pos");
    QTest::addColumn<QPoint>("pixel");
    QTest::newRow("1x") << 0 << QPoint(7, 9) << QPoint(7, 9);
    QTest::newRow("2x") << 1 << QPoint(7, 9) << QPoint(3, 4);
    QTest::newRow("6x") << 2 << QPoint(11, 12) << QPoint(1, 2);
    QTest::newRow("8x last of block") << 3 << QPoint(7, 7) << QPoint(0, 0);
    QTest::newRow("8x next block") << 3 << QPoint(8, 15) << QPoint(1, 1);
    // Just left of the picture during a drag: truncation toward zero, not flooring.
    QTest::newRow("8x negative") << 3 << QPoint(-7, -9) << QPoint(0, -1);
}

void TestPaintCore::pointerToPixelAtEveryZoom()
{
    QFETCH(int, row);
    QFETCH(QPoint, pos);
    QFETCH(QPoint, pixel);
    QCOMPARE(toPicturePixel(pos, zoomFactorForIndex(row)), pixel);
}

void TestPaintCore::scrollBarThresholds_data()
{
    QTest::addColumn<int>("work");
    QTest::addColumn<int>("control");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("maximum");
    QTest::newRow("exactly 23 narrower") << 400 << 377 << false << 0;
    QTest::newRow("22 narrower") << 400 << 378 << true << 1;
    QTest::newRow("much wider picture") << 400 << 3200 << true << 2823;
    QTest::newRow("tiny picture") << 400 << 1 << false << 0;
}

void TestPaintCore::scrollBarThresholds()
{
    QFETCH(int, work);
    QFETCH(int, control);
    QFETCH(bool, enabled);
    QFETCH(int, maximum);
    const CanvasLayout layout = layoutCanvas(QSize(work, 300), QSize(control, 10));
    QCOMPARE(layout.horizontal.enabled, enabled);
    QCOMPARE(layout.horizontal.maximum, maximum);
    QVERIFY(!layout.vertical.enabled);
}

void TestPaintCore::paletteTable()
{
    const auto& p = defaultPalette();
    QCOMPARE(QString(p[0].objectName), QStringLiteral("Panel12"));
    QCOMPARE(p[0].colour, 0x000000u);
    QCOMPARE(QString(p[5].objectName), QStringLiteral("Panel17"));
    QCOMPARE(p[5].colour, 0x0000FFu);  // red in 0x00BBGGRR
    QCOMPARE(p[5].position, QPoint(71, 22));
    QCOMPARE(QString(p[27].objectName), QStringLiteral("Panel39"));
    QCOMPARE(p[27].colour, 0x4080FFu);
    QCOMPARE(p[27].position, QPoint(247, 22));
    QCOMPARE(p[20].colour, 0xFF8000u);  // Panel32, top row of column 11
    QCOMPARE(p[20].position, QPoint(199, 6));
    QCOMPARE(pixelFromColourValue(p[5].colour), qRgb(255, 0, 0));
}

void TestPaintCore::colourValueRoundTrip()
{
    QCOMPARE(pixelFromColourValue(0x4080FF), qRgb(0xFF, 0x80, 0x40));
    QCOMPARE(colourValueFromPixel(qRgb(0xFF, 0x80, 0x40)), 0x4080FFu);
}

// The history beside the picture it keeps states of, as the editor holds them: each new state
// replaces the picture shown, undo and redo change it.
struct Shown {
    EditorUndo undo;
    QImage picture;
    void push(const QImage& next)
    {
        if (!picture.isNull())
            undo.replacing(picture);
        picture = next;
        undo.pushUndo(picture);
    }
    const QImage& back()
    {
        undo.undo(picture);
        return picture;
    }
    const QImage& forward()
    {
        undo.redo(picture);
        return picture;
    }
};

void TestPaintCore::elevenStrokesThenUndoAndRedo()
{
    Shown h;
    EditorUndo& undo = h.undo;
    undo.clear();
    h.push(state(0));  // the opened picture
    QVERIFY(!undo.undoEnabled());
    for (int stroke = 1; stroke <= 11; ++stroke)
        h.push(state(stroke));
    QCOMPARE(undo.index(), 10);
    QCOMPARE(undo.count(), 10);
    // The opened picture and the first stroke have been shifted out: slot 1 is stroke 2.
    QCOMPARE(stateNumber(undo.slot(1, h.picture)), 2);
    int shown = -1;
    for (int i = 0; i < 9; ++i)
        shown = stateNumber(h.back());
    QCOMPARE(shown, 2);
    QVERIFY(!undo.undoEnabled());
    QCOMPARE(stateNumber(h.back()), 2);  // a further undo keeps it
    QCOMPARE(undo.index(), 1);
    QVERIFY(undo.redoEnabled());
    for (int i = 0; i < 8; ++i)
        shown = stateNumber(h.forward());
    QCOMPARE(shown, 10);
    QVERIFY(undo.redoEnabled());
    QCOMPARE(stateNumber(h.forward()), 11);
    QVERIFY(!undo.redoEnabled());
    QCOMPARE(stateNumber(h.forward()), 11);
}

void TestPaintCore::newStrokeDropsRedo()
{
    Shown h;
    for (int n = 0; n < 4; ++n)
        h.push(state(n));
    h.back();
    h.back();
    h.push(state(7));
    QCOMPARE(h.undo.count(), 3);
    QCOMPARE(stateNumber(h.forward()), 7);
    QVERIFY(!h.undo.redoEnabled());
    QCOMPARE(stateNumber(h.back()), 1);
}

void TestPaintCore::undoAtTheEdgesOfHistory()
{
    Shown h;
    EditorUndo& undo = h.undo;
    // Nothing recorded yet: no state to show, nothing enabled.
    QVERIFY(h.back().isNull());
    QVERIFY(h.forward().isNull());
    h.push(state(5));
    QCOMPARE(stateNumber(h.back()), 5);
    QCOMPARE(undo.index(), 1);
    QVERIFY(!undo.undoEnabled());
    QCOMPARE(stateNumber(h.forward()), 5);
    QVERIFY(!undo.redoEnabled());
}

void TestPaintCore::undoRestoresTheStateSize()
{
    Shown h;
    h.push(state(1, QSize(100, 80)));
    h.push(state(2, QSize(120, 50)));
    QCOMPARE(h.back().size(), QSize(100, 80));
    QCOMPARE(h.forward().size(), QSize(120, 50));
}

void TestPaintCore::slotsNeverShareThePicture()
{
    // Drawing on the picture after recording it must not change the recorded state, whether the
    // kept tiles were newly allocated or their buffers reused.
    EditorUndo undo;
    QImage picture = state(1);
    for (int n = 0; n < 13; ++n) {
        undo.pushUndo(picture);
        undo.keep(picture, picture.rect());
        picture.fill(qRgb(200, 0, 0));
        QCOMPARE(stateNumber(undo.slot(undo.index(), picture)), 1);
        undo.replacing(picture);
        picture = state(1);
    }
}

void TestPaintCore::lineBearingTable_data()
{
    QTest::addColumn<QPoint>("pointer");
    QTest::addColumn<QPoint>("end");
    const QPoint s(100, 100);
    // 45°: on the exact diagonal at the pointer's distance (Trunc of 70.71 · sin 45°).
    QTest::newRow("45 up-right") << s + QPoint(50, -50) << s + QPoint(49, -49);
    QTest::newRow("200 vertical") << s + QPoint(-7, 20) << s + QPoint(0, 20);
    QTest::newRow("90 horizontal") << s + QPoint(30, 3) << s + QPoint(30, 0);
    QTest::newRow("135 down-right") << s + QPoint(10, 10) << s + QPoint(9, 9);
    QTest::newRow("225 down-left") << s + QPoint(-10, 10) << s + QPoint(-9, 9);
    QTest::newRow("270 horizontal") << s + QPoint(-40, -2) << s + QPoint(-40, 0);
    QTest::newRow("315 up-left") << s + QPoint(-10, -10) << s + QPoint(-9, -9);
    // 336–337° belong to no row of the table; they join the up-left diagonal.
    QTest::newRow("337 joins up-left") << s + QPoint(-40, -94) << s + QPoint(-72, -72);
    QTest::newRow("straight up") << s + QPoint(0, -30) << s + QPoint(0, -30);
}

void TestPaintCore::lineBearingTable()
{
    QFETCH(QPoint, pointer);
    QFETCH(QPoint, end);
    QCOMPARE(constrainedLineEnd(QPoint(100, 100), pointer), end);
}

void TestPaintCore::squaresAndCircles_data()
{
    QTest::addColumn<QPoint>("pointer");
    QTest::addColumn<QPoint>("corner");
    const QPoint s(50, 50);
    QTest::newRow("10 right 4 down") << s + QPoint(10, 4) << s + QPoint(10, 10);
    QTest::newRow("flat") << s + QPoint(10, 0) << s + QPoint(10, 0);
    QTest::newRow("up-left taller") << s + QPoint(-3, -8) << s + QPoint(-8, -8);
    QTest::newRow("equal offsets") << s + QPoint(5, -5) << s + QPoint(5, -5);
}

void TestPaintCore::squaresAndCircles()
{
    QFETCH(QPoint, pointer);
    QFETCH(QPoint, corner);
    QCOMPARE(squareCorner(QPoint(50, 50), pointer), corner);
    // The ellipse mirrors the pointer through its centre; the circle takes the larger offset.
    const CornerPair e = ellipseCorners(QPoint(50, 50), QPoint(60, 70), false);
    QCOMPARE(figureRect(e.a, e.b), QRect(QPoint(40, 30), QPoint(59, 69)));
    const CornerPair c = ellipseCorners(QPoint(50, 50), QPoint(45, 58), true);
    QCOMPARE(c.a, QPoint(42, 42));
    QCOMPARE(c.b, QPoint(58, 58));
}

QTEST_GUILESS_MAIN(TestPaintCore)
#include "test_paint_core.moc"
