#pragma once

#include "model/outline.h"
#include "storage/outline_file.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <vector>

namespace velmar {

// What the record cannot hold — texts with characters outside Windows-1251 and the appearance
// properties without a field there — travels in one optional block after the last picture chunk
// (after the record in header-only snapshots). Readers that follow only the record and the chunks
// never look there and see the Windows-1251 texts with '?' for what the code page lacks.
//
//   magic "VMDXBLK" 0x1A (8 bytes), version (u32), payload length L (u32), CRC-32 of the payload
//   (u32), then L bytes of entries. Every integer is little-endian.
//   entry: kind (u8: 0 frame, 1 picture, 3 video, 4 text field, 255 the outline itself), slot
//          (u8: 1..100, 0 for the outline), length of its fields (u32), then its fields:
//          number (u16), length (u16), value. A text is numbered by its offset in the kind's
//          record slot (11 for the outline name) and holds UTF-8; a property is a u32.
//
// An outline whose texts all fit the code page and whose properties are those of new objects
// gets no block, so its file is byte for byte what it would be without this extension.
namespace extension {

inline constexpr char kMagic[8] = {'V', 'M', 'D', 'X', 'B', 'L', 'K', '\x1A'};
inline constexpr quint32 kVersion = 1;
inline constexpr qsizetype kPreambleSize = 20;
inline constexpr qsizetype kMaxPayload = 4 * 1024 * 1024;
inline constexpr quint8 kOutlineKind = 255;
inline constexpr int kOutlineNameTag = int(layout::kOutlineName);

}  // namespace extension

// CRC-32 (the polynomial of zlib and PNG) of some bytes.
quint32 crc32Of(QByteArrayView bytes);

// The block for an outline, or empty when the record holds all of it. Texts are kept up to their
// field's capacity in characters (UTF-16 units, as the record counts them).
QByteArray extensionBlockFor(const QString& outlineName, const Outline& outline);

// Where the block of a file starts: after the record and the cumulative chunks of these tail
// lengths; -1 when a length is negative.
qint64 extensionBlockOffset(const std::vector<qint32>& tailLengths);

// Takes the texts and properties of a block (`bytes` from the block's start, possibly followed by
// more) into an outline just read from the record. Bytes not starting with the magic are no block.
// A damaged entry is dropped alone, a damaged block as a whole; the result names, in Russian, what
// was dropped (empty when nothing was). A text is taken only where the record holds its
// Windows-1251 form, so that a block left behind by a tool that changed the record is not applied.
QString applyExtensionBlock(QByteArrayView bytes, QString& outlineName, Outline& outline);

// The note shown after loading a file whose block was partly or wholly dropped.
QString extensionNote(const QString& fileName, const QString& dropped);

// A header-only snapshot (the record, then its block): the record read and checked as
// readOutlineHeader does, with the block's texts and properties taken into the header.
// `dropped` receives what of the block could not be used.
HeaderReadResult readOutlineHeaderWithBlock(QByteArrayView bytes, QString* dropped = nullptr);

}  // namespace velmar
