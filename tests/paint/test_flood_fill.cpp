#include "paint/core/flood_fill.h"

#include <QTest>

#include <random>
#include <vector>

using namespace velmar::paint;

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kRed = 0xFFFF0000;

QImage blank(int w, int h, QRgb c = kWhite)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(c);
    return img;
}

// The spreading fill the editor's users know, one pixel per stack node: pop, recolour if it
// matches, push the right, left, lower and upper neighbours that match and are not yet the fill.
void referenceSpreadingFill(QImage& img, QPoint start, int tol, QRgb target, QRgb fill)
{
    if ((fill & 0xFFFFFF) == (target & 0xFFFFFF))
        return;
    auto matches = [&](QRgb p) { return colourDistance(p, target) <= tol; };
    std::vector<QPoint> stack{start};
    while (!stack.empty()) {
        const QPoint p = stack.back();
        stack.pop_back();
        if (matches(img.pixel(p)))
            img.setPixel(p, fill);
        for (QPoint d : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
            const QPoint n = p + d;
            if (img.rect().contains(n) && (img.pixel(n) & 0xFFFFFF) != (fill & 0xFFFFFF) && matches(img.pixel(n)))
                stack.push_back(n);
        }
    }
}

// A picture of blobs of a few near colours, so tolerance decides what joins.
QImage noisyPicture(int w, int h, quint32 seed)
{
    std::mt19937 rng(seed);
    QImage img(w, h, QImage::Format_RGB32);
    const QRgb base[] = {0xFF808080, 0xFF8A7A80, 0xFF202020, 0xFFF0F0F0, 0xFF70A070};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const QRgb b = base[rng() % 5];
            const int jitter = int(rng() % 40) - 20;
            img.setPixel(x, y,
                         qRgb(qBound(0, qRed(b) + jitter, 255), qBound(0, qGreen(b) - jitter, 255),
                              qBound(0, qBlue(b) + jitter / 2, 255)));
        }
    return img;
}

// Every pixel outside the reported rectangle is unchanged.
bool changesInside(const QImage& before, const QImage& after, const QRect& reported)
{
    for (int y = 0; y < before.height(); ++y)
        for (int x = 0; x < before.width(); ++x)
            if (before.pixel(x, y) != after.pixel(x, y) && !reported.contains(x, y))
                return false;
    return true;
}

}  // namespace

class TestFloodFill : public QObject {
    Q_OBJECT
private slots:
    void toleranceBoundary_data();
    void toleranceBoundary();
    void spreadingStopsAtFillColouredLine();
    void exactFillIsConnectedOnly();
    void globalFillRecoloursEveryMatch();
    void globalFillIntoAnotherBufferMatchesInPlace_data();
    void globalFillIntoAnotherBufferMatchesInPlace();
    void sameColourChangesNothing();
    void edgeAndCornerStarts_data();
    void edgeAndCornerStarts();
    void sameAsSpreadingFillOnNoisyPictures_data();
    void sameAsSpreadingFillOnNoisyPictures();
};

void TestFloodFill::toleranceBoundary_data()
{
    QTest::addColumn<QRgb>("pixel");
    QTest::addColumn<int>("tolerance");
    QTest::addColumn<bool>("filled");
    QTest::newRow("distance 30 at 30") << qRgb(10, 10, 10) << 30 << true;
    QTest::newRow("distance 31 at 30") << qRgb(11, 10, 10) << 30 << false;
    QTest::newRow("blue counts too") << qRgb(0, 0, 31) << 30 << false;
    QTest::newRow("widest tolerance") << qRgb(200, 200, 100) << 500 << true;
    QTest::newRow("just past it") << qRgb(200, 200, 101) << 500 << false;
}

void TestFloodFill::toleranceBoundary()
{
    QFETCH(QRgb, pixel);
    QFETCH(int, tolerance);
    QFETCH(bool, filled);
    // A black start pixel with the tested pixel beside it, both reached by the spreading and the
    // global fill alike.
    for (bool all : {false, true}) {
        QImage img = blank(3, 1, kBlack);
        img.setPixel(1, 0, pixel);
        fillWithTolerance(img, QPoint(0, 0), tolerance, kBlack, kRed, all);
        QCOMPARE(img.pixel(0, 0), kRed);
        QCOMPARE(img.pixel(1, 0) == kRed, filled);
        // Beyond a pixel that does not match, the spreading fill cannot reach; the global one does.
        QCOMPARE(img.pixel(2, 0) == kRed, filled || all);
    }
}

