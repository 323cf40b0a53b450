// Folder listing, captions, folder walking and the shared thumbnail cache, without widgets.
#include "paint/core/folder_listing.h"
#include "paint/core/picture_files.h"
#include "paint/core/thumbnail_cache.h"
#include "paint/core/thumbnail_loader.h"
#include "storage/jpeg_codec.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <future>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace velmar;
using namespace velmar::paint;

namespace {

QImage gradient(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x * 255 / w, y * 255 / h, 90));
    return image;
}

void writeFile(const QString& path, const QByteArray& data)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(data);
}

void writeJpeg(const QString& path, const QImage& image) { writeFile(path, encodeJpeg(image, 90)); }

QStringList captions(const FolderListing& listing)
{
    QStringList out;
    for (const BrowserItem& item : listing.items)
        out << item.caption;
    return out;
}

}  // namespace

class TestPictureBrowserCore : public QObject {
    Q_OBJECT
private slots:
    void listingOrderCaptionsAndPaths();
    void hiddenAndOtherFilesAreLeftOut();
    void unreadableFolderOffersTheWayUp();
    void longFolderStopsAtTheLimit();
    void folderWalking_data();
    void folderWalking();
    void thumbSizeFollowsTheListWidth_data();
    void thumbSizeFollowsTheListWidth();
    void decoderFromTheExtension_data();
    void decoderFromTheExtension();
    void jpegThumbnailIsDecodedReduced();
    void cacheFileIsSharedAndPrivate();
    void staleOrDamagedCacheIsRebuilt();
    void unreadablePictureGivesAnError();
    void plantedCacheEntriesAreNeitherWaitedOnNorFollowed();
    void loaderDeliversOnlyTheLatestRun();
};

void TestPictureBrowserCore::listingOrderCaptionsAndPaths()
{
    QTemporaryDir dir;
    const QString root = dir.path();
    QDir(root).mkdir(QStringLiteral("zeta"));
    QDir(root).mkdir(QStringLiteral("Alpha"));
    QDir(root).mkdir(QStringLiteral("photos.2020"));  // a folder with a dot is still a folder
    writeJpeg(root + QStringLiteral("/c.jpeg"), gradient(8, 8));
    writeJpeg(root + QStringLiteral("/b.jpg"), gradient(8, 8));
    writeJpeg(root + QStringLiteral("/D.JPG"), gradient(8, 8));
    gradient(8, 8).save(root + QStringLiteral("/a.bmp"), "BMP");

    const FolderListing listing = listFolder(root);
    QCOMPARE(captions(listing), QStringList({"..", "Alpha", "photos.2020", "zeta", "a", "b", "D", "c."}));
    QCOMPARE(listing.items[0].kind, BrowserItem::Kind::Parent);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(listing.items[i].path, QStringLiteral("DIR"));
    QCOMPARE(listing.items[4].path, root + QStringLiteral("/a.bmp"));
    QCOMPARE(listing.items[4].decoder, PictureDecoder::Bitmap);
    QCOMPARE(listing.items[7].path, root + QStringLiteral("/c.jpeg"));
    QCOMPARE(listing.items[7].decoder, PictureDecoder::Jpeg);
    QCOMPARE(listing.pictureCount(), 4);
    QVERIFY(!listing.truncated);
}

void TestPictureBrowserCore::hiddenAndOtherFilesAreLeftOut()
{
    QTemporaryDir dir;
    const QString root = dir.path();
    QDir(root).mkdir(QStringLiteral(".cache"));
    QDir(root).mkdir(QStringLiteral("pics.jpg"));         // a folder named like a picture
    writeFile(root + QStringLiteral("/README"), "text");  // a file without extension is no folder
    writeFile(root + QStringLiteral("/notes.txt"), "text");
    writeFile(root + QStringLiteral("/x.png"), "png");
    writeJpeg(root + QStringLiteral("/.hidden.jpg"), gradient(4, 4));
    QCOMPARE(captions(listFolder(root)), QStringList({"..", "pics.jpg"}));
}

void TestPictureBrowserCore::unreadableFolderOffersTheWayUp()
{
    const FolderListing listing = listFolder(QStringLiteral("/no/such/folder/here"));
    QVERIFY(!listing.readable);
    QCOMPARE(captions(listing), QStringList({".."}));
}

void TestPictureBrowserCore::longFolderStopsAtTheLimit()
{
    QTemporaryDir dir;
    for (int i = 0; i < 12; ++i)
        writeFile(dir.path() + QStringLiteral("/p%1.bmp").arg(i, 2, 10, QLatin1Char('0')), "x");
    const FolderListing listing = listFolder(dir.path(), 10);
    QCOMPARE(listing.items.size(), 10);
    QVERIFY(listing.truncated);
    QCOMPARE(listing.items.last().caption, QStringLiteral("p08"));
}

