#pragma once

#include "model/document.h"
#include "storage/load_result.h"
#include "storage/outline_file.h"

#include <QByteArray>
#include <QSize>
#include <QString>

#include <functional>
#include <vector>

namespace velmar {

// A complete outline file held as its parts: the record and the JPEG stream of every picture.
// The file on disk is the record followed by the cumulative chunks 1..k of the streams.
struct OutlineImage {
    QByteArray header;                // the 597,496 record bytes
    std::vector<QByteArray> streams;  // picture k's JPEG stream at index k − 1; empty when headerOnly
    QByteArray extension;             // the block after the chunks, or empty (see extension_block.h)
    bool ok = true;
    QString problem;  // why no image could be built (Russian)

    qint64 fileSize() const;
    // The record, the cumulative chunks and the extension block, in file order (views into this image).
    std::vector<QByteArrayView> pieces() const;
    QByteArray toBytes() const;
};

// Builds the file image of a document. With pictures, every picture's JPEG stream is the cached
// PictureObject::jpegStream() when there is one, otherwise its bitmap is encoded at quality 100
// and the stream cached, so that an unchanged picture is encoded once. Without pictures (the
// header-only snapshot) no picture is touched and every cumulative length is 0.
OutlineImage buildOutlineImage(const Document& doc, bool withPictures);

// The full file image (withPictures) or the header record alone.
QByteArray serializeOutline(const Document& doc, bool withPictures);

struct WriteResult {
    bool ok = false;
    QString message;  // when !ok: a Russian message naming the file
};

// Writes a file image atomically: a temporary file beside it, renamed over the target only when
// every byte has been written. A failure leaves the previous file untouched. A durable write
// reaches the disk before it counts as done (the user's saves); history steps skip that for speed.
WriteResult writeFileAtomically(const QString& path, const OutlineImage& image, bool durable);

// Writes straight into the file, for the header-only snapshots: each is a new file of the history
// (an interrupted one is refused as too short when read), and a step must stay cheap.
WriteResult writeFileDirectly(const QString& path, const OutlineImage& image);

// Writes a history snapshot into the program's working folder, never through a link planted
// there: atomically (a complete snapshot, which may be offered after a crash) or created anew.
WriteResult writeSnapshotFile(const QString& path, const OutlineImage& image, bool atomically);

// Saves the document as an outline file (.vmd), atomically and durably.
WriteResult writeOutlineFile(const QString& path, const Document& doc);

// Old-format outlines (.vmc) are told by the last character of their name, "c" in either case.
bool isOldFormatName(const QString& path);
// The name an outline is saved under: an old-format name with its final "c" turned into "d", so
// that an outline read from the old format is saved in the current one beside it.
QString currentFormatName(const QString& path);
// Reads an outline file of either format, chosen by isOldFormatName. The outline's canvas is the
// one a usual window of the stored size has; a window that measures its own frame and menu bar
// applies them afterwards (applyWindowChrome). A pictureScale below 1 is for outlines that are
// only drawn small (thumbnails): the pictures of a current-format file are then decoded at a
// reduced size that still covers their controls at that scale, and keep no stream. A pictureScale
// of 0 is for exports that embed the streams as they are: the pictures of a current-format file
// keep their streams and nothing is decoded (pixels, when needed, come from decoding the stream).
// kStreamsOnly is for exports that copy the streams and never draw the pictures: as 0, but what
// decoding each stream would cost is not worked out and nothing is taken from the picture budget.
inline constexpr double kStreamsOnly = -1.0;
// `recordAccepted`, when given, runs once a current-format file's record has been read and
// accepted, before its pictures' streams are read: from there on the file opens (a picture that
// cannot be read becomes a blank one), so that the caller may let go of what it replaces first.
LoadResult readAnyOutlineFile(const QString& path, double pictureScale = 1.0,
                              const std::function<void()>& recordAccepted = {});

// Reads an outline file into a fresh outline. Frames get the shortened tooltip of their minimal
// text (shortenedTooltip), other objects their whole minimal text. A refused file (version, damage in the record)
// gives ok = false and the reason; pictures whose streams cannot be decoded keep a blank
// placeholder and are listed in the message of an otherwise successful result.
LoadResult readOutline(const QByteArray& fileBytes, const QString& fileNameForMessages, QSize windowChrome);
LoadResult readOutlineFile(const QString& path, QSize windowChrome, double pictureScale = 1.0,
                           const std::function<void()>& recordAccepted = {});

// Patches the objects of an outline from a header record taken of the same objects: bounds,
// texts, colours, bevels, parents, fonts, minimal texts, tooltips, sequence positions and the
// six values of each arrow. Pictures keep their images. Returns false, changing nothing, when the
// record's counts differ from the outline's tables (*problem says how).
bool applyHeaderToOutline(const OutlineHeader& header, Outline& outline, QString* problem);

}  // namespace velmar
