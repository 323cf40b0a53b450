// The editor window's wheel, zoom keys, Esc, tool letters, pixel grid and the question about a
// picture larger than the one edited, driven through real widget events.
#include "paint/paint_option_list.h"
#include "paint/paint_picture_view.h"
#include "paint/paint_tool_column.h"
#include "paint/paint_window.h"
#include "paint/paint_work_area.h"
#include "support/scripted_dialogs.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QUrl>

using namespace velmar::paint;

namespace {

QImage numbered(QSize size)
{
    QImage img(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            img.setPixel(x, y, qRgb(x % 256, y % 256, 100));
    return img;
}

}  // namespace

class TestPaintViewKeys : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void wheelScrollsAndCtrlWheelZoomsAboutThePointer();
    void zoomKeysAndTheirLimits();
    void escapeMidDragThroughTheKeyboard();
    void toolLettersAreTextWhileTyping();
    void pixelGridOnlyWhenAskedAndZoomedIn();
    void oversizedPasteAsksWhetherToFit();
    void picturesDroppedFromOtherPrograms();

private:
    // A wheel turn over a work-area point. From X it reaches the picture first and goes on to the
    // work area; a synthesized event does not go on, so it is given to the work area here.
    void wheel(QPoint workPos, int angle, Qt::KeyboardModifiers mods = Qt::NoModifier, bool sideways = false)
    {
        const QPointF local(workPos);
        QWheelEvent e(local, area()->mapToGlobal(local), QPoint(), sideways ? QPoint(angle, 0) : QPoint(0, angle),
                      Qt::NoButton, mods, Qt::NoScrollPhase, false);
        QApplication::sendEvent(area(), &e);
    }
    // The picture pixel shown at a work-area point, as a reader of the screen would find it.
    QPointF pictureAt(QPoint workPos) const
    {
        return QPointF(workPos - area()->pictureOrigin()) / m_window->document().zoomFactor();
    }
    void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : m_window, Qt::Key(k), mods);
    }
    WorkArea* area() const { return m_window->workArea(); }

    PaintWindow* m_window = nullptr;
};

void TestPaintViewKeys::init()
{
    m_window = new PaintWindow;
    m_window->editPicture(numbered(QSize(600, 400)));
    m_window->resize(694, 480);
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    area()->takeFocus();
}

void TestPaintViewKeys::cleanup()
{
    delete m_window;
    m_window = nullptr;
}

void TestPaintViewKeys::wheelScrollsAndCtrlWheelZoomsAboutThePointer()
{
    PaintDocument& doc = m_window->document();
    const QPoint over = area()->pictureOrigin() + QPoint(120, 80);
    wheel(over, 120, Qt::ControlModifier);
    QCOMPARE(doc.zoomFactor(), 2);
    QCOMPARE(doc.currentTool(), ToolId::Pencil);
    // At 2x the picture is larger than the view: the point under the pointer stays.
    const QPointF held = pictureAt(over);
    QVERIFY2(std::abs(held.x() - 120) < 1 && std::abs(held.y() - 80) < 1,
             qPrintable(QStringLiteral("%1,%2").arg(held.x()).arg(held.y())));
    wheel(over, 120, Qt::ControlModifier);
    QCOMPARE(doc.zoomFactor(), 6);
    QVERIFY(std::abs(pictureAt(over).x() - 120) < 1 && std::abs(pictureAt(over).y() - 80) < 1);
    wheel(over, 120, Qt::ControlModifier);
    wheel(over, 120, Qt::ControlModifier);  // past the last row: stays at 8x
    QCOMPARE(doc.zoomFactor(), 8);
    QVERIFY(std::abs(pictureAt(over).x() - 120) < 1 && std::abs(pictureAt(over).y() - 80) < 1);

    // The plain wheel scrolls down, Shift+wheel and the sideways wheel across.
    QScrollBar* h = area()->horizontalBar();
    QScrollBar* v = area()->verticalBar();
    const int down = v->value(), across = h->value();
    wheel(over, -120);
    QCOMPARE(v->value(), down + 40);
    QCOMPARE(h->value(), across);
    wheel(over, -120, Qt::ShiftModifier);
    QCOMPARE(h->value(), across + 40);
    wheel(over, 120, Qt::NoModifier, true);
    QCOMPARE(h->value(), across);
    // Far past the end: the bar holds the picture in reach.
    for (int i = 0; i < 200; ++i)
        wheel(over, -120);
    QCOMPARE(v->value(), v->maximum());

    // Small steps of a smooth wheel add up to a zoom step.
    for (int i = 0; i < 7; ++i)
        wheel(over, -15, Qt::ControlModifier);
    QCOMPARE(doc.zoomFactor(), 8);
    wheel(over, -15, Qt::ControlModifier);
    QCOMPARE(doc.zoomFactor(), 6);
}

