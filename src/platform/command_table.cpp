#include "platform/command_table.h"

#include "platform/command_guard.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include <algorithm>

namespace velmar {

namespace {

const char kIdProperty[] = "command";

void setLook(QAction* action, const CommandSurface::Look& row)
{
    action->setCheckable(row.flags & Checkable);
    action->setChecked((row.flags & StartsChecked) == StartsChecked);
    action->setEnabled(!(row.flags & StartsDisabled));
    if (row.shortcut.toCombined() != 0)
        action->setShortcut(QKeySequence(row.shortcut));
    action->setProperty(kIdProperty, QString::fromLatin1(row.idName));
}

}  // namespace

QAction* CommandSurface::named(const QString& name) const
{
    if (QAction* action = m_byName.value(name))
        return action;
    return m_byIdName.value(name);
}

QMenu* CommandSurface::menuNamed(const QString& name) const { return m_menusByName.value(name); }

void CommandSurface::build(const std::vector<Look>& rows, QWidget* window, QMenuBar* bar, QToolBar* toolBar)
{
    const auto grow = [](auto& list, int id) {
        if (id >= int(list.size()))
            list.resize(size_t(id) + 1, nullptr);
    };
    for (const Look& row : rows) {
        QMenu* in = row.place >= 0 ? menuAt(row.place) : nullptr;
        Q_ASSERT(in || row.place < 0);
        if (in && (row.flags & SeparatorBefore))
            in->addSeparator();
        const QString name = QLatin1String(row.name);
        if (row.isMenu) {
            QMenu* menu = row.makeMenu             ? row.makeMenu(in, window)
                          : row.place == OnMenuBar ? bar->addMenu(row.caption)
                          : row.place == AsPopup   ? new QMenu(window)
                                                   : in->addMenu(row.caption);
            menu->setObjectName(name);
            menu->setProperty(kIdProperty, QString::fromLatin1(row.idName));
            if (row.place != AsPopup) {
                menu->menuAction()->setObjectName(name);
                menu->menuAction()->setProperty(kIdProperty, QString::fromLatin1(row.idName));
                m_byName.insert(name, menu->menuAction());
                m_byIdName.insert(QLatin1String(row.idName), menu->menuAction());
                if (row.flags & StartsDisabled)
                    menu->menuAction()->setEnabled(false);
                if (row.flags & StartsHidden)
                    menu->menuAction()->setVisible(false);
            }
            m_menusByName.insert(name, menu);
            m_menusByName.insert(QLatin1String(row.idName), menu);
            // The items a menu of its own makes are found by their names too.
            if (row.makeMenu)
                for (QAction* item : menu->actions())
                    if (!item->objectName().isEmpty())
                        m_byName.insert(item->objectName(), item);
            grow(m_menus, row.id);
            m_menus[size_t(row.id)] = menu;
            continue;
        }
        QAction* action = nullptr;
        if (in) {
            action = new QAction(row.caption, in);
            action->setObjectName(name);
            setLook(action, row);
            action->setVisible(!(row.flags & StartsHidden));
            in->addAction(action);
        } else {
            // A button of its own: no caption, the hint says what it does.
            action = new QAction(QString(), toolBar);
            action->setObjectName(QLatin1String(row.button.name));
            setLook(action, row);
        }
        m_byName.insert(action->objectName(), action);
        m_byIdName.insert(QLatin1String(row.idName), action);
        grow(m_actions, row.id);
        m_actions[size_t(row.id)] = action;
    }

    // The tool bar, left to right.
    std::vector<const Look*> buttons;
    for (const Look& row : rows)
        if (row.button.slot > 0)
            buttons.push_back(&row);
    std::stable_sort(buttons.begin(), buttons.end(),
                     [](const Look* a, const Look* b) { return a->button.slot < b->button.slot; });
    for (const Look* row : buttons) {
        QAction* action = actionAt(row->id);
        if (row->flags & ButtonSeparatorBefore)
            toolBar->addSeparator();
        action->setIcon(QIcon(QStringLiteral(":/icons/%1.png").arg(QLatin1String(row->button.icon))));
        // A menu item's action keeps showing its caption alone in the menu.
        if (row->place >= 0)
            action->setIconVisibleInMenu(false);
        if (!row->hint.isEmpty())
            action->setToolTip(row->hint);
        toolBar->addAction(action);
        // The button carries the tool button's component name, whichever action it shows.
        if (QWidget* button = toolBar->widgetForAction(action)) {
            button->setObjectName(QLatin1String(row->button.name));
            button->setFixedSize(30, 26);
        }
        m_byName.insert(QLatin1String(row->button.name), action);
        // Hidden after the button exists, so that the tool bar keeps no room for it.
        if (row->place < 0)
            action->setVisible(!(row->flags & StartsHidden));
    }
}

QAction* rowAction(const CommandSurface& surface, int id, bool isMenu)
{
    if (!isMenu)
        return surface.actionAt(id);
    QMenu* menu = surface.menuAt(id);
    return menu ? menu->menuAction() : nullptr;
}

void onTriggered(QAction* action, QObject* receiver, QWidget* guardedBy, std::function<void(bool)> handler)
{
    Q_ASSERT(action);
    if (guardedBy)
        QObject::connect(action, &QAction::triggered, receiver, [guardedBy, handler](bool checked) {
            runGuarded(guardedBy, [&handler, checked] { handler(checked); });
        });
    else
        QObject::connect(action, &QAction::triggered, receiver, handler);
}

void applyState(QAction* action, const CommandState& state)
{
    if (state.enabled)
        action->setEnabled(*state.enabled);
    if (state.checked)
        action->setChecked(*state.checked);
}

}  // namespace velmar
