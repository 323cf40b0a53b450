#include "canvas/canvas_widget.h"
#include "canvas/selection_handles.h"
#include "storage/object_clipboard.h"
#include "support/window_fixture.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>
#include <QTextEdit>

using namespace velmar;

// Several objects chosen with the mouse and moved, deleted, copied and pasted through the window's
// commands: each change one undo step.
class TestGroupCommands : public QObject {
    Q_OBJECT
private slots:
    void ctrlClickedObjectsMoveTogetherAsOneStep();
    void aRubberBandChoosesAndOneQuestionDeletes();
    void pastingIsOneStepAndAFullOutlineTakesNothing();
    void keysOfATextBeingTypedLeaveTheObjectsAlone();
    void aFieldTypedIntoInAGroupGetsNoHandlesOfItsOwn();
};

namespace {

// Two frames and an arrow between them, recorded as the outline's first step.
void threeObjects(WindowFixture& f)
{
    f.beginOutline();
    Outline& o = f.doc().outline;
    o.createFrame(QRect(40, 60, 100, 80), QStringLiteral("А"));
    o.createFrame(QRect(300, 200, 120, 90), QStringLiteral("Б"));
    o.createArrow(140, 100, 300, 240, 1, kBlack);
    f.window->documents().recordStep(StepKind::Full);
}

// The same, with a text field in the first frame.
void threeObjectsAndAField(WindowFixture& f)
{
    threeObjects(f);
    f.doc().outline.createTextField(QRect(10, 10, 60, 30), kButtonFace, QStringLiteral("текст"), 1);
    f.window->documents().recordStep(StepKind::Full);
}

QWidget* overlayOf(WindowFixture& f) { return f.window->canvas()->findChild<QWidget*>(QStringLiteral("groupOverlay")); }

}  // namespace

void TestGroupCommands::ctrlClickedObjectsMoveTogetherAsOneStep()
{
    WindowFixture f;
    threeObjects(f);
    const Outline& o = f.doc().outline;
    QWidget* first = f.widgetOf(o.frame(1).id);
    QWidget* second = f.widgetOf(o.frame(2).id);
    sendMouse(first, QEvent::MouseButtonPress, QPoint(50, 50), Qt::LeftButton, Qt::ControlModifier);
    sendMouse(first, QEvent::MouseButtonRelease, QPoint(50, 50), Qt::LeftButton, Qt::ControlModifier);
    sendMouse(second, QEvent::MouseButtonPress, QPoint(50, 50), Qt::LeftButton, Qt::ShiftModifier);
    sendMouse(second, QEvent::MouseButtonRelease, QPoint(50, 50), Qt::LeftButton, Qt::ShiftModifier);
    QCOMPARE(f.doc().interaction.group, (ObjectGroup{o.frame(1).id, o.frame(2).id}));
    QVERIFY(!overlayOf(f)->isHidden());
    QVERIFY(f.command(Command::AlignObjectsLeft)->isEnabled());
    QVERIFY(!f.command(Command::DistributeHorizontally)->isEnabled());  // three are needed

    const int step = f.doc().history.currentStep;
    dragWidget(second, QPoint(50, 50), QPoint(70, 40));
    QCOMPARE(o.frame(1).bounds.topLeft(), QPoint(60, 50));
    QCOMPARE(o.frame(2).bounds.topLeft(), QPoint(320, 190));
    QCOMPARE(f.doc().history.currentStep, step + 1);
    QCOMPARE(f.widgetOf(o.frame(1).id)->pos(), QPoint(60, 50));
    f.command(Command::Undo)->trigger();
    QCOMPARE(o.frame(1).bounds.topLeft(), QPoint(40, 60));
    QCOMPARE(o.frame(2).bounds.topLeft(), QPoint(300, 200));
    QVERIFY(overlayOf(f)->isHidden());  // no group survives the undo

    // Ctrl+click again takes a member out.
    for (QWidget* w : {f.widgetOf(o.frame(1).id), f.widgetOf(o.frame(2).id), f.widgetOf(o.frame(1).id)}) {
        sendMouse(w, QEvent::MouseButtonPress, QPoint(50, 50), Qt::LeftButton, Qt::ControlModifier);
        sendMouse(w, QEvent::MouseButtonRelease, QPoint(50, 50), Qt::LeftButton, Qt::ControlModifier);
    }
    QCOMPARE(f.doc().interaction.group, ObjectGroup{o.frame(2).id});
    // Arrow keys move the group by the grid's step, one step each.
    f.window->findChild<QAction*>(QStringLiteral("moveRight"))->trigger();
    QCOMPARE(o.frame(2).bounds.topLeft(), QPoint(302, 200));
    QCOMPARE(f.doc().history.currentStep, step + 1);
}

