#include "paint/editor/paint_editor.h"

#include <QSignalSpy>
#include <QTest>

using namespace velmar::paint;

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kRed = 0xFFFF0000;
constexpr int kRedCell = 5;    // Panel17
constexpr int kBlueCell = 13;  // Panel25

class FakeHost : public PaintHost {
public:
    QStringList lines;
    int cleared = 0;
    QStringList textBoxLines() const override { return lines; }
    void clearTextBox() override
    {
        lines.clear();
        ++cleared;
    }
};

// An editor on a white picture, activated as on opening, recording every changed rectangle.
struct Editor {
    PaintDocument doc;
    FakeHost host;
    PaintEditor ed{doc, &host};
    QRect reported;

    explicit Editor(QSize size = QSize(100, 80), QRgb colour = kWhite)
    {
        QImage img(size, QImage::Format_RGB32);
        img.fill(colour);
        ed.openPicture(img);
        ed.activate();
        QObject::connect(&doc, &PaintDocument::pictureChanged, [this](const QRect& r) { reported |= r; });
    }
    ToolInput input(QPoint pos, Qt::MouseButton button, bool shift = false) const
    {
        ToolInput in;
        in.pos = pos;
        in.pixel = toPicturePixelOf(pos);
        in.button = button;
        in.shift = shift;
        return in;
    }
    QPoint toPicturePixelOf(QPoint pos) const { return QPoint(pos.x() / doc.zoomFactor(), pos.y() / doc.zoomFactor()); }
    void press(QPoint p, Qt::MouseButton b = Qt::LeftButton) { ed.press(input(p, b)); }
    void move(QPoint p, bool shift = false) { ed.move(input(p, Qt::NoButton, shift)); }
    void release(QPoint p, Qt::MouseButton b = Qt::LeftButton) { ed.release(input(p, b)); }
    void drag(QPoint from, QPoint to, Qt::MouseButton b = Qt::LeftButton, bool shift = false)
    {
        press(from, b);
        move(to, shift);
        release(to, b);
    }
    QRgb at(int x, int y) const { return doc.picture().pixel(x, y); }
};

int countPixels(const QImage& img, QRgb colour)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += img.pixel(x, y) == colour;
    return n;
}

}  // namespace

class TestPaintTools : public QObject {
    Q_OBJECT
private slots:
    void activationDefaults();
    void strokeColoursByButton();
    void everyChangeIsReported_data();
    void everyChangeIsReported();
    void rubberBandPutsBackOnlyThePreviousFigure();
    void shapeClickDrawsNothingButRecords();
    void shapeFillStyles_data();
    void shapeFillStyles();
    void ellipseIsCentredOnThePress();
    void eraserUsesReversedColours();
    void colourPickerIsOneShot();
    void zoomReturnsToThePreviousTool();
    void textToolOnlyAtZoomOne();
    void textBoxOpensAtLeast30By20AndDrawsIn();
    void sizeKeysKeepTheirBounds();
    void sprayDotsWithinRadiusPerTick();
    void undoAndRedoThroughTheEditor();
    void everyEditIsUndoneExactly_data();
    void everyEditIsUndoneExactly();
    void undoAfterOpeningWithoutARecord();
};

void TestPaintTools::activationDefaults()
{
    Editor e;
    e.ed.chooseTool(ToolId::Zoom);
    e.ed.chooseZoom(2);
    e.ed.chooseTool(ToolId::Line);
    e.drag(QPoint(6, 6), QPoint(60, 60));
    QVERIFY(e.doc.pictureModified());
    e.ed.activate();
    QCOMPARE(e.doc.zoomFactor(), 1);
    QCOMPARE(e.doc.currentTool(), ToolId::Pencil);
    QCOMPARE(e.doc.history().index(), 1);
    QVERIFY(!e.doc.pictureModified());
    QCOMPARE(e.doc.status().settingName, QStringLiteral("Диаметр"));
}