void TestPaintViewKeys::zoomKeysAndTheirLimits()
{
    PaintDocument& doc = m_window->document();
    // Below 1x down to 1/8x, and back.
    key(Qt::Key_Minus, Qt::ControlModifier);
    QCOMPARE(doc.zoom(), ZoomScale(1, 2));
    for (int i = 0; i < 3; ++i)
        key(Qt::Key_Minus, Qt::ControlModifier);
    QCOMPARE(doc.zoom(), ZoomScale(1, 8));
    for (int i = 0; i < 3; ++i)
        key(Qt::Key_Plus, Qt::ControlModifier);
    QCOMPARE(doc.zoomFactor(), 1);
    QCOMPARE(doc.zoom(), ZoomScale(1));
    key(Qt::Key_Plus, Qt::ControlModifier);
    QCOMPARE(doc.zoomFactor(), 2);
    key(Qt::Key_Equal, Qt::ControlModifier);
    QCOMPARE(doc.zoomFactor(), 6);
    // The zoom list shows the row even though the zoom tool was never chosen.
    QCOMPARE(m_window->toolColumn()->zoomList()->currentRow(), 2);
    key(Qt::Key_Minus, Qt::ControlModifier);
    QCOMPARE(doc.zoomFactor(), 2);
    // The keypad's own + without Ctrl is still the size key.
    const int pencil = doc.sizes().pencilSize;
    key(Qt::Key_Plus, Qt::KeypadModifier);
    QCOMPARE(doc.sizes().pencilSize, pencil + 1);
    QCOMPARE(doc.zoomFactor(), 2);
}

void TestPaintViewKeys::escapeMidDragThroughTheKeyboard()
{
    PaintDocument& doc = m_window->document();
    key(Qt::Key_R);
    QCOMPARE(doc.currentTool(), ToolId::Rectangle);
    const QImage before = doc.picture().copy();
    PictureView* view = area()->pictureView();
    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QMouseEvent drag(QEvent::MouseMove, QPointF(90, 70), view->mapToGlobal(QPointF(90, 70)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view, &drag);
    QVERIFY(doc.picture() != before);
    // A tool letter in the middle of the stroke changes nothing.
    key(Qt::Key_P);
    QCOMPARE(doc.currentTool(), ToolId::Rectangle);
    key(Qt::Key_Escape);
    QCOMPARE(doc.picture(), before);
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, QPoint(90, 70));
    QCOMPARE(doc.picture(), before);
    QVERIFY(!m_window->command(PaintCommand::Undo)->isEnabled());
}

void TestPaintViewKeys::toolLettersAreTextWhileTyping()
{
    PaintDocument& doc = m_window->document();
    // Every tool has a letter, and its button's tip names it.
    for (QToolButton* b : m_window->toolColumn()->findChildren<QToolButton*>())
        QVERIFY2(b->toolTip().contains(QRegularExpression(QStringLiteral(R"(\([A-Z]\)$)"))), qPrintable(b->toolTip()));
    key(Qt::Key_T);
    QCOMPARE(doc.currentTool(), ToolId::Text);
    PictureView* view = area()->pictureView();
    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, QPoint(120, 60));
    QPlainTextEdit* box = area()->textBox();
    QVERIFY(box->isVisible());
    QCOMPARE(QApplication::focusWidget(), box);
    QTest::keyClicks(box, QStringLiteral("PERLOFTSIZAU"));
    QCOMPARE(box->toPlainText(), QStringLiteral("PERLOFTSIZAU"));
    QCOMPARE(doc.currentTool(), ToolId::Text);
    // Out of the box the letters choose tools again; the text goes into the picture.
    const QImage before = doc.picture().copy();
    area()->takeFocus();
    key(Qt::Key_E);
    QCOMPARE(doc.currentTool(), ToolId::Eraser);
    QVERIFY(!box->isVisible());
    QVERIFY(doc.picture() != before);
    // The zoom tool's letter shows its list; the text tool is refused at 2x, as its button is.
    key(Qt::Key_Z);
    QCOMPARE(doc.currentTool(), ToolId::Zoom);
    QVERIFY(m_window->toolColumn()->zoomList()->isVisible());
    key(Qt::Key_Plus, Qt::ControlModifier);
    key(Qt::Key_T);
    QCOMPARE(doc.currentTool(), ToolId::Zoom);
    QVERIFY(!m_window->toolColumn()->button(ToolId::Text)->isChecked());
}

