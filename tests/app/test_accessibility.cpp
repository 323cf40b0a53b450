// What assistive technology and the keyboard reach: accessible names of every control a user can
// act on, in the main window and the graphic editor, and the menus' keyboard mnemonics.
#include "app/accessibility_names.h"
#include "app/keyboard_object_access.h"
#include "app/menu_mnemonics.h"
#include "canvas/canvas_widget.h"
#include "canvas/outline_view.h"
#include "canvas/selection_handles.h"
#include "paint/paint_option_list.h"
#include "paint/paint_window.h"
#include "support/window_fixture.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>

using namespace velmar;

namespace {

QString accessibleName(QObject* object)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
    return iface ? iface->text(QAccessible::Name) : QString();
}

// Widgets a user can act on: they take the keyboard, are buttons, or take presses with a cursor
// of their own (handles); and the program's own widgets, which all stand for something.
bool actionable(const QWidget* w)
{
    if (w->focusPolicy() != Qt::NoFocus || qobject_cast<const QAbstractButton*>(w)
        || w->testAttribute(Qt::WA_SetCursor))
        return !w->testAttribute(Qt::WA_TransparentForMouseEvents);
    return QByteArray(w->metaObject()->className()).startsWith("velmar::");
}

// Every visible, enabled, actionable widget of the window without an accessible name.
QStringList unnamedIn(QWidget* window)
{
    QStringList unnamed;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window) || !w->isEnabled() || !actionable(w) || w->window() != window)
            continue;
        // A scroll area's viewport is read as part of the scroll area.
        if (auto* area = qobject_cast<QAbstractScrollArea*>(w->parentWidget()); area && area->viewport() == w)
            continue;
        if (accessibleName(w).trimmed().isEmpty())
            unnamed << QStringLiteral("%1 «%2»").arg(QLatin1String(w->metaObject()->className()), w->objectName());
    }
    return unnamed;
}

// The visible menus of a menu bar or pop-up, with their submenus.
QList<QMenu*> menusUnder(const QList<QAction*>& actions)
{
    QList<QMenu*> menus;
    for (QAction* a : actions)
        if (QMenu* m = a->menu(); m && a->isVisible())
            menus << m << menusUnder(m->actions());
    return menus;
}

}  // namespace

class TestAccessibility : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void everyControlOfTheMainWindowHasAName();
    void objectsAreAnnouncedByTitleAndMinimalText();
    void everyControlOfTheEditorHasAName();
    void menuItemsHaveMnemonicsThatKeepTheirCaptions();
    void changedCaptionsKeepTheirMnemonic();
    void altLetterOpensTheMenu();
    void objectsAndTheirMenusWithoutAMouse();
    void mnemonicChoice_data();
    void mnemonicChoice();
};

void TestAccessibility::initTestCase()
{
    installAccessibleNames(*qApp);
    installMenuMnemonics(*qApp);
}

namespace {

// An outline with one of each object, the frame selected (black set) and its picture in the blue
// set, so that handles show.
void fillOutline(WindowFixture& f)
{
    f.beginOutline();
    Outline& o = f.doc().outline;
    const int frame = o.createFrame(QRect(10, 40, 300, 220), QStringLiteral("Опыты"));
    o.frame(frame).minimalText = QStringLiteral("Что проверяли");
    const int picture = o.createPicture(QRect(10, 20, 80, 60), frame);
    o.picture(picture).minimalText = QStringLiteral("Маятник на нити");
    const int field = o.createTextField(QRect(100, 20, 120, 60), 0x00FFFFFFu, QStringLiteral("Период"), frame);
    o.textField(field).minimalText = QStringLiteral("Формула периода");
    const int video = o.createVideo(QRect(330, 40, 160, 120), 0);
    o.video(video).minimalText = QStringLiteral("Опыт на видео");
    o.createArrow(60, 90, 400, 100, 2, kBlack);  // from the picture to the film: shown last
    f.window->outlineView()->sync();
    f.window->selectionHandles()->showBlackSet(o.frame(frame).id);
    f.window->selectionHandles()->showBlueSet(o.picture(picture).id);
}

}  // namespace