void TestPaintTools::strokeColoursByButton()
{
    Editor e;
    // A click leaves one pixel in the front colour.
    e.press(QPoint(5, 5));
    e.release(QPoint(5, 5));
    QCOMPARE(e.at(5, 5), kBlack);
    QCOMPARE(countPixels(e.doc.picture(), kBlack), 1);
    // Right-click on red sets the back square; then right strokes are red, left strokes black.
    e.ed.palettePress(kRedCell, Qt::RightButton);
    QCOMPARE(e.doc.backColour(), kRed);
    QCOMPARE(e.doc.frontColour(), kBlack);
    e.drag(QPoint(10, 20), QPoint(30, 20), Qt::RightButton);
    QCOMPARE(e.at(20, 20), kRed);
    e.drag(QPoint(10, 30), QPoint(30, 30), Qt::LeftButton);
    QCOMPARE(e.at(20, 30), kBlack);
    // A middle-button palette press changes neither square.
    e.ed.palettePress(kBlueCell, Qt::MiddleButton);
    QCOMPARE(e.doc.frontColour(), kBlack);
}

void TestPaintTools::everyChangeIsReported_data()
{
    QTest::addColumn<int>("tool");
    QTest::addColumn<int>("zoomRow");
    QTest::newRow("pencil") << int(ToolId::Pencil) << 0;
    QTest::newRow("pencil 2x") << int(ToolId::Pencil) << 1;
    QTest::newRow("line") << int(ToolId::Line) << 0;
    QTest::newRow("rectangle") << int(ToolId::Rectangle) << 0;
    QTest::newRow("ellipse 6x") << int(ToolId::Ellipse) << 2;
    QTest::newRow("rounded") << int(ToolId::RoundedRectangle) << 0;
    QTest::newRow("eraser 8x") << int(ToolId::Eraser) << 3;
}

void TestPaintTools::everyChangeIsReported()
{
    // Each move's changed pixels must lie in the rectangle reported for that move, or the window
    // would leave stale pixels on screen.
    QFETCH(int, tool);
    QFETCH(int, zoomRow);
    Editor e(QSize(120, 90), 0xFF3060A0);
    e.ed.chooseTool(ToolId::Zoom);
    e.ed.chooseZoom(zoomRow);
    e.ed.chooseTool(ToolId(tool));
    e.doc.mutableSizes().pencilSize = 5;
    e.doc.mutableSizes().lineWidth = 4;
    e.doc.mutableSizes().shapeWidth = 3;
    e.doc.setFillStyle(FillStyle::OutlineAndOther);
    const int z = e.doc.zoomFactor();
    const QList<QPoint> path = {QPoint(40, 30),  QPoint(90, 70),  QPoint(10, 85), QPoint(60, 5),
                                QPoint(-10, 40), QPoint(119, 89), QPoint(45, 35)};
    e.press(path[0] * z);
    QImage before = e.doc.picture();
    for (int i = 1; i < path.size(); ++i) {
        e.reported = QRect();
        e.move(path[i] * z, i % 2 == 0);
        const QImage after = e.doc.picture();
        for (int y = 0; y < after.height(); ++y)
            for (int x = 0; x < after.width(); ++x)
                if (after.pixel(x, y) != before.pixel(x, y) && !e.reported.contains(x, y))
                    QFAIL(qPrintable(QStringLiteral("move %1: pixel %2,%3 changed unreported").arg(i).arg(x).arg(y)));
        before = after;
    }
    e.release(path.last() * z);
}

