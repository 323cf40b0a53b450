// The canvas gestures fed plain pointer input, without any widget: what they leave in the
// outline, the history and the handle sets.
#include "canvas/alt_drop_gesture.h"
#include "canvas/arrow_drag_gesture.h"
#include "canvas/arrow_end_gesture.h"
#include "canvas/move_gesture.h"
#include "canvas/resize_gesture.h"
#include "storage/outline_io.h"

#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

using namespace velmar;

namespace {

class RecordingHandles : public HandleLayer {
public:
    SelectionModel m;
    const SelectionModel& model() const override { return m; }
    void showBlackSet(ObjectId id) override { m.blackAround = id; }
    void showBlueSet(ObjectId id) override { m.blueAround = id; }
    void showArrowHandles(QPoint start, QPoint end) override
    {
        m.arrowHandles = true;
        m.arrowStart = start;
        m.arrowEnd = end;
    }
    void moveArrowEnd(bool start, QPoint p) override { (start ? m.arrowStart : m.arrowEnd) = p; }
    void showAttachTargets(const std::vector<ObjectId>& targets) override { m.attachTargets = targets; }
    void hideBlackSet() override { m.blackAround = 0; }
    void hideBlueSet() override { m.blueAround = 0; }
    void hideArrowHandles() override { m.arrowHandles = false; }
};

// A document with the canvas's reactions counted instead of shown.
class Canvas : public GestureContext {
public:
    OpenOutline doc;
    RecordingHandles selection;
    int steps = 0;
    StepKind lastKind = StepKind::Full;
    ObjectId chosen = 0;
    bool dragCursor = false;

    OpenOutline& document() override { return doc; }
    HandleLayer& handles() override { return selection; }
    void recordStep(StepKind kind) override
    {
        ++steps;
        lastKind = kind;
    }
    void placeWidget(ObjectId) override {}
    void syncView() override {}
    void redrawOverlays() override {}
    void showDragCursor(ObjectId, bool dragging) override { dragCursor = dragging; }
    void frameChosen(ObjectId frame, bool) override { chosen = frame; }
    void objectChosen(ObjectId id) override { chosen = id; }
};

PointerInput at(int x, int y, Qt::MouseButton button = Qt::LeftButton)
{
    PointerInput in;
    in.pos = QPoint(x, y);
    in.button = button;
    return in;
}

// Press at from, move in a few steps to to, release there.
void drag(Gesture& g, QPoint from, QPoint to)
{
    for (int i = 1; i <= 4; ++i) {
        const QPoint p = from + (to - from) * i / 4;
        g.move(at(p.x(), p.y(), Qt::NoButton));
    }
    g.release(at(to.x(), to.y()));
}

using MakeGesture = std::function<std::unique_ptr<Gesture>(Canvas&, const PointerInput&)>;

}  // namespace

Q_DECLARE_METATYPE(MakeGesture)

class TestCanvasGestures : public QObject {
    Q_OBJECT
private slots:
    void movesRecordOneStepOnlyWhenSomethingMoved();
    void textFieldWaitsBeforeFollowing();
    void dragsFarOutStopWhereAFileHolds();
    void abortedGestureLeavesNoHalfStep_data();
    void abortedGestureLeavesNoHalfStep();
    void altDropLandsInTheTopmostFrameUnderThePointer();
    void droppedArrowEndsAttachAndDetach();
};

