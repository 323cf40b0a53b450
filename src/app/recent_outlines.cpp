#include "app/recent_outlines.h"

#include "model/visible_text.h"
#include "platform/command_guard.h"
#include "platform/dialogs.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>

namespace velmar {

namespace {

const QString kKey = QStringLiteral("recentOutlines");

}  // namespace

RecentOutlines::RecentOutlines(QMenu* menu, QAction* before, std::function<void(const QString&)> open,
                               QWidget* dialogParent)
    : QObject(menu), m_menu(menu), m_before(before), m_open(std::move(open)), m_dialogParent(dialogParent)
{
    rebuild();
}

void RecentOutlines::useSettings(const QString& settingsFile)
{
    m_settingsFile = settingsFile;
    load();
    rebuild();
}

QStringList RecentOutlines::withFront(QStringList list, const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    list.removeAll(absolute);
    list.prepend(absolute);
    while (list.size() > kMaxItems)
        list.removeLast();
    return list;
}

void RecentOutlines::remember(const QString& path)
{
    if (path.isEmpty())
        return;
    m_paths = withFront(m_paths, path);
    store();
    rebuild();
}

void RecentOutlines::load()
{
    if (m_settingsFile.isEmpty())
        return;
    const QSettings settings(m_settingsFile, QSettings::IniFormat);
    // Outlines used before the settings were named stay the newest.
    QStringList stored = m_paths + settings.value(kKey).toStringList();
    // A list edited by hand may hold anything: keep absolute names, once each, at most kMaxItems.
    std::reverse(stored.begin(), stored.end());
    m_paths.clear();
    for (const QString& path : stored)
        if (QDir::isAbsolutePath(path))
            m_paths = withFront(m_paths, path);
}

void RecentOutlines::store() const
{
    if (m_settingsFile.isEmpty())
        return;
    QSettings settings(m_settingsFile, QSettings::IniFormat);
    settings.setValue(kKey, m_paths);
}

void RecentOutlines::rebuild()
{
    for (QAction* item : std::as_const(m_items)) {
        m_menu->removeAction(item);
        item->setObjectName(QString());  // it may be the item being chosen: it goes later
        item->deleteLater();
    }
    m_items.clear();
    // The list has a separator of its own, in the menu only while the list has items.
    if (!m_separator) {
        m_separator = new QAction(this);
        m_separator->setSeparator(true);
    }
    m_menu->removeAction(m_separator);
    if (m_paths.isEmpty())
        return;
    m_menu->insertAction(m_before, m_separator);
    for (int i = 0; i < m_paths.size(); ++i) {
        const QFileInfo info(m_paths[i]);
        // The file's name is shown as text, never as markup or a mnemonic of its own, with its
        // control characters as visible signs (␛, ␊).
        QString caption = visibleText(info.fileName());
        caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
        auto* item = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(caption), this);
        item->setObjectName(QStringLiteral("recentOutline%1").arg(i + 1));
        item->setToolTip(visibleText(QDir::toNativeSeparators(info.absolutePath())).toHtmlEscaped());
        item->setStatusTip(visibleText(QDir::toNativeSeparators(info.absolutePath())));
        const QString path = m_paths[i];
        connect(item, &QAction::triggered, this, [this, path] { runGuarded(m_dialogParent, [&] { choose(path); }); });
        m_menu->insertAction(m_separator, item);
        m_items.append(item);
    }
}

void RecentOutlines::choose(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile()) {
        m_paths.removeAll(path);
        store();
        rebuild();
        const QString shown = visibleText(QDir::toNativeSeparators(path));
        // Something else under the name (a FIFO, a device, a folder) is said for what it is.
        const QString text =
            !info.exists() ? QCoreApplication::translate(
                "RecentOutlines", "Файл «%1» не найден: он удалён или перемещён. Он убран из списка последних "
                                  "конспектов.")
            : info.isDir()
                ? QCoreApplication::translate("RecentOutlines",
                                              "«%1» теперь папка, а не файл конспекта. Она убрана из списка "
                                              "последних конспектов.")
                : QCoreApplication::translate("RecentOutlines",
                                              "«%1» не обычный файл (канал, устройство или сокет): конспект из него "
                                              "не открывается. Он убран из списка последних конспектов.");
        dialogs().inform(m_dialogParent, QCoreApplication::translate("RecentOutlines", "Информация"), text.arg(shown),
                         QMessageBox::Information);
        return;
    }
    m_open(path);
}

}  // namespace velmar
