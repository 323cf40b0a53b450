// Showing an outline full screen: the picture each step shows, the keys and clicks that move
// between steps, films in the outline, and that presenting leaves the document alone.
#include "canvas/film_panel_widget.h"
#include "show/presentation_window.h"
#include "storage/outline_io.h"
#include "support/avi_writer.h"
#include "support/photo_like_image.h"
#include "support/window_fixture.h"

#include <QApplication>
#include <QTest>
#include <QWheelEvent>

using namespace velmar;

class TestPresentation : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void everyStepLooksLikeAFreshDrawing_data();
    void everyStepLooksLikeAFreshDrawing();
    void subtitlesTakeRoomFromTheOutline();
    void everyLineOfASubtitleShows();
    void keysAndClicks_data();
    void keysAndClicks();
    void blankScreenCounterAndFrameNumbers();
    void aFilmShowsItsFirstPictureAndAClickPlaysIt();
    void presentingChangesNothingInTheDocument();

private:
    QTemporaryDir m_dir;
};

namespace {

// Overlapping frames read out of slot order, pictures with detail to smooth, text, a caption
// and arrows crossing everything: what a partial redraw is most likely to get wrong.
Document busyOutline()
{
    Document doc;
    doc.state.canvasColour = 0x00C0E0F0;
    Outline& o = doc.outline;
    o.setClientSize(QSize(800, 600));
    const int f1 = o.createFrame(QRect(10, 40, 380, 260), QStringLiteral("Опыты"));
    const int f2 = o.createFrame(QRect(300, 200, 420, 300), QStringLiteral("Величины"));
    const int f3 = o.createFrame(QRect(60, 330, 200, 200), QStringLiteral("Факты"));
    o.frameSequence().swap(1, 3);
    const int p1 = o.createPicture(QRect(10, 30, 170, 120), f1);
    o.picture(p1).setBitmap(photoLikeImage(640, 480, 3));
    const int p2 = o.createPicture(QRect(60, 40, 300, 220), f2);
    o.picture(p2).setBitmap(photoLikeImage(900, 700, 5));
    o.createTextField(QRect(200, 30, 160, 80), 0x00FFFFFF, QStringLiteral("Маятник\r\nпериод"), f1);
    o.createTextField(QRect(20, 40, 150, 60), 0x00E0FFE0, QStringLiteral("Закон"), f3);
    o.createTextField(QRect(600, 520, 150, 50), 0x00FFFFFF, QStringLiteral("на холсте"), 0);
    const int p3 = o.createPicture(QRect(700, 40, 90, 90), 0);
    o.picture(p3).setBitmap(photoLikeImage(200, 200, 9));
    o.createCaption(QRect(10, 170, 120, 20), QStringLiteral("надпись"), f1);
    o.createArrow(100, 120, 500, 350, 3, 0x000000FF);  // picture in F1 to picture in F2
    o.createArrow(780, 590, 20, 45, 2, 0x00008000);    // canvas text to the corner of F1
    o.createArrow(250, 450, 260, 460, 5, 0x00FF0000);  // inside F3 only
    o.frame(f1).minimalText = QStringLiteral("Опыты с маятником");
    return doc;
}

// The outline as a whole drawing of the renderer would show it at a step, at the picture's scale.
QImage freshDrawing(const Document& doc, const PresentationPicture& picture)
{
    OutlineRenderer renderer(doc, doc.outline.clientSize(), OutlineRenderer::Area::WholeCanvas);
    const RevealOrder& order = picture.order();
    for (int i = 0; i < order.stepCount(); ++i)
        for (ObjectId id : order.step(i).appearing)
            renderer.setObjectVisible(id, i <= picture.step());
    return renderer.image(picture.scale());
}

QString differences(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return QStringLiteral("sizes %1×%2 and %3×%4").arg(a.width()).arg(a.height()).arg(b.width()).arg(b.height());
    int count = 0;
    QPoint first(-1, -1);
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y) && count++ == 0)
                first = QPoint(x, y);
    return count ? QStringLiteral("%1 pixels differ, the first at (%2, %3)").arg(count).arg(first.x()).arg(first.y())
                 : QString();
}

void sendKey(QWidget* w, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
}

void click(QWidget* w, QPoint at, Qt::MouseButton button)
{
    QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), button, button, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
}

}  // namespace

void TestPresentation::initTestCase() { QVERIFY(m_dir.isValid()); }

void TestPresentation::everyStepLooksLikeAFreshDrawing_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<bool>("subtitles");
    QTest::newRow("full HD, enlarged") << QSize(1920, 1080) << false;
    QTest::newRow("odd size, reduced, with subtitles") << QSize(641, 517) << true;
}

