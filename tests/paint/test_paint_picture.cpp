// Seeing the whole picture and changing it whole: zooms below 1× and the fit to the window with
// every tool, crop, turns and resize of the picture or of its floating piece with their undo, the
// line's arrow heads, and the view scrolling after a dragged handle.
#include "paint/core/floating_piece.h"
#include "paint/core/picture_transforms.h"
#include "paint/core/view_steps.h"
#include "paint/core/zoom_mapping.h"
#include "paint/editor/paint_editor.h"
#include "paint/paint_option_list.h"
#include "paint/paint_picture_view.h"
#include "paint/paint_tool_column.h"
#include "paint/paint_window.h"
#include "paint/paint_work_area.h"

#include <QAction>
#include <QScrollBar>
#include <QTest>

using namespace velmar::paint;

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBlack = 0xFF000000;

// A picture whose every pixel differs, so that a pixel in the wrong place shows.
QImage numbered(QSize size)
{
    QImage img(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            img.setPixel(x, y, qRgb(x % 256, y % 256, (x / 256 * 40 + y / 256 * 7) % 256));
    return img;
}

// Pixels of no pattern at all (a fixed sequence of random numbers).
QImage noise(QSize size)
{
    QImage img(size, QImage::Format_RGB32);
    quint32 seed = 99;
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
            seed = seed * 1664525u + 1013904223u;
            img.setPixel(x, y, 0xFF000000u | (seed >> 8));
        }
    return img;
}

// The mean of the area of `from` each pixel of a picture of `size` covers, worked out in floating
// point, one channel (shift 16 red, 8 green, 0 blue) of pixel (x, y).
double areaMean(const QImage& from, QSize size, int x, int y, int shift)
{
    const double sx = double(from.width()) / size.width(), sy = double(from.height()) / size.height();
    double sum = 0;
    for (int j = int(y * sy); j < from.height() && j < (y + 1) * sy; ++j) {
        const double hy = std::min<double>(j + 1, (y + 1) * sy) - std::max<double>(j, y * sy);
        for (int i = int(x * sx); i < from.width() && i < (x + 1) * sx; ++i) {
            const double hx = std::min<double>(i + 1, (x + 1) * sx) - std::max<double>(i, x * sx);
            sum += hx * hy * ((from.pixel(i, j) >> shift) & 0xFF);
        }
    }
    return sum / (sx * sy);
}

const std::pair<const char*, VectorWidth> kWidths[] = {
    {"widest", VectorWidth::Widest}, {"sse2", VectorWidth::Sse2}, {"scalar", VectorWidth::Scalar}};

QImage white(QSize size)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(kWhite);
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
        in.pixel = toPicturePixel(pos, doc.zoom());
        in.button = button;
        in.buttons = button;
        return in;
    }
    void drag(QPoint from, QPoint to)
    {
        ed.press(input(from, Qt::LeftButton));
        ed.move(input((from + to) / 2, Qt::NoButton));
        ed.move(input(to, Qt::NoButton));
        ed.release(input(to, Qt::LeftButton));
    }
    void zoomTo(int row) { ed.zoomKeepingTool(row); }
};

}  // namespace

class TestPaintPicture : public QObject {
    Q_OBJECT
private slots:
    void zoomsBelowOneMapThePointer_data();
    void zoomsBelowOneMapThePointer();
    void zoomedOutViewAveragesWhatEachPixelStandsFor();
    void everyToolLandsUnderThePointerBelowOne_data();
    void everyToolLandsUnderThePointerBelowOne();
    void selectionBelowOneLiftsEveryPixel();
    void handlesBelowOneKeepSizesLeftAlone();
    void handleHeldFarPastTheEdgeStopsAtTheLargestPicture();
    void zoomStepsGoBySizeAndLeaveTheFit();
    void cropTakesTheFloatingPieceAndUndoesToTheLift();
    void turnsMovePixelsAndUndo_data();
    void turnsMovePixelsAndUndo();
    void floatingPieceTurnsAreUndoneOneByOne();
    void resizeSizesAndResampling_data();
    void resizeSizesAndResampling();
    void resizeIsOneStepAndShowsTheSize();
    void shrinkingAveragesTheAreaCovered_data();
    void shrinkingAveragesTheAreaCovered();
    void shrinkingAFinePatternGivesItsMean_data();
    void shrinkingAFinePatternGivesItsMean();
    void resizeUndoesAndRedoesExactly();
    void arrowHeads_data();
    void arrowHeads();
    void windowCommandsFitCropTurnResize();
    void handleHeldPastTheEdgeScrollsTheView();
};

void TestPaintPicture::zoomsBelowOneMapThePointer_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QSize>("control");
    // The 4000 × 3000 photo at 1/2, 1/4, 1/8 and fitted into a 600 × 400 view.
    QTest::newRow("1/2") << 4 << QSize(2000, 1500);
    QTest::newRow("1/4") << 5 << QSize(1000, 750);
    QTest::newRow("1/8") << 6 << QSize(500, 375);
    QTest::newRow("fit") << int(kFitRow) << QSize(533, 400);
}

