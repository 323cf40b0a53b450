// The main window's whole command surface: every menu item, tool button and pop-up item with its
// caption, hint, shortcut and initial state, and the order of items and separators.
#include "app/about_dialog.h"
#include "app/main_window.h"
#include "canvas/canvas_widget.h"
#include "support/scripted_dialogs.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <functional>

using namespace velmar;

namespace {

enum : int { Off = 1, Hid = 2, Chk = 4, On = 8 };

// Lists the object names of a menu's or tool bar's actions in order, "-" for a separator.
QString layoutOf(const QList<QAction*>& actions)
{
    QStringList names;
    for (QAction* a : actions)
        names << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
    return names.join(QLatin1Char(' '));
}

}  // namespace

class TestCommandSurface : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void window();
    void items_data();
    void items();
    void layout_data();
    void layout();
    void toolButtons();
    void everyNameOnceOnTheSurface();
    void editModeMirrorsBetweenButtonAndMenu();
    void aboutShowsNameAndVersion();
    void helpOpensTheBundledPage();
    void unbuiltCommandsDoNothing();
    void exitClosesTheWindow();

private:
    MainWindow* m_window = nullptr;
    ScriptedDialogs* m_dialogs = nullptr;
    QTemporaryDir* m_home = nullptr;
};

void TestCommandSurface::init()
{
    m_dialogs = new ScriptedDialogs;
    m_home = new QTemporaryDir;
    m_window = new MainWindow;
    StartupOptions options;
    options.programFolder = m_home->path();
    options.startFolder = m_home->path();
    m_window->startUp(options);
    m_window->show();
}

void TestCommandSurface::cleanup()
{
    delete m_window;
    delete m_home;
    delete m_dialogs;
}

void TestCommandSurface::window()
{
    QCOMPARE(m_window->objectName(), QStringLiteral("Form1"));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Velmar"));
    QCOMPARE(m_window->frameGeometry().size(), QSize(744, 546));
    // The canvas starts right under the menu bar; the tool bar covers its top 31 pixels.
    CanvasWidget* canvas = m_window->canvas();
    QCOMPARE(canvas->mapTo(m_window, QPoint(0, 0)).y(), m_window->menuBar()->height());
    QCOMPARE(canvas->toolBar()->geometry(), QRect(0, 0, canvas->width(), 31));
    QCOMPARE(canvas->canvasColour(), kButtonFace);
    const QImage shot = canvas->grab().toImage();
    QCOMPARE(shot.pixelColor(canvas->width() / 2, canvas->height() / 2), QColor(0xF0, 0xF0, 0xF0));
    QCOMPARE(canvas->findChildren<QAbstractScrollArea*>().size(), 0);
}

