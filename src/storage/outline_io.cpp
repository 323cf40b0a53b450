#include "storage/outline_io.h"

#include "storage/jpeg_codec.h"
#include "storage/old_outline_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <utility>

#include <sys/stat.h>

namespace velmar {

using namespace layout;

// --- Saving ----------------------------------------------------------------------------------

OutlineHeader headerFromDocument(const Document& doc)
{
    const Outline& outline = doc.outline;
    OutlineHeader h;
    h.outlineName = doc.state.outlineName;
    h.canvasColour = doc.state.canvasColour;
    h.windowWidth = doc.state.windowSize.width();
    h.windowHeight = doc.state.windowSize.height();

    const Sequence& frameOrder = outline.frameSequence();
    const Sequence& objectOrder = outline.objectSequence();

    for (int k = 1; k <= outline.count(ObjectKind::Frame); ++k) {
        const FrameObject& f = outline.frame(k);
        FrameRecord r;
        r.left = f.bounds.x();
        r.top = f.bounds.y();
        r.width = f.bounds.width();
        r.height = f.bounds.height();
        r.colour = f.colour;
        r.innerBevel = f.innerBevel;
        r.outerBevel = f.outerBevel;
        r.borderLine = f.borderLine;
        r.title = f.title;
        r.titleVisible = f.titleVisible;
        r.minimalText = f.minimalText;
        r.sequencePosition = frameOrder.positionOf(f.id);
        h.frames.push_back(r);
    }
    for (int k = 1; k <= outline.count(ObjectKind::TextField); ++k) {
        const TextFieldObject& t = outline.textField(k);
        TextFieldRecord r;
        r.parentFrame = t.parentFrame;
        r.left = t.bounds.x();
        r.top = t.bounds.y();
        r.width = t.bounds.width();
        r.height = t.bounds.height();
        r.text = t.text;
        r.minimalText = t.minimalText;
        r.background = t.background;
        r.alignment = t.alignment;
        r.fontName = t.font.name;
        r.fontSize = quint8(std::clamp(t.font.size, 0, 255));
        r.fontColour = t.font.colour;
        r.fontPitch = t.font.pitch;
        r.fontStyle = t.font.style;
        r.sequencePosition = objectOrder.positionOf(t.id);
        h.textFields.push_back(r);
    }
    for (int k = 1; k <= outline.count(ObjectKind::Video); ++k) {
        const VideoObject& v = outline.video(k);
        VideoRecord r;
        r.parentFrame = v.parentFrame;
        r.left = v.bounds.x();
        r.top = v.bounds.y();
        r.width = v.bounds.width();
        r.height = v.bounds.height();
        r.fileName = v.fileName;
        r.minimalText = v.minimalText;
        r.sequencePosition = objectOrder.positionOf(v.id);
        h.videos.push_back(r);
    }
    for (int k = 1; k <= outline.count(ObjectKind::Picture); ++k) {
        const PictureObject& p = outline.picture(k);
        PictureRecord r;
        r.parentFrame = p.parentFrame;
        r.left = p.bounds.x();
        r.top = p.bounds.y();
        r.width = p.bounds.width();
        r.height = p.bounds.height();
        r.minimalText = p.minimalText;
        r.sequencePosition = objectOrder.positionOf(p.id);
        h.pictures.push_back(r);
    }
    for (int k = 1; k <= outline.count(ObjectKind::Arrow); ++k) {
        const ArrowObject& a = outline.arrow(k);
        h.arrows.push_back({a.x1, a.x2, a.y1, a.y2, a.penWidth, a.colour});
    }
    return h;
}

qint64 OutlineImage::fileSize() const
{
    qint64 size = header.size();
    qint64 cumulative = 0;
    for (const QByteArray& stream : streams) {
        cumulative += stream.size();
        size += cumulative;
    }
    return size;
}

bool OutlineImage::writeTo(QIODevice& device) const
{
    if (device.write(header) != header.size())
        return false;
    // Chunk k repeats the streams of pictures 1..k: readers find picture k at the end of it.
    for (std::size_t k = 0; k < streams.size(); ++k)
        for (std::size_t i = 0; i <= k; ++i)
            if (device.write(streams[i]) != streams[i].size())
                return false;
    return true;
}

QByteArray OutlineImage::toBytes() const
{
    QByteArray bytes;
    bytes.reserve(qsizetype(fileSize()));
    bytes += header;
    for (std::size_t k = 0; k < streams.size(); ++k)
        for (std::size_t i = 0; i <= k; ++i)
            bytes += streams[i];
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
    if (!stream.isEmpty() && !picture.bitmap().isNull())
        picture.setJpegStream(stream);
    return stream;
}

}  // namespace

