// The selection tool, the floating piece, its file exchange and the resize handles, headless.
#include "paint/editor/paint_editor.h"
#include "storage/jpeg_codec.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace velmar::paint;

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kBlue = 0xFF0000FF;

// A picture whose every pixel is distinct, so a misplaced copy shows.
QImage numbered(QSize size)
{
    QImage img(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            img.setPixel(x, y, qRgb(x, y, 100));
    return img;
}

struct Editor {
    PaintDocument doc;
    PaintEditor ed{doc};

    explicit Editor(const QImage& picture, int zoomRow = 0)
    {
        ed.openPicture(picture);
        ed.activate();
        if (zoomRow) {
            ed.chooseTool(ToolId::Zoom);
            ed.chooseZoom(zoomRow);
        }
        ed.chooseTool(ToolId::Selection);
    }
    ToolInput input(QPoint pos, Qt::MouseButton button = Qt::LeftButton) const
    {
        ToolInput in;
        in.pos = pos;
        in.pixel = QPoint(pos.x() / doc.zoomFactor(), pos.y() / doc.zoomFactor());
        in.button = button;
        return in;
    }
    void drag(QPoint from, QPoint to)
    {
        ed.press(input(from));
        ed.move(input((from + to) / 2, Qt::NoButton));
        ed.move(input(to, Qt::NoButton));
        ed.release(input(to));
    }
    QRgb at(int x, int y) const { return doc.picture().pixel(x, y); }
    int states() const { return doc.history().count(); }
};

}  // namespace

class TestPaintSelection : public QObject {
    Q_OBJECT
private slots:
    void frameSnapsToZoomGridAndLifts();
    void clickSelectsNothing();
    void movedPieceIsPutDownByToolChange();
    void pieceNeverMovedRecordsNoStep();
    void transparentPutDownKeepsPictureUnderBackColour();
    void cutPasteAndDelete();
    void undoTakesBackLiftAndMove();
    void selectAllOnScrolledView();
    void pasteFromFileDecoderFollowsFilter();
    void copyToFileReplacesExtension();
    void canvasResize_data();
    void canvasResize();
    void frameHandles_data();
    void frameHandles();
    void textBoxFollowsFrameHandles();
};

void TestPaintSelection::frameSnapsToZoomGridAndLifts()
{
    Editor e(numbered(QSize(40, 30)), 1);  // zoom 2
    e.drag({3, 3}, {10, 10});
    const PaintOverlay& o = e.doc.overlay();
    QCOMPARE(o.frame, QRect(4, 4, 6, 6));
    QVERIFY(o.frameVisible && o.handlesVisible);
    QVERIFY(e.doc.pieceFloating());
    QCOMPARE(e.doc.piece().size(), QSize(3, 3));
    QCOMPARE(e.doc.piece().pixel(0, 0), qRgb(2, 2, 100));
    QCOMPARE(e.doc.piece().pixel(2, 2), qRgb(4, 4, 100));
    QCOMPARE(e.at(2, 2), kWhite);
    QCOMPARE(e.at(4, 4), kWhite);
    QCOMPARE(e.at(5, 5), qRgb(5, 5, 100));
    QCOMPARE(e.at(1, 1), qRgb(1, 1, 100));

    // Dragging up and left of the anchor gives the same rectangle once normalised.
    Editor back(numbered(QSize(40, 30)), 1);
    back.drag({10, 10}, {3, 3});
    QCOMPARE(back.doc.overlay().frame, QRect(4, 4, 6, 6));
    QCOMPARE(back.doc.piece().pixel(0, 0), qRgb(2, 2, 100));
}

void TestPaintSelection::clickSelectsNothing()
{
    Editor e(numbered(QSize(40, 30)));
    const QImage before = e.doc.picture();
    const int states = e.states();
    e.drag({7, 7}, {7, 7});
    QVERIFY(!e.doc.pieceFloating());
    QVERIFY(!e.doc.overlay().frameVisible);
    QCOMPARE(e.doc.picture(), before);
    QCOMPARE(e.states(), states);
    // A drag along a line is no wider than a pixel: nothing to lift either.
    e.drag({7, 7}, {7, 20});
    QVERIFY(!e.doc.pieceFloating());
    QCOMPARE(e.doc.picture(), before);
}

