// The minimal-text window of one object and the outline summary window, on the real window.
#include "canvas/outline_view.h"
#include "support/window_fixture.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <functional>

using namespace velmar;

class TestMinimalText : public QObject {
    Q_OBJECT
private slots:
    void editingStoresTextAndTooltip_data();
    void editingStoresTextAndTooltip();
    void closingUnchangedStillRecordsAStep();
    void summaryWindowShowsAndSaves();
};

namespace {

// Runs fn on the window named name once it is shown modally; closes any modal window when it
// cannot be found, so that a failing test does not hang.
void whenShown(const QString& name, std::function<void(QDialog*)> fn)
{
    QTimer::singleShot(0, [name, fn] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == name && w->isVisible()) {
                fn(static_cast<QDialog*>(w));
                return;
            }
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
}

}  // namespace

void TestMinimalText::editingStoresTextAndTooltip_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("tooltip");

    const QString x255(255, QLatin1Char('x'));
    const QString blankAt200 = QString(199, QLatin1Char('a')) + QLatin1Char(' ') + QString(56, QLatin1Char('b'));
    const QString noBlank(300, QLatin1Char('z'));
    QTest::newRow("frame, 255 characters") << int(Command::FrameMinimalText) << x255 << x255;
    QTest::newRow("frame, 256 with a blank at 200")
        << int(Command::FrameMinimalText) << blankAt200 << QString(199, QLatin1Char('a')) + QStringLiteral(" ...");
    QTest::newRow("frame, long without a blank") << int(Command::FrameMinimalText) << noBlank << QString();
    QTest::newRow("frame, two lines") << int(Command::FrameMinimalText) << QStringLiteral("a\r\nb")
                                      << QStringLiteral("a\r\nb");
    QTest::newRow("picture, long") << int(Command::PictureMinimalText) << noBlank << noBlank;
    QTest::newRow("text field") << int(Command::TextFieldMinimalText) << QStringLiteral("поле")
                                << QStringLiteral("поле");
    QTest::newRow("video fragment") << int(Command::FilmMinimalText) << QStringLiteral("видео")
                                    << QStringLiteral("видео");
}

void TestMinimalText::editingStoresTextAndTooltip()
{
    QFETCH(int, command);
    QFETCH(QString, text);
    QFETCH(QString, tooltip);
    WindowFixture f;
    f.beginOutline();
    Outline& o = f.doc().outline;
    o.createFrame(QRect(10, 40, 300, 300), QStringLiteral("F"));
    o.createPicture(QRect(5, 20, 40, 40), 1);
    o.createTextField(QRect(5, 80, 40, 20), kButtonFace, QStringLiteral("t"), 1);
    o.createVideo(QRect(5, 120, 60, 60), 1);
    f.window->outlineView()->sync();
    const ObjectId target = Command(command) == Command::FrameMinimalText       ? o.frame(1).id
                            : Command(command) == Command::PictureMinimalText   ? o.picture(1).id
                            : Command(command) == Command::TextFieldMinimalText ? o.textField(1).id
                                                                                : o.video(1).id;
    f.doc().interaction.currentObject = target;
    const int step = f.doc().history.currentStep;

    QString shown, typed;
    whenShown(QStringLiteral("Form6"), [&](QDialog* form) {
        auto* memo = form->findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
        shown = memo->toPlainText();
        // The placeholder is selected: the first key typed replaces it.
        QTest::keyClicks(memo, QStringLiteral("Z"));
        typed = memo->toPlainText();
        memo->setPlainText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        form->findChild<QPushButton*>(QStringLiteral("Button1"))->click();
    });
    f.window->command(Command(command))->trigger();

    QCOMPARE(shown, Command(command) == Command::FrameMinimalText ? QString() : QStringLiteral("<Неопределен>"));
    QCOMPARE(typed, QStringLiteral("Z"));
    const ObjectRef ref = o.find(target);
    QString minimal, hint;
    switch (ref.kind) {
    case ObjectKind::Frame: minimal = o.frame(1).minimalText, hint = o.frame(1).hint; break;
    case ObjectKind::Picture: minimal = o.picture(1).minimalText, hint = o.picture(1).hint; break;
    case ObjectKind::TextField: minimal = o.textField(1).minimalText, hint = o.textField(1).hint; break;
    default: minimal = o.video(1).minimalText, hint = o.video(1).hint; break;
    }
    QCOMPARE(minimal, text);
    QCOMPARE(hint, tooltip);
    QCOMPARE(f.widgetOf(target)->toolTip(), tooltip);
    QCOMPARE(f.doc().history.currentStep, step + 1);
}

