#include "model/outline.h"

#include <QTest>

using namespace velmar;

class TestOutline : public QObject {
    Q_OBJECT
private slots:
    void fitting_data();
    void fitting();
    void parentFrameNumberAtCreation();
    void deletingAFrameCompactsAndRenumbers_data();
    void deletingAFrameCompactsAndRenumbers();
    void deletingSmallObjectsKeepsTheirAttributes();
    void findSlotAfterShifts();
    void clearAllLeavesSequencesAndSwitch();
    void sequenceLengthGrowsWhileRecordingIsOff();
    void sequenceRemovalAndCapacity();
    void capacityRefusalChangesNothing_data();
    void capacityRefusalChangesNothing();
    void newObjectsCarryUndefinedMinimalText();
};

void TestOutline::fitting_data()
{
    QTest::addColumn<QRect>("asked");
    QTest::addColumn<QSize>("parent");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("too low: moved up") << QRect(10, 10, 66, 19) << QSize(150, 150) << QRect(10, -1, 66, 30);
    QTest::newRow("20 px from the right edge") << QRect(130, 10, 66, 30) << QSize(150, 150) << QRect(120, 10, 30, 30);
    QTest::newRow("5 px from the right edge") << QRect(145, 10, 66, 30) << QSize(150, 150) << QRect(120, 10, 30, 30);
    QTest::newRow("cut at the bottom") << QRect(0, 100, 200, 150) << QSize(150, 150) << QRect(0, 100, 150, 50);
    QTest::newRow("past both edges") << QRect(148, 149, 200, 150) << QSize(150, 150) << QRect(120, 120, 30, 30);
    QTest::newRow("exactly the parent") << QRect(0, 0, 150, 150) << QSize(150, 150) << QRect(0, 0, 150, 150);
    // Narrow objects at the far left and top stay where an outline file can hold them.
    QTest::newRow("narrow at the left end")
        << QRect(-32768, -32768, 5, 5) << QSize(150, 150) << QRect(-32768, -32768, 30, 30);
    QTest::newRow("as an old file may give it")
        << QRect(-32767, 10, 0, 30) << QSize(150, 150) << QRect(-32768, 10, 30, 30);
}

void TestOutline::fitting()
{
    QFETCH(QRect, asked);
    QFETCH(QSize, parent);
    QFETCH(QRect, expected);
    QCOMPARE(fitIntoParent(asked, parent), expected);

    // Creation routines fit pictures, text fields and video fragments, not frames or captions.
    Outline outline;
    outline.createFrame(QRect(10, 40, parent.width(), parent.height()), QStringLiteral("Ф"));
    QCOMPARE(outline.textField(outline.createTextField(asked, kButtonFace, QStringLiteral("t"), 1)).bounds, expected);
    QCOMPARE(outline.picture(outline.createPicture(asked, 1)).bounds, expected);
    QCOMPARE(outline.picture(outline.count(ObjectKind::Picture)).bitmap().size(), expected.size());
    QCOMPARE(outline.video(outline.createVideo(asked, 1)).bounds, expected);
    QCOMPARE(outline.caption(outline.createCaption(asked, QStringLiteral("c"), 1)).bounds, asked);
}

void TestOutline::parentFrameNumberAtCreation()
{
    Outline outline;
    for (int i = 0; i < 3; ++i)
        outline.createFrame(QRect(10 + 160 * i, 40, 150, 150), QStringLiteral("Фрейм"));
    const int inSecond = outline.createTextField(QRect(5, 5, 66, 19), kButtonFace, QStringLiteral("a"), 2);
    const int onCanvas = outline.createPicture(QRect(500, 300, 50, 50), 0);
    const int noSuchFrame = outline.createVideo(QRect(5, 5, 50, 50), 7);
    QCOMPARE(outline.textField(inSecond).parentFrame, quint8(2));
    QCOMPARE(outline.picture(onCanvas).parentFrame, quint8(0));
    QCOMPARE(outline.video(noSuchFrame).parentFrame, quint8(0));
}