void TestPresentation::everyStepLooksLikeAFreshDrawing()
{
    QFETCH(QSize, screen);
    QFETCH(bool, subtitles);
    const Document doc = busyOutline();
    PresentationPicture picture(doc, doc.outline.clientSize(), screen);
    picture.setSubtitlesShown(subtitles);
    // Forward through every step, back through all of them, then jumps both ways: each redraw
    // touches only what changed, and the result must be the drawing made from scratch.
    std::vector<int> path;
    for (int i = 1; i <= picture.order().lastStep(); ++i)
        path.push_back(i);
    for (int i = picture.order().lastStep() - 1; i >= 0; --i)
        path.push_back(i);
    for (int i : {picture.order().lastStep(), 2, 5, 0, 3})
        path.push_back(i);
    for (int step : path) {
        const QRegion changed = picture.setStep(step);
        QCOMPARE(picture.step(), step);
        QVERIFY(!changed.isEmpty());
        const QString diff = differences(picture.image(), freshDrawing(doc, picture));
        QVERIFY2(diff.isEmpty(), qPrintable(QStringLiteral("step %1: %2").arg(step).arg(diff)));
    }
    // Steps past either end stay at the end and redraw nothing.
    QVERIFY(!picture.setStep(99).isEmpty());
    QVERIFY(picture.next().isEmpty());
    QCOMPARE(picture.step(), picture.order().lastStep());
    picture.setStep(0);
    QVERIFY(picture.previous().isEmpty());
}

void TestPresentation::subtitlesTakeRoomFromTheOutline()
{
    const Document doc = busyOutline();
    // A wide screen leaves room at the sides, a tall one below: the strip must never overlap.
    for (const QSize screen : {QSize(1920, 1080), QSize(800, 1200), QSize(1024, 768)}) {
        PresentationPicture picture(doc, doc.outline.clientSize(), screen);
        const QRect full = picture.outlineRect();
        QVERIFY(picture.subtitleRect().isEmpty());
        picture.setSubtitlesShown(true);
        const QRect withStrip = picture.outlineRect();
        const QRect strip = picture.subtitleRect();
        QVERIFY(!strip.isEmpty());
        QVERIFY(!withStrip.intersects(strip));
        QVERIFY(QRect(QPoint(0, 0), screen).contains(withStrip));
        QCOMPARE(strip.bottom(), screen.height() - 1);
        QVERIFY(withStrip.width() <= full.width() && withStrip.height() <= full.height());
        // The aspect stays that of the canvas, to the pixel.
        const QSize area = picture.renderer().size();
        QVERIFY(std::abs(withStrip.width() * area.height() - withStrip.height() * area.width())
                <= std::max(area.width(), area.height()));
        // The strip shows the step's subtitle, in light letters on its dark ground.
        int titled = 0;
        while (titled < picture.order().lastStep() && picture.order().step(titled).subtitle.isEmpty())
            ++titled;
        QCOMPARE(picture.order().step(titled).subtitle, QStringLiteral("Опыты с маятником"));
        picture.setStep(titled);
        QImage shot(screen, QImage::Format_RGB32);
        QPainter painter(&shot);
        picture.paint(painter, shot.rect());
        painter.end();
        int light = 0;
        for (int x = 0; x < strip.width(); ++x)
            light += qGray(shot.pixel(x, strip.center().y() - 2)) > 160
                     || qGray(shot.pixel(x, strip.center().y() + 2)) > 160;
        QVERIFY2(light > 0, qPrintable(QStringLiteral("%1×%2").arg(screen.width()).arg(screen.height())));
        picture.setSubtitlesShown(false);
        QCOMPARE(picture.outlineRect(), full);
    }
}

void TestPresentation::everyLineOfASubtitleShows()
{
    // A minimal text of three lines (and one long enough to wrap) is written whole in the strip,
    // on a projector's 1280 × 900 and a small 1024 × 768: every line appears as a band of light
    // letters. The strip is as tall at every step, so the outline does not move between them.
    Document doc = busyOutline();
    doc.outline.frame(1).minimalText = QStringLiteral("Первая строка\r\nВторая строка\r\nТретья строка");
    doc.outline.frame(2).minimalText =
        QStringLiteral("Очень длинный минимальный текст, который не помещается в одну строку "
                       "на экране и переносится на следующую строку полосы");
    for (const QSize screen : {QSize(1280, 900), QSize(1024, 768)}) {
        PresentationPicture picture(doc, doc.outline.clientSize(), screen);
        picture.setSubtitlesShown(true);
        const QRect strip = picture.subtitleRect();
        const QRect outline = picture.outlineRect();
        for (int step = 1; step < picture.order().stepCount(); ++step) {
            picture.setStep(step);
            QCOMPARE(picture.subtitleRect(), strip);
            QCOMPARE(picture.outlineRect(), outline);
        }
        int step = 0;
        while (step < picture.order().lastStep()
               && !picture.order().step(step).subtitle.startsWith(QStringLiteral("Первая")))
            ++step;
        picture.setStep(step);
        QImage shot(screen, QImage::Format_RGB32);
        QPainter painter(&shot);
        picture.paint(painter, shot.rect());
        painter.end();
        // Count the bands of rows that hold light pixels inside the strip.
        int bands = 0;
        bool inBand = false;
        for (int y = strip.top(); y <= strip.bottom(); ++y) {
            bool light = false;
            for (int x = strip.left(); x <= strip.right() && !light; ++x)
                light = qGray(shot.pixel(x, y)) > 160;
            bands += light && !inBand;
            inBand = light;
        }
        QVERIFY2(bands == 3,
                 qPrintable(
                     QStringLiteral("%1 bands of text at %2×%3").arg(bands).arg(screen.width()).arg(screen.height())));
    }
}