OutlineImage buildOutlineImage(const Document& doc, bool withPictures)
{
    OutlineImage image;
    OutlineHeader header = headerFromDocument(doc);
    if (withPictures) {
        qint64 cumulative = 0;
        for (int k = 1; k <= int(header.pictures.size()); ++k) {
            QByteArray stream = pictureStream(doc.outline.picture(k));
            if (stream.isEmpty()) {
                image.ok = false;
                image.problem = QStringLiteral("рисунок %1 не удалось сжать в JPEG").arg(k);
                return image;
            }
            cumulative += stream.size();
            if (cumulative > std::numeric_limits<qint32>::max()) {
                image.ok = false;
                image.problem = QStringLiteral("рисунки вместе занимают больше 2 ГБ — столько формат файла не вмещает");
                return image;
            }
            header.pictures[std::size_t(k - 1)].cumulativeLength = qint32(cumulative);
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
    header.writeTo(bytes);
    image.header = record;
    return image;
}

QByteArray serializeOutline(const Document& doc, bool withPictures)
{
    const OutlineImage image = buildOutlineImage(doc, withPictures);
    return image.ok ? image.toBytes() : QByteArray();
}

WriteResult writeFileAtomically(const QString& path, const OutlineImage& image)
{
    WriteResult result;
    const QString shown = QDir::toNativeSeparators(path);
    if (!image.ok) {
        result.message = QStringLiteral("Не удалось сохранить файл «%1»: %2.").arg(shown, image.problem);
        return result;
    }
    // Write through a link to the file it points at, as an editor is expected to.
    QFileInfo info(path);
    const QString target = info.isSymLink() ? info.symLinkTarget() : info.absoluteFilePath();
    const QFileInfo targetInfo(target);
    if (targetInfo.isDir()) {
        result.message = QStringLiteral("Не удалось сохранить файл «%1»: это папка.").arg(shown);
        return result;
    }

    QTemporaryFile temporary(targetInfo.absolutePath() + QStringLiteral("/.") + targetInfo.fileName()
                             + QStringLiteral(".XXXXXX"));
    if (!temporary.open()) {
        result.message = QStringLiteral("Не удалось сохранить файл «%1»: %2.").arg(shown, temporary.errorString());
        return result;
    }
    if (!image.writeTo(temporary) || !temporary.flush()) {
        result.message = QStringLiteral("Не удалось сохранить файл «%1»: %2. Прежний файл не изменён.")
                             .arg(shown, temporary.errorString());
        return result;
    }
    // A temporary file is private to its owner; the saved file gets the permissions of the file it
    // replaces, or the usual ones for a new file.
    if (targetInfo.exists()) {
        temporary.setPermissions(QFile::permissions(target));
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(temporary.handle(), 0666 & ~mask);
    }
    temporary.close();
    if (::rename(QFile::encodeName(temporary.fileName()).constData(), QFile::encodeName(target).constData()) != 0) {
        result.message = QStringLiteral("Не удалось сохранить файл «%1»: %2. Прежний файл не изменён.")
                             .arg(shown, QString::fromLocal8Bit(std::strerror(errno)));
        return result;
    }
    temporary.setAutoRemove(false);
    result.ok = true;
    return result;
}

WriteResult writeFileDirectly(const QString& path, const OutlineImage& image)
{
    WriteResult result;
    const QString shown = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!image.ok || !file.open(QIODevice::WriteOnly | QIODevice::Truncate) || !image.writeTo(file) || !file.flush()) {
        result.message = QStringLiteral("Не удалось записать файл «%1»: %2.").arg(shown, image.ok ? file.errorString() : image.problem);
        return result;
    }
    file.close();
    result.ok = file.error() == QFileDevice::NoError;
    if (!result.ok)
        result.message = QStringLiteral("Не удалось записать файл «%1»: %2.").arg(shown, file.errorString());
    return result;
}

WriteResult writeOutlineFile(const QString& path, const Document& doc)
{
    return writeFileAtomically(path, buildOutlineImage(doc, true));
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
        QByteArray bytes = m_file.read(length);
        return bytes.size() == length ? bytes : QByteArray();
    }

private:
    QFile& m_file;
    qint64 m_size;
};

// Puts each object at its stored position in a sequence, then closes the gaps: positions that no
// object claimed are dropped, and an object whose position another object took over joins at the
// end instead of vanishing from the reading order. Objects stored with position 0 stay out.
void placeInSequence(Sequence& sequence, const std::vector<std::pair<ObjectId, int>>& members)
{
    std::array<ObjectId, Sequence::kCapacity> entries{};
    for (const auto& [id, position] : members)
        if (position >= 1 && position <= Sequence::kCapacity)
            entries[std::size_t(position - 1)] = id;
    std::vector<ObjectId> order;
    for (ObjectId id : entries)
        if (id != 0)
            order.push_back(id);
    for (const auto& [id, position] : members)
        if (position > 0 && std::find(order.begin(), order.end(), id) == order.end())
            order.push_back(id);
    sequence.clear();
    for (ObjectId id : order)
        sequence.append(id, true);
}