void TestPaintViewKeys::pixelGridOnlyWhenAskedAndZoomedIn()
{
    PaintDocument& doc = m_window->document();
    QImage white(40, 30, QImage::Format_RGB32);
    white.fill(Qt::white);
    m_window->editPicture(white);
    QAction* grid = m_window->findChild<QAction*>(QStringLiteral("paintPixelGrid"));
    QVERIFY(grid && grid->isCheckable() && !grid->isChecked());
    QVERIFY(m_window->toolColumn()->zoomList()->actions().contains(grid));
    const auto shown = [this] { return area()->pictureView()->grab().toImage(); };
    const auto greyCount = [](const QImage& img, int z) {
        int grey = 0;
        for (int x = 0; x < img.width() && x < 40 * z; ++x)
            grey += img.pixelColor(x, z + 2).red() == 128;
        return grey;
    };
    m_window->editor().zoomKeepingTool(3);
    QCOMPARE(greyCount(shown(), 8), 0);
    grid->setChecked(true);
    QImage on = shown();
    // One line at the right edge of every block of 8: the first pixels of each block stay white.
    QCOMPARE(on.pixelColor(7, 3).red(), 128);
    QCOMPARE(on.pixelColor(8, 3), QColor(Qt::white));
    QCOMPARE(on.pixelColor(3, 7).red(), 128);
    QVERIFY(greyCount(on, 8) >= on.width() / 8 - 1);
    // 2x: the grid would be every other pixel, so none is drawn.
    m_window->editor().zoomKeepingTool(1);
    QCOMPARE(greyCount(shown(), 2), 0);
    m_window->editor().zoomKeepingTool(2);
    QCOMPARE(shown().pixelColor(5, 3).red(), 128);
    QCOMPARE(doc.picture().pixel(0, 0), qRgb(255, 255, 255));  // drawn over the view, not the picture
}

void TestPaintViewKeys::oversizedPasteAsksWhetherToFit()
{
    ScriptedDialogs dialogs;
    PaintDocument& doc = m_window->document();
    QImage big(1200, 100, QImage::Format_RGB32);
    big.fill(qRgb(0, 0, 255));
    QGuiApplication::clipboard()->setImage(big);
    dialogs.answers = {QMessageBox::Yes};
    m_window->command(PaintCommand::Paste)->trigger();
    QCOMPARE(dialogs.questions.size(), 1);
    QVERIFY(dialogs.questions[0].text.contains(QStringLiteral("1200 x 100")));
    QVERIFY(dialogs.questions[0].text.contains(QStringLiteral("600 x 50")));
    QCOMPARE(doc.piece().size(), QSize(600, 50));
    // "No" keeps it as it came.
    dialogs.answers = {QMessageBox::No};
    m_window->command(PaintCommand::Paste)->trigger();
    QCOMPARE(dialogs.questions.size(), 2);
    QCOMPARE(doc.piece().size(), QSize(1200, 100));
    // A picture that fits asks nothing.
    QImage small(30, 30, QImage::Format_RGB32);
    small.fill(Qt::red);
    QGuiApplication::clipboard()->setImage(small);
    m_window->command(PaintCommand::Paste)->trigger();
    QCOMPARE(dialogs.questions.size(), 2);
    QCOMPARE(doc.piece().size(), QSize(30, 30));
}

void TestPaintViewKeys::picturesDroppedFromOtherPrograms()
{
    ScriptedDialogs dialogs;
    PaintDocument& doc = m_window->document();
    const auto drop = [this](QMimeData* data) {
        const QPoint at = area()->pictureOrigin() + QPoint(50, 50);
        QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(area(), &enter);
        const bool accepted = enter.isAccepted();
        QDropEvent dropped(QPointF(at), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(area(), &dropped);
        QCoreApplication::processEvents();
        delete data;
        return accepted;
    };
    // A picture file from the file manager: a floating piece, one step of the history.
    QTemporaryDir dir;
    QImage red(40, 30, QImage::Format_RGB32);
    red.fill(Qt::red);
    const QString file = dir.filePath(QStringLiteral("red.png"));
    QVERIFY(red.save(file));
    auto* fileData = new QMimeData;
    fileData->setUrls({QUrl::fromLocalFile(file)});
    QVERIFY(drop(fileData));
    QVERIFY(doc.pieceFloating());
    QCOMPARE(doc.piece().size(), QSize(40, 30));
    QCOMPARE(doc.piece().pixel(5, 5), qRgb(255, 0, 0));
    QVERIFY(m_window->command(PaintCommand::Undo)->isEnabled());
    // Picture data from a browser, larger than the picture: the question first.
    dialogs.answers = {QMessageBox::Yes};
    auto* imageData = new QMimeData;
    QImage wide(1800, 100, QImage::Format_RGB32);
    wide.fill(Qt::blue);
    imageData->setImageData(wide);
    QVERIFY(drop(imageData));
    QCOMPARE(dialogs.questions.size(), 1);
    QCOMPARE(doc.piece().size(), QSize(600, 33));
    // A file that is no picture is not taken; one that cannot be read is named in a message.
    const QString text = dir.filePath(QStringLiteral("notes.txt"));
    QFile(text).open(QIODevice::WriteOnly);
    auto* textData = new QMimeData;
    textData->setUrls({QUrl::fromLocalFile(text)});
    QVERIFY(!drop(textData));
    const QString broken = dir.filePath(QStringLiteral("broken.png"));
    {
        QFile f(broken);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("\x89PNG\r\n\x1a\nnot really");
    }
    auto* brokenData = new QMimeData;
    brokenData->setUrls({QUrl::fromLocalFile(broken)});
    drop(brokenData);
    QCOMPARE(dialogs.messages.size(), 1);
    QVERIFY(dialogs.messages[0].text.contains(QStringLiteral("broken.png")));
    QCOMPARE(doc.piece().size(), QSize(600, 33));
}

QTEST_MAIN(TestPaintViewKeys)
#include "test_paint_view_keys.moc"