void TestPaintSelection::pieceNeverMovedRecordsNoStep()
{
    // Lifted and put back unmoved, by a tool change, a press outside or a new selection: the
    // picture is as before and no step is recorded, so one Ctrl+Z undoes the last real change.
    for (int how = 0; how < 3; ++how) {
        Editor e(numbered(QSize(60, 40)));
        e.ed.chooseTool(ToolId::Pencil);
        e.ed.press(e.input({2, 35}));
        e.ed.release(e.input({2, 35}));
        e.ed.chooseTool(ToolId::Selection);
        const QImage drawn = e.doc.picture();
        const int states = e.states();
        e.drag({10, 10}, {30, 25});
        if (how == 0)
            e.ed.chooseTool(ToolId::Pencil);
        else if (how == 1)
            e.ed.pressOutside();
        else
            e.drag({40, 30}, {50, 35});  // a second frame puts the first piece down
        QVERIFY(!e.doc.pieceFloating() || how == 2);
        QCOMPARE(e.states(), states);
        QCOMPARE(e.doc.picture().copy(QRect(0, 0, 40, 30)), drawn.copy(QRect(0, 0, 40, 30)));
        e.ed.putDownPiece();
        QCOMPARE(e.states(), states);
        e.ed.undo();
        QCOMPARE(e.at(2, 35), qRgb(2, 35, 100));  // the pencil's dot is gone
    }
    // A piece moved and brought back by hand to where it was is no change either; one moved
    // elsewhere is.
    Editor e(numbered(QSize(60, 40)));
    const int states = e.states();
    e.drag({10, 10}, {20, 20});
    e.drag({12, 12}, {30, 30});
    e.drag({30, 30}, {12, 12});
    e.ed.putDownPiece();
    QCOMPARE(e.states(), states);
    e.drag({10, 10}, {20, 20});
    e.drag({12, 12}, {13, 12});
    e.ed.putDownPiece();
    QCOMPARE(e.states(), states + 1);
    QCOMPARE(e.at(11, 10), qRgb(10, 10, 100));
}

void TestPaintSelection::movedPieceIsPutDownByToolChange()
{
    Editor e(numbered(QSize(60, 40)));
    e.drag({10, 10}, {20, 15});  // a 10 × 5 piece from (10, 10)
    const int states = e.states();
    e.drag({12, 12}, {42, 32});  // taken at (12, 12), dropped 30 right and 20 down
    QCOMPARE(e.doc.piecePos(), QPoint(40, 30));
    QCOMPARE(e.states(), states);  // lifting and moving record nothing
    e.ed.chooseTool(ToolId::Pencil);
    QVERIFY(!e.doc.pieceFloating());
    QCOMPARE(e.states(), states + 1);
    QCOMPARE(e.at(40, 30), qRgb(10, 10, 100));
    QCOMPARE(e.at(49, 34), qRgb(19, 14, 100));
    QCOMPARE(e.at(10, 10), kWhite);
    QCOMPARE(e.at(19, 14), kWhite);
    QCOMPARE(e.at(20, 15), qRgb(20, 15, 100));
}

void TestPaintSelection::transparentPutDownKeepsPictureUnderBackColour()
{
    QImage picture(40, 20, QImage::Format_RGB32);
    picture.fill(kWhite);
    for (int x = 20; x < 40; ++x)
        for (int y = 0; y < 20; ++y)
            picture.setPixel(x, y, kRed);
    picture.setPixel(2, 2, kBlue);
    Editor e(picture);
    e.doc.setTransparentMode(1);
    e.ed.applyTransparency();
    e.drag({0, 0}, {10, 10});  // white with one blue pixel at (2, 2)
    e.drag({5, 5}, {25, 5});   // over the red half
    e.ed.putDownPiece();
    QCOMPARE(e.at(20, 0), kRed);  // the piece's white let the red show
    QCOMPARE(e.at(29, 9), kRed);
    QCOMPARE(e.at(22, 2), kBlue);  // its other pixels cover the picture
    QCOMPARE(e.at(2, 2), kWhite);  // the lifted place is cleared

    // Opaque placement covers the red with the piece's white.
    Editor opaque(picture);
    opaque.drag({0, 0}, {10, 10});
    opaque.drag({5, 5}, {25, 5});
    opaque.ed.putDownPiece();
    QCOMPARE(opaque.at(20, 0), kWhite);
}

