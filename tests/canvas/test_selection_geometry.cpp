#include "canvas/selection_geometry.h"

#include <QTest>

using namespace velmar;

using Positions = QMap<Edge, QPoint>;

class TestSelectionGeometry : public QObject {
    Q_OBJECT
private slots:
    void blackSet_data();
    void blackSet();
    void blueSetInFrame_data();
    void blueSetInFrame();
    void blueSetOnCanvas_data();
    void blueSetOnCanvas();
    void arrowHandles();
    void resizing_data();
    void resizing();
};

void TestSelectionGeometry::blackSet_data()
{
    QTest::addColumn<QRect>("bounds");
    QTest::addColumn<Positions>("expected");
    QTest::newRow("150 × 150 frame at (10, 40)")
        << QRect(10, 40, 150, 150)
        << Positions{{Edge::TopLeft, {10, 40}},     {Edge::TopRight, {151, 40}}, {Edge::BottomRight, {151, 181}},
                     {Edge::BottomLeft, {10, 181}}, {Edge::Top, {81, 40}},       {Edge::Right, {151, 111}},
                     {Edge::Bottom, {81, 181}},     {Edge::Left, {10, 111}},     {Edge::Move, {10, 25}}};
    QTest::newRow("odd size: halves truncate") << QRect(0, 34, 151, 31)
                                               << Positions{{Edge::TopRight, {142, 34}},
                                                            {Edge::Top, {71, 34}},
                                                            {Edge::Right, {142, 45}},
                                                            {Edge::Bottom, {71, 56}},
                                                            {Edge::Move, {0, 19}}};
    QTest::newRow("negative position") << QRect(
        -20, -10, 40,
        30) << Positions{{Edge::TopLeft, {-20, -10}}, {Edge::BottomRight, {11, 11}}, {Edge::Left, {-20, 1}}};
}

void TestSelectionGeometry::blackSet()
{
    QFETCH(QRect, bounds);
    QFETCH(Positions, expected);
    const AdornmentLayout layout = blackSetAround(bounds);
    QVERIFY(layout.set == SelectionSet::Black);
    QCOMPARE(layout.outline, bounds.adjusted(-2, -2, 2, 2));
    QCOMPARE(int(layout.panels.size()), 9);
    QCOMPARE(layout.rect(Edge::Move).size(), QSize(65, 15));
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        QCOMPARE(layout.rect(it.key()).topLeft(), it.value());
    // The handles lie inside the object, two pixels in from its right and bottom edges.
    for (const auto& [edge, handle] : layout.panels) {
        if (edge == Edge::Move)
            continue;
        QCOMPARE(handle.size(), QSize(7, 7));
        QVERIFY(bounds.contains(handle));
        QVERIFY(handle.right() <= bounds.right() - 2 && handle.bottom() <= bounds.bottom() - 2);
    }
}

void TestSelectionGeometry::blueSetInFrame_data()
{
    QTest::addColumn<QRect>("bounds");
    QTest::addColumn<QPoint>("frame");
    QTest::addColumn<Positions>("expected");
    QTest::newRow("66 × 19 text field at (20, 30) in a frame at (100, 200)")
        << QRect(20, 30, 66, 19) << QPoint(100, 200)
        << Positions{{Edge::TopLeft, {117, 227}},    {Edge::TopRight, {183, 227}}, {Edge::BottomRight, {183, 246}},
                     {Edge::BottomLeft, {117, 246}}, {Edge::Top, {150, 227}},      {Edge::Right, {183, 237}},
                     {Edge::Bottom, {150, 246}},     {Edge::Left, {117, 237}},     {Edge::Move, {120, 215}}};
    QTest::newRow("smaller than a handle: (w - 9) div 2 truncates toward zero")
        << QRect(0, 0, 4, 2) << QPoint(10, 40)
        << Positions{{Edge::Top, {10, 37}}, {Edge::Left, {7, 39}}, {Edge::BottomRight, {11, 39}}};
}

void TestSelectionGeometry::blueSetInFrame()
{
    QFETCH(QRect, bounds);
    QFETCH(QPoint, frame);
    QFETCH(Positions, expected);
    const AdornmentLayout layout = velmar::blueSetInFrame(bounds, frame);
    QVERIFY(layout.set == SelectionSet::Blue);
    // The outline belongs to the frame: frame coordinates, one pixel outside the object.
    QCOMPARE(layout.outline, bounds.adjusted(-1, -1, 1, 1));
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        QCOMPARE(layout.rect(it.key()).topLeft(), it.value());
    // The corner handles are centred on the object's corners, in canvas coordinates.
    const QRect onCanvas = bounds.translated(frame);
    const QPoint corners[4] = {onCanvas.topLeft(), onCanvas.topLeft() + QPoint(bounds.width(), 0),
                               onCanvas.topLeft() + QPoint(bounds.width(), bounds.height()),
                               onCanvas.topLeft() + QPoint(0, bounds.height())};
    const Edge cornerEdges[4] = {Edge::TopLeft, Edge::TopRight, Edge::BottomRight, Edge::BottomLeft};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(layout.rect(cornerEdges[i]), QRect(corners[i] - QPoint(3, 3), QSize(7, 7)));
    QCOMPARE(layout.rect(Edge::Move).size(), QSize(41, 15));
}