void TestCommandSurface::items_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shortcut");
    QTest::addColumn<int>("flags");
    auto row = [](const char* name, const char* caption, int flags = 0, const char* shortcut = "") {
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromUtf8(caption) << QString::fromLatin1(shortcut) << flags;
    };
    // Main menu.
    row("N47", "Новый", 0, "Ctrl+N");
    row("N48", "Открыть", 0, "Ctrl+O");
    row("N49", "Сохранить", Off, "Ctrl+S");
    row("N50", "Сохранить как...", Off);
    row("N53", "Сохранить как рисунок", Off);
    row("exportWebPage", "Сохранить как веб-страницу...", Off);
    row("N51", "Закрыть", Off);
    row("N55", "Выход");
    row("N77", "Отменить действие", Off, "Ctrl+Z");
    row("N78", "Повторить действие", Off, "Ctrl+Y");
    row("N110", "Минимальный текст");
    row("N112", "Последовательность фреймов");
    row("N113", "Последовательность объектов");
    row("N115", "Переместить вперед", Hid | Off);
    row("N116", "Переместить назад", Hid | Off);
    row("N301", "Показ конспекта", 0, "F5");
    row("N18", "Цвет фона");
    row("N69", "Сброс цвета");
    row("N61", "Перемещение", Chk | On);
    row("N60", "Название фрейма", Chk | On | Off);
    row("N64", "Масштабирование рисунка", Chk | On | Hid | Off);
    row("N79", "Масштабирование конспекта", Chk | On);
    row("N80", "Привязать к сетке", Chk | On);
    row("N211", "Увеличить сетку  2+1");
    row("N212", "Уменьшить сетку 2-1");
    row("N62", "Помощь");
    row("Web1", "Web помощь", Hid);
    row("N68", "О программе");
    // Pop-up menus.
    row("N1", "Создать фрейм");
    row("N2", "Создать рисунок", Hid);
    row("N39", "Создать надпись", Hid);
    row("N73", "Создать стрелку");
    row("N25", "Создать видео фрагмент", Hid);
    row("N20", "Цвет фона");
    row("N3", "Создать рисунок");
    row("N45", "Создать надпись", Hid);
    row("N86", "Создать текстовое поле");
    row("N37", "Создать видео фрагмент");
    row("N98", "Минимальный текст");
    row("Y1", "Название фрейма", Chk);
    row("N36", "Переименовать фрейм");
    row("N19", "Цвет фрейма");
    row("N71", "Цвет надписи");
    row("N70", "Сброс цвета");
    row("N7", "Внутренний бордюр");
    row("N11", "Нет");
    row("N21", "Вдавлен");
    row("N31", "Выпуклый");
    row("N9", "Средний бордюр");
    row("N13", "Нет");
    row("N23", "Есть");
    row("N8", "Внешний бордюр");
    row("N12", "Нет");
    row("N22", "Вдавлен");
    row("N32", "Выпуклый");
    row("N5", "Удалить");
    row("N58", "Редактировать");
    row("N38", "Открыть рисунок");
    row("N106", "Изменить последовательность");
    row("N107", "Вперед");
    row("N108", "Назад");
    row("N100", "Минимальный текст");
    row("N84", "Во весь экран");
    row("N14", "Бордюр");
    row("N16", "Нет", Chk);
    row("N17", "Есть", Chk);
    row("N59", "Масштабирование", Hid | Chk);
    row("N6", "Удалить");
    row("N26", "Открыть файл");
    row("N103", "Минимальный текст");
    row("N34", "Кнопки плеера", Hid | Chk | On);
    row("N82", "Во весь экран");
    row("N27", "Воспроизвести");
    row("N29", "Пауза");
    row("N28", "Стоп");
    row("N30", "Удалить");
    row("N40", "Шрифт");
    row("N43", "Изменить текст");
    row("N44", "Цвет фона");
    row("N72", "Сброс цвета");
    row("N42", "Удалить");
    row("N74", "Изменить цвет");
    row("N75", "Увеличить толщину");
    row("N88", "Уменьшить толщину");
    row("N90", "Удалить");
    row("MenuItem1", "Шрифт");
    row("N93", "Выравнивание текста");
    row("N94", "По левому краю");
    row("N95", "По центру");
    row("N96", "По правому краю");
    row("N87", "Выровнять рамку");
    row("N104", "Минимальный текст");
    row("MenuItem3", "Цвет фона");
    row("MenuItem4", "Сброс цвета");
    row("MenuItem6", "Удалить");
}

void TestCommandSurface::items()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, shortcut);
    QFETCH(int, flags);
    QAction* a = m_window->command(name);
    QVERIFY2(a, qPrintable(name));
    QCOMPARE(a->text(), caption);
    QCOMPARE(a->shortcut().toString(), shortcut);
    QCOMPARE(a->isVisible(), !(flags & Hid));
    // Qt reports a hidden action as disabled; its own enabled state shows once it is visible.
    a->setVisible(true);
    QCOMPARE(a->isEnabled(), !(flags & Off));
    a->setVisible(!(flags & Hid));
    QCOMPARE(a->isCheckable(), bool(flags & Chk));
    QCOMPARE(a->isChecked(), bool(flags & On));
}

