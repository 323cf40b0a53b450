#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace velmar {

// Registers the two outline file types with the desktop (freedesktop shared-mime-info and a
// .desktop entry in the user's data folder) so that opening a .vmd or .vmc file starts the program
// with that file. Files are rewritten, and the desktop's MIME and application databases updated,
// only when their content changed, so an ordinary start spawns no helper programs.
struct AssociationResult {
    bool ok = true;        // every file could be written
    bool changed = false;  // something was rewritten (and the databases were asked to update)
};

struct AssociationFiles {
    QString mimePackage;   // <data>/mime/packages/velmar.xml
    QString desktopEntry;  // <data>/applications/velmar.desktop
    QString icon;          // <data>/icons/hicolor/256x256/apps/velmar.png
};

AssociationFiles associationFiles(const QString& dataHome);

// The shared-mime-info package describing both outline types.
QByteArray mimePackageXml();
// The .desktop entry whose Exec line is the quoted program path followed by %f.
QByteArray desktopEntry(const QString& programPath);
// Quotes a path for a desktop entry's Exec key.
QString quoteExecArgument(const QString& path);

// dataHome: the XDG data folder ($XDG_DATA_HOME or ~/.local/share). iconPng may be empty.
// runUpdaters: start update-mime-database / update-desktop-database after a change.
AssociationResult registerFileTypes(const QString& programPath, const QString& dataHome, const QByteArray& iconPng,
                                    bool runUpdaters = true);

// The user's XDG data folder.
QString userDataHome();
// The system's XDG data folders ($XDG_DATA_DIRS, or /usr/local/share and /usr/share).
QStringList systemDataDirs();

// The name of the desktop entry an installed package puts into <data>/applications.
inline constexpr char kInstalledDesktopEntry[] = "org.velmar.velmar.desktop";
// Whether one of the data folders holds the installed package's desktop entry and MIME package.
bool installedSystemWide(const QStringList& dataDirs);
// Removes the per-user copies registerFileTypes wrote (an installed package now provides them,
// and two entries would list the program twice under "Open with"). Returns whether any existed.
bool removeUserRegistration(const QString& dataHome, bool runUpdaters = true);

}  // namespace velmar
