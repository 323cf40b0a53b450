#include "canvas/object_widgets.h"
#include "canvas/picture_preview.h"

#include <QTest>

#include <algorithm>
#include <cmath>
#include <cstdlib>

using namespace velmar;

class TestPictureRendering : public QObject {
    Q_OBJECT
private slots:
    void stretchedNotLetterboxed();
    void resizingRendersFromTheStoredBitmap();
    void zoomedPhotoKeepsItsPicture();
    void previewLayout_data();
    void previewLayout();
};

namespace {

QImage halves(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::red);
    for (int y = 0; y < size.height(); ++y)
        for (int x = size.width() / 2; x < size.width(); ++x)
            image.setPixelColor(x, y, Qt::blue);
    return image;
}

}  // namespace

void TestPictureRendering::stretchedNotLetterboxed()
{
    const QImage r = PictureWidget::render(halves(QSize(200, 100)), QSize(60, 40));
    QCOMPARE(r.size(), QSize(60, 40));
    // Both corners are covered by the picture: no bands of background above or below.
    QCOMPARE(r.pixelColor(2, 1), QColor(Qt::red));
    QCOMPARE(r.pixelColor(57, 38), QColor(Qt::blue));
    QVERIFY(PictureWidget::render(QImage(), QSize(10, 10)).isNull());
    QVERIFY(PictureWidget::render(halves(QSize(4, 4)), QSize(0, 10)).isNull());
}

void TestPictureRendering::resizingRendersFromTheStoredBitmap()
{
    PictureObject picture;
    picture.bounds = QRect(0, 0, 100, 100);
    picture.setBitmap(halves(QSize(300, 150)));
    PictureWidget widget(nullptr);
    widget.apply(picture);
    QCOMPARE(widget.rendering().size(), QSize(100, 100));
    for (const QSize size : {QSize(7, 5), QSize(300, 150), QSize(100, 100), QSize(300, 150)}) {
        picture.bounds.setSize(size);
        widget.apply(picture);
        // Always the same as rendering the stored bitmap afresh: nothing lost on the way.
        QCOMPARE(widget.rendering(), PictureWidget::render(picture.bitmap(), size));
        QCOMPARE(widget.size(), size);
    }
    QCOMPARE(widget.rendering(), picture.bitmap().convertToFormat(QImage::Format_RGB32));
}

void TestPictureRendering::zoomedPhotoKeepsItsPicture()
{
    // A photo shown far smaller than it is: the widget goes on from the halvings it keeps, up
    // and down the zoom, and still shows what a fresh rendering of the stored bitmap shows,
    // which is the photo smoothly scaled (a gradient with a bright square stays one).
    QImage photo(1600, 1200, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x)
            photo.setPixel(x, y, qRgb(x * 255 / 1599, y * 255 / 1199, 90));
    for (int y = 300; y < 600; ++y)
        for (int x = 800; x < 1200; ++x)
            photo.setPixel(x, y, qRgb(255, 255, 255));
    // A small picture too, whose sizes go back and forth across the size where one more halving
    // starts (20 × 15 needs two halvings of 160 × 120, 21 × 16 one).
    const QImage small = photo.scaled(160, 120, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QList<QSize> photoSizes{QSize(20, 15), QSize(21, 16),   QSize(90, 70),  QSize(20, 15),
                                  QSize(7, 5),   QSize(400, 300), QSize(300, 30), QSize(21, 16)};
    const QList<QSize> smallSizes{QSize(20, 15), QSize(21, 16), QSize(20, 15),   QSize(21, 16),
                                  QSize(9, 7),   QSize(21, 16), QSize(160, 120), QSize(20, 15)};
    for (const auto& [stored, sizes] : {std::pair{photo, photoSizes}, std::pair{small, smallSizes}}) {
        PictureObject picture;
        picture.setBitmap(stored);
        PictureWidget widget(nullptr);
        for (const QSize size : sizes) {
            picture.bounds = QRect(QPoint(0, 0), size);
            widget.apply(picture);
            QCOMPARE(widget.rendering(), PictureWidget::render(stored, size));
            const QImage direct = stored.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            int worst = 0;
            for (int y = 0; y < size.height(); ++y)
                for (int x = 0; x < size.width(); ++x) {
                    const QRgb a = widget.rendering().pixel(x, y), b = direct.pixel(x, y);
                    worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                      std::abs(qBlue(a) - qBlue(b))});
                }
            // Pixels across the square's edge average slightly different parts of it (up to about a
            // tenth of the range); a halving of the wrong part or size is off by far more.
            QVERIFY2(
                worst <= 32,
                qPrintable(QStringLiteral("%1 × %2 differs by %3").arg(size.width()).arg(size.height()).arg(worst)));
        }
    }
}

void TestPictureRendering::previewLayout_data()
{
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("landscape photo, by the height") << QSize(1280, 900) << QSize(640, 480) << QRect(67, 5, 1146, 860);
    QTest::newRow("wide, by the width") << QSize(1024, 768) << QSize(300, 200) << QRect(5, 31, 1014, 676);
    QTest::newRow("tall, by the height") << QSize(1024, 768) << QSize(100, 400) << QRect(421, 5, 182, 728);
    QTest::newRow("very wide") << QSize(1024, 768) << QSize(600, 100) << QRect(5, 284, 1014, 169);
    QTest::newRow("larger than the window") << QSize(696, 480) << QSize(1392, 480) << QRect(5, 107, 686, 236);
    QTest::newRow("a line of pixels") << QSize(696, 480) << QSize(5000, 1) << QRect(5, 224, 686, 1);
    QTest::newRow("empty picture") << QSize(696, 480) << QSize(0, 0) << QRect();
}

void TestPictureRendering::previewLayout()
{
    QFETCH(QSize, window);
    QFETCH(QSize, picture);
    QFETCH(QRect, expected);
    const QRect laidOut = velmar::previewLayout(window, picture);
    QCOMPARE(laidOut, expected);
    if (laidOut.isEmpty() || picture.height() < 10)
        return;
    // Not stretched: the proportions differ from the picture's by less than a pixel's rounding.
    const double shown = double(laidOut.width()) / laidOut.height(), own = double(picture.width()) / picture.height();
    QVERIFY2(std::abs(shown - own) <= own * (1.0 / laidOut.height() + 1.0 / laidOut.width()),
             qPrintable(QStringLiteral("%1 against %2").arg(shown).arg(own)));
}

QTEST_MAIN(TestPictureRendering)
#include "test_picture_rendering.moc"