void TestPaintSelection::cutPasteAndDelete()
{
    Editor e(numbered(QSize(60, 40)));
    e.drag({20, 20}, {30, 26});
    const QImage cut = e.ed.cutPiece();
    QCOMPARE(cut.size(), QSize(10, 6));
    QCOMPARE(cut.pixel(0, 0), qRgb(20, 20, 100));
    QVERIFY(!e.doc.pieceFloating());
    QVERIFY(!e.ed.canCopy());
    QCOMPARE(e.at(20, 20), kWhite);  // the hole stays
    e.ed.paste(cut);
    QVERIFY(e.doc.pieceFloating());
    QCOMPARE(e.doc.piecePos(), QPoint(0, 0));  // the work area's (2, 2): the picture's corner
    QCOMPARE(e.doc.overlay().frame, QRect(0, 0, 10, 6));
    QVERIFY(e.doc.overlay().handlesVisible);
    e.ed.putDownPiece();
    QCOMPARE(e.at(0, 0), qRgb(20, 20, 100));
    QCOMPARE(e.at(9, 5), qRgb(29, 25, 100));

    // Pixels another program left see-through lie on the back colour, not on black.
    QImage glass(4, 4, QImage::Format_ARGB32);
    glass.fill(Qt::transparent);
    glass.setPixel(1, 1, 0xFF0000FF);
    e.ed.paste(glass);
    QCOMPARE(e.doc.piece().pixel(0, 0), kWhite);
    QCOMPARE(e.doc.piece().pixel(1, 1), kBlue);
    e.ed.deleteKey();

    // A paste with nothing to paste only puts the floating piece down (where it was lifted:
    // no step).
    e.drag({40, 30}, {50, 36});
    const int states = e.states();
    e.ed.paste(QImage());
    QVERIFY(!e.doc.pieceFloating());
    QCOMPARE(e.states(), states);
    QCOMPARE(e.at(40, 30), qRgb(40, 30, 100));

    // Delete throws a piece away and leaves the place it came from cleared.
    e.drag({40, 30}, {50, 36});
    e.drag({42, 32}, {2, 2});
    e.ed.deleteKey();
    QVERIFY(!e.doc.pieceFloating());
    QVERIFY(!e.doc.overlay().frameVisible);
    e.ed.chooseTool(ToolId::Pencil);
    QCOMPARE(e.at(40, 30), kWhite);
    QCOMPARE(e.at(0, 0), qRgb(20, 20, 100));
}

void TestPaintSelection::undoTakesBackLiftAndMove()
{
    const QImage original = numbered(QSize(40, 30));
    Editor e(original);
    e.drag({0, 0}, {10, 10});
    e.drag({5, 5}, {25, 15});
    e.ed.undo();
    QVERIFY(!e.doc.pieceFloating());
    QCOMPARE(e.doc.picture(), original);
    e.ed.redo();
    QCOMPARE(e.at(20, 10), qRgb(0, 0, 100));
    QCOMPARE(e.at(0, 0), kWhite);
}

void TestPaintSelection::selectAllOnScrolledView()
{
    Editor e(numbered(QSize(30, 20)), 1);  // zoom 2
    e.doc.setScrollPosition(QPoint(9, 5));
    e.ed.selectAll();
    QCOMPARE(e.doc.overlay().frame, QRect(0, 0, 60, 40));
    QCOMPARE(e.doc.piece(), numbered(QSize(30, 20)));
    QCOMPARE(e.at(29, 19), kWhite);
    // A paste on the scrolled view appears at its top-left corner, on the zoom grid.
    e.ed.paste(QImage(4, 4, QImage::Format_RGB32));
    QCOMPARE(e.doc.piecePos(), QPoint(8, 4));
    // The select-all piece was put down in place.
    QCOMPARE(e.at(29, 19), qRgb(29, 19, 100));
}

