#include "storage/old_outline_file.h"

#include "storage/cp1251.h"
#include "storage/decode_limits.h"
#include "storage/jpeg_codec.h"
#include "storage/object_fields.h"
#include "system/file_io.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace velmar {

namespace {

enum class Version { V40, V39, V35 };

// Positions and sizes beyond what a window can hold only come from damage; bounding them keeps
// the fitting and drawing arithmetic far from overflow.
constexpr qint64 kCoordinateLimit = 32767;
// An old outline is a few hundred lines of text; anything far larger is not one.
constexpr qint64 kMaxOutlineBytes = 64 * 1024 * 1024;
constexpr qint64 kMaxPicturesBytes = qint64(1) << 30;
constexpr int kMaxPictureSide = JpegLimits::maxSide;

// A function, not a constant: translated once the catalogue is installed.
QString programVersionLine()
{
    return QCoreApplication::translate("OldOutlineFile", "\n\rВерсия программы \"4.1\"\n\r");
}

// Thrown inside the reader with the complete message for the user; caught at the entry points.
struct ImportError {
    QString message;
};

QString quoted(const QString& path) { return QStringLiteral("«%1»").arg(QDir::toNativeSeparators(path)); }

// A short, printable excerpt of a damaged line for a message.
QString excerpt(QByteArrayView line)
{
    QString text = decodeCp1251(line.first(qMin<qsizetype>(line.size(), 24)));
    for (QChar& c : text)
        if (c.unicode() < 0x20)
            c = QLatin1Char('?');
    if (line.size() > 24)
        text += QStringLiteral("…");
    return text;
}

// Line-by-line access to the text file. Lines end with CR LF; a lone LF or CR also ends a line.
class LineReader {
public:
    LineReader(const QByteArray& data, QString path) : m_data(data), m_path(std::move(path)) {}

    int lineNumber() const { return m_line; }

    // The next line without its ending, or nothing at the end of the data.
    std::optional<QByteArrayView> next()
    {
        if (m_pos >= m_data.size())
            return std::nullopt;
        qsizetype end = m_pos;
        while (end < m_data.size() && m_data[end] != '\r' && m_data[end] != '\n')
            ++end;
        const QByteArrayView line(m_data.constData() + m_pos, end - m_pos);
        if (end < m_data.size() && m_data[end] == '\r')
            ++end;
        if (end < m_data.size() && m_data[end] == '\n')
            ++end;
        m_pos = end;
        ++m_line;
        return line;
    }

    // The next line, which must exist: `what` says which item it holds.
    QByteArrayView required(const QString& what)
    {
        if (auto line = next())
            return *line;
        fail(QCoreApplication::translate("OldOutlineFile",
                                         "Файл %1 повреждён: он обрывается перед строкой %2, в которой должно быть %3.")
                 .arg(quoted(m_path))
                 .arg(m_line + 1)
                 .arg(what));
    }

    qint64 number(const QString& what, qint64 min, qint64 max)
    {
        const QByteArrayView line = required(what);
        const std::optional<qint64> value = parseNumber(line);
        if (!value)
            fail(QCoreApplication::translate("OldOutlineFile",
                                             "Файл %1 повреждён: в строке %2 должно быть число (%3), а записано «%4».\n"
                                             "Invalid numeric input")
                     .arg(quoted(m_path))
                     .arg(m_line)
                     .arg(what, excerpt(line)));
        if (*value < min || *value > max)
            fail(QCoreApplication::translate("OldOutlineFile",
                                             "Файл %1 повреждён: в строке %2 %3 равно %4, а допустимо от %5 до %6.")
                     .arg(quoted(m_path))
                     .arg(m_line)
                     .arg(what)
                     .arg(*value)
                     .arg(min)
                     .arg(max));
        return *value;
    }

    int integer(const QString& what, qint64 min, qint64 max) { return int(number(what, min, max)); }