void TestAccessibility::everyControlOfTheMainWindowHasAName()
{
    WindowFixture f;
    fillOutline(f);
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    const QStringList unnamed = unnamedIn(f.window.get());
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));

    // Icon-only buttons are called by their hint, or by what they do where they have none.
    QToolBar* bar = f.window->findChild<QToolBar*>(QStringLiteral("ToolBar1"));
    QVERIFY(bar);
    const auto button = [&](Command command) { return bar->widgetForAction(f.command(command)); };
    QCOMPARE(accessibleName(button(Command::SaveButton)), QStringLiteral("Сохранить"));
    QCOMPARE(accessibleName(button(Command::ExportPicture)), QStringLiteral("Сохранить как рисунок"));
    QCOMPARE(accessibleName(button(Command::ObjectSequenceButton)), QStringLiteral("Последовательность объектов"));
    QCOMPARE(button(Command::ObjectSequenceButton)->toolTip(), QStringLiteral("Последовательность объектов"));
    // Handles are told apart by the corner or edge they size.
    QCOMPARE(accessibleName(f.component("Panel5")), QStringLiteral("Размер выделения: правый нижний угол"));
    QCOMPARE(accessibleName(f.component("Panel17")), QStringLiteral("Размер объекта во фрейме: правый край"));

    // Every menu item, the pop-ups' too, reads as its caption without the mnemonic mark.
    QList<QMenu*> menus = menusUnder(f.window->menuBar()->actions());
    for (Menu popup : {Menu::Canvas, Menu::Frame, Menu::Picture, Menu::Film, Menu::Arrow, Menu::TextField}) {
        QMenu* menu = f.window->popupMenu(popup);
        QVERIFY(menu);
        menus << menu << menusUnder(menu->actions());
    }
    for (QMenu* menu : menus) {
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(menu);
        QVERIFY(iface);
        for (int i = 0; i < iface->childCount(); ++i) {
            QAccessibleInterface* item = iface->child(i);
            if (item->role() == QAccessible::Separator)
                continue;
            const QString name = item->text(QAccessible::Name);
            QVERIFY2(!name.isEmpty() && !name.contains(QLatin1Char('&')), qPrintable(menu->objectName() + ": " + name));
        }
    }
}

void TestAccessibility::objectsAreAnnouncedByTitleAndMinimalText()
{
    WindowFixture f;
    fillOutline(f);
    Outline& o = f.doc().outline;
    QCOMPARE(accessibleName(f.widgetOf(o.frame(1).id)), QStringLiteral("Опыты"));
    QCOMPARE(accessibleName(f.widgetOf(o.picture(1).id)), QStringLiteral("Маятник на нити"));
    QCOMPARE(accessibleName(f.widgetOf(o.textField(1).id)), QStringLiteral("Формула периода"));
    QCOMPARE(accessibleName(f.widgetOf(o.video(1).id)), QStringLiteral("Опыт на видео"));
    QCOMPARE(accessibleName(f.widgetOf(o.arrow(1).id)), QStringLiteral("Стрелка"));
    QAccessibleInterface* frame = QAccessible::queryAccessibleInterface(f.widgetOf(o.frame(1).id));
    QCOMPARE(frame->text(QAccessible::Description), QStringLiteral("Фрейм. Что проверяли"));

    // A rename and a new minimal text are announced as soon as the canvas shows them; a title
    // with a line break is read on one line, and an empty one still names the frame.
    o.frame(1).title = QStringLiteral("Опыты\nи наблюдения");
    o.picture(1).minimalText = QStringLiteral("Маятник Фуко");
    f.window->outlineView()->sync();
    QCOMPARE(accessibleName(f.widgetOf(o.frame(1).id)), QStringLiteral("Опыты␊и наблюдения"));
    QCOMPARE(accessibleName(f.widgetOf(o.picture(1).id)), QStringLiteral("Маятник Фуко"));
    o.frame(1).title.clear();
    f.window->outlineView()->sync();
    QCOMPARE(accessibleName(f.widgetOf(o.frame(1).id)), QStringLiteral("Фрейм без названия"));
}

