#pragma once

#include "model/colour.h"
#include "model/sequence.h"

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <algorithm>
#include <type_traits>
#include <vector>

namespace velmar {

// Kind codes of the objects of an outline. The first five codes are those the outline files use
// for the slot flags; arrows have no code of their own there.
enum class ObjectKind { Frame = 0, Picture = 1, Caption = 2, Video = 3, TextField = 4, Arrow = 5 };

inline constexpr int kKindCount = 6;
inline constexpr int kTableCapacity = 100;  // slots per kind; the file format holds no more

inline const QString kUndefinedText = QStringLiteral("<Неопределен>");
inline const QString kDefaultFontName = QStringLiteral("MS Sans Serif");

// Bevels of a frame panel and border styles, as the outline files number them.
enum Bevel : quint8 { BevelNone = 0, BevelLowered = 1, BevelRaised = 2, BevelSpace = 3 };
enum Alignment : quint8 { AlignLeft = 0, AlignRight = 1, AlignCentre = 2 };
enum FontStyleBit : quint8 { FontBold = 1, FontItalic = 2, FontUnderline = 4, FontStrikeOut = 8 };

struct FontSpec {
    QString name = kDefaultFontName;
    int size = 8;  // points
    ColourValue colour = kWindowText;
    quint8 pitch = 0;  // 0 default, 1 variable, 2 fixed
    quint8 style = 0;  // FontStyleBit set
    bool operator==(const FontSpec&) const = default;
};

struct FrameObject {
    ObjectId id = 0;
    QRect bounds;  // canvas coordinates
    ColourValue colour = kButtonFace;
    quint8 innerBevel = BevelNone;
    quint8 outerBevel = BevelRaised;
    quint8 borderLine = 0;  // 0 none, 1 single
    QString title;          // the title label's text: the frame's name
    bool titleVisible = true;
    ColourValue titleColour = kWindowText;
    QString minimalText;
    QString hint;     // tooltip: the name at first, later the minimal text
    QRect reference;  // bounds at 100 % zoom
};

// Decodes a picture's stored stream at 1/denominator of its size (denominator 1, 2, 4 or 8, the
// reduced sizes rounded up); a null image when the stream cannot be decoded.
using PictureDecoder = QImage (*)(const QByteArray& stream, int denominator);

struct PictureObject {
    ObjectId id = 0;
    quint8 parentFrame = 0;  // 0 = on the canvas, k = inside frame slot k
    QRect bounds;            // relative to the parent

    // A picture is held in one of two ways. A picture read from a file is held as its stored
    // stream alone and decoded at the size it is drawn: a photo shown small costs a small
    // bitmap, not its full size. A new or edited picture is held as its bitmap, which saving
    // encodes (and keeps the stream of, see jpegStream()).

    // The whole picture at its own size, for what needs every pixel (the graphic editor, the
    // full-screen view, drawings at another scale, print): the bitmap held, or the stored stream
    // decoded anew on every call, so callers keep the result as long as they need it. A stream
    // that fails to decode gives a blank picture of its size.
    QImage bitmap() const;
    // The picture's size in pixels, known without decoding it.
    QSize pixelSize() const;
    // The picture for drawing at `size`: the bitmap held, or the stored stream decoded at the
    // smallest reduced size that still covers `size` in both directions (at most twice as large
    // in one of them), the caller scales it the rest of the way. The reduced decode is kept for
    // the next drawing at a size it serves; a larger size decodes again with more pixels, a
    // smaller one with fewer. Not for use on one picture from several threads at once.
    QImage imageFor(QSize size) const;
    // Whether imageFor(size) would decode the stored stream (its kept decode does not serve that
    // size). Pictures that do may call imageFor on separate threads, one picture to a thread.
    bool decodesFor(QSize size) const;
    // Whether the picture is held as a bitmap (new or edited) rather than as its stored stream.
    bool holdsBitmap() const { return !m_bitmap.isNull(); }
    // Whether the two show the very same stored picture (the same bitmap or the same stream data,
    // not equal copies): what a view compares to know whether the picture was replaced.
    bool samePicture(const PictureObject& other) const;

