#include "paint/core/folder_listing.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace velmar::paint {

namespace {

// Pictures are listed by kind: bitmaps, then .jpg, then .jpeg files.
int pictureGroup(const QString& fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0)
        return -1;
    const QString extension = fileName.mid(dot + 1).toLower();
    if (extension == QLatin1String("bmp"))
        return 0;
    if (extension == QLatin1String("jpg"))
        return 1;
    if (extension == QLatin1String("jpeg"))
        return 2;
    return -1;
}

bool byNameIgnoringCase(const QString& a, const QString& b)
{
    const int c = a.compare(b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
}

}  // namespace

int FolderListing::pictureCount() const
{
    return int(std::count_if(items.cbegin(), items.cend(), [](const BrowserItem& i) { return !i.isFolder(); }));
}

FolderListing listFolder(const QString& folder, int limit)
{
    FolderListing listing;
    const auto add = [&](BrowserItem item) {
        if (listing.items.size() >= limit) {
            listing.truncated = true;
            return false;
        }
        listing.items.append(std::move(item));
        return true;
    };
    add({BrowserItem::Kind::Parent, QStringLiteral(".."), QLatin1String(kFolderPathMark), PictureDecoder::None});

    const QDir dir(folder);
    if (folder.isEmpty() || !dir.exists() || !dir.isReadable()) {
        listing.readable = false;
        return listing;
    }
    // Hidden entries (".cache", ".git") stay hidden, as in the desktop's file manager.
    QStringList folders = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::NoSort);
    QStringList files = dir.entryList(QDir::Files, QDir::NoSort);
    std::sort(folders.begin(), folders.end(), byNameIgnoringCase);
    std::sort(files.begin(), files.end(), byNameIgnoringCase);

    for (const QString& name : std::as_const(folders))
        if (!add({BrowserItem::Kind::Folder, name, QLatin1String(kFolderPathMark), PictureDecoder::None}))
            return listing;
    QList<QString> groups[3];
    for (const QString& name : std::as_const(files)) {
        const int group = pictureGroup(name);
        if (group >= 0)
            groups[group].append(name);
    }
    for (const QList<QString>& group : groups)
        for (const QString& name : group) {
            const QString path = childFolder(folder, name);
            if (!add({BrowserItem::Kind::Picture, pictureCaption(name), path, decoderForFile(path)}))
                return listing;
        }
    return listing;
}

QString pictureCaption(const QString& fileName) { return fileName.left(std::max<qsizetype>(0, fileName.size() - 4)); }

PictureDecoder decoderForFile(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || dot + 1 >= name.size())
        return PictureDecoder::None;
    switch (name.at(dot + 1).toLower().unicode()) {
    case u'b': return PictureDecoder::Bitmap;
    case u'j': return PictureDecoder::Jpeg;
    default: return PictureDecoder::None;
    }
}

QString parentFolder(const QString& folder)
{
    QString path = folder;
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return QDir::rootPath();  // a bare name has no folder above it that we know of
    if (slash == 0)
        return QStringLiteral("/");
    return path.left(slash);
}

QString childFolder(const QString& folder, const QString& name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

int thumbSizeForListWidth(int listWidth) { return std::max(listWidth - 70, 32); }

}  // namespace velmar::paint
