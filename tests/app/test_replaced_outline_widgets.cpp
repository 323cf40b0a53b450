// An outline opened in place of another shows its objects in the widgets the one before left:
// nothing of the old objects may show through, and editing reaches the new objects.
#include "canvas/canvas_widget.h"
#include "canvas/object_widgets.h"
#include "canvas/outline_view.h"
#include "storage/outline_io.h"
#include "support/window_fixture.h"

#include <QAction>
#include <QPointer>
#include <QTest>

using namespace velmar;

class TestReplacedOutlineWidgets : public QObject {
    Q_OBJECT
private slots:
    void textFieldsShowNothingOfTheOutlineBefore();
    void objectsLieAsInAWindowThatOpensTheOutlineFirst();
};

namespace {

// An outline of three frames, each with a text field, its texts and names marked by `tag`.
QString writeOutline(WindowFixture& f, const QString& tag, bool readOnly)
{
    Document doc;
    doc.state.outlineName = tag;
    doc.state.windowSize = f.window->size();
    for (int k = 1; k <= 3; ++k) {
        doc.outline.createFrame(QRect(10 + 200 * (k - 1), 40, 190, 100), QStringLiteral("%1 %2").arg(tag).arg(k));
        // The second field's text is the same in every outline: a widget taken over keeps it.
        const QString text = k == 2 ? QStringLiteral("общий текст\r\nвторая строка")
                                    : QStringLiteral("%1 текст %2\r\nвторая строка").arg(tag).arg(k);
        const int t = doc.outline.createTextField(QRect(10, 20, 150, 40), kButtonFace, text, k);
        TextFieldObject& field = doc.outline.textField(t);
        field.hint = QStringLiteral("%1 подсказка %2").arg(tag).arg(k);
        field.minimalText = QStringLiteral("%1 минимальный %2").arg(tag).arg(k);
        field.readOnly = readOnly;
    }
    const QString path = f.home.filePath(tag + QStringLiteral(".vmd"));
    [&] { QVERIFY(writeOutlineFile(path, doc).ok); }();
    return path;
}

void open(WindowFixture& f, const QString& path)
{
    f.dialogs.files.push_back(Dialogs::FileChoice{path, 1});
    f.window->command(Command::Open)->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void editMode(WindowFixture& f)
{
    if (!f.doc().session.editMode)
        f.command(Command::EditModeButton)->trigger();
    QVERIFY(f.doc().session.editMode);
}

TextFieldWidget* field(WindowFixture& f, int slot)
{
    return qobject_cast<TextFieldWidget*>(f.window->outlineView()->widget(f.doc().outline.textField(slot).id));
}

}  // namespace

void TestReplacedOutlineWidgets::textFieldsShowNothingOfTheOutlineBefore()
{
    WindowFixture f;
    const QString first = writeOutline(f, QStringLiteral("Первый"), false);
    const QString second = writeOutline(f, QStringLiteral("Второй"), true);
    open(f, first);
    editMode(f);

    // Typed into, with a selection and an undo history: all of it belongs to the first outline.
    TextFieldWidget* typed = field(f, 2);
    QVERIFY(typed);
    f.window->activateWindow();
    sendMouse(typed->viewport(), QEvent::MouseButtonPress, QPoint(5, 5), Qt::LeftButton);
    sendMouse(typed->viewport(), QEvent::MouseButtonRelease, QPoint(5, 5), Qt::LeftButton);
    typed->setFocus(Qt::MouseFocusReason);
    QTest::keyClicks(typed, QStringLiteral("abc"));
    QVERIFY(f.doc().outline.textField(2).text.contains(QStringLiteral("abc")));
    // Typed away again: the text is as the file has it, the history is not.
    for (int k = 0; k < 3; ++k)
        QTest::keyClick(typed, Qt::Key_Backspace);
    QCOMPARE(typed->modelText(), QStringLiteral("общий текст\r\nвторая строка"));
    QTest::keyClick(typed, Qt::Key_End);
    QTest::keyClick(typed, Qt::Key_Left, Qt::ShiftModifier);
    QVERIFY(typed->document()->isUndoAvailable());
    QVERIFY(typed->textCursor().hasSelection());
    QList<QPointer<QWidget>> before;
    for (int k = 1; k <= 3; ++k)
        before << QPointer<QWidget>(field(f, k));

    f.dialogs.answers = {QMessageBox::No};  // the typing is not saved
    open(f, second);
    QCOMPARE(f.doc().state.outlineName, QStringLiteral("Второй"));
    int takenOver = 0;
    for (int k = 1; k <= 3; ++k) {
        TextFieldWidget* w = field(f, k);
        QVERIFY(w);
        takenOver += before.contains(w);
        const TextFieldObject& object = f.doc().outline.textField(k);
        QCOMPARE(w->modelText(), object.text);
        QCOMPARE(w->toolTip(), object.hint);
        QCOMPARE(w->accessibleName(), object.minimalText);
        QCOMPARE(w->isReadOnly(), object.readOnly);
        QVERIFY(!w->document()->isUndoAvailable());
        QVERIFY(!w->document()->isRedoAvailable());
        QVERIFY(!w->textCursor().hasSelection());
        QCOMPARE(w->textCursor().position(), 0);
        QVERIFY(!w->hasFocus());
        QVERIFY(!w->isBeingTyped());
        QVERIFY(!w->isHidden());
    }
    // The new outline did take the old widgets over (else this test proves nothing about it).
    QCOMPARE(takenOver, 3);

    // Typing into a widget taken over edits its new object, once, and no other.
    editMode(f);
    TextFieldWidget* w = field(f, 2);
    sendMouse(w->viewport(), QEvent::MouseButtonPress, QPoint(5, 5), Qt::LeftButton);
    sendMouse(w->viewport(), QEvent::MouseButtonRelease, QPoint(5, 5), Qt::LeftButton);
    w->setFocus(Qt::MouseFocusReason);
    QVERIFY(!w->isReadOnly());
    w->moveCursor(QTextCursor::Start);
    QTest::keyClicks(w, QStringLiteral("xy"));
    QCOMPARE(f.doc().outline.textField(2).text, QStringLiteral("xyобщий текст\r\nвторая строка"));
    QCOMPARE(f.doc().outline.textField(1).text, QStringLiteral("Второй текст 1\r\nвторая строка"));
    QCOMPARE(f.doc().outline.textField(3).text, QStringLiteral("Второй текст 3\r\nвторая строка"));
    QVERIFY(f.doc().state.modified);
    // Its own undo knows only this typing.
    w->undo();
    QCOMPARE(w->modelText(), QStringLiteral("общий текст\r\nвторая строка"));
    QVERIFY(!w->document()->isUndoAvailable());
}

namespace {

// The widgets of `parent`, bottom to top: the objects shown by the ids of their objects (each
// frame followed by its own in brackets), and a dot for each run of the canvas's own widgets
// (handles, overlays, a frame's title), shown or not: shown later, they must not cover objects
// made after them.
QString stacking(const QWidget* parent)
{
    QStringList shown;
    for (const QObject* child : parent->children()) {
        const auto* w = qobject_cast<const QWidget*>(child);
        if (!w || (objectId(w) == 0 ? w->objectName().isEmpty() : w->isHidden()))
            continue;
        if (objectId(w) == 0) {
            const QString dot(QChar(0x00B7));
            if (shown.isEmpty() || shown.last() != dot)
                shown << dot;
            continue;
        }
        QString entry = QString::number(objectId(w));
        if (qobject_cast<const FrameWidget*>(w))
            entry += QLatin1Char('[') + stacking(w) + QLatin1Char(']');
        shown << entry;
    }
    return shown.join(QLatin1Char(' '));
}

// Overlapping frames and arrows; the later an object is made, the higher it lies.
QString writeOverlapping(WindowFixture& f, const QString& tag, int frames)
{
    Document doc;
    doc.state.outlineName = tag;
    doc.state.windowSize = f.window->size();
    for (int k = 1; k <= frames; ++k) {
        const int frame = doc.outline.createFrame(QRect(20 + 40 * k, 40 + 30 * k, 160, 120), tag);
        doc.outline.createTextField(QRect(10, 20, 100, 30), kButtonFace, QStringLiteral("текст"), frame);
        doc.outline.createVideo(QRect(10, 60, 60, 40), frame);
        QImage picture(40, 30, QImage::Format_RGB32);
        picture.fill(QColor(40 * k, 100, 200));
        doc.outline.picture(doc.outline.createPicture(QRect(50, 50, 40, 30), frame)).setBitmap(picture);
        doc.outline.createArrow(10, 50 + 30 * k, 400, 60 + 35 * k, 2, 0);
    }
    const QString path = f.home.filePath(tag + QStringLiteral(".vmd"));
    [&] { QVERIFY(writeOutlineFile(path, doc).ok); }();
    return path;
}

}  // namespace

// An outline opened in place of another lies as it does when opened first, whichever widgets of
// the outline before it takes over and wherever they lay: new objects above older ones.
void TestReplacedOutlineWidgets::objectsLieAsInAWindowThatOpensTheOutlineFirst()
{
    WindowFixture fresh;
    const QString path = writeOverlapping(fresh, QStringLiteral("Второй"), 5);
    open(fresh, path);
    const QString expected = stacking(fresh.window->canvas());
    QCOMPARE(expected.count(QLatin1Char('[')), 5);

    WindowFixture f;
    open(f, writeOverlapping(f, QStringLiteral("Первый"), 3));
    // One like it, taking over the widgets in their order.
    open(f, writeOverlapping(f, QStringLiteral("Похожий"), 3));
    editMode(f);
    // A selected object shows its handles: widgets of the canvas made after the objects.
    FrameWidget* frame = qobject_cast<FrameWidget*>(f.window->outlineView()->widget(f.doc().outline.frame(2).id));
    QVERIFY(frame);
    sendMouse(frame, QEvent::MouseButtonPress, QPoint(80, 100), Qt::LeftButton);
    sendMouse(frame, QEvent::MouseButtonRelease, QPoint(80, 100), Qt::LeftButton);
    QCOMPARE(f.doc().interaction.outerSelection, f.doc().outline.frame(2).id);
    open(f, path);
    QCOMPARE(f.doc().state.outlineName, QStringLiteral("Второй"));
    QCOMPARE(stacking(f.window->canvas()), expected);
}

QTEST_MAIN(TestReplacedOutlineWidgets)
#include "test_replaced_outline_widgets.moc"
