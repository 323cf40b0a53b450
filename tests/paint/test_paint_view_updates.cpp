// The editor window keeps what it shows current and its keys reachable: every change of the
// picture or the zoom repaints the view, a press on the picture or a tool takes the keyboard back
// from an option field, and the status bar's read-outs fit the window's default width.
#include "paint/paint_colour_strip.h"
#include "paint/paint_picture_view.h"
#include "paint/paint_tool_column.h"
#include "paint/paint_window.h"
#include "paint/paint_work_area.h"
#include "support/scripted_dialogs.h"

#include <QApplication>
#include <QLabel>
#include <QLayout>
#include <QPaintEvent>
#include <QSpinBox>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>

using namespace velmar::paint;

namespace {

QImage filled(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// Collects the region a widget is asked to paint.
class PaintRecorder : public QObject {
public:
    explicit PaintRecorder(QWidget* widget) { widget->installEventFilter(this); }
    QRegion painted;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
};

}  // namespace

class TestPaintViewUpdates : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void pictureAndZoomChangesRepaintTheView();
    void pressOnPictureOrToolEndsTypingInTheTolerance();
    void statusReadOutsFitTheDefaultWidth();

private:
    void stroke(QPoint from, QPoint to);
    PaintWindow* m_window = nullptr;
};

void TestPaintViewUpdates::init()
{
    m_window = new PaintWindow;
    m_window->resize(694, 480);
    // Larger than the work area: the view fills it whatever is shown, so it neither moves nor
    // resizes when the picture or the zoom changes.
    m_window->editPicture(filled(QSize(1000, 800), Qt::white));
    QVERIFY(QTest::qWaitForWindowActive(m_window));
}

void TestPaintViewUpdates::cleanup()
{
    delete m_window;
    m_window = nullptr;
}

void TestPaintViewUpdates::stroke(QPoint from, QPoint to)
{
    WorkArea* area = m_window->workArea();
    const QPoint o = area->pictureOrigin();
    area->pointerPressed(from + o, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    area->pointerMoved(to + o, Qt::LeftButton, Qt::NoModifier);
    area->pointerReleased(to + o, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
}

void TestPaintViewUpdates::pictureAndZoomChangesRepaintTheView()
{
    PictureView* view = m_window->workArea()->pictureView();
    PaintRecorder recorder(view);
    const QRect line(20, 20, 181, 1);
    stroke(line.topLeft(), line.topRight());
    QTRY_VERIFY(recorder.painted.contains(line));
    const QRect shown = view->rect();

    // Each change, and what of the view must be painted anew after it.
    const auto repaints = [&](const char* what, const std::function<void()>& change) {
        QCoreApplication::processEvents();
        recorder.painted = QRegion();
        const QRect geometryBefore = view->geometry();
        change();
        QVERIFY2(view->geometry() == geometryBefore, what);  // the view itself stays put
        QTRY_VERIFY2(recorder.painted.contains(shown), what);
    };
    repaints("undo", [&] { m_window->command(PaintCommand::Undo)->trigger(); });
    QCOMPARE(m_window->document().picture().pixelColor(100, 20), QColor(Qt::white));
    repaints("redo", [&] { m_window->command(PaintCommand::Redo)->trigger(); });
    m_window->document().setBackColour(qRgb(0, 0, 255));
    ScriptedDialogs dialogs;  // "Создать" asks about the line drawn: "Нет"
    repaints("new picture", [&] { m_window->command(PaintCommand::New)->trigger(); });
    QCOMPARE(dialogs.questions.size(), 1);
    repaints("zoom 8", [&] { m_window->editor().chooseZoom(3); });
    repaints("zoom 1", [&] { m_window->editor().chooseZoom(0); });
    repaints("same-size picture", [&] { m_window->document().setPicture(filled(QSize(1000, 800), Qt::green)); });
}

void TestPaintViewUpdates::pressOnPictureOrToolEndsTypingInTheTolerance()
{
    m_window->editor().chooseTool(ToolId::Fill);
    auto* tolerance = m_window->findChild<QSpinBox*>(QStringLiteral("UpDown1"));
    QVERIFY(tolerance && tolerance->isVisible());
    tolerance->setFocus(Qt::MouseFocusReason);  // as a click into the field gives it
    tolerance->selectAll();
    QTest::keyClicks(tolerance, QStringLiteral("30"));
    QCOMPARE(m_window->document().fillTolerance(), 30);

    // The fill: a press on the picture, which takes the keyboard back.
    PictureView* view = m_window->workArea()->pictureView();
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QCOMPARE(m_window->document().picture().pixelColor(10, 10), QColor(Qt::black));
    QVERIFY(QApplication::focusWidget() != tolerance);
    // Ctrl+Z, sent where the keyboard sends it, undoes the fill and leaves the field alone.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(m_window->document().picture().pixelColor(10, 10), QColor(Qt::white));
    QCOMPARE(tolerance->value(), 30);

    // A tool button or a palette colour does the same, though neither takes the focus itself.
    for (QWidget* target : {static_cast<QWidget*>(m_window->toolColumn()->button(ToolId::Fill)),
                            m_window->colourStrip()->findChild<QWidget*>(QStringLiteral("Panel17"))}) {
        tolerance->setFocus(Qt::MouseFocusReason);
        QCOMPARE(QApplication::focusWidget(), tolerance);
        QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        QVERIFY2(QApplication::focusWidget() == m_window->workArea(), qPrintable(target->objectName()));
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Plus, Qt::KeypadModifier);
    QCOMPARE(tolerance->value(), 30);
}

void TestPaintViewUpdates::statusReadOutsFitTheDefaultWidth()
{
    // The widest read-outs each panel shows.
    const QStringList widest = {
        QStringLiteral("Картинка"),    QStringLiteral("4000 x 3000"), QStringLiteral("Толщина"),
        QStringLiteral("500"),         QStringLiteral("Курсор"),      QStringLiteral("3999 x 2999"),
        QStringLiteral("4000 x 3000"), QStringLiteral("Цвет"),        QStringLiteral("R-255 G-255 B-255")};
    QStatusBar* bar = m_window->statusBar();
    for (int i = 0; i < widest.size(); ++i)
        bar->findChild<QLabel*>(QStringLiteral("statusPanel%1").arg(i))->setText(widest[i]);
    QCOMPARE(m_window->width(), 694);
    QTRY_VERIFY(bar->isVisible());
    bar->layout()->activate();
    for (int i = 0; i < widest.size(); ++i) {
        const auto* label = bar->findChild<QLabel*>(QStringLiteral("statusPanel%1").arg(i));
        const int needed = label->fontMetrics().horizontalAdvance(widest[i]);
        QVERIFY2(label->contentsRect().width() >= needed,
                 qPrintable(QStringLiteral("panel %1: %2 < %3").arg(i).arg(label->contentsRect().width()).arg(needed)));
        QVERIFY2(
            label->geometry().right() < bar->width(),
            qPrintable(
                QStringLiteral("panel %1 ends at %2 of %3").arg(i).arg(label->geometry().right()).arg(bar->width())));
    }
}

QTEST_MAIN(TestPaintViewUpdates)
#include "test_paint_view_updates.moc"
