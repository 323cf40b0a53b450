#include "model/object_group.h"

#include <QTest>

using namespace velmar;

Q_DECLARE_METATYPE(velmar::GroupAlignment)

// Several objects at once: what a rubber band encloses, moving, aligning, distributing, removing.
class TestObjectGroup : public QObject {
    Q_OBJECT
private slots:
    void bandEnclosesWholeObjectsAndLeavesChildrenToTheirFrame();
    void aligningLinesUpFramesObjectsInFramesAndArrows_data();
    void aligningLinesUpFramesObjectsInFramesAndArrows();
    void distributingMakesEqualGapsKeepingTheOuterOnes();
    void movingStopsAtTheFileEdgeKeepingEveryShape();
    void removingTakesFramesWithTheirObjects();
};

namespace {

// Frame 1 at (100, 100) holding a picture at (10, 20); a text field on the canvas at (400, 300);
// an arrow from (500, 100) to (560, 140).
struct Scene {
    Outline o;
    ObjectId frame, picture, field, arrow;
    Scene()
    {
        o.setClientSize(QSize(1000, 800));
        frame = o.frame(o.createFrame(QRect(100, 100, 200, 150), QStringLiteral("Ф"))).id;
        picture = o.picture(o.createPicture(QRect(10, 20, 40, 30), 1)).id;
        field = o.textField(o.createTextField(QRect(400, 300, 80, 40), kButtonFace, QStringLiteral("т"), 0)).id;
        arrow = o.arrow(o.createArrow(500, 100, 560, 140, 1, kBlack)).id;
    }
};

}  // namespace

void TestObjectGroup::bandEnclosesWholeObjectsAndLeavesChildrenToTheirFrame()
{
    Scene s;
    // The whole frame inside: the frame alone (its picture goes with it), not the cut arrow.
    ObjectGroup got = objectsEnclosed(s.o, QRect(QPoint(90, 90), QPoint(520, 400)));
    QCOMPARE(got, (ObjectGroup{s.frame, s.field}));
    // Dragged up and left, the band is the same rectangle.
    QCOMPARE(objectsEnclosed(s.o, QRect(QPoint(520, 400), QPoint(90, 90))), got);
    // Only the picture inside its frame.
    QCOMPARE(objectsEnclosed(s.o, QRect(105, 115, 60, 40)), ObjectGroup{s.picture});
    QCOMPARE(objectsEnclosed(s.o, QRect(495, 95, 70, 50)), ObjectGroup{s.arrow});
    QCOMPARE(allTopObjects(s.o), (ObjectGroup{s.frame, s.field, s.arrow}));
    // A member whose frame joins is led by the frame.
    QCOMPARE(groupLeaders(s.o, {s.picture, s.frame, s.picture, 0, 999}), ObjectGroup{s.frame});
    QCOMPARE(groupBounds(s.o, {s.picture, s.arrow}), QRect(QPoint(110, 100), QPoint(560, 149)));
}

void TestObjectGroup::aligningLinesUpFramesObjectsInFramesAndArrows_data()
{
    QTest::addColumn<GroupAlignment>("alignment");
    QTest::addColumn<QPoint>("picture");  // canvas top-left afterwards
    QTest::addColumn<QPoint>("field");
    QTest::addColumn<QPoint>("arrowStart");
    // Group box: picture (110, 120, 40 × 30), field (400, 300, 80 × 40), arrow (500..560, 100..140).
    QTest::newRow("left") << GroupAlignment::Left << QPoint(110, 120) << QPoint(110, 300) << QPoint(110, 100);
    QTest::newRow("right") << GroupAlignment::Right << QPoint(521, 120) << QPoint(481, 300) << QPoint(500, 100);
    QTest::newRow("centre") << GroupAlignment::Centre << QPoint(315, 120) << QPoint(295, 300) << QPoint(304, 100);
    QTest::newRow("top") << GroupAlignment::Top << QPoint(110, 100) << QPoint(400, 100) << QPoint(500, 100);
    QTest::newRow("bottom") << GroupAlignment::Bottom << QPoint(110, 310) << QPoint(400, 300) << QPoint(500, 299);
    QTest::newRow("middle") << GroupAlignment::Middle << QPoint(110, 204) << QPoint(400, 199) << QPoint(500, 199);
}

