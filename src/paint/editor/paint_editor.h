#pragma once

#include "paint/core/paint_document.h"
#include "paint/core/picture_transforms.h"
#include "paint/tools/paint_tool.h"

#include <QImage>
#include <QString>

#include <map>
#include <memory>
#include <vector>

namespace velmar::paint {

// The three handles on the picture's edges (Panel5 corner, Panel6 right edge, Panel7 bottom edge).
enum class CanvasHandle { Corner, Right, Bottom };
// The eight handles around the frame, clockwise from the top-left corner (Panel45, Panel51,
// Panel56, Panel57, Panel58, Panel59, Panel60, Panel61).
enum class FrameHandle { TopLeft, Top, TopRight, Right, BottomRight, Bottom, BottomLeft, Left };

// The result of a file exchange of the floating piece: the path actually used, or the error.
struct PieceFileResult {
    bool ok = false;
    QString path;
    QString error;
};

// The editor's command surface, without widgets: the window turns mouse, keyboard, timer and
// list events into calls of these functions and renders the PaintDocument.
class PaintEditor : public ToolContext {
public:
    explicit PaintEditor(PaintDocument& document, PaintHost* host = nullptr);
    ~PaintEditor() override;

    // Opening: the picture arrives 1:1 at 32 bits per pixel.
    void openPicture(const QImage& picture);
    // Activation: clears the history, records the picture as state 1, clears pictureModified,
    // zoom 1, pencil.
    void activate();
    // Closing: finishes an open text box and returns the picture to write back. Whether the
    // outline needs an undo step is document().pictureModified().
    QImage close();

    // A tool button (or its icon) was clicked. The text tool is refused at zoom other than 1.
    void chooseTool(ToolId tool) override;
    // A row of the zoom list: zoom, then back to the tool used before the zoom tool (the text
    // tool becomes the pencil).
    void chooseZoom(int row);

    // A zoom row chosen without the zoom tool (wheel, keys, "По размеру окна"): the current tool
    // stays, except the text tool, which works at zoom 1 only and gives way to the pencil. A
    // floating piece is put down first, as a zoom from the list does. The fit row is taken again
    // when it is current, for a window resized since.
    void zoomKeepingTool(int row);
    // Esc while a button is held: the stroke is broken off and the picture is as before the
    // press (see PaintTool::cancel). Returns whether there was a stroke to break off.
    bool cancelStroke();
    // Esc while a resize handle is dragged: the picture or the frame keeps its size and the
    // release changes nothing. Returns whether a handle was being dragged.
    bool cancelResize();
    // Whether a floating piece is wider or higher than the picture.
    bool pieceLargerThanPicture() const;
    // Shrinks the floating piece, keeping its aspect, to fit into the picture.
    void fitPieceToPicture();

    // Mouse on the picture control (pos in its pixels; may lie outside while a button is held).
    void press(const ToolInput& input);
    void move(const ToolInput& input);
    void release(const ToolInput& input);
    // Pointer over the grey work area outside the picture, no button held.
    void hoverOutside(QPoint controlPos);
    // The window's 50 ms timer fired.
    void tick();

    // Keypad + (delta 1) and − (delta −1): the current tool's size setting. Returns whether the
    // current tool has one.
    bool sizeKey(int delta);

    // "Отменить" / "Повторить". While a turned or resized piece floats, they step through its
    // turns first; otherwise through the picture's history.
    void undo();
    void redo();
    bool undoAvailable() const;
    bool redoAvailable() const;

    // The "Рисунок" menu (paint_editor_picture.cpp). Each acts on the floating piece when there
    // is one, else on the whole picture, and is one undo step; the status bar shows the new size.
    // Crop makes the floating piece the whole picture.
    bool canCrop() const { return canCopy(); }
    void cropToSelection();
    void turn(PictureTurn turn);
    void resizeTo(QSize size);
    // The size a resize starts from: the floating piece's or the picture's.
    QSize resizeSubject() const;

    // Palette: a press with the left button sets the front square, the right button the back
    // square. Double-click redefinition is setPaletteColour.
    void palettePress(int index, Qt::MouseButton button);
    void setPaletteColour(int index, ColourValue colour) { m_doc.setPaletteColour(index, colour); }

    // Draws the open text box into the picture, empties and hides it.
    void commitText();