void TestPaintPicture::zoomsBelowOneMapThePointer()
{
    QFETCH(int, row);
    QFETCH(QSize, control);
    PaintDocument doc;
    doc.setPicture(QImage(4000, 3000, QImage::Format_RGB32));
    doc.setViewSize(QSize(600, 400));
    doc.setZoomIndex(row);
    QCOMPARE(doc.controlSize(), control);
    const ZoomScale z = doc.zoom();
    // The control's last pixel shows a pixel of the picture, never one beyond it.
    const QPoint last = z.toPicture(QPoint(control.width() - 1, control.height() - 1));
    QVERIFY2(QRect(0, 0, 4000, 3000).contains(last), qPrintable(QStringLiteral("%1,%2").arg(last.x()).arg(last.y())));
    // A picture pixel's screen pixels cover it: control → picture → control returns at most one
    // screen pixel back.
    for (int c : {0, 1, 37, control.width() - 1})
        QVERIFY(c - z.toControl(z.toPicture(c)) <= 1);
    // Repainting a changed pixel repaints the screen pixel showing it.
    const QRect shown = z.controlRect(QRect(1234, 987, 1, 1));
    QVERIFY(shown.contains(z.toControl(QPoint(1234, 987))));
    QVERIFY(shown.width() >= 1 && shown.height() >= 1);
    // The text tool writes 1:1 only.
    Editor e(white(QSize(400, 300)));
    e.doc.setViewSize(QSize(100, 100));
    e.zoomTo(row);
    e.ed.chooseTool(ToolId::Text);
    QCOMPARE(e.doc.currentTool(), ToolId::Pencil);
}

void TestPaintPicture::zoomedOutViewAveragesWhatEachPixelStandsFor()
{
    // A one-pixel black line every eighth column on white: at 1/4 each screen column over a line
    // is a quarter black, every other one white; sampling one pixel in four would show the lines
    // all black or not at all, depending on where they fall.
    QImage lines = white(QSize(64, 40));
    for (int x = 3; x < 64; x += 8)
        for (int y = 0; y < 40; ++y)
            lines.setPixel(x, y, kBlack);
    const QImage quarter = sampleZoomedOut(lines, ZoomScale(1, 4), QRect(0, 0, 16, 10));
    QCOMPARE(quarter.size(), QSize(16, 10));
    for (int i = 0; i < 16; ++i)
        QCOMPARE(quarter.pixel(i, 5), i % 2 == 0 ? qRgb(191, 191, 191) : kWhite);

    // A checkerboard of single pixels at 1/2 is flat grey, in a part away from the corner too.
    QImage board(30, 20, QImage::Format_RGB32);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            board.setPixel(x, y, (x + y) % 2 ? kBlack : kWhite);
    const QImage half = sampleZoomedOut(board, ZoomScale(1, 2), QRect(3, 2, 10, 7));
    for (int j = 0; j < half.height(); ++j)
        for (int i = 0; i < half.width(); ++i)
            QCOMPARE(half.pixel(i, j), qRgb(128, 128, 128));

    // A fit that is no whole fraction (2/7) and a control reaching the picture's last pixels: the
    // last screen pixel averages what is left, and a transparent picture stays transparent
    // (premultiplied: a red pixel among transparent ones is a faint red, not a dark one).
    QImage clear(14, 7, QImage::Format_ARGB32_Premultiplied);
    clear.fill(Qt::transparent);
    clear.setPixel(13, 6, 0xFFFF0000);
    const ZoomScale fit(2, 7);
    const QImage small = sampleZoomedOut(clear, fit, QRect(QPoint(0, 0), fit.toControl(clear.size())));
    QCOMPARE(small.size(), QSize(4, 2));
    QCOMPARE(small.pixel(0, 0), 0u);
    const QRgb corner = small.pixel(3, 1);  // 4 × 4 pixels, one of them red
    QCOMPARE(qAlpha(corner), (255 + 8) / 16);
    QCOMPARE(qRed(corner), qAlpha(corner));  // premultiplied: full red
    QCOMPARE(qGreen(corner), 0);
}

void TestPaintPicture::everyToolLandsUnderThePointerBelowOne_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("down");
    QTest::newRow("1/2") << 4 << 2;
    QTest::newRow("1/4") << 5 << 4;
    QTest::newRow("1/8") << 6 << 8;
}

