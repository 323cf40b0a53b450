// The order in which a presentation reveals an outline: frames in reading order with their
// objects, canvas objects last, arrows once both ends are covered, nothing lost.
#include "model/reveal_order.h"

#include <QTest>

using namespace velmar;

class TestPresentationOrder : public QObject {
    Q_OBJECT
private slots:
    void framesAndObjectsInReadingOrder();
    void arrowsAppearWhenBothEndsAreCovered_data();
    void arrowsAppearWhenBothEndsAreCovered();
    void itemsMissingFromTheSequencesAreStillShown();
    void subtitles();
    void degenerateOutlines();
};

namespace {

// Three frames read C, A, B; objects in A and C and on the canvas, their reading order shuffled.
struct Hand {
    Outline o;
    ObjectId a, b, c, pictureA, textA, videoC, textC, canvasText, canvasPicture, captionA;

    Hand()
    {
        a = o.frame(o.createFrame(QRect(0, 40, 200, 200), QStringLiteral("A"))).id;
        b = o.frame(o.createFrame(QRect(220, 40, 200, 200), QStringLiteral("B"))).id;
        c = o.frame(o.createFrame(QRect(440, 40, 200, 200), QStringLiteral("C"))).id;
        pictureA = o.picture(o.createPicture(QRect(10, 20, 50, 50), 1)).id;  // 10..59, 60..109
        textA = o.textField(o.createTextField(QRect(10, 100, 80, 40), kButtonFace, {}, 1)).id;
        videoC = o.video(o.createVideo(QRect(10, 20, 60, 60), 3)).id;
        textC = o.textField(o.createTextField(QRect(10, 100, 80, 40), kButtonFace, {}, 3)).id;
        canvasText = o.textField(o.createTextField(QRect(20, 300, 80, 40), kButtonFace, {}, 0)).id;
        canvasPicture = o.picture(o.createPicture(QRect(300, 300, 50, 50), 0)).id;
        captionA = o.caption(o.createCaption(QRect(5, 150, 40, 13), QStringLiteral("n"), 1)).id;
        // Frames: C, A, B.
        o.frameSequence().swap(1, 3);
        o.frameSequence().swap(2, 3);
        // Objects: canvasPicture, textC, textA, videoC, pictureA, canvasText.
        Sequence& s = o.objectSequence();
        s.clear();
        for (ObjectId id : {canvasPicture, textC, textA, videoC, pictureA, canvasText})
            s.append(id, true);
    }
};

std::vector<ObjectId> leads(const RevealOrder& order)
{
    std::vector<ObjectId> ids;
    for (int i = 0; i < order.stepCount(); ++i)
        ids.push_back(order.step(i).lead);
    return ids;
}

}  // namespace

void TestPresentationOrder::framesAndObjectsInReadingOrder()
{
    const Hand h;
    const RevealOrder order(h.o);
    const std::vector<ObjectId> expected{0,       h.c,        h.textC, h.videoC,        h.a,
                                         h.textA, h.pictureA, h.b,     h.canvasPicture, h.canvasText};
    QCOMPARE(leads(order), expected);

    // Step 0 shows nothing; a caption comes with its frame; nothing is shown twice or left out.
    QVERIFY(order.shownAt(0).empty());
    QCOMPARE(order.stepOf(h.captionA), order.stepOf(h.a));
    QCOMPARE(order.shownAt(order.lastStep()).size(), std::size_t(10));  // 3 frames, 6 objects, a caption
    // Asking past either end is harmless.
    QVERIFY(order.step(-1).appearing.empty() && order.step(order.stepCount()).appearing.empty());
}

void TestPresentationOrder::arrowsAppearWhenBothEndsAreCovered_data()
{
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<QString>("expectedLead");  // the lead of the step the arrow appears at

    // Frame A spans (0, 40)–(199, 239); its picture (10, 60)–(59, 109); frame C starts at x 440.
    QTest::newRow("bare canvas to bare canvas: the first step, never the empty start")
        << QPoint(700, 400) << QPoint(650, 450) << QStringLiteral("C");
    QTest::newRow("onto a picture: with the picture, not with its frame")
        << QPoint(700, 400) << QPoint(30, 80) << QStringLiteral("pictureA");
    QTest::newRow("frame to frame: with the later of the two")
        << QPoint(150, 45) << QPoint(600, 45) << QStringLiteral("A");
    QTest::newRow("from a frame's free part to a canvas object")
        << QPoint(150, 45) << QPoint(30, 310) << QStringLiteral("canvasText");
    QTest::newRow("the picture's last pixel still counts, the next one is its frame")
        << QPoint(59, 109) << QPoint(60, 110) << QStringLiteral("pictureA");
    QTest::newRow("reversed direction gives the same step")
        << QPoint(30, 80) << QPoint(700, 400) << QStringLiteral("pictureA");
}

