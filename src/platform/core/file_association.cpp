#include "platform/core/file_association.h"

#include "platform/core/file_io.h"

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

QByteArray mimePackageXml()
{
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
               "  <mime-type type=\"application/x-velmar-outline-old\">\n"
               "    <comment>Логический конспект старый формат &quot;.vmc&quot;</comment>\n"
               "    <glob pattern=\"*.vmc\"/>\n"
               "  </mime-type>\n"
               "  <mime-type type=\"application/x-velmar-outline\">\n"
               "    <comment>Логический конспект &quot;.vmd&quot;</comment>\n"
               "    <glob pattern=\"*.vmd\"/>\n"
               "  </mime-type>\n"
               "</mime-info>\n")
        .toUtf8();
}

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
    return QStringLiteral(
               "[Desktop Entry]\n"
               "Type=Application\n"
               "Name=Velmar\n"
               "GenericName=Редактор логических конспектов\n"
               "Comment=Логический конспект: фреймы, рисунки, тексты, видео и стрелки на одной странице\n"
               "Exec=%1 %f\n"
               "Icon=velmar\n"
               "Terminal=false\n"
               "MimeType=application/x-velmar-outline;application/x-velmar-outline-old;\n"
               "Categories=Education;Office;\n")
        .arg(quoteExecArgument(programPath))
        .toUtf8();
}

AssociationResult registerFileTypes(const QString& programPath, const QString& dataHome,
                                    const QByteArray& iconPng, bool runUpdaters)
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

}  // namespace velmar