void TestPaintPicture::everyToolLandsUnderThePointerBelowOne()
{
    QFETCH(int, row);
    QFETCH(int, down);
    Editor e(white(QSize(800, 600)));
    e.zoomTo(row);
    QCOMPARE(e.doc.zoom(), ZoomScale(1, down));

    // Pencil click: the picture pixel under the screen pixel.
    e.drag(QPoint(10, 7), QPoint(10, 7));
    QCOMPARE(e.doc.picture().pixel(10 * down, 7 * down), kBlack);

    // A line from screen (5, 20) to (40, 20) runs along picture row 20·down, from 5·down to 40·down.
    e.ed.chooseTool(ToolId::Line);
    e.drag(QPoint(5, 20), QPoint(40, 20));
    QCOMPARE(e.doc.picture().pixel(5 * down, 20 * down), kBlack);
    QCOMPARE(e.doc.picture().pixel(40 * down, 20 * down), kBlack);
    QCOMPARE(e.doc.picture().pixel(20 * down, 20 * down + 3), kWhite);
    QCOMPARE(e.doc.picture().pixel(40 * down + 3, 20 * down), kWhite);

    // A rectangle's corners land on the picture pixels under the press and the release.
    e.ed.chooseTool(ToolId::Rectangle);
    e.drag(QPoint(10, 30), QPoint(30, 45));
    QCOMPARE(e.doc.picture().pixel(10 * down, 30 * down), kBlack);
    QCOMPARE(e.doc.picture().pixel(30 * down - 1, 45 * down - 1), kBlack);
    QCOMPARE(e.doc.picture().pixel(20 * down, 38 * down), kWhite);
    QCOMPARE(e.doc.status().bandSize, PaintDocument::sizeText(20 * down, 15 * down));

    // The eraser clears eraserSize picture pixels around the pointer, whatever the zoom.
    e.ed.chooseTool(ToolId::Fill);
    e.drag(QPoint(2, 60), QPoint(2, 60));  // black everywhere the fill reaches: the outside
    QCOMPARE(e.doc.picture().pixel(0, 0), kBlack);
    e.ed.chooseTool(ToolId::Eraser);
    e.drag(QPoint(60, 60), QPoint(60, 60));
    const QRect square = e.doc.overlay().eraserSquare;
    const QPoint corner = e.doc.zoom().toPicture(square.topLeft());
    QCOMPARE(e.doc.picture().pixel(corner), kWhite);
    QCOMPARE(e.doc.picture().pixel(corner + QPoint(9, 9)), kWhite);
    QCOMPARE(e.doc.picture().pixel(corner + QPoint(10, 10)), kBlack);
    QVERIFY(QRect(corner, QSize(10, 10)).contains(QPoint(60 * down, 60 * down)));

    // The colour picker reads the pixel under the pointer.
    e.ed.chooseTool(ToolId::ColourPicker);
    e.drag(QPoint(61, 61), QPoint(61, 61));
    QCOMPARE(e.doc.frontColour(), e.doc.picture().pixel(61 * down, 61 * down));
}

void TestPaintPicture::selectionBelowOneLiftsEveryPixel()
{
    // An odd size, which 1/4 does not divide: Select all still takes every pixel.
    const QImage picture = numbered(QSize(101, 77));
    Editor e(picture);
    e.zoomTo(5);
    QCOMPARE(e.doc.controlSize(), QSize(25, 19));
    e.ed.selectAll();
    QCOMPARE(e.doc.piece(), picture);
    e.ed.putDownPiece();
    QCOMPARE(e.doc.picture(), picture);

    // A frame dragged over screen pixels 2..10 lifts picture pixels 8..40, and moving it by one
    // screen pixel moves it by four picture pixels.
    e.ed.chooseTool(ToolId::Selection);
    e.drag(QPoint(2, 2), QPoint(10, 10));
    QCOMPARE(e.doc.piece().size(), QSize(32, 32));
    QCOMPARE(e.doc.piece().pixel(0, 0), picture.pixel(8, 8));
    e.drag(QPoint(5, 5), QPoint(6, 5));
    e.ed.putDownPiece();
    QCOMPARE(e.doc.picture().pixel(12, 8), picture.pixel(8, 8));
    QCOMPARE(e.doc.picture().pixel(9, 9), e.doc.backColour());  // where it was lifted from
}

void TestPaintPicture::handlesBelowOneKeepSizesLeftAlone()
{
    // Below 1× the control's size is rounded: a canvas handle let go where it was, or a piece's
    // handle, must not shave a row off.
    Editor e(numbered(QSize(403, 261)));
    e.zoomTo(6);
    e.ed.canvasResizePress(CanvasHandle::Corner);
    e.ed.canvasResizeMove(QPoint(0, 0));
    e.ed.canvasResizeRelease();
    QCOMPARE(e.doc.picture().size(), QSize(403, 261));
    e.ed.canvasResizePress(CanvasHandle::Right);
    e.ed.canvasResizeMove(QPoint(2, 5));
    e.ed.canvasResizeRelease();
    QCOMPARE(e.doc.picture().size(), QSize(419, 261));

    e.ed.selectAll();
    const QImage piece = e.doc.piece();
    e.ed.frameResizePress(FrameHandle::Left);
    e.ed.frameResizeMove(QPoint(0, 0));
    e.ed.frameResizeRelease();
    QCOMPARE(e.doc.piece(), piece);
}

