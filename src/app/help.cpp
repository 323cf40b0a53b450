#include "app/help.h"

#include "app/command_guard.h"
#include "platform/dialogs.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QUrl>

namespace velmar {

QString installHelp(const QString& programFolder)
{
    QFile bundled(QStringLiteral(":/help/index.html"));
    if (!bundled.open(QIODevice::ReadOnly))
        return {};
    const QByteArray page = bundled.readAll();

    const QDir folder(QDir(programFolder).filePath(QStringLiteral("help")));
    const QString path = folder.filePath(QStringLiteral("index.html"));
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == page)
        return path;
    existing.close();

    QSaveFile out(path);
    if (!folder.mkpath(QStringLiteral(".")) || !out.open(QIODevice::WriteOnly) || out.write(page) != page.size()
        || !out.commit())
        return {};
    return path;
}

void openHelp(const QString& programFolder)
{
    const QString path = installHelp(programFolder);
    if (path.isEmpty())
        throw UserError(QStringLiteral("Не удалось подготовить страницу справки в папке «%1».").arg(programFolder));
    dialogs().openUrl(QUrl::fromLocalFile(path));
}

}  // namespace velmar
