// Drawing over a show: the tools' keys and how Esc puts a tool down before it ends the show,
// strokes kept per step, the cached drawing of strokes against a drawing made at once, the
// eraser, the laser leaving nothing behind, the spotlight, the presenter's view and countdown,
// the pictures of the steps saved with their drawings, and the key table the web page shares.
#include "export/show_keys.h"
#include "show/presentation_window.h"
#include "show/presenter_view.h"
#include "support/scripted_dialogs.h"

#include <QApplication>
#include <QDir>
#include <QImageReader>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace velmar;

namespace {

// Two frames on a white canvas, nothing else: any coloured pixel is a stroke.
Document twoFrames()
{
    Document doc;
    doc.state.canvasColour = 0x00FFFFFF;
    Outline& o = doc.outline;
    o.setClientSize(QSize(800, 600));
    o.createFrame(QRect(10, 40, 380, 260), QStringLiteral("Опыты"));
    o.createFrame(QRect(420, 40, 360, 300), QStringLiteral("Величины"));
    return doc;
}

void sendKey(QWidget* w, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(w, &press);
}

void mouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, at, w->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : button, held,
                      Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

// A drag from one point to another in small steps, as the mouse sends it.
void stroke(QWidget* w, QPoint from, QPoint to)
{
    mouse(w, QEvent::MouseButtonPress, from);
    for (int i = 1; i <= 10; ++i)
        mouse(w, QEvent::MouseMove, from + (to - from) * i / 10);
    mouse(w, QEvent::MouseButtonRelease, to);
}

bool reddish(QColor c) { return c.red() > 150 && c.green() < 100 && c.blue() < 100; }

struct Show {
    Document doc = twoFrames();
    PresentationWindow window{doc, doc.outline.clientSize(), nullptr};
    Show()
    {
        window.resize(800, 600);
        window.show();
    }
    QColor at(QPoint p) { return window.grab().toImage().pixelColor(p); }
};

}  // namespace

class TestShowDrawing : public QObject {
    Q_OBJECT
private slots:
    void keysChooseToolsAndEscPutsThemDown_data();
    void keysChooseToolsAndEscPutsThemDown();
    void strokesBelongToTheirStep();
    void strokeDrawnPointByPointLooksDrawnAtOnce();
    void eraserTakesOnlyWhatItTouches();
    void laserLeavesNothingBehind();
    void spotlightDimsAllButTheStepsObject();
    void presenterSeesTheDrawingsAndKeepsACountdown();
    void savedStepPicturesCarryTheirDrawings();
    void webPageTakesTheShowsKeys();
};

void TestShowDrawing::keysChooseToolsAndEscPutsThemDown_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("control");
    QTest::addColumn<int>("tool");
    QTest::newRow("P") << int(Qt::Key_P) << false << int(ShowTool::Pen);
    QTest::newRow("Ctrl+P") << int(Qt::Key_P) << true << int(ShowTool::Pen);
    QTest::newRow("H") << int(Qt::Key_H) << false << int(ShowTool::Highlighter);
    QTest::newRow("L") << int(Qt::Key_L) << false << int(ShowTool::Laser);
    QTest::newRow("Ctrl+L") << int(Qt::Key_L) << true << int(ShowTool::Laser);
    QTest::newRow("E") << int(Qt::Key_E) << false << int(ShowTool::Eraser);
}

void TestShowDrawing::keysChooseToolsAndEscPutsThemDown()
{
    QFETCH(int, key);
    QFETCH(bool, control);
    QFETCH(int, tool);
    auto* window = new PresentationWindow(twoFrames(), QSize(800, 600), nullptr);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->resize(800, 600);
    window->show();
    QPointer<PresentationWindow> guard(window);
    sendKey(window, key, control ? Qt::ControlModifier : Qt::NoModifier);
    QCOMPARE(int(window->tool()), tool);
    // The step keys go on working with a tool in hand.
    sendKey(window, Qt::Key_Right);
    QCOMPARE(window->picture().step(), 1);
    // A is the arrow again; Esc first puts the tool down, and only then ends the show.
    sendKey(window, Qt::Key_A);
    QCOMPARE(window->tool(), ShowTool::Arrow);
    sendKey(window, key, control ? Qt::ControlModifier : Qt::NoModifier);
    sendKey(window, Qt::Key_Escape);
    QCOMPARE(window->tool(), ShowTool::Arrow);
    QVERIFY(window->isVisible());
    sendKey(window, Qt::Key_Escape);
    QTRY_VERIFY(guard.isNull());
}