void TestAccessibility::everyControlOfTheEditorHasAName()
{
    WindowFixture f;
    fillOutline(f);
    f.doc().interaction.currentObject = f.doc().outline.picture(1).id;
    f.command(Command::EditPicture)->trigger();
    paint::PaintWindow* editor = f.window->paintWindow();
    QVERIFY(editor && editor->isVisible());
    editor->resize(694, 480);
    QVERIFY(QTest::qWaitForWindowExposed(editor));
    const QStringList unnamed = unnamedIn(editor);
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));
    // The tool buttons by their hints, the palette by number, with the colour described.
    QCOMPARE(accessibleName(editor->findChild<QWidget*>(QStringLiteral("Panel44"))), QStringLiteral("Карандаш"));
    // Its letter key, shown in the hint, is told as the description, not read as part of the name.
    QCOMPARE(QAccessible::queryAccessibleInterface(editor->findChild<QWidget*>(QStringLiteral("Panel44")))
                 ->text(QAccessible::Description),
             QStringLiteral("Клавиша P"));
    QWidget* cell = editor->findChild<QWidget*>(QStringLiteral("Panel12"));
    QVERIFY(cell);
    QCOMPARE(accessibleName(cell), QStringLiteral("Цвет палитры 1"));
    QVERIFY(!QAccessible::queryAccessibleInterface(cell)->text(QAccessible::Description).isEmpty());
    QCOMPARE(accessibleName(editor->findChild<QWidget*>(QStringLiteral("ListBox2"))), QStringLiteral("Вид заливки"));
    // The owner-drawn lists offer their rows as named items, the current one selected, following
    // a choice made with the keys.
    editor->findChild<QAbstractButton*>(QStringLiteral("Panel50"))->click();  // the rectangle shows the list
    auto* fillList = editor->findChild<paint::OptionList*>(QStringLiteral("ListBox2"));
    QVERIFY(fillList->isVisible());
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(fillList);
    QCOMPARE(list->role(), QAccessible::List);
    QCOMPARE(list->childCount(), 3);
    QStringList rowNames;
    for (int i = 0; i < 3; ++i) {
        QAccessibleInterface* row = list->child(i);
        QCOMPARE(row->role(), QAccessible::ListItem);
        QCOMPARE(list->indexOfChild(row), i);
        QCOMPARE(row->parent(), list);
        rowNames << row->text(QAccessible::Name);
        QCOMPARE(bool(row->state().selected), i == fillList->currentRow());
    }
    QCOMPARE(rowNames.removeDuplicates(), 0);
    QVERIFY(!rowNames.contains(QString()));
    fillList->setFocus();
    const int next = (fillList->currentRow() + 1) % 3;
    QTest::keyClick(fillList, next > fillList->currentRow() ? Qt::Key_Down : Qt::Key_Up);
    QCOMPARE(fillList->currentRow(), next);
    QVERIFY(list->child(next)->state().selected);
    QCOMPARE(list->focusChild(), list->child(next));
    QCOMPARE(list->childAt(list->child(next)->rect().center().x(), list->child(next)->rect().center().y()),
             list->child(next));
    QCOMPARE(accessibleName(editor->findChild<QWidget*>(QStringLiteral("ListBox1"))), QStringLiteral("Масштаб"));
    QCOMPARE(QAccessible::queryAccessibleInterface(editor->findChild<QWidget*>(QStringLiteral("ListBox1")))
                 ->child(0)
                 ->text(QAccessible::Name),
             QStringLiteral("1x"));
    editor->close();
}

