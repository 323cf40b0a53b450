// The editor window's selection as a user drives it: the mouse on the picture, the floating piece
// and the handles, the "Правка" menu, the frame's context menu and the system clipboard.
#include "paint/paint_window.h"
#include "paint/paint_work_area.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QTest>

using namespace velmar::paint;

namespace {

QImage numbered(QSize size)
{
    QImage img(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            img.setPixel(x, y, qRgb(x, y, 100));
    return img;
}

// Mouse events as the widgets under the pointer receive them, points in the work area.
void press(QWidget* w, QPoint workPos, Qt::MouseButton b = Qt::LeftButton)
{
    QTest::mousePress(w, b, Qt::NoModifier, w->mapFrom(w->parentWidget(), workPos));
}
void dragOn(QWidget* w, QPoint from, QPoint to)
{
    press(w, from);
    for (int i = 1; i <= 4; ++i) {
        QMouseEvent move(QEvent::MouseMove, w->mapFrom(w->parentWidget(), from + (to - from) * i / 4),
                         w->mapToGlobal(w->mapFrom(w->parentWidget(), from + (to - from) * i / 4)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w, &move);
    }
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, w->mapFrom(w->parentWidget(), to));
}

}  // namespace

class TestPaintEditWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void editItemsFollowPieceAndClipboard();
    void mouseSelectsMovesAndOpensFrameMenu();
    void handlesResizeCanvasAndFrame();

private:
    PaintWindow* m_window = nullptr;
    WorkArea* area() const { return m_window->workArea(); }
    QWidget* named(const char* name) const { return m_window->findChild<QWidget*>(QLatin1String(name)); }
};

void TestPaintEditWindow::init()
{
    QGuiApplication::clipboard()->clear();
    m_window = new PaintWindow;
    m_window->editPicture(numbered(QSize(120, 90)));
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
}

void TestPaintEditWindow::cleanup()
{
    delete m_window;
    m_window = nullptr;
}

void TestPaintEditWindow::editItemsFollowPieceAndClipboard()
{
    QAction* cut = m_window->command(PaintCommand::Cut);
    QAction* copy = m_window->command(PaintCommand::Copy);
    QAction* paste = m_window->command(PaintCommand::Paste);
    QAction* toFile = m_window->command(PaintCommand::CopyToFile);
    QVERIFY(!cut->isEnabled() && !copy->isEnabled() && !toFile->isEnabled());
    QVERIFY(!paste->isEnabled());

    m_window->command(PaintCommand::SelectAll)->trigger();
    QVERIFY(cut->isEnabled() && copy->isEnabled() && toFile->isEnabled());
    QVERIFY(named("Image7")->isVisible());
    copy->trigger();
    QCOMPARE(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), numbered(QSize(120, 90)));
    QVERIFY(paste->isEnabled());

    // A picture another program offers is pasted as a piece at the work area's corner.
    QImage red(10, 8, QImage::Format_RGB32);
    red.fill(Qt::red);
    QGuiApplication::clipboard()->setImage(red);
    paste->trigger();
    PaintDocument& doc = m_window->document();
    QVERIFY(doc.pieceFloating());
    QCOMPARE(doc.piece(), red);
    QCOMPARE(named("Image7")->geometry(), QRect(area()->pictureOrigin(), QSize(10, 8)));
    // The select-all piece went back into the picture when the paste came.
    QCOMPARE(doc.picture().pixel(119, 89), qRgb(119, 89, 100));

    cut->trigger();
    QVERIFY(!doc.pieceFloating());
    QVERIFY(named("Image7")->isHidden());
    QVERIFY(!copy->isEnabled());
    QCOMPARE(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), red);
}

void TestPaintEditWindow::mouseSelectsMovesAndOpensFrameMenu()
{
    m_window->editor().chooseTool(ToolId::Selection);
    const QPoint o = area()->pictureOrigin();
    QWidget* picture = named("Image1");
    dragOn(picture, o + QPoint(10, 10), o + QPoint(30, 20));
    PaintDocument& doc = m_window->document();
    QVERIFY(doc.pieceFloating());
    QWidget* piece = named("Image7");
    QCOMPARE(piece->geometry(), QRect(o + QPoint(10, 10), QSize(20, 10)));
    QVERIFY(named("Panel58")->isVisible());

    // The piece follows the pointer; the frame and handles come back at the release.
    dragOn(piece, o + QPoint(15, 15), o + QPoint(55, 45));
    QCOMPARE(piece->geometry(), QRect(o + QPoint(50, 40), QSize(20, 10)));
    QCOMPARE(named("Shape1")->geometry().topLeft(), o + QPoint(50, 40));
    QVERIFY(named("Panel45")->isVisible());
    QCOMPARE(m_window->statusText(5), QStringLiteral("50 x 40"));

    // The right button on the frame opens its menu, "Вставить" following the clipboard.
    press(piece, o + QPoint(55, 45), Qt::RightButton);
    QMenu* menu = m_window->frameMenu();
    QTRY_VERIFY(menu->isVisible());
    QVERIFY(!m_window->command(PaintCommand::PopupPaste)->isEnabled());
    menu->hide();
    QVERIFY(doc.pieceFloating());

    // Delete throws the piece away.
    QTest::keyClick(m_window, Qt::Key_Delete);
    QVERIFY(!doc.pieceFloating());
    QVERIFY(piece->isHidden());
    QCOMPARE(doc.picture().pixel(10, 10), qRgb(255, 255, 255));
    QCOMPARE(doc.picture().pixel(50, 40), qRgb(50, 40, 100));
}

void TestPaintEditWindow::handlesResizeCanvasAndFrame()
{
    PaintDocument& doc = m_window->document();
    QWidget* corner = named("Panel5");
    QVERIFY(corner->isVisible());
    const QPoint at = corner->geometry().center();
    dragOn(corner, at, at + QPoint(20, -30));
    QCOMPARE(doc.picture().size(), QSize(140, 60));
    QVERIFY(corner->isVisible());
    QCOMPARE(corner->geometry().topLeft(), area()->pictureOrigin() + QPoint(140, 60));
    QCOMPARE(m_window->statusText(1), QStringLiteral("140 x 60"));

    m_window->command(PaintCommand::SelectAll)->trigger();
    QWidget* left = named("Panel61");
    const QPoint l = left->geometry().center();
    dragOn(left, l, l + QPoint(40, 0));
    const QPoint o = area()->pictureOrigin();
    QCOMPARE(named("Image7")->geometry(), QRect(o + QPoint(40, 0), QSize(100, 60)));
    QCOMPARE(doc.piece().size(), QSize(100, 60));
}

QTEST_MAIN(TestPaintEditWindow)
#include "test_paint_edit_window.moc"