void TestShowDrawing::strokesBelongToTheirStep()
{
    Show s;
    PresentationWindow& w = s.window;
    w.picture().setStep(1);
    sendKey(&w, Qt::Key_P);
    // With the pen a left click draws instead of stepping, a right click opens the menu instead
    // of going back.
    stroke(&w, QPoint(100, 300), QPoint(300, 320));
    QCOMPARE(w.picture().step(), 1);
    QCOMPARE(w.ink().strokes(1).size(), size_t(1));
    QVERIFY(reddish(s.at(QPoint(200, 310))));
    mouse(&w, QEvent::MouseButtonPress, QPoint(500, 500), Qt::RightButton);
    QCOMPARE(w.picture().step(), 1);
    QTRY_VERIFY(w.menu()->isVisible());
    w.menu()->close();

    // The next step has its own (none); going back brings the stroke back.
    sendKey(&w, Qt::Key_Right);
    QCOMPARE(w.picture().step(), 2);
    QVERIFY(!reddish(s.at(QPoint(200, 310))));
    stroke(&w, QPoint(500, 450), QPoint(700, 450));
    sendKey(&w, Qt::Key_Left);
    QVERIFY(reddish(s.at(QPoint(200, 310))));
    QVERIFY(!reddish(s.at(QPoint(600, 450))));
    sendKey(&w, Qt::Key_End);
    QVERIFY(reddish(s.at(QPoint(600, 450))));

    // The strokes stay on the outline when it moves for the subtitle strip.
    const QPointF onOutline = w.picture().outlineToScreen().inverted().map(QPointF(600, 450));
    sendKey(&w, Qt::Key_T);
    const QPoint moved = w.picture().outlineToScreen().map(onOutline).toPoint();
    QVERIFY(moved != QPoint(600, 450));
    QVERIFY(reddish(s.at(moved)));

    // A blank screen takes no strokes.
    sendKey(&w, Qt::Key_B);
    stroke(&w, QPoint(100, 100), QPoint(200, 100));
    QCOMPARE(w.ink().strokes(w.picture().step()).size(), size_t(1));
}

void TestShowDrawing::strokeDrawnPointByPointLooksDrawnAtOnce()
{
    // The show adds each point to its cached picture as it comes; the result must be the picture
    // of the whole strokes, for pen and highlighter (whose overlapping pieces must not darken
    // where they meet), at a scale that is not 1.
    const QTransform transform(1.7, 0, 0, 1.7, 13, 7);
    for (const bool highlighter : {false, true}) {
        InkStroke style;
        style.highlighter = highlighter;
        style.colour = highlighter ? QColor(255, 230, 0) : QColor(20, 60, 220);
        style.width = highlighter ? 12 : 3;
        ShowInk ink;
        InkLayer layer;
        layer.setTarget(QSize(400, 300), transform);
        layer.sync(ink, 0);
        const QPointF zigzag[] = {{20, 20}, {120, 60}, {30, 90}, {140, 120}, {140, 121}, {60, 20}};
        ink.begin(0, style, zigzag[0], 1.0f);
        layer.sync(ink, 0);
        for (size_t i = 1; i < std::size(zigzag); ++i) {
            ink.extend(zigzag[i], float(0.5 + 0.25 * i));
            QVERIFY(!layer.sync(ink, 0).isEmpty());
        }
        ink.end();
        layer.sync(ink, 0);
        QImage incremental(400, 300, QImage::Format_ARGB32_Premultiplied);
        incremental.fill(Qt::white);
        QPainter painter(&incremental);
        layer.paint(painter, incremental.rect());
        painter.end();
        QImage atOnce(400, 300, QImage::Format_ARGB32_Premultiplied);
        atOnce.fill(Qt::white);
        InkLayer::paintStrokes(atOnce, ink.strokes(0), transform);
        QCOMPARE(incremental, atOnce);
        if (highlighter) {
            // One shade along the stroke: the middle of two crossing pieces is no darker.
            const QColor a = incremental.pixelColor(transform.map(QPointF(70, 40)).toPoint());
            const QColor crossing = incremental.pixelColor(transform.map(QPointF(75, 75)).toPoint());
            QVERIFY2(std::abs(a.blue() - crossing.blue()) <= 2,
                     qPrintable(QStringLiteral("%1 against %2").arg(a.name(), crossing.name())));
            QVERIFY(a.blue() > 80);  // the white shows through
        }
    }
}

