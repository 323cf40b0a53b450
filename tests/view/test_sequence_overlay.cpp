// The reading-order overlays: their geometry as numbers, and the two buttons on the real window.
#include "canvas/canvas_widget.h"
#include "canvas/outline_view.h"
#include "canvas/selection_handles.h"
#include "support/window_fixture.h"
#include "view/sequence_overlay.h"

#include <QAction>
#include <QMenu>
#include <QTest>

using namespace velmar;

class TestSequenceOverlay : public QObject {
    Q_OBJECT
private slots:
    void arrowHead_data();
    void arrowHead();
    void geometryOfBothSequences();
    void buttonsAreExclusiveAndDriveTheOrderButtons();
    void pressesEraseAndRepaint();
};

void TestSequenceOverlay::arrowHead_data()
{
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<QPoint>("head1");
    QTest::addColumn<QPoint>("head2");

    QTest::newRow("to the right: the worked example")
        << QPoint(0, 0) << QPoint(100, 0) << QPoint(81, -7) << QPoint(81, 6);
    // Straight down: a = 0, strokes at 158 and 198 degrees.
    QTest::newRow("downwards") << QPoint(50, 0) << QPoint(50, 100) << QPoint(58, 81) << QPoint(44, 81);
    // Zero length is measured as 1: the same strokes as a link pointing up.
    QTest::newRow("zero length") << QPoint(30, 30) << QPoint(30, 30) << QPoint(23, 49) << QPoint(36, 49);
}

void TestSequenceOverlay::arrowHead()
{
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(QPoint, head1);
    QFETCH(QPoint, head2);
    const auto [a, b] = overlayArrowHead(from, to);
    QCOMPARE(a, head1);
    QCOMPARE(b, head2);
}

void TestSequenceOverlay::geometryOfBothSequences()
{
    Outline o;
    o.createFrame(QRect(10, 40, 150, 150), QStringLiteral("A"));
    o.createFrame(QRect(300, 40, 101, 100), QStringLiteral("B"));
    o.createPicture(QRect(20, 30, 60, 40), 2);  // inside B: moved by B's corner
    o.createTextField(QRect(500, 300, 41, 30), kButtonFace, QStringLiteral("t"), 0);
    o.createCaption(QRect(1, 1, 30, 13), QStringLiteral("c"), 1);  // never in a sequence

    const OverlayGeometry frames = overlayGeometry(o, OverlayKind::Frames);
    QCOMPARE(frames.rects, (std::vector<QRect>{QRect(10, 40, 150, 150), QRect(300, 40, 101, 100)}));
    QCOMPARE(frames.anchors, (std::vector<QPoint>{QPoint(85, 50), QPoint(350, 50)}));
    QCOMPARE(frames.links.size(), std::size_t(1));
    QCOMPARE(frames.links[0].from, QPoint(85, 50));
    QCOMPARE(frames.links[0].to, QPoint(350, 50));

    const OverlayGeometry objects = overlayGeometry(o, OverlayKind::Objects);
    QCOMPARE(objects.rects, (std::vector<QRect>{QRect(320, 70, 60, 40), QRect(500, 300, 41, 30)}));
    QCOMPARE(objects.anchors, (std::vector<QPoint>{QPoint(350, 80), QPoint(520, 310)}));

    // One item: a rectangle and no link; none: nothing at all.
    o.objectSequence().remove(o.textField(1).id);
    QCOMPARE(overlayGeometry(o, OverlayKind::Objects).rects.size(), std::size_t(1));
    QVERIFY(overlayGeometry(o, OverlayKind::Objects).links.empty());
    o.frameSequence().clear();
    QVERIFY(overlayGeometry(o, OverlayKind::Frames).rects.empty());
}

void TestSequenceOverlay::buttonsAreExclusiveAndDriveTheOrderButtons()
{
    WindowFixture f;
    f.beginOutline();
    f.doc().outline.createFrame(QRect(10, 40, 150, 150), QStringLiteral("A"));
    f.doc().outline.createFrame(QRect(300, 40, 150, 150), QStringLiteral("B"));
    f.window->outlineView()->sync();
    auto* layer = f.window->canvas()->findChild<SequenceOverlayLayer*>(QStringLiteral("sequenceOverlay"));
    QVERIFY(layer);

    f.command(Command::FrameSequenceButton)->trigger();
    QVERIFY(layer->isPainted());
    QCOMPARE(layer->kind(), OverlayKind::Frames);
    QCOMPARE(layer->geometry().rects.size(), std::size_t(2));
    QVERIFY(f.doc().session.repaintPending);
    QVERIFY(!f.command(Command::MoveEarlierButton)->isEnabled());  // no handles yet

    // Selecting a frame shows the black set: the order buttons become available.
    QWidget* frame = f.widgetOf(f.doc().outline.frame(1).id);
    sendMouse(frame, QEvent::MouseButtonPress, QPoint(50, 50), Qt::LeftButton);
    sendMouse(frame, QEvent::MouseButtonRelease, QPoint(50, 50), Qt::LeftButton);
    QVERIFY(f.command(Command::MoveEarlierButton)->isEnabled());
    QVERIFY(f.command(Command::MoveLaterButton)->isEnabled());
    QVERIFY(layer->isPainted());

    f.command(Command::ObjectSequenceButton)->trigger();  // the object overlay replaces the frame overlay
    QVERIFY(!f.command(Command::FrameSequenceButton)->isChecked());
    QCOMPARE(layer->kind(), OverlayKind::Objects);
    QVERIFY(layer->geometry().rects.empty());

    f.command(Command::ObjectSequenceButton)->trigger();  // released: erased, order buttons off
    QVERIFY(!layer->isPainted());
    QVERIFY(!f.command(Command::MoveEarlierButton)->isEnabled());
    QVERIFY(!f.command(Command::MoveLaterButton)->isEnabled());

    // The menu item switches its overlay on.
    f.command(Command::FrameSequence)->trigger();
    QVERIFY(f.command(Command::FrameSequenceButton)->isChecked());
    QVERIFY(layer->isPainted());
}

void TestSequenceOverlay::pressesEraseAndRepaint()
{
    WindowFixture f;
    f.beginOutline();
    f.doc().outline.createFrame(QRect(10, 40, 150, 150), QStringLiteral("A"));
    f.window->outlineView()->sync();
    auto* layer = f.window->canvas()->findChild<SequenceOverlayLayer*>(QStringLiteral("sequenceOverlay"));
    f.command(Command::FrameSequenceButton)->trigger();

    // A press on the empty canvas erases the overlay; a press on a frame paints it again, with
    // the frame where it now is.
    sendMouse(f.window->canvas(), QEvent::MouseButtonPress, QPoint(600, 400), Qt::LeftButton);
    QVERIFY(!layer->isPainted());
    QVERIFY(!f.doc().session.repaintPending);
    QWidget* frame = f.widgetOf(f.doc().outline.frame(1).id);
    dragWidget(frame, QPoint(50, 50), QPoint(90, 70));
    QVERIFY(layer->isPainted());
    QCOMPARE(layer->geometry().rects.front(), f.doc().outline.frame(1).bounds);
    QVERIFY(layer->testAttribute(Qt::WA_TransparentForMouseEvents));
}

QTEST_MAIN(TestSequenceOverlay)
#include "test_sequence_overlay.moc"
