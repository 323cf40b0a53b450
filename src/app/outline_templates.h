#pragma once

#include <QString>

#include <vector>

namespace velmar {

// A template the user saved: an outline file and the picture of it shown when choosing.
struct UserTemplate {
    QString name;
    QString file;       // NAME.vmd
    QString thumbnail;  // NAME.png beside it (may be missing)
};

// The folder of the user's templates inside the program's data folder.
QString templatesFolder(const QString& programFolder);

// The templates found in the folder, by name (letters' case ignored).
std::vector<UserTemplate> userTemplates(const QString& folder);

// The template file a name is kept in, or an empty string when the name cannot name a file
// (empty, only dots, a slash or a control character in it).
QString templateFileFor(const QString& folder, const QString& name);

// The picture kept beside a template file.
QString templateThumbnailFor(const QString& templateFile);

}  // namespace velmar
