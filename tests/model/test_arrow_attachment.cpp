// Arrow ends dropped on objects: which object takes them, how they follow it through moves,
// resizes, the grid and the zoom, what removals do to them, and when the show brings such an
// arrow in.
#include "model/arrow_attachment.h"
#include "model/grid.h"
#include "model/reveal_order.h"
#include "model/zoom.h"

#include <QTest>

#include <functional>

using namespace velmar;

namespace {

// Frame 1 at (100, 100) 200 × 150 holding picture 1 at (20, 20) 80 × 60 (on the canvas at
// (120, 120)–(199, 179)); frame 2 at (400, 100) 100 × 100; one arrow from (50, 50) to (60, 60).
Outline twoFrames()
{
    Outline o;
    o.setClientSize(QSize(728, 487));
    o.createFrame(QRect(100, 100, 200, 150), QStringLiteral("Опыты"));
    o.createFrame(QRect(400, 100, 100, 100), QStringLiteral("Факты"));
    const int p = o.createPicture(QRect(20, 20, 80, 60), 1);
    o.picture(p).bounds = QRect(20, 20, 80, 60);
    o.createArrow(50, 50, 60, 60, 1, kBlack);
    return o;
}

QPoint endOf(const Outline& o) { return QPoint(o.arrow(1).x2, o.arrow(1).y2); }

using Change = std::function<void(Outline&)>;

}  // namespace

Q_DECLARE_METATYPE(Change)

class TestArrowAttachment : public QObject {
    Q_OBJECT
private slots:
    void dropTakesTheObjectOnTop_data();
    void dropTakesTheObjectOnTop();
    void attachedEndFollowsItsObject_data();
    void attachedEndFollowsItsObject();
    void everyPixelOfAnObjectIsKeptExactly();
    void removalsKeepEndsOnTheirObjects();
    void fileValuesThatDisagreeAreFreed();
    void showBringsTheArrowWithTheObjectItHoldsOn();
};

void TestArrowAttachment::dropTakesTheObjectOnTop_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("slot");
    QTest::newRow("picture inside a frame") << QPoint(150, 150) << int(ObjectKind::Picture) << 1;
    QTest::newRow("the picture's last pixel") << QPoint(199, 179) << int(ObjectKind::Picture) << 1;
    QTest::newRow("frame beside the picture") << QPoint(200, 179) << int(ObjectKind::Frame) << 1;
    QTest::newRow("second frame") << QPoint(450, 150) << int(ObjectKind::Frame) << 2;
    QTest::newRow("bare canvas") << QPoint(350, 150) << 0 << 0;
}

void TestArrowAttachment::dropTakesTheObjectOnTop()
{
    QFETCH(QPoint, point);
    QFETCH(int, kind);
    QFETCH(int, slot);
    Outline o = twoFrames();
    QVERIFY(dropArrowEnd(o, 1, false, point));
    const ArrowEndAttachment& end = o.arrow(1).endAttachment;
    QCOMPARE(end.slot, slot);
    if (slot)
        QCOMPARE(int(end.kind), kind);
    // The end lands where it was dropped, attached or not.
    QCOMPARE(endOf(o), point);
    QCOMPARE(QPoint(o.arrow(1).x1, o.arrow(1).y1), QPoint(50, 50));

    // A picture reaching past its frame's edge is not there outside the frame: the drop goes to
    // what shows at that point.
    o.picture(1).bounds = QRect(150, 20, 80, 60);  // on the canvas up to x 329, the frame to 299
    dropArrowEnd(o, 1, false, QPoint(310, 150));
    QVERIFY(!o.arrow(1).endAttachment.attached());
}

