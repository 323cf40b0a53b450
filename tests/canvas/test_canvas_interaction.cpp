// Creating, selecting, moving, resizing and dropping objects with the mouse on the real window.
#include "canvas/canvas_widget.h"
#include "canvas/object_widgets.h"
#include "canvas/outline_view.h"
#include "canvas/selection_handles.h"
#include "storage/outline_io.h"
#include "support/window_fixture.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <QWindow>

#include <functional>

using namespace velmar;

namespace {

// Counts the presses a widget receives, before any of its other filters.
struct PressesSeen : QObject {
    explicit PressesSeen(QWidget* widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override
    {
        presses += event->type() == QEvent::MouseButtonPress;
        return false;
    }
    int presses = 0;
};

// A left drag of a widget from one point to another (in the widget's coordinates at the press),
// with a look at the window before the release.
void dragWithLook(QWidget* widget, QPoint from, QPoint to, const std::function<void()>& look)
{
    const QPoint origin = widget->mapToGlobal(QPoint(0, 0));
    auto send = [&](QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons) {
        const QPoint local = pos + origin - widget->mapToGlobal(QPoint(0, 0));
        QMouseEvent event(type, QPointF(local), QPointF(pos + origin), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(widget, &event);
    };
    send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, (from + to) / 2, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    look();
    send(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
}

// A left click handed to the window, which finds the widget under the point itself.
void pressThroughWindow(WindowFixture& f, QPoint inWindow)
{
    QWindow* handle = f.window->windowHandle();
    const QPointF global = f.window->mapToGlobal(QPointF(inWindow));
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, QPointF(inWindow), global, Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(handle, &event);
    }
}

}  // namespace

class TestCanvasInteraction : public QObject {
    Q_OBJECT
private slots:
    void createFrameAndObjectsFromMenus();
    void rightPressOnFrameOpensItsMenu();
    void movingAFrameRecordsOneStep();
    void selectingRecordsNothingAndEachMoveIsOneStep();
    void handlesStandAroundTheSelection();
    void resizingThroughAHandle();
    void altDropMovesATextFieldIntoAnotherFrame();
    void editModeOff();
    void arrowsAreCreatedDraggedAndChanged();
    void arrowsStayWithinWhatAFileHolds();
    void gridStepCaptionsAndSnapping();
    void openPictureTakesEveryTypeAndKeepsItsAspect();
    void capacityRefusal();
    void titleMoveSurvivesUndoAndRedo();
    void handlesOutliveEveryRebuild();
    void escapeBreaksOffADrag();
    void attachedArrowFollowsItsFrame();
    void textFieldFacesDrawAsTheirEditors();
    void aFaceGivesWayToItsEditor();

private:
    int createFrameAt(WindowFixture& f, QPoint at)
    {
        f.doc().interaction.creationPoint = at;
        f.command(Command::CreateFrame)->trigger();
        return f.doc().outline.count(ObjectKind::Frame);
    }
    // Right-click inside frame slot at point p (frame coordinates), choosing nothing.
    void rightClickFrame(WindowFixture& f, int slot, QPoint p)
    {
        QWidget* w = f.widgetOf(f.doc().outline.frame(slot).id);
        sendMouse(w, QEvent::MouseButtonPress, p, Qt::RightButton);
        sendMouse(w, QEvent::MouseButtonRelease, p, Qt::RightButton);
        f.window->popupMenu(Menu::Frame)->hide();
    }
};

void TestCanvasInteraction::createFrameAndObjectsFromMenus()
{
    WindowFixture f;
    f.beginOutline();
    QCOMPARE(createFrameAt(f, QPoint(13, 41)), 1);
    const FrameObject& frame = f.doc().outline.frame(1);
    QCOMPARE(frame.title, QStringLiteral("Фрейм1"));
    QCOMPARE(frame.bounds, QRect(12, 40, 150, 150));  // snapped to the grid of 2
    QCOMPARE(f.widgetOf(frame.id)->geometry(), frame.bounds);
    QVERIFY(f.doc().state.modified);
    QCOMPARE(f.doc().history.currentStep, 0);
    QVERIFY(f.command(Command::Save)->isEnabled());
    QVERIFY(!f.command(Command::FrameTitlesButton)->isEnabled());  // the step that follows disables it again
    QCOMPARE(f.doc().interaction.currentCompanion, frame.id);

    // A text field and a picture in the frame, at the point of the right-click.
    rightClickFrame(f, 1, QPoint(130, 20));
    f.command(Command::CreateTextField)->trigger();
    const TextFieldObject& text = f.doc().outline.textField(1);
    QCOMPARE(text.text, QStringLiteral("Текст1"));
    QCOMPARE(text.parentFrame, quint8(1));
    QCOMPARE(text.background, frame.colour);
    QCOMPARE(text.bounds, QRect(120, 8, 30, 30));  // fitted: 20 px from the edge, moved up to 30 high
    QCOMPARE(f.widgetOf(text.id)->parentWidget(), f.widgetOf(frame.id));

    rightClickFrame(f, 1, QPoint(10, 100));
    f.command(Command::CreatePicture)->trigger();
    const PictureObject& picture = f.doc().outline.picture(1);
    // Fitted into the frame inside its two-pixel edge (border line and bevel), which stays visible.
    QCOMPARE(picture.bounds, QRect(10, 100, 138, 48));
    QCOMPARE(picture.bitmap().size(), QSize(200, 150));
    QCOMPARE(picture.minimalText, QStringLiteral("<Неопределен>"));
    QCOMPARE(f.doc().outline.objectSequence().length(), 2);
    QCOMPARE(f.doc().history.currentStep, 2);

    // A new frame is named after the count, whatever the others are called.
    f.doc().outline.frame(1).title = QStringLiteral("Опыты");
    QCOMPARE(createFrameAt(f, QPoint(300, 60)), 2);
    QCOMPARE(f.doc().outline.frame(2).title, QStringLiteral("Фрейм2"));
}

void TestCanvasInteraction::rightPressOnFrameOpensItsMenu()
{
    WindowFixture f;
    f.beginOutline();
    createFrameAt(f, QPoint(10, 40));
    f.doc().outline.frame(1).titleVisible = false;
    QWidget* w = f.widgetOf(f.doc().outline.frame(1).id);
    sendMouse(w, QEvent::MouseButtonPress, QPoint(30, 50), Qt::RightButton);
    QMenu* menu = f.window->popupMenu(Menu::Frame);
    QVERIFY(menu->isVisible());
    menu->hide();
    QCOMPARE(f.doc().interaction.currentObject, f.doc().outline.frame(1).id);
    QCOMPARE(f.doc().interaction.creationPoint, QPoint(30, 50));
    QVERIFY(!f.command(Command::FrameTitlePopup)->isChecked());
    QVERIFY(!f.command(Command::FrameTitlesButton)->isChecked());
    QVERIFY(f.command(Command::FrameTitlesButton)->isEnabled());
    QVERIFY(!f.command(Command::StretchButton)->isEnabled());

    // The frame keeps its black handles only while it is chosen: a right press on a picture lying
    // on the canvas chooses the picture alone, and the frame's handles go with its choice.
    sendMouse(w, QEvent::MouseButtonPress, QPoint(30, 50), Qt::LeftButton);
    sendMouse(w, QEvent::MouseButtonRelease, QPoint(30, 50), Qt::LeftButton);
    QVERIFY(f.window->selectionHandles()->blackSetVisible());
    f.doc().outline.createPicture(QRect(300, 200, 50, 40), 0);
    f.window->documents().recordStep(StepKind::Full);
    QWidget* picture = f.widgetOf(f.doc().outline.picture(1).id);
    sendMouse(picture, QEvent::MouseButtonPress, QPoint(10, 10), Qt::RightButton);
    f.window->popupMenu(Menu::Picture)->hide();
    QCOMPARE(f.doc().interaction.outerSelection, ObjectId(0));
    QVERIFY(!f.window->selectionHandles()->blackSetVisible());
    QVERIFY(f.window->selectionHandles()->blueSetVisible());

    // The canvas menu opens only while an outline is open.
    sendMouse(f.window->canvas(), QEvent::MouseButtonPress, QPoint(400, 300), Qt::RightButton);
    QVERIFY(f.window->popupMenu(Menu::Canvas)->isVisible());
    f.window->popupMenu(Menu::Canvas)->hide();
    QCOMPARE(f.doc().interaction.creationPoint, QPoint(400, 300));
    f.doc().session.outlineOpen = false;
    sendMouse(f.window->canvas(), QEvent::MouseButtonPress, QPoint(400, 300), Qt::RightButton);
    QVERIFY(!f.window->popupMenu(Menu::Canvas)->isVisible());
}

void TestCanvasInteraction::movingAFrameRecordsOneStep()
{
    WindowFixture f;
    f.beginOutline();
    createFrameAt(f, QPoint(10, 40));
    const int step = f.doc().history.currentStep;
    QWidget* w = f.widgetOf(f.doc().outline.frame(1).id);

    // Press and release without moving: no step, but the frame is selected.
    sendMouse(w, QEvent::MouseButtonPress, QPoint(50, 50), Qt::LeftButton);
    sendMouse(w, QEvent::MouseButtonRelease, QPoint(50, 50), Qt::LeftButton);
    QCOMPARE(f.doc().history.currentStep, step);
    QCOMPARE(f.doc().interaction.outerSelection, f.doc().outline.frame(1).id);
    QVERIFY(f.component("Panel3")->isVisible());

    dragWidget(w, QPoint(50, 50), QPoint(90, 70));
    QCOMPARE(f.doc().history.currentStep, step + 1);
    QCOMPARE(f.doc().outline.frame(1).bounds.topLeft(), QPoint(50, 60));
    QCOMPARE(w->pos(), QPoint(50, 60));
    QVERIFY(f.component("Panel3")->isVisible());
    QCOMPARE(f.component("Panel3")->pos(), QPoint(50, 60));
}

void TestCanvasInteraction::selectingRecordsNothingAndEachMoveIsOneStep()
{
    WindowFixture f;
    f.beginOutline();
    createFrameAt(f, QPoint(10, 40));
    f.doc().state.modified = false;
    const int step = f.doc().history.currentStep;
    auto* frame = static_cast<FrameWidget*>(f.widgetOf(f.doc().outline.frame(1).id));
    // A click on the title selects the frame: no step, nothing to save.
    sendMouse(frame->title(), QEvent::MouseButtonPress, QPoint(3, 3), Qt::LeftButton);
    sendMouse(frame->title(), QEvent::MouseButtonRelease, QPoint(3, 3), Qt::LeftButton);
    QCOMPARE(f.doc().history.currentStep, step);
    QVERIFY(!f.doc().state.modified);
    QCOMPARE(f.doc().outline.frame(1).bounds.topLeft(), QPoint(10, 40));

    // With the grid on, a key moves the frame, then a picture in it, by the grid's step: two
    // moves, two steps, and two undos bring both back.
    f.doc().session.gridOn = true;
    f.doc().session.gridStep = 2;
    auto* window = f.window.get();
    QVERIFY(window->findChild<QAction*>(QStringLiteral("moveRight")));
    window->findChild<QAction*>(QStringLiteral("moveRight"))->trigger();
    QCOMPARE(f.doc().history.currentStep, step + 1);
    QCOMPARE(f.doc().outline.frame(1).bounds.topLeft(), QPoint(12, 40));
    rightClickFrame(f, 1, QPoint(12, 24));
    f.command(Command::CreatePicture)->trigger();
    const int afterPicture = f.doc().history.currentStep;
    const ObjectId picture = f.doc().outline.picture(1).id;
    const QPoint pictureAt = f.doc().outline.picture(1).bounds.topLeft();
    sendMouse(f.widgetOf(picture), QEvent::MouseButtonPress, QPoint(5, 5), Qt::LeftButton);
    sendMouse(f.widgetOf(picture), QEvent::MouseButtonRelease, QPoint(5, 5), Qt::LeftButton);
    QCOMPARE(f.doc().history.currentStep, afterPicture);
    window->findChild<QAction*>(QStringLiteral("moveDown"))->trigger();
    QCOMPARE(f.doc().history.currentStep, afterPicture + 1);
    QCOMPARE(f.doc().outline.picture(1).bounds.topLeft(), pictureAt + QPoint(0, 2));
    f.command(Command::Undo)->trigger();
    QCOMPARE(f.doc().outline.picture(1).bounds.topLeft(), pictureAt);
    QCOMPARE(f.doc().history.currentStep, afterPicture);
}

void TestCanvasInteraction::handlesStandAroundTheSelection()
{
    WindowFixture f;
    f.beginOutline();
    createFrameAt(f, QPoint(10, 40));
    QWidget* w = f.widgetOf(f.doc().outline.frame(1).id);
    sendMouse(w, QEvent::MouseButtonPress, QPoint(50, 50), Qt::LeftButton);
    sendMouse(w, QEvent::MouseButtonRelease, QPoint(50, 50), Qt::LeftButton);
    QCOMPARE(f.component("Panel5")->pos(), QPoint(151, 181));
    QCOMPARE(f.component("Panel7")->pos(), QPoint(81, 40));
    QCOMPARE(f.component("Shape1")->geometry(), QRect(8, 38, 154, 154));

    // A text field inside the frame gets the blue set centred on it.
    f.doc().session.gridOn = false;
    f.doc().interaction.currentObject = f.doc().outline.frame(1).id;
    f.doc().interaction.creationPoint = QPoint(20, 41);
    f.command(Command::CreateTextField)->trigger();
    TextFieldObject& text = f.doc().outline.textField(1);
    text.bounds = QRect(20, 30, 66, 19);
    f.window->outlineView()->sync();
    QWidget* tw = f.widgetOf(text.id);
    sendMouse(static_cast<QTextEdit*>(tw)->viewport(), QEvent::MouseButtonPress, QPoint(5, 5), Qt::RightButton);
    f.window->popupMenu(Menu::TextField)->hide();
    QCOMPARE(f.component("Panel12")->pos(), QPoint(27, 67));
    QCOMPARE(f.component("Panel14")->pos(), QPoint(93, 86));
    // Every adornment belongs to the canvas, the outline too, one pixel outside the field.
    QCOMPARE(f.component("Shape2")->parentWidget(), f.window->canvas());
    QCOMPARE(f.component("Shape2")->geometry(), QRect(29, 69, 68, 21));
    QCOMPARE(f.doc().interaction.innerSelection, text.id);
    QCOMPARE(f.doc().interaction.outerSelection, f.doc().outline.frame(1).id);

    // Each handle carries the set and edge it drags, and stands where the layout puts that edge:
    // a handle that drags another edge than the one it stands on would size the object wrongly.
    const SelectionHandles* handles = f.window->selectionHandles();
    const AdornmentLayout black = *blackSetFor(f.doc().outline, f.doc().outline.frame(1).id);
    const AdornmentLayout blue = *blueSetFor(f.doc().outline, text.id);
    int handlesSeen = 0;
    for (QWidget* h : f.window->canvas()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const std::optional<HandleRole> role = handles->roleOf(h);
        if (!role || role->kind != HandleRole::Kind::SetHandle)
            continue;
        QVERIFY2(h->isVisible(), qPrintable(h->objectName()));
        QCOMPARE(h->geometry(), (role->set == SelectionSet::Black ? black : blue).rect(role->edge));
        ++handlesSeen;
    }
    QCOMPARE(handlesSeen, 18);
    QVERIFY(!handles->roleOf(f.component("Shape1")));
}

void TestCanvasInteraction::resizingThroughAHandle()
{
    WindowFixture f;
    f.beginOutline();
    createFrameAt(f, QPoint(10, 40));
    QWidget* w = f.widgetOf(f.doc().outline.frame(1).id);
    sendMouse(w, QEvent::MouseButtonPress, QPoint(50, 50), Qt::LeftButton);
    sendMouse(w, QEvent::MouseButtonRelease, QPoint(50, 50), Qt::LeftButton);
    const int step = f.doc().history.currentStep;

    QWidget* se = f.component("Panel5");
    sendMouse(se, QEvent::MouseButtonPress, QPoint(3, 3), Qt::LeftButton);
    sendMouse(se, QEvent::MouseButtonRelease, QPoint(3, 3), Qt::LeftButton);
    QCOMPARE(f.doc().history.currentStep, step);  // released without a change

    dragWidget(f.component("Panel5"), QPoint(3, 3), QPoint(43, 23));
    QCOMPARE(f.doc().history.currentStep, step + 1);
    QCOMPARE(f.doc().outline.frame(1).bounds, QRect(10, 40, 190, 170));
    QCOMPARE(f.component("Panel5")->pos(), QPoint(10 + 190 - 9, 40 + 170 - 9));

    dragWidget(f.component("Panel10"), QPoint(3, 3), QPoint(-7, 3));  // west edge, 10 px out
    QCOMPARE(f.doc().outline.frame(1).bounds, QRect(0, 40, 200, 170));
}

void TestCanvasInteraction::altDropMovesATextFieldIntoAnotherFrame()
{
    WindowFixture f;
    f.beginOutline();
    createFrameAt(f, QPoint(10, 40));
    createFrameAt(f, QPoint(300, 40));
    rightClickFrame(f, 1, QPoint(20, 40));
    f.command(Command::CreateTextField)->trigger();
    const ObjectId id = f.doc().outline.textField(1).id;
    auto* text = static_cast<QTextEdit*>(f.widgetOf(id));
    const int step = f.doc().history.currentStep;

    // From the text field at (5, 5) to the point (320, 120) of the canvas, inside frame 2.
    const QPoint start(5, 5);
    const QPoint target = text->viewport()->mapFrom(f.window->canvas(), QPoint(320, 120));
    dragWidget(text->viewport(), start, target, Qt::AltModifier);
    const TextFieldObject& moved = f.doc().outline.textField(1);
    QCOMPARE(moved.parentFrame, quint8(2));
    QCOMPARE(moved.bounds.topLeft(), QPoint(20, 80));
    QCOMPARE(f.widgetOf(id)->parentWidget(), f.widgetOf(f.doc().outline.frame(2).id));
    QCOMPARE(f.doc().history.currentStep, step + 1);

    // Dropped on the empty canvas, it stays where it was.
    const QPoint away = text->viewport()->mapFrom(f.window->canvas(), QPoint(600, 400));
    dragWidget(text->viewport(), start, away, Qt::AltModifier);
    QCOMPARE(f.doc().outline.textField(1).parentFrame, quint8(2));
    QCOMPARE(f.doc().history.currentStep, step + 1);
}

void TestCanvasInteraction::editModeOff()
{
    WindowFixture f;
    f.beginOutline();
    createFrameAt(f, QPoint(10, 40));
    f.command(Command::EditModeButton)->trigger();
    QVERIFY(!f.doc().session.editMode);
    QVERIFY(!f.command(Command::EditMode)->isChecked());
    auto* frame = static_cast<FrameWidget*>(f.widgetOf(f.doc().outline.frame(1).id));
    sendMouse(frame, QEvent::MouseButtonPress, QPoint(50, 50), Qt::RightButton);
    QVERIFY(!f.window->popupMenu(Menu::Frame)->isVisible());
    dragWidget(frame, QPoint(50, 50), QPoint(90, 90));
    QCOMPARE(f.doc().outline.frame(1).bounds.topLeft(), QPoint(10, 40));
    sendMouse(frame->title(), QEvent::MouseButtonPress, QPoint(3, 3), Qt::RightButton);
    QVERIFY(f.window->popupMenu(Menu::Frame)->isVisible());
    f.window->popupMenu(Menu::Frame)->hide();
}

void TestCanvasInteraction::arrowsAreCreatedDraggedAndChanged()
{
    WindowFixture f;
    f.beginOutline();
    f.doc().interaction.creationPoint = QPoint(50, 60);
    f.command(Command::CreateArrow)->trigger();
    const ArrowObject& a = f.doc().outline.arrow(1);
    QCOMPARE(QList<int>({a.x1, a.y1, a.x2, a.y2, a.penWidth}), QList<int>({50, 60, 80, 60, 1}));
    QWidget* w = f.widgetOf(a.id);
    QCOMPARE(w->geometry(), QRect(35, 45, 60, 30));

    // Pressing without moving records nothing; dragging moves the whole arrow once.
    const int step = f.doc().history.currentStep;
    sendMouse(w, QEvent::MouseButtonPress, QPoint(20, 15), Qt::LeftButton);
    sendMouse(w, QEvent::MouseButtonRelease, QPoint(20, 15), Qt::LeftButton);
    QCOMPARE(f.doc().history.currentStep, step);
    QVERIFY(f.component("Panel23")->isVisible());
    QCOMPARE(f.component("Panel23")->pos(), QPoint(45, 55));
    dragWidget(w, QPoint(20, 15), QPoint(30, 35));
    QCOMPARE(f.doc().history.currentStep, step + 1);
    QCOMPARE(QList<int>({a.x1, a.y1, a.x2, a.y2}), QList<int>({60, 80, 90, 80}));

    // Presses coming through the window right after the arrow moved: the empty corner of its
    // rectangle belongs to what lies beneath, its stroke to the arrow.
    PressesSeen seen(w);
    pressThroughWindow(f, w->mapTo(f.window.get(), QPoint(2, 2)));
    QCOMPARE(seen.presses, 0);
    pressThroughWindow(f, w->mapTo(f.window.get(), QPoint(30, 15)));
    QCOMPARE(seen.presses, 1);
    QCOMPARE(f.doc().history.currentStep, step + 1);

    // Dragging an end handle rebuilds the arrow between the two handles.
    dragWidget(f.component("Panel24"), QPoint(5, 5), QPoint(45, 25));
    QCOMPARE(QList<int>({a.x1, a.y1, a.x2, a.y2}), QList<int>({60, 80, 130, 100}));
    QCOMPARE(f.doc().history.currentStep, step + 2);

    // Thicker up to 10 and no further; thinner down to 1.
    sendMouse(f.widgetOf(a.id), QEvent::MouseButtonPress, QPoint(15, 15), Qt::RightButton);
    f.window->popupMenu(Menu::Arrow)->hide();
    for (int i = 0; i < 12; ++i)
        f.command(Command::ArrowThicker)->trigger();
    QCOMPARE(f.doc().outline.arrow(1).penWidth, 10);
    QCOMPARE(f.doc().history.currentStep, step + 2 + 9);
    for (int i = 0; i < 12; ++i)
        f.command(Command::ArrowThinner)->trigger();
    QCOMPARE(f.doc().outline.arrow(1).penWidth, 1);

    f.dialogs.colours.push_back(QColor(255, 0, 0));
    f.command(Command::ArrowColour)->trigger();
    QCOMPARE(f.doc().outline.arrow(1).colour, ColourValue(0x0000FF));
    f.command(Command::ArrowColour)->trigger();  // cancelled
    QCOMPARE(f.doc().outline.arrow(1).colour, ColourValue(0x0000FF));

    f.dialogs.answers = {QMessageBox::No};
    f.command(Command::DeleteArrow)->trigger();
    QCOMPARE(f.doc().outline.count(ObjectKind::Arrow), 1);
    f.dialogs.answers = {QMessageBox::Yes};
    f.command(Command::DeleteArrow)->trigger();
    QCOMPARE(f.doc().outline.count(ObjectKind::Arrow), 0);
    QCOMPARE(f.dialogs.questions.last().text, QStringLiteral("Вы действительно хотите удалить стрелку?"));
    QVERIFY(!f.command(Command::FrameTitlesButton)->isEnabled());
}

void TestCanvasInteraction::attachedArrowFollowsItsFrame()
{
    WindowFixture f;
    f.beginOutline();
    createFrameAt(f, QPoint(10, 40));  // 150 × 150
    f.doc().interaction.creationPoint = QPoint(300, 300);
    f.command(Command::CreateArrow)->trigger();
    const ObjectId arrow = f.doc().outline.arrow(1).id;
    QWidget* frame = f.widgetOf(f.doc().outline.frame(1).id);
    sendMouse(f.widgetOf(arrow), QEvent::MouseButtonPress, QPoint(20, 15), Qt::LeftButton);
    sendMouse(f.widgetOf(arrow), QEvent::MouseButtonRelease, QPoint(20, 15), Qt::LeftButton);
    const int step = f.doc().history.currentStep;

    // The head dragged onto the frame: the frame is highlighted until the drop, then holds it.
    QWidget* rim = f.component("attachTarget1");
    dragWithLook(f.component("Panel24"), QPoint(5, 5), QPoint(5 - 220, 5 - 200), [&] {
        QVERIFY(rim->isVisible());
        QCOMPARE(rim->geometry(), QRect(7, 37, 156, 156));
    });
    QVERIFY(!rim->isVisible());
    const ArrowObject& a = f.doc().outline.arrow(1);
    QCOMPARE(QPoint(a.x2, a.y2), QPoint(110, 100));
    QCOMPARE(a.endAttachment.slot, 1);
    QCOMPARE(f.doc().history.currentStep, step + 1);

    // Dragging the frame takes the head along at once, not only on release; one step.
    const QRect before = f.widgetOf(arrow)->geometry();
    dragWithLook(frame, QPoint(50, 50), QPoint(90, 70), [&] {
        QCOMPARE(QPoint(a.x2, a.y2), QPoint(150, 120));
        QCOMPARE(f.widgetOf(arrow)->geometry(), QRect(135, 105, 180, 210));
    });
    QCOMPARE(f.doc().history.currentStep, step + 2);
    QCOMPARE(QPoint(a.x2, a.y2), QPoint(150, 120));

    // Sized from its right edge (the black set shows after the move), the frame keeps the head
    // at two thirds of its width.
    dragWidget(f.component("Panel8"), QPoint(3, 3), QPoint(153, 3));
    QCOMPARE(f.doc().outline.frame(1).bounds, QRect(50, 60, 300, 150));
    QCOMPARE(QPoint(a.x2, a.y2), QPoint(250, 120));

    // Undo brings the frame and the arrow back together, the attachment with them.
    f.command(Command::Undo)->trigger();
    f.command(Command::Undo)->trigger();
    const ArrowObject& back = f.doc().outline.arrow(1);
    QCOMPARE(QPoint(back.x2, back.y2), QPoint(110, 100));
    QCOMPARE(back.endAttachment.slot, 1);
    QCOMPARE(f.widgetOf(back.id)->geometry(), before);

    // The head dragged off the frame onto bare canvas is let go: the frame moves alone.
    sendMouse(f.widgetOf(back.id), QEvent::MouseButtonPress, QPoint(100, 100), Qt::LeftButton);
    sendMouse(f.widgetOf(back.id), QEvent::MouseButtonRelease, QPoint(100, 100), Qt::LeftButton);
    QVERIFY(f.component("Panel24")->isVisible());
    dragWidget(f.component("Panel24"), QPoint(5, 5), QPoint(5 + 300, 5));
    QVERIFY(!f.doc().outline.arrow(1).endAttachment.attached());
    dragWidget(f.widgetOf(f.doc().outline.frame(1).id), QPoint(50, 50), QPoint(60, 60));
    QCOMPARE(QPoint(f.doc().outline.arrow(1).x2, f.doc().outline.arrow(1).y2), QPoint(410, 100));
}

void TestCanvasInteraction::arrowsStayWithinWhatAFileHolds()
{
    // Dragged far off the canvas, an arrow and its ends stop where an outline file can still hold
    // them, so the saved outline reads back.
    WindowFixture f;
    f.beginOutline();
    f.doc().interaction.creationPoint = QPoint(50, 60);
    f.command(Command::CreateArrow)->trigger();
    const ArrowObject& a = f.doc().outline.arrow(1);
    dragWidget(f.widgetOf(a.id), QPoint(20, 15), QPoint(20 - 40000, 15 + 40000));
    QCOMPARE(QList<int>({a.x1, a.y1, a.x2, a.y2}), QList<int>({-32768, 32767, -32738, 32767}));
    dragWidget(f.component("Panel24"), QPoint(5, 5), QPoint(5 + 70000, 5 - 70000));
    QCOMPARE(QList<int>({a.x1, a.y1, a.x2, a.y2}), QList<int>({-32768, 32767, 32767, -32768}));

    const QString path = f.home.filePath(QStringLiteral("far.vmd"));
    QVERIFY(writeOutlineFile(path, f.doc()).ok);
    const LoadResult loaded = readOutlineFile(path, QSize(0, 0));
    QVERIFY2(loaded.ok, qPrintable(loaded.message));
    QCOMPARE(loaded.outline.arrow(1).x2, 32767);
}

void TestCanvasInteraction::gridStepCaptionsAndSnapping()
{
    WindowFixture f;
    f.beginOutline();
    f.command(Command::GridButton)->trigger();  // grid off: snaps once more, then stops snapping
    QVERIFY(!f.command(Command::Grid)->isChecked());
    createFrameAt(f, QPoint(13, 41));
    QCOMPARE(f.doc().outline.frame(1).bounds.topLeft(), QPoint(13, 41));
    QWidget* frame = f.widgetOf(f.doc().outline.frame(1).id);
    sendMouse(frame, QEvent::MouseButtonPress, QPoint(50, 50), Qt::LeftButton);
    sendMouse(frame, QEvent::MouseButtonRelease, QPoint(50, 50), Qt::LeftButton);
    f.command(Command::GrowGrid)->trigger();
    QCOMPARE(f.command(Command::GrowGrid)->text(), QStringLiteral("Увеличить сетку 3+1"));
    QCOMPARE(f.command(Command::ShrinkGrid)->text(), QStringLiteral("Уменьшить сетку 3-1"));
    QCOMPARE(f.doc().outline.frame(1).bounds, QRect(12, 39, 150, 150));
    // The selected frame's handles follow it at once.
    QCOMPARE(f.component("Panel3")->pos(), QPoint(12, 39));
    QCOMPARE(f.component("Panel5")->pos(), QPoint(12 + 150 - 9, 39 + 150 - 9));
    for (int i = 0; i < 4; ++i)
        f.command(Command::ShrinkGrid)->trigger();
    QCOMPARE(f.doc().session.gridStep, 1);
    QCOMPARE(f.command(Command::ShrinkGrid)->text(), QStringLiteral("Уменьшить сетку 1-1"));
    f.command(Command::Grid)->trigger();  // the menu item turns the grid on again
    QVERIFY(f.command(Command::GridButton)->isChecked());
}

void TestCanvasInteraction::openPictureTakesEveryTypeAndKeepsItsAspect()
{
    WindowFixture f;
    f.beginOutline();
    createFrameAt(f, QPoint(10, 40));
    rightClickFrame(f, 1, QPoint(10, 20));
    f.command(Command::CreatePicture)->trigger();
    const ObjectId id = f.doc().outline.picture(1).id;
    f.doc().interaction.currentObject = id;
    const QRect place = f.doc().outline.picture(1).bounds;

    // A file that is no picture: a message naming it, nothing changed.
    const QString junk = f.home.filePath(QStringLiteral("junk.png"));
    {
        QFile file(junk);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a picture at all");
    }
    const QImage before = f.doc().outline.picture(1).bitmap();
    const int step = f.doc().history.currentStep;
    f.dialogs.files.push_back(Dialogs::FileChoice{junk, 1});
    f.command(Command::OpenPicture)->trigger();
    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY(f.dialogs.messages.first().text.contains(QStringLiteral("junk.png")));
    QCOMPARE(f.doc().outline.picture(1).bitmap(), before);
    QCOMPARE(f.doc().history.currentStep, step);

    // A wide PNG with a transparent half, named .jpg and chosen under the JPEG filter: read by its
    // content, laid on white with a note, and fitted into the place with its proportions.
    QImage wide(240, 80, QImage::Format_ARGB32);
    wide.fill(QColor(200, 30, 30));
    for (int y = 0; y < 80; ++y)
        for (int x = 120; x < 240; ++x)
            wide.setPixel(x, y, qRgba(0, 0, 0, 0));
    const QString png = f.home.filePath(QStringLiteral("wide.jpg"));
    QVERIFY(wide.save(png, "PNG"));
    f.doc().state.modified = false;
    f.dialogs.messages.clear();
    f.dialogs.files.push_back(Dialogs::FileChoice{png, 2});
    f.command(Command::OpenPicture)->trigger();
    const PictureObject& p = f.doc().outline.picture(1);
    QCOMPARE(p.bitmap().size(), QSize(240, 80));
    QVERIFY(f.doc().state.modified);
    QCOMPARE(f.doc().history.currentStep, step + 1);
    QCOMPARE(p.bounds.topLeft(), place.topLeft());
    QVERIFY(p.bounds.width() <= place.width() && p.bounds.height() <= place.height());
    QVERIFY2(qAbs(p.bounds.width() - 3 * p.bounds.height()) <= 3,
             qPrintable(QStringLiteral("%1×%2").arg(p.bounds.width()).arg(p.bounds.height())));
    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY(f.dialogs.messages.first().text.contains(QStringLiteral("белым")));
    QCOMPARE(p.bitmap().pixelColor(200, 40), QColor(Qt::white));
    QVERIFY(qAbs(p.bitmap().pixelColor(5, 5).red() - 200) < 8);
    // The control shows the new picture at its bounds.
    auto* w = static_cast<PictureWidget*>(f.widgetOf(id));
    QCOMPARE(w->rendering().size(), p.bounds.size());
}

void TestCanvasInteraction::capacityRefusal()
{
    WindowFixture f;
    f.beginOutline();
    for (int i = 0; i < kTableCapacity; ++i)
        f.doc().outline.createFrame(QRect(i, 40, 20, 20), QStringLiteral("f"));
    const int step = f.doc().history.currentStep;
    createFrameAt(f, QPoint(10, 40));
    QCOMPARE(f.doc().outline.count(ObjectKind::Frame), kTableCapacity);
    QCOMPARE(f.doc().history.currentStep, step);
    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY(f.dialogs.messages.first().text.contains(QStringLiteral("фреймов")));
}

void TestCanvasInteraction::titleMoveSurvivesUndoAndRedo()
{
    WindowFixture f;
    f.beginOutline();
    createFrameAt(f, QPoint(10, 40));
    const int step = f.doc().history.currentStep;
    auto* frame = static_cast<FrameWidget*>(f.widgetOf(f.doc().outline.frame(1).id));
    dragWidget(frame->title(), QPoint(3, 3), QPoint(33, 23));
    QCOMPARE(f.doc().outline.frame(1).bounds.topLeft(), QPoint(40, 60));
    QCOMPARE(f.doc().history.currentStep, step + 1);  // one step for the press and the move

    f.command(Command::Undo)->trigger();
    QCOMPARE(f.doc().outline.frame(1).bounds.topLeft(), QPoint(10, 40));
    f.command(Command::Redo)->trigger();
    QCOMPARE(f.doc().outline.frame(1).bounds.topLeft(), QPoint(40, 60));
}

void TestCanvasInteraction::handlesOutliveEveryRebuild()
{
    // A text field in a frame selected by a right press carries the blue set; undo and redo
    // then rebuild every object widget. Every adornment must survive on the canvas.
    WindowFixture f;
    f.beginOutline();
    createFrameAt(f, QPoint(10, 40));
    rightClickFrame(f, 1, QPoint(20, 40));
    f.command(Command::CreateTextField)->trigger();
    QWidget* text = f.widgetOf(f.doc().outline.textField(1).id);
    sendMouse(static_cast<QTextEdit*>(text)->viewport(), QEvent::MouseButtonPress, QPoint(5, 5), Qt::RightButton);
    f.window->popupMenu(Menu::TextField)->hide();
    QVERIFY(f.component("Panel12")->isVisible());

    QList<QPointer<QWidget>> adornments;
    for (const char* name : {"Shape1", "Shape2", "Panel3", "Panel11", "Panel12", "Panel20", "Panel23"})
        adornments << QPointer<QWidget>(f.component(name));
    for (Command command : {Command::Undo, Command::Redo, Command::Undo, Command::Redo}) {
        f.command(command)->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (const QPointer<QWidget>& w : adornments) {
            QVERIFY2(w, qPrintable(f.command(command)->objectName()));
            QCOMPARE(w->parentWidget(), f.window->canvas());
        }
    }
    QCOMPARE(f.doc().outline.count(ObjectKind::TextField), 1);
    // The selection works as before on the rebuilt widgets.
    text = f.widgetOf(f.doc().outline.textField(1).id);
    sendMouse(static_cast<QTextEdit*>(text)->viewport(), QEvent::MouseButtonPress, QPoint(5, 5), Qt::RightButton);
    f.window->popupMenu(Menu::TextField)->hide();
    QVERIFY(f.component("Shape2")->isVisible());
}

void TestCanvasInteraction::escapeBreaksOffADrag()
{
    // Escape in the middle of a drag puts the frame back; the release that follows records nothing.
    WindowFixture f;
    f.beginOutline();
    createFrameAt(f, QPoint(10, 40));
    const int step = f.doc().history.currentStep;
    QWidget* w = f.widgetOf(f.doc().outline.frame(1).id);
    const QPoint origin = w->mapToGlobal(QPoint(0, 0));
    sendMouse(w, QEvent::MouseButtonPress, QPoint(50, 50), Qt::LeftButton);
    QMouseEvent move(QEvent::MouseMove, QPointF(90, 70), QPointF(origin + QPoint(90, 70)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(w, &move);
    QCOMPARE(f.doc().outline.frame(1).bounds.topLeft(), QPoint(50, 60));

    QTest::keyClick(f.window->canvas(), Qt::Key_Escape);
    QCOMPARE(f.doc().outline.frame(1).bounds.topLeft(), QPoint(10, 40));
    QCOMPARE(w->pos(), QPoint(10, 40));
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(90, 70), QPointF(origin + QPoint(90, 70)), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
    QCOMPARE(f.doc().outline.frame(1).bounds.topLeft(), QPoint(10, 40));
    QCOMPARE(f.doc().history.currentStep, step);
    QVERIFY(f.window->canvas()->mouseGrabber() == nullptr);
}

namespace {

QImage grabbed(QWidget& w) { return w.grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied); }

int differingPixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return a.width() * a.height() + 1;
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

}  // namespace

void TestCanvasInteraction::textFieldFacesDrawAsTheirEditors()
{
    // A field shows as a face until the pointer reaches it; its editor then takes its place, and
    // not a pixel may move. One face shows every field in turn: nothing it showed before (its
    // text, font, colours, alignment) may show through.
    QWidget host;
    host.resize(700, 300);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    struct Case {
        const char* text;
        quint8 alignment;
        int size;
        quint8 style;
        ColourValue background, colour;
        QSize box;
        const char* family = nullptr;
    };
    const Case cases[] = {
        {"Короткий", AlignLeft, 10, 0, kButtonFace, kWindowText, {160, 40}},
        {"Первая строка\r\nвторая, длиннее строка\r\n3", AlignCentre, 12, FontBold, 0xC0FFC0, 0x800000, {180, 70}},
        {"Справа\r\n\r\nпосле пустой", AlignRight, 9, FontItalic | FontUnderline, 0xFFFFFF, 0x0000FF, {120, 60}},
        {"Строка длиннее поля, которую поле обрезает справа", AlignCentre, 14, FontStrikeOut, 0xE0E0FF, 0, {90, 30}},
        {"Крупно\r\nи выше поля", AlignLeft, 28, 0, 0x00FFFF, 0x404040, {150, 40}},
        {"a\tb\tc", AlignRight, 10, 0, 0xFFFFFF, 0, {200, 24}},
        {"", AlignCentre, 10, 0, 0x808080, 0, {60, 20}},
        // Lines longer than the field start at its margin whatever the alignment; right-to-left
        // paragraphs swap left and right; breaks within a paragraph, no-break and trailing
        // spaces, and a field narrower than its margins; fonts with other line spacing.
        {"Длинная строка справа, длиннее поля\r\nкоротко", AlignRight, 12, 0, 0xFFFFFF, 0, {100, 40}, "DejaVu Serif"},
        {"שלום עולם 123\r\nabc שלום def\r\nمرحبا بالعالم", AlignLeft, 11, FontBold, 0xFFFFFF, 0, {200, 70}},
        {"שלום עולם ארוך מאוד מאוד מאוד מאוד", AlignRight, 10, 0, 0xFFFFFF, 0, {100, 24}, "Times New Roman"},
        {"x\u2028y\u2028z", AlignCentre, 10, 0, 0xFFFFFF, 0, {60, 60}},
        {"не\u00a0разрывать   ", AlignRight, 10, FontUnderline, 0xFFFFFF, 0, {200, 24}, "Liberation Mono"},
        {"узко", AlignCentre, 10, 0, 0xFFFFFF, 0, {1, 20}},
    };
    TextFieldFace reused(&host);
    reused.show();
    for (const Case& c : cases) {
        TextFieldObject field;
        field.bounds = QRect(QPoint(5, 5), c.box);
        field.text = QString::fromUtf8(c.text);
        field.alignment = c.alignment;
        if (c.family)
            field.font.name = QString::fromLatin1(c.family);
        field.font.size = c.size;
        field.font.style = c.style;
        field.background = c.background;
        field.font.colour = c.colour;
        TextFieldWidget editor(&host);
        editor.apply(field);
        editor.show();
        TextFieldFace face(&host);
        face.apply(field);
        face.show();
        reused.apply(field);
        const QImage drawn = grabbed(editor);
        QCOMPARE(face.modelText(), field.text);
        QCOMPARE(face.shownText(), editor.toPlainText());
        QVERIFY2(differingPixels(grabbed(face), drawn) == 0, c.text);
        QVERIFY2(differingPixels(grabbed(reused), drawn) == 0, c.text);
    }
}

void TestCanvasInteraction::aFaceGivesWayToItsEditor()
{
    WindowFixture f;
    f.beginOutline();
    createFrameAt(f, QPoint(10, 40));
    rightClickFrame(f, 1, QPoint(20, 40));
    f.command(Command::CreateTextField)->trigger();
    rightClickFrame(f, 1, QPoint(20, 90));
    f.command(Command::CreateTextField)->trigger();
    Outline& o = f.doc().outline;
    o.textField(1).text = QStringLiteral("первое поле");
    o.textField(2).text = QStringLiteral("второе");
    // Opened again, the outline's fields show as faces.
    const QString path = f.home.filePath(QStringLiteral("faces.vmd"));
    QVERIFY(writeOutlineFile(path, f.doc()).ok);
    f.dialogs.answers = {QMessageBox::No};
    f.dialogs.files.push_back(Dialogs::FileChoice{path, 1});
    f.command(Command::Open)->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    OutlineView* view = f.window->outlineView();
    const ObjectId first = o.textField(1).id, second = o.textField(2).id;
    QPointer<TextFieldFace> face = qobject_cast<TextFieldFace*>(view->shownWidget(first));
    QVERIFY(face);
    QVERIFY(qobject_cast<TextFieldFace*>(view->shownWidget(second)));
    QWidget* frame = view->shownWidget(o.frame(1).id);
    const int place = frame->children().indexOf(face);
    // A screen reader finds an editable text holding the field's text, as in the editor.
    QAccessibleInterface* read = QAccessible::queryAccessibleInterface(face);
    QVERIFY(read);
    QCOMPARE(read->role(), QAccessible::EditableText);
    QVERIFY(read->textInterface());
    QCOMPARE(read->textInterface()->text(0, read->textInterface()->characterCount()), QStringLiteral("первое поле"));

    // A press on a field that the pointer never came over (through the window, which finds the
    // face under the point): the editor takes the face's place, among the frame's widgets as
    // well, and the press, the keyboard and the caret, as if it had been pressed itself.
    if (!f.doc().session.editMode)
        f.command(Command::EditModeButton)->trigger();
    // No menu left open by the clicks that made the fields: it would take the press.
    while (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
    QApplication::setActiveWindow(f.window.get());
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    const QPoint at = face->mapTo(f.window.get(), QPoint(face->width() - 3, 6));
    pressThroughWindow(f, at);
    auto* editor = qobject_cast<TextFieldWidget*>(view->shownWidget(first));
    QVERIFY(editor);
    QCOMPARE(view->widget(first), editor);
    QCOMPARE(editor->geometry(), o.textField(1).bounds);
    QCOMPARE(frame->children().indexOf(editor), place);
    QVERIFY(frame->children().indexOf(view->shownWidget(second)) > place + 1);
    QVERIFY(face->isHidden());
    // The window's keyboard goes to it (the off-screen platform may leave another window active).
    QCOMPARE(f.window->focusWidget(), editor);
    QVERIFY(editor->textCursor().position() > 0);
    QTest::keyClicks(editor, QStringLiteral("!"));
    QVERIFY(o.textField(1).text.contains(QLatin1Char('!')));
    QCOMPARE(o.textField(2).text, QStringLiteral("второе"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(face.isNull() || face->isHidden());

    // Whoever asks for a field's widget gets its editor; the other field stays a face.
    auto* other = qobject_cast<TextFieldWidget*>(view->widget(second));
    QVERIFY(other);
    QCOMPARE(other->modelText(), o.textField(2).text);
    QCOMPARE(f.window->focusWidget(), editor);
}

QTEST_MAIN(TestCanvasInteraction)
#include "test_canvas_interaction.moc"
