#include "storage/outline_io.h"

#include "base/side_by_side.h"
#include "model/zoom.h"
#include "storage/decode_limits.h"
#include "storage/extension_block.h"
#include "storage/jpeg_codec.h"
#include "storage/object_fields.h"
#include "storage/old_outline_file.h"
#include "system/file_io.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <utility>

#include <unistd.h>

namespace velmar {

using namespace layout;

// --- Saving ----------------------------------------------------------------------------------

qint64 OutlineImage::fileSize() const
{
    qint64 size = header.size();
    qint64 cumulative = 0;
    for (const QByteArray& stream : streams) {
        cumulative += stream.size();
        size += cumulative;
    }
    return size + extension.size();
}

std::vector<QByteArrayView> OutlineImage::pieces() const
{
    // Chunk k repeats the streams of pictures 1..k: readers find picture k at the end of it.
    std::vector<QByteArrayView> list{QByteArrayView(header)};
    for (std::size_t k = 0; k < streams.size(); ++k)
        for (std::size_t i = 0; i <= k; ++i)
            list.emplace_back(streams[i]);
    if (!extension.isEmpty())
        list.emplace_back(extension);
    return list;
}

QByteArray OutlineImage::toBytes() const
{
    QByteArray bytes;
    bytes.reserve(qsizetype(fileSize()));
    bytes += header;
    for (std::size_t k = 0; k < streams.size(); ++k)
        for (std::size_t i = 0; i <= k; ++i)
            bytes += streams[i];
    bytes += extension;
    return bytes;
}

namespace {

QByteArray pictureStream(const PictureObject& picture)
{
    if (!picture.jpegStream().isEmpty())
        return picture.jpegStream();
    QImage bitmap = picture.bitmap();
    if (bitmap.isNull()) {
        // A picture without pixels is written as a blank image of its size, so that the file
        // stays readable.
        bitmap = QImage(picture.bounds.size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
        bitmap.fill(Qt::white);
    }
    const QByteArray stream = encodeJpeg(bitmap, 100);
    if (!stream.isEmpty() && picture.holdsBitmap())
        picture.setJpegStream(stream);
    return stream;
}

}  // namespace

OutlineImage buildOutlineImage(const Document& doc, bool withPictures)
{
    if (doc.outline.ownLayoutScale() > 0) {
        // Shown scaled to fit a smaller window, the outline is written in its own layout: the
        // files and snapshots keep what it was made as, with the user's edits taken back
        // through the scale.
        Document stored;
        stored.state = doc.state;
        stored.outline = ownLayoutOf(doc.outline);
        return buildOutlineImage(stored, withPictures);
    }
    OutlineImage image;
    std::vector<qint32> tailLengths;
    if (withPictures) {
        qint64 cumulative = 0;
        const int count = std::min(doc.outline.count(ObjectKind::Picture), kMaxObjects);
        for (int k = 1; k <= count; ++k) {
            QByteArray stream = pictureStream(doc.outline.picture(k));
            if (stream.isEmpty()) {
                image.ok = false;
                image.problem = QCoreApplication::translate("OutlineIo", "рисунок %1 не удалось сжать в JPEG").arg(k);
                return image;
            }
            cumulative += stream.size();
            if (cumulative > std::numeric_limits<qint32>::max()) {
                image.ok = false;
                image.problem = QCoreApplication::translate(
                    "OutlineIo", "рисунки вместе занимают больше 2 ГБ — столько формат файла не вмещает");
                return image;
            }
            tailLengths.push_back(qint32(cumulative));
            image.streams.push_back(std::move(stream));
        }
    }
    // One record buffer is reused from step to step (its pages stay mapped); an image still holding
    // the previous record keeps its own copy, since writing detaches a shared buffer.
    static thread_local QByteArray record;
    if (record.size() != kHeaderSize)
        record = QByteArray(kHeaderSize, '\0');
    char* bytes = record.data();
    std::memset(bytes, 0, std::size_t(kHeaderSize));
    writeOutlineHeader(bytes, doc, tailLengths);
    image.header = record;
    image.extension = extensionBlockFor(doc.state.outlineName, doc.outline);
    return image;
}

QByteArray serializeOutline(const Document& doc, bool withPictures)
{
    const OutlineImage image = buildOutlineImage(doc, withPictures);
    return image.ok ? image.toBytes() : QByteArray();
}

namespace {

WriteResult writeImage(const QString& path, const OutlineImage& image, bool atomically, bool durable)
{
    WriteResult result;
    const QString shown = QDir::toNativeSeparators(path);
    if (!image.ok) {
        result.message =
            QCoreApplication::translate("OutlineIo", "Не удалось сохранить файл «%1»: %2.").arg(shown, image.problem);
        return result;
    }
    const std::vector<QByteArrayView> pieces = image.pieces();
    const FileWriteStatus written = atomically ? replaceFile(path, pieces, durable) : overwriteFile(path, pieces);
    result.ok = written.ok;
    if (!written.ok)
        result.message = atomically ? QCoreApplication::translate(
                                          "OutlineIo", "Не удалось сохранить файл «%1»: %2. Прежний файл не изменён.")
                                          .arg(shown, written.error)
                                    : QCoreApplication::translate("OutlineIo", "Не удалось записать файл «%1»: %2.")
                                          .arg(shown, written.error);
    return result;
}

}  // namespace

WriteResult writeFileAtomically(const QString& path, const OutlineImage& image, bool durable)
{
    return writeImage(path, image, true, durable);
}

WriteResult writeSnapshotFile(const QString& path, const OutlineImage& image, bool atomically)
{
    WriteResult result;
    const QString shown = QDir::toNativeSeparators(path);
    if (!image.ok) {
        result.message =
            QCoreApplication::translate("OutlineIo", "Не удалось записать файл «%1»: %2.").arg(shown, image.problem);
        return result;
    }
    const FileWriteStatus written = writeWorkingFile(path, image.pieces(), atomically);
    result.ok = written.ok;
    if (!written.ok)
        result.message =
            QCoreApplication::translate("OutlineIo", "Не удалось записать файл «%1»: %2.").arg(shown, written.error);
    return result;
}

WriteResult writeFileDirectly(const QString& path, const OutlineImage& image)
{
    return writeImage(path, image, false, false);
}

WriteResult writeOutlineFile(const QString& path, const Document& doc)
{
    return writeFileAtomically(path, buildOutlineImage(doc, true), true);
}

// --- Loading ---------------------------------------------------------------------------------

namespace {

// Where the loader takes its bytes from: a buffer, or a file read only where needed (an outline
// file repeats every picture in the later chunks, so most of a large file is never read).
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual qint64 size() const = 0;
    // The bytes at [position, position + length); empty when they cannot be read whole.
    virtual QByteArray read(qint64 position, qint64 length) = 0;
};

class BufferSource : public ByteSource {
public:
    explicit BufferSource(const QByteArray& bytes) : m_bytes(bytes) {}
    qint64 size() const override { return m_bytes.size(); }
    QByteArray read(qint64 position, qint64 length) override
    {
        if (position < 0 || length < 0 || position + length > m_bytes.size())
            return {};
        return m_bytes.mid(qsizetype(position), qsizetype(length));
    }

private:
    const QByteArray& m_bytes;
};

class FileSource : public ByteSource {
public:
    explicit FileSource(QFile& file) : m_file(file), m_size(file.size()) {}
    qint64 size() const override { return m_size; }
    QByteArray read(qint64 position, qint64 length) override
    {
        if (position < 0 || length < 0 || position + length > m_size || !m_file.seek(position))
            return {};
        // Read into a block of the stream's own size: QIODevice::read(qint64) grows its buffer to
        // the next power of two, which puts a photo's stream of 300 KB in a fresh mapping of
        // 512 KB, faulted in page by page, rather than in the heap.
        QByteArray bytes(qsizetype(length), Qt::Uninitialized);
        return m_file.read(bytes.data(), length) == length ? bytes : QByteArray();
    }

private:
    QFile& m_file;
    qint64 m_size;
};

QString pictureList(const QStringList& failures) { return failures.join(QStringLiteral(", ")); }

// Streams that together are shorter than this decode in less time than starting threads takes.
constexpr qsizetype kSideBySideBytes = 64 * 1024;

// Runs work(0) … work(count − 1) on the machine's cores and waits for all of them; `bytes` of
// streams below kSideBySideBytes are decoded one after another on the calling thread.
template <typename Work>
void decodeSideBySide(std::size_t count, qsizetype bytes, Work work)
{
    if (count <= 1 || bytes < kSideBySideBytes) {
        for (std::size_t i = 0; i < count; ++i)
            work(i);
        return;
    }
    QThreadPool pool;
    sizeForCores(pool, count);
    runSideBySide(pool, count, work);
}

// How much of a long stream is read first to find its header.
constexpr qint64 kHeaderProbeBytes = 64 * 1024;

// A stream kept without decoding still has a header that declares a picture the decoder would take.
bool declaredWithinLimits(QSize size)
{
    return !size.isEmpty() && size.width() <= JpegLimits::maxSide && size.height() <= JpegLimits::maxSide
           && qint64(size.width()) * size.height() <= JpegLimits::maxPixels;
}

LoadResult load(ByteSource& source, const QByteArray& headerBytes, const QString& fileName, QSize windowChrome,
                double pictureScale, const std::function<void()>& recordAccepted = {})
{
    LoadResult result;
    HeaderReadResult read = readOutlineHeader(headerBytes);
    if (!read.ok()) {
        result.message = headerProblemMessage(read, fileName);
        return result;
    }
    if (recordAccepted)
        recordAccepted();
    OutlineHeader& h = read.header;
    result.outlineName = h.outlineName;
    result.canvasColour = h.canvasColour;
    result.windowSize = QSize(h.windowWidth, h.windowHeight);

    // Objects keep their stored bounds; objects created later on the canvas are fitted into the
    // client area of the window the outline was saved from.
    Outline& o = result.outline;
    o = std::move(h.outline);
    o.setClientSize(
        QSize(std::max(0, h.windowWidth - windowChrome.width()), std::max(0, h.windowHeight - windowChrome.height())));

    // The tail: chunk k holds the streams of pictures 1..k, so picture k's own stream is the last
    // S(k) − S(k−1) bytes of it; the earlier streams are skipped, not decoded again. The streams
    // are read in order, then decoded side by side on the machine's cores.
    struct Decoding {
        int slot = 0;
        QByteArray stream;
        QSize declared;  // the size the stream's header declares
        QSize wanted;    // reduced decoding: the smallest size wanted; empty = full size
        QImage image;
        QString why;
    };
    std::vector<Decoding> decodings;
    // Without a picture scale the streams are kept as they are, none decoded (a stream whose
    // header cannot be read is still decoded, for the reason it is refused).
    struct Kept {
        int slot = 0;
        QByteArray stream;
        QSize declared;
    };
    std::vector<Kept> kept;
    std::map<int, QString> problems;  // picture slot → why it cannot be shown
    qint64 chunkStart = kHeaderSize;
    qint64 previous = 0;
    bool chunksLocatable = true;
    auto budget = std::make_shared<PictureBudget>(source.size());
    result.budget = budget;  // what the pictures leave is the films' to decode
    for (int k = 1; k <= int(h.tailLengths.size()); ++k) {
        const qint64 cumulative = h.tailLengths[std::size_t(k - 1)];
        if (cumulative < 0)
            chunksLocatable = false;  // no later chunk can be found either
        if (!chunksLocatable) {
            problems[k] = QCoreApplication::translate("OutlineIo", "неверная длина данных");
            continue;
        }
        const qint64 length = cumulative - previous;
        // The stream's first bytes say how large its picture is; only a length that such a
        // picture can fill is read on.
        QByteArray stream;
        bool fits = true;
        if (length > 0) {
            const qint64 start = chunkStart + previous;
            if (length <= JpegLimits::freeStreamBytes) {
                stream = source.read(start, length);
            } else if (start + JpegLimits::freeStreamBytes <= source.size()) {
                // The header is looked for in the stream's first bytes, usually within a few
                // kilobytes of its start; the stream is then read once, whole.
                QSize declared = jpegStreamSize(source.read(start, kHeaderProbeBytes));
                if (declared.isEmpty())
                    declared = jpegStreamSize(source.read(start, JpegLimits::freeStreamBytes));
                fits = jpegStreamLengthFits(declared, length);
                stream = fits ? source.read(start, length) : QByteArray();
            }
        }
        // The header is read once: what it declares is the picture's full size from here on.
        const QSize declared = stream.isEmpty() ? QSize() : jpegStreamSize(stream);
        if (length <= 0)
            problems[k] = QCoreApplication::translate("OutlineIo", "нет данных рисунка");
        else if (!fits)
            problems[k] =
                QCoreApplication::translate("OutlineIo", "длина данных (%1 байт) не соответствует размеру рисунка")
                    .arg(length);
        else if (stream.isEmpty())
            problems[k] = QCoreApplication::translate("OutlineIo", "файл обрывается раньше данных рисунка");
        // A stream only copied is never decoded: it costs nothing (one that is decoded after all,
        // to find why it cannot be kept, is counted).
        else if (!(pictureScale == kStreamsOnly && declaredWithinLimits(declared))
                 && !budget->take(jpegDecodingCost(stream, declared)))
            problems[k] = PictureBudget::refusal();
        else if (pictureScale <= 0 && declaredWithinLimits(declared))
            kept.push_back({k, stream, declared});
        else {
            // Each picture is decoded at the smallest reduced size that still covers its control
            // (at the drawing's scale for a small drawing of the outline): what the outline shows
            // first, and the check that the stream can be decoded at all.
            const QSize bounds = o.picture(k).bounds.size();
            const double scale = pictureScale > 0 ? std::min(pictureScale, 1.0) : 1.0;
            const QSize wanted(std::max(1, int(std::ceil(bounds.width() * scale))),
                               std::max(1, int(std::ceil(bounds.height() * scale))));
            decodings.push_back({k, stream, declared, wanted, {}, {}});
        }
        chunkStart += cumulative;
        previous = cumulative;
    }
    qsizetype streamBytes = 0;
    for (const Decoding& d : decodings)
        streamBytes += d.stream.size();
    decodeSideBySide(decodings.size(), streamBytes, [&](std::size_t i) {
        Decoding& d = decodings[i];
        d.image = decodeJpegAtLeast(d.stream, d.wanted, &d.why);
    });
    std::vector<bool> decoded(std::size_t(o.count(ObjectKind::Picture)) + 1, false);
    for (Decoding& d : decodings) {
        if (d.image.isNull()) {
            problems[d.slot] = d.why;
            continue;
        }
        PictureObject& p = o.picture(d.slot);
        decoded[std::size_t(d.slot)] = true;
        if (pictureScale > 0 && pictureScale < 1.0) {
            // An outline drawn small is never saved: its reduced pictures keep no stream.
            p.setBitmap(d.image);
        } else {
            // The stream is kept as read (saving writes it again unchanged) and decoded again
            // whenever the picture is drawn at a size this decode does not serve.
            p.setStoredStream(d.stream, d.declared, decodeStoredJpeg, d.image);
        }
    }
    // Kept undecoded, they are decoded only if something draws them after all.
    for (const Kept& k : kept) {
        o.picture(k.slot).setStoredStream(k.stream, k.declared, decodeStoredJpeg);
        decoded[std::size_t(k.slot)] = true;
    }
    // A picture without a readable stream keeps a blank one.
    QStringList failures;
    for (int k = 1; k <= o.count(ObjectKind::Picture); ++k)
        if (!decoded[std::size_t(k)] || problems.count(k))
            o.picture(k).setBitmap(blankPicture(o.picture(k).bounds.size()));
    for (const auto& [slot, why] : problems)
        failures << QCoreApplication::translate("OutlineIo", "рисунок %1 (%2)").arg(slot).arg(why);

    // The extension block follows the last chunk; a file without one ends there.
    if (chunksLocatable && source.size() - chunkStart >= qint64(sizeof extension::kMagic)) {
        const qint64 available =
            std::min<qint64>(source.size() - chunkStart, extension::kPreambleSize + extension::kMaxPayload);
        const QByteArray magic = source.read(chunkStart, qint64(sizeof extension::kMagic));
        if (magic == QByteArrayView(extension::kMagic, sizeof extension::kMagic)) {
            const QString dropped = applyExtensionBlock(source.read(chunkStart, available), result.outlineName, o);
            if (!dropped.isEmpty())
                result.notices << extensionNote(fileName, dropped);
        }
    }

    result.ok = true;
    if (!failures.isEmpty())
        result.message =
            QCoreApplication::translate("OutlineIo",
                                        "Не все рисунки файла «%1» удалось прочитать: %2. Вместо них вставлены пустые "
                                        "рисунки; остальные объекты конспекта загружены.")
                .arg(fileName, pictureList(failures));
    return result;
}

}  // namespace

LoadResult readOutline(const QByteArray& fileBytes, const QString& fileNameForMessages, QSize windowChrome)
{
    BufferSource source(fileBytes);
    // The record is read in place, not copied.
    const QByteArray record = QByteArray::fromRawData(fileBytes.constData(), std::min(fileBytes.size(), kHeaderSize));
    return load(source, record, fileNameForMessages, windowChrome, 1.0);
}

LoadResult readOutlineFile(const QString& path, QSize windowChrome, double pictureScale,
                           const std::function<void()>& recordAccepted)
{
    const QString shown = QDir::toNativeSeparators(path);
    // Only a regular file is read (a link to a device or a FIFO is refused without reading).
    QString problem;
    const int handle = openRegularFile(path, &problem);
    QFile file;
    if (handle < 0 || !file.open(handle, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        if (handle >= 0)
            ::close(handle);
        LoadResult result;
        result.message = QCoreApplication::translate("OutlineIo", "Не удалось открыть файл «%1»: %2.")
                             .arg(shown, handle < 0 ? problem : file.errorString());
        return result;
    }
    FileSource source(file);
    QByteArray header(kHeaderSize, Qt::Uninitialized);
    header.truncate(std::max<qint64>(0, file.read(header.data(), kHeaderSize)));
    return load(source, header, shown, windowChrome, pictureScale, recordAccepted);
}

bool isOldFormatName(const QString& path) { return path.endsWith(QLatin1Char('c'), Qt::CaseInsensitive); }

QString currentFormatName(const QString& path)
{
    if (!isOldFormatName(path))
        return path;
    return path.left(path.size() - 1) + (path.endsWith(QLatin1Char('C')) ? QLatin1Char('D') : QLatin1Char('d'));
}

LoadResult readAnyOutlineFile(const QString& path, double pictureScale, const std::function<void()>& recordAccepted)
{
    // The old format's pictures are always decoded (they may be bitmaps rather than streams).
    return isOldFormatName(path)
               ? readOldOutlineFile(path, defaultWindowChrome(), pictureScale > 0 ? pictureScale : 1.0)
               : readOutlineFile(path, defaultWindowChrome(), pictureScale, recordAccepted);
}

bool applyHeaderToOutline(const OutlineHeader& h, Outline& o, QString* problem)
{
    bool fits = true;
    forEachStoredKind([&](const auto& kind) {
        const int stored = h.outline.count(kind.kind), present = o.count(kind.kind);
        if (fits && stored != present) {
            fits = false;
            if (problem)
                *problem = QCoreApplication::translate("OutlineIo", "в снимке %1 %2, а в конспекте %3")
                               .arg(QCoreApplication::translate("ObjectFields", kind.manyWhat))
                               .arg(stored)
                               .arg(present);
        }
    });
    if (!fits)
        return false;
    std::vector<std::pair<ObjectId, int>> framePlaces, objectPlaces;
    forEachStoredKind([&](const auto& kind) {
        using Object = typename std::decay_t<decltype(kind.fields)>::value_type::ObjectType;
        const Sequence* stored = sequenceFor(kind, h.outline);
        auto& places = kind.sequence == SequenceOf::Frames ? framePlaces : objectPlaces;
        for (int k = 1; k <= o.count(kind.kind); ++k) {
            const Object& from = h.outline.objects<Object>()[std::size_t(k - 1)];
            Object& to = o.object<Object>(k);
            copyStoredFields(kind, to, from);
            if (stored)
                places.emplace_back(to.id, stored->positionOf(from.id));
        }
    });
    placeInSequence(o.frameSequence(), framePlaces);
    placeInSequence(o.objectSequence(), objectPlaces);
    return true;
}

}  // namespace velmar
