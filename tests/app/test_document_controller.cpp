// The views follow the document controller's change signals: object widgets, the caption, the
// canvas colour and the history commands after undo, redo and opening another outline; the
// modified flag as it is reported; a text field being typed into through changes around it.
#include "canvas/canvas_widget.h"
#include "canvas/outline_view.h"
#include "document/document_controller.h"
#include "support/outline_invariants.h"
#include "support/window_fixture.h"

#include <QAction>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>

using namespace velmar;

class TestDocumentController : public QObject {
    Q_OBJECT
private slots:
    void viewsFollowUndoRedoAndOpen();
    void modifiedFlagIsReportedAsItChanges();
    void typingKeepsItsCursorThroughChangesAround();

private:
    static void startNew(WindowFixture& f, const QString& name)
    {
        f.dialogs.inputs.push_back(name);
        f.window->command(Command::NewOutline)->trigger();
    }
    static void saveAs(WindowFixture& f, const QString& base)
    {
        f.dialogs.files.push_back(Dialogs::FileChoice{f.home.filePath(base), 1});
        f.window->command(Command::SaveAs)->trigger();
    }
    static QString caption(const QString& name) { return QStringLiteral("Логический конспект (%1)").arg(name); }
};

void TestDocumentController::viewsFollowUndoRedoAndOpen()
{
    WindowFixture f;
    startNew(f, QStringLiteral("Первый"));
    CanvasWidget* canvas = f.window->canvas();
    const ColourValue green = fromQColor(QColor(0, 160, 0));

    // Two header-only steps (the canvas colour, a frame moved) and a complete one (a new frame).
    f.dialogs.colours.push_back(QColor(0, 160, 0));
    f.window->command(Command::CanvasColour)->trigger();
    QCOMPARE(canvas->canvasColour(), green);
    f.doc().outline.frame(3).bounds.moveTo(400, 400);
    f.window->documents().recordStep(StepKind::HeaderOnly);
    f.doc().interaction.creationPoint = QPoint(300, 300);
    f.window->command(Command::CreateFrame)->trigger();
    const ObjectId added = f.doc().outline.frame(11).id;
    QVERIFY(f.widgetOf(added));
    saveAs(f, QStringLiteral("первый"));

    QSignalSpy replaced(&f.window->documents(), &DocumentController::outlineReplaced);
    for (int k = 0; k < 3; ++k) {
        f.window->command(Command::Undo)->trigger();
        QCOMPARE(windowViolations(*f.window), QStringList());
    }
    QVERIFY(!f.widgetOf(added));
    // The steps kept the window's size: the outline's canvas is this window's, whose frame and
    // menu bar are not the ones a window-less reader assumes.
    QCOMPARE(f.doc().outline.clientSize(), canvas->size());
    QCOMPARE(f.widgetOf(f.doc().outline.frame(3).id)->pos(), f.doc().outline.frame(3).bounds.topLeft());
    QVERIFY(f.doc().outline.frame(3).bounds.topLeft() != QPoint(400, 400));
    QCOMPARE(canvas->canvasColour(), kButtonFace);
    QVERIFY(!f.window->command(Command::Undo)->isEnabled());
    QVERIFY(f.window->command(Command::Redo)->isEnabled());
    for (int k = 0; k < 3; ++k) {
        f.window->command(Command::Redo)->trigger();
        QCOMPARE(windowViolations(*f.window), QStringList());
    }
    QCOMPARE(canvas->canvasColour(), green);
    QCOMPARE(f.doc().outline.count(ObjectKind::Frame), 11);
    QCOMPARE(f.widgetOf(f.doc().outline.frame(3).id)->pos(), QPoint(400, 400));
    QCOMPARE(f.doc().outline.clientSize(), canvas->size());
    QVERIFY(!f.window->command(Command::Redo)->isEnabled());
    QCOMPARE(f.window->windowTitle(), caption(QStringLiteral("Первый")));
    QVERIFY(replaced.count() >= 1);  // a complete step comes back as a new outline

    // Another outline, then the first one opened again: nothing of the other stays on the canvas.
    startNew(f, QStringLiteral("Второй"));
    QCOMPARE(canvas->canvasColour(), kButtonFace);
    QCOMPARE(f.window->windowTitle(), caption(QStringLiteral("Второй")));
    f.doc().interaction.creationPoint = QPoint(400, 320);
    f.window->command(Command::CreateArrow)->trigger();
    QCOMPARE(f.doc().outline.count(ObjectKind::Arrow), 1);
    const ObjectId arrow = f.doc().outline.arrow(1).id;
    f.dialogs.answers = {QMessageBox::No};
    f.dialogs.files.push_back(Dialogs::FileChoice{f.home.filePath(QStringLiteral("первый.vmd")), 1});
    replaced.clear();
    f.window->command(Command::Open)->trigger();
    QCOMPARE(replaced.count(), 1);
    QCOMPARE(f.window->windowTitle(), caption(QStringLiteral("первый")));
    QCOMPARE(canvas->canvasColour(), green);
    QCOMPARE(f.doc().outline.count(ObjectKind::Frame), 11);
    QCOMPARE(f.doc().outline.count(ObjectKind::Arrow), 0);
    QVERIFY(!f.widgetOf(arrow));
    QCOMPARE(windowViolations(*f.window), QStringList());
    QVERIFY(!f.window->command(Command::Undo)->isEnabled());  // an opened outline starts its own history
    QVERIFY(!f.window->command(Command::Redo)->isEnabled());
}

