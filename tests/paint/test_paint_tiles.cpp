// The editor's history on changed tiles, through the editor as the window drives it: every kind
// of change undone and redone to the exact pixel (strokes across tile edges and off the
// picture's edges included), the memory of many fills bounded by the tiles they change, a click
// that leaves the picture's buffer where it is, a picture shared with the outline left alone,
// and the turns of the picture and of a floating piece, pixel for pixel, with every kind of vector code.
#include "paint/core/picture_transforms.h"
#include "paint/editor/paint_editor.h"
#include "paint/paint_window.h"

#include <QSignalSpy>
#include <QTest>
#include <QTransform>

#include <functional>
#include <set>

using namespace velmar::paint;

namespace {

// Every pixel differs from its neighbours, so that a pixel put back in the wrong place shows.
QImage numbered(QSize size)
{
    QImage img(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            img.setPixel(x, y, qRgb(x % 251, y % 241, (x * 7 + y * 13) % 256));
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
    static ToolInput input(QPoint pos, Qt::MouseButton button, Qt::MouseButtons held)
    {
        ToolInput in;
        in.pos = in.pixel = pos;
        in.button = button;
        in.buttons = held;
        return in;
    }
    void drag(QPoint from, QPoint to)
    {
        ed.press(input(from, Qt::LeftButton, Qt::LeftButton));
        ed.move(input((from + to) / 2, Qt::NoButton, Qt::LeftButton));
        ed.move(input(to, Qt::NoButton, Qt::LeftButton));
        ed.release(input(to, Qt::LeftButton, Qt::NoButton));
    }
    void click(QPoint at) { drag(at, at); }
};

using Change = std::function<void(Editor&)>;

}  // namespace

class TestPaintTiles : public QObject {
    Q_OBJECT
private slots:
    void turnsPutEveryPixelWhereQtDoes_data();
    void turnsPutEveryPixelWhereQtDoes();
    void turnsInTheEditorUndoAndRedoExactly();
    void aFloatingPieceTurnsAlone();
    void everyChangeUndoesToTheExactPixel_data();
    void everyChangeUndoesToTheExactPixel();
    void manyFillsKeepOnlyTheTilesTheyChange();
    void aClickLeavesThePictureBufferWhereItIs();
    void aStrokeLeavesTheOutlinesPictureAlone();
};

const std::pair<PictureTurn, QTransform> kTurns[] = {{PictureTurn::Right90, QTransform().rotate(90)},
                                                     {PictureTurn::Left90, QTransform().rotate(270)},
                                                     {PictureTurn::Half, QTransform().rotate(180)},
                                                     {PictureTurn::FlipHorizontal, QTransform().scale(-1, 1)},
                                                     {PictureTurn::FlipVertical, QTransform().scale(1, -1)}};

void TestPaintTiles::turnsPutEveryPixelWhereQtDoes_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<QSize>("size");
    const std::pair<const char*, VectorWidth> widths[] = {
        {"widest", VectorWidth::Widest}, {"sse2", VectorWidth::Sse2}, {"scalar", VectorWidth::Scalar}};
    // Whole stripes and squares, and the cut ones at the right and bottom edges: sides below one
    // square, between a square and a stripe, and a stripe and a bit. Turned rows a whole number of
    // cache lines long, half a line over (every other row carries half its pixels from one stripe
    // to the next) and neither, each over several stripes.
    const QSize sizes[] = {{300, 197}, {1, 1},   {1, 37},   {37, 1},  {7, 3},   {17, 33},
                           {16, 16},   {40, 24}, {133, 50}, {24, 56}, {19, 48}, {21, 72}};
    for (const auto& [name, width] : widths)
        for (const QSize& size : sizes)
            QTest::addRow("%s %dx%d", name, size.width(), size.height()) << int(width) << size;
}

void TestPaintTiles::turnsPutEveryPixelWhereQtDoes()
{
    // Turned into new memory, in place, and into a buffer left by an earlier turn (larger than
    // needed after the first picture of another size).
    QFETCH(int, width);
    QFETCH(QSize, size);
    limitVectorWidth(VectorWidth(width));
    const QImage picture = numbered(size);
    static QImage spare;
    for (const auto& [turn, transform] : kTurns) {
        const QImage expected = picture.transformed(transform);
        QCOMPARE(turned(picture, turn), expected);
        for (int round = 0; round < 2; ++round) {
            QImage inPlace = picture.copy();
            turnInPlace(inPlace, turn, spare);
            QCOMPARE(inPlace, expected);
            turnInPlace(inPlace, oppositeTurn(turn), spare);
            QCOMPARE(inPlace, picture);
        }
    }
    limitVectorWidth(VectorWidth::Widest);
}