void TestArrowAttachment::attachedEndFollowsItsObject_data()
{
    QTest::addColumn<QPoint>("dropped");
    QTest::addColumn<Change>("change");
    QTest::addColumn<QPoint>("expected");
    // Dropped on frame 1 (beside its picture) at three quarters of its width and 80 % of its height.
    const QPoint onFrame(250, 220);
    QTest::newRow("frame moved") << onFrame << Change([](Outline& o) { o.frame(1).bounds.moveTo(300, 40); })
                                 << QPoint(450, 160);
    QTest::newRow("frame resized") << onFrame
                                   << Change([](Outline& o) { o.frame(1).bounds = QRect(100, 100, 400, 300); })
                                   << QPoint(400, 340);
    QTest::newRow("frame shrunk to nothing")
        << onFrame << Change([](Outline& o) { o.frame(1).bounds = QRect(10, 40, 0, 0); }) << QPoint(10, 40);
    // Dropped on the picture at its middle: the picture moves with its frame and by itself.
    const QPoint onPicture(160, 150);
    QTest::newRow("frame of the picture moved")
        << onPicture << Change([](Outline& o) { o.frame(1).bounds.translate(-50, 25); }) << QPoint(110, 175);
    QTest::newRow("picture moved into another frame") << onPicture << Change([](Outline& o) {
        o.picture(1).parentFrame = 2;
        o.picture(1).bounds.moveTo(0, 0);
    }) << QPoint(440, 130);
    QTest::newRow("grid snapped") << QPoint(251, 221) << Change([](Outline& o) {
        o.frame(1).bounds.moveTo(103, 107);
        snapToGrid(o, 10);  // the frame goes to (100, 100): the end comes back to where it was dropped
    }) << QPoint(251, 221);
    QTest::newRow("zoomed to twice the window") << onFrame << Change([](Outline& o) {
        recordReferenceLayout(o, QSize(728, 487));
        // Frame 1 becomes (200, 169) 400 × 300 below the tool bar: three quarters and 80 % of that.
        rescaleOutline(o, QSize(1456, 942), 1);
    }) << QPoint(500, 409);
}

void TestArrowAttachment::attachedEndFollowsItsObject()
{
    QFETCH(QPoint, dropped);
    QFETCH(Change, change);
    QFETCH(QPoint, expected);
    Outline o = twoFrames();
    dropArrowEnd(o, 1, false, dropped);
    QVERIFY(o.arrow(1).endAttachment.attached());
    change(o);
    const std::vector<ObjectId> moved = followAttachments(o);
    QCOMPARE(endOf(o), expected);
    // A second follow finds nothing to do.
    QVERIFY(followAttachments(o).empty());
    QVERIFY(moved.size() <= 1);
}

void TestArrowAttachment::everyPixelOfAnObjectIsKeptExactly()
{
    // Whatever the object's size, an end dropped on any of its pixels stands exactly there, and
    // comes back exactly there after the object grew and shrank back.
    for (const int width : {1, 2, 7, 640, 4099, 32767}) {
        Outline o;
        o.createFrame(QRect(-20000, 34, width, 50), QString());
        o.createArrow(0, 0, 1, 1, 1, kBlack);
        for (int x = 0; x < width; x += std::max(1, width / 97)) {
            const QPoint p(-20000 + x, 34 + x % 50);
            dropArrowEnd(o, 1, true, p);
            QCOMPARE(QPoint(o.arrow(1).x1, o.arrow(1).y1), p);
            o.frame(1).bounds.setWidth(std::min(32767, width * 3));
            followAttachments(o);
            o.frame(1).bounds.setWidth(width);
            followAttachments(o);
            QCOMPARE(QPoint(o.arrow(1).x1, o.arrow(1).y1), p);
        }
    }
}