void TestDocumentController::modifiedFlagIsReportedAsItChanges()
{
    WindowFixture f;
    QSignalSpy reports(&f.window->documents(), &DocumentController::modifiedChanged);
    // What a listener believes: the last report, or unmodified before any.
    const auto believed = [&] { return reports.isEmpty() ? false : reports.last().first().toBool(); };
    const auto check = [&](const char* after) {
        if (believed() != f.doc().state.modified)
            QFAIL(qPrintable(QStringLiteral("modified is %1 after %2, reported %3")
                                 .arg(f.doc().state.modified)
                                 .arg(QLatin1String(after))
                                 .arg(believed())));
        for (int i = 1; i < reports.size(); ++i)
            QVERIFY2(reports[i].first() != reports[i - 1].first(), after);  // only changes are reported
        // Save (menu item with Ctrl+S, and tool button) is offered exactly for an outline that
        // differs from its file.
        for (Command save : {Command::Save, Command::SaveButton})
            if (f.command(save)->isEnabled() != f.doc().state.modified)
                QFAIL(qPrintable(QStringLiteral("%1 enabled is %2 after %3, modified %4")
                                     .arg(f.command(save)->objectName())
                                     .arg(f.command(save)->isEnabled())
                                     .arg(QLatin1String(after))
                                     .arg(f.doc().state.modified)));
    };

    startNew(f, QStringLiteral("Урок"));
    check("new");
    QVERIFY(QDir(f.home.path()).mkdir(QStringLiteral("занято.vmd")));
    saveAs(f, QStringLiteral("занято"));  // fails: a folder stands where the file should go
    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY(f.doc().state.modified);
    check("a failed save as");
    saveAs(f, QStringLiteral("урок"));
    QVERIFY(!f.doc().state.modified);
    check("save as");

    f.doc().outline.frame(2).bounds.moveTo(100, 100);
    f.window->documents().recordStep(StepKind::HeaderOnly);
    check("a step");
    f.window->command(Command::Undo)->trigger();  // back to the saved step
    QVERIFY(!f.doc().state.modified);
    check("undo to the saved step");
    f.window->command(Command::Redo)->trigger();
    check("redo");

    // Typing marks the outline modified without a step; Save clears it; Close with "Нет" too.
    f.window->command(Command::Save)->trigger();
    check("save");
    // Save, then Undo: the outline differs from the file again, and Redo comes back to it.
    f.window->command(Command::Undo)->trigger();
    QVERIFY(f.doc().state.modified);
    check("undo after save");
    f.window->command(Command::Redo)->trigger();
    QVERIFY(!f.doc().state.modified);
    check("redo back to the saved step");
    f.doc().interaction.currentObject = f.doc().outline.frame(1).id;
    f.doc().interaction.creationPoint = QPoint(20, 41);
    f.window->command(Command::CreateTextField)->trigger();
    f.window->command(Command::Save)->trigger();
    check("save after a text field");
    auto* field = static_cast<QTextEdit*>(f.widgetOf(f.doc().outline.textField(1).id));
    QTest::keyClicks(field, QStringLiteral("ab"));
    QVERIFY(f.doc().state.modified);
    check("typing");
    f.dialogs.answers = {QMessageBox::No};
    f.window->command(Command::Close)->trigger();
    QVERIFY(!f.doc().state.modified);
    check("close");
}

void TestDocumentController::typingKeepsItsCursorThroughChangesAround()
{
    WindowFixture f;
    startNew(f, QStringLiteral("Урок"));
    f.doc().interaction.currentObject = f.doc().outline.frame(1).id;
    f.doc().interaction.creationPoint = QPoint(20, 41);
    f.window->command(Command::CreateTextField)->trigger();
    const ObjectId id = f.doc().outline.textField(1).id;
    auto* field = static_cast<QTextEdit*>(f.widgetOf(id));
    QTextCursor cursor = field->textCursor();
    cursor.setPosition(2);
    field->setTextCursor(cursor);
    QTest::keyClicks(field, QStringLiteral("xy"));
    QCOMPARE(f.doc().outline.textField(1).text, QStringLiteral("Теxyкст1"));

    // Changes elsewhere show the outline again: the field is the same widget, its cursor stays.
    f.window->command(Command::GrowGrid)->trigger();  // a coarser grid snaps every object
    f.doc().outline.frame(5).title = QStringLiteral("другое");
    f.window->documents().objectsEdited();
    QCOMPARE(f.widgetOf(id), static_cast<QWidget*>(field));
    QCOMPARE(field->textCursor().position(), 4);
    QTest::keyClicks(field, QStringLiteral("z"));
    QCOMPARE(f.doc().outline.textField(1).text, QStringLiteral("Теxyzкст1"));
}

QTEST_MAIN(TestDocumentController)
#include "test_document_controller.moc"