void TestPaintTools::rubberBandPutsBackOnlyThePreviousFigure()
{
    Editor e(QSize(400, 300));
    e.ed.chooseTool(ToolId::Line);
    e.press(QPoint(10, 10));
    e.move(QPoint(200, 10));
    QCOMPARE(e.at(100, 10), kBlack);
    e.reported = QRect();
    e.move(QPoint(10, 50));
    // The first line is gone, the second is there, and only their area was touched.
    QCOMPARE(e.at(100, 10), kWhite);
    QCOMPARE(e.at(10, 30), kBlack);
    QVERIFY(e.reported.width() < 220 && e.reported.height() < 60);
    e.release(QPoint(10, 50));
    QCOMPARE(countPixels(e.doc.picture(), kBlack), 41);
    // A new stroke starts from the picture with the kept line.
    e.drag(QPoint(100, 100), QPoint(120, 100), Qt::LeftButton, true);
    QCOMPARE(e.at(10, 30), kBlack);
    QCOMPARE(e.at(110, 100), kBlack);
}

void TestPaintTools::shapeClickDrawsNothingButRecords()
{
    for (ToolId tool : {ToolId::Rectangle, ToolId::Ellipse, ToolId::RoundedRectangle, ToolId::Line}) {
        Editor e;
        e.ed.chooseTool(tool);
        const QImage before = e.doc.picture();
        e.press(QPoint(20, 20));
        e.release(QPoint(20, 20));
        if (tool != ToolId::Line)
            QCOMPARE(e.doc.picture(), before);
        QCOMPARE(e.doc.history().index(), 2);
        QVERIFY(e.doc.pictureModified());
    }
}

void TestPaintTools::shapeFillStyles_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QRgb>("inside");
    QTest::newRow("outline only") << 0 << QRgb(0xFF00FF00);
    QTest::newRow("other colour inside") << 1 << kRed;
    QTest::newRow("solid") << 2 << kBlack;
}

void TestPaintTools::shapeFillStyles()
{
    QFETCH(int, style);
    QFETCH(QRgb, inside);
    Editor e(QSize(60, 60), 0xFF00FF00);
    e.ed.palettePress(kRedCell, Qt::RightButton);
    e.doc.setFillStyle(FillStyle(style));
    e.ed.chooseTool(ToolId::Rectangle);
    e.drag(QPoint(10, 10), QPoint(30, 30));
    QCOMPARE(e.at(10, 10), kBlack);
    QCOMPARE(e.at(29, 20), kBlack);
    QCOMPARE(e.at(30, 20), QRgb(0xFF00FF00));  // the far corner is exclusive
    QCOMPARE(e.at(20, 20), inside);
    // The right button swaps the roles: outline in the back colour, inside in the front.
    if (style == 1) {
        e.drag(QPoint(35, 35), QPoint(55, 55), Qt::RightButton);
        QCOMPARE(e.at(35, 40), kRed);
        QCOMPARE(e.at(45, 45), kBlack);
    }
    // Shift makes a square: dragged 20 right and 6 down gives 20 × 20 downwards.
    Editor s(QSize(60, 60));
    s.doc.setFillStyle(FillStyle::Solid);
    s.ed.chooseTool(ToolId::Rectangle);
    s.drag(QPoint(5, 5), QPoint(25, 11), Qt::LeftButton, true);
    QCOMPARE(s.at(15, 22), kBlack);
    QCOMPARE(s.at(15, 26), kWhite);
}

void TestPaintTools::ellipseIsCentredOnThePress()
{
    Editor e(QSize(100, 100));
    e.doc.setFillStyle(FillStyle::Solid);
    e.ed.chooseTool(ToolId::Ellipse);
    e.drag(QPoint(50, 50), QPoint(60, 70));
    // Bounded by (40, 30) and (60, 70).
    QCOMPARE(e.at(50, 50), kBlack);
    QCOMPARE(e.at(50, 32), kBlack);
    QCOMPARE(e.at(50, 28), kWhite);
    QCOMPARE(e.at(42, 50), kBlack);
    QCOMPARE(e.at(38, 50), kWhite);
    QCOMPARE(e.doc.status().bandSize, QStringLiteral("10 x 20"));
}

