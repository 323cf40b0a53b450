// The main window's whole command surface: every menu item, tool button and pop-up item named,
// captioned in Russian and handled, the documented shortcuts and starting states, and the order of
// items and separators.
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
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <functional>

using namespace velmar;

namespace {

// Lists the object names of a menu's or tool bar's actions in order, "-" for a separator.
QString layoutOf(const QList<QAction*>& actions)
{
    QStringList names;
    for (QAction* a : actions)
        names << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
    return names.join(QLatin1Char(' '));
}

// QObject::receivers is protected: a derived class may name it, and the member pointer it gives
// calls it on any action without pretending the action is of another class.
class ActionProbe : public QAction {
public:
    static constexpr auto receiversOf = &ActionProbe::receivers;
};

int handlersOf(QAction* action) { return (action->*ActionProbe::receiversOf)(SIGNAL(triggered(bool))); }

}  // namespace

class TestCommandSurface : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void window();
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
    // Runs check on every item of the main menu and the pop-up menus, submenus included.
    void forEachMenuItem(const std::function<void(QAction*)>& check);

    MainWindow* m_window = nullptr;
    ScriptedDialogs* m_dialogs = nullptr;
    QTemporaryDir* m_home = nullptr;
};

void TestCommandSurface::forEachMenuItem(const std::function<void(QAction*)>& check)
{
    const CommandRegistry& c = m_window->commands();
    std::function<void(QMenu*)> walk = [&](QMenu* menu) {
        for (QAction* a : menu->actions()) {
            if (a->isSeparator())
                continue;
            check(a);
            if (a->menu())
                walk(a->menu());
        }
    };
    for (QAction* top : m_window->menuBar()->actions())
        walk(top->menu());
    for (QMenu* popup :
         {c.canvasMenu, c.frameMenu, c.pictureMenu, c.videoMenu, c.captionMenu, c.arrowMenu, c.textFieldMenu})
        walk(popup);
}

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

void TestCommandSurface::items()
{
    // Every menu item the user can reach carries a component name and a Russian caption (but for
    // the name of another language), and
    // either opens a submenu, runs a handler of its own (the state refresh every command gets does
    // not count), or is one of the few declared inert.
    const QSet<QString> inert = {};  // none at present
    QStringList missing;
    forEachMenuItem([&](QAction* a) {
        QVERIFY2(!a->objectName().isEmpty(), qPrintable(a->text()));
        // A language is named in its own language, whatever the interface's.
        if (a->objectName() != QLatin1String("languageEnglish"))
            QVERIFY2(a->text().contains(QRegularExpression(QStringLiteral("[А-Яа-яЁё]"))), qPrintable(a->objectName()));
        if (!a->menu() && handlersOf(a) < 2 && !inert.contains(a->objectName()))
            missing << a->objectName();
    });
    QCOMPARE(missing, QStringList());

    // The documented shortcuts.
    const CommandRegistry& c = m_window->commands();
    const std::pair<QAction*, const char*> shortcuts[] = {
        {c.newOutline, "Ctrl+N"}, {c.open, "Ctrl+O"}, {c.saveItem, "Ctrl+S"}, {c.print, "Ctrl+P"},
        {c.undo, "Ctrl+Z"},       {c.redo, "Ctrl+Y"}, {c.present, "F5"},
    };
    for (const auto& [action, keys] : shortcuts)
        QCOMPARE(action->shortcut().toString(), QString::fromLatin1(keys));

    // Before any outline is open, nothing that acts on one is offered.
    for (QAction* a :
         {c.saveItem, c.saveButton, c.saveAs, c.exportPicture, c.exportWebPage, c.print, c.printPreview, c.close,
          c.undo, c.redo, c.settingsMenu, c.editModeButton, c.gridButton, c.zoomButton, c.canvasColourButton,
          c.frameTitlesButton, c.stretchButton, c.moveEarlierButton, c.moveLaterButton})
        QVERIFY2(!a->isEnabled(), qPrintable(a->objectName()));
    for (QAction* a : {c.newOutline, c.open, c.exit, c.summary, c.present, c.help, c.about})
        QVERIFY2(a->isEnabled(), qPrintable(a->objectName()));
    // The session's switches start on.
    for (QAction* a : {c.editModeItem, c.editModeButton, c.gridItem, c.gridButton, c.zoomItem, c.zoomButton})
        QVERIFY2(a->isCheckable() && a->isChecked(), qPrintable(a->objectName()));
}