void TestFloodFill::spreadingStopsAtFillColouredLine()
{
    // A one-pixel vertical line in the fill colour splits a white picture; a near-white line does
    // not stop a tolerant fill.
    QImage img = blank(20, 10);
    for (int y = 0; y < 10; ++y)
        img.setPixel(8, y, kRed);
    QRect changed = fillWithTolerance(img, QPoint(2, 2), 10, kWhite, kRed, false);
    QCOMPARE(img.pixel(7, 5), kRed);
    QCOMPARE(img.pixel(9, 5), kWhite);
    QCOMPARE(changed, QRect(0, 0, 8, 10));

    img = blank(20, 10);
    for (int y = 0; y < 10; ++y)
        img.setPixel(8, y, qRgb(250, 250, 250));
    fillWithTolerance(img, QPoint(2, 2), 15, kWhite, kRed, false);
    QCOMPARE(img.pixel(19, 9), kRed);
    QCOMPARE(img.pixel(8, 3), kRed);
}

void TestFloodFill::exactFillIsConnectedOnly()
{
    // Two white areas separated by a black ring; diagonal gaps do not connect (4-connected).
    QImage img = blank(12, 12);
    for (int i = 2; i <= 8; ++i) {
        img.setPixel(i, 2, kBlack);
        img.setPixel(i, 8, kBlack);
        img.setPixel(2, i, kBlack);
        img.setPixel(8, i, kBlack);
    }
    // The corner pixel (11,11) touches the outer area only diagonally.
    img.setPixel(10, 11, kBlack);
    img.setPixel(11, 10, kBlack);
    const QImage before = img;
    const QRect changed = floodFillExact(img, QPoint(5, 5), kRed);
    QCOMPARE(changed, QRect(3, 3, 5, 5));
    QCOMPARE(img.pixel(3, 3), kRed);
    QCOMPARE(img.pixel(0, 0), kWhite);
    QVERIFY(changesInside(before, img, changed));

    // The outside fill neither enters the ring nor crosses the diagonal gap.
    floodFillExact(img, QPoint(0, 0), kBlack);
    QCOMPARE(img.pixel(9, 11), kBlack);
    QCOMPARE(img.pixel(11, 11), kWhite);
    QCOMPARE(img.pixel(5, 5), kRed);
    // Exactly the colour: a near-white pixel stops the exact fill.
    QImage near = blank(5, 1);
    near.setPixel(2, 0, qRgb(254, 255, 255));
    floodFillExact(near, QPoint(0, 0), kBlack);
    QCOMPARE(near.pixel(1, 0), kBlack);
    QCOMPARE(near.pixel(3, 0), kWhite);
}

void TestFloodFill::globalFillRecoloursEveryMatch()
{
    // Tolerance 0 with "all": every pixel of exactly the colour, connected or not.
    QImage img = blank(10, 10);
    for (int x = 0; x < 10; ++x)
        img.setPixel(x, 5, kBlack);
    img.setPixel(3, 2, qRgb(254, 255, 255));
    fillWithTolerance(img, QPoint(0, 0), 0, kWhite, kRed, true);
    QCOMPARE(img.pixel(9, 9), kRed);
    QCOMPARE(img.pixel(0, 0), kRed);
    QCOMPARE(img.pixel(3, 2), qRgb(254, 255, 255));
    QCOMPARE(img.pixel(4, 5), kBlack);

    // Tolerance 500 against white: every pixel with R + G + B of at least 265.
    QImage grey(3, 1, QImage::Format_RGB32);
    grey.setPixel(0, 0, qRgb(100, 100, 65));  // 265
    grey.setPixel(1, 0, qRgb(100, 100, 64));  // 264
    grey.setPixel(2, 0, kWhite);
    fillWithTolerance(grey, QPoint(2, 0), 500, kWhite, kBlack, true);
    QCOMPARE(grey.pixel(0, 0), kBlack);
    QCOMPARE(grey.pixel(1, 0), qRgb(100, 100, 64));
    QCOMPARE(grey.pixel(2, 0), kBlack);
}

void TestFloodFill::globalFillIntoAnotherBufferMatchesInPlace_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("tolerance");
    QTest::newRow("whole blocks") << QSize(128, 64) << 40;
    QTest::newRow("cut blocks, odd width") << QSize(131, 70) << 90;
    QTest::newRow("narrower than a block") << QSize(3, 200) << 500;
    QTest::newRow("exact colour only") << QSize(150, 100) << 0;
}