void TestMinimalText::closingUnchangedStillRecordsAStep()
{
    WindowFixture f;
    f.beginOutline();
    f.doc().outline.createFrame(QRect(10, 40, 150, 150), QStringLiteral("Опыты"));
    f.doc().outline.frame(1).minimalText = QStringLiteral("Суть");
    f.window->outlineView()->sync();
    f.doc().interaction.currentObject = f.doc().outline.frame(1).id;
    const int step = f.doc().history.currentStep;
    QSize size;
    QString title;
    int cursorAt = -1;
    bool selected = true;
    whenShown(QStringLiteral("Form6"), [&](QDialog* form) {
        // The user's own text is continued: the cursor after it, nothing selected.
        const QTextCursor cursor = form->findChild<QPlainTextEdit*>(QStringLiteral("Memo1"))->textCursor();
        cursorAt = cursor.position();
        selected = cursor.hasSelection();
        size = form->size();
        title = form->windowTitle();
        form->close();  // the close box, not the button
    });
    f.command(Command::FrameMinimalText)->trigger();
    QCOMPARE(title, QStringLiteral("Редактирование минимального текста объекта"));
    QCOMPARE(cursorAt, 4);
    QVERIFY(!selected);
    QCOMPARE(size, QSize(561, 403));
    QCOMPARE(f.doc().outline.frame(1).minimalText, QStringLiteral("Суть"));
    QCOMPARE(f.doc().history.currentStep, step + 1);
}

void TestMinimalText::summaryWindowShowsAndSaves()
{
    WindowFixture f;
    f.beginOutline();
    Outline& o = f.doc().outline;
    o.createFrame(QRect(10, 40, 150, 150), QStringLiteral("A"));
    o.createFrame(QRect(300, 40, 150, 150), QStringLiteral("B"));
    o.frame(1).minimalText = QStringLiteral("Первый");
    o.frame(2).minimalText = QStringLiteral("Второй");
    o.createPicture(QRect(5, 20, 40, 40), 1);
    o.frameSequence().swap(1, 2);
    f.window->outlineView()->sync();
    const int step = f.doc().history.currentStep;
    const QString path = f.home.filePath(QStringLiteral("summary.txt"));

    QString shown, title;
    bool fileMenuVisible = false;
    whenShown(QStringLiteral("Form7"), [&](QDialog* form) {
        title = form->windowTitle();
        auto* view = form->findChild<QTextEdit*>(QStringLiteral("RichEdit1"));
        shown = view->toPlainText();
        fileMenuVisible = form->findChild<QMenuBar*>()->actions().first()->isVisible();
        view->moveCursor(QTextCursor::End);
        view->insertPlainText(QStringLiteral("дописано"));  // stays in the window
        f.dialogs.files.push_back(Dialogs::FileChoice{path, 1});
        form->findChild<QAction*>(QStringLiteral("N2"))->trigger();
        form->findChild<QAction*>(QStringLiteral("N3"))->trigger();
    });
    f.command(Command::Summary)->trigger();

    QCOMPARE(title, QStringLiteral("Минимальный текст логического конспекта"));
    QVERIFY(fileMenuVisible);
    const QString expected = QStringLiteral("\nВторой\n\n\nПервый\n\n<Неопределен>\n");
    QCOMPARE(shown, expected);
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(saved.readAll()), expected + QStringLiteral("дописано"));
    QCOMPARE(o.frame(1).minimalText, QStringLiteral("Первый"));
    QCOMPARE(f.doc().history.currentStep, step);

    // Opened again from the menu, the window shows the summary afresh.
    whenShown(QStringLiteral("Form7"), [&](QDialog* form) {
        shown = form->findChild<QTextEdit*>(QStringLiteral("RichEdit1"))->toPlainText();
        form->close();
    });
    f.command(Command::Summary)->trigger();
    QCOMPARE(shown, expected);
}

QTEST_MAIN(TestMinimalText)
#include "test_minimal_text.moc"