void TestPaintPicture::handleHeldFarPastTheEdgeStopsAtTheLargestPicture()
{
    // A handle held past the view's edge keeps the view scrolling for as long as the button is
    // down; the picture and a piece stop at the largest side instead of asking for gigabytes.
    for (int row : {6, 3}) {  // 1/8x and 8x
        Editor e(numbered(QSize(40, 30)));
        e.zoomTo(row);
        e.ed.canvasResizePress(CanvasHandle::Right);
        e.ed.canvasResizeMove(QPoint(4000000, 0));
        QVERIFY(e.doc.overlay().frame.width() <= e.doc.zoom().toControl(kMaxPictureSide));
        e.ed.canvasResizeRelease();
        QCOMPARE(e.doc.picture().size(), QSize(kMaxPictureSide, 30));
    }
    Editor e(numbered(QSize(40, 30)));
    e.ed.selectAll();
    e.ed.frameResizePress(FrameHandle::Left);
    e.ed.frameResizeMove(QPoint(-4000000, 0));
    QCOMPARE(e.doc.overlay().frame.width(), kMaxPictureSide);
    QCOMPARE(e.doc.overlay().frame.right(), 39);  // the right edge stays where it was
    e.ed.frameResizeRelease();
    QCOMPARE(e.doc.piece().size(), QSize(kMaxPictureSide, 30));
}

void TestPaintPicture::zoomStepsGoBySizeAndLeaveTheFit()
{
    // By size: 1/8, 1/4, 1/2, 1, 2, 6, 8.
    QCOMPARE(steppedZoomRow(0, -1), 4);
    QCOMPARE(steppedZoomRow(4, -2), 6);
    QCOMPARE(steppedZoomRow(6, -1), 6);
    QCOMPARE(steppedZoomRow(6, 3), 0);
    QCOMPARE(steppedZoomRow(4, 1), 0);
    // From a fit between 1/8 and 1/4: one step either way reaches the neighbour on that side.
    const ZoomScale fit(533, 4000);
    QCOMPARE(steppedZoomRow(kFitRow, 1, fit), 5);
    QCOMPARE(steppedZoomRow(kFitRow, -1, fit), 6);
    QCOMPARE(steppedZoomRow(kFitRow, 2, fit), 4);
    // A fit of exactly 1/2 steps past it, not onto it; below 1/8 there is nothing smaller.
    QCOMPARE(steppedZoomRow(kFitRow, 1, ZoomScale(1, 2)), 0);
    QCOMPARE(steppedZoomRow(kFitRow, -1, ZoomScale(1, 20)), kFitRow);

    // The fit never enlarges; it keeps the aspect and fills one side.
    QCOMPARE(fitScale(QSize(300, 200), QSize(600, 400)), ZoomScale(1));
    QCOMPARE(fitScale(QSize(4000, 3000), QSize(600, 400)).toControl(QSize(4000, 3000)), QSize(533, 400));
    QCOMPARE(fitScale(QSize(3000, 4000), QSize(600, 400)).toControl(QSize(3000, 4000)), QSize(300, 400));
    QCOMPARE(fitScale(QSize(20000, 10), QSize(600, 400)).toControl(QSize(20000, 10)), QSize(600, 1));

    // Wheel zoom about a point keeps it at fractional zooms too.
    // Picture point (1298, 998) under the pointer at 1×; at 1/4 it lies at (324.5, 249.5) of the
    // control, rounded to even.
    QCOMPARE(scrollKeepingPoint(QPoint(300, 200), QPoint(1000, 800), ZoomScale(1), ZoomScale(1, 4)), QPoint(26, 52));
}

void TestPaintPicture::cropTakesTheFloatingPieceAndUndoesToTheLift()
{
    const QImage picture = numbered(QSize(300, 200));
    Editor e(picture);
    QVERIFY(!e.ed.canCrop());
    e.ed.chooseTool(ToolId::Selection);
    e.drag(QPoint(20, 30), QPoint(120, 80));
    e.drag(QPoint(50, 50), QPoint(70, 60));  // moved: the crop takes the piece, not its old place
    QVERIFY(e.ed.canCrop());
    const int index = e.doc.history().index();
    e.ed.cropToSelection();
    QCOMPARE(e.doc.picture(), picture.copy(20, 30, 100, 50));
    QVERIFY(!e.doc.pieceFloating());
    QVERIFY(!e.doc.overlay().frameVisible);
    QCOMPARE(e.doc.status().pictureSize, QStringLiteral("100 x 50"));
    QCOMPARE(e.doc.history().index(), index + 1);
    // One undo: the picture as before the lift, hole and all gone.
    e.ed.undo();
    QCOMPARE(e.doc.picture(), picture);
    QCOMPARE(e.doc.status().pictureSize, QStringLiteral("300 x 200"));
    e.ed.redo();
    QCOMPARE(e.doc.picture(), picture.copy(20, 30, 100, 50));
    // A stroke after the crop is its own step: undo keeps the crop.
    e.ed.chooseTool(ToolId::Pencil);
    e.drag(QPoint(5, 5), QPoint(20, 5));
    e.ed.undo();
    QCOMPARE(e.doc.picture(), picture.copy(20, 30, 100, 50));
}