void TestFloodFill::globalFillIntoAnotherBufferMatchesInPlace()
{
    // The same pixels as the fill in place, and the changed blocks exactly those that differ.
    QFETCH(QSize, size);
    QFETCH(int, tolerance);
    std::mt19937 rng(11);
    QImage img(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            img.setPixel(x, y, (x / 40 + y / 30) % 3 ? qRgb(int(rng() % 64), 90, 90) : qRgb(200, 10, 10));
    const QRgb target = qRgb(20, 90, 90);
    QImage inPlace = img.copy();
    fillWithTolerance(inPlace, QPoint(0, 0), tolerance, target, kRed, true);
    QImage into(size, QImage::Format_RGB32);
    into.fill(0xFF123456);
    const std::vector<QRect> blocks = fillAllInto(img, into, tolerance, target, kRed);
    QCOMPARE(into, inPlace);
    for (int top = 0; top < size.height(); top += kFillBlock)
        for (int left = 0; left < size.width(); left += kFillBlock) {
            const QRect block = QRect(left, top, kFillBlock, kFillBlock).intersected(img.rect());
            const bool listed = std::find(blocks.begin(), blocks.end(), block) != blocks.end();
            QCOMPARE(listed, img.copy(block) != into.copy(block));
        }
}

void TestFloodFill::sameColourChangesNothing()
{
    for (bool all : {false, true}) {
        QImage img = noisyPicture(16, 16, 7);
        const QImage before = img;
        const QRgb t = img.pixel(4, 4);
        QVERIFY(fillWithTolerance(img, QPoint(4, 4), 100, t, t, all).isEmpty());
        QCOMPARE(img, before);
    }
    QImage img = blank(4, 4);
    QVERIFY(floodFillExact(img, QPoint(1, 1), kWhite).isEmpty());
    QVERIFY(floodFillExact(img, QPoint(4, 0), kRed).isEmpty());  // outside: nothing read
}

void TestFloodFill::edgeAndCornerStarts_data()
{
    QTest::addColumn<QPoint>("start");
    QTest::newRow("top-left") << QPoint(0, 0);
    QTest::newRow("bottom-right") << QPoint(63, 64);
    QTest::newRow("right edge") << QPoint(63, 30);
    QTest::newRow("bottom edge") << QPoint(20, 64);
}

void TestFloodFill::edgeAndCornerStarts()
{
    // Width 64 and 65 rows: the seed mask's word boundary and the last row are both exercised.
    QFETCH(QPoint, start);
    QImage img = blank(64, 65);
    const QRect changed = floodFillExact(img, start, kBlack);
    QCOMPARE(changed, img.rect());
    QCOMPARE(img, blank(64, 65, kBlack));
    QImage tolerant = blank(64, 65);
    QCOMPARE(fillWithTolerance(tolerant, start, 3, kWhite, kBlack, false), tolerant.rect());
    QCOMPARE(tolerant, img);
}

void TestFloodFill::sameAsSpreadingFillOnNoisyPictures_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("tolerance");
    QTest::addColumn<QSize>("size");
    QTest::newRow("tight") << 1u << 10 << QSize(70, 50);
    QTest::newRow("medium") << 2u << 40 << QSize(130, 40);
    QTest::newRow("wide") << 3u << 120 << QSize(64, 64);
    QTest::newRow("one column") << 4u << 60 << QSize(1, 90);
    QTest::newRow("one row") << 5u << 60 << QSize(90, 1);
}

void TestFloodFill::sameAsSpreadingFillOnNoisyPictures()
{
    QFETCH(quint32, seed);
    QFETCH(int, tolerance);
    QFETCH(QSize, size);
    const QImage original = noisyPicture(size.width(), size.height(), seed);
    std::mt19937 rng(seed);
    for (int round = 0; round < 12; ++round) {
        const QPoint start(int(rng() % quint32(size.width())), int(rng() % quint32(size.height())));
        const QRgb fill = round % 3 == 0 ? 0xFF808080 : qRgb(int(rng() % 256), 0, 200);
        const QRgb target = original.pixel(start);
        QImage expected = original;
        referenceSpreadingFill(expected, start, tolerance, target, fill);
        QImage actual = original;
        const QRect changed = fillWithTolerance(actual, start, tolerance, target, fill, false);
        QCOMPARE(actual, expected);
        QVERIFY(changesInside(original, actual, changed));
        // The exact fill is the same as the spreading fill at tolerance 0.
        QImage exact = original, zero = original;
        floodFillExact(exact, start, fill);
        referenceSpreadingFill(zero, start, 0, target, fill);
        QCOMPARE(exact, zero);
    }
}

QTEST_GUILESS_MAIN(TestFloodFill)
#include "test_flood_fill.moc"