void TestShowDrawing::eraserTakesOnlyWhatItTouches()
{
    Show s;
    PresentationWindow& w = s.window;
    sendKey(&w, Qt::Key_P);
    stroke(&w, QPoint(100, 200), QPoint(300, 200));
    stroke(&w, QPoint(100, 400), QPoint(300, 400));
    sendKey(&w, Qt::Key_E);
    // The eraser dragged across the first stroke's end, well away from the second.
    stroke(&w, QPoint(310, 150), QPoint(290, 250));
    QCOMPARE(w.ink().strokes(0).size(), size_t(1));
    QVERIFY(!reddish(s.at(QPoint(200, 200))));
    QVERIFY(reddish(s.at(QPoint(200, 400))));
    // A left click with the eraser does not step either.
    QCOMPARE(w.picture().step(), 0);
}

void TestShowDrawing::laserLeavesNothingBehind()
{
    Show s;
    PresentationWindow& w = s.window;
    w.picture().setStep(2);
    const QImage before = w.grab().toImage();
    sendKey(&w, Qt::Key_L);
    mouse(&w, QEvent::MouseMove, QPoint(400, 300), Qt::NoButton);
    QVERIFY(reddish(s.at(QPoint(400, 300))));
    for (int x = 400; x >= 100; x -= 20)
        mouse(&w, QEvent::MouseMove, QPoint(x, 300), Qt::NoButton);
    QCOMPARE(w.grab().toImage().pixelColor(400, 300), before.pixelColor(400, 300));
    QVERIFY(w.ink().strokes(2).empty());
    // Put down, it leaves the screen as it was.
    sendKey(&w, Qt::Key_Escape);
    QCOMPARE(w.grab().toImage(), before);
    // A click with the laser steps as with the arrow.
    sendKey(&w, Qt::Key_L);
    mouse(&w, QEvent::MouseButtonPress, QPoint(100, 300), Qt::RightButton);
    QCOMPARE(w.picture().step(), 1);
    mouse(&w, QEvent::MouseButtonPress, QPoint(100, 300));
    QCOMPARE(w.picture().step(), 2);
}

void TestShowDrawing::spotlightDimsAllButTheStepsObject()
{
    Show s;
    PresentationWindow& w = s.window;
    sendKey(&w, Qt::Key_End);
    const QImage lit = w.grab().toImage();
    sendKey(&w, Qt::Key_S);
    QVERIFY(w.spotlight());
    const QRect spot = w.spotlightRect();
    QVERIFY(!spot.isEmpty());
    const QImage dimmed = w.grab().toImage();
    const QPoint inside = spot.center(), outside(20, w.height() - 20);
    QCOMPARE(dimmed.pixelColor(inside), lit.pixelColor(inside));
    QVERIFY(qGray(dimmed.pixel(outside)) < qGray(lit.pixel(outside)) - 60);
    // It follows the step.
    sendKey(&w, Qt::Key_Left);
    QVERIFY(w.spotlightRect() != spot);
    QVERIFY(qGray(w.grab().toImage().pixel(spot.center())) < qGray(lit.pixel(spot.center())));
    sendKey(&w, Qt::Key_S);
    QCOMPARE(w.grab().toImage().pixelColor(outside), lit.pixelColor(outside));
}

void TestShowDrawing::presenterSeesTheDrawingsAndKeepsACountdown()
{
    ScriptedDialogs dialogs;
    Show s;
    auto* presenter = new PresenterView(s.doc, s.doc.outline.clientSize(), &s.window, nullptr);
    presenter->resize(1000, 700);
    presenter->show();
    QVERIFY(QTest::qWaitForWindowExposed(presenter));
    sendKey(presenter, Qt::Key_P);  // the presenter's keys choose the show's tools too
    QCOMPARE(s.window.tool(), ShowTool::Pen);
    stroke(&s.window, QPoint(100, 300), QPoint(700, 300));
    const QRect current = presenter->currentRect();
    const auto redInCurrent = [&] {
        const QImage shot = presenter->grab().toImage();
        int n = 0;
        for (int x = current.left(); x <= current.right(); ++x)
            for (int y = current.top(); y <= current.bottom(); y += 2)
                n += reddish(shot.pixelColor(x, y));
        return n;
    };
    QVERIFY(redInCurrent() > 50);
    sendKey(presenter, Qt::Key_Right);
    QCOMPARE(redInCurrent(), 0);
    sendKey(presenter, Qt::Key_Left);
    QVERIFY(redInCurrent() > 50);

    // The countdown: asked in minutes or minutes:seconds; a wrong answer changes nothing.
    QVERIFY(!presenter->countdownSet());
    dialogs.inputs = {QStringLiteral("seven"), QStringLiteral("7:30")};
    presenter->findChild<QPushButton*>(QStringLiteral("countdownSet"))->click();
    QCOMPARE(dialogs.messages.size(), 1);
    QVERIFY(!presenter->countdownSet());
    presenter->findChild<QPushButton*>(QStringLiteral("countdownSet"))->click();
    QVERIFY(presenter->countdownRunning());
    QVERIFY(presenter->countdownLeft() > 449000 && presenter->countdownLeft() <= 450000);
    QCOMPARE(presenter->countdownText(), QStringLiteral("7:30"));
    presenter->findChild<QPushButton*>(QStringLiteral("countdownPause"))->click();
    QVERIFY(!presenter->countdownRunning());
    const qint64 paused = presenter->countdownLeft();
    QTest::qWait(30);
    QCOMPARE(presenter->countdownLeft(), paused);
    presenter->findChild<QPushButton*>(QStringLiteral("countdownPause"))->click();
    QVERIFY(presenter->countdownRunning());
    presenter->findChild<QPushButton*>(QStringLiteral("countdownReset"))->click();
    QVERIFY(!presenter->countdownRunning());
    QCOMPARE(presenter->countdownLeft(), qint64(450000));
    // Past the time it counts on below zero.
    presenter->setCountdown(0);
    QVERIFY(!presenter->countdownSet());
    QCOMPARE(presenter->countdownText(), QString());
    presenter->setCountdown(1);
    QTRY_VERIFY_WITH_TIMEOUT(presenter->countdownText().startsWith(QChar(0x2212)), 4000);
}