void TestPaintPicture::turnsMovePixelsAndUndo_data()
{
    QTest::addColumn<int>("turn");
    QTest::addColumn<QSize>("size");
    // Where picture pixel (x, y) of a W × H picture goes.
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::newRow("right") << int(PictureTurn::Right90) << QSize(4, 7) << QPoint(1, 2) << QPoint(1, 1);
    QTest::newRow("left") << int(PictureTurn::Left90) << QSize(4, 7) << QPoint(1, 2) << QPoint(2, 5);
    QTest::newRow("half") << int(PictureTurn::Half) << QSize(7, 4) << QPoint(1, 2) << QPoint(5, 1);
    QTest::newRow("left to right") << int(PictureTurn::FlipHorizontal) << QSize(7, 4) << QPoint(1, 2) << QPoint(5, 2);
    QTest::newRow("top to bottom") << int(PictureTurn::FlipVertical) << QSize(7, 4) << QPoint(1, 2) << QPoint(1, 1);
}

void TestPaintPicture::turnsMovePixelsAndUndo()
{
    QFETCH(int, turn);
    QFETCH(QSize, size);
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    const QImage picture = numbered(QSize(7, 4));
    Editor e(picture);
    e.ed.turn(PictureTurn(turn));
    QCOMPARE(e.doc.picture().size(), size);
    QCOMPARE(e.doc.picture().pixel(to), picture.pixel(from));
    QCOMPARE(e.doc.status().pictureSize, PaintDocument::sizeText(size.width(), size.height()));
    QCOMPARE(e.doc.history().index(), 2);
    QVERIFY(e.doc.pictureModified());
    // Turned again the same way (twice more for a quarter turn), the picture is back.
    e.ed.turn(PictureTurn(turn));
    if (turn == int(PictureTurn::Right90) || turn == int(PictureTurn::Left90)) {
        e.ed.turn(PictureTurn(turn));
        e.ed.turn(PictureTurn(turn));
    }
    QCOMPARE(e.doc.picture(), picture);
    // Undo walks back through every turn to the picture as opened.
    while (e.ed.undoAvailable())
        e.ed.undo();
    QCOMPARE(e.doc.picture(), picture);
    e.ed.redo();
    QCOMPARE(e.doc.picture().pixel(to), picture.pixel(from));
}

void TestPaintPicture::floatingPieceTurnsAreUndoneOneByOne()
{
    const QImage picture = numbered(QSize(200, 100));
    Editor e(picture);
    e.ed.chooseTool(ToolId::Selection);
    e.drag(QPoint(10, 10), QPoint(70, 30));  // a 60 × 20 piece
    const QImage piece = e.doc.piece();
    const QImage under = e.doc.picture();
    e.ed.turn(PictureTurn::Right90);
    QCOMPARE(e.doc.piece().size(), QSize(20, 60));
    QCOMPARE(e.doc.piece().pixel(19, 0), piece.pixel(0, 0));
    QCOMPARE(e.doc.picture(), under);  // only the piece turned
    QCOMPARE(e.doc.overlay().frame, e.doc.pieceRect());
    QCOMPARE(e.doc.status().bandSize, QStringLiteral("20 x 60"));
    e.ed.resizeTo(QSize(10, 30));
    QCOMPARE(e.doc.piece().size(), QSize(10, 30));
    QVERIFY(e.ed.undoAvailable());
    QVERIFY(!e.doc.history().undoEnabled());  // nothing of the picture itself to undo yet

    // Each undo takes back one change of the piece, which keeps floating.
    e.ed.undo();
    QCOMPARE(e.doc.piece().size(), QSize(20, 60));
    e.ed.undo();
    QCOMPARE(e.doc.piece(), piece);
    QVERIFY(e.doc.pieceFloating());
    e.ed.redo();
    QCOMPARE(e.doc.piece().size(), QSize(20, 60));

    // Put down, the turned piece is one step of the picture; undo returns to before the lift.
    e.ed.chooseTool(ToolId::Pencil);
    QCOMPARE(e.doc.picture().pixel(29, 10), piece.pixel(0, 0));
    e.ed.undo();
    QCOMPARE(e.doc.picture(), picture);

    // A piece changed by hand (its handles) no longer steps back through the turns of another.
    e.ed.chooseTool(ToolId::Selection);
    e.drag(QPoint(10, 10), QPoint(70, 30));
    e.ed.turn(PictureTurn::FlipHorizontal);
    e.ed.frameResizePress(FrameHandle::Right);
    e.ed.frameResizeMove(QPoint(20, 0));
    e.ed.frameResizeRelease();
    e.ed.undo();
    QVERIFY(!e.doc.pieceFloating());
    QCOMPARE(e.doc.picture(), picture);
}

