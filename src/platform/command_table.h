#pragma once

#include <QCoreApplication>
#include <QHash>
#include <QKeyCombination>
#include <QString>

#include <functional>
#include <optional>
#include <span>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class QToolBar;
class QWidget;

namespace velmar {

// How a command starts out, and where separators go around it.
enum CommandFlag : unsigned {
    StartsDisabled = 1u << 0,
    StartsHidden = 1u << 1,
    Checkable = 1u << 2,
    StartsChecked = 1u << 3 | Checkable,
    SeparatorBefore = 1u << 4,        // a separator above the item in its menu
    ButtonSeparatorBefore = 1u << 5,  // a separator left of the button on the tool bar
};

// Where a row of a command table sits: in a menu (its id, 0, 1, …), or one of these.
enum CommandPlace : int {
    OnMenuBar = -1,      // a menu of the menu bar
    AsPopup = -2,        // a pop-up menu of its own
    OnToolBarOnly = -3,  // a tool-bar button with no menu item
};

// A tool-bar button of a command: its place from the left (1, 2, …; 0 = none), its own component
// name, icon and hint. A command with a menu item shows the item's action on the button too:
// one action, one enabled state.
struct ButtonLook {
    int slot = 0;
    const char* name = nullptr;
    const char* icon = nullptr;  // :/icons/NAME.png
    const char* hint = nullptr;  // translated in the table's context; none: no hint
};

// What a state function says of its command; an unset part is left as it is.
struct CommandState {
    std::optional<bool> enabled;
    std::optional<bool> checked;
};
inline CommandState enabledIf(bool on) { return {on, std::nullopt}; }
inline CommandState checkedIf(bool on) { return {std::nullopt, on}; }

// One row of a window's command table: a command (menu item, tool-bar button or both, one action)
// or a menu (of the menu bar, a pop-up or a submenu). Context is the window the handlers and state
// functions act on.
template <typename Context>
struct CommandRow {
    int id = -1;                    // the typed id as a number: a command's, or the menu's it opens
    const char* idName = nullptr;   // the typed id's name, for tests and reports
    const char* name = nullptr;     // the component name: the action's (or menu's) objectName
    const char* caption = nullptr;  // translated in the table's context
    int place = OnToolBarOnly;      // the menu it sits in, or a CommandPlace
    bool isMenu = false;            // the row opens menu `id`
    unsigned flags = 0;
    QKeyCombination shortcut = QKeyCombination::fromCombined(0);
    ButtonLook button = {};
    // Runs the command, given the check state its click left (for switches).
    void (*run)(Context&, bool checked) = nullptr;
    CommandState (*state)(const Context&) = nullptr;
    // A menu made by code of its own (its items are not in the table), placed at this row.
    QMenu* (*makeMenu)(QMenu* parent, QWidget* window) = nullptr;
};

// The actions and menus a command table built, by typed id and by name.
class CommandSurface {
public:
    QAction* actionAt(int id) const { return id >= 0 && id < int(m_actions.size()) ? m_actions[size_t(id)] : nullptr; }
    QMenu* menuAt(int id) const { return id >= 0 && id < int(m_menus.size()) ? m_menus[size_t(id)] : nullptr; }
    // A command or menu action by its component name or by its typed id's name; for tests and
    // reports (code uses the typed ids).
    QAction* named(const QString& name) const;
    QMenu* menuNamed(const QString& name) const;
    // Every component name and its action; a shared action is found under each of its names.
    const QHash<QString, QAction*>& byName() const { return m_byName; }
    const QHash<QString, QMenu*>& menusByName() const { return m_menusByName; }

    // Building, by buildCommandTable.
    struct Look {
        int id;
        const char* idName;
        const char* name;
        QString caption;
        int place;
        bool isMenu;
        unsigned flags;
        QKeyCombination shortcut;
        ButtonLook button;
        QString hint;
        QMenu* (*makeMenu)(QMenu*, QWidget*);
    };
    // Makes the menus, items and buttons in the rows' order (buttons in their slots' order).
    void build(const std::vector<Look>& rows, QWidget* window, QMenuBar* bar, QToolBar* toolBar);

private:
    std::vector<QAction*> m_actions;
    std::vector<QMenu*> m_menus;
    QHash<QString, QAction*> m_byName;
    QHash<QString, QAction*> m_byIdName;
    QHash<QString, QMenu*> m_menusByName;
};

// A window's commands by their typed ids.
template <typename CommandId, typename MenuId>
class TypedCommands : public CommandSurface {
public:
    QAction* action(CommandId id) const { return actionAt(int(id)); }
    QMenu* menu(MenuId id) const { return menuAt(int(id)); }
};

// The action a row stands for: its own, or the menu action of the menu it opens.
QAction* rowAction(const CommandSurface& surface, int id, bool isMenu);
// Connects an action's triggered signal to a handler; guardedBy, when set, shows what the handler
// throws in a message box over it.
void onTriggered(QAction* action, QObject* receiver, QWidget* guardedBy, std::function<void(bool)> handler);
void applyState(QAction* action, const CommandState& state);

// Builds a window's command table: menus of the menu bar, pop-up menus and submenus, items and
// tool-bar buttons, and connects each command's handler. Captions and hints are translated in the
// context given.
template <typename Context>
void buildCommandTable(std::span<const CommandRow<Context>> table, const char* context, CommandSurface& surface,
                       Context& window, QWidget* widget, QMenuBar* bar, QToolBar* toolBar, QWidget* guardedBy)
{
    std::vector<CommandSurface::Look> looks;
    looks.reserve(table.size());
    for (const CommandRow<Context>& row : table)
        looks.push_back(
            {row.id, row.idName, row.name, row.caption ? QCoreApplication::translate(context, row.caption) : QString(),
             row.place, row.isMenu, row.flags, row.shortcut, row.button,
             row.button.hint ? QCoreApplication::translate(context, row.button.hint) : QString(), row.makeMenu});
    surface.build(looks, widget, bar, toolBar);
    for (const CommandRow<Context>& row : table)
        if (row.run)
            onTriggered(rowAction(surface, row.id, row.isMenu), widget, guardedBy,
                        [&window, run = row.run](bool checked) { run(window, checked); });
}

// Sets every command's enabled and checked state from its state function.
template <typename Context>
void showCommandTableStates(std::span<const CommandRow<Context>> table, const CommandSurface& surface,
                            const Context& window)
{
    for (const CommandRow<Context>& row : table)
        if (row.state)
            applyState(rowAction(surface, row.id, row.isMenu), row.state(window));
}

}  // namespace velmar
