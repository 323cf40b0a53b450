#pragma once

#include "model/colour.h"
#include "paint/core/editor_undo.h"
#include "paint/core/paint_types.h"
#include "paint/core/palette.h"
#include "paint/core/picture_files.h"
#include "paint/core/write_guard.h"
#include "paint/core/zoom_mapping.h"

#include <QFont>
#include <QImage>
#include <QObject>
#include <QRect>
#include <QString>

#include <array>
#include <functional>
#include <vector>

namespace velmar::paint {

// Size settings of the tools, kept for the whole run of the program.
struct ToolSizes {
    int eraserSize = 10;  // side of the eraser square, picture pixels (≥ 1)
    int pencilSize = 1;   // pen width of the pencil (1..20)
    int spraySize = 10;   // exclusive bound of the spray radius, picture pixels (≥ 1)
    int lineWidth = 1;    // pen width of the line (≥ 1)
    int shapeWidth = 1;   // pen width of rectangle, ellipse, rounded rectangle (≥ 1)

    static constexpr int kPencilMax = 20;
    // Brings all five settings back within their bounds.
    void applyBounds();
};

// The texts the window's status bar shows (panels 1, 2, 3, 5, 6 and 8).
struct PaintStatus {
    QString pictureSize;   // panel 1: "321 x 225"
    QString settingName;   // panel 2: "Размер", "Диаметр", "Толщина", "Шрифт" or empty
    QString settingValue;  // panel 3
    QString pointer;       // panel 5: "x x y" in picture pixels
    QString bandSize;      // panel 6: rubber-band size
    QString colour;        // panel 8: "R-r G-g B-b"
};

// What the work area draws over the picture, in the zoomed picture control's pixels.
struct PaintOverlay {
    bool eraserVisible = false;
    QRect eraserSquare;  // the eraser square that follows the pointer
    bool frameVisible = false;
    QRect frame;  // the dotted frame of the text tool (and later the selection)
    bool textBoxVisible = false;
    QRect textBox;                     // where the text box widget sits (inside the frame)
    bool handlesVisible = false;       // the eight handles around `frame`
    bool canvasHandlesVisible = true;  // the three handles on the picture's right and bottom edges
};

// The graphic editor's model: the picture, colours, zoom, tool and settings, the undo history
// and the read-outs. Widgets render it and feed mouse input to the PaintEditor; every change of
// the picture is announced with the rectangle of picture pixels it touched, so the work area
// repaints only that.
class PaintDocument : public QObject {
    Q_OBJECT
public:
    explicit PaintDocument(QObject* parent = nullptr);

    // The picture (always Format_RGB32). Tools ask for it with the area they are about to write
    // (the undo history keeps the old pixels of the tiles there first), draw, and then report the
    // changed rectangle with notifyChanged(). Without an area the whole picture is kept: for
    // writers that change everything, never for a stroke.
    const QImage& picture() const { return m_picture; }
    QImage& mutablePicture(const QRect& area);
    QImage& mutablePicture() { return mutablePicture(m_picture.rect()); }
    // For routines that tell what they write as they go (the fills): the guard keeps the old
    // pixels of each area before it is written.
    WriteGuard& writeGuard() { return m_guard; }
    // Writes a new version of the whole picture in one pass: `write` fills every pixel of `to`
    // from `from` (the picture) and returns the blocks where the two differ. The picture replaced
    // is the history's step as it is where most of it changed, else only its changed tiles are
    // kept and its buffer serves the next rewrite. Returns the rectangle of changed pixels.
    QRect rewritePicture(const std::function<std::vector<QRect>(const QImage& from, QImage& to)>& write);
    // Replaces the whole picture (opening, undo, new picture); converts to 32 bits per pixel.
    // With keepBuffer, the pixels of the picture replaced are kept (where nobody else holds them)
    // for the next ownPicture(), once the history no longer needs them.
    void setPicture(const QImage& image, bool keepBuffer = false);
    // Forgets the history and records the picture as its first state.
    void restartHistory();
    // Gives the picture pixels of its own (it may share them with the caller of setPicture), in
    // the kept buffer where that has the same size. Nothing stays kept afterwards.
    void ownPicture();
    // Replaces the picture by a cropped or resized one: the next pushUndo keeps the picture
    // replaced whole as the step, without comparing the two.
    void setTransformedPicture(const QImage& image);
    // Turns or mirrors the picture and records the result as one undo step (the step keeps no
    // pixels: undo turns back). Where the picture was drawn on since the last recorded state,
    // the step keeps that picture whole instead.
    void turnPicture(PictureTurn turn);
    void notifyChanged(const QRect& pixels);