void TestCanvasGestures::movesRecordOneStepOnlyWhenSomethingMoved()
{
    Canvas c;
    c.doc.outline.createFrame(QRect(10, 40, 150, 150), QStringLiteral("Ф"));
    const ObjectId frame = c.doc.outline.frame(1).id;

    // A click: nothing recorded, and the frame is chosen.
    MoveGesture click(c, at(50, 80), frame, MoveGesture::Grip::Body);
    QVERIFY(!click.release(at(50, 80)));
    QCOMPARE(c.steps, 0);
    QCOMPARE(c.chosen, frame);

    // Dragged away and back to where it started: still no step.
    MoveGesture there(c, at(50, 80), frame, MoveGesture::Grip::Body);
    there.move(at(90, 120, Qt::NoButton));
    QCOMPARE(c.doc.outline.frame(1).bounds.topLeft(), QPoint(50, 80));
    there.move(at(50, 80, Qt::NoButton));
    there.release(at(50, 80));
    QCOMPARE(c.doc.outline.frame(1).bounds.topLeft(), QPoint(10, 40));
    QCOMPARE(c.steps, 0);

    // A real move is one step, whatever number of moves it took; a press on the title that does
    // not move the frame only selects it.
    MoveGesture move(c, at(50, 80), frame, MoveGesture::Grip::Body);
    drag(move, QPoint(50, 80), QPoint(51, 77));
    QCOMPARE(c.doc.outline.frame(1).bounds, QRect(11, 37, 150, 150));
    QCOMPARE(c.steps, 1);
    QVERIFY2(c.lastKind == StepKind::HeaderOnly, "a move keeps the objects: a header step is enough");
    MoveGesture title(c, at(20, 40), frame, MoveGesture::Grip::Title);
    QVERIFY(!title.release(at(20, 40)));
    QCOMPARE(c.steps, 1);

    // By the blue move bar, the object moves and both sets stand again around the selections.
    const int text = c.doc.outline.createTextField(QRect(5, 5, 60, 20), 0, QStringLiteral("т"), 1);
    const ObjectId field = c.doc.outline.textField(text).id;
    c.doc.interaction.outerSelection = frame;
    c.doc.interaction.innerSelection = field;
    const QPoint placed = c.doc.outline.textField(text).bounds.topLeft();
    MoveGesture bar(c, at(100, 100), field, MoveGesture::Grip::BlueMoveBar);
    QVERIFY(bar.following() && bar.holdsPointer());
    drag(bar, QPoint(100, 100), QPoint(110, 100));
    QCOMPARE(c.doc.outline.textField(text).bounds.topLeft(), placed + QPoint(10, 0));
    QCOMPARE(c.steps, 2);
    QCOMPARE(c.selection.m.blackAround, frame);
    QCOMPARE(c.selection.m.blueAround, field);
}

void TestCanvasGestures::textFieldWaitsBeforeFollowing()
{
    Canvas c;
    const int slot = c.doc.outline.createTextField(QRect(100, 100, 80, 30), 0, QStringLiteral("т"), 0);
    const ObjectId id = c.doc.outline.textField(slot).id;

    // A click with a little jitter places the caret: the field stays and the moves go to it.
    MoveGesture caret(c, at(120, 110), id, MoveGesture::Grip::TextBody);
    QVERIFY(!caret.move(at(121, 111, Qt::NoButton)));
    QVERIFY(!caret.release(at(121, 111)));
    QCOMPARE(c.doc.outline.textField(slot).bounds.topLeft(), QPoint(100, 100));
    QCOMPARE(c.steps, 0);

    // Past the threshold it follows the whole way from the press point.
    MoveGesture move(c, at(120, 110), id, MoveGesture::Grip::TextBody);
    QVERIFY(move.move(at(122, 111, Qt::NoButton)));
    QCOMPARE(c.doc.outline.textField(slot).bounds.topLeft(), QPoint(102, 101));
    move.move(at(130, 110, Qt::NoButton));
    QVERIFY(move.release(at(130, 110)));
    QCOMPARE(c.doc.outline.textField(slot).bounds.topLeft(), QPoint(110, 100));
    QCOMPARE(c.steps, 1);
}

void TestCanvasGestures::dragsFarOutStopWhereAFileHolds()
{
    // Dragged far past the canvas, every object stops where an outline file still holds it, and
    // the saved outline reads back.
    Canvas c;
    Outline& o = c.doc.outline;
    o.createFrame(QRect(10, 40, 150, 150), QStringLiteral("Ф"));
    o.createFrame(QRect(300, 40, 150, 150), QStringLiteral("Ф2"));
    o.createArrow(50, 60, 80, 60, 1, 0);
    const ObjectId first = o.frame(1).id, second = o.frame(2).id;

    MoveGesture move(c, at(20, 50), first, MoveGesture::Grip::Body);
    drag(move, QPoint(20, 50), QPoint(20 - 90000, 50 + 90000));
    QCOMPARE(o.frame(1).bounds, QRect(-32768, 32767, 150, 150));

    ResizeGesture size(c, at(440, 180), second, Edge::BottomRight, true);
    drag(size, QPoint(440, 180), QPoint(440 + 90000, 180 + 90000));
    QCOMPARE(o.frame(2).bounds, QRect(300, 40, 32767, 32767));
    ResizeGesture left(c, at(300, 100), second, Edge::Left, true);
    drag(left, QPoint(300, 100), QPoint(300 - 90000, 100));
    QCOMPARE(o.frame(2).bounds.left(), -32768);

    // An end dragged out is held at the edge, and its handle stands where the arrow ends, so that
    // a later change of the arrow keeps it there.
    c.doc.interaction.selectedArrow = 1;
    c.selection.showArrowHandles(QPoint(50, 60), QPoint(80, 60));
    ArrowEndGesture end(c, at(75, 55), false);
    drag(end, QPoint(75, 55), QPoint(75 + 70000, 55 - 70000));
    QCOMPARE(QList<int>({o.arrow(1).x2, o.arrow(1).y2}), QList<int>({32767, -32768}));
    QCOMPARE(c.selection.m.arrowEnd, QPoint(32767, -32768));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("far.vmd"));
    QVERIFY(writeOutlineFile(path, c.doc).ok);
    const LoadResult loaded = readOutlineFile(path, QSize(0, 0));
    QVERIFY2(loaded.ok, qPrintable(loaded.message));
    QCOMPARE(loaded.outline.frame(1).bounds, o.frame(1).bounds);
    QCOMPARE(loaded.outline.frame(2).bounds, o.frame(2).bounds);
}

