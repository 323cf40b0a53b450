#include "app/help.h"

#include "platform/command_guard.h"
#include "platform/core/file_io.h"
#include "platform/dialogs.h"

#include <QDir>
#include <QFile>
#include <QUrl>

namespace velmar {

QString installHelp(const QString& programFolder)
{
    QFile bundled(QStringLiteral(":/help/index.html"));
    if (!bundled.open(QIODevice::ReadOnly))
        return {};
    const QByteArray page = bundled.readAll();

    const QString path = QDir(QDir(programFolder).filePath(QStringLiteral("help"))).filePath(QStringLiteral("index.html"));
    return writeIfChanged(path, page) == WriteOutcome::Failed ? QString() : path;
}

void openHelp(const QString& programFolder)
{
    const QString path = installHelp(programFolder);
    if (path.isEmpty())
        throw UserError(QStringLiteral("Не удалось подготовить страницу справки в папке «%1».").arg(programFolder));
    dialogs().openUrl(QUrl::fromLocalFile(path));
}

}  // namespace velmar
