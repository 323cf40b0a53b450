#pragma once

#include <QString>
#include <QStringList>

namespace velmar {

// The per-user folder that holds the working folders and the history snapshots:
// $VELMAR_HOME when set, otherwise the application data folder (~/.local/share/Velmar).
QString programFolder();

// Names of the working folders, in the order they are checked at start.
QStringList workingFolderNames();

// Creates the program folder if needed, then each working folder that does not exist (one level).
// Failures are silent: later file operations in a missing folder report their own errors.
void ensureWorkingFolders(const QString& programFolder);

// Why the program folder or its temp folder cannot be trusted with the history (a Russian message
// naming the folder and suggesting VELMAR_HOME), or an empty string when both are safe: a folder
// another user owns, or one that others may write into, would let them plant links and files that
// the program then writes through or reads as its own. Call after ensureWorkingFolders().
QString unsafeWorkingFolder(const QString& programFolder);

// Initial folders of the file dialogs, taken from the folder the program was started in.
struct DialogFolders {
    QString outlines;  // open/save outline
    QString video;     // open AVI
    QString pictures;  // open picture
    QString exports;   // save as picture
};

// Each dialog starts in the named subfolder of the start folder ("project", "video", "Picture",
// "Conspect"). File names are case-sensitive here, so a subfolder that differs only in case is
// accepted, and when the start folder has no such subfolder the dialog opens the program folder's
// working folder instead of a folder that does not exist.
DialogFolders dialogFolders(const QString& startFolder, const QString& programFolder);

}  // namespace velmar
