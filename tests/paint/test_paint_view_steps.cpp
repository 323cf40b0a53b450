// Zoom steps, wheel amounts, fitting an arriving picture, breaking off a stroke with Esc and the
// pencil's dot: the editor core without a window.
#include "paint/core/view_steps.h"
#include "paint/core/zoom_mapping.h"
#include "paint/editor/paint_editor.h"

#include <QTest>

using namespace velmar::paint;

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;

// A picture whose every pixel differs, so that any pixel drawn or left behind shows.
QImage numbered(QSize size)
{
    QImage img(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            img.setPixel(x, y, qRgb(x % 256, y % 256, (x * 7 + y) % 256));
    return img;
}

struct Editor {
    PaintDocument doc;
    PaintEditor ed{doc};

    explicit Editor(const QImage& picture)
    {
        ed.openPicture(picture);
        ed.activate();
    }
    ToolInput input(QPoint pos, Qt::MouseButton button) const
    {
        ToolInput in;
        in.pos = pos;
        in.pixel = toPicturePixel(pos, doc.zoomFactor());
        in.button = button;
        in.buttons = button;
        return in;
    }
    void press(QPoint p) { ed.press(input(p, Qt::LeftButton)); }
    void move(QPoint p) { ed.move(input(p, Qt::NoButton)); }
    void release(QPoint p) { ed.release(input(p, Qt::LeftButton)); }
};

int countColour(const QImage& img, QRgb colour)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += img.pixel(x, y) == colour;
    return n;
}

}  // namespace

class TestPaintViewSteps : public QObject {
    Q_OBJECT
private slots:
    void zoomKeepsThePointUnderThePointer_data();
    void zoomKeepsThePointUnderThePointer();
    void zoomStepsAndWheelAmounts();
    void fitKeepsAspect_data();
    void fitKeepsAspect();
    void escapeBreaksOffShapesAndFrames_data();
    void escapeBreaksOffShapesAndFrames();
    void escapePutsADraggedPieceBack();
    void escapeLeavesPencilStrokesAlone();
    void escapeBreaksOffAHandleDrag();
    void clickLeavesADotOfThePenWidth();
    void zoomKeepingToolKeepsTheTool();
    void oversizedPieceFitsIntoThePicture();
};

void TestPaintViewSteps::zoomKeepsThePointUnderThePointer_data()
{
    QTest::addColumn<QPoint>("pointer");
    QTest::addColumn<QPoint>("scroll");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::newRow("1 to 2 at the corner") << QPoint(2, 2) << QPoint(0, 0) << 1 << 2;
    QTest::newRow("1 to 2 mid view") << QPoint(150, 100) << QPoint(0, 0) << 1 << 2;
    QTest::newRow("2 to 6 scrolled") << QPoint(37, 211) << QPoint(90, 13) << 2 << 6;
    QTest::newRow("8 to 6 scrolled") << QPoint(300, 5) << QPoint(1200, 640) << 8 << 6;
    QTest::newRow("6 to 1, between pixels") << QPoint(101, 99) << QPoint(333, 47) << 6 << 1;
}

void TestPaintViewSteps::zoomKeepsThePointUnderThePointer()
{
    QFETCH(QPoint, pointer);
    QFETCH(QPoint, scroll);
    QFETCH(int, from);
    QFETCH(int, to);
    const QPoint wanted = scrollKeepingPoint(pointer, scroll, from, to);
    // The picture pixel under the pointer is the same before and after (to within the rounding of
    // one screen pixel when zooming out).
    const auto pictureAt = [&](QPoint s, int z) {
        return QPointF(pointer.x() - pictureOffset(s.x()), pointer.y() - pictureOffset(s.y())) / z;
    };
    const QPointF before = pictureAt(scroll, from);
    const QPointF after = pictureAt(wanted, to);
    QVERIFY2(
        std::abs(before.x() - after.x()) <= 0.5 / to + 1e-9 && std::abs(before.y() - after.y()) <= 0.5 / to + 1e-9,
        qPrintable(QStringLiteral("%1,%2 became %3,%4").arg(before.x()).arg(before.y()).arg(after.x()).arg(after.y())));
    // Zooming back returns to the view one started from, when zooming in came first.
    if (to > from)
        QCOMPARE(scrollKeepingPoint(pointer, wanted, to, from), scroll);
}