    // A colour value, written either as a signed or as an unsigned 32-bit number.
    ColourValue colour(const QString& what)
    {
        constexpr qint64 lowest = std::numeric_limits<qint32>::min(), highest = std::numeric_limits<quint32>::max();
        return ColourValue(quint32(number(what, lowest, highest)));
    }

    // A text line, with the substitute bytes (if given) turned back into LF and CR.
    QString text(const QString& what, const std::pair<char, char>* substitutes = nullptr)
    {
        QByteArray bytes = required(what).toByteArray();
        if (substitutes)
            for (char& b : bytes) {
                if (b == substitutes->first)
                    b = '\n';
                else if (b == substitutes->second)
                    b = '\r';
            }
        return decodeCp1251(bytes);
    }

    [[noreturn]] void fail(const QString& message) const { throw ImportError{message}; }

private:
    // One decimal integer, possibly signed, with blanks around it allowed.
    static std::optional<qint64> parseNumber(QByteArrayView line)
    {
        const QByteArrayView digits = line.trimmed();
        qsizetype i = 0;
        bool negative = false;
        if (i < digits.size() && (digits[i] == '+' || digits[i] == '-'))
            negative = digits[i++] == '-';
        if (i == digits.size() || digits.size() - i > 12)  // 12 digits hold every 32-bit value
            return std::nullopt;
        qint64 value = 0;
        for (; i < digits.size(); ++i) {
            if (digits[i] < '0' || digits[i] > '9')
                return std::nullopt;
            value = value * 10 + (digits[i] - '0');
        }
        return negative ? -value : value;
    }

    const QByteArray& m_data;
    QString m_path;
    qsizetype m_pos = 0;
    int m_line = 0;
};

// The lengths and streams of the pictures in the side file.
// The side file's bytes, taken in order as the pictures are read: from memory, or from the open
// file, whose reported size bounds what is asked for and is never trusted beyond what arrives.
// A damaged type or length is thus refused before the rest of a large file is read.
class PictureBytes {
public:
    explicit PictureBytes(const QByteArray& data) : m_data(&data), m_size(data.size()) {}
    PictureBytes(int handle, qint64 size) : m_handle(handle), m_size(size) {}
    ~PictureBytes()
    {
        if (m_handle >= 0)
            ::close(m_handle);
    }
    PictureBytes(const PictureBytes&) = delete;
    PictureBytes& operator=(const PictureBytes&) = delete;

    qint64 size() const { return m_size; }
    qint64 left() const { return m_size - m_pos; }
    // Up to `count` bytes from where the last call stopped (fewer at the end or on a read error).
    QByteArray take(qint64 count)
    {
        count = std::clamp<qint64>(count, 0, left());
        QByteArray bytes;
        if (m_data)
            bytes = m_data->mid(qsizetype(m_pos), qsizetype(count));
        else if (!readUpTo(m_handle, count, &bytes))
            bytes.clear();
        m_pos += bytes.size();
        if (bytes.size() < count)
            m_size = m_pos;  // the file ends here, whatever its size said
        return bytes;
    }

private:
    const QByteArray* m_data = nullptr;
    int m_handle = -1;
    qint64 m_size = 0;
    qint64 m_pos = 0;
};

class PictureReader {
public:
    PictureReader(PictureBytes& data, QString path, int count)
        : m_data(data), m_path(std::move(path)), m_count(count), m_budget(data.size())
    {
    }

