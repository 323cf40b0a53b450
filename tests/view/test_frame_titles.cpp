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
        f.window->popupMenu(QStringLiteral("PopupMenu2"))->hide();
    }
    static bool titleShown(WindowFixture& f, int slot)
    {
        auto* w = static_cast<FrameWidget*>(f.widgetOf(f.doc().outline.frame(slot).id));
        return f.doc().outline.frame(slot).titleVisible && !w->title()->isHidden();
    }
    static void createFrame(WindowFixture& f, QPoint at)
    {
        f.doc().interaction.creationPoint = at;
        f.command("N1")->trigger();
    }
};

void TestFrameTitles::hidingWithThePopupIsUndoableWithTheButtonNot()
{
    WindowFixture f;
    f.beginOutline();
    createFrame(f, QPoint(10, 40));  // step 0
    rightClick(f, 1);
    QVERIFY(f.command("Y1")->isChecked());
    f.command("Y1")->trigger();
    QVERIFY(!titleShown(f, 1));
    QVERIFY(!f.command("N60")->isChecked());
    QVERIFY(!f.command("ToolButton9")->isChecked());
    QCOMPARE(f.doc().history.currentStep, 1);
    f.command("N77")->trigger();
    QVERIFY(titleShown(f, 1));

    rightClick(f, 1);
    QVERIFY(f.command("ToolButton9")->isEnabled());
    QVERIFY(f.command("ToolButton9")->isChecked());
    f.doc().state.modified = false;
    f.command("ToolButton9")->trigger();
    QVERIFY(!titleShown(f, 1));
    QVERIFY(!f.command("Y1")->isChecked());
    QVERIFY(!f.command("N60")->isChecked());
    QCOMPARE(f.doc().history.currentStep, 0);
    QVERIFY(f.doc().state.modified);  // no step, yet closing asks to save
    QVERIFY(!f.command("N77")->isEnabled());
}

void TestFrameTitles::settingsItemMirrorsTheButton()
{
    WindowFixture f;
    f.beginOutline();
    createFrame(f, QPoint(10, 40));
    rightClick(f, 1);
    f.command("N60")->trigger();
    QVERIFY(!f.command("ToolButton9")->isChecked());
    QVERIFY(!titleShown(f, 1));
    f.command("N60")->trigger();
    QVERIFY(f.command("ToolButton9")->isChecked());
    QVERIFY(titleShown(f, 1));
}

void TestFrameTitles::pressingAFrameShowsItsState()
{
    WindowFixture f;
    f.beginOutline();
    createFrame(f, QPoint(10, 40));
    createFrame(f, QPoint(300, 40));
    rightClick(f, 1);
    f.command("ToolButton9")->trigger();
    QVERIFY(!titleShown(f, 1));
    rightClick(f, 2);
    QVERIFY(f.command("ToolButton9")->isChecked());
    QVERIFY(f.command("N60")->isChecked());
    QVERIFY(titleShown(f, 2));
}

void TestFrameTitles::rename()
{
    WindowFixture f;
    f.beginOutline();
    createFrame(f, QPoint(10, 40));
    rightClick(f, 1);
    const int step = f.doc().history.currentStep;
    f.command("N36")->trigger();  // cancelled
    QCOMPARE(f.doc().outline.frame(1).title, QStringLiteral("Фрейм1"));
    QCOMPARE(f.doc().history.currentStep, step);

    f.dialogs.inputs.push_back(QString());
    f.command("N36")->trigger();
    QCOMPARE(f.doc().outline.frame(1).title, QString());
    QCOMPARE(f.doc().outline.frame(1).hint, QStringLiteral("Фрейм1"));  // the tooltip stays
    QCOMPARE(f.doc().history.currentStep, step + 1);

    f.dialogs.inputs.push_back(QStringLiteral("Опыты"));
    f.command("N36")->trigger();
    auto* w = static_cast<FrameWidget*>(f.widgetOf(f.doc().outline.frame(1).id));
    QCOMPARE(w->title()->text(), QStringLiteral("Опыты"));
}

QTEST_MAIN(TestFrameTitles)
#include "test_frame_titles.moc"
