#include "storage/film_still.h"

#include "storage/jpeg_codec.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QIODevice>
#include <QMutex>
#include <QtEndian>

#include <optional>

namespace velmar {

namespace {

// Largest frame read as a still: more than any film a panel would show, far less than memory.
constexpr qint64 kMaxFrameBytes = 64 * 1024 * 1024;
constexpr int kMaxSide = 8192;
// Chunks walked before giving up on a file that holds no video frame.
constexpr int kMaxChunks = 100000;

struct Chunk {
    QByteArray id;
    quint32 size = 0;
    qint64 data = 0;  // offset of the chunk's data
};

std::optional<Chunk> readChunk(QIODevice& file, qint64 at, qint64 end)
{
    if (at + 8 > end || !file.seek(at))
        return std::nullopt;
    const QByteArray head = file.read(8);
    if (head.size() != 8)
        return std::nullopt;
    Chunk chunk{head.left(4), qFromLittleEndian<quint32>(head.constData() + 4), at + 8};
    if (chunk.data + qint64(chunk.size) > end)
        return std::nullopt;
    return chunk;
}

// The next chunk after one: chunks are padded to an even size.
qint64 after(const Chunk& chunk)
{
    return chunk.data + qint64(chunk.size) + (chunk.size & 1);
}

QByteArray readData(QIODevice& file, const Chunk& chunk, qint64 limit)
{
    if (qint64(chunk.size) > limit || !file.seek(chunk.data))
        return {};
    QByteArray bytes = file.read(chunk.size);
    return bytes.size() == qint64(chunk.size) ? bytes : QByteArray();
}

// What a video stream's format chunk says about its frames.
struct VideoFormat {
    int stream = -1;  // the stream's number, which names its frame chunks ("00dc", "01db")
    QByteArray handler;
    QByteArray bitmapInfo;  // the format chunk: a bitmap info header and, for 8 bits, a palette
};

quint32 u32(const QByteArray& bytes, int at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

quint16 u16(const QByteArray& bytes, int at)
{
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

// The first video stream of the header list.
std::optional<VideoFormat> findVideoStream(QIODevice& file, const Chunk& headerList)
{
    int stream = 0;
    for (qint64 at = headerList.data + 4; at < after(headerList);) {
        const std::optional<Chunk> chunk = readChunk(file, at, after(headerList));
        if (!chunk)
            return std::nullopt;
        at = after(*chunk);
        if (chunk->id != "LIST" || chunk->size < 4)
            continue;
        file.seek(chunk->data);
        if (file.read(4) != "strl")
            continue;
        QByteArray header, format;
        for (qint64 inner = chunk->data + 4; inner < after(*chunk);) {
            const std::optional<Chunk> part = readChunk(file, inner, after(*chunk));
            if (!part)
                break;
            inner = after(*part);
            if (part->id == "strh")
                header = readData(file, *part, 4096);
            else if (part->id == "strf")
                format = readData(file, *part, 64 * 1024);
        }
        if (header.size() >= 8 && header.left(4) == "vids" && format.size() >= 40)
            return VideoFormat{stream, header.mid(4, 4), format};
        ++stream;
    }
    return std::nullopt;
}

// One uncompressed frame: rows of 8, 16, 24 or 32 bits, bottom-up unless the height is negative.
QImage decodeUncompressed(const QByteArray& info, const QByteArray& frame)
{
    const int width = int(u32(info, 4));
    const qint32 signedHeight = qint32(u32(info, 8));
    const int height = signedHeight < 0 ? -signedHeight : signedHeight;
    const int bits = u16(info, 14);
    const quint32 compression = u32(info, 16);
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
        return {};
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return {};
    const qint64 stride = ((qint64(width) * bits + 31) / 32) * 4;
    if (frame.size() < stride * height)
        return {};
    const int headerSize = int(u32(info, 0));
    // 16 bits are 5-5-5 unless bit fields say 5-6-5.
    bool rgb565 = false;
    if (bits == 16 && compression == 3 && info.size() >= headerSize + 12)
        rgb565 = u32(info, headerSize + 4) == 0x07E0;
    QList<QRgb> palette;
    if (bits == 8) {
        const quint32 used = u32(info, 32);
        const int colours = used == 0 || used > 256 ? 256 : int(used);
        for (int i = 0; i < colours && headerSize + 4 * i + 3 < info.size(); ++i) {
            const auto* c = reinterpret_cast<const uchar*>(info.constData() + headerSize + 4 * i);
            palette << qRgb(c[2], c[1], c[0]);
        }
        palette.resize(256, qRgb(0, 0, 0));
    }
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        const int sourceRow = signedHeight < 0 ? y : height - 1 - y;
        const auto* s = reinterpret_cast<const uchar*>(frame.constData() + stride * sourceRow);
        auto* d = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            switch (bits) {
            case 8: d[x] = palette[s[x]]; break;
            case 16: {
                const quint16 v = quint16(s[2 * x] | (s[2 * x + 1] << 8));
                if (rgb565)
                    d[x] = qRgb(((v >> 11) & 31) * 255 / 31, ((v >> 5) & 63) * 255 / 63, (v & 31) * 255 / 31);
                else
                    d[x] = qRgb(((v >> 10) & 31) * 255 / 31, ((v >> 5) & 31) * 255 / 31, (v & 31) * 255 / 31);
                break;
            }
            case 24: d[x] = qRgb(s[3 * x + 2], s[3 * x + 1], s[3 * x]); break;
            default: d[x] = qRgb(s[4 * x + 2], s[4 * x + 1], s[4 * x]); break;
            }
        }
    }
    return image;
}

bool isMotionJpeg(const QByteArray& fourcc)
{
    const QByteArray upper = fourcc.toUpper();
    return upper == "MJPG" || upper == "JPEG" || upper == "AVRN";
}

QImage decodeFrame(const VideoFormat& format, const QByteArray& frame)
{
    const quint32 compression = u32(format.bitmapInfo, 16);
    const QByteArray fourcc = format.bitmapInfo.mid(16, 4);
    if (compression == 0 || compression == 3 || fourcc == "DIB " || fourcc == "RGB ")
        return decodeUncompressed(format.bitmapInfo, frame);
    if (isMotionJpeg(fourcc) || isMotionJpeg(format.handler))
        return decodeJpeg(frame);
    return {};
}

// Finds the first non-empty frame of the stream in the movie list (also inside "rec " lists).
QImage firstFrame(QIODevice& file, const VideoFormat& format, const Chunk& movie)
{
    const QByteArray number = QByteArray::number(format.stream).rightJustified(2, '0');
    int walked = 0;
    QList<std::pair<qint64, qint64>> lists{{movie.data + 4, after(movie)}};
    while (!lists.isEmpty()) {
        auto [at, end] = lists.takeFirst();
        while (at < end && ++walked < kMaxChunks) {
            const std::optional<Chunk> chunk = readChunk(file, at, end);
            if (!chunk)
                return {};
            at = after(*chunk);
            if (chunk->id == "LIST") {
                // The frames of a "rec " list come before the chunks that follow it.
                lists.prepend({at, end});
                at = chunk->data + 4;
                end = after(*chunk);
                continue;
            }
            if (chunk->id.left(2) != number || (chunk->id.mid(2) != "dc" && chunk->id.mid(2) != "db"))
                continue;
            if (chunk->size == 0)
                continue;  // a dropped frame
            const QByteArray data = readData(file, *chunk, kMaxFrameBytes);
            return data.isEmpty() ? QImage() : decodeFrame(format, data);
        }
    }
    return {};
}

}  // namespace

QImage decodeAviFirstPicture(QIODevice& file)
{
    if (!file.isOpen() || !file.seek(0))
        return {};
    const QByteArray riff = file.read(12);
    if (riff.size() != 12 || riff.left(4) != "RIFF" || riff.mid(8, 4) != "AVI ")
        return {};
    // A file cut short still shows its first frame if that frame is whole.
    const qint64 end = std::min<qint64>(file.size(), 8 + qint64(u32(riff, 4)));
    std::optional<VideoFormat> format;
    for (qint64 at = 12; at < end;) {
        const std::optional<Chunk> chunk = readChunk(file, at, file.size());
        if (!chunk)
            return {};
        at = after(*chunk);
        if (chunk->id != "LIST" || chunk->size < 4)
            continue;
        file.seek(chunk->data);
        const QByteArray type = file.read(4);
        if (type == "hdrl")
            format = findVideoStream(file, *chunk);
        else if (type == "movi")
            return format ? firstFrame(file, *format, *chunk) : QImage();
    }
    return {};
}

namespace {

struct KeptStill {
    QDateTime modified;
    qint64 size = -1;
    QImage picture;
};

QMutex stillsLock;

QHash<QString, KeptStill>& keptStills()
{
    static QHash<QString, KeptStill> stills;
    return stills;
}

}  // namespace

void rememberFilmStill(const QString& path, const QImage& picture)
{
    const QFileInfo info(path);
    if (picture.isNull() || !info.isFile())
        return;
    const QMutexLocker lock(&stillsLock);
    keptStills().insert(info.absoluteFilePath(), KeptStill{info.lastModified(), info.size(), picture});
}

QImage filmStill(const QString& path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile())
        return {};
    const QString key = info.absoluteFilePath();
    {
        const QMutexLocker lock(&stillsLock);
        const auto kept = keptStills().constFind(key);
        if (kept != keptStills().cend() && kept->modified == info.lastModified() && kept->size == info.size())
            return kept->picture;
    }
    QFile file(key);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QImage picture = decodeAviFirstPicture(file);
    // Kept even when null: a film in another codec is not read again for every drawing.
    const QMutexLocker lock(&stillsLock);
    keptStills().insert(key, KeptStill{info.lastModified(), info.size(), picture});
    return picture;
}

}  // namespace velmar
