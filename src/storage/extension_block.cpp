#include "storage/extension_block.h"

#include "model/arrow_attachment.h"
#include "storage/cp1251.h"
#include "storage/object_fields.h"

#include <QCoreApplication>
#include <QStringDecoder>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstring>
#include <set>
#include <utility>

namespace velmar {

using namespace extension;

namespace {

constexpr std::array<quint32, 256> makeCrcTable()
{
    std::array<quint32, 256> table{};
    for (quint32 n = 0; n < 256; ++n) {
        quint32 c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

constexpr std::array<quint32, 256> kCrcTable = makeCrcTable();

void putU16(QByteArray& out, quint16 value)
{
    char bytes[2];
    qToLittleEndian<quint16>(value, bytes);
    out.append(bytes, 2);
}

void putU32(QByteArray& out, quint32 value)
{
    char bytes[4];
    qToLittleEndian<quint32>(value, bytes);
    out.append(bytes, 4);
}

quint16 getU16(const char* at) { return qFromLittleEndian<quint16>(at); }
quint32 getU32(const char* at) { return qFromLittleEndian<quint32>(at); }

// The part of a text the record's field keeps, as the block stores it: cut to the capacity; a
// character pair cut in half leaves the replacement character, which the record also shows as '?'.
QString storedPart(const QString& text, int capacity)
{
    if (text.size() <= capacity)
        return text;
    QString part = text.left(capacity);
    if (part.back().isHighSurrogate())
        part.back() = QChar(QChar::ReplacementCharacter);
    return part;
}

int capacityOf(FieldType type, int high) { return type == FieldType::Text ? layout::kSplitTextCapacity : high; }

void appendField(QByteArray& fields, int tag, const QByteArray& value)
{
    putU16(fields, quint16(tag));
    putU16(fields, quint16(value.size()));
    fields += value;
}

void appendEntry(QByteArray& payload, quint8 kind, quint8 slot, const QByteArray& fields)
{
    payload += char(kind);
    payload += char(slot);
    putU32(payload, quint32(fields.size()));
    payload += fields;
}

// The text of a field when the record cannot hold it, or a null string.
QString textNeedingBlock(const QString& text, int capacity)
{
    QString part = storedPart(text, capacity);
    return fitsCp1251(part) ? QString() : part;
}

// Whether a kind has fields the block may hold (texts its record cannot, properties).
template <typename O>
bool holdsBlockFields(const KindFields<O>& kind)
{
    return std::any_of(kind.fields.begin(), kind.fields.end(), [](const Field<O>& f) {
        return f.type == FieldType::Name || f.type == FieldType::Text || f.type == FieldType::Property;
    });
}

template <typename O>
void appendKind(QByteArray& payload, const KindFields<O>& kind, const Outline& outline)
{
    static const O fresh{};
    const std::vector<O>& objects = outline.objects<O>();
    const int count = int(std::min<std::size_t>(objects.size(), std::size_t(layout::kMaxObjects)));
    QByteArray fields;
    for (int k = 0; k < count; ++k) {
        const O& object = objects[std::size_t(k)];
        fields.clear();
        for (const Field<O>& f : kind.fields) {
            if (f.type == FieldType::Name || f.type == FieldType::Text) {
                const QString text = textNeedingBlock(f.text(object), capacityOf(f.type, f.high));
                if (!text.isNull())
                    appendField(fields, f.offset, text.toUtf8());
            } else if (f.type == FieldType::Property) {
                const qint64 value = f.get(object);
                if (value != f.get(fresh)) {
                    QByteArray bytes;
                    putU32(bytes, quint32(value));
                    appendField(fields, f.offset, bytes);
                }
            }
        }
        if (!fields.isEmpty())
            appendEntry(payload, quint8(kind.kind), quint8(k + 1), fields);
    }
}

// Strict UTF-8: a text with invalid sequences is refused rather than patched.
bool decodeUtf8(QByteArrayView bytes, QString* text)
{
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    *text = decoder(bytes);
    return !decoder.hasError();
}

// One field of an entry, checked and ready to be taken.
template <typename O>
struct Pending {
    const Field<O>* field;
    QString text;
    qint64 value = 0;
};

// Checks a text against its field: valid UTF-8, within the capacity, and the record holding its
// Windows-1251 form. Returns the problem or an empty string.
QString checkText(QByteArrayView bytes, int capacity, const QString& recorded, QString* text)
{
    if (!decodeUtf8(bytes, text))
        return QCoreApplication::translate("ExtensionBlock", "текст не в UTF-8");
    if (text->size() > capacity)
        return QCoreApplication::translate("ExtensionBlock", "текст длиннее %1 знаков").arg(capacity);
    if (decodeCp1251(encodeCp1251(*text)) != recorded)
        return QCoreApplication::translate("ExtensionBlock", "текст не совпадает с записью в файле");
    return {};
}

// Reads the fields of one object's entry; every field must be sound for any of them to be taken.
// Reads the field at *at of an entry (a 16-bit tag, a 16-bit length, the value) and moves past
// it; a Russian description of the damage when the entry ends inside the field.
QString nextField(QByteArrayView entry, qsizetype* at, int* tag, QByteArrayView* value)
{
    if (entry.size() - *at < 4)
        return QCoreApplication::translate("ExtensionBlock", "запись обрывается");
    *tag = getU16(entry.data() + *at);
    const qsizetype length = getU16(entry.data() + *at + 2);
    *at += 4;
    if (length > entry.size() - *at)
        return QCoreApplication::translate("ExtensionBlock", "поле %1 выходит за конец записи").arg(*tag);
    *value = entry.sliced(*at, length);
    *at += length;
    return {};
}

template <typename O>
QString applyEntry(const KindFields<O>& kind, QByteArrayView entry, int slot, Outline& outline)
{
    if (slot < 1 || slot > outline.count(kind.kind))
        return QCoreApplication::translate("ExtensionBlock", "такого объекта в файле нет");
    O& object = outline.object<O>(slot);
    std::vector<Pending<O>> pending;
    qsizetype at = 0;
    while (at < entry.size()) {
        int tag = 0;
        QByteArrayView value;
        if (const QString problem = nextField(entry, &at, &tag, &value); !problem.isEmpty())
            return problem;
        const Field<O>* field = nullptr;
        for (const Field<O>& f : kind.fields)
            if (f.offset == tag
                && (f.type == FieldType::Name || f.type == FieldType::Text || f.type == FieldType::Property))
                field = &f;
        if (!field)
            return QCoreApplication::translate("ExtensionBlock", "неизвестное поле %1").arg(tag);
        const QString what = QCoreApplication::translate("ObjectFields", field->what);
        Pending<O> next{field, {}, 0};
        if (field->type == FieldType::Property) {
            if (value.size() != 4)
                return QCoreApplication::translate("ExtensionBlock", "%1: длина %2 байт вместо 4")
                    .arg(what)
                    .arg(value.size());
            next.value = getU32(value.data());
            if (field->high > 0 && next.value > field->high)
                return QCoreApplication::translate("ExtensionBlock", "%1: значение %2 вне 0…%3")
                    .arg(what)
                    .arg(next.value)
                    .arg(field->high);
        } else {
            const QString problem =
                checkText(value, capacityOf(field->type, field->high), field->text(object), &next.text);
            if (!problem.isEmpty())
                return what + QStringLiteral(": ") + problem;
        }
        pending.push_back(std::move(next));
    }
    for (const Pending<O>& p : pending) {
        if (p.field->type == FieldType::Property)
            p.field->set(object, p.value);
        else
            p.field->setText(object, p.text);
    }
    return {};
}

QString applyOutlineEntry(QByteArrayView entry, int slot, QString& outlineName)
{
    if (slot != 0)
        return QCoreApplication::translate("ExtensionBlock", "такого объекта в файле нет");
    QString name;
    qsizetype at = 0;
    bool found = false;
    while (at < entry.size()) {
        int tag = 0;
        QByteArrayView value;
        if (const QString problem = nextField(entry, &at, &tag, &value); !problem.isEmpty())
            return problem;
        if (tag != kOutlineNameTag)
            return QCoreApplication::translate("ExtensionBlock", "неизвестное поле %1").arg(tag);
        const QString problem = checkText(value, layout::kNameCapacity, outlineName, &name);
        if (!problem.isEmpty())
            return problem;
        found = true;
    }
    if (found)
        outlineName = name;
    return {};
}

// Collects the descriptions of what was dropped; a damaged file may drop many entries, of which
// the note names the first few.
class Dropped {
public:
    // A fact about the whole block, named before the entries.
    void addFirst(const QString& what)
    {
        m_items.prepend(what);
        ++m_count;
    }
    void add(const QString& what)
    {
        if (!what.isEmpty() && m_items.size() < kListed)
            m_items << what;
        ++m_count;
    }
    QString text() const
    {
        QString listed = m_items.join(QStringLiteral("; "));
        if (m_count > m_items.size())
            listed += QCoreApplication::translate("ExtensionBlock", " и ещё %1").arg(m_count - m_items.size());
        return listed;
    }
    bool isEmpty() const { return m_count == 0; }

private:
    static constexpr int kListed = 8;
    QStringList m_items;
    int m_count = 0;
};

}  // namespace

quint32 crc32Of(QByteArrayView bytes)
{
    quint32 c = 0xFFFFFFFFu;
    for (const char b : bytes)
        c = kCrcTable[(c ^ quint8(b)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

QByteArray extensionBlockFor(const QString& outlineName, const Outline& outline)
{
    QByteArray payload;
    const QString name = textNeedingBlock(outlineName, layout::kNameCapacity);
    if (!name.isNull()) {
        QByteArray fields;
        appendField(fields, kOutlineNameTag, name.toUtf8());
        appendEntry(payload, kOutlineKind, 0, fields);
    }
    forEachStoredKind([&](const auto& kind) { appendKind(payload, kind, outline); });
    if (payload.isEmpty())
        return {};
    QByteArray block;
    block.reserve(kPreambleSize + payload.size());
    block.append(kMagic, sizeof kMagic);
    putU32(block, kVersion);
    putU32(block, quint32(payload.size()));
    putU32(block, crc32Of(payload));
    block += payload;
    return block;
}

qint64 extensionBlockOffset(const std::vector<qint32>& tailLengths)
{
    qint64 offset = layout::kHeaderSize;
    for (const qint32 length : tailLengths) {
        if (length < 0)
            return -1;
        offset += length;
    }
    return offset;
}

QString applyExtensionBlock(QByteArrayView bytes, QString& outlineName, Outline& outline)
{
    if (bytes.size() < qsizetype(sizeof kMagic) || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0)
        return {};
    if (bytes.size() < kPreambleSize)
        return QCoreApplication::translate("ExtensionBlock",
                                           "блок дополнений обрывается на заголовке, он пропущен целиком");
    const quint32 version = getU32(bytes.data() + 8);
    const quint32 length = getU32(bytes.data() + 12);
    const quint32 crc = getU32(bytes.data() + 16);
    if (version != kVersion)
        return QCoreApplication::translate("ExtensionBlock",
                                           "блок дополнений версии %1 (программа читает версию %2) пропущен целиком")
            .arg(version)
            .arg(kVersion);
    if (length > quint32(kMaxPayload))
        return QCoreApplication::translate("ExtensionBlock",
                                           "блок дополнений длиной %1 байт больше допустимых %2, он пропущен целиком")
            .arg(length)
            .arg(kMaxPayload);
    if (qint64(length) > bytes.size() - kPreambleSize)
        return QCoreApplication::translate("ExtensionBlock",
                                           "блок дополнений обрывается (%1 байт из %2), он пропущен целиком")
            .arg(bytes.size() - kPreambleSize)
            .arg(length);
    const QByteArrayView payload = bytes.sliced(kPreambleSize, length);
    if (crc32Of(payload) != crc)
        return QCoreApplication::translate("ExtensionBlock",
                                           "контрольная сумма блока дополнений не сходится, он пропущен целиком");

    Dropped dropped;
    std::array<int, 256> perKind{};
    std::set<std::pair<int, int>> seen;
    qsizetype at = 0;
    while (at < payload.size()) {
        if (payload.size() - at < 6) {
            dropped.add(QCoreApplication::translate("ExtensionBlock", "обрывок записи в конце блока"));
            break;
        }
        const int kind = quint8(payload[at]);
        const int slot = quint8(payload[at + 1]);
        const quint32 size = getU32(payload.data() + at + 2);
        if (qint64(size) > payload.size() - at - 6) {
            dropped.add(
                QCoreApplication::translate("ExtensionBlock", "запись, выходящая за конец блока, и всё после неё"));
            break;
        }
        const QByteArrayView entry = payload.sliced(at + 6, size);
        at += 6 + qsizetype(size);

        QString item, problem;
        auto visit = [&](const auto& fields) {
            item = QStringLiteral("%1 %2").arg(QCoreApplication::translate("ObjectFields", fields.itemWhat)).arg(slot);
            problem = applyEntry(fields, entry, slot, outline);
        };
        if (++perKind[std::size_t(kind)] > layout::kMaxObjects) {
            if (perKind[std::size_t(kind)] == layout::kMaxObjects + 1)
                dropped.addFirst(QCoreApplication::translate(
                                     "ExtensionBlock", "записи вида %1 сверх первых %2 (больше %2 записей одного вида)")
                                     .arg(kind)
                                     .arg(layout::kMaxObjects));
            else
                dropped.add(QString());
            continue;
        } else if (!seen.insert({kind, slot}).second) {
            item = QCoreApplication::translate("ExtensionBlock", "запись вида %1, место %2").arg(kind).arg(slot);
            problem = QCoreApplication::translate("ExtensionBlock", "повторная запись");
        } else {
            bool known = false;
            forEachStoredKind([&](const auto& fields) {
                if (int(fields.kind) == kind && holdsBlockFields(fields)) {
                    visit(fields);
                    known = true;
                }
            });
            if (!known && kind == kOutlineKind) {
                item = QCoreApplication::translate("ExtensionBlock", "название конспекта");
                problem = applyOutlineEntry(entry, slot, outlineName);
            } else if (!known) {
                item = QCoreApplication::translate("ExtensionBlock", "запись вида %1").arg(kind);
                problem = QCoreApplication::translate("ExtensionBlock", "неизвестный вид объекта");
            }
        }
        if (!problem.isEmpty())
            dropped.add(item + QStringLiteral(" (") + problem + QStringLiteral(")"));
    }
    // An attached arrow end must stand where its object holds it: one left behind by a tool that
    // moved the arrow or the object is set free, and the arrow stays where the record has it.
    for (const int slot : freeUnsoundAttachments(outline))
        dropped.add(QStringLiteral("%1 %2 (%3)")
                        .arg(QCoreApplication::translate("ObjectFields", arrowFields().itemWhat))
                        .arg(slot)
                        .arg(QCoreApplication::translate("ExtensionBlock",
                                                         "привязка конца к объекту не совпадает с записью в файле")));
    return dropped.isEmpty()
               ? QString()
               : QCoreApplication::translate("ExtensionBlock", "пропущены записи блока дополнений: ") + dropped.text();
}

QString extensionNote(const QString& fileName, const QString& dropped)
{
    return QCoreApplication::translate(
               "ExtensionBlock",
               "Не всё из дополнений файла «%1» удалось прочитать: %2. Там, где их нет, тексты показаны "
               "в кодировке Windows-1251 (недостающие знаки — «?»), оформление — как у новых объектов; "
               "остальной конспект загружен.")
        .arg(fileName, dropped);
}

HeaderReadResult readOutlineHeaderWithBlock(QByteArrayView bytes, QString* dropped)
{
    HeaderReadResult read = readOutlineHeader(bytes);
    if (!read.ok())
        return read;
    const qint64 offset = extensionBlockOffset(read.header.tailLengths);
    if (offset >= 0 && offset < bytes.size()) {
        const QString problem = applyExtensionBlock(bytes.sliced(offset), read.header.outlineName, read.header.outline);
        if (dropped)
            *dropped = problem;
    }
    return read;
}

}  // namespace velmar
