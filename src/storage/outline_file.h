#pragma once

#include "model/colour.h"

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

private:
    std::array<QByteArray, 4> m_pieces;
};

// ShortString[capacity] helpers: a length byte, then the characters. Writing cuts the text to the
// capacity. Reading fails (returns false) when the length byte exceeds the capacity.
void writeShortString(char* at, const QString& text, int capacity);
bool readShortString(const char* at, int capacity, QString* text);

struct FrameRecord {
    int left = 0, top = 0, width = 0, height = 0;
    ColourValue colour = kButtonFace;
    quint8 innerBevel = 0, outerBevel = 0, borderLine = 0;
    QString title;
    bool titleVisible = true;
    QString minimalText;
    int sequencePosition = 0;  // 1-based, 0 = not in the frame sequence
};

struct TextFieldRecord {
    int parentFrame = 0;  // 0 = on the canvas, k = inside frame slot k
    int left = 0, top = 0, width = 0, height = 0;
    QString text;  // lines separated by CR LF
    QString minimalText;
    ColourValue background = kButtonFace;
    quint8 alignment = 0;
    QString fontName;
    quint8 fontSize = 10;
    ColourValue fontColour = kWindowText;
    quint8 fontPitch = 0, fontStyle = 0;
    int sequencePosition = 0;
};

struct VideoRecord {
    int parentFrame = 0;
    int left = 0, top = 0, width = 0, height = 0;
    QString fileName;
    QString minimalText;
    int sequencePosition = 0;
};

struct PictureRecord {
    int parentFrame = 0;
    int left = 0, top = 0, width = 0, height = 0;
    QString minimalText;
    int sequencePosition = 0;
    qint32 cumulativeLength = 0;  // S(k): JPEG bytes of pictures 1..k; 0 in header-only snapshots
};

struct ArrowRecord {
    int x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    int penWidth = 1;
    ColourValue colour = kBlack;
};

// The header record of an outline file, decoded. The counts are the sizes of the vectors.
struct OutlineHeader {
    QString version = kFormatVersion;
    QString outlineName;
    ColourValue canvasColour = kButtonFace;
    int windowWidth = 0, windowHeight = 0;
    std::vector<FrameRecord> frames;
    std::vector<TextFieldRecord> textFields;
    std::vector<VideoRecord> videos;
    std::vector<PictureRecord> pictures;
    std::vector<ArrowRecord> arrows;

    // The 597,496 record bytes. Slots above the counts, padding and the bytes after a
    // ShortString's characters are zero. More than 100 objects of a kind are not written.
    QByteArray toBytes() const;
    // Writes the fields into a record of kHeaderSize bytes that the caller has zeroed.
    void writeTo(char* record) const;
};

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
HeaderReadResult readOutlineHeader(QByteArrayView bytes);

// The message for a file of another version, exactly as the program words it (LF then CR
// between the lines).
QString unsupportedVersionMessage(const QString& fileVersion);

// The Russian message for a record that could not be read, naming the file.
QString headerProblemMessage(const HeaderReadResult& result, const QString& fileName);

}  // namespace velmar