void TestCommandSurface::layout_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("expected");
    QTest::newRow("Файл") << "fileMenu" << "N47 N48 - N49 N50 N53 exportWebPage - N302 N303 - N51 - N55";
    QTest::newRow("Правка") << "editMenu" << "N77 N78";
    QTest::newRow("Сервис") << "serviceMenu" << "N110 - N112 N113 - N115 N116 - N301 presentFromFrame";
    QTest::newRow("Настройки") << "settingsMenu" << "N18 N69 N61 - N60 N64 N79 - gridMenu - languageMenu";
    QTest::newRow("Привязка к сетке") << "gridMenu" << "N80 - N211 N212";
    QTest::newRow("Справка") << "helpMenu" << "N62 Web1 N68";
    QTest::newRow("PopupMenu1") << "PopupMenu1" << "N1 N2 N39 N73 N25 - N20";
    QTest::newRow("PopupMenu2") << "PopupMenu2" << "N3 N45 N86 N37 - N98 - Y1 N36 N19 N71 N70 - N7 N9 N8 - N5";
    QTest::newRow("N7") << "N7" << "N11 N21 N31";
    QTest::newRow("N9") << "N9" << "N13 N23";
    QTest::newRow("N8") << "N8" << "N12 N22 N32";
    QTest::newRow("PopupMenu3") << "PopupMenu3" << "N58 N38 N106 - N100 - N84 - N14 N59 - N6";
    QTest::newRow("N106") << "N106" << "N107 N108";
    QTest::newRow("N14") << "N14" << "N16 N17";
    QTest::newRow("PopupMenu4") << "PopupMenu4" << "N26 - N103 - N34 N82 - N27 N29 N28 - N30";
    QTest::newRow("PopupMenu5") << "PopupMenu5" << "N40 N43 N44 N72 - N42";
    QTest::newRow("PopupMenu6") << "PopupMenu6" << "N74 N75 N88 - N90";
    QTest::newRow("PopupMenu7") << "PopupMenu7" << "MenuItem1 N93 N87 - N104 - MenuItem3 MenuItem4 - MenuItem6";
    QTest::newRow("ToolBar1") << "ToolBar1"
                              << "ToolButton1 ToolButton2 ToolButton3 - ToolButton5 ToolButton7 - ToolButton10 "
                                 "ToolButton18 - ToolButton11 ToolButton20 - ToolButton19 ToolButton9 ToolButton12 "
                                 "ToolButton21 - ToolButton22 ToolButton26 - ToolButton24 ToolButton23 - ToolButton14 - "
                                 "ToolButton16 - ToolButton31";
}

void TestCommandSurface::layout()
{
    QFETCH(QString, menu);
    QFETCH(QString, expected);
    QWidget* widget = menu == QLatin1String("ToolBar1") ? static_cast<QWidget*>(m_window->findChild<QToolBar*>(menu))
                                                         : m_window->findChild<QMenu*>(menu);
    QVERIFY2(widget, qPrintable(menu));
    if (auto* bar = qobject_cast<QToolBar*>(widget)) {
        // Buttons that show a menu item's action are known by their own name.
        QStringList names;
        for (QAction* a : bar->actions())
            names << (a->isSeparator() ? QStringLiteral("-") : bar->widgetForAction(a)->objectName());
        QCOMPARE(names.join(QLatin1Char(' ')), expected);
    } else {
        QCOMPARE(layoutOf(widget->actions()), expected);
    }
    if (menu.startsWith(QLatin1String("PopupMenu")))
        QVERIFY(!widget->isVisible());
}

