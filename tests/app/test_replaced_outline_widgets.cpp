// An outline opened in place of another shows its objects in the widgets the one before left:
// nothing of the old objects may show through, and editing reaches the new objects.
#include "canvas/canvas_widget.h"
#include "canvas/object_widgets.h"
#include "canvas/outline_view.h"
#include "storage/outline_io.h"
#include "support/window_fixture.h"

#include <QAction>
#include <QHash>
#include <QPointer>
#include <QSet>
#include <QTest>

#include <algorithm>

using namespace velmar;

class TestReplacedOutlineWidgets : public QObject {
    Q_OBJECT
private slots:
    void textFieldsShowNothingOfTheOutlineBefore();
    void objectsLieAsInAWindowThatOpensTheOutlineFirst();
    void objectsAreLaidOutOnceInTheWindowTheyOpenIn();
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

namespace {

// Counts the moves and resizes the object widgets are told of.
struct PlacementCounter : QObject {
    QHash<const QObject*, int> moves;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if ((event->type() == QEvent::Move || event->type() == QEvent::Resize) && watched->isWidgetType()
            && objectId(static_cast<QWidget*>(watched)) != 0)
            ++moves[watched];
        return false;
    }
    // The most any widget was told of, of those in `among` if given.
    int most(const QSet<const QObject*>& among = {}) const
    {
        int m = 0;
        for (auto it = moves.cbegin(); it != moves.cend(); ++it)
            if (among.isEmpty() || among.contains(it.key()))
                m = std::max(m, it.value());
        return m;
    }
};

}  // namespace

// An outline made in a window larger than this screen is scaled into the window before its
// widgets are made: each widget is placed once, where its object is shown, rather than made at
// the place the file stores and moved; opened again, the widgets it takes over stay where they
// are, and the stacking of the window's own widgets is as it was.
void TestReplacedOutlineWidgets::objectsAreLaidOutOnceInTheWindowTheyOpenIn()
{
    WindowFixture f;
    const QString path = writeOverlapping(f, QStringLiteral("Большой"), 4);
    {
        // Stored as made in a window twice as large as the screen's room.
        LoadResult read = readOutlineFile(path, QSize());
        QVERIFY(read.ok);
        Document doc;
        doc.outline = std::move(read.outline);
        doc.outline.setClientSize(QSize(3000, 2200));
        doc.state.outlineName = read.outlineName;
        doc.state.windowSize = QSize(3000, 2200);
        QVERIFY(writeOutlineFile(path, doc).ok);
    }
    QList<const QObject*> windowOrder;
    for (const QObject* child : f.window->children())
        windowOrder << child;

    PlacementCounter counter;
    qApp->installEventFilter(&counter);
    for (int time = 1; time <= 2; ++time) {
        counter.moves.clear();
        // The widgets shown before this Open (none the first time).
        QSet<const QObject*> before;
        for (QWidget* w : f.window->canvas()->findChildren<QWidget*>())
            if (objectId(w) != 0)
                before << w;
        open(f, path);
        QCoreApplication::processEvents();
        QCOMPARE(f.doc().state.outlineName, QStringLiteral("Большой"));
        const QSize canvas = f.window->canvas()->size();
        QVERIFY2(canvas.width() < 3000 && canvas.height() < 2200, "the screen has less room than the outline");
        const FrameObject& last = f.doc().outline.frame(4);
        QWidget* frame = f.window->outlineView()->widget(last.id);
        QVERIFY(frame);
        QCOMPARE(frame->geometry(), last.bounds);
        // Made and shown: one move and one resize each. Taken over: none.
        if (time == 1)
            QCOMPARE(counter.most(), 2);
        else
            QCOMPARE(counter.most(before), 0);
    }
    qApp->removeEventFilter(&counter);

    QList<const QObject*> after;
    for (const QObject* child : f.window->children())
        after << child;
    QCOMPARE(after.mid(0, windowOrder.size()), windowOrder);
}

QTEST_MAIN(TestReplacedOutlineWidgets)
#include "test_replaced_outline_widgets.moc"
