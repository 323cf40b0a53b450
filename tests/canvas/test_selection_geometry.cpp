#include "canvas/selection_geometry.h"

#include <QTest>

using namespace velmar;

using Positions = QMap<QString, QPoint>;

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
    void handleEdges_data();
    void handleEdges();
    void resizing_data();
    void resizing();
};

void TestSelectionGeometry::blackSet_data()
{
    QTest::addColumn<QRect>("bounds");
    QTest::addColumn<Positions>("expected");
    QTest::newRow("150 × 150 frame at (10, 40)")
        << QRect(10, 40, 150, 150)
        << Positions{{"Panel3", {10, 40}},    {"Panel4", {151, 40}}, {"Panel5", {151, 181}},
                     {"Panel6", {10, 181}},   {"Panel7", {81, 40}},  {"Panel8", {151, 111}},
                     {"Panel9", {81, 181}},   {"Panel10", {10, 111}}, {"Panel11", {10, 25}},
                     {"Shape1", {8, 38}}};
    QTest::newRow("odd size: halves truncate")
        << QRect(0, 34, 151, 31)
        << Positions{{"Panel4", {142, 34}}, {"Panel7", {71, 34}}, {"Panel8", {142, 45}}, {"Panel9", {71, 56}},
                     {"Panel11", {0, 19}}};
    QTest::newRow("negative position")
        << QRect(-20, -10, 40, 30)
        << Positions{{"Panel3", {-20, -10}}, {"Panel5", {11, 11}}, {"Panel10", {-20, 1}}, {"Shape1", {-22, -12}}};
}

void TestSelectionGeometry::blackSet()
{
    QFETCH(QRect, bounds);
    QFETCH(Positions, expected);
    const AdornmentLayout layout = blackSetAround(bounds);
    QCOMPARE(layout.outlineName, QStringLiteral("Shape1"));
    QCOMPARE(layout.outline, bounds.adjusted(-2, -2, 2, 2));
    QCOMPARE(int(layout.panels.size()), 9);
    QCOMPARE(layout.rect("Panel11").size(), QSize(65, 15));
    QCOMPARE(layout.rect("Panel12"), QRect());  // a blue name is not in the black set
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        QCOMPARE(layout.rect(it.key()).topLeft(), it.value());
    // The handles lie inside the object, two pixels in from its right and bottom edges.
    for (int n = 3; n <= 10; ++n) {
        const QRect handle = layout.rect(QStringLiteral("Panel%1").arg(n));
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
        << Positions{{"Panel12", {117, 227}}, {"Panel13", {183, 227}}, {"Panel14", {183, 246}},
                     {"Panel15", {117, 246}}, {"Panel16", {150, 227}}, {"Panel17", {183, 237}},
                     {"Panel18", {150, 246}}, {"Panel19", {117, 237}}, {"Panel20", {120, 215}}};
    QTest::newRow("smaller than a handle: (w - 9) div 2 truncates toward zero")
        << QRect(0, 0, 4, 2) << QPoint(10, 40)
        << Positions{{"Panel16", {10, 37}}, {"Panel19", {7, 39}}, {"Panel14", {11, 39}}};
}

void TestSelectionGeometry::blueSetInFrame()
{
    QFETCH(QRect, bounds);
    QFETCH(QPoint, frame);
    QFETCH(Positions, expected);
    const AdornmentLayout layout = velmar::blueSetInFrame(bounds, frame);
    QCOMPARE(layout.outlineName, QStringLiteral("Shape2"));
    // The outline belongs to the frame: frame coordinates, one pixel outside the object.
    QCOMPARE(layout.outline, bounds.adjusted(-1, -1, 1, 1));
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        QCOMPARE(layout.rect(it.key()).topLeft(), it.value());
    // The corner handles are centred on the object's corners, in canvas coordinates.
    const QRect onCanvas = bounds.translated(frame);
    const QPoint corners[4] = {onCanvas.topLeft(), onCanvas.topLeft() + QPoint(bounds.width(), 0),
                               onCanvas.topLeft() + QPoint(bounds.width(), bounds.height()),
                               onCanvas.topLeft() + QPoint(0, bounds.height())};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(layout.rect(QStringLiteral("Panel%1").arg(12 + i)), QRect(corners[i] - QPoint(3, 3), QSize(7, 7)));
    QCOMPARE(layout.rect("Panel20").size(), QSize(41, 15));
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
    QCOMPARE(blue.outlineName, QStringLiteral("Shape2"));
    QCOMPARE(blue.outline, outline);
    // The black layout under the blue names.
    for (int n = 0; n < 8; ++n)
        QCOMPARE(blue.rect(QStringLiteral("Panel%1").arg(12 + n)), black.rect(QStringLiteral("Panel%1").arg(3 + n)));
    QCOMPARE(blue.rect("Panel20").topLeft(), black.rect("Panel11").topLeft());
    QCOMPARE(blue.rect("Panel5"), QRect());
}

void TestSelectionGeometry::arrowHandles()
{
    QCOMPARE(arrowStartHandle(QPoint(100, 100)), QRect(95, 95, 9, 10));
    QCOMPARE(arrowEndHandle(QPoint(200, 100)), QRect(195, 95, 10, 10));
    QCOMPARE(arrowStartHandle(QPoint(-3, 7)), QRect(-8, 2, 9, 10));
}

void TestSelectionGeometry::handleEdges_data()
{
    QTest::addColumn<QString>("black");
    QTest::addColumn<QString>("blue");
    QTest::addColumn<int>("edge");
    QTest::newRow("left") << "Panel10" << "Panel19" << int(Edge::Left);
    QTest::newRow("right") << "Panel8" << "Panel17" << int(Edge::Right);
    QTest::newRow("top") << "Panel7" << "Panel16" << int(Edge::Top);
    QTest::newRow("top-left") << "Panel3" << "Panel12" << int(Edge::TopLeft);
    QTest::newRow("top-right") << "Panel4" << "Panel13" << int(Edge::TopRight);
    QTest::newRow("bottom") << "Panel9" << "Panel18" << int(Edge::Bottom);
    QTest::newRow("bottom-left") << "Panel6" << "Panel15" << int(Edge::BottomLeft);
    QTest::newRow("bottom-right") << "Panel5" << "Panel14" << int(Edge::BottomRight);
    QTest::newRow("move bars") << "Panel11" << "Panel20" << int(Edge::Move);
}

void TestSelectionGeometry::handleEdges()
{
    QFETCH(QString, black);
    QFETCH(QString, blue);
    QFETCH(int, edge);
    QCOMPARE(int(handleEdge(black).value()), edge);
    QCOMPARE(int(handleEdge(blue).value()), edge);
    QVERIFY(!handleEdge("Panel21").has_value());
    QVERIFY(!handleEdge("Panel23").has_value());
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
    QTest::newRow("left past the right edge keeps 1 px") << int(Edge::Left) << QPoint(80, 0)
                                                         << QRect(149, 100, 1, 40);
    QTest::newRow("right past the left edge keeps 1 px") << int(Edge::Right) << QPoint(-80, 0)
                                                         << QRect(100, 100, 1, 40);
    QTest::newRow("corner collapsed both ways") << int(Edge::TopLeft) << QPoint(500, 500)
                                                << QRect(149, 139, 1, 1);
    QTest::newRow("bottom-right collapsed") << int(Edge::BottomRight) << QPoint(-500, -500)
                                            << QRect(100, 100, 1, 1);
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