void TestCanvasGestures::abortedGestureLeavesNoHalfStep_data()
{
    // Each gesture is pressed at (60, 60) on a frame at (10, 40), with a text field inside it and
    // an arrow from (50, 60) to (80, 60) selected.
    QTest::addColumn<MakeGesture>("make");
    QTest::newRow("body move") << MakeGesture([](Canvas& c, const PointerInput& p) {
        return std::make_unique<MoveGesture>(c, p, c.doc.outline.frame(1).id, MoveGesture::Grip::Body);
    });
    QTest::newRow("title press") << MakeGesture([](Canvas& c, const PointerInput& p) {
        return std::make_unique<MoveGesture>(c, p, c.doc.outline.frame(1).id, MoveGesture::Grip::Title);
    });
    QTest::newRow("black move bar") << MakeGesture([](Canvas& c, const PointerInput& p) {
        return std::make_unique<MoveGesture>(c, p, c.doc.outline.frame(1).id, MoveGesture::Grip::BlackMoveBar);
    });
    QTest::newRow("corner") << MakeGesture([](Canvas& c, const PointerInput& p) {
        return std::make_unique<ResizeGesture>(c, p, c.doc.outline.frame(1).id, Edge::TopLeft, true);
    });
    QTest::newRow("blue edge") << MakeGesture([](Canvas& c, const PointerInput& p) {
        return std::make_unique<ResizeGesture>(c, p, c.doc.outline.textField(1).id, Edge::Right, false);
    });
    QTest::newRow("alt drop") << MakeGesture([](Canvas& c, const PointerInput& p) {
        return std::make_unique<AltDropGesture>(c, p, c.doc.outline.textField(1).id);
    });
    QTest::newRow("arrow") << MakeGesture([](Canvas& c, const PointerInput& p) {
        return std::make_unique<ArrowDragGesture>(c, p, c.doc.outline.arrow(1).id);
    });
    QTest::newRow("arrow end") << MakeGesture(
        [](Canvas& c, const PointerInput& p) { return std::make_unique<ArrowEndGesture>(c, p, true); });
}

void TestCanvasGestures::abortedGestureLeavesNoHalfStep()
{
    QFETCH(MakeGesture, make);
    Canvas c;
    Outline& o = c.doc.outline;
    o.createFrame(QRect(10, 40, 150, 150), QStringLiteral("Ф"));
    o.createTextField(QRect(5, 5, 60, 20), 0, QStringLiteral("т"), 1);
    o.createArrow(50, 60, 80, 60, 1, 0);
    c.doc.interaction.selectedArrow = 1;
    c.selection.showArrowHandles(QPoint(50, 60), QPoint(80, 60));
    const Outline before = o;
    const SelectionModel handlesBefore = c.selection.m;

    std::unique_ptr<Gesture> g = make(c, at(60, 60));
    for (int i = 1; i <= 5; ++i)
        g->move(at(60 + 40 * i, 60 + 30 * i, Qt::NoButton));
    g->cancel();

    QCOMPARE(c.steps, 0);
    QCOMPARE(o.frame(1).bounds, before.frame(1).bounds);
    QCOMPARE(o.textField(1).bounds, before.textField(1).bounds);
    QCOMPARE(o.textField(1).parentFrame, before.textField(1).parentFrame);
    const ArrowObject &a = o.arrow(1), &b = before.arrow(1);
    QCOMPARE(QList<int>({a.x1, a.y1, a.x2, a.y2}), QList<int>({b.x1, b.y1, b.x2, b.y2}));
    QCOMPARE(c.selection.m.arrowStart, handlesBefore.arrowStart);
    QCOMPARE(c.selection.m.arrowEnd, handlesBefore.arrowEnd);
    QVERIFY(!c.dragCursor);
    QVERIFY(c.selection.m.attachTargets.empty());
    QVERIFY(!a.startAttachment.attached() && !a.endAttachment.attached());
}

