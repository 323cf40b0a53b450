#include "storage/outline_file.h"

#include "model/visible_text.h"
#include "storage/cp1251.h"
#include "storage/object_fields.h"

#include <QCoreApplication>
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

// Names a field in a message about a damaged record: "фрейм 3: название", or the outline's own
// field alone. The name is put together only when the field turns out damaged, so reading a sound
// record builds no message texts.
struct FieldName {
    const char* field;
    const char* item = nullptr;  // the object's kind, for a field of an object
    int number = 0;              // the object's number, from 1

    QString text() const
    {
        // The names are marked for translation where they are written (object_fields.cpp).
        const QString name = QCoreApplication::translate("ObjectFields", field);
        return item ? QStringLiteral("%1 %2: %3")
                          .arg(QCoreApplication::translate("ObjectFields", item), QString::number(number), name)
                    : name;
    }
};

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
    QString string(const char* at, int capacity, const FieldName& what)
    {
        QString text;
        if (!readShortString(at, capacity, &text))
            fail(QCoreApplication::translate("OutlineFile", "длина строки «%1» (%2) больше допустимой (%3)")
                     .arg(what.text())
                     .arg(getByte(at))
                     .arg(capacity));
        return text;
    }
    quint8 choice(const char* at, quint8 highest, const FieldName& what)
    {
        const quint8 value = getByte(at);
        if (value > highest)
            fail(QCoreApplication::translate("OutlineFile", "недопустимое значение «%1» (%2)")
                     .arg(what.text())
                     .arg(value));
        return value;
    }
    // A value outside low…high fails the record and is returned clamped into the range: the
    // object being filled in is thrown away with the record, but must not overflow on the way.
    int range(const char* at, qint32 low, qint32 high, const FieldName& what)
    {
        const qint32 value = getInt(at);
        if (value < low || value > high) {
            fail(QCoreApplication::translate("OutlineFile", "значение «%1» (%2) вне допустимых пределов %3…%4")
                     .arg(what.text())
                     .arg(value)
                     .arg(low)
                     .arg(high));
            return std::clamp(value, low, high);
        }
        return value;
    }

private:
    QString m_problem;
};