void TestPaintViewSteps::zoomStepsAndWheelAmounts()
{
    QCOMPARE(steppedZoomRow(0, 1), 1);
    QCOMPARE(steppedZoomRow(3, 1), 3);   // no row beyond 8x
    QCOMPARE(steppedZoomRow(0, -1), 4);  // below 1x: 1/2x
    QCOMPARE(steppedZoomRow(6, -1), 6);  // no row below 1/8x
    QCOMPARE(steppedZoomRow(1, 5), 3);   // a fast wheel stops at the last row
    // A notch away from the user scrolls back (up or left); a touchpad's own pixels win.
    QCOMPARE(wheelScrollPixels(120, 0), -kWheelNotchPixels);
    QCOMPARE(wheelScrollPixels(-240, 0), 2 * kWheelNotchPixels);
    QCOMPARE(wheelScrollPixels(15, 0), -5);
    QCOMPARE(wheelScrollPixels(120, 7), -7);
    QCOMPARE(wheelScrollPixels(0, 0), 0);
}

void TestPaintViewSteps::fitKeepsAspect_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QSize>("bounds");
    QTest::addColumn<QSize>("fitted");
    QTest::newRow("fits already") << QSize(100, 50) << QSize(321, 225) << QSize(100, 50);
    QTest::newRow("too wide") << QSize(642, 100) << QSize(321, 225) << QSize(321, 50);
    QTest::newRow("too high") << QSize(100, 900) << QSize(321, 225) << QSize(25, 225);
    QTest::newRow("both, height decides") << QSize(4000, 3000) << QSize(321, 225) << QSize(300, 225);
    QTest::newRow("a thread stays a pixel") << QSize(10000, 1) << QSize(100, 100) << QSize(100, 1);
    QTest::newRow("huge into tiny") << QSize(20000, 20000) << QSize(1, 1) << QSize(1, 1);
}

void TestPaintViewSteps::fitKeepsAspect()
{
    QFETCH(QSize, size);
    QFETCH(QSize, bounds);
    QFETCH(QSize, fitted);
    QCOMPARE(fitKeepingAspect(size, bounds), fitted);
}

void TestPaintViewSteps::escapeBreaksOffShapesAndFrames_data()
{
    QTest::addColumn<int>("tool");
    QTest::addColumn<int>("zoomRow");
    QTest::newRow("line") << int(ToolId::Line) << 0;
    QTest::newRow("rectangle") << int(ToolId::Rectangle) << 0;
    QTest::newRow("ellipse at 6x") << int(ToolId::Ellipse) << 2;
    QTest::newRow("rounded rectangle") << int(ToolId::RoundedRectangle) << 1;
    QTest::newRow("selection frame") << int(ToolId::Selection) << 0;
    QTest::newRow("text frame") << int(ToolId::Text) << 0;
}

void TestPaintViewSteps::escapeBreaksOffShapesAndFrames()
{
    QFETCH(int, tool);
    QFETCH(int, zoomRow);
    Editor e(numbered(QSize(60, 40)));
    e.ed.chooseZoom(zoomRow);
    e.ed.chooseTool(ToolId(tool));
    e.doc.mutableSizes().shapeWidth = 3;
    const QImage before = e.doc.picture().copy();
    const int z = e.doc.zoomFactor();
    e.press(QPoint(5, 5) * z);
    e.move(QPoint(30, 20) * z);
    e.move(QPoint(40, 30) * z);
    QVERIFY(e.ed.cancelStroke());
    QVERIFY(!e.doc.buttonDown());
    QCOMPARE(e.doc.picture(), before);
    QVERIFY(!e.doc.overlay().frameVisible);
    QVERIFY(!e.doc.overlay().handlesVisible);
    QVERIFY(e.doc.status().bandSize.isEmpty());
    // The button is still held: further moves and the release draw, lift and record nothing.
    e.move(QPoint(50, 35) * z);
    e.release(QPoint(50, 35) * z);
    QCOMPARE(e.doc.picture(), before);
    QVERIFY(!e.doc.pieceFloating());
    QVERIFY(!e.doc.overlay().textBoxVisible);
    QVERIFY(!e.doc.history().undoEnabled());
    // Nothing under way: Esc does nothing, and the next stroke draws as ever.
    QVERIFY(!e.ed.cancelStroke());
    if (tool != int(ToolId::Selection) && tool != int(ToolId::Text)) {
        e.press(QPoint(5, 5) * z);
        e.move(QPoint(30, 20) * z);
        e.release(QPoint(30, 20) * z);
        QVERIFY(e.doc.picture() != before);
        QVERIFY(e.doc.history().undoEnabled());
    }
}