void TestCommandSurface::toolButtons()
{
    struct Button {
        const char* name;
        const char* hint;
        int flags;
    };
    const Button buttons[] = {
        {"ToolButton1", "Создать новый логический конспект (по умолчанию)", 0},
        {"ToolButton2", "Открыть", 0},
        {"ToolButton3", "Сохранить", Off},
        {"ToolButton5", "Сохранить как...", Off},
        {"ToolButton7", "Сохранить как рисунок...", Off},
        {"ToolButton10", "Отменить", Off},
        {"ToolButton18", "Вернуть", Off},
        {"ToolButton11", "Редактирование", Chk | On | Off},
        {"ToolButton20", "Привязать к сетке", Chk | On | Off},
        {"ToolButton19", "Масштабирование логического конспекта", Chk | On | Off},
        {"ToolButton9", "Отображать названия фреймов", Chk | Off},
        {"ToolButton12", "", Chk | Hid | Off},
        {"ToolButton21", "Минимальный текст", 0},
        {"ToolButton22", "", Chk},
        {"ToolButton26", "", Chk},
        {"ToolButton24", "", Off},
        {"ToolButton23", "", Off},
        {"ToolButton14", "Цвет фона", Off},
        {"ToolButton16", "Помощь", 0},
        {"ToolButton31", "Показ конспекта", 0},
    };
    int x = -1;
    for (const Button& b : buttons) {
        const QString name = QLatin1String(b.name);
        QAction* action = m_window->command(name);
        QVERIFY2(action, b.name);
        QCOMPARE(action->toolTip(), QString::fromUtf8(b.hint));
        QCOMPARE(action->isEnabled(), !(b.flags & Off));
        QCOMPARE(action->isCheckable(), bool(b.flags & Chk));
        QCOMPARE(action->isChecked(), bool(b.flags & On));
        auto* button = m_window->findChild<QToolButton*>(name);
        QVERIFY2(button, b.name);
        QCOMPARE(button->defaultAction(), action);
        QCOMPARE(button->isVisible(), !(b.flags & Hid));
        QCOMPARE(action->icon().isNull(), false);
        QVERIFY(action->icon().availableSizes().contains(QSize(20, 20)));
        if (!(b.flags & Hid)) {
            QCOMPARE(button->size(), QSize(30, 26));
            QVERIFY(button->geometry().left() > x);  // left to right
            QVERIFY(button->geometry().bottom() <= 30);
            x = button->geometry().left();
        }
    }
}

void TestCommandSurface::everyNameOnceOnTheSurface()
{
    // Walk what the user can reach: the main menu, the pop-up menus and the tool bar. Every
    // component name appears once, and the registry gives the very action found there.
    const CommandRegistry& registry = m_window->commands();
    QHash<QString, int> seen;
    std::function<void(QMenu*)> walk = [&](QMenu* menu) {
        for (QAction* a : menu->actions()) {
            if (a->isSeparator())
                continue;
            ++seen[a->objectName()];
            QCOMPARE(registry.named(a->objectName()), a);
            if (a->menu())
                walk(a->menu());
        }
    };
    for (QAction* top : m_window->menuBar()->actions())
        walk(top->menu());
    for (QMenu* popup : {registry.canvasMenu, registry.frameMenu, registry.pictureMenu, registry.videoMenu,
                         registry.captionMenu, registry.arrowMenu, registry.textFieldMenu}) {
        QVERIFY(popup);
        QCOMPARE(registry.menuNamed(popup->objectName()), popup);
        walk(popup);
    }
    auto* bar = m_window->findChild<QToolBar*>(QStringLiteral("ToolBar1"));
    for (QAction* a : bar->actions()) {
        if (a->isSeparator())
            continue;
        const QString name = bar->widgetForAction(a)->objectName();
        ++seen[name];
        QCOMPARE(registry.named(name), a);
    }
    for (auto it = seen.cbegin(); it != seen.cend(); ++it)
        QVERIFY2(it.value() == 1, qPrintable(it.key()));
    // The registry knows no name that is not on the surface.
    for (auto it = registry.byName.cbegin(); it != registry.byName.cend(); ++it)
        QVERIFY2(seen.contains(it.key()) || it.key().endsWith(QLatin1String("Menu")), qPrintable(it.key()));
    // The typed members are all set, and a shared action carries both the menu item and the button.
    QCOMPARE(registry.named(QStringLiteral("ToolButton10")), registry.undo);
    QCOMPARE(registry.named(QStringLiteral("N77")), registry.undo);
    QVERIFY(registry.saveButton != registry.saveItem);
    QVERIFY(registry.editModeButton != registry.editModeItem);
}