void TestPaintTools::eraserUsesReversedColours()
{
    Editor e(QSize(60, 60), kRed);
    e.ed.chooseTool(ToolId::Eraser);
    QCOMPARE(e.doc.status().settingName, QStringLiteral("Размер"));
    QCOMPARE(e.doc.status().settingValue, QStringLiteral("10"));
    // Left button: back colour (white), a 10 × 10 square centred on the pointer.
    e.press(QPoint(20, 20));
    e.release(QPoint(20, 20));
    QCOMPARE(e.at(15, 15), kWhite);
    QCOMPARE(e.at(24, 24), kWhite);
    QCOMPARE(e.at(25, 20), kRed);
    QCOMPARE(e.at(14, 20), kRed);
    // Right button: front colour, following the pointer while held.
    e.press(QPoint(40, 40), Qt::RightButton);
    e.move(QPoint(50, 40));
    e.release(QPoint(50, 40), Qt::RightButton);
    QCOMPARE(e.at(36, 40), kBlack);
    QCOMPARE(e.at(54, 44), kBlack);
    QCOMPARE(e.doc.history().index(), 3);
    // Hovering without a button only moves the square.
    const QImage before = e.doc.picture();
    e.move(QPoint(5, 50));
    QCOMPARE(e.doc.picture(), before);
    QCOMPARE(e.doc.overlay().eraserSquare, QRect(0, 45, 10, 10));
}

void TestPaintTools::colourPickerIsOneShot()
{
    Editor e(QSize(20, 20), kRed);
    e.ed.chooseTool(ToolId::Line);
    e.ed.chooseTool(ToolId::ColourPicker);
    QCOMPARE(e.doc.currentTool(), ToolId::ColourPicker);
    e.press(QPoint(3, 3), Qt::RightButton);
    e.release(QPoint(3, 3), Qt::RightButton);
    QCOMPARE(e.doc.backColour(), kRed);
    QCOMPARE(e.doc.frontColour(), kBlack);
    QCOMPARE(e.doc.currentTool(), ToolId::Line);
    QCOMPARE(e.doc.status().settingName, QStringLiteral("Толщина"));
    QCOMPARE(e.doc.picture().pixel(3, 3), kRed);  // the release drew nothing
    // The read-outs under the pointer, also at 8x where a pixel is an 8 × 8 block.
    e.move(QPoint(3, 4));
    QCOMPARE(e.doc.status().colour, QStringLiteral("R-255 G-0 B-0"));
    QCOMPARE(e.doc.status().pointer, QStringLiteral("3 x 4"));
    e.ed.chooseTool(ToolId::Zoom);
    e.ed.chooseZoom(3);
    e.move(QPoint(15, 7));
    QCOMPARE(e.doc.status().pointer, QStringLiteral("1 x 0"));
}

void TestPaintTools::zoomReturnsToThePreviousTool()
{
    Editor e;
    e.ed.chooseTool(ToolId::Text);
    QCOMPARE(e.doc.currentTool(), ToolId::Text);
    e.ed.chooseTool(ToolId::Zoom);
    e.ed.chooseZoom(2);
    QCOMPARE(e.doc.zoomFactor(), 6);
    QCOMPARE(e.doc.currentTool(), ToolId::Pencil);
    // The eraser comes back with its square at the new zoom.
    e.ed.chooseTool(ToolId::Eraser);
    e.ed.chooseTool(ToolId::Zoom);
    e.ed.chooseZoom(3);
    QCOMPARE(e.doc.currentTool(), ToolId::Eraser);
    QCOMPARE(e.doc.overlay().eraserSquare.size(), QSize(80, 80));
    QCOMPARE(e.doc.controlSize(), QSize(800, 640));
}

void TestPaintTools::textToolOnlyAtZoomOne()
{
    Editor e;
    e.ed.chooseTool(ToolId::Zoom);
    e.ed.chooseZoom(1);
    e.ed.chooseTool(ToolId::Spray);
    e.ed.chooseTool(ToolId::Text);
    QCOMPARE(e.doc.currentTool(), ToolId::Spray);
}