// Three frames; objects are placed by frame number; frame `deleted` is removed. Expected: the
// surviving pictures by their minimal texts, with their parent frame numbers.
void TestOutline::deletingAFrameCompactsAndRenumbers_data()
{
    QTest::addColumn<QList<int>>("pictureParents");
    QTest::addColumn<int>("deleted");
    QTest::addColumn<QStringList>("survivors");
    QTest::addColumn<QList<int>>("survivorParents");

    QTest::newRow("middle frame, later frame's objects follow")
        << QList<int>{3, 3, 1} << 2 << QStringList{"p1", "p2", "p3"} << QList<int>{2, 2, 1};
    QTest::newRow("first frame holding pictures 1 and 3")
        << QList<int>{1, 2, 1} << 1 << QStringList{"p2"} << QList<int>{1};
    QTest::newRow("frame holding slots 1 and 3 of four")
        << QList<int>{2, 1, 2, 0} << 2 << QStringList{"p2", "p4"} << QList<int>{1, 0};
    QTest::newRow("last frame") << QList<int>{3, 1} << 3 << QStringList{"p2"} << QList<int>{1};
}

void TestOutline::deletingAFrameCompactsAndRenumbers()
{
    QFETCH(QList<int>, pictureParents);
    QFETCH(int, deleted);
    QFETCH(QStringList, survivors);
    QFETCH(QList<int>, survivorParents);

    Outline outline;
    QList<ObjectId> frameIds;
    for (int i = 1; i <= 3; ++i) {
        const int slot = outline.createFrame(QRect(10 + 160 * i, 40, 150, 150), QStringLiteral("Фрейм %1").arg(i));
        outline.frame(slot).minimalText = QStringLiteral("f%1").arg(i);
        frameIds << outline.frame(slot).id;
    }
    for (int i = 0; i < pictureParents.size(); ++i) {
        const int slot = outline.createPicture(QRect(5, 5, 40, 40), pictureParents[i]);
        outline.picture(slot).minimalText = QStringLiteral("p%1").arg(i + 1);
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(QColor(i * 40, 0, 0));
        outline.picture(slot).setBitmap(image);
    }
    // A text field in frame 3 must follow its frame like the pictures.
    outline.createTextField(QRect(5, 5, 66, 19), kButtonFace, QStringLiteral("t"), 3);

    outline.removeFrame(deleted);

    QCOMPARE(outline.count(ObjectKind::Frame), 2);
    QCOMPARE(outline.frameSequence().length(), 2);
    QCOMPARE(outline.findSlot(ObjectKind::Frame, frameIds[deleted - 1]), 0);
    QCOMPARE(outline.count(ObjectKind::Picture), survivors.size());
    for (int slot = 1; slot <= survivors.size(); ++slot) {
        const PictureObject& p = outline.picture(slot);
        QCOMPARE(p.minimalText, survivors[slot - 1]);
        QCOMPARE(int(p.parentFrame), survivorParents[slot - 1]);
        const int original = survivors[slot - 1].mid(1).toInt();
        QCOMPARE(p.bitmap().pixelColor(0, 0), QColor((original - 1) * 40, 0, 0));
        QVERIFY(outline.objectSequence().positionOf(p.id) > 0);
    }
    const int textFields = deleted == 3 ? 0 : 1;
    QCOMPARE(outline.count(ObjectKind::TextField), textFields);
    if (textFields)
        QCOMPARE(int(outline.textField(1).parentFrame), deleted < 3 ? 2 : 3);
    // The object sequence holds exactly the survivors.
    QCOMPARE(outline.objectSequence().length(), survivors.size() + textFields);
}

void TestOutline::deletingSmallObjectsKeepsTheirAttributes()
{
    Outline outline;
    outline.createFrame(QRect(10, 40, 150, 150), QStringLiteral("A"));
    outline.createFrame(QRect(200, 40, 150, 150), QStringLiteral("B"));
    for (int i = 1; i <= 3; ++i) {
        const int slot = outline.createTextField(QRect(5, 5 * i, 66, 19), kButtonFace, QStringLiteral("Текст%1").arg(i),
                                                 i == 3 ? 2 : 1);
        outline.textField(slot).minimalText = QStringLiteral("m%1").arg(i);
    }
    const ObjectId second = outline.textField(2).id;
    outline.removeObject(ObjectKind::TextField, 2);
    QCOMPARE(outline.count(ObjectKind::TextField), 2);
    QCOMPARE(outline.textField(2).minimalText, QStringLiteral("m3"));
    QCOMPARE(outline.textField(2).parentFrame, quint8(2));
    QCOMPARE(outline.objectSequence().length(), 2);
    QCOMPARE(outline.objectSequence().positionOf(second), 0);
    QCOMPARE(outline.objectSequence().entry(2), outline.textField(2).id);

    // Removing the last slot only shortens the table.
    const ObjectId first = outline.textField(1).id;
    outline.removeObject(ObjectKind::TextField, 2);
    QCOMPARE(outline.count(ObjectKind::TextField), 1);
    QCOMPARE(outline.textField(1).id, first);

    // Arrows leave no trace in the object sequence.
    outline.createArrow(0, 0, 30, 0, 1, kBlack);
    outline.createArrow(5, 5, 50, 5, 2, kBlack);
    outline.removeObject(ObjectKind::Arrow, 1);
    QCOMPARE(outline.count(ObjectKind::Arrow), 1);
    QCOMPARE(outline.arrow(1).penWidth, 2);
    QCOMPARE(outline.objectSequence().length(), 1);
}