void TestPresentationOrder::arrowsAppearWhenBothEndsAreCovered()
{
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(QString, expectedLead);

    Hand h;
    const ObjectId arrow = h.o.arrow(h.o.createArrow(from.x(), from.y(), to.x(), to.y(), 1, kBlack)).id;
    const RevealOrder order(h.o);
    const std::map<QString, ObjectId> names{
        {"A", h.a}, {"C", h.c}, {"pictureA", h.pictureA}, {"canvasText", h.canvasText}};
    const int at = order.stepOf(arrow);
    QCOMPARE(order.step(at).lead, names.at(expectedLead));
    // The arrow is listed once, among the objects its step brings.
    const auto& appearing = order.step(at).appearing;
    QCOMPARE(std::count(appearing.begin(), appearing.end(), arrow), 1);
}

void TestPresentationOrder::itemsMissingFromTheSequencesAreStillShown()
{
    Hand h;
    // A damaged file: frame A and textA lost from their sequences, a stray entry, a duplicate,
    // and an entry counted but never written.
    Sequence& frames = h.o.frameSequence();
    frames.remove(h.a);
    frames.append(h.c, true);
    frames.append(777, true);
    Sequence& objects = h.o.objectSequence();
    objects.remove(h.textA);
    objects.append(0, false);
    // An object whose parent frame number names no frame lies on the canvas.
    const ObjectId orphan = h.o.textField(h.o.createTextField(QRect(0, 0, 40, 40), kButtonFace, {}, 0)).id;
    h.o.textField(h.o.count(ObjectKind::TextField)).parentFrame = 9;

    const RevealOrder order(h.o);
    const std::vector<ObjectId> expected{0,          h.c,     h.textC,         h.videoC,     h.b,   h.a,
                                         h.pictureA, h.textA, h.canvasPicture, h.canvasText, orphan};
    QCOMPARE(leads(order), expected);
}

void TestPresentationOrder::subtitles()
{
    Hand h;
    h.o.frame(3).minimalText = QStringLiteral("Опыты\r\nс маятником ");
    h.o.textField(3).minimalText = QStringLiteral("Период\rи длина");
    const RevealOrder order(h.o);
    QCOMPARE(order.step(0).subtitle, QString());
    // One line break per CR LF (or lone CR), kept for the strip to show.
    QCOMPARE(order.step(1).subtitle, QStringLiteral("Опыты\nс маятником"));
    QCOMPARE(order.step(order.stepOf(h.canvasText)).subtitle, QStringLiteral("Период\nи длина"));
    // A minimal text never written is not shown as a placeholder.
    QCOMPARE(order.step(order.stepOf(h.pictureA)).subtitle, QString());
}

void TestPresentationOrder::degenerateOutlines()
{
    // Nothing at all: only the start.
    Outline empty;
    QCOMPARE(RevealOrder(empty).stepCount(), 1);

    // Only arrows: they cannot wait for a step that never comes.
    Outline arrows;
    const ObjectId id = arrows.arrow(arrows.createArrow(10, 10, 100, 100, 2, kBlack)).id;
    const RevealOrder order(arrows);
    QCOMPARE(order.stepCount(), 1);
    QVERIFY(order.isShownAt(id, 0));

    // A full outline, more objects than the object sequence holds: every one appears exactly once.
    Outline full;
    for (int f = 0; f < 10; ++f)
        full.createFrame(QRect(f * 70, 40, 60, 300), QString::number(f));
    for (int i = 0; i < 100; ++i) {
        full.createPicture(QRect(2, 20 + i % 10 * 25, 20, 20), i % 11);
        full.createTextField(QRect(2, 20, 20, 20), kButtonFace, {}, i % 11);
        full.createVideo(QRect(2, 20, 20, 20), (i + 5) % 11);
        full.createArrow(i, 40 + i, 700 - i, 300 - i, 1, kBlack);
    }
    const RevealOrder fullOrder(full);
    QCOMPARE(fullOrder.stepCount(), 1 + 10 + 300);
    QCOMPARE(fullOrder.shownAt(fullOrder.lastStep()).size(), std::size_t(410));
}

QTEST_GUILESS_MAIN(TestPresentationOrder)
#include "test_presentation_order.moc"