void TestAccessibility::menuItemsHaveMnemonicsThatKeepTheirCaptions()
{
    WindowFixture f;
    f.beginOutline();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    QList<QMenu*> menus{nullptr};  // nullptr: the menu bar itself
    menus << menusUnder(f.window->menuBar()->actions());
    for (Menu popup : {Menu::Canvas, Menu::Frame, Menu::Picture, Menu::Film, Menu::Arrow, Menu::TextField}) {
        QMenu* menu = f.window->popupMenu(popup);
        assignMnemonics(menu);  // pop-ups get theirs when first shown
        menus << menu << menusUnder(menu->actions());
    }
    QCOMPARE(withoutMnemonic(f.window->menuBar()->actions().constFirst()->text()), QStringLiteral("Файл"));
    QCOMPARE(f.window->menuBar()->actions().constFirst()->text(), QStringLiteral("&Файл"));
    for (QMenu* menu : menus) {
        const QList<QAction*> actions = menu ? menu->actions() : f.window->menuBar()->actions();
        QSet<QChar> letters;
        for (QAction* a : actions) {
            if (a->isSeparator() || !a->isVisible())
                continue;
            const QString where = (menu ? menu->objectName() : QStringLiteral("MainMenu1")) + ": " + a->text();
            const int at = mnemonicPosition(a->text());
            QVERIFY2(at >= 0, qPrintable(where));
            QVERIFY2(!letters.contains(a->text()[at].toLower()), qPrintable(where));
            letters.insert(a->text()[at].toLower());
        }
    }
    QCOMPARE(withoutMnemonic(f.command(Command::SaveAs)->text()), QStringLiteral("Сохранить как..."));
    QCOMPARE(withoutMnemonic(f.command(Command::GrowGrid)->text()), QStringLiteral("Увеличить сетку  2+1"));
}

void TestAccessibility::changedCaptionsKeepTheirMnemonic()
{
    WindowFixture f;
    f.beginOutline();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    QAction* grow = f.command(Command::GrowGrid);
    const int before = mnemonicPosition(grow->text());
    QVERIFY(before >= 0);
    const QChar letter = grow->text()[before].toLower();
    grow->trigger();  // the step grows to 3: both grid captions are written anew
    QCOMPARE(withoutMnemonic(grow->text()), QStringLiteral("Увеличить сетку 3+1"));
    QCOMPARE(withoutMnemonic(f.command(Command::ShrinkGrid)->text()), QStringLiteral("Уменьшить сетку 3-1"));
    QVERIFY2(mnemonicPosition(grow->text()) >= 0, qPrintable(grow->text()));
    QCOMPARE(grow->text()[mnemonicPosition(grow->text())].toLower(), letter);
    QVERIFY(mnemonicPosition(f.command(Command::ShrinkGrid)->text()) >= 0);
}

void TestAccessibility::altLetterOpensTheMenu()
{
    WindowFixture f;
    f.beginOutline();
    QApplication::setActiveWindow(f.window.get());
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    QMenu* file = f.window->findChild<QMenu*>(QStringLiteral("fileMenu"));
    QVERIFY(file && !file->isVisible());
    // Alt+Ф, as a Russian keyboard sends it.
    QTest::sendKeyEvent(QTest::Click, f.window.get(), Qt::Key(0x0424), QStringLiteral("ф"), Qt::AltModifier);
    QTRY_VERIFY(file->isVisible());
    QTest::keyClick(file, Qt::Key_Escape);
    QTRY_VERIFY(!file->isVisible());
    QMenu* service = f.window->findChild<QMenu*>(QStringLiteral("serviceMenu"));
    QTest::sendKeyEvent(QTest::Click, f.window.get(), Qt::Key(0x0421), QStringLiteral("с"), Qt::AltModifier);
    QTRY_VERIFY(service->isVisible());
    QTest::keyClick(service, Qt::Key_Escape);
}

