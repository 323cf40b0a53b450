// The find bar on the real window: its keys, what each place found selects and shows, and
// replacement as one undo step.
#include "canvas/canvas_widget.h"
#include "canvas/object_widgets.h"
#include "support/window_fixture.h"
#include "view/find_bar.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace velmar;

namespace {

// Typing into a widget, letter by letter, Cyrillic too.
void typeInto(QWidget* widget, const QString& text)
{
    for (const QChar c : text) {
        QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

}  // namespace

class TestFindBar : public QObject {
    Q_OBJECT
private slots:
    void keysGoThroughThePlacesFound();
    void replacingIsOneUndoStep();

private:
    // Two frames, a text field in the first and a film; the window active, as for a user.
    static void lesson(WindowFixture& f)
    {
        f.beginOutline();
        QApplication::setActiveWindow(f.window.get());
        for (const QPoint at : {QPoint(10, 40), QPoint(300, 40)}) {
            f.doc().interaction.creationPoint = at;
            f.command(Command::CreateFrame)->trigger();
        }
        Outline& o = f.doc().outline;
        o.frame(1).title = QStringLiteral("Ёлки");
        o.frame(2).title = QStringLiteral("Берёзы");
        o.frame(2).minimalText = QStringLiteral("не ели");
        const int t =
            o.createTextField(QRect(10, 30, 120, 50), kButtonFace, QStringLiteral("Ель растёт\r\nи ёлка тоже"), 1);
        o.textField(t).minimalText = QStringLiteral("про деревья");
        f.window->documents().recordStep(StepKind::Full);
    }
};

void TestFindBar::keysGoThroughThePlacesFound()
{
    WindowFixture f;
    lesson(f);
    FindBar* bar = f.window->findBar();
    QVERIFY(!bar->isVisible());

    QTest::keyClick(f.window.get(), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(bar->isVisible());
    QCOMPARE(QApplication::focusWidget(), bar->wordsField());
    // Typing finds as it goes: "ел" first stands in frame 1's title (Ё taken for Е).
    typeInto(bar->wordsField(), QStringLiteral("ЕЛ"));
    QCOMPARE(bar->status(), QStringLiteral("1 из 4: название"));
    QCOMPARE(f.doc().interaction.outerSelection, f.doc().outline.frame(1).id);
    QVERIFY(f.component("Panel3")->isVisible());

    // F3: the text field's two places, selected in the field itself, then frame 2's minimal text.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F3);
    QCOMPARE(bar->status(), QStringLiteral("2 из 4: текст"));
    auto* text = qobject_cast<TextFieldWidget*>(f.widgetOf(f.doc().outline.textField(1).id));
    QCOMPARE(text->textCursor().selectedText(), QStringLiteral("Ел"));
    QCOMPARE(f.doc().interaction.innerSelection, f.doc().outline.textField(1).id);
    QCOMPARE(QApplication::focusWidget(), bar->wordsField());  // still typing in the bar
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(bar->status(), QStringLiteral("3 из 4: текст"));
    QCOMPARE(text->textCursor().selectedText(), QStringLiteral("ёл"));
    QCOMPARE(text->textCursor().selectionStart(), 13);  // after "Ель растёт", one line break, "и "
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F3);
    QCOMPARE(bar->status(), QStringLiteral("4 из 4: минимальный текст"));
    QCOMPARE(f.doc().interaction.outerSelection, f.doc().outline.frame(2).id);
    // Round the outline, and back with Shift.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F3);
    QCOMPARE(bar->status(), QStringLiteral("1 из 4: название"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F3, Qt::ShiftModifier);
    QCOMPARE(bar->status(), QStringLiteral("4 из 4: минимальный текст"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return, Qt::ShiftModifier);
    QCOMPARE(bar->status(), QStringLiteral("3 из 4: текст"));

    // Words that stand nowhere.
    typeInto(bar->wordsField(), QStringLiteral("ъ"));
    QCOMPARE(bar->status(), QStringLiteral("Не найдено"));

    // Esc closes the bar and gives the keyboard back to the canvas; the selection stays, nothing
    // was recorded, and Esc on the canvas goes on clearing the selection as before.
    const int step = f.doc().history.currentStep;
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!bar->isVisible());
    QCOMPARE(QApplication::focusWidget(), f.window->canvas());
    QCOMPARE(f.doc().history.currentStep, step);

    // F3 with the bar closed opens it on the same words.
    QTest::keyClick(f.window.get(), Qt::Key_F3);
    QVERIFY(bar->isVisible());
    QCOMPARE(bar->wordsField()->text(), QStringLiteral("ЕЛъ"));
}

void TestFindBar::replacingIsOneUndoStep()
{
    WindowFixture f;
    lesson(f);
    FindBar* bar = f.window->findBar();
    QTest::keyClick(f.window.get(), Qt::Key_H, Qt::ControlModifier);
    QVERIFY(bar->isVisible() && bar->replacementField()->isVisible());
    typeInto(bar->wordsField(), QStringLiteral("ел"));
    bar->replacementField()->setText(QStringLiteral("сосна"));
    const int step = f.doc().history.currentStep;

    // Everything in the texts at once, as one step; titles and minimal texts stay.
    bar->findChild<QPushButton*>(QStringLiteral("replaceAllButton"))->click();
    const QString replaced = QStringLiteral("соснаь растёт\r\nи соснака тоже");
    QCOMPARE(f.doc().outline.textField(1).text, replaced);
    auto* text = qobject_cast<TextFieldWidget*>(f.widgetOf(f.doc().outline.textField(1).id));
    QCOMPARE(text->modelText(), replaced);
    QCOMPARE(f.doc().outline.frame(1).title, QStringLiteral("Ёлки"));
    QCOMPARE(f.doc().history.currentStep, step + 1);
    QCOMPARE(bar->status(), QStringLiteral("Заменено: 2"));
    f.command(Command::Undo)->trigger();
    QCOMPARE(f.doc().outline.textField(1).text, QStringLiteral("Ель растёт\r\nи ёлка тоже"));

    // One place at a time: Enter in the replacement replaces the place shown, a step each, and
    // goes on; a title shown is passed over.
    bar->wordsField()->setFocus();
    QTest::keyClick(bar->wordsField(), Qt::Key_Return);  // frame 1's title
    QCOMPARE(bar->status(), QStringLiteral("1 из 4: название"));
    bar->replacementField()->setFocus();
    QTest::keyClick(bar->replacementField(), Qt::Key_Return);  // not a text: on to the text
    QCOMPARE(bar->status(), QStringLiteral("2 из 4: текст"));
    QCOMPARE(f.doc().history.currentStep, step);
    QTest::keyClick(bar->replacementField(), Qt::Key_Return);
    QCOMPARE(f.doc().outline.textField(1).text, QStringLiteral("соснаь растёт\r\nи ёлка тоже"));
    QCOMPARE(f.doc().history.currentStep, step + 1);
    QCOMPARE(bar->status(), QStringLiteral("2 из 3: текст"));
    f.command(Command::Undo)->trigger();
    QCOMPARE(f.doc().outline.textField(1).text, QStringLiteral("Ель растёт\r\nи ёлка тоже"));
}

QTEST_MAIN(TestFindBar)
#include "test_find_bar.moc"