void TestPaintTools::textBoxOpensAtLeast30By20AndDrawsIn()
{
    Editor e(QSize(200, 100));
    e.ed.chooseTool(ToolId::Text);
    // Dragged up-left to 5 × 5: normalised and enlarged.
    e.press(QPoint(20, 20));
    e.move(QPoint(15, 15));
    e.release(QPoint(15, 15));
    QVERIFY(e.doc.overlay().textBoxVisible);
    QCOMPARE(e.doc.overlay().frame, QRect(15, 15, 30, 20));
    QCOMPARE(e.doc.overlay().textBox, QRect(16, 16, 28, 18));
    QCOMPARE(e.doc.picture(), [] {
        QImage i(200, 100, QImage::Format_RGB32);
        i.fill(kWhite);
        return i;
    }());
    const int states = e.doc.history().index();
    e.host.lines = {QStringLiteral("Жж"), QString(), QStringLiteral("ab")};
    // Changing the tool writes the text in the front colour, closes the box and records it.
    e.ed.chooseTool(ToolId::Pencil);
    QVERIFY(!e.doc.overlay().textBoxVisible);
    QVERIFY(e.host.lines.isEmpty());
    QVERIFY(countPixels(e.doc.picture().copy(16, 16, 40, 14), kBlack) > 0);
    QCOMPARE(countPixels(e.doc.picture().copy(0, 0, 200, 15), kBlack), 0);
    QCOMPARE(e.doc.history().index(), states + 1);
    // A click with the box open draws the text and closes the box.
    e.ed.chooseTool(ToolId::Text);
    e.drag(QPoint(100, 50), QPoint(180, 90));
    e.host.lines = {QStringLiteral("x")};
    e.press(QPoint(10, 80));
    e.release(QPoint(10, 80));
    QVERIFY(!e.doc.overlay().textBoxVisible);
    QVERIFY(countPixels(e.doc.picture().copy(100, 50, 40, 30), kBlack) > 0);
}

void TestPaintTools::sizeKeysKeepTheirBounds()
{
    Editor e;
    for (int i = 0; i < 25; ++i)
        QVERIFY(e.ed.sizeKey(+1));
    QCOMPARE(e.doc.sizes().pencilSize, 20);
    QCOMPARE(e.doc.status().settingValue, QStringLiteral("20"));
    for (int i = 0; i < 25; ++i)
        e.ed.sizeKey(-1);
    QCOMPARE(e.doc.sizes().pencilSize, 1);
    QCOMPARE(e.doc.status().settingValue, QStringLiteral("1"));
    e.ed.chooseTool(ToolId::Eraser);
    e.ed.sizeKey(+1);
    QCOMPARE(e.doc.sizes().eraserSize, 11);
    QCOMPARE(e.doc.overlay().eraserSquare.size(), QSize(11, 11));
    e.ed.chooseTool(ToolId::Ellipse);
    e.ed.sizeKey(-1);
    QCOMPARE(e.doc.sizes().shapeWidth, 1);
    e.ed.sizeKey(+1);
    QCOMPARE(e.doc.sizes().shapeWidth, 2);
    QCOMPARE(e.doc.sizes().lineWidth, 1);
    e.ed.chooseTool(ToolId::Fill);
    QVERIFY(!e.ed.sizeKey(+1));
    QVERIFY(e.doc.status().settingValue.isEmpty());
}

