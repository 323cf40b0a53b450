#pragma once

#include "canvas/canvas_host.h"
#include "canvas/gesture.h"
#include "model/object_group.h"

#include <QImage>
#include <QObject>
#include <QRect>

#include <memory>

class QMouseEvent;

namespace velmar {

class CanvasWidget;
class GroupOverlay;
class OutlineView;
class PicturePreview;
class SelectionHandles;
struct HandleRole;

// Turns presses on the canvas and its objects into selections, pop-up menus and gestures (moving,
// sizing by a handle, Alt-dropping into a frame, dragging an arrow or one of its ends), and feeds
// the running gesture the pointer's moves and release as canvas input.
class CanvasController : public QObject, private GestureContext {
    Q_OBJECT
public:
    CanvasController(CanvasHost& host, CanvasWidget* canvas, OutlineView* view, SelectionHandles* handles);

    // Clears both selections and hides every handle set (edit-mode changes, creation, deletion).
    void dropSelection();
    // Selects a frame or an object as a click on it does (found by the find bar); with the edit
    // mode off, where clicks select nothing, it only becomes the current object.
    void selectObject(ObjectId id);

    // Object creation at the creation point, as the pop-up commands do it.
    void createFrame();
    void createPicture(bool onCanvas);
    void createTextField();
    void createVideo(bool onCanvas);
    void createCaption(bool onCanvas);
    void createArrow();
    void openPicture();

    // The picture's stretch switches and its full-screen view.
    // The picture's stretching from its pop-up item (a step), and from the tool bar's button or
    // the settings menu's item (no step), given the state the item was switched to.
    void setStretchFromMenu(bool stretched);
    void setStretchFromButton(bool stretched);
    void showPictureFullScreen();

    // Arrow commands on the selected arrow.
    void changeArrowColour();
    void changeArrowWidth(int delta);
    void deleteArrow();

    // Fits the current text field's box to its text after a key stroke (edit mode only).
    void autoSizeTextField(ObjectId id);

    // Ways in from outside the pop-up menus. A picture (dropped or pasted) or a film (dropped)
    // becomes a new object at the canvas point, in the frame there or on the canvas, as one step;
    // false when nothing was made (a full kind is refused with the usual message).
    bool createPictureAt(const QImage& image, QPoint canvasPoint);
    bool createVideoAt(const QString& path, QPoint canvasPoint);
    // The keyboard on the selected object (the blue set's, else the black set's, or the selected
    // arrow), in edit mode: moved by whole pixels or grid steps as one step each, deleted through
    // its pop-up command (with its question); false when nothing is selected.
    bool nudgeSelection(int dx, int dy, bool byGridStep);
    bool deleteSelection();
    // Esc: breaks off a gesture under way, otherwise clears the selection.
    void escape();

    // Several objects at once. The objects a command acts on: the group, else the selected object
    // or arrow; from a pop-up menu, the object it was opened for (the group when it is one of it).
    ObjectGroup chosenObjects(bool fromPopup) const;
    // Makes the group (empty: none) and shows it.
    void setGroup(const ObjectGroup& group);
    void selectAll();
    // Aligns or distributes the group as one step; false when nothing moved.
    bool alignGroup(GroupAlignment alignment);
    bool distributeGroup(bool horizontally);
    // Deletes the group after one question, as one step; false when there is no group.
    bool deleteGroup();
    // Removes objects without a question (cut), as one step.
    void removeObjects(const ObjectGroup& objects);
    // Pastes copied objects moved by delta, into the frame slot given or onto the canvas, as one
    // step, and makes them the group; a kind without room for its copies refuses the whole paste
    // with a message. False when nothing was pasted.
    bool pasteCopy(const Outline& copy, QPoint delta, int intoFrame);
    // The frame slot at a canvas point; 0 for the canvas.
    int frameSlotAt(QPoint canvasPoint) const;

    // The default content of a new picture: a neutral 200 × 150 placeholder.
    static QImage defaultPicture();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    OpenOutline& doc() { return m_host.document(); }
    const CommandRegistry& commands() const { return m_host.commands(); }

    // Press handlers by what was pressed.
    void pressCanvas(QMouseEvent* e);
    void pressFrame(ObjectId frame, QMouseEvent* e);
    void pressTitle(ObjectId frame, QMouseEvent* e);
    void pressObject(ObjectId id, QMouseEvent* e);
    void pressArrow(ObjectId id, QMouseEvent* e);
    void pressHandle(const HandleRole& handle, QMouseEvent* e);
    void pressArrowEnd(bool start, QMouseEvent* e);

    // The running gesture: started by a press, ended by the release or broken off.
    void startGesture(std::unique_ptr<Gesture> gesture);
    void endGesture();
    void cancelGesture();

    // What the gestures reach of the canvas.
    GestureContext& context() { return *this; }
    OpenOutline& document() override { return doc(); }
    HandleLayer& handles() override;
    void recordStep(StepKind kind) override { m_host.documents().recordStep(kind); }
    void placeWidget(ObjectId id) override;
    void syncView() override;
    void redrawOverlays() override { m_host.redrawOverlays(); }
    void showDragCursor(ObjectId id, bool dragging) override;
    void frameChosen(ObjectId frame, bool titlePress) override;
    void objectChosen(ObjectId id) override;
    void showGroup() override;
    void showBand(const QRect& band) override;
    // A Ctrl/Shift press on an object adds it to the group, or takes it out; true when it did.
    bool toggleInGroup(ObjectId id);
    // A plain press on an object of the group starts dragging the group; true when it did.
    bool pressGroupMember(ObjectId id, QMouseEvent* e);

    // What a finished press does after the move (or at once, for other buttons).
    void afterFramePress(ObjectId frame, QMouseEvent* e, bool titlePress);
    void afterObjectPress(ObjectId id, QMouseEvent* e, bool moved);

    void syncToolStatesForObject(ObjectId id);
    // The object the keyboard acts on: the one in the blue set, else in the black set.
    ObjectId keyboardTarget() const;
    // The frame slot at a canvas point (0 = the canvas) and the point in that frame's coordinates.
    int placeNewObject(QPoint canvasPoint, QPoint* topLeft) const;
    // The room a new picture has at `topLeft` in `frame` (0: the canvas): its usual size at most,
    // inside the frame's drawn edge, never under 30 × 30.
    QSize newPictureRoom(int frame, QPoint topLeft) const;
    void showPopup(QMenu* menu, QMouseEvent* e);
    // The mouse event being dispatched, placed on the canvas from the widget that received it.
    PointerInput pointer(const QMouseEvent& e) const;
    void placeArrowHandlesFor(int slot);
    ArrowObject* selectedArrow();
    PictureObject* currentPicture(ObjectId id);

    CanvasHost& m_host;
    CanvasWidget* m_canvas;
    OutlineView* m_view;
    SelectionHandles* m_handles;

    std::unique_ptr<Gesture> m_gesture;
    const QWidget* m_receiver = nullptr;  // the widget that received the mouse event being dispatched
    QString m_textAtFocus;                // a text field's text when it took the focus
    ObjectId m_keyPressedIn = 0;          // the text field that received the last key press
    PicturePreview* m_preview = nullptr;
    GroupOverlay* m_groupOverlay = nullptr;
};

}  // namespace velmar