void TestPictureBrowserCore::folderWalking_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("up");
    QTest::newRow("two levels") << "/home/user/Pictures/Old"
                                << "/home/user/Pictures";
    QTest::newRow("trailing slash") << "/home/user/"
                                    << "/home";
    QTest::newRow("below the root") << "/home"
                                    << "/";
    QTest::newRow("the root stays") << "/"
                                    << "/";
    QTest::newRow("no folder above") << "Pictures"
                                     << "/";
    QTest::newRow("empty") << ""
                           << "/";
}

void TestPictureBrowserCore::folderWalking()
{
    QFETCH(QString, folder);
    QFETCH(QString, up);
    QCOMPARE(parentFolder(folder), up);
    // Going down and up again comes back.
    if (folder.startsWith(QLatin1Char('/')) && !folder.endsWith(QLatin1Char('/')))
        QCOMPARE(parentFolder(childFolder(folder, QStringLiteral("sub"))), folder);
}

void TestPictureBrowserCore::thumbSizeFollowsTheListWidth_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("side");
    QTest::newRow("usual") << 134 << 64;
    QTest::newRow("narrowed") << 90 << 32;
    QTest::newRow("just above the least") << 103 << 33;
    QTest::newRow("collapsed") << 0 << 32;
}

void TestPictureBrowserCore::thumbSizeFollowsTheListWidth()
{
    QFETCH(int, width);
    QFETCH(int, side);
    QCOMPARE(thumbSizeForListWidth(width), side);
}

void TestPictureBrowserCore::decoderFromTheExtension_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("filter");
    QTest::addColumn<int>("dropped");  // the browser's choice by the extension
    QTest::addColumn<int>("opened");   // the open dialog's choice by the filter
    const int none = int(PictureDecoder::None), bmp = int(PictureDecoder::Bitmap), jpg = int(PictureDecoder::Jpeg);
    QTest::newRow("bitmap") << "/a/x.bmp" << 1 << bmp << bmp;
    QTest::newRow("upper-case JPEG") << "/a/x.JPG" << 1 << jpg << jpg;
    QTest::newRow("jpeg filter, bitmap name") << "/a/x.bmp" << 2 << bmp << jpg;
    QTest::newRow("third filter") << "/a/x.png" << 3 << none << jpg;
    QTest::newRow("dotted folder, no extension") << "/a.jpg/x" << 1 << none << bmp;
}

void TestPictureBrowserCore::decoderFromTheExtension()
{
    QFETCH(QString, path);
    QFETCH(int, filter);
    QFETCH(int, dropped);
    QFETCH(int, opened);
    QCOMPARE(int(decoderForFile(path)), dropped);
    QCOMPARE(int(decoderForOpenFilter(filter, path)), opened);
}

void TestPictureBrowserCore::jpegThumbnailIsDecodedReduced()
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/big.jpg");
    writeJpeg(path, gradient(1600, 1200));
    // Decoded at an eighth, which is still more than the 128 pixels wanted.
    const QImage reduced = readPictureReduced(path, PictureDecoder::Jpeg, 128);
    QCOMPARE(reduced.size(), QSize(200, 150));
    QCOMPARE(readPictureReduced(path, PictureDecoder::Jpeg, 400).size(), QSize(800, 600));
    // A picture smaller than the thumbnail is not reduced.
    writeJpeg(path, gradient(100, 60));
    QCOMPARE(readPictureReduced(path, PictureDecoder::Jpeg, 128).size(), QSize(100, 60));

    ThumbnailCache cache(dir.path() + QStringLiteral("/cache"));
    writeJpeg(path, gradient(1600, 1200));
    QCOMPARE(cache.thumbnail(path, PictureDecoder::Jpeg, 64).size(), QSize(128, 96));
    QCOMPARE(cache.thumbnail(path, PictureDecoder::Jpeg, 200).size(), QSize(256, 192));
}