void TestOutline::findSlotAfterShifts()
{
    Outline outline;
    QList<ObjectId> ids;
    for (int i = 0; i < 4; ++i)
        ids << outline.frame(outline.createFrame(QRect(i, 0, 10, 10), QString::number(i))).id;
    QCOMPARE(outline.findSlot(ObjectKind::Frame, ids[3]), 4);
    outline.removeFrame(2);
    QCOMPARE(outline.findSlot(ObjectKind::Frame, ids[3]), 3);
    QCOMPARE(outline.findSlot(ObjectKind::Frame, ids[1]), 0);
    QCOMPARE(outline.findSlot(ObjectKind::Picture, ids[0]), 0);  // a frame is not a picture
    QCOMPARE(outline.find(ids[2]).slot, 2);
    QCOMPARE(outline.find(ids[2]).kind, ObjectKind::Frame);
    QVERIFY(!outline.find(0).isValid());
}

void TestOutline::clearAllLeavesSequencesAndSwitch()
{
    Outline outline;
    outline.createFrame(QRect(10, 40, 150, 150), QStringLiteral("A"));
    outline.createPicture(QRect(5, 5, 50, 50), 1);
    outline.createTextField(QRect(5, 5, 66, 19), kButtonFace, QStringLiteral("t"), 1);
    outline.createVideo(QRect(5, 5, 50, 50), 1);
    outline.createCaption(QRect(5, 5, 58, 13), QStringLiteral("Надпись1"), 1);
    outline.createArrow(0, 0, 30, 0, 1, kBlack);
    outline.setSequenceRecording(false);

    outline.clearAll();
    for (int k = 0; k < kKindCount; ++k)
        QCOMPARE(outline.count(ObjectKind(k)), 0);
    QCOMPARE(outline.frameSequence().length(), 1);
    QCOMPARE(outline.objectSequence().length(), 3);
    QVERIFY(!outline.sequenceRecording());

    // Clearing an empty outline is harmless, and new objects start again at slot 1.
    outline.clearAll();
    QCOMPARE(outline.createFrame(QRect(0, 0, 10, 10), QStringLiteral("B")), 1);
}

void TestOutline::sequenceLengthGrowsWhileRecordingIsOff()
{
    Outline outline;
    outline.setSequenceRecording(false);
    const int a = outline.createFrame(QRect(0, 0, 10, 10), QStringLiteral("A"));
    const int b = outline.createFrame(QRect(0, 0, 10, 10), QStringLiteral("B"));
    QCOMPARE(outline.frameSequence().length(), 2);
    QCOMPARE(outline.frameSequence().positionOf(outline.frame(a).id), 0);  // entries left to the loader
    outline.frameSequence().setEntry(1, outline.frame(b).id);
    outline.frameSequence().setEntry(2, outline.frame(a).id);
    outline.setSequenceRecording(true);
    const int c = outline.createFrame(QRect(0, 0, 10, 10), QStringLiteral("C"));
    QCOMPARE(outline.frameSequence().length(), 3);
    QCOMPARE(outline.frameSequence().positionOf(outline.frame(b).id), 1);
    QCOMPARE(outline.frameSequence().positionOf(outline.frame(c).id), 3);
    // Pictures, text fields and video fragments share the object sequence; captions stay out.
    outline.createCaption(QRect(0, 0, 10, 10), QStringLiteral("n"), 1);
    outline.createPicture(QRect(0, 0, 40, 40), 1);
    outline.createTextField(QRect(0, 0, 40, 40), kButtonFace, QString(), 1);
    outline.createVideo(QRect(0, 0, 40, 40), 1);
    QCOMPARE(outline.objectSequence().length(), 3);
    QCOMPARE(outline.objectSequence().entry(1), outline.picture(1).id);
    QCOMPARE(outline.objectSequence().entry(3), outline.video(1).id);
}