    // Picture number `index` (1-based) as a bitmap: a JPEG decoded at the smallest reduced size
    // still covering `wanted` (whole when `wanted` is empty), a bitmap file whole. With
    // `keepStream`, a JPEG stream goes to *jpeg, so that the picture can be decoded again at
    // other sizes and saving can write it again unchanged.
    QImage next(int index, QByteArray* jpeg, QSize wanted, bool keepStream)
    {
        const QByteArray typeByte = m_data.take(1);
        if (typeByte.isEmpty())
            truncated(index, QCoreApplication::translate("OldOutlineFile", "нет длины рисунка"));
        const auto type = quint8(typeByte[0]);
        int size = 0;
        switch (type) {
        case 2: size = 1; break;
        case 3: size = 2; break;
        case 4: size = 4; break;
        default:
            fail(QCoreApplication::translate(
                     "OldOutlineFile", "Файл рисунков %1 повреждён: у рисунка %2 длина записана с неизвестным типом %3 "
                                       "(допустимы 2, 3 и 4).\nInvalid property value")
                     .arg(quoted(m_path))
                     .arg(index)
                     .arg(type));
        }
        const QByteArray lengthBytes = m_data.take(size);
        if (lengthBytes.size() < size)
            truncated(index, QCoreApplication::translate("OldOutlineFile", "длина рисунка записана не полностью"));
        quint32 raw = 0;
        for (int i = 0; i < size; ++i)
            raw |= quint32(quint8(lengthBytes[i])) << (8 * i);
        // Sign-extend the little-endian integer of 1, 2 or 4 bytes.
        const int shift = 32 - 8 * size;
        const qint64 length = qint32(raw << shift) >> shift;
        if (length <= 0)
            fail(QCoreApplication::translate("OldOutlineFile",
                                             "Файл рисунков %1 повреждён: у рисунка %2 неверная длина %3.")
                     .arg(quoted(m_path))
                     .arg(index)
                     .arg(length));
        if (m_data.left() < length)
            truncated(
                index,
                QCoreApplication::translate("OldOutlineFile", "записано %1 байт из %2").arg(m_data.left()).arg(length));
        // The stream's first bytes say how large its picture is: only a length such a picture
        // can fill is read on.
        QByteArray stream = m_data.take(std::min(length, JpegLimits::freeStreamBytes));
        if (stream.size() == std::min(length, JpegLimits::freeStreamBytes) && length > stream.size()) {
            if (!jpegStreamLengthFits(storedSize(stream), length))
                fail(QCoreApplication::translate("OldOutlineFile", "Файл рисунков %1 повреждён: у рисунка %2 длина "
                                                                   "данных (%3 байт) не соответствует размеру рисунка.")
                         .arg(quoted(m_path))
                         .arg(index)
                         .arg(length));
            stream += m_data.take(length - stream.size());
        }
        if (stream.size() < length)
            truncated(
                index,
                QCoreApplication::translate("OldOutlineFile", "записано %1 байт из %2").arg(stream.size()).arg(length));
        return decode(index, stream, jpeg, wanted, keepStream);
    }

private:
    QImage decode(int index, const QByteArray& stream, QByteArray* jpeg, QSize wanted, bool keepStream)
    {
        QString why;
        QImage image;
        if (!(stream.startsWith("BM") ? m_budget.take(storedSize(stream)) : m_budget.take(jpegDecodingCost(stream))))
            fail(QCoreApplication::translate("OldOutlineFile",
                                             "Файл рисунков %1 не прочитан: рисунок %2 не открыт (%3).")
                     .arg(quoted(m_path))
                     .arg(index)
                     .arg(PictureBudget::refusal()));
        if (stream.startsWith("BM")) {
            // Earlier versions could keep a picture as a bitmap file rather than a JPEG stream.
            image = QImage::fromData(stream, "BMP");
            if (image.isNull())
                why = QCoreApplication::translate("OldOutlineFile", "повреждённые данные BMP");
            else if (image.width() > kMaxPictureSide || image.height() > kMaxPictureSide)
                why = QCoreApplication::translate("OldOutlineFile", "недопустимый размер рисунка BMP"),
                image = QImage();
            else
                image = image.convertToFormat(QImage::Format_RGB32);
        } else {
            image = wanted.isEmpty() ? decodeJpeg(stream, &why) : decodeJpegAtLeast(stream, wanted, &why);
            if (!image.isNull() && keepStream)
                *jpeg = stream;
        }
        if (image.isNull())
            fail(QCoreApplication::translate("OldOutlineFile",
                                             "Файл рисунков %1 повреждён: рисунок %2 не удаётся прочитать (%3).")
                     .arg(quoted(m_path))
                     .arg(index)
                     .arg(why));
        return image;
    }