void TestPaintViewSteps::escapePutsADraggedPieceBack()
{
    Editor e(numbered(QSize(80, 60)));
    e.ed.chooseTool(ToolId::Selection);
    e.press(QPoint(10, 10));
    e.move(QPoint(30, 30));
    e.release(QPoint(30, 30));
    QVERIFY(e.doc.pieceFloating());
    const QPoint lifted = e.doc.piecePos();
    const QImage piece = e.doc.piece();
    e.press(QPoint(15, 15));
    e.move(QPoint(45, 35));
    QVERIFY(e.doc.piecePos() != lifted);
    QVERIFY(e.ed.cancelStroke());
    QCOMPARE(e.doc.piecePos(), lifted);
    QCOMPARE(e.doc.overlay().frame.topLeft(), lifted);
    QVERIFY(e.doc.overlay().frameVisible && e.doc.overlay().handlesVisible);
    e.release(QPoint(45, 35));
    QCOMPARE(e.doc.piecePos(), lifted);
    QCOMPARE(e.doc.piece(), piece);
    // It still floats and can be taken hold of again.
    e.press(QPoint(15, 15));
    e.move(QPoint(25, 15));
    e.release(QPoint(25, 15));
    QCOMPARE(e.doc.piecePos(), lifted + QPoint(10, 0));
}

void TestPaintViewSteps::escapeLeavesPencilStrokesAlone()
{
    // A freehand stroke keeps no copy of the picture to go back to: Esc leaves it to finish.
    Editor e(numbered(QSize(40, 40)));
    e.press(QPoint(5, 5));
    e.move(QPoint(20, 20));
    QVERIFY(!e.ed.cancelStroke());
    QVERIFY(e.doc.buttonDown());
    e.release(QPoint(20, 20));
    QVERIFY(e.doc.history().undoEnabled());
}

void TestPaintViewSteps::escapeBreaksOffAHandleDrag()
{
    Editor e(numbered(QSize(80, 60)));
    const QImage before = e.doc.picture().copy();
    e.ed.canvasResizePress(CanvasHandle::Corner);
    e.ed.canvasResizeMove(QPoint(40, 30));
    QCOMPARE(e.doc.status().pictureSize, QStringLiteral("120 x 90"));
    QVERIFY(e.ed.cancelResize());
    QVERIFY(!e.ed.resizing());
    QCOMPARE(e.doc.status().pictureSize, QStringLiteral("80 x 60"));
    QVERIFY(e.doc.overlay().canvasHandlesVisible && !e.doc.overlay().frameVisible);
    e.ed.canvasResizeMove(QPoint(60, 60));
    e.ed.canvasResizeRelease();
    QCOMPARE(e.doc.picture(), before);
    QVERIFY(!e.doc.history().undoEnabled());

    // The frame of a floating piece: it keeps its size, and the piece is not stretched.
    e.ed.chooseTool(ToolId::Selection);
    e.press(QPoint(10, 10));
    e.move(QPoint(30, 40));
    e.release(QPoint(30, 40));
    const QRect frame = e.doc.overlay().frame;
    const QImage piece = e.doc.piece();
    e.ed.frameResizePress(FrameHandle::BottomRight);
    e.ed.frameResizeMove(QPoint(25, 5));
    QVERIFY(e.doc.overlay().frame != frame);
    QVERIFY(e.ed.cancelResize());
    QCOMPARE(e.doc.overlay().frame, frame);
    QVERIFY(e.doc.overlay().handlesVisible);
    e.ed.frameResizeRelease();
    QCOMPARE(e.doc.piece(), piece);
    QVERIFY(!e.ed.cancelResize());
}

void TestPaintViewSteps::clickLeavesADotOfThePenWidth()
{
    for (int width : {1, 2, 5, 9, 20}) {
        QImage white(60, 60, QImage::Format_RGB32);
        white.fill(kWhite);
        Editor e(white);
        e.doc.mutableSizes().pencilSize = width;
        e.press(QPoint(30, 30));
        e.release(QPoint(30, 30));
        const QImage& p = e.doc.picture();
        const int dot = countColour(p, kWhite);
        const int painted = p.width() * p.height() - dot;
        QVERIFY2(p.pixel(30, 30) != kWhite, qPrintable(QString::number(width)));
        // About the area of a disc of that width, and no wider than the width each way.
        const double disc = 3.14 * width * width / 4;
        QVERIFY2(width == 1 ? painted == 1 : (painted >= disc * 0.6 && painted <= width * width),
                 qPrintable(QStringLiteral("width %1 painted %2").arg(width).arg(painted)));
        QRect bounds;
        for (int y = 0; y < p.height(); ++y)
            for (int x = 0; x < p.width(); ++x)
                if (p.pixel(x, y) != kWhite)
                    bounds |= QRect(x, y, 1, 1);
        // As wide and as high as a stroke of that width is thick, with the clicked pixel inside.
        QImage line(60, 60, QImage::Format_RGB32);
        line.fill(kWhite);
        Editor stroke(line);
        stroke.doc.mutableSizes().pencilSize = width;
        stroke.press(QPoint(10, 30));
        stroke.move(QPoint(50, 30));
        stroke.release(QPoint(50, 30));
        int thickness = 0;
        for (int y = 0; y < 60; ++y)
            thickness += stroke.doc.picture().pixel(30, y) != kWhite;
        QCOMPARE(thickness, width);
        QVERIFY2(
            bounds.width() == thickness && bounds.height() == thickness && bounds.contains(30, 30),
            qPrintable(QStringLiteral("width %1 bounds %2x%3").arg(width).arg(bounds.width()).arg(bounds.height())));
        // The dot's middle row and column are as wide as the stroke too (no cut-off sides).
        int row = 0, column = 0;
        for (int i = 0; i < 60; ++i) {
            row += p.pixel(i, bounds.top() + width / 2) != kWhite;
            column += p.pixel(bounds.left() + width / 2, i) != kWhite;
        }
        QCOMPARE(row, width);
        QCOMPARE(column, width);
    }
    // A click on the edge paints what falls inside and no more.
    QImage white(10, 10, QImage::Format_RGB32);
    white.fill(kWhite);
    Editor e(white);
    e.doc.mutableSizes().pencilSize = 8;
    e.press(QPoint(0, 0));
    e.release(QPoint(0, 0));
    QVERIFY(e.doc.picture().pixel(0, 0) != kWhite);
    QCOMPARE(e.doc.picture().pixel(9, 9), kWhite);
}