    // Colour squares, as picture pixels (0xFFRRGGBB): front = Panel11, back = Panel10.
    QRgb frontColour() const { return m_front; }
    QRgb backColour() const { return m_back; }
    void setFrontColour(QRgb c);
    void setBackColour(QRgb c);

    // The palette's current colours (0x00BBGGRR); a double-click may redefine one for the run.
    ColourValue paletteColour(int i) const { return m_palette[std::size_t(i)]; }
    void setPaletteColour(int i, ColourValue c);

    // The zoom: screen pixels per picture pixel as a fraction.
    ZoomScale zoom() const { return m_zoom; }
    // The block side of a zoom at or above 1× (1, 2, 6, 8); 1 below 1×.
    int zoomFactor() const { return m_zoom.blockSide(); }
    int zoomIndex() const { return m_zoomIndex; }
    // Sets both; the layout follows through zoomChanged. The fit row takes the scale that shows
    // the whole picture in viewSize() (1× when it fits already).
    void setZoomIndex(int index);
    // The room the work area has for the picture control without scroll bars.
    QSize viewSize() const { return m_viewSize; }
    void setViewSize(QSize size) { m_viewSize = size; }
    // The picture control's size: the picture size times the zoom.
    QSize controlSize() const { return m_zoom.toControl(m_picture.size()); }

    ToolId currentTool() const { return m_currentTool; }
    ToolId previousTool() const { return m_previousTool; }
    ToolId toolBeforeZoom() const { return m_toolBeforeZoom; }
    void setCurrentTool(ToolId tool);
    void setPreviousTool(ToolId tool) { m_previousTool = tool; }
    void setToolBeforeZoom(ToolId tool) { m_toolBeforeZoom = tool; }

    bool buttonDown() const { return m_buttonDown; }
    void setButtonDown(bool down) { m_buttonDown = down; }
    bool pictureModified() const { return m_pictureModified; }
    void setPictureModified(bool m) { m_pictureModified = m; }

    const ToolSizes& sizes() const { return m_sizes; }
    ToolSizes& mutableSizes() { return m_sizes; }

    // Option lists and the fill settings.
    int transparentMode() const { return m_transparentMode; }
    void setTransparentMode(int mode);
    FillStyle fillStyle() const { return m_fillStyle; }
    void setFillStyle(FillStyle style);
    ArrowHeads arrowHeads() const { return m_arrowHeads; }
    void setArrowHeads(ArrowHeads heads);
    int fillTolerance() const { return m_fillTolerance; }  // 0..500
    void setFillTolerance(int tolerance);
    bool fillAll() const { return m_fillAll; }  // "Все"
    void setFillAll(bool all) { m_fillAll = all; }

    // Font of the text tool (chosen through the "Шрифт" button).
    const QFont& textFont() const { return m_textFont; }
    void setTextFont(const QFont& font) { m_textFont = font; }
    // The colour the picture's brush holds: text is written over it.
    QRgb canvasBrush() const { return m_canvasBrush; }
    void setCanvasBrush(QRgb c) { m_canvasBrush = c; }

    // Undo history. pushUndo records the picture and sets pictureModified; only the tiles written
    // since the last recording are compared.
    EditorUndo& history() { return m_undo; }
    const EditorUndo& history() const { return m_undo; }
    void pushUndo();
    // Whether the picture differs from the history's current state where it was drawn on since
    // that state was recorded.
    bool differsFromRecorded() const { return m_undo.pendingDiffers(m_picture); }
    // The picture changed (a recorded step, an undo or redo) since it was last saved to a file,
    // opened from one or given to the editor.
    bool changedSinceSaved() const { return m_changedSinceSaved; }
    void setChangedSinceSaved(bool changed) { m_changedSinceSaved = changed; }
    // Undo and redo of the picture's history: the picture changes where it lies, only where the
    // step changed it.
    void undoStep();
    void redoStep();

    const PaintStatus& status() const { return m_status; }
    PaintStatus& mutableStatus() { return m_status; }
    void notifyStatus() { emit statusChanged(); }

    const PaintOverlay& overlay() const { return m_overlay; }
    PaintOverlay& mutableOverlay() { return m_overlay; }
    void notifyOverlay() { emit overlayChanged(); }