void applyFrameRecord(FrameObject& f, const FrameRecord& r)
{
    f.colour = r.colour;
    f.innerBevel = r.innerBevel;
    f.outerBevel = r.outerBevel;
    f.borderLine = r.borderLine;
    f.titleVisible = r.titleVisible;
    f.minimalText = r.minimalText;
    f.hint = shortenedTooltip(r.minimalText);
}

void applyTextFieldRecord(TextFieldObject& t, const TextFieldRecord& r)
{
    t.alignment = r.alignment;
    t.font.name = r.fontName;
    t.font.size = r.fontSize;
    t.font.colour = r.fontColour;
    t.font.pitch = r.fontPitch;
    t.font.style = r.fontStyle;
    t.minimalText = r.minimalText;
    t.hint = r.minimalText;
}

QRect boundsOf(const auto& r) { return QRect(r.left, r.top, r.width, r.height); }

QString pictureList(const QStringList& failures)
{
    return failures.join(QStringLiteral(", "));
}

LoadResult load(ByteSource& source, const QByteArray& headerBytes, const QString& fileName, QSize windowChrome)
{
    LoadResult result;
    const HeaderReadResult read = readOutlineHeader(headerBytes);
    if (!read.ok()) {
        result.message = headerProblemMessage(read, fileName);
        return result;
    }
    const OutlineHeader& h = read.header;
    result.outlineName = h.outlineName;
    result.canvasColour = h.canvasColour;
    result.windowSize = QSize(h.windowWidth, h.windowHeight);

    // The creation routines fit objects on the canvas into the client area of the window the
    // outline was saved from.
    Outline& o = result.outline;
    o.setClientSize(QSize(std::max(0, h.windowWidth - windowChrome.width()),
                          std::max(0, h.windowHeight - windowChrome.height())));
    o.frameSequence().clear();
    o.objectSequence().clear();
    o.setSequenceRecording(false);

    std::vector<std::pair<ObjectId, int>> frameOrder, objectOrder;
    for (const FrameRecord& r : h.frames) {
        FrameObject& f = o.frame(o.createFrame(boundsOf(r), r.title));
        applyFrameRecord(f, r);
        frameOrder.emplace_back(f.id, r.sequencePosition);
    }
    for (const TextFieldRecord& r : h.textFields) {
        TextFieldObject& t = o.textField(o.createTextField(boundsOf(r), r.background, r.text, r.parentFrame));
        applyTextFieldRecord(t, r);
        objectOrder.emplace_back(t.id, r.sequencePosition);
    }
    for (const VideoRecord& r : h.videos) {
        VideoObject& v = o.video(o.createVideo(boundsOf(r), r.parentFrame));
        v.fileName = r.fileName;
        v.minimalText = r.minimalText;
        v.hint = r.minimalText;
        objectOrder.emplace_back(v.id, r.sequencePosition);
    }
    for (const PictureRecord& r : h.pictures) {
        PictureObject& p = o.picture(o.createPicture(boundsOf(r), r.parentFrame));
        p.minimalText = r.minimalText;
        p.hint = r.minimalText;
        objectOrder.emplace_back(p.id, r.sequencePosition);
    }
    for (const ArrowRecord& r : h.arrows)
        o.createArrow(r.x1, r.y1, r.x2, r.y2, r.penWidth, r.colour);

    // The tail: chunk k holds the streams of pictures 1..k, so picture k's own stream is the last
    // S(k) − S(k−1) bytes of it; the earlier streams are skipped, not decoded again.
    QStringList failures;
    qint64 chunkStart = kHeaderSize;
    qint64 previous = 0;
    bool chunksLocatable = true;
    for (int k = 1; k <= int(h.pictures.size()); ++k) {
        const qint64 cumulative = h.pictures[std::size_t(k - 1)].cumulativeLength;
        if (cumulative < 0)
            chunksLocatable = false;  // no later chunk can be found either
        QString why;
        if (!chunksLocatable) {
            why = QStringLiteral("неверная длина данных");
        } else {
            const qint64 length = cumulative - previous;
            const QByteArray stream = length > 0 ? source.read(chunkStart + previous, length) : QByteArray();
            if (length <= 0)
                why = QStringLiteral("нет данных рисунка");
            else if (stream.isEmpty())
                why = QStringLiteral("файл обрывается раньше данных рисунка");
            else if (const QImage image = decodeJpeg(stream, &why); !image.isNull()) {
                PictureObject& p = o.picture(k);
                p.setBitmap(image);
                p.setJpegStream(stream);  // after setBitmap, which drops the cached stream
            }
            chunkStart += cumulative;
            previous = cumulative;
        }
        if (!why.isEmpty())
            failures << QStringLiteral("рисунок %1 (%2)").arg(k).arg(why);
    }

    placeInSequence(o.frameSequence(), frameOrder);
    placeInSequence(o.objectSequence(), objectOrder);
    o.setSequenceRecording(true);

    result.ok = true;
    if (!failures.isEmpty())
        result.message = QStringLiteral("Не все рисунки файла «%1» удалось прочитать: %2. Вместо них вставлены пустые "
                                        "рисунки; остальные объекты конспекта загружены.")
                             .arg(fileName, pictureList(failures));
    return result;
}

}  // namespace