void TestPaintPicture::resizeSizesAndResampling_data()
{
    QTest::addColumn<bool>("percent");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<bool>("keep");
    QTest::addColumn<QSize>("expected");
    QTest::newRow("half, kept") << true << 50 << 999 << true << QSize(2000, 1500);
    QTest::newRow("per cent each way") << true << 50 << 10 << false << QSize(2000, 300);
    QTest::newRow("pixels, kept") << false << 1000 << 1 << true << QSize(1000, 750);
    QTest::newRow("pixels") << false << 123 << 45 << false << QSize(123, 45);
    QTest::newRow("tiny") << true << 0 << 0 << true << QSize(1, 1);
    QTest::newRow("huge") << true << 1000 << 1000 << true << QSize(kMaxPictureSide, kMaxPictureSide);
}

void TestPaintPicture::resizeSizesAndResampling()
{
    QFETCH(bool, percent);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(bool, keep);
    QFETCH(QSize, expected);
    QCOMPARE(resizedSize(QSize(4000, 3000), {percent, width, height, keep}), expected);
}

void TestPaintPicture::resizeIsOneStepAndShowsTheSize()
{
    // Black and white stripes one pixel wide, halved smoothly, give grey, not one of the two.
    QImage stripes(40, 20, QImage::Format_RGB32);
    for (int x = 0; x < 40; ++x)
        for (int y = 0; y < 20; ++y)
            stripes.setPixel(x, y, x % 2 ? kWhite : kBlack);
    Editor e(stripes);
    e.ed.resizeTo(QSize(20, 10));
    QCOMPARE(e.doc.picture().size(), QSize(20, 10));
    const int grey = qGreen(e.doc.picture().pixel(10, 5));
    QVERIFY2(grey > 80 && grey < 175, qPrintable(QString::number(grey)));
    QCOMPARE(e.doc.status().pictureSize, QStringLiteral("20 x 10"));
    QCOMPARE(e.doc.history().index(), 2);
    e.ed.undo();
    QCOMPARE(e.doc.picture(), stripes);
    // The same size again changes nothing and records nothing.
    e.ed.resizeTo(QSize(40, 20));
    QCOMPARE(e.doc.history().index(), 1);
}

void TestPaintPicture::shrinkingAveragesTheAreaCovered_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<QSize>("from");
    QTest::addColumn<QSize>("to");
    // Whole ratios and ragged ones, sides that are no multiple of the bands and blocks, a side
    // left as it is, a slight shrink, a deep one and a single pixel.
    const std::pair<QSize, QSize> sizes[] = {{{64, 48}, {32, 24}},  {{203, 75}, {67, 31}}, {{150, 40}, {149, 39}},
                                             {{97, 13}, {1, 1}},    {{64, 64}, {7, 64}},   {{40, 90}, {40, 17}},
                                             {{333, 35}, {20, 33}}, {{19, 301}, {18, 150}}};
    for (const auto& [name, width] : kWidths)
        for (const auto& [from, to] : sizes)
            QTest::addRow("%s %dx%d to %dx%d", name, from.width(), from.height(), to.width(), to.height())
                << int(width) << from << to;
}

void TestPaintPicture::shrinkingAveragesTheAreaCovered()
{
    // Every channel of every new pixel is the mean of the area it covers, to within the rounding
    // of the shares (a level or two of 255).
    QFETCH(int, width);
    QFETCH(QSize, from);
    QFETCH(QSize, to);
    limitVectorWidth(VectorWidth(width));
    const QImage picture = noise(from);
    const QImage small = resampled(picture, to);
    limitVectorWidth(VectorWidth::Widest);
    QCOMPARE(small.size(), to);
    double worst = 0;
    for (int y = 0; y < to.height(); ++y)
        for (int x = 0; x < to.width(); ++x) {
            QCOMPARE(qAlpha(small.pixel(x, y)), 255);
            for (int shift : {16, 8, 0})
                worst = std::max(worst,
                                 std::abs(areaMean(picture, to, x, y, shift) - ((small.pixel(x, y) >> shift) & 0xFF)));
        }
    QVERIFY2(worst <= 2.0, qPrintable(QString::number(worst)));
    // A flat colour stays exactly that colour.
    QImage flat(from, QImage::Format_RGB32);
    flat.fill(qRgb(201, 7, 99));
    limitVectorWidth(VectorWidth(width));
    const QImage flatSmall = resampled(flat, to);
    limitVectorWidth(VectorWidth::Widest);
    for (int y = 0; y < to.height(); ++y)
        for (int x = 0; x < to.width(); ++x)
            QCOMPARE(flatSmall.pixel(x, y), qRgb(201, 7, 99));
}

void TestPaintPicture::shrinkingAFinePatternGivesItsMean_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("percent");
    for (const auto& [name, width] : kWidths)
        for (int percent : {50, 25})
            QTest::addRow("%s %d%%", name, percent) << int(width) << percent;
}

