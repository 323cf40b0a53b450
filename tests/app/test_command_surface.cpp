// The main window's whole command surface: the command table is consistent (ids, names and
// shortcuts unique, every command handled and reachable), the menus and the tool bar are built in
// the table's order, every item is captioned in Russian, the documented shortcuts and starting
// states hold, and the states follow the document.
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

#include <algorithm>
#include <functional>

using namespace velmar;

namespace {

using Row = CommandRow<MainWindow>;

// The action a row of the table stands for, in the built window.
QAction* actionOf(const MainWindow& window, const Row& row)
{
    return row.isMenu ? window.commands().menuAt(row.id)->menuAction() : window.commands().actionAt(row.id);
}

constexpr Menu kPopups[] = {Menu::Canvas,  Menu::Frame, Menu::Picture,  Menu::Film,
                            Menu::Caption, Menu::Arrow, Menu::TextField};

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
    void table();
    void items();
    void menusInTheTablesOrder();
    void toolButtons();
    void everyNameOnceOnTheSurface();
    void statesFollowTheDocument();
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
    for (Menu popup : kPopups)
        walk(m_window->popupMenu(popup));
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

void TestCommandSurface::table()
{
    // Every typed id has exactly one row; component names, typed ids' names and shortcuts are
    // each unique; a row sits in a menu an earlier row made; every command runs something.
    const auto rows = MainWindow::commandTable();
    QSet<int> commands, menus;
    QSet<QString> names, idNames;
    QSet<int> shortcuts, buttonPlaces;
    int highestCommand = -1, highestMenu = -1;
    for (const Row& row : rows) {
        const QString what = QLatin1String(row.idName);
        QVERIFY2(!(row.isMenu ? menus : commands).contains(row.id), qPrintable(what));
        (row.isMenu ? menus : commands).insert(row.id);
        (row.isMenu ? highestMenu : highestCommand) = std::max(row.isMenu ? highestMenu : highestCommand, row.id);
        QVERIFY2(!idNames.contains(what), qPrintable(what));
        idNames.insert(what);
        // A tool-bar button of its own carries one name for action and button.
        QStringList rowNames{QLatin1String(row.name)};
        if (row.place == OnToolBarOnly)
            QCOMPARE(QString::fromLatin1(row.button.name), QString::fromLatin1(row.name));
        else if (row.button.name)
            rowNames << QLatin1String(row.button.name);
        for (const QString& name : rowNames) {
            QVERIFY2(!names.contains(name), qPrintable(name));
            names.insert(name);
        }
        if (row.place >= 0)
            QVERIFY2(menus.contains(row.place), qPrintable(what + QStringLiteral(" sits in a menu not made yet")));
        else if (row.place == OnToolBarOnly)
            QVERIFY2(row.button.slot > 0, qPrintable(what + QStringLiteral(" is nowhere")));
        if (row.button.slot > 0) {
            QVERIFY2(!buttonPlaces.contains(row.button.slot), qPrintable(what));
            buttonPlaces.insert(row.button.slot);
        }
        if (row.shortcut.toCombined() != 0) {
            QVERIFY2(!shortcuts.contains(row.shortcut.toCombined()), qPrintable(what));
            shortcuts.insert(row.shortcut.toCombined());
        }
        if (!row.isMenu)
            QVERIFY2(row.run, qPrintable(what + QStringLiteral(" runs nothing")));
    }
    QCOMPARE(int(commands.size()), highestCommand + 1);
    QCOMPARE(int(commands.size()), int(Command::DuplicateTextField) + 1);
    QCOMPARE(int(menus.size()), highestMenu + 1);
    QCOMPARE(int(menus.size()), int(Menu::AlignObjects) + 1);
    // The window's keys besides the table's do not take a key of the table.
    for (QAction* key : m_window->actions())
        QVERIFY2(!shortcuts.contains(key->shortcut()[0].toCombined()), qPrintable(key->objectName()));
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
    const auto c = [this](Command id) { return m_window->command(id); };
    const std::pair<Command, const char*> shortcuts[] = {
        {Command::NewOutline, "Ctrl+N"},
        {Command::Open, "Ctrl+O"},
        {Command::Save, "Ctrl+S"},
        {Command::Print, "Ctrl+P"},
        {Command::Undo, "Ctrl+Z"},
        {Command::Redo, "Ctrl+Y"},
        {Command::Present, "F5"},
        {Command::PresentFromFrame, "Shift+F5"},
        {Command::Find, "Ctrl+F"},
        {Command::FindNext, "F3"},
        {Command::FindPrevious, "Shift+F3"},
        {Command::Replace, "Ctrl+H"},
    };
    for (const auto& [id, keys] : shortcuts)
        QCOMPARE(c(id)->shortcut().toString(), QString::fromLatin1(keys));

    // Before any outline is open, nothing that acts on one is offered.
    QVERIFY(!m_window->commands().menu(Menu::Settings)->menuAction()->isEnabled());
    for (Command id : {Command::Save,
                       Command::SaveButton,
                       Command::SaveAs,
                       Command::ExportPicture,
                       Command::ExportWebPage,
                       Command::Print,
                       Command::PrintPreview,
                       Command::Close,
                       Command::Undo,
                       Command::Redo,
                       Command::EditModeButton,
                       Command::GridButton,
                       Command::ZoomButton,
                       Command::CanvasColourButton,
                       Command::FrameTitlesButton,
                       Command::StretchButton,
                       Command::MoveEarlierButton,
                       Command::MoveLaterButton,
                       Command::Find,
                       Command::FindNext,
                       Command::FindPrevious,
                       Command::Replace})
        QVERIFY2(!c(id)->isEnabled(), qPrintable(c(id)->objectName()));
    for (Command id : {Command::NewOutline, Command::Open, Command::Exit, Command::Summary, Command::Present,
                       Command::Help, Command::About})
        QVERIFY2(c(id)->isEnabled(), qPrintable(c(id)->objectName()));
    // The session's switches start on.
    for (Command id : {Command::EditMode, Command::EditModeButton, Command::Grid, Command::GridButton, Command::Zoom,
                       Command::ZoomButton})
        QVERIFY2(c(id)->isCheckable() && c(id)->isChecked(), qPrintable(c(id)->objectName()));
    // Shared actions carry both the menu item and the button; the others are actions of their own.
    auto* bar = m_window->findChild<QToolBar*>(QStringLiteral("ToolBar1"));
    QCOMPARE(bar->widgetForAction(c(Command::Undo))->objectName(), QStringLiteral("ToolButton10"));
    QCOMPARE(c(Command::Undo)->objectName(), QStringLiteral("N77"));
    QVERIFY(c(Command::SaveButton) != c(Command::Save));
    QVERIFY(c(Command::EditModeButton) != c(Command::EditMode));
}

void TestCommandSurface::menusInTheTablesOrder()
{
    // Each menu holds the rows placed in it, in the table's order, with a separator wherever a
    // row asks for one; the tool bar holds the buttons by their slots.
    const auto rows = MainWindow::commandTable();
    const CommandRegistry& registry = m_window->commands();
    for (const Row& menuRow : rows) {
        if (!menuRow.isMenu || menuRow.makeMenu)
            continue;
        QMenu* menu = registry.menuAt(menuRow.id);
        QVERIFY2(menu, menuRow.idName);
        QCOMPARE(menu->objectName(), QString::fromLatin1(menuRow.name));
        QList<QAction*> expected;
        for (const Row& row : rows)
            if (row.place == menuRow.id) {
                if (row.flags & SeparatorBefore)
                    expected << nullptr;
                expected << actionOf(*m_window, row);
            }
        QList<QAction*> built;
        for (QAction* a : menu->actions())
            built << (a->isSeparator() ? nullptr : a);
        QCOMPARE(built, expected);
        if (menuRow.place == AsPopup)
            QVERIFY(!menu->isVisible());
    }
    QList<const Row*> buttons;
    for (const Row& row : rows)
        if (row.button.slot > 0)
            buttons << &row;
    std::sort(buttons.begin(), buttons.end(),
              [](const Row* a, const Row* b) { return a->button.slot < b->button.slot; });
    QStringList expected;
    for (const Row* row : buttons) {
        if (row->flags & ButtonSeparatorBefore)
            expected << QStringLiteral("-");
        expected << QLatin1String(row->button.name);
    }
    auto* bar = m_window->findChild<QToolBar*>(QStringLiteral("ToolBar1"));
    QStringList built;
    for (QAction* a : bar->actions())
        built << (a->isSeparator() ? QStringLiteral("-") : bar->widgetForAction(a)->objectName());
    QCOMPARE(built, expected);
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
    for (Menu id : kPopups) {
        QMenu* popup = registry.menu(id);
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
    for (auto it = registry.byName().cbegin(); it != registry.byName().cend(); ++it)
        QVERIFY2(seen.contains(it.key()) || it.key().endsWith(QLatin1String("Menu")), qPrintable(it.key()));
    // Every row of the table is reachable there, and found by its typed id's name too (a pop-up
    // menu by its menu's).
    for (const Row& row : MainWindow::commandTable()) {
        QAction* action = actionOf(*m_window, row);
        QVERIFY2(action, row.idName);
        if (row.place == AsPopup) {
            QCOMPARE(registry.menuNamed(QLatin1String(row.idName)), registry.menuAt(row.id));
            continue;
        }
        QCOMPARE(registry.named(QLatin1String(row.idName)), action);
        if (row.place != OnMenuBar)
            QVERIFY2(seen.contains(QLatin1String(row.name)), row.idName);
    }
}

void TestCommandSurface::statesFollowTheDocument()
{
    // Whatever the document says, each command shows what its state function derives, and the
    // switches agree between their menu items and buttons.
    OpenOutline& d = m_window->document();
    const auto c = [this](Command id) { return m_window->command(id); };
    d.outline.createFrame(QRect(10, 40, 200, 150), QStringLiteral("F"));
    const ObjectId frame = d.outline.frame(1).id;
    for (int round = 0; round < 16; ++round) {
        d.session.outlineOpen = round & 1;
        d.session.workToSave = round & 2;
        d.session.editMode = d.session.gridOn = round & 4;
        d.session.zoomOn = !(round & 4);
        d.session.overlay = round & 8 ? OrderOverlay::Frames : OrderOverlay::Objects;
        d.interaction.offeredSwitch = round & 8 ? ObjectSwitch::FrameTitle : ObjectSwitch::None;
        d.interaction.switchButtonsOn = round & 2;
        d.interaction.orderButtonsOn = round & 4;
        d.interaction.currentCompanion = frame;
        d.outline.frame(1).titleVisible = round & 1;
        m_window->showCommandStates();
        const QString when = QStringLiteral("round %1").arg(round);
        for (const Row& row : MainWindow::commandTable()) {
            if (!row.state)
                continue;
            const CommandState state = row.state(*m_window);
            QAction* action = actionOf(*m_window, row);
            if (state.enabled)
                QVERIFY2(action->isEnabled() == *state.enabled, qPrintable(when + QLatin1Char(' ') + row.idName));
            if (state.checked)
                QVERIFY2(action->isChecked() == *state.checked, qPrintable(when + QLatin1Char(' ') + row.idName));
        }
        QCOMPARE(m_window->commands().menu(Menu::Settings)->menuAction()->isEnabled(), d.session.outlineOpen);
        for (Command id : {Command::SaveAs, Command::ExportPicture, Command::ExportWebPage, Command::Print,
                           Command::PrintPreview, Command::Close})
            QCOMPARE(c(id)->isEnabled(), d.session.workToSave);
        for (Command id :
             {Command::EditModeButton, Command::GridButton, Command::ZoomButton, Command::CanvasColourButton})
            QCOMPARE(c(id)->isEnabled(), d.session.outlineOpen);
        QCOMPARE(c(Command::EditMode)->isChecked(), d.session.editMode);
        QCOMPARE(c(Command::EditModeButton)->isChecked(), d.session.editMode);
        QCOMPARE(c(Command::Grid)->isChecked(), d.session.gridOn);
        QCOMPARE(c(Command::ZoomButton)->isChecked(), d.session.zoomOn);
        QCOMPARE(c(Command::FrameSequenceButton)->isChecked(), d.session.overlay == OrderOverlay::Frames);
        QCOMPARE(c(Command::ObjectSequenceButton)->isChecked(), d.session.overlay == OrderOverlay::Objects);
        QCOMPARE(c(Command::MoveLaterButton)->isEnabled(), d.interaction.orderButtonsOn);
        QCOMPARE(c(Command::FrameTitles)->isEnabled(), bool(round & 8));
        QCOMPARE(c(Command::FrameTitlesButton)->isEnabled(), (round & 8) && (round & 2));
        for (Command id : {Command::FrameTitles, Command::FrameTitlesButton, Command::FrameTitlePopup})
            QCOMPARE(c(id)->isChecked(), d.outline.frame(1).titleVisible);
        QVERIFY(!c(Command::StretchSetting)->isEnabled());
    }
}

void TestCommandSurface::editModeMirrorsBetweenButtonAndMenu()
{
    QAction* button = m_window->command(Command::EditModeButton);
    QAction* item = m_window->command(Command::EditMode);
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
    m_window->command(Command::About)->trigger();
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
    m_window->command(Command::About)->trigger();
    QCOMPARE(m_window->findChildren<AboutDialog*>().size(), 1);
}

void TestCommandSurface::helpOpensTheBundledPage()
{
    for (QAction* help : {m_window->command(Command::Help), m_window->command(Command::WebHelp),
                          m_window->command(Command::Help)})  // the menu item, its web twin, the button
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
    m_window->command(Command::Help)->trigger();
    QCOMPARE(m_dialogs->openedUrls.size(), 3);
    QCOMPARE(m_dialogs->messages.size(), 1);
    QCOMPARE(m_dialogs->messages.first().caption, QStringLiteral("Ошибка"));
}

void TestCommandSurface::unbuiltCommandsDoNothing()
{
    const Document before = m_window->document();
    for (Command id : {Command::NewOutline, Command::FrameSequence, Command::ObjectSequence, Command::NewOutline,
                       Command::ObjectSequenceButton})
        m_window->command(id)->trigger();
    QCOMPARE(m_window->document().outline.count(ObjectKind::Frame), 0);
    QCOMPARE(m_window->document().state.modified, before.state.modified);
    QVERIFY(m_dialogs->questions.isEmpty());
    QVERIFY(m_dialogs->messages.isEmpty());
}

void TestCommandSurface::exitClosesTheWindow()
{
    QVERIFY(m_window->isVisible());
    m_window->command(Command::Exit)->trigger();
    QVERIFY(!m_window->isVisible());
}

QTEST_MAIN(TestCommandSurface)
#include "test_command_surface.moc"