    // The size a bitmap file's or JPEG stream's header declares, before anything is decoded.
    static QSize storedSize(const QByteArray& stream)
    {
        if (!stream.startsWith("BM"))
            return jpegStreamSize(stream);
        QBuffer buffer;
        buffer.setData(stream);
        buffer.open(QIODevice::ReadOnly);
        return QImageReader(&buffer, "BMP").size();
    }

    [[noreturn]] void truncated(int index, const QString& detail) const
    {
        fail(QCoreApplication::translate("OldOutlineFile",
                                         "Файл рисунков %1 повреждён: он обрывается на рисунке %2 из %3 (%4).")
                 .arg(quoted(m_path))
                 .arg(index)
                 .arg(m_count)
                 .arg(detail));
    }

    [[noreturn]] void fail(const QString& message) const { throw ImportError{message}; }

    PictureBytes& m_data;
    QString m_path;
    int m_count = 0;
    PictureBudget m_budget;

public:
    const PictureBudget& budget() const { return m_budget; }
};

// The side file: its bytes already read, or its path to be opened once pictures are wanted.
struct PicturesSource {
    const QByteArray* data = nullptr;
    QString path;        // the side file's path (for messages; opened when there are no data)
    QString problem;     // why data is missing
    double scale = 1.0;  // below 1: the outline is drawn this small, pictures are decoded reduced
};

class OldOutlineImport {
public:
    OldOutlineImport(Version version, const QByteArray& vmc, PicturesSource pictures, QString path, QSize chrome,
                     LoadResult& result)
        : m_version(version), m_lines(vmc, path), m_pictures(std::move(pictures)), m_path(std::move(path)),
          m_chrome(chrome), m_result(result), m_outline(result.outline)
    {
    }

    void run()
    {
        m_lines.required(QCoreApplication::translate("OldOutlineFile", "версия файла"));
        const bool v40 = m_version == Version::V40;
        // A "4.0" file carries every object's place in its sequence; older ones are sequenced in
        // the order of creation.
        m_outline.setSequenceRecording(!v40);

        m_result.outlineName = m_lines.text(QCoreApplication::translate("OldOutlineFile", "название конспекта"));
        m_result.canvasColour = m_lines.colour(QCoreApplication::translate("OldOutlineFile", "цвет фона"));
        const int width =
            m_lines.integer(QCoreApplication::translate("OldOutlineFile", "ширина окна"), 0, kCoordinateLimit);
        const int height =
            m_lines.integer(QCoreApplication::translate("OldOutlineFile", "высота окна"), 0, kCoordinateLimit);
        m_result.windowSize = QSize(width, height);
        m_outline.setClientSize(QSize(qMax(0, width - m_chrome.width()), qMax(0, height - m_chrome.height())));

        readFrames();
        readTextFields();
        readArrows();
        readVideos();
        readPictures();

        if (v40) {
            placeInSequence(m_outline.frameSequence(), m_framePositions);
            placeInSequence(m_outline.objectSequence(), m_objectPositions);
        }
        m_outline.setSequenceRecording(true);
    }

private:
    using Positions = std::vector<std::pair<ObjectId, int>>;

    bool v40() const { return m_version == Version::V40; }
    const std::pair<char, char>* substitutes() const
    {
        static const std::pair<char, char> modern{char(0xAE), char(0xAF)};
        static const std::pair<char, char> oldest{char(0xFE), char(0xFF)};
        return m_version == Version::V35 ? &oldest : &modern;
    }

    int count(const QString& heading, const QString& what)
    {
        m_lines.required(heading);
        return m_lines.integer(what, 0, kTableCapacity);
    }

    QRect bounds(const QString& what)
    {
        const int left = m_lines.integer(what + QCoreApplication::translate("OldOutlineFile", ": левый край"),
                                         -kCoordinateLimit, kCoordinateLimit);
        const int top = m_lines.integer(what + QCoreApplication::translate("OldOutlineFile", ": верхний край"),
                                        -kCoordinateLimit, kCoordinateLimit);
        const int width =
            m_lines.integer(what + QCoreApplication::translate("OldOutlineFile", ": ширина"), 0, kCoordinateLimit);
        const int height =
            m_lines.integer(what + QCoreApplication::translate("OldOutlineFile", ": высота"), 0, kCoordinateLimit);
        return QRect(left, top, width, height);
    }