    // A picture arrives as a floating piece at (2, 2) of the work area (paste, paste from file,
    // a thumbnail dropped from the browser): selection tool chosen, tool panels refreshed (which
    // puts down a piece already floating), frame + handles shown, pieceFloating set.
    void placeFloatingPiece(const QImage& piece);
    // "Создать" and "Открыть": a floating piece is put down and an open text box written into the
    // picture shown so far, then `picture` takes its place as one undo step.
    void replacePicture(const QImage& picture);
    // Puts a floating piece into the picture and records an undo state; nothing when none floats.
    void putDownPiece();
    bool pieceFloating() const { return m_doc.pieceFloating(); }

    // The edit commands. copyPiece returns the floating piece (null when none floats); cutPiece
    // also discards it; paste puts a floating piece down and makes `image` the new one (a null
    // image, as from an empty clipboard, only puts down).
    QImage copyPiece() const;
    QImage cutPiece();
    void paste(const QImage& image);
    // Lifts the whole picture as a floating piece.
    void selectAll();
    // The Delete key: with the selection tool and its frame shown, the piece is thrown away and
    // the place it was lifted from stays cleared.
    void deleteKey();
    // Whether Cut, Copy and Copy to file have a piece to act on.
    bool canCopy() const;
    // Saves the piece as BMP (filter 1) or JPEG at quality 100 (filter 2), replacing the name's
    // extension accordingly.
    PieceFileResult savePieceToFile(const QString& path, int filterIndex) const;
    // Reads a picture file as a new floating piece: filter 1 decodes by the file's extension,
    // filters 2 and 3 always as JPEG. A file that cannot be read changes nothing.
    PieceFileResult pastePieceFromFile(const QString& path, int filterIndex);
    // The opaque/transparent row was clicked or a palette colour pressed: with the selection tool
    // current, the piece takes the placement, its transparent colour being the back colour.
    void applyTransparency();

    // Dragging a canvas edge handle: `delta` is the pointer's travel since the press, in screen
    // pixels. The release resizes the picture (new area in the back colour) and records a state.
    void canvasResizePress(CanvasHandle handle);
    void canvasResizeMove(QPoint delta);
    void canvasResizeRelease();
    // Dragging one of the eight frame handles: the release resamples the floating piece to the
    // frame (at least 30 × 20) or fits the text box into it.
    void frameResizePress(FrameHandle handle);
    void frameResizeMove(QPoint delta);
    void frameResizeRelease();
    bool resizing() const { return m_resize.active; }

    // A press on the grey work area outside the picture: the selection tool puts its piece down.
    void pressOutside();

    // Seeds the spray's random source (tests).
    void seedRandom(quint32 seed) { m_random.seed(seed); }

    PaintTool* tool(ToolId id) const;

    // ToolContext
    PaintDocument& document() override { return m_doc; }
    StrokeState& stroke() override { return m_stroke; }
    PaintHost* host() override { return m_host; }
    SprayRandom& random() override { return m_random; }

private:
    PaintTool* currentTool() const { return tool(m_doc.currentTool()); }
    void resetToolPanels();
    void showSetting();
    void readPointer(const ToolInput& input);
    // Undo (redo) of the picture's history, the overlay and the fitted zoom following.
    void showUndoState(bool forward);
    // The turns of a floating piece, undone and redone while that piece floats.
    struct PieceState {
        QImage piece;
        QPoint pos;
    };
    void changePiece(const QImage& piece);
    void showPieceState(const PieceState& state);
    bool pieceHistoryLive() const;
    // Puts a crop or resize (`picture`) or, with none, a turn of the picture in its place as one
    // undo step.
    void replaceWholePicture(const QImage* picture, PictureTurn turn = PictureTurn::Half);

    PaintDocument& m_doc;
    PaintHost* m_host;
    StrokeState m_stroke;
    SprayRandom m_random;
    std::map<ToolId, std::unique_ptr<PaintTool>> m_tools;
    PaintTool* m_pressedTool = nullptr;
    std::vector<PieceState> m_pieceUndo;
    std::vector<PieceState> m_pieceRedo;
    qint64 m_pieceKey = 0;  // the piece the turns above belong to

    // The handle being dragged and the geometry at its press.
    struct ResizeDrag {
        bool active = false;
        bool canvas = false;
        int handle = 0;
        QRect start;         // the frame (or picture control) at the press
        PaintOverlay saved;  // the overlay a canvas resize puts back
    };
    ResizeDrag m_resize;
};

}  // namespace velmar::paint
