#include "canvas/pointer_input.h"

#include <QMouseEvent>
#include <QWidget>

namespace velmar {

PointerInput pointerInput(const QMouseEvent& event, const QWidget* receiver, const QWidget* canvas)
{
    PointerInput in;
    QPointF at = event.position();
    if (receiver != canvas) {
        if (receiver && receiver->window() == canvas->window())
            at = canvas->mapFrom(canvas->window(), receiver->mapTo(receiver->window(), at));
        else
            at = canvas->mapFromGlobal(event.globalPosition());
    }
    in.pos = at.toPoint();
    in.button = event.button();
    in.shift = event.modifiers() & Qt::ShiftModifier;
    in.alt = event.modifiers() & Qt::AltModifier;
    in.ctrl = event.modifiers() & Qt::ControlModifier;
    in.doubleClick = event.type() == QEvent::MouseButtonDblClick;
    in.time = event.timestamp();
    return in;
}

}  // namespace velmar