    // The floating piece (Image7): picture pixels lying over the picture, not yet part of it, with
    // its top-left corner at `piecePos` in picture-control pixels; shown as piece size × zoom.
    bool pieceFloating() const { return m_pieceFloating; }
    const QImage& piece() const { return m_piece; }
    QPoint piecePos() const { return m_piecePos; }
    QRect pieceRect() const { return {m_piecePos, m_zoom.toControl(m_piece.size())}; }
    // Makes `piece` float at `pos`; a null piece ends the floating (the piece is dropped).
    void setPiece(const QImage& piece, QPoint pos);
    void movePiece(QPoint pos);
    void dropPiece() { setPiece(QImage(), m_piecePos); }
    // Transparent placement: pixels of `colour` let the picture underneath show through.
    bool pieceTransparent() const { return m_pieceTransparent; }
    QRgb transparentColour() const { return m_transparentColour; }
    void setPieceTransparency(bool transparent, QRgb colour);

    // The scroll positions of the work area: the picture-control point shown at the work
    // area's (2, 2), where a pasted piece appears.
    QPoint scrollPosition() const { return m_scroll; }
    void setScrollPosition(QPoint p) { m_scroll = p; }

    // Whether the spray's 50 ms timer should run; the window owns the QTimer and calls
    // PaintEditor::tick() on each timeout.
    bool sprayTimerActive() const { return m_sprayTimer; }
    void setSprayTimerActive(bool on);

    // Status read-outs.
    static QString sizeText(int w, int h);  // "w x h"
    static QString colourText(QRgb pixel);  // "R-r G-g B-b"

    // What the picture file dialogs remember between uses: the open dialog (OpenPictureDialog1)
    // and the save dialog (SavePictureDialog1), shared by every command that saves a picture.
    PictureFileDialogState& openDialogState() { return m_openDialog; }
    PictureFileDialogState& saveDialogState() { return m_saveDialog; }

signals:
    void pictureChanged(const QRect& pixels);  // these picture pixels changed
    void pictureReplaced();                    // size or whole content changed
    void coloursChanged();
    void paletteChanged(int index);
    void toolChanged();
    void zoomChanged();
    void optionsChanged();           // fill style, placement, tolerance
    void undoAvailabilityChanged();  // "Отменить"/"Повторить" enabling
    void statusChanged();
    void overlayChanged();
    void sprayTimerChanged(bool running);
    // The floating piece appeared, moved, changed or went away; `before` is where it lay (in
    // picture-control pixels; empty when none floated), so only that and the new place repaint.
    void pieceChanged(const QRect& before);

private:
    // A state was recorded: the picture counts as changed.
    void recorded();
    // The picture became a state of the history (undo, redo).
    void shownFromHistory();

    QImage m_picture;
    QImage m_sparePicture;  // the buffer of a replaced picture nobody else holds, for ownPicture()
    QRgb m_front;
    QRgb m_back;
    std::array<ColourValue, kPaletteSize> m_palette{};
    ZoomScale m_zoom;
    int m_zoomIndex = 0;
    QSize m_viewSize{600, 400};
    ToolId m_currentTool = ToolId::Pencil;
    ToolId m_previousTool = ToolId::Pencil;
    ToolId m_toolBeforeZoom = ToolId::Pencil;
    bool m_buttonDown = false;
    bool m_pictureModified = false;
    bool m_changedSinceSaved = false;
    ToolSizes m_sizes;
    int m_transparentMode = 0;
    FillStyle m_fillStyle = FillStyle::Outline;
    ArrowHeads m_arrowHeads = ArrowHeads::None;
    int m_fillTolerance = 0;
    bool m_fillAll = false;
    QFont m_textFont;
    QRgb m_canvasBrush = 0xFFFFFFFF;
    EditorUndo m_undo;
    // Keeps the old pixels of each area a fill writes, for the history.
    class Guard final : public WriteGuard {
    public:
        explicit Guard(PaintDocument& doc) : m_doc(doc) {}
        void beforeWrite(const QRect& area, bool changes) override
        {
            m_doc.m_undo.keep(m_doc.m_picture, area, changes);
        }

    private:
        PaintDocument& m_doc;
    };
    Guard m_guard{*this};
    bool m_replacedByTransform = false;
    PaintStatus m_status;
    PaintOverlay m_overlay;
    bool m_sprayTimer = false;
    bool m_pieceFloating = false;
    QImage m_piece;
    QPoint m_piecePos;
    bool m_pieceTransparent = false;
    QRgb m_transparentColour = 0xFFFFFFFF;
    QPoint m_scroll;
    PictureFileDialogState m_openDialog;
    PictureFileDialogState m_saveDialog;
};

}  // namespace velmar::paint