void TestPictureBrowserCore::cacheFileIsSharedAndPrivate()
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/my photo.jpg");
    writeJpeg(path, gradient(300, 200));
    ThumbnailCache cache(dir.path() + QStringLiteral("/thumbnails"));

    const QByteArray uri = "file://" + QFile::encodeName(dir.path()) + "/my%20photo.jpg";
    QCOMPARE(ThumbnailCache::fileUri(path), uri);
    const QString expected = dir.path() + QStringLiteral("/thumbnails/normal/")
                             + QString::fromLatin1(QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex())
                             + QStringLiteral(".png");
    QCOMPARE(cache.thumbnailPath(path, 64), expected);
    QVERIFY(cache.thumbnailPath(path, 200).contains(QStringLiteral("/thumbnails/large/")));

    QVERIFY(!cache.thumbnail(path, PictureDecoder::Jpeg, 64).isNull());
    QVERIFY(QFile::exists(expected));
    const auto others =
        QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    QCOMPARE(QFile::permissions(expected) & others, QFile::Permissions());
    QVERIFY(QFile::permissions(expected).testFlags(QFile::ReadOwner | QFile::WriteOwner));
    const QImage stored(expected);
    QCOMPARE(stored.text(QStringLiteral("Thumb::URI")).toLatin1(), uri);
    QCOMPARE(stored.text(QStringLiteral("Thumb::MTime")),
             QString::number(QFileInfo(path).lastModified().toSecsSinceEpoch()));
    QCOMPARE(stored.size(), QSize(128, 85));
    // No temporary files are left beside it.
    QCOMPARE(QDir(dir.path() + QStringLiteral("/thumbnails/normal")).entryList(QDir::Files).size(), 1);
}

void TestPictureBrowserCore::staleOrDamagedCacheIsRebuilt()
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/p.bmp");
    QImage red(40, 40, QImage::Format_RGB32);
    red.fill(Qt::red);
    QVERIFY(red.save(path, "BMP"));
    ThumbnailCache cache(dir.path() + QStringLiteral("/thumbnails"));
    QCOMPARE(QColor(cache.thumbnail(path, PictureDecoder::Bitmap, 64).pixel(20, 20)), QColor(Qt::red));
    const QString thumb = cache.thumbnailPath(path, 64);
    QVERIFY(!cache.cached(path, 64).isNull());

    // The picture changes and its time moves on: the old thumbnail no longer counts.
    QImage blue = red;
    blue.fill(Qt::blue);
    QVERIFY(blue.save(path, "BMP"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QFileInfo(path).lastModified().addSecs(5), QFileDevice::FileModificationTime));
    file.close();
    QVERIFY(cache.cached(path, 64).isNull());
    QCOMPARE(QColor(cache.thumbnail(path, PictureDecoder::Bitmap, 64).pixel(20, 20)), QColor(Qt::blue));
    QCOMPARE(QColor(cache.cached(path, 64).pixel(20, 20)), QColor(Qt::blue));

    // A cut-off cache file is made anew.
    QFile damaged(thumb);
    QVERIFY(damaged.open(QIODevice::ReadWrite));
    QVERIFY(damaged.resize(damaged.size() / 2));
    damaged.close();
    QVERIFY(cache.cached(path, 64).isNull());
    QCOMPARE(QColor(cache.thumbnail(path, PictureDecoder::Bitmap, 64).pixel(20, 20)), QColor(Qt::blue));
    QVERIFY(!cache.cached(path, 64).isNull());

    // So is a thumbnail that belongs to another file (a foreign URI under this name).
    QImage foreign(10, 10, QImage::Format_RGB32);
    foreign.fill(Qt::green);
    foreign.setText(QStringLiteral("Thumb::URI"), QStringLiteral("file:///elsewhere.bmp"));
    foreign.setText(QStringLiteral("Thumb::MTime"), QString::number(QFileInfo(path).lastModified().toSecsSinceEpoch()));
    QVERIFY(foreign.save(thumb, "PNG"));
    QCOMPARE(QColor(cache.thumbnail(path, PictureDecoder::Bitmap, 64).pixel(20, 20)), QColor(Qt::blue));
}

void TestPictureBrowserCore::unreadablePictureGivesAnError()
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/broken.jpg");
    QByteArray stream = encodeJpeg(gradient(64, 64), 90);
    writeFile(path, stream.left(stream.size() / 3));
    ThumbnailCache cache(dir.path() + QStringLiteral("/thumbnails"));
    QString error;
    QVERIFY(cache.thumbnail(path, PictureDecoder::Jpeg, 64, &error).isNull());
    QVERIFY(!error.isEmpty());
    QVERIFY(!QFile::exists(cache.thumbnailPath(path, 64)));
    QVERIFY(readPictureFile(dir.path() + QStringLiteral("/missing.bmp"), PictureDecoder::Bitmap, &error).isNull());
    QCOMPARE(error, QStringLiteral("файл не найден"));
}