void TestObjectGroup::aligningLinesUpFramesObjectsInFramesAndArrows()
{
    QFETCH(GroupAlignment, alignment);
    QFETCH(QPoint, picture);
    QFETCH(QPoint, field);
    QFETCH(QPoint, arrowStart);
    Scene s;
    const ObjectGroup group{s.picture, s.field, s.arrow};
    QVERIFY(alignGroup(s.o, group, alignment));
    QCOMPARE(canvasRectOf(s.o, s.picture).topLeft(), picture);
    // The picture stays in its frame, placed relative to it; the frame does not move.
    QCOMPARE(s.o.picture(1).parentFrame, quint8(1));
    QCOMPARE(s.o.frame(1).bounds, QRect(100, 100, 200, 150));
    QCOMPARE(canvasRectOf(s.o, s.field).topLeft(), field);
    const ArrowObject& a = s.o.arrow(1);
    QCOMPARE(QPoint(a.x1, a.y1), arrowStart);
    QCOMPARE(QPoint(a.x2 - a.x1, a.y2 - a.y1), QPoint(60, 40));  // its shape is kept
    // Aligned again, nothing moves.
    QVERIFY(!alignGroup(s.o, group, alignment));
    QVERIFY(!alignGroup(s.o, {s.field}, alignment));  // one object has nothing to align with
}

void TestObjectGroup::distributingMakesEqualGapsKeepingTheOuterOnes()
{
    Outline o;
    o.setClientSize(QSize(2000, 800));
    // Widths 10, 20, 30, 40 between 0 and 300, in the table's order unlike their places.
    const ObjectId c = o.frame(o.createFrame(QRect(150, 50, 30, 10), {})).id;
    const ObjectId a = o.frame(o.createFrame(QRect(0, 60, 10, 10), {})).id;
    const ObjectId d = o.frame(o.createFrame(QRect(260, 70, 40, 10), {})).id;
    const ObjectId b = o.frame(o.createFrame(QRect(12, 80, 20, 10), {})).id;
    QVERIFY(distributeGroup(o, {c, a, d, b}, true));
    // 300 − 100 occupied = 200 of gaps: 66.67 each.
    QCOMPARE(canvasRectOf(o, a).left(), 0);
    QCOMPARE(canvasRectOf(o, b).left(), 77);
    QCOMPARE(canvasRectOf(o, c).left(), 163);
    QCOMPARE(canvasRectOf(o, d).left(), 260);
    QCOMPARE(canvasRectOf(o, c).top(), 50);  // only across
    QVERIFY(!distributeGroup(o, {a, b}, true));
    // Down: the tops 50, 60, 70, 80 are already evenly spaced (gaps of 0).
    QVERIFY(!distributeGroup(o, {c, a, d, b}, false));
}

void TestObjectGroup::movingStopsAtTheFileEdgeKeepingEveryShape()
{
    Scene s;
    const ObjectGroup group{s.frame, s.field, s.arrow};
    QVERIFY(moveGroup(s.o, group, QPoint(5, -7)));
    QCOMPARE(s.o.frame(1).bounds, QRect(105, 93, 200, 150));
    QCOMPARE(s.o.picture(1).bounds, QRect(10, 20, 40, 30));  // moved with its frame
    QCOMPARE(s.o.textField(1).bounds.topLeft(), QPoint(405, 293));
    QCOMPARE(QPoint(s.o.arrow(1).x1, s.o.arrow(1).y1), QPoint(505, 93));
    // Far beyond what a file holds: each stops at the edge, none changes its size or shape.
    QVERIFY(moveGroup(s.o, group, QPoint(100000, 100000)));
    QCOMPARE(s.o.frame(1).bounds, QRect(kMaxCoordinate, kMaxCoordinate, 200, 150));
    const ArrowObject& a = s.o.arrow(1);
    QCOMPARE(std::max(a.x1, a.x2), kMaxCoordinate);
    QCOMPARE(QPoint(a.x2 - a.x1, a.y2 - a.y1), QPoint(60, 40));
    // Further on, nothing moves: no step to record.
    QVERIFY(!moveGroup(s.o, group, QPoint(1, 1)));
}

void TestObjectGroup::removingTakesFramesWithTheirObjects()
{
    Scene s;
    const ObjectId other = s.o.frame(s.o.createFrame(QRect(600, 400, 100, 100), {})).id;
    QCOMPARE(removeGroup(s.o, {s.picture, s.frame, s.arrow, 12345}), 2);
    QCOMPARE(s.o.count(ObjectKind::Frame), 1);
    QCOMPARE(s.o.frame(1).id, other);
    QCOMPARE(s.o.count(ObjectKind::Picture), 0);
    QCOMPARE(s.o.count(ObjectKind::Arrow), 0);
    QCOMPARE(s.o.count(ObjectKind::TextField), 1);
}

QTEST_GUILESS_MAIN(TestObjectGroup)
#include "test_object_group.moc"
