#pragma once

#include "canvas/canvas_host.h"
#include "canvas/selection_geometry.h"

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>

class QMouseEvent;

namespace velmar {

class CanvasWidget;
class OutlineView;
class PicturePreview;
class SelectionHandles;

// Turns presses, drags and releases on the canvas and its objects into operations on the
// outline: selection with the black and blue handle sets, moving and resizing (the object follows
// the pointer until the button is released), Alt-dragging into a frame, arrows and their end
// handles, and the pop-up menus of every kind of object.
class CanvasController : public QObject {
    Q_OBJECT
public:
    CanvasController(CanvasHost& host, CanvasWidget* canvas, OutlineView* view, SelectionHandles* handles);

    // Clears both selections and hides every handle set (edit-mode changes, creation, deletion).
    void dropSelection();

    // Object creation at the creation point, as the pop-up commands do it.
    void createFrame();
    void createPicture(bool onCanvas);
    void createTextField();
    void createVideo(bool onCanvas);
    void createCaption(bool onCanvas);
    void createArrow();
    void openPicture();

    // The picture's stretch switches and its full-screen view.
    void setStretchFromMenu();
    void setStretchFromButton();
    void setStretchFromSettings();
    void showPictureFullScreen();

    // Arrow commands on the selected arrow.
    void changeArrowColour();
    void changeArrowWidth(int delta);
    void deleteArrow();

    // Fits the current text field's box to its text after a key stroke (edit mode only).
    void autoSizeTextField(ObjectId id);

    // The default content of a new picture: a neutral 200 × 150 placeholder.
    static QImage defaultPicture();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // How far the pointer travels from a press into a text field before the field follows it.
    static constexpr int kTextFieldMoveThreshold = 3;

    enum class Track { None, Move, Size, AltDrag, Arrow, ArrowEnd };

    Document& doc() { return m_host.document(); }
    QAction* cmd(const char* name) const;
    void enable(std::initializer_list<const char*> names, bool on);

    // Press handlers by what was pressed.
    void pressCanvas(QMouseEvent* e);
    void pressFrame(ObjectId frame, QWidget* widget, QMouseEvent* e);
    void pressTitle(ObjectId frame, QWidget* label, QMouseEvent* e);
    void pressObject(ObjectId id, QWidget* widget, QMouseEvent* e);
    void pressArrow(ObjectId id, QWidget* widget, QMouseEvent* e);
    void pressHandle(const QString& name, QMouseEvent* e);
    void pressArrowEnd(const QString& name, QMouseEvent* e);

    void mouseMoved(QMouseEvent* e);
    void mouseReleased(QMouseEvent* e);
    void finishMove();
    void finishSize();
    void finishAltDrag(QMouseEvent* e);
    void finishArrowDrag(QMouseEvent* e);
    void finishArrowEnd();

    // What a finished press does after the move (or at once, for other buttons).
    void afterFramePress(ObjectId frame, QMouseEvent* e, bool titlePress);
    void afterObjectPress(ObjectId id, QMouseEvent* e, bool moved);

    // Geometry of an object in the model, relative to its parent, and setting it.
    QRect boundsOf(ObjectId id) const;
    void setBounds(ObjectId id, const QRect& r);
    int parentFrameOf(ObjectId id) const;
    void showBlackSetAround(ObjectId id);
    void showBlueSetAround(ObjectId id);
    void syncToolStatesForObject(ObjectId id);
    void showPopup(const char* menu, QMouseEvent* e);
    void startTracking(Track track, ObjectId id, QWidget* widget, QMouseEvent* e);
    void applyFrameSelection(ObjectId frame);
    void placeArrowHandlesFor(int slot);
    ArrowObject* selectedArrow();
    PictureObject* currentPicture(ObjectId id);
    void rebuildSelectedArrow();

    CanvasHost& m_host;
    CanvasWidget* m_canvas;
    OutlineView* m_view;
    SelectionHandles* m_handles;

    struct Tracking {
        Track track = Track::None;
        ObjectId id = 0;
        QPointer<QWidget> widget;
        QPoint startGlobal;
        QRect startRect;
        Edge edge = Edge::Left;
        bool outer = true;          // a black handle (outer selection) or a blue one
        bool titlePress = false;
        bool following = false;     // the pointer has left the press point: the object follows
        QString handle;             // the handle or arrow end pressed
        QPoint handleStart;
        Qt::MouseButton button = Qt::NoButton;
        Qt::KeyboardModifiers modifiers;
        bool doubleClick = false;
        bool textPress = false;     // a press into a text field: moves after a small threshold
        bool grabbed = false;       // the canvas holds the pointer until the release
        bool arrowMoved = false;
        QPoint pressPos;            // in the pressed widget
    } m_track;
    QString m_textAtFocus;
    ObjectId m_keyPressedIn = 0;  // the text field that received the last key press
    PicturePreview* m_preview = nullptr;  // a text field's text when it took the focus
};

}  // namespace velmar