    int parent(const QString& what)
    {
        const QString item = what + QCoreApplication::translate("OldOutlineFile", ": номер фрейма-владельца");
        const qint64 number =
            m_lines.number(item, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max());
        const int frames = m_outline.count(ObjectKind::Frame);
        if (number < 0 || number > frames)
            m_lines.fail(
                QCoreApplication::translate(
                    "OldOutlineFile", "Файл %1 повреждён: в строке %2 (%3) указан фрейм %4, а фреймов в файле %5.")
                    .arg(quoted(m_path))
                    .arg(m_lines.lineNumber())
                    .arg(item)
                    .arg(number)
                    .arg(frames));
        return int(number);
    }

    // The "4.0" minimal text and sequence position shared by all sequenced kinds.
    template <typename Object>
    void readMinimalTextAndPosition(Object& object, const QString& what, const QString& sequence, Positions& positions)
    {
        object.minimalText =
            m_lines.text(what + QCoreApplication::translate("OldOutlineFile", ": минимальный текст"), substitutes());
        object.hint = shortenedTooltip(object.minimalText);
        const qint64 position = m_lines.number(
            what + QCoreApplication::translate("OldOutlineFile", ": место в последовательности ") + sequence, 0,
            Sequence::kCapacity);
        positions.emplace_back(object.id, int(position));
    }

    void created(int slot, const QString& what) const
    {
        // Counts are bounded by the table capacity, so a refusal here means a broken invariant.
        if (slot == 0)
            m_lines.fail(QCoreApplication::translate("OldOutlineFile", "Не удалось создать %1 при чтении файла %2.")
                             .arg(what, quoted(m_path)));
    }

    void readFrames()
    {
        const int n = count(QCoreApplication::translate("OldOutlineFile", "заголовок раздела фреймов"),
                            QCoreApplication::translate("OldOutlineFile", "число фреймов"));
        for (int i = 1; i <= n; ++i) {
            const QString what = QCoreApplication::translate("OldOutlineFile", "фрейм %1").arg(i);
            const QRect rect = bounds(what);
            const ColourValue colour = m_lines.colour(what + QCoreApplication::translate("OldOutlineFile", ": цвет"));
            const int inner = m_lines.integer(what + QCoreApplication::translate("OldOutlineFile", ": внутренний скос"),
                                              BevelNone, BevelSpace);
            const int outer = m_lines.integer(what + QCoreApplication::translate("OldOutlineFile", ": внешний скос"),
                                              BevelNone, BevelSpace);
            const int border = m_lines.integer(what + QCoreApplication::translate("OldOutlineFile", ": рамка"), 0, 1);
            const QString title = m_lines.text(what + QCoreApplication::translate("OldOutlineFile", ": название"));
            const int visible =
                m_lines.integer(what + QCoreApplication::translate("OldOutlineFile", ": видимость названия"), 0, 1);

            const int slot = m_outline.createFrame(rect, title);
            created(slot, what);
            FrameObject& frame = m_outline.frame(slot);
            frame.colour = colour;
            frame.innerBevel = quint8(inner);
            frame.outerBevel = quint8(outer);
            frame.borderLine = quint8(border);
            frame.titleVisible = visible == 1;
            if (v40())
                readMinimalTextAndPosition(frame, what, QCoreApplication::translate("OldOutlineFile", "фреймов"),
                                           m_framePositions);
        }
    }