void TestSelectionGeometry::blueSetOnCanvas_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QRect>("outline");
    const QRect b(200, 300, 80, 60);
    QTest::newRow("picture: exactly on its bounds") << int(ObjectKind::Picture) << b;
    QTest::newRow("caption panel: two pixels outside") << int(ObjectKind::Caption) << b.adjusted(-2, -2, 2, 2);
    QTest::newRow("video panel: two pixels outside") << int(ObjectKind::Video) << b.adjusted(-2, -2, 2, 2);
    QTest::newRow("text field: one pixel outside") << int(ObjectKind::TextField) << b.adjusted(-1, -1, 1, 1);
}

void TestSelectionGeometry::blueSetOnCanvas()
{
    QFETCH(int, kind);
    QFETCH(QRect, outline);
    const QRect bounds(200, 300, 80, 60);
    const AdornmentLayout blue = velmar::blueSetOnCanvas(bounds, ObjectKind(kind));
    const AdornmentLayout black = blackSetAround(bounds);
    QVERIFY(blue.set == SelectionSet::Blue);
    QCOMPARE(blue.outline, outline);
    // The black layout, with the blue set's narrower move bar.
    QCOMPARE(int(blue.panels.size()), 9);
    for (const auto& [edge, handle] : black.panels)
        if (edge != Edge::Move)
            QCOMPARE(blue.rect(edge), handle);
    QCOMPARE(blue.rect(Edge::Move), QRect(black.rect(Edge::Move).topLeft(), QSize(41, 15)));
}

void TestSelectionGeometry::arrowHandles()
{
    QCOMPARE(arrowStartHandle(QPoint(100, 100)), QRect(95, 95, 9, 10));
    QCOMPARE(arrowEndHandle(QPoint(200, 100)), QRect(195, 95, 10, 10));
    QCOMPARE(arrowStartHandle(QPoint(-3, 7)), QRect(-8, 2, 9, 10));
}

void TestSelectionGeometry::resizing_data()
{
    QTest::addColumn<int>("edge");
    QTest::addColumn<QPoint>("delta");
    QTest::addColumn<QRect>("expected");  // from (100, 100, 50, 40)
    QTest::newRow("left outward") << int(Edge::Left) << QPoint(-10, 7) << QRect(90, 100, 60, 40);
    QTest::newRow("right inward") << int(Edge::Right) << QPoint(-20, 7) << QRect(100, 100, 30, 40);
    QTest::newRow("top") << int(Edge::Top) << QPoint(9, 15) << QRect(100, 115, 50, 25);
    QTest::newRow("bottom") << int(Edge::Bottom) << QPoint(9, 15) << QRect(100, 100, 50, 55);
    QTest::newRow("top-left") << int(Edge::TopLeft) << QPoint(5, -5) << QRect(105, 95, 45, 45);
    QTest::newRow("top-right") << int(Edge::TopRight) << QPoint(5, -5) << QRect(100, 95, 55, 45);
    QTest::newRow("bottom-left") << int(Edge::BottomLeft) << QPoint(5, -5) << QRect(105, 100, 45, 35);
    QTest::newRow("bottom-right") << int(Edge::BottomRight) << QPoint(5, -5) << QRect(100, 100, 55, 35);
    QTest::newRow("move") << int(Edge::Move) << QPoint(-30, 12) << QRect(70, 112, 50, 40);
    QTest::newRow("left past the right edge keeps 1 px") << int(Edge::Left) << QPoint(80, 0) << QRect(149, 100, 1, 40);
    QTest::newRow("right past the left edge keeps 1 px")
        << int(Edge::Right) << QPoint(-80, 0) << QRect(100, 100, 1, 40);
    QTest::newRow("corner collapsed both ways") << int(Edge::TopLeft) << QPoint(500, 500) << QRect(149, 139, 1, 1);
    QTest::newRow("bottom-right collapsed") << int(Edge::BottomRight) << QPoint(-500, -500) << QRect(100, 100, 1, 1);
    QTest::newRow("no movement") << int(Edge::BottomLeft) << QPoint(0, 0) << QRect(100, 100, 50, 40);
}

void TestSelectionGeometry::resizing()
{
    QFETCH(int, edge);
    QFETCH(QPoint, delta);
    QFETCH(QRect, expected);
    QCOMPARE(resizedRect(QRect(100, 100, 50, 40), Edge(edge), delta), expected);
}

QTEST_MAIN(TestSelectionGeometry)
#include "test_selection_geometry.moc"
