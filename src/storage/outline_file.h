#pragma once

#include "model/colour.h"
#include "model/document.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>
#include <vector>

namespace velmar {

// The binary layout of outline files (.vmd) and history snapshots: the fixed-size header record
// `OutlineHeader`, then (in complete files) the pictures as cumulative JPEG chunks. Every integer
// is a little-endian int32, every text Windows-1251 in length-prefixed fields.
namespace layout {

inline constexpr qsizetype kHeaderSize = 597496;
inline constexpr int kMaxObjects = 100;  // slots per kind in the record

inline constexpr qsizetype kVersion = 0;       // ShortString[10]
inline constexpr qsizetype kOutlineName = 11;  // ShortString[250]
inline constexpr qsizetype kCanvasColour = 264;
inline constexpr qsizetype kWindowWidth = 268;
inline constexpr qsizetype kWindowHeight = 272;
inline constexpr qsizetype kFrameCount = 276;
inline constexpr qsizetype kFrames = 280;
inline constexpr qsizetype kTextFieldCount = 130680;
inline constexpr qsizetype kTextFields = 130684;
inline constexpr qsizetype kVideoCount = 359484;
inline constexpr qsizetype kVideos = 359488;
inline constexpr qsizetype kPictureCount = 489488;
inline constexpr qsizetype kPictures = 489492;
inline constexpr qsizetype kArrowCount = 595092;
inline constexpr qsizetype kArrows = 595096;

inline constexpr qsizetype kFrameRecordSize = 1304;
inline constexpr qsizetype kTextFieldRecordSize = 2288;
inline constexpr qsizetype kVideoRecordSize = 1300;
inline constexpr qsizetype kPictureRecordSize = 1056;
inline constexpr qsizetype kArrowRecordSize = 24;

inline constexpr int kVersionCapacity = 10;
inline constexpr int kNameCapacity = 250;  // outline name, frame title, video file name
inline constexpr int kFontNameCapacity = 200;
inline constexpr int kSplitPieceCapacity = 255;
inline constexpr qsizetype kSplitTextSize = 4 * (kSplitPieceCapacity + 1);
inline constexpr int kSplitTextCapacity = 4 * kSplitPieceCapacity;  // 1,020 characters

}  // namespace layout

inline const QString kFormatVersion = QStringLiteral("4.1");

// A long text stored as four consecutive ShortString[255]: the text is cut into pieces of 255
// characters; what does not fit into the four pieces (beyond 1,020 characters) is lost.
class SplitText {
public:
    SplitText() = default;
    // Splits a text by its Windows-1251 characters (one byte each).
    explicit SplitText(const QString& text);

    const QByteArray& piece(int i) const { return m_pieces.at(std::size_t(i)); }
    // The four pieces joined, in order, with nothing between them.
    QString text() const;

    // Writes the 1,024 bytes of the four ShortStrings at `at`.
    void write(char* at) const;
    // The same for a text, without building the pieces first.
    static void write(char* at, const QString& text);
    // Reads four ShortStrings; a length byte above 255 cannot occur, so this always succeeds.
    static SplitText read(const char* at);
    // The text stored at `at`, decoded without keeping the pieces.
    static QString readText(const char* at);

private:
    std::array<QByteArray, 4> m_pieces;
};

// ShortString[capacity] helpers: a length byte, then the characters. Writing cuts the text to the
// capacity. Reading fails (returns false) when the length byte exceeds the capacity.
void writeShortString(char* at, const QString& text, int capacity);
bool readShortString(const char* at, int capacity, QString* text);

// The header record of an outline file, decoded: the document values and the objects, each at
// its stored bounds and in its stored place in the sequences.
struct OutlineHeader {
    QString version = kFormatVersion;
    QString outlineName;
    ColourValue canvasColour = kButtonFace;
    int windowWidth = 0, windowHeight = 0;
    Outline outline;
    std::vector<qint32> tailLengths;  // S(k) of picture k at index k − 1; 0 in header-only snapshots
};

// Writes the record of a document into kHeaderSize bytes that the caller has zeroed: slots above
// the counts, padding and the bytes after a ShortString's characters stay zero; more than 100
// objects of a kind are not written. tailLengths gives S(k) of each picture (0 where missing).
// Positions and sizes are kept within what a reader accepts, so every record written reads back.
void writeOutlineHeader(char* record, const Document& doc, const std::vector<qint32>& tailLengths);
QByteArray outlineHeaderBytes(const Document& doc);

// Why a record could not be read.
enum class HeaderStatus { Ok, Empty, Short, UnsupportedVersion, Damaged };

struct HeaderReadResult {
    HeaderStatus status = HeaderStatus::Ok;
    QString fileVersion;  // the version text found (at most 10 characters)
    QString problem;      // Damaged: which field is out of range, in Russian
    OutlineHeader header;
    bool ok() const { return status == HeaderStatus::Ok; }
};

// Reads and checks the record at the start of `bytes`: the version, the counts (0..100), every
// ShortString's length, every enumerated byte, the parent frame numbers (0..frame count) and the
// sequence positions (0..100). Slots above the counts are not looked at. Never reads past `bytes`.
// Pictures come without pixels: those are in the tail, which the record does not cover.
HeaderReadResult readOutlineHeader(QByteArrayView bytes);

// The message for a file of another version, exactly as the program words it (LF then CR
// between the lines).
QString unsupportedVersionMessage(const QString& fileVersion);

// The Russian message for a record that could not be read, naming the file.
QString headerProblemMessage(const HeaderReadResult& result, const QString& fileName);

// Why a film's file name cannot be kept by an outline file (longer than its field: once saved and
// reopened it would point nowhere), as a Russian message; empty when it can.
QString videoNameProblem(const QString& path);

}  // namespace velmar
