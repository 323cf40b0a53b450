#include "model/grid.h"
#include "model/outline.h"

#include <QTest>

using namespace velmar;

class TestGrid : public QObject {
    Q_OBJECT
private slots:
    void snapsFourKinds_data();
    void snapsFourKinds();
    void leavesVideoAndArrowsAlone();
    void snapIsIdempotentAndNeverGrows();
    void stepChanges_data();
    void stepChanges();
};

void TestGrid::snapsFourKinds_data()
{
    QTest::addColumn<int>("step");
    QTest::addColumn<QRect>("before");
    QTest::addColumn<QRect>("after");
    QTest::newRow("step 2: left 13 width 101") << 2 << QRect(13, 41, 101, 150) << QRect(12, 40, 100, 150);
    QTest::newRow("negative left truncates toward zero") << 2 << QRect(-5, -7, 20, 20) << QRect(-4, -6, 20, 20);
    QTest::newRow("a size below the step keeps its value") << 5 << QRect(10, 10, 4, 3) << QRect(10, 10, 4, 3);
    QTest::newRow("step 1 changes nothing") << 1 << QRect(13, -7, 101, 3) << QRect(13, -7, 101, 3);
    QTest::newRow("large step") << 50 << QRect(149, 99, 151, 49) << QRect(100, 50, 150, 49);
    QTest::newRow("step 0 is taken as 1") << 0 << QRect(13, 7, 9, 3) << QRect(13, 7, 9, 3);
    QTest::newRow("negative step is taken as 1") << -3 << QRect(13, 7, 9, 3) << QRect(13, 7, 9, 3);
}

void TestGrid::snapsFourKinds()
{
    QFETCH(int, step);
    QFETCH(QRect, before);
    QFETCH(QRect, after);

    Outline outline;
    outline.setClientSize(QSize(2000, 2000));
    const int frame = outline.createFrame(before, QStringLiteral("Ф"));
    outline.createFrame(QRect(300, 300, 400, 400), QStringLiteral("Ф2"));
    const int caption = outline.createCaption(before, QStringLiteral("c"), 0);
    const int text = outline.createTextField(QRect(), kButtonFace, QStringLiteral("t"), 2);
    const int picture = outline.createPicture(QRect(), 2);
    // Set the geometry directly: creation fits objects into their parent.
    outline.textField(text).bounds = before;
    outline.picture(picture).bounds = before;

    snapToGrid(outline, step);

    QCOMPARE(outline.frame(frame).bounds, after);
    QCOMPARE(outline.caption(caption).bounds, after);
    QCOMPARE(outline.textField(text).bounds, after);
    QCOMPARE(outline.picture(picture).bounds, after);
}

void TestGrid::leavesVideoAndArrowsAlone()
{
    Outline outline;
    outline.setClientSize(QSize(2000, 2000));
    const int video = outline.createVideo(QRect(), 0);
    outline.video(video).bounds = QRect(13, 37, 101, 77);
    const int arrow = outline.createArrow(11, 13, 41, 17, 3, 0x0000FF);

    snapToGrid(outline, 4);

    QCOMPARE(outline.video(video).bounds, QRect(13, 37, 101, 77));
    const ArrowObject& a = outline.arrow(arrow);
    QCOMPARE(QList<int>({a.x1, a.y1, a.x2, a.y2}), QList<int>({11, 13, 41, 17}));
}

void TestGrid::snapIsIdempotentAndNeverGrows()
{
    Outline outline;
    outline.setClientSize(QSize(3000, 3000));
    for (int i = 0; i < 40; ++i)
        outline.createCaption(QRect(i * 7 - 100, i * 13 - 50, i * 11 + 1, i * 3 + 2), QStringLiteral("c"), 0);
    for (int step : {3, 7}) {
        Outline snapped = outline;
        snapToGrid(snapped, step);
        Outline twice = snapped;
        snapToGrid(twice, step);
        for (int i = 1; i <= outline.count(ObjectKind::Caption); ++i) {
            const QRect o = outline.caption(i).bounds, s = snapped.caption(i).bounds;
            QCOMPARE(twice.caption(i).bounds, s);
            QVERIFY(std::abs(s.x()) <= std::abs(o.x()) && std::abs(s.y()) <= std::abs(o.y()));
            QVERIFY(s.width() <= o.width() && s.height() <= o.height());
            QCOMPARE(s.x() % step, 0);
            QVERIFY(s.width() % step == 0 || (s.width() == o.width() && o.width() < step));
        }
    }
}

void TestGrid::stepChanges_data()
{
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("grown");
    QTest::addColumn<int>("shrunk");
    QTest::addColumn<QString>("growCaption");
    QTest::addColumn<QString>("shrinkCaption");
    QTest::newRow("start") << 2 << 3 << 1 << QStringLiteral("Увеличить сетку 2+1")
                           << QStringLiteral("Уменьшить сетку 2-1");
    QTest::newRow("three") << 3 << 4 << 2 << QStringLiteral("Увеличить сетку 3+1")
                           << QStringLiteral("Уменьшить сетку 3-1");
    QTest::newRow("one stays one") << 1 << 2 << 1 << QStringLiteral("Увеличить сетку 1+1")
                                   << QStringLiteral("Уменьшить сетку 1-1");
    QTest::newRow("two digits") << 12 << 13 << 11 << QStringLiteral("Увеличить сетку 12+1")
                                << QStringLiteral("Уменьшить сетку 12-1");
    QTest::newRow("largest step does not overflow")
        << INT_MAX << INT_MAX << INT_MAX - 1 << QStringLiteral("Увеличить сетку %1+1").arg(INT_MAX)
        << QStringLiteral("Уменьшить сетку %1-1").arg(INT_MAX);
}

void TestGrid::stepChanges()
{
    QFETCH(int, step);
    QFETCH(int, grown);
    QFETCH(int, shrunk);
    QFETCH(QString, growCaption);
    QFETCH(QString, shrinkCaption);
    QCOMPARE(grownGridStep(step), grown);
    QCOMPARE(shrunkGridStep(step), shrunk);
    QCOMPARE(growGridCaption(step), growCaption);
    QCOMPARE(shrinkGridCaption(step), shrinkCaption);
}

QTEST_GUILESS_MAIN(TestGrid)
#include "test_grid.moc"
