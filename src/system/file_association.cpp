#include "system/file_association.h"

#include "system/desktop_files.h"
#include "system/file_io.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace velmar {

namespace {

void startUpdater(const QString& program, const QStringList& arguments)
{
    if (!QStandardPaths::findExecutable(program).isEmpty())
        QProcess::startDetached(program, arguments);
}

}  // namespace

AssociationFiles associationFiles(const QString& dataHome)
{
    const QDir base(dataHome);
    return {base.filePath(QStringLiteral("mime/packages/velmar.xml")),
            base.filePath(QStringLiteral("applications/velmar.desktop")),
            base.filePath(QStringLiteral("icons/hicolor/256x256/apps/velmar.png"))};
}

QByteArray mimePackageXml() { return QByteArray(desktop_files::kMimePackageXml); }

QString quoteExecArgument(const QString& path)
{
    // Inside a quoted Exec argument ", `, $ and \ are escaped with a backslash; the string-level
    // escape of the desktop file then doubles every backslash once more.
    QString quoted;
    for (const QChar c : path) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    quoted.replace(QLatin1String("\\"), QLatin1String("\\\\"));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QByteArray desktopEntry(const QString& programPath)
{
    return QString::fromUtf8(desktop_files::kDesktopEntryTemplate)
        .replace(QStringLiteral("@EXEC@"), quoteExecArgument(programPath))
        .toUtf8();
}

AssociationResult registerFileTypes(const QString& programPath, const QString& dataHome, const QByteArray& iconPng,
                                    bool runUpdaters)
{
    const AssociationFiles files = associationFiles(dataHome);
    AssociationResult result;
    const WriteOutcome mime = writeIfChanged(files.mimePackage, mimePackageXml());
    const WriteOutcome desktop = writeIfChanged(files.desktopEntry, desktopEntry(programPath));
    const WriteOutcome icon = iconPng.isEmpty() ? WriteOutcome::Unchanged : writeIfChanged(files.icon, iconPng);
    result.ok = mime != WriteOutcome::Failed && desktop != WriteOutcome::Failed && icon != WriteOutcome::Failed;
    result.changed = mime == WriteOutcome::Written || desktop == WriteOutcome::Written || icon == WriteOutcome::Written;
    if (runUpdaters) {
        if (mime == WriteOutcome::Written)
            startUpdater(QStringLiteral("update-mime-database"), {QDir(dataHome).filePath(QStringLiteral("mime"))});
        if (desktop == WriteOutcome::Written)
            startUpdater(QStringLiteral("update-desktop-database"), {QFileInfo(files.desktopEntry).absolutePath()});
    }
    return result;
}

QString userDataHome()
{
    const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return xdg;
    return QDir::home().filePath(QStringLiteral(".local/share"));
}

QStringList systemDataDirs()
{
    QStringList dirs;
    for (const QString& dir : qEnvironmentVariable("XDG_DATA_DIRS").split(QLatin1Char(':'), Qt::SkipEmptyParts))
        if (QDir::isAbsolutePath(dir))
            dirs << dir;
    if (dirs.isEmpty())
        dirs << QStringLiteral("/usr/local/share") << QStringLiteral("/usr/share");
    return dirs;
}

bool installedSystemWide(const QStringList& dataDirs)
{
    for (const QString& dir : dataDirs) {
        const QDir base(dir);
        if (QFileInfo::exists(base.filePath(QStringLiteral("applications/") + QLatin1String(kInstalledDesktopEntry)))
            && QFileInfo::exists(base.filePath(QStringLiteral("mime/packages/velmar.xml"))))
            return true;
    }
    return false;
}

bool removeUserRegistration(const QString& dataHome, bool runUpdaters)
{
    const AssociationFiles files = associationFiles(dataHome);
    const bool mime = QFile::remove(files.mimePackage);
    const bool desktop = QFile::remove(files.desktopEntry);
    const bool icon = QFile::remove(files.icon);
    if (runUpdaters) {
        if (mime)
            startUpdater(QStringLiteral("update-mime-database"), {QDir(dataHome).filePath(QStringLiteral("mime"))});
        if (desktop)
            startUpdater(QStringLiteral("update-desktop-database"), {QFileInfo(files.desktopEntry).absolutePath()});
    }
    return mime || desktop || icon;
}

}  // namespace velmar