void TestShowDrawing::savedStepPicturesCarryTheirDrawings()
{
    QTemporaryDir dir;
    Show s;
    PresentationWindow& w = s.window;
    const QTransform toScreen = w.picture().outlineToScreen();
    sendKey(&w, Qt::Key_Right);
    sendKey(&w, Qt::Key_P);
    // In the outline's coordinates, (100, 350) to (300, 350): below both frames.
    stroke(&w, toScreen.map(QPointF(100, 350)).toPoint(), toScreen.map(QPointF(300, 350)).toPoint());
    const QString folder = dir.filePath(QStringLiteral("рисунки/показ"));
    QCOMPARE(w.saveDrawings(folder), QString());
    const QStringList files = QDir(folder).entryList(QDir::Files, QDir::Name);
    QCOMPARE(files, QStringList(
                        {QStringLiteral("step-00.png"), QStringLiteral("step-01.png"), QStringLiteral("step-02.png")}));
    for (int step = 0; step < 3; ++step) {
        QImageReader reader(QDir(folder).filePath(files[step]));
        QCOMPARE(reader.format(), QByteArray("png"));
        const QImage picture = reader.read();
        QCOMPARE(picture.size(), w.picture().renderer().size());
        QCOMPARE(reddish(picture.pixelColor(200, 350)), step == 1);
    }
    // Through the menu: the folder asked for, and a folder that cannot be made is reported.
    ScriptedDialogs dialogs;
    QFile blocker(dir.filePath(QStringLiteral("file")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    dialogs.folders = {dir.filePath(QStringLiteral("file/sub"))};
    w.menu()->findChild<QAction*>(QStringLiteral("showSaveDrawings"))->trigger();
    QCOMPARE(dialogs.fileDialogs, 1);
    QCOMPARE(dialogs.messages.size(), 1);
}

void TestShowDrawing::webPageTakesTheShowsKeys()
{
    // Every key keeps one meaning; the show's old keys keep theirs.
    QCOMPARE(showActionFor(Qt::Key_Right, Qt::ShiftModifier), ShowAction::Forward);
    QCOMPARE(showActionFor(Qt::Key_Up, Qt::ControlModifier), ShowAction::Back);
    QCOMPARE(showActionFor(Qt::Key_P, Qt::ControlModifier), ShowAction::Pen);
    QCOMPARE(showActionFor(Qt::Key_7, Qt::KeypadModifier), ShowAction::Digit);
    QVERIFY(!showActionFor(Qt::Key_Q, Qt::NoModifier));
    // The page's map: letters by their position, the rest by their value; no Ctrl chords (the
    // browser's), nothing the page does not do.
    const QByteArray map = webShowKeyMap();
    for (const char* entry : {"'KeyB': 'black'", "'KeyP': 'pen'", "'KeyL': 'laser'", "'ArrowUp': 'back'",
                              "'ArrowDown': 'forward'", "'Enter': 'enter'", "'5': 'digit'", "'Home': 'first'",
                              "' ': 'forward'", "'KeyN': 'counter'", "'Escape': 'escape'"})
        QVERIFY2(map.contains(entry), entry);
    QVERIFY(!map.contains("spotlight"));
    QCOMPARE(map.count("'KeyP'"), 1);
}

QTEST_MAIN(TestShowDrawing)
#include "test_show_drawing.moc"