void TestCommandSurface::layout_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("expected");
    QTest::newRow("Файл") << "fileMenu"
                          << "N47 N48 - N49 N50 N53 exportWebPage - N302 N303 - N51 - N55";
    QTest::newRow("Правка") << "editMenu"
                            << "N77 N78";
    QTest::newRow("Сервис") << "serviceMenu"
                            << "N110 - N112 N113 - N115 N116 - N301 presentFromFrame";
    QTest::newRow("Настройки") << "settingsMenu"
                               << "N18 N69 N61 - N60 N64 N79 - gridMenu - languageMenu";
    QTest::newRow("Привязка к сетке") << "gridMenu"
                                      << "N80 - N211 N212";
    QTest::newRow("Справка") << "helpMenu"
                             << "N62 Web1 N68";
    QTest::newRow("PopupMenu1") << "PopupMenu1"
                                << "N1 N2 N39 N73 N25 - N20";
    QTest::newRow("PopupMenu2") << "PopupMenu2"
                                << "N3 N45 N86 N37 - N98 - Y1 N36 N19 N71 N70 - N7 N9 N8 - N5";
    QTest::newRow("N7") << "N7"
                        << "N11 N21 N31";
    QTest::newRow("N9") << "N9"
                        << "N13 N23";
    QTest::newRow("N8") << "N8"
                        << "N12 N22 N32";
    QTest::newRow("PopupMenu3") << "PopupMenu3"
                                << "N58 N38 N106 - N100 - N84 - N14 N59 - N6";
    QTest::newRow("N106") << "N106"
                          << "N107 N108";
    QTest::newRow("N14") << "N14"
                         << "N16 N17";
    QTest::newRow("PopupMenu4") << "PopupMenu4"
                                << "N26 - N103 - N34 N82 - N27 N29 N28 - N30";
    QTest::newRow("PopupMenu5") << "PopupMenu5"
                                << "N40 N43 N44 N72 - N42";
    QTest::newRow("PopupMenu6") << "PopupMenu6"
                                << "N74 N75 N88 - N90";
    QTest::newRow("PopupMenu7") << "PopupMenu7"
                                << "MenuItem1 N93 N87 - N104 - MenuItem3 MenuItem4 - MenuItem6";
    QTest::newRow("ToolBar1")
        << "ToolBar1"
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
    // Every button shows its action with a 20-pixel icon; every one the user can see has a Russian
    // hint (an icon alone says nothing of what the button does). The visible ones are 30 × 26, left
    // to right inside the tool bar's 31-pixel band.
    auto* bar = m_window->findChild<QToolBar*>(QStringLiteral("ToolBar1"));
    int x = -1;
    for (QAction* action : bar->actions()) {
        if (action->isSeparator())
            continue;
        auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action));
        QVERIFY(button);
        const QString name = button->objectName();
        QCOMPARE(m_window->command(name), action);
        QCOMPARE(button->defaultAction(), action);
        QVERIFY2(action->icon().availableSizes().contains(QSize(20, 20)), qPrintable(name));
        QVERIFY2(action->toolTip().isEmpty()
                     || action->toolTip().contains(QRegularExpression(QStringLiteral("[А-Яа-яЁё]"))),
                 qPrintable(name));
        if (!action->isVisible())
            continue;
        QVERIFY2(!action->toolTip().isEmpty(), qPrintable(name + QStringLiteral(" has no hint")));
        if (button->isVisible()) {
            QCOMPARE(button->size(), QSize(30, 26));
            QVERIFY(button->geometry().left() > x);
            QVERIFY(button->geometry().bottom() <= 30);
            x = button->geometry().left();
        }
    }
    QVERIFY(x > 0);
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
    QAction* button = m_window->commands().editModeButton;
    QAction* item = m_window->commands().editModeItem;
    m_window->document().session.outlineOpen = true;
    m_window->showCommandStates();
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
    m_window->commands().about->trigger();
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
    m_window->commands().about->trigger();
    QCOMPARE(m_window->findChildren<AboutDialog*>().size(), 1);
}

void TestCommandSurface::helpOpensTheBundledPage()
{
    const CommandRegistry& c = m_window->commands();
    for (QAction* help : {c.help, c.webHelp, c.help})  // the menu item, its web twin, the button
        help->trigger();
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
    m_window->commands().help->trigger();
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
    m_window->commands().exit->trigger();
    QVERIFY(!m_window->isVisible());
}

QTEST_MAIN(TestCommandSurface)
#include "test_command_surface.moc"
