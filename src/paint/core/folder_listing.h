#pragma once

#include <QList>
#include <QString>

namespace velmar::paint {

// How the editor reads a picture file.
enum class PictureDecoder {
    None,    // not a picture the editor reads
    Bitmap,  // through the image reader, by the file's own format (BMP)
    Jpeg,    // through libjpeg, whatever the file's extension
};

// One item of the picture browser.
struct BrowserItem {
    enum class Kind { Parent, Folder, Picture };
    Kind kind = Kind::Folder;
    QString caption;
    // The full path of a picture file; "DIR" for a folder item (the parent included).
    QString path;
    PictureDecoder decoder = PictureDecoder::None;

    bool isFolder() const { return kind != Kind::Picture; }
};

// A folder's items: "..", the subfolders, then the .bmp, .jpg and .jpeg files, each group sorted
// by name without regard to case. At most `limit` items are listed; `truncated` says that more
// were left out. A folder that cannot be read lists the ".." item alone, so the user can leave it.
struct FolderListing {
    QList<BrowserItem> items;
    bool truncated = false;
    bool readable = true;
    int pictureCount() const;
};

constexpr int kBrowserItemLimit = 10000;
// The path entry of a folder item.
inline constexpr char kFolderPathMark[] = "DIR";

FolderListing listFolder(const QString& folder, int limit = kBrowserItemLimit);

// The caption of a picture item: its file name less the last four characters ("c." for c.jpeg).
QString pictureCaption(const QString& fileName);

// The decoder the second character of a file's extension picks: "b" a bitmap, "j" JPEG.
PictureDecoder decoderForFile(const QString& path);

// The folder above `folder` ("/" stays "/"); the folder below it named `name`.
QString parentFolder(const QString& folder);
QString childFolder(const QString& folder, const QString& name);

// Side of the square thumbnails for a browser list of this width.
int thumbSizeForListWidth(int listWidth);

}  // namespace velmar::paint
