#include "app/outline_templates.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace velmar {

QString templatesFolder(const QString& programFolder)
{
    return QDir(programFolder).filePath(QStringLiteral("Templates"));
}

std::vector<UserTemplate> userTemplates(const QString& folder)
{
    std::vector<UserTemplate> found;
    const QDir dir(folder);
    for (const QFileInfo& file : dir.entryInfoList({QStringLiteral("*.vmd")}, QDir::Files, QDir::NoSort)) {
        // Only regular files: a link planted in the folder is not followed.
        if (file.isSymLink())
            continue;
        found.push_back(
            {file.completeBaseName(), file.absoluteFilePath(), templateThumbnailFor(file.absoluteFilePath())});
    }
    std::sort(found.begin(), found.end(), [](const UserTemplate& a, const UserTemplate& b) {
        return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
    });
    return found;
}

QString templateFileFor(const QString& folder, const QString& name)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty() || trimmed.count(QLatin1Char('.')) == trimmed.size())
        return {};
    for (const QChar c : trimmed)
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.category() == QChar::Other_Control)
            return {};
    return QDir(folder).filePath(trimmed + QStringLiteral(".vmd"));
}

QString templateThumbnailFor(const QString& templateFile)
{
    const QFileInfo file(templateFile);
    return file.dir().filePath(file.completeBaseName() + QStringLiteral(".png"));
}

}  // namespace velmar
