#include "system/working_folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

namespace velmar {

QString programFolder()
{
    const QString home = qEnvironmentVariable("VELMAR_HOME");
    QString folder = home.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) : home;
    folder = QDir::cleanPath(QDir(folder).absolutePath());
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return folder;
}

QStringList workingFolderNames()
{
    return {QStringLiteral("Picture"), QStringLiteral("temp"), QStringLiteral("Conspect"), QStringLiteral("Project"),
            QStringLiteral("Video")};
}

void ensureWorkingFolders(const QString& programFolder)
{
    QDir().mkpath(programFolder);
    const QDir base(programFolder);
    for (const QString& name : workingFolderNames())
        if (!QFileInfo(base.filePath(name)).isDir())
            base.mkdir(name);
}

QString unsafeWorkingFolder(const QString& programFolder)
{
    for (const QString& folder : {programFolder, QDir(programFolder).filePath(QStringLiteral("temp"))}) {
        struct stat info {};
        if (::stat(QFile::encodeName(folder).constData(), &info) != 0)
            continue;  // not there: nothing can be planted in it, and creating it is reported later
        const bool foreign = info.st_uid != ::geteuid();
        // A group-writable folder is safe only with the user's own group.
        const bool open = (info.st_mode & S_IWOTH) || ((info.st_mode & S_IWGRP) && info.st_gid != ::getegid());
        if (foreign || open || !S_ISDIR(info.st_mode))
            return QCoreApplication::translate(
                       "WorkingFolders",
                       "Рабочая папка «%1» %2, поэтому Velmar не может хранить в ней историю правок: "
                       "другой пользователь мог бы подменить её файлы. Выберите свою папку в переменной "
                       "окружения VELMAR_HOME, например: VELMAR_HOME=~/velmar velmar")
                .arg(QDir::toNativeSeparators(folder),
                     !S_ISDIR(info.st_mode) ? QCoreApplication::translate("WorkingFolders", "не является папкой")
                     : foreign
                         ? QCoreApplication::translate("WorkingFolders", "принадлежит другому пользователю")
                         : QCoreApplication::translate("WorkingFolders", "открыта для записи другим пользователям"));
    }
    return {};
}

namespace {

// The start folder's sub-folders, listed once for the four names (a start folder may be large).
class SubFolders {
public:
    explicit SubFolders(const QDir& start) : m_start(start) {}

    QString pick(const QString& name, const QString& fallback)
    {
        if (QFileInfo(m_start.filePath(name)).isDir())
            return m_start.filePath(name);
        if (!m_listed) {
            m_entries = m_start.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
            m_listed = true;
        }
        for (const QString& entry : std::as_const(m_entries))
            if (entry.compare(name, Qt::CaseInsensitive) == 0)
                return m_start.filePath(entry);
        return fallback;
    }

private:
    const QDir& m_start;
    QStringList m_entries;
    bool m_listed = false;
};

}  // namespace

DialogFolders dialogFolders(const QString& startFolder, const QString& programFolder)
{
    const QDir start(startFolder);
    const QDir base(programFolder);
    SubFolders folders(start);
    DialogFolders f;
    f.outlines = folders.pick(QStringLiteral("project"), base.filePath(QStringLiteral("Project")));
    f.video = folders.pick(QStringLiteral("video"), base.filePath(QStringLiteral("Video")));
    f.pictures = folders.pick(QStringLiteral("Picture"), base.filePath(QStringLiteral("Picture")));
    f.exports = folders.pick(QStringLiteral("Conspect"), base.filePath(QStringLiteral("Conspect")));
    return f;
}

}  // namespace velmar
