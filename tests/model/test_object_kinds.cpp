#include "model/object_kinds.h"

#include <QTest>

#include <set>

using namespace velmar;

// The kinds' entries and the loops over them.
class TestObjectKinds : public QObject {
    Q_OBJECT
private slots:
    void everyCodeReachesItsOwnEntry();
    void framesHoldTheKindsThatLiveInFrames();
    void minimalTextsAndTheirTooltips_data();
    void minimalTextsAndTheirTooltips();
    void boundsAndParentsOfEveryKind();
};

void TestObjectKinds::everyCodeReachesItsOwnEntry()
{
    std::vector<ObjectKind> visited;
    forEachKind([&](auto tag) { visited.push_back(tag.kind); });
    QCOMPARE(int(visited.size()), kKindCount);
    for (int code = 0; code < kKindCount; ++code) {
        QCOMPARE(int(visited[std::size_t(code)]), code);
        const auto kind = ObjectKind(code);
        QCOMPARE(withKind(kind, [](auto tag) { return tag.kind; }), kind);
        // Each kind names itself in the message about its full table.
        QVERIFY(Outline::capacityMessage(kind).contains(
            QString::fromUtf8(withKind(kind, [](auto tag) { return decltype(tag)::Traits::manyWhat; }))));
    }
    std::set<QString> words;
    forEachKind([&](auto tag) { words.insert(QString::fromUtf8(decltype(tag)::Traits::manyWhat)); });
    QCOMPARE(int(words.size()), kKindCount);
}

void TestObjectKinds::framesHoldTheKindsThatLiveInFrames()
{
    // One object of every kind that lives in frames inside frame 1, and one in frame 2: deleting
    // frame 1 takes the first ones with it, renumbers the others and empties the reading order
    // of what went.
    Outline o;
    o.createFrame(QRect(0, 40, 300, 200), QStringLiteral("А"));
    o.createFrame(QRect(300, 40, 300, 200), QStringLiteral("Б"));
    for (int frame : {1, 2}) {
        o.createPicture(QRect(5, 5, 40, 40), frame);
        o.createCaption(QRect(5, 50, 40, 20), QStringLiteral("н"), frame);
        o.createVideo(QRect(50, 5, 40, 40), frame);
        o.createTextField(QRect(50, 50, 60, 30), kButtonFace, QStringLiteral("т"), frame);
    }
    o.createArrow(1, 1, 50, 50, 1, kBlack);
    QCOMPARE(o.objectSequence().length(), 6);

    o.removeObject(ObjectKind::Frame, 1);
    QCOMPARE(o.count(ObjectKind::Frame), 1);
    QCOMPARE(o.count(ObjectKind::Arrow), 1);
    for (ObjectKind kind : {ObjectKind::Picture, ObjectKind::Caption, ObjectKind::Video, ObjectKind::TextField}) {
        QCOMPARE(o.count(kind), 1);
        const ObjectRef survivor{kind, 1};
        QCOMPARE(withObject(o, survivor,
                            [](const auto& object) -> int {
                                if constexpr (HasParentFrame<std::decay_t<decltype(object)>>)
                                    return object.parentFrame;
                                else
                                    return -1;
                            }),
                 1);
    }
    QCOMPARE(o.objectSequence().length(), 3);
    for (int p = 1; p <= 3; ++p)
        QVERIFY(o.find(o.objectSequence().entry(p)).isValid());
}

void TestObjectKinds::minimalTextsAndTheirTooltips_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("held");
    QTest::addColumn<bool>("shortened");
    QTest::newRow("frame") << int(ObjectKind::Frame) << true << true;
    QTest::newRow("picture") << int(ObjectKind::Picture) << true << false;
    QTest::newRow("text field") << int(ObjectKind::TextField) << true << false;
    QTest::newRow("video") << int(ObjectKind::Video) << true << false;
    QTest::newRow("caption") << int(ObjectKind::Caption) << false << false;
    QTest::newRow("arrow") << int(ObjectKind::Arrow) << false << false;
}

void TestObjectKinds::minimalTextsAndTheirTooltips()
{
    QFETCH(int, kind);
    QFETCH(bool, held);
    QFETCH(bool, shortened);
    Outline o;
    o.createFrame(QRect(0, 40, 300, 200), QStringLiteral("А"));
    o.createPicture(QRect(5, 5, 40, 40), 1);
    o.createCaption(QRect(5, 50, 40, 20), QStringLiteral("н"), 1);
    o.createVideo(QRect(50, 5, 40, 40), 1);
    o.createTextField(QRect(50, 50, 60, 30), kButtonFace, QStringLiteral("т"), 1);
    o.createArrow(1, 1, 50, 50, 1, kBlack);
    const ObjectRef ref{ObjectKind(kind), 1};
    const QString longText = QString(200, QLatin1Char('a')) + QLatin1Char(' ') + QString(100, QLatin1Char('b'));

    QCOMPARE(setMinimalText(o, ref, longText), held);
    const QString* text = minimalTextOf(o, ref);
    QCOMPARE(text != nullptr, held);
    if (!held)
        return;
    QCOMPARE(*text, longText);
    const QString hint = withObject(o, ref, [](const auto& object) -> QString {
        if constexpr (HasMinimalText<std::decay_t<decltype(object)>>)
            return object.hint;
        else
            return {};
    });
    QCOMPARE(hint, shortened ? QString(200, QLatin1Char('a')) + QStringLiteral(" ...") : longText);
}

void TestObjectKinds::boundsAndParentsOfEveryKind()
{
    Outline o;
    o.createFrame(QRect(0, 40, 300, 200), QStringLiteral("А"));
    const ObjectId frame = o.frame(1).id;
    o.createPicture(QRect(5, 5, 40, 40), 1);
    const ObjectId picture = o.picture(1).id;
    o.createArrow(1, 1, 50, 50, 1, kBlack);
    const ObjectId arrow = o.arrow(1).id;

    QCOMPARE(boundsOf(o, frame), std::optional(QRect(0, 40, 300, 200)));
    QCOMPARE(boundsOf(o, picture), std::optional(QRect(5, 5, 40, 40)));
    QCOMPARE(boundsOf(o, arrow), std::nullopt);
    QCOMPARE(boundsOf(o, 999), std::nullopt);
    QCOMPARE(parentFrameOf(o, picture), 1);
    QCOMPARE(parentFrameOf(o, frame), 0);
    QCOMPARE(parentFrameOf(o, arrow), 0);
    QCOMPARE(parentFrameOf(o, 999), 0);
}

QTEST_GUILESS_MAIN(TestObjectKinds)
#include "test_object_kinds.moc"
