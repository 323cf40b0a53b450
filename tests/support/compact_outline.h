#pragma once

// The compact input form of the outline and snapshot fuzz harnesses. An outline file begins with a
// record of 597,496 bytes, most of it empty slots; a fuzzer mutating whole files spends its time
// copying and hashing them. The compact form holds only what is worth changing:
//
//   5 bytes   stored counts of frames, text fields, videos, pictures and arrows (as stored, so
//             counts above 100 stay reachable)
//   1 byte    number of patches P
//   P patches area (u8: 0..4 a kind's slots, 5 the outline's own fields before them), slot (u8),
//             offset in the slot (u16, little-endian, taken modulo the slot size), length (u8),
//             then that many bytes written over the record there (cut at the area's end)
//   the rest  what follows the record: the picture chunks and the extension block of an outline
//             file, or the block alone in a header-only snapshot
//
// The record around the patches is that of a base outline with objects of every kind, texts,
// sequences and three pictures; its tail lengths fit baseTail(). An input that begins with the
// record's version string ("\x03" "4.1") is taken as a whole file instead, so kept regression
// files stay readable by the harnesses.

#include "model/document.h"
#include "storage/extension_block.h"
#include "storage/outline_file.h"
#include "storage/outline_io.h"

#include <QByteArray>
#include <QImage>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>
#include <vector>

