// What reaches the canvas from outside its pop-up menus: a picture dropped from the file manager
// or a browser, or pasted from the clipboard; a film dropped; the arrow keys, Delete and Esc on
// the selected object. Each change of the outline is one history step.
#include "canvas/alt_drop_gesture.h"
#include "canvas/canvas_controller.h"
#include "canvas/canvas_kinds.h"
#include "canvas/object_widgets.h"
#include "canvas/selection_handles.h"
#include "model/arrow_attachment.h"
#include "model/grid.h"
#include "model/picture_fit.h"
#include "platform/dialogs.h"
#include "storage/outline_file.h"

#include <QAction>
#include <QCoreApplication>

#include <algorithm>

namespace velmar {

namespace {

// The size "Создать рисунок" gives a new picture object.
constexpr QSize kNewPictureSize(200, 150);

bool refuseWhenFull(const Outline& outline, ObjectKind kind, QWidget* parent)
{
    if (!outline.isFull(kind))
        return false;
    dialogs().inform(parent, QCoreApplication::translate("ObjectCommands", "Внимание"), Outline::capacityMessage(kind),
                     QMessageBox::Information);
    return true;
}

}  // namespace

int CanvasController::placeNewObject(QPoint canvasPoint, QPoint* topLeft) const
{
    const Outline& o = m_host.document().outline;
    const int frame = frameAt(o, canvasPoint);
    *topLeft = frame ? canvasPoint - o.frame(frame).bounds.topLeft() : canvasPoint;
    return frame;
}

QSize CanvasController::newPictureRoom(int frame, QPoint topLeft) const
{
    const Outline& o = m_host.document().outline;
    int edge = 0;
    if (frame) {
        const FrameObject& f = o.frame(frame);
        edge = panelFrameWidth(f.outerBevel, f.innerBevel, f.borderLine);
    }
    return kNewPictureSize.boundedTo(o.parentSize(frame) - QSize(topLeft.x() + edge, topLeft.y() + edge))
        .expandedTo(QSize(30, 30));
}

bool CanvasController::createPictureAt(const QImage& image, QPoint canvasPoint)
{
    Outline& o = doc().outline;
    if (image.isNull() || refuseWhenFull(o, ObjectKind::Picture, m_host.dialogParent()))
        return false;
    dropSelection();
    QPoint topLeft;
    const int frame = placeNewObject(canvasPoint, &topLeft);
    // The picture keeps its proportions, fitted into the new object's usual size and into the
    // room its frame (or the canvas) has right of and below the point.
    const int slot =
        o.createPicture(QRect(topLeft, sizeKeepingAspect(image.size(), newPictureRoom(frame, topLeft))), frame);
    o.picture(slot).setBitmap(image.convertToFormat(QImage::Format_RGB32));
    doc().interaction.currentCompanion = o.picture(slot).id;
    m_host.documents().recordStep(StepKind::Full);
    return true;
}

bool CanvasController::createVideoAt(const QString& path, QPoint canvasPoint)
{
    Outline& o = doc().outline;
    if (refuseWhenFull(o, ObjectKind::Video, m_host.dialogParent()))
        return false;
    if (const QString problem = videoNameProblem(path); !problem.isEmpty()) {
        dialogs().inform(m_host.dialogParent(), QCoreApplication::translate("ObjectCommands", "Ошибка"), problem,
                         QMessageBox::Critical);
        return false;
    }
    dropSelection();
    QPoint topLeft;
    const int frame = placeNewObject(canvasPoint, &topLeft);
    const int slot = o.createVideo(QRect(topLeft, QSize(150, 150)), frame);
    o.video(slot).fileName = path;
    doc().interaction.currentCompanion = o.video(slot).id;
    m_host.documents().recordStep(StepKind::Full);
    return true;
}

ObjectId CanvasController::keyboardTarget() const
{
    const SelectionModel& shown = m_handles->model();
    return shown.blueAround ? shown.blueAround : shown.blackAround;
}

bool CanvasController::nudgeSelection(int dx, int dy, bool byGridStep)
{
    OpenOutline& d = doc();
    if (!d.session.editMode)
        return false;
    const int step = byGridStep ? std::max(1, d.session.gridStep) : 1;
    if (!groupLeaders(d.outline, d.interaction.group).empty()) {
        // A pixel the grid would take back from the group's frames and objects is no move: the
        // group goes by the grid's step while the grid is on.
        const int groupStep = d.session.gridOn ? std::max(1, d.session.gridStep) : step;
        if (moveGroup(d.outline, d.interaction.group, QPoint(dx * groupStep, dy * groupStep)))
            recordStep(StepKind::HeaderOnly);
        showGroup();
        return true;
    }
    if (ArrowObject* arrow = selectedArrow(); arrow && m_handles->model().arrowHandles) {
        // The arrow stops at the edge of what an outline file can hold, as when it is dragged.
        const int mx = std::clamp(dx * step, kMinCoordinate - std::min(arrow->x1, arrow->x2),
                                  kMaxCoordinate - std::max(arrow->x1, arrow->x2));
        const int my = std::clamp(dy * step, kMinCoordinate - std::min(arrow->y1, arrow->y2),
                                  kMaxCoordinate - std::max(arrow->y1, arrow->y2));
        const QPoint before(arrow->x1, arrow->y1);
        arrow->x1 += mx;
        arrow->x2 += mx;
        arrow->y1 += my;
        arrow->y2 += my;
        // Its ends are put down where they now are, as after a drag.
        const int slot = d.interaction.selectedArrow;
        const QPoint start(arrow->x1, arrow->y1), end(arrow->x2, arrow->y2);
        dropArrowEnd(d.outline, slot, true, start);
        dropArrowEnd(d.outline, slot, false, end);
        recordStep(StepKind::HeaderOnly);
        ArrowObject* now = selectedArrow();
        if (!now)
            return true;
        if (QPoint(now->x1, now->y1) == before && !byGridStep && d.session.gridOn)
            return nudgeSelection(dx, dy, true);  // the grid took the pixel back: move by its step
        m_handles->showArrowHandles(QPoint(now->x1, now->y1), QPoint(now->x2, now->y2));
        return true;
    }
    const ObjectId id = keyboardTarget();
    if (!id || !d.outline.find(id).isValid())
        return false;
    const QRect start = objectBounds(d.outline, id);
    const QRect target = storableRect(start.translated(dx * step, dy * step));
    if (target.topLeft() == start.topLeft())
        return true;  // at the edge of what a file can hold: nothing moves, nothing to undo
    const bool snaps = snapsToGrid(d.outline.kindOf(id));
    // A pixel that the grid would take back is no move: go by the grid's step at once, so that
    // one key press is one undo step.
    if (!byGridStep && d.session.gridOn && snaps && d.session.gridStep > 1
        && QPoint(snapValue(target.left(), d.session.gridStep), snapValue(target.top(), d.session.gridStep))
               == start.topLeft())
        return nudgeSelection(dx, dy, true);
    setObjectBounds(d.outline, id, target);
    placeWidget(id);
    recordStep(StepKind::HeaderOnly);
    if (objectBounds(d.outline, id).topLeft() == start.topLeft() && !byGridStep && d.session.gridOn)
        return nudgeSelection(dx, dy, true);  // as above: 1 px snaps back onto the grid
    const InteractionState& state = d.interaction;
    if (state.outerSelection)
        m_handles->showBlackSet(state.outerSelection);
    if (state.innerSelection)
        m_handles->showBlueSet(state.innerSelection);
    m_host.redrawOverlays();
    return true;
}

bool CanvasController::deleteSelection()
{
    OpenOutline& d = doc();
    if (!d.session.editMode)
        return false;
    if (deleteGroup())
        return true;
    const CommandRegistry& c = commands();
    if (m_handles->model().arrowHandles && selectedArrow()) {
        c.action(Command::DeleteArrow)->trigger();
        return true;
    }
    const ObjectId id = keyboardTarget();
    if (!id)
        return false;
    QAction* remove = deleteCommandFor(c, d.outline.kindOf(id));
    if (!remove)
        return false;
    // The pop-up command deletes what the last press chose: the selected object.
    d.interaction.currentObject = id;
    remove->trigger();
    return true;
}

void CanvasController::escape()
{
    if (m_gesture) {
        cancelGesture();
        return;
    }
    doc().interaction.selectedArrow = 0;
    m_handles->hideArrowHandles();
    dropSelection();
    m_host.redrawOverlays();
}

}  // namespace velmar