void TestPaintTools::sprayDotsWithinRadiusPerTick()
{
    auto sprayOnce = [](quint32 seed) {
        Editor e(QSize(100, 100));
        e.ed.seedRandom(seed);
        e.ed.chooseTool(ToolId::Spray);
        e.press(QPoint(50, 50));
        e.ed.tick();
        [&] { QVERIFY(e.doc.sprayTimerActive()); }();
        const QImage after = e.doc.picture();
        e.release(QPoint(50, 50));
        [&] { QVERIFY(!e.doc.sprayTimerActive()); }();
        return after;
    };
    const QImage a = sprayOnce(42);
    QCOMPARE(sprayOnce(42), a);
    const int dots = countPixels(a, kBlack);
    QVERIFY(dots >= 1 && dots <= 10);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            if (a.pixel(x, y) == kBlack)
                QVERIFY((x - 50) * (x - 50) + (y - 50) * (y - 50) <= 100);
    // No timer ticks once the pointer leaves the picture.
    Editor e;
    e.ed.chooseTool(ToolId::Spray);
    e.press(QPoint(50, 50));
    e.ed.hoverOutside(QPoint(-20, 5));
    const QImage before = e.doc.picture();
    e.ed.tick();
    QCOMPARE(e.doc.picture(), before);
}

void TestPaintTools::undoAndRedoThroughTheEditor()
{
    Editor e(QSize(50, 40));
    const QImage opened = e.doc.picture();
    QSignalSpy replaced(&e.doc, &PaintDocument::pictureReplaced);
    e.drag(QPoint(1, 1), QPoint(30, 1));
    const QImage first = e.doc.picture();
    e.drag(QPoint(1, 9), QPoint(30, 9));
    e.ed.undo();
    QCOMPARE(e.doc.picture(), first);
    e.ed.undo();
    QCOMPARE(e.doc.picture(), opened);
    QVERIFY(!e.doc.history().undoEnabled());
    e.ed.redo();
    QCOMPARE(e.doc.picture(), first);
    QVERIFY(replaced.count() >= 3);
    // Drawing on the shown state leaves the recorded state alone.
    e.drag(QPoint(1, 20), QPoint(30, 20));
    e.ed.undo();
    QCOMPARE(e.doc.picture(), first);
    // A state of another size brings its size back.
    QImage big(80, 70, QImage::Format_RGB32);
    big.fill(kRed);
    e.ed.openPicture(big);
    e.doc.pushUndo();
    e.ed.undo();
    QCOMPARE(e.doc.picture().size(), QSize(50, 40));
    QCOMPARE(e.doc.status().pictureSize, QStringLiteral("50 x 40"));
}

