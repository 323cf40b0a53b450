// The presenter's view beside the show: it follows the show's steps, drives the show with its
// keys, names the step's minimal text, ends with the show, and stays away with one screen.
#include "show/presentation_window.h"
#include "show/presenter_view.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>

using namespace velmar;

namespace {

Document twoFrames()
{
    Document doc;
    doc.state.outlineName = QStringLiteral("Маятник");
    doc.state.canvasColour = 0x00FFFFFF;
    Outline& o = doc.outline;
    o.setClientSize(QSize(800, 600));
    const int f1 = o.createFrame(QRect(10, 40, 380, 260), QStringLiteral("Опыты"));
    o.createFrame(QRect(420, 40, 360, 300), QStringLiteral("Величины"));
    o.frame(f1).minimalText = QStringLiteral("Первый опыт\r\nс маятником");
    return doc;
}

void sendKey(QWidget* w, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
}

}  // namespace

class TestPresenterView : public QObject {
    Q_OBJECT
private slots:
    void oneScreenKeepsTheShowAsItWas();
    void followsAndDrivesTheShow();
    void closingEitherEndsBoth();
};

void TestPresenterView::oneScreenKeepsTheShowAsItWas()
{
    QCOMPARE(QGuiApplication::screens().size(), 1);
    QVERIFY(!PresenterView::audienceScreen(QGuiApplication::primaryScreen()));
    QVERIFY(!PresenterView::audienceScreen(nullptr));
    const Document doc = twoFrames();
    PresentationWindow* show = PresentationWindow::present(doc, doc.outline.clientSize(), nullptr);
    QVERIFY(!show->findChild<PresenterView*>());
    QCOMPARE(show->screen(), QGuiApplication::primaryScreen());
    show->close();
}

void TestPresenterView::followsAndDrivesTheShow()
{
    const Document doc = twoFrames();
    PresentationWindow show(doc, doc.outline.clientSize(), nullptr);
    show.resize(800, 600);
    show.show();
    auto* presenter = new PresenterView(doc, doc.outline.clientSize(), &show, nullptr);
    presenter->resize(1000, 700);
    presenter->show();
    QVERIFY(QTest::qWaitForWindowExposed(presenter));

    // At the start: the outline's name, the first frame next.
    QCOMPARE(presenter->stepText(), QStringLiteral("0 / 2"));
    QCOMPARE(presenter->minimalText(), QStringLiteral("Маятник"));
    QVERIFY(QRegularExpression(QStringLiteral(R"(^0:00:0\d$)")).match(presenter->elapsedText()).hasMatch());
    QVERIFY(QRegularExpression(QStringLiteral(R"(^\d\d:\d\d$)")).match(presenter->clockText()).hasMatch());
    // The parts do not overlap and lie inside the window.
    const QRect parts[] = {presenter->clockRect(), presenter->currentRect(), presenter->nextRect(),
                           presenter->textRect()};
    for (const QRect& a : parts) {
        QVERIFY(presenter->rect().contains(a));
        for (const QRect& b : parts)
            QVERIFY(&a == &b || !a.intersects(b));
    }

    // Keys given to the presenter step the show; the show's own keys move the presenter too.
    sendKey(presenter, Qt::Key_Right);
    QCOMPARE(show.picture().step(), 1);
    QCOMPARE(presenter->stepText(), QStringLiteral("1 / 2"));
    QCOMPARE(presenter->minimalText(), QStringLiteral("Первый опыт\nс маятником"));
    sendKey(&show, Qt::Key_End);
    QCOMPARE(presenter->stepText(), QStringLiteral("2 / 2"));
    sendKey(presenter, Qt::Key_Home);
    QCOMPARE(show.picture().step(), 0);

    // What is drawn: the second frame's title bar shows in "next" at step 1 but not in "current".
    sendKey(presenter, Qt::Key_Right);
    const QImage shown = presenter->grab().toImage();
    const auto darkPixels = [&shown](const QRect& r) {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                n += qGray(shown.pixel(x, y)) < 100;
        return n;
    };
    const auto rightHalf = [](const QRect& r) { return r.adjusted(r.width() / 2 + 4, 2, -2, -2); };
    QVERIFY(darkPixels(rightHalf(presenter->nextRect())) > darkPixels(rightHalf(presenter->currentRect())));
    // The minimal text is written in the text column.
    int bright = 0;
    const QRect text = presenter->textRect();
    for (int y = text.top(); y <= text.bottom(); ++y)
        for (int x = text.left(); x <= text.right(); ++x)
            bright += qGray(shown.pixel(x, y)) > 200;
    QVERIFY(bright > 30);

    // B blanks the audience's screen only.
    sendKey(presenter, Qt::Key_B);
    QCOMPARE(show.blank(), PresentationWindow::Blank::Black);
    QCOMPARE(presenter->stepText(), QStringLiteral("1 / 2"));
}

void TestPresenterView::closingEitherEndsBoth()
{
    const Document doc = twoFrames();
    auto* show = new PresentationWindow(doc, doc.outline.clientSize(), nullptr);
    show->setAttribute(Qt::WA_DeleteOnClose);
    show->show();
    QPointer<PresenterView> presenter = new PresenterView(doc, doc.outline.clientSize(), show, nullptr);
    presenter->show();
    QPointer<PresentationWindow> watched = show;
    presenter->close();
    QTRY_VERIFY(!watched);
    QVERIFY(!presenter);  // it belongs to the show

    // Esc on the presenter ends the show the same way.
    show = new PresentationWindow(doc, doc.outline.clientSize(), nullptr);
    show->setAttribute(Qt::WA_DeleteOnClose);
    show->show();
    presenter = new PresenterView(doc, doc.outline.clientSize(), show, nullptr);
    presenter->show();
    watched = show;
    sendKey(presenter, Qt::Key_Escape);
    QTRY_VERIFY(!watched);
}

QTEST_MAIN(TestPresenterView)
#include "test_presenter_view.moc"