    void readTextFields()
    {
        const int n = count(QCoreApplication::translate("OldOutlineFile", "заголовок раздела текстовых полей"),
                            QCoreApplication::translate("OldOutlineFile", "число текстовых полей"));
        for (int i = 1; i <= n; ++i) {
            const QString what = QCoreApplication::translate("OldOutlineFile", "текстовое поле %1").arg(i);
            const int parentFrame = parent(what);
            const QRect rect = bounds(what);
            const QString text =
                m_lines.text(what + QCoreApplication::translate("OldOutlineFile", ": текст"), substitutes());
            ColourValue background;
            int alignment = AlignLeft;
            if (m_version == Version::V35) {
                // The oldest files keep no colour for text fields: they take their parent's.
                background = parentFrame == 0 ? m_result.canvasColour : m_outline.frame(parentFrame).colour;
            } else {
                background = m_lines.colour(what + QCoreApplication::translate("OldOutlineFile", ": цвет фона"));
                alignment = m_lines.integer(what + QCoreApplication::translate("OldOutlineFile", ": выравнивание"),
                                            AlignLeft, AlignCentre);
            }
            FontSpec font;
            font.name = m_lines.text(what + QCoreApplication::translate("OldOutlineFile", ": шрифт"));
            font.size =
                m_lines.integer(what + QCoreApplication::translate("OldOutlineFile", ": размер шрифта"), 1, 255);
            font.colour = m_lines.colour(what + QCoreApplication::translate("OldOutlineFile", ": цвет шрифта"));
            font.pitch =
                quint8(m_lines.integer(what + QCoreApplication::translate("OldOutlineFile", ": шаг шрифта"), 0, 2));
            font.style =
                quint8(m_lines.integer(what + QCoreApplication::translate("OldOutlineFile", ": начертание шрифта"), 0,
                                       FontBold | FontItalic | FontUnderline | FontStrikeOut));

            const int slot = m_outline.createTextField(rect, background, text, parentFrame);
            created(slot, what);
            TextFieldObject& field = m_outline.textField(slot);
            field.alignment = quint8(alignment);
            field.font = font;
            if (v40())
                readMinimalTextAndPosition(field, what, QCoreApplication::translate("OldOutlineFile", "объектов"),
                                           m_objectPositions);
        }
    }

    void readArrows()
    {
        const int n = count(QCoreApplication::translate("OldOutlineFile", "заголовок раздела стрелок"),
                            QCoreApplication::translate("OldOutlineFile", "число стрелок"));
        for (int i = 1; i <= n; ++i) {
            const QString what = QCoreApplication::translate("OldOutlineFile", "стрелка %1").arg(i);
            const auto coordinate = [&](const QString& name) {
                return m_lines.integer(what + name, -kCoordinateLimit, kCoordinateLimit);
            };
            const int x1 = coordinate(QCoreApplication::translate("OldOutlineFile", ": начало, x"));
            const int y1 = coordinate(QCoreApplication::translate("OldOutlineFile", ": начало, y"));
            const int x2 = coordinate(QCoreApplication::translate("OldOutlineFile", ": конец, x"));
            const int y2 = coordinate(QCoreApplication::translate("OldOutlineFile", ": конец, y"));
            const int width = m_lines.integer(what + QCoreApplication::translate("OldOutlineFile", ": толщина"), 1, 10);
            const ColourValue colour = m_lines.colour(what + QCoreApplication::translate("OldOutlineFile", ": цвет"));
            created(m_outline.createArrow(x1, y1, x2, y2, width, colour), what);
        }
    }

    void readVideos()
    {
        const int n = count(QCoreApplication::translate("OldOutlineFile", "заголовок раздела видео фрагментов"),
                            QCoreApplication::translate("OldOutlineFile", "число видео фрагментов"));
        for (int i = 1; i <= n; ++i) {
            const QString what = QCoreApplication::translate("OldOutlineFile", "видео фрагмент %1").arg(i);
            const int parentFrame = parent(what);
            const QRect rect = bounds(what);
            const QString fileName = m_lines.text(what + QCoreApplication::translate("OldOutlineFile", ": имя файла"));
            const int slot = m_outline.createVideo(rect, parentFrame);
            created(slot, what);
            VideoObject& video = m_outline.video(slot);
            video.fileName = fileName;
            if (v40())
                readMinimalTextAndPosition(video, what, QCoreApplication::translate("OldOutlineFile", "объектов"),
                                           m_objectPositions);
        }
    }