void TestPaintViewSteps::zoomKeepingToolKeepsTheTool()
{
    Editor e(numbered(QSize(50, 50)));
    e.ed.chooseTool(ToolId::Eraser);
    e.ed.zoomKeepingTool(3);
    QCOMPARE(e.doc.zoomFactor(), 8);
    QCOMPARE(e.doc.currentTool(), ToolId::Eraser);
    // The eraser's square takes the new zoom at once.
    QCOMPARE(e.doc.overlay().eraserSquare.width(), e.doc.sizes().eraserSize * 8);
    e.ed.zoomKeepingTool(0);
    // The text tool writes at 1x only: zooming in gives the pencil.
    e.ed.chooseTool(ToolId::Text);
    e.ed.zoomKeepingTool(1);
    QCOMPARE(e.doc.zoomFactor(), 2);
    QCOMPARE(e.doc.currentTool(), ToolId::Pencil);
    // Not in the middle of a stroke.
    e.press(QPoint(4, 4));
    e.ed.zoomKeepingTool(2);
    QCOMPARE(e.doc.zoomFactor(), 2);
    e.release(QPoint(4, 4));
    // A floating piece goes down first, where it lay.
    e.ed.chooseTool(ToolId::Selection);
    e.press(QPoint(0, 0));
    e.move(QPoint(20, 20));
    e.release(QPoint(20, 20));
    QVERIFY(e.doc.pieceFloating());
    e.ed.zoomKeepingTool(0);
    QVERIFY(!e.doc.pieceFloating());
    QCOMPARE(e.doc.currentTool(), ToolId::Selection);
}

void TestPaintViewSteps::oversizedPieceFitsIntoThePicture()
{
    Editor e(numbered(QSize(100, 50)));
    QImage big(400, 100, QImage::Format_RGB32);
    big.fill(qRgb(0, 0, 255));
    e.ed.paste(big);
    QVERIFY(e.ed.pieceLargerThanPicture());
    e.ed.fitPieceToPicture();
    QCOMPARE(e.doc.piece().size(), QSize(100, 25));
    QCOMPARE(e.doc.overlay().frame.size(), QSize(100, 25));
    QVERIFY(!e.ed.pieceLargerThanPicture());
    QCOMPARE(e.doc.piece().pixel(50, 12), qRgb(0, 0, 255));
    // Pasted into a view scrolled right and down, the fitted piece moves onto the picture.
    e.ed.zoomKeepingTool(3);
    e.doc.setScrollPosition(QPoint(400, 200));
    QImage tall(60, 500, QImage::Format_RGB32);
    tall.fill(qRgb(0, 255, 0));
    e.ed.paste(tall);
    QCOMPARE(e.doc.piecePos(), QPoint(400, 200));
    e.ed.fitPieceToPicture();
    QCOMPARE(e.doc.piece().size(), QSize(6, 50));
    QCOMPARE(e.doc.piecePos(), QPoint(400, 0));
    QVERIFY(QRect(QPoint(0, 0), e.doc.controlSize()).contains(e.doc.pieceRect()));
    e.ed.zoomKeepingTool(0);
    // A piece that fits is left as it is.
    QImage small(10, 10, QImage::Format_RGB32);
    small.fill(qRgb(1, 2, 3));
    e.ed.paste(small);
    e.ed.fitPieceToPicture();
    QCOMPARE(e.doc.piece().size(), QSize(10, 10));
}

QTEST_MAIN(TestPaintViewSteps)
#include "test_paint_view_steps.moc"