void TestArrowAttachment::removalsKeepEndsOnTheirObjects()
{
    Outline o = twoFrames();
    const int p2 = o.createPicture(QRect(10, 10, 50, 50), 2);
    o.picture(p2).bounds = QRect(10, 10, 50, 50);
    o.createArrow(0, 0, 0, 0, 1, kBlack);
    dropArrowEnd(o, 2, true, QPoint(420, 120));   // picture 2, in frame 2
    dropArrowEnd(o, 2, false, QPoint(480, 190));  // frame 2, beside the picture
    dropArrowEnd(o, 1, false, QPoint(150, 150));  // picture 1, in frame 1

    // Frame 1 goes with its picture: the other arrow's objects move down a slot and keep it.
    o.removeFrame(1);
    QCOMPARE(o.arrow(2).startAttachment.slot, 1);
    QCOMPARE(int(o.arrow(2).startAttachment.kind), int(ObjectKind::Picture));
    QCOMPARE(o.arrow(2).endAttachment.slot, 1);
    QVERIFY(!o.arrow(1).endAttachment.attached());
    QCOMPARE(endOf(o), QPoint(150, 150));  // freed where it stood
    o.frame(1).bounds.translate(10, 10);
    followAttachments(o);
    QCOMPARE(QPoint(o.arrow(2).x1, o.arrow(2).y1), QPoint(430, 130));
    QCOMPARE(QPoint(o.arrow(2).x2, o.arrow(2).y2), QPoint(490, 200));

    // Deleting an arrow leaves the others' attachments alone; deleting the picture frees its end.
    o.removeObject(ObjectKind::Arrow, 1);
    QVERIFY(o.arrow(1).startAttachment.attached());
    o.removeObject(ObjectKind::Picture, 1);
    QVERIFY(!o.arrow(1).startAttachment.attached());
    QVERIFY(o.arrow(1).endAttachment.attached());
}

void TestArrowAttachment::fileValuesThatDisagreeAreFreed()
{
    Outline o = twoFrames();
    o.createArrow(0, 0, 0, 0, 1, kBlack);
    dropArrowEnd(o, 1, false, QPoint(150, 160));
    dropArrowEnd(o, 2, true, QPoint(450, 150));
    QVERIFY(freeUnsoundAttachments(o).empty());
    // Another tool moved the first arrow, or named an object the outline has not.
    o.arrow(1).x2 += 1;
    setAttachedObjectCode(o.arrow(2).endAttachment, int(ObjectKind::Video) * 256 + 1);
    QCOMPARE(freeUnsoundAttachments(o), (std::vector<int>{1, 2}));
    QVERIFY(!o.arrow(1).endAttachment.attached());
    QVERIFY(o.arrow(2).startAttachment.attached());
    QVERIFY(!o.arrow(2).endAttachment.attached());
    QCOMPARE(attachedPlaceCode(o.arrow(2).endAttachment), 0u);
}

void TestArrowAttachment::showBringsTheArrowWithTheObjectItHoldsOn()
{
    // The start lies on bare canvas; the end lies over the picture but holds on to its frame: the
    // arrow comes with the frame, before the picture.
    Outline o = twoFrames();
    o.arrow(1).x1 = 350;
    o.arrow(1).y1 = 400;
    dropArrowEnd(o, 1, false, QPoint(210, 200));  // frame 1, below the picture
    o.picture(1).bounds = QRect(80, 60, 80, 60);  // now lies under the end
    const RevealOrder held(o);
    QCOMPARE(held.stepOf(o.arrow(1).id), held.stepOf(o.frame(1).id));
    QVERIFY(held.stepOf(o.picture(1).id) > held.stepOf(o.frame(1).id));

    // Freed, the same end waits for everything under it: the picture too.
    o.arrow(1).endAttachment = {};
    const RevealOrder free(o);
    QCOMPARE(free.stepOf(o.arrow(1).id), free.stepOf(o.picture(1).id));

    // Held by the picture, it comes with the picture, whatever frame is shown first.
    dropArrowEnd(o, 1, false, QPoint(190, 170));
    QCOMPARE(int(o.arrow(1).endAttachment.kind), int(ObjectKind::Picture));
    const RevealOrder onPicture(o);
    QCOMPARE(onPicture.stepOf(o.arrow(1).id), onPicture.stepOf(o.picture(1).id));
}

QTEST_GUILESS_MAIN(TestArrowAttachment)
#include "test_arrow_attachment.moc"