void TestPresentation::keysAndClicks_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("expected");  // the step after it, starting from step 2
    for (const char* key : {"Right", "Space", "PgDown", "Down", "click", "wheel down"})
        QTest::newRow(key) << QString::fromLatin1(key) << 3;
    for (const char* key : {"Left", "Backspace", "PgUp", "Up", "right click", "wheel up"})
        QTest::newRow(key) << QString::fromLatin1(key) << 1;
    QTest::newRow("Home") << "Home" << 0;
    QTest::newRow("End") << "End" << -1;
    QTest::newRow("another key") << "A" << 2;
}

void TestPresentation::keysAndClicks()
{
    QFETCH(QString, input);
    QFETCH(int, expected);
    const Document doc = busyOutline();
    PresentationWindow window(doc, doc.outline.clientSize(), nullptr);
    window.resize(900, 700);
    window.picture().setStep(2);
    if (input == QLatin1String("click"))
        click(&window, QPoint(5, 5), Qt::LeftButton);
    else if (input == QLatin1String("right click"))
        click(&window, QPoint(5, 5), Qt::RightButton);
    else if (input.startsWith(QLatin1String("wheel"))) {
        const int delta = input.endsWith(QLatin1String("down")) ? -120 : 120;
        QWheelEvent wheel(QPointF(5, 5), QPointF(window.mapToGlobal(QPoint(5, 5))), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&window, &wheel);
    } else
        sendKey(&window, QKeySequence::fromString(input)[0].key());
    QCOMPARE(window.picture().step(), expected < 0 ? window.picture().order().lastStep() : expected);
    // T switches the subtitles on and off again.
    sendKey(&window, Qt::Key_T);
    QVERIFY(window.picture().subtitlesShown());
    sendKey(&window, Qt::Key_T);
    QVERIFY(!window.picture().subtitlesShown());
}

void TestPresentation::blankScreenCounterAndFrameNumbers()
{
    Document doc = busyOutline();
    doc.state.outlineName = QStringLiteral("Маятник");
    doc.outline.frame(1).minimalText = QStringLiteral("Опыты\r\nс маятником");
    const RevealOrder order(doc.outline);
    PresentationWindow window(doc, doc.outline.clientSize(), nullptr);
    window.resize(900, 700);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    // B blanks the screen black; the first step key only brings the outline back, on the same step.
    window.picture().setStep(2);
    sendKey(&window, Qt::Key_B);
    QCOMPARE(window.grab().toImage().pixelColor(450, 350), QColor(Qt::black));
    sendKey(&window, Qt::Key_Right);
    QCOMPARE(window.blank(), PresentationWindow::Blank::None);
    QCOMPARE(window.picture().step(), 2);
    sendKey(&window, Qt::Key_W);
    QCOMPARE(window.grab().toImage().pixelColor(450, 350), QColor(Qt::white));
    sendKey(&window, Qt::Key_W);
    QCOMPARE(window.blank(), PresentationWindow::Blank::None);

    // N shows the counter; a frame's number and Enter jump to that frame (the reading order's
    // frames count from 1: the frame sequence starts with frame 3 here).
    QVERIFY(!window.counterShown());
    sendKey(&window, Qt::Key_N);
    QVERIFY(window.counterShown());
    QCOMPARE(window.counterText(), QStringLiteral("2 / %1").arg(order.lastStep()));
    sendKey(&window, Qt::Key_2);
    sendKey(&window, Qt::Key_Return);
    QCOMPARE(window.picture().step(), order.stepOf(doc.outline.frame(2).id));
    sendKey(&window, Qt::Key_9);
    sendKey(&window, Qt::Key_Return);  // no ninth frame: the show stays
    QCOMPARE(window.picture().step(), order.stepOf(doc.outline.frame(2).id));

    // The strip keeps the minimal text's line break.
    QCOMPARE(order.step(order.stepOf(doc.outline.frame(1).id)).subtitle, QStringLiteral("Опыты\nс маятником"));

    // A show started from a frame opens on that frame's step.
    PresentationWindow* fromFrame =
        PresentationWindow::present(doc, doc.outline.clientSize(), nullptr, doc.outline.frame(2).id);
    QCOMPARE(fromFrame->picture().step(), order.stepOf(doc.outline.frame(2).id));
    fromFrame->close();
}