void TestGroupCommands::aRubberBandChoosesAndOneQuestionDeletes()
{
    WindowFixture f;
    threeObjects(f);
    const Outline& o = f.doc().outline;
    // From the empty canvas around the first frame and the arrow, not the whole second frame.
    dragWidget(f.window->canvas(), QPoint(20, 45), QPoint(350, 260));
    QCOMPARE(f.doc().interaction.group, (ObjectGroup{o.frame(1).id, o.arrow(1).id}));
    f.command(Command::SelectAll)->trigger();
    QCOMPARE(f.doc().interaction.group.size(), std::size_t(3));
    f.dialogs.answers = {QMessageBox::No};
    f.window->findChild<QAction*>(QStringLiteral("deleteSelected"))->trigger();
    QCOMPARE(f.dialogs.questions.size(), 1);
    QCOMPARE(o.count(ObjectKind::Frame), 2);
    const int step = f.doc().history.currentStep;
    f.dialogs.answers = {QMessageBox::Yes};
    f.window->findChild<QAction*>(QStringLiteral("deleteSelected"))->trigger();
    QCOMPARE(f.dialogs.questions.size(), 2);
    QCOMPARE(o.count(ObjectKind::Frame) + o.count(ObjectKind::Arrow), 0);
    QCOMPARE(f.doc().history.currentStep, step + 1);
    f.command(Command::Undo)->trigger();
    QCOMPARE(o.count(ObjectKind::Frame) + o.count(ObjectKind::Arrow), 3);
}

void TestGroupCommands::pastingIsOneStepAndAFullOutlineTakesNothing()
{
    WindowFixture f;
    threeObjects(f);
    Outline& o = f.doc().outline;
    f.command(Command::SelectAll)->trigger();
    f.command(Command::Copy)->trigger();
    const QMimeData* data = QApplication::clipboard()->mimeData();
    QVERIFY(data->hasFormat(QLatin1String(kObjectsMimeType)));
    QVERIFY(data->hasImage());
    QCOMPARE(data->text(), QStringLiteral("А\nБ"));

    const int step = f.doc().history.currentStep;
    f.command(Command::Paste)->trigger();
    QCOMPARE(o.count(ObjectKind::Frame), 4);
    QCOMPARE(o.count(ObjectKind::Arrow), 2);
    QCOMPARE(f.doc().history.currentStep, step + 1);
    QCOMPARE(f.doc().interaction.group.size(), std::size_t(3));  // the pasted objects are chosen
    f.command(Command::Undo)->trigger();
    QCOMPARE(o.count(ObjectKind::Frame), 2);
    QCOMPARE(o.count(ObjectKind::Arrow), 1);

    // 99 frames: two more do not fit, and neither does the arrow that would come with them.
    for (int i = o.count(ObjectKind::Frame); i < 99; ++i)
        o.createFrame(QRect(500 + i, 40, 10, 10), QString::number(i));
    f.window->documents().recordStep(StepKind::HeaderOnly);
    const int full = f.doc().history.currentStep;
    f.command(Command::Paste)->trigger();
    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY2(f.dialogs.messages[0].text.contains(QStringLiteral("фреймов")), qPrintable(f.dialogs.messages[0].text));
    QCOMPARE(o.count(ObjectKind::Frame), 99);
    QCOMPARE(o.count(ObjectKind::Arrow), 1);
    QCOMPARE(f.doc().history.currentStep, full);
}

void TestGroupCommands::keysOfATextBeingTypedLeaveTheObjectsAlone()
{
    WindowFixture f;
    threeObjectsAndAField(f);
    Outline& o = f.doc().outline;
    f.command(Command::SelectAll)->trigger();
    f.command(Command::Copy)->trigger();
    f.window->show();
    f.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    auto* field = qobject_cast<QTextEdit*>(f.widgetOf(o.textField(1).id));
    QVERIFY(field);
    field->setFocus();
    QTRY_VERIFY(field->hasFocus());
    f.command(Command::Paste)->trigger();
    f.command(Command::Duplicate)->trigger();
    f.command(Command::Cut)->trigger();
    QCOMPARE(o.count(ObjectKind::Frame), 2);
    QCOMPARE(o.count(ObjectKind::TextField), 1);
}

void TestGroupCommands::aFieldTypedIntoInAGroupGetsNoHandlesOfItsOwn()
{
    // Typed into while its frame belongs to a group, the field is not the selected object: the
    // group marks it, and no blue handles come up around it as it grows with its text.
    WindowFixture f;
    threeObjectsAndAField(f);
    Outline& o = f.doc().outline;
    auto* field = qobject_cast<QTextEdit*>(f.widgetOf(o.textField(1).id));
    QVERIFY(field);
    const QPoint centre = field->viewport()->rect().center();
    const auto click = [&] {
        sendMouse(field->viewport(), QEvent::MouseButtonPress, centre, Qt::LeftButton);
        sendMouse(field->viewport(), QEvent::MouseButtonRelease, centre, Qt::LeftButton);
    };
    click();
    QCOMPARE(f.doc().interaction.innerSelection, o.textField(1).id);
    QWidget* second = f.widgetOf(o.frame(2).id);
    sendMouse(second, QEvent::MouseButtonPress, QPoint(50, 50), Qt::LeftButton, Qt::ControlModifier);
    sendMouse(second, QEvent::MouseButtonRelease, QPoint(50, 50), Qt::LeftButton, Qt::ControlModifier);
    QCOMPARE(f.doc().interaction.group.size(), std::size_t(2));
    click();
    field->setFocus(Qt::MouseFocusReason);
    QTest::keyClicks(field, QStringLiteral(" and one more long line of text"));
    QVERIFY(o.textField(1).text.contains(QStringLiteral("long line")));
    const InteractionState& s = f.doc().interaction;
    QVERIFY2(!f.window->selectionHandles()->blueSetVisible() || s.innerSelection == o.textField(1).id,
             qPrintable(QStringLiteral("blue handles around %1, inner selection %2")
                            .arg(f.window->selectionHandles()->model().blueAround)
                            .arg(s.innerSelection)));
}

QTEST_MAIN(TestGroupCommands)
#include "test_group_commands.moc"
