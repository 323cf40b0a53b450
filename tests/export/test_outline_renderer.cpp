#include "export/outline_export.h"
#include "export/outline_renderer.h"

#include <QApplication>
#include <QTest>

using namespace velmar;

// The off-screen drawing that export, printing, thumbnails and the presentation share.
class TestOutlineRenderer : public QObject {
    Q_OBJECT
private slots:
    void hidingObjectsAndFrames();
    void picturesAtFullResolutionWhenScaled();
};

namespace {

constexpr int kToolBar = 31;

// A frame at (20, 50) with a red text field inside, and a picture on the canvas.
Document sampleDocument()
{
    Document doc;
    doc.state.canvasColour = 0x00FFFFFF;  // white
    Outline& o = doc.outline;
    o.createFrame(QRect(20, 50, 200, 150), QStringLiteral("Кадр"));
    o.frame(1).titleVisible = false;
    o.createTextField(QRect(20, 40, 60, 30), 0x000000FF, QString(), 1);  // red, in the frame
    o.createPicture(QRect(300, 100, 40, 40), 0);
    // A one-pixel checker board of twice the picture's size.
    QImage checker(80, 80, QImage::Format_RGB32);
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 80; ++x)
            checker.setPixel(x, y, (x + y) % 2 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    o.picture(1).setBitmap(checker);
    return doc;
}

bool isColour(const QImage& image, QPoint p, QColor expected)
{
    const QColor c = image.pixelColor(p);
    return std::abs(c.red() - expected.red()) < 8 && std::abs(c.green() - expected.green()) < 8
           && std::abs(c.blue() - expected.blue()) < 8;
}

}  // namespace

void TestOutlineRenderer::hidingObjectsAndFrames()
{
    const Document doc = sampleDocument();
    OutlineRenderer renderer(doc, QSize(500, 400));
    QCOMPARE(renderer.size(), QSize(500, 400 - kToolBar));
    QCOMPARE(renderer.image(), renderOutline(doc, QSize(500, 400)));

    const QRect field = doc.outline.textField(1).bounds.translated(doc.outline.frame(1).bounds.topLeft());
    const QPoint fieldPoint = field.center() - QPoint(0, kToolBar);
    const QPoint framePoint = QPoint(30, 60 + 100) - QPoint(0, kToolBar);
    QVERIFY(isColour(renderer.image(), fieldPoint, Qt::red));

    const ObjectId frame = doc.outline.frame(1).id;
    const ObjectId text = doc.outline.textField(1).id;
    renderer.setObjectVisible(frame, false);
    QImage hidden = renderer.image();
    QVERIFY(isColour(hidden, fieldPoint, Qt::white));
    QVERIFY(isColour(hidden, framePoint, Qt::white));

    // Showing what lies in a hidden frame shows nothing yet.
    renderer.setObjectVisible(text, true);
    QVERIFY(isColour(renderer.image(), fieldPoint, Qt::white));
    // The frame alone, then the frame with its field.
    renderer.setObjectVisible(text, false);
    renderer.setObjectVisible(frame, true);
    hidden = renderer.image();
    QVERIFY(!isColour(hidden, framePoint, Qt::white));
    QVERIFY(!isColour(hidden, fieldPoint, Qt::red));
    renderer.setObjectVisible(text, true);
    QVERIFY(isColour(renderer.image(), fieldPoint, Qt::red));
}

void TestOutlineRenderer::picturesAtFullResolutionWhenScaled()
{
    const Document doc = sampleDocument();
    OutlineRenderer renderer(doc, QSize(500, 400));
    // At twice the size the stored 80 × 80 checker board lands pixel for pixel on the 80 × 80
    // screen area of the 40 × 40 picture, instead of its blurred 40 × 40 copy enlarged.
    renderer.setFullResolutionPictures(true);
    const QImage sharp = renderer.image(2.0);
    QCOMPARE(sharp.size(), QSize(1000, 2 * (400 - kToolBar)));
    const QPoint origin(600, 2 * (100 - kToolBar));
    int exact = 0;
    for (int y = 10; y < 70; ++y)
        for (int x = 10; x < 70; ++x)
            exact += isColour(sharp, origin + QPoint(x, y), (x + y) % 2 ? Qt::black : Qt::white);
    QVERIFY2(exact > 60 * 60 * 9 / 10, qPrintable(QString::number(exact)));

    renderer.setFullResolutionPictures(false);
    const QImage screen = renderer.image(2.0);
    int blurred = 0;
    for (int y = 10; y < 70; ++y)
        for (int x = 10; x < 70; ++x)
            blurred += isColour(screen, origin + QPoint(x, y), (x + y) % 2 ? Qt::black : Qt::white);
    QVERIFY2(blurred < 60 * 60 / 2, qPrintable(QString::number(blurred)));
}

QTEST_MAIN(TestOutlineRenderer)
#include "test_outline_renderer.moc"