void TestPaintPicture::shrinkingAFinePatternGivesItsMean()
{
    // A checkerboard of single black and white pixels made half or a quarter as large is one
    // flat grey, not a pattern of its own (no aliasing), whatever the vector code.
    QFETCH(int, width);
    QFETCH(int, percent);
    QImage board(400, 300, QImage::Format_RGB32);
    for (int y = 0; y < board.height(); ++y)
        for (int x = 0; x < board.width(); ++x)
            board.setPixel(x, y, (x + y) % 2 ? kWhite : kBlack);
    limitVectorWidth(VectorWidth(width));
    const QImage small = resampled(board, board.size() * percent / 100);
    limitVectorWidth(VectorWidth::Widest);
    const QRgb grey = small.pixel(0, 0);
    QVERIFY2(qRed(grey) >= 127 && qRed(grey) <= 128, qPrintable(QString::number(qRed(grey))));
    QCOMPARE(qGreen(grey), qRed(grey));
    QCOMPARE(qBlue(grey), qRed(grey));
    for (int y = 0; y < small.height(); ++y)
        for (int x = 0; x < small.width(); ++x)
            QCOMPARE(small.pixel(x, y), grey);
}

void TestPaintPicture::resizeUndoesAndRedoesExactly()
{
    // The picture resized in the editor, smaller and then larger, each one step: undo gives back
    // each picture before to the pixel, redo each result; a floating piece resizes alone.
    const QImage picture = noise(QSize(203, 75));
    Editor e(picture);
    e.ed.resizeTo(QSize(101, 37));
    const QImage smaller = e.doc.picture();
    QCOMPARE(smaller, resampled(picture, QSize(101, 37)));
    e.ed.resizeTo(QSize(150, 60));
    const QImage larger = e.doc.picture();
    QCOMPARE(larger.size(), QSize(150, 60));
    QCOMPARE(e.doc.status().pictureSize, QStringLiteral("150 x 60"));
    e.ed.undo();
    QCOMPARE(e.doc.picture(), smaller);
    e.ed.undo();
    QCOMPARE(e.doc.picture(), picture);
    QCOMPARE(e.doc.status().pictureSize, QStringLiteral("203 x 75"));
    e.ed.redo();
    QCOMPARE(e.doc.picture(), smaller);
    e.ed.redo();
    QCOMPARE(e.doc.picture(), larger);
    // Again, into the memory the history no longer needs: the same pixels.
    e.ed.undo();
    e.ed.resizeTo(QSize(150, 60));
    QCOMPARE(e.doc.picture(), larger);

    e.ed.chooseTool(ToolId::Selection);
    e.drag(QPoint(10, 5), QPoint(71, 28));
    const QImage piece = e.doc.piece();
    const QImage under = e.doc.picture();
    e.ed.resizeTo(QSize(30, 11));
    QCOMPARE(e.doc.piece(), resampled(piece, QSize(30, 11)));
    QCOMPARE(e.doc.picture(), under);
    e.ed.undo();
    QCOMPARE(e.doc.piece(), piece);
}

void TestPaintPicture::arrowHeads_data()
{
    QTest::addColumn<int>("heads");
    QTest::addColumn<bool>("atEnd");
    QTest::addColumn<bool>("atStart");
    QTest::newRow("none") << int(ArrowHeads::None) << false << false;
    QTest::newRow("end") << int(ArrowHeads::End) << true << false;
    QTest::newRow("both") << int(ArrowHeads::Both) << true << true;
}

void TestPaintPicture::arrowHeads()
{
    QFETCH(int, heads);
    QFETCH(bool, atEnd);
    QFETCH(bool, atStart);
    Editor e(white(QSize(200, 100)));
    e.doc.setArrowHeads(ArrowHeads(heads));
    e.ed.chooseTool(ToolId::Line);
    // Drawn right to left: the end is where the drag ended, on the left.
    e.drag(QPoint(150, 50), QPoint(50, 50));
    const QImage& p = e.doc.picture();
    QCOMPARE(p.pixel(100, 50), kBlack);  // the line itself
    // Beside the line, within the head's breadth near its end, only where a head is.
    QCOMPARE(p.pixel(57, 48) == kBlack, atEnd);
    QCOMPARE(p.pixel(57, 52) == kBlack, atEnd);
    QCOMPARE(p.pixel(143, 48) == kBlack, atStart);
    // Nothing past the tips, nor beside the middle of the line.
    QCOMPARE(p.pixel(47, 50), kWhite);
    QCOMPARE(p.pixel(153, 50), kWhite);
    QCOMPARE(p.pixel(100, 47), kWhite);

    // A head on a line shorter than itself stays within the line's length; a wide line's head
    // is broader than the line. Esc takes the whole figure away.
    e.ed.undo();
    e.doc.mutableSizes().lineWidth = 5;
    e.ed.press(e.input(QPoint(100, 20), Qt::LeftButton));
    e.ed.move(e.input(QPoint(104, 20), Qt::NoButton));
    QCOMPARE(p.pixel(95, 20), kWhite);
    e.ed.move(e.input(QPoint(40, 80), Qt::NoButton));
    QVERIFY(e.ed.cancelStroke());
    QCOMPARE(p, white(QSize(200, 100)));
}