void TestPaintTiles::turnsInTheEditorUndoAndRedoExactly()
{
    // A picture of odd sides turned every way in a row, each one step; undone to the picture as
    // opened and redone to the last turn, every state compared whole.
    const QImage picture = numbered(QSize(203, 75));
    Editor e(picture);
    std::vector<QImage> states{picture};
    for (const auto& [turn, transform] : kTurns) {
        e.ed.turn(turn);
        states.push_back(states.back().transformed(transform));
        QCOMPARE(e.doc.picture(), states.back());
        QCOMPARE(e.doc.status().pictureSize, PaintDocument::sizeText(states.back().width(), states.back().height()));
    }
    QCOMPARE(e.doc.history().index(), int(states.size()));
    for (int i = int(states.size()) - 2; i >= 0; --i) {
        e.ed.undo();
        QCOMPARE(e.doc.picture(), states[std::size_t(i)]);
    }
    QVERIFY(!e.ed.undoAvailable());
    for (std::size_t i = 1; i < states.size(); ++i) {
        e.ed.redo();
        QCOMPARE(e.doc.picture(), states[i]);
    }
    QCOMPARE(e.doc.status().pictureSize, PaintDocument::sizeText(states.back().width(), states.back().height()));
}

void TestPaintTiles::aFloatingPieceTurnsAlone()
{
    // A lifted piece of odd sides turns every way while the picture under it stays; undo takes
    // back each turn of the piece.
    const QImage picture = numbered(QSize(160, 120));
    Editor e(picture);
    e.ed.chooseTool(ToolId::Selection);
    e.drag(QPoint(11, 7), QPoint(72, 30));
    QVERIFY(e.doc.pieceFloating());
    const QImage under = e.doc.picture();
    std::vector<QImage> pieces{e.doc.piece()};
    QCOMPARE(pieces.back().size(), QSize(61, 23));
    for (const auto& [turn, transform] : kTurns) {
        e.ed.turn(turn);
        pieces.push_back(pieces.back().transformed(transform));
        QCOMPARE(e.doc.piece(), pieces.back());
        QCOMPARE(e.doc.picture(), under);
    }
    for (int i = int(pieces.size()) - 2; i >= 0; --i) {
        e.ed.undo();
        QCOMPARE(e.doc.piece(), pieces[std::size_t(i)]);
    }
}

void TestPaintTiles::everyChangeUndoesToTheExactPixel_data()
{
    // The picture is 300 × 200: its last tiles are narrower and lower than the others.
    QTest::addColumn<Change>("change");
    const auto tool = [](ToolId id, QPoint from, QPoint to, int width = 1) {
        return Change([=](Editor& e) {
            e.ed.chooseTool(id);
            e.doc.mutableSizes().pencilSize = std::min(width, ToolSizes::kPencilMax);
            e.doc.mutableSizes().lineWidth = width;
            e.doc.mutableSizes().shapeWidth = width;
            e.doc.mutableSizes().eraserSize = width;
            e.drag(from, to);
        });
    };
    const int t = EditorUndo::kTile;
    QTest::newRow("pencil over a tile corner") << tool(ToolId::Pencil, QPoint(t - 5, t - 3), QPoint(t + 4, t + 6), 5);
    QTest::newRow("pencil off every edge") << tool(ToolId::Pencil, QPoint(-20, 100), QPoint(320, -30), 9);
    QTest::newRow("line into the last tiles") << tool(ToolId::Line, QPoint(2 * t - 1, 3 * t - 1), QPoint(310, 210), 7);
    QTest::newRow("rectangle across four tiles") << tool(ToolId::Rectangle, QPoint(40, 40), QPoint(150, 150), 3);
    QTest::newRow("ellipse past the right edge") << tool(ToolId::Ellipse, QPoint(290, 100), QPoint(330, 190), 4);
    QTest::newRow("eraser in the corner") << tool(ToolId::Eraser, QPoint(299, 199), QPoint(280, 180), 15);
    QTest::newRow("dot on the last pixel") << tool(ToolId::Pencil, QPoint(299, 199), QPoint(299, 199), 1);
    QTest::newRow("spray at the edge") << Change([](Editor& e) {
        e.ed.seedRandom(5);
        e.ed.chooseTool(ToolId::Spray);
        e.doc.mutableSizes().spraySize = 40;
        e.ed.press(Editor::input(QPoint(298, 2), Qt::LeftButton, Qt::LeftButton));
        for (int i = 0; i < 6; ++i)
            e.ed.tick();
        e.ed.release(Editor::input(QPoint(298, 2), Qt::LeftButton, Qt::NoButton));
    });
    QTest::newRow("connected fill") << Change([](Editor& e) {
        // A black frame around a region, filled from inside: the fill stops at the frame.
        e.ed.chooseTool(ToolId::Rectangle);
        e.doc.setFillStyle(FillStyle::Solid);
        e.drag(QPoint(60, 20), QPoint(250, 170));
        e.ed.chooseTool(ToolId::Fill);
        e.doc.setFrontColour(0xFF20C040);
        e.click(QPoint(100, 100));
    });
    QTest::newRow("global fill with tolerance") << Change([](Editor& e) {
        e.ed.chooseTool(ToolId::Fill);
        e.doc.setFillTolerance(200);
        e.doc.setFillAll(true);
        e.doc.setFrontColour(0xFFFF00FF);
        e.click(QPoint(10, 10));
    });
    QTest::newRow("piece lifted and moved") << Change([](Editor& e) {
        e.ed.chooseTool(ToolId::Selection);
        e.drag(QPoint(50, 50), QPoint(140, 120));
        e.drag(QPoint(60, 60), QPoint(230, 150));  // partly off the picture
        e.ed.chooseTool(ToolId::Pencil);           // put down
    });
    for (const auto& [name, turn] :
         {std::pair{"turned right", PictureTurn::Right90}, std::pair{"turned left", PictureTurn::Left90},
          std::pair{"half turn", PictureTurn::Half}, std::pair{"flipped", PictureTurn::FlipHorizontal},
          std::pair{"flipped upside down", PictureTurn::FlipVertical}})
        QTest::newRow(name) << Change([turn](Editor& e) { e.ed.turn(turn); });
    QTest::newRow("resized") << Change([](Editor& e) { e.ed.resizeTo(QSize(77, 300)); });
    QTest::newRow("canvas grown") << Change([](Editor& e) {
        e.ed.canvasResizePress(CanvasHandle::Corner);
        e.ed.canvasResizeMove(QPoint(37, 11));
        e.ed.canvasResizeRelease();
    });
}

