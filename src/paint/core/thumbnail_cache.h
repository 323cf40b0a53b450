#pragma once

#include "paint/core/folder_listing.h"

#include <QImage>
#include <QString>

namespace velmar::paint {

// Thumbnails of picture files, kept in the desktop's shared thumbnail cache
// ($XDG_CACHE_HOME/thumbnails, ~/.cache/thumbnails by default), where file managers keep theirs:
// a PNG named by the MD5 of the file's file:// URI in "normal" (at most 128 × 128) or "large"
// (at most 256 × 256), carrying the URI and the file's modification time, so that a changed file
// gets a new thumbnail. All functions may run on any thread.
class ThumbnailCache {
public:
    // The cache in its usual place; `root` overrides it (tests).
    explicit ThumbnailCache(QString root = QString());

    QString root() const { return m_root; }
    // The sizes the cache keeps: 128 for thumbnails up to 128 pixels wanted, 256 above.
    static int cachedSize(int wanted);
    // The file:// URI of a file, as the cache names it.
    static QByteArray fileUri(const QString& path);
    // Where the thumbnail of `path` for thumbnails of `wanted` pixels lives.
    QString thumbnailPath(const QString& path, int wanted) const;

    // The thumbnail of a picture file, at most cachedSize(wanted) on its longer side with the
    // picture's proportions: from the cache when it holds a current one, otherwise made from the
    // file (JPEG decoded at a reduced size) and stored. A null image when the file cannot be
    // read; *error then says why.
    QImage thumbnail(const QString& path, PictureDecoder decoder, int wanted, QString* error = nullptr) const;

    // The cached thumbnail when it is there, undamaged and made from the file as it is now.
    QImage cached(const QString& path, int wanted) const;

private:
    bool store(const QString& path, const QImage& thumbnail, qint64 modified, int wanted) const;

    QString m_root;
};

}  // namespace velmar::paint