// A picture with structure everywhere: bands of colour and a grid of dots.
QImage patterned(QSize size)
{
    QImage img(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            img.setPixel(x, y, (x % 9 == 0 && y % 7 == 0) ? kBlack : qRgb(40 + (y / 20) * 30, 200, 90));
    return img;
}

void TestPaintTools::everyEditIsUndoneExactly_data()
{
    QTest::addColumn<int>("edit");
    const char* names[] = {"pencil", "line 2x", "rectangle", "ellipse", "rounded",   "eraser",
                           "spray",  "fill",    "fill all",  "text",    "selection", "canvas resize"};
    for (int i = 0; i < int(std::size(names)); ++i)
        QTest::newRow(names[i]) << i;
}

void TestPaintTools::everyEditIsUndoneExactly()
{
    // The history keeps only what each edit changed: every way of changing the picture must
    // come back exactly on undo, and exactly as it was made on redo.
    QFETCH(int, edit);
    Editor e(QSize(150, 110));
    e.ed.openPicture(patterned(QSize(150, 110)));
    e.ed.activate();
    e.doc.mutableSizes().pencilSize = 7;
    e.doc.mutableSizes().shapeWidth = 5;
    e.doc.mutableSizes().eraserSize = 12;
    e.doc.mutableSizes().spraySize = 30;
    e.doc.setFillStyle(FillStyle::OutlineAndOther);
    e.drag(QPoint(3, 100), QPoint(140, 4));  // an earlier state to step over
    QImage before = e.doc.picture();
    int states = e.doc.history().index();
    switch (edit) {
    case 0:
        e.press(QPoint(10, 10));
        e.move(QPoint(80, 60));
        e.move(QPoint(149, 5));
        e.release(QPoint(149, 5));
        break;
    case 1:
        e.ed.chooseTool(ToolId::Zoom);
        e.ed.chooseZoom(1);
        e.ed.chooseTool(ToolId::Line);
        e.drag(QPoint(4, 200), QPoint(290, 6));
        break;
    case 2:
        e.ed.chooseTool(ToolId::Rectangle);
        e.drag(QPoint(-5, 20), QPoint(100, 200));
        break;
    case 3:
        e.ed.chooseTool(ToolId::Ellipse);
        e.drag(QPoint(75, 55), QPoint(140, 100));
        break;
    case 4:
        e.ed.chooseTool(ToolId::RoundedRectangle);
        e.drag(QPoint(20, 20), QPoint(60, 90));
        break;
    case 5:
        e.ed.chooseTool(ToolId::Eraser);
        e.drag(QPoint(100, 100), QPoint(20, 30));
        break;
    case 6:
        e.ed.chooseTool(ToolId::Spray);
        e.press(QPoint(70, 50));
        for (int i = 0; i < 20; ++i)
            e.ed.tick();
        e.release(QPoint(70, 50));
        break;
    case 7:
        e.ed.chooseTool(ToolId::Fill);
        e.press(QPoint(30, 30));
        e.release(QPoint(30, 30));
        break;
    case 8:
        e.ed.chooseTool(ToolId::Fill);
        e.doc.setFillAll(true);
        e.doc.setFillTolerance(40);
        e.press(QPoint(30, 30));
        e.release(QPoint(30, 30));
        break;
    case 9:
        e.ed.chooseTool(ToolId::Text);
        e.drag(QPoint(20, 40), QPoint(140, 90));  // opening the box is a state of its own
        before = e.doc.picture();
        states = e.doc.history().index();
        e.host.lines = {QStringLiteral("Жук"), QStringLiteral("ok")};
        e.ed.chooseTool(ToolId::Pencil);
        break;
    case 10:
        e.ed.chooseTool(ToolId::Selection);
        e.drag(QPoint(10, 10), QPoint(70, 50));
        e.drag(QPoint(30, 30), QPoint(120, 90));  // moved partly off the picture
        e.ed.chooseTool(ToolId::Pencil);          // put down
        break;
    case 11:
        e.ed.canvasResizePress(CanvasHandle::Corner);
        e.ed.canvasResizeMove(QPoint(-60, 45));
        e.ed.canvasResizeRelease();
        break;
    }
    const QImage after = e.doc.picture();
    QVERIFY(after != before);
    QCOMPARE(e.doc.history().index(), states + 1);
    e.ed.undo();
    QCOMPARE(e.doc.picture(), before);
    e.ed.redo();
    QCOMPARE(e.doc.picture(), after);
    e.ed.undo();
    e.ed.undo();
    e.ed.redo();
    QCOMPARE(e.doc.picture(), before);
}

void TestPaintTools::undoAfterOpeningWithoutARecord()
{
    // Opening a file records no state: undoing the next stroke shows the picture from before the
    // opening, and undo straight after an opening goes back past it as well.
    Editor e(QSize(90, 70));
    e.drag(QPoint(5, 5), QPoint(80, 5));
    const QImage drawn = e.doc.picture();
    e.ed.openPicture(patterned(QSize(90, 70)));
    e.drag(QPoint(5, 50), QPoint(80, 60));
    const QImage stroke = e.doc.picture();
    e.ed.undo();
    QCOMPARE(e.doc.picture(), drawn);
    e.ed.redo();
    QCOMPARE(e.doc.picture(), stroke);
    // Opened, of the same size and of another, then undone without a stroke.
    for (QSize size : {QSize(90, 70), QSize(30, 200)}) {
        QImage red(size, QImage::Format_RGB32);
        red.fill(kRed);
        e.ed.openPicture(red);
        e.ed.undo();
        QCOMPARE(e.doc.picture(), drawn);
        e.ed.redo();
        QCOMPARE(e.doc.picture(), stroke);
    }
}

QTEST_MAIN(TestPaintTools)
#include "test_paint_tools.moc"
