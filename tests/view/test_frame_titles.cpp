// Showing, hiding and renaming frame titles on the real window.
#include "canvas/object_widgets.h"
#include "canvas/outline_view.h"
#include "support/window_fixture.h"

#include <QAction>
#include <QMenu>
#include <QTest>

using namespace velmar;

class TestFrameTitles : public QObject {
    Q_OBJECT
private slots:
    void hidingWithThePopupIsUndoableWithTheButtonNot();
    void settingsItemMirrorsTheButton();
    void pressingAFrameShowsItsState();
    void rename();

private:
    static void rightClick(WindowFixture& f, int slot)
    {
        QWidget* w = f.widgetOf(f.doc().outline.frame(slot).id);
        sendMouse(w, QEvent::MouseButtonPress, QPoint(60, 60), Qt::RightButton);
        sendMouse(w, QEvent::MouseButtonRelease, QPoint(60, 60), Qt::RightButton);
        f.window->popupMenu(Menu::Frame)->hide();
    }
    static bool titleShown(WindowFixture& f, int slot)
    {
        auto* w = static_cast<FrameWidget*>(f.widgetOf(f.doc().outline.frame(slot).id));
        return f.doc().outline.frame(slot).titleVisible && !w->title()->isHidden();
    }
    static void createFrame(WindowFixture& f, QPoint at)
    {
        f.doc().interaction.creationPoint = at;
        f.command(Command::CreateFrame)->trigger();
    }
};

void TestFrameTitles::hidingWithThePopupIsUndoableWithTheButtonNot()
{
    WindowFixture f;
    f.beginOutline();
    createFrame(f, QPoint(10, 40));  // step 0
    rightClick(f, 1);
    QVERIFY(f.command(Command::FrameTitlePopup)->isChecked());
    f.command(Command::FrameTitlePopup)->trigger();
    QVERIFY(!titleShown(f, 1));
    QVERIFY(!f.command(Command::FrameTitles)->isChecked());
    QVERIFY(!f.command(Command::FrameTitlesButton)->isChecked());
    QCOMPARE(f.doc().history.currentStep, 1);
    f.command(Command::Undo)->trigger();
    QVERIFY(titleShown(f, 1));

    rightClick(f, 1);
    QVERIFY(f.command(Command::FrameTitlesButton)->isEnabled());
    QVERIFY(f.command(Command::FrameTitlesButton)->isChecked());
    f.doc().state.modified = false;
    f.command(Command::FrameTitlesButton)->trigger();
    QVERIFY(!titleShown(f, 1));
    QVERIFY(!f.command(Command::FrameTitlePopup)->isChecked());
    QVERIFY(!f.command(Command::FrameTitles)->isChecked());
    QCOMPARE(f.doc().history.currentStep, 0);
    QVERIFY(f.doc().state.modified);  // no step, yet closing asks to save
    QVERIFY(!f.command(Command::Undo)->isEnabled());
}

void TestFrameTitles::settingsItemMirrorsTheButton()
{
    WindowFixture f;
    f.beginOutline();
    createFrame(f, QPoint(10, 40));
    rightClick(f, 1);
    f.command(Command::FrameTitles)->trigger();
    QVERIFY(!f.command(Command::FrameTitlesButton)->isChecked());
    QVERIFY(!titleShown(f, 1));
    f.command(Command::FrameTitles)->trigger();
    QVERIFY(f.command(Command::FrameTitlesButton)->isChecked());
    QVERIFY(titleShown(f, 1));
}

void TestFrameTitles::pressingAFrameShowsItsState()
{
    WindowFixture f;
    f.beginOutline();
    createFrame(f, QPoint(10, 40));
    createFrame(f, QPoint(300, 40));
    rightClick(f, 1);
    f.command(Command::FrameTitlesButton)->trigger();
    QVERIFY(!titleShown(f, 1));
    rightClick(f, 2);
    QVERIFY(f.command(Command::FrameTitlesButton)->isChecked());
    QVERIFY(f.command(Command::FrameTitles)->isChecked());
    QVERIFY(titleShown(f, 2));
}

void TestFrameTitles::rename()
{
    WindowFixture f;
    f.beginOutline();
    createFrame(f, QPoint(10, 40));
    rightClick(f, 1);
    const int step = f.doc().history.currentStep;
    f.command(Command::RenameFrame)->trigger();  // cancelled
    QCOMPARE(f.doc().outline.frame(1).title, QStringLiteral("Фрейм1"));
    QCOMPARE(f.doc().history.currentStep, step);

    f.dialogs.inputs.push_back(QString());
    f.command(Command::RenameFrame)->trigger();
    QCOMPARE(f.doc().outline.frame(1).title, QString());
    QCOMPARE(f.doc().outline.frame(1).hint, QStringLiteral("Фрейм1"));  // the tooltip stays
    QCOMPARE(f.doc().history.currentStep, step + 1);

    f.dialogs.inputs.push_back(QStringLiteral("Опыты"));
    f.command(Command::RenameFrame)->trigger();
    auto* w = static_cast<FrameWidget*>(f.widgetOf(f.doc().outline.frame(1).id));
    QCOMPARE(w->title()->text(), QStringLiteral("Опыты"));
}

QTEST_MAIN(TestFrameTitles)
#include "test_frame_titles.moc"