namespace compact {

using namespace velmar;

inline Document baseDocument()
{
    Document doc;
    doc.state.outlineName = QStringLiteral("Урок ?");
    doc.state.windowSize = QSize(800, 600);
    Outline& o = doc.outline;
    o.setClientSize(QSize(784, 541));
    for (int k = 1; k <= 3; ++k) {
        const int slot = o.createFrame(QRect(2 + 200 * (k - 1), 34, 190, 240), QStringLiteral("Фрейм ?%1").arg(k));
        o.frame(slot).minimalText = QStringLiteral("Текст ? %1").arg(k);
    }
    o.createTextField(QRect(5, 25, 150, 60), 0x00FFFFFF, QStringLiteral("T = 2?\r\n??"), 1);
    o.createTextField(QRect(300, 300, 150, 60), kButtonFace, QStringLiteral("?"), 0);
    o.createVideo(QRect(5, 100, 100, 80), 2);
    o.video(1).fileName = QStringLiteral("/видео/?.avi");
    for (int k = 1; k <= 3; ++k) {
        QImage image(6 + 2 * k, 4 + k, QImage::Format_RGB32);
        image.fill(qRgb(40 * k, 200 - 30 * k, 90));
        const int slot = o.createPicture(QRect(10, 10 + 20 * k, 30, 20), k == 3 ? 0 : k);
        o.picture(slot).setBitmap(image);
        o.picture(slot).minimalText = QStringLiteral("? %1").arg(k);
    }
    o.createArrow(10, 10, 300, 200, 2, 0x000000FF);
    return doc;
}

struct Base {
    QByteArray record;    // the base outline's record, tail lengths included
    QByteArray snapshot;  // the same as a header-only snapshot writes it (tail lengths 0)
    QByteArray tail;      // its picture chunks
};

inline const Base& base()
{
    static const Base b = [] {
        const OutlineImage image = buildOutlineImage(baseDocument(), true);
        Base made;
        made.record = image.header;
        made.snapshot = buildOutlineImage(baseDocument(), false).header;
        const QByteArray whole = image.toBytes();
        made.tail = whole.mid(layout::kHeaderSize, whole.size() - layout::kHeaderSize - image.extension.size());
        return made;
    }();
    return b;
}

// Offsets of the five counts and the slot areas, in record order.
struct Area {
    qsizetype count, firstSlot, slotSize;
};
inline constexpr std::array<Area, 5> kAreas{{
    {layout::kFrameCount, layout::kFrames, layout::kFrameRecordSize},
    {layout::kTextFieldCount, layout::kTextFields, layout::kTextFieldRecordSize},
    {layout::kVideoCount, layout::kVideos, layout::kVideoRecordSize},
    {layout::kPictureCount, layout::kPictures, layout::kPictureRecordSize},
    {layout::kArrowCount, layout::kArrows, layout::kArrowRecordSize},
}};

inline bool isWholeFile(QByteArrayView input)
{
    return input.size() >= 4
           && std::memcmp(input.data(),
                          "\x03"
                          "4.1",
                          4)
                  == 0;
}

// The file bytes an input stands for: an outline file, or a header-only snapshot. The result is
// valid until the next call: one buffer is reused, and of the record only the bytes the previous
// input changed are put back, so that an input costs no copy of the whole record.
inline const QByteArray& expand(QByteArrayView input, bool headerOnly = false)
{
    static QByteArray file;
    static const QByteArray* holds = nullptr;                     // the base record the buffer holds, if any
    static std::vector<std::pair<qsizetype, qsizetype>> changed;  // ranges of it the last input wrote
    if (isWholeFile(input)) {
        file = input.toByteArray();
        holds = nullptr;
        return file;
    }
    const QByteArray& from = headerOnly ? base().snapshot : base().record;
    if (file.capacity() < layout::kHeaderSize + input.size())
        file.reserve(layout::kHeaderSize + std::max<qsizetype>(input.size(), 1 << 20));
    file.resize(layout::kHeaderSize);
    char* record = file.data();
    if (holds != &from) {
        std::memcpy(record, from.constData(), std::size_t(layout::kHeaderSize));
        holds = &from;
    } else {
        for (const auto& [start, length] : changed)
            std::memcpy(record + start, from.constData() + start, std::size_t(length));
    }
    changed.clear();
    qsizetype at = 0;
    const auto take = [&](qsizetype n) {
        const qsizetype from = at;
        at = std::min(at + n, input.size());
        return at - from == n ? input.sliced(from, n) : QByteArrayView();
    };
    const QByteArrayView counts = take(5);
    for (qsizetype k = 0; k < counts.size(); ++k) {
        const qsizetype offset = kAreas[std::size_t(k)].count;
        qToLittleEndian<qint32>(quint8(counts[k]), record + offset);
        changed.emplace_back(offset, 4);
    }
    const QByteArrayView patchCount = take(1);
    const int patches = patchCount.isEmpty() ? 0 : quint8(patchCount[0]);
    for (int p = 0; p < patches; ++p) {
        const QByteArrayView head = take(5);
        if (head.isEmpty())
            break;
        const int area = quint8(head[0]) % 6;
        const int slot = quint8(head[1]) % layout::kMaxObjects;
        const int offset = qFromLittleEndian<quint16>(head.data() + 2);
        const QByteArrayView bytes = take(quint8(head[4]));
        qsizetype start = 0, end = 0;
        if (area == 5) {
            start = offset % layout::kFrameCount;
            end = layout::kFrameCount;
        } else {
            const Area& a = kAreas[std::size_t(area)];
            start = a.firstSlot + slot * a.slotSize + offset % a.slotSize;
            end = a.firstSlot + (slot + 1) * a.slotSize;
        }
        const qsizetype length = std::min(bytes.size(), end - start);
        if (length > 0) {
            std::memcpy(record + start, bytes.data(), std::size_t(length));
            changed.emplace_back(start, length);
        }
    }
    file.append(input.sliced(at).data(), input.size() - at);
    return file;
}

// The compact form of an outline file or snapshot made from the base record: its counts, no
// patches, and what follows the record.
inline QByteArray compactOf(const QByteArray& file, const QList<QByteArray>& patches = {})
{
    QByteArray input;
    for (const Area& a : kAreas)
        input += char(qFromLittleEndian<qint32>(file.constData() + a.count));
    input += char(patches.size());
    for (const QByteArray& patch : patches)
        input += patch;
    return input + file.mid(layout::kHeaderSize);
}

}  // namespace compact
