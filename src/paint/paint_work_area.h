#pragma once

#include "paint/core/paint_types.h"

#include <QWidget>

#include <array>

class QMouseEvent;
class QPlainTextEdit;
class QScrollBar;
class QTimer;

namespace velmar::paint {

class PaintDocument;
class PaintEditor;
class PictureView;
class EraserSquare;
class DottedFrame;
class FloatingPieceView;
class HandleWidget;

// The work area of the editor (Panel8, silver): the picture at (2, 2) less the scroll positions,
// the two scroll bars, the canvas edge handles, and what the tools show over the picture — the
// eraser square, the dotted frame with its eight handles and the text box. It owns the spray's
// 50 ms timer. Only the part of the picture inside the work area exists as a widget, so a picture
// at zoom 8 costs no more than at zoom 1.
class WorkArea : public QWidget {
    Q_OBJECT
public:
    static constexpr int kScrollBarExtent = 16;

    WorkArea(PaintDocument& document, PaintEditor& editor, QWidget* parent = nullptr);

    // Lays the picture and the scroll bars out for the current picture size and zoom.
    void layoutCanvas();
    // How far the view scrolls on one tick while a dragged handle is held beyond its edge: the
    // farther beyond, the faster, up to kEdgeScrollMax pixels.
    static constexpr int kEdgeScrollMax = 40;
    static QPoint edgeScrollStep(QPoint pointer, const QRect& viewport);
    // The picture control's top-left corner in the work area: (2, 2) less the scroll positions.
    QPoint pictureOrigin() const;
    // The rectangle of the work area in which the picture can be seen (between the scroll bars).
    QRect viewport() const;

    PictureView* pictureView() const { return m_picture; }
    QPlainTextEdit* textBox() const { return m_textBox; }
    QScrollBar* horizontalBar() const { return m_hbar; }
    QScrollBar* verticalBar() const { return m_vbar; }
    QTimer* sprayTimer() const { return m_sprayTimer; }
    QWidget* pieceView() const;
    // The picture's three edge handles and the floating piece's eight frame handles.
    std::vector<QWidget*> resizeHandles() const;
    // What can lie over the picture and is not the picture: the handles, the dotted frame, the
    // eraser square and the text box.
    std::vector<QWidget*> overlays() const;

    // A handle was pressed (canvas: one of the three edge handles; otherwise one of the eight
    // frame handles); the drag runs until the button is released.
    void handlePressed(bool canvas, int index, QPoint workPos);

    // A mouse event of a child lying over the work area, handled as the work area's own.
    void forwardMouse(QWidget* child, QMouseEvent* event);
    // Mouse input from any widget of the work area, in the work area's coordinates.
    void pointerPressed(QPoint workPos, Qt::MouseButton button, Qt::MouseButtons buttons, Qt::KeyboardModifiers mods);
    void pointerMoved(QPoint workPos, Qt::MouseButtons buttons, Qt::KeyboardModifiers mods);
    void pointerReleased(QPoint workPos, Qt::MouseButton button, Qt::MouseButtons buttons, Qt::KeyboardModifiers mods);
    // Takes the keyboard focus from whatever field had it, so the editor's keys reach the window.
    void takeFocus();

signals:
    // The right button was pressed on a floating piece's frame: its context menu opens there.
    void frameMenuRequested(const QPoint& globalPos);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    ToolInput toolInput(QPoint workPos, Qt::MouseButton button, Qt::MouseButtons buttons,
                        Qt::KeyboardModifiers mods) const;
    // Lays out and repaints the whole visible picture (and floating piece).
    void repaintAll();
    void placePictureView();
    void placeEdgeHandles();
    void showOverlay();
    void scrolled();
    void pictureChanged(const QRect& pixels);
    void placePieceView();
    bool onPieceFrame(QPoint workPos) const;

    PaintDocument& m_doc;
    PaintEditor& m_editor;
    PictureView* m_picture = nullptr;
    QScrollBar* m_hbar = nullptr;
    QScrollBar* m_vbar = nullptr;
    QWidget* m_corner = nullptr;                    // the square between the scroll bars
    std::array<HandleWidget*, 3> m_edgeHandles{};   // Panel5 corner, Panel6 right, Panel7 bottom
    std::array<HandleWidget*, 8> m_frameHandles{};  // around the dotted frame
    FloatingPieceView* m_piece = nullptr;           // Image7
    EraserSquare* m_eraser = nullptr;               // Shape2
    DottedFrame* m_frame = nullptr;                 // Shape1
    QPlainTextEdit* m_textBox = nullptr;            // Memo1
    QTimer* m_sprayTimer = nullptr;                 // Timer1
    bool m_pressedOutside = false;                  // a button went down on the grey area (not on the picture)
    // The handle being dragged: kind, index and the press point in the picture control (so that
    // the drag follows the picture when the view scrolls under it).
    struct HandleDrag {
        bool active = false;
        bool canvas = false;
        int index = 0;
        QPoint pressed;
        QPoint pointer;  // the last pointer position, in the work area
    };
    HandleDrag m_handleDrag;
    // While a handle is held past the view's edge, the view scrolls towards it on every tick.
    QTimer* m_edgeScroll = nullptr;
    void dragHandle(QPoint workPos);
    void scrollTowardsHandle();
};

}  // namespace velmar::paint