void TestPaintSelection::pasteFromFileDecoderFollowsFilter()
{
    QTemporaryDir dir;
    QImage red(8, 6, QImage::Format_RGB32);
    red.fill(kRed);
    // A JPEG named .bmp and a BMP named .jpg.
    const QString jpegAsBmp = dir.filePath(QStringLiteral("photo.bmp"));
    QFile f(jpegAsBmp);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(velmar::encodeJpeg(red, 100));
    f.close();
    const QString bmpAsJpg = dir.filePath(QStringLiteral("drawing.jpg"));
    QVERIFY(red.save(bmpAsJpg, "BMP"));

    Editor e(numbered(QSize(40, 30)));
    e.ed.chooseTool(ToolId::Pencil);
    const PieceFileResult asJpeg = e.ed.pastePieceFromFile(jpegAsBmp, 2);
    QVERIFY2(asJpeg.ok, qPrintable(asJpeg.error));
    QCOMPARE(e.doc.currentTool(), ToolId::Selection);
    QCOMPARE(e.doc.piece().size(), QSize(8, 6));
    QVERIFY(qRed(e.doc.piece().pixel(4, 3)) > 240 && qGreen(e.doc.piece().pixel(4, 3)) < 16);

    // The JPEG filter refuses a BMP whatever its name; the failure keeps the piece and picture.
    const QImage picture = e.doc.picture();
    const PieceFileResult refused = e.ed.pastePieceFromFile(bmpAsJpg, 3);
    QVERIFY(!refused.ok);
    QVERIFY(!refused.error.isEmpty());
    QVERIFY(e.doc.pieceFloating());
    QCOMPARE(e.doc.picture(), picture);
    // The bitmap filter reads it.
    QVERIFY(e.ed.pastePieceFromFile(dir.filePath(QStringLiteral("missing.bmp")), 1).error.size() > 0);
    const QString bmp = dir.filePath(QStringLiteral("drawing.bmp"));
    QVERIFY(red.save(bmp, "BMP"));
    QVERIFY(e.ed.pastePieceFromFile(bmp, 1).ok);
    QCOMPARE(e.doc.piece().pixel(0, 0), kRed);
}