    void readPictures()
    {
        const int n = count(QCoreApplication::translate("OldOutlineFile", "заголовок раздела рисунков"),
                            QCoreApplication::translate("OldOutlineFile", "число рисунков"));
        if (n == 0)
            return;  // an outline without pictures needs no side file
        const QString blcPath = m_pictures.path.isEmpty() ? oldPicturesPath(m_path) : m_pictures.path;
        std::unique_ptr<PictureBytes> bytes;
        if (m_pictures.data) {
            bytes = std::make_unique<PictureBytes>(*m_pictures.data);
        } else if (!m_pictures.path.isEmpty()) {
            // Only a regular file, opened without waiting; never read past the limit.
            const int handle = openRegularFile(m_pictures.path, &m_pictures.problem);
            struct stat info {};
            if (handle >= 0 && ::fstat(handle, &info) == 0 && info.st_size > kMaxPicturesBytes) {
                ::close(handle);
                m_pictures.problem =
                    QCoreApplication::translate("FileIo", "файл слишком велик (больше %1 байт)").arg(kMaxPicturesBytes);
            } else if (handle >= 0) {
                bytes = std::make_unique<PictureBytes>(handle, qint64(info.st_size));
            }
        }
        if (!bytes)
            m_lines.fail(
                QCoreApplication::translate("OldOutlineFile", "Не удалось открыть файл рисунков %1 конспекта %2: %3.")
                    .arg(quoted(blcPath), quoted(m_path), m_pictures.problem));
        PictureReader pictures(*bytes, blcPath, n);
        for (int i = 1; i <= n; ++i) {
            const QString what = QCoreApplication::translate("OldOutlineFile", "рисунок %1").arg(i);
            const int parentFrame = parent(what);
            const QRect rect = bounds(what);
            const int slot = m_outline.createPicture(rect, parentFrame);
            created(slot, what);
            PictureObject& picture = m_outline.picture(slot);
            QByteArray jpeg;
            // Decoded at the reduced size that covers the picture's control (at the drawing's
            // scale for a small drawing); a JPEG stream is kept and decoded again when drawn
            // larger, except for a small drawing, which is never saved.
            const double scale = std::min(m_pictures.scale, 1.0);
            const QSize wanted(std::max(1, int(std::ceil(picture.bounds.width() * scale))),
                               std::max(1, int(std::ceil(picture.bounds.height() * scale))));
            const QImage image = pictures.next(i, &jpeg, wanted, m_pictures.scale >= 1.0);
            if (jpeg.isEmpty())
                picture.setBitmap(image);
            else
                picture.setStoredStream(jpeg, jpegStreamSize(jpeg), decodeStoredJpeg, image);
            if (v40())
                readMinimalTextAndPosition(picture, what, QCoreApplication::translate("OldOutlineFile", "объектов"),
                                           m_objectPositions);
        }
        // What the pictures left is the films' to decode.
        m_result.budget = std::make_shared<PictureBudget>(pictures.budget());
    }

