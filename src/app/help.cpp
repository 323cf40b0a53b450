#include "app/help.h"

#include "platform/command_guard.h"
#include "platform/dialogs.h"
#include "system/file_io.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QUrl>

namespace velmar {

QString helpPageName(InterfaceLanguage language)
{
    return language == InterfaceLanguage::English ? QStringLiteral("index_en.html") : QStringLiteral("index.html");
}

QString installHelp(const QString& programFolder, InterfaceLanguage language)
{
    const QString name = helpPageName(language);
    QFile bundled(QStringLiteral(":/help/") + name);
    if (!bundled.open(QIODevice::ReadOnly))
        return {};
    const QByteArray page = bundled.readAll();

    const QString path = QDir(QDir(programFolder).filePath(QStringLiteral("help"))).filePath(name);
    return writeIfChanged(path, page) == WriteOutcome::Failed ? QString() : path;
}

void openHelp(const QString& programFolder)
{
    const QString path = installHelp(programFolder, interfaceLanguage());
    if (path.isEmpty())
        throw UserError(QCoreApplication::translate("Help", "Не удалось подготовить страницу справки в папке «%1».")
                            .arg(programFolder));
    dialogs().openUrl(QUrl::fromLocalFile(path));
}

}  // namespace velmar