void TestCommandSurface::editModeMirrorsBetweenButtonAndMenu()
{
    QAction* button = m_window->command(QStringLiteral("ToolButton11"));
    QAction* item = m_window->command(QStringLiteral("N61"));
    button->setEnabled(true);
    m_window->document().interaction.outerSelection = 5;
    m_window->document().interaction.innerSelection = 6;

    button->trigger();  // checked -> unchecked
    QVERIFY(!button->isChecked());
    QVERIFY(!item->isChecked());
    QVERIFY(!m_window->document().session.editMode);
    QCOMPARE(m_window->document().interaction.outerSelection, ObjectId(0));
    QCOMPARE(m_window->document().interaction.innerSelection, ObjectId(0));

    item->trigger();
    QVERIFY(item->isChecked());
    QVERIFY(button->isChecked());
    QVERIFY(m_window->document().session.editMode);
}

void TestCommandSurface::aboutShowsNameAndVersion()
{
    m_window->command(QStringLiteral("N68"))->trigger();
    auto* about = m_window->findChild<AboutDialog*>(QStringLiteral("Form3"));
    QVERIFY(about);
    QVERIFY(about->isVisible());
    QVERIFY(!about->isModal());
    QCOMPARE(about->windowTitle(), QStringLiteral("О программе"));
    QStringList texts;
    for (QLabel* label : about->findChildren<QLabel*>())
        texts << label->text();
    QVERIFY(texts.join(QLatin1Char('\n')).contains(QStringLiteral("Velmar")));
    QVERIFY(texts.contains(QStringLiteral("Версия 4.2")));
    // Asking again brings the same window back rather than stacking copies.
    m_window->command(QStringLiteral("N68"))->trigger();
    QCOMPARE(m_window->findChildren<AboutDialog*>().size(), 1);
}

void TestCommandSurface::helpOpensTheBundledPage()
{
    for (const char* name : {"N62", "Web1", "ToolButton16"})
        m_window->command(QLatin1String(name))->trigger();
    QCOMPARE(m_dialogs->openedUrls.size(), 3);
    const QString page = m_dialogs->openedUrls.first().toLocalFile();
    QVERIFY(page.startsWith(m_home->path()));
    QFile file(page);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(file.readAll());
    QVERIFY(html.contains(QStringLiteral("логический конспект"), Qt::CaseInsensitive));
    QVERIFY(m_dialogs->messages.isEmpty());

    // A program folder that cannot hold the page: an error message, no viewer.
    QFile blocker(QDir(m_home->path()).filePath(QStringLiteral("help")));
    QVERIFY(QDir(blocker.fileName()).removeRecursively());
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    m_window->command(QStringLiteral("N62"))->trigger();
    QCOMPARE(m_dialogs->openedUrls.size(), 3);
    QCOMPARE(m_dialogs->messages.size(), 1);
    QCOMPARE(m_dialogs->messages.first().caption, QStringLiteral("Ошибка"));
}

void TestCommandSurface::unbuiltCommandsDoNothing()
{
    const Document before = m_window->document();
    for (const char* name : {"N47", "N112", "N113", "ToolButton1", "ToolButton22"})
        m_window->command(QLatin1String(name))->trigger();
    QCOMPARE(m_window->document().outline.count(ObjectKind::Frame), 0);
    QCOMPARE(m_window->document().state.modified, before.state.modified);
    QVERIFY(m_dialogs->questions.isEmpty());
    QVERIFY(m_dialogs->messages.isEmpty());
}

void TestCommandSurface::exitClosesTheWindow()
{
    QVERIFY(m_window->isVisible());
    m_window->command(QStringLiteral("N55"))->trigger();
    QVERIFY(!m_window->isVisible());
}

QTEST_MAIN(TestCommandSurface)
#include "test_command_surface.moc"