void TestPaintTiles::everyChangeUndoesToTheExactPixel()
{
    // Each change follows a stroke, so that undo and redo pass over steps of both kinds.
    QFETCH(Change, change);
    const QImage opened = numbered(QSize(300, 200));
    Editor e(opened);
    e.ed.chooseTool(ToolId::Pencil);
    e.doc.mutableSizes().pencilSize = 3;
    e.drag(QPoint(10, 190), QPoint(290, 10));
    const QImage stroke = e.doc.picture().copy();
    const int strokeIndex = e.doc.history().index();
    change(e);
    e.ed.chooseTool(ToolId::Pencil);
    const QImage changed = e.doc.picture().copy();
    QVERIFY(changed != stroke);
    const int steps = e.doc.history().index() - strokeIndex;
    QVERIFY(steps >= 1);
    const auto undo = [&](int n) {
        for (int i = 0; i < n; ++i)
            e.ed.undo();
    };
    const auto redo = [&](int n) {
        for (int i = 0; i < n; ++i)
            e.ed.redo();
    };
    undo(steps);
    QCOMPARE(e.doc.picture(), stroke);
    undo(1);
    QCOMPARE(e.doc.picture(), opened);
    redo(steps + 1);
    QCOMPARE(e.doc.picture(), changed);
    // A stroke drawn after undo replaces the redo side; undo returns exactly to the state shown.
    undo(steps);
    e.drag(QPoint(0, 0), QPoint(299, 199));
    undo(1);
    QCOMPARE(e.doc.picture(), stroke);
    redo(1);
    undo(2);
    QCOMPARE(e.doc.picture(), opened);
}

void TestPaintTiles::manyFillsKeepOnlyTheTilesTheyChange()
{
    // A 1000 × 800 picture with a 100 × 100 patch of grey: thirty global fills recolour the patch
    // back and forth. The history holds the patch's tiles for nine steps, never a whole picture.
    QImage picture = numbered(QSize(1000, 800));
    for (int y = 300; y < 400; ++y)
        for (int x = 500; x < 600; ++x)
            picture.setPixel(x, y, qRgb(128, 128, 128));
    Editor e(picture);
    e.ed.chooseTool(ToolId::Fill);
    e.doc.setFillAll(true);
    constexpr qint64 tileBytes = qint64(EditorUndo::kTile) * EditorUndo::kTile * 4;
    // The patch spans columns 500..599 and rows 300..399: three tiles across, three down.
    const qint64 patchTiles = 3 * 3;
    const QRgb colours[] = {0xFFFF0000, 0xFF0000FF};
    for (int i = 0; i < 30; ++i) {
        e.doc.setFrontColour(colours[i % 2]);
        e.click(QPoint(550, 350));
        QCOMPARE(e.doc.picture().pixel(599, 399), colours[i % 2]);
        QVERIFY2(e.doc.history().storedBytes() <= 9 * patchTiles * tileBytes,
                 qPrintable(QString::number(e.doc.history().storedBytes())));
    }
    QCOMPARE(e.doc.history().storedBytes(), 9 * patchTiles * tileBytes);
    QCOMPARE(e.doc.picture().pixel(499, 350), picture.pixel(499, 350));
    for (int i = 0; i < 9; ++i)
        e.ed.undo();
    QCOMPARE(e.doc.picture().pixel(550, 350), colours[20 % 2]);
    QCOMPARE(e.doc.history().storedBytes(), 9 * patchTiles * tileBytes);
}

