#include "model/window_layout.h"

#include <QTest>

using namespace velmar;

// The window's layout arithmetic: the tool bar's band, the zoom's reference, sizes on a screen.
class TestWindowGeometry : public QObject {
    Q_OBJECT
private slots:
    void aroundTheToolBar_data();
    void aroundTheToolBar();
    void outerSizesOnAScreen_data();
    void outerSizesOnAScreen();
    void canvasOfAStoredWindow();
};

void TestWindowGeometry::aroundTheToolBar_data()
{
    QTest::addColumn<QSize>("canvas");
    QTest::addColumn<QRect>("below");
    QTest::addColumn<QSize>("reference");
    QTest::addColumn<bool>("zoomable");
    QTest::newRow("a new outline's canvas") << QSize(728, 487) << QRect(0, 31, 728, 456) << QSize(728, 455) << true;
    QTest::newRow("one row below the tool bar") << QSize(100, 33) << QRect(0, 31, 100, 2) << QSize(100, 1) << true;
    QTest::newRow("the tool bar and its line") << QSize(100, 32) << QRect(0, 31, 100, 1) << QSize(100, 0) << false;
    QTest::newRow("less than the tool bar") << QSize(100, 20) << QRect(0, 31, 100, 0) << QSize(100, -12) << false;
    QTest::newRow("no width") << QSize(0, 487) << QRect(0, 31, 0, 456) << QSize(0, 455) << false;
}

void TestWindowGeometry::aroundTheToolBar()
{
    QFETCH(QSize, canvas);
    QFETCH(QRect, below);
    QFETCH(QSize, reference);
    QFETCH(bool, zoomable);
    const WindowGeometry g(canvas);
    QCOMPARE(g.belowToolBar(), below);
    QCOMPARE(g.zoomReference(), reference);
    QCOMPARE(g.zoomable(), zoomable);
}

void TestWindowGeometry::outerSizesOnAScreen_data()
{
    QTest::addColumn<QSize>("outer");
    QTest::addColumn<QSize>("frame");
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QSize>("wanted");
    QTest::addColumn<QSize>("inner");
    const QSize frame(10, 30);
    QTest::newRow("fits") << kDefaultWindowSize << frame << QSize(1920, 1050) << kDefaultWindowSize << QSize(734, 516);
    QTest::newRow("not framed yet") << kDefaultWindowSize << QSize() << QSize(1920, 1050) << kDefaultWindowSize
                                    << kDefaultWindowSize;
    QTest::newRow("larger than the screen")
        << QSize(2000, 1200) << frame << QSize(1920, 1050) << QSize(2000, 1200) << QSize(1910, 1020);
    QTest::newRow("below the minimum") << QSize(50, 50) << frame << QSize(1920, 1050) << QSize(110, 130)
                                       << QSize(100, 100);
    QTest::newRow("no screen") << QSize(2000, 1200) << frame << QSize(-1, -1) << QSize(2000, 1200) << QSize(1990, 1170);
}

void TestWindowGeometry::outerSizesOnAScreen()
{
    QFETCH(QSize, outer);
    QFETCH(QSize, frame);
    QFETCH(QSize, screen);
    QFETCH(QSize, wanted);
    QFETCH(QSize, inner);
    const auto fit = WindowGeometry::fitOuter(outer, frame.isValid() ? frame : QSize(0, 0), QSize(100, 100), screen);
    QCOMPARE(fit.wantedOuter, wanted);
    QCOMPARE(fit.inner, inner);
}

void TestWindowGeometry::canvasOfAStoredWindow()
{
    const QSize madeFor(728, 487), minimum(18, 19);
    // A screen with room keeps the canvas; a smaller one takes from it what the window loses.
    QCOMPARE(WindowGeometry::canvasOnScreen(madeFor, kDefaultWindowSize, minimum, QSize(1920, 1050)), madeFor);
    QCOMPARE(WindowGeometry::canvasOnScreen(madeFor, kDefaultWindowSize, minimum, QSize(700, 500)), QSize(684, 441));
}

QTEST_GUILESS_MAIN(TestWindowGeometry)
#include "test_window_geometry.moc"