LoadResult readOutline(const QByteArray& fileBytes, const QString& fileNameForMessages, QSize windowChrome)
{
    BufferSource source(fileBytes);
    return load(source, fileBytes.left(kHeaderSize), fileNameForMessages, windowChrome);
}

LoadResult readOutlineFile(const QString& path, QSize windowChrome)
{
    const QString shown = QDir::toNativeSeparators(path);
    if (QFileInfo(path).isDir()) {
        LoadResult result;
        result.message = QStringLiteral("Не удалось открыть файл «%1»: это папка.").arg(shown);
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        LoadResult result;
        result.message = QStringLiteral("Не удалось открыть файл «%1»: %2.").arg(shown, file.errorString());
        return result;
    }
    FileSource source(file);
    const QByteArray header = file.read(kHeaderSize);
    return load(source, header, shown, windowChrome);
}

bool applyHeaderToOutline(const OutlineHeader& h, Outline& o, QString* problem)
{
    const auto mismatch = [&](ObjectKind kind, std::size_t stored, const QString& what) {
        if (int(stored) == o.count(kind))
            return false;
        if (problem)
            *problem = QStringLiteral("в снимке %1 %2, а в конспекте %3").arg(what).arg(stored).arg(o.count(kind));
        return true;
    };
    if (mismatch(ObjectKind::Frame, h.frames.size(), QStringLiteral("фреймов"))
        || mismatch(ObjectKind::TextField, h.textFields.size(), QStringLiteral("текстовых полей"))
        || mismatch(ObjectKind::Video, h.videos.size(), QStringLiteral("видео фрагментов"))
        || mismatch(ObjectKind::Picture, h.pictures.size(), QStringLiteral("рисунков"))
        || mismatch(ObjectKind::Arrow, h.arrows.size(), QStringLiteral("стрелок")))
        return false;

    std::vector<std::pair<ObjectId, int>> frameOrder, objectOrder;
    for (int k = 1; k <= int(h.frames.size()); ++k) {
        const FrameRecord& r = h.frames[std::size_t(k - 1)];
        FrameObject& f = o.frame(k);
        f.bounds = boundsOf(r);
        f.title = r.title;
        applyFrameRecord(f, r);
        frameOrder.emplace_back(f.id, r.sequencePosition);
    }
    for (int k = 1; k <= int(h.textFields.size()); ++k) {
        const TextFieldRecord& r = h.textFields[std::size_t(k - 1)];
        TextFieldObject& t = o.textField(k);
        t.bounds = boundsOf(r);
        t.background = r.background;
        t.text = r.text;
        t.parentFrame = quint8(r.parentFrame);
        applyTextFieldRecord(t, r);
        objectOrder.emplace_back(t.id, r.sequencePosition);
    }
    for (int k = 1; k <= int(h.videos.size()); ++k) {
        const VideoRecord& r = h.videos[std::size_t(k - 1)];
        VideoObject& v = o.video(k);
        v.bounds = boundsOf(r);
        v.parentFrame = quint8(r.parentFrame);
        v.fileName = r.fileName;
        v.minimalText = r.minimalText;
        v.hint = r.minimalText;
        objectOrder.emplace_back(v.id, r.sequencePosition);
    }
    for (int k = 1; k <= int(h.pictures.size()); ++k) {
        const PictureRecord& r = h.pictures[std::size_t(k - 1)];
        PictureObject& p = o.picture(k);
        p.bounds = boundsOf(r);
        p.parentFrame = quint8(r.parentFrame);
        p.minimalText = r.minimalText;
        p.hint = r.minimalText;
        objectOrder.emplace_back(p.id, r.sequencePosition);
    }
    for (int k = 1; k <= int(h.arrows.size()); ++k) {
        const ArrowRecord& r = h.arrows[std::size_t(k - 1)];
        ArrowObject& a = o.arrow(k);
        a.x1 = r.x1;
        a.x2 = r.x2;
        a.y1 = r.y1;
        a.y2 = r.y2;
        a.penWidth = r.penWidth;
        a.colour = r.colour;
    }
    placeInSequence(o.frameSequence(), frameOrder);
    placeInSequence(o.objectSequence(), objectOrder);
    return true;
}

}  // namespace velmar