int checkedCount(Checker& check, const char* at, const char* what)
{
    const qint32 count = getInt(at);
    if (count < 0 || count > kMaxObjects) {
        check.fail(QCoreApplication::translate("OutlineFile", "число объектов «%1» (%2) вне допустимых 0…%3")
                       .arg(QCoreApplication::translate("ObjectFields", what))
                       .arg(count)
                       .arg(kMaxObjects));
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

QString SplitText::text() const { return decodeCp1251(m_pieces[0] + m_pieces[1] + m_pieces[2] + m_pieces[3]); }

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

QString SplitText::readText(const char* at)
{
    // The pieces are decoded one after another into one string; each byte stands for one
    // character, so this is the text of the pieces joined.
    int length = 0;
    for (int i = 0; i < 4; ++i)
        length += getByte(at + qsizetype(i) * (kSplitPieceCapacity + 1));
    QString text;
    text.reserve(length);
    for (int i = 0; i < 4; ++i, at += kSplitPieceCapacity + 1)
        appendCp1251(text, QByteArrayView(at + 1, getByte(at)));
    return text;
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

namespace {

template <typename Object>
void writeKind(char* h, const KindFields<Object>& kind, const Outline& outline, const std::vector<qint32>& tailLengths)
{
    const std::vector<Object>& objects = outline.objects<Object>();
    const Sequence* sequence = sequenceFor(kind, outline);
    const int count = int(std::min<std::size_t>(objects.size(), kMaxObjects));
    putInt(h + kind.countOffset, count);
    for (int k = 0; k < count; ++k) {
        const Object& object = objects[std::size_t(k)];
        char* r = h + kind.slotsOffset + k * kind.slotSize;
        for (const Field<Object>& f : kind.fields) {
            char* at = r + f.offset;
            switch (f.type) {
            case FieldType::Int:
                // Whatever is written must read back: values beyond what a reader accepts are
                // brought to the nearest accepted one.
                putInt(at, qint32(std::clamp<qint64>(f.get(object), f.low, f.high)));
                break;
            case FieldType::Parent:
                putInt(at, qint32(std::clamp<qint64>(f.get(object), 0,
                                                     std::min(outline.count(ObjectKind::Frame), kMaxObjects))));
                break;
            case FieldType::Colour: putColour(at, ColourValue(f.get(object))); break;
            case FieldType::Byte: putByte(at, quint8(std::clamp<qint64>(f.get(object), 0, f.high))); break;
            case FieldType::Flag: putByte(at, f.get(object) != 0 ? 1 : 0); break;
            case FieldType::Name: writeShortString(at, f.text(object), f.high); break;
            case FieldType::Text: SplitText::write(at, f.text(object)); break;
            case FieldType::Position: putInt(at, sequence ? sequence->positionOf(object.id) : 0); break;
            case FieldType::TailLength:
                putInt(at, std::size_t(k) < tailLengths.size() ? tailLengths[std::size_t(k)] : 0);
                break;
            case FieldType::Listed:
            case FieldType::Unsaved:
            case FieldType::Property: break;
            }
        }
    }
}

}  // namespace

void writeOutlineHeader(char* h, const Document& doc, const std::vector<qint32>& tailLengths)
{
    writeShortString(h + kVersion, kFormatVersion, kVersionCapacity);
    writeShortString(h + kOutlineName, doc.state.outlineName, kNameCapacity);
    putColour(h + kCanvasColour, doc.state.canvasColour);
    putInt(h + kWindowWidth, std::clamp(doc.state.windowSize.width(), 0, kMaxCoordinate));
    putInt(h + kWindowHeight, std::clamp(doc.state.windowSize.height(), 0, kMaxCoordinate));
    forEachStoredKind([&](const auto& kind) { writeKind(h, kind, doc.outline, tailLengths); });
}

QByteArray outlineHeaderBytes(const Document& doc)
{
    QByteArray bytes(kHeaderSize, '\0');
    writeOutlineHeader(bytes.data(), doc, {});
    return bytes;
}

// --- Reading ---------------------------------------------------------------------------------

namespace {

// Stored places of the objects read, per sequence, placed once every kind has been read.
struct Places {
    std::vector<std::pair<ObjectId, int>> frames, objects;
    std::vector<std::pair<ObjectId, int>>* of(SequenceOf sequence)
    {
        return sequence == SequenceOf::Frames ? &frames : sequence == SequenceOf::Objects ? &objects : nullptr;
    }
};

template <typename Object>
void readKind(const char* h, const KindFields<Object>& kind, Checker& check, OutlineHeader& header, Places& places)
{
    const int count = checkedCount(check, h + kind.countOffset, kind.countWhat);
    const int frames = header.outline.count(ObjectKind::Frame);
    header.outline.template reserveStored<Object>(count);
    if (auto* members = places.of(kind.sequence))
        members->reserve(members->size() + std::size_t(count));
    for (int k = 0; k < count && !check.failed(); ++k) {
        const char* r = h + kind.slotsOffset + k * kind.slotSize;
        Object object;
        int place = 0;
        for (const Field<Object>& f : kind.fields) {
            const char* at = r + f.offset;
            const FieldName what{f.what, kind.itemWhat, k + 1};
            switch (f.type) {
            case FieldType::Int: f.set(object, check.range(at, f.low, f.high, what)); break;
            case FieldType::Parent: f.set(object, check.range(at, 0, frames, what)); break;
            case FieldType::Colour: f.set(object, getColour(at)); break;
            case FieldType::Byte: f.set(object, check.choice(at, quint8(f.high), what)); break;
            case FieldType::Flag: f.set(object, getByte(at) != 0); break;
            case FieldType::Name: f.setText(object, check.string(at, f.high, what)); break;
            case FieldType::Text: f.setText(object, SplitText::readText(at)); break;
            case FieldType::Position: place = check.range(at, 0, kMaxObjects, what); break;
            // The tail lengths are checked where the tail is read: a bad one costs only its picture.
            case FieldType::TailLength: header.tailLengths.push_back(getInt(at)); break;
            case FieldType::Listed:
            case FieldType::Unsaved:
            case FieldType::Property: break;
            }
        }
        const int slot = header.outline.appendStored(std::move(object));
        if (auto* members = places.of(kind.sequence))
            members->emplace_back(header.outline.template object<Object>(slot).id, place);
    }
}

}  // namespace

HeaderReadResult readOutlineHeader(QByteArrayView bytes)
{
    HeaderReadResult result;
    if (bytes.isEmpty()) {
        result.status = HeaderStatus::Empty;
        result.problem = QCoreApplication::translate("OutlineFile", "файл пуст");
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
        result.problem =
            QCoreApplication::translate("OutlineFile", "он короче заголовка логического конспекта (%1 байт вместо %2)")
                .arg(bytes.size())
                .arg(kHeaderSize);
        return result;
    }

    const char* h = bytes.data();
    OutlineHeader& header = result.header;
    Checker check;
    header.version = result.fileVersion;
    header.outlineName =
        check.string(h + kOutlineName, kNameCapacity, {QT_TRANSLATE_NOOP("ObjectFields", "название конспекта")});
    header.canvasColour = getColour(h + kCanvasColour);
    header.windowWidth =
        check.range(h + kWindowWidth, 0, kMaxCoordinate, {QT_TRANSLATE_NOOP("ObjectFields", "ширина окна")});
    header.windowHeight =
        check.range(h + kWindowHeight, 0, kMaxCoordinate, {QT_TRANSLATE_NOOP("ObjectFields", "высота окна")});
    header.outline.setSequenceRecording(true);
    Places places;
    forEachStoredKind([&](const auto& kind) {
        if (!check.failed())
            readKind(h, kind, check, header, places);
    });
    placeInSequence(header.outline.frameSequence(), places.frames);
    placeInSequence(header.outline.objectSequence(), places.objects);

    if (check.failed()) {
        result.status = HeaderStatus::Damaged;
        result.problem = check.problem();
        result.header = OutlineHeader();
    }
    return result;
}

QString unsupportedVersionMessage(const QString& fileVersion)
{
    return QCoreApplication::translate("OutlineFile",
                                       "Не поддерживаемая версия файла\n\rВерсия программы \"4.1\"\n\rВерсия файла \"")
           + fileVersion + QStringLiteral("\"");
}

QString headerProblemMessage(const HeaderReadResult& result, const QString& fileName)
{
    switch (result.status) {
    case HeaderStatus::Ok: return {};
    case HeaderStatus::UnsupportedVersion: return unsupportedVersionMessage(result.fileVersion);
    case HeaderStatus::Empty:
        return QCoreApplication::translate("OutlineFile", "Файл «%1» пуст: в нём нет логического конспекта.")
            .arg(fileName);
    case HeaderStatus::Short:
    case HeaderStatus::Damaged: break;
    }
    return QCoreApplication::translate("OutlineFile", "Файл «%1» повреждён: %2. Конспект из него не загружен.")
        .arg(fileName, result.problem);
}

QString videoNameProblem(const QString& path)
{
    if (path.size() <= layout::kNameCapacity)
        return {};
    return QCoreApplication::translate(
               "OutlineFile",
               "Видеофайл «%1» нельзя связать с видео фрагментом: имя файла с путём длиннее %2 символов, "
               "и после сохранения конспекта файл не найти. Переименуйте файл или переместите его в "
               "другую папку.")
        .arg(visibleText(path))
        .arg(layout::kNameCapacity);
}

}  // namespace velmar