void TestAccessibility::objectsAndTheirMenusWithoutAMouse()
{
    WindowFixture f;
    installKeyboardObjectAccess(*f.window);
    fillOutline(f);
    f.window->selectionHandles()->hideAll();
    QApplication::setActiveWindow(f.window.get());
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    const Outline& o = f.doc().outline;
    const auto next = [&] { QTest::keyClick(f.window.get(), Qt::Key_Tab, Qt::ControlModifier); };

    // Reading order: the frame, the objects in it, then what lies on the canvas.
    next();
    QCOMPARE(f.doc().interaction.currentObject, o.frame(1).id);
    QCOMPARE(f.doc().interaction.outerSelection, o.frame(1).id);
    next();
    QCOMPARE(f.doc().interaction.currentObject, o.picture(1).id);
    QCOMPARE(f.doc().interaction.innerSelection, o.picture(1).id);

    // Its pop-up menu, by the keyboard, and a command of it by its letter.
    QMenu* pictureMenu = f.window->popupMenu(Menu::Picture);
    QTest::keyClick(f.window.get(), Qt::Key_F10, Qt::ShiftModifier);
    QTRY_VERIFY(pictureMenu->isVisible());
    QTest::keyClick(pictureMenu, Qt::Key_Escape);
    QTRY_VERIFY(!pictureMenu->isVisible());

    // Backwards from the first stop wraps round to the last; the canvas is a stop of its own.
    QTest::keyClick(f.window.get(), Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(f.doc().interaction.currentObject, o.frame(1).id);
    QTest::keyClick(f.window.get(), Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(f.doc().interaction.currentObject, ObjectId(0));
    QMenu* canvasMenu = f.window->popupMenu(Menu::Canvas);
    QTest::keyClick(f.window.get(), Qt::Key_Menu);
    QTRY_VERIFY(canvasMenu->isVisible());
    QTest::keyClick(canvasMenu, Qt::Key_Escape);
    QTRY_VERIFY(!canvasMenu->isVisible());
    QTest::keyClick(f.window.get(), Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(f.doc().interaction.selectedArrow, 1);  // an arrow is selected by its end handles
    QVERIFY(f.component("Panel23")->isVisible());
    // From the arrow on, past the last stop, back to the canvas and on to the frame.
    next();
    next();
    QCOMPARE(f.doc().interaction.currentObject, o.frame(1).id);
}

void TestAccessibility::mnemonicChoice_data()
{
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("first letters first") << QStringList{"Файл", "Правка", "Сервис", "Настройки", "Справка"}
                                         << QStringList{"&Файл", "&Правка", "&Сервис", "&Настройки", "Сп&равка"};
    QTest::newRow("words before inner letters")
        << QStringList{"Сохранить", "Сохранить как...", "Сохранить как рисунок"}
        << QStringList{"&Сохранить", "Сохранить &как...", "Сохранить как &рисунок"};
    QTest::newRow("case does not matter") << QStringList{"Нет", "нет"} << QStringList{"&Нет", "н&ет"};
    QTest::newRow("own mnemonics and literal ampersands are kept")
        << QStringList{"&1 a.vmd", "R&&D", "Да"} << QStringList{"&1 a.vmd", "&R&&D", "&Да"};
    QTest::newRow("no letter left") << QStringList{"Аб", "Ба", "аб"} << QStringList{"&Аб", "&Ба", "аб"};
}

void TestAccessibility::mnemonicChoice()
{
    QFETCH(QStringList, captions);
    QFETCH(QStringList, expected);
    QString taken;
    for (const QString& c : captions)
        if (const int at = mnemonicPosition(c); at >= 0)
            taken += c[at].toLower();
    QStringList got;
    for (const QString& c : captions) {
        got << withMnemonic(c, taken);
        QCOMPARE(withoutMnemonic(got.back()), withoutMnemonic(c));
    }
    QCOMPARE(got, expected);
}

QTEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
