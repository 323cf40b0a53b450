#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

class QAction;
class QMenu;
class QWidget;

namespace velmar {

// The last outlines opened or saved, newest first, as items of the file menu above a given item.
// Kept in the user's settings file, never in an outline. Choosing an item opens that outline;
// one that has gone is taken off the list with a note.
class RecentOutlines : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxItems = 8;

    // Until useSettings names a file, the list lasts for this run only.
    RecentOutlines(QMenu* menu, QAction* before, std::function<void(const QString&)> open, QWidget* dialogParent);

    // Where the list lasts between runs (an INI file): read now, written on every change.
    void useSettings(const QString& settingsFile);

    // Puts the outline at the head of the list.
    void remember(const QString& path);
    QStringList paths() const { return m_paths; }

    // The list with path at its head, once, at most kMaxItems long (pure, for the tests).
    static QStringList withFront(QStringList list, const QString& path);

private:
    void load();
    void store() const;
    void rebuild();
    void choose(const QString& path);

    QMenu* m_menu;
    QAction* m_before;
    QAction* m_separator = nullptr;
    QList<QAction*> m_items;
    QString m_settingsFile;
    std::function<void(const QString&)> m_open;
    QWidget* m_dialogParent;
    QStringList m_paths;
};

}  // namespace velmar