void TestPaintSelection::copyToFileReplacesExtension()
{
    QTemporaryDir dir;
    Editor e(numbered(QSize(40, 30)));
    e.drag({4, 4}, {14, 10});
    const PieceFileResult jpeg = e.ed.savePieceToFile(dir.filePath(QStringLiteral("piece.bmp")), 2);
    QVERIFY2(jpeg.ok, qPrintable(jpeg.error));
    QCOMPARE(jpeg.path, dir.filePath(QStringLiteral("piece.jpg")));
    QFile f(jpeg.path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(velmar::decodeJpeg(f.readAll()).size(), QSize(10, 6));
    const PieceFileResult bmp = e.ed.savePieceToFile(dir.filePath(QStringLiteral("piece")), 1);
    QCOMPARE(bmp.path, dir.filePath(QStringLiteral("piece.bmp")));
    QCOMPARE(QImage(bmp.path, "BMP").convertToFormat(QImage::Format_RGB32), e.doc.piece());
    // A folder that does not exist is reported, not claimed saved.
    QVERIFY(!e.ed.savePieceToFile(dir.filePath(QStringLiteral("no/such/piece.bmp")), 1).ok);
}

void TestPaintSelection::canvasResize_data()
{
    QTest::addColumn<int>("zoomRow");
    QTest::addColumn<int>("handle");
    QTest::addColumn<QPoint>("delta");
    QTest::addColumn<QSize>("expected");
    QTest::newRow("corner +20 -30") << 0 << int(CanvasHandle::Corner) << QPoint(20, -30) << QSize(120, 50);
    QTest::newRow("right edge: width only") << 0 << int(CanvasHandle::Right) << QPoint(15, 40) << QSize(115, 80);
    QTest::newRow("bottom edge: height only") << 0 << int(CanvasHandle::Bottom) << QPoint(-40, 7) << QSize(100, 87);
    QTest::newRow("zoom 2 halves the frame") << 1 << int(CanvasHandle::Corner) << QPoint(21, 0) << QSize(110, 80);
    QTest::newRow("never below one pixel") << 1 << int(CanvasHandle::Corner) << QPoint(-500, -159) << QSize(1, 1);
}

void TestPaintSelection::canvasResize()
{
    QFETCH(int, zoomRow);
    QFETCH(int, handle);
    QFETCH(QPoint, delta);
    QFETCH(QSize, expected);
    const QImage original = numbered(QSize(100, 80));
    Editor e(original, zoomRow);
    e.doc.setBackColour(kBlue);
    e.ed.canvasResizePress(CanvasHandle(handle));
    QVERIFY(!e.doc.overlay().canvasHandlesVisible);
    e.ed.canvasResizeMove(delta / 2);
    e.ed.canvasResizeMove(delta);
    e.ed.canvasResizeRelease();
    QCOMPARE(e.doc.picture().size(), expected);
    QVERIFY(e.doc.overlay().canvasHandlesVisible);
    QVERIFY(!e.doc.overlay().frameVisible);
    QCOMPARE(e.doc.status().pictureSize, PaintDocument::sizeText(expected.width(), expected.height()));
    const QSize kept = expected.boundedTo(original.size());
    QCOMPARE(e.at(kept.width() - 1, kept.height() - 1), qRgb(kept.width() - 1, kept.height() - 1, 100));
    if (expected.width() > 100)
        QCOMPARE(e.at(expected.width() - 1, 0), kBlue);
    if (expected.height() > 80)
        QCOMPARE(e.at(0, expected.height() - 1), kBlue);
    e.ed.undo();
    QCOMPARE(e.doc.picture(), original);
}

void TestPaintSelection::frameHandles_data()
{
    QTest::addColumn<int>("zoomRow");
    QTest::addColumn<int>("handle");
    QTest::addColumn<QPoint>("delta");
    QTest::addColumn<QRect>("live");
    QTest::addColumn<QRect>("released");
    // The frame starts as (20, 20) 40 × 40 in control pixels.
    QTest::newRow("shrunk to 10 x 10 grows to 30 x 20")
        << 0 << int(FrameHandle::BottomRight) << QPoint(-30, -30) << QRect(20, 20, 10, 10) << QRect(20, 20, 30, 20);
    QTest::newRow("left handle keeps the right edge")
        << 0 << int(FrameHandle::Left) << QPoint(6, 9) << QRect(26, 20, 34, 40) << QRect(26, 20, 34, 40);
    QTest::newRow("top-left past the far corner")
        << 0 << int(FrameHandle::TopLeft) << QPoint(60, 50) << QRect(80, 70, -20, -10) << QRect(60, 60, 30, 20);
    QTest::newRow("zoom 2 moves in steps of 2")
        << 1 << int(FrameHandle::Right) << QPoint(3, 0) << QRect(20, 20, 44, 40) << QRect(20, 20, 44, 40);
    QTest::newRow("zoom 2 ignores a 1-pixel nudge")
        << 1 << int(FrameHandle::Bottom) << QPoint(0, 1) << QRect(20, 20, 40, 40) << QRect(20, 20, 40, 40);
}

void TestPaintSelection::frameHandles()
{
    QFETCH(int, zoomRow);
    QFETCH(int, handle);
    QFETCH(QPoint, delta);
    QFETCH(QRect, live);
    QFETCH(QRect, released);
    Editor e(numbered(QSize(100, 80)), zoomRow);
    e.drag({20, 20}, {60, 60});
    const QImage piece = e.doc.piece();
    e.ed.frameResizePress(FrameHandle(handle));
    QVERIFY(!e.doc.overlay().handlesVisible);
    e.ed.frameResizeMove(delta);
    QCOMPARE(e.doc.overlay().frame, live);
    e.ed.frameResizeRelease();
    QCOMPARE(e.doc.overlay().frame, released);
    QVERIFY(e.doc.overlay().handlesVisible);
    QVERIFY(e.doc.pieceFloating());
    const int z = e.doc.zoomFactor();
    QCOMPARE(e.doc.piecePos(), released.topLeft());
    QCOMPARE(e.doc.piece().size(), released.size() / z);
    // The stretched piece still shows the same picture: its corners come from the old corners.
    const QImage now = e.doc.piece();
    QCOMPARE(now.pixel(0, 0), piece.pixel(0, 0));
    if (released.size() == live.size() && released.size() / z == piece.size())
        QCOMPARE(now, piece);
}

void TestPaintSelection::textBoxFollowsFrameHandles()
{
    Editor e(numbered(QSize(100, 80)));
    e.ed.chooseTool(ToolId::Text);
    e.drag({10, 10}, {60, 40});
    QCOMPARE(e.doc.overlay().textBox, QRect(11, 11, 48, 28));
    e.ed.frameResizePress(FrameHandle::Left);
    e.ed.frameResizeMove({7, 3});
    e.ed.frameResizeRelease();
    QCOMPARE(e.doc.overlay().frame, QRect(17, 10, 43, 30));
    QCOMPARE(e.doc.overlay().textBox, QRect(18, 11, 41, 28));
    QVERIFY(e.doc.overlay().textBoxVisible && e.doc.overlay().handlesVisible);
    QVERIFY(!e.doc.pieceFloating());
}

QTEST_MAIN(TestPaintSelection)
#include "test_paint_selection.moc"