    // Replaces the picture with a bitmap; the stored stream no longer matches and is dropped.
    void setBitmap(const QImage& image);
    // Holds the picture as a stored stream of a picture of `size` pixels, decoded by `decoder`
    // when drawn; `drawn` is a reduced decode already made (or null). Any bitmap is dropped.
    void setStoredStream(const QByteArray& stream, QSize size, PictureDecoder decoder, const QImage& drawn = {});
    // The JPEG stream of the picture: as loaded from a file, or of the held bitmap once encoded,
    // so that an unchanged picture is written again byte for byte without encoding it anew.
    const QByteArray& jpegStream() const { return m_jpeg; }
    // Keeps the stream the held bitmap was encoded to.
    void setJpegStream(const QByteArray& stream) const { m_jpeg = stream; }
    // Lets go of the reduced decode kept for drawing (it is made again when next drawn).
    void releaseDrawnImage() const { m_drawn = QImage(); }

    quint8 border = 0;  // 0 none, 1 single
    bool stretched = true;
    QString minimalText = kUndefinedText;
    QString hint = kUndefinedText;
    QRect reference;

private:
    QImage m_bitmap;
    mutable QByteArray m_jpeg;
    QSize m_streamSize;                  // the stored stream's picture size, when no bitmap is held
    PictureDecoder m_decoder = nullptr;  // decodes the stored stream, when no bitmap is held
    mutable QImage m_drawn;              // the stored stream's last reduced decode
};

struct CaptionObject {
    ObjectId id = 0;
    quint8 parentFrame = 0;
    QRect bounds;
    QString text;
    ColourValue colour = kButtonFace;
    FontSpec font;
    QRect reference;
};

struct TextFieldObject {
    ObjectId id = 0;
    quint8 parentFrame = 0;
    QRect bounds;
    QString text;  // lines separated by CR LF, as stored in files
    ColourValue background = kButtonFace;
    quint8 alignment = AlignLeft;
    FontSpec font{kDefaultFontName, 10, kWindowText, 0, 0};
    QString minimalText = kUndefinedText;
    QString hint = kUndefinedText;
    bool readOnly = false;
    QRect reference;
    double referenceFontSize = 10.0;
};

struct VideoObject {
    ObjectId id = 0;
    quint8 parentFrame = 0;
    QRect bounds;
    QString fileName;  // the player's media file; empty = nothing opened
    QString minimalText = kUndefinedText;
    QString hint = kUndefinedText;
    bool playerVisible = true;  // the Play/Pause/Stop bar
    QRect reference;
};

// Where an arrow's end is held: the object it was dropped on (by kind and slot; slot 0 = the end
// is free) and the place on that object, as shares of its width and height from its left and top
// edges in 1/65536. An attached end follows its object wherever it moves, grows or is zoomed.
struct ArrowEndAttachment {
    ObjectKind kind = ObjectKind::Frame;
    int slot = 0;
    quint16 shareX = 0, shareY = 0;
    bool attached() const { return slot > 0; }
    bool operator==(const ArrowEndAttachment&) const = default;
};

struct ArrowObject {
    ObjectId id = 0;
    int x1 = 0, x2 = 0, y1 = 0, y2 = 0;  // canvas coordinates of the start and end points
    int penWidth = 1;
    ColourValue colour = kBlack;
    QPoint referenceStart, referenceEnd;
    ArrowEndAttachment startAttachment, endAttachment;
};

// A white picture for a picture object of the given size that has no picture of its own yet.
QImage blankPicture(QSize size);

// The object tables of one outline. Every kind has its own table of at most 100 slots, numbered
// from 1 and compact: the objects of a kind occupy slots 1..count in creation order, deletion
// closes the gap. Objects are identified by their kind and slot; their ObjectId stays the same
// while slots shift and is what the two sequences refer to.
class Outline {
public:
    Outline();

    int count(ObjectKind kind) const;
    bool isFull(ObjectKind kind) const { return count(kind) >= kTableCapacity; }

