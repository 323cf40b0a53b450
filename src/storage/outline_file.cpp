#include "storage/outline_file.h"

#include "storage/cp1251.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace velmar {

using namespace layout;

namespace {

void putInt(char* at, qint32 value) { qToLittleEndian<qint32>(value, at); }
void putColour(char* at, ColourValue value) { qToLittleEndian<quint32>(value, at); }
void putByte(char* at, quint8 value) { *at = char(value); }
qint32 getInt(const char* at) { return qFromLittleEndian<qint32>(at); }
ColourValue getColour(const char* at) { return qFromLittleEndian<quint32>(at); }
quint8 getByte(const char* at) { return quint8(*at); }

// Offsets inside the per-kind records.
namespace frame {
constexpr int kLeft = 0, kTop = 4, kWidth = 8, kHeight = 12, kColour = 16, kInnerBevel = 20, kOuterBevel = 21,
              kBorder = 22, kTitle = 23, kTitleVisible = 274, kMinimalText = 275, kSequence = 1300;
}
namespace text {
constexpr int kParent = 0, kLeft = 4, kTop = 8, kWidth = 12, kHeight = 16, kText = 20, kMinimalText = 1044,
              kBackground = 2068, kAlignment = 2072, kFontName = 2073, kFontSize = 2274, kFontColour = 2276,
              kFontPitch = 2280, kFontStyle = 2281, kSequence = 2284;
}
namespace video {
constexpr int kParent = 0, kLeft = 4, kTop = 8, kWidth = 12, kHeight = 16, kFileName = 20, kMinimalText = 271,
              kSequence = 1296;
}
namespace picture {
constexpr int kParent = 0, kLeft = 4, kTop = 8, kWidth = 12, kHeight = 16, kMinimalText = 24, kSequence = 1048,
              kCumulative = 1052;
}

// Coordinates beyond what a window system can show are damage, not a reason to allocate
// gigantic controls or arrow images.
constexpr qint32 kMinCoordinate = -32768;
constexpr qint32 kMaxCoordinate = 32767;

void putBounds(char* r, int left, int top, int width, int height, int at)
{
    putInt(r + at, left);
    putInt(r + at + 4, top);
    putInt(r + at + 8, width);
    putInt(r + at + 12, height);
}

// Collects the first problem found while a record is read; later checks do nothing once one
// has been found, so the message names the first damaged field.
class Checker {
public:
    bool failed() const { return !m_problem.isEmpty(); }
    const QString& problem() const { return m_problem; }

    void fail(const QString& problem)
    {
        if (!failed())
            m_problem = problem;
    }
    QString string(const char* at, int capacity, const QString& what)
    {
        QString text;
        if (!readShortString(at, capacity, &text))
            fail(QStringLiteral("длина строки «%1» (%2) больше допустимой (%3)").arg(what).arg(getByte(at)).arg(capacity));
        return text;
    }
    quint8 choice(const char* at, quint8 highest, const QString& what)
    {
        const quint8 value = getByte(at);
        if (value > highest)
            fail(QStringLiteral("недопустимое значение «%1» (%2)").arg(what).arg(value));
        return value;
    }
    int range(const char* at, qint32 low, qint32 high, const QString& what)
    {
        const qint32 value = getInt(at);
        if (value < low || value > high)
            fail(QStringLiteral("значение «%1» (%2) вне допустимых пределов %3…%4").arg(what).arg(value).arg(low).arg(high));
        return value;
    }
    void bounds(const char* r, int at, const QString& what, int* left, int* top, int* width, int* height)
    {
        *left = range(r + at, kMinCoordinate, kMaxCoordinate, QStringLiteral("%1: левый край").arg(what));
        *top = range(r + at + 4, kMinCoordinate, kMaxCoordinate, QStringLiteral("%1: верхний край").arg(what));
        *width = range(r + at + 8, 0, kMaxCoordinate, QStringLiteral("%1: ширина").arg(what));
        *height = range(r + at + 12, 0, kMaxCoordinate, QStringLiteral("%1: высота").arg(what));
    }

private:
    QString m_problem;
};

int checkedCount(Checker& check, const char* at, const QString& what)
{
    const qint32 count = getInt(at);
    if (count < 0 || count > kMaxObjects) {
        check.fail(QStringLiteral("число объектов «%1» (%2) вне допустимых 0…%3").arg(what).arg(count).arg(kMaxObjects));
        return 0;
    }
    return count;
}

}  // namespace

// --- Strings ---------------------------------------------------------------------------------

void writeShortString(char* at, const QString& text, int capacity)
{
    const QByteArray bytes = encodeCp1251(text).left(capacity);
    putByte(at, quint8(bytes.size()));
    std::memcpy(at + 1, bytes.constData(), std::size_t(bytes.size()));
}