void TestPaintPicture::windowCommandsFitCropTurnResize()
{
    PaintWindow w;
    w.resize(694, 480);
    const QImage photo = numbered(QSize(4000, 3000));
    w.editPicture(photo);
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    WorkArea* area = w.workArea();

    // "По размеру окна": the whole picture in view, no scroll bar, the tool kept.
    w.command(PaintCommand::FitToWindow)->trigger();
    QCOMPARE(w.document().zoomIndex(), int(kFitRow));
    const QSize control = w.document().controlSize();
    QVERIFY(control.width() <= area->viewport().width() && control.height() <= area->viewport().height());
    QVERIFY(control.width() >= area->viewport().width() - 30 || control.height() >= area->viewport().height() - 30);
    QVERIFY(!area->horizontalBar()->isEnabled() && !area->verticalBar()->isEnabled());
    QCOMPARE(w.toolColumn()->zoomList()->currentRow(), int(kFitRow));
    QCOMPARE(w.document().currentTool(), ToolId::Pencil);

    // Crop is offered only with a piece; turned, the fitted picture is fitted again.
    QVERIFY(!w.command(PaintCommand::Crop)->isEnabled());
    w.command(PaintCommand::TurnRight)->trigger();
    QCOMPARE(w.document().picture().size(), QSize(3000, 4000));
    QCOMPARE(w.statusText(1), QStringLiteral("3000 x 4000"));
    QVERIFY(w.document().controlSize().height() <= area->viewport().height());
    QVERIFY(w.command(PaintCommand::Undo)->isEnabled());

    // The resize dialog's answer resizes the picture; a cancelled one leaves it.
    w.setSizeQuestion([](QWidget*, QSize original) -> std::optional<QSize> {
        return resizedSize(original, {true, 25, 25, true});
    });
    w.command(PaintCommand::Resize)->trigger();
    QCOMPARE(w.document().picture().size(), QSize(750, 1000));
    w.setSizeQuestion([](QWidget*, QSize) -> std::optional<QSize> { return std::nullopt; });
    w.command(PaintCommand::Resize)->trigger();
    QCOMPARE(w.document().picture().size(), QSize(750, 1000));

    // Select all, crop: the picture is the same; two undos bring the photo back as it was opened.
    w.command(PaintCommand::SelectAll)->trigger();
    QVERIFY(w.command(PaintCommand::Crop)->isEnabled());
    w.command(PaintCommand::TurnHalf)->trigger();
    w.command(PaintCommand::Crop)->trigger();
    QCOMPARE(w.document().picture().size(), QSize(750, 1000));
    for (int i = 0; i < 3; ++i)
        w.command(PaintCommand::Undo)->trigger();
    QCOMPARE(w.document().picture(), photo);
    w.close();
}

void TestPaintPicture::handleHeldPastTheEdgeScrollsTheView()
{
    // The step grows with the distance beyond the edge, up to its most; inside it is none.
    const QRect view(0, 0, 400, 300);
    QCOMPARE(WorkArea::edgeScrollStep(QPoint(200, 150), view), QPoint(0, 0));
    QCOMPARE(WorkArea::edgeScrollStep(QPoint(404, 150), view), QPoint(10, 0));
    QCOMPARE(WorkArea::edgeScrollStep(QPoint(-500, 1000), view),
             QPoint(-WorkArea::kEdgeScrollMax, WorkArea::kEdgeScrollMax));

    // The picture's corner handle held beyond the view's bottom-right corner: the view scrolls
    // and the picture grows as far as the view went.
    PaintWindow w;
    w.resize(694, 480);
    w.editPicture(white(QSize(800, 600)));
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    WorkArea* area = w.workArea();
    area->verticalBar()->setValue(area->verticalBar()->maximum());
    area->horizontalBar()->setValue(area->horizontalBar()->maximum());
    const QPoint corner = area->pictureOrigin() + QPoint(800, 600);
    area->handlePressed(true, int(CanvasHandle::Corner), corner);
    const QPoint beyond = area->viewport().bottomRight() + QPoint(30, 30);
    area->pointerMoved(beyond, Qt::LeftButton, Qt::NoModifier);
    const int before = area->horizontalBar()->value();
    QTRY_VERIFY(area->horizontalBar()->value() > before + 100);
    area->pointerReleased(beyond, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    const QSize grown = w.document().picture().size();
    QVERIFY2(grown.width() > 900 && grown.height() > 700,
             qPrintable(QStringLiteral("%1 x %2").arg(grown.width()).arg(grown.height())));
    // The new size is where the pointer was let go over the scrolled picture.
    QCOMPARE(area->pictureOrigin() + QPoint(grown.width(), grown.height()), beyond);
    w.close();
}

QTEST_MAIN(TestPaintPicture)
#include "test_paint_picture.moc"