    Version m_version;
    LineReader m_lines;
    PicturesSource m_pictures;
    QString m_path;
    QSize m_chrome;
    LoadResult& m_result;
    Outline& m_outline;
    Positions m_framePositions;
    Positions m_objectPositions;
};

LoadResult importOldOutline(const QByteArray& vmc, PicturesSource pictures, const QString& path, QSize chrome)
{
    LoadResult result;
    try {
        LineReader header(vmc, path);
        const QByteArrayView versionLine =
            header.required(QCoreApplication::translate("OldOutlineFile", "версия файла"));
        Version version;
        if (versionLine == "4.0") {
            version = Version::V40;
        } else if (versionLine == "3.9") {
            version = Version::V39;
            result.notices << QCoreApplication::translate("OldOutlineFile", "Версия файла \"3.9\"")
                                  + programVersionLine()
                                  + QCoreApplication::translate("OldOutlineFile",
                                                                "В текущем файле нет данных о логике конспекта.");
        } else if (versionLine == "3.5") {
            version = Version::V35;
            result.notices << QCoreApplication::translate("OldOutlineFile", "Версия файла \"3.5\"")
                                  + programVersionLine()
                                  + QCoreApplication::translate("OldOutlineFile",
                                                                "Могут возникнуть ошибки при открытии файла.");
        } else {
            // Not an outline of a known version, perhaps not one at all: show a bounded, printable
            // part of what stands in its first line.
            QString shown = decodeCp1251(versionLine.first(qMin<qsizetype>(versionLine.size(), 10)));
            for (QChar& c : shown)
                if (c.unicode() < 0x20)
                    c = QLatin1Char('?');
            result.message = QCoreApplication::translate("OldOutlineFile", "Не поддерживаемая версия файла")
                             + programVersionLine() + QCoreApplication::translate("OldOutlineFile", "Версия файла \"")
                             + shown + QLatin1Char('"');
            return result;
        }
        OldOutlineImport(version, vmc, std::move(pictures), path, chrome, result).run();
        result.ok = true;
    } catch (const ImportError& error) {
        // Nothing of a refused file is kept: only the reason and the notices already due.
        LoadResult refused;
        refused.message = error.message;
        refused.notices = result.notices;
        return refused;
    }
    return result;
}

std::optional<QByteArray> readWholeFile(const QString& path, qint64 limit, QString* problem)
{
    // A side file may be a link to a device or a FIFO (archives carry such links): only a regular
    // file is read, and never more than its limit whatever size it reports.
    return readRegularFile(path, limit, problem);
}

}  // namespace

QSize oldOutlineWindowSize(const QByteArray& vmc)
{
    try {
        LineReader lines(vmc, QString());
        lines.required(QCoreApplication::translate("OldOutlineFile", "версия файла"));
        lines.text(QCoreApplication::translate("OldOutlineFile", "название конспекта"));
        lines.colour(QCoreApplication::translate("OldOutlineFile", "цвет фона"));
        const int width =
            lines.integer(QCoreApplication::translate("OldOutlineFile", "ширина окна"), 0, kCoordinateLimit);
        const int height =
            lines.integer(QCoreApplication::translate("OldOutlineFile", "высота окна"), 0, kCoordinateLimit);
        return QSize(width, height);
    } catch (const ImportError&) {
        return {};
    }
}

QString oldPicturesPath(const QString& vmcPath)
{
    const QFileInfo info(vmcPath);
    const QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString base = dot > 0 ? name.left(dot) : name;
    const QString folder = vmcPath.left(vmcPath.size() - name.size());
    return folder + base + QStringLiteral(".blc");
}

LoadResult readOldOutline(const QByteArray& vmc, const QByteArray* blc, const QString& vmcPathForMessages,
                          QSize windowChrome)
{
    return importOldOutline(
        vmc, PicturesSource{blc, QString(), QCoreApplication::translate("OldOutlineFile", "файл не найден")},
        vmcPathForMessages, windowChrome);
}

LoadResult readOldOutlineFile(const QString& vmcPath, QSize windowChrome, double pictureScale)
{
    QString problem;
    const std::optional<QByteArray> vmc = readWholeFile(vmcPath, kMaxOutlineBytes, &problem);
    if (!vmc) {
        LoadResult refused;
        refused.message = QCoreApplication::translate("OldOutlineFile", "Не удалось открыть конспект %1: %2.")
                              .arg(quoted(vmcPath), problem);
        return refused;
    }
    QString blcPath = oldPicturesPath(vmcPath);
    // Files copied from Windows may carry the extension in capitals.
    const QString upper = blcPath.left(blcPath.size() - 4) + QStringLiteral(".BLC");
    if (!QFileInfo::exists(blcPath) && QFileInfo::exists(upper))
        blcPath = upper;
    // The side file is read as its pictures are, and only when the outline has any.
    return importOldOutline(*vmc, PicturesSource{nullptr, blcPath, QString(), pictureScale}, vmcPath, windowChrome);
}

}  // namespace velmar