void TestPresentation::aFilmShowsItsFirstPictureAndAClickPlaysIt()
{
    const QString film = m_dir.filePath(QStringLiteral("film.avi"));
    QVERIFY(avi::writeAvi(film, avi::colourFrames({Qt::red, Qt::green, Qt::blue, Qt::yellow}, 64, 48), 4,
                          avi::Codec::Mjpeg));
    Document doc;
    doc.outline.setClientSize(QSize(400, 300));
    const int f = doc.outline.createFrame(QRect(10, 40, 300, 220), QStringLiteral("Видео"));
    const int v = doc.outline.createVideo(QRect(20, 30, 200, 150), f);
    doc.outline.video(v).fileName = film;
    PresentationWindow window(doc, doc.outline.clientSize(), nullptr);
    window.resize(800, 600);
    PresentationPicture& picture = window.picture();
    auto* video = qobject_cast<FilmPanelWidget*>(picture.renderer().objectWidget(doc.outline.video(v).id));
    QVERIFY(video);
    QVERIFY(video->waitForOpening(10000));
    const QRect area = picture.renderer().objectArea(doc.outline.video(v).id);
    const QPoint centre = picture.outlineRect().topLeft()
                          + QPoint(int(area.center().x() * picture.scale()), int(area.center().y() * picture.scale()));

    // Before it is revealed a click there goes forward, to its frame.
    click(&window, centre, Qt::LeftButton);
    QCOMPARE(picture.step(), 1);
    QVERIFY(!picture.videoAt(centre));
    click(&window, centre, Qt::LeftButton);
    QCOMPARE(picture.step(), 2);
    QCOMPARE(picture.videoAt(centre), video);
    // Its first picture (red) is drawn once the player has it.
    QTRY_VERIFY_WITH_TIMEOUT(video->framesReceived() > 0, 5000);
    const QPoint inImage = centre - picture.outlineRect().topLeft();
    QTRY_VERIFY_WITH_TIMEOUT(qRed(picture.image().pixel(inImage)) > 200 && qGreen(picture.image().pixel(inImage)) < 60,
                             2000);

    // Clicks on it play and pause it, without leaving the step.
    click(&window, centre, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(video->playbackState(), FilmPlayer::State::Playing, 5000);
    click(&window, centre, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(video->playbackState(), FilmPlayer::State::Paused, 5000);
    QCOMPARE(picture.step(), 2);
    // Going back hides it: the click goes back to being a step forward.
    click(&window, centre, Qt::RightButton);
    QVERIFY(!picture.videoAt(centre));
}

void TestPresentation::presentingChangesNothingInTheDocument()
{
    WindowFixture f;
    f.dialogs.inputs.push_back(QStringLiteral("Урок"));
    f.command(Command::NewOutline)->trigger();  // the ten frames of a new outline
    QCOMPARE(f.doc().outline.count(ObjectKind::Frame), 10);
    for (const bool modified : {true, false}) {
        f.doc().state.modified = modified;
        const QByteArray before = serializeOutline(f.doc(), true);
        const int stepBefore = f.doc().history.currentStep;
        const bool undoBefore = f.command(Command::Undo)->isEnabled();

        f.command(Command::Present)->trigger();
        auto* window = f.window->findChild<PresentationWindow*>();
        QVERIFY(window);
        QVERIFY(window->isFullScreen());
        QCOMPARE(window->screen(), f.window->screen());
        for (int key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_T, Qt::Key_Left, Qt::Key_End})
            sendKey(window, key);
        click(window, QPoint(10, 10), Qt::RightButton);
        QPointer<PresentationWindow> guard(window);
        sendKey(window, Qt::Key_Escape);
        QTRY_VERIFY(guard.isNull());  // closed and gone

        QCOMPARE(serializeOutline(f.doc(), true), before);
        QCOMPARE(f.doc().state.modified, modified);
        QCOMPARE(f.doc().history.currentStep, stepBefore);
        QCOMPARE(f.command(Command::Undo)->isEnabled(), undoBefore);
    }
}

QTEST_MAIN(TestPresentation)
#include "test_presentation.moc"