void TestOutline::sequenceRemovalAndCapacity()
{
    Sequence s;
    for (ObjectId id = 1; id <= 4; ++id)
        s.append(id * 10, true);
    s.remove(99);  // not in the sequence
    QCOMPARE(s.length(), 4);
    s.remove(20);
    QCOMPARE(s.length(), 3);
    QCOMPARE(s.entry(1), ObjectId(10));
    QCOMPARE(s.entry(2), ObjectId(30));
    QCOMPARE(s.entry(3), ObjectId(40));
    QCOMPARE(s.positionOf(40), 3);
    QCOMPARE(s.entry(0), ObjectId(0));
    QCOMPARE(s.entry(101), ObjectId(0));
    s.setEntry(101, 5);  // ignored, no write past the end

    // Three kinds share the object sequence, so it can fill before any table does: objects
    // beyond 100 stay out of the reading order instead of overrunning it.
    Sequence full;
    for (ObjectId id = 1; id <= 120; ++id)
        full.append(id, true);
    QCOMPARE(full.length(), Sequence::kCapacity);
    QCOMPARE(full.positionOf(100), 100);
    QCOMPARE(full.positionOf(101), 0);
}

void TestOutline::capacityRefusalChangesNothing_data()
{
    QTest::addColumn<int>("kind");
    for (int k = 0; k < kKindCount; ++k)
        QTest::newRow(qPrintable(QString::number(k))) << k;
}

void TestOutline::capacityRefusalChangesNothing()
{
    QFETCH(int, kind);
    const auto k = ObjectKind(kind);
    Outline outline;
    outline.createFrame(QRect(0, 40, 700, 400), QStringLiteral("host"));
    auto create = [&]() {
        switch (k) {
        case ObjectKind::Frame: return outline.createFrame(QRect(0, 40, 50, 50), QStringLiteral("f"));
        case ObjectKind::Picture: return outline.createPicture(QRect(0, 0, 40, 40), 1);
        case ObjectKind::Caption: return outline.createCaption(QRect(0, 0, 40, 40), QStringLiteral("c"), 1);
        case ObjectKind::Video: return outline.createVideo(QRect(0, 0, 40, 40), 1);
        case ObjectKind::TextField:
            return outline.createTextField(QRect(0, 0, 40, 40), kButtonFace, QStringLiteral("t"), 1);
        case ObjectKind::Arrow: return outline.createArrow(0, 0, 30, 0, 1, kBlack);
        }
        return 0;
    };
    while (outline.count(k) < kTableCapacity)
        QVERIFY(create() > 0);
    const int frames = outline.frameSequence().length();
    const int objects = outline.objectSequence().length();
    QVERIFY(outline.isFull(k));
    QCOMPARE(create(), 0);
    QCOMPARE(outline.count(k), kTableCapacity);
    QCOMPARE(outline.frameSequence().length(), frames);
    QCOMPARE(outline.objectSequence().length(), objects);
    const QString message = Outline::capacityMessage(k);
    QVERIFY(message.contains(QStringLiteral("100")));
    QVERIFY(message.contains(QStringLiteral("нельзя")));
}

void TestOutline::newObjectsCarryUndefinedMinimalText()
{
    Outline outline;
    outline.createFrame(QRect(10, 40, 150, 150), QStringLiteral("Опыты"));
    QCOMPARE(outline.frame(1).hint, QStringLiteral("Опыты"));
    QVERIFY(outline.frame(1).minimalText.isEmpty());
    outline.createPicture(QRect(5, 5, 50, 50), 1);
    outline.createTextField(QRect(5, 5, 66, 19), 0x00FF0000, QStringLiteral("Текст1"), 1);
    outline.createVideo(QRect(5, 5, 50, 50), 1);
    QCOMPARE(outline.picture(1).minimalText, QStringLiteral("<Неопределен>"));
    QCOMPARE(outline.textField(1).minimalText, QStringLiteral("<Неопределен>"));
    QCOMPARE(outline.textField(1).hint, QStringLiteral("<Неопределен>"));
    QCOMPARE(outline.textField(1).font.size, 10);
    QCOMPARE(outline.textField(1).background, ColourValue(0x00FF0000));
    QCOMPARE(outline.video(1).minimalText, QStringLiteral("<Неопределен>"));
}

QTEST_GUILESS_MAIN(TestOutline)
#include "test_outline.moc"