    // 1-based slot access; slot must lie in 1..count.
    FrameObject& frame(int slot) { return m_frames.at(index(slot, m_frames.size())); }
    const FrameObject& frame(int slot) const { return m_frames.at(index(slot, m_frames.size())); }
    PictureObject& picture(int slot) { return m_pictures.at(index(slot, m_pictures.size())); }
    const PictureObject& picture(int slot) const { return m_pictures.at(index(slot, m_pictures.size())); }
    CaptionObject& caption(int slot) { return m_captions.at(index(slot, m_captions.size())); }
    const CaptionObject& caption(int slot) const { return m_captions.at(index(slot, m_captions.size())); }
    TextFieldObject& textField(int slot) { return m_textFields.at(index(slot, m_textFields.size())); }
    const TextFieldObject& textField(int slot) const { return m_textFields.at(index(slot, m_textFields.size())); }
    VideoObject& video(int slot) { return m_videos.at(index(slot, m_videos.size())); }
    const VideoObject& video(int slot) const { return m_videos.at(index(slot, m_videos.size())); }
    ArrowObject& arrow(int slot) { return m_arrows.at(index(slot, m_arrows.size())); }
    const ArrowObject& arrow(int slot) const { return m_arrows.at(index(slot, m_arrows.size())); }

    // The table of one kind (FrameObject, PictureObject, CaptionObject, TextFieldObject,
    // VideoObject or ArrowObject), slot k at index k − 1.
    template <typename Object>
    const std::vector<Object>& objects() const
    {
        return const_cast<Outline*>(this)->table<Object>();
    }
    template <typename Object>
    Object& object(int slot)
    {
        auto& t = table<Object>();
        return t.at(index(slot, t.size()));
    }

    // Appends an object exactly as stored: it gets a new identity and keeps its bounds (no fitting
    // into the parent, which is for objects the user creates) and joins no sequence. Returns its
    // slot, or 0 when the kind's table is full. Loading and undo place objects this way.
    template <typename Object>
    int appendStored(Object object)
    {
        auto& t = table<Object>();
        if (int(t.size()) >= kTableCapacity)
            return 0;
        object.id = nextId();
        t.push_back(std::move(object));
        return int(t.size());
    }

    // Makes room for `count` objects of a kind, so that appending them one by one allocates once.
    template <typename Object>
    void reserveStored(int count)
    {
        table<Object>().reserve(std::size_t(std::clamp(count, 0, kTableCapacity)));
    }

    // Linear search of a kind's table over slots 1..count for the object; the last match counts.
    // Returns 0 when the object is not in the table.
    int findSlot(ObjectKind kind, ObjectId id) const;
    // Kind and slot of any object, searching every table.
    ObjectRef find(ObjectId id) const;
    ObjectKind kindOf(ObjectId id) const { return find(id).kind; }

    // The size of the canvas client area: the parent size that objects lying on the canvas are
    // fitted into.
    QSize clientSize() const { return m_clientSize; }
    void setClientSize(QSize size) { m_clientSize = size; }
    // Client size at the last recording of the reference layout (height without the 32 pixels
    // of the tool bar), from which the outline zoom scales.
    QSize referenceClientSize() const { return m_referenceClientSize; }
    void setReferenceClientSize(QSize size) { m_referenceClientSize = size; }
    // Above 0 while the outline keeps its own layout (the reference layout and reference client
    // size, as its file has them) and the canvas shows it at this one scale for both axes, snapped
    // to the grid step given (zoom.h); 0 while the outline's layout is the canvas's own.
    double ownLayoutScale() const { return m_ownLayoutScale; }
    int ownLayoutGridStep() const { return m_ownLayoutGridStep; }
    void setOwnLayoutScale(double scale, int gridStep = 1)
    {
        m_ownLayoutScale = scale > 0 ? scale : 0;
        m_ownLayoutGridStep = gridStep;
    }

    // Width and height of the parent (0 = canvas, k = frame k) that a new object is fitted into.
    QSize parentSize(int parentFrame) const;