void TestPictureBrowserCore::plantedCacheEntriesAreNeitherWaitedOnNorFollowed()
{
    // The thumbnail cache is a folder every program of the user writes into: what stands under
    // an entry's name may be a FIFO (opening it would wait for a writer for ever) or a link to a
    // thumbnail of something else. Neither is read; the thumbnail is made anew in its place.
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/p.bmp");
    QImage red(40, 40, QImage::Format_RGB32);
    red.fill(Qt::red);
    QVERIFY(red.save(path, "BMP"));
    ThumbnailCache cache(dir.path() + QStringLiteral("/thumbnails"));
    const QString thumb = cache.thumbnailPath(path, 64);
    QVERIFY(QDir().mkpath(QFileInfo(thumb).absolutePath()));
    QCOMPARE(::mkfifo(QFile::encodeName(thumb).constData(), 0600), 0);
    auto made = std::async(std::launch::async, [&] { return cache.thumbnail(path, PictureDecoder::Bitmap, 64); });
    if (made.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
        // Let the waiting reader go (a writer opening the FIFO ends its wait), then fail.
        const int writer = ::open(QFile::encodeName(thumb).constData(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0)
            ::close(writer);
        made.wait();
        QFAIL("reading the cache waited on a FIFO");
    }
    QCOMPARE(QColor(made.get().pixel(20, 20)), QColor(Qt::red));
    QVERIFY(QFileInfo(thumb).isFile() && !QFileInfo(thumb).isSymLink());

    // A link to a well-formed thumbnail claiming this file (green) is replaced, its target kept.
    const QString elsewhere = dir.path() + QStringLiteral("/elsewhere.png");
    QImage green(10, 10, QImage::Format_RGB32);
    green.fill(Qt::green);
    green.setText(QStringLiteral("Thumb::URI"), QString::fromLatin1(ThumbnailCache::fileUri(path)));
    green.setText(QStringLiteral("Thumb::MTime"), QString::number(QFileInfo(path).lastModified().toSecsSinceEpoch()));
    QVERIFY(green.save(elsewhere, "PNG"));
    const QByteArray target = QFile::encodeName(elsewhere);
    QVERIFY(QFile::remove(thumb));
    QCOMPARE(::symlink(target.constData(), QFile::encodeName(thumb).constData()), 0);
    QVERIFY(cache.cached(path, 64).isNull());
    QCOMPARE(QColor(cache.thumbnail(path, PictureDecoder::Bitmap, 64).pixel(20, 20)), QColor(Qt::red));
    QVERIFY(!QFileInfo(thumb).isSymLink());
    QCOMPARE(QColor(QImage(elsewhere).pixel(5, 5)), QColor(Qt::green));
}

void TestPictureBrowserCore::loaderDeliversOnlyTheLatestRun()
{
    QTemporaryDir dir;
    QList<ThumbnailLoader::Job> first, second;
    for (int i = 0; i < 6; ++i) {
        const QString path = dir.path() + QStringLiteral("/p%1.jpg").arg(i);
        writeJpeg(path, gradient(400 + i, 300));
        first.append({i + 1, path, PictureDecoder::Jpeg});
    }
    second.append({3, first[2].path, PictureDecoder::Jpeg});
    second.append({4, dir.path() + QStringLiteral("/gone.jpg"), PictureDecoder::Jpeg});

    ThumbnailLoader loader{ThumbnailCache(dir.path() + QStringLiteral("/thumbnails"))};
    QList<ThumbnailLoader::Result> delivered;
    QList<int> runs;
    connect(&loader, &ThumbnailLoader::thumbnailsReady, this,
            [&](int run, const QList<ThumbnailLoader::Result>& results) {
                runs << run;
                delivered << results;
            });
    QSignalSpy finished(&loader, &ThumbnailLoader::runFinished);
    const int old = loader.start(first, 48);
    const int latest = loader.start(second, 48);
    QVERIFY(latest != old);
    QTRY_COMPARE(finished.size(), 1);
    QCOMPARE(finished.at(0).at(0).toInt(), latest);
    QVERIFY(!runs.contains(old));
    QCOMPARE(delivered.size(), 2);
    std::sort(delivered.begin(), delivered.end(), [](auto& a, auto& b) { return a.row < b.row; });
    QCOMPARE(delivered[0].row, 3);
    QCOMPARE(delivered[0].thumbnail.size(), QSize(48, 48));
    QVERIFY(delivered[1].thumbnail.isNull());
    QVERIFY(!delivered[1].error.isEmpty());
    QVERIFY(!loader.busy());
}

QTEST_GUILESS_MAIN(TestPictureBrowserCore)
#include "test_picture_browser_core.moc"