bool readShortString(const char* at, int capacity, QString* text)
{
    const int length = getByte(at);
    if (length > capacity)
        return false;
    *text = decodeCp1251(QByteArrayView(at + 1, length));
    return true;
}

SplitText::SplitText(const QString& text)
{
    const QByteArray bytes = encodeCp1251(text);
    for (int i = 0; i < 4; ++i)
        m_pieces[std::size_t(i)] = bytes.mid(qsizetype(i) * kSplitPieceCapacity, kSplitPieceCapacity);
}

QString SplitText::text() const
{
    return decodeCp1251(m_pieces[0] + m_pieces[1] + m_pieces[2] + m_pieces[3]);
}

void SplitText::write(char* at) const
{
    for (const QByteArray& piece : m_pieces) {
        putByte(at, quint8(piece.size()));
        std::memcpy(at + 1, piece.constData(), std::size_t(piece.size()));
        at += kSplitPieceCapacity + 1;
    }
}

void SplitText::write(char* at, const QString& text)
{
    const QByteArray bytes = encodeCp1251(text);
    for (int i = 0; i < 4; ++i) {
        const qsizetype from = qsizetype(i) * kSplitPieceCapacity;
        const qsizetype length = std::clamp<qsizetype>(bytes.size() - from, 0, kSplitPieceCapacity);
        putByte(at, quint8(length));
        if (length > 0)
            std::memcpy(at + 1, bytes.constData() + from, std::size_t(length));
        at += kSplitPieceCapacity + 1;
    }
}

SplitText SplitText::read(const char* at)
{
    SplitText split;
    for (QByteArray& piece : split.m_pieces) {
        piece = QByteArray(at + 1, getByte(at));
        at += kSplitPieceCapacity + 1;
    }
    return split;
}

// --- Writing ---------------------------------------------------------------------------------

QByteArray OutlineHeader::toBytes() const
{
    QByteArray bytes(kHeaderSize, '\0');
    writeTo(bytes.data());
    return bytes;
}

void OutlineHeader::writeTo(char* h) const
{
    writeShortString(h + kVersion, version, kVersionCapacity);
    writeShortString(h + kOutlineName, outlineName, kNameCapacity);
    putColour(h + kCanvasColour, canvasColour);
    putInt(h + kWindowWidth, windowWidth);
    putInt(h + kWindowHeight, windowHeight);

    const auto count = [](const auto& table) { return int(std::min<std::size_t>(table.size(), kMaxObjects)); };

    putInt(h + kFrameCount, count(frames));
    for (int k = 0; k < count(frames); ++k) {
        const FrameRecord& f = frames[std::size_t(k)];
        char* r = h + kFrames + k * kFrameRecordSize;
        putBounds(r, f.left, f.top, f.width, f.height, frame::kLeft);
        putColour(r + frame::kColour, f.colour);
        putByte(r + frame::kInnerBevel, f.innerBevel);
        putByte(r + frame::kOuterBevel, f.outerBevel);
        putByte(r + frame::kBorder, f.borderLine);
        writeShortString(r + frame::kTitle, f.title, kNameCapacity);
        putByte(r + frame::kTitleVisible, f.titleVisible ? 1 : 0);
        SplitText::write(r + frame::kMinimalText, f.minimalText);
        putInt(r + frame::kSequence, f.sequencePosition);
    }

    putInt(h + kTextFieldCount, count(textFields));
    for (int k = 0; k < count(textFields); ++k) {
        const TextFieldRecord& t = textFields[std::size_t(k)];
        char* r = h + kTextFields + k * kTextFieldRecordSize;
        putInt(r + text::kParent, t.parentFrame);
        putBounds(r, t.left, t.top, t.width, t.height, text::kLeft);
        SplitText::write(r + text::kText, t.text);
        SplitText::write(r + text::kMinimalText, t.minimalText);
        putColour(r + text::kBackground, t.background);
        putByte(r + text::kAlignment, t.alignment);
        writeShortString(r + text::kFontName, t.fontName, kFontNameCapacity);
        putByte(r + text::kFontSize, t.fontSize);
        putColour(r + text::kFontColour, t.fontColour);
        putByte(r + text::kFontPitch, t.fontPitch);
        putByte(r + text::kFontStyle, t.fontStyle);
        putInt(r + text::kSequence, t.sequencePosition);
    }

    putInt(h + kVideoCount, count(videos));
    for (int k = 0; k < count(videos); ++k) {
        const VideoRecord& v = videos[std::size_t(k)];
        char* r = h + kVideos + k * kVideoRecordSize;
        putInt(r + video::kParent, v.parentFrame);
        putBounds(r, v.left, v.top, v.width, v.height, video::kLeft);
        writeShortString(r + video::kFileName, v.fileName, kNameCapacity);
        SplitText::write(r + video::kMinimalText, v.minimalText);
        putInt(r + video::kSequence, v.sequencePosition);
    }

    putInt(h + kPictureCount, count(pictures));
    for (int k = 0; k < count(pictures); ++k) {
        const PictureRecord& p = pictures[std::size_t(k)];
        char* r = h + kPictures + k * kPictureRecordSize;
        putInt(r + picture::kParent, p.parentFrame);
        putBounds(r, p.left, p.top, p.width, p.height, picture::kLeft);
        SplitText::write(r + picture::kMinimalText, p.minimalText);
        putInt(r + picture::kSequence, p.sequencePosition);
        putInt(r + picture::kCumulative, p.cumulativeLength);
    }

    putInt(h + kArrowCount, count(arrows));
    for (int k = 0; k < count(arrows); ++k) {
        const ArrowRecord& a = arrows[std::size_t(k)];
        char* r = h + kArrows + k * kArrowRecordSize;
        putInt(r, a.x1);
        putInt(r + 4, a.x2);
        putInt(r + 8, a.y1);
        putInt(r + 12, a.y2);
        putInt(r + 16, a.penWidth);
        putColour(r + 20, a.colour);
    }
}