    // Creation routines. Each appends the object at slot count + 1 and returns that slot, or 0
    // (and changes nothing) when the kind's table is full. Pictures, text fields and video
    // fragments are fitted into their parent; frames, text fields, pictures and video fragments
    // join their sequence.
    int createFrame(const QRect& bounds, const QString& name);
    int createTextField(const QRect& bounds, ColourValue background, const QString& text, int parentFrame);
    int createCaption(const QRect& bounds, const QString& text, int parentFrame);
    int createPicture(const QRect& bounds, int parentFrame);
    int createVideo(const QRect& bounds, int parentFrame);
    int createArrow(int x1, int y1, int x2, int y2, int penWidth, ColourValue colour);

    // Removes one picture, caption, text field, video fragment or arrow: the later slots move down
    // and the object leaves the object sequence if it stands there.
    void removeObject(ObjectKind kind, int slot);
    // Removes a frame with everything inside it; objects in later frames are renumbered.
    void removeFrame(int slot);

    // Destroys every object: captions, text fields, pictures, video fragments, frames, arrows, in
    // this order. Sequences, minimal texts of nothing and the document values are left alone.
    void clearAll();

    Sequence& frameSequence() { return m_frameSequence; }
    const Sequence& frameSequence() const { return m_frameSequence; }
    Sequence& objectSequence() { return m_objectSequence; }
    const Sequence& objectSequence() const { return m_objectSequence; }
    // While on, creations write their object into the sequence; the length grows regardless.
    bool sequenceRecording() const { return m_sequenceRecording; }
    void setSequenceRecording(bool on) { m_sequenceRecording = on; }

    // Parent frame number of an object that is to be placed in parentFrame: that frame's slot when
    // it exists, otherwise 0 (the canvas).
    quint8 parentFrameNumber(int parentFrame) const;

    // A Russian message explaining that a kind's table is full.
    static QString capacityMessage(ObjectKind kind);

private:
    template <typename Object>
    std::vector<Object>& table()
    {
        if constexpr (std::is_same_v<Object, FrameObject>)
            return m_frames;
        else if constexpr (std::is_same_v<Object, PictureObject>)
            return m_pictures;
        else if constexpr (std::is_same_v<Object, CaptionObject>)
            return m_captions;
        else if constexpr (std::is_same_v<Object, TextFieldObject>)
            return m_textFields;
        else if constexpr (std::is_same_v<Object, VideoObject>)
            return m_videos;
        else
            return m_arrows;
    }
    static std::size_t index(int slot, std::size_t size);
    ObjectId nextId() { return ++m_lastId; }
    // Runs a removal and keeps every arrow end attached to the object it was attached to, now at
    // its new slot; ends whose object went with the removal become free.
    template <typename Remove>
    void keepingAttachments(Remove&& remove);
    void removeFrameWithContents(int slot);
    QRect fitIntoParent(const QRect& bounds, int parentFrame) const;

    std::vector<FrameObject> m_frames;
    std::vector<PictureObject> m_pictures;
    std::vector<CaptionObject> m_captions;
    std::vector<TextFieldObject> m_textFields;
    std::vector<VideoObject> m_videos;
    std::vector<ArrowObject> m_arrows;
    Sequence m_frameSequence;
    Sequence m_objectSequence;
    bool m_sequenceRecording = true;
    QSize m_clientSize{728, 487};
    QSize m_referenceClientSize;
    double m_ownLayoutScale = 0;
    int m_ownLayoutGridStep = 1;
    ObjectId m_lastId = 0;
};

// Positions and sizes an outline file can hold; everything the program makes stays within them.
inline constexpr int kMinCoordinate = -32768;
inline constexpr int kMaxCoordinate = 32767;
inline int storableCoordinate(int v) { return std::clamp(v, kMinCoordinate, kMaxCoordinate); }

// The fitting rule for pictures, text fields and video fragments: an object that would reach past
// its parent's right or bottom edge is cut at that edge, and then made at least 30 pixels wide and
// high by moving it left or up, but never beyond the coordinates a file can hold.
QRect fitIntoParent(const QRect& bounds, QSize parent);

}  // namespace velmar
