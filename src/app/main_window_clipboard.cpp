// Objects through the system clipboard: copied as an outline of their own under the program's
// MIME type (for this and other running Velmars), as a picture and as their texts (for other
// programs); pasted at the pointer, or a grid step from where they were.
#include "app/main_window.h"
#include "canvas/canvas_controller.h"
#include "canvas/canvas_widget.h"
#include "export/outline_renderer.h"
#include "model/object_kinds.h"
#include "model/object_transfer.h"
#include "model/window_layout.h"
#include "platform/command_guard.h"
#include "storage/object_clipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QMimeData>

#include <algorithm>

namespace velmar {

namespace {

// The picture other programs get: the copied objects drawn as the canvas shows them, cut to
// their bounds with a small margin for arrow heads. None for copies spread too far apart.
QImage pictureOf(const Outline& copy, ColourValue canvasColour)
{
    constexpr int kMargin = 8;
    constexpr qint64 kMaxPixels = 40'000'000;
    const QRect bounds = groupBounds(copy, allTopObjects(copy)).adjusted(-kMargin, -kMargin, kMargin, kMargin);
    if (bounds.isEmpty() || qint64(bounds.width()) * bounds.height() > kMaxPixels)
        return {};
    Document drawn;
    drawn.outline = copy;
    drawn.state.canvasColour = canvasColour;
    moveGroup(drawn.outline, allTopObjects(drawn.outline), -bounds.topLeft());
    drawn.outline.setClientSize(bounds.size());
    OutlineRenderer renderer(drawn, bounds.size(), OutlineRenderer::Area::WholeCanvas);
    return renderer.image();
}

}  // namespace

void MainWindow::copyObjects(bool fromPopup)
{
    if (!fromPopup && typingText())
        return;
    const ObjectGroup chosen = m_controller->chosenObjects(fromPopup);
    if (chosen.empty())
        return;
    const Outline copy = velmar::copyObjects(m_document.outline, chosen);
    auto* data = new QMimeData;
    data->setData(QLatin1String(kObjectsMimeType), objectsToBytes(copy));
    if (const QImage picture = pictureOf(copy, m_document.state.canvasColour); !picture.isNull())
        data->setImageData(picture);
    data->setText(textsInReadingOrder(copy));
    QApplication::clipboard()->setMimeData(data);
}

void MainWindow::cutObjects(bool fromPopup)
{
    if (!fromPopup && typingText())
        return;
    const ObjectGroup chosen = m_controller->chosenObjects(fromPopup);
    if (chosen.empty())
        return;
    copyObjects(fromPopup);
    m_controller->removeObjects(chosen);
}

void MainWindow::pasteObjects(bool fromPopup, bool inFrame)
{
    if (!fromPopup && typingText())
        return;
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (!data)
        return;
    if (!data->hasFormat(QLatin1String(kObjectsMimeType))) {
        // Only a picture on the clipboard: it becomes a picture object, as it always has.
        if (data->hasImage())
            pastePicture();
        return;
    }
    QString problem;
    const std::optional<Outline> copy = objectsFromBytes(data->data(QLatin1String(kObjectsMimeType)), &problem);
    if (!copy)
        throw UserError(QCoreApplication::translate("MainWindow", "Объекты в буфере обмена не удалось прочитать.\n%1")
                            .arg(problem));
    // At the pointer (the point where the pop-up menu opened), in the frame under it when the copy
    // holds no frame; with the pointer off the canvas, a grid step from where the copies were.
    const QPoint away(-1, -1);
    QPoint at = fromPopup ? m_document.interaction.creationPoint : canvasPointerOr(away);
    // A frame's menu gives the point in the frame.
    const ObjectRef frame = m_document.outline.find(chosenFrame());
    if (inFrame && frame.isValid())
        at += m_document.outline.frame(frame.slot).bounds.topLeft();
    // The tool bar covers the canvas's top band: a pointer there is not over the outline.
    if (!fromPopup && at.y() < kToolBarHeight)
        at = away;
    if (at == away) {
        const int step = std::max(1, m_document.session.gridStep);
        m_controller->pasteCopy(*copy, QPoint(step, step), 0);
        return;
    }
    const QPoint corner = groupBounds(*copy, allTopObjects(*copy)).topLeft();
    m_controller->pasteCopy(*copy, at - corner, m_controller->frameSlotAt(at));
}

void MainWindow::duplicateObjects(bool fromPopup)
{
    if (!fromPopup && typingText())
        return;
    const ObjectGroup chosen = m_controller->chosenObjects(fromPopup);
    if (chosen.empty())
        return;
    // Objects of one frame are duplicated inside it.
    const Outline& o = m_document.outline;
    int frame = parentFrameOf(o, chosen.front());
    for (ObjectId id : chosen)
        if (parentFrameOf(o, id) != frame || o.kindOf(id) == ObjectKind::Arrow)
            frame = 0;
    const int step = std::max(1, m_document.session.gridStep);
    m_controller->pasteCopy(velmar::copyObjects(o, chosen), QPoint(step, step), frame);
}

}  // namespace velmar