// --- Reading ---------------------------------------------------------------------------------

HeaderReadResult readOutlineHeader(QByteArrayView bytes)
{
    HeaderReadResult result;
    if (bytes.isEmpty()) {
        result.status = HeaderStatus::Empty;
        result.problem = QStringLiteral("файл пуст");
        return result;
    }
    if (bytes.size() > kVersionCapacity) {
        const int length = getByte(bytes.data());
        result.fileVersion = decodeCp1251(bytes.sliced(1, std::min(length, kVersionCapacity)));
        if (length != 3 || result.fileVersion != kFormatVersion) {
            result.status = HeaderStatus::UnsupportedVersion;
            return result;
        }
    }
    if (bytes.size() < kHeaderSize) {
        result.status = HeaderStatus::Short;
        result.problem = QStringLiteral("он короче заголовка логического конспекта (%1 байт вместо %2)")
                             .arg(bytes.size())
                             .arg(kHeaderSize);
        return result;
    }

    const char* h = bytes.data();
    OutlineHeader& header = result.header;
    Checker check;
    header.version = result.fileVersion;
    header.outlineName = check.string(h + kOutlineName, kNameCapacity, QStringLiteral("название конспекта"));
    header.canvasColour = getColour(h + kCanvasColour);
    header.windowWidth = check.range(h + kWindowWidth, 0, kMaxCoordinate, QStringLiteral("ширина окна"));
    header.windowHeight = check.range(h + kWindowHeight, 0, kMaxCoordinate, QStringLiteral("высота окна"));

    const int frameCount = checkedCount(check, h + kFrameCount, QStringLiteral("фреймы"));
    for (int k = 0; k < frameCount && !check.failed(); ++k) {
        const char* r = h + kFrames + k * kFrameRecordSize;
        const QString what = QStringLiteral("фрейм %1").arg(k + 1);
        FrameRecord f;
        check.bounds(r, frame::kLeft, what, &f.left, &f.top, &f.width, &f.height);
        f.colour = getColour(r + frame::kColour);
        f.innerBevel = check.choice(r + frame::kInnerBevel, 3, what + QStringLiteral(": внутренний скос"));
        f.outerBevel = check.choice(r + frame::kOuterBevel, 3, what + QStringLiteral(": внешний скос"));
        f.borderLine = check.choice(r + frame::kBorder, 1, what + QStringLiteral(": рамка"));
        f.title = check.string(r + frame::kTitle, kNameCapacity, what + QStringLiteral(": название"));
        f.titleVisible = getByte(r + frame::kTitleVisible) != 0;
        f.minimalText = SplitText::read(r + frame::kMinimalText).text();
        f.sequencePosition = check.range(r + frame::kSequence, 0, kMaxObjects, what + QStringLiteral(": место в последовательности"));
        header.frames.push_back(f);
    }

    const int textCount = checkedCount(check, h + kTextFieldCount, QStringLiteral("текстовые поля"));
    for (int k = 0; k < textCount && !check.failed(); ++k) {
        const char* r = h + kTextFields + k * kTextFieldRecordSize;
        const QString what = QStringLiteral("текстовое поле %1").arg(k + 1);
        TextFieldRecord t;
        t.parentFrame = check.range(r + text::kParent, 0, frameCount, what + QStringLiteral(": номер фрейма"));
        check.bounds(r, text::kLeft, what, &t.left, &t.top, &t.width, &t.height);
        t.text = SplitText::read(r + text::kText).text();
        t.minimalText = SplitText::read(r + text::kMinimalText).text();
        t.background = getColour(r + text::kBackground);
        t.alignment = check.choice(r + text::kAlignment, 2, what + QStringLiteral(": выравнивание"));
        t.fontName = check.string(r + text::kFontName, kFontNameCapacity, what + QStringLiteral(": шрифт"));
        t.fontSize = getByte(r + text::kFontSize);
        t.fontColour = getColour(r + text::kFontColour);
        t.fontPitch = check.choice(r + text::kFontPitch, 2, what + QStringLiteral(": шаг шрифта"));
        t.fontStyle = check.choice(r + text::kFontStyle, 15, what + QStringLiteral(": начертание шрифта"));
        t.sequencePosition = check.range(r + text::kSequence, 0, kMaxObjects, what + QStringLiteral(": место в последовательности"));
        header.textFields.push_back(t);
    }

    const int videoCount = checkedCount(check, h + kVideoCount, QStringLiteral("видео фрагменты"));
    for (int k = 0; k < videoCount && !check.failed(); ++k) {
        const char* r = h + kVideos + k * kVideoRecordSize;
        const QString what = QStringLiteral("видео фрагмент %1").arg(k + 1);
        VideoRecord v;
        v.parentFrame = check.range(r + video::kParent, 0, frameCount, what + QStringLiteral(": номер фрейма"));
        check.bounds(r, video::kLeft, what, &v.left, &v.top, &v.width, &v.height);
        v.fileName = check.string(r + video::kFileName, kNameCapacity, what + QStringLiteral(": имя файла"));
        v.minimalText = SplitText::read(r + video::kMinimalText).text();
        v.sequencePosition = check.range(r + video::kSequence, 0, kMaxObjects, what + QStringLiteral(": место в последовательности"));
        header.videos.push_back(v);
    }

    const int pictureCount = checkedCount(check, h + kPictureCount, QStringLiteral("рисунки"));
    for (int k = 0; k < pictureCount && !check.failed(); ++k) {
        const char* r = h + kPictures + k * kPictureRecordSize;
        const QString what = QStringLiteral("рисунок %1").arg(k + 1);
        PictureRecord p;
        p.parentFrame = check.range(r + picture::kParent, 0, frameCount, what + QStringLiteral(": номер фрейма"));
        check.bounds(r, picture::kLeft, what, &p.left, &p.top, &p.width, &p.height);
        p.minimalText = SplitText::read(r + picture::kMinimalText).text();
        p.sequencePosition = check.range(r + picture::kSequence, 0, kMaxObjects, what + QStringLiteral(": место в последовательности"));
        // The tail lengths are checked where the tail is read: a bad one costs only its picture.
        p.cumulativeLength = getInt(r + picture::kCumulative);
        header.pictures.push_back(p);
    }

    const int arrowCount = checkedCount(check, h + kArrowCount, QStringLiteral("стрелки"));
    for (int k = 0; k < arrowCount && !check.failed(); ++k) {
        const char* r = h + kArrows + k * kArrowRecordSize;
        const QString what = QStringLiteral("стрелка %1").arg(k + 1);
        ArrowRecord a;
        a.x1 = check.range(r, kMinCoordinate, kMaxCoordinate, what + QStringLiteral(": x начала"));
        a.x2 = check.range(r + 4, kMinCoordinate, kMaxCoordinate, what + QStringLiteral(": x конца"));
        a.y1 = check.range(r + 8, kMinCoordinate, kMaxCoordinate, what + QStringLiteral(": y начала"));
        a.y2 = check.range(r + 12, kMinCoordinate, kMaxCoordinate, what + QStringLiteral(": y конца"));
        a.penWidth = check.range(r + 16, 1, 10, what + QStringLiteral(": толщина"));
        a.colour = getColour(r + 20);
        header.arrows.push_back(a);
    }

    if (check.failed()) {
        result.status = HeaderStatus::Damaged;
        result.problem = check.problem();
        result.header = OutlineHeader();
    }
    return result;
}

QString unsupportedVersionMessage(const QString& fileVersion)
{
    return QStringLiteral("Не поддерживаемая версия файла\n\rВерсия программы \"4.1\"\n\rВерсия файла \"") + fileVersion
           + QStringLiteral("\"");
}

QString headerProblemMessage(const HeaderReadResult& result, const QString& fileName)
{
    switch (result.status) {
    case HeaderStatus::Ok:
        return {};
    case HeaderStatus::UnsupportedVersion:
        return unsupportedVersionMessage(result.fileVersion);
    case HeaderStatus::Empty:
        return QStringLiteral("Файл «%1» пуст: в нём нет логического конспекта.").arg(fileName);
    case HeaderStatus::Short:
    case HeaderStatus::Damaged:
        break;
    }
    return QStringLiteral("Файл «%1» повреждён: %2. Конспект из него не загружен.").arg(fileName, result.problem);
}

}  // namespace velmar