void TestCanvasGestures::altDropLandsInTheTopmostFrameUnderThePointer()
{
    Canvas c;
    Outline& o = c.doc.outline;
    o.createFrame(QRect(10, 40, 200, 200), QStringLiteral("Ф1"));
    o.createFrame(QRect(100, 100, 200, 200), QStringLiteral("Ф2"));  // overlaps the first, above it
    const int slot = o.createPicture(QRect(400, 300, 50, 40), 0);
    const ObjectId id = o.picture(slot).id;

    AltDropGesture nowhere(c, at(420, 320), id);
    drag(nowhere, QPoint(420, 320), QPoint(600, 50));
    QCOMPARE(o.picture(slot).parentFrame, quint8(0));
    QCOMPARE(o.picture(slot).bounds, QRect(400, 300, 50, 40));
    QCOMPARE(c.steps, 0);

    AltDropGesture overlap(c, at(420, 320), id);
    overlap.move(at(300, 300, Qt::NoButton));
    QVERIFY(c.dragCursor);
    overlap.release(at(150, 150));
    QVERIFY(!c.dragCursor);
    QCOMPARE(o.picture(slot).parentFrame, o.parentFrameNumber(2));
    QCOMPARE(o.picture(slot).bounds, QRect(50, 50, 50, 40));  // its corner at the drop, in the frame
    QCOMPARE(c.steps, 1);
}

void TestCanvasGestures::droppedArrowEndsAttachAndDetach()
{
    Canvas c;
    Outline& o = c.doc.outline;
    o.createFrame(QRect(10, 40, 150, 150), QStringLiteral("Ф1"));
    o.createFrame(QRect(300, 40, 150, 150), QStringLiteral("Ф2"));
    o.createArrow(200, 300, 230, 300, 1, 0);
    const ObjectId f1 = o.frame(1).id, f2 = o.frame(2).id;
    c.doc.interaction.selectedArrow = 1;
    c.selection.showArrowHandles(QPoint(200, 300), QPoint(230, 300));

    // The head dragged over the second frame: highlighted on the way, attached where dropped.
    ArrowEndGesture head(c, at(230, 300), false);
    head.move(at(100, 300, Qt::NoButton));
    QVERIFY(c.selection.m.attachTargets.empty());
    head.move(at(350, 100, Qt::NoButton));
    QCOMPARE(c.selection.m.attachTargets, std::vector<ObjectId>{f2});
    head.move(at(360, 110, Qt::NoButton));
    head.release(at(360, 110));
    QVERIFY(c.selection.m.attachTargets.empty());
    QCOMPARE(c.steps, 1);
    QCOMPARE(o.arrow(1).endAttachment.slot, 2);
    QCOMPARE(QPoint(o.arrow(1).x2, o.arrow(1).y2), QPoint(360, 110));

    // Picked up and put back where it was: nothing changes, no step.
    ArrowEndGesture click(c, at(360, 110), false);
    click.release(at(360, 110));
    QCOMPARE(c.steps, 1);
    QCOMPARE(o.arrow(1).endAttachment.slot, 2);

    // The whole arrow dropped with its tail on the first frame and its head on bare canvas: the
    // tail is attached, the head let go; the highlight showed the one frame under an end.
    ArrowDragGesture whole(c, at(280, 205), o.arrow(1).id);
    whole.move(at(200, 250, Qt::NoButton));  // tail at (120, 345), head at (280, 155): nothing
    whole.move(at(180, 50, Qt::NoButton));   // tail at (100, 145) on frame 1, head at (260, -45)
    QCOMPARE(c.selection.m.attachTargets, std::vector<ObjectId>{f1});
    whole.release(at(180, 50));
    QCOMPARE(c.steps, 2);
    QCOMPARE(o.arrow(1).startAttachment.slot, 1);
    QVERIFY(!o.arrow(1).endAttachment.attached());
    QCOMPARE(QList<int>({o.arrow(1).x1, o.arrow(1).y1, o.arrow(1).x2, o.arrow(1).y2}),
             QList<int>({100, 145, 260, -45}));
}

QTEST_GUILESS_MAIN(TestCanvasGestures)
#include "test_canvas_gestures.moc"