void TestPaintTiles::aClickLeavesThePictureBufferWhereItIs()
{
    // No stroke copies the picture: the pixels stay in one buffer through clicks, fills, undo and
    // redo, and the history holds only the tiles they touched.
    QImage photo(4000, 3000, QImage::Format_RGB32);
    photo.fill(0xFFFFFFFF);
    Editor e(photo);
    const uchar* const buffer = e.doc.picture().constBits();
    e.ed.chooseTool(ToolId::Line);
    e.drag(QPoint(1000, 1000), QPoint(1020, 1020));
    QCOMPARE(e.doc.picture().constBits(), buffer);
    QVERIFY(e.doc.history().storedBytes() <= 4 * qint64(EditorUndo::kTile) * EditorUndo::kTile * 4);
    e.ed.chooseTool(ToolId::Fill);
    e.click(QPoint(5, 5));
    e.ed.undo();
    e.ed.undo();
    e.ed.redo();
    QCOMPARE(e.doc.picture().constBits(), buffer);
    QCOMPARE(e.doc.picture().pixel(1010, 1010), 0xFF000000u);
    QCOMPARE(e.doc.picture().pixel(5, 5), 0xFFFFFFFFu);
    // Flips and the half turn happen where the picture lies, and so does their undo.
    e.ed.turn(PictureTurn::Half);
    e.ed.undo();
    QCOMPARE(e.doc.picture().constBits(), buffer);
    QCOMPARE(e.doc.picture().pixel(1010, 1010), 0xFF000000u);
    // Quarter turns, their undo and redo go back and forth between the picture's buffer and one
    // other: none takes new memory after the first.
    std::set<const uchar*> buffers{buffer};
    for (int i = 0; i < 6; ++i) {
        e.ed.turn(i % 2 ? PictureTurn::Left90 : PictureTurn::Right90);
        buffers.insert(e.doc.picture().constBits());
        e.ed.undo();
        buffers.insert(e.doc.picture().constBits());
        e.ed.redo();
        buffers.insert(e.doc.picture().constBits());
    }
    QCOMPARE(buffers.size(), std::size_t(2));
    QCOMPARE(e.doc.picture().size(), QSize(4000, 3000));
    QCOMPARE(e.doc.picture().pixel(1010, 1010), 0xFF000000u);
}

void TestPaintTiles::aStrokeLeavesTheOutlinesPictureAlone()
{
    // The outline's picture shares its pixels with the one the editor opens: strokes, fills and
    // their undo change the editor's picture only, which comes back when the editor closes.
    const QImage outline = numbered(QSize(300, 200));
    const QImage before = outline.copy();
    PaintWindow w;
    QSignalSpy finished(&w, &PaintWindow::editingFinished);
    w.editPicture(outline);
    PaintEditor& ed = w.editor();
    ed.chooseTool(ToolId::Pencil);
    ed.press(Editor::input(QPoint(10, 10), Qt::LeftButton, Qt::LeftButton));
    ed.move(Editor::input(QPoint(200, 150), Qt::NoButton, Qt::LeftButton));
    QCOMPARE(outline, before);
    ed.release(Editor::input(QPoint(200, 150), Qt::LeftButton, Qt::NoButton));
    ed.chooseTool(ToolId::Fill);
    ed.press(Editor::input(QPoint(250, 20), Qt::LeftButton, Qt::LeftButton));
    ed.release(Editor::input(QPoint(250, 20), Qt::LeftButton, Qt::NoButton));
    ed.undo();
    ed.redo();
    ed.turn(PictureTurn::FlipHorizontal);
    QCOMPARE(outline, before);
    const QImage edited = w.document().picture().copy();
    w.close();
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(0).value<QImage>(), edited);
    QVERIFY(edited != before);
    QCOMPARE(outline, before);
}

QTEST_MAIN(TestPaintTiles)
#include "test_paint_tiles.moc"
