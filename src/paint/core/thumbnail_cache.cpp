#include "paint/core/thumbnail_cache.h"

#include "paint/core/picture_files.h"
#include "system/file_io.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QUrl>

#include <cstdio>

#include <unistd.h>

namespace velmar::paint {

namespace {

const QString kUriKey = QStringLiteral("Thumb::URI");
const QString kMTimeKey = QStringLiteral("Thumb::MTime");
// A 256 × 256 thumbnail takes at most about 260 KB as PNG; a larger entry is not one of ours.
constexpr qint64 kMaxEntryBytes = 4 * 1024 * 1024;

QString defaultRoot()
{
    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (cache.isEmpty() || !QDir::isAbsolutePath(cache))
        cache = QDir::homePath() + QStringLiteral("/.cache");
    return cache + QStringLiteral("/thumbnails");
}

QString folderFor(int size) { return size > 128 ? QStringLiteral("large") : QStringLiteral("normal"); }

// Creates the cache folders the first time, readable by their owner alone.
bool makePrivateFolder(const QString& path)
{
    if (QFileInfo(path).isDir())
        return true;
    if (!QDir().mkpath(path))
        return false;
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QFile::setPermissions(QFileInfo(path).absolutePath(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return true;
}

}  // namespace

ThumbnailCache::ThumbnailCache(QString root) : m_root(root.isEmpty() ? defaultRoot() : std::move(root)) {}

int ThumbnailCache::cachedSize(int wanted) { return wanted > 128 ? 256 : 128; }

QByteArray ThumbnailCache::fileUri(const QString& path)
{
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded();
}

QString ThumbnailCache::thumbnailPath(const QString& path, int wanted) const
{
    const QByteArray md5 = QCryptographicHash::hash(fileUri(path), QCryptographicHash::Md5).toHex();
    return m_root + QLatin1Char('/') + folderFor(cachedSize(wanted)) + QLatin1Char('/') + QString::fromLatin1(md5)
           + QStringLiteral(".png");
}

QImage ThumbnailCache::cached(const QString& path, int wanted) const
{
    const QFileInfo file(path);
    if (!file.isFile())
        return {};
    // The cache is shared with every other program of the user: an entry is read only when it is
    // a plain file of a thumbnail's size, opened without waiting (a FIFO planted there would hold
    // the reading thread for ever) and never through a link. Anything else counts as missing and
    // is made again, replacing it.
    QString problem;
    const int handle = openRegularFile(thumbnailPath(path, wanted), &problem, /*followLinks=*/false);
    if (handle < 0)
        return {};
    QByteArray bytes;
    const bool read = readUpTo(handle, kMaxEntryBytes + 1, &bytes);
    ::close(handle);
    if (!read || bytes.size() > kMaxEntryBytes)
        return {};
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    // (The reader's own text() cannot be asked: it takes the "::" of the keys apart.)
    QImageReader reader(&buffer, "png");
    QImage image = reader.read();
    if (image.isNull() || image.text(kUriKey).toLatin1() != fileUri(path)
        || image.text(kMTimeKey) != QString::number(file.lastModified().toSecsSinceEpoch()))
        return {};
    const int limit = cachedSize(wanted);
    if (image.isNull() || image.width() > limit || image.height() > limit)
        return {};
    return image;
}

QImage ThumbnailCache::thumbnail(const QString& path, PictureDecoder decoder, int wanted, QString* error) const
{
    QImage image = cached(path, wanted);
    if (!image.isNull())
        return image;
    const QFileInfo file(path);
    const qint64 modified = file.lastModified().toSecsSinceEpoch();
    const int size = cachedSize(wanted);
    image = readPictureReduced(path, decoder, size, error);
    if (image.isNull())
        return {};
    if (image.width() > size || image.height() > size)
        image = image.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    image = image.convertToFormat(QImage::Format_RGB32);
    // Thumbnails of the cache's own files are not cached, lest they feed on themselves.
    if (!file.absoluteFilePath().startsWith(m_root + QLatin1Char('/')))
        store(path, image, modified, wanted);
    return image;
}

bool ThumbnailCache::store(const QString& path, const QImage& thumbnail, qint64 modified, int wanted) const
{
    const QString target = thumbnailPath(path, wanted);
    const QString folder = QFileInfo(target).absolutePath();
    if (!makePrivateFolder(folder))
        return false;
    QImage tagged = thumbnail;
    tagged.setText(kUriKey, QString::fromLatin1(fileUri(path)));
    tagged.setText(kMTimeKey, QString::number(modified));
    tagged.setText(QStringLiteral("Software"), QStringLiteral("Velmar"));
    // Written beside its final place (a temporary file is private to its owner) and renamed over
    // it, so a reader never sees half a thumbnail, and another program writing the same one
    // at the same time does no harm.
    QTemporaryFile file(folder + QStringLiteral("/velmar-XXXXXX.png"));
    if (!file.open())
        return false;
    QImageWriter writer(&file, "png");
    if (!writer.write(tagged) || !file.flush())
        return false;
    file.setAutoRemove(false);
    const QString written = file.fileName();
    file.close();
    if (std::rename(QFile::encodeName(written).constData(), QFile::encodeName(target).constData()) != 0) {
        QFile::remove(written);
        return false;
    }
    return true;
}

}  // namespace velmar::paint
